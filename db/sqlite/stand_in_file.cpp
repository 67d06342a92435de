// The stand-in host database file: recognising it, creating it, and the
// password check it keeps.
#include "db/sqlite/stand_in_file.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace telo {
namespace {

constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
constexpr std::string_view kCheckScheme = "fnv1a64";

// FNV-1a: a small, stable hash. It only has to tell passwords apart; the
// file is not encrypted, so nothing stronger would protect more.
uint64_t Fnv1a64(std::string_view text) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string Hex64(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string CheckWithSalt(std::string_view password, const std::string& salt) {
  std::string input = salt;
  input += '\0';
  input += password;
  return std::string(kCheckScheme) + ":" + salt + ":" + Hex64(Fnv1a64(input));
}

Status SqliteFailure(sqlite3* db, const std::string& path) {
  return Status::Error(error::kUnspecifiedFailure, "Could not create the stand-in database " +
                                                       path + ": " + sqlite3_errmsg(db));
}

Status WriteMarker(sqlite3* db, const std::string& path, std::string_view password) {
  std::string schema = "PRAGMA application_id = " + std::to_string(kStandInApplicationId) +
                       "; CREATE TABLE " + std::string(kStandInTable) +
                       "(name TEXT PRIMARY KEY, value TEXT NOT NULL);";
  if (sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    return SqliteFailure(db, path);
  }
  std::string insert = "INSERT INTO " + std::string(kStandInTable) +
                       " VALUES ('format', 'telo stand-in host database 1'), ('password_check', ?)";
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, insert.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    return SqliteFailure(db, path);
  }
  std::string check = MakePasswordCheck(password);
  sqlite3_bind_text(statement, 1, check.c_str(), static_cast<int>(check.size()), SQLITE_TRANSIENT);
  int rc = sqlite3_step(statement);
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE ? Status::Ok() : SqliteFailure(db, path);
}

}  // namespace

void ConfigureSqlite() {
  // The setting only takes before SQLite initialises itself.
  static const int unused = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  (void)unused;
}

FileKind ClassifyFile(const std::string& posix_path) {
  struct stat info;
  if (stat(posix_path.c_str(), &info) != 0) return FileKind::kMissing;
  if (S_ISDIR(info.st_mode)) return FileKind::kFolder;
  if (!S_ISREG(info.st_mode)) return FileKind::kNotAFile;
  // O_NONBLOCK: should the file have become a FIFO since stat, open won't wait.
  const int fd = open(posix_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return FileKind::kUnreadable;
  unsigned char head[72] = {};
  const ssize_t count = read(fd, head, sizeof head);
  close(fd);
  std::string_view bytes(reinterpret_cast<const char*>(head),
                         count > 0 ? static_cast<size_t>(count) : 0);
  if (bytes.substr(0, kSqliteMagic.size()) == kSqliteMagic) {
    // The header keeps application_id big-endian at offset 68.
    const uint32_t id = (uint32_t{head[68]} << 24) | (uint32_t{head[69]} << 16) |
                        (uint32_t{head[70]} << 8) | head[71];
    return bytes.size() == sizeof head && static_cast<int32_t>(id) == kStandInApplicationId
               ? FileKind::kStandIn
               : FileKind::kSqlite;
  }
  std::string_view signature = bytes.size() >= 19 ? bytes.substr(4, 15) : std::string_view();
  if (signature == "Standard Jet DB" || signature == "Standard ACE DB") return FileKind::kJet;
  return FileKind::kOther;
}

Status CreateStandInFile(const std::string& posix_path, std::string_view password) {
  int fd = open(posix_path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) {
    bool exists = errno == EEXIST;
    return Status::Error(exists ? error::kAccessDenied : error::kPathNotFound,
                         exists ? posix_path + " already exists; it is never overwritten."
                                : "Could not create " + posix_path + ": " + std::strerror(errno));
  }
  close(fd);
  ConfigureSqlite();
  sqlite3* db = nullptr;
  Status status;
  if (sqlite3_open_v2(posix_path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    status = SqliteFailure(db, posix_path);
  } else {
    status = WriteMarker(db, posix_path, password);
  }
  sqlite3_close_v2(db);
  if (!status.ok()) RemoveDatabaseFiles(posix_path);
  return status;
}

void RemoveDatabaseFiles(const std::string& posix_path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
    unlink((posix_path + suffix).c_str());
  }
}

std::string MakePasswordCheck(std::string_view password) {
  if (password.empty()) return "";
  std::random_device random;
  uint64_t salt = (static_cast<uint64_t>(random()) << 32) ^ random();
  return CheckWithSalt(password, Hex64(salt));
}

bool PasswordMatches(std::string_view stored_check, std::string_view password) {
  if (stored_check.empty()) return true;  // the database has no password
  // "fnv1a64:<salt>:<hash>"
  size_t first = stored_check.find(':');
  size_t second = stored_check.rfind(':');
  if (first == std::string_view::npos || first == second) return false;
  std::string salt(stored_check.substr(first + 1, second - first - 1));
  return CheckWithSalt(password, salt) == stored_check;
}

}  // namespace telo
