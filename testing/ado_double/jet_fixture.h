// Jet fixtures: the text files that the ADO double (testing/ado_double/) opens in
// place of a Jet database such as CVL.MDB. A test writes one before a run
// and reads it back afterwards to see what the program left in the
// "database"; the double reads it at Open and rewrites it on every durable
// change. Pure text handling plus whole-file reads and writes; no state.
//
// The format, one item per line (leading blanks and blank lines ignored):
//
//   telo-jet-fixture 1             the first line, always
//   password 846                   optional: the database password (the rest
//                                  of the line; without it there is none)
//   table SB_Configuration         starts a table; the lines below are its own
//   column fromdate DATETIME       a column: its name, then its declared Jet
//   column Rate DOUBLE             type (the rest of the line, e.g. DECIMAL(10,2))
//   column note TEXT(20) DEFAULT 'none'   a default for inserts that don't name
//                                  the column (the rest of the line)
//   column id COUNTER              an AutoNumber: inserts that don't name it
//                                  number it themselves
//   row #04/01/2012#, 3.75         a row: one literal per column, ", " between
//   reject Rate 9.99               the table's index refuses this value in
//                                  this column (Jet's duplicate-key error)
//
// Columns come before the rows of their table. Literals are written as Jet
// SQL writes them: numbers, #mm/dd/yyyy# dates, 'text', Null; a literal
// can't contain ", ". Tables are written back in name order.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "testing/fake_connection.h"

namespace telo {

inline constexpr std::string_view kJetFixtureHeader = "telo-jet-fixture 1";

struct JetFixture {
  std::optional<std::string> password;  // none: the database has no password
  FakeTables tables;
  bool operator==(const JetFixture&) const = default;
};

std::string FormatJetFixture(const JetFixture& fixture);
// Fails with error::kInvalidArgument, naming the line, for any other text.
Status ParseJetFixture(std::string_view text, JetFixture* fixture);

// The whole file at `path` (the platform's narrow encoding).
Status WriteJetFixtureFile(const std::string& path, const JetFixture& fixture);
Status ReadJetFixtureFile(const std::string& path, JetFixture* fixture);

}  // namespace telo
