#include "platform/sys/event.h"

#include <poll.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/sys/clock.h"
#include "platform/sys/last_error.h"
#include "platform/sys/waker.h"

namespace plat {

namespace {

class Event final : public KernelObject {
 public:
  Event(bool manual_reset, bool initial) : manual_reset_(manual_reset) {
    if (initial) set();
  }
  int wait_fd() const override { return waker_.fd(); }
  bool acquire() override {
    std::lock_guard lock(mutex_);
    if (!signalled_) return false;
    if (!manual_reset_) {
      signalled_ = false;
      waker_.drain();
    }
    return true;
  }
  bool signalled() const {
    std::lock_guard lock(mutex_);
    return signalled_;
  }
  void set() {
    std::lock_guard lock(mutex_);
    if (signalled_) return;
    signalled_ = true;
    waker_.wake();
  }
  void reset() {
    std::lock_guard lock(mutex_);
    if (!signalled_) return;
    signalled_ = false;
    waker_.drain();
  }

 private:
  const bool manual_reset_;
  mutable std::mutex mutex_;
  bool signalled_ = false;
  Waker waker_;
};

std::shared_ptr<Event> LookupEvent(HANDLE handle) {
  return std::dynamic_pointer_cast<Event>(LookupHandle(handle));
}

}  // namespace

HANDLE CreateEvent(void*, BOOL manual_reset, BOOL initial_state, const char*) {
  return RegisterHandle(std::make_shared<Event>(manual_reset != FALSE, initial_state != FALSE));
}

BOOL SetEvent(HANDLE handle) {
  auto event = LookupEvent(handle);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  event->set();
  return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
  auto event = LookupEvent(handle);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  event->reset();
  return TRUE;
}

DWORD WaitForHandlesOrFds(std::span<const HANDLE> handles, bool wait_all, DWORD timeout_ms,
                          std::span<const int> extra_fds, const std::function<bool()>& ready) {
  if (handles.size() > MAXIMUM_WAIT_OBJECTS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<KernelObject>> objects;
  for (HANDLE h : handles) {
    auto object = LookupHandle(h);
    if (!object || object->wait_fd() < 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(std::move(object));
  }
  Waker& clock_waker = ThreadClockWaker();
  const std::uint64_t start = GetClock().steady_ms();
  std::vector<pollfd> fds;
  for (;;) {
    // Signalled objects first: they win over messages, as the platform does.
    if (wait_all && !objects.empty()) {
      std::vector<pollfd> probe;
      for (auto& o : objects) probe.push_back({o->wait_fd(), POLLIN, 0});
      if (poll(probe.data(), probe.size(), 0) > 0) {
        bool all = true;
        for (auto& p : probe) all = all && (p.revents & POLLIN);
        if (all) {
          bool got = true;
          for (auto& o : objects) got = o->acquire() && got;
          if (got) return WAIT_OBJECT_0;
        }
      }
    } else {
      std::vector<pollfd> probe;
      for (auto& o : objects) probe.push_back({o->wait_fd(), POLLIN, 0});
      if (!probe.empty() && poll(probe.data(), probe.size(), 0) > 0) {
        for (std::size_t i = 0; i < probe.size(); ++i)
          if ((probe[i].revents & POLLIN) && objects[i]->acquire()) return WAIT_OBJECT_0 + static_cast<DWORD>(i);
      }
    }
    if (ready && ready()) return WAIT_OBJECT_0 + static_cast<DWORD>(objects.size());

    int wait_ms = -1;
    if (timeout_ms != INFINITE) {
      const std::uint64_t now = GetClock().steady_ms();
      const std::uint64_t elapsed = now - start;
      if (elapsed >= timeout_ms) return WAIT_TIMEOUT;
      wait_ms = GetClock().real_wait_ms(timeout_ms - elapsed);
    }
    fds.clear();
    for (auto& o : objects) fds.push_back({o->wait_fd(), POLLIN, 0});
    for (int fd : extra_fds) fds.push_back({fd, POLLIN, 0});
    fds.push_back({clock_waker.fd(), POLLIN, 0});
    int n = poll(fds.data(), fds.size(), wait_ms);
    if (n < 0) continue;  // EINTR: re-check everything
    if (fds.back().revents & POLLIN) clock_waker.drain();
    // A readable extra descriptor ends the wait, unless `ready` is there to
    // judge (it is asked again at the top of the loop and drains it).
    for (std::size_t i = objects.size(); i + 1 < fds.size(); ++i)
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) && !ready)
        return WAIT_OBJECT_0 + static_cast<DWORD>(objects.size());
  }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD timeout_ms) {
  return WaitForHandlesOrFds(std::span<const HANDLE>(&handle, 1), false, timeout_ms, {}, nullptr);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout_ms) {
  if (count == 0 || !handles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  return WaitForHandlesOrFds(std::span<const HANDLE>(handles, count), wait_all != FALSE, timeout_ms, {}, nullptr);
}

void Sleep(DWORD ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  WaitForHandlesOrFds({}, false, ms, {}, nullptr);
}

}  // namespace plat
