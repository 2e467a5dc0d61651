// A radio device through Video4Linux2 (/dev/radioN): its bands
// (VIDIOC_ENUM_FREQ_BANDS, else the tuner's one range), the frequency in the
// tuner's units (1 Hz with V4L2_TUNER_CAP_1HZ, 62.5 Hz with
// V4L2_TUNER_CAP_LOW, else 62.5 kHz), signal and stereo (VIDIOC_G_TUNER),
// mute (V4L2_CID_AUDIO_MUTE) and RDS blocks by poll() and read(). Every
// device call goes through a seam so the rules run on a scripted device.
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media/radio/radio_tuner.h"
#include "platform/media/tv/v4l2_tuner.h"

namespace plat::radio {

// A radio node answers the same requests as the TV tuner's: one device seam.
using IRadioIo = plat::tv::IV4l2Io;

std::unique_ptr<IRadioIo> OpenRadioDevice(const std::string& path);

// The /dev/radioN nodes under `classRoot`, in name order.
std::vector<std::string> FindRadioDevices(const std::string& classRoot = "/sys/class/video4linux",
                                          const std::string& devRoot = "/dev");

// Where a radio device's sound is captured: the ALSA card sharing its parent
// device in sysfs, else HKLM "RadioAudioDevice", else the default; empty
// means the default ALSA capture device.
std::string RadioAudioDevice(const std::string& radioNode);

inline constexpr const char* kMarivelKey = "SoftWare\\Kestrovia\\Marivel";
// After a retune the signal tells only once the tuner settled.
inline constexpr int kV4l2SettleMs = 30;

class V4l2Radio final : public IRadioTuner {
 public:
  V4l2Radio(std::unique_ptr<IRadioIo> io, std::string path);

  std::string Name() const override { return name_; }
  std::vector<RadioBand> Bands() const override { return bands_; }
  bool SetFrequency(std::int64_t hz) override;
  std::int64_t Frequency() const override;
  int Signal() const override;
  bool Stereo() const override;
  bool SetMute(bool mute) override;
  bool Muted() const override;
  bool HasRds() const override { return rds_; }
  std::optional<RdsBlock> NextRdsBlock(int timeoutMs) override;
  GstElement* MakeAudioSource() override;

  // Hz in the tuner's units and back.
  std::uint32_t ToUnits(std::int64_t hz) const;
  std::int64_t FromUnits(std::uint32_t units) const;

 private:
  void Settle() const;

  std::unique_ptr<IRadioIo> io_;
  std::string path_;
  std::string name_;
  std::vector<RadioBand> bands_;
  std::uint32_t unitCapability_ = 0;
  bool rds_ = false;
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point tunedAt_{};
  std::mutex readMutex_;
  std::deque<RdsBlock> pending_;
};

}  // namespace plat::radio
