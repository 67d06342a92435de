// The report of an update run: what was looked for, what was found, opened
// and patched, and how each step ended. The run fills it in; front ends only
// display it (OutcomeBox, DescribeReport) and never decide what happened.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/desktop.h"
#include "app/install.h"
#include "app/verify.h"
#include "base/status.h"
#include "patch/procedure.h"

namespace telo {

// The run's boxes: the question before it, and the box that ends a run in
// which every database found was fully patched.
inline constexpr std::string_view kConfirmPrompt =
    "Update may take some time. Please do not click on this form after clicking on Update button. "
    "You will be given message when updation is competed. Are you sure to Update Database?";
inline constexpr std::string_view kConfirmTitle = "TELO Database Update";
inline constexpr std::string_view kCompletionPrompt = "Database Updated successfully !  ";
inline constexpr std::string_view kCompletionTitle = "Database Update";

struct AttemptReport : FolderAttempt {
  bool open_attempted = false;
  Status open;
  Status begin;  // the transaction around the whole database
  // Every patched table already held the patch before the procedures ran.
  bool already_patched = false;
  std::vector<ProcedureOutcome> procedures;
  bool commit_attempted = false;
  Status commit;
  // Another program put another file at the database's path (or removed it)
  // between the open and the commit: the commit went to the old file.
  bool replaced = false;
  Status close;  // of the connection that committed, after a good commit
  // After the commit: the connection opened again, by the path and for
  // reading only, to read back what the file holds.
  Status reread;
  // Each committed table as read back on that connection: what the file
  // finally holds.
  std::vector<TableCheck> verification;

  // What the file holds after the commit, as read back: every committed
  // table as the patch wrote it; one or more tables not; or not known,
  // because the file could not be read back after a failed commit.
  enum class Saved { kYes, kNo, kUnknown };

  bool opened() const { return open_attempted && open.ok(); }
  bool all_procedures_ok() const;
  Saved saved() const;
  // Opened, every procedure succeeded, and the file holds every table as the
  // patch wrote it: the commit succeeded (a table, or the whole file, that
  // could then not be read back again still counts, having been read back
  // before it was committed), or it failed yet the read-back shows
  // everything saved; and the file at the path is still the one opened.
  bool fully_patched() const;
};

struct RunReport : DriveReport<AttemptReport> {
  bool confirmed = false;

  // At least one database was found and every one found was fully patched.
  bool succeeded() const;
};

struct MessageBoxContent {
  std::string prompt;
  std::string title;
  BoxStyle style = BoxStyle::kInformation;
};

// After the success box of a virtualized run, which patched only the
// user's own VirtualStore copy: which copy, that other users keep the old
// rates, and how to patch it for everyone. None for any other run.
std::optional<MessageBoxContent> VirtualizedRunBox(const RunReport& report);

// The drives as the reports name them: "C", "C, D", or "(none)"; letters as
// handed over.
std::string DriveShown(const Drives& drives);
// "drive C", "drives C, D", or "drive (none)": what a headline says the
// command looked at.
std::string DrivesPhrase(const Drives& drives);

// The first line about an attempt: the folder and whether it was found, or
// which database a VirtualStore copy belongs to.
std::string DescribeLocation(const FolderAttempt& location);
// What Windows' redirection did to a virtualized process's reads and writes
// of the database, each line led by `indent`; "" when nothing was redirected.
std::string DescribeRedirection(const FolderAttempt& location, std::string_view indent);

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
