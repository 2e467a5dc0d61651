#include "outside/tvrecorder/picture_convert.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace tvrec {

namespace {

bool Usable(const VideoFrameI420& frame, int width, int height) {
  const std::size_t cw = static_cast<std::size_t>((frame.width + 1) / 2);
  const std::size_t ch = static_cast<std::size_t>((frame.height + 1) / 2);
  const std::size_t luma = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
  return frame.width > 0 && frame.height > 0 && width > 0 && height > 0 && frame.data.size() >= luma + 2 * cw * ch;
}

// Scales with `sws` (made or replaced to fit, kept by the caller).
bool Convert(SwsContext*& sws, const VideoFrameI420& frame, int width, int height, AVPixelFormat format,
             std::uint8_t* out, int stride) {
  if (!Usable(frame, width, height)) return false;
  sws = sws_getCachedContext(sws, frame.width, frame.height, AV_PIX_FMT_YUV420P, width, height, format, SWS_BILINEAR,
                             nullptr, nullptr, nullptr);
  if (!sws) return false;
  const std::size_t cw = static_cast<std::size_t>((frame.width + 1) / 2);
  const std::size_t ch = static_cast<std::size_t>((frame.height + 1) / 2);
  const std::size_t luma = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
  const std::uint8_t* planes[3] = {frame.data.data(), frame.data.data() + luma, frame.data.data() + luma + cw * ch};
  const int strides[3] = {frame.width, static_cast<int>(cw), static_cast<int>(cw)};
  std::uint8_t* dst[1] = {out};
  const int dstStride[1] = {stride};
  sws_scale(sws, planes, strides, 0, frame.height, dst, dstStride);
  return true;
}

bool Convert(const VideoFrameI420& frame, int width, int height, AVPixelFormat format, std::uint8_t* out,
             int stride) {
  SwsContext* sws = nullptr;
  const bool ok = Convert(sws, frame, width, height, format, out, stride);
  sws_freeContext(sws);
  return ok;
}

// Opaque, whatever the converter left in the alpha bytes.
void MakeOpaque(plat::Surface& surface) {
  for (int y = 0; y < surface.height(); ++y) {
    std::uint32_t* row = surface.row(y);
    for (int x = 0; x < surface.width(); ++x) row[x] |= 0xFF000000u;
  }
}

}  // namespace

std::vector<std::uint8_t> FrameToBgr24(const VideoFrameI420& frame, int width, int height) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width > 0 ? width : 0) * 3u *
                                static_cast<std::size_t>(height > 0 ? height : 0));
  if (out.empty() || !Convert(frame, width, height, AV_PIX_FMT_BGR24, out.data(), width * 3)) return {};
  return out;
}

std::optional<plat::Surface> FrameToSurface(const VideoFrameI420& frame, int width, int height) {
  if (width <= 0 || height <= 0) {
    width = frame.width;
    height = frame.height;
  }
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return std::nullopt;
  plat::Surface surface(width, height);
  if (!Convert(frame, width, height, AV_PIX_FMT_BGRA, reinterpret_cast<std::uint8_t*>(surface.data()), width * 4)) {
    return std::nullopt;
  }
  MakeOpaque(surface);
  return surface;
}

SurfaceScaler::~SurfaceScaler() { sws_freeContext(context_); }

bool SurfaceScaler::Convert(const VideoFrameI420& frame, plat::Surface& into) {
  if (into.empty() || into.bottom_up()) return false;
  if (!tvrec::Convert(context_, frame, into.width(), into.height(), AV_PIX_FMT_BGRA,
                      reinterpret_cast<std::uint8_t*>(into.data()), into.width() * 4)) {
    return false;
  }
  MakeOpaque(into);
  return true;
}

}  // namespace tvrec
