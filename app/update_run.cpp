// The update run. Each install folder is one attempt: probe, open, patch
// inside one transaction, commit, close; each VirtualStore copy of its
// database is an attempt of its own right after it. An attempt's probe
// decides only for that attempt, so nothing left over from attempt 1 can
// hide folder 2.
#include "app/update_run.h"

#include <optional>

#include "app/verify.h"
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kDatabaseFile = "CVL.MDB";

std::optional<char> DriveLetter(const std::string& drive_text) {
  if (drive_text.empty()) return std::nullopt;
  return drive_text.front();
}

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
bool ReadBackAfterFailedCommit(Connection& connection, const std::string& connection_string,
                               AttemptReport& attempt) {
  // The old connection's state is suspect; closing it also ends its level.
  (void)connection.Close();
  attempt.reread = connection.Open(connection_string + ";" + std::string(kReadOnlyMode), "", "",
                                   kAdoUnspecified);
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
bool PatchOpenDatabase(Connection& connection, const std::string& connection_string,
                       AttemptReport& attempt) {
  attempt.begin = connection.BeginTrans();
  if (!attempt.begin.ok()) return true;
  for (const PatchProcedure* procedure : PatchSequence()) {
    attempt.procedures.push_back((*procedure)(connection, ReadBackBeforeCommit));
  }
  attempt.commit_attempted = true;
  attempt.commit = connection.CommitTrans();
  if (!attempt.commit.ok()) {
    (void)connection.RollbackTrans();  // a failed commit leaves its level open
    return ReadBackAfterFailedCommit(connection, connection_string, attempt);
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
AttemptReport RunAttempt(InstallProbe probe, Env& env, ConnectionSlot& cnMain) {
  AttemptReport attempt;
  static_cast<FolderAttempt&>(attempt) = std::move(probe.location);
  if (!attempt.folder_found) return attempt;

  Connection& connection = cnMain.get();
  attempt.open_attempted = true;
  attempt.open = connection.Open(probe.connection_string, "", "", kAdoUnspecified);
  if (!attempt.open.ok()) return attempt;  // nothing can be patched; the database is unchanged
  if (PatchOpenDatabase(connection, probe.connection_string, attempt)) {
    attempt.close = connection.Close();
  }
  if (env.ProcessIsVirtualized())
    attempt.virtual_store_copy = env.OwnVirtualStoreCopy(attempt.database);
  return attempt;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

}  // namespace

InstallProbe ProbeInstallFolder(Desktop& desktop, Env& env, int index) {
  const InstallAttempt& install = kInstallAttempts[index];
  InstallProbe probe;
  FolderAttempt& location = probe.location;
  location.number = index + 1;
  const std::optional<char> letter = DriveLetter(desktop.CurrentDriveText());
  if (!letter) {
    location.probe = Status::Error(error::kPathNotFound, "No drive is chosen.");
    return probe;
  }
  location.folder = InstallFolder(*letter, install);
  location.database = location.folder + std::string(kDatabaseFile);
  probe.connection_string = ConnectionStringFor(*letter, install);
  location.probe = env.ChangeDirectory(location.folder);
  location.folder_found = location.probe.ok();
  return probe;
}

std::vector<InstallProbe> VirtualStoreCopiesOf(const FolderAttempt& location, Env& env) {
  std::vector<InstallProbe> copies;
  if (!location.folder_found || env.ProcessIsVirtualized()) return copies;
  for (std::string& path : env.VirtualStoreCopies(location.database)) {
    InstallProbe& copy = copies.emplace_back();
    copy.location.number = location.number;
    copy.location.folder = FolderOf(path);
    copy.location.folder_found = true;
    copy.location.copy_of = location.database;
    copy.connection_string = ConnectionStringForDatabase(path);
    copy.location.database = std::move(path);
  }
  return copies;
}

std::string InstallFolder(char drive_letter, const InstallAttempt& attempt) {
  return std::string(1, drive_letter) + std::string(attempt.folder_tail);
}

std::string ConnectionStringFor(char drive_letter, const InstallAttempt& attempt) {
  return std::string(kConnectionStringHead) + std::string(1, drive_letter) +
         std::string(attempt.database_tail);
}

std::string ConnectionStringForDatabase(std::string_view database_path) {
  return std::string(kConnectionStringHead) + std::string(database_path) +
         std::string(kPasswordClause);
}

RunReport RunUpdate(Desktop& desktop, Env& env, ConnectionSlot& cnMain) {
  RunReport report;
  const int answer = desktop.ShowMessage(kConfirmPrompt, kConfirmTitle, kStyleYesNoInformation);
  if (answer != kAnswerYes) {
    desktop.FocusDriveList();
    return report;
  }
  report.confirmed = true;
  report.drive_text = desktop.CurrentDriveText();
  for (int index = 0; index < 2; ++index) {
    report.attempts.push_back(RunAttempt(ProbeInstallFolder(desktop, env, index), env, cnMain));
    for (InstallProbe& copy : VirtualStoreCopiesOf(report.attempts.back(), env)) {
      report.attempts.push_back(RunAttempt(std::move(copy), env, cnMain));
    }
  }
  const MessageBoxContent box = OutcomeBox(report);
  desktop.ShowMessage(box.prompt, box.title, box.style);
  return report;
}

}  // namespace telo
