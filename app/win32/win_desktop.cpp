// WinDesktop over MessageBoxW and the drive list's window text.
#include "app/win32/win_desktop.h"

#include "platform/windows/utf16.h"

namespace telo::win32 {

int WinDesktop::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  return MessageBoxW(owner_, Utf16FromUtf8(prompt).c_str(), Utf16FromUtf8(title).c_str(),
                     static_cast<UINT>(style));
}

std::string WinDesktop::CurrentDriveText() { return WindowText(drive_list_); }

void WinDesktop::FocusDriveList() { SetFocus(drive_list_); }

std::string WindowText(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
  return Utf8FromUtf16(text);
}

}  // namespace telo::win32
