// FakeConnection: a Connection for tests. It records every call in a shared
// FakeDatabase, keeps the statements of open transactions apart from the
// durable ones (as a real database would), and fails on request: the Open,
// the Nth Execute, an Execute whose text contains a marker, the Nth
// BeginTrans or CommitTrans, the outermost commit, or the Close. Durable
// statements of the patch's own shapes (delete all, insert, update with an
// optional "in" list) are applied to simple tables, so that a query of the
// form "SELECT a, b FROM T [WHERE k IN (1,2)]" reads back what was written.
// The FakeDatabase must outlive every connection made on it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"

namespace telo {

struct FakeFaults {
  bool fail_open = false;
  int fail_open_at = 0;                 // 1-based count of Open calls; 0 = never
  int fail_execute_at = 0;              // 1-based count of Execute calls; 0 = never
  std::string fail_execute_containing;  // "" = never
  int fail_begin_at = 0;                // 1-based count of BeginTrans calls
  int fail_commit_at = 0;               // 1-based count of CommitTrans calls
  bool fail_outermost_commit = false;
  bool fail_close = false;
  std::string drop_execute_containing;  // succeeds but changes nothing
};

inline constexpr int32_t kFakeFailure = static_cast<int32_t>(0x80040E14);

struct FakeTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;  // literals as written
};

struct FakeDatabase {
  FakeFaults faults;
  std::vector<std::string> calls;    // "Open <string>", "Execute <text>", "BeginTrans", ...
  std::vector<std::string> durable;  // statements whose effects were committed
  std::vector<std::string> open_strings;
  std::map<std::string, Rows, std::less<>> query_results;  // canned answers for Query
  std::map<std::string, FakeTable, std::less<>> tables;    // what durable statements wrote
  std::vector<std::string> missing_tables;                 // queries of these fail as missing
  int connections_created = 0;
  int open_count = 0;
  int execute_count = 0;
  int begin_count = 0;
  int commit_count = 0;

  ConnectionFactory Factory();
  // Statements executed (successfully or not), in order.
  std::vector<std::string> executed() const;
  // Makes a statement durable: records it and applies it to `tables`.
  void Persist(const std::string& statement);
  // Answers a SELECT from `tables`; false when the query has another shape.
  bool Select(std::string_view query, Rows* result) const;
};

class FakeConnection : public Connection {
 public:
  explicit FakeConnection(FakeDatabase* database) : db_(database) {}

  Status Open(std::string_view connection_string, std::string_view user, std::string_view password,
              int options) override;
  Status Execute(std::string_view command_text) override;
  Status Query(std::string_view command_text, Rows* result) override;
  Status Close() override;
  Status BeginTrans() override;
  Status CommitTrans() override;
  Status RollbackTrans() override;

 private:
  Status Closed() const;

  FakeDatabase* db_;
  bool open_ = false;
  std::vector<std::vector<std::string>> levels_;  // pending statements per transaction level
};

}  // namespace telo
