// CliDesktop: the update run's desktop on a terminal. The confirmation is answered by --yes or
// asked on the terminal as a console question of its own (the window's notice about not clicking
// on the form means nothing here): on standard error, the answer from standard input, through
// terminal.h. The outcome box is left to the caller, which prints the whole report instead.
#pragma once

#include <string>

#include "app/desktop.h"

namespace telo {

class CliDesktop : public Desktop {
 public:
  // `drives`: where the run goes, as the question names it, e.g. "drive C:".
  CliDesktop(bool assume_yes, std::string drives)
      : assume_yes_(assume_yes), drives_(std::move(drives)) {}

  // "Update the rate tables of the host's database on drive C:? [y/N] "
  std::string Question() const;

  BoxAnswer ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) override;
  void FocusDriveList() override {}

 private:
  bool assume_yes_;
  std::string drives_;
};

}  // namespace telo
