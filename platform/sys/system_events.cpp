#include "platform/sys/system_events.h"

#include <algorithm>

#include "platform/win/message.h"
#include "platform/win/win_types.h"

namespace plat {

void SystemEventHub::Subscribe(HWND window) {
  std::lock_guard lock(mutex_);
  if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) windows_.push_back(window);
}

void SystemEventHub::Unsubscribe(HWND window) {
  std::lock_guard lock(mutex_);
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

std::vector<HWND> SystemEventHub::Windows() {
  std::lock_guard lock(mutex_);
  return windows_;
}

void SystemEventHub::PostPower(WPARAM event) {
  for (HWND w : Windows()) PostMessage(w, WM_POWERBROADCAST, event, 0);
}

void SystemEventHub::PostSession(WPARAM event) {
  for (HWND w : Windows()) PostMessage(w, WM_WTSSESSION_CHANGE, event, 0);
}

void SystemEventHub::PostVolumeChange(WPARAM event, DWORD unitMask) {
  for (HWND w : Windows()) {
    auto record = std::make_unique<DEV_BROADCAST_VOLUME>();
    record->dbcv_unitmask = unitMask;
    if (PostMessage(w, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.get()))) record.release();
  }
}

SystemEventHub& SystemEvents() {
  static SystemEventHub hub;
  return hub;
}

void FreeDeviceRecord(LPARAM lParam) { delete reinterpret_cast<DEV_BROADCAST_VOLUME*>(lParam); }

}  // namespace plat
