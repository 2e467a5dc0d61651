// Mains and battery state (GetSystemPowerStatus) from a power source: the
// machine's sysfs power supplies by default, an in-memory fake in tests.
// Without a readable power supply the AC line status is unknown (255).
#pragma once

#include <memory>
#include <string>

#include "platform/core/types.h"

namespace plat {

inline constexpr BYTE AC_LINE_OFFLINE = 0;
inline constexpr BYTE AC_LINE_ONLINE = 1;
inline constexpr BYTE AC_LINE_UNKNOWN = 255;
inline constexpr BYTE BATTERY_FLAG_HIGH = 1;
inline constexpr BYTE BATTERY_FLAG_LOW = 2;
inline constexpr BYTE BATTERY_FLAG_CRITICAL = 4;
inline constexpr BYTE BATTERY_FLAG_CHARGING = 8;
inline constexpr BYTE BATTERY_FLAG_NO_BATTERY = 128;
inline constexpr BYTE BATTERY_FLAG_UNKNOWN = 255;

struct SYSTEM_POWER_STATUS {
  BYTE ACLineStatus = AC_LINE_UNKNOWN;
  BYTE BatteryFlag = BATTERY_FLAG_UNKNOWN;
  BYTE BatteryLifePercent = 255;
  BYTE SystemStatusFlag = 0;
  DWORD BatteryLifeTime = 0xFFFFFFFFu;
  DWORD BatteryFullLifeTime = 0xFFFFFFFFu;
};

class PowerSource {
 public:
  virtual ~PowerSource() = default;
  virtual bool Read(SYSTEM_POWER_STATUS& status) const = 0;
};

// Reads /sys/class/power_supply (or `root` below it in tests): a "Mains"
// supply's "online", a "Battery"'s "capacity" and "status". Low below 33 %,
// critical below 5 %, as the platform reports them.
class SysfsPowerSource final : public PowerSource {
 public:
  explicit SysfsPowerSource(std::string root = "/sys/class/power_supply");
  bool Read(SYSTEM_POWER_STATUS& status) const override;

 private:
  std::string root_;
};

// A fixed status that tests change at will.
class FakePowerSource final : public PowerSource {
 public:
  bool Read(SYSTEM_POWER_STATUS& status) const override {
    status = status_;
    return true;
  }
  SYSTEM_POWER_STATUS status_;
};

// Installs the source the process reads (null restores sysfs).
void SetPowerSource(std::shared_ptr<PowerSource> source);
BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status);

}  // namespace plat
