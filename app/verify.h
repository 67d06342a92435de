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
  // `detail` says how, as a phrase: "39 rows, should be 40"; "Rate is 5,
  // should be 4"; "row from 1993-09-02: loanint is 9.6, should be 9.5" (the
  // first row that differs, named by as many of its values as it takes).
  kDiffers,
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

// One line about a table for people, without its line end, e.g.
//   "RD_Configuration: up to date"
//   "SB_Configuration differs: Rate is 5, should be 4"
//   "KVP_Configuration differs in the row from 1993-09-02: matval is 9.6, should be 9.5"
//   "Comm_Rates: no row for scheme 2, 4, 5 to update"
//   "SCSS_Configuration is missing from the database: <the database's reason>"
//   "PPF_Configuration could not be read: <the database's reason>"
std::string DescribeTable(const TableCheck& check);

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
