// The console program's platform on Windows: arguments read as UTF-16, text
// to and from a console as UTF-16 (WriteConsoleW, ReadConsoleW), to and from
// a file or pipe as UTF-8 bytes, and runs inside a COM apartment.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>  // CommandLineToArgvW

#include <algorithm>

#include "app/cli/terminal.h"
#include "base/utf8.h"
#include "platform/windows/com_apartment.h"
#include "platform/windows/utf16.h"
#include "platform/windows/windows_error.h"

namespace telo {
namespace {

// Older consoles refuse a single write much over 64 KB; stay well below.
constexpr size_t kConsoleChunk = 8192;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

bool WriteToConsole(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    size_t count = std::min(kConsoleChunk, text.size());
    if (count < text.size() && IsHighSurrogate(text[count - 1])) --count;  // keep pairs whole
    DWORD written = 0;
    if (!WriteConsoleW(console, text.data(), static_cast<DWORD>(count), &written, nullptr) ||
        written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

bool WriteBytes(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

Status Write(DWORD standard_handle, std::string_view text) {
  const HANDLE handle = GetStdHandle(standard_handle);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
    return Status::Error(error::kUnspecifiedFailure, "there is no such standard handle");
  }
  const std::string valid = ValidUtf8(text);
  const bool written =
      IsConsole(handle) ? WriteToConsole(handle, Utf16FromUtf8(valid)) : WriteBytes(handle, valid);
  if (written) return Status::Ok();
  const DWORD code = GetLastError();
  return Status::Error(static_cast<int32_t>(HRESULT_FROM_WIN32(code)), WindowsErrorText(code));
}

std::wstring ReadConsoleLine(HANDLE console) {
  std::wstring line;
  wchar_t buffer[256];
  DWORD read = 0;
  while (ReadConsoleW(console, buffer, std::size(buffer), &read, nullptr) && read > 0) {
    line.append(buffer, read);
    if (line.back() == L'\n') break;
  }
  return line;
}

std::string ReadByteLine(HANDLE file) {
  std::string line;
  char byte = 0;
  DWORD read = 0;
  while (ReadFile(file, &byte, 1, &read, nullptr) && read == 1) {
    line += byte;
    if (byte == '\n') break;
  }
  return line;
}

}  // namespace

const bool kPrefixOptionAvailable = false;
const int kRetryLaterExitCode = 1618;  // ERROR_INSTALL_ALREADY_RUNNING

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  // argv holds the arguments in the ANSI code page, which can't spell every name.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromUtf16(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool StdinIsTerminal() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  return GetFileType(input) == FILE_TYPE_CHAR && IsConsole(input);
}

// A write to a closed pipe fails with ERROR_NO_DATA here; there is no signal.
void TreatClosedOutputAsWriteError() {}

Status WriteOut(std::string_view text) { return Write(STD_OUTPUT_HANDLE, text); }

void WriteErr(std::string_view text) { (void)Write(STD_ERROR_HANDLE, text); }

bool ReadLine(std::string& line) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  line = IsConsole(input) ? Utf8FromUtf16(ReadConsoleLine(input)) : ReadByteLine(input);
  if (line.empty()) return false;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return true;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf16FromUtf8(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Status WithConnections(const std::function<void()>& run) {
  const ComApartment com;
  if (!com.status().ok()) return com.status();
  run();
  return Status::Ok();
}

}  // namespace telo
