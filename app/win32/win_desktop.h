// WinDesktop: the Desktop of the update run over frmMain. Message boxes are
// owned by frmMain, the drive is read from the drive list, directory changes
// and VirtualStore look-ups go through the Env. It borrows both windows and
// the Env, which must outlive it; use it on the window's thread only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/desktop.h"
#include "db/env.h"

namespace telo::win32 {

class WinDesktop final : public Desktop {
 public:
  WinDesktop(HWND owner, HWND drive_list, Env& env)
      : owner_(owner), drive_list_(drive_list), env_(env) {}

  int ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  std::string CurrentDriveText() override;
  Status ChangeDirectory(std::string_view windows_folder) override;
  void FocusDriveList() override;
  std::string VirtualStoreCopy(std::string_view database_path) override;

 private:
  HWND owner_;
  HWND drive_list_;
  Env& env_;
};

// The text of a window (for a drop-down list: its chosen entry) as UTF-8.
std::string WindowText(HWND window);

}  // namespace telo::win32
