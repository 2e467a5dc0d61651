#include "lounge/shell/power_control_impl.h"

#include "platform/sys/idle_inhibitor.h"
#include "platform/win/system.h"

CPowerControl::CPowerControl(plat::IdleInhibitor& inhibitor)
    : inhibitor_(inhibitor),
      screenSaver_{plat::SPI_GETSCREENSAVEACTIVE, plat::SPI_SETSCREENSAVEACTIVE},
      powerOff_{plat::SPI_GETPOWEROFFACTIVE, plat::SPI_SETPOWEROFFACTIVE} {}

CPowerControl::~CPowerControl() {
  RestorePowerSaving();
  EnableScreenSaver(1);
  EnableMonitorPowerOff(1);
  KeepDisplayOn(1);
}

plat::BOOL CPowerControl::Take(SavedSetting& setting) {
  if (setting.claims++ > 0) return 1;
  setting.saved = 0;
  plat::SystemParametersInfo(setting.get, 0, &setting.saved, 0);
  if (setting.saved != 1) return 1;
  return plat::SystemParametersInfo(setting.set, 0, nullptr, 0);
}

plat::BOOL CPowerControl::Give(SavedSetting& setting) {
  if (setting.claims == 0 || --setting.claims > 0) return 1;
  return plat::SystemParametersInfo(setting.set, static_cast<plat::UINT>(setting.saved), nullptr, 0);
}

int CPowerControl::SuspendPowerSaving() {
  if (appSuspended_) return 1;
  appSuspended_ = true;
  Take(screenSaver_);
  inhibitor_.Hold();
  Take(powerOff_);
  return 1;
}

int CPowerControl::RestorePowerSaving() {
  if (!appSuspended_) return 1;
  appSuspended_ = false;
  Give(screenSaver_);
  inhibitor_.Drop();
  Give(powerOff_);
  return 1;
}

int CPowerControl::KeepDisplayOn(int release) {
  if (release == 0 && !frameDisplayOn_) {
    frameDisplayOn_ = true;
    inhibitor_.Hold();
  } else if (release != 0 && frameDisplayOn_) {
    frameDisplayOn_ = false;
    inhibitor_.Drop();
  }
  return 1;
}

int CPowerControl::EnableScreenSaver(int enable) {
  if (enable == 0) {
    if (frameScreenSaver_) return 1;
    frameScreenSaver_ = true;
    inhibitor_.Hold();
    return Take(screenSaver_);
  }
  if (!frameScreenSaver_) return 0;
  frameScreenSaver_ = false;
  inhibitor_.Drop();
  return Give(screenSaver_);
}

int CPowerControl::EnableMonitorPowerOff(int enable) {
  if (enable == 0) {
    if (framePowerOff_) return 1;
    framePowerOff_ = true;
    inhibitor_.Hold();
    return Take(powerOff_);
  }
  if (!framePowerOff_) return 0;
  framePowerOff_ = false;
  inhibitor_.Drop();
  return Give(powerOff_);
}
