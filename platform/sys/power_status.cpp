#include "platform/sys/power_status.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace plat {
namespace {

std::string ReadLine(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::mutex g_mutex;
std::shared_ptr<PowerSource> g_source;

}  // namespace

SysfsPowerSource::SysfsPowerSource(std::string root) : root_(std::move(root)) {}

bool SysfsPowerSource::Read(SYSTEM_POWER_STATUS& status) const {
  status = SYSTEM_POWER_STATUS{};
  std::error_code ec;
  std::filesystem::directory_iterator it(root_, ec);
  if (ec) return false;
  bool anything = false;
  bool haveBattery = false;
  for (const auto& entry : it) {
    const std::string type = ReadLine(entry.path() / "type");
    if (type == "Mains") {
      const std::string online = ReadLine(entry.path() / "online");
      if (online == "1") status.ACLineStatus = AC_LINE_ONLINE;
      else if (online == "0" && status.ACLineStatus != AC_LINE_ONLINE) status.ACLineStatus = AC_LINE_OFFLINE;
      anything = true;
    } else if (type == "Battery" && !haveBattery) {
      const std::string capacity = ReadLine(entry.path() / "capacity");
      const std::string state = ReadLine(entry.path() / "status");
      int percent = -1;
      try {
        percent = std::stoi(capacity);
      } catch (...) {
        percent = -1;
      }
      BYTE flags = 0;
      if (percent >= 0) {
        percent = std::clamp(percent, 0, 100);
        status.BatteryLifePercent = static_cast<BYTE>(percent);
        if (percent < 5) flags |= BATTERY_FLAG_CRITICAL;
        else if (percent < 33) flags |= BATTERY_FLAG_LOW;
        else flags |= BATTERY_FLAG_HIGH;
      }
      if (state == "Charging") flags |= BATTERY_FLAG_CHARGING;
      status.BatteryFlag = percent >= 0 ? flags : BATTERY_FLAG_UNKNOWN;
      haveBattery = true;
      anything = true;
    }
  }
  if (!haveBattery && anything) status.BatteryFlag = BATTERY_FLAG_NO_BATTERY;
  return anything;
}

void SetPowerSource(std::shared_ptr<PowerSource> source) {
  std::lock_guard lock(g_mutex);
  g_source = std::move(source);
}

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
  if (!status) return FALSE;
  std::shared_ptr<PowerSource> source;
  {
    std::lock_guard lock(g_mutex);
    if (!g_source) g_source = std::make_shared<SysfsPowerSource>();
    source = g_source;
  }
  if (!source->Read(*status)) *status = SYSTEM_POWER_STATUS{};
  return TRUE;
}

}  // namespace plat
