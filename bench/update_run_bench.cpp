// The cost of a whole update run on a sample stand-in database, against two
// yardsticks: the floor (the same translated statements through the raw
// SQLite API in one transaction) and the old policy (each statement
// committed on its own). A second sample carries an unrelated
// 200,000-row table, which must not slow the run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/update_run.h"
#include "db/connection_factory.h"
#include "db/sqlite/jet_sql.h"
#include "patch/sequence.h"
#include "platform/env.h"
#include "testing/temp_prefix.h"
#include "tools/sample_db.h"

namespace telo {
namespace {

namespace fs = std::filesystem;

// A Wine-style prefix in a temporary folder whose drive c: holds a sample
// host database; removed when the program ends.
class SamplePrefix {
 public:
  explicit SamplePrefix(int64_t unrelated_rows) {
    SampleOptions options;
    options.unrelated_rows = unrelated_rows;
    Status status = prefix_.status();
    if (status.ok()) {
      status = CreateSampleDatabase(database().string(), std::string(kSamplePassword), options);
    }
    if (!status.ok()) {
      std::fprintf(stderr, "update_run_bench: no sample database: %s\n", status.ToString().c_str());
      std::abort();
    }
  }

  const fs::path& root() const { return prefix_.root(); }
  fs::path database() const { return prefix_.Database(); }

 private:
  TempPrefix prefix_{"telo_bench", {.install_folders = 1}};
};

const SamplePrefix& Sample(int64_t unrelated_rows) {
  static SamplePrefix plain(0);
  static SamplePrefix large(200000);
  return unrelated_rows == 0 ? plain : large;
}

// A call that must succeed for the figures to mean anything.
void Require(benchmark::State& state, const Status& status) {
  if (!status.ok()) state.SkipWithError(status.ToString().c_str());
}

class BenchDesktop : public Desktop {
 public:
  BoxAnswer ShowMessage(std::string_view, std::string_view, BoxStyle style) override {
    return style == BoxStyle::kQuestion ? BoxAnswer::kYes : BoxAnswer::kOk;
  }
  void FocusDriveList() override {}
};

void BM_UpdateRun(benchmark::State& state) {
  const SamplePrefix& sample = Sample(state.range(0));
  std::unique_ptr<Env> env = NewDefaultEnv({sample.root().string()});
  BenchDesktop desktop;
  ConnectionSlot cnMain(NewDefaultConnectionFactory({sample.root().string()}));
  for (auto _ : state) {
    if (!RunUpdate('c', desktop, *env, cnMain).succeeded()) state.SkipWithError("the run failed");
  }
}
BENCHMARK(BM_UpdateRun)->Arg(0)->Arg(200000)->Unit(benchmark::kMillisecond);

// The run's database work without the read-back: open, the twelve
// procedures inside one transaction, commit, close.
void BM_PatchWithoutReadBack(benchmark::State& state) {
  const SamplePrefix& sample = Sample(state.range(0));
  std::unique_ptr<Connection> connection = NewDefaultConnectionFactory({sample.root().string()})();
  const std::string connection_string = DatabaseConnectionString(InstallFolder('c', 0) + "CVL.MDB");
  for (auto _ : state) {
    Require(state, connection->Open(connection_string, "", "", kAdoUnspecified));
    Require(state, connection->BeginTrans());
    for (const PatchProcedure* procedure : PatchSequence()) {
      if (!(*procedure)(*connection).ok()) state.SkipWithError("a procedure failed");
    }
    Require(state, connection->CommitTrans());
    Require(state, connection->Close());
  }
}
BENCHMARK(BM_PatchWithoutReadBack)->Arg(0)->Unit(benchmark::kMillisecond);

std::vector<std::string> TranslatedStatements() {
  std::vector<std::string> translated;
  for (std::string_view statement : AllPatchStatements()) {
    std::string sql;
    if (!TranslateJetSql(statement, &sql).ok()) std::abort();
    translated.push_back(std::move(sql));
  }
  return translated;
}

void BM_FloorRawSqliteOneTransaction(benchmark::State& state) {
  const SamplePrefix& sample = Sample(state.range(0));
  const std::vector<std::string> statements = TranslatedStatements();
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(sample.database().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const std::string& sql : statements) {
      if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
      }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
}
BENCHMARK(BM_FloorRawSqliteOneTransaction)->Arg(0)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_AutocommitEachStatement(benchmark::State& state) {
  const SamplePrefix& sample = Sample(state.range(0));
  std::unique_ptr<Connection> connection = NewDefaultConnectionFactory({sample.root().string()})();
  const std::string connection_string = DatabaseConnectionString(InstallFolder('c', 0) + "CVL.MDB");
  for (auto _ : state) {
    Require(state, connection->Open(connection_string, "", "", kAdoUnspecified));
    for (std::string_view statement : AllPatchStatements()) {
      if (!connection->Execute(statement).ok()) state.SkipWithError("a statement failed");
    }
    Require(state, connection->Close());
  }
}
BENCHMARK(BM_AutocommitEachStatement)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace telo

BENCHMARK_MAIN();
