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

// What a run or a check found on a drive, attempt by attempt.
template <typename Attempt>
struct DriveReport {
  std::optional<char> drive;  // as the front end handed it over; none when none was chosen
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

// Every location that a run or a check visits on `drive`, in order: install
// folder 1, probed (it is there when changing the current directory to it
// succeeds), then each user's VirtualStore copy of its database when it was
// found, then folder 2 and its copies. Copies are left out for a
// virtualized process, whose own copy is what it reads and writes anyway.
// With no drive, one location that says so.
std::vector<FolderAttempt> InstallLocations(std::optional<char> drive, Env& env);

}  // namespace telo
