#include "platform/audio/memory_mixer.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <poll.h>
#include <stdexcept>

#include "platform/media/radio/virtual_radio.h"

namespace plat {

namespace {
class MemoryMixerView;
}

struct MemoryMixerBackend::Device {
  mutable std::mutex mutex;
  MixerTopology topology;
  std::map<DWORD, std::vector<DWORD>> values;
  std::map<MixerCall, MMRESULT> failures;
  std::vector<MemoryMixerView*> views;
  DWORD next_control = 1;

  MMRESULT Failure(MixerCall call) const {
    auto it = failures.find(call);
    return it == failures.end() ? MMSYSERR_NOERROR : it->second;
  }
  void NotifyAll(UINT msg, DWORD id);  // mutex held
};

namespace {

// One open handle: a snapshot of the topology, the shared values, and the
// notices waiting for delivery (an eventfd tells the loop there are some).
class MemoryMixerView final : public MixerDevice {
 public:
  explicit MemoryMixerView(std::shared_ptr<MemoryMixerBackend::Device> device)
      : device_(std::move(device)), event_fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    std::lock_guard lock(device_->mutex);
    topology_ = device_->topology;
    device_->views.push_back(this);
  }
  ~MemoryMixerView() override {
    {
      std::lock_guard lock(device_->mutex);
      std::erase(device_->views, this);
    }
    if (event_fd_ >= 0) close(event_fd_);
  }

  const MixerTopology& Topology() const override { return topology_; }

  MMRESULT ReadControl(DWORD controlId, std::vector<DWORD>* values) override {
    std::lock_guard lock(device_->mutex);
    if (MMRESULT err = device_->Failure(MixerCall::ReadControl)) return err;
    auto it = device_->values.find(controlId);
    if (it == device_->values.end()) return MIXERR_INVALCONTROL;
    *values = it->second;
    return MMSYSERR_NOERROR;
  }

  MMRESULT WriteControl(DWORD controlId, const std::vector<DWORD>& values) override {
    std::lock_guard lock(device_->mutex);
    if (MMRESULT err = device_->Failure(MixerCall::WriteControl)) return err;
    auto it = device_->values.find(controlId);
    if (it == device_->values.end()) return MIXERR_INVALCONTROL;
    if (it->second != values) {
      it->second = values;
      device_->NotifyAll(MM_MIXM_CONTROL_CHANGE, controlId);
    }
    return MMSYSERR_NOERROR;
  }

  void SetChangeHandler(ChangeHandler handler) override {
    std::lock_guard lock(device_->mutex);
    handler_ = std::move(handler);
  }

  std::vector<MixerPollFd> PollFds() const override {
    if (event_fd_ < 0) return {};
    return {{event_fd_, POLLIN}};
  }

  void HandleEvents() override {
    std::vector<std::pair<UINT, DWORD>> due;
    ChangeHandler handler;
    {
      std::lock_guard lock(device_->mutex);
      due.swap(pending_);
      handler = handler_;
      std::uint64_t count = 0;
      if (event_fd_ >= 0) [[maybe_unused]] auto n = read(event_fd_, &count, sizeof count);
    }
    if (!handler) return;
    for (auto [msg, id] : due) handler(msg, id);
  }

  // Device mutex held.
  void Queue(UINT msg, DWORD id) {
    pending_.emplace_back(msg, id);
    const std::uint64_t one = 1;
    if (event_fd_ >= 0) [[maybe_unused]] auto n = write(event_fd_, &one, sizeof one);
  }

 private:
  std::shared_ptr<MemoryMixerBackend::Device> device_;
  MixerTopology topology_;
  ChangeHandler handler_;
  std::vector<std::pair<UINT, DWORD>> pending_;
  int event_fd_;
};

bool IsListType(DWORD type) { return (type & MIXERCONTROL_CT_CLASS_MASK) == MIXERCONTROL_CT_CLASS_LIST; }

DWORD MaximumFor(DWORD type) {
  if ((type & MIXERCONTROL_CT_UNITS_MASK) == MIXERCONTROL_CT_UNITS_BOOLEAN) return 1;
  return 0xFFFF;
}

MixerLineModel* LineById(MixerTopology& topology, DWORD lineId) {
  for (MixerDestinationModel& dest : topology.destinations) {
    if (dest.line.line.dwLineID == lineId) return &dest.line;
    for (MixerLineModel& src : dest.sources) {
      if (src.line.dwLineID == lineId) return &src;
    }
  }
  return nullptr;
}

}  // namespace

void MemoryMixerBackend::Device::NotifyAll(UINT msg, DWORD id) {
  for (MemoryMixerView* view : views) view->Queue(msg, id);
}

MemoryMixerBackend::MemoryMixerBackend() = default;
MemoryMixerBackend::~MemoryMixerBackend() = default;

MemoryMixerBackend::Device& MemoryMixerBackend::At(UINT device) const {
  if (device >= devices_.size()) throw std::out_of_range("no such memory mixer device");
  return *devices_[device];
}

UINT MemoryMixerBackend::AddDevice(const std::string& name) {
  auto device = std::make_shared<Device>();
  CopyMixerName(device->topology.caps.szPname, name);
  device->topology.caps.vDriverVersion = 0x0100;
  devices_.push_back(std::move(device));
  return static_cast<UINT>(devices_.size() - 1);
}

DWORD MemoryMixerBackend::AddDestination(UINT device, DWORD componentType, const std::string& name, DWORD channels) {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  MixerDestinationModel dest;
  dest.line.line.dwComponentType = componentType;
  dest.line.line.cChannels = channels;
  CopyMixerName(dest.line.line.szShortName, name);
  CopyMixerName(dest.line.line.szName, name);
  d.topology.destinations.push_back(std::move(dest));
  NumberMixerLines(&d.topology);
  return static_cast<DWORD>(d.topology.destinations.size() - 1);
}

DWORD MemoryMixerBackend::AddSource(UINT device, DWORD destination, DWORD componentType, const std::string& name,
                                    DWORD channels) {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  MixerDestinationModel& dest = d.topology.destinations.at(destination);
  MixerLineModel src;
  src.line.dwComponentType = componentType;
  src.line.cChannels = channels;
  CopyMixerName(src.line.szShortName, name);
  CopyMixerName(src.line.szName, name);
  dest.sources.push_back(std::move(src));
  NumberMixerLines(&d.topology);
  return dest.sources.back().line.dwLineID;
}

DWORD MemoryMixerBackend::AddControl(UINT device, DWORD lineId, DWORD controlType, const std::string& name,
                                     DWORD fdwControl, const std::vector<std::string>& items) {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  MixerLineModel* line = LineById(d.topology, lineId);
  if (!line) throw std::out_of_range("no such memory mixer line");
  MIXERCONTROLA control;
  control.dwControlID = d.next_control++;
  control.dwControlType = controlType;
  control.fdwControl = fdwControl;
  control.dwMaximum = MaximumFor(controlType);
  CopyMixerName(control.szShortName, name);
  CopyMixerName(control.szName, name);
  std::vector<DWORD> values(std::max<DWORD>(line->line.cChannels, 1), 0);
  if (IsListType(controlType)) {
    control.cMultipleItems = static_cast<DWORD>(items.size());
    control.fdwControl |= MIXERCONTROL_CONTROLF_MULTIPLE | MIXERCONTROL_CONTROLF_UNIFORM;
    MixerListModel list;
    list.controlId = control.dwControlID;
    for (const std::string& text : items) {
      MIXERCONTROLDETAILS_LISTTEXTA item;
      CopyMixerName(item.szName, text);
      list.items.push_back(item);
    }
    d.topology.lists.push_back(std::move(list));
    values.assign(items.size(), 0);
    // A multiplexer always has one item chosen.
    if (controlType < MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT && !values.empty()) values[0] = 1;
  }
  line->controls.push_back(control);
  d.values[control.dwControlID] = std::move(values);
  NumberMixerLines(&d.topology);
  return control.dwControlID;
}

std::string MemoryMixerDeviceName() {
  // While the virtual radio is declared, the device is the radio's sound
  // card: its name is the radio's audio input, so a line recording of the
  // device records the tuned station.
  if (const auto radio = plat::radio::ReadVirtualRadioConfig()) return plat::radio::VirtualRadioInputName(*radio);
  return "Memory Mixer";
}

UINT MemoryMixerBackend::AddStandardDevice(const std::string& name) { return AddCardDevice(name, false); }

UINT MemoryMixerBackend::AddRadioDevice(const std::string& name) { return AddCardDevice(name, true); }

UINT MemoryMixerBackend::AddCardDevice(const std::string& name, bool radio) {
  const UINT device = AddDevice(name);
  const DWORD speakers = AddDestination(device, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, "Volume Control");
  const DWORD speakersLine = MixerDestinationLineId(speakers);
  AddControl(device, speakersLine, MIXERCONTROL_CONTROLTYPE_VOLUME, "Volume");
  AddControl(device, speakersLine, MIXERCONTROL_CONTROLTYPE_MUTE, "Mute");
  std::vector<std::pair<DWORD, const char*>> playback = {{MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, "Wave"},
                                                         {MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, "CD Audio"},
                                                         {MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line In"},
                                                         {MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, "Microphone"}};
  std::vector<std::pair<DWORD, const char*>> recording = {{MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, "Microphone"},
                                                          {MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line In"},
                                                          {MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, "CD Audio"}};
  if (radio) {
    // The radio's own line, heard and recordable like the others.
    playback.emplace_back(MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY, "Radio");
    recording.emplace_back(MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY, "Radio");
  }
  for (auto [type, source] : playback) {
    const DWORD line = AddSource(device, speakers, type, source);
    AddControl(device, line, MIXERCONTROL_CONTROLTYPE_VOLUME, "Volume");
    AddControl(device, line, MIXERCONTROL_CONTROLTYPE_MUTE, "Mute");
  }
  const DWORD wavein = AddDestination(device, MIXERLINE_COMPONENTTYPE_DST_WAVEIN, "Recording Control");
  const DWORD waveinLine = MixerDestinationLineId(wavein);
  AddControl(device, waveinLine, MIXERCONTROL_CONTROLTYPE_VOLUME, "Recording Volume");
  std::vector<std::string> items;
  for (const auto& entry : recording) items.emplace_back(entry.second);
  AddControl(device, waveinLine, MIXERCONTROL_CONTROLTYPE_MUX, "Recording Source", 0, items);
  for (auto [type, source] : recording) {
    AddControl(device, AddSource(device, wavein, type, source), MIXERCONTROL_CONTROLTYPE_VOLUME, "Volume");
  }
  return device;
}

void MemoryMixerBackend::SetValues(UINT device, DWORD controlId, const std::vector<DWORD>& values) {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  auto it = d.values.find(controlId);
  if (it == d.values.end()) throw std::out_of_range("no such memory mixer control");
  if (it->second.size() != values.size()) throw std::invalid_argument("wrong number of control values");
  it->second = values;
  d.NotifyAll(MM_MIXM_CONTROL_CHANGE, controlId);
}

std::vector<DWORD> MemoryMixerBackend::Values(UINT device, DWORD controlId) const {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  auto it = d.values.find(controlId);
  return it == d.values.end() ? std::vector<DWORD>{} : it->second;
}

void MemoryMixerBackend::SignalLineChange(UINT device, DWORD lineId) {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  d.NotifyAll(MM_MIXM_LINE_CHANGE, lineId);
}

void MemoryMixerBackend::FailCall(UINT device, MixerCall call, MMRESULT error) {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  if (error == MMSYSERR_NOERROR) {
    d.failures.erase(call);
  } else {
    d.failures[call] = error;
  }
}

int MemoryMixerBackend::OpenHandles(UINT device) const {
  Device& d = At(device);
  std::lock_guard lock(d.mutex);
  return static_cast<int>(d.views.size());
}

UINT MemoryMixerBackend::DeviceCount() { return static_cast<UINT>(devices_.size()); }

MMRESULT MemoryMixerBackend::GetCaps(UINT device, MIXERCAPSA* caps) {
  if (device >= devices_.size()) return MMSYSERR_BADDEVICEID;
  Device& d = *devices_[device];
  std::lock_guard lock(d.mutex);
  if (MMRESULT err = d.Failure(MixerCall::Caps)) return err;
  *caps = d.topology.caps;
  return MMSYSERR_NOERROR;
}

MMRESULT MemoryMixerBackend::Open(UINT device, std::unique_ptr<MixerDevice>* out) {
  if (device >= devices_.size()) return MMSYSERR_BADDEVICEID;
  {
    std::lock_guard lock(devices_[device]->mutex);
    if (MMRESULT err = devices_[device]->Failure(MixerCall::Open)) return err;
  }
  *out = std::make_unique<MemoryMixerView>(devices_[device]);
  return MMSYSERR_NOERROR;
}

}  // namespace plat
