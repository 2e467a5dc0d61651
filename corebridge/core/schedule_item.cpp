#include "corebridge/core/schedule_item.h"

#include <limits>
#include <optional>

#include "corebridge/core/civil_time.h"

namespace {

using civil_time::kSecondsPerDay;

constexpr int kSunday = 1;
constexpr int kFriday = 6;
constexpr int kSaturday = 7;

// The weekday a weekly repeat mode stands for (Sunday 1 ... Saturday 7).
int WeeklyDay(int mode) { return mode == EVERYSUNDAY ? kSunday : mode; }
bool IsWeekly(int mode) { return mode >= EVERYMONDAY && mode <= EVERYSUNDAY; }

std::int64_t NowSeconds(const plat::SYSTEMTIME& now) {
  // The clock always gives a valid time; a broken one counts as the epoch.
  return civil_time::ToSeconds(now).value_or(0);
}

int DayOfWeekAt(std::int64_t seconds) {
  const plat::SYSTEMTIME t = civil_time::FromSeconds(seconds);
  return t.wDayOfWeek + 1;
}

std::uint32_t ClampSeconds(std::int64_t seconds) {
  if (seconds < 0) return 0;
  if (seconds > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(seconds);
}

bool SameDate(const plat::SYSTEMTIME& a, const plat::SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

}  // namespace

CScheduleItem::CScheduleItem(int type) : m_nType(type) {}

CScheduleItem::~CScheduleItem() = default;

CScheduleItem::CScheduleItem(const CScheduleItem& other) { *this = other; }

CScheduleItem& CScheduleItem::operator=(const CScheduleItem& other) {
  m_nType = other.m_nType;
  m_nStatus = other.m_nStatus;
  m_nRepeatMode = other.m_nRepeatMode;
  m_beginDate = other.m_beginDate;
  m_recordDate = other.m_recordDate;
  m_nDurationMinutes = other.m_nDurationMinutes;
  m_nEnable = other.m_nEnable;
  m_strRecFileName = other.m_strRecFileName;
  m_nPriority = other.m_nPriority;
  m_strTitle = other.m_strTitle;
  if (m_nType == SCHEDULE_RADIO) m_nRadioFrequency = other.m_nRadioFrequency;
  return *this;
}

int CScheduleItem::SetStatus(int status) {
  m_nStatus = status;
  return 1;
}

int CScheduleItem::SetRepeatMode(int mode) {
  m_nRepeatMode = mode;
  return 1;
}

int CScheduleItem::SetBeginDate(const plat::SYSTEMTIME& date) {
  m_beginDate = date;
  return 1;
}

int CScheduleItem::SetBeginDate(std::uint32_t ym, std::uint32_t wd, std::uint32_t hm, std::uint32_t sm) {
  return SetBeginDate(UnpackDate(ym, wd, hm, sm));
}

int CScheduleItem::SetRecordDate(const plat::SYSTEMTIME& date) {
  m_recordDate = date;
  return 1;
}

int CScheduleItem::SetRecordDate(std::uint32_t ym, std::uint32_t wd, std::uint32_t hm, std::uint32_t sm) {
  return SetRecordDate(UnpackDate(ym, wd, hm, sm));
}

int CScheduleItem::SetDuration(int minutes) {
  if (minutes == 0) return 0;
  m_nDurationMinutes = minutes;
  return 1;
}

int CScheduleItem::SetEnable(int enable) {
  m_nEnable = enable;
  return 1;
}

int CScheduleItem::SetRecFileName(const std::string& name) {
  m_strRecFileName = name;
  return 1;
}

int CScheduleItem::SetPriority(int priority) {
  m_nPriority = priority;
  return 1;
}

int CScheduleItem::SetTitle(const std::string& title) {
  m_strTitle = title;
  return 1;
}

int CScheduleItem::SetRadioFrequency(int frequency) {
  if (m_nType != SCHEDULE_RADIO) return 0;
  m_nRadioFrequency = frequency;
  return 1;
}

void CScheduleItem::PackDate(const plat::SYSTEMTIME& d, std::uint32_t words[4]) {
  words[0] = d.wYear | (static_cast<std::uint32_t>(d.wMonth) << 16);
  words[1] = d.wDayOfWeek | (static_cast<std::uint32_t>(d.wDay) << 16);
  words[2] = d.wHour | (static_cast<std::uint32_t>(d.wMinute) << 16);
  words[3] = d.wSecond | (static_cast<std::uint32_t>(d.wMilliseconds) << 16);
}

plat::SYSTEMTIME CScheduleItem::UnpackDate(std::uint32_t ym, std::uint32_t wd, std::uint32_t hm, std::uint32_t sm) {
  plat::SYSTEMTIME d;
  d.wYear = static_cast<plat::WORD>(ym & 0xFFFF);
  d.wMonth = static_cast<plat::WORD>(ym >> 16);
  d.wDayOfWeek = static_cast<plat::WORD>(wd & 0xFFFF);
  d.wDay = static_cast<plat::WORD>(wd >> 16);
  d.wHour = static_cast<plat::WORD>(hm & 0xFFFF);
  d.wMinute = static_cast<plat::WORD>(hm >> 16);
  d.wSecond = static_cast<plat::WORD>(sm & 0xFFFF);
  d.wMilliseconds = static_cast<plat::WORD>(sm >> 16);
  return d;
}

std::int64_t CScheduleItem::BeginTimeOfDay() const {
  return std::int64_t{m_beginDate.wHour} * 3600 + std::int64_t{m_beginDate.wMinute} * 60 + m_beginDate.wSecond;
}

plat::SYSTEMTIME CScheduleItem::GetNextStart(const plat::SYSTEMTIME& now) const {
  if (m_nRepeatMode == SPECIFICDAY) return m_beginDate;
  const std::int64_t nowS = NowSeconds(now);
  const std::int64_t today = civil_time::StartOfDay(nowS);
  const int d = DayOfWeekAt(today);

  std::int64_t day = today;
  if (IsWeekly(m_nRepeatMode)) {
    day += ((WeeklyDay(m_nRepeatMode) - d) % 7 + 7) % 7 * kSecondsPerDay;
  } else if (m_nRepeatMode == MONDAYTOFRIDAY) {
    if (d == kSaturday) day += 2 * kSecondsPerDay;
    if (d == kSunday) day += kSecondsPerDay;
  } else if (m_nRepeatMode == MONDAYTOSATURDAY) {
    if (d == kSunday) day += kSecondsPerDay;
  }
  std::int64_t candidate = day + BeginTimeOfDay();

  if (candidate < nowS) {
    const int cd = DayOfWeekAt(candidate);
    if (m_nRepeatMode == EVERYDAY) {
      candidate += kSecondsPerDay;
    } else if (IsWeekly(m_nRepeatMode)) {
      candidate += 7 * kSecondsPerDay;
    } else if (m_nRepeatMode == MONDAYTOFRIDAY) {
      candidate += (cd == kFriday ? 3 : 1) * kSecondsPerDay;
    } else if (m_nRepeatMode == MONDAYTOSATURDAY) {
      candidate += (cd == kSaturday ? 2 : 1) * kSecondsPerDay;
    }
  }
  return civil_time::FromSeconds(candidate);
}

bool CScheduleItem::IsExpired(const plat::SYSTEMTIME& now) const {
  if (m_nRepeatMode != SPECIFICDAY) return false;
  // A date that is no date can never come: it counts as past.
  const std::optional<std::int64_t> begin = civil_time::ToSeconds(m_beginDate);
  return !begin || *begin < NowSeconds(now);
}

bool CScheduleItem::OccursOnDay(int d, const plat::SYSTEMTIME& day) const {
  switch (m_nRepeatMode) {
    case EVERYDAY:
      return true;
    case MONDAYTOFRIDAY:
      return d >= 2 && d <= kFriday;
    case MONDAYTOSATURDAY:
      return d != kSunday;
    case SPECIFICDAY:
      return SameDate(day, m_beginDate);
    default:
      return IsWeekly(m_nRepeatMode) && d == WeeklyDay(m_nRepeatMode);
  }
}

bool CScheduleItem::IsRunning(const plat::SYSTEMTIME& now) const {
  const std::int64_t nowS = NowSeconds(now);
  const std::int64_t today = civil_time::StartOfDay(nowS);
  if (!OccursOnDay(DayOfWeekAt(today), civil_time::FromSeconds(today))) return false;
  const std::int64_t start = today + BeginTimeOfDay();
  const std::int64_t end = start + std::int64_t{m_nDurationMinutes} * 60;
  return start < nowS && nowS < end;
}

int CScheduleItem::SecondsToStart(const plat::SYSTEMTIME& now, std::uint32_t& seconds) const {
  if (IsExpired(now) || IsRunning(now)) return 0;
  const std::optional<std::int64_t> next = civil_time::ToSeconds(GetNextStart(now));
  if (!next) return 0;
  const std::int64_t diff = *next - NowSeconds(now);
  // Only a repeat mode outside 1..11 can start before now ("today at the
  // begin time"); such a start is behind us and not due.
  if (diff < 0) return 0;
  seconds = ClampSeconds(diff);
  return 1;
}

int CScheduleItem::SecondsToEnd(const plat::SYSTEMTIME& now, std::uint32_t& seconds) const {
  if (!IsRunning(now)) return 0;
  const std::int64_t nowS = NowSeconds(now);
  const std::int64_t end = civil_time::StartOfDay(nowS) + BeginTimeOfDay() + std::int64_t{m_nDurationMinutes} * 60;
  seconds = ClampSeconds(end - nowS);
  return 1;
}

bool CScheduleItem::ConflictsWith(const CScheduleItem& other, const plat::SYSTEMTIME& now) const {
  const int m = m_nRepeatMode;
  const int o = other.m_nRepeatMode;
  // Day of the week of the other's next start (0 when that is no date).
  const plat::SYSTEMTIME otherNext = other.GetNextStart(now);
  const int D = civil_time::IsValid(otherNext)
                    ? civil_time::DayOfWeekFromSunday1(otherNext.wYear, otherNext.wMonth, otherNext.wDay)
                    : 0;

  bool dayOverlap = false;
  if (m == EVERYDAY) {
    dayOverlap = true;
  } else if (IsWeekly(m)) {
    dayOverlap = o == EVERYDAY || o == m || (o == MONDAYTOFRIDAY && m >= EVERYMONDAY && m <= EVERYFRIDAY) ||
                 (o == MONDAYTOSATURDAY && m >= EVERYMONDAY && m <= EVERYSATURDAY) ||
                 (o == SPECIFICDAY && D == WeeklyDay(m));
  } else if (m == MONDAYTOFRIDAY) {
    dayOverlap = (o >= EVERYDAY && o <= EVERYFRIDAY) || o == MONDAYTOFRIDAY || o == MONDAYTOSATURDAY ||
                 (o == SPECIFICDAY && D != kSaturday && D != kSunday && D != 0);
  } else if (m == MONDAYTOSATURDAY) {
    dayOverlap = (o >= EVERYDAY && o <= EVERYSATURDAY) || o == MONDAYTOFRIDAY || o == MONDAYTOSATURDAY ||
                 (o == SPECIFICDAY && D != kSunday && D != 0);
  } else if (m == SPECIFICDAY) {
    const plat::SYSTEMTIME mine = GetNextStart(now);
    if (o == EVERYDAY) {
      dayOverlap = true;
    } else if (o == SPECIFICDAY && SameDate(mine, otherNext)) {
      dayOverlap = true;
    } else if (civil_time::IsValid(mine)) {
      const int W = civil_time::DayOfWeekFromSunday1(mine.wYear, mine.wMonth, mine.wDay);
      if (W == kSunday) {
        dayOverlap = o == EVERYSUNDAY;
      } else if (W == kSaturday) {
        dayOverlap = o == EVERYSATURDAY || o == MONDAYTOSATURDAY;
      } else {
        dayOverlap = o == W || o == MONDAYTOFRIDAY || o == MONDAYTOSATURDAY;
      }
    }
  }
  if (!dayOverlap) return false;

  // Both begin times on one common day; the later must start after the
  // earlier one's end to be free.
  const std::int64_t mineTime = BeginTimeOfDay();
  const std::int64_t otherTime = other.BeginTimeOfDay();
  const bool otherFirst = otherTime < mineTime;
  const CScheduleItem& a = otherFirst ? other : *this;
  const std::int64_t aTime = otherFirst ? otherTime : mineTime;
  const std::int64_t bTime = otherFirst ? mineTime : otherTime;
  return bTime <= aTime + std::int64_t{a.m_nDurationMinutes} * 60;
}
