// FaultInjectionConnection: a Connection for tests that wraps a real one and,
// on request, makes its calls fail, makes statements vanish or calls back at
// fixed points, while counting every call. The wrapped connection does all the real work.
// Injected failures follow the transaction contract of db/connection.h: an
// Open, Execute, Query, BeginTrans or CommitTrans made to fail is never
// passed on (a failed commit leaves its level open); a RollbackTrans or Close
// made to fail is passed on and then reported as failed, since those end
// their level or connection either way. ReadsAreIsolated is passed on. One FaultInjection controls
// and counts for every connection it wraps; it must outlive them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"

namespace telo {

// The number of an injected failure (DB_E_ERRORSINCOMMAND, as a provider's
// own failure would have).
inline constexpr int32_t kInjectedFailure = static_cast<int32_t>(0x80040E14);

struct InjectedFaults {
  // Each counts the calls of its kind over every wrapped connection, from 1;
  // 0 never fails.
  int fail_open_at = 0;
  int fail_execute_at = 0;
  int fail_query_at = 0;
  int fail_begin_at = 0;
  int fail_commit_at = 0;
  int fail_rollback_at = 0;
  int fail_close_at = 0;
  bool fail_every_open = false;
  // Fails the commit of the outermost level (the whole database's).
  bool fail_outermost_commit = false;
  // Commits the outermost level but reports a failure, as a database that
  // saved everything and then could not release its lock would.
  bool fail_after_outermost_commit = false;
  std::string fail_execute_containing;  // "" never
  // Reports success for a statement containing this without running it.
  std::string drop_execute_containing;
  // Called before Execute number `count` (from 1) runs or fails: the moment
  // for something behind the connection's back, such as another program.
  std::function<void(int count)> before_execute;
  // Called with the query's number before each Query is passed on, as
  // another program writing in between would.
  std::function<void(int query)> before_query;
  // Called once the outermost level's commit has been made, before it
  // returns: the moment to change the file behind the connection's back.
  std::function<void()> after_outermost_commit;
};

struct CallCounts {
  int open = 0;
  int execute = 0;
  int query = 0;
  int begin = 0;
  int commit = 0;
  int rollback = 0;
  int close = 0;
};

class FaultInjection {
 public:
  InjectedFaults faults;
  CallCounts counts;
  // Every call in order: "Open <string> user=<u> password=<p> options=<n>",
  // "Execute <text>", "Query <text>", "BeginTrans", "CommitTrans",
  // "RollbackTrans", "Close".
  std::vector<std::string> calls;

  // Makes `real`'s connections fail as `faults` says.
  ConnectionFactory Wrap(ConnectionFactory real);
  std::unique_ptr<Connection> Wrap(std::unique_ptr<Connection> real);

  // The statements passed to Execute, in order, whether they failed or not.
  std::vector<std::string> executed() const;
  // The connection strings passed to Open, in order.
  std::vector<std::string> opened() const;
};

}  // namespace telo
