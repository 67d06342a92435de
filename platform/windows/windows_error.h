// WindowsErrorText: what Windows itself says of an error, for the messages
// of statuses. Windows only; no state.
#pragma once

#include <windows.h>

#include <string>

namespace telo {

// Windows' text for `code` (a GetLastError code or an HRESULT) in UTF-8,
// without its line end; "" when Windows has none.
std::string WindowsErrorText(DWORD code);

}  // namespace telo
