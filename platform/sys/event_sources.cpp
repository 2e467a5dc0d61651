#include "platform/sys/event_sources.h"

#include "platform/sys/logind_events.h"
#include "platform/sys/power_events.h"
#include "platform/sys/volume_events.h"

namespace plat {

namespace {

class MachineEventSources final : public SystemEventSource {
 public:
  void Start() override {
    bus_.Start();
    // Without UPower the power supplies are read on a period instead.
    if (!bus_.UPowerPresent()) power_.Start();
    volumes_.Start();
  }
  void Stop() override {
    volumes_.Stop();
    power_.Stop();
    bus_.Stop();
  }

 private:
  LogindEventSource bus_;
  PowerSupplyPoller power_;
  UdevVolumeWatcher volumes_;
};

}  // namespace

std::shared_ptr<SystemEventSource> MakeMachineEventSources() { return std::make_shared<MachineEventSources>(); }

std::shared_ptr<SleepInhibitor> MakeMachineSleepInhibitor() { return std::make_shared<LogindSleepInhibitor>(); }

}  // namespace plat
