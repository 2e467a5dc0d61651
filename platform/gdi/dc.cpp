#include "platform/gdi/dc.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/region_object.h"

namespace plat {

void HDC__::UpdateClip() {
  if (!surface) {
    clip = Region();
    return;
  }
  Region r = system_clip.intersected(Region(RECT{0, 0, surface->width(), surface->height()}));
  if (meta_clip) {
    Region meta = *meta_clip;
    meta.offset(origin.x, origin.y);
    r = r.intersected(meta);
  }
  clip = std::move(r);
}

namespace gdi {

namespace {
std::int64_t Clamp32(std::int64_t v) {
  return std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min() / 2, std::numeric_limits<LONG>::max() / 2);
}
}  // namespace

Box SurfaceBox(const HDC__& dc, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return {dc.SurfaceX(left), dc.SurfaceY(top), dc.SurfaceX(right), dc.SurfaceY(bottom)};
}

// Device-space rectangle from logical values, clamped into a range where
// region arithmetic cannot overflow.
RECT DeviceRect(const HDC__& dc, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return RECT{static_cast<LONG>(Clamp32(left + dc.viewport_org.x)), static_cast<LONG>(Clamp32(top + dc.viewport_org.y)),
              static_cast<LONG>(Clamp32(right + dc.viewport_org.x)),
              static_cast<LONG>(Clamp32(bottom + dc.viewport_org.y))};
}

}  // namespace gdi

using gdi::ObjectTable;

namespace {

HDC__* Dc(HDC hdc) { return gdi::FindDC(hdc); }

HDC NewDC(std::unique_ptr<HDC__> dc) {
  auto& table = ObjectTable::Get();
  dc->brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dc->pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  dc->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  table.Selected(dc->brush);
  table.Selected(dc->pen);
  table.Selected(dc->font);
  if (dc->bitmap) table.Selected(dc->bitmap);
  dc->UpdateClip();
  return table.AddDC(std::move(dc));
}

HBITMAP StockBitmap() {
  // The 1x1 bitmap a fresh memory DC holds, shared by all of them.
  static HBITMAP stock = [] {
    auto bitmap = std::make_unique<gdi::BitmapObject>();
    bitmap->surface = std::make_shared<Surface>(1, 1);
    return static_cast<HBITMAP>(ObjectTable::Get().Add(std::move(bitmap), /*stock=*/true));
  }();
  return stock;
}

}  // namespace

HDC CreateSurfaceDC(SurfacePtr target, POINT origin, const Region& clip) {
  if (!target) return nullptr;
  auto dc = std::make_unique<HDC__>();
  dc->surface = std::move(target);
  dc->origin = origin;
  dc->system_clip = clip;
  return NewDC(std::move(dc));
}

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !Dc(hdc)) return nullptr;
  auto dc = std::make_unique<HDC__>();
  dc->memory = true;
  dc->bitmap = StockBitmap();
  dc->surface = gdi::Find<gdi::BitmapObject>(dc->bitmap)->surface;
  dc->system_clip = Region(RECT{0, 0, 1, 1});
  return NewDC(std::move(dc));
}

BOOL DeleteDC(HDC hdc) {
  auto& table = ObjectTable::Get();
  std::unique_ptr<HDC__> dc = table.RemoveDC(hdc);
  if (!dc) return FALSE;
  for (HGDIOBJ obj : {static_cast<HGDIOBJ>(dc->bitmap), static_cast<HGDIOBJ>(dc->brush),
                      static_cast<HGDIOBJ>(dc->pen), static_cast<HGDIOBJ>(dc->font)})
    if (obj) table.Deselected(obj);
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  HDC__* dc = Dc(hdc);
  auto& table = ObjectTable::Get();
  HGDIOBJ obj = table.FindAny(object);
  if (!dc || !obj) return nullptr;

  auto swap_in = [&](auto*& slot) -> HGDIOBJ {
    using Handle = std::remove_reference_t<decltype(slot)>;
    HGDIOBJ previous = slot;
    if (previous == obj) return previous;
    table.Selected(obj);
    slot = static_cast<Handle>(obj);
    if (previous) table.Deselected(previous);
    return previous;
  };

  if (auto* bitmap = dynamic_cast<gdi::BitmapObject*>(obj)) {
    if (!dc->memory) return nullptr;
    HGDIOBJ previous = swap_in(dc->bitmap);
    dc->surface = bitmap->surface;
    dc->system_clip = Region(RECT{0, 0, dc->surface->width(), dc->surface->height()});
    dc->UpdateClip();
    return previous;
  }
  if (dynamic_cast<gdi::BrushObject*>(obj)) return swap_in(dc->brush);
  if (dynamic_cast<gdi::PenObject*>(obj)) return swap_in(dc->pen);
  if (dynamic_cast<gdi::FontObject*>(obj)) return swap_in(dc->font);
  if (dynamic_cast<gdi::RegionObject*>(obj)) {
    const int kind = SelectClipRgn(hdc, static_cast<HRGN>(obj));
    return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind));
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  HDC__* dc = Dc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_BITMAP: return dc->memory ? dc->bitmap : nullptr;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_PEN: return dc->pen;
    case OBJ_FONT: return dc->font;
    default: return nullptr;
  }
}

#define PLAT_DC_ACCESSOR(Setter, Getter, Type, field, invalid) \
  Type Setter(HDC hdc, Type value) {                          \
    HDC__* dc = Dc(hdc);                                       \
    if (!dc) return invalid;                                   \
    Type previous = dc->field;                                 \
    dc->field = value;                                         \
    return previous;                                           \
  }                                                            \
  Type Getter(HDC hdc) {                                       \
    HDC__* dc = Dc(hdc);                                       \
    return dc ? dc->field : invalid;                           \
  }

PLAT_DC_ACCESSOR(SetTextColor, GetTextColor, COLORREF, text_color, CLR_INVALID)
PLAT_DC_ACCESSOR(SetBkColor, GetBkColor, COLORREF, bk_color, CLR_INVALID)
#undef PLAT_DC_ACCESSOR

int SetBkMode(HDC hdc, int mode) {
  HDC__* dc = Dc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->bk_mode, mode);
}
int GetBkMode(HDC hdc) {
  HDC__* dc = Dc(hdc);
  return dc ? dc->bk_mode : 0;
}

int SetStretchBltMode(HDC hdc, int mode) {
  HDC__* dc = Dc(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(dc->stretch_mode, mode);
}
int GetStretchBltMode(HDC hdc) {
  HDC__* dc = Dc(hdc);
  return dc ? dc->stretch_mode : 0;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous) {
  HDC__* dc = Dc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->viewport_org;
  dc->viewport_org = {x, y};
  return TRUE;
}

BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* previous) {
  HDC__* dc = Dc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->viewport_org;
  const std::int64_t x = std::int64_t{dc->viewport_org.x} + dx;
  const std::int64_t y = std::int64_t{dc->viewport_org.y} + dy;
  if (x != gdi::Clamp32(x) || y != gdi::Clamp32(y)) return FALSE;
  dc->viewport_org = {static_cast<LONG>(x), static_cast<LONG>(y)};
  return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, POINT* origin) {
  HDC__* dc = Dc(hdc);
  if (!dc || !origin) return FALSE;
  *origin = dc->viewport_org;
  return TRUE;
}

namespace {
int ClipKind(const HDC__& dc) { return gdi::RegionKind(dc.clip); }
}  // namespace

int SelectClipRgn(HDC hdc, HRGN region) {
  HDC__* dc = Dc(hdc);
  if (!dc) return ERROR;
  if (!region) {
    dc->meta_clip.reset();
  } else {
    const Region* r = RegionFromHandle(region);
    if (!r) return ERROR;
    dc->meta_clip = *r;
  }
  dc->UpdateClip();
  return ClipKind(*dc);
}

namespace {
// Combines the meta clip with a logical rectangle; without a meta clip the
// current drawable area (in device space) is the starting point.
int CombineClipRect(HDC hdc, int left, int top, int right, int bottom, Region::Op op) {
  HDC__* dc = Dc(hdc);
  if (!dc) return ERROR;
  Region base;
  if (dc->meta_clip) {
    base = *dc->meta_clip;
  } else {
    base = dc->clip;
    base.offset(-dc->origin.x, -dc->origin.y);
  }
  const Region rect(gdi::DeviceRect(*dc, left, top, right, bottom));
  dc->meta_clip = Region::Combine(base, rect, op);
  dc->UpdateClip();
  return ClipKind(*dc);
}
}  // namespace

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  return CombineClipRect(hdc, left, top, right, bottom, Region::Op::And);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  return CombineClipRect(hdc, left, top, right, bottom, Region::Op::Diff);
}

int GetClipBox(HDC hdc, RECT* box) {
  HDC__* dc = Dc(hdc);
  if (!dc || !box) return ERROR;
  RECT b = dc->clip.bounds();
  if (!dc->clip.empty()) {
    const LONG dx = dc->origin.x + dc->viewport_org.x, dy = dc->origin.y + dc->viewport_org.y;
    b = {b.left - dx, b.top - dy, b.right - dx, b.bottom - dy};
  }
  *box = b;
  return ClipKind(*dc);
}

SurfacePtr GetDCSurface(HDC hdc) {
  HDC__* dc = Dc(hdc);
  return dc ? dc->surface : nullptr;
}

}  // namespace plat
