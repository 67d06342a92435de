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

Value StoredValue(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
      return static_cast<int64_t>(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
      return sqlite3_column_double(statement, column);
    case SQLITE_NULL:
      return std::monostate();
    default: {
      const void* bytes = sqlite3_column_blob(statement, column);
      const int size = sqlite3_column_bytes(statement, column);
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
  const int storage = sqlite3_column_type(statement, column);
  if (storage == SQLITE_NULL || type.type == JetType::kUnknown) {
    return StoredValue(statement, column);
  }
  if (type.type == JetType::kText || type.type == JetType::kDateTime) {
    std::string text(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                     static_cast<size_t>(sqlite3_column_bytes(statement, column)));
    if (type.type == JetType::kText) return text;
    if (storage == SQLITE_TEXT) return DateTime{std::move(text)};
    return StoredValue(statement, column);
  }
  const bool whole_type =
      type.type == JetType::kByte || type.type == JetType::kShort || type.type == JetType::kLong;
  // An integer is exact in every whole-number type; keep it whole.
  if (storage == SQLITE_INTEGER && whole_type) {
    return static_cast<int64_t>(sqlite3_column_int64(statement, column));
  }
  if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
    return AsJetType(type, sqlite3_column_double(statement, column));
  }
  // Text in a numeric column: Jet would have converted a number on the way in.
  Value stored = StoredValue(statement, column);
  const std::optional<double> number = StoredNumber(stored);
  return number ? AsJetType(type, *number) : stored;
}

}  // namespace telo
