#include "corebridge/core/local_clock.h"

#include <ctime>

#include "corebridge/core/civil_time.h"

namespace {

class SystemClock final : public ILocalClock {
 public:
  plat::SYSTEMTIME Now() const override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return civil_time::FromSeconds(now);
    plat::SYSTEMTIME t;
    t.wYear = static_cast<plat::WORD>(local.tm_year + 1900);
    t.wMonth = static_cast<plat::WORD>(local.tm_mon + 1);
    t.wDayOfWeek = static_cast<plat::WORD>(local.tm_wday);
    t.wDay = static_cast<plat::WORD>(local.tm_mday);
    t.wHour = static_cast<plat::WORD>(local.tm_hour);
    t.wMinute = static_cast<plat::WORD>(local.tm_min);
    // A leap second reads as the last ordinary second of its minute.
    t.wSecond = static_cast<plat::WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return t;
  }
};

}  // namespace

const ILocalClock& SystemLocalClock() {
  static const SystemClock clock;
  return clock;
}
