// Tests of WinePrefix: which dosdevices entries are drives, their texts, the
// current drive, and the mapping of Windows paths.
#include "platform/posix/wine_prefix.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace telo {
namespace {

namespace fs = std::filesystem;

class WinePrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/telo_prefix_XXXXXX";
    root_ = mkdtemp(pattern);
    fs::create_directories(root_ / "drive_c/Program Files/Corvallo");
    std::ofstream(root_ / "drive_c/Program Files/Corvallo/CVL.MDB") << "x";
    fs::create_directories(root_ / "dosdevices");
  }
  void TearDown() override { fs::remove_all(root_); }

  void Link(const std::string& name, const std::string& target) {
    fs::create_directory_symlink(target, devices() / name);
  }
  fs::path devices() const { return root_ / "dosdevices"; }
  WinePrefix Load() const { return WinePrefix::Load(root_.string()); }

  fs::path root_;
};

TEST_F(WinePrefixTest, DrivesAreLinksAndFoldersNamedLikeALetterAndColon) {
  Link("c:", "../drive_c");
  Link("z:", "/");
  fs::create_directory(devices() / "d:");
  Link("com1", "/dev/ttyS0");
  Link("d::", "/dev/sr0");
  std::ofstream(devices() / "e:") << "a file is no drive";
  Link("f:", "/no/such/folder");  // like an empty CD drive: listed, probes fail

  WinePrefix prefix = Load();

  EXPECT_EQ(prefix.DriveEntries(),
            (std::vector<std::string>{"c: [drive_c]", "d: [d:]", "f: [folder]", "z: [/]"}));
  EXPECT_EQ(prefix.problem(), "");
}

TEST_F(WinePrefixTest, RelativePrefixStillMapsAfterTheCurrentDirectoryChanges) {
  Link("c:", "../drive_c");
  const fs::path before = fs::current_path();
  fs::current_path(root_.parent_path());
  WinePrefix prefix = WinePrefix::Load(root_.filename().string());
  fs::current_path(root_ / "drive_c/Program Files");  // as the folder probe does
  std::string path;
  ASSERT_TRUE(prefix.MapPath("c:\\Program Files\\Corvallo\\CVL.MDB", &path).ok());
  EXPECT_TRUE(fs::exists(path)) << path;
  fs::current_path(before);
}

TEST_F(WinePrefixTest, MissingPrefixGivesNoDrivesAndSaysWhy) {
  WinePrefix missing = WinePrefix::Load((root_ / "absent").string());
  EXPECT_TRUE(missing.drives().empty());
  EXPECT_NE(missing.problem().find((root_ / "absent").string()), std::string::npos);
  EXPECT_NE(missing.problem().find("does not exist"), std::string::npos);
  EXPECT_EQ(missing.CurrentDriveEntry(), "");
  std::string path;
  EXPECT_EQ(missing.MapPath("c:\\x", &path).number(), error::kPathNotFound);

  fs::remove(devices());
  EXPECT_NE(Load().problem().find("no dosdevices"), std::string::npos);
  fs::create_directory(devices());
  EXPECT_NE(Load().problem().find("has no drives"), std::string::npos);
}

TEST_F(WinePrefixTest, MapsComponentsCaseInsensitivelyWhenTheExactNameIsMissing) {
  Link("c:", "../drive_c");
  WinePrefix prefix = Load();
  std::string path;

  ASSERT_TRUE(prefix.MapPath("c:\\Program Files\\Corvallo\\CVL.MDB", &path).ok());
  EXPECT_EQ(path, (devices() / "c:/Program Files/Corvallo/CVL.MDB").string());

  ASSERT_TRUE(prefix.MapPath("C:\\PROGRAM FILES\\corvallo\\cvl.mdb", &path).ok());
  EXPECT_EQ(path, (devices() / "c:/Program Files/Corvallo/CVL.MDB").string());

  ASSERT_TRUE(prefix.MapPath("c:/program files/Corvallo/", &path).ok());
  EXPECT_EQ(path, (devices() / "c:/Program Files/Corvallo").string());
}

TEST_F(WinePrefixTest, ExactNameWinsOverOneDifferingInCase) {
  Link("c:", "../drive_c");
  fs::create_directory(root_ / "drive_c/data");
  fs::create_directory(root_ / "drive_c/Data");
  std::string path;
  ASSERT_TRUE(Load().MapPath("c:\\Data", &path).ok());
  EXPECT_EQ(path, (devices() / "c:/Data").string());
}

TEST_F(WinePrefixTest, UnmatchedComponentsAreKeptAsWritten) {
  Link("c:", "../drive_c");
  std::string path;
  ASSERT_TRUE(Load().MapPath("c:\\program files\\Nowhere\\CVL.MDB", &path).ok());
  EXPECT_EQ(path, (devices() / "c:/Program Files/Nowhere/CVL.MDB").string());
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(WinePrefixTest, PathsWithoutAKnownDriveFail) {
  Link("c:", "../drive_c");
  WinePrefix prefix = Load();
  std::string path;
  Status unknown = prefix.MapPath("q:\\Program Files\\Corvallo\\", &path);
  EXPECT_EQ(unknown.number(), error::kPathNotFound);
  EXPECT_NE(unknown.message().find("no drive q:"), std::string::npos);
  EXPECT_EQ(prefix.MapPath("\\Program Files", &path).number(), error::kPathNotFound);
  EXPECT_EQ(prefix.MapPath("", &path).number(), error::kPathNotFound);
}

TEST_F(WinePrefixTest, CurrentDriveIsTheDeepestDriveHoldingTheFolder) {
  Link("c:", "../drive_c");
  Link("z:", "/");
  WinePrefix prefix = Load();
  EXPECT_EQ(prefix.DriveEntryHolding((root_ / "drive_c/Program Files").string()), "c: [drive_c]");
  EXPECT_EQ(prefix.DriveEntryHolding("/usr"), "z: [/]");
}

TEST_F(WinePrefixTest, CurrentDriveFallsBackToCThenToTheFirstDrive) {
  Link("c:", "../drive_c");
  fs::create_directory(root_ / "other");
  Link("b:", "../other");
  EXPECT_EQ(Load().DriveEntryHolding("/usr"), "c: [drive_c]");
  fs::remove(devices() / "c:");
  EXPECT_EQ(Load().DriveEntryHolding("/usr"), "b: [other]");
}

}  // namespace
}  // namespace telo
