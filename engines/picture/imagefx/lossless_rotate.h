// Turning a JPEG file without decoding it: the file's Exif orientation and
// the requested clockwise angle become one of the eight lossless transforms
// of the DCT blocks; every marker is copied, the Orientation tag becomes 1
// and a thumbnail that no longer matches is dropped.
#pragma once

#include <string>

#include "engines/picture/imagefx/image_engine.h"

namespace imagefx {

// True when the file was turned (or the angle is a multiple of 360). False,
// with the reason, when the angle is not a quarter turn, the file is not a
// readable JPEG, or its size is not a whole number of blocks: the caller
// then loads, turns and saves instead.
bool RotateJpegLosslessly(const std::string& path, int angle, const FileWriter& writer, std::string* error);

}  // namespace imagefx
