// Status: the result of every call that crosses a layer (connection, desktop,
// directory change). A status is either ok (number 0) or carries a non-zero
// error number in the HRESULT style together with a message for people.
// Statuses are plain values: copy them, keep them in reports, compare them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace telo {

class [[nodiscard]] Status {
 public:
  Status() = default;

  static Status Ok() { return Status(); }
  // `number` must not be 0; a 0 is turned into kUnspecifiedFailure.
  static Status Error(int32_t number, std::string message);

  bool ok() const { return number_ == 0; }
  int32_t number() const { return number_; }
  const std::string& message() const { return message_; }

  // The kind of failure, whatever layer reported it.
  bool IsNotFound() const;  // the file or a folder of its path is missing
  bool IsAccessDenied() const;
  bool IsAmbiguousName() const;  // more than one entry matches a name (case twins)
  bool IsInUse() const;          // another program holds the database
  bool IsNoSuchTable() const;

  // "0x80004005: message", or "ok".
  std::string ToString() const;

  bool operator==(const Status&) const = default;

 private:
  Status(int32_t number, std::string message) : number_(number), message_(std::move(message)) {}

  int32_t number_ = 0;
  std::string message_;
};

// Every error number of the system, in one table. The values are those that
// Windows, OLE DB and ADO report for the same conditions, so a number means
// the same on every platform; where Jet has no number of its own for a
// condition (it reports many as E_FAIL with a description), the stand-in
// uses the Windows one that says what happened.
namespace error {
// E_FAIL: a failure with nothing more particular to say (Jet's usual number).
inline constexpr int32_t kUnspecifiedFailure = static_cast<int32_t>(0x80004005);
// E_INVALIDARG.
inline constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);
// ERROR_FILE_NOT_FOUND: the database file is missing.
inline constexpr int32_t kFileNotFound = static_cast<int32_t>(0x80070002);
// ERROR_PATH_NOT_FOUND: a folder is missing.
inline constexpr int32_t kPathNotFound = static_cast<int32_t>(0x80070003);
// ERROR_ACCESS_DENIED: a folder can't be entered, a file can't be written.
inline constexpr int32_t kAccessDenied = static_cast<int32_t>(0x80070005);
// ERROR_BAD_FORMAT: the file is not a database.
inline constexpr int32_t kNotADatabase = static_cast<int32_t>(0x8007000B);
// ERROR_SHARING_VIOLATION: another program holds the database. Jet says so
// with E_FAIL and one of its in-use numbers (db/jet_errors.h), which the ADO
// connection turns into this number, Jet's text kept.
inline constexpr int32_t kDatabaseInUse = static_cast<int32_t>(0x80070020);
// ERROR_NOT_SUPPORTED: a real Jet or Access file, which the stand-in can't open.
inline constexpr int32_t kUnsupportedDatabase = static_cast<int32_t>(0x80070032);
// ERROR_OPEN_FAILED: a file SQLite keeps beside the database (its journal,
// write-ahead log or shared memory) is not a regular file, so the database
// is not opened: reading it could block for ever or write elsewhere.
inline constexpr int32_t kOpenFailed = static_cast<int32_t>(0x8007006E);
// ERROR_FILENAME_EXCED_RANGE: the path is longer than the engine can open.
inline constexpr int32_t kPathTooLong = static_cast<int32_t>(0x800700CE);
// ERROR_CASE_DIFFERING_NAMES_IN_DIR: a folder of a case-sensitive file system
// holds more than one name that Windows sees as the one a path asks for
// ("Corvallo" and "CORVALLO"), so no one of them is chosen.
inline constexpr int32_t kAmbiguousName = static_cast<int32_t>(0x800701A8);
// DB_E_ERRORSINCOMMAND: a statement can't be run as written (syntax, an
// unknown column, an impossible date literal).
inline constexpr int32_t kCommandError = static_cast<int32_t>(0x80040E14);
// DB_E_INTEGRITYVIOLATION: a constraint or trigger rejected a row.
inline constexpr int32_t kIntegrityViolation = static_cast<int32_t>(0x80040E2F);
// DB_E_NOTABLE: a statement names a table that doesn't exist (ADO with Jet
// and the stand-in alike).
inline constexpr int32_t kNoSuchTable = static_cast<int32_t>(0x80040E37);
// DB_SEC_E_AUTH_FAILED: wrong or missing database password.
inline constexpr int32_t kInvalidPassword = static_cast<int32_t>(0x80040E4D);
// XACT_E_NOTRANSACTION: no transaction is active for a commit or rollback.
inline constexpr int32_t kNoTransaction = static_cast<int32_t>(0x8004D00E);
// ADO: "Operation is not allowed when the object is closed."
inline constexpr int32_t kConnectionClosed = static_cast<int32_t>(0x800A0E78);
// ADO: "Operation is not allowed when the object is open."
inline constexpr int32_t kConnectionOpen = static_cast<int32_t>(0x800A0E79);
// ADO: "Provider cannot be found. It may not be properly installed."
inline constexpr int32_t kProviderNotFound = static_cast<int32_t>(0x800A0E7A);
// Ours: a table doesn't read back as the patch wrote it. A customer-defined
// HRESULT (the C bit set), so that it can't be mistaken for Windows' own.
inline constexpr int32_t kTableDiffers = static_cast<int32_t>(0xA0040001);
}  // namespace error

}  // namespace telo
