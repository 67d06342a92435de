// Error numbers of the SQLite stand-in connection beyond those of
// db/status.h. Like those, they are the HRESULTs that Windows or OLE DB give
// for the same conditions, so a number means the same on every platform.
#pragma once

#include <cstdint>

namespace telo::error {

// ERROR_FILE_NOT_FOUND: the database file is missing.
inline constexpr int32_t kFileNotFound = static_cast<int32_t>(0x80070002);
// ERROR_BAD_FORMAT: the file is not a database.
inline constexpr int32_t kNotADatabase = static_cast<int32_t>(0x8007000B);
// ERROR_NOT_SUPPORTED: a real Jet or Access file, which this build can't open.
inline constexpr int32_t kUnsupportedDatabase = static_cast<int32_t>(0x80070032);
// ERROR_FILENAME_EXCED_RANGE: the path is longer than the engine can open.
inline constexpr int32_t kPathTooLong = static_cast<int32_t>(0x800700CE);
// ERROR_SHARING_VIOLATION: another program holds the database.
inline constexpr int32_t kDatabaseInUse = static_cast<int32_t>(0x80070020);
// DB_SEC_E_AUTH_FAILED: wrong or missing database password.
inline constexpr int32_t kInvalidPassword = static_cast<int32_t>(0x80040E4D);
// DB_E_INTEGRITYVIOLATION: a constraint or trigger rejected a row.
inline constexpr int32_t kIntegrityViolation = static_cast<int32_t>(0x80040E2F);

}  // namespace telo::error
