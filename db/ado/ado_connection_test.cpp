// cnMain over ADO, against the ADO double (testing/ado_double/) that the test
// Wine prefix has in place of ADODB.Connection and ADODB.Recordset: the
// calls in their order, nested transactions and what reaches the file,
// every Jet column type read back as its Value, Jet's failures, and a
// database held by another program or connection told apart as in use.
#include "db/ado/ado_connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "db/connection_factory.h"
#include "platform/windows/com_apartment.h"
#include "testing/ado_double/fixture_folder.h"
#include "testing/ado_double/jet_fixture.h"

namespace telo {
namespace {

using ::testing::HasSubstr;
using Literals = std::vector<std::vector<std::string>>;

constexpr int32_t kJetFailure = error::kUnspecifiedFailure;
const Literals kOldRates = {{"1", "3.5"}, {"2", "4"}};

JetFixture RatesFixture() {
  JetFixture fixture;
  fixture.password = "846";
  fixture.tables["Rates"] = {{"scheme", "rate"}, kOldRates, {"LONG", "DOUBLE"}, {{"scheme", "99"}}};
  return fixture;
}

std::string ConnectionString(const std::string& path, std::string_view tail = "",
                             std::string_view password = "846") {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
         ";Jet OLEDB:Database Password=" + std::string(password) + std::string(tail);
}

class AdoConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com_.status().ok()) << com_.status().ToString();
    ASSERT_TRUE(WriteJetFixtureFile(database_, RatesFixture()).ok());
  }

  Status Open(std::string_view tail = "") {
    return connection_->Open(ConnectionString(database_, tail), "", "", kAdoUnspecified);
  }
  Status Execute(std::string_view statement) { return connection_->Execute(statement); }

  // (scheme, rate) of every row, one after the other, as this connection
  // reads them.
  std::vector<Value> Rates() {
    Rows rows;
    const Status status = connection_->Query("SELECT scheme, rate FROM Rates", &rows);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return rows.cells;
  }
  // The rows of Rates in the file.
  Literals FileRates() {
    JetFixture fixture;
    EXPECT_TRUE(ReadJetFixtureFile(database_, &fixture).ok());
    return fixture.tables["Rates"].rows;
  }

  FixtureFolder folder_;
  std::string database_ = folder_.File("CVL.MDB");
  ComApartment com_;  // outlives connection_
  std::unique_ptr<Connection> connection_ = NewAdoConnection();
};

TEST(AdoConnectionFactoryTest, DefaultFactoryMakesClosedConnections) {
  ComApartment com;
  ASSERT_TRUE(com.status().ok());
  std::unique_ptr<Connection> connection = NewDefaultConnectionFactory({})();
  EXPECT_EQ(connection->Execute("SELECT 1").number(), error::kConnectionClosed);
}

TEST_F(AdoConnectionTest, EveryCallBeforeOpenAndAfterCloseFailsAsClosed) {
  for (const bool opened_and_closed : {false, true}) {
    if (opened_and_closed) {
      ASSERT_TRUE(Open().ok());
      ASSERT_TRUE(connection_->Close().ok());
    }
    Rows rows;
    rows.columns = {"stale"};
    const Status calls[] = {
        Execute("Delete From Rates"), connection_->Query("SELECT scheme FROM Rates", &rows),
        connection_->BeginTrans(),    connection_->CommitTrans(),
        connection_->RollbackTrans(), connection_->Close(),
    };
    for (const Status& status : calls) {
      EXPECT_EQ(status.number(), error::kConnectionClosed) << status.ToString();
      EXPECT_EQ(status.message(), "Operation is not allowed when the object is closed.");
    }
    EXPECT_TRUE(rows.columns.empty()) << "a failed Query must not leave old rows behind";
  }
  EXPECT_EQ(FileRates(), kOldRates);
}

TEST_F(AdoConnectionTest, StatementsOutsideATransactionReachTheFileAtOnceAndSurviveAReopen) {
  ASSERT_TRUE(Open().ok());
  const Status again = Open();
  EXPECT_EQ(again.number(), error::kConnectionOpen);
  EXPECT_EQ(again.message(), "Operation is not allowed when the object is open.");

  ASSERT_TRUE(Execute("Delete From Rates").ok());
  ASSERT_TRUE(Execute("Insert Into Rates(scheme, rate) Values (7, 1.25)").ok());
  ASSERT_TRUE(Execute("Insert Into Rates(scheme, rate) Values (8, 2)").ok());
  ASSERT_TRUE(Execute("Update Rates Set rate = 0.5 Where scheme in (8,9)").ok());
  const Literals written = {{"7", "1.25"}, {"8", "0.5"}};
  EXPECT_EQ(FileRates(), written) << "no transaction: each statement is durable";

  Rows eight;
  ASSERT_TRUE(connection_->Query("SELECT rate FROM Rates WHERE scheme IN (8)", &eight).ok());
  EXPECT_EQ(eight.columns, std::vector<std::string>{"rate"});
  EXPECT_EQ(eight.cells, std::vector<Value>{0.5});

  ASSERT_TRUE(connection_->Close().ok());
  ASSERT_TRUE(Open().ok()) << "the same cnMain opens again";
  EXPECT_EQ(Rates(), (std::vector<Value>{int64_t{7}, 1.25, int64_t{8}, 0.5}));
}

TEST_F(AdoConnectionTest, TransactionsNestFiveDeepAndOnlyTheOutermostCommitReachesTheFile) {
  ASSERT_TRUE(Open().ok());
  ASSERT_TRUE(connection_->BeginTrans().ok());
  ASSERT_TRUE(Execute("Delete From Rates").ok());
  ASSERT_TRUE(Execute("Insert Into Rates(scheme, rate) Values (10, 1)").ok());
  EXPECT_EQ(Rates(), (std::vector<Value>{int64_t{10}, 1.0}))
      << "a connection reads its own uncommitted writes";

  ASSERT_TRUE(connection_->BeginTrans().ok());
  ASSERT_TRUE(Execute("Insert Into Rates(scheme, rate) Values (20, 2)").ok());
  ASSERT_TRUE(connection_->RollbackTrans().ok());
  EXPECT_EQ(Rates(), (std::vector<Value>{int64_t{10}, 1.0}))
      << "rolling back the inner level keeps the outer one's work";

  for (int level = 2; level <= 5; ++level) {
    ASSERT_TRUE(connection_->BeginTrans().ok()) << "level " << level;
    ASSERT_TRUE(Execute("Update Rates Set rate = " + std::to_string(level)).ok());
  }
  const Status sixth = connection_->BeginTrans();
  EXPECT_EQ(sixth.number(), kJetFailure);
  EXPECT_EQ(sixth.message(), "Could not start transaction; too many transactions already nested.");

  for (int level = 5; level >= 2; --level) ASSERT_TRUE(connection_->CommitTrans().ok());
  EXPECT_EQ(FileRates(), kOldRates) << "inner commits are not durable";
  ASSERT_TRUE(connection_->CommitTrans().ok());
  EXPECT_EQ(FileRates(), (Literals{{"10", "5"}}));

  for (const Status& none : {connection_->CommitTrans(), connection_->RollbackTrans()}) {
    EXPECT_EQ(none.number(), error::kNoTransaction);
    EXPECT_EQ(none.message(), "No transaction is active.");
  }
}

TEST_F(AdoConnectionTest, EveryJetTypeReadsBackAsItsValue) {
  const struct {
    std::string_view declared;
    std::string_view literal;
    Value expected;
  } columns[] = {
      {"BYTE", "200", int64_t{200}},
      {"SHORT", "-3", int64_t{-3}},
      {"LONG", "1543.3", int64_t{1543}},
      {"INTEGER", "7", int64_t{7}},
      {"SINGLE", "23.66", 23.66f},
      {"DOUBLE", "23.435", 23.435},
      {"CURRENCY", "1.5", Currency{15000}},
      {"DECIMAL(10,2)", "23.660", Decimal{"23.66"}},
      {"DECIMAL(10,3)", "23.6", Decimal{"23.600"}},
      {"DATETIME", "#04/01/2012#", DateTime{"2012-04-01"}},
      {"TEXT(20)", "'it''s'", std::string("it's")},
      {"BIT", "True", int64_t{-1}},
  };
  JetFixture fixture = RatesFixture();
  FakeTable& table = fixture.tables["Types"];
  std::string names, literals;
  std::vector<Value> expected;
  for (const auto& column : columns) {
    table.columns.push_back("c" + std::to_string(table.columns.size()));
    table.types.emplace_back(column.declared);
    names += (names.empty() ? "" : ", ") + table.columns.back();
    literals += (literals.empty() ? "" : ", ") + std::string(column.literal);
    expected.push_back(column.expected);
  }
  table.rows.emplace_back(table.columns.size(), "Null");
  ASSERT_TRUE(WriteJetFixtureFile(database_, fixture).ok());
  ASSERT_TRUE(Open().ok());
  ASSERT_TRUE(Execute("Insert Into Types(" + names + ") Values (" + literals + ")").ok());

  Rows rows;
  ASSERT_TRUE(connection_->Query("SELECT " + names + " FROM Types", &rows).ok());
  ASSERT_EQ(rows.size(), 2u);
  for (std::size_t i = 0; i < std::size(columns); ++i) {
    EXPECT_EQ(rows[0][i], Value{std::monostate{}}) << columns[i].declared << ": Null";
    EXPECT_EQ(rows[1][i], expected[i])
        << columns[i].declared << " " << columns[i].literal << " read back as "
        << ValueText(rows[1][i]) << " (alternative " << rows[1][i].index() << ")";
  }
}

TEST_F(AdoConnectionTest, FailuresCarryJetsNumbersAndDescriptions) {
  const std::string missing = folder_.File("NONE.MDB");
  const std::string garbage = folder_.File("GARBAGE.MDB");
  auto opening = [&](std::string connection_string) {
    return [&, connection_string] { return connection_->Open(connection_string, "", "", -1); };
  };
  auto executing = [&](std::string statement) {
    return [&, statement] {
      const Status open = Open();
      return open.ok() ? Execute(statement) : open;
    };
  };
  const std::string no_table =
      "The Microsoft Jet database engine cannot find the input table or query 'Nowhere'.  Make "
      "sure it exists and that its name is spelled correctly.";
  const struct {
    std::string_view what;
    std::function<Status()> act;
    int32_t number;
    std::string description;
  } cases[] = {
      {"wrong password", opening(ConnectionString(database_, "", "845")),
       static_cast<int32_t>(0x80040E4D), "Not a valid password."},
      {"missing file", opening(ConnectionString(missing)), kJetFailure,
       "Could not find file '" + missing + "'."},
      {"not a database",
       [&] {
         std::FILE* file = std::fopen(garbage.c_str(), "wb");
         std::fputs("Standard Jet DB", file);
         std::fclose(file);
         return connection_->Open(ConnectionString(garbage), "", "", -1);
       },
       kJetFailure, "Unrecognized database format '" + garbage + "'."},
      {"held by another program",
       [&] {
         HANDLE held = CreateFileA(database_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
         const Status open = Open();
         CloseHandle(held);
         return open;
       },
       error::kDatabaseInUse, "Could not use ''; file already in use."},
      {"another provider", opening("Provider=SQLOLEDB;Data Source=" + database_),
       error::kProviderNotFound, "Provider cannot be found. It may not be properly installed."},
      {"missing table", executing("Delete From Nowhere"), error::kNoSuchTable, no_table},
      {"query of a missing table",
       [&] {
         Rows rows;
         const Status open = Open();
         return open.ok() ? connection_->Query("SELECT a FROM Nowhere", &rows) : open;
       },
       error::kNoSuchTable, no_table},
      {"query comparing a number column with text",
       [&] {
         Rows rows;
         const Status open = Open();
         return open.ok()
                    ? connection_->Query("SELECT rate FROM Rates WHERE scheme IN ('1')", &rows)
                    : open;
       },
       static_cast<int32_t>(0x80040E07), "Data type mismatch in criteria expression."},
      {"unknown column", executing("Insert Into Rates(scheme, bonus) Values (5, 1)"),
       error::kCommandError,
       "The INSERT INTO statement contains the following unknown field name: 'bonus'.  Make sure "
       "you have typed the name correctly, and try the operation again."},
      {"rejected row", executing("Insert Into Rates(scheme, rate) Values (99, 1)"), kJetFailure,
       "The changes you requested to the table were not successful because they would create "
       "duplicate values in the index, primary key, or relationship.  Change the data in the "
       "field or fields that contain duplicate data, remove the index, or redefine the index to "
       "permit duplicate entries and try again."},
      {"value its column can't hold", executing("Insert Into Rates(scheme, rate) Values ('x', 1)"),
       static_cast<int32_t>(0x80040E07), "Data type mismatch in criteria expression."},
      {"another statement shape", executing("Delete From Rates Where scheme = 1"),
       error::kCommandError,
       "The ADO double doesn't run statements of this shape: 'Delete From Rates Where scheme = "
       "1'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteJetFixtureFile(database_, RatesFixture()).ok());
    const Status status = c.act();
    EXPECT_EQ(status.number(), c.number) << status.ToString();
    EXPECT_EQ(status.message(), c.description);
    EXPECT_EQ(FileRates(), kOldRates);
    (void)connection_->Close();  // some cases never opened it
  }
}

TEST_F(AdoConnectionTest, ReadOnlyDatabasesAreReadButNeverWritten) {
  for (const bool read_only_file : {false, true}) {
    SCOPED_TRACE(read_only_file ? "read-only file" : "Mode=Read");
    if (read_only_file) SetFileAttributesA(database_.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(Open(read_only_file ? "" : ";Mode=Read").ok());
    EXPECT_EQ(Rates(), (std::vector<Value>{int64_t{1}, 3.5, int64_t{2}, 4.0}));
    ASSERT_TRUE(connection_->BeginTrans().ok());
    const Status write = Execute("Update Rates Set rate = 1");
    EXPECT_EQ(write.number(), static_cast<int32_t>(0x80040E09));
    EXPECT_EQ(write.message(), "Cannot update.  Database or object is read-only.");
    ASSERT_TRUE(connection_->CommitTrans().ok());
    ASSERT_TRUE(connection_->Close().ok());
    EXPECT_EQ(FileRates(), kOldRates);
  }
}

// hold-file.exe (beside this test) holding `path` in a process of its own
// until Release() or the object goes.
class HoldFileProcess {
 public:
  HoldFileProcess(const std::string& path, std::string stop_file)
      : stop_file_(std::move(stop_file)) {
    std::fclose(std::fopen(stop_file_.c_str(), "wb"));
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherited, 0)) return;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    std::string command =
        "\"" + BesideThisTest("hold-file.exe") + "\" \"" + path + "\" 60 \"" + stop_file_ + "\"";
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process_)) {
      CloseHandle(process_.hThread);
    }
    CloseHandle(write_end);  // the pipe ends when the child does
    char buffer[64];
    DWORD read = 0;
    while (said_.find('\n') == std::string::npos &&
           ReadFile(read_end, buffer, sizeof buffer, &read, nullptr) && read > 0) {
      said_.append(buffer, read);
    }
    CloseHandle(read_end);
  }
  ~HoldFileProcess() { Release(); }

  // What it wrote before it held the file, or failed to: "holding\n".
  const std::string& said() const { return said_; }

  // Lets the file go; the exit code.
  DWORD Release() {
    DeleteFileA(stop_file_.c_str());
    DWORD code = 0xFFFFFFFF;
    if (process_.hProcess == nullptr) return code;
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 10000);
    }
    GetExitCodeProcess(process_.hProcess, &code);
    CloseHandle(process_.hProcess);
    process_.hProcess = nullptr;
    return code;
  }

 private:
  static std::string BesideThisTest(const std::string& name) {
    char self[MAX_PATH + 1];
    const std::string path(self, GetModuleFileNameA(nullptr, self, MAX_PATH + 1));
    return path.substr(0, path.find_last_of("\\/") + 1) + name;
  }

  std::string stop_file_;
  PROCESS_INFORMATION process_{};
  std::string said_;
};

TEST_F(AdoConnectionTest, ADatabaseHeldElsewhereFailsToOpenAsInUseUntilItIsLetGo) {
  std::string computer(MAX_COMPUTERNAME_LENGTH + 1, '\0');
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(GetComputerNameA(computer.data(), &size));
  computer.resize(size);
  const std::string exclusive_text =
      "You attempted to open a database that is already opened exclusively by user 'Admin' on "
      "machine '" +
      computer + "'.  Try again when the database is available.";
  const struct {
    std::string_view holder;
    std::string_view holder_mode;  // the holding connection's; empty: hold-file.exe
    bool in_use;
    std::string description;
  } cases[] = {
      {"another program, sharing nothing", "", true, "Could not use ''; file already in use."},
      {"another connection, exclusively", ";Mode=Share Exclusive", true, exclusive_text},
      {"another connection, by number", ";Mode=12", true, exclusive_text},
      {"another connection, shared", ";Mode=ReadWrite", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.holder);
    std::unique_ptr<HoldFileProcess> program;
    std::unique_ptr<Connection> holder = NewAdoConnection();
    if (c.holder_mode.empty()) {
      program = std::make_unique<HoldFileProcess>(database_, folder_.File("stop"));
      ASSERT_EQ(program->said(), "holding\n");
    } else {
      ASSERT_TRUE(holder->Open(ConnectionString(database_, c.holder_mode), "", "", -1).ok());
    }

    const Status held = Open();
    EXPECT_EQ(held.IsInUse(), c.in_use) << held.ToString();
    if (c.in_use) {
      EXPECT_EQ(held.number(), error::kDatabaseInUse);
      EXPECT_EQ(held.message(), c.description);
    }
    (void)connection_->Close();

    if (program) {
      EXPECT_EQ(program->Release(), 0u);
    } else {
      ASSERT_TRUE(holder->Close().ok());
    }
    const Status let_go = Open();
    EXPECT_TRUE(let_go.ok()) << "once let go: " << let_go.ToString();
    EXPECT_EQ(Rates(), (std::vector<Value>{int64_t{1}, 3.5, int64_t{2}, 4.0}));
    ASSERT_TRUE(connection_->Close().ok());
  }
}

TEST(AdoConnectionWithoutComTest, FailsWithStatusInsteadOfCrashing) {
  // No ComApartment on this thread: creating the COM object must fail cleanly.
  std::unique_ptr<Connection> connection = NewAdoConnection();
  const Status status = connection->Execute("SELECT 1");
  EXPECT_FALSE(status.ok());
  EXPECT_THAT(status.message(), HasSubstr("ADODB.Connection"));
}

}  // namespace
}  // namespace telo
