// Command-line options of telo-cli. Parsing is strict: every option
// must be spelled out in full, unknown options and stray arguments are
// errors, so a mistyped command line can never start a run.
#pragma once

#include <string>
#include <vector>

namespace telo {

enum class CliAction {
  kUsage,  // no argument at all: the usage, as for a bad command line
  kHelp,
  kVersion,
  kPrintSql,
  kRun,
  kCheck,
  kDetect,
  kSummarize,
};

struct CliOptions {
  CliAction action = CliAction::kHelp;
  std::string drive;               // the drive letter as given, case kept; "" with --drive auto
  bool every_fixed_drive = false;  // --drive auto
  bool assume_yes = false;
  std::string prefix;  // Wine-style prefix (POSIX); "" = default
  bool json = false;
  bool json_lines = false;  // --json-lines: the JSON on one line (json is set too)
  std::string result_file;  // --result-file PATH; "" = not given
  // --summarize FOLDER [--csv FILE] [--html FILE]; "" = not given
  std::string summarize_folder;
  std::string csv_file;
  std::string html_file;
};

// Returns "" on success, else what is wrong with the command line. Where
// `prefix_available` is false (Windows, whose drives are the machine's own),
// --prefix is an error too.
std::string ParseCliOptions(const std::vector<std::string>& args, bool prefix_available,
                            CliOptions* options);

// The usage lines. Where `prefix_available` is false (Windows), --prefix is
// not among them.
std::string CliUsage(bool prefix_available);
// The help: what the program does, the usage, every option and the exit
// codes; `retry_later_exit_code` is the platform's code for "in use: retry
// later" (1618 on Windows, 75 elsewhere).
std::string CliHelp(bool prefix_available, int retry_later_exit_code);

}  // namespace telo
