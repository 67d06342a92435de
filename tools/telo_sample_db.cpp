// telo-sample-db PATH [--password PW] [--omit TABLE]... [--unrelated-rows N] [--jet-types]
// Writes a new stand-in host database at PATH (see tools/sample_db.h).
// Exit codes: 0 written; 1 not written (PATH exists, or a failure); 2 bad
// command line.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// False on a bad command line.
bool Parse(int argc, char** argv, Arguments* args) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg == "--password" && has_value) {
      args->password = argv[++i];
    } else if (arg == "--omit" && has_value) {
      args->options.omit_tables.emplace_back(argv[++i]);
    } else if (arg == "--unrelated-rows" && has_value) {
      if (!ParseCount(argv[++i], &args->options.unrelated_rows)) return false;
    } else if (arg == "--jet-types") {
      args->options.jet_types = true;
    } else if (!arg.starts_with("-") && args->path.empty()) {
      args->path = arg;
    } else {
      return false;
    }
  }
  return !args->path.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!Parse(argc, argv, &args)) {
    std::fputs(kUsage, stderr);
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
