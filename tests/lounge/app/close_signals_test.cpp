// SIGTERM, SIGINT and SIGHUP become one close request on the thread's message loop,
// never inside the signal handler; the old handlers come back afterwards.
#include "lounge/shell/close_signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "platform/win/message.h"

namespace {

void PumpFor(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    plat::MSG m;
    while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
    ::usleep(2000);
  }
}

// Pumps the loop until `requests` reaches `count` or a generous time has passed.
void PumpUntilRequests(const int& requests, int count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (requests < count && std::chrono::steady_clock::now() < deadline) PumpFor(1);
}

TEST(CloseSignalsTest, SignalsBecomeACloseRequestOnTheLoop) {
  struct sigaction before {};
  ::sigaction(SIGTERM, nullptr, &before);
  int requests = 0;
  {
    CCloseSignals signals([&] { ++requests; });
    ASSERT_TRUE(signals.Installed());
    ::raise(SIGTERM);
    EXPECT_EQ(requests, 0);  // nothing ran in the handler
    PumpUntilRequests(requests, 1);
    EXPECT_EQ(requests, 1);
    ::raise(SIGINT);
    ::raise(SIGTERM);
    PumpUntilRequests(requests, 2);
    EXPECT_GE(requests, 2);
    // Only one object at a time owns the signals.
    CCloseSignals second([] {});
    EXPECT_FALSE(second.Installed());
  }
  struct sigaction after {};
  ::sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

bool Blocked(int signal) {
  sigset_t mask;
  ::pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  return sigismember(&mask, signal) == 1;
}

// Blocked from the start, a signal waits: start-up sees it pending, the loop
// takes it once it accepts, and the block comes back at the end.
TEST(CloseSignalsTest, BlockedSignalWaitsUntilTheLoopAcceptsIt) {
  sigset_t before;
  ::pthread_sigmask(SIG_BLOCK, nullptr, &before);
  BlockCloseSignals();
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    int requests = 0;
    {
      CCloseSignals signals([&] { ++requests; });
      ASSERT_TRUE(signals.Installed());
      EXPECT_FALSE(signals.Pending());
      ::raise(signal);
      EXPECT_TRUE(signals.Pending());
      PumpFor(5);
      EXPECT_EQ(requests, 0);
      signals.Accept();
      EXPECT_FALSE(Blocked(signal));
      PumpUntilRequests(requests, 1);
      EXPECT_EQ(requests, 1);
      EXPECT_FALSE(signals.Pending());
    }
    EXPECT_TRUE(Blocked(signal));
  }
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

}  // namespace
