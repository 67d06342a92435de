// Cells as Jet would hand them back; see the header. SQLite keeps a number
// in a column of any Jet type as it was written, so the conversion Jet makes
// when it stores a value is made here, when it is read.
#include "db/sqlite/jet_values.h"

#include <sqlite3.h>

#include <cfenv>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace telo {
namespace {

// The cell's bytes as SQLite stored them (the text of a text cell), asked
// for before their size, as SQLite advises. Cells are read through their
// sqlite3_value, which costs less than one statement call for each detail.
std::string_view StoredBytes(sqlite3_value* cell) {
  const void* bytes = sqlite3_value_blob(cell);
  return {static_cast<const char*>(bytes), static_cast<size_t>(sqlite3_value_bytes(cell))};
}

// The cell as its text (UTF-8), a number converted as SQLite writes it.
std::string_view TextOf(sqlite3_value* cell) {
  const unsigned char* text = sqlite3_value_text(cell);
  return {reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_value_bytes(cell))};
}

// The cell as SQLite stored it.
void ReadStoredValue(sqlite3_value* cell, Value* value) {
  switch (sqlite3_value_type(cell)) {
    case SQLITE_INTEGER:
      value->emplace<int64_t>(sqlite3_value_int64(cell));
      return;
    case SQLITE_FLOAT:
      value->emplace<double>(sqlite3_value_double(cell));
      return;
    case SQLITE_NULL:
      value->emplace<std::monostate>();
      return;
    default:
      value->emplace<std::string>(StoredBytes(cell));
  }
}

// Text that reads wholly as a number, as Jet converts it on the way in.
std::optional<double> NumberIn(std::string_view text) {
  double number = 0;
  const char* end = text.data() + text.size();
  if (!text.empty() && std::from_chars(text.data(), end, number).ptr == end) return number;
  return std::nullopt;
}

bool IsWholeNumber(JetType type) {
  return type == JetType::kByte || type == JetType::kShort || type == JetType::kLong;
}

// Jet rounds a number stored into a whole-number column half to even, as
// OLE Automation's conversions do.
int64_t RoundHalfEven(double number) {
  const int previous = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(number);
  std::fesetround(previous);
  return static_cast<int64_t>(rounded);
}

Value AsJetType(const JetColumnType& column, double number) {
  switch (column.type) {
    case JetType::kByte:
    case JetType::kShort:
    case JetType::kLong:
      return RoundHalfEven(number);
    case JetType::kBoolean:
      return int64_t{number != 0 ? -1 : 0};
    case JetType::kSingle:
      return static_cast<float>(number);
    case JetType::kDouble:
      return number;
    case JetType::kCurrency:
      return Currency{RoundHalfEven(number * 10000)};
    case JetType::kDecimal: {
      char digits[400];
      const auto end = std::to_chars(digits, digits + sizeof digits, number,
                                     std::chars_format::fixed, column.scale);
      return Decimal{std::string(digits, end.ptr)};
    }
    default:
      return number;
  }
}

}  // namespace

JetColumnType ResultColumnType(sqlite3_stmt* statement, int column) {
  const char* declared = sqlite3_column_decltype(statement, column);
  return declared == nullptr ? JetColumnType{} : ParseJetColumnType(declared);
}

void ReadJetValue(sqlite3_stmt* statement, int column, const JetColumnType& type, Value* value) {
  sqlite3_value* cell = sqlite3_column_value(statement, column);
  const int storage = sqlite3_value_type(cell);
  if (storage == SQLITE_NULL || type.type == JetType::kUnknown) {
    ReadStoredValue(cell, value);
  } else if (type.type == JetType::kText) {
    value->emplace<std::string>(TextOf(cell));
  } else if (type.type == JetType::kDateTime) {
    if (storage == SQLITE_TEXT) {
      value->emplace<DateTime>(std::string(TextOf(cell)));
    } else {
      ReadStoredValue(cell, value);
    }
  } else if (storage == SQLITE_INTEGER && IsWholeNumber(type.type)) {
    value->emplace<int64_t>(sqlite3_value_int64(cell));  // exact in every whole-number type
  } else if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
    *value = AsJetType(type, sqlite3_value_double(cell));
  } else if (const std::optional<double> number = NumberIn(StoredBytes(cell))) {
    *value = AsJetType(type, *number);  // Jet would have converted the number on the way in
  } else {
    value->emplace<std::string>(StoredBytes(cell));
  }
}

}  // namespace telo
