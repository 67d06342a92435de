// telo-cli: the update run and the read-only check, for scripts and
// unattended use. Exit codes: 0 every database found was fully patched (run)
// or carries the patch (check); 1 an open, a procedure, the commit or the
// read-back failed, a table differs or is missing, or the run was declined;
// 2 a bad command line; 3 no database was found.
#include <cstdio>
#include <string>
#include <string_view>
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

// C stdio rather than iostreams: see cli_desktop.h.
void Print(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

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
    Print(stderr, "telo-cli: " + problem);
    if (options.prefix.empty()) Print(stderr, " (or name one with --prefix)");
    Print(stderr, "\n");
  }
  return env;
}

int Run(const telo::CliOptions& options) {
  if (!options.assume_yes && !telo::StdinIsTerminal()) {
    Print(stderr, "telo-cli: no terminal to confirm on; give --yes to run unattended\n");
    Print(stderr, telo::kCliUsage);
    return kExitUsage;
  }
  std::unique_ptr<telo::Env> env = OpenEnv(options);
  telo::CliDesktop desktop(options.drive, options.assume_yes, stdin, stderr);
  telo::ConnectionSlot cnMain([&env] { return env->NewConnection(); });
  const telo::RunReport report = telo::RunUpdate(desktop, *env, cnMain);
  const int exit_code = ExitCodeFor(report);
  Print(stdout, options.json ? telo::RunReportJson(report, exit_code)
                             : telo::DescribeReport(report, telo::ReportDetail::kEveryProcedure));
  return exit_code;
}

int Check(const telo::CliOptions& options) {
  std::unique_ptr<telo::Env> env = OpenEnv(options);
  telo::CliDesktop desktop(options.drive, false, stdin, stderr);
  telo::ConnectionSlot cnMain([&env] { return env->NewConnection(); });
  const telo::CheckReport report = telo::RunCheck(desktop, *env, cnMain);
  const int exit_code = ExitCodeFor(report);
  Print(stdout,
        options.json ? telo::CheckReportJson(report, exit_code) : telo::DescribeCheck(report));
  return exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  telo::CliOptions options;
  const std::string problem =
      telo::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), &options);
  if (!problem.empty()) {
    Print(stderr, "telo-cli: " + problem + "\n");
    Print(stderr, telo::kCliUsage);
    return kExitUsage;
  }
  switch (options.action) {
    case telo::CliAction::kHelp:
      Print(stdout, telo::kCliUsage);
      return kExitDone;
    case telo::CliAction::kVersion:
      Print(stdout, "telo-cli " + std::string(telo::kProgramVersion) + " (patch data " +
                        telo::PatchChecksum() + ")\n");
      return kExitDone;
    case telo::CliAction::kPrintSql:
      for (std::string_view statement : telo::AllPatchStatements()) {
        Print(stdout, statement);
        Print(stdout, "\n");
      }
      return kExitDone;
    case telo::CliAction::kRun:
      return Run(options);
    case telo::CliAction::kCheck:
      return Check(options);
  }
  return kExitUsage;
}
