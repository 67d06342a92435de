// The console program's platform on POSIX: plain standard streams.
#include <sys/stat.h>
#include <sysexits.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/cli/terminal.h"
#include "base/utf8.h"

namespace telo {

const bool kPrefixOptionAvailable = true;
const int kRetryLaterExitCode = EX_TEMPFAIL;

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

void TreatClosedOutputAsWriteError() { std::signal(SIGPIPE, SIG_IGN); }

namespace {

Status Write(std::FILE* stream, std::string_view text) {
  const std::string valid = ValidUtf8(text);
  if (std::fwrite(valid.data(), 1, valid.size(), stream) == valid.size() &&
      std::fflush(stream) == 0) {
    return Status::Ok();
  }
  return Status::Error(error::kUnspecifiedFailure, std::strerror(errno));
}

}  // namespace

Status WriteOut(std::string_view text) { return Write(stdout, text); }

void WriteErr(std::string_view text) { (void)Write(stderr, text); }

bool ReadLine(std::string& line) { return static_cast<bool>(std::getline(std::cin, line)); }

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Status WithConnections(const std::function<void()>& run) {
  run();
  return Status::Ok();
}

}  // namespace telo
