// Writing a file whole to a UNC path (\\server\share\...), as an office names
// its shared result folder. Wine serves \\server\share from the folder
// dosdevices\unc\server\share of its prefix, which the test makes; on a
// Windows without Wine the test is skipped.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli/summary_files.h"

namespace telo {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

std::wstring Variable(const wchar_t* name) {
  std::wstring value(32767, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
  return value;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(WriteFileAtomicallyUnc, ReplacesAFileOnAShareAndLeavesNoTemporary) {
  std::wstring prefix = Variable(L"WINEPREFIX");
  if (prefix.empty()) GTEST_SKIP() << "needs Wine, which serves UNC paths from its prefix";
  std::ranges::replace(prefix, L'/', L'\\');
  const std::string server = "telo-server-" + std::to_string(GetCurrentProcessId());
  const fs::path servers = L"Z:" + prefix + L"\\dosdevices\\unc";
  const fs::path share = servers / server / "results";
  fs::create_directories(share);
  std::ofstream(share / "DESK-7.json") << std::string(4096, 'x');
  const std::string unc = "\\\\" + server + "\\results\\";

  const Status written = WriteFileAtomically(unc + "DESK-7.json", "{}\n");

  EXPECT_TRUE(written.ok()) << written.ToString();
  std::ostringstream text;
  text << std::ifstream(share / "DESK-7.json").rdbuf();
  EXPECT_EQ(text.str(), "{}\n");
  EXPECT_THAT(NamesIn(share), ElementsAre("DESK-7.json"));
  fs::remove_all(servers / server);
  if (fs::is_empty(servers)) fs::remove(servers);
}

}  // namespace
}  // namespace telo
