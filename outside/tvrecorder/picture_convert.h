// Pictures from live frames: scaled to a size and converted to BGR24 rows
// (the wall pictures) or to a 32-bit surface (snapshots).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "outside/tvrecorder/tv_source.h"
#include "platform/gdi/surface.h"

namespace tvrec {

// Packed BGR24 rows of `width` x `height`; empty when the frame is unusable.
std::vector<std::uint8_t> FrameToBgr24(const VideoFrameI420& frame, int width, int height);

// At the frame's size, or scaled to `width` x `height`.
std::optional<plat::Surface> FrameToSurface(const VideoFrameI420& frame, int width = 0, int height = 0);

}  // namespace tvrec
