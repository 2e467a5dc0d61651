// The process clock. Everything time-related in the platform layer (tick
// counts, timers, waits with time-outs, schedules) reads time from here, so
// tests can run at fixed times with a ManualClock.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/core/types.h"

namespace plat {

class Clock {
 public:
  using WallTime = std::chrono::system_clock::time_point;

  virtual ~Clock() = default;
  // Monotonic milliseconds since an arbitrary start; never goes back.
  virtual std::uint64_t steady_ms() const = 0;
  // Calendar time, for schedules.
  virtual WallTime wall_now() const = 0;
  // How long a real wait may sleep when the next deadline is `due_in_ms`
  // clock milliseconds away: the same for a real clock, -1 (until woken) for
  // a manual clock, whose time only moves when a test advances it.
  virtual int real_wait_ms(std::uint64_t due_in_ms) const = 0;
};

class SystemClock final : public Clock {
 public:
  std::uint64_t steady_ms() const override;
  WallTime wall_now() const override;
  int real_wait_ms(std::uint64_t due_in_ms) const override;
};

// A clock for tests. Setting or advancing it wakes every waiting message loop
// and timer thread, so whatever fell due runs.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::uint64_t start_ms = 1'000'000,
                       WallTime wall = WallTime{std::chrono::seconds{1'700'000'000}});
  std::uint64_t steady_ms() const override;
  WallTime wall_now() const override;
  int real_wait_ms(std::uint64_t) const override { return -1; }

  // Moves both steady and wall time forward.
  void advance(std::uint64_t ms);
  // Sets the wall time alone (steady time cannot go back).
  void set_wall(WallTime wall);

 private:
  mutable std::mutex mutex_;
  std::uint64_t steady_ms_;
  WallTime wall_;
};

// The clock in use; a SystemClock until SetClock is called.
Clock& GetClock();
// Installs `clock` (nullptr restores the system clock) and wakes waiters.
void SetClock(std::shared_ptr<Clock> clock);

// Waiters that sleep on clock deadlines register here to be woken when a
// manual clock moves or the clock is replaced.
using ClockListenerId = std::uint64_t;
ClockListenerId AddClockListener(std::function<void()> wake);
void RemoveClockListener(ClockListenerId id);
void NotifyClockChanged();

// The platform's tick count: steady milliseconds, wrapping at 2^32.
DWORD GetTickCount();
ULONGLONG GetTickCount64();

}  // namespace plat
