#include "platform/media/radio/v4l2_radio.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/registry/registry.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include "platform/media/gstreamer.h"

namespace plat::radio {
namespace {

std::string FieldText(const std::uint8_t* field, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(field), strnlen(reinterpret_cast<const char*>(field), size));
}

// Radio tuners without bands name no modulation: short waves and below are
// taken as AM.
Modulation GuessModulation(std::int64_t highHz) { return highHz <= 30'000'000 ? Modulation::kAm : Modulation::kFm; }

std::string RegistryAudioDevice() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMarivelKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char text[256] = {};
  DWORD type = 0;
  DWORD size = sizeof text - 1;
  const bool ok = RegQueryValueExA(key, "RadioAudioDevice", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                      ERROR_SUCCESS &&
                  type == REG_SZ;
  RegCloseKey(key);
  return ok ? std::string(text, strnlen(text, sizeof text)) : std::string();
}

}  // namespace

std::unique_ptr<IRadioIo> OpenRadioDevice(const std::string& path) { return plat::tv::OpenV4l2Device(path); }

std::vector<std::string> FindRadioDevices(const std::string& classRoot, const std::string& devRoot) {
  std::vector<std::string> out;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(classRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string node = it->path().filename().string();
    if (node.rfind("radio", 0) == 0) out.push_back(devRoot + "/" + node);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::string RadioAudioDevice(const std::string& radioNode) {
  std::string device = plat::tv::TunerAudioDevice(radioNode);
  if (device.empty()) device = RegistryAudioDevice();
  return device;
}

V4l2Radio::V4l2Radio(std::unique_ptr<IRadioIo> io, std::string path) : io_(std::move(io)), path_(std::move(path)) {
  v4l2_capability cap{};
  if (io_->Ioctl(VIDIOC_QUERYCAP, &cap) != 0) return;
  const std::uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
  if (!(caps & V4L2_CAP_TUNER)) return;
  name_ = FieldText(cap.card, sizeof cap.card);
  if (name_.empty()) name_ = "Radio";
  v4l2_tuner tuner{};
  if (io_->Ioctl(VIDIOC_G_TUNER, &tuner) != 0) return;
  unitCapability_ = tuner.capability & (V4L2_TUNER_CAP_LOW | V4L2_TUNER_CAP_1HZ);
  rds_ = (caps & V4L2_CAP_RDS_CAPTURE) && (tuner.capability & V4L2_TUNER_CAP_RDS);
  if (tuner.capability & V4L2_TUNER_CAP_FREQ_BANDS) {
    for (std::uint32_t i = 0; i < 16; ++i) {
      v4l2_frequency_band band{};
      band.tuner = 0;
      band.type = V4L2_TUNER_RADIO;
      band.index = i;
      if (io_->Ioctl(VIDIOC_ENUM_FREQ_BANDS, &band) != 0) break;
      Modulation modulation;
      if (band.modulation & V4L2_BAND_MODULATION_FM) {
        modulation = Modulation::kFm;
      } else if (band.modulation & V4L2_BAND_MODULATION_AM) {
        modulation = Modulation::kAm;
      } else {
        continue;
      }
      bands_.push_back({modulation, FromUnits(band.rangelow), FromUnits(band.rangehigh)});
    }
  }
  if (bands_.empty() && tuner.rangehigh > tuner.rangelow) {
    const std::int64_t high = FromUnits(tuner.rangehigh);
    bands_.push_back({GuessModulation(high), FromUnits(tuner.rangelow), high});
  }
}

std::uint32_t V4l2Radio::ToUnits(std::int64_t hz) const {
  if (unitCapability_ & V4L2_TUNER_CAP_1HZ) return static_cast<std::uint32_t>(hz);
  // 62.5 Hz is 125/2 Hz; 62.5 kHz is 125000/2 Hz. Rounded to the nearest unit.
  const std::int64_t unit2 = (unitCapability_ & V4L2_TUNER_CAP_LOW) ? 125 : 125000;
  return static_cast<std::uint32_t>((hz * 2 + unit2 / 2) / unit2);
}

std::int64_t V4l2Radio::FromUnits(std::uint32_t units) const {
  if (unitCapability_ & V4L2_TUNER_CAP_1HZ) return units;
  const std::int64_t unit2 = (unitCapability_ & V4L2_TUNER_CAP_LOW) ? 125 : 125000;
  return static_cast<std::int64_t>(units) * unit2 / 2;
}

bool V4l2Radio::SetFrequency(std::int64_t hz) {
  const bool inside = std::any_of(bands_.begin(), bands_.end(),
                                  [hz](const RadioBand& b) { return hz >= b.lowHz && hz <= b.highHz; });
  if (!inside) return false;
  v4l2_frequency f{};
  f.tuner = 0;
  f.type = V4L2_TUNER_RADIO;
  f.frequency = ToUnits(hz);
  if (io_->Ioctl(VIDIOC_S_FREQUENCY, &f) != 0) return false;
  std::lock_guard lock(mutex_);
  tunedAt_ = std::chrono::steady_clock::now();
  return true;
}

std::int64_t V4l2Radio::Frequency() const {
  v4l2_frequency f{};
  f.tuner = 0;
  if (io_->Ioctl(VIDIOC_G_FREQUENCY, &f) != 0) return 0;
  return FromUnits(f.frequency);
}

void V4l2Radio::Settle() const {
  std::chrono::steady_clock::time_point ready;
  {
    std::lock_guard lock(mutex_);
    ready = tunedAt_ + std::chrono::milliseconds(kV4l2SettleMs);
  }
  std::this_thread::sleep_until(ready);
}

int V4l2Radio::Signal() const {
  Settle();
  v4l2_tuner tuner{};
  if (io_->Ioctl(VIDIOC_G_TUNER, &tuner) != 0) return 0;
  return std::clamp(tuner.signal, 0, 65535);
}

bool V4l2Radio::Stereo() const {
  v4l2_tuner tuner{};
  if (io_->Ioctl(VIDIOC_G_TUNER, &tuner) != 0) return false;
  return (tuner.rxsubchans & V4L2_TUNER_SUB_STEREO) != 0;
}

bool V4l2Radio::SetMute(bool mute) {
  v4l2_control c{};
  c.id = V4L2_CID_AUDIO_MUTE;
  c.value = mute ? 1 : 0;
  return io_->Ioctl(VIDIOC_S_CTRL, &c) == 0;
}

bool V4l2Radio::Muted() const {
  v4l2_control c{};
  c.id = V4L2_CID_AUDIO_MUTE;
  return io_->Ioctl(VIDIOC_G_CTRL, &c) == 0 && c.value != 0;
}

std::optional<RdsBlock> V4l2Radio::NextRdsBlock(int timeoutMs) {
  if (!rds_) return std::nullopt;
  std::lock_guard lock(readMutex_);
  if (pending_.empty()) {
    v4l2_rds_data data[32];
    if (io_->WaitReadable(timeoutMs) <= 0) return std::nullopt;
    const long n = io_->Read(data, sizeof data);
    if (n <= 0) return std::nullopt;
    for (long i = 0; i + 3 <= n; i += 3) pending_.push_back({data[i / 3].lsb, data[i / 3].msb, data[i / 3].block});
  }
  if (pending_.empty()) return std::nullopt;
  const RdsBlock block = pending_.front();
  pending_.pop_front();
  return block;
}

GstElement* V4l2Radio::MakeAudioSource() {
  if (!plat::media::InitializeGStreamer()) return nullptr;
  GstElement* source = gst_element_factory_make("alsasrc", nullptr);
  if (!source) return nullptr;
  // The device name goes in as a property, never through a parsed pipeline.
  const std::string device = RadioAudioDevice(path_);
  if (!device.empty()) g_object_set(source, "device", device.c_str(), nullptr);
  return source;
}

}  // namespace plat::radio
