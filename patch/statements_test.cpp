// Checks of the statement data itself: the sequence's shape, the exact texts
// that must reach the database, and the consistency of every row's periods.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/jet_literals.h"
#include "patch/sequence.h"

namespace telo {
namespace {

TEST(PatchSequence, HasTheTwelveProceduresInOrderWithTheirStatementCounts) {
  const std::vector<std::pair<std::string_view, std::size_t>> expected = {
      {"UpdateSBRate", 1},
      {"UpdateRDConfiguration", 11},
      {"UpdateMISConfiguration", 13},
      {"UpdateNSCConfiguration", 10},
      {"UpdateKVPConfiguration", 8},
      {"UpdateNSC10Configuration", 4},
      {"UpdateTDConfiguration", 41},
      {"UpdateKVPPMCRates", 64},
      {"UpdatePPFConfiguration", 16},
      {"UpdateSCSSConfiguration", 4},
      {"UpdateCommRates", 2},
      {"UpdateRDExtensionRates", 102},
  };
  auto sequence = PatchSequence();
  ASSERT_EQ(sequence.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(sequence[i]->name(), expected[i].first);
    EXPECT_EQ(sequence[i]->statement_count(), expected[i].second) << expected[i].first;
  }
}

TEST(PatchSequence, Has276StatementsOf11Deletes262InsertsAnd3Updates) {
  std::map<std::string, int> kinds;
  for (std::string_view statement : AllPatchStatements()) {
    kinds[std::string(statement.substr(0, statement.find(' ')))]++;
  }
  EXPECT_EQ(AllPatchStatements().size(), 276u);
  EXPECT_EQ(kinds["Delete"], 11);
  EXPECT_EQ(kinds["Insert"], 262);
  EXPECT_EQ(kinds["Update"], 3);
  EXPECT_EQ(kinds.size(), 3u);
}

TEST(PatchSequence, EachTableIsEmptiedFirstAndOnlyThenRefilled) {
  for (const PatchProcedure* procedure : PatchSequence()) {
    for (const TableStatements& table : procedure->tables()) {
      const std::string_view first = table.statements.front();
      if (first.starts_with("Update")) continue;
      EXPECT_EQ(first, "Delete From " + std::string(table.table));
      for (std::string_view statement : table.statements.subspan(1)) {
        auto insert = ParseInsertStatement(statement);
        ASSERT_TRUE(insert) << statement;
        EXPECT_EQ(insert->table, table.table);
      }
    }
  }
}

TEST(PatchSequence, RDExtensionRatesWritesRateBeforeWODRate) {
  auto tables = UpdateRDExtensionRates.tables();
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0].table, "RD_Extension_Rate");
  EXPECT_EQ(tables[1].table, "RD_Extension_WOD_Rate");
  EXPECT_EQ(tables[0].statements.size(), 51u);
  EXPECT_EQ(tables[1].statements.size(), 51u);
}

TEST(PatchStatements, ReachTheDatabaseByteForByte) {
  const std::vector<std::string_view> statements = AllPatchStatements();
  const std::set<std::string_view> all(statements.begin(), statements.end());
  for (
      std::string_view expected : {
          "Update SB_Configuration Set Rate = 4",
          "Update Comm_Rates Set comm_rate = 0.5 Where scheme in (2,4,5)",
          "Update Comm_Rates Set comm_rate = 0 Where scheme in (3,6,7)",
          "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#09/02/1993#, #12/31/1998#, 833.4, 5, 0, 0.2, 9.5, 12)",
          "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#09/02/1993#, #12/31/1998#, 13, 6, 0, 10, 300000, 600000, 1000)",
          "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#09/02/1993#, #12/31/1998#, 10.5, 1, 0, 200)",
          "Insert Into NSC10_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#04/01/2013#, #05/01/2013#, 23.660, 10, 0)",
          "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1310.8, 48, 53)",
          "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1980#, #03/31/1981#, 8, 15, 0, 12, 70000, 50, 84)",
          "Insert Into SCSS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#08/02/2004#, #03/31/2012#, 9, 5, 0)",
          "Insert Into RD_Extension_Rate(fromdate, todate, rate, year_ext) Values (#09/02/1993#, #12/31/1998#, 1070.9, 1)",
          "Insert Into RD_Extension_Rate(fromdate, todate, rate, year_ext) Values (#04/01/2014#, #04/01/2012#, 1877.73, 5)",
          "Insert Into RD_Extension_WOD_Rate(fromdate, todate, rate, year_ext) Values (#09/02/1993#, #12/31/1998#, 942.55, 1)",
      }) {
    EXPECT_TRUE(all.contains(expected)) << expected;
  }
}

TEST(PatchStatements, UseOnlyRealMonthFirstDatesAndPlainNumbers) {
  for (std::string_view statement : AllPatchStatements()) {
    EXPECT_FALSE(statement.ends_with(";")) << statement;
    EXPECT_FALSE(statement.ends_with(" ")) << statement;
    auto insert = ParseInsertStatement(statement);
    if (!insert) continue;
    for (std::size_t i = 0; i < insert->values.size(); ++i) {
      const std::string_view value = insert->values[i];
      const std::string_view column = insert->columns[i];
      if (column == "fromdate" || column == "todate") {
        EXPECT_TRUE(ParseJetDateLiteral(value)) << value << " in " << statement;
      } else {
        EXPECT_TRUE(IsPlainNumberLiteral(value)) << value << " in " << statement;
      }
    }
  }
}

TEST(PatchStatements, AllInsertsIntoOneTableNameTheSameColumns) {
  std::map<std::string_view, std::vector<std::string_view>> columns_of;
  for (std::string_view statement : AllPatchStatements()) {
    auto insert = ParseInsertStatement(statement);
    if (!insert) continue;
    auto [it, inserted] = columns_of.emplace(insert->table, insert->columns);
    if (!inserted) {
      EXPECT_EQ(it->second, insert->columns) << statement;
    }
    EXPECT_EQ(insert->columns.front(), "fromdate");
    EXPECT_EQ(insert->columns[1], "todate");
  }
  EXPECT_EQ(columns_of.size(), 11u);
}

// The rows of every refilled table form periods; a transcription slip in a
// date shows up as a gap or an overlap between consecutive periods.
std::vector<std::pair<CivilDate, CivilDate>> PeriodsOf(const TableStatements& table) {
  std::vector<std::pair<CivilDate, CivilDate>> periods;
  for (std::string_view statement : table.statements.subspan(1)) {
    auto insert = ParseInsertStatement(statement);
    auto period =
        std::pair(*ParseJetDateLiteral(insert->values[0]), *ParseJetDateLiteral(insert->values[1]));
    if (periods.empty() || periods.back() != period) periods.push_back(period);
  }
  return periods;
}

TEST(PatchStatements, PeriodsFollowOneAnotherWithoutGapOrOverlap) {
  for (const PatchProcedure* procedure : PatchSequence()) {
    for (const TableStatements& table : procedure->tables()) {
      if (table.statements.front().starts_with("Update")) continue;
      auto periods = PeriodsOf(table);
      std::size_t checked = periods.size();
      // The last period of the extension-rate tables is written as the host
      // carries it (ending before, or on, its own first day).
      if (table.table.starts_with("RD_Extension")) --checked;
      for (std::size_t i = 1; i < checked; ++i) {
        EXPECT_EQ(periods[i].first.DaysSinceEpoch(), periods[i - 1].second.DaysSinceEpoch() + 1)
            << table.table << " period " << i + 1 << " starts " << periods[i].first.Iso();
        EXPECT_LT(periods[i].first, periods[i].second) << table.table;
      }
    }
  }
}

TEST(PatchStatements, KeepTheOddLastPeriodsOfTheExtensionRates) {
  auto last = [](const TableStatements& table) { return PeriodsOf(table).back(); };
  auto tables = UpdateRDExtensionRates.tables();
  EXPECT_EQ(last(tables[0]).first.Iso(), "2014-04-01");
  EXPECT_EQ(last(tables[0]).second.Iso(), "2012-04-01");
  EXPECT_EQ(last(tables[1]).first.Iso(), "2014-04-01");
  EXPECT_EQ(last(tables[1]).second.Iso(), "2014-04-01");
}

TEST(PatchChecksum, IdentifiesThisPatchData) {
  const std::string checksum = PatchChecksum();
  EXPECT_EQ(checksum.size(), 16u);
  EXPECT_EQ(checksum, PatchChecksum());
  // Pinned: any edit of a statement must be deliberate and change this value.
  EXPECT_EQ(checksum, "3d390f92c937aa7f");
}

}  // namespace
}  // namespace telo
