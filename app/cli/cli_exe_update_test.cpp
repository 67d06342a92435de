// telo-cli.exe's whole job under Wine, against the ADO double: the built
// program (beside this test's .exe) run as a separate process on drive c,
// whose install folders and second user profile HostInstall makes with Jet
// fixtures and reads back afterwards. Runs alone (RUN_SERIAL): the folders'
// paths are fixed. RunCli kills a run that takes over a minute.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli_exe_runner.h"
#include "patch/sequence.h"
#include "platform/windows/utf16.h"
#include "testing/ado_double/fixture_folder.h"
#include "testing/ado_double/host_install.h"
#include "testing/ado_double/patch_fixture.h"

namespace telo {
namespace {

using nlohmann::json;
using ::testing::AllOf;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::SizeIs;

constexpr DWORD kExitDone = 0;
constexpr DWORD kExitFailed = 1;
constexpr DWORD kExitNotChecked = 5;
constexpr DWORD kExitRetryLater = 1618;
constexpr std::size_t kPatchedTableCount = 13;

constexpr char kStandardDatabase[] = "c:\\Program Files\\Corvallo\\CVL.MDB";

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

json JsonOf(const CliRun& run) {
  json document = json::parse(run.out, nullptr, false);
  if (document.is_discarded()) {
    ADD_FAILURE() << "no JSON on standard output:\n" << run.out << run.err;
    return json::object();
  }
  return document;
}

std::vector<std::string> States(const json& tables) {
  std::vector<std::string> states;
  for (const json& table : tables) states.push_back(table.value("state", "(none)"));
  return states;
}

FakeTables Patched(FakeTables tables) {
  const Status applied = ApplyWholePatch(&tables);
  EXPECT_TRUE(applied.ok()) << applied.ToString();
  return tables;
}

// What the database file holds, as fixture text (to diff when it differs).
std::string HeldIn(const std::string& path) {
  JetFixture held;
  const Status read = ReadJetFixtureFile(path, &held);
  return read.ok() ? FormatJetFixture(held) : "(unreadable: " + read.ToString() + ")";
}

std::string Text(std::optional<std::string> password, FakeTables tables) {
  return FormatJetFixture(JetFixture{std::move(password), std::move(tables)});
}

std::string ProcedureOf(std::string_view table) {
  for (const PatchProcedure* procedure : PatchSequence()) {
    for (const TableStatements& statements : procedure->tables()) {
      if (statements.table == table) return std::string(procedure->name());
    }
  }
  return "(none)";
}

// The 1-based position within its procedure of the first statement of
// `table` that holds `text`.
std::size_t PositionOf(std::string_view table, std::string_view text) {
  for (const PatchProcedure* procedure : PatchSequence()) {
    std::size_t position = 0;
    for (const TableStatements& statements : procedure->tables()) {
      for (std::string_view statement : statements.statements) {
        ++position;
        if (statements.table == table && statement.find(text) != std::string_view::npos) {
          return position;
        }
      }
    }
  }
  return 0;
}

std::size_t DecimalPlaces(std::string_view literal) {
  const std::size_t point = literal.find('.');
  return point == std::string_view::npos ? 0 : literal.size() - point - 1;
}

// `fixture` with its DOUBLE columns declared SINGLE, CURRENCY and
// DECIMAL(18,s) in turn, s being the most decimals the column holds after
// the patch (a column with more than Currency's four stays SINGLE), so
// that every value the patch writes fits its column.
JetFixture WithSingleCurrencyAndDecimalColumns(JetFixture fixture) {
  const FakeTables patched = Patched(fixture.tables);
  int turn = 0;
  for (auto& [name, table] : fixture.tables) {
    for (std::size_t column = 0; column < table.types.size(); ++column) {
      if (table.types[column] != "DOUBLE") continue;
      std::size_t places = 0;
      for (const std::vector<std::string>& row : patched.at(name).rows) {
        places = std::max(places, DecimalPlaces(row[column]));
      }
      switch (turn++ % 3) {
        case 0:
          table.types[column] = "SINGLE";
          break;
        case 1:
          table.types[column] = places <= 4 ? "CURRENCY" : "SINGLE";
          break;
        default:
          table.types[column] = "DECIMAL(18," + std::to_string(places) + ")";
      }
    }
  }
  return fixture;
}

class CliExeUpdateTest : public ::testing::Test {
 protected:
  void Put(HostFolder folder, const JetFixture& fixture) {
    const Status written = host_.Put(folder, fixture);
    ASSERT_TRUE(written.ok()) << written.ToString();
  }

  HostInstall host_;
};

TEST_F(CliExeUpdateTest, CheckRunCheckAndRunAgain) {
  const JetFixture before = PatchedTablesFixture();
  ASSERT_NO_FATAL_FAILURE(Put(HostFolder::kStandard, before));
  const std::string database = HostInstall::Database(HostFolder::kStandard);
  const std::string patched = Text(before.password, Patched(before.tables));

  const CliRun check_before = RunCli(L"--check --drive c --json");
  EXPECT_EQ(check_before.exit_code, kExitFailed) << check_before.out << check_before.err;
  json report = JsonOf(check_before);
  EXPECT_EQ(report["up_to_date"], false);
  EXPECT_THAT(States(report["attempts"][0]["tables"]),
              AllOf(SizeIs(kPatchedTableCount), Each(std::string("differs"))));

  const CliRun run = RunCli(L"--drive c --yes --json");
  EXPECT_EQ(run.exit_code, kExitDone) << run.out << run.err;
  report = JsonOf(run);
  EXPECT_EQ(report["succeeded"], true);
  const json& attempt = report["attempts"][0];
  EXPECT_EQ(attempt["database"], kStandardDatabase);
  EXPECT_EQ(attempt["fully_patched"], true);
  EXPECT_THAT(States(attempt["verification"]),
              AllOf(SizeIs(kPatchedTableCount), Each(std::string("up_to_date"))));
  EXPECT_EQ(HeldIn(database), patched);

  const CliRun check_after = RunCli(L"--check --drive c --json");
  EXPECT_EQ(check_after.exit_code, kExitDone) << check_after.out << check_after.err;
  report = JsonOf(check_after);
  EXPECT_EQ(report["up_to_date"], true);
  EXPECT_THAT(States(report["attempts"][0]["tables"]),
              AllOf(SizeIs(kPatchedTableCount), Each(std::string("up_to_date"))));

  const CliRun again = RunCli(L"--drive c --yes");
  EXPECT_EQ(again.exit_code, kExitDone) << again.out << again.err;
  EXPECT_THAT(again.out, HasSubstr("The database was already up to date; the update wrote the "
                                   "same rates again.\n"));
  EXPECT_EQ(HeldIn(database), patched);
}

// A table that one procedure can't patch: it keeps exactly what it held,
// and every other table is patched and committed.
struct FailedTableCase {
  const char* name;
  std::string_view table;
  std::string_view rejected;  // "" : the table is missing from the file
  const char* reason;
};

const FailedTableCase kFailedTableCases[] = {
    {"MissingTable", "MIS_Configuration", "",
     "cannot find the input table or query 'MIS_Configuration'"},
    {"RowRejectedMidTable", "KVP_PMC_Rates", "1209", "duplicate values in the index"},
};

class CliExeFailedTableTest : public CliExeUpdateTest,
                              public ::testing::WithParamInterface<FailedTableCase> {};

TEST_P(CliExeFailedTableTest, LeavesThatTableAsItWasAndPatchesTheOthers) {
  const FailedTableCase& c = GetParam();
  JetFixture before = PatchedTablesFixture();
  FakeTables expected = Patched(before.tables);
  if (c.rejected.empty()) {
    before.tables.erase(std::string(c.table));
    expected.erase(std::string(c.table));
  } else {
    before.tables.at(std::string(c.table)).rejections = {{"intrate", std::string(c.rejected)}};
    expected[std::string(c.table)] = before.tables.at(std::string(c.table));
  }
  ASSERT_NO_FATAL_FAILURE(Put(HostFolder::kStandard, before));

  const CliRun run = RunCli(L"--drive c --yes --json");

  EXPECT_EQ(run.exit_code, kExitFailed) << run.out << run.err;
  const json report = JsonOf(run);
  const json& attempt = report["attempts"][0];
  EXPECT_EQ(attempt["fully_patched"], false);
  EXPECT_EQ(attempt["commit"]["ok"], true);
  std::vector<std::string> failed;
  for (const json& procedure : attempt["procedures"]) {
    if (procedure["ok"] == true) continue;
    failed.push_back(procedure["name"].get<std::string>());
    EXPECT_EQ(procedure["failed_step"], "statement");
    EXPECT_EQ(procedure["failed_table"], c.table);
    const std::size_t position = c.rejected.empty() ? 1 : PositionOf(c.table, c.rejected);
    EXPECT_EQ(procedure["failed_position"], position);
    EXPECT_THAT(procedure["message"].get<std::string>(), HasSubstr(c.reason));
  }
  EXPECT_EQ(failed, std::vector<std::string>{ProcedureOf(c.table)});
  EXPECT_THAT(States(attempt["verification"]),
              AllOf(SizeIs(kPatchedTableCount - 1), Each(std::string("up_to_date"))));
  EXPECT_EQ(HeldIn(HostInstall::Database(HostFolder::kStandard)),
            Text(before.password, std::move(expected)));
}

INSTANTIATE_TEST_SUITE_P(Cases, CliExeFailedTableTest, ::testing::ValuesIn(kFailedTableCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A database that can't be opened: the report gives Jet's reason and the
// file is not even rewritten.
struct UnopenedCase {
  const char* name;
  std::string password;
  bool held_open;  // by this test, sharing nothing, for the whole run
  const char* reason;
  DWORD exit_code;
  DWORD check_exit_code;  // never 1, "not up to date": the check could not tell
};

const UnopenedCase kUnopenedCases[] = {
    {"WrongPassword", "999", false, "Not a valid password.", kExitFailed, kExitNotChecked},
    // What Intune and ConfigMgr retry later by themselves.
    {"DatabaseInUse", "846", true, "Could not use ''; file already in use.", kExitRetryLater,
     kExitRetryLater},
};

class CliExeUnopenedTest : public CliExeUpdateTest,
                           public ::testing::WithParamInterface<UnopenedCase> {};

TEST_P(CliExeUnopenedTest, ChangesNothingAndGivesJetsReason) {
  const UnopenedCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Put(HostFolder::kStandard, PatchedTablesFixture(c.password)));
  const std::string database = HostInstall::Database(HostFolder::kStandard);
  const std::string before = FileText(database);
  HANDLE held = INVALID_HANDLE_VALUE;
  if (c.held_open) {
    held = CreateFileA(database.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
  }

  const CliRun run = RunCli(L"--drive c --yes");
  const CliRun check = RunCli(L"--check --drive c");
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

  EXPECT_EQ(run.exit_code, c.exit_code) << run.out << run.err;
  EXPECT_EQ(check.exit_code, c.check_exit_code) << check.out << check.err;
  EXPECT_THAT(check.out, HasSubstr("The database could not be checked (see below)"));
  EXPECT_THAT(check.out, ::testing::Not(HasSubstr("does not carry")));
  EXPECT_THAT(run.out, HasSubstr(std::string(kStandardDatabase) + " could not be opened: " +
                                 c.reason + "\n  It was not changed.\n"));
  EXPECT_EQ(FileText(database), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliExeUnopenedTest, ::testing::ValuesIn(kUnopenedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Which install folders hold a database: each one found is patched, the
// standard folder first.
struct FoldersCase {
  const char* name;
  bool standard;
  bool x86;
};

const FoldersCase kFoldersCases[] = {
    {"BothFolders", true, true},
    {"OnlyTheX86Folder", false, true},
};

class CliExeFoldersTest : public CliExeUpdateTest,
                          public ::testing::WithParamInterface<FoldersCase> {};

TEST_P(CliExeFoldersTest, PatchesEveryFolderFoundInTurn) {
  const FoldersCase& c = GetParam();
  const JetFixture before = PatchedTablesFixture();
  if (c.standard) {
    ASSERT_NO_FATAL_FAILURE(Put(HostFolder::kStandard, before));
  }
  if (c.x86) {
    ASSERT_NO_FATAL_FAILURE(Put(HostFolder::kX86, before));
  }

  const CliRun run = RunCli(L"--drive c --yes --json");

  EXPECT_EQ(run.exit_code, kExitDone) << run.out << run.err;
  const json report = JsonOf(run);
  ASSERT_THAT(report["attempts"], SizeIs(2)) << run.out;
  const bool present[] = {c.standard, c.x86};
  const char* folders[] = {"c:\\Program Files\\Corvallo\\", "c:\\Program Files (x86)\\Corvallo\\"};
  for (int i = 0; i < 2; ++i) {
    const json& attempt = report["attempts"][i];
    EXPECT_EQ(attempt["folder"], folders[i]);
    EXPECT_EQ(attempt["found"], present[i]);
    if (present[i]) {
      EXPECT_EQ(attempt["fully_patched"], true) << attempt.dump(1);
    }
  }
  const std::string patched = Text(before.password, Patched(before.tables));
  for (HostFolder folder : {HostFolder::kStandard, HostFolder::kX86}) {
    if (folder == HostFolder::kStandard && !c.standard) continue;
    EXPECT_EQ(HeldIn(HostInstall::Database(folder)), patched);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliExeFoldersTest, ::testing::ValuesIn(kFoldersCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Jet hands these back as VT_R4, VT_CY and VT_DECIMAL: a float or an exact
// decimal that a comparison at double precision took for a difference.
TEST_F(CliExeUpdateTest, SingleCurrencyAndDecimalColumnsAreNotReportedAsDiffering) {
  const JetFixture before = WithSingleCurrencyAndDecimalColumns(PatchedTablesFixture());
  const std::string text = FormatJetFixture(before);
  for (const char* type : {" SINGLE\n", " CURRENCY\n", " DECIMAL(18,"}) {
    ASSERT_THAT(text, HasSubstr(type));
  }
  ASSERT_NO_FATAL_FAILURE(Put(HostFolder::kStandard, before));

  const CliRun run = RunCli(L"--drive c --yes --json");
  EXPECT_EQ(run.exit_code, kExitDone) << run.out << run.err;
  EXPECT_THAT(States(JsonOf(run)["attempts"][0]["verification"]),
              AllOf(SizeIs(kPatchedTableCount), Each(std::string("up_to_date"))));

  const CliRun check = RunCli(L"--check --drive c --json");
  EXPECT_EQ(check.exit_code, kExitDone) << check.out << check.err;
  EXPECT_THAT(States(JsonOf(check)["attempts"][0]["tables"]),
              AllOf(SizeIs(kPatchedTableCount), Each(std::string("up_to_date"))));
  EXPECT_EQ(HeldIn(HostInstall::Database(HostFolder::kStandard)),
            Text(before.password, Patched(before.tables)));
}

TEST_F(CliExeUpdateTest, VirtualStoreCopyInAnotherProfileIsPatchedRightAfterItsFolder) {
  const JetFixture before = PatchedTablesFixture();
  ASSERT_NO_FATAL_FAILURE(Put(HostFolder::kStandard, before));
  const Status copied = host_.PutVirtualStoreCopy(before);
  ASSERT_TRUE(copied.ok()) << copied.ToString();
  const std::string copy = HostInstall::VirtualStoreCopy();

  const CliRun run = RunCli(L"--drive c --yes");

  EXPECT_EQ(run.exit_code, kExitDone) << run.out << run.err;
  const std::string in_order[] = {
      "c:\\Program Files\\Corvallo\\: found\n",
      std::string("  ") + kStandardDatabase + ": opened\n",
      std::string("A user's VirtualStore copy of ") + kStandardDatabase + ":\n",
      "  " + copy + ": opened\n",
      "c:\\Program Files (x86)\\Corvallo\\: not found\n",
  };
  std::size_t from = 0;
  for (const std::string& line : in_order) {
    const std::size_t at = run.out.find(line, from);
    ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "in:\n" << run.out;
    from = at + line.size();
  }
  const std::string patched = Text(before.password, Patched(before.tables));
  EXPECT_EQ(HeldIn(HostInstall::Database(HostFolder::kStandard)), patched);
  EXPECT_EQ(HeldIn(copy), patched);
}

}  // namespace
}  // namespace telo
