// Where schedule logic takes "now" from: local wall-clock time in whole
// seconds. Tests hand in a clock fixed at the time they need.
#pragma once

#include "platform/core/system_time.h"

class ILocalClock {
 public:
  virtual plat::SYSTEMTIME Now() const = 0;

 protected:
  ~ILocalClock() = default;
};

// The machine's local time (time zone and daylight saving applied).
const ILocalClock& SystemLocalClock();
