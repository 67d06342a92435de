// FakeConnection: records calls and models transaction levels; see the header.
#include "db/fake_connection.h"

#include <algorithm>
#include <cstdlib>

#include "patch/literals.h"

namespace telo {
namespace {

Status Injected(std::string_view what) {
  return Status::Error(kFakeFailure, "injected failure: " + std::string(what));
}

std::vector<std::string> SplitNames(std::string_view list, std::string_view separator) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = list.find(separator, start);
    names.emplace_back(list.substr(start, end - start));
    if (end == std::string_view::npos) return names;
    start = end + separator.size();
  }
}

Value ValueOf(const std::string& literal) {
  if (auto date = ParseJetDateLiteral(literal)) return date->Iso();
  return std::strtod(literal.c_str(), nullptr);
}

}  // namespace

void FakeDatabase::Persist(const std::string& statement) {
  durable.push_back(statement);
  if (statement.starts_with("Delete From ")) {
    tables[statement.substr(12)].rows.clear();
  } else if (auto insert = ParseInsertStatement(statement)) {
    FakeTable& table = tables[std::string(insert->table)];
    table.columns.assign(insert->columns.begin(), insert->columns.end());
    table.rows.emplace_back(insert->values.begin(), insert->values.end());
  } else if (auto update = ParseUpdateStatement(statement)) {
    FakeTable& table = tables[std::string(update->table)];
    auto column = std::find(table.columns.begin(), table.columns.end(), update->column);
    auto key = std::find(table.columns.begin(), table.columns.end(), update->where_column);
    if (column == table.columns.end()) return;
    const std::vector<std::string> keys = SplitNames(update->where_list, ",");
    for (auto& row : table.rows) {
      if (!update->where_column.empty() &&
          (key == table.columns.end() ||
           std::find(keys.begin(), keys.end(), row[key - table.columns.begin()]) == keys.end())) {
        continue;
      }
      row[column - table.columns.begin()] = update->value;
    }
  }
}

bool FakeDatabase::Select(std::string_view query, Rows* result) const {
  static constexpr std::string_view kSelect = "SELECT ", kFrom = " FROM ", kWhere = " WHERE ",
                                    kIn = " IN (";
  const std::size_t from = query.find(kFrom);
  if (!query.starts_with(kSelect) || from == std::string_view::npos) return false;
  std::string_view table_name = query.substr(from + kFrom.size());
  std::string_view condition;
  if (const std::size_t where = table_name.find(kWhere); where != std::string_view::npos) {
    condition = table_name.substr(where + kWhere.size());
    table_name = table_name.substr(0, where);
  }
  Rows rows;
  rows.columns = SplitNames(query.substr(kSelect.size(), from - kSelect.size()), ", ");
  auto table = tables.find(table_name);
  if (table == tables.end()) {
    *result = rows;
    return true;
  }
  const FakeTable& data = table->second;
  std::string key_column;
  std::vector<std::string> keys;
  if (const std::size_t in = condition.find(kIn); in != std::string_view::npos) {
    key_column = condition.substr(0, in);
    keys =
        SplitNames(condition.substr(in + kIn.size(), condition.size() - in - kIn.size() - 1), ",");
  }
  auto index_of = [&data](const std::string& column) {
    return std::find(data.columns.begin(), data.columns.end(), column) - data.columns.begin();
  };
  for (const auto& row : data.rows) {
    if (!key_column.empty() &&
        std::find(keys.begin(), keys.end(), row[index_of(key_column)]) == keys.end()) {
      continue;
    }
    std::vector<Value> values;
    for (const std::string& column : rows.columns) values.push_back(ValueOf(row[index_of(column)]));
    rows.rows.push_back(std::move(values));
  }
  *result = rows;
  return true;
}

ConnectionFactory FakeDatabase::Factory() {
  return [this]() -> std::unique_ptr<Connection> {
    ++connections_created;
    return std::make_unique<FakeConnection>(this);
  };
}

std::vector<std::string> FakeDatabase::executed() const {
  static constexpr std::string_view kPrefix = "Execute ";
  std::vector<std::string> statements;
  for (const std::string& call : calls) {
    if (call.starts_with(kPrefix)) statements.push_back(call.substr(kPrefix.size()));
  }
  return statements;
}

Status FakeConnection::Closed() const {
  return Status::Error(error::kConnectionClosed,
                       "Operation is not allowed when the object is closed.");
}

Status FakeConnection::Open(std::string_view connection_string, std::string_view user,
                            std::string_view password, int options) {
  db_->calls.push_back("Open " + std::string(connection_string) + " user=" + std::string(user) +
                       " password=" + std::string(password) +
                       " options=" + std::to_string(options));
  const int count = ++db_->open_count;
  if (open_) {
    return Status::Error(error::kConnectionOpen,
                         "Operation is not allowed when the object is open.");
  }
  if (db_->faults.fail_open || count == db_->faults.fail_open_at) return Injected("Open");
  open_ = true;
  db_->open_strings.emplace_back(connection_string);
  return Status::Ok();
}

Status FakeConnection::Execute(std::string_view command_text) {
  db_->calls.push_back("Execute " + std::string(command_text));
  const int count = ++db_->execute_count;
  if (!open_) return Closed();
  const FakeFaults& faults = db_->faults;
  if (count == faults.fail_execute_at ||
      (!faults.fail_execute_containing.empty() &&
       command_text.find(faults.fail_execute_containing) != std::string_view::npos)) {
    return Injected(command_text);
  }
  if (!faults.drop_execute_containing.empty() &&
      command_text.find(faults.drop_execute_containing) != std::string_view::npos) {
    return Status::Ok();
  }
  if (levels_.empty()) {
    db_->Persist(std::string(command_text));
  } else {
    levels_.back().emplace_back(command_text);
  }
  return Status::Ok();
}

Status FakeConnection::Query(std::string_view command_text, Rows* result) {
  db_->calls.push_back("Query " + std::string(command_text));
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
  if (db_->Select(command_text, result)) return Status::Ok();
  return Injected("the fake can't answer " + std::string(command_text));
}

Status FakeConnection::Close() {
  db_->calls.push_back("Close");
  if (!open_) return Closed();
  open_ = false;
  levels_.clear();
  if (db_->faults.fail_close) return Injected("Close");
  return Status::Ok();
}

Status FakeConnection::BeginTrans() {
  db_->calls.push_back("BeginTrans");
  const int count = ++db_->begin_count;
  if (!open_) return Closed();
  if (count == db_->faults.fail_begin_at) return Injected("BeginTrans");
  levels_.emplace_back();
  return Status::Ok();
}

Status FakeConnection::CommitTrans() {
  db_->calls.push_back("CommitTrans");
  const int count = ++db_->commit_count;
  if (!open_) return Closed();
  if (levels_.empty()) return Status::Error(error::kNoTransaction, "No transaction is active.");
  if (count == db_->faults.fail_commit_at ||
      (db_->faults.fail_outermost_commit && levels_.size() == 1)) {
    return Injected("CommitTrans");
  }
  std::vector<std::string> committed = std::move(levels_.back());
  levels_.pop_back();
  if (levels_.empty()) {
    for (const std::string& statement : committed) db_->Persist(statement);
  } else {
    levels_.back().insert(levels_.back().end(), committed.begin(), committed.end());
  }
  return Status::Ok();
}

Status FakeConnection::RollbackTrans() {
  db_->calls.push_back("RollbackTrans");
  if (!open_) return Closed();
  if (levels_.empty()) return Status::Error(error::kNoTransaction, "No transaction is active.");
  levels_.pop_back();
  return Status::Ok();
}

}  // namespace telo
