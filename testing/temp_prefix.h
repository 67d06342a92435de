// Temporary folders for the tests and the benchmarks (POSIX): TempFolder, a
// fresh folder under the system's temporary directory ($TMPDIR or /tmp), and
// TempPrefix, one laid out as a Wine-style prefix. Each reports through
// status() whether it could be made, and when it goes it gives its owner back
// the permissions a test took from its folders and removes everything in it.
#pragma once

#include <filesystem>
#include <string_view>

#include "base/status.h"

namespace telo {

class TempFolder {
 public:
  // Makes <temporary directory>/<name>_XXXXXX.
  explicit TempFolder(std::string_view name);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const Status& status() const { return status_; }
  // Absolute; empty if the folder couldn't be made.
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  Status status_;
};

// What a TempPrefix holds besides its empty dosdevices/.
struct PrefixLayout {
  // Each letter x: the folder drive_x and the link dosdevices/x: -> ../drive_x.
  std::string_view drives = "c";
  // How many of the host application's install folders on drive_c to make,
  // in the order tried: Program Files/Corvallo, Program Files (x86)/Corvallo.
  int install_folders = 0;
};

class TempPrefix {
 public:
  explicit TempPrefix(std::string_view name, PrefixLayout layout = {});

  const Status& status() const { return status_; }
  const std::filesystem::path& root() const { return folder_.path(); }
  // drive_<letter>, which dosdevices/<letter>: links to.
  std::filesystem::path Drive(char letter = 'c') const;
  // Install folder `index` (0 or 1) on drive_c, and the database in it,
  // whether they exist or not.
  std::filesystem::path InstallFolder(int index = 0) const;
  std::filesystem::path Database(int index = 0) const;

 private:
  TempFolder folder_;
  Status status_;
};

}  // namespace telo
