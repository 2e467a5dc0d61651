// The engine's own thread as the rest of the engine sees it. Streaming and
// search threads never call the system directly: they post tasks here, and
// the thread that owns the engine runs them. Timers run there too.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

namespace wmhost {

// Monotonic milliseconds; injectable so timer logic runs at fixed times in tests.
using MillisecondClock = std::function<std::uint64_t()>;
std::uint64_t SteadyMilliseconds();

class EngineThread {
 public:
  virtual ~EngineThread() = default;
  // Safe from any thread; the task runs later on the engine's thread.
  virtual void Post(std::function<void()> task) = 0;
  // A repeating timer on the engine's thread; returns its id (never 0).
  virtual unsigned StartTimer(unsigned intervalMs, std::function<void()> tick) = 0;
  virtual void StopTimer(unsigned id) = 0;
};

// An engine thread whose owner runs the work: RunPending() runs the posted
// tasks and the timers that fell due. Used until the engine is attached to
// a window of the owning thread, and by tests.
class QueuedEngineThread final : public EngineThread {
 public:
  explicit QueuedEngineThread(MillisecondClock clock = SteadyMilliseconds);

  void Post(std::function<void()> task) override;
  unsigned StartTimer(unsigned intervalMs, std::function<void()> tick) override;
  void StopTimer(unsigned id) override;

  // Runs what is pending now (tasks posted while running wait for the next
  // call); returns how many tasks and timer ticks ran.
  std::size_t RunPending();
  // Waits at most `timeoutMs` for a posted task, then runs what is pending.
  std::size_t WaitAndRun(int timeoutMs);
  bool HasTimer(unsigned id) const;

 private:
  struct Timer {
    unsigned intervalMs;
    std::uint64_t dueMs;
    std::function<void()> tick;
  };
  MillisecondClock clock_;
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
  std::map<unsigned, Timer> timers_;  // touched on the owning thread only
  unsigned nextTimerId_ = 1;
};

}  // namespace wmhost
