// Verification compares values read back with the rows the statements
// write; it must see real differences and forgive mere spelling.
#include "app/verify.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "app/update_run.h"
#include "patch/sequence.h"
#include "testing/fake_connection.h"
#include "testing/fake_desktop.h"
#include "testing/fake_env.h"

namespace telo {
namespace {

using ::testing::HasSubstr;

class VerifyTest : public ::testing::Test {
 protected:
  VerifyTest() {
    connection_ = database_.Factory()();
    EXPECT_TRUE(connection_->Open("Provider=p;Data Source=d", "", "", kAdoUnspecified).ok());
  }

  void WriteThePatch() {
    for (std::string_view statement : AllPatchStatements()) {
      ASSERT_TRUE(connection_->Execute(statement).ok());
    }
  }

  std::vector<std::string>& RowOf(const std::string& table, std::size_t index) {
    return database_.tables[table].rows.at(index);
  }

  // Has the read-back query of NSC10_Configuration answered with `rows`.
  void AnswerNsc10Query(const std::vector<std::vector<Value>>& rows) {
    Rows answer;
    answer.columns = {"fromdate", "todate", "matval", "matpdyr", "matpdmonth"};
    for (const std::vector<Value>& row : rows) {
      answer.cells.insert(answer.cells.end(), row.begin(), row.end());
    }
    database_.query_results
        ["SELECT fromdate, todate, matval, matpdyr, matpdmonth FROM NSC10_Configuration"] = answer;
  }

  FakeDatabase database_;
  std::unique_ptr<Connection> connection_;
};

TEST_F(VerifyTest, PatchedDatabaseIsUpToDateEverywhere) {
  database_.tables["Comm_Rates"] = {{"scheme", "comm_rate"},
                                    {{"1", "1.5"}, {"2", "3"}, {"3", "2"}}};
  database_.tables["SB_Configuration"] = {{"Rate"}, {{"3.5"}, {"6"}}};
  WriteThePatch();
  std::vector<TableCheck> checks = CheckTables(*connection_, PatchedTables());
  ASSERT_EQ(checks.size(), 13u);
  for (const TableCheck& check : checks) {
    EXPECT_EQ(check.state, TableState::kUpToDate) << check.table << ": " << check.detail;
  }
}

TEST_F(VerifyTest, UnpatchedValuesAreNamed) {
  database_.tables["Comm_Rates"] = {{"scheme", "comm_rate"}, {{"1", "1.5"}, {"4", "1"}}};
  database_.tables["SB_Configuration"] = {{"Rate"}, {{"3.5"}}};
  TableCheck comm = CheckTable(*connection_, "Comm_Rates");
  EXPECT_EQ(comm.state, TableState::kDiffers);
  EXPECT_THAT(comm.detail, HasSubstr("row for scheme 4: comm_rate is 1, should be 0.5"));
  EXPECT_EQ(CheckTable(*connection_, "SB_Configuration").state, TableState::kDiffers);
  TableCheck empty = CheckTable(*connection_, "RD_Configuration");
  EXPECT_EQ(empty.state, TableState::kDiffers);
  EXPECT_EQ(empty.detail, "0 rows, should be 10");
}

TEST_F(VerifyTest, ComparesValuesNotSpellings) {
  WriteThePatch();
  // 23.660 reads back as 23.66; order of rows is the database's business.
  std::swap(RowOf("NSC10_Configuration", 0), RowOf("NSC10_Configuration", 2));
  RowOf("NSC10_Configuration", 0)[2] = "23.66";
  EXPECT_EQ(CheckTable(*connection_, "NSC10_Configuration").state, TableState::kUpToDate);

  std::vector<std::vector<Value>> whole_and_timed = {{std::string("2011-12-01 00:00:00"),
                                                      std::string("2012-03-31"), 23.435,
                                                      int64_t{10}, std::string("0")}};
  whole_and_timed.push_back(
      {std::string("2012-04-01"), std::string("2013-03-31"), 23.887, 10.0, int64_t{0}});
  whole_and_timed.push_back({std::string("2013-04-01"), std::string("2013-05-01"),
                             std::string("23.660"), int64_t{10}, 0.0});
  AnswerNsc10Query(whole_and_timed);
  TableCheck check = CheckTable(*connection_, "NSC10_Configuration");
  EXPECT_EQ(check.state, TableState::kUpToDate) << check.detail;
}

// A value is judged the way its column holds it: a Single or Double at its
// own precision, exact types (whole numbers, Currency, Decimal, numbers kept
// as text) exactly, so that a column that can't hold the value shows up.
TEST_F(VerifyTest, EachValueIsComparedTheWayItsColumnHoldsIt) {
  struct Case {
    const char* column;
    Value matval[3];  // 23.435, 23.887 and 23.660 as the column returns them
    bool up_to_date;
  };
  const Case cases[] = {
      {"SINGLE", {23.435f, 23.887f, 23.66f}, true},
      {"DOUBLE", {23.435, 23.887, 23.66}, true},
      {"CURRENCY", {Currency{234350}, Currency{238870}, Currency{236600}}, true},
      {"DECIMAL(10,3)", {Decimal{"23.435"}, Decimal{"23.887"}, Decimal{"23.660"}}, true},
      {"TEXT", {std::string("23.435"), std::string("23.887"), std::string("23.66")}, true},
      {"SINGLE a step off",
       {23.435f, std::nextafter(std::nextafter(23.887f, 30.f), 30.f), 23.66f},
       false},
      {"DECIMAL(10,2)", {Decimal{"23.44"}, Decimal{"23.89"}, Decimal{"23.66"}}, false},
      {"LONG", {int64_t{23}, int64_t{24}, int64_t{24}}, false},
      {"NULL", {std::monostate(), 23.887, 23.66}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    std::vector<std::vector<Value>> rows;
    const char* periods[3][2] = {
        {"2011-12-01", "2012-03-31"}, {"2012-04-01", "2013-03-31"}, {"2013-04-01", "2013-05-01"}};
    for (int i = 0; i < 3; ++i) {
      rows.push_back(
          {DateTime{periods[i][0]}, DateTime{periods[i][1]}, c.matval[i], int64_t{10}, int64_t{0}});
    }
    AnswerNsc10Query(rows);
    const TableCheck check = CheckTable(*connection_, "NSC10_Configuration");
    EXPECT_EQ(check.state == TableState::kUpToDate, c.up_to_date) << check.detail;
  }
  EXPECT_EQ(CheckTable(*connection_, "NSC10_Configuration").detail,
            "row from 2011-12-01: matval is empty, should be 23.435");
}

TEST_F(VerifyTest, ChangedValueExtraRowAndMissingTableAreEachCaught) {
  WriteThePatch();
  RowOf("TD_Configuration", 5)[2] = "10.01";
  TableCheck changed = CheckTable(*connection_, "TD_Configuration");
  EXPECT_EQ(changed.state, TableState::kDiffers);
  EXPECT_THAT(changed.detail, HasSubstr("10.01"));

  database_.tables["PPF_Configuration"].rows.push_back(RowOf("PPF_Configuration", 0));
  EXPECT_EQ(CheckTable(*connection_, "PPF_Configuration").detail, "16 rows, should be 15");

  database_.missing_tables = {"SCSS_Configuration"};
  TableCheck missing = CheckTable(*connection_, "SCSS_Configuration");
  EXPECT_EQ(missing.state, TableState::kMissing);
  EXPECT_EQ(TableStateName(missing.state), "missing");
}

// An update whose criteria matched no row changed nothing, and the read-back
// of those rows (none) used to call its table up to date. It is a warning
// now, naming the update's criteria; the run still succeeds.
TEST_F(VerifyTest, UpdateThatMatchedNoRowIsAWarningNotUpToDate) {
  database_.tables["Comm_Rates"] = {{"scheme", "comm_rate"}, {{"1", "1.5"}, {"3", "2"}}};
  database_.tables["SB_Configuration"] = {{"Rate"}, {}};
  FakeDesktop desktop;
  FakeEnv env;
  env.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  ConnectionSlot cnMain(database_.Factory());
  const RunReport report = RunUpdate('C', desktop, env, cnMain);

  EXPECT_TRUE(report.succeeded());
  std::map<std::string_view, TableCheck> checks;
  for (const TableCheck& check : report.attempts.at(0).verification) checks[check.table] = check;
  const struct {
    std::string_view table;
    std::string_view detail;
  } warnings[] = {{"Comm_Rates", "no row for scheme 2, 4, 5 to update"},
                  {"SB_Configuration", "no row to update"}};
  for (const auto& warning : warnings) {
    const TableCheck& check = checks[warning.table];
    EXPECT_EQ(check.state, TableState::kNoRowToUpdate) << warning.table;
    EXPECT_EQ(TableStateName(check.state), "no row to update");
    EXPECT_TRUE(HoldsThePatch(check.state));
    EXPECT_EQ(check.detail, warning.detail);
    EXPECT_THAT(DescribeReport(report, ReportDetail::kEveryProcedure),
                HasSubstr("Warning for " + std::string(warning.table) + ": " +
                          std::string(warning.detail) + ". If the host"));
  }
  database_.tables["Comm_Rates"].rows = {{"2", "1"}};
  EXPECT_EQ(CheckTable(*connection_, "Comm_Rates").state, TableState::kDiffers)
      << "a row that an update names and that lacks its value is no warning";
}

// A difference reads as a sentence that names its row and its column, with
// the plural right and one colon: "KVP_Configuration: differs: row (...)
// where the patch writes (...)" and "1 rows" were what an administrator met.
TEST_F(VerifyTest, DifferenceIsASentenceNamingTheRowAndTheColumn) {
  struct Case {
    const char* table;
    std::function<void(FakeTables&)> spoil;
    std::string says;
  };
  const Case cases[] = {
      {"RD_Configuration", [](FakeTables& t) { t["RD_Configuration"].rows[0][6] = "9.6"; },
       "RD_Configuration differs in the row from 1993-09-02: loanint is 9.6, should be 9.5"},
      // Four rows start on 1993-09-02: the term tells this one from the others.
      {"TD_Configuration",
       [](FakeTables& t) {
         t["TD_Configuration"].rows[2][2] = "9.25";
         t["TD_Configuration"].rows[2][5] = "100";
       },
       "TD_Configuration differs in the row from 1993-09-02, matpdyr 3: intrate is 9.25, should "
       "be 12; amountmultipleof is 100, should be 200"},
      {"NSC10_Configuration", [](FakeTables& t) { t["NSC10_Configuration"].rows.resize(1); },
       "NSC10_Configuration differs: 1 row, should be 3"},
      {"SB_Configuration", [](FakeTables& t) { t["SB_Configuration"].rows = {{"5"}}; },
       "SB_Configuration differs: Rate is 5, should be 4"},
      {"Comm_Rates",
       [](FakeTables& t) {
         t["Comm_Rates"].rows = {{"2", "0.5"}, {"4", "1"}, {"3", "0"}};
       },
       "Comm_Rates differs in the row for scheme 4: comm_rate is 1, should be 0.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    database_ = FakeDatabase();
    connection_ = database_.Factory()();
    ASSERT_TRUE(connection_->Open("Provider=p;Data Source=d", "", "", kAdoUnspecified).ok());
    database_.tables["Comm_Rates"] = {{"scheme", "comm_rate"}, {{"2", "3"}, {"3", "2"}}};
    database_.tables["SB_Configuration"] = {{"Rate"}, {{"3.5"}}};
    WriteThePatch();
    c.spoil(database_.tables);
    EXPECT_EQ(DescribeTable(CheckTable(*connection_, c.table)), c.says);
  }
}

TEST_F(VerifyTest, ADayEarlierIsADifferentDate) {
  WriteThePatch();
  RowOf("RD_Configuration", 9)[1] = "#04/30/2014#";
  TableCheck check = CheckTable(*connection_, "RD_Configuration");
  EXPECT_EQ(check.state, TableState::kDiffers);
  EXPECT_THAT(check.detail, HasSubstr("2014-04-30"));
}

}  // namespace
}  // namespace telo
