// RunCli: starts the built telo-cli.exe (beside the test's own .exe) as a
// script would: standard input from NUL, standard output and error into
// files of their own (which never fill up, as a pipe could), killed when it
// runs longer than a minute. Windows tests only.
#pragma once

#include <windows.h>

#include <string>

namespace telo {

struct CliRun {
  DWORD exit_code = 0xFFFFFFFF;
  std::string out;
  std::string err;
};

CliRun RunCli(const std::wstring& arguments);

}  // namespace telo
