// Strict parsing of telo-cli's command line.
#include "app/cli/cli_options.h"

#include <cctype>
#include <optional>
#include <set>

namespace telo {

namespace {

// Each line of the help in order; `prefix_only` lines are left out where
// --prefix means nothing (Windows).
struct HelpLine {
  bool prefix_only;
  const char* text;
};

constexpr HelpLine kHelp[] = {
    {false,
     "usage: telo-cli --drive LETTER|auto [--yes] [--json | --json-lines]"
     " [--result-file PATH]"},
    {false,
     "       telo-cli --check --drive LETTER|auto [--json | --json-lines]"
     " [--result-file PATH]"},
    {false, "       telo-cli --detect --drive LETTER|auto [--result-file PATH]"},
    {false, "       telo-cli --summarize FOLDER [--csv FILE] [--html FILE]"},
    {false, "       telo-cli --print-sql | --version | --help"},
    {true, "       (each with --drive also takes --prefix DIR)"},
    {false, ""},
    {false, "  --drive LETTER   patch the host's databases on that drive: both install"},
    {false, "                   folders and every user's VirtualStore copy found"},
    {false, "  --drive auto     the same on every fixed local drive, in letter order"},
    {false, "  --yes            run without asking (needed when there is no console)"},
    {false, "  --check          read-only: does each database carry the patch?"},
    {false, "  --detect         for detection scripts: one line on standard output when every"},
    {false, "                   database found carries the patch, nothing when one doesn't or"},
    {false, "                   none was found (exit 0 both); a database that can't be read"},
    {false, "                   gives exit 5 (or the in-use code), the reason on standard error"},
    {false, "  --json           the report as one JSON object; --json-lines: on one line"},
    {false, "  --result-file    also write the JSON report, with the computer, the account and"},
    {false, "                   the time, to PATH (written whole: a temporary file, renamed)"},
    {true, "  --prefix DIR     the Wine-style prefix whose drives to use (default: $WINEPREFIX"},
    {true, "                   or ~/.wine)"},
    {false, "  --summarize      one table of the result files in FOLDER; --csv and --html"},
    {false, "                   also write it as a spreadsheet file and as a web page"},
    {false, "  --print-sql      the patch's statements, in order; --version its version"},
    {false, "  -h, --help, /?   this help"},
    {false, ""},
    {false, "exit codes:"},
    {false, "  0     the run: every database found was patched, or already carried the patch;"},
    {false, "        --check: every one carries it"},
    {false, "  1     the run failed (also when one database was patched and another was in"},
    {false, "        use); --check: a database does not carry the patch in full"},
    {false, "  2     a bad command line, a drive this computer doesn't have"},
    {false, "  3     neither install folder exists: the host is not installed on the drive(s)"},
    {false, "  4     standard output or the result file could not be written"},
    {false, "  5     --check, --detect: a database could not be opened or read, so it was"},
    {false, "        not checked"},
};

}  // namespace

std::string CliUsage(int retry_later_exit_code, bool prefix_available) {
  std::string help;
  for (const HelpLine& line : kHelp) {
    if (line.prefix_only && !prefix_available) continue;
    help += std::string(line.text) + "\n";
  }
  std::string retry = std::to_string(retry_later_exit_code);
  retry.resize(6, ' ');
  return help + "  " + retry +
         "every database that failed (or was not checked) was in use by another\n"
         "        program, and nothing was written: close the host application and try\n"
         "        again later\n";
}

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
  std::optional<CliAction> action = std::nullopt;
  bool saw_drive_options = false;
  std::optional<CliAction> check_or_detect = std::nullopt;
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
  Parser parser{args};
  CliOptions parsed;
  while (parser.next < args.size()) {
    const std::string arg = args[parser.next++];
    std::string problem = parser.FirstTime(arg);
    if (!problem.empty()) return problem;
    if (arg == "--help" || arg == "-h" || arg == "/?") {
      problem = parser.SetAction(CliAction::kHelp);
    } else if (arg == "--version") {
      problem = parser.SetAction(CliAction::kVersion);
    } else if (arg == "--print-sql") {
      problem = parser.SetAction(CliAction::kPrintSql);
    } else if (Names(arg, "--drive")) {
      problem = parser.SetAction(CliAction::kRun);
      std::optional<std::string> value = parser.Value(arg, "--drive");
      if (!value) return "--drive needs a drive letter, or auto";
      if (*value == "auto") {
        parsed.every_fixed_drive = true;
      } else {
        std::optional<std::string> letter = DriveLetterFrom(*value);
        if (!letter) return "'" + *value + "' is not a drive letter (nor auto)";
        parsed.drive = *letter;
      }
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
    } else if (arg == "--check" || arg == "--detect") {
      if (parser.check_or_detect) return "only one of --check and --detect may be given";
      parser.check_or_detect = arg == "--check" ? CliAction::kCheck : CliAction::kDetect;
    } else if (arg == "--json" || arg == "--json-lines") {
      if (parsed.json) return "only one of --json and --json-lines may be given";
      parsed.json = true;
      parsed.json_lines = arg == "--json-lines";
      parser.saw_drive_options = true;
    } else if (Names(arg, "--result-file")) {
      std::optional<std::string> value = parser.Value(arg, "--result-file");
      if (!value || value->empty()) return "--result-file needs a file";
      parsed.result_file = *value;
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
  if (!parser.action) {
    if (parser.check_or_detect == CliAction::kCheck) return "--check needs --drive";
    if (parser.check_or_detect == CliAction::kDetect) return "--detect needs --drive";
    return "no command given";
  }
  if (!parsed.csv_file.empty() && parsed.csv_file == parsed.html_file) {
    return "--csv and --html name the same file";
  }
  if ((parser.saw_drive_options || parser.check_or_detect) && *parser.action != CliAction::kRun) {
    return "--check, --detect, --yes, --prefix, --json, --json-lines and --result-file go "
           "with --drive";
  }
  if (parser.check_or_detect) {
    const bool check = *parser.check_or_detect == CliAction::kCheck;
    if (parser.saw_yes) {
      return std::string(check ? "--check" : "--detect") +
             " changes nothing and asks nothing: drop --yes";
    }
    if (!check && parsed.json) {
      return "--detect writes one line or nothing, for detection scripts: for JSON, use "
             "--check --json";
    }
    parser.action = parser.check_or_detect;
  }
  parsed.action = *parser.action;
  *options = std::move(parsed);
  return "";
}

}  // namespace telo
