// CliDesktop: see the header.
#include "app/cli/cli_desktop.h"

#include <optional>

namespace telo {
namespace {

// The next line of `in` without its '\n'; nullopt when the input has ended.
std::optional<std::string> ReadLine(std::FILE* in) {
  std::string line;
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return std::nullopt;
  return line;
}

}  // namespace

CliDesktop::CliDesktop(std::string drive_letter, bool assume_yes, std::FILE* in, std::FILE* out)
    : drive_text_(drive_letter + ":"), assume_yes_(assume_yes), in_(in), out_(out) {}

int CliDesktop::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  if (style != kStyleYesNoInformation) return kAnswerOk;
  if (assume_yes_) return kAnswerYes;
  const std::string question = std::string(title) + "\n" + std::string(prompt) + " [y/N] ";
  std::fwrite(question.data(), 1, question.size(), out_);
  std::fflush(out_);
  const std::optional<std::string> answer = ReadLine(in_);
  if (!answer) return kAnswerNo;
  return (*answer == "y" || *answer == "Y" || *answer == "yes" || *answer == "Yes") ? kAnswerYes
                                                                                    : kAnswerNo;
}

}  // namespace telo
