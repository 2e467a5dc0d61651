// Tells when a camera or scanner is plugged in or removed: udev's USB events
// that carry the camera or scanner marks their rules set (ID_GPHOTO2,
// libsane_matched). The callback runs on the watcher's own thread.
#pragma once

#include <functional>
#include <thread>

namespace imageacquire {

class DeviceWatcher {
 public:
  explicit DeviceWatcher(std::function<void()> onChange);
  ~DeviceWatcher();
  DeviceWatcher(const DeviceWatcher&) = delete;
  DeviceWatcher& operator=(const DeviceWatcher&) = delete;

  // False when udev cannot be watched here (no udev, no permission).
  bool Start();

 private:
  void Run(void* monitor);

  std::function<void()> onChange_;
  int stopFd_ = -1;
  void* udev_ = nullptr;
  void* monitor_ = nullptr;
  std::thread thread_;
};

}  // namespace imageacquire
