#include "engines/playback/wmhost/player/engine_thread.h"

#include <chrono>
#include <vector>

namespace wmhost {

std::uint64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

QueuedEngineThread::QueuedEngineThread(MillisecondClock clock) : clock_(std::move(clock)) {}

void QueuedEngineThread::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_one();
}

unsigned QueuedEngineThread::StartTimer(unsigned intervalMs, std::function<void()> tick) {
  const unsigned id = nextTimerId_++;
  timers_[id] = Timer{intervalMs, clock_() + intervalMs, std::move(tick)};
  return id;
}

void QueuedEngineThread::StopTimer(unsigned id) { timers_.erase(id); }

bool QueuedEngineThread::HasTimer(unsigned id) const { return timers_.count(id) != 0; }

std::size_t QueuedEngineThread::RunPending() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(tasks_);
  }
  std::size_t ran = 0;
  for (auto& task : batch) {
    task();
    ++ran;
  }
  // Timers: each one that is due ticks once; a timer stopped by an earlier
  // tick does not run.
  const std::uint64_t now = clock_();
  std::vector<unsigned> due;
  for (const auto& [id, timer] : timers_) {
    if (timer.dueMs <= now) due.push_back(id);
  }
  for (unsigned id : due) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    it->second.dueMs = now + it->second.intervalMs;
    auto tick = it->second.tick;  // the tick may stop its own timer
    tick();
    ++ran;
  }
  return ran;
}

std::size_t QueuedEngineThread::WaitAndRun(int timeoutMs) {
  {
    std::unique_lock lock(mutex_);
    posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !tasks_.empty(); });
  }
  return RunPending();
}

}  // namespace wmhost
