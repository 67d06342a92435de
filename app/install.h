// The host application's install on a drive, as the update run and the
// check look for it: its two folders, in the order they are tried, its
// database file and password, the locations that a run or a check visits
// on a drive (each folder, probed, and each user's VirtualStore copy of a
// database found there), and the connection strings that open them.
// Portable; the Env does the looking.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "platform/env.h"

namespace telo {

// The install folders, each following the drive letter, in the order tried.
inline constexpr std::string_view kInstallFolders[2] = {":\\Program Files\\Corvallo\\",
                                                        ":\\Program Files (x86)\\Corvallo\\"};
inline constexpr std::string_view kDatabaseFile = "CVL.MDB";
inline constexpr std::string_view kDatabasePassword = "846";

// One place where a host database may be: an install folder on the chosen
// drive, probed, or a user's VirtualStore copy of the database found in one.
struct FolderAttempt {
  int number = 0;        // 1: Program Files, 2: Program Files (x86)
  std::string folder;    // e.g. "c:\Program Files\Corvallo\"
  std::string database;  // e.g. "c:\Program Files\Corvallo\CVL.MDB"
  bool folder_found = false;
  Status probe;  // the directory change that tested the folder
  // Set when this attempt is on a user's VirtualStore copy of that database
  // (`database` is then the copy): the install folder's database it copies.
  std::string copy_of;
  // A virtualized process's reads and writes of `database` go to this copy
  // in the user's VirtualStore instead, when it exists.
  std::string virtual_store_copy;

  // The folder is there but can't be used: the probe was refused entry
  // (access denied), or more than one entry matches its name. It counts as
  // absent, but it is no sign that the host isn't installed.
  bool unenterable() const;
};

// The drives that a run or a check covers, in order: none, the one that a
// front end chose (its letter as handed over, case kept), or several
// (--drive auto: every fixed drive).
struct Drives {
  std::vector<char> letters;

  Drives() = default;
  Drives(std::optional<char> drive) {  // NOLINT(google-explicit-constructor): one chosen drive
    if (drive) letters.push_back(*drive);
  }
  Drives(char drive) : letters{drive} {}  // NOLINT(google-explicit-constructor)
  // Every fixed drive of the machine (--drive auto), in letter order.
  static Drives EveryFixed(std::vector<char> fixed) {
    Drives drives;
    drives.letters = std::move(fixed);
    drives.every_fixed_drive = true;
    return drives;
  }

  bool every_fixed_drive = false;
};

// What a run or a check found on its drives, attempt by attempt.
template <typename Attempt>
struct DriveReport {
  Drives drives;
  std::vector<Attempt> attempts;

  bool any_database_found() const {
    for (const Attempt& attempt : attempts) {
      if (attempt.folder_found) return true;
    }
    return false;
  }
  bool any_folder_unenterable() const {
    for (const Attempt& attempt : attempts) {
      if (attempt.unenterable()) return true;
    }
    return false;
  }
};

// The drive of a drive list's entry: its first character, taken unchanged
// (a lower-case letter stays lower case); none for an empty entry.
std::optional<char> DriveOfEntry(std::string_view entry);

// e.g. "c:\Program Files\Corvallo\" for drive letter c and folder 0.
std::string InstallFolder(char drive_letter, int index);

// The connection string that opens the database at `database_path` (a full
// Windows path) with the Jet provider and the database password, for
// reading only when `read_only`.
std::string DatabaseConnectionString(std::string_view database_path, bool read_only = false);

// Every location that a run or a check visits on `drives`, drive by drive,
// in order: install folder 1, probed (it is there when changing the current
// directory to it succeeds), then each user's VirtualStore copy of its
// database when it was found, then folder 2 and its copies. Copies are left
// out for a virtualized process, whose own copy is what it reads and writes
// anyway. With no drive, one location that says so.
std::vector<FolderAttempt> InstallLocations(const Drives& drives, Env& env);

}  // namespace telo
