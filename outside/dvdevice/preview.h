// The live picture of a camcorder, decoded on the preview's own thread
// (libavcodec, swscale to I420) and handed to the video window. DV: the
// newest frame is decoded, frames that arrive meanwhile replace each other.
// MPEG-2 TS: the stream is kept in order behind a bounded buffer (its oldest
// bytes give way when decoding falls behind) and its newest picture shown.
// The receiving thread never waits for decoding.
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
  static constexpr std::size_t kMaxTsBytes = 4 << 20;

  // kind: 1 DV, 2 MPEG-2 TS.
  Preview(tvrec::VideoWindow& window, int kind = 1);
  ~Preview();
  Preview(const Preview&) = delete;
  Preview& operator=(const Preview&) = delete;

  // Any thread: the frame to show next.
  void Offer(const std::uint8_t* data, std::size_t size);
  int decoded() const;

 private:
  void Run();

  tvrec::VideoWindow& window_;
  int kind_;
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

// Pictures from an MPEG-2 transport stream: the video stream found through
// the PAT and PMT, its PES payload parsed and decoded.
class TsPictureDecoder {
 public:
  TsPictureDecoder();
  ~TsPictureDecoder();
  TsPictureDecoder(const TsPictureDecoder&) = delete;
  TsPictureDecoder& operator=(const TsPictureDecoder&) = delete;
  // Whole 188-byte packets; true when `out` holds a new picture.
  bool Feed(const std::uint8_t* data, std::size_t size, tvrec::VideoFrameI420& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace dvdev
