// CliDesktop: see the header.
#include "app/cli/cli_desktop.h"

#include "app/cli/terminal.h"

namespace telo {

BoxAnswer CliDesktop::ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) {
  if (style != BoxStyle::kQuestion) return BoxAnswer::kOk;
  if (assume_yes_) return BoxAnswer::kYes;
  WriteErr(std::string(title) + "\n" + std::string(prompt) + " [y/N] ");
  std::string answer;
  if (!ReadLine(answer)) return BoxAnswer::kNo;
  return (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") ? BoxAnswer::kYes
                                                                                : BoxAnswer::kNo;
}

}  // namespace telo
