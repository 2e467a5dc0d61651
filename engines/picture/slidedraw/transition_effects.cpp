#include "engines/picture/slidedraw/transition_effects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace slidedraw {
namespace {

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t weight /* of b, 0..256 */) {
  const std::uint32_t inv = 256 - weight;
  const std::uint32_t rb = (((a & 0x00FF00FFu) * inv + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
  const std::uint32_t g = (((a & 0x0000FF00u) * inv + (b & 0x0000FF00u) * weight) >> 8) & 0x0000FF00u;
  return 0xFF000000u | rb | g;
}

std::uint32_t Darken(std::uint32_t pixel, std::uint32_t keep /* 0..256 */) { return Mix(0xFF000000u, pixel, keep); }

void Crossfade(double p, const plat::Surface& from, const plat::Surface& to, plat::Surface& out) {
  const auto weight = static_cast<std::uint32_t>(std::lround(p * 256.0));
  const std::size_t n = static_cast<std::size_t>(out.width()) * static_cast<std::size_t>(out.height());
  const std::uint32_t* a = from.data();
  const std::uint32_t* b = to.data();
  std::uint32_t* o = out.data();
  for (std::size_t i = 0; i < n; ++i) o[i] = Mix(a[i], b[i], weight);
}

// Picks per pixel: the new slide where `inside` holds, else the old one.
template <typename Inside>
void Mask(const plat::Surface& from, const plat::Surface& to, plat::Surface& out, Inside inside) {
  for (int y = 0; y < out.height(); ++y) {
    const std::uint32_t* a = from.row(y);
    const std::uint32_t* b = to.row(y);
    std::uint32_t* o = out.row(y);
    for (int x = 0; x < out.width(); ++x) o[x] = inside(x, y) ? b[x] : a[x];
  }
}

// The new slide moves in from one side over the old one (dx, dy: its offset).
void SlideIn(const plat::Surface& from, const plat::Surface& to, plat::Surface& out, int dx, int dy) {
  const int w = out.width();
  const int h = out.height();
  for (int y = 0; y < h; ++y) {
    const int sy = y - dy;
    std::uint32_t* o = out.row(y);
    if (sy < 0 || sy >= h) {
      std::memcpy(o, from.row(y), sizeof(std::uint32_t) * static_cast<std::size_t>(w));
      continue;
    }
    const std::uint32_t* b = to.row(sy);
    const std::uint32_t* a = from.row(y);
    for (int x = 0; x < w; ++x) {
      const int sx = x - dx;
      o[x] = (sx >= 0 && sx < w) ? b[sx] : a[x];
    }
  }
}

void Push(double p, const plat::Surface& from, const plat::Surface& to, plat::Surface& out) {
  // The new slide comes in from the right and pushes the old one out left.
  const int w = out.width();
  const int shift = static_cast<int>(std::lround(p * w));
  for (int y = 0; y < out.height(); ++y) {
    std::uint32_t* o = out.row(y);
    const std::uint32_t* a = from.row(y);
    const std::uint32_t* b = to.row(y);
    for (int x = 0; x < w; ++x) {
      const int ax = x + shift;
      o[x] = ax < w ? a[ax] : b[ax - w];
    }
  }
}

void Zoom(double p, const plat::Surface& from, const plat::Surface& to, plat::Surface& out) {
  // The new slide grows from the centre over the old one.
  const int w = out.width();
  const int h = out.height();
  const int zw = std::max(1, static_cast<int>(std::lround(p * w)));
  const int zh = std::max(1, static_cast<int>(std::lround(p * h)));
  const int left = (w - zw) / 2;
  const int top = (h - zh) / 2;
  for (int y = 0; y < h; ++y) {
    std::uint32_t* o = out.row(y);
    const std::uint32_t* a = from.row(y);
    const bool rowInside = y >= top && y < top + zh;
    const std::uint32_t* b = rowInside ? to.row(static_cast<int>(std::int64_t{y - top} * h / zh)) : nullptr;
    for (int x = 0; x < w; ++x) {
      if (rowInside && x >= left && x < left + zw)
        o[x] = b[static_cast<int>(std::int64_t{x - left} * w / zw)];
      else
        o[x] = a[x];
    }
  }
}

void Peel(double p, const plat::Surface& from, const plat::Surface& to, plat::Surface& out) {
  // The old slide is peeled off towards the left; a shaded band marks the fold.
  const int w = out.width();
  const int edge = w - static_cast<int>(std::lround(p * w));
  const int band = std::max(1, w / 24);
  for (int y = 0; y < out.height(); ++y) {
    std::uint32_t* o = out.row(y);
    const std::uint32_t* a = from.row(y);
    const std::uint32_t* b = to.row(y);
    for (int x = 0; x < w; ++x) {
      if (x < edge) {
        const int d = edge - x;
        o[x] = d < band ? Darken(a[x], static_cast<std::uint32_t>(160 + 96 * d / band)) : a[x];
      } else {
        const int d = x - edge;
        o[x] = d < band ? Darken(b[x], static_cast<std::uint32_t>(96 + 160 * d / band)) : b[x];
      }
    }
  }
}

}  // namespace

void ComposeTransition(int effect, double progress, const plat::Surface& from, const plat::Surface& to,
                       plat::Surface& out) {
  const int w = out.width();
  const int h = out.height();
  if (from.width() != w || to.width() != w || from.height() != h || to.height() != h || out.empty()) return;
  const double p = std::clamp(progress, 0.0, 1.0);
  // The ends of every transition are the two slides themselves.
  if (p <= 0.0 || p >= 1.0) {
    const plat::Surface& whole = p <= 0.0 ? from : to;
    std::memcpy(out.data(), whole.data(), sizeof(std::uint32_t) * static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    return;
  }
  const int px = static_cast<int>(std::lround(p * w));
  const int py = static_cast<int>(std::lround(p * h));
  switch (effect) {
    case kCut:
      Mask(from, to, out, [&](int, int) { return p >= 0.5; });
      return;
    case kWipeFromLeft:
      Mask(from, to, out, [&](int x, int) { return x < px; });
      return;
    case kWipeFromRight:
      Mask(from, to, out, [&](int x, int) { return x >= w - px; });
      return;
    case kWipeFromTop:
      Mask(from, to, out, [&](int, int y) { return y < py; });
      return;
    case kWipeFromBottom:
      Mask(from, to, out, [&](int, int y) { return y >= h - py; });
      return;
    case kWipeBoxFromCentre: {
      const int hw = px / 2;
      const int hh = py / 2;
      Mask(from, to, out, [&](int x, int y) {
        return (std::abs(2 * x - w + 1) < 2 * hw && std::abs(2 * y - h + 1) < 2 * hh);
      });
      return;
    }
    case kBarnDoors:  // the old slide opens like two doors from the centre
      Mask(from, to, out, [&](int x, int) { return std::abs(2 * x - w + 1) < px; });
      return;
    case kSplit:  // the old slide splits horizontally from the centre
      Mask(from, to, out, [&](int, int y) { return std::abs(2 * y - h + 1) < py; });
      return;
    case kSlideFromLeft:
      SlideIn(from, to, out, px - w, 0);
      return;
    case kSlideFromRight:
      SlideIn(from, to, out, w - px, 0);
      return;
    case kSlideFromTop:
      SlideIn(from, to, out, 0, py - h);
      return;
    case kSlideFromBottom:
      SlideIn(from, to, out, 0, h - py);
      return;
    case kPush:
      Push(p, from, to, out);
      return;
    case kZoom:
      Zoom(p, from, to, out);
      return;
    case kPeel:
      Peel(p, from, to, out);
      return;
    default:
      Crossfade(p, from, to, out);
      return;
  }
}

}  // namespace slidedraw
