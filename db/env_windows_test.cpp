// The Windows Env on the machine it runs on (Windows, or a Wine prefix):
// drive entries, directory changes with their statuses, VirtualStore copies,
// and the connections it hands out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "db/ado/com_apartment.h"
#include "db/ado/utf16.h"
#include "db/env.h"

namespace telo {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

// A fresh folder under the temporary folder, removed again with its files.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + L"telo-env-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    SetCurrentDirectoryW(L"c:\\");
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
    }
    RemoveDirectoryW(path_.c_str());
  }
  const std::wstring& path() const { return path_; }
  std::wstring Folder(const std::wstring& relative) {
    std::wstring full = path_;
    for (size_t start = 0; start < relative.size();) {
      const size_t end = std::min(relative.find(L'\\', start), relative.size());
      full += L"\\" + relative.substr(start, end - start);
      CreateDirectoryW(full.c_str(), nullptr);
      created_.push_back(full);
      start = end + 1;
    }
    return full;
  }
  std::wstring File(const std::wstring& folder, const std::wstring& name) {
    const std::wstring full = Folder(folder) + L"\\" + name;
    CloseHandle(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    created_.push_back(full);
    return full;
  }

 private:
  std::wstring path_;
  std::vector<std::wstring> created_;
};

class EnvWindowsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Env> env_ = NewDefaultEnv({});
  ScratchFolder scratch_;
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

TEST_F(EnvWindowsTest, ChangeDirectoryTakesUtf8Paths) {
  const std::wstring folder = scratch_.Folder(L"Corvallo \u00E9t\u00E9");
  ASSERT_TRUE(env_->ChangeDirectory(Utf8FromUtf16(folder) + "\\").ok());
  wchar_t current[MAX_PATH + 1];
  GetCurrentDirectoryW(MAX_PATH + 1, current);
  EXPECT_EQ(std::wstring(current), folder);
}

TEST_F(EnvWindowsTest, ChangeDirectoryToMissingFolderFailsWithWin32Number) {
  const std::string missing = Utf8FromUtf16(scratch_.path()) + "\\Program Files\\Corvallo\\";
  const Status status = env_->ChangeDirectory(missing);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(static_cast<uint32_t>(status.number()) & 0xFFFF0000u, 0x80070000u) << status.ToString();
  EXPECT_THAT(status.message(), HasSubstr(missing));
}

TEST_F(EnvWindowsTest, VirtualStoreCopyIsFoundOnlyUnderProgramFiles) {
  const std::wstring local = scratch_.Folder(L"Local");
  const std::wstring copy =
      scratch_.File(L"Local\\VirtualStore\\Program Files (x86)\\Corvallo", L"CVL.MDB");
  scratch_.File(L"Local\\VirtualStore\\Data", L"CVL.MDB");
  std::wstring saved(MAX_PATH + 1, L'\0');
  saved.resize(GetEnvironmentVariableW(L"LOCALAPPDATA", saved.data(), MAX_PATH + 1));
  SetEnvironmentVariableW(L"LOCALAPPDATA", local.c_str());

  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files (x86)\\Corvallo\\CVL.MDB"),
            Utf8FromUtf16(copy));
  EXPECT_THAT(env_->OwnVirtualStoreCopy("d:\\PROGRAM FILES (X86)\\Corvallo\\CVL.MDB"),
              HasSubstr("VirtualStore"))
      << "the copy is per user, not per drive, and names are case-insensitive";
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files\\Corvallo\\CVL.MDB"), "");
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Data\\CVL.MDB"), "") << "not a virtualised folder";
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files (x86)\\Corvallo"), "") << "a folder";

  SetEnvironmentVariableW(L"LOCALAPPDATA", saved.empty() ? nullptr : saved.c_str());
}

TEST_F(EnvWindowsTest, NewConnectionIsClosed) {
  ComApartment com;
  ASSERT_TRUE(com.status().ok());
  std::unique_ptr<Connection> connection = env_->NewConnection();
  EXPECT_EQ(connection->Execute("SELECT 1").number(), error::kConnectionClosed);
}

}  // namespace
}  // namespace telo
