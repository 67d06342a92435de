// Strict parsing of telo-cli's command line.
#include "app/cli/cli_options.h"

#include <cctype>
#include <optional>
#include <set>
#include <span>
#include <string_view>

#include "app/cli/exit_codes.h"

namespace telo {

namespace {

// Where a row of the help belongs: both platforms, or only where --prefix
// is (or isn't) available.
enum class On { kBoth, kPrefixOnly, kNoPrefixOnly };

struct HelpRow {
  On on;
  std::string_view term;
  std::string_view text;  // lines after the first are indented alike
};

constexpr HelpRow kOptionRows[] = {
    {On::kBoth, "--drive LETTER", "the drive the host application is installed on: C or C:"},
    {On::kBoth, "--drive auto", "every fixed local drive, in letter order"},
    {On::kBoth, "--yes", "update without asking; without it the update asks on the\nconsole"},
    {On::kBoth, "--check",
     "change nothing: tell, table by table, whether each\ndatabase carries this patch"},
    {On::kBoth, "--detect",
     "for detection scripts: one line on standard output when\n"
     "every database found carries this patch, nothing when one\n"
     "doesn't or none was found; a database that can't be read\n"
     "gives exit code 5 (or the in-use code) and its reason on\n"
     "standard error"},
    {On::kBoth, "--json", "the report as JSON instead of text"},
    {On::kBoth, "--json-lines", "the JSON on one line"},
    {On::kBoth, "--result-file PATH",
     "also write the JSON report, with the computer, the account\n"
     "and the time, to PATH (a temporary file, then renamed)"},
    {On::kPrefixOnly, "--prefix DIR",
     "the Wine prefix whose drives to use (it holds dosdevices);\n"
     "without it $WINEPREFIX, or ~/.wine"},
    {On::kBoth, "--summarize FOLDER", "one table of the result files (*.json) in FOLDER"},
    {On::kBoth, "--csv FILE", "with --summarize: the table also as a CSV file"},
    {On::kBoth, "--html FILE", "with --summarize: the table also as a web page"},
    {On::kBoth, "--print-sql", "the patch's statements, in the order they run"},
    {On::kBoth, "--version", "the version and a checksum of the patch data"},
    {On::kBoth, "--help, -h, /?", "this help"},
};

// The codes of exit_codes.h; "" stands for the platform's retry-later code.
constexpr HelpRow kExitCodeRows[] = {
    {On::kBoth, "0",
     "every database found was updated or already up to date (--check:\n"
     "every one carries this patch)"},
    {On::kBoth, "1",
     "the update failed, or was answered No; --check: a database does not\n"
     "carry this patch in full"},
    {On::kPrefixOnly, "2",
     "a bad command line, a --prefix folder that doesn't exist, a drive that\n"
     "isn't there, or an update without --yes and without a console to\n"
     "ask on"},
    {On::kNoPrefixOnly, "2",
     "a bad command line, a drive that isn't there, or an update without\n"
     "--yes and without a console to ask on"},
    {On::kBoth, "3",
     "no database was found: the host application is not installed on the\ndrive(s)"},
    {On::kBoth, "4", "standard output or the result file could not be written"},
    {On::kBoth, "5",
     "--check, --detect: a database could not be checked (a wrong password,\n"
     "a damaged file, a table that can't be read)"},
    {On::kBoth, "",
     "every database that failed, or could not be checked, was in use by\n"
     "another program, and nothing was written: close the host\n"
     "application and try again later"},
};
static_assert(kExitDone == 0 && kExitFailed == 1 && kExitUsage == 2 && kExitNoDatabase == 3 &&
                  kExitReportLost == 4 && kExitNotChecked == 5,
              "the help's table of exit codes");

// The rows of `rows` for this platform, the terms in a column `column` wide.
std::string HelpTable(std::span<const HelpRow> rows, bool prefix_available, std::size_t column,
                      std::string_view blank_term) {
  const std::string indent(column, ' ');
  std::string text;
  for (const HelpRow& row : rows) {
    if (row.on == (prefix_available ? On::kNoPrefixOnly : On::kPrefixOnly)) continue;
    const std::size_t start = text.size();
    text += "  ";
    text += row.term.empty() ? blank_term : row.term;
    const std::size_t width = text.size() - start;
    text += width < column ? std::string(column - width, ' ') : "\n" + indent;
    for (char c : row.text) {
      text += c;
      if (c == '\n') text += indent;
    }
    text += '\n';
  }
  return text;
}

}  // namespace

std::string CliUsage(bool prefix_available) {
  const std::string_view prefix = prefix_available ? " [--prefix DIR]" : "";
  std::string usage = "usage: telo-cli --drive LETTER|auto [--yes]";
  usage += prefix;
  usage += "\n                [--json | --json-lines] [--result-file PATH]\n";
  usage += "       telo-cli --check --drive LETTER|auto";
  usage += prefix;
  usage += "\n                [--json | --json-lines] [--result-file PATH]\n";
  usage += "       telo-cli --detect --drive LETTER|auto";
  usage += prefix;
  usage +=
      " [--result-file PATH]\n"
      "       telo-cli --summarize FOLDER [--csv FILE] [--html FILE]\n"
      "       telo-cli --print-sql | --version | --help\n";
  return usage;
}

std::string CliHelp(bool prefix_available, int retry_later_exit_code) {
  std::string help =
      "telo-cli updates the rate tables of the host application's database, CVL.MDB,\n"
      "in Program Files\\Corvallo and in Program Files (x86)\\Corvallo on a drive.\n"
      "Running it again is safe.\n\n";
  help += CliUsage(prefix_available);
  help += "\noptions:\n";
  help += HelpTable(kOptionRows, prefix_available, 22, "");
  help += "\nexit codes of the update, --check and --detect:\n";
  help += HelpTable(kExitCodeRows, prefix_available, 8, std::to_string(retry_later_exit_code));
  help +=
      "--summarize: 0 the summary was written, 1 FOLDER can't be read, 2 a bad\n"
      "command line, 4 a file or standard output could not be written.\n";
  return help;
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
  if (args.empty()) {
    *options = CliOptions();
    options->action = CliAction::kUsage;
    return "";
  }
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
