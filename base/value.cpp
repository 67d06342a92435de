// ValueText: a cell as people read it.
#include "base/value.h"

#include <algorithm>
#include <cinttypes>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace telo {
namespace {

// The shortest text that reads back as the same number, with a point as the
// decimal separator whatever the C locale says (a Qt program adopts the
// user's). Formatting by hand keeps std::to_chars, and the half megabyte of
// tables it brings, out of the static Windows programs. A number of
// ordinary size is never written with an exponent: 100 is "100", not the
// "1e+02" that one significant digit would give.
template <typename Number>
std::string Shortest(Number number) {
  const double magnitude = std::fabs(static_cast<double>(number));
  const bool ordinary = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e15);
  char text[40];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(number));
    if (ordinary && std::strchr(text, 'e') != nullptr) continue;
    if (static_cast<Number>(std::strtod(text, nullptr)) == number) break;
  }
  std::string shown = text;
  const char point = *std::localeconv()->decimal_point;
  if (point != '.') std::replace(shown.begin(), shown.end(), point, '.');
  return shown;
}

std::string CurrencyText(int64_t ten_thousandths) {
  const bool negative = ten_thousandths < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(ten_thousandths)
                                      : static_cast<uint64_t>(ten_thousandths);
  char text[32];
  std::snprintf(text, sizeof text, "%s%" PRIu64 ".%04" PRIu64, negative ? "-" : "",
                magnitude / 10000, magnitude % 10000);
  return text;
}

}  // namespace

std::string ValueText(const Value& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return "Null"; }
    std::string operator()(int64_t number) const { return std::to_string(number); }
    std::string operator()(double number) const { return Shortest(number); }
    std::string operator()(float number) const { return Shortest(number); }
    std::string operator()(const Currency& currency) const {
      return CurrencyText(currency.ten_thousandths);
    }
    std::string operator()(const Decimal& decimal) const { return decimal.digits; }
    std::string operator()(const DateTime& date) const { return date.iso; }
    std::string operator()(const std::string& text) const { return text; }
  };
  return std::visit(Visitor{}, value);
}

}  // namespace telo
