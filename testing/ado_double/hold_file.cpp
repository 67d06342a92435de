// hold-file.exe PATH SECONDS [STOP_FILE]: plays the program that has the
// database open while an update runs. It opens PATH sharing nothing, so
// that every other open of it (the ADO double's included) fails with a
// sharing violation, writes "holding\n" (no '\r') to standard output once
// it holds the file, and lets it go after SECONDS seconds, or earlier when
// STOP_FILE is given and no longer exists. Exit codes: 0 held and let go,
// 1 PATH could not be opened (Windows' reason on standard error), 2 bad
// command line. Windows tests only.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/windows/utf16.h"
#include "platform/windows/windows_error.h"

namespace {

constexpr int kExitHeld = 0;
constexpr int kExitNotHeld = 1;
constexpr int kExitUsage = 2;
constexpr DWORD kPollMs = 50;

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Waits until `seconds` have passed or `stop_file` (if any) has gone.
void WaitForRelease(unsigned long seconds, const wchar_t* stop_file) {
  const ULONGLONG limit_ms = seconds * 1000ull;
  const DWORD start = GetTickCount();  // differences survive its wrap-around
  while (GetTickCount() - start < limit_ms && (stop_file == nullptr || Exists(stop_file))) {
    Sleep(kPollMs);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t* end = nullptr;
  const unsigned long seconds = argc >= 3 ? std::wcstoul(argv[2], &end, 10) : 0;
  if (argc < 3 || argc > 4 || end == argv[2] || *end != L'\0') {
    std::fputs("usage: hold-file PATH SECONDS [STOP_FILE]\n", stderr);
    return kExitUsage;
  }
  const HANDLE held =
      CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    const std::string reason = telo::WindowsErrorText(GetLastError());
    std::fprintf(stderr, "hold-file: can't hold %s: %s\n", telo::Utf8FromUtf16(argv[1]).c_str(),
                 reason.c_str());
    return kExitNotHeld;
  }
  // Straight to the handle: no buffer to flush, and no '\r' for a script's `read`.
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "holding\n", 8, &written, nullptr);
  WaitForRelease(seconds, argc == 4 ? argv[3] : nullptr);
  CloseHandle(held);
  return kExitHeld;
}
