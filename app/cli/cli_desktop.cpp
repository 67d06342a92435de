// CliDesktop: see the header.
#include "app/cli/cli_desktop.h"

#include <cctype>

#include "app/cli/terminal.h"

namespace telo {
namespace {

// "drive C:", "drives C:, D:"; "" for none.
std::string DrivesNamed(const Drives& drives) {
  std::string named;
  for (char letter : drives.letters) {
    named += named.empty() ? (drives.letters.size() == 1 ? "drive " : "drives ") : ", ";
    named += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    named += ':';
  }
  return named;
}

std::string QuestionFor(const Drives& drives) {
  const std::string named = DrivesNamed(drives);
  return "Update the rate tables of the host's database" + (named.empty() ? "" : " on " + named) +
         "? [y/N] ";
}

bool IsYes(std::string answer) {
  while (!answer.empty() && answer.back() == ' ') answer.pop_back();
  for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return answer == "y" || answer == "yes";
}

}  // namespace

Console TerminalConsole() {
  return {[](std::string_view text) { WriteErr(text); },
          [](std::string& line) { return ReadLine(line); }};
}

CliDesktop::CliDesktop(bool assume_yes, const Drives& drives, Console console)
    : assume_yes_(assume_yes), question_(QuestionFor(drives)), console_(std::move(console)) {}

BoxAnswer CliDesktop::ShowMessage(std::string_view, std::string_view, BoxStyle style) {
  if (style != BoxStyle::kQuestion) return BoxAnswer::kOk;
  if (assume_yes_) return BoxAnswer::kYes;
  console_.write(question_);
  std::string answer;
  if (!console_.read_line(answer)) return BoxAnswer::kNo;
  return IsYes(answer) ? BoxAnswer::kYes : BoxAnswer::kNo;
}

}  // namespace telo
