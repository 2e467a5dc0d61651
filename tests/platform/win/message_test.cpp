#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/sys/event.h"
#include "platform/sys/last_error.h"
#include "platform/win/mmtimer.h"
#include "tests/platform/win/win_test_util.h"

namespace wintest {
namespace {

class MessageTest : public WinTest {};

TEST_F(MessageTest, CrossThreadPostsArriveCompleteAndInOrderPerSender) {
  constexpr int kPerSender = 50'000;
  constexpr int kSenders = 2;
  HWND target = Make(WS_POPUP, RECT{0, 0, 10, 10});
  const DWORD self = GetCurrentThreadId();
  std::vector<std::thread> workers;
  for (int s = 0; s < kSenders; ++s) {
    workers.emplace_back([=] {
      for (int i = 0; i < kPerSender; ++i) {
        // Sender 0 posts to the thread, sender 1 to a window of it.
        if (s == 0)
          ASSERT_TRUE(PostThreadMessage(self, WM_APP + 1, static_cast<WPARAM>(i), s));
        else
          ASSERT_TRUE(PostMessage(target, WM_APP + 1, static_cast<WPARAM>(i), s));
      }
    });
  }
  std::vector<int> next(kSenders, 0);
  int received = 0;
  MSG m;
  while (received < kPerSender * kSenders) {
    ASSERT_GT(GetMessage(&m, nullptr, 0, 0), 0);
    if (m.message != WM_APP + 1) continue;
    const int sender = static_cast<int>(m.lParam);
    ASSERT_EQ(static_cast<int>(m.wParam), next[sender]) << "sender " << sender;
    ++next[sender];
    ++received;
  }
  for (auto& w : workers) w.join();
  EXPECT_EQ(next[0], kPerSender);
  EXPECT_EQ(next[1], kPerSender);
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_APP + 1, WM_APP + 1, PM_REMOVE));
}

TEST_F(MessageTest, SendMessageIsADirectReentrantCallOnTheOwningThread) {
  HWND h = Make(WS_POPUP, RECT{0, 0, 10, 10});
  rec.hooks[WM_APP] = [&](HWND hwnd, WPARAM depth, LPARAM) -> LRESULT {
    if (depth == 0) return 1;
    return 1 + SendMessage(hwnd, WM_APP, depth - 1, 0);
  };
  EXPECT_EQ(SendMessage(h, WM_APP, 5, 0), 6);
  EXPECT_EQ(rec.of(WM_APP).size(), 6u);
  // Stale handle: nothing is called.
  DestroyWindow(h);
  SetLastError(0);
  EXPECT_EQ(SendMessage(h, WM_APP, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(MessageTest, CrossThreadSendWhileTheOwnerSendsBackDoesNotDeadlock) {
  HWND mine = Make(WS_POPUP, RECT{0, 0, 10, 10});
  rec.hooks[WM_APP + 2] = [](HWND, WPARAM w, LPARAM) -> LRESULT { return static_cast<LRESULT>(w * 10); };

  std::atomic<HWND> theirs{nullptr};
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    static HWND back_to;
    back_to = mine;
    WNDCLASS wc;
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
      // The worker's window asks the main thread while the main thread is
      // blocked sending to it.
      if (msg == WM_APP + 3) return SendMessage(back_to, WM_APP + 2, w + 1, 0) + 1;
      return DefWindowProc(h, msg, w, l);
    };
    wc.lpszClassName = "CrossSendWorker";
    RegisterClass(&wc);
    theirs = CreateWindowEx(0, "CrossSendWorker", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    MSG m;
    while (!stop) {
      if (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&m);
      else
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    DestroyWindow(theirs);
  });
  while (!theirs) std::this_thread::yield();
  for (int i = 0; i < 50; ++i) EXPECT_EQ(SendMessage(theirs, WM_APP + 3, static_cast<WPARAM>(i), 0), (i + 1) * 10 + 1);
  stop = true;
  PostMessage(theirs, WM_NULL, 0, 0);  // wakes the worker's wait
  worker.join();
  // The worker is gone: its window went with it and sending fails at once.
  EXPECT_FALSE(IsWindow(theirs));
  EXPECT_EQ(SendMessage(theirs, WM_APP + 3, 0, 0), 0);
}

TEST_F(MessageTest, SendToAThreadThatExitsReleasesTheSender) {
  std::atomic<HWND> theirs{nullptr};
  std::atomic<bool> go{false};
  std::thread worker([&] {
    theirs = CreateWindowEx(0, "Recorder", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    while (!go) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // Exits without ever reading its queue.
  });
  while (!theirs) std::this_thread::yield();
  go = true;
  EXPECT_EQ(SendMessage(theirs, WM_APP, 0, 0), 0);
  worker.join();
  DWORD_PTR result = 7;
  EXPECT_EQ(SendMessageTimeout(theirs, WM_APP, 0, 0, SMTO_NORMAL, 100, &result), 0);
}

TEST_F(MessageTest, NestedLoopEndsOnAThreadMessageAndTheOuterLoopGoesOn) {
  HWND h = Make(WS_POPUP, RECT{0, 0, 10, 10});
  std::vector<int> order;
  rec.hooks[WM_APP] = [&](HWND, WPARAM w, LPARAM) -> LRESULT {
    order.push_back(static_cast<int>(w));
    if (w == 1) {
      // A modal loop: runs until the thread message WM_APP+9.
      PostMessage(h, WM_APP, 2, 0);
      PostThreadMessage(GetCurrentThreadId(), WM_APP + 9, 0, 0);
      PostMessage(h, WM_APP, 3, 0);
      MSG m;
      while (GetMessage(&m, nullptr, 0, 0) > 0) {
        if (!m.hwnd && m.message == WM_APP + 9) break;
        DispatchMessage(&m);
      }
      order.push_back(100);
    }
    return 0;
  };
  PostMessage(h, WM_APP, 1, 0);
  PostQuitMessage(42);
  MSG m;
  int got;
  while ((got = GetMessage(&m, nullptr, 0, 0)) > 0) DispatchMessage(&m);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 42u);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 100, 3}));
}

TEST_F(MessageTest, PeekFiltersAndNoRemove) {
  HWND a = Make(WS_POPUP, RECT{0, 0, 10, 10});
  HWND b = Make(WS_POPUP, RECT{0, 0, 10, 10});
  PostMessage(a, WM_APP + 1, 1, 0);
  PostMessage(b, WM_APP + 2, 2, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.wParam, 2u);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_APP + 2, WM_APP + 5, PM_REMOVE));
  EXPECT_EQ(m.hwnd, b);
  EXPECT_FALSE(PeekMessage(&m, b, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  // A window filter that is not a window is an error for GetMessage.
  EXPECT_EQ(GetMessage(&m, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
}

TEST_F(MessageTest, WindowTimersFireAtClockTimesReplaceAndKill) {
  HWND h = Make(WS_POPUP, RECT{0, 0, 10, 10});
  EXPECT_EQ(SetTimer(h, 7, 100, nullptr), 7u);
  Pump();
  clock->advance(99);
  Pump();
  EXPECT_TRUE(rec.of(WM_TIMER).empty());
  clock->advance(1);
  Pump();
  ASSERT_EQ(rec.of(WM_TIMER).size(), 1u);
  EXPECT_EQ(rec.of(WM_TIMER)[0].wParam, 7u);
  // Late by several periods: one WM_TIMER, not a burst.
  clock->advance(350);
  Pump();
  EXPECT_EQ(rec.of(WM_TIMER).size(), 2u);
  // Setting the same id replaces the timer and restarts its period.
  EXPECT_EQ(SetTimer(h, 7, 1000, nullptr), 7u);
  clock->advance(999);
  Pump();
  EXPECT_EQ(rec.of(WM_TIMER).size(), 2u);
  clock->advance(1);
  Pump();
  EXPECT_EQ(rec.of(WM_TIMER).size(), 3u);
  EXPECT_TRUE(KillTimer(h, 7));
  EXPECT_FALSE(KillTimer(h, 7));
  clock->advance(5000);
  Pump();
  EXPECT_EQ(rec.of(WM_TIMER).size(), 3u);
  // Timers die with their window; a stale window cannot get one.
  SetTimer(h, 8, 10, nullptr);
  DestroyWindow(h);
  EXPECT_EQ(SetTimer(h, 9, 10, nullptr), 0u);
  clock->advance(100);
  Pump();
  EXPECT_EQ(rec.of(WM_TIMER).size(), 3u);
}

std::vector<UINT_PTR> g_proc_calls;
void CALLBACK_Record(HWND, UINT, UINT_PTR id, DWORD) { g_proc_calls.push_back(id); }

TEST_F(MessageTest, ThreadTimersGetFreshIdsAndCallTheirProc) {
  g_proc_calls.clear();
  UINT_PTR a = SetTimer(nullptr, 0, 50, CALLBACK_Record);
  UINT_PTR b = SetTimer(nullptr, 0, 80, CALLBACK_Record);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  // Naming an existing thread timer replaces it instead of adding one.
  EXPECT_EQ(SetTimer(nullptr, a, 60, CALLBACK_Record), a);
  clock->advance(60);
  Pump();
  EXPECT_EQ(g_proc_calls, (std::vector<UINT_PTR>{a}));
  clock->advance(20);
  Pump();
  EXPECT_EQ(g_proc_calls, (std::vector<UINT_PTR>{a, b}));
  KillTimer(nullptr, a);
  KillTimer(nullptr, b);
  // A posted WM_TIMER with a made-up procedure is never called.
  PostThreadMessage(GetCurrentThreadId(), WM_TIMER, a, reinterpret_cast<LPARAM>(CALLBACK_Record));
  Pump();
  EXPECT_EQ(g_proc_calls.size(), 2u);
}

TEST_F(MessageTest, AdvancingTheClockWakesABlockedLoop) {
  HWND h = Make(WS_POPUP, RECT{0, 0, 10, 10});
  SetTimer(h, 1, 500, nullptr);
  std::thread advancer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    clock->advance(500);
  });
  MSG m;
  ASSERT_GT(GetMessage(&m, nullptr, 0, 0), 0);
  EXPECT_EQ(m.message, WM_TIMER);
  advancer.join();
  KillTimer(h, 1);
}

std::atomic<int> g_mm_calls{0};
std::atomic<DWORD> g_mm_thread{0};
void MmCallback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  g_mm_thread = static_cast<DWORD>(gettid());
  g_mm_calls += static_cast<int>(user);
}

// Whether `done` holds within a generous bound: the timer thread may be slow
// to run on a loaded machine.
template <typename F>
bool WaitFor(F done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return done();
}

TEST_F(MessageTest, MultimediaTimerRunsOnItsOwnThread) {
  g_mm_calls = 0;
  UINT periodic = timeSetEvent(100, 1, MmCallback, 1, TIME_PERIODIC);
  UINT once = timeSetEvent(150, 1, MmCallback, 1000, TIME_ONESHOT);
  ASSERT_NE(periodic, 0u);
  ASSERT_NE(once, 0u);
  clock->advance(100);
  ASSERT_TRUE(WaitFor([] { return g_mm_calls == 1; }));
  EXPECT_NE(g_mm_thread.load(), GetCurrentThreadId());
  clock->advance(100);  // t=200: the one-shot and the second period
  ASSERT_TRUE(WaitFor([] { return g_mm_calls == 1002; }));
  clock->advance(100);
  ASSERT_TRUE(WaitFor([] { return g_mm_calls == 1003; }));
  EXPECT_EQ(timeKillEvent(periodic), TIMERR_NOERROR);
  EXPECT_EQ(timeKillEvent(periodic), MMSYSERR_INVALPARAM);
  EXPECT_EQ(timeKillEvent(once), MMSYSERR_INVALPARAM);  // a fired one-shot is gone
  clock->advance(1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(g_mm_calls, 1003);
  EXPECT_EQ(timeSetEvent(0, 1, MmCallback, 0, TIME_PERIODIC), 0u);
}

TEST_F(MessageTest, EventsAndMessageWaits) {
  HANDLE manual = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  HANDLE automatic = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);  // consumed
  SetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);  // stays set
  ResetEvent(manual);

  HANDLE handles[] = {manual, automatic};
  // Time-outs run on the clock: another thread moves it.
  std::thread advancer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    clock->advance(250);
  });
  EXPECT_EQ(MsgWaitForMultipleObjects(2, handles, FALSE, 250, QS_ALLINPUT), WAIT_TIMEOUT);
  advancer.join();

  PostThreadMessage(GetCurrentThreadId(), WM_APP, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0 + 2);
  Pump();
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetEvent(automatic);
  });
  EXPECT_EQ(MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  setter.join();

  EXPECT_TRUE(CloseHandle(manual));
  EXPECT_FALSE(CloseHandle(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
  CloseHandle(automatic);
}

TEST_F(MessageTest, WatchedDescriptorsRunOnTheLoopThread) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::vector<std::string> got;
  FdWatchId id = WatchFd(fds[0], POLLIN, [&](int fd, short) {
    char buf[16];
    ssize_t n = read(fd, buf, sizeof buf);
    got.emplace_back(buf, buf + std::max<ssize_t>(n, 0));
    PostQuitMessage(0);
  });
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(write(fds[1], "ping", 4), 4);
  });
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
  writer.join();
  EXPECT_EQ(got, (std::vector<std::string>{"ping"}));
  UnwatchFd(id);
  close(fds[0]);
  close(fds[1]);
}

// A loop slower than a window's timer (its handler takes longer than the
// period, as on a loaded machine), with the window painted each time: the
// timer is always due, yet a ready descriptor gets its turn before the
// second tick after it became ready.
TEST_F(MessageTest, ReadyDescriptorsAreServedWhileATimerIsAlwaysDue) {
  HWND w = Make(WS_POPUP | WS_VISIBLE, {0, 0, 64, 48});
  int ticks = 0;
  rec.hooks[WM_TIMER] = [&](HWND h, WPARAM, LPARAM) -> LRESULT {
    ++ticks;
    clock->advance(50);
    InvalidateRect(h, nullptr, FALSE);
    return 0;
  };
  ASSERT_TRUE(SetTimer(w, 1, 40, nullptr));
  clock->advance(50);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int served = 0;
  FdWatchId id = WatchFd(fds[0], POLLIN, [&](int fd, short) {
    char byte;
    if (read(fd, &byte, 1) == 1) ++served;
  });
  MSG m;
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    const int before = ticks;
    for (int i = 0; i < 1000 && served <= round; ++i) {
      if (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    }
    EXPECT_EQ(served, round + 1);
    EXPECT_LE(ticks - before, 1) << "round " << round;
  }
  KillTimer(w, 1);
  UnwatchFd(id);
  close(fds[0]);
  close(fds[1]);
  rec.hooks.erase(WM_TIMER);
}

TEST_F(MessageTest, TranslatedCharacterComesBeforeWaitingMessages) {
  HWND h = Make(WS_POPUP, RECT{0, 0, 10, 10});
  PostMessage(h, WM_APP, 0, 0);
  MSG key;
  key.hwnd = h;
  key.message = WM_KEYDOWN;
  key.wParam = 'X';
  EXPECT_TRUE(TranslateMessage(&key));
  key.wParam = VK_LEFT;
  EXPECT_FALSE(TranslateMessage(&key));
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_CHAR);
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('x'));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_APP));
}

TEST_F(MessageTest, MessageWaitWakesForATimerOnTheRealClock) {
  SetClock(nullptr);
  HWND h = Make(WS_POPUP, RECT{0, 0, 10, 10});
  SetTimer(h, 1, 20, nullptr);
  // Without the timer slice this would sleep the whole time-out.
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60'000, QS_TIMER), WAIT_OBJECT_0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  KillTimer(h, 1);
}

TEST(KeyTranslation, CharactersFromVirtualKeys) {
  struct Case {
    UINT vk;
    bool shift, caps, ctrl;
    UINT ch;
  };
  const Case cases[] = {
      {'A', false, false, false, 'a'}, {'A', true, false, false, 'A'},  {'A', false, true, false, 'A'},
      {'A', true, true, false, 'a'},   {'C', false, false, true, 3},     {'1', false, false, false, '1'},
      {'1', true, false, false, '!'},  {'0', true, false, false, ')'},   {0x65, false, false, false, '5'},
      {0x6B, false, false, false, '+'}, {0x6D, false, false, false, '-'}, {0x6A, false, false, false, '*'},
      {0x6F, false, false, false, '/'}, {0xBE, false, false, false, '.'}, {0xBE, true, false, false, '>'},
      {0xDC, false, false, false, '\\'}, {0x20, false, false, false, ' '}, {0x0D, false, false, false, '\r'},
      {0x08, false, false, false, '\b'}, {0x1B, false, false, false, 0x1B}, {0x25, false, false, false, 0},
      {0x70, false, false, false, 0},  {0x2E, false, false, false, 0},   {0x21, false, false, false, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CharFromVirtualKey(c.vk, c.shift, c.caps, c.ctrl), c.ch)
        << "vk " << c.vk << " shift " << c.shift << " caps " << c.caps << " ctrl " << c.ctrl;
  EXPECT_EQ(AppCommandFromVirtualKey(0xB3), APPCOMMAND_MEDIA_PLAY_PAUSE);
  EXPECT_EQ(AppCommandFromVirtualKey(0xAD), APPCOMMAND_VOLUME_MUTE);
  EXPECT_EQ(AppCommandFromVirtualKey('A'), 0);
}

}  // namespace
}  // namespace wintest
