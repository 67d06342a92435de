// Jet fixtures must read back exactly what was written, and refuse any
// other text with the line that is wrong.
#include "testing/ado_double/jet_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace telo {
namespace {

using ::testing::HasSubstr;

TEST(JetFixtureTest, WritesTheDocumentedLinesAndReadsThemBack) {
  JetFixture fixture;
  fixture.password = "8 46";
  fixture.tables["Rates"] = {{"fromdate", "rate", "note"},
                             {{"#04/01/2012#", "23.660", "Null"}, {"#09/02/1993#", "4", "'a b'"}},
                             {"DATETIME", "DECIMAL(10, 2)", "TEXT(20)"},
                             {{"rate", "9.99"}}};
  fixture.tables["Empty"] = {{"id", "n"}, {}, {"COUNTER", "LONG DEFAULT 0"}};

  const std::string text = FormatJetFixture(fixture);
  EXPECT_EQ(text,
            "telo-jet-fixture 1\n"
            "password 8 46\n"
            "table Empty\n"
            "column id COUNTER\n"
            "column n LONG DEFAULT 0\n"
            "table Rates\n"
            "column fromdate DATETIME\n"
            "column rate DECIMAL(10, 2)\n"
            "column note TEXT(20)\n"
            "row #04/01/2012#, 23.660, Null\n"
            "row #09/02/1993#, 4, 'a b'\n"
            "reject rate 9.99\n");
  JetFixture read;
  ASSERT_TRUE(ParseJetFixture(text, &read).ok());
  EXPECT_EQ(read, fixture);

  JetFixture indented;
  ASSERT_TRUE(
      ParseJetFixture("telo-jet-fixture 1\r\n\r\n  table T\r\n  column n LONG\r\n", &indented)
          .ok());
  EXPECT_FALSE(indented.password) << "no password line: the database has none";
  EXPECT_EQ(indented.tables["T"].types, std::vector<std::string>{"LONG"});
}

TEST(JetFixtureTest, OtherTextIsRefusedNamingTheLine) {
  const struct {
    std::string_view text;
    std::string_view problem;
  } cases[] = {
      {"Standard Jet DB\n", "not a Jet fixture"},
      {"telo-jet-fixture 1\ncolumn n LONG\n", "line 2: a column outside a table"},
      {"telo-jet-fixture 1\ntable T\ncolumn a LONG\ncolumn b LONG\nrow 1\n",
       "line 5: a row of 1 values for 2 columns"},
      {"telo-jet-fixture 1\ntable T\ncolumn a LONG\nrow 1\ncolumn b LONG\n",
       "line 5: a column after the rows"},
      {"telo-jet-fixture 1\ntable T\ntable T\n", "line 3: table 'T' appears twice"},
      {"telo-jet-fixture 1\ntable T\nindex a\n", "line 3: unknown keyword 'index'"},
      {"telo-jet-fixture 1\ntable T\ncolumn n LONG default\n",
       "line 3: column 'n' has DEFAULT without a value"},
  };
  for (const auto& c : cases) {
    JetFixture fixture;
    fixture.password = "stale";
    const Status status = ParseJetFixture(c.text, &fixture);
    EXPECT_EQ(status.number(), error::kInvalidArgument) << c.text;
    EXPECT_THAT(status.message(), HasSubstr(c.problem));
    EXPECT_EQ(fixture, JetFixture{}) << "nothing half-read is left behind";
  }
}

}  // namespace
}  // namespace telo
