// An MPEG program stream for a disc, encoded in-process with libavcodec
// and multiplexed with libavformat: video frames in, sound samples in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "outside/authoring/mpeg_target.h"

struct AVFrame;

namespace authoring {

// A YUV 4:2:0 picture of the target's size, black.
struct AvFrameFree {
  void operator()(AVFrame* frame) const;
};
using FramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
FramePtr BlackPicture(const MpegTarget& target);

class MpegWriter {
 public:
  explicit MpegWriter(const MpegTarget& target);
  ~MpegWriter();
  MpegWriter(const MpegWriter&) = delete;
  MpegWriter& operator=(const MpegWriter&) = delete;

  bool Open(const std::string& path, std::string* error);
  // One picture of the target's size (YUV 4:2:0), shown for one frame.
  bool WriteVideo(AVFrame* picture);
  // Interleaved 16-bit stereo samples at the target's audio rate.
  bool WriteAudio(const std::int16_t* samples, int frames);
  // Adds silence until the sound is as long as the pictures.
  bool PadAudioToVideo();
  // Flushes the encoders and closes the file.
  bool Finish();

  const MpegTarget& Target() const { return target_; }
  std::int64_t VideoFrames() const { return videoFrames_; }
  std::int64_t BytesWritten() const;

 private:
  struct State;
  bool Drain(bool video);
  bool EncodeAudioFrames(bool flush);

  MpegTarget target_;
  std::unique_ptr<State> state_;
  std::int64_t videoFrames_ = 0;
  std::int64_t audioSamples_ = 0;
};

}  // namespace authoring
