// Tests of TempPrefix: the layout WinePrefix reads, and a removal that gets
// through folders a test locked without reaching past the prefix's links.
#include "testing/temp_prefix.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/wine_prefix.h"

namespace telo {
namespace {

namespace fs = std::filesystem;

TEST(TempPrefixTest, DrivesAndInstallFoldersAreWhereWinePrefixLooks) {
  const TempPrefix prefix("telo_temp_prefix", {.drives = "cd", .install_folders = 2});
  ASSERT_TRUE(prefix.status().ok()) << prefix.status().ToString();
  EXPECT_EQ(prefix.root().parent_path(),
            fs::absolute(fs::temp_directory_path()).lexically_normal());
  EXPECT_TRUE(fs::is_directory(prefix.InstallFolder(0)));
  EXPECT_TRUE(fs::is_directory(prefix.InstallFolder(1)));
  EXPECT_EQ(WinePrefix::Load(prefix.root().string()).DriveEntries(),
            (std::vector<std::string>{"c: [drive_c]", "d: [drive_d]"}));
  std::string path;
  ASSERT_TRUE(WinePrefix::Load(prefix.root().string())
                  .MapPath("c:\\Program Files (x86)\\Corvallo\\CVL.MDB", &path)
                  .ok());
  EXPECT_TRUE(fs::equivalent(fs::path(path).parent_path(), prefix.InstallFolder(1)));
}

TEST(TempPrefixTest, RemovalUnlocksFoldersInsideButLeavesALinkedFolderAsItWas) {
  const TempFolder outside("telo_outside");
  ASSERT_TRUE(outside.status().ok()) << outside.status().ToString();
  const fs::path kept = outside.path() / "kept";
  fs::create_directory(kept);
  fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_exec);
  fs::path root;
  {
    const TempPrefix prefix("telo_temp_prefix");
    ASSERT_TRUE(prefix.status().ok()) << prefix.status().ToString();
    root = prefix.root();
    fs::create_directories(prefix.InstallFolder() / "inner");
    fs::permissions(prefix.InstallFolder() / "inner", fs::perms::none);
    fs::permissions(prefix.InstallFolder(), fs::perms::none);
    fs::create_directory_symlink(kept, root / "dosdevices/z:");
  }
  EXPECT_FALSE(fs::exists(root));
  EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read | fs::perms::owner_exec);
}

}  // namespace
}  // namespace telo
