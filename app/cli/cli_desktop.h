// CliDesktop: the update run's desktop on a terminal. The drive is the one
// named on the command line; the confirmation is answered by --yes or asked
// on the terminal (prompt on standard error, answer from standard input,
// through terminal.h); the outcome box is left to the caller, which prints
// the whole report instead.
#pragma once

#include <string>

#include "app/desktop.h"

namespace telo {

class CliDesktop : public Desktop {
 public:
  CliDesktop(std::string drive_letter, bool assume_yes);

  BoxAnswer ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) override;
  std::string CurrentDriveText() override { return drive_text_; }
  void FocusDriveList() override {}

 private:
  std::string drive_text_;
  bool assume_yes_;
};

}  // namespace telo
