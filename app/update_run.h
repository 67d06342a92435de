// The update run: everything the Update button does. It asks for
// confirmation, probes both install folders on the chosen drive, and for each
// one found opens its database through cnMain, runs the patch sequence inside
// one transaction, commits, closes, and finally shows the outcome box. When
// Windows would not redirect this process's writes, every user's VirtualStore
// copy of a found database is patched too, right after that database.
// It runs to its end on the caller's thread and returns the report.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/desktop.h"
#include "app/install.h"
#include "app/report.h"
#include "db/connection.h"
#include "platform/env.h"

namespace telo {

// cmdUpdate_Click's logic, on the drive that the front end hands over (a
// window: DriveOfEntry of its drive list's entry, read once; the list can't
// change during a run).
RunReport RunUpdate(const Drives& drives, Desktop& desktop, Env& env, ConnectionSlot& cnMain);

}  // namespace telo
