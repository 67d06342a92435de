// ReadJetValue: one cell of an SQLite result, read back the way Jet hands
// back a value of the column's declared Jet type (base/jet_types.h): a SINGLE
// as a float, a CURRENCY to four places, a DECIMAL(p,s) at its scale, whole
// number types rounded as Jet stores them, DATETIME as a date. Columns with
// no Jet type come back as SQLite stored them. Only the statement's current
// row is read.
#pragma once

#include "base/jet_types.h"
#include "base/value.h"

struct sqlite3_stmt;

namespace telo {

// The declared Jet type of a result column; kUnknown for an expression.
// Read it once per statement, not once per cell.
JetColumnType ResultColumnType(sqlite3_stmt* statement, int column);

// Reads the cell at `column` of the current row into `*value`, in place.
void ReadJetValue(sqlite3_stmt* statement, int column, const JetColumnType& type, Value* value);

}  // namespace telo
