// The user's locale as the Radio page shows numbers and times: the decimal
// point of frequencies and the month, weekday and AM/PM names of schedule
// times. It is read through locale objects; the process-wide locale is never
// changed.
#pragma once

#include <locale.h>

#include <memory>
#include <string>

#include "platform/core/system_time.h"

class CRadioLocale {
 public:
  // `name` "" is the user's locale (LC_ALL, LC_TIME/LC_NUMERIC, LANG); a name
  // that cannot be loaded falls back to the C locale.
  explicit CRadioLocale(const char* name = "");

  const std::string& DecimalPoint() const { return m_decimalPoint; }
  // strftime of `format` for the date and time; empty for a date that is not
  // valid or a text that does not fit.
  std::string FormatTime(const char* format, const plat::SYSTEMTIME& time) const;

 private:
  struct FreeLocale {
    void operator()(locale_t locale) const;
  };
  std::string m_decimalPoint;
  std::unique_ptr<std::remove_pointer_t<locale_t>, FreeLocale> m_time;
};
