// The check: what does each database on a drive hold, compared with the
// patch data? It probes the same install folders as the update run, opens
// each database found (and each VirtualStore copy the run would patch)
// read-only, checks every patched table and closes it. The tables are read as
// of one moment: inside one transaction where the connection's transactions
// isolate reads, otherwise twice, and readings that disagree are no result.
// It writes nothing and shows no message; the caller displays the report.
#pragma once

#include <string>
#include <vector>

#include "app/install.h"
#include "app/report.h"
#include "app/verify.h"
#include "db/connection.h"
#include "platform/env.h"

namespace telo {

struct CheckAttempt : FolderAttempt {
  bool open_attempted = false;
  Status open;
  std::vector<TableCheck> tables;
  // Another program wrote to the database between the two readings; then
  // `tables` is empty, since neither reading need be what the file holds.
  bool changed_during_check = false;
  Status close;

  bool opened() const { return open_attempted && open.ok(); }
  bool up_to_date() const;
};

struct CheckReport : DriveReport<CheckAttempt> {
  bool any_changed_during_check() const;
  // At least one database was found, and every one found was opened and is
  // up to date in every table.
  bool up_to_date() const;
};

// Checks every location on `drives` (install.h's InstallLocations).
CheckReport RunCheck(const Drives& drives, Env& env, ConnectionSlot& cnMain);

// A plain-text account, one line per folder, database and table.
std::string DescribeCheck(const CheckReport& report);

}  // namespace telo
