// The update run: everything the Update button does. It asks for
// confirmation, probes both install folders on the chosen drive, and for each
// one found opens its database through cnMain, runs the patch sequence inside
// one transaction, commits, closes, and finally shows the outcome box. When
// Windows would not redirect this process's writes, every user's VirtualStore
// copy of a found database is patched too, right after that database.
// It runs to its end on the caller's thread and returns the report.
#pragma once

#include <string>
#include <string_view>

#include "app/desktop.h"
#include "app/install.h"
#include "app/report.h"
#include "db/connection.h"
#include "platform/env.h"

namespace telo {

// cmdUpdate_Click's logic.
RunReport RunUpdate(Desktop& desktop, Env& env, ConnectionSlot& cnMain);

}  // namespace telo
