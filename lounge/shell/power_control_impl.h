// CPowerControl: the program's one implementation of the screen-saver and
// power switches. The application's SuspendPowerSaving/RestorePowerSaving
// and the frame's EnableScreenSaver, EnableMonitorPowerOff and KeepDisplayOn
// each make a claim of their own on one shared idle hold. The screen-saver
// and power-off settings are saved when their first claim starts and given
// back when their last claim ends, so a repeated suspend never overwrites the
// saved state and one caller's restore never undoes another's claim.
#pragma once

#include "lounge/shell/power_control.h"
#include "platform/core/types.h"

namespace plat {
class IdleInhibitor;
}

class CPowerControl final : public IPowerControl {
 public:
  explicit CPowerControl(plat::IdleInhibitor& inhibitor);
  // Gives back every claim still made.
  ~CPowerControl();
  CPowerControl(const CPowerControl&) = delete;
  CPowerControl& operator=(const CPowerControl&) = delete;

  int SuspendPowerSaving() override;
  int RestorePowerSaving() override;
  int KeepDisplayOn(int release) override;
  int EnableScreenSaver(int enable) override;
  int EnableMonitorPowerOff(int enable) override;

 private:
  // A system setting switched off while claimed, saved on the first claim.
  struct SavedSetting {
    plat::UINT get, set;
    int claims = 0;
    plat::BOOL saved = 0;
  };
  plat::BOOL Take(SavedSetting& setting);
  plat::BOOL Give(SavedSetting& setting);

  plat::IdleInhibitor& inhibitor_;
  SavedSetting screenSaver_;
  SavedSetting powerOff_;
  bool appSuspended_ = false;
  bool frameScreenSaver_ = false;
  bool framePowerOff_ = false;
  bool frameDisplayOn_ = false;
};
