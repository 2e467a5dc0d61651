// Volume arrival and removal: udev's block-device events (and changes of the
// mount table, since a new medium is usually mounted after udev announces
// it) refresh the drive table; each lettered volume that appears or goes,
// and each drive whose medium comes or goes, is posted to SystemEvents() as
// WM_DEVICECHANGE with that volume's unit mask, one message per drive.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sys/drive_table.h"
#include "platform/sys/event_sources.h"

namespace plat {

// One block-device event as udev reports it.
struct BlockDeviceEvent {
  std::string action;  // "add", "remove", "change"; empty for a mount table change
  std::string devnode; // "/dev/sr0"
  bool mediaPresent = false;  // for "change": the drive now holds a medium
};

struct VolumeChange {
  WPARAM event = 0;  // DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE
  DWORD unitMask = 0;
  bool operator==(const VolumeChange&) const = default;
};

// Turns events into volume changes by comparing the drive table before and
// after each one. Holds the last table it saw.
class VolumeChangeTracker {
 public:
  VolumeChangeTracker();
  std::vector<VolumeChange> OnEvent(const BlockDeviceEvent& event);

 private:
  std::map<char, VolumeInfo> known_;
};

// Watches udev's block subsystem and the mount table on the starting
// thread's loop and posts what the tracker finds.
class UdevVolumeWatcher final : public SystemEventSource {
 public:
  UdevVolumeWatcher();
  ~UdevVolumeWatcher() override;
  void Start() override;
  // Stop (and destruction) belong on the thread that started.
  void Stop() override;
  bool Watching() const;

 private:
  struct State;
  void Deliver(const BlockDeviceEvent& event);
  std::unique_ptr<State> state_;
};

}  // namespace plat
