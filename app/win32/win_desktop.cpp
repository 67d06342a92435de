// WinDesktop over MessageBoxW and the drive list's window text.
#include "app/win32/win_desktop.h"

#include "platform/windows/utf16.h"

namespace telo::win32 {

UINT MessageBoxStyle(BoxStyle style) {
  switch (style) {
    case BoxStyle::kQuestion:
      return MB_YESNO | MB_ICONINFORMATION;  // 68
    case BoxStyle::kWarning:
      return MB_OK | MB_ICONWARNING;  // 48
    case BoxStyle::kInformation:
      break;
  }
  return MB_OK | MB_ICONINFORMATION;  // 64
}

BoxAnswer WinDesktop::ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) {
  const int answer = MessageBoxW(owner_, Utf16FromUtf8(prompt).c_str(),
                                 Utf16FromUtf8(title).c_str(), MessageBoxStyle(style));
  return answer == IDYES ? BoxAnswer::kYes : answer == IDNO ? BoxAnswer::kNo : BoxAnswer::kOk;
}

std::string WinDesktop::CurrentDriveText() { return WindowText(drive_list_); }

void WinDesktop::FocusDriveList() { SetFocus(drive_list_); }

std::string WindowText(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
  return Utf8FromUtf16(text);
}

}  // namespace telo::win32
