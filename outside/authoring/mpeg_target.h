// What a disc's video must be: picture size, frame rate, codec, bit rates,
// audio and multiplex, from the disc kind, the video standard and the
// format record (whose zero fields mean the standard's values).
#pragma once

#include <cstdint>

#include "interfaces/authoring.h"
#include "outside/authoring/job.h"

namespace authoring {

struct MpegTarget {
  bool mpeg1 = false;           // VCD: MPEG-1; DVD and SVCD: MPEG-2
  int width = 720;
  int height = 576;
  int fpsNum = 25;
  int fpsDen = 1;
  int displayAspectNum = 4;     // the picture is shown at 4:3
  int displayAspectDen = 3;
  std::int64_t videoBitRate = 0;
  std::int64_t minBitRate = 0;
  std::int64_t maxBitRate = 0;
  int bufferBits = 0;           // the decoder's video buffer
  int gop = 15;
  int audioRate = 48000;
  int audioBitRate = 224000;
  const char* muxer = "dvd";
  int packetSize = 2048;
  std::int64_t muxRate = 0;     // bits per second; 0 the muxer's own
};

// Bit rates outside what a disc's players take are brought inside it: a
// disc that plays nowhere is no use to anybody.
MpegTarget TargetFor(DiscKind kind, bool pal, const AuthoringFormatRecord& format);

}  // namespace authoring
