// The transaction contract of db/connection.h as one test suite that every
// kind of connection must pass. A test program defines a ConformanceBackend
// for its connection kind and instantiates the suite with
//   INSTANTIATE_TEST_SUITE_P(Name, ConnectionConformanceTest,
//                            ::testing::Values(ConformanceTarget{"name", factory}),
//                            ConformanceCaseName);
// and links telo_connection_conformance (testing/CMakeLists.txt). The suite only
// sends statements of the patch's own shapes, on one table T(n) whose fresh
// database holds the single row n = 1.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "db/connection.h"

namespace telo {

class ConformanceBackend {
 public:
  virtual ~ConformanceBackend() = default;
  // Makes a fresh database and returns the connection string that opens it.
  virtual std::string MakeDatabase() = 0;
  virtual std::unique_ptr<Connection> NewConnection() = 0;
  // The rows of T as another program reads them: what is durable.
  virtual int DurableRows() = 0;
  // Makes the next commit of an inner level fail inside the database itself;
  // false when this kind of connection has no way to.
  virtual bool FailNextInnerCommit(Connection& connection) = 0;
};

// One kind of connection under the suite: its name, and how to make its backend.
struct ConformanceTarget {
  std::string name;
  std::function<std::unique_ptr<ConformanceBackend>()> make;
};
inline void PrintTo(const ConformanceTarget& target, std::ostream* out) { *out << target.name; }

// Names each instantiation's cases alike: "Contract".
inline std::string ConformanceCaseName(const ::testing::TestParamInfo<ConformanceTarget>&) {
  return "Contract";
}

class ConnectionConformanceTest : public ::testing::TestWithParam<ConformanceTarget> {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<ConformanceBackend> backend_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace telo
