// The check reads, never writes, and tells each database's state.
#include "app/check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/outcome.h"
#include "patch/sequence.h"
#include "testing/fake_connection.h"
#include "testing/fake_env.h"
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class CheckTest : public ::testing::Test {
 protected:
  // The patch over tables that have the rows its updates name.
  void WriteThePatch() {
    database_.tables["Comm_Rates"] = {{"scheme", "comm_rate"}, {{"2", "3"}, {"3", "2"}}};
    database_.tables["SB_Configuration"] = {{"Rate"}, {{"3.5"}}};
    auto connection = database_.Factory()();
    ASSERT_TRUE(connection->Open("Provider=p;Data Source=d", "", "", kAdoUnspecified).ok());
    for (std::string_view statement : AllPatchStatements()) {
      ASSERT_TRUE(connection->Execute(statement).ok());
    }
  }

  // Another program empties every patched table in one commit.
  void EmptyEveryTable() {
    auto connection = database_.Factory()();
    ASSERT_TRUE(connection->Open("Provider=p;Data Source=d", "", "", kAdoUnspecified).ok());
    ASSERT_TRUE(connection->BeginTrans().ok());
    for (std::string_view table : PatchedTables()) {
      ASSERT_TRUE(connection->Execute("Delete From " + std::string(table)).ok());
    }
    ASSERT_TRUE(connection->CommitTrans().ok());
  }

  FakeEnv env_;
  FakeDatabase database_;
  FaultInjection injection_;
  ConnectionSlot cnMain_{injection_.Wrap(database_.Factory())};
};

TEST_F(CheckTest, OpensReadOnlyAndWritesNothing) {
  env_.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  WriteThePatch();
  CheckReport report = RunCheck('C', env_, cnMain_);
  EXPECT_TRUE(report.up_to_date());
  EXPECT_EQ(injection_.counts.execute, 0);
  EXPECT_THAT(injection_.opened().back(),
              HasSubstr("CVL.MDB;Jet OLEDB:Database Password=846;Mode=Read"));
  EXPECT_THAT(DescribeCheck(report), HasSubstr("KVP_PMC_Rates: up to date"));
}

TEST_F(CheckTest, UnpatchedDatabaseIsNotUpToDate) {
  env_.existing_folders = {"C:\\Program Files (x86)\\Corvallo\\"};
  database_.missing_tables = {"SCSS_Configuration"};
  CheckReport report = RunCheck('C', env_, cnMain_);
  EXPECT_FALSE(report.up_to_date());
  const std::string text = DescribeCheck(report);
  EXPECT_THAT(text, HasSubstr("C:\\Program Files\\Corvallo\\: not found"));
  EXPECT_THAT(text, HasSubstr("RD_Configuration differs: 0 rows, should be 10\n"));
  EXPECT_THAT(text, HasSubstr("SCSS_Configuration is missing from the database"));
}

TEST_F(CheckTest, NoDatabaseAndUnopenableDatabaseAreNeverUpToDate) {
  CheckReport nothing = RunCheck('C', env_, cnMain_);
  EXPECT_FALSE(nothing.any_database_found());
  EXPECT_FALSE(nothing.up_to_date());
  env_.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  injection_.faults.fail_every_open = true;
  CheckReport closed = RunCheck('C', env_, cnMain_);
  EXPECT_TRUE(closed.any_database_found());
  EXPECT_FALSE(closed.up_to_date());
  EXPECT_THAT(DescribeCheck(closed), HasSubstr("could not be opened"));
}

// Each table was read on its own, so a run that committed in between made the
// check report ten tables up to date and three that differ: a database that
// never existed.
TEST_F(CheckTest, WriterBetweenTheReadsIsNotSeenWhereTransactionsIsolateReads) {
  env_.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  WriteThePatch();
  database_.reads_are_isolated = true;
  injection_.faults.before_query = [this](int query) {
    if (query == 5) EmptyEveryTable();
  };
  CheckReport report = RunCheck('C', env_, cnMain_);
  EXPECT_TRUE(report.up_to_date()) << "every table as it was before the write";
  EXPECT_EQ(report.attempts[0].tables.size(), 13u);
  std::vector<std::string> calls = injection_.calls;
  for (std::string& call : calls) call = call.substr(0, call.find(' '));
  ASSERT_GE(calls.size(), 4u);
  EXPECT_THAT(std::vector(calls.begin(), calls.begin() + 2), ElementsAre("Open", "BeginTrans"));
  EXPECT_THAT(std::vector(calls.begin() + 2, calls.end() - 2), Each(std::string("Query")));
  EXPECT_THAT(std::vector(calls.end() - 2, calls.end()), ElementsAre("RollbackTrans", "Close"));
}

TEST_F(CheckTest, WriterBetweenTheReadsIsAFailureWhereTransactionsDoNotIsolateReads) {
  env_.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  CheckReport quiet = RunCheck('C', env_, cnMain_);
  EXPECT_FALSE(quiet.attempts[0].changed_during_check) << "two readings of one database agree";
  const int one_reading = injection_.counts.query / 2;
  for (int write_before : {5, one_reading + 1}) {  // during the first reading, between the two
    SCOPED_TRACE(write_before);
    database_ = FakeDatabase();
    injection_.counts = {};
    injection_.faults.before_query = [this, write_before](int query) {
      if (query == write_before) WriteThePatch();
    };
    CheckReport report = RunCheck('C', env_, cnMain_);
    EXPECT_EQ(injection_.counts.begin, 0);
    EXPECT_TRUE(report.attempts[0].changed_during_check);
    EXPECT_FALSE(report.up_to_date());
    const std::string text = DescribeCheck(report);
    EXPECT_THAT(text, HasSubstr("C:\\Program Files\\Corvallo\\CVL.MDB changed while it was "
                                "being checked (another program wrote to it); run the check "
                                "again when nothing else is using it."));
    EXPECT_THAT(text, Not(HasSubstr("up to date")));
    EXPECT_THAT(text, Not(HasSubstr("differs")));
  }
}

CheckAttempt Checked(int folder, std::vector<TableCheck> tables, Status open = Status::Ok()) {
  CheckAttempt attempt;
  attempt.folder =
      folder == 1 ? "C:\\Program Files\\Corvallo\\" : "C:\\Program Files (x86)\\Corvallo\\";
  attempt.database = attempt.folder + "CVL.MDB";
  attempt.folder_found = true;
  attempt.open_attempted = true;
  attempt.open = std::move(open);
  if (attempt.open.ok()) attempt.tables = std::move(tables);
  return attempt;
}

// A database that could not be opened or read was reported as one that
// "does not carry this patch in full", with the exit code of one that
// lacks it: a wrong password looked like a machine that needs the patch.
TEST(DescribeCheck, DatabaseThatCouldNotBeReadIsNotCheckedNeverShortOfThePatch) {
  const std::vector<TableCheck> carries = {{"SB_Configuration", TableState::kUpToDate, "", {}}};
  const std::vector<TableCheck> lacks = {
      {"SB_Configuration", TableState::kDiffers, "Rate is 5, should be 4", {}}};
  const std::vector<TableCheck> unreadable = {
      {"SB_Configuration", TableState::kUnreadable, "",
       Status::Error(error::kCommandError, "disk I/O error")}};
  const Status in_use = Status::Error(error::kDatabaseInUse, "The file is in use.");
  const Status password = Status::Error(error::kInvalidPassword, "Not a valid password.");
  struct Case {
    const char* name;
    std::vector<CheckAttempt> attempts;
    Outcome outcome;
    std::vector<std::string> says;
  };
  const Case cases[] = {
      {"in use",
       {Checked(1, {}, in_use)},
       Outcome::kInUse,
       {"The database could not be checked (see below), so whether it carries this patch is not "
        "known.\n",
        "CVL.MDB could not be opened: The file is in use.\n  It was not checked: close the host "
        "application and check again.\n"}},
      {"wrong password",
       {Checked(1, {}, password)},
       Outcome::kFailed,
       {"The database could not be checked", "Not a valid password.\n  It was not checked.\n"}},
      {"one lacks the patch, one is in use",
       {Checked(1, lacks), Checked(2, {}, in_use)},
       Outcome::kFailed,
       {"1 of 2 databases could not be checked (see below), so whether it carries",
        "\n1 of 2 databases does not carry this patch in full.\n",
        "SB_Configuration differs: Rate is 5, should be 4\n"}},
      {"one carries it, one is in use: retry later",
       {Checked(1, carries), Checked(2, {}, in_use)},
       Outcome::kInUse,
       {"1 of 2 databases could not be checked"}},
      {"a table that can't be read",
       {Checked(1, carries), Checked(2, unreadable)},
       Outcome::kFailed,
       {"1 of 2 databases could not be checked",
        "SB_Configuration could not be read: disk I/O error\n"}},
      {"both carry it",
       {Checked(1, carries), Checked(2, carries)},
       Outcome::kUpToDate,
       {"All 2 databases carry this patch.\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CheckReport report;
    report.drives = 'C';
    report.attempts = c.attempts;
    EXPECT_EQ(OutcomeName(CheckOutcome(report)), OutcomeName(c.outcome));
    const std::string text = DescribeCheck(report);
    for (const std::string& says : c.says) EXPECT_THAT(text, HasSubstr(says));
    const bool lacking =
        !c.attempts[0].tables.empty() && c.attempts[0].tables[0].state == TableState::kDiffers;
    EXPECT_EQ(text.find("does not carry") != std::string::npos, lacking) << text;
  }
}

}  // namespace
}  // namespace telo
