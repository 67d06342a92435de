// The ADO connection as the update run meets it where no database can be
// opened: calls on a closed connection, and Open when the provider or the
// file is missing. Runs on Windows and under Wine, which has no Jet provider.
#include "db/ado/ado_connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include "db/ado/com_apartment.h"

namespace telo {
namespace {

using ::testing::HasSubstr;

constexpr std::string_view kMissingDatabase =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\No Such Folder\\CVL.MDB;"
    "Jet OLEDB:Database Password=846";

bool JetProviderInstalled() {
  CLSID clsid;
  return SUCCEEDED(CLSIDFromProgID(L"Microsoft.Jet.OLEDB.4.0", &clsid));
}

class AdoConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com_.status().ok()) << com_.status().ToString(); }

  Status OpenWith(std::string_view connection_string) {
    return connection_->Open(connection_string, "", "", kAdoUnspecified);
  }

  ComApartment com_;  // outlives connection_
  std::unique_ptr<Connection> connection_ = NewAdoConnection();
};

TEST_F(AdoConnectionTest, EveryCallBeforeOpenFailsAsClosed) {
  Rows rows;
  rows.columns = {"stale"};
  const Status calls[] = {
      connection_->Execute("DELETE FROM RD_Configuration"),
      connection_->Query("SELECT * FROM RD_Configuration", &rows),
      connection_->BeginTrans(),
      connection_->CommitTrans(),
      connection_->RollbackTrans(),
      connection_->Close(),
  };
  for (const Status& status : calls) {
    EXPECT_EQ(status.number(), error::kConnectionClosed) << status.ToString();
    EXPECT_THAT(status.message(), HasSubstr("closed"));
  }
  EXPECT_TRUE(rows.columns.empty()) << "a failed Query must not leave old rows behind";
}

TEST_F(AdoConnectionTest, OpenOfMissingJetDatabaseFailsWithClearMessage) {
  const Status open = OpenWith(kMissingDatabase);
  ASSERT_FALSE(open.ok());
  EXPECT_LT(open.number(), 0) << "the number is ADO's failing HRESULT";
  if (JetProviderInstalled()) {
    EXPECT_THAT(open.message(), HasSubstr("CVL.MDB"));
  } else {
    EXPECT_THAT(open.message(), HasSubstr("Provider cannot be found"));
    EXPECT_THAT(open.message(), HasSubstr("Microsoft.Jet.OLEDB.4.0"));
  }
}

TEST_F(AdoConnectionTest, FailedOpenLeavesTheObjectClosedAndReusable) {
  const Status first = OpenWith(kMissingDatabase);
  ASSERT_FALSE(first.ok());
  EXPECT_EQ(connection_->Execute("UPDATE SB_Configuration SET x = 1").number(),
            error::kConnectionClosed);
  EXPECT_FALSE(connection_->Close().ok());
  const Status second = OpenWith(kMissingDatabase);
  EXPECT_EQ(second, first) << "the second attempt reuses cnMain";
}

TEST_F(AdoConnectionTest, UnknownProviderIsReportedAsMissing) {
  const Status open = OpenWith("Provider=No.Such.Provider.1;Data Source=c:\\x.mdb");
  ASSERT_FALSE(open.ok());
  EXPECT_THAT(open.message(), HasSubstr("Provider cannot be found"));
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
