#include "platform/sys/clock.h"

#include <atomic>
#include <map>
#include <vector>

namespace plat {

std::uint64_t SystemClock::steady_ms() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Clock::WallTime SystemClock::wall_now() const { return std::chrono::system_clock::now(); }

int SystemClock::real_wait_ms(std::uint64_t due_in_ms) const {
  constexpr std::uint64_t kMax = 24u * 3600u * 1000u;
  return static_cast<int>(due_in_ms > kMax ? kMax : due_in_ms);
}

ManualClock::ManualClock(std::uint64_t start_ms, WallTime wall) : steady_ms_(start_ms), wall_(wall) {}

std::uint64_t ManualClock::steady_ms() const {
  std::lock_guard lock(mutex_);
  return steady_ms_;
}

Clock::WallTime ManualClock::wall_now() const {
  std::lock_guard lock(mutex_);
  return wall_;
}

void ManualClock::advance(std::uint64_t ms) {
  {
    std::lock_guard lock(mutex_);
    steady_ms_ += ms;
    wall_ += std::chrono::milliseconds(ms);
  }
  NotifyClockChanged();
}

void ManualClock::set_wall(WallTime wall) {
  {
    std::lock_guard lock(mutex_);
    wall_ = wall;
  }
  NotifyClockChanged();
}

namespace {

struct ClockState {
  std::mutex mutex;
  std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
  std::map<ClockListenerId, std::function<void()>> listeners;
  ClockListenerId next_id = 1;
};

ClockState& State() {
  static ClockState state;
  return state;
}

// The clock pointer is read on every timer check; keep a cheap atomic copy.
std::atomic<Clock*> g_current{nullptr};

}  // namespace

Clock& GetClock() {
  Clock* clock = g_current.load(std::memory_order_acquire);
  if (clock) return *clock;
  ClockState& state = State();
  std::lock_guard lock(state.mutex);
  g_current.store(state.clock.get(), std::memory_order_release);
  return *state.clock;
}

void SetClock(std::shared_ptr<Clock> clock) {
  ClockState& state = State();
  {
    std::lock_guard lock(state.mutex);
    // The previous clock stays alive: other threads may still be reading it.
    static std::vector<std::shared_ptr<Clock>> retired;
    retired.push_back(state.clock);
    state.clock = clock ? std::move(clock) : std::make_shared<SystemClock>();
    g_current.store(state.clock.get(), std::memory_order_release);
  }
  NotifyClockChanged();
}

ClockListenerId AddClockListener(std::function<void()> wake) {
  ClockState& state = State();
  std::lock_guard lock(state.mutex);
  ClockListenerId id = state.next_id++;
  state.listeners.emplace(id, std::move(wake));
  return id;
}

void RemoveClockListener(ClockListenerId id) {
  ClockState& state = State();
  std::lock_guard lock(state.mutex);
  state.listeners.erase(id);
}

void NotifyClockChanged() {
  ClockState& state = State();
  std::vector<std::function<void()>> wakes;
  {
    std::lock_guard lock(state.mutex);
    for (auto& [id, wake] : state.listeners) wakes.push_back(wake);
  }
  for (auto& wake : wakes) wake();
}

DWORD GetTickCount() { return static_cast<DWORD>(GetClock().steady_ms()); }
ULONGLONG GetTickCount64() { return GetClock().steady_ms(); }

}  // namespace plat
