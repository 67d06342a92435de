// Env: what the utility needs from the operating system, behind one interface
// so that the portable core never includes a platform header. env_posix.cpp
// (drives of a Wine-style prefix) and env_windows.cpp (the machine's own
// drives) each define NewDefaultEnv; CMake builds exactly one of them. An Env
// makes no connections: those come from db/connection_factory.h, which stands
// above platform/. An Env is used from one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace telo {

// What tells one file from another: while two readings of a path give the
// same identity, the path names the same file. A file replaced by another
// (renamed away, deleted and written anew) gets another identity.
struct FileIdentity {
  uint64_t volume = 0;  // st_dev; on Windows the volume's serial number
  uint64_t index = 0;   // st_ino; on Windows the file index
  bool operator==(const FileIdentity&) const = default;
};

// Who runs the program where and when, for a report that leaves the machine.
// A fact that can't be learnt is "" (or false).
struct MachineFacts {
  std::string computer;  // GetComputerNameW's name; the host name on POSIX
  // DOMAIN\user of the process token ("NT AUTHORITY\SYSTEM"), or its SID
  // ("S-1-5-21-...") when no name can be found for it; the user name on POSIX.
  std::string account;
  std::string time_utc;  // when the facts were asked for: "2026-12-08T16:30:00Z"
  // "major.minor.build" of the Windows that runs the program, e.g.
  // "5.1.2600" or "10.0.19045"; "" on POSIX, where no Windows runs it.
  std::string windows_version;
  // A full administrator: UAC's elevated token, or on Windows XP a member of
  // Administrators; root on POSIX.
  bool elevated = false;
  bool virtualized = false;  // as ProcessIsVirtualized()
  bool operator==(const MachineFacts&) const = default;
};

class Env {
 public:
  virtual ~Env() = default;

  // The machine's drives as a drive list shows them. The first character of
  // every entry is the drive's letter, e.g. "c: [drive_c]".
  virtual std::vector<std::string> DriveEntries() = 0;
  // The entry of the drive that holds the current directory; on Windows the
  // system drive's when that is on none (a network path). "" when there are
  // no drives at all.
  virtual std::string CurrentDriveEntry() = 0;
  // Why the drive list is empty or incomplete, for the user; "" if nothing is wrong.
  virtual std::string DriveProblem() = 0;
  // The letters of the fixed local drives, upper case, in letter order: on
  // Windows each drive that GetDriveTypeW calls DRIVE_FIXED (it reads no
  // medium, so no removable, CD, RAM or network drive is touched); on POSIX
  // each drive of the prefix that leads to a folder. Asked anew on each call.
  // Empty when there are none or they can't be listed: DriveProblem() then
  // says why, unless there are simply none.
  virtual std::vector<char> FixedDrives() = 0;

  // Changes the process's current directory to a folder given as a Windows path.
  virtual Status ChangeDirectory(std::string_view windows_folder) = 0;

  // The identity of the file that `windows_path` names now; fails when there
  // is none (or it can't be asked), with the reason.
  virtual Status IdentifyFile(std::string_view windows_path, FileIdentity* identity) = 0;

  // UAC file virtualization (Windows Vista and later). A virtualized process
  // (a legacy program run by a standard user) has its writes under Program
  // Files redirected to that user's VirtualStore; an elevated one, one run
  // with UAC off or by SYSTEM, and every process on XP or POSIX is not.
  virtual bool ProcessIsVirtualized() = 0;
  // The calling user's VirtualStore copy of `database_path` (a Windows path
  // under Program Files), when it exists; "" otherwise.
  virtual std::string OwnVirtualStoreCopy(std::string_view database_path) = 0;
  // The VirtualStore copies of `database_path` that exist in every user
  // profile of the machine, the calling user's included, in a stable order;
  // empty where Windows keeps none.
  virtual std::vector<std::string> VirtualStoreCopies(std::string_view database_path) = 0;

  // Asked anew on each call.
  virtual MachineFacts Machine() = 0;
};

struct EnvOptions {
  // POSIX only: the Wine-style prefix whose dosdevices are the drives.
  // Empty means $WINEPREFIX, or ~/.wine when that is unset.
  std::string wine_prefix;
};

std::unique_ptr<Env> NewDefaultEnv(const EnvOptions& options);

}  // namespace telo
