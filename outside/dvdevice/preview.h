// The live picture of a DV camcorder: the newest frame the device sent is
// decoded on the preview's own thread (libavcodec, swscale to I420) and
// handed to the video window. Frames that arrive while one is decoded
// replace each other, so the receiving thread never waits for decoding.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "outside/tvrecorder/video_window.h"

namespace dvdev {

class Preview {
 public:
  explicit Preview(tvrec::VideoWindow& window);
  ~Preview();
  Preview(const Preview&) = delete;
  Preview& operator=(const Preview&) = delete;

  // Any thread: the frame to show next.
  void Offer(const std::uint8_t* data, std::size_t size);
  int decoded() const;

 private:
  void Run();

  tvrec::VideoWindow& window_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::uint8_t> pending_;
  bool has_ = false;
  bool quit_ = false;
  int decoded_ = 0;
  std::thread thread_;
};

// One DV frame to I420 (the decoder kept between calls); false when it does
// not decode. Shared by the preview and the benchmark.
class DvPictureDecoder {
 public:
  DvPictureDecoder();
  ~DvPictureDecoder();
  DvPictureDecoder(const DvPictureDecoder&) = delete;
  DvPictureDecoder& operator=(const DvPictureDecoder&) = delete;
  bool Decode(const std::uint8_t* data, std::size_t size, tvrec::VideoFrameI420& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace dvdev
