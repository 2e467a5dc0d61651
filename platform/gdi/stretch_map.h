// Maps destination pixels of a scaled copy to source pixels. Internal to the
// stretching blits (StretchBlt, TransparentBlt, AlphaBlend).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/dc_object.h"

namespace plat::gdi {

// One axis: `count` destination pixels from `src_count` source pixels that
// start at `src_start` on a source surface `src_limit` pixels long.
struct AxisMap {
  std::int64_t dest_start = 0;  // surface coordinate of the first destination pixel
  std::int64_t count = 0;
  std::int64_t src_start = 0;
  std::int64_t src_count = 0;
  std::int64_t src_limit = 0;
  bool mirror = false;

  // Nearest source index (surface coordinate) for destination pixel d, or -1
  // when it falls outside the source surface.
  std::int64_t Nearest(std::int64_t d) const {
    std::int64_t i = (d - dest_start) * src_count / count;
    if (mirror) i = src_count - 1 - i;
    const std::int64_t s = src_start + i;
    return (s >= 0 && s < src_limit) ? s : -1;
  }
  // The destination range [first, last) whose nearest source lies inside the
  // source surface, within [lo, hi). Mapping is monotonic, so it is one run.
  void ValidRange(std::int64_t lo, std::int64_t hi, std::int64_t* first, std::int64_t* last) const;
};

// Builds both axes from logical arguments; false when nothing is drawn
// (zero sizes, or no overlap with either surface).
struct StretchMap {
  AxisMap x, y;
  Box dest;  // clipped destination box on the destination surface (not yet region-clipped)
};
bool MakeStretchMap(const HDC__& dst, int x, int y, int w, int h, const HDC__& src, int sx, int sy, int sw, int sh,
                    StretchMap* map);
// The same for a whole picture of the given size that is on no surface yet
// (as if selected into a fresh memory DC).
bool MakeStretchMapFromPicture(const HDC__& dst, int x, int y, int w, int h, int src_width, int src_height,
                               StretchMap* map);

// For each destination row and column inside the DC's clip and `map.dest`,
// calls f(dest_row_ptr, dest_x, src_pixel) with the nearest source pixel.
template <class F>
void ForEachNearest(const HDC__& dst, const Surface& src, const StretchMap& map, F&& f) {
  std::vector<std::int64_t> cols;
  ForEachClipped(dst, map.dest, [&](const RECT& r) {
    cols.resize(static_cast<std::size_t>(r.right - r.left));
    for (LONG c = r.left; c < r.right; ++c) cols[c - r.left] = map.x.Nearest(c);
    for (LONG row = r.top; row < r.bottom; ++row) {
      const std::int64_t sr = map.y.Nearest(row);
      if (sr < 0) continue;
      const std::uint32_t* s = src.row(static_cast<int>(sr));
      std::uint32_t* d = dst.surface->row(row);
      for (LONG c = r.left; c < r.right; ++c) {
        const std::int64_t sc = cols[c - r.left];
        if (sc >= 0) f(d[c], s[sc]);
      }
    }
  });
}

}  // namespace plat::gdi
