// telo-cli: the update run and the read-only check, for scripts and
// unattended use. Exit codes: 0 every database found was fully patched (run)
// or carries the patch (check); 1 an open, a procedure, the commit or the
// read-back failed, a table differs or is missing, or the run was declined;
// 2 a bad command line; 3 no database was found. Text goes out through
// terminal.h, and a run or check happens inside WithConnections.
#include <string>
#include <vector>

#include "app/check.h"
#include "app/cli/cli_desktop.h"
#include "app/cli/cli_options.h"
#include "app/cli/json_report.h"
#include "app/cli/terminal.h"
#include "app/update_run.h"
#include "patch/sequence.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoDatabase = 3;

int ExitCodeFor(const telo::RunReport& report) {
  if (report.succeeded()) return kExitDone;
  if (report.confirmed && !report.any_database_found()) return kExitNoDatabase;
  return kExitFailed;
}

int ExitCodeFor(const telo::CheckReport& report) {
  if (report.up_to_date()) return kExitDone;
  if (!report.any_database_found()) return kExitNoDatabase;
  return kExitFailed;
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
  telo::CliDesktop desktop(options.drive, options.assume_yes);
  telo::ConnectionSlot cnMain([&env] { return env->NewConnection(); });
  const telo::RunReport report = telo::RunUpdate(desktop, *env, cnMain);
  const int exit_code = ExitCodeFor(report);
  telo::WriteOut(options.json ? telo::RunReportJson(report, exit_code)
                              : telo::DescribeReport(report, telo::ReportDetail::kEveryProcedure));
  return exit_code;
}

int Check(const telo::CliOptions& options) {
  std::unique_ptr<telo::Env> env = OpenEnv(options);
  telo::CliDesktop desktop(options.drive, false);
  telo::ConnectionSlot cnMain([&env] { return env->NewConnection(); });
  const telo::CheckReport report = telo::RunCheck(desktop, *env, cnMain);
  const int exit_code = ExitCodeFor(report);
  telo::WriteOut(options.json ? telo::CheckReportJson(report, exit_code)
                              : telo::DescribeCheck(report));
  return exit_code;
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
  telo::CliOptions options;
  const std::string problem = telo::ParseCliOptions(telo::ProgramArguments(argc, argv),
                                                    telo::kPrefixOptionAvailable, &options);
  if (!problem.empty()) {
    telo::WriteErr("telo-cli: " + problem + "\n" + telo::kCliUsage);
    return kExitUsage;
  }
  switch (options.action) {
    case telo::CliAction::kHelp:
      telo::WriteOut(telo::kCliUsage);
      return kExitDone;
    case telo::CliAction::kVersion:
      telo::WriteOut("telo-cli " + std::string(telo::kProgramVersion) + " (patch data " +
                     telo::PatchChecksum() + ")\n");
      return kExitDone;
    case telo::CliAction::kPrintSql: {
      std::string statements;
      for (std::string_view statement : telo::AllPatchStatements()) {
        statements += std::string(statement) + "\n";
      }
      telo::WriteOut(statements);
      return kExitDone;
    }
    case telo::CliAction::kRun:
      return RunWithConnections(Run, options);
    case telo::CliAction::kCheck:
      return RunWithConnections(Check, options);
  }
  return kExitUsage;
}
