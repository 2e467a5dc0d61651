#include "platform/media/tv/virtual_tuner.h"

#include <cstdlib>
#include <cstring>

#include "platform/registry/registry.h"

namespace plat::tv {

namespace {

constexpr int kFadeKHz = 1500;
constexpr int kControlCount = 4;

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

}  // namespace

std::vector<VirtualStation> DefaultVirtualStations() {
  // On E5, E21 and E30 (channels 7, 14 and 26 of the American plan).
  return {{175250, "Marivel One", 0, 440, true},
          {471250, "Marivel Two", 18, 660, true},
          {543250, "Marivel Three", 13, 880, false}};
}

VirtualTunerConfig ReadVirtualTunerConfig() {
  VirtualTunerConfig config;
  const Key root(HKEY_LOCAL_MACHINE, kVirtualTunerKey);
  if (auto name = root.Text("Name"); name && !name->empty()) config.name = *name;
  config.prefer = root.Dword("Prefer").value_or(0) == 1;
  const Key stations(HKEY_LOCAL_MACHINE, std::string(kVirtualTunerKey) + "\\Stations");
  if (stations.get()) {
    for (DWORD i = 0;; ++i) {
      char sub[256] = {};
      DWORD size = sizeof sub;
      if (RegEnumKeyExA(stations.get(), i, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      const Key station(stations.get(), sub);
      VirtualStation s;
      const auto frequency = station.Dword("Frequency");
      if (!frequency || *frequency == 0 || *frequency > 1000000) continue;  // no usable carrier
      s.frequencyKHz = static_cast<int>(*frequency);
      s.name = station.Text("Name").value_or(sub);
      s.pattern = static_cast<int>(station.Dword("Pattern").value_or(0));
      s.toneHz = static_cast<int>(station.Dword("Tone").value_or(440));
      s.teletext = station.Dword("Teletext").value_or(0) == 1;
      config.stations.push_back(std::move(s));
    }
  }
  if (config.stations.empty()) config.stations = DefaultVirtualStations();
  return config;
}

std::optional<VirtualTunerConfig> ReadVirtualWebcamConfig() {
  const Key root(HKEY_LOCAL_MACHINE, kVirtualWebcamKey);
  if (!root.get()) return std::nullopt;
  VirtualTunerConfig config;
  config.webcam = true;
  config.name = root.Text("Name").value_or("");
  if (config.name.empty()) config.name = "Virtual Webcam";
  VirtualStation picture;
  picture.name = config.name;
  picture.pattern = static_cast<int>(root.Dword("Pattern").value_or(0));
  picture.toneHz = static_cast<int>(root.Dword("Tone").value_or(440));
  config.stations.push_back(std::move(picture));
  return config;
}

int SignalAtDistance(int distanceKHz) {
  const int d = std::abs(distanceKHz);
  if (d >= kFadeKHz) return 0;
  return static_cast<int>(65535LL * (kFadeKHz - d) / kFadeKHz);
}

VirtualTuner::VirtualTuner(VirtualTunerConfig config) : config_(std::move(config)) {}

std::vector<std::string> VirtualTuner::Inputs() const {
  if (config_.webcam) return {"Camera"};
  return {"Television", "Composite", "S-Video"};
}

bool VirtualTuner::SetInput(int index) {
  if (index < 0 || index >= static_cast<int>(Inputs().size())) return false;
  std::lock_guard lock(mutex_);
  input_ = index;
  return true;
}

int VirtualTuner::Input() const {
  std::lock_guard lock(mutex_);
  return input_;
}

bool VirtualTuner::SetStandard(int standardFlag) {
  if (standardFlag <= 0) return false;
  std::lock_guard lock(mutex_);
  standard_ = standardFlag;
  return true;
}

int VirtualTuner::Standard() const {
  std::lock_guard lock(mutex_);
  return standard_;
}

bool VirtualTuner::SetFrequencyKHz(int kHz) {
  if (kHz <= 0) return false;
  std::lock_guard lock(mutex_);
  frequencyKHz_ = kHz;
  return true;
}

int VirtualTuner::FrequencyKHz() const {
  std::lock_guard lock(mutex_);
  return frequencyKHz_;
}

std::optional<VirtualStation> VirtualTuner::Station() const {
  if (config_.webcam) return config_.stations.empty() ? std::nullopt : std::optional(config_.stations.front());
  const int tuned = FrequencyKHz();
  std::optional<VirtualStation> best;
  int bestDistance = kFadeKHz;
  for (const VirtualStation& s : config_.stations) {
    const int d = std::abs(s.frequencyKHz - tuned);
    if (d < bestDistance) {
      bestDistance = d;
      best = s;
    }
  }
  return best;
}

int VirtualTuner::Signal() const {
  if (Input() != 0) return 0;
  const auto station = Station();
  if (config_.webcam) return station ? 65535 : 0;
  return station ? SignalAtDistance(station->frequencyKHz - FrequencyKHz()) : 0;
}

std::string VirtualTuner::StationName() const {
  const auto station = Station();
  return station && Signal() > 0 ? station->name : std::string();
}

bool VirtualTuner::ControlRangeOf(PictureControl control, ControlRange& range) const {
  (void)control;
  range = ControlRange{0, 255, 128};
  return true;
}

bool VirtualTuner::GetControl(PictureControl control, int& value) const {
  const int i = static_cast<int>(control);
  if (i < 0 || i >= kControlCount) return false;
  std::lock_guard lock(mutex_);
  value = controls_[i];
  return true;
}

bool VirtualTuner::SetControl(PictureControl control, int value) {
  const int i = static_cast<int>(control);
  if (i < 0 || i >= kControlCount || value < 0 || value > 255) return false;
  std::lock_guard lock(mutex_);
  controls_[i] = value;
  return true;
}

// Mono and stereo only.
bool VirtualTuner::SetAudioMode(int mode) {
  if (mode != 0 && mode != 1) return false;
  std::lock_guard lock(mutex_);
  audioMode_ = mode;
  return true;
}

int VirtualTuner::AudioMode() const {
  std::lock_guard lock(mutex_);
  return audioMode_;
}

}  // namespace plat::tv
