// ReadJetValue: one cell of an SQLite result, read back the way Jet hands
// back a value of the column's declared Jet type (db/jet_types.h): a SINGLE
// as a float, a CURRENCY to four places, a DECIMAL(p,s) at its scale, whole
// number types rounded as Jet stores them, DATETIME as a date. Columns with
// no Jet type come back as SQLite stored them. A pure function of the
// statement's current row.
#pragma once

#include "db/value.h"

struct sqlite3_stmt;

namespace telo {

Value ReadJetValue(sqlite3_stmt* statement, int column);

}  // namespace telo
