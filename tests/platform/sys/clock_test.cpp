#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/sys/clock.h"
#include "platform/sys/event.h"
#include "platform/sys/last_error.h"

namespace {

using namespace plat;

TEST(Clock, ManualClockDrivesTicksWallTimeAndSleeps) {
  auto manual = std::make_shared<ManualClock>(0xFFFFFF00ull);
  SetClock(manual);
  EXPECT_EQ(GetTickCount(), 0xFFFFFF00u);
  manual->advance(0x200);
  EXPECT_EQ(GetTickCount(), 0x100u);  // the 32-bit count wraps
  EXPECT_EQ(GetTickCount64(), 0x100000100ull);
  const auto wall = manual->wall_now();
  manual->advance(1500);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(manual->wall_now() - wall).count(), 1500);
  manual->set_wall(Clock::WallTime{std::chrono::hours(24 * 365)});
  EXPECT_EQ(GetClock().wall_now(), Clock::WallTime{std::chrono::hours(24 * 365)});

  // Sleep and timed waits end when the clock has moved far enough. The
  // mover keeps going until the sleep has ended: under load it may start
  // before the sleep does, and a fixed number of steps could then leave the
  // sleep waiting for a clock nobody moves any more.
  std::atomic<bool> slept{false};
  std::thread mover([&] {
    while (!slept) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      manual->advance(250);
    }
  });
  const auto before = GetTickCount64();
  Sleep(1000);
  EXPECT_GE(GetTickCount64() - before, 1000u);
  slept = true;
  mover.join();

  SetClock(nullptr);
  const auto a = GetTickCount64();
  Sleep(2);
  EXPECT_GE(GetTickCount64(), a);
}

TEST(LastError, IsPerThread) {
  SetLastError(5);
  std::thread other([] {
    EXPECT_EQ(GetLastError(), 0u);
    SetLastError(87);
  });
  other.join();
  EXPECT_EQ(GetLastError(), 5u);
}

}  // namespace
