// A radio tuner as the radio engine and the outside radio component drive it:
// its bands, the tuned frequency in Hz, the signal (0..65535), stereo, mute,
// the raw RDS blocks it receives and the audio it sounds. Implemented by
// Video4Linux2 radio devices and by the virtual radio.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// GStreamer's element type, declared here so that this header mixes with the
// platform headers (GLib defines TRUE and FALSE as macros).
typedef struct _GstElement GstElement;

namespace plat::radio {

enum class Modulation { kFm, kAm };

struct RadioBand {
  Modulation modulation = Modulation::kFm;
  std::int64_t lowHz = 0;
  std::int64_t highHz = 0;
  bool operator==(const RadioBand&) const = default;
};

// One raw RDS block as a V4L2 device delivers it (struct v4l2_rds_data):
// the block's 16 bits and a byte with its position (A..D) and error flags.
struct RdsBlock {
  std::uint8_t lsb = 0;
  std::uint8_t msb = 0;
  std::uint8_t block = 0;
};

class IRadioTuner {
 public:
  virtual ~IRadioTuner() = default;

  virtual std::string Name() const = 0;
  virtual std::vector<RadioBand> Bands() const = 0;
  virtual bool SetFrequency(std::int64_t hz) = 0;
  virtual std::int64_t Frequency() const = 0;
  // 0..65535; read once the tuner has settled after the last retune.
  virtual int Signal() const = 0;
  virtual bool Stereo() const = 0;
  virtual bool SetMute(bool mute) = 0;
  virtual bool Muted() const = 0;
  virtual bool HasRds() const = 0;
  // The next raw RDS block, waiting at most `timeoutMs`; none on time-out or
  // failure.
  virtual std::optional<RdsBlock> NextRdsBlock(int timeoutMs) = 0;
  // A new, floating source element delivering what the tuner sounds; null
  // when GStreamer cannot make it.
  virtual GstElement* MakeAudioSource() = 0;
};

// The bar level of a signal: how many of 10, 25, 40, 55 and 70 % of 65535
// it reaches (0..5).
int SignalLevel(int signal);

// The band of that modulation (the widest when several); none when absent.
std::optional<RadioBand> FindBand(const std::vector<RadioBand>& bands, Modulation modulation);

// The machine's radio: the virtual radio when it is declared with "Prefer",
// else the first Video4Linux2 radio device, else the declared virtual radio;
// null when there is none.
std::shared_ptr<IRadioTuner> OpenRadioTuner();

}  // namespace plat::radio
