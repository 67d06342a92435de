// The check reads, never writes, and tells each database's state.
#include "app/check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "patch/sequence.h"
#include "testing/fake_connection.h"
#include "testing/fake_desktop.h"
#include "testing/fake_env.h"
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

using ::testing::HasSubstr;

class CheckTest : public ::testing::Test {
 protected:
  // The patch over tables that have the rows its updates name.
  void WriteThePatch() {
    database_.tables["Comm_Rates"] = {{"scheme", "comm_rate"}, {{"2", "3"}, {"3", "2"}}};
    database_.tables["SB_Configuration"] = {{"Rate"}, {{"3.5"}}};
    auto connection = database_.Factory()();
    ASSERT_TRUE(connection->Open("Provider=p;Data Source=d", "", "", kAdoUnspecified).ok());
    for (std::string_view statement : AllPatchStatements()) {
      ASSERT_TRUE(connection->Execute(statement).ok());
    }
  }

  FakeDesktop desktop_;
  FakeEnv env_;
  FakeDatabase database_;
  FaultInjection injection_;
  ConnectionSlot cnMain_{injection_.Wrap(database_.Factory())};
};

TEST_F(CheckTest, OpensReadOnlyAndWritesNothing) {
  env_.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  WriteThePatch();
  CheckReport report = RunCheck(desktop_, env_, cnMain_);
  EXPECT_TRUE(report.up_to_date());
  EXPECT_EQ(injection_.counts.execute, 0);
  EXPECT_THAT(injection_.opened().back(),
              HasSubstr("CVL.MDB;Jet OLEDB:Database Password=846;Mode=Read"));
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_THAT(DescribeCheck(report), HasSubstr("KVP_PMC_Rates: up to date"));
}

TEST_F(CheckTest, UnpatchedDatabaseIsNotUpToDate) {
  env_.existing_folders = {"C:\\Program Files (x86)\\Corvallo\\"};
  database_.missing_tables = {"SCSS_Configuration"};
  CheckReport report = RunCheck(desktop_, env_, cnMain_);
  EXPECT_FALSE(report.up_to_date());
  const std::string text = DescribeCheck(report);
  EXPECT_THAT(text, HasSubstr("C:\\Program Files\\Corvallo\\: not found"));
  EXPECT_THAT(text, HasSubstr("RD_Configuration: differs: 0 rows where the patch writes 10"));
  EXPECT_THAT(text, HasSubstr("SCSS_Configuration: missing"));
}

TEST_F(CheckTest, NoDatabaseAndUnopenableDatabaseAreNeverUpToDate) {
  CheckReport nothing = RunCheck(desktop_, env_, cnMain_);
  EXPECT_FALSE(nothing.any_database_found());
  EXPECT_FALSE(nothing.up_to_date());
  env_.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  injection_.faults.fail_every_open = true;
  CheckReport closed = RunCheck(desktop_, env_, cnMain_);
  EXPECT_TRUE(closed.any_database_found());
  EXPECT_FALSE(closed.up_to_date());
  EXPECT_THAT(DescribeCheck(closed), HasSubstr("could not be opened"));
}

}  // namespace
}  // namespace telo
