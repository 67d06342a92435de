// UTF-8 <-> UTF-16 for Windows calls. The core keeps every text in UTF-8;
// Windows platform code converts at the API boundary with these. Invalid
// input sequences become U+FFFD; the functions never fail.
#pragma once

#include <string>
#include <string_view>

namespace telo {

std::wstring Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::wstring_view text);

}  // namespace telo
