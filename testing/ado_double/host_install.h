// HostInstall: the host's install folders on drive C: of the test Wine
// prefix, C:\Program Files\Corvallo\ and C:\Program Files (x86)\Corvallo\, and
// a second user profile holding a VirtualStore copy, each database a Jet
// fixture, for tests that run the shipped programs (Windows, tests only).
// The paths are fixed, so a test program that uses it must run alone (ctest
// RUN_SERIAL). Everything it can make is removed both when it is made (what
// a killed earlier run left) and when it goes: the Corvallo folders, the
// profile, and Program Files (x86) when it is empty and the prefix is 32-bit.
#pragma once

#include <string>

#include "base/status.h"
#include "testing/ado_double/jet_fixture.h"

namespace telo {

enum class HostFolder { kStandard, kX86 };

class HostInstall {
 public:
  HostInstall();
  ~HostInstall();
  HostInstall(const HostInstall&) = delete;
  HostInstall& operator=(const HostInstall&) = delete;

  // Writes `fixture` as the database of `folder`, making the folder.
  Status Put(HostFolder folder, const JetFixture& fixture);
  // Writes `fixture` as the other user's VirtualStore copy of the standard
  // folder's database, making the profile.
  Status PutVirtualStoreCopy(const JetFixture& fixture);

  // "C:\Program Files\Corvallo\CVL.MDB" and the like.
  static std::string Database(HostFolder folder);
  static std::string VirtualStoreCopy();
};

}  // namespace telo
