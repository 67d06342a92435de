// Verification against the patch data; see the header.
#include "app/verify.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <span>

#include "base/jet_literals.h"
#include "patch/sequence.h"

namespace telo {
namespace {

// A number literal as exact decimal text without redundant zeros ("23.660"
// -> "23.66", "012" -> "12", "-0" -> "0"); nullopt for anything that isn't
// digits with at most one point and an optional sign.
std::optional<std::string> CanonicalDecimal(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  for (std::string_view part : {whole, fraction}) {
    for (char c : part) {
      if (c < '0' || c > '9') return std::nullopt;
    }
  }
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  std::string canonical;
  canonical.reserve(whole.size() + fraction.size() + 3);
  if (negative && !(whole.empty() && fraction.empty())) canonical += '-';
  canonical += whole.empty() ? std::string_view("0") : whole;
  if (!fraction.empty()) {
    canonical += '.';
    canonical += fraction;
  }
  return canonical;
}

// The double nearest a canonical decimal, whatever the C locale. A number of
// up to 15 digits is a whole number divided by a power of ten, both exact in
// a double, and one division rounds correctly; the patch's literals are all
// that short.
double NearestDouble(const std::string& canonical) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  int64_t whole = 0;
  int digits = 0;
  int places = -1;
  for (char c : canonical) {
    if (c == '.') {
      places = 0;
      continue;
    }
    if (c == '-') continue;
    whole = whole * 10 + (c - '0');
    ++digits;
    if (places >= 0) ++places;
  }
  if (digits > 15) return std::strtod(canonical.c_str(), nullptr);
  const double number = static_cast<double>(whole) / kPowersOfTen[std::max(places, 0)];
  return canonical.front() == '-' ? -number : number;
}

// One value that a patch statement writes, read once from its literal.
struct ExpectedCell {
  std::string_view literal;
  std::optional<CivilDate> date;  // a date literal
  std::string day;                // its date as "YYYY-MM-DD"
  std::string exact;              // a number literal as canonical decimal text
  double number = 0;              // and as the nearest double
  std::optional<int64_t> whole;   // and as a whole number, when it is one
};

ExpectedCell ReadLiteral(std::string_view literal) {
  ExpectedCell cell;
  cell.literal = literal;
  cell.date = ParseJetDateLiteral(literal);
  if (cell.date) {
    cell.day = cell.date->Iso();
    return cell;
  }
  std::optional<std::string> exact = CanonicalDecimal(literal);
  if (!exact) {  // not a number: no number can hold it
    cell.exact = std::string(literal);
    return cell;
  }
  cell.exact = std::move(*exact);
  cell.number = NearestDouble(cell.exact);
  if (cell.exact.find('.') == std::string::npos && cell.exact.size() < 19) {
    const bool negative = cell.exact.front() == '-';
    int64_t whole = 0;
    for (char digit : std::string_view(cell.exact).substr(negative ? 1 : 0)) {
      whole = whole * 10 + (digit - '0');
    }
    cell.whole = negative ? -whole : whole;
  }
  return cell;
}

using ExpectedRow = std::vector<ExpectedCell>;

// A double read back from a column equals the literal's nearest double;
// a few units in the last place are allowed for another parser's rounding.
bool SameDouble(double actual, double expected) {
  const double scale = std::max(std::fabs(actual), std::fabs(expected));
  return std::fabs(actual - expected) <= scale * 0x1p-50;
}

// A Single holds the float nearest the literal, give or take one step.
bool SameSingle(float actual, double expected) {
  const float wanted = static_cast<float>(expected);
  return actual == wanted || actual == std::nextafter(wanted, HUGE_VALF) ||
         actual == std::nextafter(wanted, -HUGE_VALF);
}

// A date equals the literal's day at midnight.
bool SameDate(std::string_view iso, const std::string& day) {
  return iso == day ||
         (iso.size() == day.size() + 9 && iso.starts_with(day) && iso.ends_with(" 00:00:00"));
}

std::string CurrencyDigits(const Currency& currency) { return ValueText(Value(currency)); }

// Does a value read back hold what the literal writes, judged the way its
// column holds values? Whole numbers, Currency, Decimal and number text must
// equal the literal exactly (1543.3 in a Long Integer column reads back as
// 1543, which is a real difference); Single and Double are compared at their
// own precision; dates by their day, at midnight.
bool Holds(const Value& actual, const ExpectedCell& expected) {
  if (expected.date) {
    if (const auto* date = std::get_if<DateTime>(&actual)) return SameDate(date->iso, expected.day);
    if (const auto* text = std::get_if<std::string>(&actual)) return SameDate(*text, expected.day);
    return false;
  }
  struct Visitor {
    const ExpectedCell& expected;
    bool operator()(std::monostate) const { return false; }
    bool operator()(int64_t number) const { return expected.whole == number; }
    bool operator()(double number) const { return SameDouble(number, expected.number); }
    bool operator()(float number) const { return SameSingle(number, expected.number); }
    bool operator()(const Currency& currency) const {
      return CanonicalDecimal(CurrencyDigits(currency)) == expected.exact;
    }
    bool operator()(const Decimal& decimal) const {
      return CanonicalDecimal(decimal.digits) == expected.exact;
    }
    bool operator()(const DateTime&) const { return false; }
    bool operator()(const std::string& text) const {
      return CanonicalDecimal(text) == expected.exact;
    }
  };
  return std::visit(Visitor{expected}, actual);
}

bool RowHolds(std::span<const Value> actual, const ExpectedRow& expected) {
  if (actual.size() < expected.size()) return false;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (!Holds(actual[i], expected[i])) return false;
  }
  return true;
}

std::size_t CellsHeld(std::span<const Value> actual, const ExpectedRow& expected) {
  std::size_t held = 0;
  for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
    if (Holds(actual[i], expected[i])) ++held;
  }
  return held;
}

// A value the patch writes as people read it: a date by its day, a number
// without redundant zeros.
std::string Shown(const ExpectedCell& cell) { return cell.date ? cell.day : cell.exact; }

// A value read back as people read it; Null is an empty cell.
std::string Shown(const Value& value) {
  return std::holds_alternative<std::monostate>(value) ? "empty" : ValueText(value);
}

bool SameLiteral(const ExpectedCell& first, const ExpectedCell& second) {
  return Shown(first) == Shown(second);
}

// "loanint is 9.6, should be 9.5": one column that doesn't hold its value.
std::string ColumnDiffers(std::string_view column, const Value& actual,
                          const ExpectedCell& expected) {
  return std::string(column) + " is " + Shown(actual) + ", should be " + Shown(expected);
}

// "1 row", "40 rows".
std::string RowCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " row" : " rows");
}

std::string Join(const std::vector<std::string_view>& items, std::string_view separator) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined += separator;
    joined += items[i];
  }
  return joined;
}

// What one update statement leaves in its table: the value it sets, and the
// query that reads that column of the rows it names.
struct ExpectedUpdate {
  UpdateStatement update;
  ExpectedCell wanted;
  std::string query;
};

ExpectedUpdate ReadExpectedUpdate(const UpdateStatement& update) {
  // The key column too, when there is one, so that a differing row can be named.
  std::string query = "SELECT " + std::string(update.column);
  if (!update.where_column.empty()) query += ", " + std::string(update.where_column);
  query += " FROM " + std::string(update.table);
  if (!update.where_column.empty()) {
    query += " WHERE " + std::string(update.where_column) + " IN (" +
             std::string(update.where_list) + ")";
  }
  return {update, ReadLiteral(update.value), std::move(query)};
}

// What a table must hold after the patch. A refilled table: its inserts'
// rows, and the query that reads those columns back. An updated table: its
// updates, and no query of its own.
struct ExpectedTable {
  std::string query;
  std::vector<std::string_view> columns;
  std::vector<ExpectedRow> rows;
  std::vector<ExpectedUpdate> updates;
};

ExpectedTable ReadExpectedTable(const TableStatements& statements) {
  ExpectedTable table;
  table.rows.reserve(statements.statements.size());
  std::vector<std::string_view> columns;
  for (std::string_view statement : statements.statements) {
    if (auto update = ParseUpdateStatement(statement)) {
      table.updates.push_back(ReadExpectedUpdate(*update));
    }
    auto insert = ParseInsertStatement(statement);
    if (!insert) continue;
    columns = insert->columns;
    ExpectedRow& row = table.rows.emplace_back();
    row.reserve(insert->values.size());
    for (std::string_view literal : insert->values) row.push_back(ReadLiteral(literal));
  }
  if (!columns.empty()) {
    table.query = "SELECT " + Join(columns, ", ") + " FROM " + std::string(statements.table);
  }
  table.columns = std::move(columns);
  return table;
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
  check.state = status.IsNoSuchTable() ? TableState::kMissing : TableState::kUnreadable;
  check.status = std::move(status);
  return check;
}

// How a user finds an expected row: "row from 1993-09-02", with as many of
// the values that the row read back holds as it takes to tell it from every
// other row the patch writes ("row from 2012-04-01, matpdyr 3").
std::string RowLabel(const ExpectedTable& table, const ExpectedRow& row,
                     std::span<const Value> actual) {
  std::vector<const ExpectedRow*> alike;
  for (const ExpectedRow& other : table.rows) {
    if (&other != &row && SameLiteral(other[0], row[0])) alike.push_back(&other);
  }
  std::string label = row[0].date
                          ? "row from " + row[0].day
                          : "row with " + std::string(table.columns[0]) + " " + Shown(row[0]);
  for (std::size_t column = 1; column < row.size() && !alike.empty(); ++column) {
    if (column >= actual.size() || !Holds(actual[column], row[column])) continue;
    const std::size_t before = alike.size();
    std::erase_if(alike, [&](const ExpectedRow* other) {
      return !SameLiteral((*other)[column], row[column]);
    });
    if (alike.size() == before) continue;
    label += column == 1 && row[0].date && row[1].date
                 ? " to " + row[1].day
                 : ", " + std::string(table.columns[column]) + " " + Shown(row[column]);
  }
  return label;
}

// "row from 1993-09-02: loanint is 9.6, should be 9.5", every column that
// differs named.
std::string RowDiffers(const ExpectedTable& table, const ExpectedRow& row,
                       std::span<const Value> actual) {
  std::string differs;
  for (std::size_t column = 0; column < row.size(); ++column) {
    const Value value = column < actual.size() ? actual[column] : Value{};
    if (Holds(value, row[column])) continue;
    differs +=
        (differs.empty() ? "" : "; ") + ColumnDiffers(table.columns[column], value, row[column]);
  }
  return RowLabel(table, row, actual) + ": " + differs;
}

// Pairs every expected row with a row read back, in any order; rows come
// back in the order they were written, so the first guess nearly always holds.
TableCheck CompareRows(TableCheck check, const ExpectedTable& table, const Rows& actual) {
  const std::vector<ExpectedRow>& expected = table.rows;
  if (expected.size() != actual.size()) {
    check.state = TableState::kDiffers;
    check.detail = RowCount(actual.size()) + ", should be " + std::to_string(expected.size());
    return check;
  }
  std::vector<bool> paired(actual.size(), false);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    std::size_t match = i;
    if (paired[i] || !RowHolds(actual[i], expected[i])) {
      match = 0;
      while (match < actual.size() && (paired[match] || !RowHolds(actual[match], expected[i]))) {
        ++match;
      }
    }
    if (match < actual.size()) {
      paired[match] = true;
      continue;
    }
    std::size_t nearest = actual.size();
    for (std::size_t j = 0; j < actual.size(); ++j) {
      if (paired[j]) continue;
      if (nearest == actual.size() ||
          CellsHeld(actual[j], expected[i]) > CellsHeld(actual[nearest], expected[i])) {
        nearest = j;
      }
    }
    check.state = TableState::kDiffers;
    check.detail = RowDiffers(table, expected[i], actual[nearest]);
    return check;
  }
  return check;
}

// The expected contents of every patched table, read from the statement
// constants once per process.
const ExpectedTable& ExpectedTableFor(const TableStatements& statements) {
  static const std::map<std::string_view, ExpectedTable> tables = [] {
    std::map<std::string_view, ExpectedTable> all;
    for (const PatchProcedure* procedure : PatchSequence()) {
      for (const TableStatements& table : procedure->tables()) {
        all.emplace(table.table, ReadExpectedTable(table));
      }
    }
    return all;
  }();
  return tables.at(statements.table);
}

TableCheck CheckRefilledTable(Connection& connection, const TableStatements& statements) {
  TableCheck check;
  check.table = statements.table;
  const ExpectedTable& expected = ExpectedTableFor(statements);
  Rows rows;
  Status status = connection.Query(expected.query, &rows);
  if (!status.ok()) return ReadFailure(check, status);
  return CompareRows(check, expected, rows);
}

// "no row for scheme 2, 4, 5 to update", from the update's own criteria.
std::string NoRowToUpdate(const UpdateStatement& update) {
  if (update.where_column.empty()) return "no row to update";
  std::string keys;
  for (char c : update.where_list) {
    if (c == ' ') continue;
    keys += c;
    if (c == ',') keys += ' ';
  }
  return "no row for " + std::string(update.where_column) + " " + keys + " to update";
}

// An updated table is up to date when every row that an update names holds
// its value, and each update named a row that the table has; an update that
// named none is a warning.
TableCheck CheckUpdatedTable(Connection& connection, const TableStatements& statements) {
  TableCheck check;
  check.table = statements.table;
  std::string unmatched;
  for (const ExpectedUpdate& expected : ExpectedTableFor(statements).updates) {
    Rows rows;
    Status status = connection.Query(expected.query, &rows);
    if (!status.ok()) return ReadFailure(check, status);
    if (rows.size() == 0) {
      unmatched += (unmatched.empty() ? "" : "; ") + NoRowToUpdate(expected.update);
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
      const Value& value = rows[row][0];
      if (Holds(value, expected.wanted)) continue;
      const UpdateStatement& update = expected.update;
      check.state = TableState::kDiffers;
      check.detail = ColumnDiffers(update.column, value, expected.wanted);
      if (!update.where_column.empty() && rows.columns.size() > 1) {
        check.detail = "row for " + std::string(update.where_column) + " " + Shown(rows[row][1]) +
                       ": " + check.detail;
      }
      return check;
    }
  }
  if (!unmatched.empty()) {
    check.state = TableState::kNoRowToUpdate;
    check.detail = std::move(unmatched);
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
    case TableState::kNoRowToUpdate:
      return "no row to update";
  }
  return "unknown";
}

std::string DescribeTable(const TableCheck& check) {
  const std::string table(check.table);
  std::string reason = check.status.message();
  while (!reason.empty() &&
         (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
    reason.pop_back();
  const std::string because = reason.empty() ? "" : ": " + reason;
  switch (check.state) {
    case TableState::kUpToDate:
      return table + ": up to date";
    case TableState::kDiffers:
      return table + (check.detail.starts_with("row ") ? " differs in the " : " differs: ") +
             check.detail;
    case TableState::kMissing:
      return table + " is missing from the database" + because;
    case TableState::kUnreadable:
      return table + " could not be read" + because;
    case TableState::kNoRowToUpdate:
      return table + ": " + check.detail;
  }
  return table + ": " + std::string(TableStateName(check.state));
}

bool HoldsThePatch(TableState state) {
  return state == TableState::kUpToDate || state == TableState::kNoRowToUpdate;
}

bool TablesHoldThePatch(const std::vector<TableCheck>& checks) {
  return !checks.empty() && std::all_of(checks.begin(), checks.end(), [](const TableCheck& check) {
    return HoldsThePatch(check.state);
  });
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
