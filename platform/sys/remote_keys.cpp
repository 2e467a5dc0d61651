#include "platform/sys/remote_keys.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <array>
#include <cstring>
#include <utility>

namespace plat {

namespace {

// Kernel keys of remotes and media receivers and the remote's codes: back,
// home, and the transport keys.
constexpr std::array<std::pair<unsigned, DWORD>, 18> kRemoteKeys{{
    {KEY_BACK, 1},
    {KEY_EXIT, 7},
    {KEY_HOMEPAGE, 0x10060000},
    {KEY_MEDIA, 0x10060000},
    {KEY_VOLUMEDOWN, 9},
    {KEY_VOLUMEUP, 10},
    {KEY_NEXTSONG, 11},
    {KEY_NEXT, 11},
    {KEY_PREVIOUSSONG, 12},
    {KEY_PREVIOUS, 12},
    {KEY_STOPCD, 13},
    {KEY_STOP, 13},
    {KEY_PLAYPAUSE, 14},
    {KEY_PLAY, 14},
    {KEY_PAUSE, 14},
    {KEY_FASTFORWARD, 49},
    {KEY_REWIND, 50},
    {KEY_RECORD, 48},
}};

bool TestBit(const std::vector<unsigned char>& bits, unsigned bit) {
  return bit / 8 < bits.size() && (bits[bit / 8] >> (bit % 8)) & 1;
}

}  // namespace

std::optional<DWORD> RemoteKeyCode(unsigned linuxKey) {
  for (const auto& [key, code] : kRemoteKeys) {
    if (key == linuxKey) return code;
  }
  return std::nullopt;
}

bool IsRemoteKeyDevice(const std::vector<bool>& keys) {
  auto has = [&keys](unsigned key) { return key < keys.size() && keys[key]; };
  if (has(KEY_A) || has(KEY_Z)) return false;
  return std::any_of(kRemoteKeys.begin(), kRemoteKeys.end(), [&has](const auto& entry) { return has(entry.first); });
}

RemoteKeyReader::RemoteKeyReader(std::string inputDir) : dir_(std::move(inputDir)) {}
RemoteKeyReader::~RemoteKeyReader() { Stop(); }

void RemoteKeyReader::Start(Sink sink) {
  if (started_) return;
  started_ = true;
  sink_ = std::move(sink);
  DIR* dir = opendir(dir_.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    if (std::strncmp(entry->d_name, "event", 5) != 0) continue;
    const std::string path = dir_ + "/" + entry->d_name;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    std::vector<unsigned char> bits(KEY_MAX / 8 + 1);
    std::vector<bool> keys;
    if (ioctl(fd, EVIOCGBIT(EV_KEY, bits.size()), bits.data()) >= 0) {
      keys.resize(KEY_MAX + 1);
      for (unsigned key = 0; key <= KEY_MAX; ++key) keys[key] = TestBit(bits, key);
    }
    if (!IsRemoteKeyDevice(keys)) {
      close(fd);
      continue;
    }
    Attach(fd);
  }
  closedir(dir);
}

void RemoteKeyReader::Attach(int fd) {
  Device device;
  device.fd = fd;
  device.watch = WatchFd(fd, POLLIN, [this](int ready, short) { Read(ready); });
  devices_.push_back(device);
}

void RemoteKeyReader::Stop() {
  for (Device& device : devices_) {
    UnwatchFd(device.watch);
    close(device.fd);
  }
  devices_.clear();
  sink_ = nullptr;
  started_ = false;
}

void RemoteKeyReader::Read(int fd) {
  input_event events[32];
  for (;;) {
    const ssize_t n = read(fd, events, sizeof(events));
    if (n < 0 && errno == EAGAIN) return;
    // The device went away (unplugged): stop reading it.
    if (n <= 0) {
      Drop(fd);
      return;
    }
    const std::size_t count = static_cast<std::size_t>(n) / sizeof(input_event);
    for (std::size_t i = 0; i < count; ++i) {
      // Presses only: a held key's repeats would run an action many times.
      if (events[i].type != EV_KEY || events[i].value != 1) continue;
      const auto code = RemoteKeyCode(events[i].code);
      if (!code || !sink_) continue;
      // The sink may stop the reader; keep it alive for its own call.
      const Sink sink = sink_;
      sink(*code);
      if (!started_) return;
    }
  }
}

void RemoteKeyReader::Drop(int fd) {
  auto it = std::find_if(devices_.begin(), devices_.end(), [fd](const Device& d) { return d.fd == fd; });
  if (it == devices_.end()) return;
  UnwatchFd(it->watch);
  close(it->fd);
  devices_.erase(it);
}

}  // namespace plat
