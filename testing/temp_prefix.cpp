// TempFolder and TempPrefix: mkdtemp under the temporary directory, the
// prefix's links, and the removal that first makes every folder enterable.
#include "testing/temp_prefix.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace telo {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kInstallFolders[2] = {"Program Files/Corvallo",
                                                 "Program Files (x86)/Corvallo"};

Status Failure(const std::string& what, const std::error_code& error) {
  return Status::Error(error::kUnspecifiedFailure,
                       what + ": " + error.message() +
                           ". Set TMPDIR to a folder that can be written and try again.");
}

// Adds the owner's rights to `root` and every folder under it (links are
// left alone), top down, so that each can be entered and emptied.
void GiveOwnerBack(const fs::path& root) {
  std::error_code ignored;  // what can't be unlocked shows when it isn't removed
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    if (it->symlink_status(ignored).type() == fs::file_type::directory) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
}

}  // namespace

TempFolder::TempFolder(std::string_view name) {
  std::error_code error;
  fs::path temp = fs::temp_directory_path(error);
  if (!error) temp = fs::absolute(temp, error).lexically_normal();
  if (error) {
    status_ = Failure("Can't find the temporary directory ($TMPDIR, else /tmp)", error);
    return;
  }
  std::string pattern = (temp / name).string() + "_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    status_ = Failure("Can't make a folder in " + temp.string(),
                      std::error_code(errno, std::generic_category()));
    return;
  }
  path_ = pattern;
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  GiveOwnerBack(path_);
  std::error_code error;
  fs::remove_all(path_, error);
  if (error) {
    std::fprintf(stderr, "Can't remove the temporary folder %s (%s); remove it by hand.\n",
                 path_.c_str(), error.message().c_str());
  }
}

TempPrefix::TempPrefix(std::string_view name, PrefixLayout layout)
    : folder_(name), status_(folder_.status()) {
  if (!status_.ok()) return;
  std::error_code error;
  fs::create_directory(root() / "dosdevices", error);
  for (char letter : layout.drives) {
    const fs::path link = root() / "dosdevices" / (letter + std::string(":"));
    if (!error) fs::create_directory(Drive(letter), error);
    if (!error) fs::create_directory_symlink(".." / Drive(letter).filename(), link, error);
  }
  for (int index = 0; index < layout.install_folders && !error; ++index) {
    fs::create_directories(InstallFolder(index), error);
  }
  if (error) status_ = Failure("Can't lay out a Wine prefix in " + root().string(), error);
}

fs::path TempPrefix::Drive(char letter) const {
  return root() / ("drive_" + std::string(1, letter));
}

fs::path TempPrefix::InstallFolder(int index) const { return Drive('c') / kInstallFolders[index]; }

fs::path TempPrefix::Database(int index) const { return InstallFolder(index) / "CVL.MDB"; }

}  // namespace telo
