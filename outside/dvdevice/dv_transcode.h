// DV frames to a file through the FFmpeg libraries: demuxed with the "dv"
// demuxer from a byte source, then stream-copied into AVI or encoded (see
// capture_writer.h for the formats).
#pragma once

#include <cstdint>
#include <functional>

#include "outside/dvdevice/capture_writer.h"

namespace dvdev {

// Reads up to `size` bytes; 0 at the end.
using ByteSource = std::function<int(std::uint8_t* out, int size)>;

// True when the whole file was written and closed.
bool TranscodeDv(const ByteSource& source, const WriterSettings& settings);

}  // namespace dvdev
