// A small picture of a video file for the Video page's grids: FFmpeg in the
// calling thread, key frames only, bounded in time. The picture is taken at a
// tenth of the running time (at most 30 s in), passing over up to three
// nearly black key frames (fades, black leaders), and fitted into
// 200 x 150 with the pixel aspect ratio of the stream.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "platform/core/types.h"
#include "platform/gdi/surface.h"

namespace plat::media {

struct VideoThumbnailLimits {
  int maxWidth = 200;
  int maxHeight = 150;
  // The whole extraction (opening, probing, seeking, decoding) ends after
  // this long, whatever the file does.
  std::chrono::milliseconds budget{2000};
};

// The picture, or nullopt with the reason in `reason` (for debug output).
// Setting `stop` (may be null) from another thread ends a running
// extraction at its next read.
std::optional<Surface> ExtractVideoThumbnail(const std::string& path, const std::atomic<bool>* stop,
                                             std::string* reason = nullptr, const VideoThumbnailLimits& limits = {});

// The same as a 32-bit DIB section bitmap; null on failure.
HBITMAP ExtractVideoThumbnailBitmap(const std::string& path, const std::atomic<bool>* stop,
                                    std::string* reason = nullptr, const VideoThumbnailLimits& limits = {});

}  // namespace plat::media
