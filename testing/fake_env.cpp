// FakeEnv: scripted folders, VirtualStore copies and machine facts; see the header.
#include "testing/fake_env.h"

namespace telo {

Status FakeEnv::ChangeDirectory(std::string_view windows_folder) {
  directory_changes.emplace_back(windows_folder);
  if (!existing_folders.contains(std::string(windows_folder))) {
    return Status::Error(error::kPathNotFound, "Path not found: " + std::string(windows_folder));
  }
  current_directory = windows_folder;
  return Status::Ok();
}

Status FakeEnv::IdentifyFile(std::string_view windows_path, FileIdentity* identity) {
  auto found = file_identities.find(windows_path);
  if (found == file_identities.end()) {
    return Status::Error(error::kFileNotFound, "No file: " + std::string(windows_path));
  }
  *identity = found->second;
  return Status::Ok();
}

std::string FakeEnv::OwnVirtualStoreCopy(std::string_view /*database_path*/) {
  ++virtual_store_lookups;
  return own_virtual_store_copy;
}

std::vector<std::string> FakeEnv::VirtualStoreCopies(std::string_view database_path) {
  ++virtual_store_lookups;
  auto found = virtual_store_copies.find(database_path);
  return found == virtual_store_copies.end() ? std::vector<std::string>{} : found->second;
}

MachineFacts FakeEnv::Machine() {
  MachineFacts facts = machine;
  facts.virtualized = virtualized;
  return facts;
}

}  // namespace telo
