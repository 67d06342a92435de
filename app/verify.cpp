// Verification against the patch data; see the header.
#include "app/verify.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "patch/literals.h"
#include "patch/sequence.h"

namespace telo {
namespace {

// One cell in a form that compares by value: a date as ISO text, a number
// as a double. `text` keeps what could not be read as either.
struct Cell {
  bool is_number = false;
  double number = 0;
  std::string text;
};

using Row = std::vector<Cell>;

bool SameCell(const Cell& a, const Cell& b) {
  if (a.is_number != b.is_number) return false;
  if (!a.is_number) return a.text == b.text;
  const double scale = std::max({1.0, std::fabs(a.number), std::fabs(b.number)});
  return std::fabs(a.number - b.number) <= 1e-9 * scale;
}

bool CellLess(const Cell& a, const Cell& b) {
  if (a.is_number != b.is_number) return a.is_number;
  return a.is_number ? a.number < b.number : a.text < b.text;
}

bool RowLess(const Row& a, const Row& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), CellLess);
}

Cell NumberCell(double value) { return Cell{true, value, {}}; }

Cell ExpectedCell(std::string_view literal) {
  if (auto date = ParseJetDateLiteral(literal)) return Cell{false, 0, date->Iso()};
  return NumberCell(std::strtod(std::string(literal).c_str(), nullptr));
}

std::optional<double> NumberFromText(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

// Reads a database value the way the expected cell is written: dates as
// their day (a midnight time is dropped), numbers as numbers.
Cell ActualCell(const Value& value, const Cell& like) {
  if (std::holds_alternative<int64_t>(value)) {
    return NumberCell(static_cast<double>(std::get<int64_t>(value)));
  }
  if (std::holds_alternative<double>(value)) return NumberCell(std::get<double>(value));
  if (!std::holds_alternative<std::string>(value)) return Cell{false, 0, "Null"};
  const std::string& text = std::get<std::string>(value);
  if (like.is_number) {
    if (auto number = NumberFromText(text)) return NumberCell(*number);
    return Cell{false, 0, text};
  }
  if (text.size() == 19 && text.ends_with(" 00:00:00")) return Cell{false, 0, text.substr(0, 10)};
  return Cell{false, 0, text};
}

std::string Show(const Row& row) {
  std::string shown = "(";
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) shown += ", ";
    if (!row[i].is_number) {
      shown += row[i].text;
      continue;
    }
    char number[32];
    std::snprintf(number, sizeof number, "%.10g", row[i].number);
    shown += number;
  }
  return shown + ")";
}

std::string Join(const std::vector<std::string_view>& items, std::string_view separator) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined += separator;
    joined += items[i];
  }
  return joined;
}

const TableStatements* FindTable(std::string_view table) {
  for (const PatchProcedure* procedure : PatchSequence()) {
    for (const TableStatements& statements : procedure->tables()) {
      if (statements.table == table) return &statements;
    }
  }
  return nullptr;
}

TableCheck ReadFailure(TableCheck check, Status status) {
  check.state =
      status.number() == error::kNoSuchTable ? TableState::kMissing : TableState::kUnreadable;
  check.status = std::move(status);
  return check;
}

TableCheck CompareRows(TableCheck check, std::vector<Row> expected, std::vector<Row> actual) {
  if (expected.size() != actual.size()) {
    check.state = TableState::kDiffers;
    check.detail = std::to_string(actual.size()) + " rows where the patch writes " +
                   std::to_string(expected.size());
    return check;
  }
  std::sort(expected.begin(), expected.end(), RowLess);
  std::sort(actual.begin(), actual.end(), RowLess);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (!std::equal(expected[i].begin(), expected[i].end(), actual[i].begin(), actual[i].end(),
                    SameCell)) {
      check.state = TableState::kDiffers;
      check.detail = "row " + Show(actual[i]) + " where the patch writes " + Show(expected[i]);
      return check;
    }
  }
  return check;
}

TableCheck CheckRefilledTable(Connection& connection, const TableStatements& statements) {
  TableCheck check;
  check.table = statements.table;
  std::vector<Row> expected;
  std::vector<std::string_view> columns;
  for (std::string_view statement : statements.statements) {
    auto insert = ParseInsertStatement(statement);
    if (!insert) continue;
    columns = insert->columns;
    Row row;
    for (std::string_view literal : insert->values) row.push_back(ExpectedCell(literal));
    expected.push_back(std::move(row));
  }
  Rows rows;
  Status status = connection.Query(
      "SELECT " + Join(columns, ", ") + " FROM " + std::string(statements.table), &rows);
  if (!status.ok()) return ReadFailure(check, status);
  std::vector<Row> actual;
  for (const std::vector<Value>& values : rows.rows) {
    Row row;
    for (std::size_t i = 0; i < values.size() && i < expected.front().size(); ++i) {
      row.push_back(ActualCell(values[i], expected.front()[i]));
    }
    actual.push_back(std::move(row));
  }
  return CompareRows(check, std::move(expected), std::move(actual));
}

// An updated table is up to date when every row that an update names holds
// its value.
TableCheck CheckUpdatedTable(Connection& connection, const TableStatements& statements) {
  TableCheck check;
  check.table = statements.table;
  for (std::string_view statement : statements.statements) {
    auto update = ParseUpdateStatement(statement);
    if (!update) continue;
    std::string query =
        "SELECT " + std::string(update->column) + " FROM " + std::string(update->table);
    if (!update->where_column.empty()) {
      query += " WHERE " + std::string(update->where_column) + " IN (" +
               std::string(update->where_list) + ")";
    }
    Rows rows;
    Status status = connection.Query(query, &rows);
    if (!status.ok()) return ReadFailure(check, status);
    const Cell wanted = ExpectedCell(update->value);
    for (const std::vector<Value>& values : rows.rows) {
      const Cell actual = ActualCell(values.at(0), wanted);
      if (!SameCell(actual, wanted)) {
        check.state = TableState::kDiffers;
        check.detail = std::string(update->column) + " " + Show({actual}) +
                       " where the patch sets " + Show({wanted});
        if (!update->where_column.empty()) {
          check.detail += " for " + std::string(update->where_column) + " in (" +
                          std::string(update->where_list) + ")";
        }
        return check;
      }
    }
  }
  return check;
}

}  // namespace

std::string_view TableStateName(TableState state) {
  switch (state) {
    case TableState::kUpToDate:
      return "up to date";
    case TableState::kDiffers:
      return "differs";
    case TableState::kMissing:
      return "missing";
    case TableState::kUnreadable:
      return "unreadable";
  }
  return "unknown";
}

std::vector<std::string_view> PatchedTables() {
  std::vector<std::string_view> tables;
  for (const PatchProcedure* procedure : PatchSequence()) {
    for (const TableStatements& statements : procedure->tables())
      tables.push_back(statements.table);
  }
  return tables;
}

TableCheck CheckTable(Connection& connection, std::string_view table) {
  const TableStatements* statements = FindTable(table);
  if (statements == nullptr) {
    return {table, TableState::kUnreadable, "",
            Status::Error(error::kInvalidArgument, "not a patched table")};
  }
  if (statements->statements.front().starts_with("Update")) {
    return CheckUpdatedTable(connection, *statements);
  }
  return CheckRefilledTable(connection, *statements);
}

std::vector<TableCheck> CheckTables(Connection& connection,
                                    const std::vector<std::string_view>& tables) {
  std::vector<TableCheck> checks;
  for (std::string_view table : tables) checks.push_back(CheckTable(connection, table));
  return checks;
}

}  // namespace telo
