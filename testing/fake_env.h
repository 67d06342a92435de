// FakeEnv: an Env for tests. The folders in `existing_folders` are present,
// and every directory change is recorded in `directory_changes`. The drives,
// the virtualization state, the VirtualStore copies and the machine's facts
// are as the test sets them; Machine() reports `virtualized` as the facts'.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/env.h"

namespace telo {

class FakeEnv : public Env {
 public:
  std::vector<std::string> drive_entries = {"c: [drive_c]"};
  std::string current_drive_entry = "c: [drive_c]";
  std::string drive_problem;
  std::vector<char> fixed_drives = {'C'};
  std::set<std::string> existing_folders;
  bool virtualized = false;
  std::string own_virtual_store_copy;
  // Every profile's copies, by the database they copy.
  std::map<std::string, std::vector<std::string>, std::less<>> virtual_store_copies;
  MachineFacts machine = {.computer = "TELO-TEST",
                          .account = "TELO-TEST\\tester",
                          .time_utc = "2026-12-08T16:30:00Z",
                          .windows_version = "10.0.19045"};

  // The identity of each file by its path; a path missing here has no file.
  std::map<std::string, FileIdentity, std::less<>> file_identities;

  std::vector<std::string> directory_changes;
  std::string current_directory;
  int virtual_store_lookups = 0;

  std::vector<std::string> DriveEntries() override { return drive_entries; }
  std::string CurrentDriveEntry() override { return current_drive_entry; }
  std::string DriveProblem() override { return drive_problem; }
  std::vector<char> FixedDrives() override { return fixed_drives; }
  Status ChangeDirectory(std::string_view windows_folder) override;
  Status IdentifyFile(std::string_view windows_path, FileIdentity* identity) override;
  bool ProcessIsVirtualized() override { return virtualized; }
  std::string OwnVirtualStoreCopy(std::string_view database_path) override;
  std::vector<std::string> VirtualStoreCopies(std::string_view database_path) override;
  MachineFacts Machine() override;
};

}  // namespace telo
