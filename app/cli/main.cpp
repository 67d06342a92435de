// telo-update-cli: the update run for scripts and unattended use.
// Exit codes: 0 every database found was fully patched; 1 an open, a
// procedure or a commit failed, or the run was declined; 2 a bad command
// line; 3 no database was found.
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli_desktop.h"
#include "app/cli/cli_options.h"
#include "app/cli/terminal.h"
#include "app/update_run.h"
#include "patch/sequence.h"

namespace {

constexpr int kExitPatched = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoDatabase = 3;

int ExitCodeFor(const telo::RunReport& report) {
  if (report.succeeded()) return kExitPatched;
  if (report.confirmed && !report.any_database_found()) return kExitNoDatabase;
  return kExitFailed;
}

int Run(const telo::CliOptions& options) {
  if (!options.assume_yes && !telo::StdinIsTerminal()) {
    std::cerr << "telo-update-cli: no terminal to confirm on; give --yes to run unattended\n"
              << telo::kCliUsage;
    return kExitUsage;
  }
  std::unique_ptr<telo::Env> env = telo::NewDefaultEnv({options.prefix});
  if (std::string problem = env->DriveProblem(); !problem.empty()) {
    std::cerr << "telo-update-cli: " << problem << "\n";
  }
  telo::CliDesktop desktop(*env, options.drive, options.assume_yes, std::cin, std::cout);
  telo::ConnectionSlot cnMain([&env] { return env->NewConnection(); });
  const telo::RunReport report = telo::RunUpdate(desktop, cnMain);
  std::cout << telo::DescribeReport(report, telo::ReportDetail::kEveryProcedure);
  return ExitCodeFor(report);
}

}  // namespace

int main(int argc, char** argv) {
  telo::CliOptions options;
  const std::string problem =
      telo::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), &options);
  if (!problem.empty()) {
    std::cerr << "telo-update-cli: " << problem << "\n" << telo::kCliUsage;
    return kExitUsage;
  }
  switch (options.action) {
    case telo::CliAction::kHelp:
      std::cout << telo::kCliUsage;
      return 0;
    case telo::CliAction::kVersion:
      std::cout << "telo-update-cli " << telo::kProgramVersion << " (patch data "
                << telo::PatchChecksum() << ")\n";
      return 0;
    case telo::CliAction::kPrintSql:
      for (std::string_view statement : telo::AllPatchStatements()) std::cout << statement << "\n";
      return 0;
    case telo::CliAction::kRun:
      return Run(options);
  }
  return kExitUsage;
}
