// The test build's connections: this build's own, each wrapped in one
// FaultInjection that can stop the run at a fixed statement. With
// TELO_TEST_STOP_AT_STATEMENT=N and TELO_TEST_STOP_FILE=PATH set, the program
// creates PATH just before the Nth statement and waits until PATH is removed:
// a test then kills it there, or changes the database behind its back and
// lets it go on.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "app/cli/program_connections.h"
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

void StopUntilReleased(const std::string& stop_file) {
  std::ofstream(stop_file) << getpid() << "\n";
  while (access(stop_file.c_str(), F_OK) == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

ConnectionFactory ProgramConnections(const ConnectionOptions& options) {
  auto injection = std::make_shared<FaultInjection>();
  const char* at = std::getenv("TELO_TEST_STOP_AT_STATEMENT");
  const char* file = std::getenv("TELO_TEST_STOP_FILE");
  if (at != nullptr && file != nullptr) {
    injection->faults.before_execute = [stop_at = std::atoi(at), file = std::string(file)](int n) {
      if (n == stop_at) StopUntilReleased(file);
    };
  }
  // The factory keeps the injection alive; a ConnectionSlot destroys its
  // connection before its factory.
  return [injection, wrapped = injection->Wrap(NewDefaultConnectionFactory(options))] {
    return wrapped();
  };
}

}  // namespace telo
