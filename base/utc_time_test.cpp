// The report's timestamp across the edges of days, months, leap years and
// seconds, and before 1970 (a machine whose clock was never set).
#include "base/utc_time.h"

#include <gtest/gtest.h>

namespace telo {
namespace {

using namespace std::chrono;

TEST(UtcTimestamp, CutsToTheSecondAcrossCalendarEdges) {
  struct Case {
    system_clock::time_point when;
    const char* shown;
  };
  const auto at = [](year_month_day date, hours h, minutes m, seconds s) {
    return system_clock::time_point(sys_days(date) + h + m + s);
  };
  for (const Case& c : {
           Case{system_clock::time_point{}, "1970-01-01T00:00:00Z"},
           Case{at(2026y / 12 / 8, 16h, 30min, 0s), "2026-12-08T16:30:00Z"},
           Case{at(2024y / 2 / 29, 23h, 59min, 59s) + 999ms, "2024-02-29T23:59:59Z"},
           Case{at(2000y / 2 / 28, 23h, 59min, 59s) + 1s, "2000-02-29T00:00:00Z"},
           Case{at(1969y / 12 / 31, 23h, 59min, 59s) + 500ms, "1969-12-31T23:59:59Z"},
           Case{at(1900y / 2 / 28, 23h, 59min, 59s) + 1s, "1900-03-01T00:00:00Z"},
       }) {
    EXPECT_EQ(UtcTimestamp(c.when), c.shown);
  }
}

}  // namespace
}  // namespace telo
