// The Windows Env: the machine's drives as a drive list shows them, the
// process's current directory, cnMain over ADO, and the per-user VirtualStore
// copies that Windows keeps for programs without a UAC manifest. Drive
// entries read "c: [VOLUME]" (lower-case letter; "c:" alone when the drive has
// no volume label). ADO needs the caller's thread inside a ComApartment.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <string>

#include "db/ado/ado_connection.h"
#include "db/ado/utf16.h"
#include "db/env.h"

namespace telo {
namespace {

constexpr std::string_view kVirtualizedFolder = "program files";

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

Status LastError(std::string what) {
  const DWORD code = GetLastError();
  const std::string reason = WindowsErrorText(code);
  if (!reason.empty()) what += ": " + reason;
  return Status::Error(static_cast<int32_t>(HRESULT_FROM_WIN32(code)), std::move(what));
}

std::wstring VolumeLabel(const std::wstring& root) {
  // A floppy drive without a disk would make Windows ask for one.
  const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  wchar_t label[MAX_PATH + 1] = L"";
  if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                             0)) {
    label[0] = L'\0';
  }
  SetErrorMode(previous_mode);
  return label;
}

std::string DriveEntry(const std::wstring& root) {
  std::string entry;
  entry += static_cast<char>(std::tolower(static_cast<unsigned char>(root[0])));
  entry += ':';
  const std::wstring label = VolumeLabel(root);
  if (!label.empty()) entry += " [" + Utf8FromUtf16(label) + "]";
  return entry;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

std::wstring EnvironmentVariable(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

class WindowsEnv final : public Env {
 public:
  std::vector<std::string> DriveEntries() override {
    problem_.clear();
    std::wstring roots(GetLogicalDriveStringsW(0, nullptr), L'\0');
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
    if (length == 0 || length > roots.size()) {
      problem_ = LastError("The drives of this computer can't be listed").message();
      return {};
    }
    std::vector<std::string> entries;
    for (const wchar_t* root = roots.c_str(); *root; root += wcslen(root) + 1) {
      entries.push_back(DriveEntry(root));
    }
    return entries;
  }

  // The first drive's entry when the current directory is not on a drive
  // letter (a network path, say).
  std::string CurrentDriveEntry() override {
    const std::vector<std::string> entries = DriveEntries();
    if (entries.empty()) return {};
    wchar_t folder[MAX_PATH + 1] = L"";
    GetCurrentDirectoryW(MAX_PATH + 1, folder);
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(folder[0])));
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [letter](const std::string& entry) { return entry[0] == letter; });
    return it != entries.end() ? *it : entries.front();
  }

  std::string DriveProblem() override { return problem_; }

  Status ChangeDirectory(std::string_view windows_folder) override {
    if (SetCurrentDirectoryW(Utf16FromUtf8(windows_folder).c_str())) return Status::Ok();
    return LastError("Can't change to the folder " + std::string(windows_folder));
  }

  std::unique_ptr<Connection> NewConnection() override { return NewAdoConnection(); }

  // Windows redirects a non-elevated program's writes under Program Files to
  // %LOCALAPPDATA%\VirtualStore\Program Files..., so the host may read a
  // per-user copy there instead of the one under Program Files.
  // Not yet read from the process token.
  bool ProcessIsVirtualized() override { return false; }

  std::vector<std::string> VirtualStoreCopies(std::string_view /*database_path*/) override {
    return {};
  }

  std::string OwnVirtualStoreCopy(std::string_view database_path) override {
    if (database_path.size() < 3 || database_path[1] != ':' || database_path[2] != '\\') return {};
    const std::string_view below_drive = database_path.substr(3);
    if (!StartsWithNoCase(below_drive, kVirtualizedFolder)) return {};
    const std::wstring local_app_data = EnvironmentVariable(L"LOCALAPPDATA");
    if (local_app_data.empty()) return {};
    const std::wstring copy = local_app_data + L"\\VirtualStore\\" + Utf16FromUtf8(below_drive);
    const DWORD attributes = GetFileAttributesW(copy.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return Utf8FromUtf16(copy);
  }

 private:
  std::string problem_;
};

}  // namespace

std::unique_ptr<Env> NewDefaultEnv(const EnvOptions& /*options*/) {
  return std::make_unique<WindowsEnv>();
}

}  // namespace telo
