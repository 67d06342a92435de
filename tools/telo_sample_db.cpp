// telo-sample-db PATH [--password PW] [--omit TABLE]... [--unrelated-rows N] [--jet-types]
// Writes a new stand-in host database at PATH (see tools/sample_db.h).
// Exit codes: 0 written; 1 not written (PATH exists, or a failure); 2 bad
// command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "tools/sample_db.h"

namespace {

constexpr const char* kUsage =
    "usage: telo-sample-db PATH [--password PW] [--omit TABLE]... [--unrelated-rows N]\n"
    "                      [--jet-types]\n"
    "Writes a stand-in host database with the thirteen tables that the patch rewrites.\n"
    "--jet-types declares the columns in Jet's types (SINGLE, CURRENCY, DECIMAL, ...).\n"
    "The default password is 846. An existing PATH is never overwritten.\n";

struct Arguments {
  std::string path;
  std::string password{telo::kSamplePassword};
  telo::SampleOptions options;
};

bool ParseCount(const char* text, int64_t* count) {
  char* end = nullptr;
  long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < 0) return false;
  *count = value;
  return true;
}

std::string KnownTables() {
  std::string names;
  for (std::string_view table : telo::SampleTableNames()) {
    names += (names.empty() ? "" : ", ") + std::string(table);
  }
  return names;
}

// A table to leave out, named exactly as the file names it, and only once.
std::string AddOmitted(std::string_view table, telo::SampleOptions* options) {
  const auto known = telo::SampleTableNames();
  if (std::find(known.begin(), known.end(), table) == known.end()) {
    return "--omit " + std::string(table) + ": there is no such table (names are matched " +
           "exactly); the tables are " + KnownTables();
  }
  const auto& omitted = options->omit_tables;
  if (std::find(omitted.begin(), omitted.end(), table) != omitted.end()) {
    return "--omit " + std::string(table) + " is given twice";
  }
  options->omit_tables.emplace_back(table);
  return "";
}

// What is wrong with the command line; "" when nothing is. Each option but
// --omit may be given once, and --omit once for each table.
std::string Parse(int argc, char** argv, Arguments* args) {
  std::set<std::string_view> seen;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg.starts_with("-") && arg != "--omit" && !seen.insert(arg).second) {
      return std::string(arg) + " is given twice";
    }
    if (arg == "--password" && has_value) {
      args->password = argv[++i];
    } else if (arg == "--omit" && has_value) {
      if (std::string problem = AddOmitted(argv[++i], &args->options); !problem.empty()) {
        return problem;
      }
    } else if (arg == "--unrelated-rows" && has_value) {
      if (!ParseCount(argv[++i], &args->options.unrelated_rows)) {
        return "--unrelated-rows takes a whole number of rows";
      }
    } else if (arg == "--jet-types") {
      args->options.jet_types = true;
    } else if (arg == "--password" || arg == "--omit" || arg == "--unrelated-rows") {
      return std::string(arg) + " needs a value";
    } else if (!arg.starts_with("-") && args->path.empty()) {
      args->path = arg;
    } else {
      return "unexpected argument '" + std::string(arg) + "'";
    }
  }
  return args->path.empty() ? "no PATH given" : "";
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (const std::string problem = Parse(argc, argv, &args); !problem.empty()) {
    std::fprintf(stderr, "telo-sample-db: %s\n%s", problem.c_str(), kUsage);
    return 2;
  }
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(args.path, ec))) {
    std::fprintf(stderr, "telo-sample-db: %s already exists; refusing to overwrite it.\n",
                 args.path.c_str());
    return 1;
  }
  telo::Status status = telo::CreateSampleDatabase(args.path, args.password, args.options);
  if (!status.ok()) {
    std::fprintf(stderr, "telo-sample-db: %s\n", status.message().c_str());
    return 1;
  }
  std::printf("Wrote the stand-in host database %s\n", args.path.c_str());
  return 0;
}
