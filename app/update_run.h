// The update run: everything the Update button does. It asks for
// confirmation, probes both install folders on the chosen drive, and for each
// one found opens its database through cnMain, runs the patch sequence inside
// one transaction, commits, closes, and finally shows the outcome box. When
// Windows would not redirect this process's writes, every user's VirtualStore
// copy of a found database is patched too, right after that database.
// It runs to its end on the caller's thread and returns the report.
#pragma once

#include <string>
#include <string_view>

#include "app/desktop.h"
#include "app/report.h"
#include "db/connection.h"
#include "platform/env.h"

namespace telo {

inline constexpr std::string_view kConfirmPrompt =
    "Update may take some time. Please do not click on this form after clicking on Update button. "
    "You will be given message when updation is competed. Are you sure to Update Database?";
inline constexpr std::string_view kConfirmTitle = "TELO Database Update";
inline constexpr std::string_view kCompletionPrompt = "Database Updated successfully !  ";
inline constexpr std::string_view kCompletionTitle = "Database Update";

struct InstallAttempt {
  std::string_view folder_tail;    // follows the drive letter
  std::string_view database_tail;  // follows the drive letter in the connection string
};

inline constexpr std::string_view kConnectionStringHead =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
// Follows the database's path in every connection string.
inline constexpr std::string_view kPasswordClause = ";Jet OLEDB:Database Password=846";
inline constexpr InstallAttempt kInstallAttempts[2] = {
    {":\\Program Files\\Corvallo\\",
     ":\\Program Files\\Corvallo\\CVL.MDB;Jet OLEDB:Database Password=846"},
    {":\\Program Files (x86)\\Corvallo\\",
     ":\\Program Files (x86)\\Corvallo\\CVL.MDB;Jet OLEDB:Database Password=846"},
};

// Appended to a connection string to open the database for reading only.
inline constexpr std::string_view kReadOnlyMode = "Mode=Read";

std::string InstallFolder(char drive_letter, const InstallAttempt& attempt);
std::string ConnectionStringFor(char drive_letter, const InstallAttempt& attempt);
// The connection string of a database given by its full Windows path.
std::string ConnectionStringForDatabase(std::string_view database_path);

// One install folder on the chosen drive: where it is, and whether changing
// the current directory to it succeeded (which is what makes it present).
struct InstallProbe {
  FolderAttempt location;
  std::string connection_string;
};

// Reads the chosen drive and probes install folder `index` (0 or 1) on it.
InstallProbe ProbeInstallFolder(Desktop& desktop, Env& env, int index);

// The databases to visit after install folder `location`: every user's
// VirtualStore copy of its database, unless this process is virtualized (its
// own copy is then what it reads and writes anyway). Each one is a found
// folder attempt with `copy_of` set, and its connection string.
std::vector<InstallProbe> VirtualStoreCopiesOf(const FolderAttempt& location, Env& env);

// cmdUpdate_Click's logic.
RunReport RunUpdate(Desktop& desktop, Env& env, ConnectionSlot& cnMain);

}  // namespace telo
