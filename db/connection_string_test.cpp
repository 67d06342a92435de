// Connection strings as ADO and OLE DB read them.
#include "db/connection_string.h"

#include <gtest/gtest.h>

namespace telo {
namespace {

TEST(ConnectionString, ReadsTheStringTheRunBuilds) {
  ConnectionString parsed;
  ASSERT_TRUE(ConnectionString::Parse(
                  "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\Program Files\\Corvallo\\"
                  "CVL.MDB;Jet OLEDB:Database Password=846",
                  &parsed)
                  .ok());
  EXPECT_EQ(parsed.provider(), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(parsed.data_source(), "c:\\Program Files\\Corvallo\\CVL.MDB");
  EXPECT_EQ(parsed.Get("jet oledb:database password"), "846");
}

TEST(ConnectionString, TrimsKeysAndValuesAndIgnoresKeyCase) {
  ConnectionString parsed;
  ASSERT_TRUE(
      ConnectionString::Parse("  PROVIDER = p ;  data source= d:\\x y\\z.mdb ;", &parsed).ok());
  EXPECT_EQ(parsed.provider(), "p");
  EXPECT_EQ(parsed.data_source(), "d:\\x y\\z.mdb");
  EXPECT_EQ(parsed.Get("Mode"), std::nullopt);
}

TEST(ConnectionString, QuotedValuesKeepSemicolonsAndBlanks) {
  ConnectionString parsed;
  ASSERT_TRUE(ConnectionString::Parse(
                  "Provider=p;Data Source=\" a;b \";Jet OLEDB:Database Password='it''s'", &parsed)
                  .ok());
  EXPECT_EQ(parsed.data_source(), " a;b ");
  EXPECT_EQ(parsed.Get(kKeyDatabasePassword), "it's");
}

// Format writes what Parse reads: a path with a ';' (a user profile may be
// named so) would otherwise have cut the Data Source short.
TEST(ConnectionString, FormatQuotesOnlyWhatWouldNotReadBack) {
  EXPECT_EQ(ConnectionString::Format({{kKeyProvider, "p"}, {kKeyDataSource, "c:\\a b\\x.mdb"}}),
            "Provider=p;Data Source=c:\\a b\\x.mdb");
  for (std::string_view value : {"c:\\users\\a;b\\CVL.MDB", "c:\\users\\O'Neil\\CVL.MDB",
                                 "say \"x\"", " leading", "trailing "}) {
    ConnectionString parsed;
    ASSERT_TRUE(
        ConnectionString::Parse(
            ConnectionString::Format({{kKeyProvider, "p"}, {kKeyDataSource, value}}), &parsed)
            .ok());
    EXPECT_EQ(parsed.data_source(), value);
  }
}

TEST(ConnectionString, LastOccurrenceOfAKeyWins) {
  ConnectionString parsed;
  ASSERT_TRUE(ConnectionString::Parse("Provider=a;Data Source=x;provider=b", &parsed).ok());
  EXPECT_EQ(parsed.provider(), "b");
}

TEST(ConnectionString, MissingProviderOrDataSourceIsAClearError) {
  ConnectionString parsed;
  Status status = ConnectionString::Parse("Data Source=x", &parsed);
  EXPECT_EQ(status.number(), error::kInvalidArgument);
  EXPECT_NE(status.message().find("Provider"), std::string::npos);
  status = ConnectionString::Parse("Provider=p;Data Source=  ", &parsed);
  EXPECT_NE(status.message().find("Data Source"), std::string::npos);
}

TEST(ConnectionString, MalformedStringsAreRejected) {
  ConnectionString parsed;
  for (std::string_view bad : {"Provider=p;Data Source=\"open", "Provider=p;junk;Data Source=x",
                               "Provider=p;=v;Data Source=x", "Provider='p' x;Data Source=y"}) {
    EXPECT_FALSE(ConnectionString::Parse(bad, &parsed).ok()) << bad;
  }
}

}  // namespace
}  // namespace telo
