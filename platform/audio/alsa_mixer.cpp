#include "platform/audio/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace plat {
namespace {

constexpr DWORD kFullScale = 65535;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// What a control id stands for on the card.
enum class Binding {
  PlaybackVolume,
  PlaybackMute,
  CaptureVolume,
  CaptureMute,
  CaptureSourceEnum,    // multiplexer over an enumerated element's items
  CaptureSwitchList,    // mixer list over elements' capture switches
};

struct ControlBinding {
  Binding kind = Binding::PlaybackVolume;
  snd_mixer_elem_t* elem = nullptr;          // null once the element is gone
  std::vector<snd_mixer_elem_t*> items;      // CaptureSwitchList
  DWORD channels = 1;
  DWORD lineId = 0;
};

std::string ElementName(snd_mixer_elem_t* elem) {
  std::string name = snd_mixer_selem_get_name(elem);
  if (unsigned index = snd_mixer_selem_get_index(elem); index > 0) name += " " + std::to_string(index);
  return name;
}

DWORD ToScale(long value, long min, long max) {
  if (max <= min) return 0;
  value = std::clamp(value, min, max);
  return static_cast<DWORD>((static_cast<long long>(value - min) * kFullScale) / (max - min));
}

long FromScale(DWORD value, long min, long max) {
  if (max <= min) return min;
  return min + static_cast<long>((static_cast<long long>(value) * (max - min) + kFullScale / 2) / kFullScale);
}

auto Channel(DWORD index) { return static_cast<snd_mixer_selem_channel_id_t>(index); }

class AlsaMixerDevice final : public MixerDevice {
 public:
  ~AlsaMixerDevice() override {
    if (mixer_) snd_mixer_close(mixer_);
  }

  static MMRESULT Open(int card, std::unique_ptr<AlsaMixerDevice>* out) {
    auto device = std::unique_ptr<AlsaMixerDevice>(new AlsaMixerDevice);
    const std::string hw = "hw:" + std::to_string(card);
    if (snd_mixer_open(&device->mixer_, 0) < 0) {
      device->mixer_ = nullptr;
      return MMSYSERR_NODRIVER;
    }
    if (snd_mixer_attach(device->mixer_, hw.c_str()) < 0 || snd_mixer_selem_register(device->mixer_, nullptr, nullptr) < 0 ||
        snd_mixer_load(device->mixer_) < 0) {
      return MMSYSERR_NODRIVER;
    }
    char* name = nullptr;
    if (snd_card_get_name(card, &name) == 0 && name) {
      CopyMixerName(device->topology_.caps.szPname, name);
      std::free(name);
    }
    device->Build();
    *out = std::move(device);
    return MMSYSERR_NOERROR;
  }

  const MixerTopology& Topology() const override { return topology_; }

  MMRESULT ReadControl(DWORD controlId, std::vector<DWORD>* values) override {
    const ControlBinding* b = Find(controlId);
    if (!b) return MIXERR_INVALCONTROL;
    values->clear();
    switch (b->kind) {
      case Binding::PlaybackVolume:
      case Binding::CaptureVolume: {
        if (!b->elem) return MMSYSERR_ERROR;
        const bool playback = b->kind == Binding::PlaybackVolume;
        long min = 0, max = 0;
        if (playback) {
          snd_mixer_selem_get_playback_volume_range(b->elem, &min, &max);
        } else {
          snd_mixer_selem_get_capture_volume_range(b->elem, &min, &max);
        }
        for (DWORD ch = 0; ch < b->channels; ++ch) {
          long v = 0;
          const int rc = playback ? snd_mixer_selem_get_playback_volume(b->elem, Channel(ch), &v)
                                  : snd_mixer_selem_get_capture_volume(b->elem, Channel(ch), &v);
          if (rc < 0) return MMSYSERR_ERROR;
          values->push_back(ToScale(v, min, max));
        }
        return MMSYSERR_NOERROR;
      }
      case Binding::PlaybackMute:
      case Binding::CaptureMute:
        if (!b->elem) return MMSYSERR_ERROR;
        for (DWORD ch = 0; ch < b->channels; ++ch) {
          int on = 0;
          const int rc = b->kind == Binding::PlaybackMute ? snd_mixer_selem_get_playback_switch(b->elem, Channel(ch), &on)
                                                          : snd_mixer_selem_get_capture_switch(b->elem, Channel(ch), &on);
          if (rc < 0) return MMSYSERR_ERROR;
          values->push_back(on ? 0 : 1);
        }
        return MMSYSERR_NOERROR;
      case Binding::CaptureSourceEnum: {
        if (!b->elem) return MMSYSERR_ERROR;
        unsigned item = 0;
        if (snd_mixer_selem_get_enum_item(b->elem, SND_MIXER_SCHN_FRONT_LEFT, &item) < 0) return MMSYSERR_ERROR;
        const int count = snd_mixer_selem_get_enum_items(b->elem);
        for (int i = 0; i < count; ++i) values->push_back(static_cast<unsigned>(i) == item ? 1 : 0);
        return MMSYSERR_NOERROR;
      }
      case Binding::CaptureSwitchList:
        for (snd_mixer_elem_t* item : b->items) {
          int on = 0;
          if (item) snd_mixer_selem_get_capture_switch(item, SND_MIXER_SCHN_FRONT_LEFT, &on);
          values->push_back(on ? 1 : 0);
        }
        return MMSYSERR_NOERROR;
    }
    return MMSYSERR_ERROR;
  }

  MMRESULT WriteControl(DWORD controlId, const std::vector<DWORD>& values) override {
    const ControlBinding* b = Find(controlId);
    if (!b) return MIXERR_INVALCONTROL;
    if (b->kind != Binding::CaptureSwitchList && !b->elem) return MMSYSERR_ERROR;
    int rc = 0;
    switch (b->kind) {
      case Binding::PlaybackVolume:
      case Binding::CaptureVolume: {
        const bool playback = b->kind == Binding::PlaybackVolume;
        long min = 0, max = 0;
        if (playback) {
          snd_mixer_selem_get_playback_volume_range(b->elem, &min, &max);
        } else {
          snd_mixer_selem_get_capture_volume_range(b->elem, &min, &max);
        }
        for (DWORD ch = 0; ch < b->channels && ch < values.size() && rc >= 0; ++ch) {
          const long v = FromScale(values[ch], min, max);
          rc = playback ? snd_mixer_selem_set_playback_volume(b->elem, Channel(ch), v)
                        : snd_mixer_selem_set_capture_volume(b->elem, Channel(ch), v);
        }
        break;
      }
      case Binding::PlaybackMute:
      case Binding::CaptureMute:
        for (DWORD ch = 0; ch < b->channels && ch < values.size() && rc >= 0; ++ch) {
          const int on = values[ch] ? 0 : 1;
          rc = b->kind == Binding::PlaybackMute ? snd_mixer_selem_set_playback_switch(b->elem, Channel(ch), on)
                                                : snd_mixer_selem_set_capture_switch(b->elem, Channel(ch), on);
        }
        break;
      case Binding::CaptureSourceEnum: {
        auto chosen = std::find(values.begin(), values.end(), 1u);
        if (chosen == values.end()) return MIXERR_INVALVALUE;
        const auto item = static_cast<unsigned>(chosen - values.begin());
        rc = snd_mixer_selem_set_enum_item(b->elem, SND_MIXER_SCHN_FRONT_LEFT, item);
        // Stereo enumerations take the same choice on the right; mono ones refuse it.
        if (rc >= 0) snd_mixer_selem_set_enum_item(b->elem, SND_MIXER_SCHN_FRONT_RIGHT, item);
        break;
      }
      case Binding::CaptureSwitchList:
        for (std::size_t i = 0; i < b->items.size() && i < values.size() && rc >= 0; ++i) {
          if (b->items[i]) rc = snd_mixer_selem_set_capture_switch_all(b->items[i], values[i] ? 1 : 0);
        }
        break;
    }
    return rc < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
  }

  void SetChangeHandler(ChangeHandler handler) override { handler_ = std::move(handler); }

  std::vector<MixerPollFd> PollFds() const override {
    std::vector<MixerPollFd> out;
    const int count = snd_mixer_poll_descriptors_count(mixer_);
    if (count <= 0) return out;
    std::vector<pollfd> fds(static_cast<std::size_t>(count));
    const int got = snd_mixer_poll_descriptors(mixer_, fds.data(), static_cast<unsigned>(count));
    for (int i = 0; i < got; ++i) out.push_back({fds[static_cast<std::size_t>(i)].fd, fds[static_cast<std::size_t>(i)].events});
    return out;
  }

  void HandleEvents() override {
    snd_mixer_handle_events(mixer_);
    std::vector<std::pair<UINT, DWORD>> due;
    due.swap(pending_);
    if (!handler_) return;
    for (auto [msg, id] : due) handler_(msg, id);
  }

 private:
  AlsaMixerDevice() = default;

  const ControlBinding* Find(DWORD controlId) const {
    auto it = std::find_if(bindings_.begin(), bindings_.end(),
                           [&](const auto& entry) { return entry.first == controlId; });
    return it == bindings_.end() ? nullptr : &it->second;
  }

  static int OnElementEvent(snd_mixer_elem_t* elem, unsigned int mask) {
    auto* self = static_cast<AlsaMixerDevice*>(snd_mixer_elem_get_callback_private(elem));
    if (self) self->ElementChanged(elem, mask);
    return 0;
  }

  void ElementChanged(snd_mixer_elem_t* elem, unsigned int mask) {
    const bool removed = mask == SND_CTL_EVENT_MASK_REMOVE;
    for (auto& [id, b] : bindings_) {
      const bool mine = b.elem == elem || std::find(b.items.begin(), b.items.end(), elem) != b.items.end();
      if (!mine) continue;
      if (removed) {
        if (b.elem == elem) b.elem = nullptr;
        std::replace(b.items.begin(), b.items.end(), elem, static_cast<snd_mixer_elem_t*>(nullptr));
        pending_.emplace_back(MM_MIXM_LINE_CHANGE, b.lineId);
      } else {
        if (mask & SND_CTL_EVENT_MASK_INFO) pending_.emplace_back(MM_MIXM_LINE_CHANGE, b.lineId);
        if (mask & SND_CTL_EVENT_MASK_VALUE) pending_.emplace_back(MM_MIXM_CONTROL_CHANGE, id);
      }
    }
  }

  // Adds a control bound to the card and returns it for the line's list.
  MIXERCONTROLA AddControl(DWORD type, const char* name, ControlBinding binding, DWORD items = 0) {
    MIXERCONTROLA control;
    control.dwControlID = next_control_++;
    control.dwControlType = type;
    control.dwMaximum = (type & MIXERCONTROL_CT_UNITS_MASK) == MIXERCONTROL_CT_UNITS_BOOLEAN ? 1 : kFullScale;
    if (items) {
      control.cMultipleItems = items;
      control.fdwControl = MIXERCONTROL_CONTROLF_MULTIPLE | MIXERCONTROL_CONTROLF_UNIFORM;
    }
    CopyMixerName(control.szShortName, name);
    CopyMixerName(control.szName, name);
    bindings_.emplace_back(control.dwControlID, std::move(binding));
    return control;
  }

  static DWORD PlaybackChannels(snd_mixer_elem_t* e) { return snd_mixer_selem_is_playback_mono(e) ? 1 : 2; }
  static DWORD CaptureChannels(snd_mixer_elem_t* e) { return snd_mixer_selem_is_capture_mono(e) ? 1 : 2; }

  // Playback controls of a line bound to `elem`.
  void AddPlaybackControls(MixerLineModel& line, snd_mixer_elem_t* elem, DWORD lineId) {
    const DWORD channels = PlaybackChannels(elem);
    line.line.cChannels = channels;
    if (snd_mixer_selem_has_playback_volume(elem)) {
      line.controls.push_back(AddControl(MIXERCONTROL_CONTROLTYPE_VOLUME, "Volume",
                                         {Binding::PlaybackVolume, elem, {}, channels, lineId}));
    }
    if (snd_mixer_selem_has_playback_switch(elem)) {
      line.controls.push_back(AddControl(MIXERCONTROL_CONTROLTYPE_MUTE, "Mute",
                                         {Binding::PlaybackMute, elem, {}, channels, lineId}));
    }
  }

  void Build() {
    snd_mixer_elem_t* master = nullptr;
    snd_mixer_elem_t* capture = nullptr;
    snd_mixer_elem_t* source_enum = nullptr;
    std::vector<snd_mixer_elem_t*> playback, capture_switches, all;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer_); e; e = snd_mixer_elem_next(e)) {
      if (!snd_mixer_selem_is_active(e)) continue;
      all.push_back(e);
      const std::string name = ElementName(e);
      const bool has_playback = snd_mixer_selem_has_playback_volume(e) || snd_mixer_selem_has_playback_switch(e);
      const bool has_capture = snd_mixer_selem_has_capture_volume(e) || snd_mixer_selem_has_capture_switch(e);
      if (name == "Master" && has_playback) {
        master = e;
      } else if (name == "Capture" && has_capture) {
        capture = e;
      } else {
        if (has_playback) playback.push_back(e);
        if (snd_mixer_selem_has_capture_switch(e)) capture_switches.push_back(e);
        if (!source_enum && snd_mixer_selem_is_enumerated(e) && snd_mixer_selem_is_enum_capture(e)) source_enum = e;
      }
    }

    if (master || !playback.empty()) {
      const DWORD d = static_cast<DWORD>(topology_.destinations.size());
      MixerDestinationModel dest;
      dest.line.line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
      dest.line.line.cChannels = 2;
      CopyMixerName(dest.line.line.szShortName, master ? "Master" : "Speakers");
      CopyMixerName(dest.line.line.szName, master ? "Master" : "Speakers");
      if (master) AddPlaybackControls(dest.line, master, MixerDestinationLineId(d));
      for (snd_mixer_elem_t* e : playback) {
        const DWORD s = static_cast<DWORD>(dest.sources.size());
        const std::string name = ElementName(e);
        MixerLineModel src;
        src.line.dwComponentType = MixerSourceTypeFromName(name);
        CopyMixerName(src.line.szShortName, name);
        CopyMixerName(src.line.szName, name);
        AddPlaybackControls(src, e, MixerSourceLineId(d, s));
        dest.sources.push_back(std::move(src));
      }
      topology_.destinations.push_back(std::move(dest));
    }

    if (capture || source_enum || !capture_switches.empty()) {
      const DWORD d = static_cast<DWORD>(topology_.destinations.size());
      const DWORD lineId = MixerDestinationLineId(d);
      MixerDestinationModel dest;
      dest.line.line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
      dest.line.line.cChannels = capture ? CaptureChannels(capture) : 2;
      CopyMixerName(dest.line.line.szShortName, "Capture");
      CopyMixerName(dest.line.line.szName, "Capture");
      if (capture && snd_mixer_selem_has_capture_volume(capture)) {
        dest.line.controls.push_back(AddControl(MIXERCONTROL_CONTROLTYPE_VOLUME, "Capture Volume",
                                                {Binding::CaptureVolume, capture, {}, dest.line.line.cChannels, lineId}));
      }
      if (capture && snd_mixer_selem_has_capture_switch(capture)) {
        dest.line.controls.push_back(AddControl(MIXERCONTROL_CONTROLTYPE_MUTE, "Capture Mute",
                                                {Binding::CaptureMute, capture, {}, dest.line.line.cChannels, lineId}));
      }

      // The recording choice, and the source lines it chooses between.
      std::vector<std::string> names;
      MixerListModel list;
      if (source_enum) {
        const int count = std::max(snd_mixer_selem_get_enum_items(source_enum), 0);
        for (int i = 0; i < count; ++i) {
          char text[MIXER_LONG_NAME_CHARS] = {};
          snd_mixer_selem_get_enum_item_name(source_enum, static_cast<unsigned>(i), sizeof text, text);
          names.emplace_back(text);
        }
        MIXERCONTROLA control = AddControl(MIXERCONTROL_CONTROLTYPE_MUX, "Capture Source",
                                           {Binding::CaptureSourceEnum, source_enum, {}, 1, lineId},
                                           static_cast<DWORD>(names.size()));
        list.controlId = control.dwControlID;
        if (!names.empty()) dest.line.controls.push_back(control);
      } else if (!capture_switches.empty()) {
        for (snd_mixer_elem_t* e : capture_switches) names.push_back(ElementName(e));
        MIXERCONTROLA control = AddControl(MIXERCONTROL_CONTROLTYPE_MIXER, "Capture Switches",
                                           {Binding::CaptureSwitchList, nullptr, capture_switches, 1, lineId},
                                           static_cast<DWORD>(names.size()));
        list.controlId = control.dwControlID;
        dest.line.controls.push_back(control);
      }
      for (std::size_t s = 0; s < names.size(); ++s) {
        const DWORD srcId = MixerSourceLineId(d, static_cast<DWORD>(s));
        MixerLineModel src;
        src.line.dwComponentType = MixerSourceTypeFromName(names[s]);
        src.line.cChannels = 2;
        CopyMixerName(src.line.szShortName, names[s]);
        CopyMixerName(src.line.szName, names[s]);
        // A capture element of the same name gives the source its volume.
        for (snd_mixer_elem_t* e : all) {
          if (e != capture && snd_mixer_selem_has_capture_volume(e) && Lower(ElementName(e)) == Lower(names[s])) {
            src.line.cChannels = CaptureChannels(e);
            src.controls.push_back(AddControl(MIXERCONTROL_CONTROLTYPE_VOLUME, "Volume",
                                              {Binding::CaptureVolume, e, {}, src.line.cChannels, srcId}));
            break;
          }
        }
        MIXERCONTROLDETAILS_LISTTEXTA item;
        item.dwParam1 = srcId;
        CopyMixerName(item.szName, names[s]);
        list.items.push_back(item);
        dest.sources.push_back(std::move(src));
      }
      if (!list.items.empty()) topology_.lists.push_back(std::move(list));
      topology_.destinations.push_back(std::move(dest));
    }

    NumberMixerLines(&topology_);
    for (snd_mixer_elem_t* e : all) {
      snd_mixer_elem_set_callback(e, &AlsaMixerDevice::OnElementEvent);
      snd_mixer_elem_set_callback_private(e, this);
    }
  }

  snd_mixer_t* mixer_ = nullptr;
  MixerTopology topology_;
  std::vector<std::pair<DWORD, ControlBinding>> bindings_;
  DWORD next_control_ = 1;
  ChangeHandler handler_;
  std::vector<std::pair<UINT, DWORD>> pending_;
};

class AlsaMixerBackend final : public MixerBackend {
 public:
  UINT DeviceCount() override { return static_cast<UINT>(Cards().size()); }

  MMRESULT GetCaps(UINT device, MIXERCAPSA* caps) override {
    std::unique_ptr<MixerDevice> open;
    if (MMRESULT err = Open(device, &open); err != MMSYSERR_NOERROR) return err;
    *caps = open->Topology().caps;
    return MMSYSERR_NOERROR;
  }

  MMRESULT Open(UINT device, std::unique_ptr<MixerDevice>* out) override {
    const std::vector<int> cards = Cards();
    if (cards.empty()) return MMSYSERR_NODRIVER;
    if (device >= cards.size()) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<AlsaMixerDevice> open;
    if (MMRESULT err = AlsaMixerDevice::Open(cards[device], &open); err != MMSYSERR_NOERROR) return err;
    *out = std::move(open);
    return MMSYSERR_NOERROR;
  }

 private:
  static std::vector<int> Cards() {
    std::vector<int> cards;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) cards.push_back(card);
    return cards;
  }
};

}  // namespace

DWORD MixerSourceTypeFromName(std::string_view name) {
  const std::string n = Lower(name);
  auto has = [&](const char* word) { return n.find(word) != std::string::npos; };
  if (has("pcm") || has("wave")) return MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
  if (has("cd")) return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
  if (has("mic")) return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
  if (has("line")) return MIXERLINE_COMPONENTTYPE_SRC_LINE;
  if (has("aux")) return MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY;
  if (has("beep") || has("pc speaker")) return MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER;
  if (has("synth") || has("midi")) return MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
  if (has("phone") && !has("headphone")) return MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE;
  if (has("iec958") || has("spdif") || has("s/pdif") || has("digital")) return MIXERLINE_COMPONENTTYPE_SRC_DIGITAL;
  if (has("video") || has("analog")) return MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
  return MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
}

std::shared_ptr<MixerBackend> MakeAlsaMixerBackend() { return std::make_shared<AlsaMixerBackend>(); }

}  // namespace plat
