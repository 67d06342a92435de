// PatchedTablesFixture: a Jet fixture (jet_fixture.h) holding the thirteen
// tables that the patch rewrites, for tests of whole runs through the ADO
// double: write it, run, read the file back. Each table has the columns its
// statements name, typed as they are written (a column of date literals is
// DATETIME, of whole numbers only LONG, any other DOUBLE; an update's key
// LONG), and old rows that the patch changes: one row of its own in a
// refilled table, and in an updated table a row for every key the updates
// name plus one they don't. ApplyWholePatch gives what a run should leave in
// such tables. Pure; built from the patch data on each call.
#pragma once

#include <string>

#include "testing/ado_double/jet_fixture.h"

namespace telo {

JetFixture PatchedTablesFixture(std::string password = "846");

// Applies every patch statement to `tables` in order, as the ADO double runs
// them (declared tables and columns only); stops at the first that fails.
Status ApplyWholePatch(FakeTables* tables);

}  // namespace telo
