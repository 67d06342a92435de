// SqliteConnection: opening a stand-in host database from a Jet connection
// string, running translated Jet SQL on it, and nested transactions.
#include "db/sqlite/sqlite_connection.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "base/status.h"
#include "base/text.h"
#include "db/connection_string.h"
#include "db/sqlite/jet_sql.h"
#include "db/sqlite/jet_values.h"
#include "db/sqlite/stand_in_file.h"

namespace telo {
namespace {

// What to do next, for each cause that the person at the desk can mend.
constexpr std::string_view kInUseHint =
    "Close the host application, on every computer that uses this file, and try again.";
constexpr std::string_view kReadOnlyHint =
    "The file is marked read-only: clear the attribute, or run as administrator.";
constexpr std::string_view kAccessHint = "Run as administrator.";
constexpr std::string_view kPasswordHint =
    "This CVL.MDB does not open with the host's password, so it may not be the host's database.";
constexpr std::string_view kDamagedHint =
    "The file is damaged: restore it from a backup, or repair it with Microsoft Access's Compact "
    "and Repair.";
constexpr std::string_view kMissingTableHint =
    "The host's database lacks this table: it may be another version of the host; send the "
    "report to support.";
constexpr std::string_view kOtherVersionHint =
    "The database may be from another version of the host; send the report to support.";
constexpr std::string_view kSupportHint = "Send the report to support.";
constexpr std::string_view kRestoreHint = "Restore the host's CVL.MDB from a backup.";

// A message for people: what happened, then what to do about it.
Status Explained(int32_t number, const std::string& cause, std::string_view hint) {
  return Status::Error(number, cause + " " + std::string(hint));
}

// The write bits count even for root, as Windows honours a read-only
// attribute for administrators too.
bool Writable(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return access(path.c_str(), W_OK) == 0;
}

std::string FolderOf(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// The table a statement writes or reads: the name after Update, Into or From.
std::string TargetTable(std::string_view statement) {
  const std::string lower = LowerAscii(statement);
  for (std::string_view keyword : {"update ", "into ", "from "}) {
    size_t at = lower.find(keyword);
    if (at == std::string::npos) continue;
    size_t start = at + keyword.size();
    while (start < statement.size() && statement[start] == ' ') ++start;
    if (start < statement.size() && statement[start] == '[') {
      size_t end = statement.find(']', start);
      if (end != std::string_view::npos)
        return std::string(statement.substr(start + 1, end - start - 1));
    }
    size_t end = start;
    while (end < statement.size() &&
           (std::isalnum(static_cast<unsigned char>(statement[end])) || statement[end] == '_')) {
      ++end;
    }
    if (end > start) return std::string(statement.substr(start, end - start));
  }
  return "";
}

Status ClosedError() {
  return Status::Error(error::kConnectionClosed,
                       "Operation is not allowed when the object is closed.");
}

bool OnlySeparatorsLeft(const char* tail) {
  for (; tail != nullptr && *tail != '\0'; ++tail) {
    if (*tail != ';' && !std::isspace(static_cast<unsigned char>(*tail))) return false;
  }
  return true;
}

// What stands at `path` when it is there but is not a regular file (a link
// is followed); "" when it is a regular file or absent.
std::string OddFileKind(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return "";
  if (stat(path.c_str(), &info) != 0) return "a link to nothing";
  if (S_ISREG(info.st_mode)) return "";
  if (S_ISDIR(info.st_mode)) return "a folder";
  if (S_ISFIFO(info.st_mode)) return "a pipe";
  if (S_ISSOCK(info.st_mode)) return "a socket";
  return "a device";
}

// Runs a statement that returns no rows on a handle that is not yet ours.
int ExecSimple(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

}  // namespace

struct SqliteConnection::Target {
  std::string shown;  // Data Source as written
  std::string path;   // where it is on this machine
  std::string password;
  bool read_only = false;
};

SqliteConnection::SqliteConnection(std::shared_ptr<const WinePrefix> prefix, SqliteOptions options)
    : prefix_(std::move(prefix)), options_(std::move(options)) {
  ConfigureSqlite();
}

SqliteConnection::~SqliteConnection() {
  if (db_ != nullptr) (void)Close();  // a destructor has no one to tell
}

Status SqliteConnection::ResolveTarget(std::string_view connection_string, Target* target) const {
  ConnectionString parsed;
  Status status = ConnectionString::Parse(connection_string, &parsed);
  if (!status.ok()) return status;
  if (!EqualsIgnoreCase(parsed.provider(), kJetProvider)) {
    return Status::Error(error::kProviderNotFound,
                         "Provider '" + parsed.provider() +
                             "' cannot be found: this program opens databases only with " +
                             std::string(kJetProvider) + ".");
  }
  target->shown = parsed.data_source();
  target->password = parsed.Get(kKeyDatabasePassword).value_or("");
  std::string mode = parsed.Get(kKeyMode).value_or("");
  target->read_only = EqualsIgnoreCase(mode, "Read") || mode == "1";
  if (target->shown.starts_with("/")) {
    target->path = target->shown;
    return Status::Ok();
  }
  if (prefix_ == nullptr) {
    return Status::Error(error::kFileNotFound, "Could not find file '" + target->shown +
                                                   "': there is no Wine prefix to find it in.");
  }
  status = prefix_->MapPath(target->shown, &target->path);
  if (status.number() == error::kAmbiguousName) return status;
  if (!status.ok()) {
    return Status::Error(error::kFileNotFound,
                         "Could not find file '" + target->shown + "': " + status.message());
  }
  return Status::Ok();
}

Status SqliteConnection::Open(std::string_view connection_string, std::string_view,
                              std::string_view, int) {
  if (db_ != nullptr) {
    return Status::Error(error::kConnectionOpen,
                         "Operation is not allowed when the object is open.");
  }
  Target target;
  Status status = ResolveTarget(connection_string, &target);
  if (!status.ok()) return status;
  return OpenFile(target);
}

Status SqliteConnection::OpenFile(const Target& target) {
  const std::string quoted = "'" + target.shown + "'";
  switch (ClassifyFile(target.path)) {
    case FileKind::kMissing:
      return Explained(error::kFileNotFound,
                       "Could not find file " + quoted + " (looked for " + target.path + ").",
                       kRestoreHint);
    case FileKind::kFolder:
      return Explained(error::kNotADatabase, quoted + " is a folder, not a database file.",
                       "Rename or remove that folder, then restore the host's CVL.MDB from a "
                       "backup.");
    case FileKind::kNotAFile:
      return Explained(error::kNotADatabase,
                       quoted + " is not a regular file (it is " + OddFileKind(target.path) +
                           "), so it is not opened.",
                       "Remove it, then restore the host's CVL.MDB from a backup.");
    case FileKind::kUnreadable:
      return Explained(error::kAccessDenied,
                       quoted + " can't be read: this user has no right to read it.", kAccessHint);
    case FileKind::kJet:
      return Explained(error::kUnsupportedDatabase,
                       quoted +
                           " is a Microsoft Access database, and only the Windows version of "
                           "this program can update it.",
                       "Update it with the Windows version.");
    case FileKind::kOther:
      return Explained(error::kNotADatabase, quoted + " is not a database.", kDamagedHint);
    case FileKind::kSqlite:
      return Explained(error::kNotADatabase,
                       quoted + " is a database of another program, not the host's.", kRestoreHint);
    case FileKind::kStandIn:
      break;
  }
  if (Status status = CheckFilesBeside(target); !status.ok()) return status;
  if (!target.read_only && !Writable(target.path)) {
    return Explained(error::kAccessDenied, quoted + " can't be updated.", kReadOnlyHint);
  }
  if (!target.read_only && !Writable(FolderOf(target.path))) {
    return Explained(error::kAccessDenied,
                     quoted +
                         " can't be updated: this user can't write to its folder, where the "
                         "update keeps a temporary file while it runs.",
                     kAccessHint);
  }
  const std::size_t longest = static_cast<std::size_t>(sqlite3_vfs_find(nullptr)->mxPathname) - 1;
  if (target.path.size() > longest) {
    return Explained(error::kPathTooLong,
                     quoted + " can't be opened: its path on this computer is " +
                         std::to_string(target.path.size()) +
                         " characters long, and this program opens paths of at most " +
                         std::to_string(longest) + ".",
                     "Move it, or the Wine prefix that holds it, to a shorter path.");
  }
  // One object is used from one thread: SQLite needn't lock its own calls.
  const int flags =
      (target.read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(target.path.c_str(), &db_, flags, nullptr);
  path_ = target.path;
  shown_path_ = target.shown;
  lock_waited_ms_ = 0;
  if (rc == SQLITE_OK) {
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_handler(db_, &SqliteConnection::WaitForLock, this);
  }
  Status status = rc == SQLITE_OK ? CheckStandIn(target) : Failure(rc, "");
  if (!status.ok()) CloseHandle();
  return status;
}

// SQLite opens the files it keeps beside the database (any mode reads a
// journal left behind, to roll back an interrupted update), and opening a
// pipe waits for a writer that never comes. Each must be absent or a regular
// file. They sit beside the file that the database's path leads to.
Status SqliteConnection::CheckFilesBeside(const Target& target) const {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::string beside = fs::canonical(target.path, ec).string();
  if (ec) beside = target.path;
  const bool linked = fs::is_symlink(fs::symlink_status(target.path, ec));
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    const std::string kind = OddFileKind(beside + suffix);
    if (kind.empty()) continue;
    const std::string named = (linked ? beside : target.shown) + suffix;
    return Status::Error(error::kOpenFailed, "'" + named + "' is not a regular file (it is " +
                                                 kind + "); remove it, then run again.");
  }
  return Status::Ok();
}

// The password is read inside a transaction; for an update, one that takes
// the write lock at once (BEGIN IMMEDIATE), so that a database another
// program holds fails now, not halfway through a run.
Status SqliteConnection::CheckStandIn(const Target& target) {
  Status status = RunControl(target.read_only ? "BEGIN" : "BEGIN IMMEDIATE");
  if (!status.ok()) return status;
  status = CheckPassword(target);
  const Status ended = RunControl("ROLLBACK");
  return status.ok() ? ended : status;
}

// The file's header carries the stand-in's mark (ClassifyFile); the password
// check is kept in its table.
Status SqliteConnection::CheckPassword(const Target& target) {
  Rows rows;
  Status status = Run(
      "SELECT value FROM " + std::string(kStandInTable) + " WHERE name = 'password_check'", &rows);
  if (!status.ok()) return status;
  std::string check;
  if (!rows.cells.empty()) {
    if (auto* text = std::get_if<std::string>(&rows.cells[0])) check = *text;
  }
  if (!PasswordMatches(check, target.password)) {
    return Explained(error::kInvalidPassword, "Wrong password for '" + target.shown + "'.",
                     kPasswordHint);
  }
  return Status::Ok();
}

// SQLite's busy handler: sleeps in growing steps while the budget lasts.
int SqliteConnection::WaitForLock(void* self, int attempts) {
  auto* connection = static_cast<SqliteConnection*>(self);
  const int left = connection->options_.lock_wait_budget_ms - connection->lock_waited_ms_;
  if (left <= 0) return 0;
  const int step = std::min({left, 1 << std::min(attempts, 5), 25});
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(step));
  connection->lock_waited_ms_ +=
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count());
  return 1;
}

Status SqliteConnection::Execute(std::string_view command_text) {
  return Run(command_text, nullptr);
}

Status SqliteConnection::Query(std::string_view command_text, Rows* result) {
  return Run(command_text, result);
}

// Prepares one statement of SQLite's own SQL.
Status SqliteConnection::Prepare(const std::string& sql, std::string_view command_text,
                                 sqlite3_stmt** statement) {
  const char* tail = nullptr;
  const int rc =
      sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), statement, &tail);
  if (rc != SQLITE_OK) return Failure(rc, sql);
  if (*statement == nullptr) {
    return Status::Error(error::kCommandError, "The command text is empty.");
  }
  if (!OnlySeparatorsLeft(tail)) {
    sqlite3_finalize(*statement);
    *statement = nullptr;
    return Status::Error(error::kCommandError, "Characters found after end of SQL statement: " +
                                                   std::string(command_text));
  }
  return Status::Ok();
}

// Queries and transaction control stay prepared for as long as the database
// is open, found by their text as given: the read-back asks the same queries
// before and after the commit, and the same few control statements come for
// every table. Jet SQL is translated once, when it is first prepared.
Status SqliteConnection::Keep(std::string_view text, bool jet_sql, KeptQuery** kept) {
  if (auto found = queries_.find(text); found != queries_.end()) {
    *kept = &found->second;
    return Status::Ok();
  }
  std::string sql;
  if (!jet_sql) {
    sql = text;
  } else if (Status status = TranslateJetSql(text, &sql); !status.ok()) {
    return status;
  }
  sqlite3_stmt* statement = nullptr;
  if (Status status = Prepare(sql, text, &statement); !status.ok()) return status;
  KeptQuery& query = queries_[std::string(text)];
  query.statement = statement;
  query.sql = std::move(sql);
  *kept = &query;
  return Status::Ok();
}

// Statements are prepared each time, as each comes only once; queries are
// kept (Keep).
Status SqliteConnection::Run(std::string_view command_text, Rows* result) {
  if (result != nullptr) {
    result->columns.clear();
    result->cells.clear();
  }
  if (db_ == nullptr) return ClosedError();
  if (transaction_broken_) return BrokenTransaction();
  Status status;
  if (result != nullptr) {
    KeptQuery* kept = nullptr;
    status = Keep(command_text, /*jet_sql=*/true, &kept);
    if (!status.ok()) return status;
    status = Step(kept->statement, kept->sql, kept, result);
    sqlite3_reset(kept->statement);
  } else {
    status = TranslateJetSql(command_text, &statement_sql_);
    if (!status.ok()) return status;
    sqlite3_stmt* statement = nullptr;
    status = Prepare(statement_sql_, command_text, &statement);
    if (!status.ok()) return status;
    status = Step(statement, statement_sql_, nullptr, nullptr);
    sqlite3_finalize(statement);
  }
  if (!status.ok()) NoteLostTransaction();
  return status;
}

// A kept query's columns, read again whenever SQLite has prepared it anew
// (after a change of the schema).
void SqliteConnection::ReadColumns(KeptQuery& query) {
  const int prepared = sqlite3_stmt_status(query.statement, SQLITE_STMTSTATUS_REPREPARE, 0);
  if (prepared == query.prepared) return;
  query.prepared = prepared;
  query.columns.clear();
  query.types.clear();
  for (int i = 0; i < sqlite3_column_count(query.statement); ++i) {
    query.columns.push_back(sqlite3_column_name(query.statement, i));
    query.types.push_back(ResultColumnType(query.statement, i));
  }
}

// Runs a prepared statement to its end; a query's rows go to `result`.
Status SqliteConnection::Step(sqlite3_stmt* statement, std::string_view sql, KeptQuery* kept,
                              Rows* result) {
  // The columns are read after the first step, which prepares a kept query
  // again if the schema has changed meanwhile.
  int rc = sqlite3_step(statement);
  if (kept != nullptr) {
    ReadColumns(*kept);
    result->columns = kept->columns;
    result->cells.reserve(kept->cells);
  }
  const size_t columns = result == nullptr ? 0 : result->columns.size();
  for (; rc == SQLITE_ROW; rc = sqlite3_step(statement)) {
    for (size_t i = 0; i < columns; ++i) {
      ReadJetValue(statement, static_cast<int>(i), kept->types[i], &result->cells.emplace_back());
    }
  }
  if (kept != nullptr) kept->cells = result->cells.size();
  return rc == SQLITE_DONE ? Status::Ok() : Failure(rc, sql);
}

// One transaction-control statement, kept prepared as queries are.
Status SqliteConnection::RunControl(const std::string& sql) {
  KeptQuery* kept = nullptr;
  Status status = Keep(sql, /*jet_sql=*/false, &kept);
  if (!status.ok()) return status;
  const int rc = sqlite3_step(kept->statement);
  status = rc == SQLITE_DONE ? Status::Ok() : Failure(rc, sql);
  sqlite3_reset(kept->statement);
  return status;
}

// SQLite's result code as a message for people. Every table that fails for
// one cause gets the same text, so that the cause can be told once.
Status SqliteConnection::Failure(int rc, std::string_view statement) const {
  const std::string file = "'" + shown_path_ + "'";
  const std::string detail = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
  const std::string table = TargetTable(statement);
  if (rc == SQLITE_READONLY_ROLLBACK) {
    return Explained(error::kAccessDenied,
                     "An earlier update of " + file +
                         " was interrupted. It has to be undone before the file can be read, "
                         "and that needs the right to write to the file and its folder.",
                     "Run the update once, as administrator.");
  }
  switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Explained(error::kDatabaseInUse,
                       file + " is in use: another program is using the database.", kInUseHint);
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return ReadOnlyFailure();
    case SQLITE_CANTOPEN:
      return Explained(
          error::kAccessDenied,
          file + " can't be opened: this user may lack the right to open it or its folder.",
          kAccessHint);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return Explained(error::kNotADatabase, file + " can't be read.", kDamagedHint);
    case SQLITE_IOERR:
      return Explained(error::kUnspecifiedFailure,
                       file + " could not be read or written: the disk or the network failed.",
                       "Check the disk and the network, then try again.");
    case SQLITE_FULL:
      return Explained(error::kUnspecifiedFailure, file + " can't grow: the disk is full.",
                       "Free some space on the disk, then try again.");
    case SQLITE_CONSTRAINT:
      return Explained(error::kIntegrityViolation,
                       "Table '" + table + "' of " + file +
                           " refused a row by a rule of its own (" + detail + ").",
                       kOtherVersionHint);
    case SQLITE_ERROR:
      break;
    default:
      return Explained(error::kUnspecifiedFailure, file + " could not be used (" + detail + ").",
                       kSupportHint);
  }
  if (detail.starts_with("no such table: ")) {
    return Explained(error::kNoSuchTable, file + " has no table '" + detail.substr(15) + "'.",
                     kMissingTableHint);
  }
  std::string column;
  if (size_t at = detail.find(" has no column named "); at != std::string::npos) {
    column = detail.substr(at + 21);
  } else if (detail.starts_with("no such column: ")) {
    column = detail.substr(16);
  }
  if (!column.empty()) {
    return Explained(error::kCommandError,
                     "Table '" + table + "' of " + file + " has no column '" + column + "'.",
                     kOtherVersionHint);
  }
  return Status::Error(error::kCommandError, "A statement can't be run on " + file + " (" + detail +
                                                 "). " + std::string(kSupportHint) +
                                                 " The statement: " + std::string(statement));
}

// A write refused: the file's read-only attribute, a folder this user can't
// write to, or a database opened for reading only.
Status SqliteConnection::ReadOnlyFailure() const {
  const std::string file = "'" + shown_path_ + "'";
  if (!Writable(path_)) {
    return Explained(error::kAccessDenied, file + " can't be updated.", kReadOnlyHint);
  }
  if (db_ != nullptr && sqlite3_db_readonly(db_, "main") == 1) {
    return Explained(error::kAccessDenied,
                     file + " was opened for reading only, so it can't be changed.", kSupportHint);
  }
  return Explained(error::kAccessDenied,
                   file + " can't be changed: this user can't write to it or its folder.",
                   kAccessHint);
}

// SQLite ends the whole transaction itself after some failures (a full
// disk, an I/O error); later calls must not act as if it were still open,
// and statements must not slip out in autocommit mode.
void SqliteConnection::NoteLostTransaction() {
  if (level_ > 0 && sqlite3_get_autocommit(db_)) transaction_broken_ = true;
}

Status SqliteConnection::BrokenTransaction() const {
  return Explained(error::kUnspecifiedFailure,
                   "The changes to '" + shown_path_ +
                       "' were undone after an earlier failure, so no more can be made now.",
                   "Deal with that failure, then run the update again.");
}

Status SqliteConnection::BeginTrans() {
  if (db_ == nullptr) return ClosedError();
  if (transaction_broken_) return BrokenTransaction();
  std::string sql =
      level_ == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT telo_level_" + std::to_string(level_ + 1);
  Status status = RunControl(sql);
  if (status.ok()) ++level_;
  return status;
}

// A failed commit leaves its level open (db/connection.h): the caller rolls
// it back. When SQLite has ended the transaction itself, the level stays
// counted, broken, until then.
Status SqliteConnection::CommitTrans() {
  if (db_ == nullptr) return ClosedError();
  if (level_ == 0) return Status::Error(error::kNoTransaction, "No transaction is active.");
  if (transaction_broken_) return BrokenTransaction();
  Status status = RunControl(level_ > 1 ? "RELEASE telo_level_" + std::to_string(level_)
                                        : std::string("COMMIT"));
  if (status.ok()) {
    --level_;
  } else {
    NoteLostTransaction();
  }
  return status;
}

// Always ends the innermost level. An inner level that can't be undone
// breaks the whole transaction, so that nothing of it can be committed.
Status SqliteConnection::RollbackTrans() {
  if (db_ == nullptr) return ClosedError();
  if (level_ == 0) return Status::Error(error::kNoTransaction, "No transaction is active.");
  Status status;
  if (level_ == 1) {
    if (!sqlite3_get_autocommit(db_)) status = RunControl("ROLLBACK");
    transaction_broken_ = false;
  } else if (!transaction_broken_) {
    std::string name = "telo_level_" + std::to_string(level_);
    status = RunControl("ROLLBACK TO " + name);
    if (status.ok()) status = RunControl("RELEASE " + name);
    if (!status.ok()) transaction_broken_ = true;
  }
  --level_;
  return status;
}

Status SqliteConnection::Close() {
  if (db_ == nullptr) return ClosedError();
  if (!sqlite3_get_autocommit(db_)) ExecSimple(db_, "ROLLBACK");
  CloseHandle();
  return Status::Ok();
}

void SqliteConnection::CloseHandle() {
  for (auto& [sql, query] : queries_) sqlite3_finalize(query.statement);
  queries_.clear();
  sqlite3_close_v2(db_);
  db_ = nullptr;
  path_.clear();
  shown_path_.clear();
  level_ = 0;
  transaction_broken_ = false;
}

}  // namespace telo
