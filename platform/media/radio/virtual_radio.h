// The virtual radio: a radio for machines without one (and for tests), whose
// stations are declared in the machine registry under
// "SoftWare\Kestrovia\Marivel\VirtualRadio": "Name", "Bands" ("FM" or
// "FM,AM"), "Prefer" (1: chosen even when a real radio exists), and per
// station a subkey of "Stations" with "Frequency" (Hz), "Name" (the RDS
// station name; none: the station sends no RDS), "RadioText",
// "ProgramType", "Tone" (Hz) and "PI".
//
// One virtual radio lives per process, shared by every user while its
// declaration stays the same: the engine tunes it, and the audio input
// "<Name> Radio" sounds whatever it is tuned to. The signal falls linearly
// to nothing 100 kHz (FM) or 5 kHz (AM) from a station. The sound is the
// station's tone with pink noise, each by the signal, 48 kHz stereo; every
// source made keeps following the tuner. RDS groups come at 11.4 a second
// while the signal is at least 70 %.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/radio/radio_tuner.h"
#include "platform/media/radio/rds_encoder.h"

namespace plat::radio {

struct VirtualRadioStation {
  std::int64_t frequencyHz = 0;
  std::string name;
  std::string radioText;
  int programType = 0;
  int toneHz = 440;
  int pi = 0;
  bool operator==(const VirtualRadioStation&) const = default;
};

struct VirtualRadioConfig {
  std::string name = "Virtual";
  bool am = false;
  bool prefer = false;
  std::vector<VirtualRadioStation> stations;
  bool operator==(const VirtualRadioConfig&) const = default;
};

inline constexpr const char* kVirtualRadioKey = "SoftWare\\Kestrovia\\Marivel\\VirtualRadio";
inline constexpr double kRdsGroupsPerSecond = 11.4;

// The declaration; none when the key is absent.
std::optional<VirtualRadioConfig> ReadVirtualRadioConfig();

// The bands of the virtual radio: FM 76-108 MHz, AM 522-1710 kHz.
std::vector<RadioBand> VirtualRadioBands(bool am);

// 0..65535 at `distanceHz` from a station of that modulation.
int VirtualSignal(std::int64_t distanceHz, Modulation modulation);

// The audio input's name for the virtual radio: "<Name> Radio".
std::string VirtualRadioInputName(const VirtualRadioConfig& config);

class VirtualRadio final : public IRadioTuner {
 public:
  explicit VirtualRadio(VirtualRadioConfig config);
  ~VirtualRadio() override;
  VirtualRadio(const VirtualRadio&) = delete;
  VirtualRadio& operator=(const VirtualRadio&) = delete;

  std::string Name() const override { return config_.name; }
  std::vector<RadioBand> Bands() const override { return bands_; }
  bool SetFrequency(std::int64_t hz) override;
  std::int64_t Frequency() const override;
  int Signal() const override;
  bool Stereo() const override;
  bool SetMute(bool mute) override;
  bool Muted() const override;
  bool HasRds() const override { return true; }
  std::optional<RdsBlock> NextRdsBlock(int timeoutMs) override;
  GstElement* MakeAudioSource() override;

  const VirtualRadioConfig& config() const { return config_; }
  // The station nearest the tuned frequency while its signal is above 0.
  std::optional<VirtualRadioStation> Station() const;

 private:
  struct Sources;

  std::optional<VirtualRadioStation> StationLocked() const;
  int SignalLocked() const;
  void ApplyLocked();
  void RestartRdsLocked();

  const VirtualRadioConfig config_;
  const std::vector<RadioBand> bands_;
  mutable std::mutex mutex_;
  std::condition_variable retuned_;
  std::int64_t frequencyHz_ = 0;
  bool muted_ = false;
  long generation_ = 0;
  std::optional<RdsEncoder> encoder_;
  std::deque<RdsBlock> pending_;
  std::chrono::steady_clock::time_point nextGroup_{};
  std::unique_ptr<Sources> sources_;
};

// The process's virtual radio for the current declaration; null when none
// is declared.
std::shared_ptr<VirtualRadio> SharedVirtualRadio();

}  // namespace plat::radio
