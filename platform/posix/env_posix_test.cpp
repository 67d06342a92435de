// Tests of the POSIX Env: drives and folder probes through the prefix, and
// the machine's facts.
#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <filesystem>
#include <fstream>

#include "base/utc_time.h"
#include "platform/env.h"
#include "testing/temp_prefix.h"

namespace telo {
namespace {

namespace fs = std::filesystem;

class PosixEnvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_cwd_ = fs::current_path();
    ASSERT_TRUE(temp_.status().ok()) << temp_.status().ToString();
    env_ = NewDefaultEnv(EnvOptions{root_.string()});
  }
  void TearDown() override { fs::current_path(saved_cwd_); }

  fs::path saved_cwd_;
  TempPrefix temp_{"telo_env", {.install_folders = 1}};
  const fs::path root_ = temp_.root();
  std::unique_ptr<Env> env_;
};

TEST_F(PosixEnvTest, ProbeEntersTheMappedFolderAndStaysThere) {
  ASSERT_TRUE(env_->ChangeDirectory("c:\\program files\\CORVALLO\\").ok());
  EXPECT_EQ(fs::current_path(), fs::canonical(root_ / "drive_c/Program Files/Corvallo"));
  EXPECT_EQ(env_->CurrentDriveEntry(), "c: [drive_c]");
  EXPECT_EQ(env_->DriveEntries(), std::vector<std::string>{"c: [drive_c]"});
  EXPECT_EQ(env_->DriveProblem(), "");
  EXPECT_EQ(env_->OwnVirtualStoreCopy("c:\\Program Files\\Corvallo\\CVL.MDB"), "");
}

TEST_F(PosixEnvTest, MissingFolderOrDriveIsPathNotFound) {
  EXPECT_EQ(env_->ChangeDirectory("c:\\Program Files (x86)\\Corvallo\\").number(),
            error::kPathNotFound);
  EXPECT_EQ(env_->ChangeDirectory("d:\\Program Files\\Corvallo\\").number(), error::kPathNotFound);
  EXPECT_EQ(fs::current_path(), saved_cwd_);
}

TEST_F(PosixEnvTest, FolderThatCantBeEnteredIsAccessDenied) {
  fs::permissions(root_ / "drive_c/Program Files", fs::perms::owner_read | fs::perms::owner_write);
  Status status = env_->ChangeDirectory("c:\\Program Files\\");
  EXPECT_EQ(status.number(), error::kAccessDenied);
  EXPECT_NE(status.message().find("can't be entered"), std::string::npos);
}

TEST_F(PosixEnvTest, MissingPrefixGivesAnEmptyDriveListAndAProblem) {
  std::unique_ptr<Env> env = NewDefaultEnv(EnvOptions{(root_ / "nothing").string()});
  EXPECT_TRUE(env->DriveEntries().empty());
  EXPECT_EQ(env->CurrentDriveEntry(), "");
  EXPECT_NE(env->DriveProblem(), "");
  EXPECT_EQ(env->ChangeDirectory("c:\\").number(), error::kPathNotFound);
}

// Only entries that lead to a folder count: not a link that leads nowhere
// (a CD drive without its disc), to a file, or a name that is no drive.
TEST(PosixFixedDrives, AreThePrefixDrivesThatLeadToFoldersInLetterOrder) {
  TempPrefix prefix("telo_fixed", {.drives = "zdc"});
  ASSERT_TRUE(prefix.status().ok()) << prefix.status().ToString();
  const fs::path devices = prefix.root() / "dosdevices";
  std::ofstream(prefix.root() / "file");
  fs::create_directory_symlink("../drive_gone", devices / "e:");
  fs::create_symlink("../file", devices / "f:");
  fs::create_directory(devices / "g:");  // a plain folder is a drive too
  fs::create_directory_symlink("../drive_c", devices / "com1");
  fs::create_directory_symlink("../drive_c", devices / "h::");

  EXPECT_EQ(NewDefaultEnv(EnvOptions{prefix.root().string()})->FixedDrives(),
            (std::vector<char>{'C', 'D', 'G', 'Z'}));
  EXPECT_TRUE(
      NewDefaultEnv(EnvOptions{(prefix.root() / "nothing").string()})->FixedDrives().empty());
}

TEST(PosixMachineFacts, AreTheHostAndTheEffectiveUserWithoutAWindowsVersion) {
  utsname host;
  ASSERT_EQ(uname(&host), 0);
  const std::unique_ptr<Env> env = NewDefaultEnv({});
  const std::string before = UtcTimestamp(std::chrono::system_clock::now());
  const MachineFacts facts = env->Machine();
  const std::string after = UtcTimestamp(std::chrono::system_clock::now());
  EXPECT_EQ(facts.computer, host.nodename);
  EXPECT_FALSE(facts.account.empty());
  EXPECT_TRUE(before <= facts.time_utc && facts.time_utc <= after) << facts.time_utc;
  EXPECT_EQ(facts.windows_version, "");
  EXPECT_FALSE(facts.virtualized);
}

}  // namespace
}  // namespace telo
