// telo.exe's whole job under Wine, against the ADO double: the built
// program (beside this test's .exe) is started with its current directory on
// drive c, so that its drive list starts there, and driven from outside
// through Update and Yes to its outcome box, for each kind of outcome. The
// install folders are made by HostInstall, so the program runs alone
// (RUN_SERIAL). Every wait has a deadline; a program left running is killed.
// Wine can't read another process's icon, but one process's boxes share the
// handle of a system icon: the outcome box's icon is compared with the
// confirmation box's, which is the information icon.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/win32/test_support.h"
#include "testing/ado_double/host_install.h"
#include "testing/ado_double/patch_fixture.h"

namespace telo::win32 {
namespace {

using ::testing::HasSubstr;
using namespace telo::win32::testing;

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring self = path;
  return self.substr(0, self.find_last_of(L"\\/") + 1) + L"telo.exe";
}

enum class Install { kNothing, kPatchedTables, kWithoutMisConfiguration, kWrongPassword };

JetFixture FixtureFor(Install install) {
  JetFixture fixture = PatchedTablesFixture(install == Install::kWrongPassword ? "999" : "846");
  if (install == Install::kWithoutMisConfiguration) fixture.tables.erase("MIS_Configuration");
  return fixture;
}

struct OutcomeCase {
  const char* name;
  Install install;
  std::vector<std::wstring> text;  // the whole prompt, or parts of it
  bool whole_text;
  bool information_icon;  // false: another one, the warning icon
};

const OutcomeCase kOutcomeCases[] = {
    {"FullPatch", Install::kPatchedTables, {L"Database Updated successfully !  "}, true, true},
    {"MissingTable",
     Install::kWithoutMisConfiguration,
     {L"\n    UpdateMISConfiguration failed at statement 1 of ",
      L": The Microsoft Jet database engine cannot find the input table or query "
      L"'MIS_Configuration'.",
      L"\n      MIS_Configuration was left as it was.\n"},
     false,
     false},
    {"WrongPassword",
     Install::kWrongPassword,
     {L"\n  c:\\Program Files\\Corvallo\\CVL.MDB could not be opened: Not a valid password.\n"},
     false,
     false},
    {"NoDatabase",
     Install::kNothing,
     {L"No database was found on drive c. Nothing was changed.\n"},
     false,
     false},
};

std::string Patched(const JetFixture& fixture) {
  JetFixture patched = fixture;
  EXPECT_TRUE(ApplyWholePatch(&patched.tables).ok());
  return FormatJetFixture(patched);
}

std::string HeldIn(const std::string& path) {
  JetFixture held;
  const Status read = ReadJetFixtureFile(path, &held);
  return read.ok() ? FormatJetFixture(held) : "(unreadable: " + read.ToString() + ")";
}

class FrmMainOutcomeTest : public ::testing::TestWithParam<OutcomeCase> {
 protected:
  HostInstall host_;
  ProgramRun program_;
};

TEST_P(FrmMainOutcomeTest, UpdateAnsweredYesEndsInItsOutcomeBox) {
  const OutcomeCase& c = GetParam();
  const JetFixture fixture = FixtureFor(c.install);
  if (c.install != Install::kNothing) {
    const Status written = host_.Put(HostFolder::kStandard, fixture);
    ASSERT_TRUE(written.ok()) << written.ToString();
  }
  ASSERT_EQ(program_.Start(ProgramPath(), L"C:\\"), "");
  ASSERT_EQ(TextOf(program_.drvMain()).substr(0, 2), L"c:");

  program_.Click(program_.cmdUpdate());
  HWND confirmation = WaitForBox(program_.form());
  ASSERT_NE(confirmation, nullptr) << "no confirmation box";
  const HICON information = ReadBox(confirmation).icon;
  ASSERT_NE(information, nullptr);
  ASSERT_TRUE(AnswerBox(confirmation, IDYES));
  HWND outcome = WaitForBox(program_.form());
  ASSERT_NE(outcome, nullptr) << "no outcome box";
  const BoxContent box = ReadBox(outcome);

  EXPECT_EQ(box.caption, L"Database Update");
  for (const std::wstring& part : c.text) {
    if (c.whole_text) {
      EXPECT_EQ(box.text, part);
    } else {
      EXPECT_THAT(box.text, HasSubstr(part));
    }
  }
  EXPECT_EQ(ButtonIds(box), std::vector<int>{IDOK});
  EXPECT_NE(box.icon, nullptr);
  EXPECT_EQ(box.icon == information, c.information_icon);
  ASSERT_TRUE(AnswerBox(outcome, IDOK));
  program_.Click(program_.cmdCancel());
  DWORD exit_code = 99;
  ASSERT_TRUE(program_.WaitForExit(&exit_code));
  EXPECT_EQ(exit_code, 0u);
  if (c.install == Install::kPatchedTables) {
    EXPECT_EQ(HeldIn(HostInstall::Database(HostFolder::kStandard)), Patched(fixture));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FrmMainOutcomeTest, ::testing::ValuesIn(kOutcomeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace telo::win32
