#include "platform/sys/power_events.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

#include "platform/sys/power_status.h"

namespace plat {

namespace {

BYTE ReadLine() {
  SYSTEM_POWER_STATUS status;
  return GetSystemPowerStatus(&status) ? status.ACLineStatus : AC_LINE_UNKNOWN;
}

}  // namespace

PowerSupplyPoller::PowerSupplyPoller(unsigned periodMs) : periodMs_(periodMs ? periodMs : 1) {}
PowerSupplyPoller::~PowerSupplyPoller() { Stop(); }

void PowerSupplyPoller::Start() {
  if (timer_ >= 0) return;
  timer_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timer_ < 0) return;
  itimerspec period{};
  period.it_interval.tv_sec = periodMs_ / 1000;
  period.it_interval.tv_nsec = static_cast<long>(periodMs_ % 1000) * 1'000'000;
  period.it_value = period.it_interval;
  if (timerfd_settime(timer_, 0, &period, nullptr) != 0) {
    close(timer_);
    timer_ = -1;
    return;
  }
  line_ = ReadLine();
  watch_ = WatchFd(timer_, POLLIN, [this](int, short) { Poll(); });
}

void PowerSupplyPoller::Stop() {
  if (watch_) UnwatchFd(watch_);
  watch_ = 0;
  if (timer_ >= 0) close(timer_);
  timer_ = -1;
}

void PowerSupplyPoller::Poll() {
  std::uint64_t expirations = 0;
  if (read(timer_, &expirations, sizeof(expirations)) < 0) return;
  const BYTE line = ReadLine();
  if (line == line_) return;
  line_ = line;
  SystemEvents().PostPower(PBT_APMPOWERSTATUSCHANGE);
}

}  // namespace plat
