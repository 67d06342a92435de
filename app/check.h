// The check: what does each database on a drive hold, compared with the
// patch data? It probes the same install folders as the update run, opens
// each database found (and each VirtualStore copy the run would patch)
// read-only, checks every patched table and closes it.
// It writes nothing and shows no message; the caller displays the report.
#pragma once

#include <string>
#include <vector>

#include "app/desktop.h"
#include "app/report.h"
#include "app/verify.h"
#include "db/connection.h"
#include "platform/env.h"

namespace telo {

struct CheckAttempt : FolderAttempt {
  bool open_attempted = false;
  Status open;
  std::vector<TableCheck> tables;
  Status close;

  bool opened() const { return open_attempted && open.ok(); }
  bool up_to_date() const;
};

struct CheckReport {
  std::string drive_text;
  std::vector<CheckAttempt> attempts;

  bool any_database_found() const;
  bool any_folder_unenterable() const;
  // At least one database was found, and every one found was opened and is
  // up to date in every table.
  bool up_to_date() const;
};

CheckReport RunCheck(Desktop& desktop, Env& env, ConnectionSlot& cnMain);

// A plain-text account, one line per folder, database and table.
std::string DescribeCheck(const CheckReport& report);

}  // namespace telo
