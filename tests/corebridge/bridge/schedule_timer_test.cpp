#include <chrono>
#include <thread>

#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

using settings_test::At;

class ScheduleTimerTest : public BridgeTest {
 protected:
  // Writes the schedules to "Schedule.sys", which every tick reads.
  void Schedule(std::initializer_list<CScheduleItem> items) {
    CScheduleList list(clock_);
    for (const auto& item : items) list.Add(item);
    ASSERT_TRUE(list.LoadSave(Config().m_strSettingsFolder, 0));
  }
  static CScheduleItem Item(int type, int hour, int minute, int durationMinutes, int repeat = SPECIFICDAY) {
    CScheduleItem item(type);
    item.SetRepeatMode(repeat);
    item.SetBeginDate(At(2026, 3, 2, hour, minute, 0));
    item.SetDuration(durationMinutes);
    if (type == SCHEDULE_RADIO) item.SetRadioFrequency(101100);
    return item;
  }
  // Ticks once at each time and returns the controller steps.
  std::vector<std::string> TickAt(std::initializer_list<plat::SYSTEMTIME> times) {
    steps_.clear();
    for (const auto& t : times) {
      clock_.Set(t);
      system_->ScheduleTick();
    }
    return steps_;
  }
};

TEST_F(ScheduleTimerTest, RadioScheduleOpensTheModuleStartsAndStopsOnce) {
  Start();
  Schedule({Item(SCHEDULE_RADIO, 20, 0, 60)});
  EXPECT_TRUE(TickAt({At(2026, 3, 2, 19, 57, 59)}).empty());
  EXPECT_EQ(TickAt({At(2026, 3, 2, 19, 58, 0)}), std::vector<std::string>{"RadioStart"});
  // A tick that comes twice in the same second opens nothing again.
  EXPECT_TRUE(TickAt({At(2026, 3, 2, 19, 58, 0)}).empty());
  // "0 or 1 second before" spans two ticks: the recording starts once.
  EXPECT_EQ(TickAt({At(2026, 3, 2, 19, 59, 58), At(2026, 3, 2, 19, 59, 59), At(2026, 3, 2, 20, 0, 0)}),
            std::vector<std::string>{"RadioPrepareRecording"});
  EXPECT_TRUE(TickAt({At(2026, 3, 2, 20, 30, 0)}).empty());
  EXPECT_EQ(TickAt({At(2026, 3, 2, 20, 59, 58), At(2026, 3, 2, 20, 59, 59), At(2026, 3, 2, 21, 0, 0)}),
            std::vector<std::string>{"RadioScheduleRecord"});
}

TEST_F(ScheduleTimerTest, DailyScheduleStartsAgainTheNextDay) {
  Start();
  Schedule({Item(SCHEDULE_RADIO, 20, 0, 30, EVERYDAY)});
  EXPECT_EQ(TickAt({At(2026, 3, 2, 19, 59, 59), At(2026, 3, 2, 20, 0, 0)}),
            std::vector<std::string>{"RadioPrepareRecording"});
  EXPECT_EQ(TickAt({At(2026, 3, 3, 19, 59, 59), At(2026, 3, 3, 20, 0, 0)}),
            std::vector<std::string>{"RadioPrepareRecording"});
}

TEST_F(ScheduleTimerTest, TvScheduleOpensItsModuleAndStopsAtItsEnd) {
  Start();
  Schedule({Item(SCHEDULE_TV, 21, 0, 30)});
  EXPECT_EQ(TickAt({At(2026, 3, 2, 20, 58, 0)}), std::vector<std::string>{"TVStart"});
  EXPECT_TRUE(TickAt({At(2026, 3, 2, 20, 59, 59), At(2026, 3, 2, 21, 0, 0), At(2026, 3, 2, 21, 29, 57)}).empty());
  EXPECT_EQ(TickAt({At(2026, 3, 2, 21, 29, 58), At(2026, 3, 2, 21, 29, 59), At(2026, 3, 2, 21, 30, 0)}),
            std::vector<std::string>{"TVScheduleStop"});
}

TEST_F(ScheduleTimerTest, ExpiredAndLateSchedules) {
  Start();
  Schedule({Item(SCHEDULE_RADIO, 10, 0, 30)});  // earlier today: expired
  EXPECT_TRUE(TickAt({At(2026, 3, 2, 12, 0, 0)}).empty());
  // A late tick past the two-minute mark skips the module start only.
  Schedule({Item(SCHEDULE_RADIO, 20, 0, 60)});
  EXPECT_EQ(TickAt({At(2026, 3, 2, 19, 58, 30), At(2026, 3, 2, 20, 0, 0)}),
            std::vector<std::string>{"RadioPrepareRecording"});
}

TEST_F(ScheduleTimerTest, RadioModulePollsEveryTick) {
  Start();
  Config().m_nActiveModule = MODULE_RADIO;
  EXPECT_EQ(TickAt({At(2026, 3, 2, 12, 0, 0), At(2026, 3, 2, 12, 0, 1)}),
            (std::vector<std::string>{"RadioCommand", "RadioCommand"}));
}

class ScheduleTimerThreadTest : public ScheduleTimerTest {
 protected:
  void SetUp() override {
    timerPeriodMs_ = 20;
    ScheduleTimerTest::SetUp();
  }
};

TEST_F(ScheduleTimerThreadTest, TicksReachTheUiThroughTheHiddenWindow) {
  Start();
  Config().m_nActiveModule = MODULE_RADIO;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (steps_.empty() && std::chrono::steady_clock::now() < deadline) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_FALSE(steps_.empty());
  EXPECT_EQ(steps_.front(), "RadioCommand");
  system_->Stop();  // the timer is gone: nothing more arrives
  Pump();
  steps_.clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  Pump();
  EXPECT_TRUE(steps_.empty());
}

}  // namespace
}  // namespace bridge_test
