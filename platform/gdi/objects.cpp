#include "platform/gdi/objects.h"

#include <array>
#include <cstring>
#include <mutex>

#include "platform/gdi/gdi_object.h"

namespace plat {

using gdi::ObjectTable;

BOOL DeleteObject(HGDIOBJ object) { return ObjectTable::Get().Delete(object) ? TRUE : FALSE; }

namespace {
template <class T>
int CopyOut(const T& value, int size, void* buffer) {
  if (!buffer) return sizeof(T);
  if (size < static_cast<int>(sizeof(T))) return 0;
  std::memcpy(buffer, &value, sizeof(T));
  return sizeof(T);
}
}  // namespace

int GetObject(HGDIOBJ object, int size, void* buffer) {
  HGDIOBJ obj = ObjectTable::Get().FindAny(object);
  if (!obj) return 0;
  if (auto* bitmap = dynamic_cast<gdi::BitmapObject*>(obj)) {
    BITMAP bm;
    bm.bmWidth = bitmap->surface->width();
    bm.bmHeight = bitmap->surface->height();
    bm.bmWidthBytes = bm.bmWidth * 4;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 32;
    bm.bmBits = bitmap->dib_section ? bitmap->surface->data() : nullptr;
    return CopyOut(bm, size, buffer);
  }
  if (auto* font = dynamic_cast<gdi::FontObject*>(obj)) return CopyOut(font->logfont, size, buffer);
  if (auto* brush = dynamic_cast<gdi::BrushObject*>(obj)) return CopyOut(LOGBRUSH{brush->style, brush->color, 0}, size, buffer);
  if (auto* pen = dynamic_cast<gdi::PenObject*>(obj))
    return CopyOut(LOGPEN{pen->style, POINT{pen->width, 0}, pen->color}, size, buffer);
  return 0;
}

DWORD GetObjectType(HGDIOBJ object) {
  HGDIOBJ obj = ObjectTable::Get().FindAny(object);
  if (!obj) {
    if (HDC__* dc = gdi::FindDC(reinterpret_cast<HDC>(object))) return dc->memory ? OBJ_MEMDC : OBJ_DC;
    return 0;
  }
  if (dynamic_cast<gdi::BitmapObject*>(obj)) return OBJ_BITMAP;
  if (dynamic_cast<gdi::FontObject*>(obj)) return OBJ_FONT;
  if (dynamic_cast<gdi::BrushObject*>(obj)) return OBJ_BRUSH;
  if (dynamic_cast<gdi::PenObject*>(obj)) return OBJ_PEN;
  if (dynamic_cast<gdi::RegionObject*>(obj)) return OBJ_REGION;
  return 0;
}

namespace {

HGDIOBJ MakeStock(int index) {
  auto& table = ObjectTable::Get();
  auto brush = [&](UINT style, COLORREF color) -> HGDIOBJ {
    auto b = std::make_unique<gdi::BrushObject>();
    b->style = style;
    b->color = color;
    return table.Add(std::move(b), true);
  };
  auto pen = [&](UINT style, COLORREF color) -> HGDIOBJ {
    auto p = std::make_unique<gdi::PenObject>();
    p->style = style;
    p->color = color;
    return table.Add(std::move(p), true);
  };
  auto font = [&](LONG height, LONG weight) -> HGDIOBJ {
    auto f = std::make_unique<gdi::FontObject>();
    f->logfont.lfHeight = height;
    f->logfont.lfWeight = weight;
    f->logfont.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(f->logfont.lfFaceName, "DejaVu Sans");
    return table.Add(std::move(f), true);
  };
  switch (index) {
    case WHITE_BRUSH: return brush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH: return brush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH: return brush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH: return brush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH: return brush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH: return brush(BS_NULL, 0);
    case WHITE_PEN: return pen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN: return pen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN: return pen(PS_NULL, 0);
    case SYSTEM_FONT: return font(16, FW_BOLD);
    case DEFAULT_GUI_FONT: return font(-11, FW_NORMAL);
    default: return nullptr;
  }
}

}  // namespace

HGDIOBJ GetStockObject(int index) {
  static std::mutex mutex;
  static std::array<HGDIOBJ, 32> stock{};
  if (index < 0 || index >= static_cast<int>(stock.size())) return nullptr;
  std::lock_guard lock(mutex);
  if (!stock[index]) stock[index] = MakeStock(index);
  return stock[index];
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_unique<gdi::BrushObject>();
  b->color = color & 0x00FFFFFF;
  return ObjectTable::Get().Add(std::move(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL)) return nullptr;
  auto b = std::make_unique<gdi::BrushObject>();
  b->style = brush->lbStyle;
  b->color = brush->lbColor & 0x00FFFFFF;
  return ObjectTable::Get().Add(std::move(b));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style != PS_SOLID && style != PS_NULL) return nullptr;
  auto p = std::make_unique<gdi::PenObject>();
  p->style = static_cast<UINT>(style);
  p->width = width < 1 ? 1 : (width > 1024 ? 1024 : width);
  p->color = color & 0x00FFFFFF;
  return ObjectTable::Get().Add(std::move(p));
}

}  // namespace plat
