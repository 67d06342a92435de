// The test build's Env: the platform's own, with every connection wrapped in
// a FaultInjection that sleeps TELO_TEST_EXECUTE_DELAY_MS milliseconds before
// each statement when that variable is set (a test kills a run midway so).
#include <cstdlib>

#include "app/cli/program_env.h"
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

class SlowedEnv final : public Env {
 public:
  SlowedEnv(std::unique_ptr<Env> real, int delay_ms) : real_(std::move(real)) {
    injection_.faults.execute_delay_ms = delay_ms;
  }

  std::vector<std::string> DriveEntries() override { return real_->DriveEntries(); }
  std::string CurrentDriveEntry() override { return real_->CurrentDriveEntry(); }
  std::string DriveProblem() override { return real_->DriveProblem(); }
  Status ChangeDirectory(std::string_view folder) override {
    return real_->ChangeDirectory(folder);
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
  const char* delay = std::getenv("TELO_TEST_EXECUTE_DELAY_MS");
  return std::make_unique<SlowedEnv>(NewDefaultEnv(options),
                                     delay == nullptr ? 0 : std::atoi(delay));
}

}  // namespace telo
