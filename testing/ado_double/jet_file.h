// JetFile: what the ADO double's connection holds while it is open: the
// Data Source's Jet fixture (testing/ado_double/jet_fixture.h), held open through
// a file handle that shares reading and writing (opened exclusively: nothing),
// its tables, and this connection's transactions over them (FakeSession),
// with Jet 4.0's rules and messages. Every durable change (a statement outside a transaction, the
// outermost commit) rewrites the file through the handle and flushes it.
// Destroying a JetFile rolls back what is still open and lets the file go.
// Windows only; one thread.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "testing/fake_connection.h"

namespace telo::ado_double {

// Jet nests transactions at most this deep.
inline constexpr int kMaxTransactionLevels = 5;

class JetFile {
 public:
  // Opens the database that `connection_string` names (Provider
  // Microsoft.Jet.OLEDB.4.0, Data Source, Jet OLEDB:Database Password,
  // optionally Mode=Read, Mode=Share Exclusive or their numbers). Fails with
  // ADO's or Jet's number and text; a file that another program holds
  // without sharing fails with Jet's "file already in use", one that
  // another connection opened exclusively with Jet's "already opened
  // exclusively by user".
  static Status Open(std::string_view connection_string, std::unique_ptr<JetFile>* file);
  ~JetFile();
  JetFile(const JetFile&) = delete;
  JetFile& operator=(const JetFile&) = delete;

  Status Execute(std::string_view statement, long* affected);
  // `level` receives the new level, 1 for the outermost.
  Status BeginTrans(long* level);
  Status CommitTrans();
  Status RollbackTrans();
  // Reads with this connection's uncommitted writes.
  Status Select(std::string_view query, FakeSelection* rows) const;

 private:
  JetFile(HANDLE handle, HANDLE exclusive_marker, bool read_only,
          std::optional<std::string> password, FakeTables tables);
  Status Save();

  HANDLE handle_;
  HANDLE exclusive_marker_;  // null unless opened exclusively
  bool read_only_;
  std::optional<std::string> password_;
  FakeDatabase database_;
  FakeSession session_{&database_};
};

}  // namespace telo::ado_double
