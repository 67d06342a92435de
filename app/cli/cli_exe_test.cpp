// The Windows console program run as a user runs it, with its standard input
// from NUL and its output into files: what only the built .exe shows (its
// COM apartment, its arguments and text in UTF-8, the Windows-only usage
// rules). It must sit beside this test's .exe.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <nlohmann/json.hpp>

#include "app/cli/cli_exe_runner.h"
#include "platform/windows/utf16.h"

namespace telo {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr DWORD kExitUsage = 2;
// CO_E_NOTINITIALIZED: what creating ADODB.Connection outside a COM apartment gives.
constexpr int32_t kComNotInitialized = static_cast<int32_t>(0x800401F0);

TEST(CliExeTest, PrefixIsAUsageErrorOnWindows) {
  const CliRun run = RunCli(L"--drive c --yes --prefix C:\\prefix");
  EXPECT_EQ(run.exit_code, kExitUsage);
  EXPECT_THAT(run.err, HasSubstr("--prefix names a Wine-style prefix"));
}

// Windows' help names no --prefix, which Windows rejects; -h and /? show it
// too, and a bare command shows the usage, exit 2.
TEST(CliExeTest, HelpIsWindowsOwnAndABareCommandIsTheUsage) {
  for (const wchar_t* help : {L"--help", L"-h", L"/?"}) {
    const CliRun run = RunCli(help);
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_THAT(run.out, HasSubstr("\n  1618  every database that failed"));
    EXPECT_THAT(run.out, HasSubstr("\n  5     --check, --detect: a database could not be checked"));
    EXPECT_THAT(run.out, Not(HasSubstr("--prefix")));
    EXPECT_THAT(run.out, Not(HasSubstr("WINEPREFIX")));
  }
  const CliRun bare = RunCli(L"");
  EXPECT_EQ(bare.exit_code, kExitUsage);
  EXPECT_THAT(bare.err, HasSubstr("usage: telo-cli --drive LETTER|auto [--yes]\n"));
  EXPECT_EQ(bare.out, "");
}

// A drive that isn't there was "no database was found", exit 3.
TEST(CliExeTest, DriveThatIsNotThereIsAUsageError) {
  const CliRun run = RunCli(L"--check --drive q");
  EXPECT_EQ(run.exit_code, kExitUsage);
  EXPECT_THAT(run.err, HasSubstr("There is no drive Q: on this computer"));
  EXPECT_EQ(run.out, "");
}

// NUL is a character device, which the C runtime's _isatty takes for a terminal.
TEST(CliExeTest, InputFromNulIsNoTerminalToConfirmOn) {
  const CliRun run = RunCli(L"--drive c");
  EXPECT_EQ(run.exit_code, kExitUsage);
  EXPECT_THAT(run.err, HasSubstr("no terminal to confirm on"));
  EXPECT_THAT(run.err, Not(HasSubstr("Are you sure")));
}

// Arguments are read as UTF-16 and text to a file or pipe is written as UTF-8 bytes,
// whatever the ANSI and console code pages.
TEST(CliExeTest, NonAsciiTextReachesAFileAsUtf8) {
  const CliRun run = RunCli(L"--drive \u00E9\u20AC");
  EXPECT_EQ(run.exit_code, kExitUsage);
  EXPECT_THAT(run.err, HasSubstr("'\xC3\xA9\xE2\x82\xAC' is not a drive letter"));
}

// The install folder that the run probes second on drive c, made for the
// test (with Program Files (x86) where the prefix has none) and removed again.
class FoundFolder {
 public:
  FoundFolder() {
    for (const wchar_t* folder :
         {L"C:\\Program Files (x86)", L"C:\\Program Files (x86)\\Corvallo"}) {
      if (CreateDirectoryW(folder, nullptr)) created_.push_back(folder);
    }
  }
  ~FoundFolder() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) RemoveDirectoryW(it->c_str());
  }

 private:
  std::vector<std::wstring> created_;
};

TEST(CliExeTest, RunEntersACOMApartmentBeforeMakingTheConnection) {
  const FoundFolder folder;
  const CliRun run = RunCli(L"--drive c --yes --json");
  const nlohmann::json report = nlohmann::json::parse(run.out, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << run.out << run.err;
  bool found = false;
  for (const nlohmann::json& attempt : report["attempts"]) {
    if (!attempt.value("found", false)) continue;
    found = true;
    EXPECT_NE(attempt["open"]["error"].get<int32_t>(), kComNotInitialized) << attempt.dump();
    EXPECT_THAT(attempt["open"]["message"].get<std::string>(), Not(HasSubstr("can't be created")));
  }
  EXPECT_TRUE(found) << run.out;
}

}  // namespace
}  // namespace telo
