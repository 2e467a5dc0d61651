#include "platform/media/radio/virtual_radio.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/registry/registry.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include "platform/media/gstreamer.h"

namespace plat::radio {
namespace {

constexpr std::int64_t kFmWidthHz = 100'000;
constexpr std::int64_t kAmWidthHz = 5'000;
constexpr int kRdsPercent = 70;
constexpr double kToneVolume = 0.6;
constexpr double kNoiseVolume = 0.3;
// 10 ms buffers: a retune is heard within a buffer or two.
constexpr int kSamplesPerBuffer = 480;

class Key {
 public:
  Key(HKEY parent, const std::string& path) {
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }

  std::optional<DWORD> Dword(const char* name) const {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                     ERROR_SUCCESS || type != REG_DWORD) {
      return std::nullopt;
    }
    return value;
  }
  std::optional<std::string> Text(const char* name) const {
    char text[512] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
                     ERROR_SUCCESS || type != REG_SZ) {
      return std::nullopt;
    }
    return std::string(text, strnlen(text, sizeof text));
  }

 private:
  HKEY key_ = nullptr;
};

Modulation ModulationOf(std::int64_t hz) { return hz < 30'000'000 ? Modulation::kAm : Modulation::kFm; }

bool MentionsAm(std::string bands) {
  std::transform(bands.begin(), bands.end(), bands.begin(), [](unsigned char c) { return std::toupper(c); });
  return bands.find("AM") != std::string::npos;
}

}  // namespace

std::optional<VirtualRadioConfig> ReadVirtualRadioConfig() {
  const Key root(HKEY_LOCAL_MACHINE, kVirtualRadioKey);
  if (!root.get()) return std::nullopt;
  VirtualRadioConfig config;
  if (auto name = root.Text("Name"); name && !name->empty()) config.name = *name;
  config.am = MentionsAm(root.Text("Bands").value_or("FM"));
  config.prefer = root.Dword("Prefer").value_or(0) == 1;
  const Key stations(HKEY_LOCAL_MACHINE, std::string(kVirtualRadioKey) + "\\Stations");
  for (DWORD i = 0; stations.get(); ++i) {
    char sub[256] = {};
    DWORD size = sizeof sub;
    if (RegEnumKeyExA(stations.get(), i, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const Key station(stations.get(), sub);
    const auto frequency = station.Dword("Frequency");
    if (!frequency || *frequency == 0) continue;  // no usable carrier
    VirtualRadioStation s;
    s.frequencyHz = *frequency;
    s.name = station.Text("Name").value_or("");
    if (s.name.size() > 8) s.name.resize(8);
    s.radioText = station.Text("RadioText").value_or("");
    if (s.radioText.size() > 64) s.radioText.resize(64);
    s.programType = static_cast<int>(station.Dword("ProgramType").value_or(0) & 0x1F);
    s.toneHz = static_cast<int>(std::clamp<DWORD>(station.Dword("Tone").value_or(440), 20, 20000));
    s.pi = static_cast<int>(station.Dword("PI").value_or(0) & 0xFFFF);
    config.stations.push_back(std::move(s));
  }
  return config;
}

std::vector<RadioBand> VirtualRadioBands(bool am) {
  std::vector<RadioBand> bands{{Modulation::kFm, 76'000'000, 108'000'000}};
  if (am) bands.push_back({Modulation::kAm, 522'000, 1'710'000});
  return bands;
}

int VirtualSignal(std::int64_t distanceHz, Modulation modulation) {
  const std::int64_t width = modulation == Modulation::kFm ? kFmWidthHz : kAmWidthHz;
  const std::int64_t d = std::llabs(distanceHz);
  if (d >= width) return 0;
  return static_cast<int>(65535 * (width - d) / width);
}

std::string VirtualRadioInputName(const VirtualRadioConfig& config) { return config.name + " Radio"; }

// The tone and noise sources made so far, held weakly: a source that its
// pipeline dropped is simply skipped.
struct VirtualRadio::Sources {
  struct Pair {
    GWeakRef tone;
    GWeakRef noise;
  };
  std::vector<std::unique_ptr<Pair>> pairs;

  ~Sources() {
    for (auto& p : pairs) {
      g_weak_ref_clear(&p->tone);
      g_weak_ref_clear(&p->noise);
    }
  }
  void Add(GstElement* tone, GstElement* noise) {
    auto p = std::make_unique<Pair>();
    g_weak_ref_init(&p->tone, tone);
    g_weak_ref_init(&p->noise, noise);
    pairs.push_back(std::move(p));
  }
  void Apply(double hz, double toneVolume, double noiseVolume) {
    for (auto it = pairs.begin(); it != pairs.end();) {
      auto* tone = static_cast<GstElement*>(g_weak_ref_get(&(*it)->tone));
      auto* noise = static_cast<GstElement*>(g_weak_ref_get(&(*it)->noise));
      if (!tone && !noise) {
        g_weak_ref_clear(&(*it)->tone);
        g_weak_ref_clear(&(*it)->noise);
        it = pairs.erase(it);
        continue;
      }
      if (tone) {
        g_object_set(tone, "freq", hz, "volume", toneVolume, nullptr);
        gst_object_unref(tone);
      }
      if (noise) {
        g_object_set(noise, "volume", noiseVolume, nullptr);
        gst_object_unref(noise);
      }
      ++it;
    }
  }
};

VirtualRadio::VirtualRadio(VirtualRadioConfig config)
    : config_(std::move(config)), bands_(VirtualRadioBands(config_.am)), sources_(std::make_unique<Sources>()) {
  frequencyHz_ = bands_.front().lowHz;
  RestartRdsLocked();
}

VirtualRadio::~VirtualRadio() = default;

bool VirtualRadio::SetFrequency(std::int64_t hz) {
  const bool inside = std::any_of(bands_.begin(), bands_.end(),
                                  [hz](const RadioBand& b) { return hz >= b.lowHz && hz <= b.highHz; });
  if (!inside) return false;
  std::lock_guard lock(mutex_);
  frequencyHz_ = hz;
  RestartRdsLocked();
  ApplyLocked();
  retuned_.notify_all();
  return true;
}

std::int64_t VirtualRadio::Frequency() const {
  std::lock_guard lock(mutex_);
  return frequencyHz_;
}

std::optional<VirtualRadioStation> VirtualRadio::StationLocked() const {
  const Modulation tunedModulation = ModulationOf(frequencyHz_);
  std::optional<VirtualRadioStation> best;
  int bestSignal = 0;
  for (const VirtualRadioStation& s : config_.stations) {
    if (ModulationOf(s.frequencyHz) != tunedModulation) continue;
    const int signal = VirtualSignal(s.frequencyHz - frequencyHz_, tunedModulation);
    if (signal > bestSignal) {
      bestSignal = signal;
      best = s;
    }
  }
  return best;
}

std::optional<VirtualRadioStation> VirtualRadio::Station() const {
  std::lock_guard lock(mutex_);
  return StationLocked();
}

int VirtualRadio::SignalLocked() const {
  const auto station = StationLocked();
  return station ? VirtualSignal(station->frequencyHz - frequencyHz_, ModulationOf(frequencyHz_)) : 0;
}

int VirtualRadio::Signal() const {
  std::lock_guard lock(mutex_);
  return SignalLocked();
}

bool VirtualRadio::Stereo() const {
  std::lock_guard lock(mutex_);
  return ModulationOf(frequencyHz_) == Modulation::kFm && SignalLevel(SignalLocked()) >= 3;
}

bool VirtualRadio::SetMute(bool mute) {
  std::lock_guard lock(mutex_);
  muted_ = mute;
  ApplyLocked();
  return true;
}

bool VirtualRadio::Muted() const {
  std::lock_guard lock(mutex_);
  return muted_;
}

void VirtualRadio::ApplyLocked() {
  const auto station = StationLocked();
  const double signal = SignalLocked() / 65535.0;
  const double hz = station ? station->toneHz : 440.0;
  sources_->Apply(hz, muted_ ? 0.0 : kToneVolume * signal, muted_ ? 0.0 : kNoiseVolume * (1.0 - signal));
}

void VirtualRadio::RestartRdsLocked() {
  ++generation_;
  pending_.clear();
  encoder_.reset();
  const auto station = StationLocked();
  if (station && !station->name.empty()) {
    encoder_.emplace(RdsStation{static_cast<std::uint16_t>(station->pi), station->name, station->radioText,
                                station->programType});
  }
  nextGroup_ = std::chrono::steady_clock::now();
}

std::optional<RdsBlock> VirtualRadio::NextRdsBlock(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(1.0 / kRdsGroupsPerSecond));
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!pending_.empty()) {
      const RdsBlock block = pending_.front();
      pending_.pop_front();
      return block;
    }
    const auto now = std::chrono::steady_clock::now();
    const bool sending = encoder_ && SignalLocked() * 100LL >= 65535LL * kRdsPercent;
    if (sending && now >= nextGroup_) {
      const auto group = encoder_->NextGroup(CurrentRdsTime());
      pending_.assign(group.begin(), group.end());
      // A reader that fell behind does not get a burst of stale groups.
      nextGroup_ = std::max(nextGroup_ + period, now);
      continue;
    }
    if (now >= deadline) return std::nullopt;
    const auto wake = sending ? std::min(nextGroup_, deadline) : deadline;
    retuned_.wait_until(lock, wake);
  }
}

GstElement* VirtualRadio::MakeAudioSource() {
  if (!plat::media::InitializeGStreamer()) return nullptr;
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* tone = gst_element_factory_make("audiotestsrc", nullptr);
  GstElement* noise = gst_element_factory_make("audiotestsrc", nullptr);
  GstElement* toneCaps = gst_element_factory_make("capsfilter", nullptr);
  GstElement* noiseCaps = gst_element_factory_make("capsfilter", nullptr);
  GstElement* mixer = gst_element_factory_make("audiomixer", nullptr);
  GstElement* outCaps = gst_element_factory_make("capsfilter", nullptr);
  if (!tone || !noise || !toneCaps || !noiseCaps || !mixer || !outCaps) {
    for (GstElement* e : {tone, noise, toneCaps, noiseCaps, mixer, outCaps}) {
      if (e) gst_object_unref(gst_object_ref_sink(e));
    }
    gst_object_unref(gst_object_ref_sink(bin));
    return nullptr;
  }
  GstCaps* caps = gst_caps_from_string("audio/x-raw,format=S16LE,rate=48000,channels=2,layout=interleaved");
  for (GstElement* filter : {toneCaps, noiseCaps, outCaps}) g_object_set(filter, "caps", caps, nullptr);
  gst_caps_unref(caps);
  g_object_set(tone, "is-live", TRUE, "samplesperbuffer", kSamplesPerBuffer, nullptr);
  g_object_set(noise, "is-live", TRUE, "samplesperbuffer", kSamplesPerBuffer, nullptr);
  gst_util_set_object_arg(G_OBJECT(noise), "wave", "pink-noise");
  gst_bin_add_many(GST_BIN(bin), tone, noise, toneCaps, noiseCaps, mixer, outCaps, nullptr);
  gst_element_link_many(tone, toneCaps, mixer, nullptr);
  gst_element_link_many(noise, noiseCaps, mixer, nullptr);
  gst_element_link(mixer, outCaps);
  GstPad* out = gst_element_get_static_pad(outCaps, "src");
  gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
  gst_object_unref(out);
  std::lock_guard lock(mutex_);
  sources_->Add(tone, noise);
  ApplyLocked();
  return bin;
}

std::shared_ptr<VirtualRadio> SharedVirtualRadio() {
  // Held for the process: the radio stays tuned between users, as a real
  // one does. A changed declaration makes a new one.
  static std::mutex mutex;
  static std::shared_ptr<VirtualRadio> current;
  auto config = ReadVirtualRadioConfig();
  std::lock_guard lock(mutex);
  if (!config) {
    current.reset();
    return nullptr;
  }
  if (!current || !(current->config() == *config)) current = std::make_shared<VirtualRadio>(std::move(*config));
  return current;
}

}  // namespace plat::radio
