// The execution rule: statements in order, each table in a nested
// transaction, and a failure that rolls its table back and ends the procedure.
#include "patch/procedure.h"

#include <gtest/gtest.h>

#include "db/fake_connection.h"
#include "patch/sequence.h"

namespace telo {
namespace {

class ProcedureTest : public ::testing::Test {
 protected:
  ProcedureTest() {
    connection_ = database_.Factory()();
    connection_->Open("Provider=x;Data Source=y", "", "", kAdoUnspecified);
  }
  FakeDatabase database_;
  std::unique_ptr<Connection> connection_;
};

TEST_F(ProcedureTest, RunsEveryStatementInOrderAndKeepsThem) {
  ProcedureOutcome outcome = UpdateRDConfiguration(*connection_);
  EXPECT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.procedure, "UpdateRDConfiguration");
  const auto table = UpdateRDConfiguration.tables()[0];
  EXPECT_EQ(database_.durable,
            std::vector<std::string>(table.statements.begin(), table.statements.end()));
  EXPECT_EQ(outcome.committed_tables, std::vector<std::string_view>{"RD_Configuration"});
}

TEST_F(ProcedureTest, FailedInsertRollsItsTableBackAndStops) {
  database_.faults.fail_execute_at = 4;  // the third insert
  ProcedureOutcome outcome = UpdateRDConfiguration(*connection_);
  EXPECT_FALSE(outcome.ok());
  EXPECT_EQ(outcome.failed_step, FailedStep::kStatement);
  EXPECT_EQ(outcome.failed_position, 4u);
  EXPECT_EQ(outcome.failed_table, "RD_Configuration");
  EXPECT_EQ(outcome.failed_statement, UpdateRDConfiguration.tables()[0].statements[3]);
  EXPECT_EQ(outcome.status.number(), kFakeFailure);
  EXPECT_TRUE(database_.durable.empty()) << "the delete and the first inserts must be undone";
  EXPECT_EQ(database_.executed().size(), 4u) << "nothing after the failing statement runs";
  EXPECT_EQ(database_.calls.back(), "RollbackTrans");
}

TEST_F(ProcedureTest, FailureInWODRateKeepsTheRefilledRateTable) {
  database_.faults.fail_execute_containing = "Insert Into RD_Extension_WOD_Rate";
  ProcedureOutcome outcome = UpdateRDExtensionRates(*connection_);
  EXPECT_EQ(outcome.failed_table, "RD_Extension_WOD_Rate");
  EXPECT_EQ(outcome.failed_position, 53u);
  EXPECT_EQ(outcome.committed_tables, std::vector<std::string_view>{"RD_Extension_Rate"});
  ASSERT_EQ(database_.durable.size(), 51u);
  EXPECT_EQ(database_.durable.front(), "Delete From RD_Extension_Rate");
}

TEST_F(ProcedureTest, FailureInRateTableSkipsWODRateEntirely) {
  database_.faults.fail_execute_at = 1;
  ProcedureOutcome outcome = UpdateRDExtensionRates(*connection_);
  EXPECT_EQ(outcome.failed_table, "RD_Extension_Rate");
  EXPECT_TRUE(outcome.committed_tables.empty());
  EXPECT_EQ(database_.executed().size(), 1u);
  EXPECT_TRUE(database_.durable.empty());
}

TEST_F(ProcedureTest, FirstCommUpdateFailingSkipsTheSecond) {
  database_.faults.fail_execute_at = 1;
  ProcedureOutcome outcome = UpdateCommRates(*connection_);
  EXPECT_EQ(outcome.failed_position, 1u);
  EXPECT_EQ(database_.executed().size(), 1u);
}

TEST_F(ProcedureTest, TableThatCannotBeginOrCommitIsReportedAndNotKept) {
  database_.faults.fail_begin_at = 1;
  ProcedureOutcome outcome = UpdateSBRate(*connection_);
  EXPECT_EQ(outcome.failed_step, FailedStep::kBeginTable);
  EXPECT_TRUE(database_.executed().empty());

  database_.faults = {};
  database_.faults.fail_commit_at = 1;
  outcome = UpdateSBRate(*connection_);
  EXPECT_EQ(outcome.failed_step, FailedStep::kCommitTable);
  EXPECT_EQ(outcome.failed_table, "SB_Configuration");
  EXPECT_TRUE(database_.durable.empty());
}

TEST(ProcedureOnClosedConnection, EndsAtItsFirstStatement) {
  FakeDatabase database;
  auto connection = database.Factory()();
  ProcedureOutcome outcome = UpdateTDConfiguration(*connection);
  EXPECT_FALSE(outcome.ok());
  EXPECT_EQ(outcome.status.number(), error::kConnectionClosed);
  EXPECT_TRUE(database.executed().empty());
}

}  // namespace
}  // namespace telo
