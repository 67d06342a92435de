// The read-only check of each database on a drive; see the header.
#include "app/check.h"

#include <algorithm>

#include "app/install.h"

namespace telo {
namespace {

bool SameCheck(const TableCheck& first, const TableCheck& second) {
  return first.table == second.table && first.state == second.state &&
         first.detail == second.detail && first.status.number() == second.status.number();
}

// Every patched table as of one moment. A read-only transaction that isolates
// reads is rolled back: it changed nothing. Without one, the tables are read
// twice, and two readings that disagree mean another program wrote between
// them.
void ReadTables(Connection& connection, CheckAttempt& attempt) {
  if (connection.ReadsAreIsolated() && connection.BeginTrans().ok()) {
    attempt.tables = CheckTables(connection, PatchedTables());
    (void)connection.RollbackTrans();
    return;
  }
  std::vector<TableCheck> first = CheckTables(connection, PatchedTables());
  attempt.tables = CheckTables(connection, PatchedTables());
  attempt.changed_during_check = !std::equal(first.begin(), first.end(), attempt.tables.begin(),
                                             attempt.tables.end(), SameCheck);
  if (attempt.changed_during_check) attempt.tables.clear();
}

CheckAttempt CheckDatabase(FolderAttempt location, Env& env, ConnectionSlot& cnMain) {
  CheckAttempt attempt;
  static_cast<FolderAttempt&>(attempt) = std::move(location);
  if (!attempt.folder_found) return attempt;
  if (env.ProcessIsVirtualized())
    attempt.virtual_store_copy = env.OwnVirtualStoreCopy(attempt.database);
  Connection& connection = cnMain.get();
  attempt.open_attempted = true;
  attempt.open = connection.Open(DatabaseConnectionString(attempt.database, /*read_only=*/true), "",
                                 "", kAdoUnspecified);
  if (!attempt.open.ok()) return attempt;
  ReadTables(connection, attempt);
  attempt.close = connection.Close();
  return attempt;
}

}  // namespace

bool CheckAttempt::up_to_date() const {
  return opened() && !changed_during_check &&
         std::all_of(tables.begin(), tables.end(),
                     [](const TableCheck& check) { return HoldsThePatch(check.state); });
}

bool CheckReport::any_changed_during_check() const {
  return std::any_of(attempts.begin(), attempts.end(),
                     [](const CheckAttempt& attempt) { return attempt.changed_during_check; });
}

bool CheckReport::up_to_date() const {
  return any_database_found() &&
         std::all_of(attempts.begin(), attempts.end(), [](const CheckAttempt& attempt) {
           return !attempt.folder_found || attempt.up_to_date();
         });
}

CheckReport RunCheck(const Drives& drives, Env& env, ConnectionSlot& cnMain) {
  CheckReport report;
  report.drives = drives;
  for (FolderAttempt& location : InstallLocations(drives, env)) {
    report.attempts.push_back(CheckDatabase(std::move(location), env, cnMain));
  }
  return report;
}

namespace {

int NotCheckedCount(const CheckReport& report) {
  int count = 0;
  for (const CheckAttempt& attempt : report.attempts) {
    if (attempt.folder_found && !attempt.opened()) ++count;
  }
  return count;
}

// "1 of 2 databases", "The database" when there is only one.
std::string CountOfDatabases(int count, const CheckReport& report) {
  int found = 0;
  for (const CheckAttempt& attempt : report.attempts) found += attempt.folder_found ? 1 : 0;
  if (found == 1) return "The database";
  return std::to_string(count) + " of " + std::to_string(found) + " databases";
}

}  // namespace

std::string DescribeCheck(const CheckReport& report) {
  std::string text;
  if (report.up_to_date()) {
    text = "The database carries this patch.\n";
  } else if (!report.any_database_found()) {
    const std::string drive = DrivesPhrase(report.drives);
    text = report.any_folder_unenterable()
               ? "No database could be reached on " + drive +
                     ": an install folder is there but can't be used (see below).\n"
               : "No database was found on " + drive + ".\n";
  } else if (report.any_changed_during_check()) {
    text =
        "The check could not tell whether the database carries this patch: another program "
        "wrote to it while it was being checked.\n";
  } else if (const int unopened = NotCheckedCount(report); unopened > 0) {
    text = CountOfDatabases(unopened, report) + " could not be opened, so whether " +
           (unopened == 1 ? "it carries" : "they carry") +
           " this patch is not known (see below).\n";
  } else {
    text = "The database does not carry this patch in full.\n";
  }
  text += "\n";
  for (const CheckAttempt& attempt : report.attempts) {
    if (attempt.folder.empty()) continue;
    text += DescribeLocation(attempt);
    if (!attempt.folder_found) continue;
    if (!attempt.opened()) {
      text += "  " + attempt.database +
              " could not be opened, so it was not checked: " + attempt.open.message() + "\n";
      continue;
    }
    text += "  " + attempt.database + ": opened read-only\n";
    text += DescribeRedirection(attempt, "  ");
    if (attempt.changed_during_check) {
      text += "  " + attempt.database +
              " changed while it was being checked (another program wrote to it); run the "
              "check again when nothing else is using it.\n";
    }
    for (const TableCheck& check : attempt.tables) {
      text += "    " + std::string(check.table) + ": " + std::string(TableStateName(check.state));
      if (!check.detail.empty()) text += ": " + check.detail;
      if (check.detail.empty() && !check.status.ok()) text += ": " + check.status.message();
      text += "\n";
    }
  }
  return text;
}

}  // namespace telo
