#include "platform/gdi/region_object.h"

#include <cstring>
#include <limits>
#include <vector>

#include "platform/gdi/gdi_object.h"

namespace plat {

namespace gdi {
int RegionKind(const Region& region) {
  if (region.empty()) return NULLREGION;
  return region.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
}  // namespace gdi

namespace {

gdi::RegionObject* Rgn(HRGN h) { return gdi::Find<gdi::RegionObject>(h); }

RECT Normalised(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return RECT{left, top, right, bottom};
}

}  // namespace

HRGN CreateRegionObject(Region region) {
  auto obj = std::make_unique<gdi::RegionObject>();
  obj->region = std::move(region);
  return gdi::ObjectTable::Get().Add(std::move(obj));
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return CreateRegionObject(Region(Normalised(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN ExtCreateRegion(const void* transform, DWORD size, const RGNDATA* data) {
  if (transform || !data || size < sizeof(RGNDATAHEADER)) return nullptr;
  RGNDATAHEADER header;
  std::memcpy(static_cast<void*>(&header), data, sizeof header);
  if (header.iType != RDH_RECTANGLES || header.dwSize < sizeof(RGNDATAHEADER) || header.dwSize > size) return nullptr;
  const std::size_t available = (size - header.dwSize) / sizeof(RECT);
  if (header.nCount > available) return nullptr;
  std::vector<RECT> rects(header.nCount);
  if (header.nCount)
    std::memcpy(static_cast<void*>(rects.data()), reinterpret_cast<const char*>(data) + header.dwSize, header.nCount * sizeof(RECT));
  // Inverted rectangles are normalised, as the platform does for input rectangles.
  for (RECT& r : rects) r = Normalised(r.left, r.top, r.right, r.bottom);
  return CreateRegionObject(Region::FromRects(rects));
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  gdi::RegionObject* d = Rgn(dest);
  gdi::RegionObject* ra = Rgn(a);
  if (!d || !ra) return ERROR;
  if (mode == RGN_COPY) {
    d->region = ra->region;
    return gdi::RegionKind(d->region);
  }
  gdi::RegionObject* rb = Rgn(b);
  if (!rb) return ERROR;
  Region::Op op;
  switch (mode) {
    case RGN_AND: op = Region::Op::And; break;
    case RGN_OR: op = Region::Op::Or; break;
    case RGN_XOR: op = Region::Op::Xor; break;
    case RGN_DIFF: op = Region::Op::Diff; break;
    default: return ERROR;
  }
  d->region = Region::Combine(ra->region, rb->region, op);
  return gdi::RegionKind(d->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  gdi::RegionObject* r = Rgn(region);
  return r && r->region.contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  gdi::RegionObject* r = Rgn(region);
  if (!r || !rect) return FALSE;
  return r->region.intersects(Normalised(rect->left, rect->top, rect->right, rect->bottom)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
  gdi::RegionObject* r = Rgn(region);
  if (!r || !box) return ERROR;
  *box = r->region.bounds();
  return gdi::RegionKind(r->region);
}

int OffsetRgn(HRGN region, int dx, int dy) {
  gdi::RegionObject* r = Rgn(region);
  if (!r) return ERROR;
  if (!r->region.empty()) {
    // Refuse a move that would carry any edge outside the coordinate range.
    const RECT b = r->region.bounds();
    constexpr std::int64_t lo = std::numeric_limits<LONG>::min(), hi = std::numeric_limits<LONG>::max();
    if (std::int64_t{b.left} + dx < lo || std::int64_t{b.right} + dx > hi || std::int64_t{b.top} + dy < lo ||
        std::int64_t{b.bottom} + dy > hi)
      return ERROR;
    r->region.offset(dx, dy);
  }
  return gdi::RegionKind(r->region);
}

BOOL EqualRgn(HRGN a, HRGN b) {
  gdi::RegionObject* ra = Rgn(a);
  gdi::RegionObject* rb = Rgn(b);
  if (!ra || !rb) return FALSE;
  return ra->region == rb->region ? TRUE : FALSE;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  gdi::RegionObject* r = Rgn(region);
  if (!r) return FALSE;
  r->region = Region(Normalised(left, top, right, bottom));
  return TRUE;
}

const Region* RegionFromHandle(HRGN region) {
  gdi::RegionObject* r = Rgn(region);
  return r ? &r->region : nullptr;
}

}  // namespace plat
