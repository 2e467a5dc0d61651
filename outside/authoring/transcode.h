// Elements to disc video: a video file decoded with libavformat/libavcodec,
// scaled (libswscale) and resampled (libswresample) to the disc's format;
// a photo shown still for its duration, upright by its Exif orientation.
// Both are letterboxed into the 4:3 picture, black around.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "outside/authoring/job.h"
#include "outside/authoring/mpeg_target.h"
#include "outside/authoring/mpeg_writer.h"
#include "platform/com/hresult.h"

namespace authoring {

// Where a picture of `width` x `height` (pixels `sarNum`:`sarDen` wide)
// lies in the target's stored picture: even position and size.
struct PlaceRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
PlaceRect Letterbox(int width, int height, int sarNum, int sarDen, const MpegTarget& target);

// Fraction 0..1 of the element done.
using ElementProgress = std::function<void(double)>;

// Appends the video's pictures and sound to `writer`. Fails for a file with
// no decodable video.
plat::HRESULT AppendVideo(const std::string& path, MpegWriter& writer, const JobControl& control,
                          const ElementProgress& progress);

// Appends `seconds` of the photo, still, with silence.
plat::HRESULT AppendStill(const std::string& path, int seconds, MpegWriter& writer, const JobControl& control);

// Whether a file holds a JPEG whose main picture is complete (ends with its
// end-of-image marker after the last scan): a cut-off file decodes with
// grey where its data stops, which must not reach a disc.
bool JpegLooksComplete(const std::string& bytes);

// Duration in seconds of a video file; 0 when unknown or unreadable.
double VideoSeconds(const std::string& path);

bool IsStillFile(const std::string& path);

}  // namespace authoring
