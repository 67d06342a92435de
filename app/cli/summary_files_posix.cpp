// telo-cli's files on POSIX, through std::filesystem and the file streams;
// the result file through the system calls that flush and rename it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/cli/summary_files.h"

namespace telo {

namespace fs = std::filesystem;

namespace {

std::string SystemReason() { return errno ? std::strerror(errno) : "unknown reason"; }

// The failure of `step` in writing `path` whole, for errno's value `reason`.
Status WriteFailure(const std::string& path, const std::string& step, int reason) {
  const int32_t number = reason == ENOENT || reason == ENOTDIR ? error::kPathNotFound
                         : reason == EACCES || reason == EPERM || reason == EROFS
                             ? error::kAccessDenied
                             : error::kUnspecifiedFailure;
  return Status::Error(
      number, path + " could not be written: " + step + " (" + std::strerror(reason) + ")");
}

bool WriteAll(int file, std::string_view text) {
  while (!text.empty()) {
    const ssize_t wrote = write(file, text.data(), text.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote == 0) errno = EIO;  // no progress and no reason
    if (wrote <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

// Once a file is renamed, flushing its folder makes the new name last too;
// a folder that can't be opened or flushed is no failure of the write.
void FlushFolderOf(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  const int handle =
      open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  fsync(handle);
  close(handle);
}

}  // namespace

Status ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  std::error_code failure;
  fs::directory_iterator it(folder, failure);
  for (; !failure && it != fs::directory_iterator(); it.increment(failure)) {
    std::error_code ignored;  // a dangling link is no folder
    entries->push_back({it->path().filename().string(), it->is_directory(ignored)});
  }
  if (failure) return Status::Error(error::kPathNotFound, failure.message());
  return Status::Ok();
}

Status ReadFileStart(const std::string& folder, const std::string& name, std::size_t limit,
                     std::string* text) {
  errno = 0;
  std::ifstream in(fs::path(folder) / name, std::ios::binary);
  if (!in) return Status::Error(error::kOpenFailed, SystemReason());
  text->clear();
  char chunk[16 * 1024];
  while (text->size() <= limit) {
    in.read(chunk, sizeof chunk);
    if (in.gcount() == 0) break;
    text->append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return Status::Error(error::kUnspecifiedFailure, SystemReason());
  return Status::Ok();
}

Status WriteWholeFile(const std::string& path, std::string_view text) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out)
    return Status::Error(error::kOpenFailed,
                         "can't be opened for writing (" + SystemReason() + ")");
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out)
    return Status::Error(error::kUnspecifiedFailure,
                         "could not be written (" + SystemReason() + ")");
  return Status::Ok();
}

Status WriteFileAtomically(const std::string& path_utf8, std::string_view text) {
  const std::string temporary = path_utf8 + ".tmp-" + std::to_string(getpid());
  const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (file < 0) {
    return WriteFailure(path_utf8, "the temporary file " + temporary + " can't be made", errno);
  }
  std::string failed_step;
  int reason = 0;
  const auto failed = [&](std::string step) {
    reason = errno;
    failed_step = std::move(step);
  };
  if (!WriteAll(file, text)) {
    failed("writing the temporary file " + temporary + " failed");
  } else if (fsync(file) != 0) {
    failed("flushing the temporary file " + temporary + " to the disk failed");
  }
  if (close(file) != 0 && failed_step.empty()) {
    failed("closing the temporary file " + temporary + " failed");
  }
  if (failed_step.empty() && rename(temporary.c_str(), path_utf8.c_str()) != 0) {
    failed("renaming " + temporary + " over it failed");
  }
  if (!failed_step.empty()) {
    unlink(temporary.c_str());
    return WriteFailure(path_utf8, failed_step, reason);
  }
  FlushFolderOf(path_utf8);
  return Status::Ok();
}

}  // namespace telo
