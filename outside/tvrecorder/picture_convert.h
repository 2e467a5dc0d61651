// Pictures from live frames: scaled to a size and converted to BGR24 rows
// (the wall pictures) or to a 32-bit surface (snapshots).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "outside/tvrecorder/tv_source.h"
#include "platform/gdi/surface.h"

struct SwsContext;

namespace tvrec {

// Packed BGR24 rows of `width` x `height`; empty when the frame is unusable.
std::vector<std::uint8_t> FrameToBgr24(const VideoFrameI420& frame, int width, int height);

// At the frame's size, or scaled to `width` x `height`.
std::optional<plat::Surface> FrameToSurface(const VideoFrameI420& frame, int width = 0, int height = 0);

// Scales frames into a surface the caller keeps, at the surface's size,
// keeping the scaler between calls while the sizes stay the same: the live
// picture is converted many times a second into the same few surfaces.
class SurfaceScaler {
 public:
  SurfaceScaler() = default;
  ~SurfaceScaler();
  SurfaceScaler(const SurfaceScaler&) = delete;
  SurfaceScaler& operator=(const SurfaceScaler&) = delete;

  // False (the surface untouched) when the frame is unusable.
  bool Convert(const VideoFrameI420& frame, plat::Surface& into);

 private:
  SwsContext* context_ = nullptr;
};

}  // namespace tvrec
