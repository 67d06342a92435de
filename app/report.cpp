// What a run's report means, and how it reads to people.
#include "app/report.h"

#include <algorithm>

#include "app/install.h"
#include "app/outcome.h"
#include "patch/sequence.h"

namespace telo {
namespace {

std::string Reason(const Status& status) {
  std::string text = status.message().empty() ? status.ToString() : status.message();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

std::string DescribeFailure(const ProcedureOutcome& outcome) {
  std::string line = std::string(outcome.procedure) + " failed ";
  switch (outcome.failed_step) {
    case FailedStep::kStatement:
      line += "at statement " + std::to_string(outcome.failed_position) + " of " +
              std::to_string(outcome.statement_count);
      break;
    case FailedStep::kBeginTable:
      line += "before its first statement";
      break;
    case FailedStep::kReadBack:
      line += "when its table was read back before keeping it";
      break;
    case FailedStep::kCommitTable:
      line += "while keeping its changes";
      break;
    case FailedStep::kNone:
      break;
  }
  line += ": " + Reason(outcome.status) + "\n";
  line += "      " + std::string(outcome.failed_table) + " was left as it was.";
  if (!outcome.committed_tables.empty()) {
    for (std::string_view table : outcome.committed_tables) {
      line += " " + std::string(table) + " was updated.";
    }
  }
  return line + "\n";
}

void DescribeProcedures(const AttemptReport& attempt, ReportDetail detail, std::string& text) {
  std::size_t succeeded = 0;
  for (const ProcedureOutcome& outcome : attempt.procedures) {
    if (!outcome.ok()) {
      text += "    " + DescribeFailure(outcome);
      continue;
    }
    ++succeeded;
    if (detail == ReportDetail::kEveryProcedure) {
      text += "    " + std::string(outcome.procedure) + ": done\n";
    }
  }
  if (detail == ReportDetail::kFailuresOnly && succeeded != attempt.procedures.size()) {
    text += "    The other " + std::to_string(succeeded) + " of " +
            std::to_string(attempt.procedures.size()) + " procedures were applied.\n";
  }
}

std::string TableLine(const TableCheck& check) { return DescribeTable(check) + "\n"; }

// A table whose update found no row to change: nothing failed, but the
// user may want those rows.
void DescribeWarnings(const AttemptReport& attempt, std::string& text) {
  for (const TableCheck& check : attempt.verification) {
    if (check.state != TableState::kNoRowToUpdate) continue;
    text += "    Warning for " + std::string(check.table) + ": " + check.detail +
            ". If the host should have those rows, add them and run the update again.\n";
  }
}

// What a failed commit left in the file, as read back on a new connection.
void DescribeFailedCommit(const AttemptReport& attempt, std::string& text) {
  text += "    The commit reported a failure: " + Reason(attempt.commit) + "\n";
  switch (attempt.saved()) {
    case AttemptReport::Saved::kYes:
      text +=
          "    Read back on a new connection, every table holds the patch: the changes "
          "were saved all the same.\n";
      DescribeWarnings(attempt, text);
      return;
    case AttemptReport::Saved::kNo:
      text += "    Read back on a new connection, the database does not hold the patch:\n";
      for (const TableCheck& check : attempt.verification) {
        if (!HoldsThePatch(check.state)) text += "      " + TableLine(check);
      }
      return;
    case AttemptReport::Saved::kUnknown:
      if (!attempt.reread.ok()) {
        text += "    The database could not be opened again to read it back (" +
                Reason(attempt.reread) + "), so whether the changes were saved is not known.\n";
        return;
      }
      for (const TableCheck& check : attempt.verification) {
        if (check.state != TableState::kUnreadable) continue;
        text += "    " + std::string(check.table) + " could not be read back (" +
                Reason(check.status) + "), so whether the changes were saved is not known.\n";
        return;
      }
      return;
  }
}

void DescribeSavedChanges(const AttemptReport& attempt, std::string& text) {
  const bool all_read_back =
      attempt.reread.ok() &&
      std::all_of(attempt.verification.begin(), attempt.verification.end(),
                  [](const TableCheck& check) { return check.state == TableState::kUpToDate; });
  if (attempt.all_procedures_ok() && all_read_back) {
    text += "    All changes were saved, and every table reads back as the patch wrote it.\n";
  } else if (attempt.all_procedures_ok()) {
    text += "    All changes were saved.\n";
  } else {
    text += "    The changes of the other procedures were saved.\n";
  }
  if (!attempt.reread.ok()) {
    text += "    Saved, but the database could not be opened again to read it back: " +
            Reason(attempt.reread) + "\n";
  }
  for (const TableCheck& check : attempt.verification) {
    if (check.state == TableState::kUnreadable) {
      text += "    Saved, but " + std::string(check.table) +
              " was not read back again: " + Reason(check.status) + "\n";
    } else if (!HoldsThePatch(check.state)) {
      text += "    Read back after saving, " + TableLine(check);
    }
  }
  DescribeWarnings(attempt, text);
}

// The commit went to a file that no longer stands at the path; what stands
// there now, as read back.
void DescribeReplacedFile(const AttemptReport& attempt, std::string& text) {
  text += "    " + std::string(kDatabaseFile) +
          " was replaced by another program during the run; the patch went to the old file.\n";
  if (!attempt.reread.ok()) {
    text += "    The file now at its path could not be read: " + Reason(attempt.reread) + "\n";
  }
  for (const TableCheck& check : attempt.verification) {
    if (!HoldsThePatch(check.state)) text += "    In the file now at its path, " + TableLine(check);
  }
}

void DescribeSaving(const AttemptReport& attempt, std::string& text) {
  if (!attempt.begin.ok()) {
    text += "    The update could not be started: " + Reason(attempt.begin) +
            "\n    Nothing was changed.\n";
    return;
  }
  if (attempt.replaced) {
    DescribeReplacedFile(attempt, text);
  } else if (attempt.commit_attempted && !attempt.commit.ok()) {
    DescribeFailedCommit(attempt, text);
  } else {
    DescribeSavedChanges(attempt, text);
  }
  if (!attempt.close.ok()) {
    text += "    The database could not be closed: " + Reason(attempt.close) + "\n";
  }
  text += DescribeRedirection(attempt, "    ");
}

void DescribeAttempt(const AttemptReport& attempt, ReportDetail detail, std::string& text) {
  if (attempt.folder.empty()) return;
  text += DescribeLocation(attempt);
  if (!attempt.folder_found) return;
  if (!attempt.opened()) {
    text += "  " + attempt.database + " could not be opened: " + Reason(attempt.open) +
            "\n  It was not changed.\n";
    return;
  }
  text += "  " + attempt.database + ": opened\n";
  DescribeProcedures(attempt, detail, text);
  DescribeSaving(attempt, text);
}

// "The database", "1 of 2 databases": `count` of `total`, as a subject.
std::string Counted(std::size_t count, std::size_t total) {
  if (total == 1) return "The database";
  return std::to_string(count) + " of " + std::to_string(total) + " databases";
}

// A done run: updated, or already up to date (the procedures wrote the same
// rates again).
std::string DoneHeadline(const std::vector<DatabaseOutcome>& databases) {
  const std::size_t total = databases.size();
  const auto already = static_cast<std::size_t>(std::count_if(
      databases.begin(), databases.end(),
      [](const DatabaseOutcome& d) { return d.outcome == Outcome::kAlreadyPatched; }));
  if (already == total) {
    return (total == 1 ? std::string("The database was")
                       : "All " + std::to_string(total) + " databases were") +
           " already up to date; the update wrote the same rates again.\n";
  }
  if (total == 1) return "The database was updated.\n";
  std::string text = "All " + std::to_string(total) + " databases are up to date";
  if (already > 0) {
    text += ": " + std::to_string(total - already) + " of them " +
            (total - already == 1 ? "was" : "were") + " updated, the other" +
            (already == 1 ? " was" : "s were") + " already up to date";
  } else {
    text += " now";
  }
  return text + ".\n";
}

std::string Headline(const RunReport& report) {
  if (!report.confirmed) return "The update was not started.\n";
  const std::string drive = DrivesPhrase(report.drives);
  if (!report.any_database_found()) {
    if (report.any_folder_unenterable()) {
      return "No database could be reached on " + drive +
             ": an install folder is there but can't be used (see below). Nothing was changed.\n";
    }
    return "No database was found on " + drive + ". Nothing was changed.\n";
  }
  const std::vector<DatabaseOutcome> databases = DatabaseOutcomes(report);
  if (report.succeeded() && !report.any_folder_unenterable()) return DoneHeadline(databases);
  const std::size_t total = databases.size();
  const auto in_use = static_cast<std::size_t>(
      std::count_if(databases.begin(), databases.end(),
                    [](const DatabaseOutcome& d) { return d.outcome == Outcome::kInUse; }));
  const auto not_done = static_cast<std::size_t>(
      std::count_if(databases.begin(), databases.end(),
                    [](const DatabaseOutcome& d) { return !IsDone(d.outcome); }));
  std::string text;
  if (not_done > 0 && in_use == not_done) {
    text = Counted(not_done, total) + (not_done == 1 ? " was" : " were") +
           " not updated: in use by another program. Close the host application (on every "
           "computer that uses " +
           (not_done == 1 ? "it" : "them") + ") and run the update again.\n";
  } else if (not_done > 0) {
    text = Counted(not_done, total) + (not_done == 1 ? " was" : " were") +
           " not fully updated (see below).\n";
  }
  if (report.any_folder_unenterable()) {
    text += "An install folder on " + drive +
            " is there but can't be used (see below), so the update is not complete.\n";
  }
  return text;
}

}  // namespace

std::string DriveShown(const Drives& drives) {
  if (drives.letters.empty()) return "(none)";
  std::string shown;
  for (char letter : drives.letters) {
    if (!shown.empty()) shown += ", ";
    shown += letter;
  }
  return shown;
}

std::string DrivesPhrase(const Drives& drives) {
  return (drives.letters.size() > 1 ? "drives " : "drive ") + DriveShown(drives);
}

std::string DescribeLocation(const FolderAttempt& location) {
  if (!location.copy_of.empty()) {
    return "A user's VirtualStore copy of " + location.copy_of + ":\n";
  }
  if (location.unenterable()) {
    const bool ambiguous = location.probe.IsAmbiguousName();
    return location.folder +
           (ambiguous ? ": exists, but can't be used: " : ": exists, but can't be entered: ") +
           Reason(location.probe) + "\n";
  }
  return location.folder + (location.folder_found ? ": found\n" : ": not found\n");
}

std::string DescribeRedirection(const FolderAttempt& location, std::string_view indent) {
  if (location.virtual_store_copy.empty()) return "";
  const std::string lead(indent);
  return lead + "Windows redirects this program to your own copy of the database, and it was\n" +
         lead + "that copy that was used:\n" + lead + "  " + location.virtual_store_copy + "\n" +
         lead + "Other users of this computer may still have the old rates.\n";
}

bool AttemptReport::all_procedures_ok() const {
  return std::all_of(procedures.begin(), procedures.end(),
                     [](const ProcedureOutcome& outcome) { return outcome.ok(); });
}

AttemptReport::Saved AttemptReport::saved() const {
  const bool commit_failed = commit_attempted && !commit.ok();
  if (commit_failed && !reread.ok()) return Saved::kUnknown;
  bool unreadable = false;
  for (const TableCheck& check : verification) {
    if (check.state == TableState::kDiffers || check.state == TableState::kMissing) {
      return Saved::kNo;
    }
    unreadable = unreadable || check.state == TableState::kUnreadable;
  }
  // After a good commit every table was read back before it was committed.
  return unreadable && commit_failed ? Saved::kUnknown : Saved::kYes;
}

bool AttemptReport::fully_patched() const {
  return opened() && begin.ok() && procedures.size() == PatchSequence().size() &&
         all_procedures_ok() && commit_attempted && !replaced && saved() == Saved::kYes;
}

bool RunReport::succeeded() const {
  if (!confirmed || !any_database_found()) return false;
  return std::all_of(attempts.begin(), attempts.end(), [](const AttemptReport& attempt) {
    return !attempt.folder_found || (attempt.fully_patched() && attempt.close.ok());
  });
}

std::optional<MessageBoxContent> VirtualizedRunBox(const RunReport& report) {
  if (!report.succeeded()) return std::nullopt;
  std::string copies;
  for (const AttemptReport& attempt : report.attempts) {
    if (!attempt.virtual_store_copy.empty()) copies += "    " + attempt.virtual_store_copy + "\n";
  }
  if (copies.empty()) return std::nullopt;
  return MessageBoxContent{
      "Only your own copy of the database was updated:\n" + copies +
          "\nWindows keeps this copy for your user account. Other users of this computer still "
          "have the old rates.\n\nTo update the database for everyone: right-click telo.exe, "
          "choose Run as administrator, and click Update again.",
      std::string(kCompletionTitle), BoxStyle::kInformation};
}

MessageBoxContent OutcomeBox(const RunReport& report) {
  if (report.succeeded()) {
    return {std::string(kCompletionPrompt), std::string(kCompletionTitle), BoxStyle::kInformation};
  }
  return {DescribeReport(report), std::string(kCompletionTitle), BoxStyle::kWarning};
}

std::string DescribeReport(const RunReport& report, ReportDetail detail) {
  std::string text = Headline(report);
  if (!report.confirmed) return text;
  text += "\n";
  for (const AttemptReport& attempt : report.attempts) DescribeAttempt(attempt, detail, text);
  if (report.attempts.empty() || report.attempts.front().folder.empty()) {
    text += "No drive was chosen.\n";
  }
  return text;
}

}  // namespace telo
