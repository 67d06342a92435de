// The outcome of a run or a check in one word, for deployment tools and for
// the last line of the console's output: what a fleet counts. Each value has
// a stable snake_case name (the JSON's "outcome"). Portable; computed from
// the reports, never decided by a front end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/check.h"
#include "app/report.h"

namespace telo {

enum class Outcome {
  kPatched,         // run: every database found was fully patched
  kAlreadyPatched,  // run: ... and every one already carried the patch before
  kUpToDate,        // check: every database found carries the patch
  kNotUpToDate,     // check: every database was read, and one or more lack the patch
  kFailed,          // anything else that went wrong
  kInUse,           // every database that failed was held by another program; nothing written
  kNotFound,        // no database on the drive (and no install folder that can't be used)
  kDeclined,        // the run was not confirmed
};

std::string_view OutcomeName(Outcome outcome);  // "patched", "already_patched", ...
// Whether the outcome means "retry later": the deployment tools' 1618.
inline bool IsRetryLater(Outcome outcome) { return outcome == Outcome::kInUse; }
// Whether the outcome is a success (exit code 0).
bool IsDone(Outcome outcome);

Outcome RunOutcome(const RunReport& report);
Outcome CheckOutcome(const CheckReport& report);

// One database found, as a fleet view lists it: its path, its outcome, and
// the first reason it is not done ("" when it is).
struct DatabaseOutcome {
  std::string database;
  Outcome outcome = Outcome::kFailed;
  std::string reason;
};
std::vector<DatabaseOutcome> DatabaseOutcomes(const RunReport& report);
std::vector<DatabaseOutcome> DatabaseOutcomes(const CheckReport& report);

// The one summary line that ends the console's output, e.g.
//   telo: patched 2 of 2 databases on C: (exit 0)
//   telo: in use: C:\Program Files\Corvallo\CVL.MDB (exit 1618)
// Its grammar is documented in the README.
std::string SummaryLine(Outcome outcome, const std::vector<DatabaseOutcome>& databases,
                        std::string_view drives, int exit_code);

}  // namespace telo
