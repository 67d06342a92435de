// Value: one cell read back from a host database, typed the way its column
// holds it, so that a comparison can honour the column: a Single is a float,
// a Currency a whole number of ten-thousandths, a Decimal exact digits at its
// scale. Plain values; copy and compare them freely.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace telo {

// Currency (VT_CY): a whole number of ten-thousandths.
struct Currency {
  int64_t ten_thousandths = 0;
  bool operator==(const Currency&) const = default;
};

// Decimal (VT_DECIMAL): exact decimal text at the value's scale, e.g. "-23.660".
struct Decimal {
  std::string digits;
  bool operator==(const Decimal&) const = default;
};

// Date and time (VT_DATE): "YYYY-MM-DD", followed by " HH:MM:SS" only when
// the time is not midnight.
struct DateTime {
  std::string iso;
  bool operator==(const DateTime&) const = default;
};

// Null; whole numbers (Byte, Integer, Long, and Yes/No as -1 or 0); Double;
// Single; Currency; Decimal; a date; text (UTF-8).
using Value =
    std::variant<std::monostate, int64_t, double, float, Currency, Decimal, DateTime, std::string>;

// The value as people read it: "Null", "1543", "23.66", "23.6600", "2012-04-01", text as it is.
std::string ValueText(const Value& value);

}  // namespace telo
