// Jet SQL literals and statement shapes; see the header.
#include "base/jet_literals.h"

#include <cctype>
#include <optional>

namespace telo {
namespace {

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

const char* MonthName(int month) {
  static constexpr const char* kNames[12] = {"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};
  return kNames[month - 1];
}

// Reads `min_digits` to `max_digits` digits at `pos`, advancing it.
std::optional<int> ReadNumber(std::string_view text, size_t* pos, size_t min_digits,
                              size_t max_digits) {
  const size_t start = *pos;
  int value = 0;
  while (*pos < text.size() && *pos - start < max_digits &&
         std::isdigit(static_cast<unsigned char>(text[*pos]))) {
    value = value * 10 + (text[*pos] - '0');
    ++*pos;
  }
  if (*pos - start < min_digits) return std::nullopt;
  return value;
}

bool Expect(std::string_view text, size_t* pos, char c) {
  if (*pos >= text.size() || text[*pos] != c) return false;
  ++*pos;
  return true;
}

// "H:MM" or "H:MM:SS" at `pos`.
bool ReadTime(std::string_view text, size_t* pos, JetDateTime* date) {
  const auto hour = ReadNumber(text, pos, 1, 2);
  if (!hour || !Expect(text, pos, ':')) return false;
  const auto minute = ReadNumber(text, pos, 2, 2);
  if (!minute) return false;
  std::optional<int> second = 0;
  if (Expect(text, pos, ':')) second = ReadNumber(text, pos, 2, 2);
  if (!second || *hour > 23 || *minute > 59 || *second > 59) return false;
  date->hour = *hour;
  date->minute = *minute;
  date->second = *second;
  date->has_time = true;
  return true;
}

Status BadDate(std::string_view text, const std::string& why) {
  return Status::Error(error::kCommandError,
                       "The date literal #" + std::string(text) + "# is not a valid date: " + why +
                           " (Jet reads date literals month first: #mm/dd/yyyy#).");
}

// `value` (0 or more) in exactly `width` digits, leading zeros included, at `out`.
char* PutDigits(int value, int width, char* out) {
  for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  return out + width;
}

std::vector<std::string_view> SplitList(std::string_view list) {
  std::vector<std::string_view> items;
  items.reserve(16);  // one allocation for every list of the patch
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(", ", start);
    items.push_back(list.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 2;
  }
  return items;
}

// The patch's own form, mm/dd/yyyy with a date that exists, read in one
// step: every date of every statement comes this way. Anything else is left
// to ReadJetDate's full reading, which also says what is wrong.
bool ReadPlainDate(std::string_view text, CivilDate* date) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/' || !AllDigits(text.substr(0, 2)) ||
      !AllDigits(text.substr(3, 2)) || !AllDigits(text.substr(6, 4))) {
    return false;
  }
  const auto digit = [text](size_t at) { return text[at] - '0'; };
  const int month = digit(0) * 10 + digit(1);
  const int day = digit(3) * 10 + digit(4);
  const int year = digit(6) * 1000 + digit(7) * 100 + digit(8) * 10 + digit(9);
  if (month < 1 || month > 12 || year < 100 || day < 1 || day > DaysInMonth(year, month)) {
    return false;
  }
  *date = CivilDate{year, month, day};
  return true;
}

}  // namespace

std::string CivilDate::Iso() const {
  std::string text;
  JetDateTime date;
  date.date = *this;
  date.AppendIso(&text);
  return text;
}

// Written into a buffer and appended once: every date of every statement
// passes through here.
void JetDateTime::AppendIso(std::string* text) const {
  char iso[19];
  char* end = PutDigits(date.year, 4, iso);
  *end++ = '-';
  end = PutDigits(date.month, 2, end);
  *end++ = '-';
  end = PutDigits(date.day, 2, end);
  if (has_time) {
    *end++ = ' ';
    end = PutDigits(hour, 2, end);
    *end++ = ':';
    end = PutDigits(minute, 2, end);
    *end++ = ':';
    end = PutDigits(second, 2, end);
  }
  text->append(iso, static_cast<size_t>(end - iso));
}

Status ReadJetDate(std::string_view text, JetDateTime* date) {
  *date = JetDateTime{};
  if (ReadPlainDate(text, &date->date)) return Status::Ok();
  size_t pos = 0;
  const auto month = ReadNumber(text, &pos, 1, 2);
  const bool slash1 = month && Expect(text, &pos, '/');
  const auto day = slash1 ? ReadNumber(text, &pos, 1, 2) : std::nullopt;
  const bool slash2 = day && Expect(text, &pos, '/');
  const auto year = slash2 ? ReadNumber(text, &pos, 4, 4) : std::nullopt;
  if (!year) return BadDate(text, "it is not written as month/day/year with a 4-digit year");
  if (pos < text.size() &&
      (!Expect(text, &pos, ' ') || !ReadTime(text, &pos, date) || pos != text.size())) {
    return BadDate(text, "only a time H:MM or H:MM:SS may follow the date");
  }
  if (*month < 1 || *month > 12)
    return BadDate(text, "there is no month " + std::to_string(*month));
  if (*year < 100) return BadDate(text, "the year is before 100");
  if (*day < 1 || *day > DaysInMonth(*year, *month)) {
    return BadDate(text, std::string(MonthName(*month)) + " " + std::to_string(*year) +
                             " has no day " + std::to_string(*day));
  }
  date->date = CivilDate{*year, *month, *day};
  return Status::Ok();
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
  CivilDate date;
  if (!ReadPlainDate(literal.substr(1, 10), &date)) return std::nullopt;
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
