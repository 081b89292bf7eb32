#pragma once
#include <chrono>
#include <string>

// `when` as local time with its offset from UTC, ISO 8601 to the second,
// e.g. "2026-12-07T14:05:09+01:00" (the offset in force at that moment,
// summer time included, "+00:00" for UTC). Fractions of a second are cut off
// toward zero. The same whatever the user's locale; the zone is the
// process's (TZ). Empty when the C library cannot convert the moment.
// Any thread.
std::string LocalTimeIso8601(std::chrono::system_clock::time_point when);
