// WindowsErrorText through FormatMessageW.
#include "platform/windows/windows_error.h"

#include <cwctype>

#include "platform/windows/utf16.h"

namespace telo {

std::string WindowsErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  LocalFree(buffer);
  while (!text.empty() && std::iswspace(text.back())) text.pop_back();
  return Utf8FromUtf16(text);
}

}  // namespace telo
