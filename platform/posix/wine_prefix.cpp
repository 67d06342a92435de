// WinePrefix: reading <prefix>/dosdevices and mapping Windows paths onto it.
#include "platform/posix/wine_prefix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <tuple>
#include <utility>

#include "base/text.h"

namespace telo {
namespace {

namespace fs = std::filesystem;

bool IsDriveName(const std::string& name) {
  return name.size() == 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

// What the drive list shows in brackets: the last component of a link's
// target ("drive_c" for ../drive_c, "/" for /), or the entry's own name for
// a plain folder.
std::string DriveLabel(const fs::path& device, bool is_link) {
  if (!is_link) return device.filename().string();
  std::error_code ec;
  std::string target = fs::read_symlink(device, ec).string();
  if (ec) return "?";
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  if (target == "/") return target;
  return fs::path(target).filename().string();
}

std::optional<WineDrive> ReadDrive(const fs::directory_entry& item) {
  std::string name = item.path().filename().string();
  if (!IsDriveName(name)) return std::nullopt;
  std::error_code ec;
  fs::file_status status = item.symlink_status(ec);
  if (ec) return std::nullopt;
  bool is_link = fs::is_symlink(status);
  // A dangling link is still a drive (like an empty CD drive): probes on it fail.
  if (!is_link && !fs::is_directory(status)) return std::nullopt;
  WineDrive drive;
  drive.letter = LowerAscii(name[0]);
  drive.device = item.path().string();
  drive.entry = std::string{drive.letter, ':'} + " [" + DriveLabel(item.path(), is_link) + "]";
  return drive;
}

std::vector<WineDrive> ReadDrives(const fs::path& devices) {
  std::vector<WineDrive> drives;
  std::error_code ec;
  for (fs::directory_iterator it(devices, ec), end; !ec && it != end; it.increment(ec)) {
    if (auto drive = ReadDrive(*it)) drives.push_back(*drive);
  }
  std::sort(drives.begin(), drives.end(), [](const WineDrive& a, const WineDrive& b) {
    return std::tie(a.letter, a.device) < std::tie(b.letter, b.device);
  });
  // "C:" beside "c:": keep one, as a letter names one drive.
  auto same_letter = [](const WineDrive& a, const WineDrive& b) { return a.letter == b.letter; };
  drives.erase(std::unique(drives.begin(), drives.end(), same_letter), drives.end());
  return drives;
}

std::string ProblemWithPrefix(const std::string& root) {
  if (root.empty()) {
    return "No Wine prefix: neither WINEPREFIX nor HOME is set, so there are no drives to "
           "choose from.";
  }
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    return "The Wine prefix " + root +
           " does not exist, so there are no drives to choose from. Set WINEPREFIX to a "
           "prefix made by Wine.";
  }
  if (!fs::is_directory(fs::path(root) / "dosdevices", ec)) {
    return "The Wine prefix " + root +
           " has no dosdevices folder, so there are no drives to choose from.";
  }
  return "";
}

// How many leading components of `inner` are those of `outer`, or -1 when
// `inner` is not inside `outer`.
int DepthInside(const fs::path& outer, const fs::path& inner) {
  auto [outer_end, inner_pos] =
      std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  if (outer_end != outer.end()) return -1;
  return static_cast<int>(std::distance(outer.begin(), outer.end()));
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// One component of a Windows path, and the path's text up to it, with the
// separator after it ("c:\\Program Files\\" for "Program Files").
struct Component {
  std::string name;
  std::string shown;
};

std::vector<Component> SplitComponents(std::string_view path, size_t start) {
  std::vector<Component> parts;
  std::string part;
  for (size_t at = start; at <= path.size(); ++at) {
    if (at < path.size() && !IsSeparator(path[at])) {
      part += path[at];
      continue;
    }
    if (!part.empty()) parts.push_back({part, std::string(path.substr(0, at + 1))});
    part.clear();
  }
  return parts;
}

// The entries of `dir` whose names equal `name` but for letter case, the
// exact name among them, sorted byte by byte. Every probe passes through
// here, so it asks the file system directly, without building a path for
// each entry of the folder. A folder that can't be listed (no read
// permission) is asked for the exact name alone.
std::vector<std::string> NamesMatching(const fs::path& dir, const std::string& name) {
  std::vector<std::string> matches;
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) {
    struct stat info;
    if (lstat((dir / name).c_str(), &info) == 0) matches.push_back(name);
    return matches;
  }
  while (const dirent* entry = readdir(listing)) {
    if (EqualsIgnoreCase(entry->d_name, name)) matches.emplace_back(entry->d_name);
  }
  closedir(listing);
  std::sort(matches.begin(), matches.end());
  return matches;
}

Status AmbiguousName(const fs::path& dir, const std::vector<std::string>& matches,
                     const std::string& shown) {
  size_t folders = 0;
  std::string names;
  for (const std::string& match : matches) {
    std::error_code ec;
    if (fs::is_directory(dir / match, ec)) ++folders;
    names += (names.empty() ? "" : ", ") + match;
  }
  const char* kind = folders == matches.size() ? "folder"
                     : folders == 0            ? "file"
                                               : "file or folder";
  return Status::Error(error::kAmbiguousName,
                       "'" + shown + "' matches more than one " + kind + " in " + dir.string() +
                           ": " + names +
                           ". Windows sees these as one name; keep one and remove or rename "
                           "the others.");
}

// `dir`/`name` as Windows would find it: the one entry whose name differs
// from `name` at most in letter case. Clears `found` when there is none and
// keeps `name` as written; fails with kAmbiguousName when there are several,
// since nothing says which one the host opens. `shown` is the Windows path
// up to this component, for the message.
Status ResolveComponent(const fs::path& dir, const std::string& name, const std::string& shown,
                        fs::path* resolved, bool* found) {
  const std::vector<std::string> matches = NamesMatching(dir, name);
  if (matches.size() > 1) return AmbiguousName(dir, matches, shown);
  *found = !matches.empty();
  *resolved = dir / (*found ? matches.front() : name);
  return Status::Ok();
}

}  // namespace

std::string DefaultWinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::string(home) + "/.wine";
  return "";
}

WinePrefix WinePrefix::Load(std::string_view prefix_dir) {
  WinePrefix prefix;
  prefix.root_ = prefix_dir.empty() ? DefaultWinePrefix() : std::string(prefix_dir);
  // The update run changes the current directory, so a relative prefix
  // must be pinned to where it was named.
  std::error_code ec;
  if (!prefix.root_.empty()) {
    fs::path absolute = fs::absolute(prefix.root_, ec);
    if (!ec) prefix.root_ = absolute.lexically_normal().string();
    if (prefix.root_.size() > 1 && prefix.root_.ends_with('/')) prefix.root_.pop_back();
  }
  prefix.problem_ = ProblemWithPrefix(prefix.root_);
  if (!prefix.problem_.empty()) return prefix;
  prefix.drives_ = ReadDrives(fs::path(prefix.root_) / "dosdevices");
  if (prefix.drives_.empty()) {
    prefix.problem_ = "The Wine prefix " + prefix.root_ +
                      " has no drives (entries like c: in its dosdevices folder).";
  }
  return prefix;
}

std::vector<std::string> WinePrefix::DriveEntries() const {
  std::vector<std::string> entries;
  for (const WineDrive& drive : drives_) entries.push_back(drive.entry);
  return entries;
}

std::string WinePrefix::DriveEntryHolding(const std::string& posix_dir) const {
  if (drives_.empty()) return "";
  std::error_code ec;
  fs::path dir = fs::weakly_canonical(posix_dir, ec);
  const WineDrive* best = nullptr;
  int best_depth = -1;
  for (const WineDrive& drive : drives_) {
    fs::path folder = fs::canonical(drive.device, ec);
    if (ec || dir.empty()) continue;
    int depth = DepthInside(folder, dir);
    if (depth > best_depth) {
      best = &drive;
      best_depth = depth;
    }
  }
  if (best != nullptr) return best->entry;
  for (const WineDrive& drive : drives_) {
    if (drive.letter == 'c') return drive.entry;
  }
  return drives_.front().entry;
}

std::string WinePrefix::CurrentDriveEntry() const {
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  return DriveEntryHolding(ec ? std::string() : cwd.string());
}

Status WinePrefix::MapPath(std::string_view windows_path, std::string* posix_path) const {
  std::string shown(windows_path);
  if (windows_path.size() < 2 || !std::isalpha(static_cast<unsigned char>(windows_path[0])) ||
      windows_path[1] != ':') {
    return Status::Error(error::kPathNotFound,
                         "'" + shown + "' is not a Windows path that starts with a drive letter.");
  }
  char letter = LowerAscii(windows_path[0]);
  auto drive = std::find_if(drives_.begin(), drives_.end(),
                            [letter](const WineDrive& d) { return d.letter == letter; });
  if (drive == drives_.end()) {
    std::string where = root_.empty() ? "no Wine prefix" : "the Wine prefix " + root_;
    return Status::Error(error::kPathNotFound, "There is no drive " + std::string{letter} +
                                                   ": in " + where + " (for '" + shown + "').");
  }
  fs::path result = drive->device;
  bool found = true;
  for (const Component& part : SplitComponents(windows_path, 2)) {
    if (part.name == ".") continue;
    if (part.name == "..") {
      if (result != fs::path(drive->device)) result = result.parent_path();
      std::error_code ec;
      found = fs::exists(result, ec);
      continue;
    }
    if (!found) {
      result /= part.name;
      continue;
    }
    fs::path next;
    Status status = ResolveComponent(result, part.name, part.shown, &next, &found);
    if (!status.ok()) return status;
    result = std::move(next);
  }
  *posix_path = result.string();
  return Status::Ok();
}

}  // namespace telo
