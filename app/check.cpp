// The read-only check of each database on a drive; see the header.
#include "app/check.h"

#include <algorithm>

#include "app/install.h"
#include "app/outcome.h"

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

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// "The database", "1 of 2 databases", "2 of 2 databases": `count` of
// `total`, as the subject of a headline.
std::string Counted(std::size_t count, std::size_t total) {
  if (total == 1) return "The database";
  return std::to_string(count) + " of " + std::to_string(total) + " databases";
}

std::size_t CountOf(const std::vector<DatabaseOutcome>& databases,
                    bool (*counts)(const DatabaseOutcome&)) {
  return static_cast<std::size_t>(std::count_if(databases.begin(), databases.end(), counts));
}

// What the check could tell, counting the databases: never "does not carry
// the patch" about a database it could not read.
std::string CheckHeadline(const CheckReport& report) {
  const std::string drive = DrivesPhrase(report.drives);
  if (!report.any_database_found()) {
    return report.any_folder_unenterable()
               ? "No database could be reached on " + drive +
                     ": an install folder is there but can't be used (see below).\n"
               : "No database was found on " + drive + ".\n";
  }
  const std::vector<DatabaseOutcome> databases = DatabaseOutcomes(report);
  const std::size_t total = databases.size();
  const std::size_t unchecked = CountOf(databases, [](const DatabaseOutcome& d) {
    return d.outcome == Outcome::kFailed || d.outcome == Outcome::kInUse;
  });
  const std::size_t lacking = CountOf(
      databases, [](const DatabaseOutcome& d) { return d.outcome == Outcome::kNotUpToDate; });
  std::string text;
  if (unchecked > 0) {
    text += Counted(unchecked, total) + " could not be checked (see below), so whether " +
            (unchecked == 1 ? "it carries" : "they carry") + " this patch is not known.\n";
  }
  if (lacking > 0) {
    text += Counted(lacking, total) + (lacking == 1 ? " does" : " do") +
            " not carry this patch in full.\n";
  }
  if (report.any_folder_unenterable()) {
    text += "An install folder on " + drive +
            " is there but can't be used (see below), so the check is not complete.\n";
  }
  if (!text.empty()) return text;
  return total == 1 ? "The database carries this patch.\n"
                    : "All " + std::to_string(total) + " databases carry this patch.\n";
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

std::string DescribeCheck(const CheckReport& report) {
  std::string text = CheckHeadline(report) + "\n";
  for (const CheckAttempt& attempt : report.attempts) {
    if (attempt.folder.empty()) continue;
    text += DescribeLocation(attempt);
    if (!attempt.folder_found) continue;
    if (!attempt.opened()) {
      text += "  " + attempt.database + " could not be opened: " + OneLine(attempt.open.message()) +
              "\n  It was not checked" +
              (attempt.open.IsInUse() ? ": close the host application and check again.\n" : ".\n");
      continue;
    }
    text += "  " + attempt.database + ": opened read-only\n";
    text += DescribeRedirection(attempt, "  ");
    if (attempt.changed_during_check) {
      text += "  " + attempt.database +
              " changed while it was being checked (another program wrote to it); run the "
              "check again when nothing else is using it.\n";
    }
    for (const TableCheck& check : attempt.tables) text += "    " + DescribeTable(check) + "\n";
  }
  return text;
}

}  // namespace telo
