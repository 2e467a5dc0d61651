// FILETIME: a point in time as 100-nanosecond intervals since 1601-01-01 UTC
// in two 32-bit halves, the form in which file times are kept and compared.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/core/types.h"

namespace plat {

struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
  friend bool operator==(const FILETIME&, const FILETIME&) = default;
};

// 100-ns intervals between 1601-01-01 and 1970-01-01.
inline constexpr std::uint64_t FILETIME_UNIX_EPOCH = 116444736000000000ULL;

constexpr std::uint64_t FileTimeToTicks(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

constexpr FILETIME FileTimeFromTicks(std::uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// A POSIX time (seconds and nanoseconds since 1970); times before 1601 give zero.
constexpr FILETIME FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
  const std::int64_t ticks = seconds * 10000000 + nanoseconds / 100 + static_cast<std::int64_t>(FILETIME_UNIX_EPOCH);
  return ticks < 0 ? FILETIME{} : FileTimeFromTicks(static_cast<std::uint64_t>(ticks));
}

// -1 when a is earlier than b, 0 when equal, 1 when later.
constexpr LONG CompareFileTime(const FILETIME& a, const FILETIME& b) {
  const std::uint64_t x = FileTimeToTicks(a);
  const std::uint64_t y = FileTimeToTicks(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace plat
