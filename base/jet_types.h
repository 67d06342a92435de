// Jet column types as a table declares them ("SINGLE", "CURRENCY",
// "DECIMAL(10,2)", "TEXT(50)", ...) and the kind of value Jet hands back for
// each. Both connections that stand in for Jet use it: the SQLite stand-in
// converts what it stored, and the ADO double picks each field's VARIANT type.
// Pure functions, no state.
#pragma once

#include <string_view>

namespace telo {

// What a column holds, and so how a value read from it comes back.
enum class JetType {
  kByte,      // BYTE, TINYINT: whole number 0..255 (VT_UI1)
  kShort,     // SHORT, SMALLINT, INTEGER2: 16-bit whole number (VT_I2)
  kLong,      // LONG, INTEGER, INT, INTEGER4, COUNTER, AUTOINCREMENT (VT_I4)
  kSingle,    // SINGLE, REAL, FLOAT4, IEEESINGLE (VT_R4)
  kDouble,    // DOUBLE, FLOAT, FLOAT8, IEEEDOUBLE, NUMBER (VT_R8)
  kCurrency,  // CURRENCY, MONEY: four decimal places (VT_CY)
  kDecimal,   // DECIMAL(p,s), NUMERIC(p,s), DEC (VT_DECIMAL)
  kDateTime,  // DATETIME, DATE, TIME, TIMESTAMP (VT_DATE)
  kText,      // TEXT(n), CHAR, VARCHAR, STRING, MEMO, LONGTEXT (VT_BSTR)
  kBoolean,   // BIT, YESNO, LOGICAL, BOOLEAN (VT_BOOL)
  kUnknown,   // anything else, or no declared type: read back as stored
};

struct JetColumnType {
  JetType type = JetType::kUnknown;
  int precision = 18;  // kDecimal only
  int scale = 0;       // kDecimal only
};

// Reads a declared column type, case-insensitively; extra words after the
// type ("LONG NOT NULL", "TEXT(20) DEFAULT ''") are ignored.
JetColumnType ParseJetColumnType(std::string_view declared);

}  // namespace telo
