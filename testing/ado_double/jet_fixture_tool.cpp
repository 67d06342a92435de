// jet-fixture.exe: writes the host's database as the ADO double reads it, for
// scripts that set up a desktop in a Wine prefix (tests only).
//   jet-fixture.exe unpatched PATH            the host's tables before the patch
//   jet-fixture.exe patched PATH              ... and after it
//   jet-fixture.exe missing TABLE PATH        before the patch, without TABLE
// PATH is a Windows path in the ANSI code page. Exit 0 written, 1 not, 2 a bad
// command line.
#include <cstdio>
#include <string>
#include <string_view>

#include "testing/ado_double/jet_fixture.h"
#include "testing/ado_double/patch_fixture.h"

namespace {

int Usage() {
  std::fputs("usage: jet-fixture.exe unpatched|patched PATH | missing TABLE PATH\n", stderr);
  return 2;
}

int Write(const telo::JetFixture& fixture, const char* path) {
  const telo::Status written = telo::WriteJetFixtureFile(path, fixture);
  if (written.ok()) return 0;
  std::fprintf(stderr, "jet-fixture: %s\n", written.ToString().c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string_view kind = argv[1];
  telo::JetFixture fixture = telo::PatchedTablesFixture();
  if (kind == "unpatched" && argc == 3) return Write(fixture, argv[2]);
  if (kind == "patched" && argc == 3) {
    if (const telo::Status applied = telo::ApplyWholePatch(&fixture.tables); !applied.ok()) {
      std::fprintf(stderr, "jet-fixture: %s\n", applied.ToString().c_str());
      return 1;
    }
    return Write(fixture, argv[2]);
  }
  if (kind == "missing" && argc == 4) {
    if (fixture.tables.erase(std::string(argv[2])) != 1) {
      std::fprintf(stderr, "jet-fixture: the host's database has no table %s\n", argv[2]);
      return 2;
    }
    return Write(fixture, argv[3]);
  }
  return Usage();
}
