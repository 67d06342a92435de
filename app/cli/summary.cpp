// The office summary: result files read with nlohmann::json (no exceptions:
// allow_exceptions is off and every value's type is checked before use), the
// newest per machine, and the text, CSV and HTML writers.
#include "app/cli/summary.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <tuple>

#include "app/cli/summary_files.h"
#include "base/utf8.h"

namespace telo {

using nlohmann::json;

namespace {

struct OutcomeText {
  std::string_view word;  // as the result file spells it
  std::string_view label;
  std::string_view advice;
  std::string_view colour;
};

// By SummaryOutcome.
constexpr OutcomeText kOutcomes[kSummaryOutcomeCount] = {
    {"failed", "failed", "see the reason, then run it again", "#c62828"},
    {"in_use", "in use", "retry later, with the host application closed", "#ef6c00"},
    {"not_up_to_date", "not up to date", "run the patch on it", "#f9a825"},
    {"", "unreadable", "not a whole result file: see why", "#6a1b9a"},
    {"declined", "declined", "not confirmed: run it with --yes", "#5d4037"},
    {"not_found", "not found", "the host application isn't installed", "#78909c"},
    {"patched", "patched", "done", "#2e7d32"},
    {"already_patched", "already patched", "nothing to do, it was patched before", "#66bb6a"},
    {"up_to_date", "up to date", "checked: it carries the patch", "#43a047"},
};

// The order of the summary line's counts.
constexpr SummaryOutcome kLineOrder[kSummaryOutcomeCount] = {
    SummaryOutcome::kPatched,     SummaryOutcome::kAlreadyPatched, SummaryOutcome::kUpToDate,
    SummaryOutcome::kNotUpToDate, SummaryOutcome::kInUse,          SummaryOutcome::kFailed,
    SummaryOutcome::kDeclined,    SummaryOutcome::kNotFound,       SummaryOutcome::kUnreadable,
};

constexpr std::size_t kMaxResultFileBytes = 4 * 1024 * 1024;

const OutcomeText& TextOf(SummaryOutcome outcome) { return kOutcomes[static_cast<int>(outcome)]; }

std::optional<SummaryOutcome> OutcomeFromWord(std::string_view word) {
  for (int i = 0; i < kSummaryOutcomeCount; ++i) {
    if (!kOutcomes[i].word.empty() && kOutcomes[i].word == word) {
      return static_cast<SummaryOutcome>(i);
    }
  }
  return std::nullopt;
}

SummaryRow Unreadable(std::string_view file, std::string reason) {
  SummaryRow row;
  row.file = ValidUtf8(file);
  row.reason = std::move(reason);
  return row;
}

// Tells a file cut short from one damaged in the middle, for a text that
// failed to parse: only the position of the error is wanted.
struct ErrorPosition : nlohmann::json_sax<json> {
  std::size_t position = 0;
  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override { return true; }
  bool key(string_t&) override { return true; }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  bool parse_error(std::size_t at, const std::string&,
                   const nlohmann::detail::exception&) override {
    position = at;
    return false;
  }
};

std::string WhyNotJson(std::string_view text) {
  ErrorPosition sax;
  (void)json::sax_parse(text.begin(), text.end(), &sax, json::input_format_t::json, true);
  if (sax.position >= text.size()) {
    return "the file ends in the middle (half-written: still being written, or the disk was "
           "full); it counts once its machine writes it again";
  }
  return "not valid JSON at byte " + std::to_string(sax.position) +
         " (the file is damaged); delete it, and run telo-cli on that machine again";
}

// "2026-12-08T16:30:00Z", optionally with fractions of a second.
bool IsUtcTime(std::string_view time) {
  constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd";
  if (time.size() < kShape.size() + 1 || time.back() != 'Z') return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = time[i] >= '0' && time[i] <= '9';
    if (kShape[i] == 'd' ? !digit : time[i] != kShape[i]) return false;
  }
  std::string_view fraction = time.substr(kShape.size(), time.size() - kShape.size() - 1);
  if (fraction.empty()) return true;
  if (fraction.size() < 2 || fraction[0] != '.') return false;
  return std::all_of(fraction.begin() + 1, fraction.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// A time that sorts as text: the seconds' fraction after a '.' even when none.
std::string TimeKey(const std::string& time) {
  const std::string fraction = time.size() > 20 ? time.substr(20, time.size() - 21) : "";
  return time.substr(0, 19) + "." + fraction;
}

const std::string* StringAt(const json& object, const char* key) {
  auto found = object.find(key);
  return found != object.end() && found->is_string() ? found->get_ptr<const std::string*>()
                                                     : nullptr;
}

// The reason a parsed document is not a schema 1 result, or "" and `row` filled.
std::string ReadResult(const json& result, SummaryRow* row) {
  constexpr char kForeign[] = "not a telo-cli result file (it has no \"schema\": 1)";
  if (!result.is_object()) return kForeign;
  auto schema = result.find("schema");
  if (schema == result.end() || !schema->is_number_integer()) return kForeign;
  if (*schema != 1) {
    return "written in result format " + schema->dump() +
           ", which this telo-cli can't read (it reads format 1): summarize with a newer telo-cli";
  }
  const std::string* outcome_word = StringAt(result, "outcome");
  std::optional<SummaryOutcome> outcome =
      outcome_word ? OutcomeFromWord(*outcome_word) : std::nullopt;
  if (!outcome) return "its \"outcome\" is missing or not one telo-cli writes";
  auto machine = result.find("machine");
  if (machine == result.end() || !machine->is_object()) {
    return "it has no \"machine\" (written with --json, not as a result file)";
  }
  const std::string* computer = StringAt(*machine, "computer");
  if (!computer || computer->empty()) return "its \"machine\" has no \"computer\" name";
  const std::string* time = StringAt(*machine, "time");
  if (!time || !IsUtcTime(*time)) {
    return "its machine \"time\" is missing or not a UTC time like 2026-12-08T16:30:00Z";
  }
  row->computer = *computer;
  row->time = *time;
  row->outcome = *outcome;
  auto databases = result.find("databases");
  if (databases != result.end() && databases->is_array()) {
    for (const json& database : *databases) {
      if (!database.is_object()) continue;
      const std::string* path = StringAt(database, "database");
      const std::string* state = StringAt(database, "outcome");
      const std::string* reason = StringAt(database, "reason");
      row->databases.push_back({path ? *path : "", state ? *state : ""});
      if (reason && !reason->empty() && row->reason.empty()) row->reason = *reason;
    }
  }
  return "";
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool IsResultFileName(const std::string& name) {
  return name.size() > 5 && Upper(name.substr(name.size() - 5)) == ".JSON";
}

SummaryRow ReadResultFile(const std::string& folder, const FolderEntry& entry) {
  if (entry.is_folder) return Unreadable(entry.name, "a folder, not a result file");
  std::string text;
  const Status read = ReadFileStart(folder, entry.name, kMaxResultFileBytes, &text);
  if (!read.ok()) return Unreadable(entry.name, "can't be read (" + read.message() + ")");
  if (text.size() > kMaxResultFileBytes) {
    return Unreadable(entry.name, "larger than 4 MB: not a result file");
  }
  return ReadResultText(entry.name, text);
}

// --- writers ---

std::string DatabasesCell(const SummaryRow& row) {
  std::string cell;
  for (const SummaryDatabase& database : row.databases) {
    if (!cell.empty()) cell += "; ";
    std::optional<SummaryOutcome> outcome = OutcomeFromWord(database.outcome);
    cell += database.path + " (" +
            std::string(outcome ? OutcomeLabel(*outcome) : std::string_view(database.outcome)) +
            ")";
  }
  return cell;
}

// The machine's name, or for an unreadable row its file's.
const std::string& MachineCell(const SummaryRow& row) {
  return row.outcome == SummaryOutcome::kUnreadable ? row.file : row.computer;
}

// Text from a file made harmless for a terminal: control characters (an
// escape sequence, a line break) become a space.
std::string TerminalText(std::string_view text) {
  std::string safe(text);
  for (char& c : safe) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return safe;
}

std::size_t CodePoints(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::vector<std::string> Cells(const SummaryRow& row) {
  return {MachineCell(row), row.time, std::string(OutcomeLabel(row.outcome)), DatabasesCell(row),
          row.reason};
}

const std::vector<std::string> kHeader = {"machine", "time (UTC)", "outcome", "databases",
                                          "first reason"};

// RFC 4180, and a cell that a spreadsheet would take for a formula gets a
// leading apostrophe, so that a hostile file can't put one into it.
std::string CsvCell(const std::string& text) {
  std::string cell = text;
  if (!cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos) {
    cell.insert(0, "'");
  }
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string Html(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string ShownTime(const std::string& time) {
  if (time.size() < 16) return time;
  return time.substr(0, 10) + " " + time.substr(11, 5) + " UTC";
}

constexpr char kHtmlHead[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'">
<title>telo-update: office summary</title>
<style>
body { font-family: "Segoe UI", Arial, sans-serif; margin: 2em; color: #222; max-width: 75em; }
h1 { margin-bottom: 0.2em; }
.when { color: #555; margin-top: 0; }
.totals { font-size: 1.3em; }
.attention { color: #c62828; font-weight: bold; }
.fine { color: #2e7d32; font-weight: bold; }
table { border-collapse: collapse; width: 100%; margin-bottom: 2em; table-layout: fixed; }
col.machine { width: 13%; } col.time { width: 17%; } col.outcome { width: 15%; }
col.databases { width: 31%; } col.reason { width: 24%; }
th, td { text-align: left; padding: 0.4em 0.6em; border-bottom: 1px solid #ddd; vertical-align: top; }
th { background: #f2f2f2; }
td.machine { font-weight: bold; }
.tag { display: inline-block; color: #fff; border-radius: 0.3em; padding: 0.1em 0.5em; font-weight: bold; white-space: nowrap; }
.advice { display: block; color: #555; font-size: 0.9em; }
.db { display: block; font-family: Consolas, monospace; font-size: 0.85em; overflow-wrap: break-word; }
td { overflow-wrap: break-word; }
svg text { font-family: "Segoe UI", Arial, sans-serif; font-size: 14px; }
</style>
</head>
<body>
)";

std::string BarChart(const Summary& summary) {
  constexpr int kLabelWidth = 420, kBarWidth = 480, kRowHeight = 26;
  const int most = std::max(1, *std::max_element(summary.counts.begin(), summary.counts.end()));
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(kLabelWidth + kBarWidth + 60) + "\" height=\"" +
                    std::to_string(kSummaryOutcomeCount * kRowHeight) +
                    "\" role=\"img\" aria-label=\"machines by outcome\">\n";
  for (int i = 0; i < kSummaryOutcomeCount; ++i) {
    const OutcomeText& text = kOutcomes[i];
    const int count = summary.counts[i];
    const int y = i * kRowHeight;
    const int width = count * kBarWidth / most;
    svg += "<text x=\"0\" y=\"" + std::to_string(y + 18) + "\" fill=\"" +
           std::string(count ? "#222" : "#999") + "\"><tspan font-weight=\"bold\">" +
           std::string(text.label) + "</tspan>: " + std::string(text.advice) + "</text>";
    svg += "<rect x=\"" + std::to_string(kLabelWidth) + "\" y=\"" + std::to_string(y + 4) +
           "\" width=\"" + std::to_string(std::max(width, 2)) + "\" height=\"" +
           std::to_string(kRowHeight - 8) + "\" fill=\"" +
           std::string(count ? text.colour : "#ddd") + "\"/>";
    svg += "<text x=\"" + std::to_string(kLabelWidth + std::max(width, 2) + 6) + "\" y=\"" +
           std::to_string(y + 18) + "\" font-weight=\"bold\">" + std::to_string(count) +
           "</text>\n";
  }
  return svg + "</svg>\n";
}

std::string HtmlRow(const SummaryRow& row) {
  const OutcomeText& text = TextOf(row.outcome);
  std::string html = "<tr><td class=\"machine\">" + Html(MachineCell(row)) + "</td><td>" +
                     Html(ShownTime(row.time)) +
                     "</td><td><span class=\"tag\" style=\"background:" + std::string(text.colour) +
                     "\">" + std::string(text.label) + "</span><span class=\"advice\">" +
                     std::string(text.advice) + "</span></td><td>";
  for (const SummaryDatabase& database : row.databases) {
    std::optional<SummaryOutcome> outcome = OutcomeFromWord(database.outcome);
    html += "<span class=\"db\">" + Html(database.path) + " (" +
            Html(outcome ? OutcomeLabel(*outcome) : std::string_view(database.outcome)) +
            ")</span>";
  }
  return html + "</td><td>" + Html(row.reason) + "</td></tr>\n";
}

std::string HtmlTable(const Summary& summary, bool attention, const std::string& heading) {
  std::string rows;
  int count = 0;
  for (const SummaryRow& row : summary.rows) {
    if (NeedsAttention(row.outcome) != attention) continue;
    rows += HtmlRow(row);
    ++count;
  }
  std::string html = "<h2>" + heading + " (" + std::to_string(count) + ")</h2>\n";
  if (count == 0) return html + "<p>None.</p>\n";
  return html +
         "<table>\n<colgroup><col class=\"machine\"><col class=\"time\"><col class=\"outcome\">"
         "<col class=\"databases\"><col class=\"reason\"></colgroup>\n<tr><th>Machine</th><th>Result written</th><th>Outcome</th><th>Databases</th>"
         "<th>First reason</th></tr>\n" +
         rows + "</table>\n";
}

std::string Plural(int count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string_view OutcomeLabel(SummaryOutcome outcome) { return TextOf(outcome).label; }
std::string_view OutcomeAdvice(SummaryOutcome outcome) { return TextOf(outcome).advice; }
bool NeedsAttention(SummaryOutcome outcome) { return outcome <= SummaryOutcome::kDeclined; }

SummaryRow ReadResultText(std::string_view file, std::string_view text) {
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
    return Unreadable(file, "the file is empty (still being written, or a copy that failed)");
  }
  // The attempts' detail is not needed: the parser drops it as it goes.
  const json::parser_callback_t skip_attempts = [](int depth, json::parse_event_t event,
                                                   json& parsed) {
    return !(depth == 1 && event == json::parse_event_t::key && parsed == "attempts");
  };
  const json result = json::parse(text.begin(), text.end(), skip_attempts, false);
  if (result.is_discarded()) return Unreadable(file, WhyNotJson(text));
  SummaryRow row;
  row.file = ValidUtf8(file);
  std::string problem = ReadResult(result, &row);
  if (!problem.empty()) return Unreadable(file, std::move(problem));
  return row;
}

Summary SummarizeRows(std::vector<SummaryRow> rows) {
  Summary summary;
  summary.files_read = static_cast<int>(rows.size());
  std::map<std::string, std::size_t> newest;  // upper-case computer name -> index in rows
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SummaryRow& row = rows[i];
    if (row.outcome == SummaryOutcome::kUnreadable) {
      summary.rows.push_back(std::move(row));
      continue;
    }
    auto [kept, first] = newest.emplace(Upper(row.computer), i);
    if (first) continue;
    const SummaryRow& old = rows[kept->second];
    const std::string key = TimeKey(row.time), old_key = TimeKey(old.time);
    if (key > old_key || (key == old_key && row.file > old.file)) kept->second = i;
  }
  for (const auto& [computer, index] : newest) summary.rows.push_back(std::move(rows[index]));
  std::sort(summary.rows.begin(), summary.rows.end(), [](const SummaryRow& a, const SummaryRow& b) {
    const std::string a_name = Upper(a.computer), b_name = Upper(b.computer);
    return std::tie(a.outcome, a_name, a.file) < std::tie(b.outcome, b_name, b.file);
  });
  for (const SummaryRow& row : summary.rows) ++summary.counts[static_cast<int>(row.outcome)];
  return summary;
}

Status SummarizeFolder(const std::string& folder, Summary* summary) {
  std::vector<FolderEntry> entries;
  const Status listed = ListFolder(folder, &entries);
  if (!listed.ok()) {
    return Status::Error(listed.number(), "the folder " + ValidUtf8(folder) + " can't be read (" +
                                              listed.message() +
                                              "); name a folder that holds the result files");
  }
  std::vector<SummaryRow> rows;
  for (const FolderEntry& entry : entries) {
    if (IsResultFileName(entry.name)) rows.push_back(ReadResultFile(folder, entry));
  }
  *summary = SummarizeRows(std::move(rows));
  return Status::Ok();
}

std::string SummaryTable(const Summary& summary) {
  std::vector<std::vector<std::string>> table = {kHeader};
  for (const SummaryRow& row : summary.rows) {
    std::vector<std::string> cells = Cells(row);
    for (std::string& cell : cells) cell = TerminalText(cell);
    table.push_back(std::move(cells));
  }
  std::vector<std::size_t> widths(kHeader.size(), 0);
  for (const auto& cells : table) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      widths[i] = std::max(widths[i], CodePoints(cells[i]));
    }
  }
  std::string text;
  for (const auto& cells : table) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      line += cells[i];
      if (i + 1 < cells.size()) line += std::string(widths[i] - CodePoints(cells[i]) + 2, ' ');
    }
    text += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
  }
  return text;
}

std::string SummaryCsv(const Summary& summary) {
  std::vector<std::string> header = kHeader;
  header.push_back("file");
  std::string csv;
  auto add_line = [&csv](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) csv += (i ? "," : "") + CsvCell(cells[i]);
    csv += "\r\n";
  };
  add_line(header);
  for (const SummaryRow& row : summary.rows) {
    std::vector<std::string> cells = Cells(row);
    cells.push_back(row.file);
    add_line(cells);
  }
  return csv;
}

std::string SummaryHtml(const Summary& summary, std::string_view when) {
  int attention = 0;
  for (int i = 0; i < kSummaryOutcomeCount; ++i) {
    if (NeedsAttention(static_cast<SummaryOutcome>(i))) attention += summary.counts[i];
  }
  const int machines = static_cast<int>(summary.rows.size());
  std::string html = kHtmlHead;
  html += "<h1>telo-update: office summary</h1>\n<p class=\"when\">Summary made " + Html(when) +
          " from " + Plural(summary.files_read, "result file", "result files") +
          "; each machine's newest result counts.</p>\n";
  html += "<p class=\"totals\"><strong>" + Plural(machines, "machine", "machines") + "</strong>: " +
          (attention ? "<span class=\"attention\">" + Plural(attention, "needs", "need") +
                           " attention</span>, "
                     : std::string()) +
          "<span class=\"fine\">" +
          Plural(machines - attention, "needs nothing more", "need nothing more") +
          "</span>.</p>\n";
  html += BarChart(summary);
  html += HtmlTable(summary, true, "Needs attention");
  html += HtmlTable(summary, false, "The rest");
  return html + "</body>\n</html>\n";
}

std::string SummaryLine(const Summary& summary, int exit_code) {
  std::string line = "telo: summary of " +
                     Plural(static_cast<int>(summary.rows.size()), "machine", "machines") + ":";
  for (int i = 0; i < kSummaryOutcomeCount; ++i) {
    line += (i ? ", " : " ") + std::to_string(summary.Count(kLineOrder[i])) + " " +
            std::string(OutcomeLabel(kLineOrder[i]));
  }
  return line + " (exit " + std::to_string(exit_code) + ")\n";
}

std::string SummaryTimeNow() {
  using namespace std::chrono;
  const auto now = floor<minutes>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day date(day);
  const hh_mm_ss clock(now - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld UTC", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<long>(clock.hours().count()),
                static_cast<long>(clock.minutes().count()));
  return text;
}

}  // namespace telo
