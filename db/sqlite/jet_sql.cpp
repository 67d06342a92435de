// Jet SQL to SQLite: date literals, with quoted text passed through.
#include "db/sqlite/jet_sql.h"

#include <cctype>
#include <cstring>
#include <optional>

#include "db/sqlite/sqlite_errors.h"

namespace telo {
namespace {

// Reads 1 to `max_digits` digits at `pos`, advancing it.
std::optional<int> ReadNumber(std::string_view text, size_t* pos, size_t min_digits,
                              size_t max_digits) {
  size_t start = *pos;
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

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

const char* MonthName(int month) {
  static constexpr const char* kNames[12] = {"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};
  return kNames[month - 1];
}

Status BadDate(std::string_view literal, const std::string& why) {
  return Status::Error(error::kCommandError,
                       "The date literal #" + std::string(literal) + "# is not a valid date: " +
                           why + " (Jet reads date literals month first: #mm/dd/yyyy#).");
}

// Where the next quoted name or text, or date literal, starts at or after
// `from`: text.size() when none does. memchr scans fast, and every statement
// passes through here.
size_t NextSpecial(std::string_view text, size_t from) {
  size_t next = text.size();
  for (const char special : {'#', '\'', '"', '['}) {
    const void* found = std::memchr(text.data() + from, special, next - from);
    if (found != nullptr) next = static_cast<const char*>(found) - text.data();
  }
  return next;
}

// `value` (0 or more) in exactly `width` digits, leading zeros included.
void AppendDigits(int value, int width, std::string* text) {
  char digits[8];
  for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char>('0' + value % 10);
  text->append(digits, static_cast<size_t>(width));
}

struct Time {
  int hour = 0, minute = 0, second = 0;
};

// " H:MM" or " H:MM:SS" at `pos`, up to the end of the literal.
std::optional<Time> ReadTime(std::string_view text, size_t* pos) {
  Time time;
  auto hour = ReadNumber(text, pos, 1, 2);
  if (!hour || !Expect(text, pos, ':')) return std::nullopt;
  auto minute = ReadNumber(text, pos, 2, 2);
  if (!minute) return std::nullopt;
  time.hour = *hour;
  time.minute = *minute;
  if (Expect(text, pos, ':')) {
    auto second = ReadNumber(text, pos, 2, 2);
    if (!second) return std::nullopt;
    time.second = *second;
  }
  if (time.hour > 23 || time.minute > 59 || time.second > 59) return std::nullopt;
  return time;
}

}  // namespace

// The ISO text of a date literal, appended to `iso`.
static Status AppendIsoDate(std::string_view literal, std::string* iso) {
  size_t pos = 0;
  auto month = ReadNumber(literal, &pos, 1, 2);
  bool slash1 = month && Expect(literal, &pos, '/');
  auto day = slash1 ? ReadNumber(literal, &pos, 1, 2) : std::nullopt;
  bool slash2 = day && Expect(literal, &pos, '/');
  auto year = slash2 ? ReadNumber(literal, &pos, 4, 4) : std::nullopt;
  if (!year) return BadDate(literal, "it is not written as month/day/year with a 4-digit year");
  std::optional<Time> time;
  if (pos < literal.size()) {
    ++pos;
    if (literal[pos - 1] != ' ' || !(time = ReadTime(literal, &pos)) || pos != literal.size()) {
      return BadDate(literal, "only a time H:MM or H:MM:SS may follow the date");
    }
  }
  if (*month < 1 || *month > 12) {
    return BadDate(literal, "there is no month " + std::to_string(*month));
  }
  if (*year < 100) return BadDate(literal, "the year is before 100");
  if (*day < 1 || *day > DaysInMonth(*month, *year)) {
    return BadDate(literal, std::string(MonthName(*month)) + " " + std::to_string(*year) +
                                " has no day " + std::to_string(*day));
  }
  // Written digit by digit: every statement's dates pass through here.
  AppendDigits(*year, 4, iso);
  *iso += '-';
  AppendDigits(*month, 2, iso);
  *iso += '-';
  AppendDigits(*day, 2, iso);
  if (time) {
    *iso += ' ';
    AppendDigits(time->hour, 2, iso);
    *iso += ':';
    AppendDigits(time->minute, 2, iso);
    *iso += ':';
    AppendDigits(time->second, 2, iso);
  }
  return Status::Ok();
}

Status JetDateToIso(std::string_view literal, std::string* iso) {
  iso->clear();
  return AppendIsoDate(literal, iso);
}

Status TranslateJetSql(std::string_view jet_sql, std::string* sqlite_sql) {
  std::string out;
  out.reserve(jet_sql.size() + 8);
  size_t pos = 0;
  while (pos < jet_sql.size()) {
    char c = jet_sql[pos];
    if (c == '\'' || c == '"' || c == '[') {
      char close = c == '[' ? ']' : c;
      size_t end = jet_sql.find(close, pos + 1);
      end = end == std::string_view::npos ? jet_sql.size() : end + 1;
      out.append(jet_sql.substr(pos, end - pos));  // a doubled quote simply reopens
      pos = end;
      continue;
    }
    if (c != '#') {
      // Plain text up to the next quote, bracket or date literal, in one piece.
      const size_t next = NextSpecial(jet_sql, pos + 1);
      out.append(jet_sql.substr(pos, next - pos));
      pos = next;
      continue;
    }
    size_t end = jet_sql.find('#', pos + 1);
    if (end == std::string_view::npos) {
      return Status::Error(error::kCommandError,
                           "A date literal is not closed with '#' in: " + std::string(jet_sql));
    }
    out += '\'';
    Status status = AppendIsoDate(jet_sql.substr(pos + 1, end - pos - 1), &out);
    if (!status.ok()) return status;
    out += '\'';
    pos = end + 1;
  }
  *sqlite_sql = std::move(out);
  return Status::Ok();
}

}  // namespace telo
