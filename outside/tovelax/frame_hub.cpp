#include "outside/tovelax/frame_hub.h"

#include <cstring>

namespace tovelax {

void FrameHub::SetPoster(INotifyPoster* poster) {
  std::lock_guard lock(mutex_);
  poster_ = poster;
}

void FrameHub::SetDrain(HWND drain) {
  std::lock_guard lock(mutex_);
  drain_ = drain;
  // A picture that arrived before there was a window to wake (the first one,
  // made while a file opens) is announced now.
  if (latest_ && !pending_ && poster_ && drain_) {
    pending_ = true;
    poster_->Post(drain_, kFrameReadyMessage, 0, 0);
  }
}

void FrameHub::SetSink(IFrameSink* sink) {
  std::lock_guard lock(mutex_);
  sink_ = sink;
}

void FrameHub::SetSizeListener(std::function<void(std::uint32_t, std::uint32_t)> listener) {
  std::lock_guard lock(mutex_);
  sizeListener_ = std::move(listener);
}

void FrameHub::Publish(std::shared_ptr<const VideoFrame> frame) {
  std::lock_guard lock(mutex_);
  const bool resized = !latest_ || latest_->width != frame->width || latest_->height != frame->height;
  if (resized && sizeListener_) sizeListener_(frame->width, frame->height);
  latest_ = std::move(frame);
  // Pending only once announced: a frame nobody was told of must not keep
  // the later ones from being announced.
  if (!pending_ && poster_ && drain_) {
    pending_ = true;
    poster_->Post(drain_, kFrameReadyMessage, 0, 0);
  }
}

bool FrameHub::Deliver(const Rect& destination, const Rect& source, bool visible) {
  std::shared_ptr<const VideoFrame> frame;
  IFrameSink* sink;
  {
    std::lock_guard lock(mutex_);
    if (!pending_) return false;
    pending_ = false;
    frame = latest_;
    sink = sink_;
  }
  if (sink && frame) sink->OnFrame(frame, destination, source, visible);
  return true;
}

std::shared_ptr<const VideoFrame> FrameHub::Latest() const {
  std::lock_guard lock(mutex_);
  return latest_;
}

void FrameHub::Reset() {
  std::lock_guard lock(mutex_);
  latest_.reset();
  pending_ = false;
}

bool WriteDib24(const VideoFrame& frame, std::uint32_t width, std::uint32_t height, void* buffer, std::size_t size) {
  if (width == 0 || height == 0 || frame.width == 0 || frame.height == 0) return false;
  if (!buffer || size < FrameDibSize(width, height)) return false;
  const std::size_t rowBytes = (std::size_t{width} * 3 + 3) & ~std::size_t{3};
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::memset(out, 0, FrameDibSize(width, height));
  auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(out + at, &v, 4); };
  auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(out + at, &v, 2); };
  put32(0, 40);
  put32(4, width);
  put32(8, height);  // positive: bottom-up
  put16(12, 1);
  put16(14, 24);
  put32(16, 0);
  put32(20, static_cast<std::uint32_t>(rowBytes * height));
  std::uint8_t* bits = out + 40;
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint32_t sy = static_cast<std::uint32_t>(std::uint64_t{y} * frame.height / height);
    const std::uint8_t* source = frame.pixels.data() + std::size_t{sy} * frame.stride;
    std::uint8_t* row = bits + std::size_t{height - 1 - y} * rowBytes;
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t sx = static_cast<std::uint32_t>(std::uint64_t{x} * frame.width / width);
      std::memcpy(row + std::size_t{x} * 3, source + std::size_t{sx} * 4, 3);  // B, G, R
    }
  }
  return true;
}

}  // namespace tovelax
