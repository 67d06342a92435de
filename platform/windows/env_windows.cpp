// The Windows Env: the machine's drives as a drive list shows them, the
// process's current directory, the UAC state of the process token, and the
// per-user VirtualStore copies that Windows keeps for programs without a UAC
// manifest. Drive entries read "c: [VOLUME]" (lower-case letter;
// "c:" alone when the drive has no volume label, "z: [network drive]" for a
// network drive, whose label is never asked for). The drives are listed once;
// DriveProblem tells that listing's problem ("" before it). No probe or label
// read can bring up Windows' own "no disk" box. The machine's facts come from
// the process token, ntdll's version and the computer name.
#include "platform/windows/env_windows.h"

#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <optional>
#include <string>

#include "base/text.h"
#include "base/utc_time.h"
#include "platform/windows/utf16.h"
#include "platform/windows/windows_error.h"

namespace telo {
namespace {

constexpr wchar_t kProfileListKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// Below a profile folder: where Windows keeps that user's redirected writes.
constexpr wchar_t kProfileVirtualStore[] = L"\\AppData\\Local\\VirtualStore\\";
// The folders below the system drive whose writes Windows redirects (with
// the Windows folder and ProgramData, where no host database lives).
constexpr std::string_view kVirtualizedFolders[] = {"Program Files", "Program Files (x86)"};

Status LastError(std::string what) {
  const DWORD code = GetLastError();
  const std::string reason = WindowsErrorText(code);
  if (!reason.empty()) what += ": " + reason;
  return Status::Error(static_cast<int32_t>(HRESULT_FROM_WIN32(code)), std::move(what));
}

// While it lives, a drive without its medium (an empty floppy, card reader
// or CD drive) makes calls fail instead of bringing up Windows' "No Disk" box.
// The error mode is the process's; the previous one comes back at the end.
class CriticalErrorBoxesOff {
 public:
  CriticalErrorBoxesOff() : previous_(SetErrorMode(kQuiet)) { SetErrorMode(previous_ | kQuiet); }
  ~CriticalErrorBoxesOff() { SetErrorMode(previous_); }
  CriticalErrorBoxesOff(const CriticalErrorBoxesOff&) = delete;
  CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&) = delete;

 private:
  static constexpr UINT kQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  UINT previous_;
};

char LowerAsciiWide(wchar_t c) {
  return static_cast<char>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
}

// The drive letter that `path` starts with ("c:..."), or 0 for a network
// path or anything else without one.
wchar_t DriveLetterOf(std::wstring_view path) {
  if (path.size() < 2 || path[1] != L':') return 0;
  const wchar_t letter = path[0];
  return (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z') ? letter : 0;
}

std::wstring EnvironmentVariable(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

std::wstring ExpandedEnvironmentStrings(const std::wstring& text) {
  const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (size == 0) return text;
  std::wstring expanded(size, L'\0');
  const DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size);
  if (length == 0 || length > size) return text;
  expanded.resize(length - 1);  // the count includes the terminating null
  return expanded;
}

std::wstring WithoutTrailingBackslashes(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring CaseKey(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Sorts case-insensitively and keeps the first of each case-insensitive name.
void SortUniqueIgnoringCase(std::vector<std::wstring>& texts) {
  std::ranges::stable_sort(texts, {}, CaseKey);
  const auto duplicates = std::ranges::unique(
      texts, [](const std::wstring& a, const std::wstring& b) { return CaseKey(a) == CaseKey(b); });
  texts.erase(duplicates.begin(), duplicates.end());
}

// The path, in UTF-8, when it names a file (not a folder); "" otherwise.
std::string ExistingFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  return Utf8FromUtf16(path);
}

// The part of `database_path` below its drive when Windows would redirect a
// virtualized process's writes to it: under Program Files or Program Files
// (x86) of the system drive, and nowhere else.
std::optional<std::wstring> VirtualizedTail(std::string_view database_path, wchar_t system_drive) {
  if (system_drive == 0 || database_path.size() < 3 || database_path.substr(1, 2) != ":\\" ||
      LowerAscii(database_path[0]) != LowerAsciiWide(system_drive)) {
    return std::nullopt;
  }
  const std::string_view below_drive = database_path.substr(3);
  const std::string_view top_folder = below_drive.substr(0, below_drive.find('\\'));
  if (std::ranges::none_of(kVirtualizedFolders, [top_folder](std::string_view folder) {
        return EqualsIgnoreCase(top_folder, folder);
      })) {
    return std::nullopt;
  }
  return Utf16FromUtf8(below_drive);
}

class RegistryKey {
 public:
  RegistryKey(HKEY parent, const wchar_t* name) {
    if (RegOpenKeyExW(parent, name, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  explicit operator bool() const { return key_ != nullptr; }
  HKEY get() const { return key_; }

  std::vector<std::wstring> SubkeyNames() const {
    std::vector<std::wstring> names;
    wchar_t name[256];  // a key name has at most 255 characters
    DWORD length = std::size(name);
    for (DWORD index = 0; RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
         ++index, length = std::size(name)) {
      names.emplace_back(name, length);
    }
    return names;
  }

  // A string value, environment variables expanded when it is REG_EXPAND_SZ;
  // "" when it is missing or no string.
  std::wstring Text(const wchar_t* value_name) const {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, value_name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return {};
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_, value_name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS) {
      return {};
    }
    text.resize(wcsnlen(text.c_str(), size / sizeof(wchar_t)));  // stored with or without a null
    return type == REG_EXPAND_SZ ? ExpandedEnvironmentStrings(text) : text;
  }

 private:
  HKEY key_ = nullptr;
};

// The folders directly in `folder`, leaving out links (junctions such as
// "Default User" and "All Users", which lead to folders listed anyway).
std::vector<std::wstring> SubfoldersOf(const std::wstring& folder) {
  std::vector<std::wstring> subfolders;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return subfolders;
  do {
    const std::wstring_view name = found.cFileName;
    const DWORD attributes = found.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        name == L"." || name == L"..") {
      continue;
    }
    subfolders.push_back(folder + L"\\" + std::wstring(name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return subfolders;
}

Status ListDriveRoots(std::vector<std::wstring>& roots) {
  std::wstring list(GetLogicalDriveStringsW(0, nullptr), L'\0');
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(list.size()), list.data());
  if (length == 0 || length > list.size()) {
    return LastError("The drives of this computer can't be listed");
  }
  for (const wchar_t* root = list.c_str(); *root; root += wcslen(root) + 1) roots.push_back(root);
  return Status::Ok();
}

std::wstring VolumeLabel(const std::wstring& root) {
  wchar_t label[MAX_PATH + 1] = L"";
  if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                             0)) {
    return {};
  }
  return label;
}

std::wstring CurrentDirectory() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

// The drive of the Windows folder (the system's, not a Terminal Services
// user's own), which is the drive of Program Files too.
wchar_t SystemDriveLetter() {
  wchar_t folder[MAX_PATH + 1] = L"";
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
  if (length > 0 && length <= MAX_PATH && DriveLetterOf(folder)) return folder[0];
  return DriveLetterOf(EnvironmentVariable(L"SystemDrive"));
}

std::string DriveEntry(const std::wstring& root, const DriveQueries& drives) {
  std::string entry{LowerAsciiWide(root[0]), ':'};
  if (drives.type(root) == DRIVE_REMOTE) return entry + " " + std::string(kNetworkDriveLabel);
  const std::wstring label = drives.label(root);
  if (!label.empty()) entry += " [" + Utf8FromUtf16(label) + "]";
  return entry;
}

// The entry to start the list on: the current directory's drive, or the
// system drive when the program was started from a network path.
std::string StartEntry(const std::vector<std::string>& entries, std::wstring_view current_folder,
                       wchar_t system_drive) {
  if (entries.empty()) return {};
  for (const wchar_t letter : {DriveLetterOf(current_folder), system_drive}) {
    if (letter == 0) continue;
    const auto it = std::ranges::find_if(
        entries, [letter](const std::string& entry) { return entry[0] == LowerAsciiWide(letter); });
    if (it != entries.end()) return *it;
  }
  return entries.front();
}

// The letters of the drives that Windows calls fixed, upper case, sorted.
Status FixedDriveLetters(const DriveQueries& drives, std::vector<char>& letters) {
  std::vector<std::wstring> roots;
  if (Status listing = drives.roots(roots); !listing.ok()) return listing;
  for (const std::wstring& root : roots) {
    const wchar_t letter = DriveLetterOf(root);
    if (letter != 0 && drives.type(root) == DRIVE_FIXED) {
      letters.push_back(static_cast<char>(LowerAsciiWide(letter) - 'a' + 'A'));
    }
  }
  std::ranges::sort(letters);
  letters.erase(std::ranges::unique(letters).begin(), letters.end());
  return Status::Ok();
}

// The process token, closed when it goes; null when it can't be opened.
class ProcessToken {
 public:
  ProcessToken() {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token_)) token_ = nullptr;
  }
  ~ProcessToken() {
    if (token_) CloseHandle(token_);
  }
  ProcessToken(const ProcessToken&) = delete;
  ProcessToken& operator=(const ProcessToken&) = delete;

  HANDLE get() const { return token_; }

 private:
  HANDLE token_ = nullptr;
};

// "S-1-5-21-...", for an account that has no name to show.
std::string SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return "";
  std::string shown = Utf8FromUtf16(text);
  LocalFree(text);
  return shown;
}

// DOMAIN\user, or the SID when Windows can't name it (a domain account
// while no domain controller answers and none is cached).
std::string AccountName(PSID sid) {
  DWORD name_size = 0;
  DWORD domain_size = 0;
  SID_NAME_USE use;
  LookupAccountSidW(nullptr, sid, nullptr, &name_size, nullptr, &domain_size, &use);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return SidText(sid);
  std::wstring name(name_size, L'\0');
  std::wstring domain(domain_size, L'\0');
  if (!LookupAccountSidW(nullptr, sid, name.data(), &name_size, domain.data(), &domain_size,
                         &use)) {
    return SidText(sid);
  }
  name.resize(name_size);  // on success the sizes leave out the terminating null
  domain.resize(domain_size);
  return Utf8FromUtf16(domain.empty() ? name : domain + L"\\" + name);
}

std::string ProcessAccount() {
  const ProcessToken token;
  DWORD size = 0;
  if (!token.get()) return "";
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return "";
  std::vector<BYTE> user(size);  // operator new aligns it for TOKEN_USER
  if (!GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return "";
  return AccountName(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

std::string ComputerName() {
  std::wstring name(MAX_COMPUTERNAME_LENGTH + 1, L'\0');
  DWORD size = static_cast<DWORD>(name.size());
  if (!GetComputerNameW(name.data(), &size)) {
    if (GetLastError() != ERROR_BUFFER_OVERFLOW) return "";
    name.assign(size, L'\0');  // the size asked for, its null included
    if (!GetComputerNameW(name.data(), &size)) return "";
  }
  name.resize(size);
  return Utf8FromUtf16(name);
}

// ntdll's RtlGetVersion tells the truth; GetVersionExW (the fallback, should
// ntdll lack it) reports Windows 8 on any later Windows to a program without
// a manifest that names that Windows.
std::string WindowsVersion() {
  using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const auto rtl_get_version =
      ntdll ? reinterpret_cast<RtlGetVersionCall>(
                  reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  if (!(rtl_get_version && rtl_get_version(&info) == 0) && !GetVersionExW(&info)) return "";
  return std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
         std::to_string(info.dwBuildNumber);
}

class WindowsEnv final : public Env {
 public:
  explicit WindowsEnv(DriveQueries drives) : drives_(std::move(drives)) {}

  std::vector<std::string> DriveEntries() override {
    ListDrivesOnce();
    return entries_;
  }

  std::string CurrentDriveEntry() override {
    ListDrivesOnce();
    return start_entry_;
  }

  std::string DriveProblem() override { return problem_; }

  std::vector<char> FixedDrives() override {
    std::vector<char> letters;
    if (const Status listing = FixedDriveLetters(drives_, letters); !listing.ok()) {
      if (problem_.empty()) problem_ = listing.message();
    }
    return letters;
  }

  Status ChangeDirectory(std::string_view windows_folder) override {
    const CriticalErrorBoxesOff quiet;
    if (SetCurrentDirectoryW(Utf16FromUtf8(windows_folder).c_str())) return Status::Ok();
    return LastError("Can't change to the folder " + std::string(windows_folder));
  }

  // No access is asked for, only the file's metadata: that never conflicts
  // with the sharing mode of a program that holds the file open.
  Status IdentifyFile(std::string_view windows_path, FileIdentity* identity) override {
    const CriticalErrorBoxesOff quiet;
    const HANDLE file = CreateFileW(Utf16FromUtf8(windows_path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return LastError("Can't look at " + std::string(windows_path));
    BY_HANDLE_FILE_INFORMATION info;
    const bool read = GetFileInformationByHandle(file, &info) != 0;
    Status status = read ? Status::Ok() : LastError("Can't look at " + std::string(windows_path));
    CloseHandle(file);
    if (read) {
      *identity = {info.dwVolumeSerialNumber,
                   (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    }
    return status;
  }

  bool ProcessIsVirtualized() override { return ProcessUacState().virtualized; }

  std::string OwnVirtualStoreCopy(std::string_view database_path) override {
    const std::optional<std::wstring> tail = VirtualizedTail(database_path, drives_.system_drive());
    if (!tail) return {};
    const std::wstring local_app_data = EnvironmentVariable(L"LOCALAPPDATA");
    if (local_app_data.empty()) return {};  // Windows XP, which keeps no VirtualStore
    return ExistingFile(local_app_data + L"\\VirtualStore\\" + *tail);
  }

  std::vector<std::string> VirtualStoreCopies(std::string_view database_path) override {
    const std::optional<std::wstring> tail = VirtualizedTail(database_path, drives_.system_drive());
    if (!tail) return {};
    std::vector<std::string> copies;
    for (const std::wstring& profile : ProfileFolders()) {
      std::string copy = ExistingFile(profile + kProfileVirtualStore + *tail);
      if (!copy.empty()) copies.push_back(std::move(copy));
    }
    return copies;
  }

  MachineFacts Machine() override {
    const UacState uac = ProcessUacState();
    return {.computer = ComputerName(),
            .account = ProcessAccount(),
            .time_utc = UtcTimestamp(std::chrono::system_clock::now()),
            .windows_version = WindowsVersion(),
            .elevated = uac.elevated,
            .virtualized = uac.virtualized};
  }

 private:
  void ListDrivesOnce() {
    if (listed_) return;
    listed_ = true;
    std::vector<std::wstring> roots;
    if (const Status listing = drives_.roots(roots); !listing.ok()) {
      problem_ = listing.message();
      return;
    }
    const CriticalErrorBoxesOff quiet;
    for (const std::wstring& root : roots) entries_.push_back(DriveEntry(root, drives_));
    start_entry_ = StartEntry(entries_, drives_.current_directory(), drives_.system_drive());
  }

  DriveQueries drives_;
  bool listed_ = false;
  std::vector<std::string> entries_;
  std::string start_entry_;
  std::string problem_;
};

}  // namespace

DriveQueries MachineDrives() {
  return {ListDriveRoots, [](const std::wstring& root) { return GetDriveTypeW(root.c_str()); },
          VolumeLabel, CurrentDirectory, SystemDriveLetter};
}

std::unique_ptr<Env> NewWindowsEnv(DriveQueries drives) {
  return std::make_unique<WindowsEnv>(std::move(drives));
}

std::unique_ptr<Env> NewDefaultEnv(const EnvOptions& /*options*/) {
  return NewWindowsEnv(MachineDrives());
}

UacState ProcessUacState() {
  UacState state;
  const ProcessToken token;
  if (!token.get()) return state;
  DWORD virtualization_enabled = 0;
  DWORD size = 0;
  if (GetTokenInformation(token.get(), TokenVirtualizationEnabled, &virtualization_enabled,
                          sizeof(virtualization_enabled), &size)) {
    state.virtualized = virtualization_enabled != 0;
  }
  TOKEN_ELEVATION elevation{};
  if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
    state.elevated = elevation.TokenIsElevated != 0;
  } else {
    state.elevated = TokenIsAdministratorsMember();  // Windows XP
  }
  return state;
}

bool TokenIsAdministratorsMember() {
  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  // No token: the calling thread's, which CheckTokenMembership needs as an
  // impersonation token and makes from the process's itself.
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

std::vector<std::wstring> ProfileFolders() {
  const RegistryKey profile_list(HKEY_LOCAL_MACHINE, kProfileListKey);
  if (!profile_list) return {};
  std::vector<std::wstring> folders;
  for (const std::wstring& sid : profile_list.SubkeyNames()) {
    const RegistryKey profile(profile_list.get(), sid.c_str());
    std::wstring folder = profile ? profile.Text(L"ProfileImagePath") : L"";
    if (!folder.empty()) folders.push_back(WithoutTrailingBackslashes(std::move(folder)));
  }
  const std::wstring profiles_directory = profile_list.Text(L"ProfilesDirectory");
  if (!profiles_directory.empty()) {
    for (std::wstring& folder : SubfoldersOf(WithoutTrailingBackslashes(profiles_directory))) {
      folders.push_back(std::move(folder));
    }
  }
  SortUniqueIgnoringCase(folders);
  return folders;
}

}  // namespace telo
