// Reading the patch statements back: the parts of an insert, Jet date
// literals (#mm/dd/yyyy#, month first) and plain number literals. Used to
// check the statement data and to derive the rows a run must leave behind,
// so the statements stay the one source of the patch data. Pure functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// "#09/02/1993#" -> 1993-09-02. Exactly two digits of month and day and four
// of year; the date must exist (no 02/30, no month 13).
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
