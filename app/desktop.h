// Desktop: the window and the machine as the update run sees them. Each front
// end implements it over its own window (message boxes, drive list) and an Env
// (directory changes); tests use a fake. Called on the window's thread only.
#pragma once

#include <string>
#include <string_view>

#include "db/status.h"

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
  // Changes the process's current directory to a Windows folder path.
  virtual Status ChangeDirectory(std::string_view windows_folder) = 0;
  // Gives the keyboard focus to the drive list.
  virtual void FocusDriveList() = 0;
  // The path of a per-user VirtualStore copy of a database, or "" (Windows only).
  virtual std::string VirtualStoreCopy(std::string_view /*database_path*/) { return {}; }
};

}  // namespace telo
