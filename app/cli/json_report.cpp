// JSON forms of the reports, built with nlohmann::json.
#include "app/cli/json_report.h"

#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/outcome.h"
#include "patch/sequence.h"

namespace telo {
namespace {

// Keys stay in the order they are written: the order the README documents.
using json = nlohmann::ordered_json;

// "0x80040E37": the number as Windows' tools and documentation write it.
std::string Hex(int32_t number) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(number));
  return text;
}

// "up to date" -> "up_to_date": names as the schema spells them.
std::string SnakeCase(std::string_view name) {
  std::string snake(name);
  for (char& c : snake) {
    if (c == ' ') c = '_';
  }
  return snake;
}

json StatusJson(const Status& status) {
  return {{"ok", status.ok()},
          {"error", status.number()},
          {"error_hex", Hex(status.number())},
          {"message", status.message()}};
}

std::string UpperLetter(char drive) {
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(drive))));
}

// The drive as chosen: "C", "AUTO" for every fixed drive, null for none.
json DriveJson(const Drives& drives) {
  if (drives.every_fixed_drive) return "AUTO";
  if (drives.letters.empty()) return nullptr;
  return UpperLetter(drives.letters.front());
}

json DatabasesJson(const std::vector<DatabaseOutcome>& databases) {
  json list = json::array();
  for (const DatabaseOutcome& database : databases) {
    list.push_back({{"database", database.database},
                    {"outcome", OutcomeName(database.outcome)},
                    {"reason", database.reason}});
  }
  return list;
}

json OptionalText(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

json MachineJson(const MachineFacts& machine) {
  return {
      {"computer", machine.computer}, {"account", machine.account},
      {"time", machine.time_utc},     {"windows_version", OptionalText(machine.windows_version)},
      {"elevated", machine.elevated}, {"virtualized", machine.virtualized}};
}

// What every report begins with, in the documented order.
template <typename Report>
json Header(std::string_view command, Outcome outcome, const Report& report,
            const MachineFacts* machine, int exit_code) {
  json drives = json::array();
  for (char letter : report.drives.letters) drives.push_back(UpperLetter(letter));
  json header = {{"schema", 1},
                 {"command", command},
                 {"outcome", OutcomeName(outcome)},
                 {"exit_code", exit_code},
                 {"version", kProgramVersion},
                 {"patch_checksum", PatchChecksum()},
                 {"drive", DriveJson(report.drives)},
                 {"drives", drives}};
  if (machine) header["machine"] = MachineJson(*machine);
  header["databases"] = DatabasesJson(DatabaseOutcomes(report));
  return header;
}

std::string_view SavedName(AttemptReport::Saved saved) {
  switch (saved) {
    case AttemptReport::Saved::kYes:
      return "yes";
    case AttemptReport::Saved::kNo:
      return "no";
    case AttemptReport::Saved::kUnknown:
      return "unknown";
  }
  return "unknown";
}

json ProcedureJson(const ProcedureOutcome& outcome) {
  json procedure = {{"name", outcome.procedure},
                    {"ok", outcome.ok()},
                    {"committed_tables", outcome.committed_tables}};
  if (outcome.ok()) return procedure;
  procedure["failed_step"] = SnakeCase(FailedStepName(outcome.failed_step));
  procedure["failed_table"] = outcome.failed_table;
  procedure["failed_position"] =
      outcome.failed_position == 0 ? json(nullptr) : json(outcome.failed_position);
  procedure["failed_statement"] =
      outcome.failed_statement.empty() ? json(nullptr) : json(outcome.failed_statement);
  procedure["error"] = outcome.status.number();
  procedure["error_hex"] = Hex(outcome.status.number());
  procedure["message"] = outcome.status.message();
  return procedure;
}

json TableJson(const TableCheck& check) {
  json table = {{"table", check.table}, {"state", SnakeCase(TableStateName(check.state))}};
  if (!check.detail.empty()) table["detail"] = check.detail;
  if (!check.status.ok()) table["message"] = check.status.message();
  return table;
}

json TablesJson(const std::vector<TableCheck>& checks) {
  json tables = json::array();
  for (const TableCheck& check : checks) tables.push_back(TableJson(check));
  return tables;
}

// Indented JSON; bytes that aren't UTF-8 (a Latin-1 file name, a database's
// own message, a cell) become U+FFFD instead of ending the program.
std::string Dump(const json& document, JsonLayout layout) {
  const int indent = layout == JsonLayout::kOneLine ? -1 : 2;
  return document.dump(indent, ' ', false, json::error_handler_t::replace) + "\n";
}

// What the run's and the check's attempts share: where, and what was found.
json LocationJson(const FolderAttempt& location) {
  json entry = {{"folder", location.folder}, {"found", location.folder_found}};
  if (!location.copy_of.empty()) entry["virtual_store_copy_of"] = location.copy_of;
  if (!location.folder_found) {
    entry["probe"] = StatusJson(location.probe);
    return entry;
  }
  entry["database"] = location.database;
  entry["virtual_store_copy"] = OptionalText(location.virtual_store_copy);
  return entry;
}

json AttemptJson(const AttemptReport& attempt) {
  json entry = LocationJson(attempt);
  if (!attempt.folder_found) return entry;
  entry["open"] = StatusJson(attempt.open);
  if (!attempt.opened()) return entry;
  entry["begin"] = StatusJson(attempt.begin);
  json procedures = json::array();
  for (const ProcedureOutcome& outcome : attempt.procedures)
    procedures.push_back(ProcedureJson(outcome));
  entry["procedures"] = procedures;
  entry["commit"] = attempt.commit_attempted ? StatusJson(attempt.commit) : json(nullptr);
  entry["already_patched"] = attempt.already_patched;
  if (attempt.commit_attempted) {
    entry["replaced"] = attempt.replaced;
    entry["reread"] = StatusJson(attempt.reread);
    entry["saved"] = SavedName(attempt.saved());
  }
  entry["verification"] = TablesJson(attempt.verification);
  entry["close"] = StatusJson(attempt.close);
  entry["fully_patched"] = attempt.fully_patched();
  return entry;
}

json CheckAttemptJson(const CheckAttempt& attempt) {
  json entry = LocationJson(attempt);
  if (!attempt.folder_found) return entry;
  entry["open"] = StatusJson(attempt.open);
  if (!attempt.opened()) return entry;
  entry["tables"] = TablesJson(attempt.tables);
  entry["changed_during_check"] = attempt.changed_during_check;
  entry["up_to_date"] = attempt.up_to_date();
  return entry;
}

}  // namespace

std::string RunReportJson(const RunReport& report, int exit_code, JsonLayout layout,
                          const MachineFacts* machine) {
  json document = Header("run", RunOutcome(report), report, machine, exit_code);
  document["confirmed"] = report.confirmed;
  document["succeeded"] = report.succeeded();
  json attempts = json::array();
  for (const AttemptReport& attempt : report.attempts) {
    if (!attempt.folder.empty()) attempts.push_back(AttemptJson(attempt));
  }
  document["attempts"] = attempts;
  return Dump(document, layout);
}

std::string CheckReportJson(const CheckReport& report, int exit_code, JsonLayout layout,
                            std::string_view command, const MachineFacts* machine) {
  json document = Header(command, CheckOutcome(report), report, machine, exit_code);
  document["up_to_date"] = report.up_to_date();
  json attempts = json::array();
  for (const CheckAttempt& attempt : report.attempts) {
    if (!attempt.folder.empty()) attempts.push_back(CheckAttemptJson(attempt));
  }
  document["attempts"] = attempts;
  return Dump(document, layout);
}

}  // namespace telo
