// Connection: the one way a statement reaches the host database.
//
// It mirrors the part of an ADO Connection that the utility uses. Call order:
// Open, then any number of Execute/Query and transaction calls, then Close; the
// same object may be opened again after Close. Every call returns a Status and
// never throws. Execute and Query on a connection that is not open fail with
// error::kConnectionClosed; inside a transaction they see its own changes.
//
// Transactions nest, and every connection leaves the levels so:
// - BeginTrans: success opens one level; a failure opens none.
// - CommitTrans: success ends the innermost level, its changes joining the
//   level around it (made durable when it was the outermost). A failure ends
//   no level: the innermost stays open and the caller ends it with
//   RollbackTrans. If the database has meanwhile abandoned the transaction
//   itself, its changes are gone, and until RollbackTrans has ended the
//   outermost level every statement, query, BeginTrans and CommitTrans fails.
//   A failed outermost commit may still have made the changes durable (a
//   database that saved them and then failed to release its lock): only
//   reading the database again tells.
// - RollbackTrans: ends the innermost level, undoing its changes, whether it
//   succeeds or fails. A failure means they may not have been undone; then
//   the transaction can no longer be committed, as above.
// - CommitTrans and RollbackTrans with no level open fail with
//   error::kNoTransaction and change nothing.
// - Close rolls back every level still open.
//
// ReadsAreIsolated tells whether a transaction isolates reads: true only when
// no other program can commit between two reads inside one transaction, so
// that they show the database as of one moment. Jet's transactions only
// group writes; another program's commit shows up in the middle of one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "base/value.h"

namespace telo {

// A query's result: the names of its columns, and its rows, one cell for
// each column. The cells are kept row after row in one vector, so that a
// result costs one allocation, not one a row.
struct Rows {
  std::vector<std::string> columns;
  std::vector<Value> cells;

  std::size_t size() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
  // The cells of row `index`, which must be below size().
  std::span<const Value> operator[](std::size_t index) const {
    return std::span<const Value>(cells).subspan(index * columns.size(), columns.size());
  }
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
  // Runs one query; its rows replace whatever `*result` held.
  virtual Status Query(std::string_view command_text, Rows* result) = 0;
  virtual Status Close() = 0;

  virtual Status BeginTrans() = 0;
  virtual Status CommitTrans() = 0;
  virtual Status RollbackTrans() = 0;

  virtual bool ReadsAreIsolated() const = 0;
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
