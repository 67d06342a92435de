// Outcomes of runs and checks, per database and in all; see the header.
#include "app/outcome.h"

#include <algorithm>

namespace telo {
namespace {

// One line: a reason with its line breaks and trailing blanks folded away.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string ReasonOf(const Status& status) { return OneLine(status.message()); }

std::string FirstTableReason(const std::vector<TableCheck>& checks) {
  for (const TableCheck& check : checks) {
    if (!HoldsThePatch(check.state)) return OneLine(DescribeTable(check));
  }
  return "";
}

// Why a run's database is not fully patched: its first failing step.
std::string FirstReason(const AttemptReport& attempt) {
  if (!attempt.opened()) return ReasonOf(attempt.open);
  if (!attempt.begin.ok()) return ReasonOf(attempt.begin);
  for (const ProcedureOutcome& outcome : attempt.procedures) {
    if (!outcome.ok()) return std::string(outcome.procedure) + ": " + ReasonOf(outcome.status);
  }
  if (attempt.replaced) return "CVL.MDB was replaced by another program during the run";
  if (attempt.commit_attempted && !attempt.commit.ok() &&
      attempt.saved() != AttemptReport::Saved::kYes) {
    return "the commit failed: " + ReasonOf(attempt.commit);
  }
  if (std::string table = FirstTableReason(attempt.verification); !table.empty()) return table;
  if (!attempt.close.ok()) return "it could not be closed: " + ReasonOf(attempt.close);
  return "it was not fully patched";
}

DatabaseOutcome OutcomeOf(const AttemptReport& attempt) {
  DatabaseOutcome database{attempt.database, Outcome::kFailed, ""};
  if (attempt.fully_patched() && attempt.close.ok()) {
    database.outcome = attempt.already_patched ? Outcome::kAlreadyPatched : Outcome::kPatched;
    return database;
  }
  // Held by another program before anything was written: worth a retry.
  const bool in_use = (attempt.open_attempted && attempt.open.IsInUse()) ||
                      (attempt.opened() && attempt.begin.IsInUse());
  database.outcome = in_use ? Outcome::kInUse : Outcome::kFailed;
  database.reason = FirstReason(attempt);
  return database;
}

DatabaseOutcome OutcomeOf(const CheckAttempt& attempt) {
  DatabaseOutcome database{attempt.database, Outcome::kUpToDate, ""};
  if (attempt.up_to_date()) return database;
  if (!attempt.opened()) {
    database.outcome = attempt.open.IsInUse() ? Outcome::kInUse : Outcome::kFailed;
    database.reason = ReasonOf(attempt.open);
  } else if (attempt.changed_during_check) {
    database.outcome = Outcome::kFailed;
    database.reason = "it changed while it was being checked";
  } else {
    const bool unreadable =
        std::any_of(attempt.tables.begin(), attempt.tables.end(),
                    [](const TableCheck& check) { return check.state == TableState::kUnreadable; });
    database.outcome = unreadable ? Outcome::kFailed : Outcome::kNotUpToDate;
    database.reason = FirstTableReason(attempt.tables);
  }
  return database;
}

template <typename Attempt>
std::vector<DatabaseOutcome> OutcomesOf(const std::vector<Attempt>& attempts) {
  std::vector<DatabaseOutcome> databases;
  for (const Attempt& attempt : attempts) {
    if (attempt.folder_found) databases.push_back(OutcomeOf(attempt));
  }
  return databases;
}

// A drive's outcome from its databases': `all_done` when every one is
// done; in use when every one that isn't done is in use and, where
// `done_blocks_retry` (a run, which wrote to those), none is done; not up to
// date when each one that isn't done was read and merely lacks the patch.
template <typename Attempt>
Outcome Overall(const DriveReport<Attempt>& report, const std::vector<DatabaseOutcome>& databases,
                Outcome all_done, bool done_blocks_retry) {
  if (!report.any_database_found()) {
    return report.any_folder_unenterable() ? Outcome::kFailed : Outcome::kNotFound;
  }
  if (report.any_folder_unenterable()) return Outcome::kFailed;
  const auto count = [&](Outcome outcome) {
    return std::count_if(databases.begin(), databases.end(),
                         [outcome](const DatabaseOutcome& d) { return d.outcome == outcome; });
  };
  const auto done = static_cast<long>(databases.size()) - count(Outcome::kInUse) -
                    count(Outcome::kFailed) - count(Outcome::kNotUpToDate);
  if (done == static_cast<long>(databases.size())) return all_done;
  const long not_done = static_cast<long>(databases.size()) - done;
  if (count(Outcome::kInUse) ==
      (done_blocks_retry ? static_cast<long>(databases.size()) : not_done))
    return Outcome::kInUse;
  if (count(Outcome::kFailed) == 0 && count(Outcome::kInUse) == 0) return Outcome::kNotUpToDate;
  return Outcome::kFailed;
}

std::string Plural(std::size_t count) { return count == 1 ? "database" : "databases"; }

std::string Paths(const std::vector<DatabaseOutcome>& databases, Outcome outcome) {
  std::string paths;
  for (const DatabaseOutcome& database : databases) {
    if (database.outcome != outcome) continue;
    if (!paths.empty()) paths += ", ";
    paths += database.database;
  }
  return paths;
}

}  // namespace

std::string_view OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kPatched:
      return "patched";
    case Outcome::kAlreadyPatched:
      return "already_patched";
    case Outcome::kUpToDate:
      return "up_to_date";
    case Outcome::kNotUpToDate:
      return "not_up_to_date";
    case Outcome::kFailed:
      return "failed";
    case Outcome::kInUse:
      return "in_use";
    case Outcome::kNotFound:
      return "not_found";
    case Outcome::kDeclined:
      return "declined";
  }
  return "failed";
}

bool IsDone(Outcome outcome) {
  return outcome == Outcome::kPatched || outcome == Outcome::kAlreadyPatched ||
         outcome == Outcome::kUpToDate;
}

std::vector<DatabaseOutcome> DatabaseOutcomes(const RunReport& report) {
  return OutcomesOf(report.attempts);
}

std::vector<DatabaseOutcome> DatabaseOutcomes(const CheckReport& report) {
  return OutcomesOf(report.attempts);
}

Outcome RunOutcome(const RunReport& report) {
  if (!report.confirmed) return Outcome::kDeclined;
  const std::vector<DatabaseOutcome> databases = DatabaseOutcomes(report);
  const bool all_already = std::all_of(databases.begin(), databases.end(), [](const auto& d) {
    return d.outcome == Outcome::kAlreadyPatched;
  });
  const Outcome outcome =
      Overall(report, databases, all_already ? Outcome::kAlreadyPatched : Outcome::kPatched,
              /*done_blocks_retry=*/true);
  return outcome == Outcome::kNotUpToDate ? Outcome::kFailed : outcome;
}

Outcome CheckOutcome(const CheckReport& report) {
  return Overall(report, DatabaseOutcomes(report), Outcome::kUpToDate,
                 /*done_blocks_retry=*/false);
}

std::string SummaryLine(Outcome outcome, const std::vector<DatabaseOutcome>& databases,
                        std::string_view drives, int exit_code) {
  const std::string on = " on " + std::string(drives);
  const std::size_t total = databases.size();
  const auto done = static_cast<std::size_t>(std::count_if(
      databases.begin(), databases.end(), [](const auto& d) { return IsDone(d.outcome); }));
  const std::string of =
      std::to_string(done) + " of " + std::to_string(total) + " " + Plural(total);
  std::string line = "telo: ";
  switch (outcome) {
    case Outcome::kPatched:
      line += "patched " + of + on;
      break;
    case Outcome::kAlreadyPatched:
      line += "already patched " + of + on;
      break;
    case Outcome::kUpToDate:
      line += "up to date " + of + on;
      break;
    case Outcome::kNotUpToDate:
      line += "not up to date: " + Paths(databases, Outcome::kNotUpToDate);
      break;
    case Outcome::kInUse:
      line += "in use: " + Paths(databases, Outcome::kInUse);
      break;
    case Outcome::kNotFound:
      line += "no database found" + on;
      break;
    case Outcome::kDeclined:
      line += "declined" + on;
      break;
    case Outcome::kFailed: {
      const auto first = std::find_if(databases.begin(), databases.end(),
                                      [](const auto& d) { return !IsDone(d.outcome); });
      if (total == 0) {
        line += "failed" + on + ": an install folder is there but can't be used";
        break;
      }
      line += "failed " + std::to_string(total - done) + " of " + std::to_string(total) + " " +
              Plural(total) + on;
      if (first != databases.end()) line += "; " + first->database + ": " + first->reason;
      break;
    }
  }
  return line + " (exit " + std::to_string(exit_code) + ")\n";
}

}  // namespace telo
