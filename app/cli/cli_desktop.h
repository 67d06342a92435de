// CliDesktop: the update run's desktop on a terminal. The confirmation is
// answered by --yes, or asked as a console question of its own ("Update the
// rate tables of the host's database on drive C:? [y/N] "; the window's
// notice about not clicking on the form is no console's business), the
// question on standard error and the answer from standard input through
// terminal.h, or through the Console a test gives. The outcome box is left
// to the caller, which prints the whole report instead.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/desktop.h"
#include "app/install.h"

namespace telo {

// Where the question goes and its answer comes from.
struct Console {
  std::function<void(std::string_view)> write;
  std::function<bool(std::string&)> read_line;  // false when there is no more input
};
Console TerminalConsole();

class CliDesktop : public Desktop {
 public:
  CliDesktop(bool assume_yes, const Drives& drives, Console console = TerminalConsole());

  BoxAnswer ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) override;
  void FocusDriveList() override {}

 private:
  bool assume_yes_;
  std::string question_;
  Console console_;
};

}  // namespace telo
