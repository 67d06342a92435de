// StdinIsTerminal for Windows.
#include <io.h>
#include <stdio.h>

#include "app/cli/terminal.h"

namespace telo {

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

}  // namespace telo
