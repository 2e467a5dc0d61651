// The machine's live sources of system notices (sleep, session lock, power
// and volume changes). Each posts to SystemEvents() on the thread that
// started it, from descriptors watched by that thread's message loop. A
// source whose service is missing (no bus, no logind, no udev) starts
// without error and simply never posts.
#pragma once

#include <memory>

#include "platform/sys/system_events.h"

namespace plat {

class SystemEventSource {
 public:
  virtual ~SystemEventSource() = default;
  // Connects and starts watching; calling it twice does nothing more.
  virtual void Start() = 0;
  virtual void Stop() = 0;
};

// logind (sleep, lock), UPower (power status) on the system bus, or the
// power supplies read on a period when UPower is not running, and udev
// (volumes), together.
std::shared_ptr<SystemEventSource> MakeMachineEventSources();

// The sleep hold on the system bus's logind.
std::shared_ptr<SleepInhibitor> MakeMachineSleepInhibitor();

}  // namespace plat
