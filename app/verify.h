// Verification: does a table hold what the patch writes? The expected
// contents are read from the patch statements themselves (the rows of the
// inserts, the values and conditions of the updates), once per process, so
// the statement constants stay the one source of the patch data. Values are
// compared the way their column holds them, not as texts: a Single as a
// float, a Double as a double, whole numbers, Currency, Decimal and numbers
// kept as text exactly (23.660 = 23.66, but 1543 != 1543.3), dates by their
// day. Row order doesn't matter. Only reads through Connection::Query.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "db/connection.h"

namespace telo {

enum class TableState {
  kUpToDate,
  kDiffers,     // `detail` gives the row counts or the first differing row
  kMissing,     // the database has no such table
  kUnreadable,  // the table could not be read; `status` says why
  // A warning: an update of this table named rows that it doesn't have
  // (`detail` says which), and every row it has holds the patch.
  kNoRowToUpdate,
};

struct TableCheck {
  std::string_view table;
  TableState state = TableState::kUpToDate;
  std::string detail;
  Status status;
};

std::string_view TableStateName(TableState state);  // "up to date", "differs", ...

// Every row the table has holds the patch: up to date, or only a warning.
bool HoldsThePatch(TableState state);
// Every one of `checks` holds the patch (and there is at least one).
bool TablesHoldThePatch(const std::vector<TableCheck>& checks);

// The thirteen tables the patch writes, in the order the sequence first
// writes them.
std::vector<std::string_view> PatchedTables();

// Compares one patched table with the patch data.
TableCheck CheckTable(Connection& connection, std::string_view table);

// CheckTable for every one of `tables`.
std::vector<TableCheck> CheckTables(Connection& connection,
                                    const std::vector<std::string_view>& tables);

}  // namespace telo
