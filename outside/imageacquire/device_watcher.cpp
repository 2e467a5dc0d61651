#include "outside/imageacquire/device_watcher.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace imageacquire {

DeviceWatcher::DeviceWatcher(std::function<void()> onChange) : onChange_(std::move(onChange)) {}

DeviceWatcher::~DeviceWatcher() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof(one));
    thread_.join();
  }
  if (monitor_) udev_monitor_unref(static_cast<udev_monitor*>(monitor_));
  if (udev_) udev_unref(static_cast<udev*>(udev_));
  if (stopFd_ >= 0) ::close(stopFd_);
}

bool DeviceWatcher::Start() {
  if (thread_.joinable()) return true;
  udev* u = udev_new();
  if (!u) return false;
  udev_ = u;
  udev_monitor* monitor = udev_monitor_new_from_netlink(u, "udev");
  if (!monitor) return false;
  monitor_ = monitor;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0 ||
      udev_monitor_enable_receiving(monitor) < 0)
    return false;
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0) return false;
  thread_ = std::thread([this, monitor] { Run(monitor); });
  return true;
}

void DeviceWatcher::Run(void* monitorPointer) {
  auto* monitor = static_cast<udev_monitor*>(monitorPointer);
  pollfd fds[2] = {{udev_monitor_get_fd(monitor), POLLIN, 0}, {stopFd_, POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) continue;
    udev_device* device = udev_monitor_receive_device(monitor);
    if (!device) continue;
    // A removal carries the properties the device had, so both directions match.
    const bool camera = udev_device_get_property_value(device, "ID_GPHOTO2") != nullptr;
    const bool scanner = udev_device_get_property_value(device, "libsane_matched") != nullptr;
    udev_device_unref(device);
    if ((camera || scanner) && onChange_) onChange_();
  }
}

}  // namespace imageacquire
