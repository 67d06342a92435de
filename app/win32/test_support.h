// Helpers for the tests of frmMain: waiting with a deadline, reading windows
// of this or another process through messages with timeouts, and finding and
// answering the message boxes that a window owns, and ProgramRun, which starts
// telo.exe and drives its frmMain. Safe to call from a thread other
// than the window's (a watcher that answers a modal box).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace telo::win32::testing {

inline constexpr DWORD kWaitMs = 10000;

// Polls `done` every 20 ms until it holds or `timeout_ms` has passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms = kWaitMs);

// Runs `body` on a thread of its own (CreateThread: the Windows builds'
// thread model has no std::thread), joined by Join() or the destructor.
// Throws std::system_error when no thread can be made, as std::thread does.
class Thread {
 public:
  explicit Thread(std::function<void()> body);
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  ~Thread();

  void Join();

 private:
  static DWORD WINAPI Run(void* self);

  std::function<void()> body_;
  HANDLE handle_ = nullptr;
};

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

// One run of telo.exe, driven from another process. A program still
// running when the object goes is killed.
class ProgramRun {
 public:
  ProgramRun() = default;
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;
  ~ProgramRun();

  // Starts the program, in `current_directory` when one is given, and waits
  // for its frmMain; "" or what went wrong.
  std::string Start(const std::wstring& path, const std::wstring& current_directory = L"");

  HWND form() const { return form_; }
  // frmMain's children from top to bottom of the z-order: the order in
  // which they were created, which is the tab order.
  std::vector<HWND> Controls() const;
  HWND Control(const wchar_t* window_class, const wchar_t* text = nullptr) const;
  HWND drvMain() const { return Control(L"ComboBox"); }
  HWND cmdUpdate() const { return Control(L"Button", L"Update"); }
  HWND cmdCancel() const { return Control(L"Button", L"Cancel"); }

  // The focused window of frmMain's thread.
  HWND Focus() const;
  bool WaitForFocus(HWND control) const;
  // Posts a key press (down and up) to `target`, as the keyboard would.
  void PressKey(HWND target, UINT key) const;
  void Click(HWND button) const { PostMessageW(button, BM_CLICK, 0, 0); }
  bool WaitForExit(DWORD* exit_code) const;

 private:
  HWND FindForm() const;

  PROCESS_INFORMATION process_{};
  HWND form_ = nullptr;
  DWORD thread_ = 0;
};

}  // namespace telo::win32::testing
