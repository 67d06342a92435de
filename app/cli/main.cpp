// telo-cli: the update run and the read-only check, for scripts and
// unattended use. Exit codes: 0 every database found was fully patched (run)
// or carries the patch (check); 1 an open, a procedure, the commit or the
// read-back failed, a table differs or is missing, or the run was declined;
// 2 a bad command line; 3 no database was found (and no install folder that
// exists but can't be entered); 4 the output could not be written (the
// command's own exit code then goes to standard error). Text goes out through
// terminal.h, and a run or check happens inside WithConnections.
#include <string>
#include <vector>

#include "app/check.h"
#include "app/cli/cli_desktop.h"
#include "app/cli/cli_options.h"
#include "app/cli/json_report.h"
#include "app/cli/program_connections.h"
#include "app/cli/summary.h"
#include "app/cli/summary_files.h"
#include "app/cli/terminal.h"
#include "app/update_run.h"
#include "patch/sequence.h"
#include "platform/env.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoDatabase = 3;
constexpr int kExitReportLost = 4;

// `done`: the run patched every database found, or the check found every
// one up to date; `looked`: the folders were probed (not for a declined run).
// A folder that exists but can't be entered is no proof that the host isn't
// installed: that is a failure, not "no database".
template <typename Attempt>
int ExitCodeFor(bool done, bool looked, const telo::DriveReport<Attempt>& report) {
  if (done) return kExitDone;
  if (looked && !report.any_database_found() && !report.any_folder_unenterable()) {
    return kExitNoDatabase;
  }
  return kExitFailed;
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

int Run(const telo::CliOptions& options) {
  if (!options.assume_yes && !telo::StdinIsTerminal()) {
    telo::WriteErr(
        std::string("telo-cli: no terminal to confirm on; give --yes to run unattended\n") +
        telo::kCliUsage);
    return kExitUsage;
  }
  std::unique_ptr<telo::Env> env = OpenEnv(options);
  telo::CliDesktop desktop(options.assume_yes);
  telo::ConnectionSlot cnMain(telo::ProgramConnections({options.prefix}));
  const telo::RunReport report =
      telo::RunUpdate(telo::DriveOfEntry(options.drive), desktop, *env, cnMain);
  const int exit_code = ExitCodeFor(report.succeeded(), report.confirmed, report);
  return Output(options.json ? telo::RunReportJson(report, exit_code)
                             : telo::DescribeReport(report, telo::ReportDetail::kEveryProcedure),
                exit_code);
}

int Check(const telo::CliOptions& options) {
  std::unique_ptr<telo::Env> env = OpenEnv(options);
  telo::ConnectionSlot cnMain(telo::ProgramConnections({options.prefix}));
  const telo::CheckReport report = telo::RunCheck(telo::DriveOfEntry(options.drive), *env, cnMain);
  const int exit_code = ExitCodeFor(report.up_to_date(), true, report);
  return Output(
      options.json ? telo::CheckReportJson(report, exit_code) : telo::DescribeCheck(report),
      exit_code);
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

// Runs `command` where connections can be made; the Env and cnMain that it
// makes are gone before the platform's set-up (COM on Windows) ends.
int RunWithConnections(int (*command)(const telo::CliOptions&), const telo::CliOptions& options) {
  int exit_code = kExitFailed;
  const telo::Status ready = telo::WithConnections([&] { exit_code = command(options); });
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
  if (!problem.empty()) {
    telo::WriteErr("telo-cli: " + problem + "\n" + telo::kCliUsage);
    return kExitUsage;
  }
  switch (options.action) {
    case telo::CliAction::kHelp:
      return Output(telo::kCliUsage, kExitDone);
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
    case telo::CliAction::kSummarize:
      return Summarize(options);
  }
  return kExitUsage;
}
