// Desktop: the window as the update run sees it: message boxes and the
// keyboard focus. The chosen drive is handed to the run as a value. Each front end implements
// it over its own window; tests use a fake. The machine itself (folders,
// VirtualStore) is the Env's, the database cnMain's. Called on the window's
// thread only.
#pragma once

#include <string>
#include <string_view>

namespace telo {

// The message boxes of the run, as it means them; each front end draws them
// with its own toolkit (on Windows, MessageBoxW's styles 68, 64 and 48).
enum class BoxStyle {
  kQuestion,     // Yes and No, information icon, Yes the default
  kInformation,  // OK, information icon
  kWarning,      // OK, warning icon
};

// The button that closed a box; a box closed otherwise answers its last
// button (No or OK).
enum class BoxAnswer { kOk, kYes, kNo };

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Shows a modal message box and returns the answer.
  virtual BoxAnswer ShowMessage(std::string_view prompt, std::string_view title,
                                BoxStyle style) = 0;
  // Gives the keyboard focus to the drive list.
  virtual void FocusDriveList() = 0;
};

}  // namespace telo
