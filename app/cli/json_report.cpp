// JSON forms of the reports, built with nlohmann::json.
#include "app/cli/json_report.h"

#include <nlohmann/json.hpp>

#include "patch/sequence.h"

namespace telo {
namespace {

using nlohmann::json;

json StatusJson(const Status& status) {
  return {{"ok", status.ok()}, {"error", status.number()}, {"message", status.message()}};
}

json Header(std::string_view command, std::optional<char> drive, int exit_code) {
  return {{"command", command},
          {"version", kProgramVersion},
          {"patch_checksum", PatchChecksum()},
          {"drive", drive ? json(std::string(1, *drive)) : json(nullptr)},
          {"exit_code", exit_code}};
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
  procedure["failed_step"] = FailedStepName(outcome.failed_step);
  procedure["failed_table"] = outcome.failed_table;
  procedure["failed_position"] =
      outcome.failed_position == 0 ? json(nullptr) : json(outcome.failed_position);
  procedure["failed_statement"] =
      outcome.failed_statement.empty() ? json(nullptr) : json(outcome.failed_statement);
  procedure["error"] = outcome.status.number();
  procedure["message"] = outcome.status.message();
  return procedure;
}

json TableJson(const TableCheck& check) {
  json table = {{"table", check.table}, {"state", TableStateName(check.state)}};
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
std::string Dump(const json& document) {
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

json OptionalText(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

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

std::string RunReportJson(const RunReport& report, int exit_code) {
  json document = Header("run", report.drive, exit_code);
  document["confirmed"] = report.confirmed;
  document["succeeded"] = report.succeeded();
  json attempts = json::array();
  for (const AttemptReport& attempt : report.attempts) {
    if (!attempt.folder.empty()) attempts.push_back(AttemptJson(attempt));
  }
  document["attempts"] = attempts;
  return Dump(document);
}

std::string CheckReportJson(const CheckReport& report, int exit_code) {
  json document = Header("check", report.drive, exit_code);
  document["up_to_date"] = report.up_to_date();
  json attempts = json::array();
  for (const CheckAttempt& attempt : report.attempts) {
    if (!attempt.folder.empty()) attempts.push_back(CheckAttemptJson(attempt));
  }
  document["attempts"] = attempts;
  return Dump(document);
}

}  // namespace telo
