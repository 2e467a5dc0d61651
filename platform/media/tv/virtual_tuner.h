// The virtual tuner: a tuner device for machines without one, whose stations
// are declared in the machine registry under
// "SoftWare\Kestrovia\Marivel\VirtualTuner" ("Name", "Prefer", and per
// station a subkey of "Stations" with "Frequency" in kHz, "Name", "Pattern",
// "Tone" in Hz and "Teletext"). Without stations it has three defaults. The
// signal falls linearly to nothing 1.5 MHz from a station.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/tv/tuner_device.h"

namespace plat::tv {

struct VirtualStation {
  int frequencyKHz = 0;
  std::string name;
  int pattern = 0;     // a videotestsrc pattern number
  int toneHz = 440;
  bool teletext = false;
};

struct VirtualTunerConfig {
  std::string name = "Virtual TV Tuner";
  bool prefer = false;
  std::vector<VirtualStation> stations;
  // A web camera: no tuner, one input, and always the picture of its one
  // station whatever the frequency.
  bool webcam = false;
};

inline constexpr const char* kVirtualTunerKey = "SoftWare\\Kestrovia\\Marivel\\VirtualTuner";
// A virtual web camera is declared under this key ("Name", "Pattern" a
// videotestsrc pattern number, "Tone" in Hz); without the key there is none.
inline constexpr const char* kVirtualWebcamKey = "SoftWare\\Kestrovia\\Marivel\\VirtualWebcam";

// The three stations of a tuner that declares none.
std::vector<VirtualStation> DefaultVirtualStations();

// Reads the machine registry; defaults where it says nothing.
VirtualTunerConfig ReadVirtualTunerConfig();
// The declared virtual web camera, or nothing.
std::optional<VirtualTunerConfig> ReadVirtualWebcamConfig();

// 0..65535 for a carrier `distanceKHz` from a station.
int SignalAtDistance(int distanceKHz);

class VirtualTuner final : public ITunerDevice {
 public:
  explicit VirtualTuner(VirtualTunerConfig config);

  std::string Name() const override { return config_.name; }
  std::vector<std::string> Inputs() const override;
  bool HasTuner() const override { return !config_.webcam; }
  bool SetInput(int index) override;
  int Input() const override;
  bool SetStandard(int standardFlag) override;
  bool SetFrequencyKHz(int kHz) override;
  int FrequencyKHz() const override;
  int Signal() const override;
  std::string StationName() const override;
  int SettleMs() const override { return 0; }
  bool ControlRangeOf(PictureControl control, ControlRange& range) const override;
  bool GetControl(PictureControl control, int& value) const override;
  bool SetControl(PictureControl control, int value) override;
  bool SetAudioMode(int mode) override;
  int AudioMode() const override;

  // The station nearest the tuned frequency, when its signal is above 0.
  std::optional<VirtualStation> Station() const;
  int Standard() const;
  const VirtualTunerConfig& config() const { return config_; }

 private:
  const VirtualTunerConfig config_;
  mutable std::mutex mutex_;
  int input_ = 0;
  int standard_ = 0x10;
  int frequencyKHz_ = 0;
  int controls_[4] = {128, 128, 128, 128};
  int audioMode_ = 1;
};

}  // namespace plat::tv
