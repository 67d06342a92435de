// The reports of a run and of a check as JSON, for scripts that roll the
// patch out. One object per command, schema 1, its keys in the order the
// README documents; readers ignore keys they don't know. Pure
// functions over the report values.
#pragma once

#include <string>

#include "app/check.h"
#include "app/report.h"
#include "platform/env.h"

namespace telo {

enum class JsonLayout {
  kIndented,  // --json: one object, indented
  kOneLine,   // --json-lines: the object on one line, so that a log holds one run a line
};

// With `machine` (a result file), its facts follow "drives".
std::string RunReportJson(const RunReport& report, int exit_code,
                          JsonLayout layout = JsonLayout::kIndented,
                          const MachineFacts* machine = nullptr);
// `command`: "check", or "detect" for --detect, which reads the same.
std::string CheckReportJson(const CheckReport& report, int exit_code,
                            JsonLayout layout = JsonLayout::kIndented,
                            std::string_view command = "check",
                            const MachineFacts* machine = nullptr);

}  // namespace telo
