// SIGTERM and SIGINT become one close request on the thread's message loop,
// never inside the signal handler; the old handlers come back afterwards.
#include "lounge/shell/close_signals.h"

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/win/message.h"

namespace {

void PumpFor(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    plat::MSG m;
    while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
    ::usleep(2000);
  }
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
    PumpFor(20);
    EXPECT_EQ(requests, 1);
    ::raise(SIGINT);
    ::raise(SIGTERM);
    PumpFor(20);
    EXPECT_GE(requests, 2);
    // Only one object at a time owns the signals.
    CCloseSignals second([] {});
    EXPECT_FALSE(second.Installed());
  }
  struct sigaction after {};
  ::sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
