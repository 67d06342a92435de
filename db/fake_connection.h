// FakeConnection: a Connection for tests. It records every call in a shared
// FakeDatabase, keeps the statements of open transactions apart from the
// durable ones (as a real database would), and fails on request: the Open,
// the Nth Execute, an Execute whose text contains a marker, the Nth
// BeginTrans or CommitTrans, the outermost commit, or the Close.
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
};

inline constexpr int32_t kFakeFailure = static_cast<int32_t>(0x80040E14);

struct FakeDatabase {
  FakeFaults faults;
  std::vector<std::string> calls;    // "Open <string>", "Execute <text>", "BeginTrans", ...
  std::vector<std::string> durable;  // statements whose effects were committed
  std::vector<std::string> open_strings;
  std::map<std::string, Rows, std::less<>> query_results;  // canned answers for Query
  int connections_created = 0;
  int open_count = 0;
  int execute_count = 0;
  int begin_count = 0;
  int commit_count = 0;

  ConnectionFactory Factory();
  // Statements executed (successfully or not), in order.
  std::vector<std::string> executed() const;
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
