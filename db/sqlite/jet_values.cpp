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

// The cell as SQLite stored it. Cells are read through their sqlite3_value,
// which costs less than one statement call for each detail.
Value StoredValue(sqlite3_value* cell) {
  switch (sqlite3_value_type(cell)) {
    case SQLITE_INTEGER:
      return static_cast<int64_t>(sqlite3_value_int64(cell));
    case SQLITE_FLOAT:
      return sqlite3_value_double(cell);
    case SQLITE_NULL:
      return std::monostate();
    default: {
      const void* bytes = sqlite3_value_blob(cell);
      const int size = sqlite3_value_bytes(cell);
      return std::string(static_cast<const char*>(bytes), static_cast<size_t>(size));
    }
  }
}

// The stored value as a number, when it is one (text that reads wholly as a
// number counts, as Jet converts it on the way in).
std::optional<double> StoredNumber(const Value& stored) {
  if (const auto* whole = std::get_if<int64_t>(&stored)) return static_cast<double>(*whole);
  if (const auto* number = std::get_if<double>(&stored)) return *number;
  if (const auto* text = std::get_if<std::string>(&stored)) {
    double number = 0;
    const char* end = text->data() + text->size();
    if (!text->empty() && std::from_chars(text->data(), end, number).ptr == end) return number;
  }
  return std::nullopt;
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

Value ReadJetValue(sqlite3_stmt* statement, int column, const JetColumnType& type) {
  sqlite3_value* cell = sqlite3_column_value(statement, column);
  const int storage = sqlite3_value_type(cell);
  if (storage == SQLITE_NULL || type.type == JetType::kUnknown) return StoredValue(cell);
  if (type.type == JetType::kText || (type.type == JetType::kDateTime && storage == SQLITE_TEXT)) {
    std::string text(reinterpret_cast<const char*>(sqlite3_value_text(cell)),
                     static_cast<size_t>(sqlite3_value_bytes(cell)));
    if (type.type == JetType::kText) return text;
    return DateTime{std::move(text)};
  }
  if (type.type == JetType::kDateTime) return StoredValue(cell);
  const bool whole_type =
      type.type == JetType::kByte || type.type == JetType::kShort || type.type == JetType::kLong;
  // An integer is exact in every whole-number type; keep it whole.
  if (storage == SQLITE_INTEGER && whole_type) {
    return static_cast<int64_t>(sqlite3_value_int64(cell));
  }
  if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
    return AsJetType(type, sqlite3_value_double(cell));
  }
  // Text in a numeric column: Jet would have converted a number on the way in.
  Value stored = StoredValue(cell);
  const std::optional<double> number = StoredNumber(stored);
  return number ? AsJetType(type, *number) : stored;
}

}  // namespace telo
