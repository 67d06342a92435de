// The reports of a run and of a check as JSON, for scripts that roll the
// patch out. One object per command; the schema is in the README. Pure
// functions over the report values.
#pragma once

#include <string>

#include "app/check.h"
#include "app/report.h"

namespace telo {

std::string RunReportJson(const RunReport& report, int exit_code);
std::string CheckReportJson(const CheckReport& report, int exit_code);

}  // namespace telo
