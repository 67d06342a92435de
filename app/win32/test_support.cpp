// Window inspection for tests, over messages with timeouts.
#include "app/win32/test_support.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace telo::win32::testing {
namespace {

constexpr UINT kSendTimeoutMs = 2000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &result)) {
    return 0;
  }
  return static_cast<LRESULT>(result);
}

std::wstring WithoutAccessMarkers(std::wstring text) {
  text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
  return text;
}

constexpr wchar_t kCaption[] = L"TELO Database Update";

struct BoxSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<BoxSearch*>(lparam);
  if (ClassOf(window) == L"#32770" && GetWindow(window, GW_OWNER) == search->owner &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct FormSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchForm(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<FormSearch*>(lparam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && IsWindowVisible(window) && TextOf(window) == kCaption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeout_ms) return false;  // unsigned: wraps safely
    Sleep(20);
  }
  return true;
}

Thread::Thread(std::function<void()> body) : body_(std::move(body)) {
  handle_ = CreateThread(nullptr, 0, &Thread::Run, this, 0, nullptr);
  if (!handle_) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "CreateThread");
  }
}

Thread::~Thread() { Join(); }

void Thread::Join() {
  if (!handle_) return;
  WaitForSingleObject(handle_, INFINITE);
  CloseHandle(handle_);
  handle_ = nullptr;
}

DWORD WINAPI Thread::Run(void* self) {
  static_cast<Thread*>(self)->body_();
  return 0;
}

std::wstring TextOf(HWND window) {
  const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

RECT RectIn(HWND window, HWND parent) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND FindBox(HWND owner) {
  BoxSearch search{owner, nullptr};
  EnumWindows(&MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForBox(HWND owner, DWORD timeout_ms) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindBox(owner)) != nullptr; }, timeout_ms);
  return box;
}

BoxContent ReadBox(HWND box) {
  BoxContent content;
  content.caption = TextOf(box);
  content.text = TextOf(GetDlgItem(box, 0xFFFF));
  std::vector<std::pair<LONG, BoxButton>> buttons;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (!(style & WS_VISIBLE)) continue;
    if (ClassOf(child) == L"Button") {
      buttons.push_back({RectIn(child, box).left,
                         BoxButton{GetDlgCtrlID(child), WithoutAccessMarkers(TextOf(child))}});
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) content.default_id = GetDlgCtrlID(child);
    } else if (ClassOf(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
      content.icon = reinterpret_cast<HICON>(SendWithTimeout(child, STM_GETICON, 0, 0));
    }
  }
  std::sort(buttons.begin(), buttons.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [left, button] : buttons) content.buttons.push_back(std::move(button));
  return content;
}

bool AnswerBox(HWND box, int id, DWORD timeout_ms) {
  HWND button = GetDlgItem(box, id);
  if (!button) return false;
  PostMessageW(button, BM_CLICK, 0, 0);
  return WaitUntil([&] { return !IsWindow(box); }, timeout_ms);
}

std::vector<int> ButtonIds(const BoxContent& box) {
  std::vector<int> ids;
  for (const BoxButton& button : box.buttons) ids.push_back(button.id);
  return ids;
}

ProgramRun::~ProgramRun() {
  if (!process_.hProcess) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, kWaitMs);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

std::string ProgramRun::Start(const std::wstring& path, const std::wstring& current_directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                      current_directory.empty() ? nullptr : current_directory.c_str(), &startup,
                      &process_)) {
    return "cannot start the program, error " + std::to_string(GetLastError());
  }
  if (!WaitUntil([this] { return (form_ = FindForm()) != nullptr; })) {
    return "frmMain did not appear";
  }
  thread_ = GetWindowThreadProcessId(form_, nullptr);
  return "";
}

std::vector<HWND> ProgramRun::Controls() const {
  std::vector<HWND> controls;
  for (HWND c = GetWindow(form_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    controls.push_back(c);
  }
  return controls;
}

HWND ProgramRun::Control(const wchar_t* window_class, const wchar_t* text) const {
  for (HWND c : Controls()) {
    if (ClassOf(c) == window_class && (!text || TextOf(c) == text)) return c;
  }
  return nullptr;
}

HWND ProgramRun::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(thread_, &info) ? info.hwndFocus : nullptr;
}

bool ProgramRun::WaitForFocus(HWND control) const {
  return WaitUntil([&] { return Focus() == control; });
}

void ProgramRun::PressKey(HWND target, UINT key) const {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, key, scan | 1);
  PostMessageW(target, WM_KEYUP, key, scan | 1 | (3u << 30));
}

bool ProgramRun::WaitForExit(DWORD* exit_code) const {
  if (WaitForSingleObject(process_.hProcess, kWaitMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_.hProcess, exit_code);
}

HWND ProgramRun::FindForm() const {
  FormSearch search{process_.dwProcessId, nullptr};
  EnumWindows(&MatchForm, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace telo::win32::testing
