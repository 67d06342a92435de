// The literal readers decide what counts as a valid date or number in the
// patch data, so their edges matter.
#include "base/jet_literals.h"

#include <gtest/gtest.h>

namespace telo {
namespace {

TEST(JetDateLiteral, ReadsMonthFirst) {
  EXPECT_EQ(ParseJetDateLiteral("#12/31/1998#")->Iso(), "1998-12-31");
  EXPECT_EQ(ParseJetDateLiteral("#04/01/2012#")->Iso(), "2012-04-01");
  EXPECT_EQ(ParseJetDateLiteral("#02/29/2012#")->Iso(), "2012-02-29");
}

TEST(JetDateLiteral, RejectsImpossibleOrMalformedDates) {
  for (std::string_view bad :
       {"#13/01/2000#", "#02/30/2001#", "#02/29/2001#", "#00/10/2000#", "#01/00/2000#",
        "#1/02/2000#", "01/02/2000", "#01-02-2000#", "#ab/02/2000#", "#02/29/1900#"}) {
    EXPECT_FALSE(ParseJetDateLiteral(bad)) << bad;
  }
}

TEST(JetDateLiteral, CountsDaysAcrossMonthAndYearEnds) {
  EXPECT_EQ(ParseJetDateLiteral("#01/01/1970#")->DaysSinceEpoch(), 0);
  EXPECT_EQ(ParseJetDateLiteral("#01/01/1999#")->DaysSinceEpoch() -
                ParseJetDateLiteral("#12/31/1998#")->DaysSinceEpoch(),
            1);
  EXPECT_EQ(ParseJetDateLiteral("#03/01/2000#")->DaysSinceEpoch() -
                ParseJetDateLiteral("#02/28/2000#")->DaysSinceEpoch(),
            2);
}

TEST(NumberLiteral, AcceptsOnlyUnsignedPlainDecimals) {
  for (std::string_view good : {"0", "12", "0.2", "23.660", "300000"}) {
    EXPECT_TRUE(IsPlainNumberLiteral(good)) << good;
  }
  for (std::string_view bad : {"", "-1", "+1", ".5", "5.", "1,000", "1e3", "1.2.3", " 1"}) {
    EXPECT_FALSE(IsPlainNumberLiteral(bad)) << bad;
  }
}

TEST(InsertStatement, SplitsTableColumnsAndValues) {
  auto parts = ParseInsertStatement("Insert Into T(a, b) Values (#01/02/2003#, 4.5)");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->table, "T");
  EXPECT_EQ(parts->columns, (std::vector<std::string_view>{"a", "b"}));
  EXPECT_EQ(parts->values, (std::vector<std::string_view>{"#01/02/2003#", "4.5"}));
  EXPECT_FALSE(ParseInsertStatement("Insert Into T(a, b) Values (1)"));
  EXPECT_FALSE(ParseInsertStatement("Insert Into T (a) Values (1);"));
  EXPECT_FALSE(ParseInsertStatement("Delete From T"));
}

TEST(UpdateStatement, SplitsSetAndWhere) {
  auto all_rows = ParseUpdateStatement("Update SB_Configuration Set Rate = 4");
  ASSERT_TRUE(all_rows);
  EXPECT_EQ(all_rows->table, "SB_Configuration");
  EXPECT_EQ(all_rows->column, "Rate");
  EXPECT_EQ(all_rows->value, "4");
  EXPECT_EQ(all_rows->where_column, "");
  auto some = ParseUpdateStatement("Update Comm_Rates Set comm_rate = 0.5 Where scheme in (2,4,5)");
  ASSERT_TRUE(some);
  EXPECT_EQ(some->value, "0.5");
  EXPECT_EQ(some->where_column, "scheme");
  EXPECT_EQ(some->where_list, "2,4,5");
  EXPECT_FALSE(ParseUpdateStatement("Update T Set c = x"));
  EXPECT_FALSE(ParseUpdateStatement("Update T Set c = 1 Where k = 2"));
}

}  // namespace
}  // namespace telo
