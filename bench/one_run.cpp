// one_run: a single update run, or a single pass of the floor, in a process
// of its own, as a user runs the program. scripts/bench-instructions counts
// the instructions of each under callgrind, inside the two functions named
// below only, so that neither the start of the process nor the preparing of
// the floor's statements is counted.
//   one_run run PREFIX   the whole run on drive c of the Wine-style prefix
//   one_run floor FILE   the translated statements through the raw SQLite
//                        API, in one transaction, on the stand-in file
// Exit code 0 when the run or the floor succeeded.
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/update_run.h"
#include "db/connection_factory.h"
#include "db/sqlite/jet_sql.h"
#include "patch/sequence.h"
#include "platform/env.h"

namespace {

class YesDesktop : public telo::Desktop {
 public:
  telo::BoxAnswer ShowMessage(std::string_view, std::string_view, telo::BoxStyle style) override {
    return style == telo::BoxStyle::kQuestion ? telo::BoxAnswer::kYes : telo::BoxAnswer::kOk;
  }
  void FocusDriveList() override {}
};

}  // namespace

// The counted parts; C names, so that callgrind's --toggle-collect finds them.
extern "C" __attribute__((noinline)) bool TeloMeasuredRun(const char* prefix) {
  std::unique_ptr<telo::Env> env = telo::NewDefaultEnv({prefix});
  YesDesktop desktop;
  telo::ConnectionSlot cnMain(telo::NewDefaultConnectionFactory({prefix}));
  return telo::RunUpdate('c', desktop, *env, cnMain).succeeded();
}

extern "C" __attribute__((noinline)) bool TeloMeasuredFloor(const char* file,
                                                            const std::vector<std::string>* sql) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(file, &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  ok = ok && sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
  for (const std::string& statement : *sql) {
    ok = ok && sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

int main(int argc, char** argv) {
  const std::string_view mode = argc == 3 ? argv[1] : "";
  if (mode == "run") return TeloMeasuredRun(argv[2]) ? 0 : 1;
  if (mode == "floor") {
    std::vector<std::string> translated;
    for (std::string_view statement : telo::AllPatchStatements()) {
      if (!telo::TranslateJetSql(statement, &translated.emplace_back()).ok()) return 1;
    }
    return TeloMeasuredFloor(argv[2], &translated) ? 0 : 1;
  }
  std::fputs("usage: one_run run PREFIX | one_run floor FILE\n", stderr);
  return 2;
}
