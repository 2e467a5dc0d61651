#include "platform/gdi/blit.h"

#include <cstring>
#include <vector>

#include "platform/gdi/blit_util.h"
#include "platform/gdi/gdi_object.h"

namespace plat {

using gdi::Box;

namespace gdi {

std::uint32_t BrushPixel(const HDC__& dc, HBRUSH brush, bool* hollow) {
  auto* b = Find<BrushObject>(brush);
  *hollow = !b || b->style == BS_NULL;
  return b ? PixelFromColorRef(b->color) : 0;
}

void FillBox(const HDC__& dc, const Box& box, std::uint32_t pixel) {
  ForEachClipped(dc, box, [&](const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      std::uint32_t* row = dc.surface->row(y);
      std::fill(row + r.left, row + r.right, pixel);
    }
  });
}

}  // namespace gdi

namespace {

HDC__* Dc(HDC hdc) { return gdi::FindDC(hdc); }

bool NeedsSource(DWORD rop) { return rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT; }

// Applies a source-less raster operation to the clipped box.
bool PatternOp(HDC__& dc, const Box& box, DWORD rop) {
  std::uint32_t pixel = 0;
  switch (rop) {
    case BLACKNESS: pixel = 0xFF000000u; break;
    case WHITENESS: pixel = 0xFFFFFFFFu; break;
    case PATCOPY: {
      bool hollow = false;
      pixel = gdi::BrushPixel(dc, dc.brush, &hollow);
      if (hollow) return true;
      break;
    }
    case DSTINVERT:
      gdi::ForEachClipped(dc, box, [&](const RECT& r) {
        for (LONG y = r.top; y < r.bottom; ++y) {
          std::uint32_t* row = dc.surface->row(y);
          for (LONG x = r.left; x < r.right; ++x) row[x] ^= 0x00FFFFFFu;
        }
      });
      return true;
    default: return false;
  }
  gdi::FillBox(dc, box, pixel);
  return true;
}

}  // namespace

BOOL FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  HDC__* dc = Dc(hdc);
  if (!dc || !rect) return FALSE;
  bool hollow = false;
  const std::uint32_t pixel = gdi::BrushPixel(*dc, brush, &hollow);
  if (!gdi::Find<gdi::BrushObject>(brush)) return FALSE;
  if (hollow) return TRUE;
  // FillRect does not normalise: an inverted rectangle fills nothing.
  if (rect->right <= rect->left || rect->bottom <= rect->top) return TRUE;
  gdi::FillBox(*dc, gdi::SurfaceBox(*dc, rect->left, rect->top, rect->right, rect->bottom), pixel);
  return TRUE;
}

BOOL FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  HDC__* dc = Dc(hdc);
  if (!dc || !rect || !gdi::Find<gdi::BrushObject>(brush)) return FALSE;
  bool hollow = false;
  const std::uint32_t pixel = gdi::BrushPixel(*dc, brush, &hollow);
  if (hollow || rect->right <= rect->left || rect->bottom <= rect->top) return TRUE;
  const Box b = gdi::SurfaceBox(*dc, rect->left, rect->top, rect->right, rect->bottom);
  gdi::FillBox(*dc, {b.left, b.top, b.right, b.top + 1}, pixel);
  gdi::FillBox(*dc, {b.left, b.bottom - 1, b.right, b.bottom}, pixel);
  gdi::FillBox(*dc, {b.left, b.top, b.left + 1, b.bottom}, pixel);
  gdi::FillBox(*dc, {b.right - 1, b.top, b.right, b.bottom}, pixel);
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  HDC__* dc = Dc(hdc);
  if (!dc) return FALSE;
  const Box box = gdi::SurfaceBox(*dc, x, y, std::int64_t{x} + width, std::int64_t{y} + height);
  return PatternOp(*dc, box, rop) ? TRUE : FALSE;
}

BOOL BitBlt(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, DWORD rop) {
  HDC__* dc = Dc(hdc);
  if (!dc) return FALSE;
  const Box dest = gdi::SurfaceBox(*dc, x, y, std::int64_t{x} + width, std::int64_t{y} + height);
  if (!NeedsSource(rop)) return PatternOp(*dc, dest, rop) ? TRUE : FALSE;
  if (width <= 0 || height <= 0) return Dc(hdc_src) ? TRUE : FALSE;
  HDC__* src = Dc(hdc_src);
  if (!src) return FALSE;
  if (!src->surface || !dc->surface) return TRUE;

  // Source rectangle in source-surface coordinates, moved over the
  // destination so that both clips apply to one box.
  const std::int64_t sx = src->SurfaceX(x_src) - dest.left;
  const std::int64_t sy = src->SurfaceY(y_src) - dest.top;
  const Box src_bounds{-sx, -sy, src->surface->width() - sx, src->surface->height() - sy};
  const Box box = gdi::Intersect(dest, src_bounds);
  if (box.empty()) return TRUE;

  // Same surface: copy the source first so overlapping moves stay correct.
  const Surface* from = src->surface.get();
  Surface scratch;
  std::int64_t fx = sx, fy = sy;
  if (src->surface == dc->surface) {
    const int w = static_cast<int>(box.right - box.left), h = static_cast<int>(box.bottom - box.top);
    scratch = Surface(w, h);
    for (int row = 0; row < h; ++row)
      std::memcpy(scratch.row(row), from->row(static_cast<int>(box.top + sy) + row) + (box.left + sx),
                  static_cast<std::size_t>(w) * 4);
    from = &scratch;
    fx = -box.left;
    fy = -box.top;
  }

  gdi::ForEachClipped(*dc, box, [&](const RECT& r) {
    const std::size_t n = static_cast<std::size_t>(r.right - r.left);
    for (LONG yy = r.top; yy < r.bottom; ++yy) {
      std::uint32_t* d = dc->surface->row(yy) + r.left;
      const std::uint32_t* s = from->row(static_cast<int>(yy + fy)) + (r.left + fx);
      switch (rop) {
        case SRCCOPY: std::memcpy(d, s, n * 4); break;
        case SRCPAINT: for (std::size_t i = 0; i < n; ++i) d[i] |= s[i]; break;
        case SRCAND: for (std::size_t i = 0; i < n; ++i) d[i] &= s[i]; break;
        case SRCINVERT: for (std::size_t i = 0; i < n; ++i) d[i] = (d[i] ^ s[i]) | 0xFF000000u; break;
        default: break;
      }
    }
  });
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  HDC__* dc = Dc(hdc);
  if (!dc || !dc->surface) return CLR_INVALID;
  const std::int64_t sx = dc->SurfaceX(x), sy = dc->SurfaceY(y);
  if (sx < INT32_MIN || sx > INT32_MAX || sy < INT32_MIN || sy > INT32_MAX) return CLR_INVALID;
  if (!dc->clip.contains(static_cast<int>(sx), static_cast<int>(sy))) return CLR_INVALID;
  dc->surface->set_pixel(static_cast<int>(sx), static_cast<int>(sy), PixelFromColorRef(color));
  return color & 0x00FFFFFF;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  HDC__* dc = Dc(hdc);
  if (!dc || !dc->surface) return CLR_INVALID;
  const std::int64_t sx = dc->SurfaceX(x), sy = dc->SurfaceY(y);
  if (sx < INT32_MIN || sx > INT32_MAX || sy < INT32_MIN || sy > INT32_MAX) return CLR_INVALID;
  if (!dc->clip.contains(static_cast<int>(sx), static_cast<int>(sy))) return CLR_INVALID;
  return ColorRefFromPixel(dc->surface->pixel(static_cast<int>(sx), static_cast<int>(sy)));
}

}  // namespace plat
