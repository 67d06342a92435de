// Strict parsing of telo-cli's command line.
#include "app/cli/cli_options.h"

#include <cctype>
#include <optional>
#include <set>

namespace telo {

const char kCliUsage[] =
    "usage: telo-cli --drive LETTER [--yes] [--prefix DIR] [--json]\n"
    "       telo-cli --check --drive LETTER [--prefix DIR] [--json]\n"
    "       telo-cli --summarize FOLDER [--csv FILE] [--html FILE]\n"
    "       telo-cli --print-sql | --version | --help\n";

namespace {

std::optional<std::string> DriveLetterFrom(const std::string& text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  if (!std::isalpha(static_cast<unsigned char>(text[0]))) return std::nullopt;
  if (text.size() == 2 && text[1] != ':') return std::nullopt;
  return text.substr(0, 1);
}

struct Parser {
  const std::vector<std::string>& args;
  std::size_t next = 0;
  std::optional<CliAction> action;
  bool saw_drive_options = false;
  bool check = false;
  bool saw_yes = false;
  bool saw_summary_files = false;
  std::set<std::string> seen = {};  // every option met so far, by name

  std::string SetAction(CliAction wanted) {
    if (action)
      return "only one of --drive, --summarize, --print-sql, --version and --help may be given";
    action = wanted;
    return "";
  }

  // "" the first time an option is met; a usage error every later time.
  std::string FirstTime(const std::string& arg) {
    const std::string name = arg.substr(0, arg.find('='));
    if (!name.starts_with("--") || seen.insert(name).second) return "";
    return name + " is given twice";
  }

  // The value of an option given as "--name VALUE" or "--name=VALUE".
  std::optional<std::string> Value(const std::string& arg, const std::string& name) {
    if (arg == name) {
      if (next >= args.size()) return std::nullopt;
      return args[next++];
    }
    return arg.substr(name.size() + 1);
  }
};

bool Names(const std::string& arg, const std::string& name) {
  return arg == name || arg.starts_with(name + "=");
}

}  // namespace

std::string ParseCliOptions(const std::vector<std::string>& args, bool prefix_available,
                            CliOptions* options) {
  Parser parser{args, 0, std::nullopt, false};
  CliOptions parsed;
  while (parser.next < args.size()) {
    const std::string arg = args[parser.next++];
    std::string problem = parser.FirstTime(arg);
    if (!problem.empty()) return problem;
    if (arg == "--help") {
      problem = parser.SetAction(CliAction::kHelp);
    } else if (arg == "--version") {
      problem = parser.SetAction(CliAction::kVersion);
    } else if (arg == "--print-sql") {
      problem = parser.SetAction(CliAction::kPrintSql);
    } else if (Names(arg, "--drive")) {
      problem = parser.SetAction(CliAction::kRun);
      std::optional<std::string> value = parser.Value(arg, "--drive");
      if (!value) return "--drive needs a drive letter";
      std::optional<std::string> letter = DriveLetterFrom(*value);
      if (!letter) return "'" + *value + "' is not a drive letter";
      parsed.drive = *letter;
    } else if (Names(arg, "--summarize")) {
      problem = parser.SetAction(CliAction::kSummarize);
      std::optional<std::string> value = parser.Value(arg, "--summarize");
      if (!value || value->empty()) return "--summarize needs the folder of the result files";
      parsed.summarize_folder = *value;
    } else if (Names(arg, "--csv") || Names(arg, "--html")) {
      const bool csv = Names(arg, "--csv");
      std::optional<std::string> value = parser.Value(arg, csv ? "--csv" : "--html");
      if (!value || value->empty()) return std::string(csv ? "--csv" : "--html") + " needs a file";
      (csv ? parsed.csv_file : parsed.html_file) = *value;
      parser.saw_summary_files = true;
    } else if (arg == "--yes") {
      parsed.assume_yes = true;
      parser.saw_drive_options = true;
      parser.saw_yes = true;
    } else if (arg == "--check") {
      parser.check = true;
    } else if (arg == "--json") {
      parsed.json = true;
      parser.saw_drive_options = true;
    } else if (Names(arg, "--prefix")) {
      if (!prefix_available) {
        return "--prefix names a Wine-style prefix, which only the POSIX build reads; "
               "on Windows the drives are the machine's own";
      }
      std::optional<std::string> value = parser.Value(arg, "--prefix");
      if (!value || value->empty()) return "--prefix needs a folder";
      parsed.prefix = *value;
      parser.saw_drive_options = true;
    } else if (arg.starts_with("-")) {
      return "unknown option '" + arg + "'";
    } else {
      return "unexpected argument '" + arg + "'";
    }
    if (!problem.empty()) return problem;
  }
  if (parser.saw_summary_files && parser.action != CliAction::kSummarize) {
    return "--csv and --html go with --summarize";
  }
  if (!parser.action) return parser.check ? "--check needs --drive" : "no command given";
  if (!parsed.csv_file.empty() && parsed.csv_file == parsed.html_file) {
    return "--csv and --html name the same file";
  }
  if ((parser.saw_drive_options || parser.check) && *parser.action != CliAction::kRun) {
    return "--check, --yes, --prefix and --json go with --drive";
  }
  if (parser.check) {
    if (parser.saw_yes) return "--check changes nothing and asks nothing: drop --yes";
    parser.action = CliAction::kCheck;
  }
  parsed.action = *parser.action;
  *options = std::move(parsed);
  return "";
}

}  // namespace telo
