// telo-cli: the update run, the read-only check and detection, for scripts
// and unattended use, and the office summary of their result files. The exit
// codes are exit_codes.h's, which the help lists: 0 done, 1 failed (a check:
// not up to date), 2 a bad command line (a --prefix folder or a drive that
// isn't there too), 3 no database was found, 4 standard output or the result
// file could not be written (the command's own exit code then goes to
// standard error), 5 a check could not read a database, kRetryLaterExitCode
// every database that failed was in use and nothing was written. Text goes
// out through terminal.h, and a run or check happens inside WithConnections.
// The last line of a command's text is its summary line (outcome.h).
#include <string>
#include <vector>

#include "app/check.h"
#include "app/cli/cli_desktop.h"
#include "app/cli/cli_options.h"
#include "app/cli/exit_codes.h"
#include "app/cli/json_report.h"
#include "app/cli/program_connections.h"
#include "app/cli/summary.h"
#include "app/cli/summary_files.h"
#include "app/cli/terminal.h"
#include "app/outcome.h"
#include "app/update_run.h"
#include "patch/sequence.h"
#include "platform/env.h"

namespace {

using telo::kExitDone;
using telo::kExitFailed;
using telo::kExitReportLost;
using telo::kExitUsage;

// The usage lines and where to read more: what a bad command line gets.
std::string Usage() {
  return telo::CliUsage(telo::kPrefixOptionAvailable) +
         "telo-cli --help describes every option and the exit codes.\n";
}

int UsageError(const std::string& problem) {
  telo::WriteErr("telo-cli: " + problem + "\n" + Usage());
  return kExitUsage;
}

// A command line that is well formed but names what this machine lacks: the
// reason alone, which says what to do.
int MachineError(const std::string& problem) {
  telo::WriteErr("telo-cli: " + problem + "\n");
  return kExitUsage;
}

// Writes the program's output; when it can't be written, says so on standard
// error and gives kExitReportLost instead of `exit_code`.
int Output(std::string_view text, int exit_code) {
  const telo::Status written = telo::WriteOut(text);
  if (written.ok()) return exit_code;
  telo::WriteErr("telo-cli: the output could not be written to standard output (" +
                 written.message() + "); the command itself ended with exit code " +
                 std::to_string(exit_code) + "\n");
  return kExitReportLost;
}

std::unique_ptr<telo::Env> OpenEnv(const telo::CliOptions& options) {
  std::unique_ptr<telo::Env> env = telo::NewDefaultEnv({options.prefix});
  if (std::string problem = env->DriveProblem(); !problem.empty()) {
    std::string line = "telo-cli: " + problem;
    if (options.prefix.empty() && telo::kPrefixOptionAvailable) {
      line += " (or name one with --prefix)";
    }
    telo::WriteErr(line + "\n");
  }
  return env;
}

// A --prefix folder that doesn't exist, said before anything is opened; ""
// when there is none.
std::string PrefixProblem(const telo::CliOptions& options) {
  if (options.prefix.empty() || telo::IsFolder(options.prefix)) return "";
  return "--prefix " + options.prefix +
         ": no such folder; name the folder of a Wine prefix (the one that holds dosdevices)";
}

// A drive letter that none of the machine's drives has; "" when it has it,
// with --drive auto, and when the drives can't be listed at all (then no
// drive is taken for absent).
std::string MissingDrive(const telo::CliOptions& options, telo::Env& env) {
  if (options.every_fixed_drive) return "";
  const std::vector<std::string> entries = env.DriveEntries();
  if (entries.empty() && !env.DriveProblem().empty()) return "";
  const auto upper = [](char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  };
  const char wanted = upper(options.drive[0]);
  std::string drives;
  for (const std::string& entry : entries) {
    if (entry.empty()) continue;
    if (upper(entry[0]) == wanted) return "";
    drives += (drives.empty() ? "" : ", ") + std::string(1, upper(entry[0])) + ":";
  }
  return "There is no drive " + std::string(1, wanted) + ": on this computer" +
         (drives.empty() ? "" : " (its drives: " + drives + ")") +
         "; name one of its drives with --drive, or give --drive auto";
}

telo::Drives ChosenDrives(const telo::CliOptions& options, telo::Env& env) {
  if (options.every_fixed_drive) return telo::Drives::EveryFixed(env.FixedDrives());
  return telo::DriveOfEntry(options.drive);
}

// "C:", "C:, D:", or "no drive": where the summary line says it looked.
std::string DrivesOnTheLine(const telo::Drives& drives) {
  std::string shown;
  for (char letter : drives.letters) {
    if (!shown.empty()) shown += ", ";
    shown += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    shown += ':';
  }
  return shown.empty() ? "no drive" : shown;
}

template <typename Report>
std::string SummaryLineOf(const Report& report, telo::Outcome outcome, int exit_code) {
  return telo::SummaryLine(outcome, telo::DatabaseOutcomes(report), DrivesOnTheLine(report.drives),
                           exit_code);
}

// Writes the result file, when one was asked for: `json_of` the machine's
// facts (gathered only then: naming the account may ask a domain controller).
// When it can't be written, says so on standard error and gives
// kExitReportLost instead of `exit_code`.
template <typename JsonOf>
int WriteResultFile(const telo::CliOptions& options, telo::Env& env, JsonOf json_of,
                    int exit_code) {
  if (options.result_file.empty()) return exit_code;
  const telo::MachineFacts machine = env.Machine();
  const telo::Status written = telo::WriteFileAtomically(options.result_file, json_of(&machine));
  if (written.ok()) return exit_code;
  telo::WriteErr("telo-cli: the result file " + options.result_file + " could not be written (" +
                 written.message() + "); the command itself ended with exit code " +
                 std::to_string(exit_code) +
                 ". Check that the folder exists and that this account may write to it.\n");
  return kExitReportLost;
}

telo::JsonLayout LayoutOf(const telo::CliOptions& options) {
  return options.json_lines ? telo::JsonLayout::kOneLine : telo::JsonLayout::kIndented;
}

int Run(const telo::CliOptions& options, telo::Env& env) {
  if (!options.assume_yes && !telo::StdinIsTerminal()) {
    return UsageError("no terminal to confirm on; give --yes to run unattended");
  }
  const telo::Drives drives = ChosenDrives(options, env);
  telo::CliDesktop desktop(options.assume_yes, drives);
  telo::ConnectionSlot cnMain(telo::ProgramConnections({options.prefix}));
  const telo::RunReport report = telo::RunUpdate(drives, desktop, env, cnMain);
  const telo::Outcome outcome = telo::RunOutcome(report);
  const int exit_code = telo::RunExitCode(outcome, telo::kRetryLaterExitCode);
  const int written = WriteResultFile(
      options, env,
      [&](const telo::MachineFacts* machine) {
        return telo::RunReportJson(report, exit_code, telo::JsonLayout::kIndented, machine);
      },
      exit_code);
  return Output(options.json ? telo::RunReportJson(report, exit_code, LayoutOf(options))
                             : telo::DescribeReport(report, telo::ReportDetail::kEveryProcedure) +
                                   SummaryLineOf(report, outcome, exit_code),
                written);
}

int Check(const telo::CliOptions& options, telo::Env& env) {
  telo::ConnectionSlot cnMain(telo::ProgramConnections({options.prefix}));
  const telo::CheckReport report = telo::RunCheck(ChosenDrives(options, env), env, cnMain);
  const telo::Outcome outcome = telo::CheckOutcome(report);
  const int exit_code = telo::CheckExitCode(outcome, telo::kRetryLaterExitCode);
  const int written = WriteResultFile(
      options, env,
      [&](const telo::MachineFacts* machine) {
        return telo::CheckReportJson(report, exit_code, telo::JsonLayout::kIndented, "check",
                                     machine);
      },
      exit_code);
  return Output(options.json
                    ? telo::CheckReportJson(report, exit_code, LayoutOf(options))
                    : telo::DescribeCheck(report) + SummaryLineOf(report, outcome, exit_code),
                written);
}

// --detect, for the detection scripts of Intune and ConfigMgr: exit 0 and one
// line when every database found carries the patch, exit 0 and nothing when
// one doesn't or none was found, and another exit code, with the reasons on
// standard error, when a database could not be read.
int Detect(const telo::CliOptions& options, telo::Env& env) {
  telo::ConnectionSlot cnMain(telo::ProgramConnections({options.prefix}));
  const telo::CheckReport report = telo::RunCheck(ChosenDrives(options, env), env, cnMain);
  const telo::Outcome outcome = telo::CheckOutcome(report);
  const bool read_all = outcome == telo::Outcome::kUpToDate ||
                        outcome == telo::Outcome::kNotUpToDate ||
                        outcome == telo::Outcome::kNotFound;
  const int exit_code =
      read_all ? kExitDone : telo::CheckExitCode(outcome, telo::kRetryLaterExitCode);
  const int written = WriteResultFile(
      options, env,
      [&](const telo::MachineFacts* machine) {
        return telo::CheckReportJson(report, exit_code, telo::JsonLayout::kIndented, "detect",
                                     machine);
      },
      exit_code);
  if (!read_all) {
    telo::WriteErr(telo::DescribeCheck(report) + SummaryLineOf(report, outcome, exit_code));
    return written;
  }
  if (outcome != telo::Outcome::kUpToDate) return written;
  return Output(SummaryLineOf(report, outcome, exit_code), written);
}

// --summarize: the CSV and HTML files first, then the table and its summary
// line. Exit codes: 0 written, 1 the folder can't be read, 4 a file or
// standard output could not be written.
int Summarize(const telo::CliOptions& options) {
  telo::Summary summary;
  if (const telo::Status read = telo::SummarizeFolder(options.summarize_folder, &summary);
      !read.ok()) {
    telo::WriteErr("telo-cli: " + read.message() + "\n");
    return kExitFailed;
  }
  int exit_code = kExitDone;
  auto write_file = [&exit_code](const std::string& path, const std::string& text) {
    if (path.empty()) return;
    const telo::Status written = telo::WriteWholeFile(path, text);
    if (written.ok()) return;
    telo::WriteErr("telo-cli: the summary file " + path + " " + written.message() +
                   "; check the disk and the folder's permissions, or name another file\n");
    exit_code = kExitReportLost;
  };
  write_file(options.csv_file, telo::SummaryCsv(summary));
  write_file(options.html_file, telo::SummaryHtml(summary, telo::SummaryTimeNow()));
  return Output(telo::SummaryTable(summary) + telo::SummaryLine(summary, exit_code), exit_code);
}

// Runs `command` on the drives the command line names, where connections
// can be made; the Env and cnMain that it makes are gone before the
// platform's set-up (COM on Windows) ends. A --prefix folder or a drive that
// isn't there is a usage error, found before anything is opened.
int RunWithConnections(int (*command)(const telo::CliOptions&, telo::Env&),
                       const telo::CliOptions& options) {
  if (std::string problem = PrefixProblem(options); !problem.empty()) {
    return MachineError(problem);
  }
  int exit_code = kExitFailed;
  const telo::Status ready = telo::WithConnections([&] {
    std::unique_ptr<telo::Env> env = OpenEnv(options);
    if (std::string problem = MissingDrive(options, *env); !problem.empty()) {
      exit_code = MachineError(problem);
      return;
    }
    exit_code = command(options, *env);
  });
  if (!ready.ok()) {
    telo::WriteErr("telo-cli: " + ready.ToString() + "\n");
    return kExitFailed;
  }
  return exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  telo::TreatClosedOutputAsWriteError();
  telo::CliOptions options;
  const std::string problem = telo::ParseCliOptions(telo::ProgramArguments(argc, argv),
                                                    telo::kPrefixOptionAvailable, &options);
  if (!problem.empty()) return UsageError(problem);
  switch (options.action) {
    case telo::CliAction::kUsage:
      telo::WriteErr(Usage());
      return kExitUsage;
    case telo::CliAction::kHelp:
      return Output(telo::CliHelp(telo::kPrefixOptionAvailable, telo::kRetryLaterExitCode),
                    kExitDone);
    case telo::CliAction::kVersion:
      return Output("telo-cli " + std::string(telo::kProgramVersion) + " (patch data " +
                        telo::PatchChecksum() + ")\n",
                    kExitDone);
    case telo::CliAction::kPrintSql: {
      std::string statements;
      for (std::string_view statement : telo::AllPatchStatements()) {
        statements += std::string(statement) + "\n";
      }
      return Output(statements, kExitDone);
    }
    case telo::CliAction::kRun:
      return RunWithConnections(Run, options);
    case telo::CliAction::kCheck:
      return RunWithConnections(Check, options);
    case telo::CliAction::kDetect:
      return RunWithConnections(Detect, options);
    case telo::CliAction::kSummarize:
      return Summarize(options);
  }
  return kExitUsage;
}
