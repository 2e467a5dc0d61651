#include "corebridge/core/civil_time.h"

namespace civil_time {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, unsigned& month, unsigned& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(y + (month <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

int DayOfWeekFromSunday1(int year, int month, int day) {
  const std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  // 1970-01-01 was a Thursday (5 counting Sunday as 1).
  const std::int64_t zeroBased = ((days + 4) % 7 + 7) % 7;  // 0 = Sunday
  return static_cast<int>(zeroBased) + 1;
}

bool IsValid(const plat::SYSTEMTIME& t) {
  if (t.wYear < 1 || t.wYear > 9999 || t.wMonth < 1 || t.wMonth > 12) return false;
  if (t.wDay < 1 || t.wDay > DaysInMonth(t.wYear, t.wMonth)) return false;
  return t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60;
}

std::optional<std::int64_t> ToSeconds(const plat::SYSTEMTIME& t) {
  if (!IsValid(t)) return std::nullopt;
  return DaysFromCivil(t.wYear, t.wMonth, t.wDay) * kSecondsPerDay + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

plat::SYSTEMTIME FromSeconds(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t rest = seconds - days * kSecondsPerDay;
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(days, year, month, day);
  plat::SYSTEMTIME t;
  t.wYear = static_cast<plat::WORD>(year);
  t.wMonth = static_cast<plat::WORD>(month);
  t.wDay = static_cast<plat::WORD>(day);
  t.wDayOfWeek = static_cast<plat::WORD>(DayOfWeekFromSunday1(year, static_cast<int>(month), static_cast<int>(day)) - 1);
  t.wHour = static_cast<plat::WORD>(rest / 3600);
  t.wMinute = static_cast<plat::WORD>(rest / 60 % 60);
  t.wSecond = static_cast<plat::WORD>(rest % 60);
  return t;
}

std::int64_t StartOfDay(std::int64_t seconds) { return FloorDiv(seconds, kSecondsPerDay) * kSecondsPerDay; }

std::int64_t TimeOfDay(std::int64_t seconds) { return seconds - StartOfDay(seconds); }

}  // namespace civil_time
