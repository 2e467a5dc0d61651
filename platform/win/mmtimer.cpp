// The multimedia-timer stand-in: one thread runs every event's callback at
// its due time on the process clock.
#include "platform/win/mmtimer.h"

#include <poll.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/sys/clock.h"
#include "platform/sys/waker.h"

namespace plat {

namespace {

struct TimerEvent {
  UINT delay = 0;
  LPTIMECALLBACK callback = nullptr;
  DWORD_PTR user = 0;
  bool periodic = false;
  std::uint64_t due = 0;
};

class TimerThread {
 public:
  TimerThread() : waker_(MakeClockWaker()), thread_([this] { run(); }) {}
  ~TimerThread() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    waker_->wake();
    thread_.join();
  }

  UINT add(const TimerEvent& event) {
    std::lock_guard lock(mutex_);
    UINT id = next_id_++;
    if (next_id_ == 0) next_id_ = 1;
    events_[id] = event;
    waker_->wake();
    return id;
  }

  bool remove(UINT id) {
    std::unique_lock lock(mutex_);
    auto it = events_.find(id);
    if (it == events_.end()) return false;
    events_.erase(it);
    // The callback may be running now; wait for it unless we are in it.
    if (running_ == id && std::this_thread::get_id() != thread_.get_id())
      done_.wait(lock, [&] { return running_ != id; });
    return true;
  }

 private:
  void run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
      const std::uint64_t now = GetClock().steady_ms();
      std::uint64_t next = UINT64_MAX;
      UINT due_id = 0;
      for (auto& [id, e] : events_) {
        if (e.due <= now && !due_id) due_id = id;
        next = std::min(next, e.due);
      }
      if (due_id) {
        TimerEvent e = events_[due_id];
        if (e.periodic) {
          // Missed periods are skipped, not made up in a burst.
          std::uint64_t next_due = e.due + e.delay;
          if (next_due <= now) next_due = now + e.delay;
          events_[due_id].due = next_due;
        }
        else {
          events_.erase(due_id);
        }
        running_ = due_id;
        lock.unlock();
        e.callback(due_id, 0, e.user, 0, 0);
        lock.lock();
        running_ = 0;
        done_.notify_all();
        continue;
      }
      const int wait = next == UINT64_MAX ? -1 : GetClock().real_wait_ms(next - now);
      lock.unlock();
      pollfd pfd{waker_->fd(), POLLIN, 0};
      poll(&pfd, 1, wait);
      waker_->drain();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable done_;
  std::map<UINT, TimerEvent> events_;
  UINT next_id_ = 1;
  UINT running_ = 0;
  bool stop_ = false;
  std::shared_ptr<Waker> waker_;
  std::thread thread_;
};

TimerThread& Thread() {
  static TimerThread thread;
  return thread;
}

}  // namespace

MMRESULT timeSetEvent(UINT delay_ms, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  if (!callback || delay_ms == 0 || (flags & ~TIME_PERIODIC) != 0) return 0;
  TimerEvent e;
  e.delay = delay_ms;
  e.callback = callback;
  e.user = user;
  e.periodic = (flags & TIME_PERIODIC) != 0;
  e.due = GetClock().steady_ms() + delay_ms;
  return Thread().add(e);
}

MMRESULT timeKillEvent(UINT id) { return Thread().remove(id) ? TIMERR_NOERROR : MMSYSERR_INVALPARAM; }

DWORD timeGetTime() { return GetTickCount(); }

}  // namespace plat
