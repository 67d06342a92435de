// telo-cli's exit codes, for main.cpp and for the table in the help, so
// that the two can't disagree. A run and a check share every code but one
// meaning: 1 is a run that failed, or a check that read every database and
// found one short of the patch; 5 is a check that could not read a database
// (the JSON's "failed"), so that "not up to date" never stands for "don't know".
#pragma once

#include "app/outcome.h"

namespace telo {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // the run failed; --check: not up to date
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoDatabase = 3;
inline constexpr int kExitReportLost = 4;  // the output or the result file was not written
inline constexpr int kExitNotChecked = 5;  // --check, --detect: a database could not be read

// The exit code of a run's outcome; `retry_later` is the platform's code
// for "in use: retry later" (terminal.h's kRetryLaterExitCode).
inline int RunExitCode(Outcome outcome, int retry_later) {
  if (IsDone(outcome)) return kExitDone;
  if (outcome == Outcome::kNotFound) return kExitNoDatabase;
  if (IsRetryLater(outcome)) return retry_later;
  return kExitFailed;
}

// The exit code of a check's outcome: 1 only when every database was read.
inline int CheckExitCode(Outcome outcome, int retry_later) {
  if (outcome == Outcome::kFailed) return kExitNotChecked;
  return RunExitCode(outcome, retry_later);
}

}  // namespace telo
