// The console program's platform on POSIX: plain standard streams.
#include <unistd.h>

#include <iostream>

#include "app/cli/terminal.h"

namespace telo {

const bool kPrefixOptionAvailable = true;

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

void WriteOut(std::string_view text) { std::cout << text; }

void WriteErr(std::string_view text) { std::cerr << text; }

bool ReadLine(std::string& line) { return static_cast<bool>(std::getline(std::cin, line)); }

Status WithConnections(const std::function<void()>& run) {
  run();
  return Status::Ok();
}

}  // namespace telo
