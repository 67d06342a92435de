// Command-line options of telo-cli. Parsing is strict: every option
// must be spelled out in full, unknown options and stray arguments are
// errors, so a mistyped command line can never start a run.
#pragma once

#include <string>
#include <vector>

namespace telo {

enum class CliAction { kHelp, kVersion, kPrintSql, kRun, kCheck, kSummarize };

struct CliOptions {
  CliAction action = CliAction::kHelp;
  std::string drive;  // the drive letter as given, case kept
  bool assume_yes = false;
  std::string prefix;  // Wine-style prefix (POSIX); "" = default
  bool json = false;
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

extern const char kCliUsage[];

}  // namespace telo
