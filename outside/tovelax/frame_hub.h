// Where pictures meet the client: the streaming thread leaves the newest frame
// here and wakes the client through its poster; the client takes it on its own
// thread and hands it to its frame sink with the video window's geometry.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "outside/tovelax/tovelax_api.h"

namespace tovelax {

class FrameHub {
 public:
  void SetPoster(INotifyPoster* poster);
  void SetDrain(HWND drain);
  void SetSink(IFrameSink* sink);
  // Called when the picture size changes (streaming thread).
  void SetSizeListener(std::function<void(std::uint32_t, std::uint32_t)> listener);

  // Streaming thread.
  void Publish(std::shared_ptr<const VideoFrame> frame);
  // Client thread: hands the waiting frame to the sink; false when none waited.
  bool Deliver(const Rect& destination, const Rect& source, bool visible);

  std::shared_ptr<const VideoFrame> Latest() const;
  void Reset();

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const VideoFrame> latest_;
  bool pending_ = false;
  INotifyPoster* poster_ = nullptr;
  HWND drain_ = nullptr;
  IFrameSink* sink_ = nullptr;
  std::function<void(std::uint32_t, std::uint32_t)> sizeListener_;
};

// Writes `frame` as a packed 24-bit DIB of width × height (nearest scaling)
// into `buffer`; false when the buffer is too small.
bool WriteDib24(const VideoFrame& frame, std::uint32_t width, std::uint32_t height, void* buffer, std::size_t size);

}  // namespace tovelax
