// The update run. Each install folder is one attempt: probe, open, patch
// inside one transaction, commit, close; each VirtualStore copy of its
// database is an attempt of its own right after it. An attempt's probe
// decides only for that attempt, so nothing left over from attempt 1 can
// hide folder 2.
#include "app/update_run.h"

#include "app/verify.h"
#include "patch/sequence.h"

namespace telo {
namespace {

std::vector<std::string_view> CommittedTables(const AttemptReport& attempt) {
  std::vector<std::string_view> tables;
  for (const ProcedureOutcome& outcome : attempt.procedures) {
    tables.insert(tables.end(), outcome.committed_tables.begin(), outcome.committed_tables.end());
  }
  return tables;
}

// The read-back inside each table's transaction, before it is committed.
Status ReadBackBeforeCommit(Connection& connection, std::string_view table) {
  TableCheck check = CheckTable(connection, table);
  if (check.state == TableState::kUpToDate) return Status::Ok();
  if (check.state == TableState::kDiffers) {
    return Status::Error(error::kTableDiffers, std::string(table) + " differs: " + check.detail);
  }
  return check.status;
}

// A failed commit doesn't prove that nothing was written (the file may be
// saved and only the release of its lock have failed): the database is read
// back on a connection of its own, opened for reading. False when it could
// not even be opened again.
bool ReadBackAfterFailedCommit(Connection& connection, AttemptReport& attempt) {
  // The old connection's state is suspect; closing it also ends its level.
  (void)connection.Close();
  attempt.reread = connection.Open(DatabaseConnectionString(attempt.database, /*read_only=*/true),
                                   "", "", kAdoUnspecified);
  if (!attempt.reread.ok()) return false;
  // The final read-back in one transaction of its own, rolled back: every
  // table as of one moment, and one lock on the file instead of one a query.
  const bool in_transaction = connection.BeginTrans().ok();
  attempt.verification = CheckTables(connection, CommittedTables(attempt));
  if (in_transaction) (void)connection.RollbackTrans();  // it changed nothing
  return true;
}

// Runs the twelve procedures inside one transaction and commits it, then
// reads back what the file holds. A failed procedure has already rolled its
// own table back; the others stand. False when the connection was left closed.
bool PatchOpenDatabase(Connection& connection, AttemptReport& attempt) {
  attempt.begin = connection.BeginTrans();
  if (!attempt.begin.ok()) return true;
  for (const PatchProcedure* procedure : PatchSequence()) {
    attempt.procedures.push_back((*procedure)(connection, ReadBackBeforeCommit));
  }
  attempt.commit_attempted = true;
  attempt.commit = connection.CommitTrans();
  if (!attempt.commit.ok()) {
    (void)connection.RollbackTrans();  // a failed commit leaves its level open
    return ReadBackAfterFailedCommit(connection, attempt);
  }
  // The final read-back in one transaction of its own, rolled back: every
  // table as of one moment, and one lock on the file instead of one a query.
  const bool in_transaction = connection.BeginTrans().ok();
  attempt.verification = CheckTables(connection, CommittedTables(attempt));
  if (in_transaction) (void)connection.RollbackTrans();  // it changed nothing
  return true;
}

// Opens the probed database, patches it and closes it. A folder that was not
// found is left alone.
AttemptReport RunAttempt(FolderAttempt location, Env& env, ConnectionSlot& cnMain) {
  AttemptReport attempt;
  static_cast<FolderAttempt&>(attempt) = std::move(location);
  if (!attempt.folder_found) return attempt;

  Connection& connection = cnMain.get();
  attempt.open_attempted = true;
  attempt.open =
      connection.Open(DatabaseConnectionString(attempt.database), "", "", kAdoUnspecified);
  if (!attempt.open.ok()) return attempt;  // nothing can be patched; the database is unchanged
  if (PatchOpenDatabase(connection, attempt)) {
    attempt.close = connection.Close();
  }
  if (env.ProcessIsVirtualized())
    attempt.virtual_store_copy = env.OwnVirtualStoreCopy(attempt.database);
  return attempt;
}

}  // namespace

RunReport RunUpdate(Desktop& desktop, Env& env, ConnectionSlot& cnMain) {
  RunReport report;
  if (desktop.ShowMessage(kConfirmPrompt, kConfirmTitle, BoxStyle::kQuestion) != BoxAnswer::kYes) {
    desktop.FocusDriveList();
    return report;
  }
  report.confirmed = true;
  report.drive_text = desktop.CurrentDriveText();
  for (int index = 0; index < 2; ++index) {
    report.attempts.push_back(RunAttempt(ProbeInstallFolder(desktop, env, index), env, cnMain));
    for (FolderAttempt& copy : VirtualStoreCopiesOf(report.attempts.back(), env)) {
      report.attempts.push_back(RunAttempt(std::move(copy), env, cnMain));
    }
  }
  const MessageBoxContent box = OutcomeBox(report);
  (void)desktop.ShowMessage(box.prompt, box.title, box.style);  // its only button is OK
  return report;
}

}  // namespace telo
