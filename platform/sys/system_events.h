// Sources of the system's notices to the program: power (sleep coming,
// mains/battery changes), session lock and unlock, and volume arrival and
// removal. Each is an interface with an in-memory fake; the notices reach
// the window that subscribes as the messages the system core expects
// (WM_POWERBROADCAST, WM_WTSSESSION_CHANGE, WM_DEVICECHANGE), posted to it.
// Without a source (no logind, no udev) nothing arrives.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/core/types.h"

namespace plat {

inline constexpr WPARAM PBT_APMQUERYSUSPEND = 0x0000;
inline constexpr WPARAM PBT_APMSUSPEND = 0x0004;
inline constexpr WPARAM PBT_APMRESUMESUSPEND = 0x0007;
inline constexpr WPARAM PBT_APMRESUMEAUTOMATIC = 0x0012;
inline constexpr WPARAM PBT_APMPOWERSTATUSCHANGE = 0x000A;
inline constexpr LRESULT BROADCAST_QUERY_DENY = 0x424D5144;

inline constexpr WPARAM WTS_SESSION_LOCK = 0x7;
inline constexpr WPARAM WTS_SESSION_UNLOCK = 0x8;

inline constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
inline constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;
inline constexpr DWORD DBT_DEVTYP_VOLUME = 0x2;
inline constexpr DWORD DBT_DEVTYP_DEVICEINTERFACE = 0x5;

// The header every device-change record starts with, and the volume record.
struct DEV_BROADCAST_HDR {
  DWORD dbch_size = 0;
  DWORD dbch_devicetype = 0;
  DWORD dbch_reserved = 0;
};
struct DEV_BROADCAST_VOLUME {
  DWORD dbcv_size = sizeof(DEV_BROADCAST_VOLUME);
  DWORD dbcv_devicetype = DBT_DEVTYP_VOLUME;
  DWORD dbcv_reserved = 0;
  DWORD dbcv_unitmask = 0;
  WORD dbcv_flags = 0;
};

// Where system notices are delivered: every subscribed window gets them
// posted. Device records are copied into the posted message's lParam as an
// owned heap record that the receiver frees with FreeDeviceRecord.
class SystemEventHub {
 public:
  void Subscribe(HWND window);
  void Unsubscribe(HWND window);
  void PostPower(WPARAM event);
  void PostSession(WPARAM event);
  void PostVolumeChange(WPARAM event, DWORD unitMask);

 private:
  std::vector<HWND> Windows();
  std::mutex mutex_;
  std::vector<HWND> windows_;
};

SystemEventHub& SystemEvents();
void FreeDeviceRecord(LPARAM lParam);

// The hold that keeps the machine awake while the system refuses suspend.
class SleepInhibitor {
 public:
  virtual ~SleepInhibitor() = default;
  // Takes the hold; true when it is held.
  virtual bool Acquire(const char* why) = 0;
  virtual void Release() = 0;
  virtual bool Held() const = 0;
};

class FakeSleepInhibitor final : public SleepInhibitor {
 public:
  bool Acquire(const char*) override { return held_ = true; }
  void Release() override { held_ = false; }
  bool Held() const override { return held_; }

 private:
  bool held_ = false;
};

// The processor power scheme's battery-side throttle. Linux has no such
// scheme to change: the default backend records what it would set.
class ProcessorPowerScheme {
 public:
  virtual ~ProcessorPowerScheme() = default;
  virtual bool ReadThrottle(BYTE& value) = 0;
  virtual bool WriteThrottle(BYTE value) = 0;
};

class RecordingPowerScheme final : public ProcessorPowerScheme {
 public:
  bool ReadThrottle(BYTE& value) override {
    value = throttle;
    return true;
  }
  bool WriteThrottle(BYTE value) override {
    throttle = value;
    writes.push_back(value);
    return true;
  }
  BYTE throttle = 0;
  std::vector<BYTE> writes;
};

}  // namespace plat
