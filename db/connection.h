// Connection: the one way a statement reaches the host database.
//
// It mirrors the part of an ADO Connection that the utility uses. Call order:
// Open, then any number of Execute/Query and transaction calls, then Close; the
// same object may be opened again after Close. Every call returns a Status and
// never throws. Execute and Query on a connection that is not open fail with
// error::kConnectionClosed. Transactions nest: each BeginTrans opens a level
// that its CommitTrans or RollbackTrans ends; committing the outermost level
// makes the changes durable, and Close with levels still open rolls them back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/status.h"
#include "db/value.h"

namespace telo {

struct Rows {
  std::vector<std::string> columns;
  std::vector<std::vector<Value>> rows;
};

// ADO's "unspecified" option value, used for Open and Execute.
inline constexpr int kAdoUnspecified = -1;

class Connection {
 public:
  virtual ~Connection() = default;

  virtual Status Open(std::string_view connection_string, std::string_view user,
                      std::string_view password, int options) = 0;
  // Runs one statement; any records it returns are discarded unread.
  virtual Status Execute(std::string_view command_text) = 0;
  // Runs one query and returns all of its rows.
  virtual Status Query(std::string_view command_text, Rows* result) = 0;
  virtual Status Close() = 0;

  virtual Status BeginTrans() = 0;
  virtual Status CommitTrans() = 0;
  virtual Status RollbackTrans() = 0;
};

using ConnectionFactory = std::function<std::unique_ptr<Connection>()>;

// cnMain: holds the window's connection object, creating it on first use
// and keeping it for as long as the holder lives.
class ConnectionSlot {
 public:
  explicit ConnectionSlot(ConnectionFactory factory) : factory_(std::move(factory)) {}

  Connection& get() {
    if (!connection_) connection_ = factory_();
    return *connection_;
  }
  bool created() const { return connection_ != nullptr; }

 private:
  ConnectionFactory factory_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace telo
