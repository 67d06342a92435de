// The Windows Env on the machine it runs on (Windows, or a Wine prefix):
// drive entries and where the list starts, the fixed drives, directory
// changes with their statuses, the token's UAC state, VirtualStore copies in
// every profile, and the machine's facts.
#include "platform/windows/env_windows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <regex>

#include "base/utc_time.h"
#include "platform/windows/utf16.h"

namespace telo {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::wstring Variable(const wchar_t* name) {
  std::wstring value(32767, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
  return value;
}

std::wstring CaseKey(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Files and folders that a test makes anywhere on the machine, removed again
// at its end: only those it made, never a folder that was there before.
class ScratchFiles {
 public:
  ~ScratchFiles() {
    SetCurrentDirectoryW(L"c:\\");
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
    }
  }
  // Makes the folder and whatever is missing above it.
  std::wstring Folder(const std::wstring& path) {
    for (size_t end = path.find(L'\\', 3); end != std::wstring::npos;
         end = path.find(L'\\', end + 1)) {
      MakeFolder(path.substr(0, end));
    }
    MakeFolder(path);
    return path;
  }
  std::wstring File(const std::wstring& path) {
    Folder(path.substr(0, path.rfind(L'\\')));
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    created_.push_back(path);
    return path;
  }

 private:
  void MakeFolder(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) created_.push_back(path);
  }
  std::vector<std::wstring> created_;
};

class EnvWindowsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Env> env_ = NewDefaultEnv({});
  const std::wstring temp_ = Variable(L"TEMP") + L"\\telo-env-test-" + Tag();
  ScratchFiles scratch_;

  static std::wstring Tag() { return std::to_wstring(GetCurrentProcessId()); }
};

TEST_F(EnvWindowsTest, DriveEntriesBeginWithLowerCaseLetter) {
  const std::vector<std::string> entries = env_->DriveEntries();
  ASSERT_FALSE(entries.empty()) << env_->DriveProblem();
  EXPECT_EQ(env_->DriveProblem(), "");
  const std::regex entry_shape(R"([a-z]:( \[.+\])?)");
  for (const std::string& entry : entries) {
    EXPECT_TRUE(std::regex_match(entry, entry_shape)) << entry;
  }
}

TEST_F(EnvWindowsTest, CurrentDriveEntryFollowsTheCurrentDirectory) {
  ASSERT_TRUE(env_->ChangeDirectory("C:\\").ok());
  const std::string current = env_->CurrentDriveEntry();
  ASSERT_FALSE(current.empty());
  EXPECT_EQ(current[0], 'c');
  EXPECT_THAT(env_->DriveEntries(), Contains(current));
}

// Drives as a test describes them; counts the label reads of each root.
struct ScriptedDrives {
  std::vector<std::pair<std::wstring, UINT>> roots;  // root, drive type
  std::map<std::wstring, std::wstring> labels;
  std::wstring current_directory = L"C:\\";
  wchar_t system_drive = L'C';
  std::map<std::wstring, int> label_reads;
  Status listing;  // what listing the roots reports

  DriveQueries Queries() {
    return {[this](std::vector<std::wstring>& listed) {
              for (const auto& [root, type] : roots) listed.push_back(root);
              return listing;
            },
            [this](const std::wstring& root) {
              return std::ranges::find(roots, root, &std::pair<std::wstring, UINT>::first)->second;
            },
            [this](const std::wstring& root) {
              ++label_reads[root];
              return labels[root];
            },
            [this] { return current_directory; }, [this] { return system_drive; }};
  }
};

TEST(WindowsDriveListTest, EachDriveIsAskedOnceAndANetworkDriveNeverForItsLabel) {
  ScriptedDrives drives;
  drives.roots = {{L"A:\\", DRIVE_REMOVABLE},
                  {L"C:\\", DRIVE_FIXED},
                  {L"D:\\", DRIVE_CDROM},
                  {L"N:\\", DRIVE_REMOTE}};
  drives.labels = {{L"C:\\", L"SYSTEM"}, {L"D:\\", L"\u00C9T\u00C9"}};
  std::unique_ptr<Env> env = NewWindowsEnv(drives.Queries());

  EXPECT_EQ(env->CurrentDriveEntry(), "c: [SYSTEM]");
  EXPECT_THAT(env->DriveEntries(),
              ElementsAre("a:", "c: [SYSTEM]", "d: [\xC3\x89T\xC3\x89]", "n: [network drive]"));
  env->DriveEntries();
  env->CurrentDriveEntry();
  EXPECT_EQ(drives.label_reads,
            (std::map<std::wstring, int>{{L"A:\\", 1}, {L"C:\\", 1}, {L"D:\\", 1}}));
}

// The type alone decides, so no medium is ever read (no label either).
TEST(WindowsDriveListTest, FixedDrivesAreTheFixedTypeAloneInLetterOrder) {
  ScriptedDrives drives;
  drives.roots = {{L"E:\\", DRIVE_FIXED},   {L"A:\\", DRIVE_REMOVABLE},  {L"c:\\", DRIVE_FIXED},
                  {L"D:\\", DRIVE_CDROM},   {L"N:\\", DRIVE_REMOTE},     {L"R:\\", DRIVE_RAMDISK},
                  {L"U:\\", DRIVE_UNKNOWN}, {L"X:\\", DRIVE_NO_ROOT_DIR}};
  std::unique_ptr<Env> env = NewWindowsEnv(drives.Queries());
  EXPECT_THAT(env->FixedDrives(), ElementsAre('C', 'E'));
  EXPECT_THAT(drives.label_reads, IsEmpty());
}

// No fixed drive would read as "the host is not installed" when in truth
// the drives could not be asked.
TEST(WindowsDriveListTest, FixedDrivesThatCantBeListedLeaveTheReasonAsTheDriveProblem) {
  ScriptedDrives drives;
  drives.listing = Status::Error(error::kAccessDenied, "The drives can't be listed");
  std::unique_ptr<Env> env = NewWindowsEnv(drives.Queries());
  EXPECT_THAT(env->FixedDrives(), IsEmpty());
  EXPECT_EQ(env->DriveProblem(), "The drives can't be listed");
}

TEST(WindowsDriveListTest, StartsOnTheCurrentDriveElseOnTheSystemDrive) {
  struct Case {
    std::wstring current_directory;
    wchar_t system_drive;
    std::string start;
  };
  for (const Case& c : std::vector<Case>{
           {L"D:\\work", L'C', "d:"},
           {L"d:\\", L'C', "d:"},
           {L"\\\\server\\share\\tools", L'C', "c:"},  // started from a network path
           {L"\\\\server\\share\\tools", L'd', "d:"},
           {L"Q:\\gone", L'C', "c:"},  // a letter that isn't listed
           {L"\\\\server\\share", 0, "a:"},
       }) {
    ScriptedDrives drives;
    drives.roots = {{L"A:\\", DRIVE_REMOVABLE}, {L"C:\\", DRIVE_FIXED}, {L"D:\\", DRIVE_FIXED}};
    drives.current_directory = c.current_directory;
    drives.system_drive = c.system_drive;
    EXPECT_EQ(NewWindowsEnv(drives.Queries())->CurrentDriveEntry(), c.start)
        << Utf8FromUtf16(c.current_directory);
  }
}

TEST_F(EnvWindowsTest, ChangeDirectoryTakesUtf8Paths) {
  const std::wstring folder = scratch_.Folder(temp_ + L"\\Corvallo \u00E9t\u00E9");
  ASSERT_TRUE(env_->ChangeDirectory(Utf8FromUtf16(folder) + "\\").ok());
  wchar_t current[MAX_PATH + 1];
  GetCurrentDirectoryW(MAX_PATH + 1, current);
  EXPECT_EQ(std::wstring(current), folder);
}

TEST_F(EnvWindowsTest, ChangeDirectoryToMissingFolderFailsWithWin32Number) {
  const std::string missing = Utf8FromUtf16(scratch_.Folder(temp_)) + "\\Program Files\\Corvallo\\";
  const UINT before = SetErrorMode(0);
  const Status status = env_->ChangeDirectory(missing);
  EXPECT_EQ(SetErrorMode(before), 0u) << "the probe must give the error mode back";
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(static_cast<uint32_t>(status.number()) & 0xFFFF0000u, 0x80070000u) << status.ToString();
  EXPECT_THAT(status.message(), HasSubstr(missing));
}

// Wine gives every program a full administrator's token, which Windows never
// virtualizes; a failed query (XP has neither class) would read as not elevated.
TEST_F(EnvWindowsTest, TokenUnderWineIsElevatedAndNotVirtualized) {
  const UacState state = ProcessUacState();
  EXPECT_TRUE(state.elevated);
  EXPECT_FALSE(state.virtualized);
  EXPECT_FALSE(env_->ProcessIsVirtualized());
}

// Wine calls both its drives fixed, c: and z: (the Unix root).
TEST_F(EnvWindowsTest, FixedDrivesHoldTheSystemDriveInLetterOrderAndAreListedDrives) {
  const std::vector<char> fixed = env_->FixedDrives();
  EXPECT_THAT(fixed, Contains('C'));
  EXPECT_TRUE(std::ranges::adjacent_find(fixed, std::greater_equal<>()) == fixed.end())
      << "in letter order, each once";
  std::vector<char> listed;
  for (const std::string& entry : env_->DriveEntries()) listed.push_back(entry[0] - 'a' + 'A');
  EXPECT_TRUE(std::ranges::includes(listed, fixed));
}

std::wstring RegistryText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[256] = L"";
  DWORD size = sizeof text - sizeof(wchar_t);
  RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

// "major.minor.build" as the registry keeps it: major and minor in numbers
// since Windows 10, whose CurrentVersion stays "6.3"; before, in CurrentVersion.
std::string RegistryVersion() {
  const wchar_t key[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  DWORD major = 0, minor = 0, size = sizeof major;
  std::string version = Utf8FromUtf16(RegistryText(key, L"CurrentVersion"));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentMajorVersionNumber", RRF_RT_REG_DWORD, nullptr,
                   &major, &size) == ERROR_SUCCESS &&
      RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentMinorVersionNumber", RRF_RT_REG_DWORD, nullptr,
                   &minor, &size) == ERROR_SUCCESS) {
    version = std::to_string(major) + "." + std::to_string(minor);
  }
  return version + "." + Utf8FromUtf16(RegistryText(key, L"CurrentBuildNumber"));
}

// Each fact against what Windows (here the Wine prefix) keeps elsewhere: the
// registry's computer name and version, the variables of the user's session.
TEST_F(EnvWindowsTest, MachineFactsAgreeWithTheRegistryAndTheSession) {
  const std::string before = UtcTimestamp(std::chrono::system_clock::now());
  const MachineFacts facts = env_->Machine();
  const std::string after = UtcTimestamp(std::chrono::system_clock::now());

  EXPECT_EQ(facts.computer,
            Utf8FromUtf16(RegistryText(
                L"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName",
                L"ComputerName")));
  EXPECT_EQ(facts.account, Utf8FromUtf16(Variable(L"USERDOMAIN") + L"\\" + Variable(L"USERNAME")));
  EXPECT_TRUE(before <= facts.time_utc && facts.time_utc <= after) << facts.time_utc;
  EXPECT_EQ(facts.windows_version, RegistryVersion());
  EXPECT_TRUE(facts.elevated);
  EXPECT_FALSE(facts.virtualized);
  EXPECT_TRUE(TokenIsAdministratorsMember()) << "what XP's elevation rests on";
}

TEST_F(EnvWindowsTest, OwnVirtualStoreCopyIsAFileUnderTheSystemDrivesProgramFiles) {
  const std::wstring local = scratch_.Folder(temp_ + L"\\Local");
  const std::wstring copy =
      scratch_.File(local + L"\\VirtualStore\\Program Files (x86)\\Corvallo\\CVL.MDB");
  scratch_.File(local + L"\\VirtualStore\\Data\\CVL.MDB");
  scratch_.File(local + L"\\VirtualStore\\Program Files Old\\Corvallo\\CVL.MDB");
  const std::wstring saved = Variable(L"LOCALAPPDATA");
  SetEnvironmentVariableW(L"LOCALAPPDATA", local.c_str());

  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files (x86)\\Corvallo\\CVL.MDB"),
            Utf8FromUtf16(copy));
  EXPECT_EQ(env_->OwnVirtualStoreCopy("C:\\PROGRAM FILES (X86)\\Corvallo\\CVL.MDB"),
            Utf8FromUtf16(local + L"\\VirtualStore\\PROGRAM FILES (X86)\\Corvallo\\CVL.MDB"))
      << "names are case-insensitive";
  EXPECT_EQ(env_->OwnVirtualStoreCopy("d:\\Program Files (x86)\\Corvallo\\CVL.MDB"), "")
      << "Windows virtualizes only the system drive";
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files\\Corvallo\\CVL.MDB"), "");
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Data\\CVL.MDB"), "") << "not a virtualized folder";
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files Old\\Corvallo\\CVL.MDB"), "");
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files (x86)\\Corvallo"), "") << "a folder";

  SetEnvironmentVariableW(L"LOCALAPPDATA", saved.empty() ? nullptr : saved.c_str());
}

// Profiles come from the registry's ProfileList: a SID's ProfileImagePath
// (here one outside the profiles folder, given with a variable and a trailing
// backslash) and every folder of ProfilesDirectory (here a second user's).
TEST_F(EnvWindowsTest, VirtualStoreCopiesAreTheFilesInEveryProfileEachOnce) {
  const std::wstring tail = L"\\AppData\\Local\\VirtualStore\\Program Files\\Corvallo\\CVL.MDB";
  const std::wstring own = Variable(L"USERPROFILE");
  const std::wstring other = L"C:\\users\\telo-other-" + Tag();
  const std::wstring relocated = temp_ + L"\\Relocated";
  std::vector<std::wstring> expected = {scratch_.File(own + tail), scratch_.File(other + tail),
                                        scratch_.File(relocated + tail)};
  scratch_.Folder(L"C:\\users\\telo-folder-" + Tag() + tail);  // a folder is no copy
  const std::wstring sid_key =
      L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-7-7-7-" + Tag();
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, sid_key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring image_path = L"%TEMP%\\telo-env-test-" + Tag() + L"\\Relocated\\";
  RegSetValueExW(key, L"ProfileImagePath", 0, REG_EXPAND_SZ,
                 reinterpret_cast<const BYTE*>(image_path.c_str()),
                 static_cast<DWORD>((image_path.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);

  const std::vector<std::string> copies =
      env_->VirtualStoreCopies("c:\\Program Files\\Corvallo\\CVL.MDB");
  const std::vector<std::wstring> profiles = ProfileFolders();
  const std::vector<std::string> elsewhere =
      env_->VirtualStoreCopies("d:\\Program Files\\Corvallo\\CVL.MDB");
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, sid_key.c_str());

  std::ranges::sort(expected, {}, CaseKey);
  std::vector<std::string> expected_utf8;
  for (const std::wstring& path : expected) expected_utf8.push_back(Utf8FromUtf16(path));
  EXPECT_THAT(copies, ElementsAreArray(expected_utf8));
  EXPECT_EQ(std::ranges::count(profiles, CaseKey(own), CaseKey), 1)
      << "the own profile is both a SID's and a folder of ProfilesDirectory";
  EXPECT_THAT(elsewhere, IsEmpty()) << "Windows virtualizes only the system drive";
}

// The identity tells a file put at the path from the one that was there,
// also while a program holds the first one open without sharing it.
TEST_F(EnvWindowsTest, FileIdentityTellsAReplacedFileFromTheSameOne) {
  const std::wstring path = scratch_.File(temp_ + L"\\Corvallo\\CVL.MDB");
  const std::string shown = Utf8FromUtf16(path);
  FileIdentity first, again, replaced;
  ASSERT_TRUE(env_->IdentifyFile(shown, &first).ok());
  const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(env_->IdentifyFile(shown, &again).ok()) << "asked with no access, it is no conflict";
  CloseHandle(held);
  EXPECT_EQ(again, first);
  ASSERT_TRUE(MoveFileW(path.c_str(), (path + L".old").c_str()));
  scratch_.File(path + L".old");  // removed at the end too
  scratch_.File(path);
  ASSERT_TRUE(env_->IdentifyFile(shown, &replaced).ok());
  EXPECT_NE(replaced, first);
  EXPECT_TRUE(env_->IdentifyFile(shown + ".gone", &replaced).IsNotFound());
}

}  // namespace
}  // namespace telo
