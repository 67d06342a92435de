// The host application's install on a drive, as the update run and the
// check look for it: its two folders, in the order they are tried, its
// database file and password, the probe that finds a folder, each user's
// VirtualStore copy of a found database, and the connection strings that
// open them. Portable; the Env does the looking.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/desktop.h"
#include "app/report.h"
#include "platform/env.h"

namespace telo {

// The install folders, each following the drive letter, in the order tried.
inline constexpr std::string_view kInstallFolders[2] = {":\\Program Files\\Corvallo\\",
                                                        ":\\Program Files (x86)\\Corvallo\\"};
inline constexpr std::string_view kDatabaseFile = "CVL.MDB";
inline constexpr std::string_view kDatabasePassword = "846";

// e.g. "c:\Program Files\Corvallo\" for drive letter c and folder 0.
std::string InstallFolder(char drive_letter, int index);

// The connection string that opens the database at `database_path` (a full
// Windows path) with the Jet provider and the database password, for
// reading only when `read_only`.
std::string DatabaseConnectionString(std::string_view database_path, bool read_only = false);

// Reads the chosen drive and probes install folder `index` (0 or 1) on it:
// the folder is there when changing the current directory to it succeeds.
FolderAttempt ProbeInstallFolder(Desktop& desktop, Env& env, int index);

// The databases to visit after install folder `location`: every user's
// VirtualStore copy of its database, unless this process is virtualized (its
// own copy is then what it reads and writes anyway). Each is a found folder
// attempt with `copy_of` set.
std::vector<FolderAttempt> VirtualStoreCopiesOf(const FolderAttempt& location, Env& env);

}  // namespace telo
