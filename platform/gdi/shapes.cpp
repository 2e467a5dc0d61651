#include "platform/gdi/shapes.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/gdi/blit_util.h"
#include "platform/gdi/gdi_object.h"

namespace plat {

namespace {

struct PenInfo {
  bool visible = false;
  std::uint32_t pixel = 0;
  int width = 1;
};

PenInfo PenOf(const HDC__& dc) {
  auto* pen = gdi::Find<gdi::PenObject>(dc.pen);
  if (!pen || pen->style == PS_NULL) return {};
  return {true, PixelFromColorRef(pen->color), pen->width};
}

// Bresenham from (x0,y0) to (x1,y1), endpoint excluded, in surface
// coordinates; each point is a pen-wide square.
void DrawLine(const HDC__& dc, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, const PenInfo& pen) {
  const RECT cb = dc.clip.bounds();
  if (std::max(std::llabs(x1 - x0), std::llabs(y1 - y0)) > 4096) {
    // Long lines are first cut to the clip bounds (Liang-Barsky), so the
    // walk stays short whatever the coordinates.
    const double margin = pen.width + 2;
    const double bx0 = cb.left - margin, bx1 = cb.right + margin, by0 = cb.top - margin, by1 = cb.bottom + margin;
    const double fx = static_cast<double>(x1 - x0), fy = static_cast<double>(y1 - y0);
    double t0 = 0, t1 = 1;
    auto edge = [&](double p, double q) {
      if (p == 0) return q >= 0;
      const double r = q / p;
      if (p < 0) { if (r > t1) return false; t0 = std::max(t0, r); }
      else { if (r < t0) return false; t1 = std::min(t1, r); }
      return true;
    };
    if (!edge(-fx, static_cast<double>(x0) - bx0) || !edge(fx, bx1 - static_cast<double>(x0)) ||
        !edge(-fy, static_cast<double>(y0) - by0) || !edge(fy, by1 - static_cast<double>(y0)))
      return;
    const std::int64_t nx0 = x0 + std::llround(t0 * fx), ny0 = y0 + std::llround(t0 * fy);
    const std::int64_t nx1 = x0 + std::llround(t1 * fx), ny1 = y0 + std::llround(t1 * fy);
    x0 = nx0; y0 = ny0; x1 = nx1; y1 = ny1;
  }
  const std::int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  std::int64_t err = dx + dy;
  const int half = pen.width / 2;
  const std::int64_t steps = std::max(dx, -dy);
  for (std::int64_t i = 0; i < steps; ++i) {
    if (pen.width <= 1) {
      if (x0 >= cb.left && x0 < cb.right && y0 >= cb.top && y0 < cb.bottom &&
          dc.clip.contains(static_cast<int>(x0), static_cast<int>(y0)))
        dc.surface->row(static_cast<int>(y0))[x0] = pen.pixel;
    } else {
      gdi::FillBox(dc, {x0 - half, y0 - half, x0 - half + pen.width, y0 - half + pen.width}, pen.pixel);
    }
    const std::int64_t e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->current_pos;
  dc->current_pos = {x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc) return FALSE;
  const PenInfo pen = PenOf(*dc);
  if (pen.visible && dc->surface)
    DrawLine(*dc, dc->SurfaceX(dc->current_pos.x), dc->SurfaceY(dc->current_pos.y), dc->SurfaceX(x), dc->SurfaceY(y), pen);
  dc->current_pos = {x, y};
  return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc) return FALSE;
  const gdi::Box b = gdi::SurfaceBox(*dc, left, top, right, bottom);
  if (b.empty()) return TRUE;
  bool hollow = false;
  const std::uint32_t fill = gdi::BrushPixel(*dc, dc->brush, &hollow);
  if (!hollow) gdi::FillBox(*dc, b, fill);
  const PenInfo pen = PenOf(*dc);
  if (pen.visible) {
    const int w = pen.width;
    gdi::FillBox(*dc, {b.left, b.top, b.right, b.top + w}, pen.pixel);
    gdi::FillBox(*dc, {b.left, b.bottom - w, b.right, b.bottom}, pen.pixel);
    gdi::FillBox(*dc, {b.left, b.top, b.left + w, b.bottom}, pen.pixel);
    gdi::FillBox(*dc, {b.right - w, b.top, b.right, b.bottom}, pen.pixel);
  }
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc) return FALSE;
  const gdi::Box b = gdi::SurfaceBox(*dc, left, top, right, bottom);
  if (b.empty() || !dc->surface) return TRUE;
  bool hollow = false;
  const std::uint32_t fill = gdi::BrushPixel(*dc, dc->brush, &hollow);
  const PenInfo pen = PenOf(*dc);
  const double cx = (b.left + b.right) / 2.0, cy = (b.top + b.bottom) / 2.0;
  const double rx = (b.right - b.left) / 2.0, ry = (b.bottom - b.top) / 2.0;
  const double pw = pen.visible ? pen.width : 0;
  // Half-width of the ellipse (radii a, b) on the row whose centre is yc.
  auto span = [&](double a, double bb, double yc) -> double {
    if (a <= 0 || bb <= 0) return -1;
    const double t = (yc - cy) / bb;
    return t * t >= 1 ? -1 : a * std::sqrt(1 - t * t);
  };
  const RECT cbr = dc->clip.bounds();
  const gdi::Box rows = gdi::Intersect(b, gdi::ToBox(cbr));
  for (std::int64_t y = rows.top; y < rows.bottom; ++y) {
    const double yc = y + 0.5;
    const double outer = span(rx, ry, yc);
    if (outer < 0) continue;
    const double inner = span(rx - pw, ry - pw, yc);
    const std::int64_t ol = std::llround(cx - outer), orr = std::llround(cx + outer);
    if (inner < 0) {
      gdi::FillBox(*dc, {ol, y, orr, y + 1}, pen.visible ? pen.pixel : fill);
      continue;
    }
    const std::int64_t il = std::llround(cx - inner), ir = std::llround(cx + inner);
    if (!hollow) gdi::FillBox(*dc, {il, y, ir, y + 1}, fill);
    if (pen.visible) {
      gdi::FillBox(*dc, {ol, y, il, y + 1}, pen.pixel);
      gdi::FillBox(*dc, {ir, y, orr, y + 1}, pen.pixel);
    }
  }
  return TRUE;
}

}  // namespace plat
