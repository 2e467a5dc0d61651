// Message queues (one per thread), message loops, window timers and waits.
//
// Every thread gets its queue on first use. Posting is safe from any thread
// and wakes the owner through an eventfd; sent messages are called directly
// on the owning thread and, from another thread, wait for the reply while
// handling messages sent to the waiting thread (so two threads sending to each
// other never deadlock). Time comes from the process clock (platform/sys/clock.h).
#pragma once

#include <cstdint>
#include <functional>

#include "platform/sys/event.h"
#include "platform/win/win_types.h"

namespace plat {

DWORD GetCurrentThreadId();

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD thread_id, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Sends and gives up after `timeout_ms` (real time) when the owner does not
// answer; returns 0 then with ERROR_TIMEOUT. `result` may be null.
inline constexpr UINT SMTO_NORMAL = 0x0000;
inline constexpr UINT SMTO_BLOCK = 0x0001;
inline constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout_ms,
                           DWORD_PTR* result);
// Longest a cross-thread SendMessage waits for a hung owner before it gives
// up with ERROR_TIMEOUT (real time).
inline constexpr UINT kSendMessageHangLimitMs = 60'000;

// Returns 0 for WM_QUIT, -1 for an invalid window filter, else non-zero.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exit_code);
// Waits until a message is in the queue (or sent to the thread).
BOOL WaitMessage();
DWORD GetQueueStatus(UINT flags);

// Waits for one of the handles, for input of the kinds in `wake_mask` or for
// the time-out: WAIT_OBJECT_0 + i, WAIT_OBJECT_0 + count for messages,
// WAIT_TIMEOUT or WAIT_FAILED.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout_ms, DWORD wake_mask);
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD timeout_ms, DWORD wake_mask, DWORD flags);

// Window timers (hwnd given: the id is the caller's; setting it again
// replaces the timer) and thread timers (hwnd null: a new id is returned
// unless `id` names an existing thread timer). Periods below 10 ms become
// 10 ms. WM_TIMER is generated when the queue is otherwise empty, once per
// period however late, and with a TIMERPROC DispatchMessage calls the proc.
inline constexpr UINT USER_TIMER_MINIMUM = 10;
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Extra descriptors watched by the calling thread's message loop: while the
// thread waits in GetMessage, WaitMessage or MsgWaitForMultipleObjects (and
// when PeekMessage finds nothing), `on_ready` runs on this thread with the
// returned poll events. Used for sockets, the ALSA mixer and the like.
using FdWatchId = std::uint64_t;
FdWatchId WatchFd(int fd, short events, std::function<void(int fd, short revents)> on_ready);
void UnwatchFd(FdWatchId id);

}  // namespace plat
