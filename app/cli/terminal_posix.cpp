// StdinIsTerminal for POSIX.
#include <unistd.h>

#include "app/cli/terminal.h"

namespace telo {

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

}  // namespace telo
