// StretchBlt, TransparentBlt and AlphaBlend.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/stretch_map.h"

namespace plat {

using gdi::StretchMap;

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// Filter taps of one axis for a run of destination pixels: for each, the
// first source index (surface coordinate) and its weights summing to kOne.
struct Taps {
  std::vector<std::int64_t> first;
  std::vector<std::uint32_t> offset;  // into weights
  std::vector<std::uint16_t> count;
  std::vector<std::int32_t> weights;
};

// Area average when shrinking, bilinear when enlarging. Source indices are
// clamped to the part of the source surface the rectangle covers.
Taps MakeTaps(const gdi::AxisMap& a, std::int64_t from, std::int64_t to) {
  Taps t;
  const double scale = static_cast<double>(a.src_count) / static_cast<double>(a.count);
  const std::int64_t lo = std::max<std::int64_t>(0, a.src_start);
  const std::int64_t hi = std::min<std::int64_t>(a.src_limit, a.src_start + a.src_count) - 1;
  // Offsets within the source rectangle that lie on the surface; weights
  // are only made for those, so a rectangle far larger than its surface
  // costs no more than the surface.
  const std::int64_t jlo = a.mirror ? a.src_count - 1 - (hi - a.src_start) : lo - a.src_start;
  const std::int64_t jhi = a.mirror ? a.src_count - 1 - (lo - a.src_start) : hi - a.src_start;
  std::vector<double> w;
  for (std::int64_t d = from; d < to; ++d) {
    const double i = static_cast<double>(d - a.dest_start);
    std::int64_t j0;
    w.clear();
    if (scale > 1.0) {
      double s0 = i * scale, s1 = (i + 1) * scale;
      s0 = std::max<double>(s0, static_cast<double>(jlo));
      s1 = std::min<double>(s1, static_cast<double>(jhi + 1));
      if (s1 <= s0) {  // only reachable through rounding at the surface edge
        s0 = std::clamp<double>(std::floor(i * scale), static_cast<double>(jlo), static_cast<double>(jhi));
        s1 = s0 + 1;
      }
      j0 = static_cast<std::int64_t>(std::floor(s0));
      const std::int64_t j1 = static_cast<std::int64_t>(std::ceil(s1));
      for (std::int64_t j = j0; j < j1; ++j)
        w.push_back(std::min<double>(s1, static_cast<double>(j + 1)) - std::max<double>(s0, static_cast<double>(j)));
    } else {
      const double c = (i + 0.5) * scale - 0.5;
      j0 = static_cast<std::int64_t>(std::floor(c));
      const double f = c - static_cast<double>(j0);
      w = {1.0 - f, f};
    }
    // Turn offsets within the rectangle into surface indices (mirrored when
    // needed) and clamp them into the covered part of the surface.
    std::vector<std::pair<std::int64_t, double>> taps;
    for (std::size_t k = 0; k < w.size(); ++k) {
      if (w[k] <= 0) continue;
      std::int64_t j = std::clamp<std::int64_t>(j0 + static_cast<std::int64_t>(k), 0, a.src_count - 1);
      if (a.mirror) j = a.src_count - 1 - j;
      taps.emplace_back(std::clamp<std::int64_t>(a.src_start + j, lo, hi), w[k]);
    }
    std::sort(taps.begin(), taps.end());
    double total = 0;
    for (auto& tap : taps) total += tap.second;
    t.first.push_back(taps.front().first);
    t.offset.push_back(static_cast<std::uint32_t>(t.weights.size()));
    const std::int64_t span = taps.back().first - taps.front().first + 1;
    const std::size_t base = t.weights.size();
    t.weights.resize(base + static_cast<std::size_t>(span), 0);
    int assigned = 0;
    for (std::size_t k = 0; k < taps.size(); ++k) {
      const int q = static_cast<int>(std::lround(taps[k].second / total * kOne));
      t.weights[base + static_cast<std::size_t>(taps[k].first - taps.front().first)] += q;
      assigned += q;
    }
    // Rounding remainder goes to the heaviest tap so the sum is exact.
    auto heaviest = std::max_element(t.weights.begin() + static_cast<std::ptrdiff_t>(base), t.weights.end());
    *heaviest += kOne - assigned;
    t.count.push_back(static_cast<std::uint16_t>(span));
  }
  return t;
}

void ApplyRop(std::uint32_t& d, std::uint32_t s, DWORD rop) {
  switch (rop) {
    case SRCPAINT: d |= s; break;
    case SRCAND: d &= s; break;
    case SRCINVERT: d = (d ^ s) | 0xFF000000u; break;
    default: d = s; break;
  }
}

void SmoothStretch(const HDC__& dst, const Surface& src, const StretchMap& map, DWORD rop) {
  const gdi::Box& b = map.dest;
  const int bw = static_cast<int>(b.right - b.left), bh = static_cast<int>(b.bottom - b.top);
  const Taps xt = MakeTaps(map.x, b.left, b.right);
  const Taps yt = MakeTaps(map.y, b.top, b.bottom);
  // Horizontal pass per source row, four channels in 8.8 fixed point. Output
  // rows walk the source rows in order, so a small cache of filtered rows
  // (least recently used evicted) holds every row a destination row needs.
  int max_taps = 1;
  for (std::uint16_t n : yt.count) max_taps = std::max<int>(max_taps, n);
  struct CachedRow {
    std::int64_t row = -1;
    std::uint64_t used = 0;
    std::vector<std::uint16_t> values;
  };
  std::vector<CachedRow> cache(static_cast<std::size_t>(max_taps) + 1);
  std::uint64_t clock = 0;
  auto filtered = [&](std::int64_t source_row) -> const std::uint16_t* {
    ++clock;
    for (CachedRow& c : cache)
      if (c.row == source_row) {
        c.used = clock;
        return c.values.data();
      }
    CachedRow& slot = *std::min_element(cache.begin(), cache.end(),
                                        [](const CachedRow& a, const CachedRow& b) { return a.used < b.used; });
    slot.row = source_row;
    slot.used = clock;
    slot.values.resize(static_cast<std::size_t>(bw) * 4);
    const std::uint32_t* s = src.row(static_cast<int>(source_row));
    std::uint16_t* out = slot.values.data();
    for (int c = 0; c < bw; ++c) {
      std::uint32_t acc[4] = {0, 0, 0, 0};
      const std::uint32_t* px = s + xt.first[c];
      const std::int32_t* w = xt.weights.data() + xt.offset[c];
      for (int k = 0; k < xt.count[c]; ++k) {
        const std::uint32_t p = px[k];
        const std::uint32_t wk = static_cast<std::uint32_t>(w[k]);
        acc[0] += (p & 0xFF) * wk;
        acc[1] += ((p >> 8) & 0xFF) * wk;
        acc[2] += ((p >> 16) & 0xFF) * wk;
        acc[3] += (p >> 24) * wk;
      }
      for (int ch = 0; ch < 4; ++ch) out[4 * c + ch] = static_cast<std::uint16_t>((acc[ch] + 32) >> 6);
    }
    return out;
  };
  // Vertical pass into the box, then out through the clip.
  Surface box(bw, bh);
  std::vector<const std::uint16_t*> rows;
  std::vector<std::uint32_t> acc(static_cast<std::size_t>(bw) * 4);
  for (int r = 0; r < bh; ++r) {
    const std::int32_t* w = yt.weights.data() + yt.offset[r];
    rows.clear();
    for (int k = 0; k < yt.count[r]; ++k) rows.push_back(filtered(yt.first[r] + k));
    // Whole rows at a time: the inner loop runs over plain arrays.
    std::fill(acc.begin(), acc.end(), 0u);
    for (int k = 0; k < yt.count[r]; ++k) {
      const std::uint16_t* h = rows[k];
      const std::uint32_t wk = static_cast<std::uint32_t>(w[k]);
      for (std::size_t i = 0; i < acc.size(); ++i) acc[i] += h[i] * wk;
    }
    std::uint32_t* out = box.row(r);
    for (int c = 0; c < bw; ++c) {
      std::uint32_t p = 0;
      for (int ch = 0; ch < 4; ++ch)
        p |= std::min<std::uint32_t>(255, (acc[4 * c + ch] + (1u << 21)) >> 22) << (8 * ch);
      out[c] = p;
    }
  }
  gdi::ForEachClipped(dst, b, [&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      std::uint32_t* d = dst.surface->row(y);
      const std::uint32_t* s = box.row(static_cast<int>(y - b.top));
      for (LONG x = r.left; x < r.right; ++x) ApplyRop(d[x], s[x - b.left], rop);
    }
  });
}

bool IsCopyRop(DWORD rop) { return rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT; }

// Nearest-pixel SRCCOPY, the skin's everyday stretch: a destination row that
// maps to the same source row as the row above is a copy of that row, and an
// unscaled row is a copy of the source. Same pixels as the general loop.
void NearestCopy(const HDC__& dst, const Surface& src, const StretchMap& map) {
  std::vector<std::int32_t> cols;
  gdi::ForEachClipped(dst, map.dest, [&](const RECT& r) {
    const std::size_t width = static_cast<std::size_t>(r.right - r.left);
    cols.resize(width);
    bool inside = true;
    for (LONG c = r.left; c < r.right; ++c) {
      const std::int64_t sc = map.x.Nearest(c);
      inside = inside && sc >= 0;
      cols[static_cast<std::size_t>(c - r.left)] = static_cast<std::int32_t>(sc);
    }
    bool straight = inside;
    for (std::size_t i = 1; straight && i < width; ++i) straight = cols[i] == cols[0] + static_cast<std::int32_t>(i);
    std::int64_t previousSource = -1;
    const std::uint32_t* previous = nullptr;
    for (LONG row = r.top; row < r.bottom; ++row) {
      const std::int64_t sr = map.y.Nearest(row);
      if (sr < 0) {
        previousSource = -1;
        continue;
      }
      std::uint32_t* d = dst.surface->row(row) + r.left;
      const std::uint32_t* s = src.row(static_cast<int>(sr));
      if (sr == previousSource) {
        std::memcpy(d, previous, width * sizeof *d);
      } else if (straight) {
        std::memcpy(d, s + cols[0], width * sizeof *d);
      } else if (inside) {
        const std::int32_t* col = cols.data();
        for (std::size_t i = 0; i < width; ++i) d[i] = s[col[i]];
      } else {
        for (std::size_t i = 0; i < width; ++i)
          if (cols[i] >= 0) d[i] = s[cols[i]];
      }
      // Only a row copied whole can stand for the next one.
      previousSource = inside ? sr : -1;
      previous = d;
    }
  });
}

}  // namespace

BOOL StretchBlt(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, int width_src,
                int height_src, DWORD rop) {
  HDC__* dst = gdi::FindDC(hdc);
  if (!dst) return FALSE;
  if (!IsCopyRop(rop)) return PatBlt(hdc, x, y, width, height, rop);
  HDC__* src = gdi::FindDC(hdc_src);
  if (!src) return FALSE;
  StretchMap map;
  if (!MakeStretchMap(*dst, x, y, width, height, *src, x_src, y_src, width_src, height_src, &map)) return TRUE;
  // Copy the source first when it is the destination's own surface.
  SurfacePtr from = src->surface;
  if (from == dst->surface) from = std::make_shared<Surface>(*from);
  if (dst->stretch_mode == HALFTONE) {
    SmoothStretch(*dst, *from, map, rop);
  } else if (rop == SRCCOPY) {
    NearestCopy(*dst, *from, map);
  } else {
    gdi::ForEachNearest(*dst, *from, map, [rop](std::uint32_t& d, std::uint32_t s) { ApplyRop(d, s, rop); });
  }
  return TRUE;
}

BOOL TransparentBlt(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, int width_src,
                    int height_src, UINT transparent) {
  HDC__* dst = gdi::FindDC(hdc);
  HDC__* src = gdi::FindDC(hdc_src);
  if (!dst || !src || width < 0 || height < 0 || width_src < 0 || height_src < 0) return FALSE;
  StretchMap map;
  if (!MakeStretchMap(*dst, x, y, width, height, *src, x_src, y_src, width_src, height_src, &map)) return TRUE;
  SurfacePtr from = src->surface;
  if (from == dst->surface) from = std::make_shared<Surface>(*from);
  const std::uint32_t key = PixelFromColorRef(transparent) & 0x00FFFFFFu;
  gdi::ForEachNearest(*dst, *from, map, [key](std::uint32_t& d, std::uint32_t s) {
    if ((s & 0x00FFFFFFu) != key) d = s | 0xFF000000u;
  });
  return TRUE;
}

BOOL AlphaBlend(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, int width_src,
                int height_src, BLENDFUNCTION blend) {
  HDC__* dst = gdi::FindDC(hdc);
  HDC__* src = gdi::FindDC(hdc_src);
  if (!dst || !src || blend.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || width_src < 0 || height_src < 0)
    return FALSE;
  StretchMap map;
  if (!MakeStretchMap(*dst, x, y, width, height, *src, x_src, y_src, width_src, height_src, &map)) return TRUE;
  SurfacePtr from = src->surface;
  if (from == dst->surface) from = std::make_shared<Surface>(*from);
  const std::uint32_t ca = blend.SourceConstantAlpha;
  const bool per_pixel = blend.AlphaFormat & AC_SRC_ALPHA;
  gdi::ForEachNearest(*dst, *from, map, [&](std::uint32_t& d, std::uint32_t s) {
    std::uint32_t out = 0;
    if (per_pixel) {
      // Source premultiplied: d = s·ca + d·(1 − sa·ca).
      const std::uint32_t sa = ((s >> 24) * ca + 127) / 255;
      for (int ch = 0; ch < 32; ch += 8) {
        const std::uint32_t sc = (((s >> ch) & 0xFF) * ca + 127) / 255;
        const std::uint32_t dc = (d >> ch) & 0xFF;
        const std::uint32_t v = ch == 24 ? sa + (dc * (255 - sa) + 127) / 255 : sc + (dc * (255 - sa) + 127) / 255;
        out |= std::min<std::uint32_t>(255, v) << ch;
      }
    } else {
      for (int ch = 0; ch < 32; ch += 8) {
        const std::uint32_t sc = (s >> ch) & 0xFF, dc = (d >> ch) & 0xFF;
        out |= ((sc * ca + dc * (255 - ca) + 127) / 255) << ch;
      }
    }
    d = out;
  });
  return TRUE;
}

}  // namespace plat
