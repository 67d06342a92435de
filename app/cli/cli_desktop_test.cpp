// The console's confirmation is a question of its own, never the window's
// notice about not clicking on the form, and only a yes starts the run.
#include "app/cli/cli_desktop.h"

#include <gtest/gtest.h>

#include "app/report.h"

namespace telo {
namespace {

TEST(CliDesktop, AsksTheConsoleQuestionAndOnlyYesConfirms) {
  struct Case {
    Drives drives;
    std::vector<std::string> input;  // the lines standard input holds
    BoxAnswer answer;
    std::string asked;
  };
  const std::string on_c = "Update the rate tables of the host's database on drive C:? [y/N] ";
  const std::vector<Case> cases = {
      {'c', {"y"}, BoxAnswer::kYes, on_c},
      {'C', {"Yes "}, BoxAnswer::kYes, on_c},
      {'C', {""}, BoxAnswer::kNo, on_c},
      {'C', {"n"}, BoxAnswer::kNo, on_c},
      {'C', {"yeah"}, BoxAnswer::kNo, on_c},
      {'C', {}, BoxAnswer::kNo, on_c},  // no more input
      {Drives::EveryFixed({'C', 'D'}),
       {"y"},
       BoxAnswer::kYes,
       "Update the rate tables of the host's database on drives C:, D:? [y/N] "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked + (c.input.empty() ? "(no input)" : c.input[0]));
    std::string written;
    std::vector<std::string> input = c.input;
    CliDesktop desktop(false, c.drives,
                       {[&](std::string_view text) { written += text; },
                        [&](std::string& line) {
                          if (input.empty()) return false;
                          line = input.front();
                          input.erase(input.begin());
                          return true;
                        }});
    EXPECT_EQ(desktop.ShowMessage(kConfirmPrompt, kConfirmTitle, BoxStyle::kQuestion), c.answer);
    EXPECT_EQ(written, c.asked);
  }
  std::string written;
  CliDesktop unattended(
      true, 'C',
      {[&](std::string_view text) { written += text; }, [](std::string&) { return false; }});
  EXPECT_EQ(unattended.ShowMessage(kConfirmPrompt, kConfirmTitle, BoxStyle::kQuestion),
            BoxAnswer::kYes);
  EXPECT_EQ(written, "") << "--yes asks nothing";
}

}  // namespace
}  // namespace telo
