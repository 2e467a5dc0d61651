// Video and visualisation frames on their way to the container window, which
// draws them. Frames are delivered on the engine's thread.
#pragma once

#include <cstdint>
#include <vector>

namespace wmhost {

// One picture: 32-bit top-down BGRX rows (byte 0 blue), `stride` bytes apart.
struct VideoFrame {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<std::uint8_t> pixels;
};

class FrameSink {
 public:
  virtual void OnFrame(const VideoFrame& frame) = 0;

 protected:
  ~FrameSink() = default;
};

}  // namespace wmhost
