// FixtureFolder: a folder of its own under %TEMP% for one test's Jet
// fixtures (Windows, tests only). The folder and every file named through
// File() are deleted when the object goes, read-only ones included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace telo {

class FixtureFolder {
 public:
  FixtureFolder();
  ~FixtureFolder();
  FixtureFolder(const FixtureFolder&) = delete;
  FixtureFolder& operator=(const FixtureFolder&) = delete;

  // The Windows path of file `name` in the folder (which may not exist yet).
  std::string File(std::string_view name);

 private:
  std::string folder_;
  std::vector<std::string> files_;
};

}  // namespace telo
