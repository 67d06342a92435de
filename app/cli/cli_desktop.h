// CliDesktop: the update run's desktop on a terminal. The drive is the one
// named on the command line; the confirmation is answered by --yes or asked
// on the terminal; the outcome box is left to the caller, which prints the
// whole report instead.
// The terminal is C stdio: iostreams would add the whole locale machinery of
// libstdc++, half a megabyte, to the static Windows program.
#pragma once

#include <cstdio>
#include <string>

#include "app/desktop.h"

namespace telo {

class CliDesktop : public Desktop {
 public:
  CliDesktop(std::string drive_letter, bool assume_yes, std::FILE* in, std::FILE* out);

  int ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  std::string CurrentDriveText() override { return drive_text_; }
  void FocusDriveList() override {}

 private:
  std::string drive_text_;
  bool assume_yes_;
  std::FILE* in_;
  std::FILE* out_;
};

}  // namespace telo
