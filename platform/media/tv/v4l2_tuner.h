// A tuner card through Video4Linux2: its inputs, the analogue standard, the
// frequency (in the tuner's units of 62.5 kHz, or 62.5 Hz for a tuner with
// V4L2_TUNER_CAP_LOW), the signal and sound mode (VIDIOC_G_TUNER) and the
// picture controls. Every device call goes through an ioctl seam so the
// rules run against a scripted device in tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/tv/tuner_device.h"

namespace plat::tv {

class IV4l2Io {
 public:
  virtual ~IV4l2Io() = default;
  // As ioctl(2): 0, or -1 with errno set.
  virtual int Ioctl(unsigned long request, void* arg) = 0;
  // As read(2) (a VBI device's data): bytes read, or -1 with errno set.
  virtual long Read(void* buffer, unsigned long size) = 0;
  // Waits up to `ms` for data to read: 1 ready, 0 not yet, -1 an error.
  virtual int WaitReadable(int ms) = 0;
};

// The device node opened read-write; null when it cannot be opened.
std::unique_ptr<IV4l2Io> OpenV4l2Device(const std::string& path);

// The /dev/videoN nodes under `classRoot` (/sys/class/video4linux) whose
// device reports a tuner, in name order.
std::vector<std::string> FindTunerDevices(const std::string& classRoot = "/sys/class/video4linux",
                                          const std::string& devRoot = "/dev");

// The capture nodes without a tuner (web cameras and other capture-only
// devices), in name order.
std::vector<std::string> FindWebcamDevices(const std::string& classRoot = "/sys/class/video4linux",
                                           const std::string& devRoot = "/dev");

// The ALSA capture device ("hw:N") of the sound card that shares the video
// node's parent device in sysfs (a tuner card's own sound), or empty.
std::string TunerAudioDevice(const std::string& videoNode, const std::string& videoClassRoot = "/sys/class/video4linux",
                             const std::string& soundClassRoot = "/sys/class/sound");

// The V4L2 standard for an analogue standard flag of the country table.
unsigned long long V4l2Standard(int standardFlag);

class V4l2Tuner final : public ITunerDevice {
 public:
  explicit V4l2Tuner(std::unique_ptr<IV4l2Io> io, std::string path = {});
  // The device node, for the capture pipeline.
  const std::string& path() const { return path_; }

  std::string Name() const override { return name_; }
  std::vector<std::string> Inputs() const override { return inputs_; }
  bool HasTuner() const override { return tunerInput_ >= 0; }
  bool SetInput(int index) override;
  int Input() const override;
  bool SetStandard(int standardFlag) override;
  bool SetFrequencyKHz(int kHz) override;
  int FrequencyKHz() const override;
  int Signal() const override;
  std::string StationName() const override { return {}; }
  int SettleMs() const override { return 150; }
  bool ControlRangeOf(PictureControl control, ControlRange& range) const override;
  bool GetControl(PictureControl control, int& value) const override;
  bool SetControl(PictureControl control, int value) override;
  bool SetAudioMode(int mode) override;
  int AudioMode() const override;

 private:
  bool LowUnits() const;

  std::unique_ptr<IV4l2Io> io_;
  std::string path_;
  std::string name_;
  std::vector<std::string> inputs_;
  int tunerInput_ = -1;
  unsigned tunerIndex_ = 0;
};

}  // namespace plat::tv
