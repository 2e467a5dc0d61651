// The device context behind an HDC: its target surface, where logical (0,0)
// sits on it, its clipping and its drawing state. Internal to the drawing
// layer.
//
// Coordinate spaces: logical (what callers pass) + viewport origin = device;
// device + origin = surface. Clipping is kept in surface coordinates.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace plat {

struct HDC__ {
  bool memory = false;         // memory DC: the target is the selected bitmap
  SurfacePtr surface;          // target (may be null for a memory DC without bitmap)
  POINT origin{};              // device (0,0) on the surface
  Region system_clip;          // surface coordinates: where this DC may draw at all
  std::optional<Region> meta_clip;  // device coordinates: the selected clip region
  Region clip;                 // effective clip, surface coordinates

  POINT viewport_org{};
  POINT current_pos{};
  HBITMAP bitmap = nullptr;
  HBRUSH brush = nullptr;
  HPEN pen = nullptr;
  HFONT font = nullptr;
  COLORREF text_color = 0x000000;
  COLORREF bk_color = 0xFFFFFF;
  int bk_mode = OPAQUE;
  int stretch_mode = BLACKONWHITE;

  // Recomputes `clip` after the surface, system clip or meta clip changed.
  void UpdateClip();

  // Logical to surface coordinates, in 64 bits so no argument overflows.
  std::int64_t SurfaceX(std::int64_t logical_x) const {
    return logical_x + viewport_org.x + origin.x;
  }
  std::int64_t SurfaceY(std::int64_t logical_y) const {
    return logical_y + viewport_org.y + origin.y;
  }
};

namespace gdi {

// A rectangle in 64-bit coordinates, for arithmetic on untrusted values.
struct Box {
  std::int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
};

inline Box Intersect(const Box& a, const Box& b) {
  Box r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
        a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  return r;
}
inline Box ToBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A logical rectangle of the DC in surface coordinates, normalised.
Box SurfaceBox(const HDC__& dc, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);

// A logical rectangle of the DC in device coordinates, normalised and clamped
// to a range where region arithmetic cannot overflow.
RECT DeviceRect(const HDC__& dc, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);

// Calls f(RECT) for each part of `box` (surface coordinates) inside the DC's
// clip. The rectangles passed are non-empty and lie inside the surface.
template <class F>
void ForEachClipped(const HDC__& dc, const Box& box, F&& f) {
  if (!dc.surface || box.empty()) return;
  for (const RECT& c : dc.clip.rects()) {
    if (c.top >= box.bottom) break;
    const Box part = Intersect(ToBox(c), box);
    if (part.empty()) continue;
    f(RECT{static_cast<LONG>(part.left), static_cast<LONG>(part.top), static_cast<LONG>(part.right),
           static_cast<LONG>(part.bottom)});
  }
}

HDC__* FindDC(HDC hdc);

}  // namespace gdi
}  // namespace plat
