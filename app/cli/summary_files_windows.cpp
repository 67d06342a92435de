// telo-cli's files on Windows, through the Win32 wide-character calls;
// UTF-8 is converted at the call, and no \\?\ prefix is added, so a UNC
// path is passed on as it is. A result file is opened for the summary sharing
// reading, writing and deleting, so that a desktop still writing its result
// is never held up by the summary (it reads as cut short).
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

// Writes all of `text` to `file`.
bool WriteAll(HANDLE file, std::string_view text) {
  while (!text.empty()) {
    DWORD wrote = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) ||
        wrote == 0) {
      return false;
    }
    text.remove_prefix(wrote);
  }
  return true;
}

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
  if (!WriteAll(file.handle, text))
    return LastError(error::kUnspecifiedFailure, "could not be written");
  const HANDLE handle = file.handle;
  file.handle = INVALID_HANDLE_VALUE;
  if (!CloseHandle(handle)) return LastError(error::kUnspecifiedFailure, "could not be written");
  return Status::Ok();
}

Status WriteFileAtomically(const std::string& path_utf8, std::string_view text) {
  const std::wstring path = Utf16FromUtf8(path_utf8);
  const std::string temporary_utf8 = path_utf8 + ".tmp-" + std::to_string(GetCurrentProcessId());
  const std::wstring temporary = Utf16FromUtf8(temporary_utf8);
  const auto failure = [&path_utf8](const std::string& step) {
    const DWORD code = GetLastError();
    std::string reason = WindowsErrorText(code);
    if (reason.empty()) reason = "Windows error " + std::to_string(code);
    return Status::Error(static_cast<int32_t>(HRESULT_FROM_WIN32(code)),
                         path_utf8 + " could not be written: " + step + " (" + reason + ")");
  };
  FileHandle file{CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) {
    return failure("the temporary file " + temporary_utf8 + " can't be made");
  }
  Status written = Status::Ok();
  if (!WriteAll(file.handle, text)) {
    written = failure("writing the temporary file " + temporary_utf8 + " failed");
  } else if (!FlushFileBuffers(file.handle)) {
    written = failure("flushing the temporary file " + temporary_utf8 + " to the disk failed");
  }
  const HANDLE handle = file.handle;
  file.handle = INVALID_HANDLE_VALUE;
  if (!CloseHandle(handle) && written.ok()) {
    written = failure("closing the temporary file " + temporary_utf8 + " failed");
  }
  if (written.ok() && !MoveFileExW(temporary.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    written = failure("renaming " + temporary_utf8 + " over it failed");
  }
  if (!written.ok()) DeleteFileW(temporary.c_str());
  return written;
}

}  // namespace telo
