// The remote control's special keys from the kernel's input devices. Only
// devices that offer one of those keys and are not full keyboards are read
// (keyboards reach the program through the display backend already). Key
// presses arrive as the remote's key codes on the thread that started the
// reader, from descriptors its message loop watches. Without such a device,
// or without permission to read one, the reader is idle.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/types.h"
#include "platform/win/message.h"

namespace plat {

// The remote's code for a kernel key code (KEY_*), if it is one of its keys.
std::optional<DWORD> RemoteKeyCode(unsigned linuxKey);

// Whether a device with these keys (a bit per KEY_* code) is read: it has a
// remote key and no letter keys.
bool IsRemoteKeyDevice(const std::vector<bool>& keys);

class RemoteKeyReader {
 public:
  using Sink = std::function<void(DWORD code)>;
  explicit RemoteKeyReader(std::string inputDir = "/dev/input");
  ~RemoteKeyReader();
  RemoteKeyReader(const RemoteKeyReader&) = delete;
  RemoteKeyReader& operator=(const RemoteKeyReader&) = delete;

  // Opens the matching devices; calling it again does nothing more. Stop
  // (and destruction) belong on the thread that started.
  void Start(Sink sink);
  void Stop();
  // Reads an already open event descriptor too, and owns it.
  void Attach(int fd);
  std::size_t DeviceCount() const { return devices_.size(); }

 private:
  struct Device {
    int fd = -1;
    FdWatchId watch = 0;
  };
  void Read(int fd);
  void Drop(int fd);
  std::string dir_;
  Sink sink_;
  std::vector<Device> devices_;
  bool started_ = false;
};

}  // namespace plat
