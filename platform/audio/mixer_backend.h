// What a mixer backend provides to the mixer functions of
// platform/audio/mixer.h: a list of devices, and per open handle the device's
// topology (lines and controls, built once at open), reading and writing of
// whole control values, and change events that become notices.
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/audio/mixer.h"

namespace plat {

struct MixerLineModel {
  MIXERLINEA line;
  std::vector<MIXERCONTROLA> controls;
};

struct MixerDestinationModel {
  MixerLineModel line;
  std::vector<MixerLineModel> sources;
};

// A list control's item texts, by control id.
struct MixerListModel {
  DWORD controlId = 0;
  std::vector<MIXERCONTROLDETAILS_LISTTEXTA> items;
};

struct MixerTopology {
  MIXERCAPSA caps;
  std::vector<MixerDestinationModel> destinations;
  std::vector<MixerListModel> lists;
};

// A descriptor the UI loop watches for a device's events.
struct MixerPollFd {
  int fd = -1;
  short events = 0;
};

// One open handle on a device.
class MixerDevice {
 public:
  using ChangeHandler = std::function<void(UINT msg, DWORD id)>;

  virtual ~MixerDevice() = default;
  virtual const MixerTopology& Topology() const = 0;
  // Every item of a control: one per list item for a list control, else one
  // per channel of the control's line.
  virtual MMRESULT ReadControl(DWORD controlId, std::vector<DWORD>* values) = 0;
  virtual MMRESULT WriteControl(DWORD controlId, const std::vector<DWORD>& values) = 0;
  // Events are turned into calls of `handler` by HandleEvents, never earlier.
  virtual void SetChangeHandler(ChangeHandler handler) = 0;
  virtual std::vector<MixerPollFd> PollFds() const = 0;
  virtual void HandleEvents() = 0;
};

class MixerBackend {
 public:
  virtual ~MixerBackend() = default;
  virtual UINT DeviceCount() = 0;
  virtual MMRESULT GetCaps(UINT device, MIXERCAPSA* caps) = 0;
  virtual MMRESULT Open(UINT device, std::unique_ptr<MixerDevice>* out) = 0;
};

// The backend in use. By default ALSA; the environment variable
// MARIVEL_MIXER=memory selects an in-memory mixer with one standard device.
MixerBackend& GetMixerBackend();
// Installs `backend` (nullptr restores the default). Handles opened on the
// previous backend stay valid until they are closed.
void SetMixerBackend(std::shared_ptr<MixerBackend> backend);

// How device descriptors are watched. By default the message loop of the
// thread that opens a handle watches them (plat::WatchFd), so notices arrive
// on that thread; tests may install their own hooks (empty hooks restore the
// default).
struct MixerFdWatchHooks {
  std::function<std::uint64_t(int fd, short events, std::function<void()> on_ready)> watch;
  std::function<void(std::uint64_t id)> unwatch;
};
void SetMixerFdWatchHooks(MixerFdWatchHooks hooks);

}  // namespace plat

namespace plat {

// Line ids: a destination's is 0xFFFF0000 | destination index, a source's is
// (source index << 16) | destination index.
constexpr DWORD MixerDestinationLineId(DWORD destination) { return 0xFFFF0000u | destination; }
constexpr DWORD MixerSourceLineId(DWORD destination, DWORD source) { return (source << 16) | destination; }

// Fills the numbering fields of every line (indices, line ids, connection
// and control counts, the source flag) from the topology's shape.
void NumberMixerLines(MixerTopology* topology);

// Copies `text` into a fixed name field, cut to fit with its terminator.
template <std::size_t N>
void CopyMixerName(char (&field)[N], std::string_view text) {
  const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  text.copy(field, n);
  field[n] = '\0';
}

}  // namespace plat
