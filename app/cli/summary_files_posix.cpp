// The summary's files on POSIX, through std::filesystem and the file streams.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/cli/summary_files.h"

namespace telo {

namespace fs = std::filesystem;

namespace {

std::string SystemReason() { return errno ? std::strerror(errno) : "unknown reason"; }

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

}  // namespace telo
