// What a report means (success or not) and what it tells people.
#include "app/report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/desktop.h"
#include "patch/sequence.h"

namespace telo {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

AttemptReport PatchedAttempt() {
  AttemptReport attempt;
  attempt.number = 1;
  attempt.folder = "c:\\Program Files\\Corvallo\\";
  attempt.database = attempt.folder + "CVL.MDB";
  attempt.folder_found = true;
  attempt.open_attempted = true;
  for (const PatchProcedure* procedure : PatchSequence()) {
    ProcedureOutcome outcome;
    outcome.procedure = procedure->name();
    outcome.statement_count = procedure->statement_count();
    attempt.procedures.push_back(outcome);
  }
  attempt.commit_attempted = true;
  return attempt;
}

RunReport ReportOf(std::vector<AttemptReport> attempts) {
  RunReport report;
  report.confirmed = true;
  report.drives = 'c';
  report.attempts = std::move(attempts);
  return report;
}

TEST(RunReport, SucceedsOnlyWhenEveryFoundDatabaseIsFullyPatched) {
  AttemptReport missing;
  missing.folder = "c:\\Program Files (x86)\\Corvallo\\";
  EXPECT_TRUE(ReportOf({PatchedAttempt(), missing}).succeeded());
  EXPECT_FALSE(ReportOf({missing}).succeeded()) << "nothing found is no success";

  AttemptReport short_sequence = PatchedAttempt();
  short_sequence.procedures.pop_back();
  EXPECT_FALSE(ReportOf({short_sequence}).succeeded());

  AttemptReport unclosed = PatchedAttempt();
  unclosed.close = Status::Error(1, "close failed");
  EXPECT_FALSE(ReportOf({unclosed}).succeeded());

  RunReport declined;
  EXPECT_FALSE(declined.succeeded());
}

TEST(RunReport, DetailedTextGivesEveryProcedure) {
  std::string text = DescribeReport(ReportOf({PatchedAttempt()}), ReportDetail::kEveryProcedure);
  EXPECT_THAT(text, HasSubstr("c:\\Program Files\\Corvallo\\: found"));
  EXPECT_THAT(text, HasSubstr("c:\\Program Files\\Corvallo\\CVL.MDB: opened"));
  for (const PatchProcedure* procedure : PatchSequence()) {
    EXPECT_THAT(text, HasSubstr(std::string(procedure->name()) + ": done"));
  }
  EXPECT_THAT(
      text, HasSubstr("All changes were saved, and every table reads back as the patch wrote it."));
}

TEST(RunReport, WarningNamesTheFailureAndWhatStillHappened) {
  AttemptReport attempt = PatchedAttempt();
  ProcedureOutcome& failed = attempt.procedures.back();
  failed.failed_step = FailedStep::kStatement;
  failed.failed_table = "RD_Extension_WOD_Rate";
  failed.failed_position = 60;
  failed.committed_tables = {"RD_Extension_Rate"};
  failed.status = Status::Error(5, "no such column: year_ext\n");
  MessageBoxContent box = OutcomeBox(ReportOf({attempt}));
  EXPECT_EQ(box.style, BoxStyle::kWarning);
  EXPECT_THAT(box.prompt, HasSubstr("UpdateRDExtensionRates failed at statement 60 of 102: "
                                    "no such column: year_ext\n"));
  EXPECT_THAT(box.prompt, HasSubstr("RD_Extension_WOD_Rate was left as it was. "
                                    "RD_Extension_Rate was updated."));
  EXPECT_THAT(box.prompt, HasSubstr("The other 11 of 12 procedures were applied."));
  EXPECT_THAT(box.prompt, Not(HasSubstr("UpdateSBRate")));
}

TEST(RunReport, BeginFailureMeansNothingChanged) {
  AttemptReport attempt = PatchedAttempt();
  attempt.procedures.clear();
  attempt.commit_attempted = false;
  attempt.begin = Status::Error(7, "transactions unsupported");
  std::string text = DescribeReport(ReportOf({attempt}));
  EXPECT_THAT(text, HasSubstr("could not be started: transactions unsupported"));
  EXPECT_THAT(text, HasSubstr("Nothing was changed."));
}

}  // namespace
}  // namespace telo
