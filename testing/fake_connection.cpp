// FakeConnection, FakeSession and the statements on fake tables; see the header.
#include "testing/fake_connection.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "base/jet_literals.h"
#include "base/jet_types.h"
#include "base/text.h"

namespace telo {
namespace {

// DB_E_PARAMNOTOPTIONAL: Jet takes a name it doesn't know for a parameter.
constexpr int32_t kMissingParameter = static_cast<int32_t>(0x80040E10);
// DB_E_CANTCONVERTVALUE: Jet's error 3464, a data type mismatch.
constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80040E07);
constexpr std::string_view kNull = "Null";

Status NoSuchTable(std::string_view table) {
  return Status::Error(error::kNoSuchTable,
                       "The Microsoft Jet database engine cannot find the input table or query '" +
                           std::string(table) +
                           "'.  Make sure it exists and that its name is spelled correctly.");
}

Status UnknownInsertField(std::string_view column) {
  return Status::Error(error::kCommandError,
                       "The INSERT INTO statement contains the following unknown field name: '" +
                           std::string(column) +
                           "'.  Make sure you have typed the name correctly, and try the "
                           "operation again.");
}

Status MissingParameter() {
  return Status::Error(kMissingParameter, "No value given for one or more required parameters.");
}

Status CriteriaMismatch() {
  return Status::Error(kTypeMismatch, "Data type mismatch in criteria expression.");
}

Status Rejected() {
  return Status::Error(
      error::kUnspecifiedFailure,
      "The changes you requested to the table were not successful because they would create "
      "duplicate values in the index, primary key, or relationship.  Change the data in the field "
      "or fields that contain duplicate data, remove the index, or redefine the index to permit "
      "duplicate entries and try again.");
}

Status Unsupported(const FakeRules& rules, std::string_view statement) {
  return Status::Error(
      error::kCommandError,
      rules.runner + " doesn't run statements of this shape: '" + std::string(statement) + "'");
}

// Two literals name the same value: the same text, or the same number.
bool SameLiteral(std::string_view a, std::string_view b) {
  if (a == b) return true;
  return IsPlainNumberLiteral(a) && IsPlainNumberLiteral(b) &&
         std::strtod(std::string(a).c_str(), nullptr) ==
             std::strtod(std::string(b).c_str(), nullptr);
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::vector<std::string> SplitList(std::string_view list) {
  std::vector<std::string> items;
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    items.emplace_back(Trimmed(list.substr(start, comma - start)));
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

template <typename Tables>
auto FindTable(Tables& tables, std::string_view name) -> decltype(&tables.begin()->second) {
  if (auto exact = tables.find(name); exact != tables.end()) return &exact->second;
  for (auto& [table_name, table] : tables) {
    if (EqualsIgnoreCase(table_name, name)) return &table;
  }
  return nullptr;
}

std::optional<std::size_t> ColumnIndex(const FakeTable& table, std::string_view column) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (EqualsIgnoreCase(table.columns[i], column)) return i;
  }
  return std::nullopt;
}

std::size_t AddColumn(FakeTable* table, std::string_view column) {
  table->columns.emplace_back(column);
  if (!table->types.empty()) table->types.emplace_back();
  for (auto& row : table->rows) row.emplace_back(kNull);
  return table->columns.size() - 1;
}

// The table a statement writes; undeclared tables are made unless declared_only.
Status TableFor(std::string_view name, const FakeRules& rules, FakeTables* tables,
                FakeTable** table) {
  *table = FindTable(*tables, name);
  if (*table != nullptr) return Status::Ok();
  if (rules.declared_only) return NoSuchTable(name);
  *table = &(*tables)[std::string(name)];
  return Status::Ok();
}

// Whether `literal` may be stored in column `index`: its type accepts it and
// the table doesn't refuse it.
Status CheckWrite(const FakeRules& rules, const FakeTable& table, std::size_t index,
                  std::string_view literal) {
  if (rules.check_value && index < table.types.size() && literal != kNull) {
    if (Status accepted = rules.check_value(table.types[index], literal); !accepted.ok()) {
      return accepted;
    }
  }
  for (const FakeRejection& rejection : table.rejections) {
    if (EqualsIgnoreCase(rejection.column, table.columns[index]) &&
        SameLiteral(rejection.literal, literal)) {
      return Rejected();
    }
  }
  return Status::Ok();
}

bool IsQuotedText(std::string_view literal) {
  return literal.size() >= 2 && (literal.front() == '\'' || literal.front() == '"') &&
         literal.back() == literal.front();
}

// Jet compares a TEXT column only with text, and a number column never with
// text; it refuses any other comparison before it reads a row. An untyped
// column compares with anything.
Status CheckCriteria(const FakeTable& table, std::size_t key,
                     const std::vector<std::string>& keys) {
  if (key >= table.types.size()) return Status::Ok();
  const JetType type = ParseJetColumnType(table.types[key]).type;
  if (type == JetType::kUnknown || type == JetType::kDateTime) return Status::Ok();
  for (const std::string& literal : keys) {
    if (EqualsIgnoreCase(literal, kNull)) continue;
    if ((type == JetType::kText) != IsQuotedText(literal)) return CriteriaMismatch();
  }
  return Status::Ok();
}

// The declared type's first word names an AutoNumber column.
bool IsAutoNumber(std::string_view declared) {
  const std::string_view word = declared.substr(0, declared.find(' '));
  return EqualsIgnoreCase(word, "COUNTER") || EqualsIgnoreCase(word, "AUTOINCREMENT");
}

// An AutoNumber's next value: one more than the highest it holds, from 1.
std::string NextAutoNumber(const FakeTable& table, std::size_t index) {
  long highest = 0;
  for (const auto& row : table.rows) {
    if (row[index] != kNull)
      highest = std::max(highest, std::strtol(row[index].c_str(), nullptr, 10));
  }
  return std::to_string(highest + 1);
}

// What Jet stores in a column that an insert doesn't name: the next
// AutoNumber, the declared default, or Null.
std::string UnnamedValue(const FakeTable& table, std::size_t index) {
  if (index >= table.types.size()) return std::string(kNull);
  if (IsAutoNumber(table.types[index])) return NextAutoNumber(table, index);
  return std::string(DeclaredDefault(table.types[index]).value_or(kNull));
}

bool KeyListed(std::string_view key, const std::vector<std::string>& keys) {
  return std::any_of(keys.begin(), keys.end(),
                     [key](const std::string& listed) { return SameLiteral(key, listed); });
}

// "Delete From T": the table, or "" for another shape.
std::string_view DeleteTarget(std::string_view statement) {
  static constexpr std::string_view kHead = "Delete From ";
  if (!statement.starts_with(kHead)) return {};
  const std::string_view table = statement.substr(kHead.size());
  return table.find(' ') == std::string_view::npos ? table : std::string_view{};
}

Status ApplyDelete(std::string_view name, const FakeRules& rules, FakeTables* tables, long* count) {
  FakeTable* table = nullptr;
  if (Status found = TableFor(name, rules, tables, &table); !found.ok()) return found;
  *count = static_cast<long>(table->rows.size());
  table->rows.clear();
  return Status::Ok();
}

Status ApplyInsert(const InsertStatement& insert, const FakeRules& rules, FakeTables* tables,
                   long* count) {
  FakeTable* table = nullptr;
  if (Status found = TableFor(insert.table, rules, tables, &table); !found.ok()) return found;
  std::vector<std::size_t> indexes;
  for (std::string_view column : insert.columns) {
    std::optional<std::size_t> index = ColumnIndex(*table, column);
    if (!index && rules.declared_only) return UnknownInsertField(column);
    indexes.push_back(index ? *index : AddColumn(table, column));
  }
  std::vector<std::string> row(table->columns.size());
  for (std::size_t i = 0; i < indexes.size(); ++i) row[indexes[i]] = insert.values[i];
  for (std::size_t i = 0; i < row.size(); ++i) {
    const bool named = std::find(indexes.begin(), indexes.end(), i) != indexes.end();
    if (!named) row[i] = UnnamedValue(*table, i);
    if (Status ok = CheckWrite(rules, *table, i, row[i]); !ok.ok()) return ok;
  }
  table->rows.push_back(std::move(row));
  *count = 1;
  return Status::Ok();
}

Status ApplyUpdate(const UpdateStatement& update, const FakeRules& rules, FakeTables* tables,
                   long* count) {
  FakeTable* table = nullptr;
  if (Status found = TableFor(update.table, rules, tables, &table); !found.ok()) return found;
  const std::optional<std::size_t> column = ColumnIndex(*table, update.column);
  std::optional<std::size_t> key;
  if (!update.where_column.empty()) key = ColumnIndex(*table, update.where_column);
  if (!column || (!update.where_column.empty() && !key)) {
    // An undeclared table has no rows with that column to change.
    return rules.declared_only ? MissingParameter() : Status::Ok();
  }
  const std::vector<std::string> keys = SplitList(update.where_list);
  if (key) {
    if (Status comparable = CheckCriteria(*table, *key, keys); !comparable.ok()) return comparable;
  }
  std::vector<std::vector<std::string>*> chosen;
  for (auto& row : table->rows) {
    if (!key || KeyListed(row[*key], keys)) chosen.push_back(&row);
  }
  if (!chosen.empty()) {
    if (Status ok = CheckWrite(rules, *table, *column, update.value); !ok.ok()) return ok;
  }
  for (auto* row : chosen) (*row)[*column] = update.value;
  *count = static_cast<long>(chosen.size());
  return Status::Ok();
}

struct SelectQuery {
  std::vector<std::string> columns;
  std::string_view table;
  std::string_view key_column;  // "" when every row is read
  std::vector<std::string> keys;
};

// "SELECT a, b FROM T" or "SELECT a FROM T WHERE k IN (1,2)".
std::optional<SelectQuery> ParseSelect(std::string_view query) {
  static constexpr std::string_view kSelect = "SELECT ", kFrom = " FROM ", kWhere = " WHERE ",
                                    kIn = " IN (";
  const std::size_t from = query.find(kFrom);
  if (!query.starts_with(kSelect) || from == std::string_view::npos) return std::nullopt;
  SelectQuery parsed;
  parsed.columns = SplitList(query.substr(kSelect.size(), from - kSelect.size()));
  parsed.table = query.substr(from + kFrom.size());
  if (const std::size_t where = parsed.table.find(kWhere); where != std::string_view::npos) {
    const std::string_view condition = parsed.table.substr(where + kWhere.size());
    parsed.table = parsed.table.substr(0, where);
    const std::size_t in = condition.find(kIn);
    if (in == std::string_view::npos || !condition.ends_with(")")) return std::nullopt;
    parsed.key_column = condition.substr(0, in);
    parsed.keys =
        SplitList(condition.substr(in + kIn.size(), condition.size() - in - kIn.size() - 1));
  }
  if (parsed.table.empty() || parsed.table.find(' ') != std::string_view::npos) return std::nullopt;
  return parsed;
}

Value ValueOf(const std::string& literal) {
  if (literal == kNull) return std::monostate{};
  if (auto date = ParseJetDateLiteral(literal)) return date->Iso();
  return std::strtod(literal.c_str(), nullptr);
}

}  // namespace

std::optional<std::string_view> DeclaredDefault(std::string_view declared) {
  static constexpr std::string_view kDefault = " DEFAULT ";
  for (std::size_t at = 0; at + kDefault.size() <= declared.size(); ++at) {
    if (EqualsIgnoreCase(declared.substr(at, kDefault.size()), kDefault)) {
      return Trimmed(declared.substr(at + kDefault.size()));
    }
  }
  return std::nullopt;
}

Status ApplyStatement(std::string_view statement, const FakeRules& rules, FakeTables* tables,
                      long* affected) {
  long count = 0;
  Status status;
  if (std::string_view table = DeleteTarget(statement); !table.empty()) {
    status = ApplyDelete(table, rules, tables, &count);
  } else if (auto insert = ParseInsertStatement(statement)) {
    status = ApplyInsert(*insert, rules, tables, &count);
  } else if (auto update = ParseUpdateStatement(statement)) {
    status = ApplyUpdate(*update, rules, tables, &count);
  } else {
    status = Unsupported(rules, statement);
  }
  if (affected != nullptr) *affected = status.ok() ? count : 0;
  return status;
}

Status SelectLiterals(std::string_view query, const FakeRules& rules, const FakeTables& tables,
                      FakeSelection* result) {
  *result = FakeSelection{};
  std::optional<SelectQuery> select = ParseSelect(query);
  if (!select) return Unsupported(rules, query);
  const FakeTable* table = FindTable(tables, select->table);
  if (table == nullptr && rules.declared_only) return NoSuchTable(select->table);
  static const FakeTable kNoTable;
  if (table == nullptr) table = &kNoTable;  // an undeclared table reads as empty

  std::vector<std::optional<std::size_t>> indexes;
  for (const std::string& column : select->columns) {
    indexes.push_back(ColumnIndex(*table, column));
    if (!indexes.back() && rules.declared_only) return MissingParameter();
    result->columns.push_back(column);
    result->types.push_back(indexes.back() && *indexes.back() < table->types.size()
                                ? table->types[*indexes.back()]
                                : "");
  }
  std::optional<std::size_t> key;
  if (!select->key_column.empty()) {
    key = ColumnIndex(*table, select->key_column);
    if (!key && rules.declared_only) return MissingParameter();
    if (key) {
      if (Status comparable = CheckCriteria(*table, *key, select->keys); !comparable.ok()) {
        return comparable;
      }
    }
  }
  for (const auto& row : table->rows) {
    if (!select->key_column.empty() && (!key || !KeyListed(row[*key], select->keys))) continue;
    std::vector<std::string>& literals = result->rows.emplace_back();
    for (const auto& index : indexes) literals.push_back(index ? row[*index] : std::string(kNull));
  }
  return Status::Ok();
}

Status FakeDatabase::Persist(const std::string& statement, long* affected) {
  Status status = ApplyStatement(statement, rules, &tables, affected);
  if (status.ok()) durable.push_back(statement);
  return status;
}

ConnectionFactory FakeDatabase::Factory() {
  return [this]() -> std::unique_ptr<Connection> {
    ++connections_created;
    return std::make_unique<FakeConnection>(this);
  };
}

Status FakeSession::Execute(std::string_view statement, long* affected) {
  if (levels_.empty()) return db_->Persist(std::string(statement), affected);
  Status status = ApplyStatement(statement, db_->rules, &working_, affected);
  if (status.ok()) levels_.back().statements.emplace_back(statement);
  return status;
}

void FakeSession::Begin() {
  FakeTables current = tables();
  levels_.push_back(Level{current, {}});
  working_ = std::move(current);
}

Status FakeSession::Commit() {
  if (levels_.empty()) return Status::Error(error::kNoTransaction, "No transaction is active.");
  std::vector<std::string> statements = std::move(levels_.back().statements);
  levels_.pop_back();
  if (!levels_.empty()) {
    auto& outer = levels_.back().statements;
    outer.insert(outer.end(), statements.begin(), statements.end());
    return Status::Ok();
  }
  working_.clear();
  for (const std::string& statement : statements) {
    if (Status status = db_->Persist(statement); !status.ok()) return status;
  }
  return Status::Ok();
}

Status FakeSession::Rollback() {
  if (levels_.empty()) return Status::Error(error::kNoTransaction, "No transaction is active.");
  working_ = std::move(levels_.back().before);
  levels_.pop_back();
  if (levels_.empty()) working_.clear();
  return Status::Ok();
}

void FakeSession::RollbackAll() {
  levels_.clear();
  working_.clear();
}

Status FakeConnection::Closed() const {
  return Status::Error(error::kConnectionClosed,
                       "Operation is not allowed when the object is closed.");
}

Status FakeConnection::Open(std::string_view, std::string_view, std::string_view, int) {
  if (open_) {
    return Status::Error(error::kConnectionOpen,
                         "Operation is not allowed when the object is open.");
  }
  open_ = true;
  return Status::Ok();
}

Status FakeConnection::Execute(std::string_view command_text) {
  if (!open_) return Closed();
  return session_.Execute(command_text);
}

Status FakeConnection::Query(std::string_view command_text, Rows* result) {
  result->columns.clear();
  result->cells.clear();
  if (!open_) return Closed();
  for (const std::string& table : db_->missing_tables) {
    if (command_text.find(" FROM " + table) != std::string_view::npos) {
      return Status::Error(error::kNoSuchTable, "no such table: " + table);
    }
  }
  auto found = db_->query_results.find(command_text);
  if (found != db_->query_results.end()) {
    *result = found->second;
    return Status::Ok();
  }
  FakeSelection selection;
  Status status = SelectLiterals(command_text, db_->rules, session_.tables(), &selection);
  if (!status.ok()) return status;
  result->columns = std::move(selection.columns);
  for (const auto& literals : selection.rows) {
    for (const std::string& literal : literals) result->cells.push_back(ValueOf(literal));
  }
  return Status::Ok();
}

Status FakeConnection::Close() {
  if (!open_) return Closed();
  open_ = false;
  session_.RollbackAll();
  return Status::Ok();
}

Status FakeConnection::BeginTrans() {
  if (!open_) return Closed();
  session_.Begin();
  return Status::Ok();
}

Status FakeConnection::CommitTrans() {
  if (!open_) return Closed();
  return session_.Commit();
}

Status FakeConnection::RollbackTrans() {
  if (!open_) return Closed();
  return session_.Rollback();
}

}  // namespace telo
