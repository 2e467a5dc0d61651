// Sleep, session lock and power notices from the system bus: logind's
// PrepareForSleep and the session's Lock/Unlock, and UPower's property
// changes. The bus descriptor is watched by the starting thread's message
// loop, so the notices are posted from that thread.
#pragma once

#include <memory>
#include <string>

#include "platform/sys/event_sources.h"

namespace plat {

class BusConnection;

class LogindEventSource final : public SystemEventSource {
 public:
  // An empty address means the system bus.
  explicit LogindEventSource(std::string busAddress = {});
  ~LogindEventSource() override;
  void Start() override;
  // Stop (and destruction) belong on the thread that started.
  void Stop() override;
  // True while connected to a bus.
  bool Connected() const;
  // Whether UPower was running on the bus at Start.
  bool UPowerPresent() const { return upower_; }

 private:
  std::string address_;
  std::unique_ptr<BusConnection> bus_;
  bool upower_ = false;
};

// logind's "block" inhibitor for sleep: the returned descriptor is the hold,
// kept open until Release.
class LogindSleepInhibitor final : public SleepInhibitor {
 public:
  explicit LogindSleepInhibitor(std::string busAddress = {});
  ~LogindSleepInhibitor() override;
  bool Acquire(const char* why) override;
  void Release() override;
  bool Held() const override { return fd_ >= 0; }

 private:
  std::string address_;
  int fd_ = -1;
};

}  // namespace plat
