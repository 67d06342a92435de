// The stand-in connection, and the fault-injecting connection wrapped around
// it, against the transaction contract that every connection follows.
#include <sqlite3.h>

#include <filesystem>

#include "db/sqlite/sqlite_connection.h"
#include "db/sqlite/stand_in_file.h"
#include "testing/connection_conformance.h"
#include "testing/fault_injection_connection.h"
#include "testing/temp_prefix.h"

namespace telo {
namespace {

class StandInBackend : public ConformanceBackend {
 public:
  std::string MakeDatabase() override {
    if (!folder_.status().ok()) {
      ADD_FAILURE() << folder_.status().ToString();
      return "";
    }
    const std::string connection_string = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + Path() +
                                          ";Jet OLEDB:Database Password=pw";
    EXPECT_TRUE(CreateStandInFile(Path(), "pw").ok());
    SqliteConnection setup(nullptr);
    EXPECT_TRUE(setup.Open(connection_string, "", "", kAdoUnspecified).ok());
    EXPECT_TRUE(setup.Execute("CREATE TABLE T(n LONG)").ok());
    EXPECT_TRUE(setup.Execute("Insert Into T(n) Values (1)").ok());
    EXPECT_TRUE(setup.Close().ok());
    return connection_string;
  }

  std::unique_ptr<Connection> NewConnection() override {
    auto connection = std::make_unique<SqliteConnection>(nullptr);
    stand_in_ = connection.get();
    return connection;
  }

  int DurableRows() override {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM T", -1, &statement, nullptr);
    const int rows = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
  }

  // An authorizer that refuses the next release of a savepoint, once.
  bool FailNextInnerCommit(Connection&) override {
    sqlite3_set_authorizer(
        stand_in_->native_handle(),
        [](void* handle, int action, const char* operation, const char*, const char*, const char*) {
          if (action != SQLITE_SAVEPOINT || std::string_view(operation) != "RELEASE") {
            return SQLITE_OK;
          }
          sqlite3_set_authorizer(static_cast<sqlite3*>(handle), nullptr, nullptr);
          return SQLITE_DENY;
        },
        stand_in_->native_handle());
    return true;
  }

 protected:
  std::string Path() const { return (folder_.path() / "CVL.MDB").string(); }

  TempFolder folder_{"telo_conformance"};
  SqliteConnection* stand_in_ = nullptr;
};

class FaultInjectionBackend : public StandInBackend {
 public:
  std::unique_ptr<Connection> NewConnection() override {
    return injection_.Wrap(StandInBackend::NewConnection());
  }
  bool FailNextInnerCommit(Connection&) override {
    injection_.faults.fail_commit_at = injection_.counts.commit + 1;
    return true;
  }

 private:
  FaultInjection injection_;
};

INSTANTIATE_TEST_SUITE_P(StandIn, ConnectionConformanceTest,
                         ::testing::Values(ConformanceTarget{
                             "stand-in", [] { return std::make_unique<StandInBackend>(); }}),
                         ConformanceCaseName);
INSTANTIATE_TEST_SUITE_P(FaultInjectionOverStandIn, ConnectionConformanceTest,
                         ::testing::Values(ConformanceTarget{
                             "fault injection over the stand-in",
                             [] { return std::make_unique<FaultInjectionBackend>(); }}),
                         ConformanceCaseName);

}  // namespace
}  // namespace telo
