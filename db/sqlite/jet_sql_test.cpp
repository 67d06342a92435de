// Tests of the Jet SQL to SQLite translation.
#include "db/sqlite/jet_sql.h"

#include <gtest/gtest.h>

#include "base/status.h"

namespace telo {
namespace {

std::string Translated(std::string_view jet) {
  std::string sqlite;
  Status status = TranslateJetSql(jet, &sqlite);
  EXPECT_TRUE(status.ok()) << status.ToString();
  return sqlite;
}

Status TranslationOf(std::string_view jet) {
  std::string sqlite;
  return TranslateJetSql(jet, &sqlite);
}

TEST(JetSqlTest, DateLiteralsAreReadMonthFirstAndBecomeIsoText) {
  EXPECT_EQ(Translated("Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, "
                       "matpdmonth, df, loanint, loanallowedafter) Values (#09/02/1993#, "
                       "#12/31/1998#, 833.4, 5, 0, 0.2, 9.5, 12)"),
            "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, "
            "loanint, loanallowedafter) Values ('1993-09-02', '1998-12-31', 833.4, 5, 0, 0.2, "
            "9.5, 12)");
  // Read day first these would be the 4th of January and the 3rd of January.
  EXPECT_EQ(Translated("#04/01/2012#"), "'2012-04-01'");
  EXPECT_EQ(Translated("#3/1/2001#"), "'2001-03-01'");
  EXPECT_EQ(Translated("#02/29/2012# #2/29/2000#"), "'2012-02-29' '2000-02-29'");
  EXPECT_EQ(Translated("#12/31/1998 7:05#"), "'1998-12-31 07:05:00'");
}

TEST(JetSqlTest, EverythingButDateLiteralsPassesByteForByte) {
  const std::string_view statements[] = {
      "Update Comm_Rates Set comm_rate = 0.5 Where scheme in (2,4,5)",
      "Insert Into NSC10_Configuration(fromdate) Values (23.660)",
      "Update SB_Configuration Set Rate = 4",
      "  Delete   From  X ;",
  };
  for (std::string_view statement : statements) EXPECT_EQ(Translated(statement), statement);
}

TEST(JetSqlTest, TextInQuotesOrBracketsIsLeftAlone) {
  EXPECT_EQ(Translated("Select '#13/45/2000#', \"#x#\", [odd#name] From T Where d = #01/02/2003#"),
            "Select '#13/45/2000#', \"#x#\", [odd#name] From T Where d = '2003-01-02'");
  EXPECT_EQ(Translated("Select 'it''s #1/1/2000#' , #1/1/2000#"),
            "Select 'it''s #1/1/2000#' , '2000-01-01'");
}

TEST(JetSqlTest, ImpossibleDatesAreErrorsAndNeverReadDayFirst) {
  Status month = TranslationOf("Values (#13/01/2000#)");
  EXPECT_EQ(month.number(), error::kCommandError);
  EXPECT_NE(month.message().find("#13/01/2000#"), std::string::npos);
  EXPECT_NE(month.message().find("no month 13"), std::string::npos);

  Status day = TranslationOf("Values (#02/30/2001#)");
  EXPECT_EQ(day.number(), error::kCommandError);
  EXPECT_NE(day.message().find("February 2001 has no day 30"), std::string::npos);

  for (std::string_view bad :
       {"#02/29/2001#", "#02/29/1900#", "#04/31/2012#", "#00/10/2012#", "#1/0/2012#", "#1/1/12#",
        "#2012-01-01#", "#1/1/2012 25:00#", "#1/1/2012x#", "#1/1/2012", "##"}) {
    EXPECT_EQ(TranslationOf(bad).number(), error::kCommandError) << bad;
  }
}

}  // namespace
}  // namespace telo
