// CliDesktop: see the header.
#include "app/cli/cli_desktop.h"

#include <istream>
#include <ostream>

namespace telo {

CliDesktop::CliDesktop(std::string drive_letter, bool assume_yes, std::istream& in,
                       std::ostream& out)
    : drive_text_(drive_letter + ":"), assume_yes_(assume_yes), in_(in), out_(out) {}

int CliDesktop::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  if (style != kStyleYesNoInformation) return kAnswerOk;
  if (assume_yes_) return kAnswerYes;
  out_ << title << "\n" << prompt << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(in_, answer)) return kAnswerNo;
  return (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") ? kAnswerYes
                                                                                : kAnswerNo;
}

}  // namespace telo
