// The install's folders, probes, copies and connection strings; see the header.
#include "app/install.h"

#include <optional>

#include "db/connection_string.h"

namespace telo {
namespace {

std::optional<char> DriveLetter(const std::string& drive_text) {
  if (drive_text.empty()) return std::nullopt;
  return drive_text.front();
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

}  // namespace

std::string InstallFolder(char drive_letter, int index) {
  return std::string(1, drive_letter) + std::string(kInstallFolders[index]);
}

std::string DatabaseConnectionString(std::string_view database_path, bool read_only) {
  std::vector<ConnectionString::Pair> pairs = {{kKeyProvider, kJetProvider},
                                               {kKeyDataSource, database_path},
                                               {kKeyDatabasePassword, kDatabasePassword}};
  if (read_only) pairs.push_back({kKeyMode, kModeRead});
  return ConnectionString::Format(pairs);
}

FolderAttempt ProbeInstallFolder(Desktop& desktop, Env& env, int index) {
  FolderAttempt location;
  location.number = index + 1;
  const std::optional<char> letter = DriveLetter(desktop.CurrentDriveText());
  if (!letter) {
    location.probe = Status::Error(error::kPathNotFound, "No drive is chosen.");
    return location;
  }
  location.folder = InstallFolder(*letter, index);
  location.database = location.folder + std::string(kDatabaseFile);
  location.probe = env.ChangeDirectory(location.folder);
  location.folder_found = location.probe.ok();
  return location;
}

std::vector<FolderAttempt> VirtualStoreCopiesOf(const FolderAttempt& location, Env& env) {
  std::vector<FolderAttempt> copies;
  if (!location.folder_found || env.ProcessIsVirtualized()) return copies;
  for (std::string& path : env.VirtualStoreCopies(location.database)) {
    FolderAttempt& copy = copies.emplace_back();
    copy.number = location.number;
    copy.folder = FolderOf(path);
    copy.folder_found = true;
    copy.copy_of = location.database;
    copy.database = std::move(path);
  }
  return copies;
}

}  // namespace telo
