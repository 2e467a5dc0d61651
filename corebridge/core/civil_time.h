// Calendar arithmetic on local wall-clock civil time in whole seconds, the
// way schedules count time: a date and a time of day, no time zone, no
// daylight-saving jumps, milliseconds ignored.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/core/system_time.h"

namespace civil_time {

inline constexpr std::int64_t kSecondsPerDay = 86400;

// Day of the week with 1 for Sunday, 2 for Monday ... 7 for Saturday.
int DayOfWeekFromSunday1(int year, int month, int day);

// True for a date of years 1..9999 and a time of day up to 23:59:59.
bool IsValid(const plat::SYSTEMTIME& t);

// Seconds since 1970-01-01 00:00:00 of the same civil clock; nothing when the
// date or time is not valid.
std::optional<std::int64_t> ToSeconds(const plat::SYSTEMTIME& t);
// The date and time of a second count, with its day of week (0 = Sunday) and
// zero milliseconds.
plat::SYSTEMTIME FromSeconds(std::int64_t seconds);

// Start of the day holding `seconds`, and the seconds since that start.
std::int64_t StartOfDay(std::int64_t seconds);
std::int64_t TimeOfDay(std::int64_t seconds);

}  // namespace civil_time
