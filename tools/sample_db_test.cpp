// Tests of the sample stand-in databases and the telo-sample-db tool: the
// shapes of the tables, that the whole patch runs on them and changes every
// table, and that nothing is overwritten.
#include "tools/sample_db.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <span>

#include "db/sqlite/sqlite_connection.h"
#include "patch/sequence.h"
#include "testing/temp_prefix.h"

namespace telo {
namespace {

namespace fs = std::filesystem;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Ne;

class SampleDbTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp_.status().ok()) << temp_.status().ToString(); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  std::unique_ptr<SqliteConnection> Open(const std::string& path,
                                         std::string_view password = kSamplePassword) {
    auto connection = std::make_unique<SqliteConnection>(nullptr);
    Status status = connection->Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
                                         ";Jet OLEDB:Database Password=" + std::string(password),
                                     "", "", kAdoUnspecified);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return connection;
  }

  static Rows QueryRows(Connection& connection, const std::string& sql) {
    Rows rows;
    Status status = connection.Query(sql, &rows);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return rows;
  }

  // Every table's rows without the ID, which a refill renumbers.
  static std::map<std::string, std::vector<std::vector<Value>>> Contents(Connection& connection) {
    std::map<std::string, std::vector<std::vector<Value>>> contents;
    for (std::string_view table : SampleTableNames()) {
      Rows rows = QueryRows(connection, "SELECT * FROM " + std::string(table) + " ORDER BY ID");
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::span<const Value> row = rows[i].subspan(1);
        contents[std::string(table)].emplace_back(row.begin(), row.end());
      }
    }
    return contents;
  }

  static Status RunPatch(Connection& connection) {
    Status status = connection.BeginTrans();
    for (std::string_view statement : AllPatchStatements()) {
      if (status.ok()) status = connection.Execute(statement);
    }
    return status.ok() ? connection.CommitTrans() : status;
  }

  TempFolder temp_{"telo_sample"};
  const fs::path dir_ = temp_.path();
};

TEST_F(SampleDbTest, TablesHaveAnIdPeriodAndAnUnnamedColumnWithADefault) {
  ASSERT_TRUE(CreateSampleDatabase(PathOf("CVL.MDB"), "846").ok());
  auto connection = Open(PathOf("CVL.MDB"));
  ASSERT_EQ(SampleTableNames().size(), 13u);
  for (std::string_view table : SampleTableNames()) {
    SCOPED_TRACE(table);
    Rows info = QueryRows(*connection, "PRAGMA table_info(" + std::string(table) + ")");
    // cid, name, type, notnull, dflt_value, pk
    EXPECT_EQ(info[0][1], Value(std::string("ID")));
    EXPECT_EQ(info[0][2], Value(std::string("INTEGER")));
    EXPECT_EQ(info[0][5], Value(int64_t{1}));
    EXPECT_EQ(info[1][1], Value(std::string("fromdate")));
    EXPECT_EQ(info[2][1], Value(std::string("todate")));
    EXPECT_EQ(info[info.size() - 1][1], Value(std::string("IsActive")));
    EXPECT_EQ(info[info.size() - 1][4], Value(std::string("1")));
    Rows count = QueryRows(*connection, "SELECT count(*) FROM " + std::string(table));
    EXPECT_GT(std::get<int64_t>(count.cells.at(0)), 0);
  }
  Rows rates = QueryRows(*connection, "SELECT Rate FROM SB_Configuration");
  EXPECT_GE(rates.size(), 3u);
  EXPECT_THAT(rates.cells, Each(Ne(Value(4.0))));
  Rows schemes = QueryRows(*connection, "SELECT scheme FROM Comm_Rates ORDER BY scheme");
  EXPECT_EQ(schemes.size(), 8u);
  EXPECT_EQ(schemes.cells.back(), Value(int64_t{8}));
}

TEST_F(SampleDbTest, WholePatchRunsAndChangesEveryTableThenRepeatsTheSame) {
  ASSERT_TRUE(CreateSampleDatabase(PathOf("CVL.MDB"), "846").ok());
  auto connection = Open(PathOf("CVL.MDB"));
  auto before = Contents(*connection);
  ASSERT_TRUE(RunPatch(*connection).ok());
  auto after = Contents(*connection);
  for (std::string_view table : SampleTableNames()) {
    EXPECT_NE(before[std::string(table)], after[std::string(table)]) << table;
  }
  EXPECT_EQ(after["RD_Extension_Rate"].size(), 50u);
  EXPECT_EQ(after["SB_Configuration"].size(), before["SB_Configuration"].size());
  Rows comm = QueryRows(*connection, "SELECT scheme, comm_rate FROM Comm_Rates ORDER BY scheme");
  ASSERT_EQ(comm.size(), 8u);
  EXPECT_THAT(comm[1], ElementsAre(Value(int64_t{2}), Value(0.5)));
  EXPECT_THAT(comm[2], ElementsAre(Value(int64_t{3}), Value(0.0)));
  EXPECT_THAT(comm[7], ElementsAre(Value(int64_t{8}), Value(0.5)));  // untouched

  ASSERT_TRUE(RunPatch(*connection).ok());
  EXPECT_EQ(Contents(*connection), after);
}

TEST_F(SampleDbTest, OmittedTableIsMissingAndUnrelatedTableIsFilled) {
  SampleOptions options;
  options.omit_tables = {"RD_Extension_WOD_Rate"};
  options.unrelated_rows = 2500;
  ASSERT_TRUE(CreateSampleDatabase(PathOf("CVL.MDB"), "pw", options).ok());
  auto connection = Open(PathOf("CVL.MDB"), "pw");
  Rows rows;
  EXPECT_FALSE(connection->Query("SELECT * FROM RD_Extension_WOD_Rate", &rows).ok());
  rows = QueryRows(*connection, "SELECT count(*) FROM " + std::string(kUnrelatedTable));
  EXPECT_EQ(rows.cells.at(0), Value(int64_t{2500}));
}

// On a full disk the half-made database was removed but its journal stayed,
// and rolled back a good database later copied to that path.
TEST_F(SampleDbTest, FailureOnAFullDiskLeavesNothingBehind) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit small = {64 * 1024, 64 * 1024};  // writes past 64 KB fail, as on a full disk
    setrlimit(RLIMIT_FSIZE, &small);
    SampleOptions options;
    options.unrelated_rows = 20000;
    _exit(CreateSampleDatabase(PathOf("CVL.MDB"), "846", options).ok() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "the database can't fit";
  EXPECT_TRUE(fs::is_empty(dir_)) << "not even a journal may stay";
}

TEST_F(SampleDbTest, ExistingFileIsNeverOverwritten) {
  std::ofstream(PathOf("CVL.MDB")) << "keep me";
  EXPECT_FALSE(CreateSampleDatabase(PathOf("CVL.MDB"), "846").ok());
  std::ifstream file(PathOf("CVL.MDB"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "keep me");
}

int RunTool(const std::string& arguments, const std::string& err_file = "/dev/null") {
  int status = std::system(
      (std::string(TELO_SAMPLE_DB_TOOL) + " " + arguments + " 2>'" + err_file + "' >/dev/null")
          .c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SampleDbTest, ToolWritesWithTheDefaultPasswordAndRefusesToOverwrite) {
  EXPECT_EQ(RunTool("'" + PathOf("CVL.MDB") + "'"), 0);
  Open(PathOf("CVL.MDB"), "846");
  EXPECT_EQ(RunTool("'" + PathOf("CVL.MDB") + "'"), 1);
  EXPECT_EQ(RunTool("'" + PathOf("two.mdb") + "' --password 'p w'"), 0);
  Open(PathOf("two.mdb"), "p w");
  EXPECT_EQ(RunTool(""), 2);
  EXPECT_EQ(RunTool("a b"), 2);
  EXPECT_EQ(RunTool("'" + PathOf("x.mdb") + "' --unrelated-rows many"), 2);
  EXPECT_FALSE(fs::exists(PathOf("x.mdb")));
}

// A misspelt --omit (or one in the wrong case) was accepted and the table
// written anyway, and a repeated option's last value won: another database
// than the one asked for.
TEST_F(SampleDbTest, ToolRefusesAnUnknownTableOrARepeatedOptionInsteadOfGuessing) {
  struct Case {
    const char* options;
    const char* says;
  };
  const Case cases[] = {
      {"--omit KVP_PMC_Rate", "no such table (names are matched exactly); the tables are "},
      {"--omit kvp_pmc_rates", "KVP_PMC_Rates"},
      {"--omit SB_Configuration --omit SB_Configuration", "--omit SB_Configuration is given twice"},
      {"--password a --password b", "--password is given twice"},
      {"--unrelated-rows 1 --unrelated-rows 2", "--unrelated-rows is given twice"},
      {"--jet-types --jet-types", "--jet-types is given twice"},
  };
  const std::string err = PathOf("err.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    EXPECT_EQ(RunTool("'" + PathOf("x.mdb") + "' " + c.options, err), 2);
    std::ifstream text(err);
    EXPECT_THAT(std::string(std::istreambuf_iterator<char>(text), {}), HasSubstr(c.says));
    EXPECT_FALSE(fs::exists(PathOf("x.mdb")));
  }
  EXPECT_EQ(RunTool("'" + PathOf("x.mdb") + "' --omit SB_Configuration --omit Comm_Rates"), 0);
  Rows rows;
  auto connection = Open(PathOf("x.mdb"));
  EXPECT_FALSE(connection->Query("SELECT * FROM SB_Configuration", &rows).ok());
  EXPECT_FALSE(connection->Query("SELECT * FROM Comm_Rates", &rows).ok());
}

}  // namespace
}  // namespace telo
