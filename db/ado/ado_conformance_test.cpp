// cnMain over ADO, through the ADO double that the test Wine prefix has in
// place of ADODB.Connection, against the transaction contract that every
// connection follows.
#include <windows.h>

#include "db/ado/ado_connection.h"
#include "platform/windows/com_apartment.h"
#include "testing/ado_double/fixture_folder.h"
#include "testing/ado_double/jet_fixture.h"
#include "testing/connection_conformance.h"

namespace telo {
namespace {

class AdoBackend : public ConformanceBackend {
 public:
  std::string MakeDatabase() override {
    JetFixture fixture;
    fixture.password = "pw";
    fixture.tables["T"] = {{"n"}, {{"1"}}, {"LONG"}};
    EXPECT_TRUE(WriteJetFixtureFile(path_, fixture).ok());
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path_ +
           ";Jet OLEDB:Database Password=pw";
  }

  std::unique_ptr<Connection> NewConnection() override { return NewAdoConnection(); }

  int DurableRows() override {
    JetFixture fixture;
    EXPECT_TRUE(ReadJetFixtureFile(path_, &fixture).ok());
    return static_cast<int>(fixture.tables["T"].rows.size());
  }

  // The double fails the next commit of an inner level as Jet would.
  bool FailNextInnerCommit(Connection&) override {
    return SetEnvironmentVariableW(L"TELO_ADO_DOUBLE_FAIL_NEXT_COMMIT", L"1") != 0;
  }

 private:
  ComApartment com_;  // outlives every connection of the test
  FixtureFolder folder_;
  std::string path_ = folder_.File("CVL.MDB");
};

INSTANTIATE_TEST_SUITE_P(AdoOverTheDouble, ConnectionConformanceTest,
                         ::testing::Values(ConformanceTarget{
                             "ADO over the double", [] { return std::make_unique<AdoBackend>(); }}),
                         ConformanceCaseName);

}  // namespace
}  // namespace telo
