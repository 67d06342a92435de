// The console program's platform (terminal_posix.cpp, terminal_windows.cpp;
// CMake builds one): its arguments, its standard input and output, and what
// a run needs around it. All text is UTF-8 here; on Windows a console gets
// and gives UTF-16 whatever its code page, a file or pipe UTF-8 bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace telo {

// Whether --prefix means anything here: only the POSIX build reads its drives
// from a Wine-style prefix.
extern const bool kPrefixOptionAvailable;

// The exit code that deployment tools retry later: Windows Installer's
// ERROR_INSTALL_ALREADY_RUNNING (1618), which Intune and ConfigMgr retry by
// default; on POSIX, whose exit status has 8 bits, EX_TEMPFAIL (75).
extern const int kRetryLaterExitCode;

// The arguments after the program's name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether standard input is an interactive terminal (a console on Windows;
// the NUL device is none, although it is a character device).
bool StdinIsTerminal();

// Called first in main: writing to a pipe whose reader has gone then fails
// like any other write (POSIX would end the program with SIGPIPE instead; a
// Windows write fails already).
void TreatClosedOutputAsWriteError();

// Write UTF-8 text to standard output or error, any byte that isn't well
// formed UTF-8 replaced (base/utf8.h). A failure to write the output (a full
// disk, a closed pipe) comes back with the system's reason; standard error
// is written as well as it can be.
Status WriteOut(std::string_view text);
void WriteErr(std::string_view text);
// One line of standard input without its line end; false when there is none.
bool ReadLine(std::string& line);

// Whether `path` names a folder that exists (following links).
bool IsFolder(const std::string& path);

// Calls `run` where database connections can be made: on Windows inside a
// COM apartment that lasts the whole call, since ADO needs one. When that
// can't be had, `run` is not called and the reason is returned.
Status WithConnections(const std::function<void()>& run);

}  // namespace telo
