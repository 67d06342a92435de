// The install's folders, locations and connection strings; see the header.
#include "app/install.h"

#include "db/connection_string.h"

namespace telo {
namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

FolderAttempt ProbeInstallFolder(char drive, int index, Env& env) {
  FolderAttempt location;
  location.number = index + 1;
  location.folder = InstallFolder(drive, index);
  location.database = location.folder + std::string(kDatabaseFile);
  location.probe = env.ChangeDirectory(location.folder);
  location.folder_found = location.probe.ok();
  return location;
}

void AddVirtualStoreCopies(const FolderAttempt& location, Env& env,
                           std::vector<FolderAttempt>& locations) {
  if (!location.folder_found || env.ProcessIsVirtualized()) return;
  for (std::string& path : env.VirtualStoreCopies(location.database)) {
    FolderAttempt& copy = locations.emplace_back();
    copy.number = location.number;
    copy.folder = FolderOf(path);
    copy.folder_found = true;
    copy.copy_of = location.database;
    copy.database = std::move(path);
  }
}

}  // namespace

bool FolderAttempt::unenterable() const {
  return !folder_found && (probe.IsAccessDenied() || probe.IsAmbiguousName());
}

std::optional<char> DriveOfEntry(std::string_view entry) {
  if (entry.empty()) return std::nullopt;
  return entry.front();
}

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

std::vector<FolderAttempt> InstallLocations(const Drives& drives, Env& env) {
  std::vector<FolderAttempt> locations;
  if (drives.letters.empty()) {
    FolderAttempt& none = locations.emplace_back();
    none.probe = Status::Error(error::kPathNotFound, "No drive is chosen.");
    return locations;
  }
  for (char drive : drives.letters) {
    for (int index = 0; index < 2; ++index) {
      locations.push_back(ProbeInstallFolder(drive, index, env));
      AddVirtualStoreCopies(FolderAttempt(locations.back()), env, locations);
    }
  }
  return locations;
}

}  // namespace telo
