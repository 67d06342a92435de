// The update run. Each install folder is one attempt: probe, open, patch
// inside one transaction, commit, close; each VirtualStore copy of its
// database is an attempt of its own right after it. An attempt's probe
// decides only for that attempt, so nothing left over from attempt 1 can
// hide folder 2.
#include "app/update_run.h"

#include <optional>

#include "app/verify.h"
#include "patch/sequence.h"
#include "platform/env.h"

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
    return Status::Error(error::kTableDiffers, DescribeTable(check));
  }
  return check.status;
}

// Reads back what the file holds after the commit, on a connection opened
// anew by the path, for reading only: the connection that committed may
// answer from its own cache (SQLite keeps its pages when the change counter
// is its own, Jet's read cache lags its commits), and a file put at the path
// meanwhile is only seen so. One read transaction, rolled back, gives every
// table as of one moment and one lock on the file instead of one a query.
void ReadBackFromTheFile(Connection& connection, AttemptReport& attempt) {
  attempt.reread = connection.Open(DatabaseConnectionString(attempt.database, /*read_only=*/true),
                                   "", "", kAdoUnspecified);
  if (!attempt.reread.ok()) return;
  const bool in_transaction = connection.BeginTrans().ok();
  attempt.verification = CheckTables(connection, CommittedTables(attempt));
  if (in_transaction) (void)connection.RollbackTrans();  // it changed nothing
  (void)connection.Close();  // read-only: nothing of the file hangs on it
}

// Whether the file at the database's path is still the one that was opened:
// another program may have renamed, deleted or restored it meanwhile, and
// the commit then went to the old file through the open handle. A file that
// can't be asked for some other reason is not taken as replaced.
bool FileWasReplaced(const std::string& database, const std::optional<FileIdentity>& opened,
                     Env& env) {
  if (!opened) return false;
  FileIdentity now;
  const Status status = env.IdentifyFile(database, &now);
  if (status.IsNotFound()) return true;
  return status.ok() && now != *opened;
}

// Runs the twelve procedures inside one transaction, commits it, closes the
// connection and reads back what the file holds. A failed procedure has
// already rolled its own table back; the others stand.
void PatchOpenDatabase(Connection& connection, const std::optional<FileIdentity>& opened, Env& env,
                       AttemptReport& attempt) {
  attempt.begin = connection.BeginTrans();
  if (!attempt.begin.ok()) {
    attempt.close = connection.Close();
    return;
  }
  // What the database held before, read inside the transaction that holds
  // the write lock: no other program can change it between this and the
  // statements.
  attempt.already_patched = TablesHoldThePatch(CheckTables(connection, PatchedTables()));
  for (const PatchProcedure* procedure : PatchSequence()) {
    attempt.procedures.push_back((*procedure)(connection, ReadBackBeforeCommit));
  }
  attempt.commit_attempted = true;
  attempt.commit = connection.CommitTrans();
  attempt.replaced = FileWasReplaced(attempt.database, opened, env);
  if (attempt.commit.ok()) {
    attempt.close = connection.Close();
  } else {
    // A failed commit leaves its level open; the connection's state is
    // suspect, and closing it also ends that level.
    (void)connection.RollbackTrans();
    (void)connection.Close();
  }
  ReadBackFromTheFile(connection, attempt);
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
  // Asked after the open: a virtualized process's open for writing is what
  // makes Windows copy the file to the user's VirtualStore.
  std::optional<FileIdentity> opened;
  if (FileIdentity identity; env.IdentifyFile(attempt.database, &identity).ok()) opened = identity;
  PatchOpenDatabase(connection, opened, env, attempt);
  if (env.ProcessIsVirtualized())
    attempt.virtual_store_copy = env.OwnVirtualStoreCopy(attempt.database);
  return attempt;
}

}  // namespace

RunReport RunUpdate(const Drives& drives, Desktop& desktop, Env& env, ConnectionSlot& cnMain) {
  RunReport report;
  report.drives = drives;
  if (desktop.ShowMessage(kConfirmPrompt, kConfirmTitle, BoxStyle::kQuestion) != BoxAnswer::kYes) {
    desktop.FocusDriveList();
    return report;
  }
  report.confirmed = true;
  for (FolderAttempt& location : InstallLocations(drives, env)) {
    report.attempts.push_back(RunAttempt(std::move(location), env, cnMain));
  }
  const MessageBoxContent box = OutcomeBox(report);
  (void)desktop.ShowMessage(box.prompt, box.title, box.style);  // its only button is OK
  if (const std::optional<MessageBoxContent> copy = VirtualizedRunBox(report)) {
    (void)desktop.ShowMessage(copy->prompt, copy->title, copy->style);
  }
  return report;
}

}  // namespace telo
