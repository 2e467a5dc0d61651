// Encodes live frames and sound into a file in-process with libavcodec and
// libavformat: MPEG-2 video and MPEG-1 layer II sound in a DVD program
// stream (MPEG-1 video in a VCD stream for VCD sizes), or MPEG-4 video
// (FourCC DX50) and PCM sound in AVI. Frames of another size are scaled.
// Calls may come from different streaming threads; they are serialised.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "interfaces/tvrecorder.h"
#include "outside/tvrecorder/tv_source.h"

namespace tvrec {

struct EncodeSettings {
  bool avi = false;               // MPEG-4 + PCM in AVI, else MPEG program stream
  int width = 720;
  int height = 576;
  int fpsNum = 25;
  int fpsDen = 1;
  int videoBitRate = 6000000;
  int audioBitRate = 224000;      // bits per second (MPEG only)
  int gopLength = 15;
};

// A block's settings; the frame rate comes from the source.
EncodeSettings SettingsFromBlock(const EncoderBlock& block, const SourceFormat& source);

class AvRecorder {
 public:
  AvRecorder();
  ~AvRecorder();
  AvRecorder(const AvRecorder&) = delete;
  AvRecorder& operator=(const AvRecorder&) = delete;

  // Opens `path` (replacing nothing: an existing file is refused).
  bool Open(const std::string& path, const EncodeSettings& settings, std::string* error = nullptr);
  void AddVideo(const VideoFrameI420& frame);
  void AddAudio(const AudioChunk& chunk);
  // Flushes the encoders and completes the file; safe to call twice.
  bool Close();

  std::int64_t bytesWritten() const;
  double secondsWritten() const;

 private:
  struct State;
  mutable std::mutex mutex_;
  std::unique_ptr<State> state_;
};

}  // namespace tvrec
