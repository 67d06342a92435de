// Sample stand-in host databases: schema and older rows of the thirteen
// tables, written through the stand-in connection in one transaction.
#include "tools/sample_db.h"

#include <algorithm>
#include <filesystem>

#include "db/connection_string.h"
#include "db/sqlite/sqlite_connection.h"
#include "db/sqlite/stand_in_file.h"

namespace telo {
namespace {

struct SampleTable {
  std::string_view name;
  // After "ID INTEGER PRIMARY KEY AUTOINCREMENT, " and the period: the
  // columns in SQLite's plain types, and in the Jet types a host declares.
  std::string_view columns;
  std::string_view jet_columns;
  std::string_view insert_head;
  std::vector<std::string_view> rows;  // value lists, Jet date literals included
};

// Every table ends in IsActive, a column with a default that no patch
// statement names.
constexpr std::string_view kPeriod = "fromdate DATETIME, todate DATETIME, ";
constexpr std::string_view kActive = ", IsActive INTEGER NOT NULL DEFAULT 1";

const std::vector<SampleTable>& SampleTables() {
  static const std::vector<SampleTable> tables = {
      {"SB_Configuration",
       "Rate DOUBLE NOT NULL, MinBalance DOUBLE NOT NULL DEFAULT 50",
       "Rate SINGLE NOT NULL, MinBalance CURRENCY NOT NULL DEFAULT 50",
       "(fromdate, todate, Rate)",
       {"#04/01/1986#, #03/31/2000#, 5", "#04/01/2000#, #03/31/2012#, 3.5",
        "#04/01/2012#, #12/31/2014#, 3.75"}},
      {"Comm_Rates",
       "scheme INTEGER NOT NULL, SchemeName TEXT NOT NULL DEFAULT '', comm_rate DOUBLE NOT NULL",
       "scheme BYTE NOT NULL, SchemeName TEXT(20) NOT NULL DEFAULT '', comm_rate CURRENCY NOT NULL",
       "(fromdate, todate, scheme, SchemeName, comm_rate)",
       {"#04/01/2004#, #12/31/2014#, 1, 'SB', 1", "#04/01/2004#, #12/31/2014#, 2, 'RD', 4",
        "#04/01/2004#, #12/31/2014#, 3, 'MIS', 0.5", "#04/01/2004#, #12/31/2014#, 4, 'TD', 1",
        "#04/01/2004#, #12/31/2014#, 5, 'NSC', 1", "#04/01/2004#, #12/31/2014#, 6, 'KVP', 0.5",
        "#04/01/2004#, #12/31/2014#, 7, 'PPF', 1", "#04/01/2004#, #12/31/2014#, 8, 'SCSS', 0.5"}},
      {"RD_Configuration",
       "matval DOUBLE, matpdyr INTEGER, matpdmonth INTEGER, df DOUBLE, loanint DOUBLE, "
       "loanallowedafter INTEGER",
       "matval CURRENCY, matpdyr BYTE, matpdmonth SHORT, df DECIMAL(5,2), loanint SINGLE, "
       "loanallowedafter SHORT",
       "(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter)",
       {"#04/01/1987#, #09/01/1993#, 694.2, 5, 0, 0.2, 11, 12",
        "#09/02/1993#, #12/31/1998#, 820.5, 5, 0, 0.25, 12, 12"}},
      {"MIS_Configuration",
       "intrate DOUBLE, matpdyr INTEGER, matpdmonth INTEGER, bonusrate INTEGER, "
       "singleacmaxamount INTEGER, jointacmaxamount INTEGER, amountmultipleof INTEGER",
       "intrate SINGLE, matpdyr BYTE, matpdmonth SHORT, bonusrate SHORT, singleacmaxamount LONG, "
       "jointacmaxamount LONG, amountmultipleof LONG",
       "(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, "
       "jointacmaxamount, amountmultipleof)",
       {"#08/01/1987#, #09/01/1993#, 12, 6, 0, 10, 100000, 200000, 1000",
        "#09/02/1993#, #12/31/1998#, 12.5, 6, 0, 10, 200000, 400000, 1000"}},
      {"TD_Configuration",
       "intrate DOUBLE, matpdyr INTEGER, matpdmonth INTEGER, amountmultipleof INTEGER",
       "intrate SINGLE, matpdyr BYTE, matpdmonth SHORT, amountmultipleof LONG",
       "(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof)",
       {"#04/01/1987#, #09/01/1993#, 9, 1, 0, 100", "#04/01/1987#, #09/01/1993#, 9.5, 2, 0, 100",
        "#04/01/1987#, #09/01/1993#, 10, 3, 0, 100", "#04/01/1987#, #09/01/1993#, 11, 5, 0, 100"}},
      {"NSC_Configuration",
       "matval DOUBLE, matpdyr INTEGER, matpdmonth INTEGER",
       "matval DECIMAL(10,3), matpdyr BYTE, matpdmonth SHORT",
       "(fromdate, todate, matval, matpdyr, matpdmonth)",
       {"#04/01/1989#, #09/01/1993#, 19.5, 6, 0", "#09/02/1993#, #12/31/1998#, 20, 6, 0"}},
      {"KVP_Configuration",
       "matval DOUBLE, matpdyr INTEGER, matpdmonth INTEGER",
       "matval DECIMAL(10,2), matpdyr BYTE, matpdmonth SHORT",
       "(fromdate, todate, matval, matpdyr, matpdmonth)",
       {"#04/01/1988#, #09/01/1993#, 20, 5, 6"}},
      {"NSC10_Configuration",
       "matval DOUBLE, matpdyr INTEGER, matpdmonth INTEGER",
       "matval DECIMAL(10,3), matpdyr BYTE, matpdmonth SHORT",
       "(fromdate, todate, matval, matpdyr, matpdmonth)",
       {"#12/01/2011#, #03/31/2012#, 23, 10, 0"}},
      {"KVP_PMC_Rates",
       "intrate DOUBLE, matpdyr INTEGER, matpdmonth INTEGER",
       "intrate CURRENCY, matpdyr SHORT, matpdmonth SHORT",
       "(fromdate, todate, intrate, matpdyr, matpdmonth)",
       {"#04/01/1988#, #09/01/1993#, 1250, 30, 35", "#04/01/1988#, #09/01/1993#, 1300, 36, 41",
        "#04/01/1988#, #09/01/1993#, 1360, 42, 47"}},
      {"PPF_Configuration",
       "intrate DOUBLE, matpdyr INTEGER, matpdmonth INTEGER, MaxNoOfDeposit INTEGER, "
       "MaxDepositAmount INTEGER, MaxWithdrawal INTEGER, LockupPeriod INTEGER, "
       "MinDepositAmount INTEGER NOT NULL DEFAULT 100",
       "intrate SINGLE, matpdyr BYTE, matpdmonth SHORT, MaxNoOfDeposit BYTE, "
       "MaxDepositAmount LONG, MaxWithdrawal SHORT, LockupPeriod SHORT, "
       "MinDepositAmount CURRENCY NOT NULL DEFAULT 100",
       "(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, "
       "MaxWithdrawal, LockupPeriod)",
       {"#04/01/1968#, #03/31/1980#, 7, 15, 0, 12, 40000, 50, 84",
        "#04/01/1980#, #03/31/1986#, 8.5, 15, 0, 12, 60000, 50, 84"}},
      {"SCSS_Configuration",
       "intrate DOUBLE, matpdyr INTEGER, matpdmonth INTEGER",
       "intrate SINGLE, matpdyr BYTE, matpdmonth SHORT",
       "(fromdate, todate, intrate, matpdyr, matpdmonth)",
       {"#08/02/2004#, #03/31/2012#, 8.5, 5, 0"}},
      {"RD_Extension_Rate",
       "rate DOUBLE, year_ext INTEGER",
       "rate SINGLE, year_ext BYTE",
       "(fromdate, todate, rate, year_ext)",
       {"#09/02/1993#, #12/31/1998#, 1050, 1", "#09/02/1993#, #12/31/1998#, 1300, 2",
        "#09/02/1993#, #12/31/1998#, 1600, 3"}},
      {"RD_Extension_WOD_Rate",
       "rate DOUBLE, year_ext INTEGER",
       "rate CURRENCY, year_ext BYTE",
       "(fromdate, todate, rate, year_ext)",
       {"#09/02/1993#, #12/31/1998#, 900, 1", "#09/02/1993#, #12/31/1998#, 1000, 2"}},
  };
  return tables;
}

std::string Quoted(std::string_view value) {
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

Status WriteTable(Connection& connection, const SampleTable& table, bool jet_types) {
  std::string create = "CREATE TABLE " + std::string(table.name) +
                       "(ID INTEGER PRIMARY KEY AUTOINCREMENT, " + std::string(kPeriod) +
                       std::string(jet_types ? table.jet_columns : table.columns) +
                       std::string(kActive) + ")";
  Status status = connection.Execute(create);
  for (std::string_view row : table.rows) {
    if (!status.ok()) break;
    status =
        connection.Execute("Insert Into " + std::string(table.name) +
                           std::string(table.insert_head) + " Values (" + std::string(row) + ")");
  }
  return status;
}

Status WriteUnrelatedTable(Connection& connection, int64_t rows) {
  std::string name(kUnrelatedTable);
  Status status = connection.Execute(
      "CREATE TABLE " + name +
      "(ID INTEGER PRIMARY KEY AUTOINCREMENT, txndate DATETIME NOT NULL, account TEXT NOT NULL, "
      "amount DOUBLE NOT NULL" +
      std::string(kActive) + ")");
  if (!status.ok()) return status;
  return connection.Execute(
      "INSERT INTO " + name +
      "(txndate, account, amount) WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k "
      "WHERE i < " +
      std::to_string(rows) +
      ") SELECT date('2000-01-01', '+' || (i % 5000) || ' days'), 'AC' || (i % 977), "
      "(i % 10000) * 1.25 FROM k");
}

bool Omitted(const SampleOptions& options, std::string_view table) {
  return std::find(options.omit_tables.begin(), options.omit_tables.end(), table) !=
         options.omit_tables.end();
}

Status WriteContents(Connection& connection, const SampleOptions& options) {
  Status status = connection.BeginTrans();
  for (const SampleTable& table : SampleTables()) {
    if (status.ok() && !Omitted(options, table.name))
      status = WriteTable(connection, table, options.jet_types);
  }
  if (status.ok() && options.unrelated_rows > 0) {
    status = WriteUnrelatedTable(connection, options.unrelated_rows);
  }
  if (status.ok()) status = connection.CommitTrans();
  return status;
}

}  // namespace

std::span<const std::string_view> SampleTableNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> list;
    for (const SampleTable& table : SampleTables()) list.push_back(table.name);
    return list;
  }();
  return names;
}

Status CreateSampleDatabase(const std::string& path, const std::string& password,
                            const SampleOptions& options) {
  Status status = CreateStandInFile(path, password);
  if (!status.ok()) return status;
  // The connection takes a Data Source starting with '/' as a POSIX path.
  std::string absolute = std::filesystem::absolute(path).string();
  SqliteConnection connection(nullptr);
  status = connection.Open(std::string(kKeyProvider) + "=" + std::string(kJetProvider) + ";" +
                               std::string(kKeyDataSource) + "=" + Quoted(absolute) + ";" +
                               std::string(kKeyDatabasePassword) + "=" + Quoted(password),
                           "", "", kAdoUnspecified);
  if (status.ok()) status = WriteContents(connection, options);
  if (connection.is_open()) {
    const Status closed = connection.Close();
    if (status.ok()) status = closed;
  }
  if (!status.ok()) RemoveDatabaseFiles(path);
  return status;
}

}  // namespace telo
