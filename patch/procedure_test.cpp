// The execution rule on a real database (a stand-in host database), with
// failures injected around the connection: statements in order, each table
// in a nested transaction, and a failure that rolls its table back to what
// it held and ends the procedure.
#include "patch/procedure.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "db/sqlite/sqlite_connection.h"
#include "patch/sequence.h"
#include "testing/fault_injection_connection.h"
#include "testing/temp_prefix.h"
#include "tools/sample_db.h"

namespace telo {
namespace {

using ::testing::ElementsAre;

// The sample database's rows in each table the tests touch, before a patch.
constexpr int kOldRdConfigurationRows = 2;
constexpr int kOldRdExtensionRateRows = 3;
constexpr int kOldWodRateRows = 2;

class ProcedureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.status().ok()) << folder_.status().ToString();
    const std::string path = (folder_.path() / "CVL.MDB").string();
    ASSERT_TRUE(CreateSampleDatabase(path, std::string(kSamplePassword)).ok());
    connection_ = injection_.Wrap(std::make_unique<SqliteConnection>(nullptr));
    ASSERT_TRUE(connection_
                    ->Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
                               ";Jet OLEDB:Database Password=846",
                           "", "", kAdoUnspecified)
                    .ok());
    ASSERT_TRUE(connection_->BeginTrans().ok()) << "the run's level around every procedure";
  }

  // Commits the run's level and counts the rows the file holds in `table`.
  int SavedRows(std::string_view table) {
    if (!saved_) {
      EXPECT_TRUE(connection_->CommitTrans().ok());
      saved_ = true;
    }
    Rows rows;
    EXPECT_TRUE(connection_->Query("SELECT count(*) FROM " + std::string(table), &rows).ok());
    return static_cast<int>(std::get<int64_t>(rows.cells.at(0)));
  }

  TempFolder folder_{"telo_procedure"};
  FaultInjection injection_;
  std::unique_ptr<Connection> connection_;
  bool saved_ = false;
};

TEST_F(ProcedureTest, RunsEveryStatementInOrderAndKeepsThem) {
  ProcedureOutcome outcome = UpdateRDConfiguration(*connection_);
  EXPECT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.procedure, "UpdateRDConfiguration");
  const auto statements = UpdateRDConfiguration.tables()[0].statements;
  EXPECT_EQ(injection_.executed(), std::vector<std::string>(statements.begin(), statements.end()));
  EXPECT_EQ(outcome.committed_tables, std::vector<std::string_view>{"RD_Configuration"});
  EXPECT_EQ(SavedRows("RD_Configuration"), 10);
}

TEST_F(ProcedureTest, FailedInsertRollsItsTableBackAndStops) {
  injection_.faults.fail_execute_at = 4;  // the third insert
  ProcedureOutcome outcome = UpdateRDConfiguration(*connection_);
  EXPECT_FALSE(outcome.ok());
  EXPECT_EQ(outcome.failed_step, FailedStep::kStatement);
  EXPECT_EQ(outcome.failed_position, 4u);
  EXPECT_EQ(outcome.failed_table, "RD_Configuration");
  EXPECT_EQ(outcome.failed_statement, UpdateRDConfiguration.tables()[0].statements[3]);
  EXPECT_EQ(outcome.status.number(), kInjectedFailure);
  EXPECT_EQ(injection_.executed().size(), 4u) << "nothing after the failing statement runs";
  EXPECT_EQ(injection_.calls.back(), "RollbackTrans");
  EXPECT_EQ(SavedRows("RD_Configuration"), kOldRdConfigurationRows)
      << "the delete and the first inserts are undone";
}

TEST_F(ProcedureTest, FailureInWODRateKeepsTheRefilledRateTable) {
  injection_.faults.fail_execute_containing = "Insert Into RD_Extension_WOD_Rate";
  ProcedureOutcome outcome = UpdateRDExtensionRates(*connection_);
  EXPECT_EQ(outcome.failed_table, "RD_Extension_WOD_Rate");
  EXPECT_EQ(outcome.failed_position, 53u);
  EXPECT_EQ(outcome.committed_tables, std::vector<std::string_view>{"RD_Extension_Rate"});
  EXPECT_EQ(SavedRows("RD_Extension_Rate"), 50);
  EXPECT_EQ(SavedRows("RD_Extension_WOD_Rate"), kOldWodRateRows);
}

TEST_F(ProcedureTest, FailureInRateTableSkipsWODRateEntirely) {
  injection_.faults.fail_execute_at = 1;
  ProcedureOutcome outcome = UpdateRDExtensionRates(*connection_);
  EXPECT_EQ(outcome.failed_table, "RD_Extension_Rate");
  EXPECT_TRUE(outcome.committed_tables.empty());
  EXPECT_EQ(injection_.executed().size(), 1u);
  EXPECT_EQ(SavedRows("RD_Extension_Rate"), kOldRdExtensionRateRows);
  EXPECT_EQ(SavedRows("RD_Extension_WOD_Rate"), kOldWodRateRows);
}

TEST_F(ProcedureTest, FirstCommUpdateFailingSkipsTheSecond) {
  injection_.faults.fail_execute_at = 1;
  ProcedureOutcome outcome = UpdateCommRates(*connection_);
  EXPECT_EQ(outcome.failed_position, 1u);
  EXPECT_EQ(injection_.executed().size(), 1u);
}

// A table that can't begin, doesn't read back as written, or can't commit
// is reported at that step and keeps what it held; the run's level stays
// usable for the next procedure.
TEST_F(ProcedureTest, TableThatCannotBeginReadBackOrCommitIsReportedAndNotKept) {
  injection_.faults.fail_begin_at = 2;  // the table's own level
  EXPECT_EQ(UpdateRDConfiguration(*connection_).failed_step, FailedStep::kBeginTable);

  const TableReadBack differs = [](Connection&, std::string_view table) {
    return Status::Error(error::kTableDiffers, std::string(table) + " differs: 9 rows");
  };
  ProcedureOutcome outcome = UpdateRDConfiguration(*connection_, differs);
  EXPECT_EQ(outcome.failed_step, FailedStep::kReadBack);
  EXPECT_EQ(outcome.status.number(), error::kTableDiffers);

  injection_.faults.fail_commit_at = injection_.counts.commit + 1;
  outcome = UpdateRDConfiguration(*connection_);
  EXPECT_EQ(outcome.failed_step, FailedStep::kCommitTable);
  EXPECT_EQ(outcome.failed_table, "RD_Configuration");
  EXPECT_THAT(std::vector<std::string>(injection_.calls.end() - 2, injection_.calls.end()),
              ElementsAre("CommitTrans", "RollbackTrans"));
  EXPECT_EQ(SavedRows("RD_Configuration"), kOldRdConfigurationRows);
}

TEST(ProcedureOnClosedConnection, EndsAtItsFirstStatement) {
  SqliteConnection closed(nullptr);
  ProcedureOutcome outcome = UpdateTDConfiguration(closed);
  EXPECT_FALSE(outcome.ok());
  EXPECT_EQ(outcome.status.number(), error::kConnectionClosed);
}

}  // namespace
}  // namespace telo
