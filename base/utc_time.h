// UtcTimestamp: a moment as ISO 8601 in UTC to the second, the way reports
// that leave the machine carry it. Pure; no platform header.
#pragma once

#include <chrono>
#include <string>

namespace telo {

// "2026-12-08T16:30:00Z". Parts of a second are cut off, never rounded up.
std::string UtcTimestamp(std::chrono::system_clock::time_point when);

}  // namespace telo
