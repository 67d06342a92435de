// Sample stand-in host databases: the thirteen tables that the patch
// rewrites, in the shapes the host application gives them, filled with older
// rows so that a patch run visibly changes every one. Used by the
// telo-sample-db tool, the tests, the demo and the benchmark.
// CreateSampleDatabase never overwrites: it fails when the path exists, and
// removes what it made, journal included, when it fails later.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace telo {

inline constexpr std::string_view kSamplePassword = "846";
// A table that no patch statement touches, for the benchmark.
inline constexpr std::string_view kUnrelatedTable = "Agent_Ledger";

struct SampleOptions {
  std::vector<std::string> omit_tables;  // patch tables left out of the file
  int64_t unrelated_rows = 0;            // > 0: also make kUnrelatedTable with this many rows
  // Declare the columns in the Jet types a host gives them (SINGLE,
  // CURRENCY, DECIMAL(p,s), BYTE, SHORT, LONG, TEXT(n), DATETIME), which
  // read back the way Jet returns them, instead of plain DOUBLE and INTEGER.
  bool jet_types = false;
};

// The thirteen tables, in the order in which the file is made.
std::span<const std::string_view> SampleTableNames();

// Writes a new stand-in database at the POSIX path `path`.
Status CreateSampleDatabase(const std::string& path, const std::string& password,
                            const SampleOptions& options = {});

}  // namespace telo
