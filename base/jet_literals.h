// Jet SQL's literals and the patch's statement shapes: the one reader of Jet
// date literals (month first, always), plain number literals, and the parts
// of an insert or an update. The stand-in translates dates with it, the
// read-back derives the rows a run must leave behind from the statements with
// it, and the in-memory tables of the tests apply statements with it. Pure
// functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace telo {

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;

  std::string Iso() const;  // "YYYY-MM-DD"
  // Days since 1970-01-01, for date arithmetic.
  long DaysSinceEpoch() const;
  auto operator<=>(const CivilDate&) const = default;
};

// A date, and maybe a time, as Jet reads the text between a literal's '#'
// signs: month first, always; month and day in one or two digits, the year
// in four, optionally followed by a 24-hour time H:MM or H:MM:SS.
struct JetDateTime {
  CivilDate date;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool has_time = false;

  // Appends "YYYY-MM-DD", and " HH:MM:SS" when a time was written.
  void AppendIso(std::string* text) const;
};

// Reads "09/02/1993" or "9/2/1993 13:05". Fails with error::kCommandError
// saying why for anything that is no such date (13/01/2000, 02/30/2001);
// a day-first reading is never tried.
Status ReadJetDate(std::string_view text, JetDateTime* date);

// "#09/02/1993#" -> 1993-09-02: the patch's own form, exactly two digits of
// month and day and four of year, and a date that exists.
std::optional<CivilDate> ParseJetDateLiteral(std::string_view literal);

// Digits with at most one decimal point between digits: "12", "0.2", "23.660".
bool IsPlainNumberLiteral(std::string_view literal);

struct InsertStatement {
  std::string_view table;
  std::vector<std::string_view> columns;
  std::vector<std::string_view> values;
};

// "Insert Into T(a, b) Values (x, y)" -> {T, {a, b}, {x, y}}; nullopt for
// anything not of exactly that shape.
std::optional<InsertStatement> ParseInsertStatement(std::string_view statement);

struct UpdateStatement {
  std::string_view table;
  std::string_view column;
  std::string_view value;
  std::string_view where_column;  // "" when every row is updated
  std::string_view where_list;    // e.g. "2,4,5"
};

// "Update T Set c = v" or "Update T Set c = v Where k in (1,2)"; nullopt for
// anything else.
std::optional<UpdateStatement> ParseUpdateStatement(std::string_view statement);

}  // namespace telo
