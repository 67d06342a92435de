// The report of an update run: what was looked for, what was found, opened
// and patched, and how each step ended. The run fills it in; front ends only
// display it (OutcomeBox, DescribeReport) and never decide what happened.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/verify.h"
#include "db/status.h"
#include "patch/procedure.h"

namespace telo {

// One install folder on the chosen drive and whether it was found: what
// the run's and the check's reports share.
struct FolderAttempt {
  int number = 0;        // 1: Program Files, 2: Program Files (x86)
  std::string folder;    // e.g. "c:\Program Files\Corvallo\"
  std::string database;  // e.g. "c:\Program Files\Corvallo\CVL.MDB"
  bool folder_found = false;
  Status probe;  // the directory change that tested the folder
};

struct AttemptReport : FolderAttempt {
  bool open_attempted = false;
  Status open;
  Status begin;  // the transaction around the whole database
  std::vector<ProcedureOutcome> procedures;
  bool commit_attempted = false;
  Status commit;
  std::vector<TableCheck> verification;  // each committed table, read back after the commit
  Status close;
  std::string virtual_store_copy;  // a per-user copy that the host may use instead

  bool opened() const { return open_attempted && open.ok(); }
  bool all_procedures_ok() const;
  bool verified() const;  // every table read back holds the patch data
  // Opened, every procedure succeeded, the commit succeeded and the tables
  // read back as written.
  bool fully_patched() const;
};

struct RunReport {
  bool confirmed = false;
  std::string drive_text;  // the drive list's entry at the start of the run
  std::vector<AttemptReport> attempts;

  bool any_database_found() const;
  // At least one database was found and every one found was fully patched.
  bool succeeded() const;
};

struct MessageBoxContent {
  std::string prompt;
  std::string title;
  int style = 0;
};

// The box that ends a confirmed run: the completion box on success, the
// warning box with DescribeReport's text otherwise.
MessageBoxContent OutcomeBox(const RunReport& report);

enum class ReportDetail {
  kFailuresOnly,   // procedures are named only when they failed (the warning box)
  kEveryProcedure  // every procedure gets a line (the command line)
};

// A plain-text account of the run for people, one fact per line.
std::string DescribeReport(const RunReport& report,
                           ReportDetail detail = ReportDetail::kFailuresOnly);

}  // namespace telo
