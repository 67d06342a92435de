// WinDesktop: the Desktop of the update run over frmMain. Message boxes are
// owned by frmMain and the drive is read from the drive list. It borrows both
// windows, which must outlive it; use it on the window's thread only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/desktop.h"

namespace telo::win32 {

class WinDesktop final : public Desktop {
 public:
  WinDesktop(HWND owner, HWND drive_list) : owner_(owner), drive_list_(drive_list) {}

  BoxAnswer ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) override;
  // The text of the drive chosen in the drive list.
  std::string CurrentDriveText();
  void FocusDriveList() override;

 private:
  HWND owner_;
  HWND drive_list_;
};

// MessageBoxW's style for a box: 68 (Yes and No, information icon), 64 (OK,
// information icon) or 48 (OK, warning icon).
UINT MessageBoxStyle(BoxStyle style);

// The text of a window (for a drop-down list: its chosen entry) as UTF-8.
std::string WindowText(HWND window);

}  // namespace telo::win32
