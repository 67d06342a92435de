// Parsers for the literal forms that the patch statements use.
#include "patch/literals.h"

#include <cctype>
#include <cstdio>

namespace telo {
namespace {

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

int ToInt(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::vector<std::string_view> SplitList(std::string_view list) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(", ", start);
    items.push_back(list.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 2;
  }
  return items;
}

}  // namespace

std::string CivilDate::Iso() const {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

long CivilDate::DaysSinceEpoch() const {
  // Days from civil, after H. Hinnant's public-domain algorithm.
  const int y = year - (month <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long year_of_era = y - era * 400;
  const long day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

std::optional<CivilDate> ParseJetDateLiteral(std::string_view literal) {
  if (literal.size() != 12 || literal.front() != '#' || literal.back() != '#') return std::nullopt;
  if (literal[3] != '/' || literal[6] != '/') return std::nullopt;
  const std::string_view month = literal.substr(1, 2), day = literal.substr(4, 2),
                         year = literal.substr(7, 4);
  if (!AllDigits(month) || !AllDigits(day) || !AllDigits(year)) return std::nullopt;
  CivilDate date{ToInt(year), ToInt(month), ToInt(day)};
  if (date.month < 1 || date.month > 12) return std::nullopt;
  if (date.day < 1 || date.day > DaysInMonth(date.year, date.month)) return std::nullopt;
  return date;
}

bool IsPlainNumberLiteral(std::string_view literal) {
  const std::size_t point = literal.find('.');
  if (point == std::string_view::npos) return AllDigits(literal);
  return AllDigits(literal.substr(0, point)) && AllDigits(literal.substr(point + 1));
}

std::optional<InsertStatement> ParseInsertStatement(std::string_view statement) {
  static constexpr std::string_view kHead = "Insert Into ";
  static constexpr std::string_view kMiddle = ") Values (";
  if (!statement.starts_with(kHead) || !statement.ends_with(")")) return std::nullopt;
  statement.remove_prefix(kHead.size());
  statement.remove_suffix(1);
  const std::size_t open = statement.find('(');
  const std::size_t middle = statement.find(kMiddle);
  if (open == std::string_view::npos || middle == std::string_view::npos || open > middle) {
    return std::nullopt;
  }
  InsertStatement parts;
  parts.table = statement.substr(0, open);
  parts.columns = SplitList(statement.substr(open + 1, middle - open - 1));
  parts.values = SplitList(statement.substr(middle + kMiddle.size()));
  if (parts.table.empty() || parts.columns.size() != parts.values.size()) return std::nullopt;
  return parts;
}

std::optional<UpdateStatement> ParseUpdateStatement(std::string_view statement) {
  static constexpr std::string_view kHead = "Update ";
  static constexpr std::string_view kSet = " Set ";
  static constexpr std::string_view kEquals = " = ";
  static constexpr std::string_view kWhere = " Where ";
  static constexpr std::string_view kIn = " in (";
  if (!statement.starts_with(kHead)) return std::nullopt;
  statement.remove_prefix(kHead.size());
  const std::size_t set = statement.find(kSet);
  const std::size_t equals = statement.find(kEquals);
  if (set == std::string_view::npos || equals == std::string_view::npos || equals < set) {
    return std::nullopt;
  }
  UpdateStatement parts;
  parts.table = statement.substr(0, set);
  parts.column = statement.substr(set + kSet.size(), equals - set - kSet.size());
  std::string_view rest = statement.substr(equals + kEquals.size());
  const std::size_t where = rest.find(kWhere);
  parts.value = rest.substr(0, where);
  if (where != std::string_view::npos) {
    std::string_view condition = rest.substr(where + kWhere.size());
    const std::size_t in = condition.find(kIn);
    if (in == std::string_view::npos || !condition.ends_with(")")) return std::nullopt;
    parts.where_column = condition.substr(0, in);
    parts.where_list = condition.substr(in + kIn.size(), condition.size() - in - kIn.size() - 1);
  }
  if (parts.table.empty() || parts.column.empty() || !IsPlainNumberLiteral(parts.value)) {
    return std::nullopt;
  }
  return parts;
}

}  // namespace telo
