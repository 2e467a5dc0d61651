// A TV tuner device as the recorder drives it: video inputs, the analogue
// standard, the tuned frequency and its signal, picture controls and the
// sound mode. Implemented by the virtual tuner (and by V4L2 devices).
#pragma once

#include <string>
#include <vector>

namespace plat::tv {

enum class PictureControl { kBrightness, kContrast, kHue, kSaturation };

struct ControlRange {
  int minimum = 0;
  int maximum = 0;
  int byDefault = 0;
};

class ITunerDevice {
 public:
  virtual ~ITunerDevice() = default;

  virtual std::string Name() const = 0;
  // "Television" first when the device has a tuner.
  virtual std::vector<std::string> Inputs() const = 0;
  virtual bool HasTuner() const = 0;
  virtual bool SetInput(int index) = 0;
  virtual int Input() const = 0;
  virtual bool SetStandard(int standardFlag) = 0;
  virtual bool SetFrequencyKHz(int kHz) = 0;
  virtual int FrequencyKHz() const = 0;
  // 0..65535.
  virtual int Signal() const = 0;
  // The station name the signal carries, when the device can tell.
  virtual std::string StationName() const = 0;
  // How long a tuner needs after a frequency change before its signal tells.
  virtual int SettleMs() const = 0;
  virtual bool ControlRangeOf(PictureControl control, ControlRange& range) const = 0;
  virtual bool GetControl(PictureControl control, int& value) const = 0;
  virtual bool SetControl(PictureControl control, int value) = 0;
  // Sound modes as the recorder numbers them (0 mono, 1 stereo, ...).
  virtual bool SetAudioMode(int mode) = 0;
  virtual int AudioMode() const = 0;
};

}  // namespace plat::tv
