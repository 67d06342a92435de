// Desktop: the window as the update run and the check see it: message
// boxes, the chosen drive and the keyboard focus. Each front end implements
// it over its own window; tests use a fake. The machine itself (folders,
// connections, VirtualStore) is the Env's. Called on the window's thread only.
#pragma once

#include <string>
#include <string_view>

namespace telo {

// Message-box styles and answers, with the platform's numbers.
inline constexpr int kStyleOkInformation = 64;     // OK, information icon
inline constexpr int kStyleOkWarning = 48;         // OK, warning icon
inline constexpr int kStyleYesNoInformation = 68;  // Yes and No, information icon
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Shows a modal message box and returns the answer (kAnswerYes, ...).
  virtual int ShowMessage(std::string_view prompt, std::string_view title, int style) = 0;
  // The text of the drive currently chosen in the drive list.
  virtual std::string CurrentDriveText() = 0;
  // Gives the keyboard focus to the drive list.
  virtual void FocusDriveList() = 0;
};

}  // namespace telo
