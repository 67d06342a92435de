// The update run on a real database (a stand-in host database in a
// Wine-style prefix), with failures injected around its connections: what a
// failing statement, a table the database half-writes and a failing commit
// leave in the file, and what the report says of it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/update_run.h"
#include "app/verify.h"
#include "db/sqlite/sqlite_connection.h"
#include "testing/fake_desktop.h"
#include "testing/fake_env.h"
#include "testing/fault_injection_connection.h"
#include "testing/temp_prefix.h"
#include "tools/sample_db.h"

namespace telo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kFolder[] = "C:\\Program Files\\Corvallo\\";

class UpdateRunOnDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.status().ok()) << temp_.status().ToString();
    ASSERT_TRUE(CreateSampleDatabase(Database().string(), std::string(kSamplePassword)).ok());
    prefix_ = std::make_shared<const WinePrefix>(WinePrefix::Load(temp_.root().string()));
    env_.existing_folders = {kFolder};
  }

  fs::path Database() const { return temp_.Database(); }
  RunReport Run() { return RunUpdate('C', desktop_, env_, cnMain_); }

  // Each patched table's state as the file holds it, read on a connection of its own.
  std::map<std::string_view, TableState> SavedStates() {
    SqliteConnection reader(prefix_);
    EXPECT_TRUE(reader
                    .Open(DatabaseConnectionString(std::string(kFolder) + "CVL.MDB"), "", "",
                          kAdoUnspecified)
                    .ok());
    std::map<std::string_view, TableState> states;
    for (const TableCheck& check : CheckTables(reader, PatchedTables())) {
      states[check.table] = check.state;
    }
    return states;
  }

  static std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The first page of `table`'s b-tree in the file.
  int RootPageOf(const std::string& table) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Database().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_schema WHERE name = ?", -1, &query,
                       nullptr);
    sqlite3_bind_text(query, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    const int root = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int(query, 0) : 0;
    sqlite3_finalize(query);
    sqlite3_close(db);
    EXPECT_GT(root, 1);
    return root;
  }

  TempPrefix temp_{"telo_run", {.install_folders = 1}};
  std::shared_ptr<const WinePrefix> prefix_;
  FakeDesktop desktop_;
  FakeEnv env_;
  FaultInjection injection_;
  ConnectionSlot cnMain_{
      injection_.Wrap([this] { return std::make_unique<SqliteConnection>(prefix_); })};
};

TEST_F(UpdateRunOnDatabaseTest, FailingStatementLeavesItsTableAndPatchesTheRest) {
  injection_.faults.fail_execute_containing = "(#03/01/2001#, #02/28/2002#, 1209, 30, 35)";
  const RunReport report = Run();
  const AttemptReport& attempt = report.attempts[0];
  ASSERT_EQ(attempt.procedures.size(), 12u);
  for (const ProcedureOutcome& outcome : attempt.procedures) {
    EXPECT_EQ(outcome.ok(), outcome.procedure != "UpdateKVPPMCRates") << outcome.procedure;
  }
  EXPECT_TRUE(attempt.commit.ok());
  for (const auto& [table, state] : SavedStates()) {
    EXPECT_EQ(state == TableState::kUpToDate, table != "KVP_PMC_Rates") << table;
  }
  const FakeDesktop::Message& box = desktop_.messages.back();
  EXPECT_EQ(box.style, BoxStyle::kWarning);
  EXPECT_THAT(box.prompt, HasSubstr("UpdateKVPPMCRates failed at statement 23 of 64"));
  EXPECT_THAT(box.prompt, HasSubstr("KVP_PMC_Rates was left as it was."));
}

// A statement the database accepts but doesn't carry out (here dropped on
// the way) once left its table committed half-written.
TEST_F(UpdateRunOnDatabaseTest, TableThatDoesNotReadBackIsRolledBackBeforeTheCommit) {
  injection_.faults.drop_execute_containing = "(#04/01/2013#, #03/31/2014#, 8.7, 15";
  const RunReport report = Run();
  EXPECT_FALSE(report.succeeded());
  EXPECT_THAT(desktop_.messages.back().prompt,
              HasSubstr("UpdatePPFConfiguration failed when its table was read back"));
  EXPECT_THAT(desktop_.messages.back().prompt,
              HasSubstr("PPF_Configuration differs: 14 rows, should be 15"));
  for (const auto& [table, state] : SavedStates()) {
    EXPECT_EQ(state == TableState::kUpToDate, table != "PPF_Configuration") << table;
  }
}

// An error from the commit doesn't prove that nothing was written: the run
// reads the file back on a connection opened again and says what it holds.
// "Nothing was saved" was once reported of a database that had been saved.
TEST_F(UpdateRunOnDatabaseTest, FailedCommitReportsWhatTheFileHolds) {
  struct Case {
    bool saved_before_the_error;
    AttemptReport::Saved saved;
    const char* says;
  };
  for (const Case& c : {Case{false, AttemptReport::Saved::kNo, "does not hold the patch"},
                        Case{true, AttemptReport::Saved::kYes, "were saved all the same"}}) {
    SCOPED_TRACE(c.says);
    fs::remove(Database());
    ASSERT_TRUE(CreateSampleDatabase(Database().string(), std::string(kSamplePassword)).ok());
    injection_.faults.fail_outermost_commit = !c.saved_before_the_error;
    injection_.faults.fail_after_outermost_commit = c.saved_before_the_error;
    const RunReport report = Run();
    const AttemptReport& attempt = report.attempts[0];
    EXPECT_FALSE(attempt.commit.ok());
    EXPECT_THAT(injection_.opened().back(), HasSubstr(";Mode=Read"));
    EXPECT_EQ(attempt.saved(), c.saved);
    EXPECT_EQ(report.succeeded(), c.saved_before_the_error);
    EXPECT_THAT(DescribeReport(report), HasSubstr(c.says));
    for (const auto& [table, state] : SavedStates()) {
      EXPECT_EQ(state == TableState::kUpToDate, c.saved_before_the_error) << table;
    }
  }
}

constexpr int kFirstQueryAfterTheCommit = 13 + 14 + 1;

// After a good commit, a table that can't be read again (the file in use by
// another program, say) was read back before it was committed: it is saved,
// and the run says so, instead of calling the update failed.
TEST_F(UpdateRunOnDatabaseTest, TableThatCannotBeReadAgainAfterTheCommitIsStillSaved) {
  // Telling whether the database already held the patch takes 13 queries,
  // reading the thirteen tables back before the commit 14 (two for
  // Comm_Rates); the 28th is the first read after it.
  injection_.faults.fail_query_at = kFirstQueryAfterTheCommit;
  const RunReport report = Run();
  EXPECT_TRUE(report.succeeded());
  EXPECT_THAT(DescribeReport(report), HasSubstr("Saved, but SB_Configuration was not read back"));
  EXPECT_EQ(desktop_.messages.back().prompt, kCompletionPrompt);
}

// A file system that acknowledges a page write and never makes it (a network
// or FUSE one): the connection that committed still answers from its cache,
// which SQLite keeps while the file's change counter is its own. The run once
// read back there and called the file patched.
TEST_F(UpdateRunOnDatabaseTest, FinalReadBackSeesWhatTheFileHoldsNotTheCache) {
  const std::string before = ReadBytes(Database());
  const int page_size =
      (static_cast<unsigned char>(before[16]) << 8) | static_cast<unsigned char>(before[17]);
  const int root = RootPageOf("SB_Configuration");
  injection_.faults.after_outermost_commit = [&] {
    // SB_Configuration's one page goes back to what it held; the header,
    // with the change counter of the commit, stays.
    std::fstream file(Database(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(root - 1) * page_size);
    file.write(before.data() + static_cast<std::ptrdiff_t>(root - 1) * page_size, page_size);
  };
  const RunReport report = Run();
  const AttemptReport& attempt = report.attempts[0];
  EXPECT_TRUE(attempt.commit.ok());
  EXPECT_THAT(injection_.opened().back(), HasSubstr(";Mode=Read"));
  EXPECT_EQ(attempt.saved(), AttemptReport::Saved::kNo);
  EXPECT_FALSE(report.succeeded());
  EXPECT_THAT(DescribeReport(report),
              HasSubstr("Read back after saving, SB_Configuration differs"));
  EXPECT_EQ(SavedStates().at("SB_Configuration"), TableState::kDiffers);
}

// A failed commit that did save, then a table that can't be read again: the
// report once gave the reason of the last table read, "(ok)".
TEST_F(UpdateRunOnDatabaseTest, UnknownSaveAfterAFailedCommitGivesTheFailingTablesReason) {
  injection_.faults.fail_after_outermost_commit = true;
  injection_.faults.fail_query_at = kFirstQueryAfterTheCommit;  // on the new connection
  const RunReport report = Run();
  EXPECT_EQ(report.attempts[0].saved(), AttemptReport::Saved::kUnknown);
  const std::string text = DescribeReport(report);
  EXPECT_THAT(text, HasSubstr("SB_Configuration could not be read back (injected failure"));
  EXPECT_THAT(text, Not(HasSubstr("(ok)")));
}

}  // namespace
}  // namespace telo
