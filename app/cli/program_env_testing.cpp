// The test build's Env: the platform's own, with every connection wrapped in
// a FaultInjection that can stop the run at a fixed statement. With
// TELO_TEST_STOP_AT_STATEMENT=N and TELO_TEST_STOP_FILE=PATH set, the program
// creates PATH just before the Nth statement and waits until PATH is removed:
// a test then kills it there, or changes the database behind its back and
// lets it go on.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "app/cli/program_env.h"
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

void StopUntilReleased(const std::string& stop_file) {
  std::ofstream(stop_file) << getpid() << "\n";
  while (access(stop_file.c_str(), F_OK) == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

class StoppableEnv final : public Env {
 public:
  explicit StoppableEnv(std::unique_ptr<Env> real) : real_(std::move(real)) {
    const char* at = std::getenv("TELO_TEST_STOP_AT_STATEMENT");
    const char* file = std::getenv("TELO_TEST_STOP_FILE");
    if (at == nullptr || file == nullptr) return;
    injection_.faults.before_execute = [stop_at = std::atoi(at), file = std::string(file)](int n) {
      if (n == stop_at) StopUntilReleased(file);
    };
  }

  std::vector<std::string> DriveEntries() override { return real_->DriveEntries(); }
  std::string CurrentDriveEntry() override { return real_->CurrentDriveEntry(); }
  std::string DriveProblem() override { return real_->DriveProblem(); }
  Status ChangeDirectory(std::string_view folder) override {
    return real_->ChangeDirectory(folder);
  }
  Status IdentifyFile(std::string_view path, FileIdentity* identity) override {
    return real_->IdentifyFile(path, identity);
  }
  std::unique_ptr<Connection> NewConnection() override {
    return injection_.Wrap(real_->NewConnection());
  }
  bool ProcessIsVirtualized() override { return real_->ProcessIsVirtualized(); }
  std::string OwnVirtualStoreCopy(std::string_view database) override {
    return real_->OwnVirtualStoreCopy(database);
  }
  std::vector<std::string> VirtualStoreCopies(std::string_view database) override {
    return real_->VirtualStoreCopies(database);
  }

 private:
  FaultInjection injection_;  // declared first, so it outlives every connection of real_
  std::unique_ptr<Env> real_;
};

}  // namespace

std::unique_ptr<Env> ProgramEnv(const EnvOptions& options) {
  return std::make_unique<StoppableEnv>(NewDefaultEnv(options));
}

}  // namespace telo
