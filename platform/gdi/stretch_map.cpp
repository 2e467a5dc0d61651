#include "platform/gdi/stretch_map.h"

namespace plat::gdi {

void AxisMap::ValidRange(std::int64_t lo, std::int64_t hi, std::int64_t* first, std::int64_t* last) const {
  // Binary searches over the monotonic nearest mapping.
  auto inside = [&](std::int64_t d) { return Nearest(d) >= 0; };
  auto before_valid = [&](std::int64_t d) {
    // True while d lies on the side of the run that comes first.
    std::int64_t i = (d - dest_start) * src_count / count;
    if (mirror) i = src_count - 1 - i;
    const std::int64_t s = src_start + i;
    return mirror ? s >= src_limit : s < 0;
  };
  std::int64_t a = lo, b = hi;
  while (a < b) {
    const std::int64_t m = a + (b - a) / 2;
    if (before_valid(m)) a = m + 1;
    else b = m;
  }
  *first = a;
  b = hi;
  while (a < b) {
    const std::int64_t m = a + (b - a) / 2;
    if (inside(m)) a = m + 1;
    else b = m;
  }
  *last = a;
}

namespace {

bool MakeAxis(std::int64_t d, std::int64_t w, std::int64_t s, std::int64_t sw, std::int64_t limit, AxisMap* axis) {
  if (w == 0 || sw == 0) return false;
  axis->mirror = (w < 0) != (sw < 0);
  // A negative extent runs from its start pixel backwards, start included
  // (so (w - 1, -w) mirrors a w-wide bitmap exactly).
  if (w < 0) { d += w + 1; w = -w; }
  if (sw < 0) { s += sw + 1; sw = -sw; }
  axis->dest_start = d;
  axis->count = w;
  axis->src_start = s;
  axis->src_count = sw;
  axis->src_limit = limit;
  return true;
}

}  // namespace

namespace {

// The destination box once both axes are made.
bool FinishStretchMap(const HDC__& dst, StretchMap* map) {
  // Destination box within the destination surface and the clip bounds.
  const RECT cb = dst.clip.bounds();
  Box box = Intersect({map->x.dest_start, map->y.dest_start, map->x.dest_start + map->x.count,
                       map->y.dest_start + map->y.count},
                      ToBox(cb));
  if (box.empty()) return false;
  // Only the part whose source lies on the source surface.
  std::int64_t x0, x1, y0, y1;
  map->x.ValidRange(box.left, box.right, &x0, &x1);
  map->y.ValidRange(box.top, box.bottom, &y0, &y1);
  map->dest = Box{x0, y0, x1, y1};
  return !map->dest.empty();
}

}  // namespace

bool MakeStretchMap(const HDC__& dst, int x, int y, int w, int h, const HDC__& src, int sx, int sy, int sw, int sh,
                    StretchMap* map) {
  if (!dst.surface || !src.surface) return false;
  if (!MakeAxis(dst.SurfaceX(x), w, src.SurfaceX(sx), sw, src.surface->width(), &map->x)) return false;
  if (!MakeAxis(dst.SurfaceY(y), h, src.SurfaceY(sy), sh, src.surface->height(), &map->y)) return false;
  return FinishStretchMap(dst, map);
}

bool MakeStretchMapFromPicture(const HDC__& dst, int x, int y, int w, int h, int src_width, int src_height,
                               StretchMap* map) {
  if (!dst.surface || src_width <= 0 || src_height <= 0) return false;
  if (!MakeAxis(dst.SurfaceX(x), w, 0, src_width, src_width, &map->x)) return false;
  if (!MakeAxis(dst.SurfaceY(y), h, 0, src_height, src_height, &map->y)) return false;
  return FinishStretchMap(dst, map);
}

}  // namespace plat::gdi
