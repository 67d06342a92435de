// CliDesktop: see the header.
#include "app/cli/cli_desktop.h"

#include <istream>
#include <ostream>

namespace telo {

CliDesktop::CliDesktop(Env& env, std::string drive_letter, bool assume_yes, std::istream& in,
                       std::ostream& out)
    : env_(env), drive_text_(drive_letter + ":"), assume_yes_(assume_yes), in_(in), out_(out) {}

int CliDesktop::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  if (style != kStyleYesNoInformation) return kAnswerOk;
  if (assume_yes_) return kAnswerYes;
  out_ << title << "\n" << prompt << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(in_, answer)) return kAnswerNo;
  return (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") ? kAnswerYes
                                                                                : kAnswerNo;
}

Status CliDesktop::ChangeDirectory(std::string_view windows_folder) {
  return env_.ChangeDirectory(windows_folder);
}

std::string CliDesktop::VirtualStoreCopy(std::string_view database_path) {
  return env_.VirtualStoreCopy(database_path);
}

}  // namespace telo
