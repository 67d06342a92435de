// Whether standard input is an interactive terminal (terminal_posix.cpp,
// terminal_windows.cpp; CMake builds one).
#pragma once

namespace telo {

bool StdinIsTerminal();

}  // namespace telo
