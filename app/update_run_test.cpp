// The update run against a fake desktop, a fake machine and in-memory tables
// (no database wanted): the order of its steps, what follows each failure,
// and which box ends it. What failures leave in a real database is
// update_run_db_test's.
#include "app/update_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "patch/sequence.h"
#include "testing/fake_connection.h"
#include "testing/fake_desktop.h"
#include "testing/fake_env.h"
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char kFolder1[] = "C:\\Program Files\\Corvallo\\";
constexpr char kFolder2[] = "C:\\Program Files (x86)\\Corvallo\\";

class UpdateRunTest : public ::testing::Test {
 protected:
  RunReport Run() { return RunUpdate(drive_, desktop_, env_, cnMain_); }

  // The opens that patch; each is followed by one for reading back.
  std::vector<std::string> Opens() const {
    std::vector<std::string> opens;
    for (const std::string& call : injection_.calls) {
      if (call.starts_with("Open ") && call.find(";Mode=Read") == std::string::npos) {
        opens.push_back(call);
      }
    }
    return opens;
  }

  std::optional<char> drive_ = 'C';
  FakeDesktop desktop_;
  FakeEnv env_;
  FakeDatabase database_;
  FaultInjection injection_;
  ConnectionSlot cnMain_{injection_.Wrap(database_.Factory())};
};

TEST_F(UpdateRunTest, NoLeavesEverythingAloneAndFocusesTheDriveList) {
  desktop_.confirmation_answer = BoxAnswer::kNo;
  env_.existing_folders = {kFolder1};
  RunReport report = Run();
  EXPECT_FALSE(report.confirmed);
  EXPECT_THAT(desktop_.calls, ElementsAre("message question", "focus"));
  EXPECT_TRUE(env_.directory_changes.empty());
  EXPECT_EQ(database_.connections_created, 0);
  EXPECT_EQ(desktop_.messages[0].prompt, kConfirmPrompt);
  EXPECT_EQ(desktop_.messages[0].title, "TELO Database Update");
}

TEST_F(UpdateRunTest, PatchesTheStandardFolderAndReportsCompletion) {
  env_.existing_folders = {kFolder1};
  RunReport report = Run();
  EXPECT_TRUE(report.succeeded());
  EXPECT_THAT(Opens(), ElementsAre("Open Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Program "
                                   "Files\\Corvallo\\CVL.MDB;Jet OLEDB:Database Password=846 "
                                   "user= password= options=-1"));
  EXPECT_EQ(injection_.executed().size(), 276u);
  const std::vector<std::string_view> statements = AllPatchStatements();
  EXPECT_EQ(database_.durable, std::vector<std::string>(statements.begin(), statements.end()));
  EXPECT_THAT(injection_.opened().back(), HasSubstr("Password=846;Mode=Read"))
      << "what the file holds is read back on a connection opened again";
  EXPECT_EQ(injection_.calls.back(), "Close");
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[1].prompt, "Database Updated successfully !  ");
  EXPECT_EQ(desktop_.messages[1].title, "Database Update");
  EXPECT_EQ(desktop_.messages[1].style, BoxStyle::kInformation);
}

// A run without the read-back inside each table's transaction once passed
// every test here: each table's query must come after its last statement and
// before the commit that keeps it.
TEST_F(UpdateRunTest, EachTableIsReadBackAfterItsStatementsAndBeforeItsCommit) {
  env_.existing_folders = {kFolder1};
  ASSERT_TRUE(Run().succeeded());
  const std::vector<std::string>& calls = injection_.calls;
  for (const PatchProcedure* procedure : PatchSequence()) {
    for (const TableStatements& table : procedure->tables()) {
      SCOPED_TRACE(std::string(table.table));
      const auto last_statement =
          std::find(calls.begin(), calls.end(), "Execute " + std::string(table.statements.back()));
      ASSERT_NE(last_statement, calls.end());
      const auto commit = std::find(last_statement, calls.end(), "CommitTrans");
      const auto read_back = std::find_if(last_statement, commit, [&](const std::string& call) {
        return call.starts_with("Query ") &&
               call.find(" FROM " + std::string(table.table)) != std::string::npos;
      });
      EXPECT_NE(read_back, commit) << "no read-back between its statements and its commit";
    }
  }
}

TEST_F(UpdateRunTest, ProbesBothFoldersInOrderAndShowsOneBoxAtTheEnd) {
  env_.existing_folders = {kFolder1, kFolder2};
  RunReport report = Run();
  EXPECT_TRUE(report.succeeded());
  EXPECT_THAT(env_.directory_changes, ElementsAre(kFolder1, kFolder2));
  ASSERT_EQ(Opens().size(), 2u);
  EXPECT_THAT(Opens()[0], HasSubstr("Data Source=C:\\Program Files\\Corvallo\\CVL.MDB"));
  EXPECT_THAT(Opens()[1], HasSubstr("Data Source=C:\\Program Files (x86)\\Corvallo\\CVL.MDB"));
  EXPECT_EQ(database_.connections_created, 1) << "both attempts reuse cnMain";
  EXPECT_EQ(desktop_.calls.back(), "message information");
  EXPECT_EQ(env_.current_directory, kFolder2);
}

TEST_F(UpdateRunTest, OnlyTheX86FolderIsPatchedWhenOnlyItExists) {
  env_.existing_folders = {kFolder2};
  RunReport report = Run();
  EXPECT_TRUE(report.succeeded());
  EXPECT_FALSE(report.attempts[0].folder_found);
  EXPECT_TRUE(report.attempts[1].fully_patched());
  ASSERT_EQ(Opens().size(), 1u);
  EXPECT_THAT(Opens()[0], HasSubstr("(x86)"));
}

TEST_F(UpdateRunTest, LowerCaseDriveLetterGivesLowerCasePaths) {
  drive_ = 'c';
  env_.existing_folders = {"c:\\Program Files\\Corvallo\\"};
  RunReport report = Run();
  EXPECT_TRUE(report.succeeded());
  EXPECT_THAT(Opens()[0], HasSubstr("Data Source=c:\\Program Files\\Corvallo\\CVL.MDB;"));
  EXPECT_EQ(report.attempts[1].folder, "c:\\Program Files (x86)\\Corvallo\\");
}

TEST_F(UpdateRunTest, NoFolderMeansNothingOpenedAndAWarningNamingBothFolders) {
  drive_ = 'D';
  RunReport report = Run();
  EXPECT_FALSE(report.succeeded());
  EXPECT_FALSE(report.any_database_found());
  EXPECT_EQ(database_.connections_created, 0);
  const FakeDesktop::Message& box = desktop_.messages.back();
  EXPECT_EQ(box.style, BoxStyle::kWarning);
  EXPECT_EQ(box.title, "Database Update");
  EXPECT_THAT(box.prompt, HasSubstr("drive D"));
  EXPECT_THAT(box.prompt, HasSubstr("D:\\Program Files\\Corvallo\\"));
  EXPECT_THAT(box.prompt, HasSubstr("D:\\Program Files (x86)\\Corvallo\\"));
}

TEST_F(UpdateRunTest, FailedFirstOpenDoesNotHideTheSecondFolder) {
  env_.existing_folders = {kFolder1, kFolder2};
  injection_.faults.fail_open_at = 1;  // folder 1 has no database
  RunReport report = Run();
  EXPECT_TRUE(report.attempts[1].folder_found);
  EXPECT_TRUE(report.attempts[1].fully_patched());
  EXPECT_EQ(injection_.executed().size(), 276u) << "only the second database is patched";
  EXPECT_FALSE(report.succeeded());
  const std::string& prompt = desktop_.messages.back().prompt;
  EXPECT_THAT(prompt, HasSubstr("C:\\Program Files\\Corvallo\\CVL.MDB could not be opened"));
}

TEST_F(UpdateRunTest, FailedOpenSkipsTheSequenceAndIsNamedOnce) {
  env_.existing_folders = {kFolder1};
  injection_.faults.fail_every_open = true;
  RunReport report = Run();
  EXPECT_TRUE(injection_.executed().empty());
  EXPECT_TRUE(report.attempts[0].procedures.empty());
  const std::string& prompt = desktop_.messages.back().prompt;
  EXPECT_EQ(prompt.find("could not be opened"), prompt.rfind("could not be opened"));
  EXPECT_THAT(prompt, HasSubstr("injected failure: Open"));
}

TEST_F(UpdateRunTest, ASecondClickRunsEverythingAgainOnTheSameConnection) {
  env_.existing_folders = {kFolder1};
  Run();
  RunReport second = Run();
  EXPECT_TRUE(second.succeeded());
  EXPECT_EQ(database_.connections_created, 1);
  EXPECT_EQ(Opens().size(), 2u);
  EXPECT_EQ(desktop_.messages.size(), 4u);
  EXPECT_EQ(desktop_.messages[2].style, BoxStyle::kQuestion);
}

TEST_F(UpdateRunTest, NoDriveChosenProbesNothing) {
  drive_ = DriveOfEntry("");
  RunReport report = Run();
  EXPECT_FALSE(report.any_database_found());
  EXPECT_EQ(database_.connections_created, 0);
  EXPECT_THAT(desktop_.messages.back().prompt, HasSubstr("No drive was chosen"));
}

TEST_F(UpdateRunTest, EveryProfilesVirtualStoreCopyIsPatchedRightAfterItsDatabase) {
  const std::string database = std::string(kFolder1) + "CVL.MDB";
  const std::string copies[] = {
      "C:\\users\\ann;2\\AppData\\Local\\VirtualStore\\Program Files\\Corvallo\\CVL.MDB",
      "C:\\users\\bob\\AppData\\Local\\VirtualStore\\Program Files\\Corvallo\\CVL.MDB"};
  env_.existing_folders = {kFolder1, kFolder2};
  env_.virtual_store_copies[database] = {copies[0], copies[1]};
  injection_.faults.fail_open_at = 5;  // bob's copy (each patched database is opened twice)

  RunReport report = Run();

  ASSERT_EQ(report.attempts.size(), 4u);
  EXPECT_THAT(Opens()[1],
              HasSubstr("Data Source=\"" + copies[0] + "\";Jet OLEDB:Database Password=846"))
      << "a profile named with a semicolon is quoted";
  EXPECT_EQ(report.attempts[1].database, copies[0]);
  EXPECT_EQ(report.attempts[1].copy_of, database);
  EXPECT_TRUE(report.attempts[1].fully_patched());
  EXPECT_FALSE(report.attempts[2].opened());
  EXPECT_TRUE(report.attempts[3].fully_patched()) << "folder 2 comes after folder 1's copies";
  EXPECT_FALSE(report.succeeded()) << "a copy that wasn't patched is a failure";
  const std::string& prompt = desktop_.messages.back().prompt;
  EXPECT_THAT(prompt, HasSubstr("A user's VirtualStore copy of " + database));
  EXPECT_THAT(prompt, HasSubstr(copies[1] + " could not be opened"));
}

TEST_F(UpdateRunTest, VirtualizedProcessPatchesOnlyWhatWindowsRedirectsItToAndSaysWhich) {
  const std::string own =
      "C:\\users\\ann\\AppData\\Local\\VirtualStore\\Program Files\\Corvallo\\CVL.MDB";
  env_.existing_folders = {kFolder1};
  env_.virtualized = true;
  env_.own_virtual_store_copy = own;
  env_.virtual_store_copies[std::string(kFolder1) + "CVL.MDB"] = {own};

  RunReport report = Run();

  ASSERT_EQ(report.attempts.size(), 2u) << "no copy is visited on its own";
  EXPECT_TRUE(report.succeeded());
  EXPECT_EQ(report.attempts[0].virtual_store_copy, own);
  EXPECT_THAT(DescribeReport(report), HasSubstr("Windows redirects this program to your own copy"));
  EXPECT_THAT(DescribeReport(report), HasSubstr(own));
  // The window said "successfully" and nothing more, although only this
  // user's copy was patched.
  ASSERT_EQ(desktop_.messages.size(), 3u) << "the question, the success box, then the copy's";
  EXPECT_EQ(desktop_.messages[1].prompt, kCompletionPrompt);
  const std::string& copy_box = desktop_.messages[2].prompt;
  EXPECT_THAT(copy_box, HasSubstr("Only your own copy of the database was updated:\n    " + own));
  EXPECT_THAT(copy_box, HasSubstr("Other users of this computer still have the old rates."));
  EXPECT_THAT(copy_box, HasSubstr("right-click telo.exe, choose Run as administrator, and click "
                                  "Update again."));
  EXPECT_EQ(desktop_.messages[2].style, BoxStyle::kInformation);

  env_.virtualized = false;
  env_.own_virtual_store_copy.clear();
  desktop_.messages.clear();
  Run();
  EXPECT_EQ(desktop_.messages.size(), 2u) << "a run that isn't virtualized ends with one box";
}

// Another program (a restore, a sync client) puts another file at the
// database's path, or removes it, while the run has it open: the commit goes
// to the old file, and the run once reported it patched.
TEST_F(UpdateRunTest, DatabaseReplacedOrRemovedDuringTheRunIsAFailure) {
  const std::string database = std::string(kFolder1) + "CVL.MDB";
  struct Case {
    const char* what;
    std::function<void(FakeEnv&)> meanwhile;
    bool replaced;
  };
  const Case cases[] = {
      {"replaced",
       [&](FakeEnv& env) {
         env.file_identities[database] = {7, 2};
       },
       true},
      {"removed", [&](FakeEnv& env) { env.file_identities.erase(database); }, true},
      {"left alone", [](FakeEnv&) {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    env_.existing_folders = {kFolder1};
    env_.file_identities[database] = {7, 1};
    injection_.counts = {};
    injection_.faults.before_execute = [&](int n) {
      if (n == 100) c.meanwhile(env_);
    };
    const RunReport report = Run();
    EXPECT_EQ(report.attempts[0].replaced, c.replaced);
    EXPECT_EQ(report.succeeded(), !c.replaced);
    EXPECT_EQ(desktop_.messages.back().prompt.find(
                  "CVL.MDB was replaced by another program during the run; the patch went to "
                  "the old file.") != std::string::npos,
              c.replaced);
  }
}

}  // namespace
}  // namespace telo
