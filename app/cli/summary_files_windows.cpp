// The summary's files on Windows, through the Win32 wide-character calls;
// UTF-8 is converted at the call. A result file is opened sharing reading,
// writing and deleting, so that a desktop still writing its result is never
// held up by the summary (it reads as cut short).
#include <windows.h>

#include "app/cli/summary_files.h"
#include "platform/windows/utf16.h"
#include "platform/windows/windows_error.h"

namespace telo {

namespace {

Status LastError(int32_t number, const std::string& what) {
  const DWORD code = GetLastError();
  std::string text = WindowsErrorText(code);
  if (text.empty()) text = "Windows error " + std::to_string(code);
  return Status::Error(number, what.empty() ? text : what + " (" + text + ")");
}

// Closes a file handle when it goes.
struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

std::wstring InFolder(const std::string& folder, std::wstring_view name) {
  std::wstring path = Utf16FromUtf8(folder);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path.append(name);
}

}  // namespace

Status ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  const std::wstring pattern = InFolder(folder, L"*");
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return Status::Ok();  // an empty drive root
    return LastError(error::kPathNotFound, "");
  }
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries->push_back(
        {Utf8FromUtf16(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  const DWORD ended = GetLastError();
  FindClose(search);
  if (ended != ERROR_NO_MORE_FILES) {
    SetLastError(ended);
    return LastError(error::kPathNotFound, "");
  }
  return Status::Ok();
}

Status ReadFileStart(const std::string& folder, const std::string& name, std::size_t limit,
                     std::string* text) {
  const std::wstring path = InFolder(folder, Utf16FromUtf8(name));
  FileHandle file{CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return LastError(error::kOpenFailed, "");
  text->clear();
  char chunk[16 * 1024];
  while (text->size() <= limit) {
    DWORD read = 0;
    if (!ReadFile(file.handle, chunk, sizeof chunk, &read, nullptr)) {
      return LastError(error::kUnspecifiedFailure, "");
    }
    if (read == 0) break;
    text->append(chunk, read);
  }
  return Status::Ok();
}

Status WriteWholeFile(const std::string& path, std::string_view text) {
  const std::wstring wide = Utf16FromUtf8(path);
  FileHandle file{CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) {
    return LastError(error::kOpenFailed, "can't be opened for writing");
  }
  std::size_t written = 0;
  while (written < text.size()) {
    DWORD wrote = 0;
    if (!WriteFile(file.handle, text.data() + written, static_cast<DWORD>(text.size() - written),
                   &wrote, nullptr) ||
        wrote == 0) {
      return LastError(error::kUnspecifiedFailure, "could not be written");
    }
    written += wrote;
  }
  const HANDLE handle = file.handle;
  file.handle = INVALID_HANDLE_VALUE;
  if (!CloseHandle(handle)) return LastError(error::kUnspecifiedFailure, "could not be written");
  return Status::Ok();
}

}  // namespace telo
