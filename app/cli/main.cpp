// telo-cli: the update run and the read-only check, for scripts and
// unattended use. Exit codes: 0 every database found was fully patched (run)
// or carries the patch (check); 1 an open, a procedure, the commit or the
// read-back failed, a table differs or is missing, or the run was declined;
// 2 a bad command line; 3 no database was found.
#include <iostream>
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
    std::cerr << "telo-cli: " << problem;
    if (options.prefix.empty()) std::cerr << " (or name one with --prefix)";
    std::cerr << "\n";
  }
  return env;
}

int Run(const telo::CliOptions& options) {
  if (!options.assume_yes && !telo::StdinIsTerminal()) {
    std::cerr << "telo-cli: no terminal to confirm on; give --yes to run unattended\n"
              << telo::kCliUsage;
    return kExitUsage;
  }
  std::unique_ptr<telo::Env> env = OpenEnv(options);
  telo::CliDesktop desktop(*env, options.drive, options.assume_yes, std::cin, std::cerr);
  telo::ConnectionSlot cnMain([&env] { return env->NewConnection(); });
  const telo::RunReport report = telo::RunUpdate(desktop, cnMain);
  const int exit_code = ExitCodeFor(report);
  std::cout << (options.json ? telo::RunReportJson(report, exit_code)
                             : telo::DescribeReport(report, telo::ReportDetail::kEveryProcedure));
  return exit_code;
}

int Check(const telo::CliOptions& options) {
  std::unique_ptr<telo::Env> env = OpenEnv(options);
  telo::CliDesktop desktop(*env, options.drive, false, std::cin, std::cerr);
  telo::ConnectionSlot cnMain([&env] { return env->NewConnection(); });
  const telo::CheckReport report = telo::RunCheck(desktop, cnMain);
  const int exit_code = ExitCodeFor(report);
  std::cout << (options.json ? telo::CheckReportJson(report, exit_code)
                             : telo::DescribeCheck(report));
  return exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  telo::CliOptions options;
  const std::string problem =
      telo::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), &options);
  if (!problem.empty()) {
    std::cerr << "telo-cli: " << problem << "\n" << telo::kCliUsage;
    return kExitUsage;
  }
  switch (options.action) {
    case telo::CliAction::kHelp:
      std::cout << telo::kCliUsage;
      return kExitDone;
    case telo::CliAction::kVersion:
      std::cout << "telo-cli " << telo::kProgramVersion << " (patch data "
                << telo::PatchChecksum() << ")\n";
      return kExitDone;
    case telo::CliAction::kPrintSql:
      for (std::string_view statement : telo::AllPatchStatements()) std::cout << statement << "\n";
      return kExitDone;
    case telo::CliAction::kRun:
      return Run(options);
    case telo::CliAction::kCheck:
      return Check(options);
  }
  return kExitUsage;
}
