// Tests of WinePrefix: which dosdevices entries are drives, their texts, the
// current drive, and the mapping of Windows paths.
#include "platform/posix/wine_prefix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "testing/temp_prefix.h"

namespace telo {
namespace {

namespace fs = std::filesystem;

class WinePrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.status().ok()) << temp_.status().ToString();
    std::ofstream(temp_.Database()) << "x";
  }

  void Link(const std::string& name, const std::string& target) {
    fs::create_directory_symlink(target, devices() / name);
  }
  fs::path devices() const { return root_ / "dosdevices"; }
  WinePrefix Load() const { return WinePrefix::Load(root_.string()); }

  TempPrefix temp_{"telo_prefix", {.drives = "", .install_folders = 1}};
  const fs::path root_ = temp_.root();
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

// "Corvallo" beside "CORVALLO" (or an exact name beside a case variant) is
// one name to Windows. Mapping once picked one of them silently, the exact
// name or else the smallest, with nothing to say the host opens the same.
// Now it fails and names every match; once only one is left, it is found.
TEST_F(WinePrefixTest, NamesThatDifferOnlyInCaseAreRefusedNotPickedSilently) {
  Link("c:", "../drive_c");
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make_variant;  // in drive_c/Program Files
    const char* path;
    const char* says;      // {} stands for the folder on this machine
    const char* original;  // removed, which leaves one match
    const char* keep;      // what the path then maps to
  };
  const Case cases[] = {
      {"two folders", [](const fs::path& dir) { fs::create_directories(dir / "CORVALLO"); },
       "c:\\Program Files\\corvallo\\CVL.MDB",
       "'c:\\Program Files\\corvallo\\' matches more than one folder in {}: CORVALLO, Corvallo. "
       "Windows sees these as one name; keep one and remove or rename the others.",
       "Corvallo", "CORVALLO/CVL.MDB"},
      {"an exact file name beside a variant",
       [](const fs::path& dir) { std::ofstream(dir / "Corvallo/cvl.mdb") << "y"; },
       "c:\\Program Files\\Corvallo\\CVL.MDB",
       "'c:\\Program Files\\Corvallo\\CVL.MDB' matches more than one file in {}/Corvallo: "
       "CVL.MDB, cvl.mdb.",
       "Corvallo/CVL.MDB", "Corvallo/cvl.mdb"},
      {"a file beside a folder", [](const fs::path& dir) { std::ofstream(dir / "corvallo"); },
       "c:/Program Files/CORVALLO",
       "'c:/Program Files/CORVALLO' matches more than one file or folder in {}: Corvallo, "
       "corvallo.",
       "Corvallo", "corvallo"},
  };
  const fs::path dir = root_ / "drive_c/Program Files";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir);
    fs::create_directories(dir / "Corvallo");
    std::ofstream(dir / "Corvallo/CVL.MDB") << "x";
    c.make_variant(dir);
    std::string path = "untouched";
    Status status = Load().MapPath(c.path, &path);
    EXPECT_EQ(status.number(), error::kAmbiguousName);
    std::string says = c.says;
    says.replace(says.find("{}"), 2, (devices() / "c:/Program Files").string());
    EXPECT_NE(status.message().find(says), std::string::npos) << status.message();
    EXPECT_EQ(path, "untouched");

    fs::remove_all(dir / c.original);
    ASSERT_TRUE(Load().MapPath(c.path, &path).ok());
    EXPECT_EQ(path, (devices() / "c:/Program Files" / c.keep).string());
  }
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
