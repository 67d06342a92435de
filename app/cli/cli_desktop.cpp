// CliDesktop: see the header.
#include "app/cli/cli_desktop.h"

#include "app/cli/terminal.h"

namespace telo {

CliDesktop::CliDesktop(std::string drive_letter, bool assume_yes)
    : drive_text_(drive_letter + ":"), assume_yes_(assume_yes) {}

int CliDesktop::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  if (style != kStyleYesNoInformation) return kAnswerOk;
  if (assume_yes_) return kAnswerYes;
  WriteErr(std::string(title) + "\n" + std::string(prompt) + " [y/N] ");
  std::string answer;
  if (!ReadLine(answer)) return kAnswerNo;
  return (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") ? kAnswerYes
                                                                                : kAnswerNo;
}

}  // namespace telo
