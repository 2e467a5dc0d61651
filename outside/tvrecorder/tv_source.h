// The live picture and sound of a tuner as a GStreamer pipeline: for the
// virtual tuner, the tuned station's test picture with its name and a clock
// and its tone, or snow and quiet noise off station. Frames (I420) and sound
// (48 kHz stereo S16) go to the consumers on the streaming threads. Retuning
// changes the test sources' properties on their own streaming threads, between
// two buffers: a test source's settings are not safe to change while it fills
// a buffer (the picture source drops its cached frame from under the copy).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media/tv/virtual_tuner.h"

typedef struct _GstElement GstElement;

namespace tvrec {

struct VideoFrameI420 {
  int width = 0;
  int height = 0;
  std::int64_t ptsNs = 0;
  std::vector<std::uint8_t> data;  // Y plane, then U, then V, rows packed
};

struct AudioChunk {
  std::int64_t ptsNs = 0;
  std::vector<std::int16_t> samples;  // interleaved stereo
};

inline constexpr int kAudioRate = 48000;

struct SourceFormat {
  int width = 720;
  int height = 576;
  int fpsNum = 25;
  int fpsDen = 1;
};

// The format of an analogue standard: 720 x 480 at 30000/1001 for the NTSC
// and PAL-M kinds, 720 x 576 at 25 otherwise.
SourceFormat FormatForStandard(int standardFlag);

class TvSource {
 public:
  using VideoConsumer = std::function<void(const VideoFrameI420&)>;
  using AudioConsumer = std::function<void(const AudioChunk&)>;

  // A capture card: its video node and its ALSA capture device (empty:
  // silence).
  struct CaptureDevice {
    std::string video;
    std::string audio;
  };

  explicit TvSource(std::shared_ptr<plat::tv::VirtualTuner> tuner);
  explicit TvSource(CaptureDevice device);
  ~TvSource();
  TvSource(const TvSource&) = delete;
  TvSource& operator=(const TvSource&) = delete;

  // Builds and plays the pipeline; false when GStreamer or an element is
  // missing (the reason in error()).
  bool Start(const SourceFormat& format);
  void Stop();
  bool running() const;
  const SourceFormat& format() const { return format_; }
  const std::string& error() const { return error_; }

  // Follows the tuner's frequency and input: station picture, name, tone.
  void Retune();

  // Consumers are called on streaming threads; an id takes one away again.
  int AddVideoConsumer(VideoConsumer consumer);
  int AddAudioConsumer(AudioConsumer consumer);
  void RemoveConsumer(int id);

 private:
  // What the virtual station looks and sounds like.
  struct Tuning {
    int pattern = 0;
    std::string text;
    int wave = 0;
    double freq = 440.0;
    double volume = 0.0;
  };

  static int OnVideoSample(GstElement* sink, void* self);
  static int OnAudioSample(GstElement* sink, void* self);
  struct Probes;  // the streaming threads' hooks that apply a new tuning
  Tuning TuningNow() const;
  Tuning PendingTuning();
  void ApplyPicture(const Tuning& tuning);
  void ApplySound(const Tuning& tuning);

  std::shared_ptr<plat::tv::VirtualTuner> tuner_;
  CaptureDevice device_;
  SourceFormat format_;
  std::string error_;
  GstElement* pipeline_ = nullptr;
  GstElement* video_ = nullptr;
  GstElement* text_ = nullptr;
  GstElement* audio_ = nullptr;
  std::mutex mutex_;
  // The tuning asked for and its serial; each streaming thread applies a
  // newer serial before its next buffer.
  std::mutex tuningMutex_;
  Tuning tuning_;
  std::atomic<std::uint64_t> tuningSerial_{0};
  std::uint64_t pictureSerial_ = 0;  // the picture streaming thread's
  std::uint64_t soundSerial_ = 0;    // the sound streaming thread's
  int nextId_ = 1;
  std::vector<std::pair<int, VideoConsumer>> videoConsumers_;
  std::vector<std::pair<int, AudioConsumer>> audioConsumers_;
};

}  // namespace tvrec
