// The thirteen patched tables as a Jet fixture, derived from the statements.
#include "testing/ado_double/patch_fixture.h"

#include <algorithm>

#include "base/jet_literals.h"
#include "patch/sequence.h"

namespace telo {
namespace {

bool IsWholeNumber(std::string_view literal) {
  return IsPlainNumberLiteral(literal) && literal.find('.') == std::string_view::npos;
}

std::string TypeOf(std::string_view literal) {
  if (ParseJetDateLiteral(literal)) return "DATETIME";
  return IsWholeNumber(literal) ? "LONG" : "DOUBLE";
}

// A DOUBLE stays a DOUBLE; a LONG column with a fraction somewhere becomes one.
std::string Wider(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  return a == b ? a : "DOUBLE";
}

std::string OldLiteral(const std::string& type) {
  return type == "DATETIME" ? "#01/01/1990#" : "1";
}

FakeTable RefilledTable(const TableStatements& statements) {
  FakeTable table;
  for (std::string_view statement : statements.statements) {
    auto insert = ParseInsertStatement(statement);
    if (!insert) continue;
    table.columns.assign(insert->columns.begin(), insert->columns.end());
    table.types.resize(table.columns.size());
    for (std::size_t i = 0; i < insert->values.size(); ++i) {
      table.types[i] = Wider(table.types[i], TypeOf(insert->values[i]));
    }
  }
  std::vector<std::string>& old_row = table.rows.emplace_back();
  for (const std::string& type : table.types) old_row.push_back(OldLiteral(type));
  return table;
}

void AddColumn(FakeTable* table, std::string_view name, std::string type) {
  if (std::find(table->columns.begin(), table->columns.end(), name) != table->columns.end()) return;
  table->columns.emplace_back(name);
  table->types.push_back(std::move(type));
}

FakeTable UpdatedTable(const TableStatements& statements) {
  FakeTable table;
  std::vector<std::string> keys;
  for (std::string_view statement : statements.statements) {
    auto update = ParseUpdateStatement(statement);
    if (!update) continue;
    if (!update->where_column.empty()) AddColumn(&table, update->where_column, "LONG");
    AddColumn(&table, update->column, "DOUBLE");
    for (std::size_t start = 0; !update->where_list.empty();) {
      const std::size_t comma = update->where_list.find(',', start);
      keys.emplace_back(update->where_list.substr(start, comma - start));
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
  }
  if (keys.empty()) {
    table.rows.emplace_back(table.columns.size(), "1");
    return table;
  }
  int unnamed = 0;
  for (const std::string& key : keys) unnamed = std::max(unnamed, std::stoi(key) + 1);
  keys.push_back(std::to_string(unnamed));  // a row that no update names
  for (const std::string& key : keys) {
    std::vector<std::string>& row = table.rows.emplace_back(table.columns.size(), "1");
    row[0] = key;  // the key column comes first
  }
  return table;
}

}  // namespace

JetFixture PatchedTablesFixture(std::string password) {
  JetFixture fixture;
  fixture.password = std::move(password);
  for (const PatchProcedure* procedure : PatchSequence()) {
    for (const TableStatements& statements : procedure->tables()) {
      fixture.tables[std::string(statements.table)] =
          statements.statements.front().starts_with("Update") ? UpdatedTable(statements)
                                                              : RefilledTable(statements);
    }
  }
  return fixture;
}

Status ApplyWholePatch(FakeTables* tables) {
  FakeRules rules;
  rules.declared_only = true;
  for (std::string_view statement : AllPatchStatements()) {
    if (Status status = ApplyStatement(statement, rules, tables); !status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace telo
