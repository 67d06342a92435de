// The transaction contract of db/connection.h, run against each kind of
// connection; see the header.
#include "testing/connection_conformance.h"

#include <gmock/gmock.h>

namespace telo {

void ConnectionConformanceTest::SetUp() {
  backend_ = GetParam().make();
  const std::string connection_string = backend_->MakeDatabase();
  connection_ = backend_->NewConnection();
  const Status open = connection_->Open(connection_string, "", "", kAdoUnspecified);
  ASSERT_TRUE(open.ok()) << open.ToString();
}

void ConnectionConformanceTest::TearDown() {
  if (connection_) (void)connection_->Close();
}

namespace {

// Every query of the suite goes to one buffer, as the read-back's do: a
// connection must replace a result, never add to what it held.
int RowsSeen(Connection& connection) {
  static Rows rows;
  const Status status = connection.Query("SELECT n FROM T", &rows);
  EXPECT_TRUE(status.ok()) << status.ToString();
  return static_cast<int>(rows.size());
}

TEST_P(ConnectionConformanceTest, LevelsNestAndOnlyTheOutermostCommitIsDurable) {
  Connection& c = *connection_;
  EXPECT_EQ(c.CommitTrans().number(), error::kNoTransaction);
  EXPECT_EQ(c.RollbackTrans().number(), error::kNoTransaction);
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.Execute("Insert Into T(n) Values (2)").ok());
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.Execute("Delete From T").ok());
  EXPECT_EQ(RowsSeen(c), 0) << "a connection reads its own uncommitted writes";
  ASSERT_TRUE(c.RollbackTrans().ok());
  EXPECT_EQ(RowsSeen(c), 2) << "an inner rollback keeps the outer level's work";
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.Execute("Insert Into T(n) Values (3)").ok());
  ASSERT_TRUE(c.CommitTrans().ok());
  EXPECT_EQ(backend_->DurableRows(), 1) << "nothing is durable before the outermost commit";
  ASSERT_TRUE(c.CommitTrans().ok());
  EXPECT_EQ(backend_->DurableRows(), 3);
  EXPECT_EQ(c.CommitTrans().number(), error::kNoTransaction);
}

TEST_P(ConnectionConformanceTest, RollbackAndCloseUndoEveryOpenLevel) {
  Connection& c = *connection_;
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.Execute("Delete From T").ok());
  ASSERT_TRUE(c.CommitTrans().ok());
  ASSERT_TRUE(c.RollbackTrans().ok());
  EXPECT_EQ(RowsSeen(c), 1);
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.Execute("Delete From T").ok());
  ASSERT_TRUE(c.Close().ok());
  EXPECT_EQ(backend_->DurableRows(), 1);
  connection_.reset();
}

// A failed inner commit must leave its level open: the caller's rollback
// then undoes that level only, and the outer level still commits its work.
// (A connection that dropped the level on a failed commit made that rollback
// undo the whole database transaction.)
TEST_P(ConnectionConformanceTest, FailedInnerCommitLeavesItsLevelForTheRollback) {
  Connection& c = *connection_;
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.Execute("Insert Into T(n) Values (2)").ok());
  ASSERT_TRUE(c.BeginTrans().ok());
  ASSERT_TRUE(c.Execute("Insert Into T(n) Values (3)").ok());
  if (!backend_->FailNextInnerCommit(c)) GTEST_SKIP() << "no way to make a commit fail";
  EXPECT_FALSE(c.CommitTrans().ok());
  ASSERT_TRUE(c.RollbackTrans().ok());
  EXPECT_EQ(RowsSeen(c), 2);
  ASSERT_TRUE(c.CommitTrans().ok()) << "the outer level is still open";
  EXPECT_EQ(backend_->DurableRows(), 2);
}

}  // namespace
}  // namespace telo
