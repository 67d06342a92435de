// Tests of the POSIX Env: drives and folder probes through the prefix.
#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace telo
