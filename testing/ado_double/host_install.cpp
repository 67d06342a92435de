// The host's install folders and a second profile on C:, made and removed.
#include "testing/ado_double/host_install.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace telo {
namespace {

namespace fs = std::filesystem;

constexpr char kX86Root[] = "C:\\Program Files (x86)";
constexpr char kStandardFolder[] = "C:\\Program Files\\Corvallo";
constexpr char kX86Folder[] = "C:\\Program Files (x86)\\Corvallo";
constexpr char kProfile[] = "C:\\users\\telo-other-user";
constexpr char kVirtualStoreFolder[] =
    "C:\\users\\telo-other-user\\AppData\\Local\\VirtualStore\\Program Files\\Corvallo";
constexpr char kDatabaseName[] = "\\CVL.MDB";

// Wine makes Program Files (x86) in a 64-bit prefix only, and says so in
// this variable.
bool PrefixHasX86Root() { return GetEnvironmentVariableA("ProgramFiles(x86)", nullptr, 0) != 0; }

void RemoveEverything() {
  std::error_code ignored;
  for (const char* tree : {kStandardFolder, kX86Folder, kProfile}) fs::remove_all(tree, ignored);
  if (!PrefixHasX86Root() && fs::is_empty(kX86Root, ignored)) fs::remove(kX86Root, ignored);
}

Status WriteInto(const std::string& folder, const JetFixture& fixture) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return Status::Error(error::kPathNotFound, folder + ": " + error.message());
  return WriteJetFixtureFile(folder + kDatabaseName, fixture);
}

}  // namespace

HostInstall::HostInstall() { RemoveEverything(); }

HostInstall::~HostInstall() { RemoveEverything(); }

Status HostInstall::Put(HostFolder folder, const JetFixture& fixture) {
  return WriteInto(folder == HostFolder::kStandard ? kStandardFolder : kX86Folder, fixture);
}

Status HostInstall::PutVirtualStoreCopy(const JetFixture& fixture) {
  return WriteInto(kVirtualStoreFolder, fixture);
}

std::string HostInstall::Database(HostFolder folder) {
  return std::string(folder == HostFolder::kStandard ? kStandardFolder : kX86Folder) +
         kDatabaseName;
}

std::string HostInstall::VirtualStoreCopy() {
  return std::string(kVirtualStoreFolder) + kDatabaseName;
}

}  // namespace telo
