// The update run through the real ADO connection, against the ADO double:
// the install folder's own database can't be opened (drive q: doesn't
// exist), and a user's VirtualStore copy of it, a Jet fixture, is patched:
// every statement reaches the file in one commit, the read-back goes through
// ADO's Recordset, and a statement that Jet rejects leaves its table as it
// was while the other tables are patched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/update_run.h"
#include "db/ado/ado_connection.h"
#include "patch/sequence.h"
#include "platform/windows/com_apartment.h"
#include "testing/ado_double/fixture_folder.h"
#include "testing/ado_double/jet_fixture.h"
#include "testing/ado_double/patch_fixture.h"
#include "testing/fake_desktop.h"
#include "testing/fake_env.h"

namespace telo {
namespace {

using ::testing::HasSubstr;

// The fixture's tables after every patch statement.
FakeTables Patched(FakeTables tables) {
  FakeRules rules;
  rules.declared_only = true;
  for (std::string_view statement : AllPatchStatements()) {
    EXPECT_TRUE(ApplyStatement(statement, rules, &tables).ok()) << statement;
  }
  return tables;
}

class AdoUpdateRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com_.status().ok()) << com_.status().ToString();
    env_.existing_folders = {folder_};
    env_.virtual_store_copies[database_] = {copy_};
  }

  RunReport Run() { return RunUpdate('q', desktop_, env_, cnMain_); }
  FakeTables CopyTables() {
    JetFixture fixture;
    EXPECT_TRUE(ReadJetFixtureFile(copy_, &fixture).ok());
    return fixture.tables;
  }

  ComApartment com_;
  FixtureFolder fixtures_;
  const std::string copy_ = fixtures_.File("CVL.MDB");
  const std::string folder_ = InstallFolder('q', 0);
  const std::string database_ = folder_ + "CVL.MDB";
  FakeDesktop desktop_;
  FakeEnv env_;
  ConnectionSlot cnMain_{&NewAdoConnection};
};

TEST_F(AdoUpdateRunTest, PatchesTheCopyThroughAdoAndReportsTheDatabaseThatCouldNotBeOpened) {
  const JetFixture before = PatchedTablesFixture();
  ASSERT_TRUE(WriteJetFixtureFile(copy_, before).ok());

  const RunReport report = Run();

  ASSERT_EQ(report.attempts.size(), 3u) << "the folder, its copy, the (x86) folder";
  const AttemptReport& original = report.attempts[0];
  EXPECT_TRUE(original.open_attempted);
  EXPECT_EQ(original.open.message(), "Could not find file '" + database_ + "'.");
  const AttemptReport& copy = report.attempts[1];
  EXPECT_EQ(copy.database, copy_);
  EXPECT_TRUE(copy.fully_patched()) << DescribeReport(report);
  EXPECT_EQ(copy.verification.size(), 13u);
  EXPECT_EQ(CopyTables(), Patched(before.tables));
  const MessageBoxContent box = OutcomeBox(report);
  EXPECT_EQ(box.style, BoxStyle::kWarning);
  EXPECT_THAT(box.prompt, HasSubstr(database_ + " could not be opened"));
  EXPECT_THAT(box.prompt, HasSubstr(original.open.message()));
}

TEST_F(AdoUpdateRunTest, StatementThatJetRejectsLeavesItsTableAsItWas) {
  JetFixture before = PatchedTablesFixture();
  // A value that only one KVP_PMC_Rates statement writes.
  before.tables["KVP_PMC_Rates"].rejections = {{"intrate", "1209"}};
  ASSERT_TRUE(WriteJetFixtureFile(copy_, before).ok());

  const RunReport report = Run();

  ASSERT_GE(report.attempts.size(), 2u);
  const AttemptReport& copy = report.attempts[1];
  ASSERT_TRUE(copy.opened()) << copy.open.ToString();
  EXPECT_FALSE(copy.fully_patched());
  EXPECT_TRUE(copy.commit.ok()) << "the other tables are committed";
  const auto failed = std::find_if(copy.procedures.begin(), copy.procedures.end(),
                                   [](const ProcedureOutcome& outcome) { return !outcome.ok(); });
  ASSERT_NE(failed, copy.procedures.end());
  EXPECT_EQ(failed->failed_table, "KVP_PMC_Rates");
  EXPECT_THAT(failed->status.message(), HasSubstr("duplicate values in the index"));

  FakeTables expected = Patched(PatchedTablesFixture().tables);
  expected["KVP_PMC_Rates"] = before.tables["KVP_PMC_Rates"];
  EXPECT_EQ(CopyTables(), expected);
}

// Jet refuses "scheme in (2,4,5)" on a TEXT scheme column. The double used
// to match no row instead, and the run reported success with the rates
// unchanged, since its read-back asked the same and also matched nothing.
TEST_F(AdoUpdateRunTest, UpdateComparingATextColumnWithNumbersFailsTheRun) {
  JetFixture before = PatchedTablesFixture();
  FakeTable& comm_rates = before.tables["Comm_Rates"];
  comm_rates.types[0] = "TEXT(10)";  // the key column comes first
  for (auto& row : comm_rates.rows) row[0] = "'" + row[0] + "'";
  ASSERT_TRUE(WriteJetFixtureFile(copy_, before).ok());

  const RunReport report = Run();

  EXPECT_FALSE(report.succeeded());
  ASSERT_GE(report.attempts.size(), 2u);
  const AttemptReport& copy = report.attempts[1];
  const auto failed = std::find_if(copy.procedures.begin(), copy.procedures.end(),
                                   [](const ProcedureOutcome& outcome) { return !outcome.ok(); });
  ASSERT_NE(failed, copy.procedures.end());
  EXPECT_EQ(failed->failed_table, "Comm_Rates");
  EXPECT_EQ(failed->status.number(), static_cast<int32_t>(0x80040E07));
  EXPECT_EQ(failed->status.message(), "Data type mismatch in criteria expression.");
  EXPECT_EQ(CopyTables()["Comm_Rates"], comm_rates);
}

}  // namespace
}  // namespace telo
