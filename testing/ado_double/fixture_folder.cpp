// A temporary folder for Jet fixtures.
#include "testing/ado_double/fixture_folder.h"

#include <windows.h>

namespace telo {

FixtureFolder::FixtureFolder() {
  static int made = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  folder_ = std::string(temp) + "telo-fixtures-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++made);
  CreateDirectoryA(folder_.c_str(), nullptr);
}

FixtureFolder::~FixtureFolder() {
  for (const std::string& file : files_) {
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());
  }
  RemoveDirectoryA(folder_.c_str());
}

std::string FixtureFolder::File(std::string_view name) {
  return files_.emplace_back(folder_ + "\\" + std::string(name));
}

}  // namespace telo
