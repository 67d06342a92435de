// Writing a file whole: the new text replaces the old one completely, and no
// temporary file stays behind, whether the write succeeds or fails.
#include "app/cli/summary_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

namespace telo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every name in `folder` and below it, relative to it, in UTF-8.
std::vector<std::string> EverythingIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    names.push_back(Utf8(entry.path().lexically_relative(folder).generic_u8string()));
  }
  return names;
}

class WriteFileAtomicallyTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(folder_); }
  void TearDown() override { fs::remove_all(folder_); }

  const fs::path folder_ =
      fs::temp_directory_path() / ("telo_atomic_" + std::to_string(std::random_device()()));
};

TEST_F(WriteFileAtomicallyTest, ReplacesWholeOrFailsSayingWhatAndLeavesNoTemporary) {
  const std::string text = "{\n  \"schema\": 1\n}\n";
  struct Case {
    const char* what;
    std::string name;  // UTF-8, relative to the folder
    std::function<void(const fs::path& target)> prepare;
    const char* failed_step;  // in the message; nullptr: written
    std::vector<std::string> left;
  };
  const std::string accented = "r\xC3\xA9sultat.json";
  const Case cases[] = {
      {"a new file", "result.json", nullptr, nullptr, {"result.json"}},
      {"a longer file replaced",
       "result.json",
       [](const fs::path& target) { std::ofstream(target) << std::string(4096, 'x'); },
       nullptr,
       {"result.json"}},
      {"a name that is not ASCII", accented, nullptr, nullptr, {accented}},
      {"a folder that doesn't exist", "gone/result.json", nullptr, "can't be made", {}},
      {"a folder in the file's place",
       "result.json",
       [](const fs::path& target) { fs::create_directory(target); },
       "renaming",
       {"result.json"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const fs::path target = folder_ / FromUtf8(c.name);
    if (c.prepare) c.prepare(target);

    const std::string path = Utf8(target.lexically_normal().make_preferred());
    const Status written = WriteFileAtomically(path, text);

    EXPECT_THAT(EverythingIn(folder_), UnorderedElementsAreArray(c.left));
    if (c.failed_step == nullptr) {
      EXPECT_TRUE(written.ok()) << written.ToString();
      EXPECT_EQ(Contents(target), text);
      continue;
    }
    EXPECT_FALSE(written.ok());
    EXPECT_THAT(written.message(), HasSubstr(path + " could not be written"));
    EXPECT_THAT(written.message(), HasSubstr(c.failed_step));
  }
}

}  // namespace
}  // namespace telo
