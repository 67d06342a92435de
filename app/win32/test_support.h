// Helpers for the tests of frmMain: waiting with a deadline, reading windows
// of this or another process through messages with timeouts, and finding and
// answering the message boxes that a window owns. Safe to call from a thread
// other than the window's (a watcher that answers a modal box).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace telo::win32::testing {

inline constexpr DWORD kWaitMs = 10000;

// Polls `done` every 20 ms until it holds or `timeout_ms` has passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms = kWaitMs);

// WM_GETTEXT through SendMessageTimeout: works across processes and never
// hangs on a window that doesn't answer.
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The window's rectangle in the client coordinates of `parent`.
RECT RectIn(HWND window, HWND parent);

struct BoxButton {
  int id;
  std::wstring text;  // as shown, "&" markers removed
};

struct BoxContent {
  std::wstring caption;
  std::wstring text;               // the prompt, static control 0xFFFF
  std::vector<BoxButton> buttons;  // visible buttons, left to right
  int default_id = 0;              // the visible BS_DEFPUSHBUTTON
  HICON icon = nullptr;            // the icon of the box's SS_ICON static
};

// The visible message box (#32770) that `owner` owns, or nullptr.
HWND FindBox(HWND owner);
HWND WaitForBox(HWND owner, DWORD timeout_ms = kWaitMs);
BoxContent ReadBox(HWND box);
// Presses the box's button `id` as a click would; true once the box is gone.
bool AnswerBox(HWND box, int id, DWORD timeout_ms = kWaitMs);

std::vector<int> ButtonIds(const BoxContent& box);

}  // namespace telo::win32::testing
