// frmMain: the program's only window, with the drive list drvMain, the
// buttons cmdUpdate and cmdCancel and the labels Label1 and Label3. Create it
// once, Show it, then run RunMessageLoop; the loop ends when the window is
// destroyed (cmdCancel or the close box). The object owns the window's font,
// its Desktop and the connection cnMain (made by `connections`), and must
// outlive the window; it borrows the Env, which must outlive it.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/layout.h"
#include "app/win32/win_desktop.h"
#include "db/connection.h"
#include "platform/env.h"

namespace telo::win32 {

class frmMain {
 public:
  frmMain(Env& env, ConnectionFactory connections);
  ~frmMain();
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Registers the window class and creates the window and its controls,
  // hidden. False when Windows refuses either.
  bool Create(HINSTANCE instance);
  void Show(int show_command);
  HWND hwnd() const { return hwnd_; }
  HWND control(int id) const { return GetDlgItem(hwnd_, id); }

  void cmdUpdate_Click();
  void cmdCancel_Click();

 private:
  // Registers frmMain's window class, once per process.
  static bool RegisterWindowClass(HINSTANCE instance);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(int id, int notification);
  void OnActivate(WPARAM wparam);
  bool CreateControls(HINSTANCE instance, Dpi dpi);
  void FillDriveList();

  Env& env_;
  ConnectionSlot cnMain;
  HWND hwnd_ = nullptr;
  HWND drvMain = nullptr;
  HFONT font_ = nullptr;
  HWND last_focus_ = nullptr;  // the control to refocus when the window is activated again
  std::unique_ptr<WinDesktop> desktop_;
};

// Fixes a drop-down list's selection field (its window height) at `height`
// pixels, whatever the line height of its font.
void SetSelectionFieldHeight(HWND combo, int height);

// Dispatches messages until WM_QUIT, giving `dialog` its keyboard navigation
// (Tab between the controls). Returns WM_QUIT's exit code.
int RunMessageLoop(HWND dialog);

}  // namespace telo::win32
