#include "engines/playback/discrunner/placement.h"

namespace discrunner {

namespace {
std::int32_t Narrow(std::int64_t v) { return static_cast<std::int32_t>(v); }
}  // namespace

Box FitByAspect(int aspectMode, const Box& area, std::int64_t W, std::int64_t H) {
  if ((aspectMode != 1 && aspectMode != 2) || W <= 0 || H <= 0) return area;
  const std::int64_t width = area.right;
  const std::int64_t height = area.bottom;
  bool pictureWider = H * width < W * height;
  if (aspectMode == 2) pictureWider = !pictureWider;
  Box out = area;
  if (pictureWider) {
    const std::int64_t cut = (height - width * H / W) / 2;
    out.top = Narrow(area.top + cut);
    out.bottom = Narrow(area.bottom - cut);
  } else {
    const std::int64_t cut = (width - W * height / H) / 2;
    out.left = Narrow(area.left + cut);
    out.right = Narrow(area.right - cut);
  }
  return out;
}

Box CentreRatio(const Box& monitor, std::int64_t rx, std::int64_t ry) {
  const std::int64_t mw = std::int64_t{monitor.right} - monitor.left;
  const std::int64_t mh = std::int64_t{monitor.bottom} - monitor.top;
  if (rx <= 0 || ry <= 0 || mw <= 0 || mh <= 0) return monitor;
  std::int64_t w = mw, h = mw * ry / rx;
  if (h > mh) {
    h = mh;
    w = mh * rx / ry;
  }
  const std::int64_t left = monitor.left + (mw - w) / 2;
  const std::int64_t top = monitor.top + (mh - h) / 2;
  return {Narrow(left), Narrow(top), Narrow(left + w), Narrow(top + h)};
}

std::optional<Box> FullScreenRect(int aspectMode, const Box& monitor, std::optional<Ratio> aspect) {
  if (aspectMode == 3) return monitor;
  if (aspectMode == 2) {
    if (!aspect || aspect->x <= 0 || aspect->y <= 0) return std::nullopt;
    const std::int64_t mw = std::int64_t{monitor.right} - monitor.left;
    const std::int64_t mh = std::int64_t{monitor.bottom} - monitor.top;
    const std::int64_t w = mh * aspect->x / aspect->y;
    const std::int64_t left = monitor.left + (mw - w) / 2;
    return Box{Narrow(left), monitor.top, Narrow(left + w), monitor.bottom};
  }
  if (aspect && ((aspect->x == 16 && aspect->y == 9) || (aspect->x == 4 && aspect->y == 3)))
    return CentreRatio(monitor, aspect->x, aspect->y);
  return monitor;
}

}  // namespace discrunner
