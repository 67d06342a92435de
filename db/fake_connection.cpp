// FakeConnection: records calls and models transaction levels; see the header.
#include "db/fake_connection.h"

namespace telo {
namespace {

Status Injected(std::string_view what) {
  return Status::Error(kFakeFailure, "injected failure: " + std::string(what));
}

}  // namespace

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
  if (levels_.empty()) {
    db_->durable.emplace_back(command_text);
  } else {
    levels_.back().emplace_back(command_text);
  }
  return Status::Ok();
}

Status FakeConnection::Query(std::string_view command_text, Rows* result) {
  db_->calls.push_back("Query " + std::string(command_text));
  if (!open_) return Closed();
  auto found = db_->query_results.find(command_text);
  if (found == db_->query_results.end()) return Injected("no canned rows for the query");
  *result = found->second;
  return Status::Ok();
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
  std::vector<std::string>& target = levels_.empty() ? db_->durable : levels_.back();
  target.insert(target.end(), committed.begin(), committed.end());
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
