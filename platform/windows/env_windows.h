// The Windows Env's own parts that its tests reach directly: the drive list
// (and the fixed drives) over a replaceable way of asking the drives, the UAC
// state of the process token, and the user profiles of the machine. Windows
// only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"

namespace telo {

// How the Env asks the machine about its drives. MachineDrives() asks
// Windows; tests give their own answers.
struct DriveQueries {
  // The drives' roots ("C:\"), or the error of listing them.
  std::function<Status(std::vector<std::wstring>& roots)> roots;
  std::function<UINT(const std::wstring& root)> type;  // GetDriveTypeW's answer
  // The volume label; "" when there is none or it can't be read.
  std::function<std::wstring(const std::wstring& root)> label;
  std::function<std::wstring()> current_directory;
  // The letter of the drive that holds Windows and Program Files; 0 if unknown.
  std::function<wchar_t()> system_drive;
};

DriveQueries MachineDrives();

// The Windows Env over `drives`. It lists the drives once, on the first call
// that needs them, and keeps the entries and the starting entry from then on.
std::unique_ptr<Env> NewWindowsEnv(DriveQueries drives);

// The entry text of a network drive. Its label is never read: a disconnected
// share can take its time to answer.
inline constexpr std::string_view kNetworkDriveLabel = "[network drive]";

struct UacState {
  // Writes under Program Files go to the user's VirtualStore.
  bool virtualized = false;
  // The token is elevated (UAC's full administrator token, or UAC off for an
  // administrator); on Windows XP, which has no UAC, it is a member of
  // Administrators. For reports: the run's choices rest on `virtualized`
  // alone, since an elevated process is never virtualized.
  bool elevated = false;
};

// Read from the process token. Windows XP has neither token class: the
// queries fail there, the process is not virtualized, and `elevated` is
// TokenIsAdministratorsMember().
UacState ProcessUacState();

// The token of the calling thread (the process's when it impersonates no one)
// counts the Administrators group among its enabled groups.
bool TokenIsAdministratorsMember();

// The folders of the machine's user profiles: each ProfileImagePath under
// the registry's ProfileList, and every folder in its ProfilesDirectory
// (links such as "All Users" left out), without trailing backslash, each
// once whatever its case, ordered case-insensitively.
std::vector<std::wstring> ProfileFolders();

}  // namespace telo
