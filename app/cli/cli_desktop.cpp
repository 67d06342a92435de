// CliDesktop: see the header.
#include "app/cli/cli_desktop.h"

#include "app/cli/terminal.h"

namespace telo {

std::string CliDesktop::Question() const {
  return "Update the rate tables of the host's database on " + drives_ + "? [y/N] ";
}

BoxAnswer CliDesktop::ShowMessage(std::string_view, std::string_view, BoxStyle style) {
  if (style != BoxStyle::kQuestion) return BoxAnswer::kOk;
  if (assume_yes_) return BoxAnswer::kYes;
  WriteErr(Question());
  std::string answer;
  if (!ReadLine(answer)) return BoxAnswer::kNo;
  return (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") ? BoxAnswer::kYes
                                                                                : BoxAnswer::kNo;
}

}  // namespace telo
