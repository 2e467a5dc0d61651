// Helpers shared by the fill, blit, line and text code. Internal.
#pragma once

#include <cstdint>

#include "platform/gdi/dc_object.h"

namespace plat::gdi {

// The opaque pixel of a brush; *hollow set for a null or unknown brush.
std::uint32_t BrushPixel(const HDC__& dc, HBRUSH brush, bool* hollow);
// Fills the part of `box` (surface coordinates) inside the DC's clip.
void FillBox(const HDC__& dc, const Box& box, std::uint32_t pixel);

// Blends `pixel`'s colour over `dst` with coverage 0..255; result is opaque.
inline std::uint32_t BlendOver(std::uint32_t dst, std::uint32_t color, unsigned coverage) {
  if (coverage >= 255) return color | 0xFF000000u;
  if (coverage == 0) return dst;
  const unsigned inv = 255 - coverage;
  auto ch = [&](int shift) {
    const unsigned d = (dst >> shift) & 0xFF, c = (color >> shift) & 0xFF;
    return ((c * coverage + d * inv + 127) / 255) << shift;
  };
  return 0xFF000000u | ch(0) | ch(8) | ch(16);
}

}  // namespace plat::gdi
