// Thread queues, posting and sending, the message fetch loop, thread waits
// and watched descriptors.
#include "platform/win/message.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "platform/sys/clock.h"
#include "platform/sys/last_error.h"
#include "platform/win/input.h"
#include "platform/win/internal.h"
#include "platform/win/window.h"

namespace plat {
namespace win {

namespace {

struct QueueRegistry {
  std::mutex mutex;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

QueueRegistry& Registry() {
  static QueueRegistry registry;
  return registry;
}

void FailPendingSends(ThreadQueue& q) {
  std::deque<std::shared_ptr<SentMessage>> pending;
  {
    std::lock_guard lock(q.mutex);
    q.alive = false;
    pending.swap(q.sent);
  }
  for (auto& sm : pending) {
    if (!sm->sender) continue;
    std::lock_guard lock(sm->sender->mutex);
    sm->result = 0;
    sm->done = true;
    sm->sender->waker->wake();
  }
}

// Ends the thread's queue when the thread exits: its windows go (without
// messages: the thread can no longer run their procedures), senders waiting
// on it are released, and posting to it fails from now on.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    DestroyThreadWindows(queue->thread_id);
    FailPendingSends(*queue);
    QueueRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    registry.queues.erase(queue->thread_id);
  }
};

thread_local QueueHolder t_holder;

}  // namespace

bool ThreadQueue::post(const MSG& m) {
  bool wake;
  {
    std::lock_guard lock(mutex);
    if (!alive) return false;
    posted.push_back(m);
    // Only the first post to a sleeping owner pays for the wake-up; the
    // owner finds the rest when it runs.
    wake = sleeping;
    sleeping = false;
  }
  if (wake) waker->wake();
  return true;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  if (!t_holder.queue) {
    auto q = std::make_shared<ThreadQueue>();
    q->thread_id = static_cast<DWORD>(syscall(SYS_gettid));
    QueueRegistry& registry = Registry();
    {
      std::lock_guard lock(registry.mutex);
      registry.queues[q->thread_id] = q;
    }
    t_holder.queue = std::move(q);
  }
  return t_holder.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD thread_id) {
  QueueRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.queues.find(thread_id);
  return it == registry.queues.end() ? nullptr : it->second;
}

namespace {

MSG MakeMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  GetCursorPos(&m.pt);
  return m;
}

bool MatchesWindow(HWND msg_hwnd, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return msg_hwnd == nullptr;
  return msg_hwnd == filter || IsChild(filter, msg_hwnd);
}

bool MatchesRange(UINT msg, UINT min, UINT max) {
  if (min == 0 && max == 0) return true;
  return msg >= min && msg <= max;
}

// Runs every message sent to this thread by other threads.
bool ProcessSent(ThreadQueue& q) {
  bool any = false;
  for (;;) {
    std::shared_ptr<SentMessage> sm;
    {
      std::lock_guard lock(q.mutex);
      if (q.sent.empty()) return any;
      sm = std::move(q.sent.front());
      q.sent.pop_front();
    }
    any = true;
    LRESULT result = CallProc(sm->hwnd, sm->msg, sm->wParam, sm->lParam);
    if (sm->sender) {
      std::lock_guard lock(sm->sender->mutex);
      sm->result = result;
      sm->done = true;
      sm->sender->waker->wake();
    }
  }
}

bool RunReadyWatches(ThreadQueue& q, int timeout_ms, int extra_fd) {
  std::vector<FdWatch> watches;
  {
    std::lock_guard lock(q.mutex);
    watches = q.watches;
  }
  std::vector<pollfd> fds;
  for (auto& w : watches) fds.push_back({w.fd, w.events, 0});
  if (extra_fd >= 0) fds.push_back({extra_fd, POLLIN, 0});
  if (fds.empty()) return false;
  int n = poll(fds.data(), fds.size(), timeout_ms);
  if (n <= 0) return false;
  bool ran = false;
  for (std::size_t i = 0; i < watches.size(); ++i) {
    if (!fds[i].revents) continue;
    bool still_watched = false;
    {
      std::lock_guard lock(q.mutex);
      for (auto& w : q.watches) still_watched = still_watched || w.id == watches[i].id;
    }
    if (still_watched) {
      (*watches[i].on_ready)(fds[i].fd, fds[i].revents);
      ran = true;
    }
  }
  return ran;
}

bool FindPaint(ThreadQueue& q, HWND filter, MSG* out) {
  if (q.paint_count.load() <= 0) return false;
  WindowGuard guard(WindowLock());
  // Parents before children, front windows first.
  std::vector<HWND> stack(TopLevels().rbegin(), TopLevels().rend());
  while (!stack.empty()) {
    HWND h = stack.back();
    stack.pop_back();
    WindowObject* w = LookupQuiet(h);
    if (!w) continue;
    if (w->queue.get() == &q && !w->update.empty() && w->created && MatchesWindow(h, filter)) {
      *out = MakeMsg(h, WM_PAINT, 0, 0);
      return true;
    }
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) stack.push_back(*it);
  }
  return false;
}

bool FindTimer(ThreadQueue& q, HWND filter, bool remove, MSG* out, std::uint64_t* next_due) {
  const std::uint64_t now = GetClock().steady_ms();
  std::lock_guard lock(q.mutex);
  Timer* best = nullptr;
  for (Timer& t : q.timers) {
    if (!MatchesWindow(t.hwnd, filter)) continue;
    if (t.due <= now) {
      if (!best || t.due < best->due) best = &t;
    } else if (next_due) {
      *next_due = std::min(*next_due, t.due);
    }
  }
  if (!best) return false;
  MSG m;
  m.hwnd = best->hwnd;
  m.message = WM_TIMER;
  m.wParam = best->id;
  m.lParam = reinterpret_cast<LPARAM>(best->proc);
  m.time = static_cast<DWORD>(now);
  *out = m;
  if (remove) best->due = now + best->period;
  return true;
}

// The heart of GetMessage and PeekMessage.
bool Fetch(MSG* out, HWND filter, UINT min, UINT max, bool remove, bool wait) {
  auto qp = CurrentQueue();
  ThreadQueue& q = *qp;
  const bool display_thread = DisplayThreadId() == q.thread_id;
  for (;;) {
    ProcessSent(q);
    {
      std::lock_guard lock(q.mutex);
      for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (MatchesRange(it->message, min, max) && (it->message == WM_QUIT || MatchesWindow(it->hwnd, filter))) {
          *out = *it;
          if (remove) q.posted.erase(it);
          return true;
        }
      }
    }
    if (display_thread) {
      if (DisplayLink* link = AttachedDisplay()) link->pump();
      if (ProcessRawInput()) continue;
    }
    {
      std::lock_guard lock(q.mutex);
      if (q.quit_posted && MatchesRange(WM_QUIT, min, max)) {
        *out = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(q.quit_code), 0);
        if (remove) q.quit_posted = false;
        return true;
      }
    }
    // Ready descriptors (a close request among them) come before paints and
    // timers: a window that is painted without pause must not starve them.
    if (RunReadyWatches(q, 0, -1)) continue;
    if (MatchesRange(WM_PAINT, min, max) && FindPaint(q, filter, out)) return true;
    std::uint64_t next_due = UINT64_MAX;
    if (MatchesRange(WM_TIMER, min, max) && FindTimer(q, filter, remove, out, &next_due)) return true;

    if (display_thread)
      if (DisplayLink* link = AttachedDisplay()) link->idle();
    if (!wait) return false;

    {
      std::lock_guard lock(q.mutex);
      if (!q.posted.empty() || !q.sent.empty() || q.quit_posted) continue;
      q.sleeping = true;
    }
    int timeout = -1;
    if (next_due != UINT64_MAX) {
      const std::uint64_t now = GetClock().steady_ms();
      timeout = GetClock().real_wait_ms(next_due > now ? next_due - now : 0);
    }
    if (display_thread)
      if (DisplayLink* link = AttachedDisplay()) {
        int max_wait = link->max_wait_ms();
        if (max_wait >= 0 && (timeout < 0 || max_wait < timeout)) timeout = max_wait;
      }
    if (!RunReadyWatches(q, timeout, q.waker->fd())) {
      // No watches: RunReadyWatches polled the waker alone.
    }
    {
      std::lock_guard lock(q.mutex);
      q.sleeping = false;
    }
    q.waker->drain();
  }
}

LRESULT SendCrossThread(const std::shared_ptr<ThreadQueue>& target, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                        UINT timeout_ms, bool* timed_out) {
  auto self = CurrentQueue();
  auto sm = std::make_shared<SentMessage>();
  sm->hwnd = hwnd;
  sm->msg = msg;
  sm->wParam = wParam;
  sm->lParam = lParam;
  sm->sender = self;
  {
    std::lock_guard lock(target->mutex);
    if (!target->alive) return 0;
    target->sent.push_back(sm);
    target->waker->wake();
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    // Messages sent to us while we wait are handled now: the thread we are
    // waiting on may be waiting on us.
    ProcessSent(*self);
    {
      std::lock_guard lock(self->mutex);
      if (sm->done) return sm->result;
      if (!self->sent.empty()) continue;
      self->sleeping = true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      {
        std::lock_guard lock(self->mutex);
        self->sleeping = false;
      }
      std::lock_guard lock(target->mutex);
      auto it = std::find(target->sent.begin(), target->sent.end(), sm);
      if (it != target->sent.end()) target->sent.erase(it);
      std::lock_guard self_lock(self->mutex);
      if (sm->done) return sm->result;
      sm->sender.reset();  // a late reply goes nowhere
      *timed_out = true;
      return 0;
    }
    const int wait_ms =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count()) + 1;
    pollfd pfd{self->waker->fd(), POLLIN, 0};
    poll(&pfd, 1, wait_ms);
    {
      std::lock_guard lock(self->mutex);
      self->sleeping = false;
    }
    self->waker->drain();
  }
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT timeout_ms, bool* ok) {
  std::shared_ptr<ThreadQueue> target;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) {
      *ok = false;
      return 0;
    }
    target = w->queue;
  }
  *ok = true;
  if (target == CurrentQueue()) return CallProc(hwnd, msg, wParam, lParam);
  bool timed_out = false;
  LRESULT r = SendCrossThread(target, hwnd, msg, wParam, lParam, timeout_ms, &timed_out);
  if (timed_out) {
    SetLastError(ERROR_TIMEOUT);
    *ok = false;
  }
  return r;
}

}  // namespace

}  // namespace win

using namespace win;

DWORD GetCurrentThreadId() { return CurrentQueue()->thread_id; }

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return PostThreadMessage(GetCurrentThreadId(), msg, wParam, lParam);
  std::shared_ptr<ThreadQueue> target;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    target = w->queue;
  }
  if (!target->post(MakeMsg(hwnd, msg, wParam, lParam))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL PostThreadMessage(DWORD thread_id, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto target = thread_id == GetCurrentThreadId() ? CurrentQueue() : QueueOfThread(thread_id);
  if (!target || !target->post(MakeMsg(nullptr, msg, wParam, lParam))) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  bool ok = false;
  return Send(hwnd, msg, wParam, lParam, kSendMessageHangLimitMs, &ok);
}

LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT timeout_ms,
                           DWORD_PTR* result) {
  bool ok = false;
  LRESULT r = Send(hwnd, msg, wParam, lParam, timeout_ms, &ok);
  if (result) *result = static_cast<DWORD_PTR>(r);
  return ok ? 1 : 0;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  Fetch(msg, hwnd, min, max, true, true);
  return msg->message == WM_QUIT ? 0 : 1;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove) {
  MSG scratch;
  if (!msg) msg = &scratch;
  return Fetch(msg, hwnd, min, max, (remove & PM_REMOVE) != 0, false) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
  const UINT ch = CharFromVirtualKey(static_cast<UINT>(msg->wParam), shift, caps, ctrl);
  if (!ch) return FALSE;
  const UINT char_msg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  // The character comes next, before anything already waiting in the queue.
  auto q = CurrentQueue();
  if (msg->hwnd && GetWindowThreadProcessId(msg->hwnd, nullptr) != q->thread_id)
    return PostMessage(msg->hwnd, char_msg, ch, msg->lParam);
  MSG m = MakeMsg(msg->hwnd, char_msg, ch, msg->lParam);
  std::lock_guard lock(q->mutex);
  q->posted.push_front(m);
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    // Only a timer that still exists with this procedure is called: a posted
    // WM_TIMER with a made-up lParam never becomes a call.
    if (TimerProcValid(msg->hwnd, msg->wParam, proc)) proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (!msg->hwnd) return 0;
  if (msg->message != WM_PAINT) return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);

  Region before;
  {
    WindowGuard guard(WindowLock());
    if (WindowObject* w = LookupQuiet(msg->hwnd)) before = w->update;
  }
  LRESULT r = CallProc(msg->hwnd, WM_PAINT, msg->wParam, msg->lParam);
  // A WM_PAINT that left the same area invalid would come back at once
  // forever: validate it, as the platform does.
  WindowGuard guard(WindowLock());
  if (WindowObject* w = LookupQuiet(msg->hwnd))
    if (!w->update.empty() && w->update == before) SetUpdateRegionLocked(*w, Region());
  return r;
}

void PostQuitMessage(int exit_code) {
  auto q = CurrentQueue();
  std::lock_guard lock(q->mutex);
  q->quit_posted = true;
  q->quit_code = exit_code;
}

DWORD GetQueueStatus(UINT flags) {
  auto q = CurrentQueue();
  DWORD status = 0;
  {
    std::lock_guard lock(q->mutex);
    if (!q->posted.empty() || q->quit_posted) status |= QS_POSTMESSAGE;
    if (!q->sent.empty()) status |= QS_SENDMESSAGE;
    const std::uint64_t now = GetClock().steady_ms();
    for (auto& t : q->timers)
      if (t.due <= now) status |= QS_TIMER;
  }
  if (q->paint_count.load() > 0) status |= QS_PAINT;
  if (DisplayThreadId() == q->thread_id && HasRawInput()) status |= QS_INPUT;
  status &= flags;
  return status << 16 | status;
}

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD timeout_ms, DWORD wake_mask,
                                  DWORD flags) {
  auto q = CurrentQueue();
  std::vector<int> fds{q->waker->fd()};
  auto ready = [&]() -> bool {
    ProcessSent(*q);
    if (DisplayThreadId() == q->thread_id)
      if (DisplayLink* link = AttachedDisplay()) link->pump();
    RunReadyWatches(*q, 0, -1);
    q->waker->drain();
    {
      // From here on every post wakes us, so none is missed before the poll.
      std::lock_guard lock(q->mutex);
      q->sleeping = true;
    }
    return (GetQueueStatus(wake_mask) & 0xFFFF) != 0;
  };
  // Waits in slices that end when the next timer falls due, so a timer
  // wakes the wait when QS_TIMER is asked for.
  const std::uint64_t start = GetClock().steady_ms();
  DWORD r;
  for (;;) {
    DWORD slice = timeout_ms;
    const std::uint64_t now = GetClock().steady_ms();
    if (timeout_ms != INFINITE) slice = now - start >= timeout_ms ? 0 : static_cast<DWORD>(timeout_ms - (now - start));
    if (wake_mask & QS_TIMER) {
      std::lock_guard lock(q->mutex);
      for (const Timer& t : q->timers)
        if (t.due > now) slice = std::min<DWORD>(slice, static_cast<DWORD>(std::min<std::uint64_t>(t.due - now, INFINITE - 1)));
    }
    r = WaitForHandlesOrFds(std::span<const HANDLE>(handles, handles ? count : 0), (flags & MWMO_WAITALL) != 0, slice,
                            fds, ready);
    if (r != WAIT_TIMEOUT) break;
    if (timeout_ms != INFINITE && GetClock().steady_ms() - start >= timeout_ms) break;
  }
  std::lock_guard lock(q->mutex);
  q->sleeping = false;
  return r;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout_ms,
                                DWORD wake_mask) {
  return MsgWaitForMultipleObjectsEx(count, handles, timeout_ms, wake_mask, wait_all ? MWMO_WAITALL : 0);
}

BOOL WaitMessage() {
  return MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, 0) != WAIT_FAILED;
}

FdWatchId WatchFd(int fd, short events, std::function<void(int, short)> on_ready) {
  static std::atomic<FdWatchId> next{1};
  auto q = CurrentQueue();
  FdWatch w;
  w.id = next++;
  w.fd = fd;
  w.events = events;
  w.on_ready = std::make_shared<std::function<void(int, short)>>(std::move(on_ready));
  std::lock_guard lock(q->mutex);
  q->watches.push_back(std::move(w));
  return q->watches.back().id;
}

void UnwatchFd(FdWatchId id) {
  auto q = CurrentQueue();
  std::lock_guard lock(q->mutex);
  std::erase_if(q->watches, [id](const FdWatch& w) { return w.id == id; });
}

}  // namespace plat
