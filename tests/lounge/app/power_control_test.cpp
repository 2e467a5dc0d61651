// The power switches over one counted idle hold, with a recording backend:
// claims of the application and of the frame, what each saves and gives
// back, and a repeated suspend that must not overwrite the saved state.
#include "lounge/shell/power_control_impl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sys/idle_inhibitor.h"
#include "platform/win/system.h"

namespace {

struct BackendLog {
  int acquired = 0, released = 0;
  bool held = false;
};

class RecordingBackend final : public plat::IdleInhibitBackend {
 public:
  explicit RecordingBackend(BackendLog& log, bool available = true) : log_(log), available_(available) {}
  bool Acquire(const std::string&) override {
    ++log_.acquired;
    log_.held = available_;
    return available_;
  }
  void Release() override {
    ++log_.released;
    log_.held = false;
  }

 private:
  BackendLog& log_;
  bool available_;
};

plat::BOOL Get(plat::UINT action) {
  plat::BOOL value = -1;
  plat::SystemParametersInfo(action, 0, &value, 0);
  return value;
}
void Set(plat::UINT action, plat::UINT value) { plat::SystemParametersInfo(action, value, nullptr, 0); }

class PowerControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Set(plat::SPI_SETSCREENSAVEACTIVE, 1);
    Set(plat::SPI_SETPOWEROFFACTIVE, 1);
  }
  bool ScreenSaver() { return Get(plat::SPI_GETSCREENSAVEACTIVE) == 1; }
  bool PowerOff() { return Get(plat::SPI_GETPOWEROFFACTIVE) == 1; }

  BackendLog log_;
  plat::IdleInhibitor inhibitor_{std::make_unique<RecordingBackend>(log_)};
};

TEST_F(PowerControlTest, RepeatedSuspendKeepsTheFirstSavedState) {
  CPowerControl power(inhibitor_);
  EXPECT_EQ(power.SuspendPowerSaving(), 1);
  EXPECT_FALSE(ScreenSaver());
  EXPECT_FALSE(PowerOff());
  EXPECT_TRUE(log_.held);
  // A second suspend sees both switched off; it must not save that.
  EXPECT_EQ(power.SuspendPowerSaving(), 1);
  EXPECT_EQ(log_.acquired, 1);
  EXPECT_EQ(power.RestorePowerSaving(), 1);
  EXPECT_TRUE(ScreenSaver());
  EXPECT_TRUE(PowerOff());
  EXPECT_FALSE(log_.held);
  EXPECT_EQ(log_.released, 1);
  // Nothing more to give back.
  EXPECT_EQ(power.RestorePowerSaving(), 1);
  EXPECT_EQ(log_.released, 1);
  EXPECT_TRUE(ScreenSaver());
}

TEST_F(PowerControlTest, SettingsThatWereOffStayOff) {
  Set(plat::SPI_SETSCREENSAVEACTIVE, 0);
  CPowerControl power(inhibitor_);
  power.SuspendPowerSaving();
  power.RestorePowerSaving();
  EXPECT_FALSE(ScreenSaver());
  EXPECT_TRUE(PowerOff());
}

TEST_F(PowerControlTest, ClaimsOfAppAndFrameShareOneHoldInAnyOrder) {
  CPowerControl power(inhibitor_);
  power.SuspendPowerSaving();
  EXPECT_EQ(power.EnableScreenSaver(0), 1);
  EXPECT_EQ(power.EnableMonitorPowerOff(0), 1);
  EXPECT_EQ(power.KeepDisplayOn(0), 1);
  EXPECT_EQ(inhibitor_.Holders(), 4);
  EXPECT_EQ(log_.acquired, 1);

  // The application gives back first: the frame's claims still hold.
  power.RestorePowerSaving();
  EXPECT_FALSE(ScreenSaver());
  EXPECT_FALSE(PowerOff());
  EXPECT_TRUE(log_.held);

  EXPECT_EQ(power.EnableScreenSaver(1), 1);
  EXPECT_TRUE(ScreenSaver());
  EXPECT_FALSE(PowerOff());
  EXPECT_EQ(power.EnableMonitorPowerOff(1), 1);
  EXPECT_TRUE(PowerOff());
  EXPECT_TRUE(log_.held);
  EXPECT_EQ(power.KeepDisplayOn(1), 1);
  EXPECT_FALSE(log_.held);
  EXPECT_EQ(log_.acquired, 1);
  EXPECT_EQ(log_.released, 1);
}

TEST_F(PowerControlTest, FrameSwitchesSaveOnceAndRestoreOnlyWhatTheySaved) {
  CPowerControl power(inhibitor_);
  EXPECT_EQ(power.EnableScreenSaver(1), 0);  // nothing saved
  EXPECT_EQ(power.EnableMonitorPowerOff(1), 0);
  EXPECT_EQ(power.KeepDisplayOn(1), 1);
  EXPECT_EQ(inhibitor_.Holders(), 0);
  EXPECT_EQ(log_.acquired, 0);

  EXPECT_EQ(power.EnableScreenSaver(0), 1);
  EXPECT_EQ(power.EnableScreenSaver(0), 1);  // already saved: at once
  EXPECT_EQ(power.KeepDisplayOn(0), 1);
  EXPECT_EQ(power.KeepDisplayOn(0), 1);
  EXPECT_EQ(inhibitor_.Holders(), 2);
  EXPECT_EQ(power.EnableScreenSaver(1), 1);
  EXPECT_TRUE(ScreenSaver());
  EXPECT_EQ(power.EnableScreenSaver(1), 0);
  EXPECT_EQ(power.KeepDisplayOn(1), 1);
  EXPECT_EQ(inhibitor_.Holders(), 0);
  EXPECT_EQ(log_.released, 1);
}

TEST_F(PowerControlTest, ClaimsLeftAtTheEndAreGivenBack) {
  {
    CPowerControl power(inhibitor_);
    power.SuspendPowerSaving();
    power.KeepDisplayOn(0);
    power.EnableScreenSaver(0);
  }
  EXPECT_EQ(inhibitor_.Holders(), 0);
  EXPECT_FALSE(log_.held);
  EXPECT_TRUE(ScreenSaver());
  EXPECT_TRUE(PowerOff());
}

TEST_F(PowerControlTest, NoServiceToHoldIsNotAnError) {
  BackendLog absent;
  plat::IdleInhibitor inhibitor(std::make_unique<RecordingBackend>(absent, false));
  CPowerControl power(inhibitor);
  EXPECT_EQ(power.SuspendPowerSaving(), 1);
  EXPECT_EQ(power.RestorePowerSaving(), 1);
  EXPECT_EQ(absent.acquired, 1);
  EXPECT_TRUE(ScreenSaver());
}

}  // namespace
