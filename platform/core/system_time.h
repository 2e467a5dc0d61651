// SYSTEMTIME: a calendar date and time of day in eight 16-bit fields, the
// form in which schedules keep their dates. Day of week counts from 0 for
// Sunday.
#pragma once

#include "platform/core/types.h"

namespace plat {

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
  friend bool operator==(const SYSTEMTIME&, const SYSTEMTIME&) = default;
};

}  // namespace plat
