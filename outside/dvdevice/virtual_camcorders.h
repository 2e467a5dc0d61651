// Virtual camcorders declared in the machine registry under
// HKLM\SoftWare\Kestrovia\Marivel\VirtualCamcorders\<n>: "Tape" (a raw DV
// file, or an MPEG-2 transport stream) and "Name". A camcorder is present
// while its tape file is there. The tape watcher reports when a watched
// tape is removed or comes back (inotify on the tapes' folders, changes of
// other files there ignored). A tape is read only when it is a regular file.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace dvdev {

inline constexpr const char* kVirtualCamcordersKey = "SoftWare\\Kestrovia\\Marivel\\VirtualCamcorders";

struct VirtualCamcorder {
  std::string name;
  std::string tape;
  int kind = 1;  // told by the tape's first bytes
};

// Those declared; `present` only those whose tape exists.
std::vector<VirtualCamcorder> ReadVirtualCamcorders(bool presentOnly = true);

// 2 when the file starts like a transport stream, else 1.
int TapeKind(const std::string& path);

class TapeWatcher {
 public:
  // `changed` runs on the watcher's thread after any change in the folders.
  TapeWatcher(const std::vector<std::string>& tapes, std::function<void()> changed);
  ~TapeWatcher();
  TapeWatcher(const TapeWatcher&) = delete;
  TapeWatcher& operator=(const TapeWatcher&) = delete;

 private:
  void Run();
  int fd_ = -1;
  int stopFd_ = -1;
  std::set<std::string> names_;  // the tapes' file names
  std::function<void()> changed_;
  std::thread thread_;
};

}  // namespace dvdev
