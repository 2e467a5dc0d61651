#include "lounge/pages/radio/radio_locale.h"

#include <ctime>

#include "corebridge/core/civil_time.h"
#include "lounge/shell/playback_bar_text.h"

void CRadioLocale::FreeLocale::operator()(locale_t locale) const {
  if (locale != static_cast<locale_t>(0)) freelocale(locale);
}

CRadioLocale::CRadioLocale(const char* name) : m_decimalPoint(DecimalPointOf(name)) {
  locale_t time = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
  if (time == static_cast<locale_t>(0)) time = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  m_time.reset(time);
}

std::string CRadioLocale::FormatTime(const char* format, const plat::SYSTEMTIME& time) const {
  if (!civil_time::IsValid(time)) return {};
  std::tm tm{};
  tm.tm_year = time.wYear - 1900;
  tm.tm_mon = time.wMonth - 1;
  tm.tm_mday = time.wDay;
  tm.tm_hour = time.wHour;
  tm.tm_min = time.wMinute;
  tm.tm_sec = time.wSecond;
  tm.tm_wday = civil_time::DayOfWeekFromSunday1(time.wYear, time.wMonth, time.wDay) - 1;
  char text[128];
  const std::size_t n = m_time ? strftime_l(text, sizeof text, format, &tm, m_time.get())
                               : std::strftime(text, sizeof text, format, &tm);
  return std::string(text, n);
}
