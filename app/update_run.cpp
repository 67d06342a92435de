// The update run. Each install folder is one attempt: probe, open, patch
// inside one transaction, commit, close. An attempt's probe decides only for
// that attempt, so nothing left over from attempt 1 can hide folder 2.
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

// Runs the twelve procedures inside one transaction and commits it. A failed
// procedure has already rolled its own table back; the others stand.
void PatchOpenDatabase(Connection& connection, AttemptReport& attempt) {
  attempt.begin = connection.BeginTrans();
  if (!attempt.begin.ok()) return;
  for (const PatchProcedure* procedure : PatchSequence()) {
    attempt.procedures.push_back((*procedure)(connection));
  }
  attempt.commit_attempted = true;
  attempt.commit = connection.CommitTrans();
  if (!attempt.commit.ok()) {
    connection.RollbackTrans();
    return;
  }
  attempt.verification = CheckTables(connection, CommittedTables(attempt));
}

AttemptReport RunAttempt(Desktop& desktop, ConnectionSlot& cnMain, int index) {
  InstallProbe probe = ProbeInstallFolder(desktop, index);
  AttemptReport attempt;
  static_cast<FolderAttempt&>(attempt) = std::move(probe.location);
  if (!attempt.folder_found) return attempt;

  Connection& connection = cnMain.get();
  attempt.open_attempted = true;
  attempt.open = connection.Open(probe.connection_string, "", "", kAdoUnspecified);
  if (!attempt.open.ok()) return attempt;  // nothing can be patched; the database is unchanged
  PatchOpenDatabase(connection, attempt);
  attempt.close = connection.Close();
  if (attempt.fully_patched())
    attempt.virtual_store_copy = desktop.VirtualStoreCopy(attempt.database);
  return attempt;
}

}  // namespace

InstallProbe ProbeInstallFolder(Desktop& desktop, int index) {
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
  location.probe = desktop.ChangeDirectory(location.folder);
  location.folder_found = location.probe.ok();
  return probe;
}

std::string InstallFolder(char drive_letter, const InstallAttempt& attempt) {
  return std::string(1, drive_letter) + std::string(attempt.folder_tail);
}

std::string ConnectionStringFor(char drive_letter, const InstallAttempt& attempt) {
  return std::string(kConnectionStringHead) + std::string(1, drive_letter) +
         std::string(attempt.database_tail);
}

RunReport RunUpdate(Desktop& desktop, ConnectionSlot& cnMain) {
  RunReport report;
  const int answer = desktop.ShowMessage(kConfirmPrompt, kConfirmTitle, kStyleYesNoInformation);
  if (answer != kAnswerYes) {
    desktop.FocusDriveList();
    return report;
  }
  report.confirmed = true;
  report.drive_text = desktop.CurrentDriveText();
  for (int index = 0; index < 2; ++index) {
    report.attempts.push_back(RunAttempt(desktop, cnMain, index));
  }
  const MessageBoxContent box = OutcomeBox(report);
  desktop.ShowMessage(box.prompt, box.title, box.style);
  return report;
}

}  // namespace telo
