// WinePrefix: the drives of a Wine-style prefix and the mapping of Windows
// paths onto them. The drives are the entries named like "c:" in
// <prefix>/dosdevices, each a folder or a link to one; other entries ("com1",
// "d::") are skipped. A prefix is read once by Load and is then an immutable
// value, safe to share between the stand-in connections. A missing or
// unreadable prefix gives an empty drive list and a problem() text; nothing
// here throws.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace telo {

struct WineDrive {
  char letter = 0;     // lower case, as in the dosdevices entry
  std::string entry;   // the drive list's text, e.g. "c: [drive_c]"
  std::string device;  // <prefix>/dosdevices/c:
};

class WinePrefix {
 public:
  // Reads the drives of `prefix_dir`; an empty `prefix_dir` means
  // $WINEPREFIX, or ~/.wine when that is unset or empty.
  static WinePrefix Load(std::string_view prefix_dir);

  const std::string& root() const { return root_; }
  // Sorted by letter.
  const std::vector<WineDrive>& drives() const { return drives_; }
  // Why the drive list is empty, for the user; "" when the prefix was read.
  const std::string& problem() const { return problem_; }

  std::vector<std::string> DriveEntries() const;
  // The drive whose folder holds `posix_dir` (the deepest one when several
  // do); failing that c:, failing that the first drive; "" without drives.
  std::string DriveEntryHolding(const std::string& posix_dir) const;
  // DriveEntryHolding for the process's current directory.
  std::string CurrentDriveEntry() const;

  // Maps "c:\Program Files\Corvallo\CVL.MDB" to
  // "<prefix>/dosdevices/c:/Program Files/Corvallo/CVL.MDB". The drive letter
  // may be of either case; '\' and '/' both separate components; a component
  // matches the one existing entry whose name differs from it at most in
  // letter case, as on Windows. Components that match nothing are kept as
  // written, so the result names a path that doesn't exist. Fails with
  // error::kPathNotFound when the path has no drive letter or the drive is
  // not in the prefix, and with error::kAmbiguousName, naming every match,
  // when a component matches more than one entry ("Corvallo" beside
  // "CORVALLO", an exact name beside one differing in case too): Windows
  // sees these as one name, and no one of them is chosen.
  Status MapPath(std::string_view windows_path, std::string* posix_path) const;

 private:
  std::string root_;
  std::vector<WineDrive> drives_;
  std::string problem_;
};

// The prefix that Load uses for an empty `prefix_dir`; "" when neither
// WINEPREFIX nor HOME is set.
std::string DefaultWinePrefix();

}  // namespace telo
