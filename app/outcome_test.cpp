// What a fleet counts: one outcome per run or check, from its databases',
// and the summary line that ends the console's output.
#include "app/outcome.h"

#include <gtest/gtest.h>

#include "patch/sequence.h"

namespace telo {
namespace {

enum class Db { kPatched, kAlreadyPatched, kInUse, kInUseAtBegin, kFailed };

AttemptReport Attempt(Db kind, int number) {
  AttemptReport attempt;
  attempt.folder =
      std::string(number == 1 ? "C:\\Program Files\\" : "C:\\Program Files (x86)\\") + "Corvallo\\";
  attempt.database = attempt.folder + "CVL.MDB";
  attempt.folder_found = true;
  attempt.open_attempted = true;
  const Status in_use = Status::Error(error::kDatabaseInUse, "Could not use the file; in use.");
  if (kind == Db::kInUse) {
    attempt.open = in_use;
    return attempt;
  }
  if (kind == Db::kInUseAtBegin) {
    attempt.begin = in_use;
    return attempt;
  }
  attempt.procedures.resize(PatchSequence().size());
  if (kind == Db::kFailed) {
    attempt.procedures[3].failed_step = FailedStep::kStatement;
    attempt.procedures[3].procedure = "UpdateCommRates";
    attempt.procedures[3].status = Status::Error(error::kNoSuchTable, "no such table");
    return attempt;
  }
  attempt.commit_attempted = true;
  attempt.already_patched = kind == Db::kAlreadyPatched;
  attempt.verification = {{"SB_Configuration", TableState::kUpToDate, "", {}}};
  return attempt;
}

RunReport RunOf(std::vector<Db> kinds) {
  RunReport report;
  report.drives = 'c';
  report.confirmed = true;
  int number = 1;
  for (Db kind : kinds) report.attempts.push_back(Attempt(kind, number++));
  if (kinds.empty()) report.attempts.resize(2);  // two folders, neither found
  return report;
}

TEST(Outcome, OfARunFromItsDatabases) {
  struct Case {
    std::vector<Db> databases;
    Outcome outcome;
    std::string line;
    std::string headline;  // the report's first line, counting the databases
  };
  const std::vector<Case> cases = {
      {{Db::kPatched, Db::kPatched},
       Outcome::kPatched,
       "telo: patched 2 of 2 databases on C: (exit 0)\n",
       "All 2 databases are up to date now."},
      {{Db::kAlreadyPatched},
       Outcome::kAlreadyPatched,
       "telo: already patched 1 of 1 database on C: (exit 0)\n",
       "The database was already up to date; the update wrote the same rates again."},
      // A database carrying the patch beside one patched now: patched.
      {{Db::kAlreadyPatched, Db::kPatched},
       Outcome::kPatched,
       "telo: patched 2 of 2 databases on C: (exit 0)\n",
       "All 2 databases are up to date: 1 of them was updated, the other was already up to date."},
      {{Db::kInUse, Db::kInUseAtBegin},
       Outcome::kInUse,
       "telo: in use: C:\\Program Files\\Corvallo\\CVL.MDB, "
       "C:\\Program Files (x86)\\Corvallo\\CVL.MDB (exit 0)\n",
       "2 of 2 databases were not updated: in use by another program. Close the host application (on every computer that uses them) and run the update again."},
      // One written and one held: a retry would not be a clean one. The
      // line names the database to retry.
      {{Db::kPatched, Db::kInUse},
       Outcome::kFailed,
       "telo: failed 1 of 2 databases on C:; C:\\Program Files (x86)\\Corvallo\\CVL.MDB: "
       "Could not use the file; in use. (exit 0)\n",
       "1 of 2 databases was not updated: in use by another program. Close the host application (on every computer that uses it) and run the update again."},
      {{Db::kInUse, Db::kFailed},
       Outcome::kFailed,
       "telo: failed 2 of 2 databases on C:; C:\\Program Files\\Corvallo\\CVL.MDB: "
       "Could not use the file; in use. (exit 0)\n",
       "2 of 2 databases were not fully updated (see below)."},
      {{},
       Outcome::kNotFound,
       "telo: no database found on C: (exit 0)\n",
       "No database was found on drive c. Nothing was changed."},
  };
  for (const Case& c : cases) {
    const RunReport report = RunOf(c.databases);
    const Outcome outcome = RunOutcome(report);
    EXPECT_EQ(OutcomeName(outcome), OutcomeName(c.outcome)) << c.line;
    // The exit code is the caller's; 0 keeps the lines comparable.
    EXPECT_EQ(SummaryLine(outcome, DatabaseOutcomes(report), "C:", 0), c.line);
    const std::string text = DescribeReport(report);
    EXPECT_EQ(text.substr(0, text.find('\n')), c.headline);
  }
}

TEST(Outcome, OfARunThatCouldNotLookOrWasDeclined) {
  RunReport declined = RunOf({});
  declined.confirmed = false;
  declined.attempts.clear();
  EXPECT_EQ(RunOutcome(declined), Outcome::kDeclined);

  RunReport unenterable = RunOf({});
  unenterable.attempts[0].probe = Status::Error(error::kAccessDenied, "Access is denied.");
  EXPECT_EQ(RunOutcome(unenterable), Outcome::kFailed)
      << "a folder that can't be entered is no proof that the host isn't installed";
}

TEST(Outcome, OfACheckTellsNotUpToDateFromCouldNotRead) {
  CheckAttempt carries;
  carries.folder_found = true;
  carries.open_attempted = true;
  carries.database = "C:\\Program Files\\Corvallo\\CVL.MDB";
  carries.tables = {{"SB_Configuration", TableState::kUpToDate, "", {}}};
  CheckAttempt lacks = carries;
  lacks.tables = {{"SB_Configuration", TableState::kDiffers, "Rate is 5, should be 4", {}}};
  CheckAttempt held = carries;
  held.tables.clear();
  held.open = Status::Error(error::kDatabaseInUse, "in use");
  CheckAttempt damaged = held;
  damaged.open = Status::Error(error::kNotADatabase, "damaged");

  struct Case {
    std::vector<CheckAttempt> attempts;
    Outcome outcome;
  };
  for (const Case& c : std::vector<Case>{{{carries, carries}, Outcome::kUpToDate},
                                         {{carries, lacks}, Outcome::kNotUpToDate},
                                         {{held}, Outcome::kInUse},
                                         // Nothing is written: a retry is clean.
                                         {{carries, held}, Outcome::kInUse},
                                         {{lacks, held}, Outcome::kFailed},
                                         {{lacks, damaged}, Outcome::kFailed}}) {
    CheckReport report;
    report.drives = 'c';
    report.attempts = c.attempts;
    EXPECT_EQ(OutcomeName(CheckOutcome(report)), OutcomeName(c.outcome));
  }
}

}  // namespace
}  // namespace telo
