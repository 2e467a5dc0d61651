// Mains/battery changes where no power service announces them: the power
// status is read on a period and a change of the AC line posts
// PBT_APMPOWERSTATUSCHANGE to SystemEvents(). The period runs on a timer
// descriptor watched by the starting thread's loop.
#pragma once

#include "platform/sys/event_sources.h"
#include "platform/win/message.h"

namespace plat {

class PowerSupplyPoller final : public SystemEventSource {
 public:
  explicit PowerSupplyPoller(unsigned periodMs = 5000);
  ~PowerSupplyPoller() override;
  void Start() override;
  // Stop (and destruction) belong on the thread that started.
  void Stop() override;

 private:
  void Poll();
  unsigned periodMs_;
  int timer_ = -1;
  FdWatchId watch_ = 0;
  BYTE line_ = 0;
};

}  // namespace plat
