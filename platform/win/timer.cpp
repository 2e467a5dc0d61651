// Window and thread timers: kept per thread queue and turned into WM_TIMER by
// the fetch loop when nothing else is waiting.
#include <algorithm>
#include <atomic>

#include "platform/sys/clock.h"
#include "platform/sys/last_error.h"
#include "platform/win/internal.h"
#include "platform/win/message.h"

namespace plat {
namespace win {

void KillWindowTimers(HWND hwnd) {
  std::shared_ptr<ThreadQueue> q;
  {
    WindowGuard guard(WindowLock());
    if (WindowObject* w = LookupQuiet(hwnd)) q = w->queue;
  }
  if (!q) return;
  std::lock_guard lock(q->mutex);
  std::erase_if(q->timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

bool TimerProcValid(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
  std::shared_ptr<ThreadQueue> q;
  if (hwnd) {
    WindowGuard guard(WindowLock());
    if (WindowObject* w = LookupQuiet(hwnd)) q = w->queue;
  } else {
    q = CurrentQueue();
  }
  if (!q) return false;
  std::lock_guard lock(q->mutex);
  for (const Timer& t : q->timers)
    if (t.hwnd == hwnd && t.id == id) return t.proc == proc;
  return false;
}

}  // namespace win

using namespace win;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc) {
  std::shared_ptr<ThreadQueue> q;
  if (hwnd) {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return 0;
    q = w->queue;
  } else {
    q = CurrentQueue();
  }
  const UINT period = std::max(elapse_ms, USER_TIMER_MINIMUM);
  const std::uint64_t due = GetClock().steady_ms() + period;
  std::lock_guard lock(q->mutex);
  if (!hwnd) {
    // A thread timer keeps its id when `id` names one of ours; else a new id.
    static std::atomic<UINT_PTR> next_thread_timer{0x7FF0};
    bool exists = false;
    for (const Timer& t : q->timers) exists = exists || (!t.hwnd && t.id == id && id != 0);
    if (!exists) id = next_thread_timer++;
  } else if (id == 0) {
    // The platform accepts id 0 for a window timer but the caller cannot tell
    // success from failure by the result; refuse it.
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  for (Timer& t : q->timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.period = period;
      t.due = due;
      t.proc = proc;
      q->waker->wake();
      return id;
    }
  }
  q->timers.push_back(Timer{hwnd, id, period, due, proc});
  q->waker->wake();
  return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  std::shared_ptr<ThreadQueue> q;
  if (hwnd) {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    q = w->queue;
  } else {
    q = CurrentQueue();
  }
  std::lock_guard lock(q->mutex);
  auto it = std::find_if(q->timers.begin(), q->timers.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == q->timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  q->timers.erase(it);
  // Pending WM_TIMER messages are generated on demand, so none is left over.
  return TRUE;
}

}  // namespace plat
