// The stand-in host database file: a plain SQLite 3 file (the sqlite3 shell
// reads it) marked with application_id 'TELO' and holding the table
// telo_standin(name, value). Its row 'password_check' keeps the database
// password the way Jet does: as a check that Open compares, not as
// encryption. An empty check means the database has no password.
// Free functions, no state; each opens and closes the file it is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace telo {

inline constexpr int32_t kStandInApplicationId = 0x54454C4F;  // "TELO"
inline constexpr std::string_view kStandInTable = "telo_standin";

// Sets SQLite up for this program before its first use in the process: no
// memory statistics, which SQLite would keep under a global lock for every
// allocation and nothing here reads. Later calls change nothing.
void ConfigureSqlite();

// What the first bytes of a file say it is: a stand-in (an SQLite file with
// the stand-in's application_id), another SQLite file, a Jet file, or
// something else. Anything but a regular file (a FIFO, a socket, a device) is
// kNotAFile and is never opened, so that reading it can't block.
enum class FileKind { kMissing, kFolder, kNotAFile, kUnreadable, kStandIn, kSqlite, kJet, kOther };
FileKind ClassifyFile(const std::string& posix_path);

// Makes a new, empty stand-in database at `posix_path` with `password`
// ("" for none). Never overwrites: fails when the path exists. Leaves
// nothing behind when it fails.
Status CreateStandInFile(const std::string& posix_path, std::string_view password);

// Removes a database file and what SQLite may keep beside it (its rollback
// journal, write-ahead log and shared memory), so that no journal left behind
// can roll back another database later put at the same path.
void RemoveDatabaseFiles(const std::string& posix_path);

// The text kept in the file for `password`; "" for an empty password.
std::string MakePasswordCheck(std::string_view password);
bool PasswordMatches(std::string_view stored_check, std::string_view password);

}  // namespace telo
