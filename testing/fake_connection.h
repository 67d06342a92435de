// FakeConnection: a Connection for tests that want no database: in-memory
// tables in a shared FakeDatabase. It keeps the work of open transactions
// apart from the durable tables (the connection reads its own uncommitted
// writes, Close rolls them back), as a real database would. It fails only as
// a database would; tests that want a call to fail wrap it (or a real
// connection) in a FaultInjection (testing/fault_injection_connection.h).
//
// The tables understand the patch's statement shapes only: "Delete From T",
// "Insert Into T(a, b) Values (x, y)", "Update T Set c = v [Where k in (1,2)]"
// and the queries "SELECT a, b FROM T [WHERE k IN (1,2)]"; any other shape
// fails. Values are kept as the literals the statements wrote ("Null" for
// none). In the default mode a statement creates the tables and columns it
// names; with FakeRules::declared_only only declared tables and columns
// exist and a wrong name fails with Jet's error (the ADO double uses this).
// Declared column types follow Jet's rules: a criterion that compares a TEXT
// column with a number, or a number column with text, fails as a data type
// mismatch; a column that an insert doesn't name gets its DEFAULT ("TEXT(20)
// DEFAULT 'none'"), the next number when it is a COUNTER (AutoNumber): one
// more than its highest, from 1), or else Null.
// FakeSession is the per-connection part, shared by FakeConnection and the
// ADO double. The FakeDatabase must outlive every connection made on it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"

namespace telo {

// A value that a table refuses in a column, as a unique index would.
struct FakeRejection {
  std::string column;
  std::string literal;
  bool operator==(const FakeRejection&) const = default;
};

struct FakeTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;  // literals as written
  // Declared Jet types, one per column, optionally with a default ("LONG
  // DEFAULT 0"); empty = untyped.
  std::vector<std::string> types = {};
  std::vector<FakeRejection> rejections = {};
  bool operator==(const FakeTable&) const = default;
};

using FakeTables = std::map<std::string, FakeTable, std::less<>>;

struct FakeRules {
  // Only declared tables and columns exist; names are matched ignoring case.
  bool declared_only = false;
  // Who runs the statements, for the message about an unsupported shape.
  std::string runner = "The fake database";
  // When set, checks each literal written into a typed column.
  std::function<Status(std::string_view declared_type, std::string_view literal)> check_value;
};

// A query's answer as stored: the columns as the query names them, their
// declared types ("" when untyped) and the literals of each row.
struct FakeSelection {
  std::vector<std::string> columns;
  std::vector<std::string> types;
  std::vector<std::vector<std::string>> rows;
};

// The default value that a declared type gives its column ("LONG DEFAULT 0"
// -> "0"), or nullopt when it gives none.
std::optional<std::string_view> DeclaredDefault(std::string_view declared_type);

// Applies one statement to `tables`, all or nothing; `affected` (may be
// null) receives the number of rows it deleted, inserted or updated.
Status ApplyStatement(std::string_view statement, const FakeRules& rules, FakeTables* tables,
                      long* affected = nullptr);
// Answers a query from `tables`.
Status SelectLiterals(std::string_view query, const FakeRules& rules, const FakeTables& tables,
                      FakeSelection* result);

struct FakeDatabase {
  FakeRules rules;
  std::vector<std::string> durable;  // statements whose effects were committed
  std::map<std::string, Rows, std::less<>> query_results;  // canned answers for Query
  FakeTables tables;                                       // what durable statements wrote
  std::vector<std::string> missing_tables;                 // queries of these fail as missing
  // What its connections answer to ReadsAreIsolated(): false, as Jet does,
  // unless a test wants a database whose transactions isolate reads. (A
  // transaction works on its own copy of the tables either way.)
  bool reads_are_isolated = false;
  int connections_created = 0;

  ConnectionFactory Factory();
  // Makes a statement durable: applies it to `tables` and, when that
  // succeeds, records it.
  Status Persist(const std::string& statement, long* affected = nullptr);
};

// One connection's view of a FakeDatabase: statements outside a transaction
// are durable at once; inside one they change the session's own copy of the
// tables, which the outermost commit makes durable statement by statement.
class FakeSession {
 public:
  explicit FakeSession(FakeDatabase* database) : db_(database) {}

  int levels() const { return static_cast<int>(levels_.size()); }
  // The tables as this session sees them, its uncommitted writes included.
  const FakeTables& tables() const { return levels_.empty() ? db_->tables : working_; }

  Status Execute(std::string_view statement, long* affected = nullptr);
  void Begin();
  // Both fail with error::kNoTransaction outside a transaction.
  Status Commit();
  Status Rollback();
  void RollbackAll();

 private:
  struct Level {
    FakeTables before;
    std::vector<std::string> statements;  // run at this level or committed into it
  };

  FakeDatabase* db_;
  FakeTables working_;
  std::vector<Level> levels_;
};

class FakeConnection : public Connection {
 public:
  explicit FakeConnection(FakeDatabase* database) : db_(database), session_(database) {}

  Status Open(std::string_view connection_string, std::string_view user, std::string_view password,
              int options) override;
  Status Execute(std::string_view command_text) override;
  Status Query(std::string_view command_text, Rows* result) override;
  Status Close() override;
  Status BeginTrans() override;
  Status CommitTrans() override;
  Status RollbackTrans() override;
  bool ReadsAreIsolated() const override { return db_->reads_are_isolated; }

 private:
  Status Closed() const;

  FakeDatabase* db_;
  bool open_ = false;
  FakeSession session_;
};

}  // namespace telo
