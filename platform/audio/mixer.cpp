// The mixer functions over the backend in use: a table of open handles, line
// and control lookups in the topology read at open, the channel and list
// rules of control values, and the delivery of change notices.
#include "platform/audio/mixer.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/audio/mixer_backend.h"
#include "platform/win/message.h"

namespace plat {

// Chosen in default_backend.cpp.
std::shared_ptr<MixerBackend> MakeDefaultMixerBackend();

namespace {

struct PendingNotice {
  UINT msg = 0;
  DWORD id = 0;
};

struct OpenMixer {
  std::shared_ptr<MixerBackend> backend;  // keeps the backend alive while open
  std::unique_ptr<MixerDevice> device;
  MixerNoticeCallback notify;
  std::vector<PendingNotice> pending;
  std::vector<std::uint64_t> watches;
};

MixerFdWatchHooks LoopWatchHooks() {
  return {[](int fd, short events, std::function<void()> on_ready) {
            return WatchFd(fd, events, [ready = std::move(on_ready)](int, short) { ready(); });
          },
          [](std::uint64_t id) { UnwatchFd(id); }};
}

struct MixerState {
  std::mutex mutex;
  std::map<HMIXER, std::shared_ptr<OpenMixer>> handles;
  std::uintptr_t next_handle = 1;
  std::shared_ptr<MixerBackend> backend;
  MixerFdWatchHooks hooks = LoopWatchHooks();
};

MixerState& State() {
  static MixerState state;
  return state;
}

std::shared_ptr<MixerBackend> CurrentBackend() {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.backend) state.backend = MakeDefaultMixerBackend();
  return state.backend;
}

std::shared_ptr<OpenMixer> Find(HMIXER mixer) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  auto it = state.handles.find(mixer);
  return it == state.handles.end() ? nullptr : it->second;
}

// The control with `id` and the channel count of its line.
struct ControlRef {
  const MIXERCONTROLA* control = nullptr;
  DWORD channels = 1;
};

ControlRef FindControl(const MixerTopology& topology, DWORD id) {
  auto search = [id](const MixerLineModel& line) -> ControlRef {
    for (const MIXERCONTROLA& c : line.controls) {
      if (c.dwControlID == id) return {&c, std::max<DWORD>(line.line.cChannels, 1)};
    }
    return {};
  };
  for (const MixerDestinationModel& dest : topology.destinations) {
    if (ControlRef r = search(dest.line); r.control) return r;
    for (const MixerLineModel& src : dest.sources) {
      if (ControlRef r = search(src); r.control) return r;
    }
  }
  return {};
}

const MixerLineModel* FindLine(const MixerTopology& topology, DWORD lineId) {
  for (const MixerDestinationModel& dest : topology.destinations) {
    if (dest.line.line.dwLineID == lineId) return &dest.line;
    for (const MixerLineModel& src : dest.sources) {
      if (src.line.dwLineID == lineId) return &src;
    }
  }
  return nullptr;
}

bool IsList(const MIXERCONTROLA& control) {
  return (control.dwControlType & MIXERCONTROL_CT_CLASS_MASK) == MIXERCONTROL_CT_CLASS_LIST;
}

// Turns the events the device has gathered into notices. A receiver may close
// the handle (or any other) while it runs.
void DeliverFor(HMIXER mixer) {
  std::shared_ptr<OpenMixer> open = Find(mixer);
  if (!open) return;
  open->device->HandleEvents();
  std::vector<PendingNotice> due;
  due.swap(open->pending);
  for (const PendingNotice& notice : due) {
    if (!Find(mixer)) return;
    if (open->notify) open->notify(notice.msg, mixer, notice.id);
  }
}

}  // namespace

void NumberMixerLines(MixerTopology* topology) {
  topology->caps.cDestinations = static_cast<DWORD>(topology->destinations.size());
  for (DWORD d = 0; d < topology->destinations.size(); ++d) {
    MixerDestinationModel& dest = topology->destinations[d];
    MIXERLINEA& line = dest.line.line;
    line.dwDestination = d;
    line.dwSource = 0;
    line.dwLineID = MixerDestinationLineId(d);
    line.fdwLine = MIXERLINE_LINEF_ACTIVE;
    line.cConnections = static_cast<DWORD>(dest.sources.size());
    line.cControls = static_cast<DWORD>(dest.line.controls.size());
    for (DWORD s = 0; s < dest.sources.size(); ++s) {
      MIXERLINEA& src = dest.sources[s].line;
      src.dwDestination = d;
      src.dwSource = s;
      src.dwLineID = MixerSourceLineId(d, s);
      src.fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
      src.cConnections = 0;
      src.cControls = static_cast<DWORD>(dest.sources[s].controls.size());
    }
  }
}

MixerBackend& GetMixerBackend() { return *CurrentBackend(); }

void SetMixerBackend(std::shared_ptr<MixerBackend> backend) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  state.backend = std::move(backend);
}

void SetMixerFdWatchHooks(MixerFdWatchHooks hooks) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  state.hooks = hooks.watch ? std::move(hooks) : LoopWatchHooks();
}

UINT mixerGetNumDevs() { return CurrentBackend()->DeviceCount(); }

MMRESULT mixerGetDevCapsA(UINT device, MIXERCAPSA* caps) {
  if (!caps) return MMSYSERR_INVALPARAM;
  std::shared_ptr<MixerBackend> backend = CurrentBackend();
  const UINT count = backend->DeviceCount();
  if (count == 0) return MMSYSERR_NODRIVER;
  if (device >= count) return MMSYSERR_BADDEVICEID;
  return backend->GetCaps(device, caps);
}

MMRESULT mixerOpen(HMIXER* mixer, UINT device, MixerNoticeCallback notify) {
  if (!mixer) return MMSYSERR_INVALPARAM;
  *mixer = nullptr;
  std::shared_ptr<MixerBackend> backend = CurrentBackend();
  const UINT count = backend->DeviceCount();
  if (count == 0) return MMSYSERR_NODRIVER;
  if (device >= count) return MMSYSERR_BADDEVICEID;

  auto open = std::make_shared<OpenMixer>();
  if (MMRESULT err = backend->Open(device, &open->device); err != MMSYSERR_NOERROR) return err;
  if (!open->device) return MMSYSERR_ERROR;
  open->backend = backend;
  open->notify = std::move(notify);
  OpenMixer* raw = open.get();
  open->device->SetChangeHandler([raw](UINT msg, DWORD id) { raw->pending.push_back({msg, id}); });

  MixerState& state = State();
  HMIXER handle = nullptr;
  MixerFdWatchHooks hooks;
  {
    std::lock_guard lock(state.mutex);
    handle = reinterpret_cast<HMIXER>(state.next_handle++);
    state.handles.emplace(handle, open);
    hooks = state.hooks;
  }
  if (open->notify && hooks.watch) {
    for (const MixerPollFd& pfd : open->device->PollFds()) {
      open->watches.push_back(hooks.watch(pfd.fd, pfd.events, [handle] { DeliverFor(handle); }));
    }
  }
  *mixer = handle;
  return MMSYSERR_NOERROR;
}

MMRESULT mixerClose(HMIXER mixer) {
  std::shared_ptr<OpenMixer> open;
  MixerFdWatchHooks hooks;
  {
    MixerState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.handles.find(mixer);
    if (it == state.handles.end()) return MMSYSERR_INVALHANDLE;
    open = std::move(it->second);
    state.handles.erase(it);
    hooks = state.hooks;
  }
  if (hooks.unwatch) {
    for (std::uint64_t id : open->watches) hooks.unwatch(id);
  }
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, DWORD flags) {
  std::shared_ptr<OpenMixer> open = Find(mixer);
  if (!open) return MMSYSERR_INVALHANDLE;
  if (!line) return MMSYSERR_INVALPARAM;
  const MixerTopology& topology = open->device->Topology();
  const MixerLineModel* found = nullptr;
  switch (flags) {
    case MIXER_GETLINEINFOF_DESTINATION:
      if (line->dwDestination >= topology.destinations.size()) return MIXERR_INVALLINE;
      found = &topology.destinations[line->dwDestination].line;
      break;
    case MIXER_GETLINEINFOF_SOURCE: {
      if (line->dwDestination >= topology.destinations.size()) return MIXERR_INVALLINE;
      const MixerDestinationModel& dest = topology.destinations[line->dwDestination];
      if (line->dwSource >= dest.sources.size()) return MIXERR_INVALLINE;
      found = &dest.sources[line->dwSource];
      break;
    }
    case MIXER_GETLINEINFOF_LINEID:
      found = FindLine(topology, line->dwLineID);
      if (!found) return MIXERR_INVALLINE;
      break;
    default:
      return MMSYSERR_INVALFLAG;
  }
  *line = found->line;
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineControlsA(HMIXER mixer, DWORD lineId, std::vector<MIXERCONTROLA>* controls) {
  std::shared_ptr<OpenMixer> open = Find(mixer);
  if (!open) return MMSYSERR_INVALHANDLE;
  if (!controls) return MMSYSERR_INVALPARAM;
  const MixerLineModel* line = FindLine(open->device->Topology(), lineId);
  if (!line) return MIXERR_INVALLINE;
  *controls = line->controls;
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
  std::shared_ptr<OpenMixer> open = Find(mixer);
  if (!open) return MMSYSERR_INVALHANDLE;
  if (!details) return MMSYSERR_INVALPARAM;
  const MixerTopology& topology = open->device->Topology();
  const ControlRef ref = FindControl(topology, details->dwControlID);
  if (!ref.control) return MIXERR_INVALCONTROL;
  const bool list = IsList(*ref.control);

  if (flags == MIXER_GETCONTROLDETAILSF_LISTTEXT) {
    if (!list) return MMSYSERR_INVALPARAM;
    auto it = std::find_if(topology.lists.begin(), topology.lists.end(),
                           [&](const MixerListModel& l) { return l.controlId == details->dwControlID; });
    details->listTexts = it == topology.lists.end() ? std::vector<MIXERCONTROLDETAILS_LISTTEXTA>{} : it->items;
    details->listTexts.resize(ref.control->cMultipleItems);
    details->cChannels = 1;
    details->cMultipleItems = ref.control->cMultipleItems;
    return MMSYSERR_NOERROR;
  }
  if (flags != MIXER_GETCONTROLDETAILSF_VALUE) return MMSYSERR_INVALFLAG;

  std::vector<DWORD> values;
  if (MMRESULT err = open->device->ReadControl(details->dwControlID, &values); err != MMSYSERR_NOERROR) return err;
  if (list) {
    values.resize(ref.control->cMultipleItems);
    details->cChannels = 1;
    details->cMultipleItems = ref.control->cMultipleItems;
  } else {
    if (details->cChannels != 1 && details->cChannels != ref.channels) return MMSYSERR_INVALPARAM;
    values.resize(std::max<std::size_t>(values.size(), 1));
    values.resize(details->cChannels, values.front());
    details->cMultipleItems = 0;
  }
  details->values = std::move(values);
  return MMSYSERR_NOERROR;
}

MMRESULT mixerSetControlDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details, DWORD flags) {
  std::shared_ptr<OpenMixer> open = Find(mixer);
  if (!open) return MMSYSERR_INVALHANDLE;
  if (!details) return MMSYSERR_INVALPARAM;
  if (flags != MIXER_SETCONTROLDETAILSF_VALUE) return MMSYSERR_INVALFLAG;
  const ControlRef ref = FindControl(open->device->Topology(), details->dwControlID);
  if (!ref.control) return MIXERR_INVALCONTROL;

  std::vector<DWORD> values = details->values;
  if (IsList(*ref.control)) {
    if (values.size() != ref.control->cMultipleItems) return MMSYSERR_INVALPARAM;
  } else {
    if (details->cChannels != 1 && details->cChannels != ref.channels) return MMSYSERR_INVALPARAM;
    if (values.size() != details->cChannels) return MMSYSERR_INVALPARAM;
    // One item stands for every channel.
    if (details->cChannels == 1) values.assign(ref.channels, values.front());
  }
  for (DWORD v : values) {
    if (v < ref.control->dwMinimum || v > ref.control->dwMaximum) return MIXERR_INVALVALUE;
  }
  return open->device->WriteControl(details->dwControlID, values);
}

void mixerDeliverNotices() {
  std::vector<HMIXER> handles;
  {
    MixerState& state = State();
    std::lock_guard lock(state.mutex);
    for (const auto& [handle, open] : state.handles) handles.push_back(handle);
  }
  for (HMIXER handle : handles) DeliverFor(handle);
}

}  // namespace plat
