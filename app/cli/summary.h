// The office summary: every result file (schema 1) of one shared folder read
// into one value, the newest result of each machine, plus three writers of it
// (a text table, CSV, one self-contained HTML page). Nothing here throws: a
// file that can't be read or isn't a result becomes an "unreadable" row, and
// only a folder that can't be listed fails the summary.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace telo {

// In the order the rows are listed: the machines that need attention first,
// the worst first, then the rest.
enum class SummaryOutcome {
  kFailed,
  kInUse,
  kNotUpToDate,
  kUnreadable,
  kDeclined,
  kNotFound,
  kPatched,
  kAlreadyPatched,
  kUpToDate,
};
inline constexpr int kSummaryOutcomeCount = 9;

// "in use"; its advice "retry later"; whether it needs someone's attention.
std::string_view OutcomeLabel(SummaryOutcome outcome);
std::string_view OutcomeAdvice(SummaryOutcome outcome);
bool NeedsAttention(SummaryOutcome outcome);

struct SummaryDatabase {
  std::string path;
  std::string outcome;  // the result file's word, e.g. "in_use"
};

struct SummaryRow {
  std::string file;      // the result file's name, without its folder
  std::string computer;  // "" when unreadable
  std::string time;      // machine.time as written; "" when unreadable
  SummaryOutcome outcome = SummaryOutcome::kUnreadable;
  std::vector<SummaryDatabase> databases;
  std::string reason;  // the first reason given, or why the file is unreadable
};

struct Summary {
  std::vector<SummaryRow> rows;  // in the order above, then by computer, then file
  std::array<int, kSummaryOutcomeCount> counts = {};  // by SummaryOutcome
  int files_read = 0;  // every *.json looked at, older results included
  int Count(SummaryOutcome outcome) const { return counts[static_cast<int>(outcome)]; }
};

// One file's contents as a row; `file` names it.
SummaryRow ReadResultText(std::string_view file, std::string_view text);

// Keeps the newest row of each computer (machine.time, then the greater file
// name), sorts and counts. Unreadable rows all stay.
Summary SummarizeRows(std::vector<SummaryRow> rows);

// Reads every *.json directly in `folder` (UTF-8). Fails only when the folder
// itself can't be listed.
Status SummarizeFolder(const std::string& folder, Summary* summary);

// `when` is the summary's own time as shown, e.g. "2026-12-08 16:45 UTC".
std::string SummaryTable(const Summary& summary);
std::string SummaryCsv(const Summary& summary);
std::string SummaryHtml(const Summary& summary, std::string_view when);

// "telo: summary of 6 machines: 2 patched, ... 0 unreadable (exit 0)\n"
std::string SummaryLine(const Summary& summary, int exit_code);

// The current time as "YYYY-MM-DD HH:MM UTC".
std::string SummaryTimeNow();

}  // namespace telo
