// FaultInjectionConnection: a wrapped real connection with failures on
// request; see the header.
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

Status Injected(std::string_view what) {
  return Status::Error(kInjectedFailure, "injected failure: " + std::string(what));
}

bool Contains(std::string_view text, const std::string& marker) {
  return !marker.empty() && text.find(marker) != std::string_view::npos;
}

class FaultInjectionConnection final : public Connection {
 public:
  FaultInjectionConnection(FaultInjection* control, std::unique_ptr<Connection> real)
      : control_(control), real_(std::move(real)) {}

  Status Open(std::string_view connection_string, std::string_view user, std::string_view password,
              int options) override {
    Log("Open " + std::string(connection_string) + " user=" + std::string(user) +
        " password=" + std::string(password) + " options=" + std::to_string(options));
    const int count = ++counts().open;
    if (faults().fail_every_open || count == faults().fail_open_at) return Injected("Open");
    Status status = real_->Open(connection_string, user, password, options);
    if (status.ok()) levels_ = 0;
    return status;
  }

  Status Execute(std::string_view command_text) override {
    Log("Execute " + std::string(command_text));
    const int count = ++counts().execute;
    if (faults().before_execute) faults().before_execute(count);
    if (count == faults().fail_execute_at ||
        Contains(command_text, faults().fail_execute_containing)) {
      return Injected(command_text);
    }
    if (Contains(command_text, faults().drop_execute_containing)) return Status::Ok();
    return real_->Execute(command_text);
  }

  Status Query(std::string_view command_text, Rows* result) override {
    Log("Query " + std::string(command_text));
    const int count = ++counts().query;
    if (faults().before_query) faults().before_query(count);
    if (count == faults().fail_query_at) {
      *result = Rows();
      return Injected(command_text);
    }
    return real_->Query(command_text, result);
  }

  Status Close() override {
    Log("Close");
    const int count = ++counts().close;
    Status status = real_->Close();
    levels_ = 0;
    return count == faults().fail_close_at ? Injected("Close") : status;
  }

  Status BeginTrans() override {
    Log("BeginTrans");
    if (++counts().begin == faults().fail_begin_at) return Injected("BeginTrans");
    Status status = real_->BeginTrans();
    if (status.ok()) ++levels_;
    return status;
  }

  Status CommitTrans() override {
    Log("CommitTrans");
    const int count = ++counts().commit;
    const bool outermost = levels_ == 1;
    if (count == faults().fail_commit_at || (outermost && faults().fail_outermost_commit)) {
      return Injected("CommitTrans");
    }
    Status status = real_->CommitTrans();
    if (status.ok()) --levels_;
    if (status.ok() && outermost && faults().after_outermost_commit) {
      faults().after_outermost_commit();
    }
    if (status.ok() && outermost && faults().fail_after_outermost_commit) {
      return Injected("CommitTrans, after the commit was made");
    }
    return status;
  }

  Status RollbackTrans() override {
    Log("RollbackTrans");
    const int count = ++counts().rollback;
    Status status = real_->RollbackTrans();
    if (levels_ > 0) --levels_;
    return count == faults().fail_rollback_at ? Injected("RollbackTrans") : status;
  }

  bool ReadsAreIsolated() const override { return real_->ReadsAreIsolated(); }

 private:
  InjectedFaults& faults() { return control_->faults; }
  CallCounts& counts() { return control_->counts; }
  void Log(std::string call) { control_->calls.push_back(std::move(call)); }

  FaultInjection* control_;
  std::unique_ptr<Connection> real_;
  int levels_ = 0;  // open levels of the wrapped connection, as far as seen from here
};

}  // namespace

ConnectionFactory FaultInjection::Wrap(ConnectionFactory real) {
  return [this, real = std::move(real)] { return Wrap(real()); };
}

std::unique_ptr<Connection> FaultInjection::Wrap(std::unique_ptr<Connection> real) {
  return std::make_unique<FaultInjectionConnection>(this, std::move(real));
}

std::vector<std::string> FaultInjection::executed() const {
  static constexpr std::string_view kPrefix = "Execute ";
  std::vector<std::string> statements;
  for (const std::string& call : calls) {
    if (call.starts_with(kPrefix)) statements.push_back(call.substr(kPrefix.size()));
  }
  return statements;
}

std::vector<std::string> FaultInjection::opened() const {
  static constexpr std::string_view kPrefix = "Open ";
  std::vector<std::string> strings;
  for (const std::string& call : calls) {
    if (call.starts_with(kPrefix)) {
      strings.push_back(call.substr(kPrefix.size(), call.rfind(" user=") - kPrefix.size()));
    }
  }
  return strings;
}

}  // namespace telo
