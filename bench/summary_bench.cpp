// The office summary of a folder of 10,000 result files of 2 to 4 KB, as a
// fleet of desktops writes them (a tenth of the machines with an older result
// beside their newest, a few damaged or half-written files): listing, reading
// and parsing every file, then the table, the CSV and the HTML page. The files
// are written once, into a temporary folder removed when the program ends.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "app/cli/summary.h"
#include "testing/temp_prefix.h"

namespace telo {
namespace {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

constexpr int kFiles = 10000;
constexpr const char* kOutcomes[] = {"patched", "patched", "patched",   "already_patched",
                                     "in_use",  "failed",  "not_found", "declined"};

ordered_json Attempt(const std::string& folder, bool found) {
  ordered_json procedures = ordered_json::array();
  for (const char* name : {"UpdateSBRate", "UpdateRDRates", "UpdateKVPRates", "UpdateMISRates",
                           "UpdatePPFRates", "UpdateNSCRates"}) {
    procedures.push_back(
        {{"name", name}, {"ok", true}, {"committed_tables", {"SB_Configuration"}}});
  }
  ordered_json attempt = {{"folder", folder}, {"found", found}};
  if (found) {
    attempt["database"] = folder + "CVL.MDB";
    attempt["open"] = {{"ok", true}, {"error", 0}, {"message", ""}};
    attempt["procedures"] = procedures;
    attempt["commit"] = {{"ok", true}, {"error", 0}, {"message", ""}};
    attempt["saved"] = "yes";
    attempt["fully_patched"] = true;
  }
  return attempt;
}

std::string ResultFile(int machine, int hour, const char* outcome) {
  const bool two = machine % 3 == 0;  // Program Files and Program Files (x86)
  const std::string reason =
      std::string(outcome) == "in_use" ? "CVL.MDB is in use by another program; close it" : "";
  ordered_json databases = ordered_json::array();
  ordered_json attempts = ordered_json::array();
  const char* folders[] = {"C:\\Program Files\\Corvallo\\", "C:\\Program Files (x86)\\Corvallo\\"};
  for (const char* folder : folders) {
    const bool found = two || folder == folders[0];
    attempts.push_back(Attempt(folder, found));
    if (found) {
      databases.push_back({{"database", std::string(folder) + "CVL.MDB"},
                           {"outcome", outcome},
                           {"reason", reason}});
    }
  }
  char time[32];
  std::snprintf(time, sizeof time, "2026-12-%02dT%02d:%02d:00Z", 8 + hour / 24, hour % 24,
                machine % 60);
  ordered_json result = {{"schema", 1},
                         {"command", "run"},
                         {"outcome", outcome},
                         {"exit_code", 0},
                         {"version", "1.00"},
                         {"patch_checksum", "3d390f92c937aa7f"},
                         {"drive", "C"},
                         {"drives", {"C"}},
                         {"machine",
                          {{"computer", "DESK-" + std::to_string(machine)},
                           {"account", "NT AUTHORITY\\SYSTEM"},
                           {"time", time},
                           {"windows_version", "10.0.19045"},
                           {"elevated", true},
                           {"virtualized", false}}},
                         {"databases", databases},
                         {"attempts", attempts}};
  return result.dump(2);
}

class ResultFolder {
 public:
  ResultFolder() {
    if (!folder_.status().ok()) Fail(folder_.status().ToString());
    for (int i = 0; i < kFiles; ++i) {
      const bool older = i >= kFiles - kFiles / 10;  // an earlier result of machine i - 9000
      const int machine = older ? i - kFiles + kFiles / 10 : i;
      std::string text = ResultFile(machine, older ? 1 : 10, kOutcomes[i % 8]);
      if (i % 1000 == 7) text.resize(text.size() / 2);    // half-written
      if (i % 1000 == 8) text[text.size() / 3] = '\x07';  // damaged
      bytes_ += text.size();
      smallest_ = std::min(smallest_, text.size());
      largest_ = std::max(largest_, text.size());
      const fs::path file =
          folder_.path() / ("DESK-" + std::to_string(machine) + (older ? "-old" : "") + ".json");
      std::ofstream(file, std::ios::binary) << text;
    }
  }
  std::size_t smallest() const { return smallest_; }
  std::size_t largest() const { return largest_; }
  std::string path() const { return folder_.path().string(); }
  double average_bytes() const { return static_cast<double>(bytes_) / kFiles; }

 private:
  static void Fail(const std::string& why) {
    std::fprintf(stderr, "summary_bench: no result folder: %s\n", why.c_str());
    std::abort();
  }
  TempFolder folder_{"telo_summary_bench"};
  std::size_t bytes_ = 0, smallest_ = SIZE_MAX, largest_ = 0;
};

void BM_SummarizeFolder(benchmark::State& state) {
  static const ResultFolder folder;
  std::size_t output = 0;
  for (auto _ : state) {
    Summary summary;
    const Status read = SummarizeFolder(folder.path(), &summary);
    if (!read.ok() || summary.files_read != kFiles) {
      state.SkipWithError("the folder was not read in full");
      break;
    }
    output = SummaryTable(summary).size() + SummaryCsv(summary).size() +
             SummaryHtml(summary, "2026-12-08 16:45 UTC").size();
    benchmark::DoNotOptimize(output);
  }
  state.counters["files"] = kFiles;
  state.counters["avg_file_bytes"] = folder.average_bytes();
  state.counters["min_file_bytes"] = static_cast<double>(folder.smallest());
  state.counters["max_file_bytes"] = static_cast<double>(folder.largest());
}
BENCHMARK(BM_SummarizeFolder)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
}  // namespace telo

BENCHMARK_MAIN();
