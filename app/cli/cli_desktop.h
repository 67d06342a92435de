// CliDesktop: the update run's desktop on a terminal. The confirmation is answered by --yes or
// asked on the terminal (prompt on standard error, answer from standard input, through terminal.h);
// the outcome box is left to the caller, which prints the whole report instead.
#pragma once

#include <string>

#include "app/desktop.h"

namespace telo {

class CliDesktop : public Desktop {
 public:
  explicit CliDesktop(bool assume_yes) : assume_yes_(assume_yes) {}

  BoxAnswer ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) override;
  void FocusDriveList() override {}

 private:
  bool assume_yes_;
};

}  // namespace telo
