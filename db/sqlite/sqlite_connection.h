// SqliteConnection: the Connection for platforms without ADO and Jet. It
// accepts the connection string of a Jet database (Provider
// Microsoft.Jet.OLEDB.4.0, Data Source a Windows path, Jet OLEDB:Database
// Password) and runs Jet SQL against a stand-in host database, a SQLite 3
// file (db/sqlite/stand_in_file.h), translating date literals on the way
// (db/sqlite/jet_sql.h) and reading values back as their declared Jet types
// (db/sqlite/jet_values.h).
//
// Data Source is mapped onto the drives of the Wine prefix given at
// construction; a Data Source starting with '/' is taken as a POSIX path as
// it stands; a Windows path with a component that matches more than one
// entry but for letter case fails as kAmbiguousName. Only a regular file is
// opened, and only when its journal, write-ahead log and shared memory
// (CVL.MDB-journal, -wal, -shm) are each absent or a regular file. "Mode=Read" (or Mode=1) opens
// the file read-only. Open never creates a file and changes nothing in it; a read-write Open also
// fails when another program holds a write lock on the database. Each opened database has one
// budget for all of its waits for other programs' locks (open, statements, commit, reads): once it
// is spent, a call that meets a lock fails at once as "in use". The outermost BeginTrans takes the
// write lock at once (BEGIN IMMEDIATE); inner levels are SAVEPOINTs. Transactions follow the
// contract of db/connection.h. Error numbers: base/status.h. Not thread-safe: use one object from
// one thread.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/jet_types.h"
#include "base/status.h"
#include "db/connection.h"
#include "platform/posix/wine_prefix.h"

struct sqlite3;
struct sqlite3_stmt;

namespace telo {

struct SqliteOptions {
  // How long, in all, one opened database may wait for other programs'
  // locks before its calls fail as "in use".
  int lock_wait_budget_ms = 1500;
};

class SqliteConnection : public Connection {
 public:
  // `prefix` may be null: then only POSIX Data Source paths can be opened.
  explicit SqliteConnection(std::shared_ptr<const WinePrefix> prefix, SqliteOptions options = {});
  ~SqliteConnection() override;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  Status Open(std::string_view connection_string, std::string_view user, std::string_view password,
              int options) override;
  Status Execute(std::string_view command_text) override;
  Status Query(std::string_view command_text, Rows* result) override;
  Status Close() override;

  Status BeginTrans() override;
  Status CommitTrans() override;
  Status RollbackTrans() override;
  // A transaction holds SQLite's shared lock from its BEGIN on, so no other
  // program can commit until it ends.
  bool ReadsAreIsolated() const override { return true; }

  bool is_open() const { return db_ != nullptr; }
  int transaction_level() const { return level_; }
  // The POSIX path of the open database; "" when closed.
  const std::string& path() const { return path_; }
  // SQLite's own handle of the open database (null when closed), for tests
  // that need SQLite's hooks, such as an authorizer.
  sqlite3* native_handle() const { return db_; }

 private:
  // A query kept prepared until Close, with what it tells of its columns.
  struct KeptQuery {
    sqlite3_stmt* statement = nullptr;
    std::string sql;    // as SQLite was given it
    int prepared = -1;  // SQLite's count of its automatic re-preparations when read
    std::vector<std::string> columns;
    std::vector<JetColumnType> types;
    size_t cells = 0;  // how many it returned last time
  };
  struct Target;
  Status ResolveTarget(std::string_view connection_string, Target* target) const;
  Status OpenFile(const Target& target);
  Status CheckFilesBeside(const Target& target) const;
  Status CheckStandIn(const Target& target);
  Status CheckPassword(const Target& target);
  Status Prepare(const std::string& sql, std::string_view command_text, sqlite3_stmt** statement);
  Status Keep(std::string_view text, bool jet_sql, KeptQuery** kept);
  Status Step(sqlite3_stmt* statement, std::string_view sql, KeptQuery* kept, Rows* result);
  Status Run(std::string_view command_text, Rows* result);
  Status RunControl(const std::string& sql);
  Status Failure(int rc, std::string_view statement) const;
  Status ReadOnlyFailure() const;
  Status BrokenTransaction() const;
  void NoteLostTransaction();
  void CloseHandle();
  static int WaitForLock(void* self, int attempts);

  std::shared_ptr<const WinePrefix> prefix_;
  SqliteOptions options_;
  sqlite3* db_ = nullptr;
  void ReadColumns(KeptQuery& query);
  std::map<std::string, KeptQuery, std::less<>> queries_;
  std::string statement_sql_;  // the statement being run, translated; its buffer is reused
  std::string path_;
  std::string shown_path_;  // as the connection string names it
  int level_ = 0;
  // The open transaction can't be committed any more: the database rolled
  // it back itself, or an inner level could not be rolled back. Only
  // RollbackTrans down to the outermost level ends this.
  bool transaction_broken_ = false;
  int lock_waited_ms_ = 0;  // spent of the lock-wait budget since Open
};

}  // namespace telo
