// The POSIX Env: drives of a Wine-style prefix and folder probes through
// chdir. The prefix is read once, when the Env is made. Its machine facts
// are the host name and the effective user's; no Windows version.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>

#include "base/utc_time.h"
#include "platform/env.h"
#include "platform/posix/wine_prefix.h"

namespace telo {
namespace {

// A folder without any execute bit can't be entered, even by root: Windows
// denies an administrator a folder the same way.
bool EnterableByMode(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return true;  // chdir decides
  return (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

Status DirectoryError(int errno_value, const std::string& folder, const std::string& path) {
  std::string why = std::strerror(errno_value);
  if (errno_value == EACCES || errno_value == EPERM) {
    return Status::Error(error::kAccessDenied, "The folder '" + folder + "' can't be entered (" +
                                                   path + "): " + why + ".");
  }
  return Status::Error(error::kPathNotFound,
                       "The folder '" + folder + "' was not found (" + path + "): " + why + ".");
}

std::string HostName() {
  char name[256] = "";
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

// The effective user's name, or the number when the user has no entry (a
// container that runs under an id of its own).
std::string EffectiveUserName() {
  const uid_t user = geteuid();
  const passwd* entry = getpwuid(user);
  return entry != nullptr && entry->pw_name != nullptr ? entry->pw_name : std::to_string(user);
}

// A prefix's drive letters are lower case.
char UpperLetter(const WineDrive& drive) { return static_cast<char>(drive.letter - 'a' + 'A'); }

class PosixEnv : public Env {
 public:
  explicit PosixEnv(const EnvOptions& options) : prefix_(WinePrefix::Load(options.wine_prefix)) {}

  std::vector<std::string> DriveEntries() override { return prefix_.DriveEntries(); }
  std::string CurrentDriveEntry() override { return prefix_.CurrentDriveEntry(); }
  std::string DriveProblem() override { return prefix_.problem(); }

  // A dosdevices link that leads nowhere is a drive without its medium.
  std::vector<char> FixedDrives() override {
    std::vector<char> letters;
    for (const WineDrive& drive : prefix_.drives()) {
      std::error_code ec;
      if (std::filesystem::is_directory(drive.device, ec)) letters.push_back(UpperLetter(drive));
    }
    return letters;
  }

  Status ChangeDirectory(std::string_view windows_folder) override {
    std::string path;
    Status status = prefix_.MapPath(windows_folder, &path);
    if (!status.ok()) return status;
    if (!EnterableByMode(path)) return DirectoryError(EACCES, std::string(windows_folder), path);
    if (chdir(path.c_str()) != 0) return DirectoryError(errno, std::string(windows_folder), path);
    return Status::Ok();
  }

  Status IdentifyFile(std::string_view windows_path, FileIdentity* identity) override {
    std::string path;
    Status status = prefix_.MapPath(windows_path, &path);
    if (!status.ok()) return status;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
      return Status::Error(errno == ENOENT ? error::kFileNotFound : error::kAccessDenied,
                           "'" + std::string(windows_path) + "' can't be looked at (" + path +
                               "): " + std::strerror(errno) + ".");
    }
    *identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
    return Status::Ok();
  }

  // Wine never virtualizes a program's writes.
  bool ProcessIsVirtualized() override { return false; }
  std::string OwnVirtualStoreCopy(std::string_view) override { return ""; }
  std::vector<std::string> VirtualStoreCopies(std::string_view) override { return {}; }

  MachineFacts Machine() override {
    return {.computer = HostName(),
            .account = EffectiveUserName(),
            .time_utc = UtcTimestamp(std::chrono::system_clock::now()),
            .windows_version = "",
            .elevated = geteuid() == 0,
            .virtualized = false};
  }

 private:
  const WinePrefix prefix_;
};

}  // namespace

std::unique_ptr<Env> NewDefaultEnv(const EnvOptions& options) {
  return std::make_unique<PosixEnv>(options);
}

}  // namespace telo
