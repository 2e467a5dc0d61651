#include "platform/sys/volume_events.h"

#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>

#include "platform/win/message.h"

namespace plat {

namespace {

std::map<char, VolumeInfo> ScanByLetter() {
  std::map<char, VolumeInfo> out;
  for (auto& volume : GetVolumes()) {
    if (volume.letter >= 'A' && volume.letter <= 'Z') out[volume.letter] = volume;
  }
  return out;
}

DWORD MaskOf(char letter) { return DWORD{1} << (letter - 'A'); }

// What the declared virtual drives hold: a folder or an image that comes or
// goes changes it. No kernel event tells of those.
std::string VirtualDrivesState() {
  std::string state;
  for (const VolumeInfo& drive : ReadVirtualDrives()) {
    std::error_code ec;
    const bool image = !drive.image.empty() && std::filesystem::exists(drive.image, ec);
    state += std::string{drive.letter, drive.root.empty() ? '0' : '1', image ? '1' : '0'};
  }
  return state;
}

// How often the virtual drives are looked at.
constexpr long kVirtualDrivePollMs = 1000;

}  // namespace

VolumeChangeTracker::VolumeChangeTracker() : known_(ScanByLetter()) {}

std::vector<VolumeChange> VolumeChangeTracker::OnEvent(const BlockDeviceEvent& event) {
  std::map<char, VolumeInfo> now = ScanByLetter();
  const bool gone = event.action == "remove" || (event.action == "change" && !event.mediaPresent);
  const bool came = event.action == "add" || (event.action == "change" && event.mediaPresent);
  std::vector<VolumeChange> changes;
  // Removals first, from the table as it was: a gone volume has no mask now.
  for (const auto& [letter, before] : known_) {
    auto after = now.find(letter);
    // An optical drive's medium is told by udev; other volumes come and go
    // with their mount.
    const bool vanished = after == now.end() || after->second.device != before.device ||
                          (before.type != DRIVE_CDROM && !before.root.empty() && after->second.root.empty());
    const bool ejected = gone && !event.devnode.empty() && before.device == event.devnode;
    if (vanished || ejected) changes.push_back({DBT_DEVICEREMOVECOMPLETE, MaskOf(letter)});
  }
  for (const auto& [letter, after] : now) {
    auto before = known_.find(letter);
    const bool mounted = after.type != DRIVE_CDROM && before != known_.end() && before->second.root.empty() &&
                         !after.root.empty();
    const bool appeared = before == known_.end() || before->second.device != after.device || mounted;
    const bool inserted = came && !event.devnode.empty() && after.device == event.devnode;
    if (appeared || inserted) changes.push_back({DBT_DEVICEARRIVAL, MaskOf(letter)});
  }
  known_ = std::move(now);
  return changes;
}

struct UdevVolumeWatcher::State {
  udev* context = nullptr;
  udev_monitor* monitor = nullptr;
  int mounts = -1;
  int virtualTimer = -1;
  FdWatchId udevWatch = 0;
  FdWatchId mountsWatch = 0;
  FdWatchId virtualWatch = 0;
  std::string virtualState = VirtualDrivesState();
  VolumeChangeTracker tracker;

  ~State() {
    if (udevWatch) UnwatchFd(udevWatch);
    if (mountsWatch) UnwatchFd(mountsWatch);
    if (virtualWatch) UnwatchFd(virtualWatch);
    if (virtualTimer >= 0) close(virtualTimer);
    if (mounts >= 0) close(mounts);
    if (monitor) udev_monitor_unref(monitor);
    if (context) udev_unref(context);
  }
};

UdevVolumeWatcher::UdevVolumeWatcher() = default;
UdevVolumeWatcher::~UdevVolumeWatcher() = default;

void UdevVolumeWatcher::Start() {
  if (state_) return;
  auto state = std::make_unique<State>();
  state->context = udev_new();
  if (state->context) state->monitor = udev_monitor_new_from_netlink(state->context, "udev");
  if (state->monitor && udev_monitor_filter_add_match_subsystem_devtype(state->monitor, "block", nullptr) >= 0 &&
      udev_monitor_enable_receiving(state->monitor) >= 0) {
    udev_monitor* monitor = state->monitor;
    state->udevWatch = WatchFd(udev_monitor_get_fd(monitor), POLLIN, [this, monitor](int, short) {
      while (udev_device* device = udev_monitor_receive_device(monitor)) {
        BlockDeviceEvent event;
        if (const char* action = udev_device_get_action(device)) event.action = action;
        if (const char* node = udev_device_get_devnode(device)) event.devnode = node;
        const char* media = udev_device_get_property_value(device, "ID_CDROM_MEDIA");
        event.mediaPresent = media && std::strcmp(media, "1") == 0;
        udev_device_unref(device);
        Deliver(event);
      }
    });
  }
  // The mount table signals a change as an exceptional condition.
  state->mounts = open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
  if (state->mounts >= 0) {
    state->mountsWatch = WatchFd(state->mounts, POLLPRI, [this](int, short) { Deliver({}); });
  }
  // A declared virtual drive's folder or image is looked at now and then.
  state->virtualTimer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (state->virtualTimer >= 0) {
    itimerspec period{};
    period.it_interval.tv_sec = kVirtualDrivePollMs / 1000;
    period.it_interval.tv_nsec = (kVirtualDrivePollMs % 1000) * 1'000'000;
    period.it_value = period.it_interval;
    timerfd_settime(state->virtualTimer, 0, &period, nullptr);
    const int timer = state->virtualTimer;
    state->virtualWatch = WatchFd(timer, POLLIN, [this, timer](int, short) {
      std::uint64_t expirations = 0;
      while (read(timer, &expirations, sizeof expirations) > 0) {
      }
      std::string now = VirtualDrivesState();
      if (now == state_->virtualState) return;
      state_->virtualState = std::move(now);
      Deliver({});
    });
  }
  state_ = std::move(state);
}

void UdevVolumeWatcher::Stop() { state_.reset(); }

bool UdevVolumeWatcher::Watching() const { return state_ && state_->udevWatch != 0; }

void UdevVolumeWatcher::Deliver(const BlockDeviceEvent& event) {
  for (const VolumeChange& change : state_->tracker.OnEvent(event)) {
    SystemEvents().PostVolumeChange(change.event, change.unitMask);
  }
}

}  // namespace plat
