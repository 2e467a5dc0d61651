#include "outside/authoring/mpeg_target.h"

#include <algorithm>

namespace authoring {

MpegTarget TargetFor(DiscKind kind, bool pal, const AuthoringFormatRecord& format) {
  MpegTarget t;
  t.fpsNum = pal ? 25 : 30000;
  t.fpsDen = pal ? 1 : 1001;
  t.gop = pal ? 15 : 18;
  const int fullHeight = pal ? 576 : 480;
  const int halfHeight = pal ? 288 : 240;
  if (kind == DiscKind::Vcd) {
    // A Video CD is fixed: 352 wide, constant 1150 kbit/s, 224 kbit/s sound.
    t.mpeg1 = true;
    t.width = 352;
    t.height = halfHeight;
    t.videoBitRate = t.minBitRate = t.maxBitRate = 1150000;
    t.bufferBits = 40 * 1024 * 8;
    t.audioRate = 44100;
    t.audioBitRate = 224000;
    t.muxer = "vcd";
    t.packetSize = 2324;
    t.muxRate = 3528 * 400;
    return t;
  }
  if (kind == DiscKind::Svcd) {
    t.width = 480;
    t.height = fullHeight;
    t.videoBitRate = format.averageBitRate > 0 ? format.averageBitRate : 2040000;
    t.maxBitRate = 2516000;
    t.videoBitRate = std::clamp<std::int64_t>(t.videoBitRate, 500000, t.maxBitRate);
    t.minBitRate = 0;
    t.bufferBits = 224 * 1024 * 8;
    t.audioRate = 44100;
    t.audioBitRate = 224000;
    t.muxer = "svcd";
    t.packetSize = 2324;
    return t;
  }
  // DVD: 720 (or 352) wide; the record's half height becomes the
  // standard's half height.
  t.width = format.width == 352 ? 352 : 720;
  t.height = format.height == 0 ? fullHeight : (format.height <= 288 ? halfHeight : fullHeight);
  if (t.width == 720) t.height = fullHeight;
  constexpr std::int64_t kDvdVideoMax = 9000000;
  t.videoBitRate = std::clamp<std::int64_t>(format.averageBitRate > 0 ? format.averageBitRate : 6000000, 1000000,
                                            kDvdVideoMax);
  t.maxBitRate = std::clamp<std::int64_t>(format.maximumBitRate > 0 ? format.maximumBitRate : kDvdVideoMax,
                                          t.videoBitRate, kDvdVideoMax);
  t.minBitRate = std::clamp<std::int64_t>(format.minimumBitRate, 0, t.videoBitRate);
  t.bufferBits = 224 * 1024 * 8;
  t.audioRate = 48000;
  const int kbps = format.audioKbps > 0 ? format.audioKbps : 224;
  t.audioBitRate = std::clamp(kbps, 64, 384) * 1000;
  t.muxer = "dvd";
  t.packetSize = 2048;
  t.muxRate = 10080000;
  return t;
}

}  // namespace authoring
