// Tests of SqliteConnection against real stand-in files in a temporary
// Wine-style prefix: opening, the failures users see, Jet SQL, typed query
// results, nested transactions and other programs' locks.
#include "db/sqlite/sqlite_connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "base/status.h"
#include "base/text.h"
#include "db/connection_factory.h"
#include "db/sqlite/stand_in_file.h"
#include "testing/temp_prefix.h"

namespace telo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::string_view kHead = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
constexpr std::string_view kFolder1 = "c:\\Program Files\\Corvallo\\";
constexpr std::string_view kFolder2 = "c:\\Program Files (x86)\\Corvallo\\";

std::string ConnectionString(std::string_view folder, std::string_view password = "846",
                             std::string_view extra = "") {
  std::string text = std::string(kHead) + std::string(folder) + "CVL.MDB";
  if (!password.empty()) text += ";Jet OLEDB:Database Password=" + std::string(password);
  return text + std::string(extra);
}

std::string FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// A second program's handle on the same file.
class OtherProgram {
 public:
  explicit OtherProgram(const fs::path& path) { sqlite3_open(path.c_str(), &db_); }
  ~OtherProgram() { sqlite3_close(db_); }
  int Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
  int64_t Count(const char* table) {
    std::string sql = std::string("SELECT count(*) FROM ") + table;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
    int64_t count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    return count;
  }

 private:
  sqlite3* db_ = nullptr;
};

class SqliteConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.status().ok()) << temp_.status().ToString();
    prefix_ = std::make_shared<const WinePrefix>(WinePrefix::Load(root_.string()));
  }

  fs::path Folder1() const { return temp_.InstallFolder(0); }
  fs::path Database1() const { return temp_.Database(0); }
  fs::path Database2() const { return temp_.Database(1); }

  // A stand-in database holding table T with one row.
  void MakeDatabase(const fs::path& path, std::string_view password = "846") {
    ASSERT_TRUE(CreateStandInFile(path.string(), password).ok());
    SqliteConnection setup(nullptr);
    ASSERT_TRUE(setup
                    .Open(std::string(kHead) + path.string() +
                              ";Jet OLEDB:Database Password=" + std::string(password),
                          "", "", kAdoUnspecified)
                    .ok());
    ASSERT_TRUE(setup
                    .Execute("CREATE TABLE T(ID INTEGER PRIMARY KEY, fromdate DATETIME, "
                             "rate DOUBLE, n INTEGER, name TEXT, note TEXT DEFAULT NULL, "
                             "CHECK (n < 1000))")
                    .ok());
    ASSERT_TRUE(
        setup.Execute("Insert Into T(fromdate, rate, n) Values (#01/01/1990#, 1.5, 1)").ok());
  }

  std::unique_ptr<SqliteConnection> Connect(SqliteOptions options = {}) {
    return std::make_unique<SqliteConnection>(prefix_, std::move(options));
  }

  Status OpenOn(SqliteConnection& connection, const std::string& connection_string) {
    return connection.Open(connection_string, "", "", kAdoUnspecified);
  }

  TempPrefix temp_{"telo_sqlite", {.install_folders = 2}};
  const fs::path root_ = temp_.root();
  std::shared_ptr<const WinePrefix> prefix_;
};

TEST_F(SqliteConnectionTest, RunsJetSqlAndQueryReturnsTypedValues) {
  MakeDatabase(Database1());
  auto connection = Connect();
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok());
  EXPECT_EQ(connection->path(), (root_ / "dosdevices/c:/Program Files/Corvallo/CVL.MDB").string());
  ASSERT_TRUE(connection->Execute("Delete From T").ok());
  ASSERT_TRUE(connection
                  ->Execute("Insert Into T(fromdate, rate, n, name) Values (#09/02/1993#, 23.660, "
                            "5, 'a #1/1/2000# b')")
                  .ok());

  Rows rows;
  ASSERT_TRUE(connection->Query("SELECT ID, fromdate, rate, n, name, note FROM T", &rows).ok());
  EXPECT_EQ(rows.columns,
            (std::vector<std::string>{"ID", "fromdate", "rate", "n", "name", "note"}));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows.cells, (std::vector<Value>{int64_t{1}, DateTime{"1993-09-02"}, 23.66, int64_t{5},
                                            std::string("a #1/1/2000# b"), std::monostate()}));
}

// Each column comes back the way Jet would store and return a value of its
// declared type: a Single as float, Currency to four places, Decimal at its
// scale, whole numbers rounded half to even, numbers in Text as text.
TEST_F(SqliteConnectionTest, JetTypedColumnsReadBackAsJetReturnsThem) {
  struct Case {
    std::string_view declared;
    std::string_view literal;
    Value expected;
  };
  const Case cases[] = {
      {"SINGLE", "23.66", 23.66f},
      {"REAL", "1543.3", 1543.3f},
      {"DOUBLE", "23.660", 23.66},
      {"CURRENCY", "1.23456", Currency{12346}},
      {"DECIMAL(10,2)", "23.660", Decimal{"23.66"}},
      {"DECIMAL(10, 3)", "12", Decimal{"12.000"}},
      {"BYTE", "12", int64_t{12}},
      {"SHORT", "1542.5", int64_t{1542}},
      {"LONG", "1543.3", int64_t{1543}},
      {"INTEGER", "1543.5", int64_t{1544}},
      {"TEXT(10)", "23.660", std::string("23.66")},
      {"DATETIME", "#04/01/2012#", DateTime{"2012-04-01"}},
      {"BIT", "1", int64_t{-1}},
      {"LONG", "'many'", std::string("many")},
  };
  MakeDatabase(Database1());
  auto connection = Connect();
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.declared) + " holding " + std::string(c.literal));
    ASSERT_TRUE(connection->Execute("DROP TABLE IF EXISTS J").ok());
    ASSERT_TRUE(connection->Execute("CREATE TABLE J(v " + std::string(c.declared) + ")").ok());
    ASSERT_TRUE(
        connection->Execute("Insert Into J(v) Values (" + std::string(c.literal) + ")").ok());
    Rows rows;
    ASSERT_TRUE(connection->Query("SELECT v FROM J", &rows).ok());
    ASSERT_EQ(rows.cells.size(), 1u);
    EXPECT_EQ(rows.cells[0], c.expected) << ValueText(rows.cells[0]);
  }
}

TEST_F(SqliteConnectionTest, TheSqliteShellReadsTheFile) {
  if (std::system("command -v sqlite3 >/dev/null") != 0) GTEST_SKIP() << "no sqlite3 shell";
  MakeDatabase(Database1());
  std::string command = "sqlite3 '" + Database1().string() + "' 'SELECT fromdate FROM T'";
  FILE* pipe = popen(command.c_str(), "r");
  char line[64] = {};
  ASSERT_NE(fgets(line, sizeof line, pipe), nullptr);
  pclose(pipe);
  EXPECT_STREQ(line, "1990-01-01\n");
}

TEST_F(SqliteConnectionTest, CallsBeforeOpenFailAsClosed) {
  auto connection = Connect();
  Rows rows;
  EXPECT_EQ(connection->Execute("Delete From T").number(), error::kConnectionClosed);
  EXPECT_EQ(connection->Query("SELECT 1", &rows).number(), error::kConnectionClosed);
  EXPECT_EQ(connection->BeginTrans().number(), error::kConnectionClosed);
  EXPECT_EQ(connection->CommitTrans().number(), error::kConnectionClosed);
  EXPECT_EQ(connection->Close().number(), error::kConnectionClosed);
}

TEST_F(SqliteConnectionTest, DefaultFactoryMakesClosedConnectionsOnTheDrivesOfItsPrefix) {
  MakeDatabase(Database1());
  const ConnectionFactory factory = NewDefaultConnectionFactory({root_.string()});
  std::unique_ptr<Connection> connection = factory();
  EXPECT_EQ(connection->Execute("Delete From T").number(), error::kConnectionClosed);
  ASSERT_TRUE(connection->Open(ConnectionString(kFolder1), "", "", kAdoUnspecified).ok());
  Rows rows;
  ASSERT_TRUE(connection->Query("SELECT n FROM T", &rows).ok());
  EXPECT_EQ(rows.cells, std::vector<Value>{int64_t{1}});
}

TEST_F(SqliteConnectionTest, OpenAfterCloseWithAnotherPathWorks) {
  MakeDatabase(Database1());
  MakeDatabase(Database2());
  auto connection = Connect();
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok());
  EXPECT_EQ(OpenOn(*connection, ConnectionString(kFolder2)).number(), error::kConnectionOpen);
  ASSERT_TRUE(connection->Close().ok());
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder2)).ok());
  ASSERT_TRUE(connection->Execute("Delete From T").ok());
  ASSERT_TRUE(connection->Close().ok());
  EXPECT_EQ(OtherProgram(Database1()).Count("T"), 1);
  EXPECT_EQ(OtherProgram(Database2()).Count("T"), 0);
}

TEST_F(SqliteConnectionTest, ProviderIsMatchedWithoutCaseAndOthersAreRefused) {
  MakeDatabase(Database1());
  auto connection = Connect();
  std::string lower = ConnectionString(kFolder1);
  lower.replace(0, 32, "provider=microsoft.jet.oledb.4.0");
  EXPECT_TRUE(OpenOn(*connection, lower).ok());
  EXPECT_TRUE(connection->Close().ok());

  std::string ace = ConnectionString(kFolder1);
  ace.replace(9, 23, "Microsoft.ACE.OLEDB.12.0");
  Status status = OpenOn(*connection, ace);
  EXPECT_EQ(status.number(), error::kProviderNotFound);
  EXPECT_THAT(status.message(), HasSubstr("'Microsoft.ACE.OLEDB.12.0'"));
}

TEST_F(SqliteConnectionTest, WrongOrMissingPasswordFailsAndChangesNothing) {
  MakeDatabase(Database1(), "s3cret-pw");
  std::string before = FileBytes(Database1());
  EXPECT_EQ(before.find("s3cret-pw"), std::string::npos) << "the password is kept as a check";
  auto connection = Connect();
  for (std::string_view password : {"846", ""}) {
    Status status = OpenOn(*connection, ConnectionString(kFolder1, password));
    EXPECT_EQ(status.number(), error::kInvalidPassword);
    EXPECT_THAT(status.message(), HasSubstr("Wrong password"));
    EXPECT_THAT(status.message(), HasSubstr("CVL.MDB"));
    EXPECT_FALSE(connection->is_open());
  }
  EXPECT_EQ(FileBytes(Database1()), before);
  EXPECT_TRUE(OpenOn(*connection, ConnectionString(kFolder1, "s3cret-pw")).ok());
}

TEST_F(SqliteConnectionTest, FilesThatAreNoStandInDatabaseGetTheirOwnMessages) {
  auto connection = Connect();
  Status missing = OpenOn(*connection, ConnectionString(kFolder1));
  EXPECT_EQ(missing.number(), error::kFileNotFound);
  EXPECT_THAT(missing.message(), HasSubstr("c:\\Program Files\\Corvallo\\CVL.MDB"));
  EXPECT_FALSE(fs::exists(Database1())) << "Open must never create the file";

  std::string jet("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00", 24);
  for (const std::string& head : {jet, std::string(jet).replace(4, 15, "Standard ACE DB")}) {
    std::ofstream(Database1(), std::ios::binary) << head << std::string(2000, '\x7f');
    Status status = OpenOn(*connection, ConnectionString(kFolder1));
    EXPECT_EQ(status.number(), error::kUnsupportedDatabase);
    EXPECT_THAT(status.message(), HasSubstr("only the Windows version"));
    EXPECT_THAT(status.message(), HasSubstr("CVL.MDB"));
  }

  for (std::string garbage : {std::string("just some text\n"), std::string()}) {
    std::ofstream(Database1(), std::ios::binary | std::ios::trunc) << garbage;
    Status status = OpenOn(*connection, ConnectionString(kFolder1));
    EXPECT_EQ(status.number(), error::kNotADatabase);
    EXPECT_THAT(status.message(), HasSubstr("is not a database"));
  }

  fs::remove(Database1());
  OtherProgram(Database1()).Exec("CREATE TABLE T(x)");  // plain SQLite, no stand-in mark
  EXPECT_EQ(OpenOn(*connection, ConnectionString(kFolder1)).number(), error::kNotADatabase);
}

TEST_F(SqliteConnectionTest, TruncatedDatabaseFailsWithoutCrashing) {
  MakeDatabase(Database1());
  {
    SqliteConnection filler(prefix_);
    ASSERT_TRUE(OpenOn(filler, ConnectionString(kFolder1)).ok());
    ASSERT_TRUE(filler
                    .Execute("INSERT INTO T(n, name) WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL "
                             "SELECT i + 1 FROM k WHERE i < 900) SELECT i, hex(randomblob(40)) "
                             "FROM k")
                    .ok());
  }
  fs::resize_file(Database1(), 6000);
  auto connection = Connect();
  Status status = OpenOn(*connection, ConnectionString(kFolder1));
  if (status.ok()) status = connection->Execute("Update T Set rate = 2");
  EXPECT_EQ(status.number(), error::kNotADatabase) << status.ToString();
}

TEST_F(SqliteConnectionTest, MissingTableOrColumnIsNamed) {
  MakeDatabase(Database1());
  auto connection = Connect();
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok());

  Status table = connection->Execute("Delete From RD_Extension_WOD_Rate");
  EXPECT_EQ(table.number(), error::kNoSuchTable);
  EXPECT_THAT(table.message(), HasSubstr("'RD_Extension_WOD_Rate'"));
  EXPECT_THAT(table.message(), HasSubstr("CVL.MDB"));

  for (std::string_view statement :
       {"Insert Into T(fromdate, matval) Values (#01/01/2000#, 1)", "Update T Set matval = 4"}) {
    Status column = connection->Execute(statement);
    EXPECT_EQ(column.number(), error::kCommandError);
    EXPECT_THAT(column.message(), HasSubstr("Table 'T'"));
    EXPECT_THAT(column.message(), HasSubstr("no column 'matval'"));
  }
  EXPECT_EQ(connection->Execute("Delete From T; Delete From T").number(), error::kCommandError);
  EXPECT_EQ(connection->Execute("Insert Into T(fromdate) Values (#02/30/2001#)").number(),
            error::kCommandError);
}

TEST_F(SqliteConnectionTest, ReadOnlyFileOrFolderIsRefusedUnlessOpenedForReading) {
  MakeDatabase(Database1());
  auto connection = Connect();
  fs::permissions(Database1(), fs::perms::owner_read | fs::perms::group_read);
  Status file = OpenOn(*connection, ConnectionString(kFolder1));
  EXPECT_EQ(file.number(), error::kAccessDenied);
  EXPECT_THAT(file.message(), HasSubstr("marked read-only"));

  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1, "846", ";Mode=Read")).ok());
  Rows rows;
  EXPECT_TRUE(connection->Query("SELECT count(*) FROM T", &rows).ok());
  EXPECT_EQ(connection->Execute("Delete From T").number(), error::kAccessDenied);
  EXPECT_TRUE(connection->Close().ok());

  fs::permissions(Database1(), fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(Folder1(), fs::perms::owner_read | fs::perms::owner_exec);
  Status folder = OpenOn(*connection, ConnectionString(kFolder1));
  EXPECT_EQ(folder.number(), error::kAccessDenied);
  EXPECT_THAT(folder.message(), HasSubstr("folder"));
}

// Each cause a user can meet reads as what happened and what to do next,
// with the error number that callers and the JSON report rely on, and none
// of the stand-in's inner workings: SQLite's words, its journal, its waits.
TEST_F(SqliteConnectionTest, EachFailureSaysItsCausePlainlyWithItsNextStep) {
  constexpr std::string_view kDamaged =
      "The file is damaged: restore it from a backup, or repair it with Microsoft Access's "
      "Compact and Repair.";
  constexpr std::string_view kReadOnly =
      "The file is marked read-only: clear the attribute, or run as administrator.";
  const std::string open = ConnectionString(kFolder1);
  std::unique_ptr<OtherProgram> holder;
  const auto read_only = [&] {
    fs::permissions(Database1(), fs::perms::owner_read | fs::perms::group_read);
  };
  struct Case {
    const char* cause;
    std::function<void()> spoil;
    std::string connection_string;
    const char* statement;
    int32_t number;
    std::string_view hint;
  };
  const Case cases[] = {
      {"a file that is no database", [&] { std::ofstream(Database1()) << "just some text\n"; },
       open, "", error::kNotADatabase, kDamaged},
      {"a damaged file",
       [&] {
         std::fstream(Database1(), std::ios::in | std::ios::out | std::ios::binary)
             .seekp(4096)
             .write(std::string(4096, '\xff').data(), 4096);
       },
       open, "", error::kNotADatabase, kDamaged},
      {"a database another program holds",
       [&] {
         holder = std::make_unique<OtherProgram>(Database1());
         ASSERT_EQ(holder->Exec("BEGIN IMMEDIATE"), SQLITE_OK);
       },
       open, "", error::kDatabaseInUse,
       "Close the host application, on every computer that uses this file, and try again."},
      {"a read-only file", read_only, open, "", error::kAccessDenied, kReadOnly},
      {"a read-only file met by a statement", read_only,
       ConnectionString(kFolder1, "846", ";Mode=Read"), "Delete From T", error::kAccessDenied,
       kReadOnly},
      {"a folder that can't be written to",
       [&] { fs::permissions(Folder1(), fs::perms::owner_read | fs::perms::owner_exec); }, open, "",
       error::kAccessDenied, "Run as administrator."},
      {"another password", [] {}, ConnectionString(kFolder1, "123"), "", error::kInvalidPassword,
       "This CVL.MDB does not open with the host's password, so it may not be the host's "
       "database."},
      {"a missing table", [] {}, open, "Delete From RD_Extension_WOD_Rate", error::kNoSuchTable,
       "The host's database lacks this table: it may be another version of the host; send the "
       "report to support."},
  };
  SqliteOptions quick;
  quick.lock_wait_budget_ms = 50;
  for (const Case& test_case : cases) {
    SCOPED_TRACE(test_case.cause);
    MakeDatabase(Database1());
    test_case.spoil();
    SqliteConnection connection(prefix_, quick);
    Status status = OpenOn(connection, test_case.connection_string);
    if (status.ok() && *test_case.statement != '\0')
      status = connection.Execute(test_case.statement);
    EXPECT_EQ(status.number(), test_case.number) << status.ToString();
    EXPECT_THAT(status.message(), HasSubstr(test_case.hint));
    EXPECT_THAT(status.message(), HasSubstr("c:\\Program Files\\Corvallo\\CVL.MDB"));
    const std::string lower = LowerAscii(status.message());
    for (std::string_view jargon :
         {"stand-in", "sqlite", "journal", "malformed", "waited", " ms"}) {
      EXPECT_THAT(lower, Not(HasSubstr(jargon)));
    }
    (void)connection.Close();
    holder.reset();
    fs::permissions(Folder1(), fs::perms::owner_all);
    RemoveDatabaseFiles(Database1().string());
  }
}

TEST_F(SqliteConnectionTest, InnerRollbackKeepsTheOuterLevel) {
  MakeDatabase(Database1());
  auto connection = Connect();
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok());
  EXPECT_EQ(connection->CommitTrans().number(), error::kNoTransaction);
  EXPECT_EQ(connection->RollbackTrans().number(), error::kNoTransaction);

  ASSERT_TRUE(connection->BeginTrans().ok());
  ASSERT_TRUE(connection->Execute("Insert Into T(n) Values (10)").ok());
  ASSERT_TRUE(connection->BeginTrans().ok());
  ASSERT_TRUE(connection->Execute("Delete From T").ok());
  // A row rejected by a constraint: the statement fails, the earlier ones stand.
  Status rejected = connection->Execute("Insert Into T(n) Values (5000)");
  EXPECT_EQ(rejected.number(), error::kIntegrityViolation);
  EXPECT_THAT(rejected.message(), HasSubstr("Table 'T'"));
  EXPECT_EQ(connection->transaction_level(), 2);
  ASSERT_TRUE(connection->RollbackTrans().ok());
  ASSERT_TRUE(connection->BeginTrans().ok());
  ASSERT_TRUE(connection->Execute("Insert Into T(n) Values (30)").ok());
  ASSERT_TRUE(connection->CommitTrans().ok());
  EXPECT_EQ(OtherProgram(Database1()).Count("T"), 1)
      << "nothing is durable before the outer commit";
  ASSERT_TRUE(connection->CommitTrans().ok());

  Rows rows;
  ASSERT_TRUE(connection->Query("SELECT n FROM T ORDER BY n", &rows).ok());
  EXPECT_EQ(rows.cells, (std::vector<Value>{int64_t{1}, int64_t{10}, int64_t{30}}));
}

TEST_F(SqliteConnectionTest, OuterRollbackAndCloseDiscardEverything) {
  MakeDatabase(Database1());
  auto connection = Connect();
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok());
  ASSERT_TRUE(connection->BeginTrans().ok());
  ASSERT_TRUE(connection->BeginTrans().ok());
  ASSERT_TRUE(connection->Execute("Delete From T").ok());
  ASSERT_TRUE(connection->CommitTrans().ok());
  ASSERT_TRUE(connection->RollbackTrans().ok());
  EXPECT_EQ(OtherProgram(Database1()).Count("T"), 1);

  ASSERT_TRUE(connection->BeginTrans().ok());
  ASSERT_TRUE(connection->BeginTrans().ok());
  ASSERT_TRUE(connection->Execute("Delete From T").ok());
  ASSERT_TRUE(connection->Close().ok());
  EXPECT_EQ(OtherProgram(Database1()).Count("T"), 1);
}

TEST_F(SqliteConnectionTest, DatabaseHeldByAnotherProgramFailsWithinTheBound) {
  MakeDatabase(Database1());
  OtherProgram other(Database1());
  ASSERT_EQ(other.Exec("BEGIN IMMEDIATE; INSERT INTO T(n) VALUES (99)"), SQLITE_OK);
  auto connection = Connect();
  auto start = std::chrono::steady_clock::now();
  Status status = OpenOn(*connection, ConnectionString(kFolder1));
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(status.number(), error::kDatabaseInUse);
  EXPECT_THAT(status.message(), HasSubstr("another program is using the database"));
  EXPECT_LT(waited, std::chrono::seconds(2));
  EXPECT_GE(waited, std::chrono::milliseconds(1000)) << "it waits for the lock first";
  ASSERT_EQ(other.Exec("COMMIT"), SQLITE_OK);

  // A lock taken after Open: the first write fails, and nothing of it stays.
  SqliteOptions quick;
  quick.lock_wait_budget_ms = 100;
  auto second = Connect(quick);
  ASSERT_TRUE(OpenOn(*second, ConnectionString(kFolder1)).ok());
  ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  EXPECT_EQ(second->BeginTrans().number(), error::kDatabaseInUse);
  EXPECT_EQ(second->transaction_level(), 0);
  EXPECT_EQ(second->Execute("Delete From T").number(), error::kDatabaseInUse);
  ASSERT_EQ(other.Exec("COMMIT"), SQLITE_OK);
  EXPECT_EQ(other.Count("T"), 2);
}

// A commit that meets another program's lock fails and stays open until the
// caller rolls it back (db/connection.h); nothing of it is saved.
TEST_F(SqliteConnectionTest, CommitBlockedByAReaderStaysOpenUntilRolledBack) {
  MakeDatabase(Database1());
  SqliteOptions quick;
  quick.lock_wait_budget_ms = 200;
  auto blocked = Connect(quick);
  ASSERT_TRUE(OpenOn(*blocked, ConnectionString(kFolder1)).ok());
  ASSERT_TRUE(blocked->BeginTrans().ok());
  ASSERT_TRUE(blocked->Execute("Delete From T").ok());
  OtherProgram reader(Database1());
  ASSERT_EQ(reader.Exec("BEGIN; SELECT count(*) FROM T"), SQLITE_OK);
  EXPECT_EQ(blocked->CommitTrans().number(), error::kDatabaseInUse);
  EXPECT_EQ(blocked->transaction_level(), 1);
  EXPECT_TRUE(blocked->RollbackTrans().ok());
  EXPECT_EQ(blocked->transaction_level(), 0);
  reader.Exec("COMMIT");
  EXPECT_EQ(reader.Count("T"), 1);
}

// The check reads every table inside one read-only transaction and relies on
// seeing the database as of one moment: no other program commits meanwhile.
TEST_F(SqliteConnectionTest, ReadOnlyTransactionSeesNoOtherProgramsCommit) {
  MakeDatabase(Database1());
  auto reader = Connect();
  ASSERT_TRUE(OpenOn(*reader, ConnectionString(kFolder1, "846", ";Mode=Read")).ok());
  ASSERT_TRUE(reader->ReadsAreIsolated());
  ASSERT_TRUE(reader->BeginTrans().ok());
  OtherProgram writer(Database1());
  EXPECT_EQ(writer.Exec("DELETE FROM T"), SQLITE_BUSY);
  Rows rows;
  ASSERT_TRUE(reader->Query("SELECT n FROM T", &rows).ok());
  EXPECT_EQ(writer.Exec("DELETE FROM T"), SQLITE_BUSY);
  ASSERT_TRUE(reader->Query("SELECT n FROM T", &rows).ok());
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_TRUE(reader->RollbackTrans().ok());
  EXPECT_EQ(writer.Exec("DELETE FROM T"), SQLITE_OK);
}

// Every wait for another program's lock comes out of one budget per opened
// database, so a run that meets a lock at each of many reads still fails
// within the budget, not once per read.
TEST_F(SqliteConnectionTest, LockWaitsOfOneDatabaseShareOneBudget) {
  MakeDatabase(Database1());
  SqliteOptions options;
  options.lock_wait_budget_ms = 300;
  auto connection = Connect(options);
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok());
  OtherProgram writer(Database1());
  ASSERT_EQ(writer.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 13; ++i) {
    Rows rows;
    EXPECT_EQ(connection->Query("SELECT n FROM T", &rows).number(), error::kDatabaseInUse);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  writer.Exec("COMMIT");
}

// Opening anything that isn't a regular file once blocked for ever (a FIFO)
// or got the wrong reason (a socket); an overlong path was called read-only,
// a damaged file "not a stand-in", and a read after an interrupted commit
// blamed a read-only file. Each gets its true reason now.
TEST_F(SqliteConnectionTest, OddFilesAndPathsGetTheirTrueReason) {
  const fs::path fifo = Folder1() / "CVL.MDB";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  auto connection = Connect();
  Status status = OpenOn(*connection, ConnectionString(kFolder1));
  EXPECT_THAT(status.message(), HasSubstr("not a regular file"));
  fs::remove(fifo);

  const int socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", fifo.c_str());
  if (fifo.string().size() < sizeof address.sun_path) {
    ASSERT_EQ(bind(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    status = OpenOn(*connection, ConnectionString(kFolder1));
    EXPECT_THAT(status.message(), HasSubstr("not a regular file"));
    fs::remove(fifo);
  }
  close(socket_fd);

  MakeDatabase(Database1());
  fs::path deep = root_ / "drive_c";
  while (deep.string().size() < 600) deep /= std::string(60, 'd');
  fs::create_directories(deep);
  fs::copy_file(Database1(), deep / "CVL.MDB");
  status =
      connection->Open(std::string(kHead) + (deep / "CVL.MDB").string(), "", "", kAdoUnspecified);
  EXPECT_EQ(status.number(), error::kPathTooLong) << status.ToString();
  EXPECT_THAT(status.message(), Not(HasSubstr("read-only")));

  OtherProgram(Database1())
      .Exec(
          "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE TABLE T(' "
          "WHERE name = 'T'");
  status = OpenOn(*connection, ConnectionString(kFolder1));
  EXPECT_EQ(status.number(), error::kNotADatabase);
  EXPECT_THAT(status.message(), HasSubstr("damaged"));
}

TEST_F(SqliteConnectionTest, ReadAfterAnInterruptedCommitNamesTheJournal) {
  MakeDatabase(Database1());
  const pid_t child = fork();
  if (child == 0) {
    sqlite3* db = nullptr;
    sqlite3_open(Database1().c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA cache_size = 1; BEGIN; "
                 "WITH RECURSIVE k(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM k WHERE i < 900) "
                 "INSERT INTO T(n) SELECT i FROM k; "
                 "DELETE FROM T WHERE n > 1",
                 nullptr, nullptr, nullptr);
    _exit(0);  // killed inside the transaction: the journal stays behind, hot
  }
  int child_status = 0;
  waitpid(child, &child_status, 0);
  ASSERT_TRUE(fs::exists(Database1().string() + "-journal"));
  auto connection = Connect();
  Status status = OpenOn(*connection, ConnectionString(kFolder1, "846", ";Mode=Read"));
  EXPECT_EQ(status.number(), error::kAccessDenied);
  EXPECT_THAT(status.message(), HasSubstr("interrupted"));
  EXPECT_THAT(status.message(), Not(HasSubstr("read-only")));
  ASSERT_TRUE(OpenOn(*connection, ConnectionString(kFolder1)).ok()) << "a writer rolls it back";
  EXPECT_EQ(OtherProgram(Database1()).Count("T"), 1);
}

// SQLite opens the journal beside a database to see whether it holds an
// interrupted update: a pipe named CVL.MDB-journal made the open wait for a
// writer for ever, and a folder of that name was reported as an I/O error.
// Whatever stands there, or as -wal or -shm, that isn't a regular file now
// fails the open at once with its true reason, in either mode, and the
// database is left as it was.
TEST_F(SqliteConnectionTest, JournalThatIsNotARegularFileFailsAtOnceAndWritesNothing) {
  MakeDatabase(Database1());
  const std::string bytes_before = FileBytes(Database1());
  const fs::path elsewhere = root_ / "elsewhere";
  ASSERT_EQ(mkfifo(elsewhere.c_str(), 0644), 0);
  struct Kind {
    const char* is;
    std::function<void(const fs::path&)> make;
  };
  int socket_fd = -1;
  const Kind kinds[] = {
      {"a pipe", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"a pipe", [&](const fs::path& p) { fs::create_symlink(elsewhere, p); }},
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }},
      {"a link to nothing", [&](const fs::path& p) { fs::create_symlink(root_ / "nothing", p); }},
      {"a socket",
       [&](const fs::path& p) {
         socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         ASSERT_LT(p.string().size(), sizeof address.sun_path);
         std::snprintf(address.sun_path, sizeof address.sun_path, "%s", p.c_str());
         ASSERT_EQ(bind(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
       }},
  };
  const auto start = std::chrono::steady_clock::now();
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    for (const Kind& kind : kinds) {
      const fs::path odd = Database1().string() + suffix;
      kind.make(odd);
      for (std::string_view mode : {"", ";Mode=Read"}) {
        SCOPED_TRACE(std::string(suffix) + " " + kind.is + std::string(mode));
        auto connection = Connect();
        Status status = OpenOn(*connection, ConnectionString(kFolder1, "846", mode));
        EXPECT_EQ(status.number(), error::kOpenFailed);
        EXPECT_EQ(status.message(), "'c:\\Program Files\\Corvallo\\CVL.MDB" + std::string(suffix) +
                                        "' is not a regular file (it is " + kind.is +
                                        "); remove it, then run again.");
      }
      fs::remove(odd);
      if (socket_fd >= 0) close(socket_fd);
      socket_fd = -1;
    }
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(FileBytes(Database1()), bytes_before);
  EXPECT_FALSE(fs::exists(root_ / "nothing")) << "nothing was created through the link";
}

}  // namespace
}  // namespace telo
