// FakeConnection, which the app's tests and the ADO double run on, against
// the transaction contract that every connection follows.
#include "testing/connection_conformance.h"
#include "testing/fake_connection.h"

namespace telo {
namespace {

class FakeBackend : public ConformanceBackend {
 public:
  std::string MakeDatabase() override {
    database_.tables["T"] = {{"n"}, {{"1"}}, {"LONG"}};
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=CVL.MDB";
  }

  std::unique_ptr<Connection> NewConnection() override { return database_.Factory()(); }

  int DurableRows() override { return static_cast<int>(database_.tables["T"].rows.size()); }

  // The fake has no failure of its own to give a commit; a test that wants
  // one wraps the fake in a FaultInjection.
  bool FailNextInnerCommit(Connection&) override { return false; }

 private:
  FakeDatabase database_;
};

INSTANTIATE_TEST_SUITE_P(Fake, ConnectionConformanceTest,
                         ::testing::Values(ConformanceTarget{
                             "fake", [] { return std::make_unique<FakeBackend>(); }}),
                         ConformanceCaseName);

}  // namespace
}  // namespace telo
