// Regions as drawing objects (HRGN) over plat::Region.
#pragma once

#include <optional>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/region.h"

namespace plat {

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
// Builds a region from RGNDATA: a header (iType RDH_RECTANGLES, nCount)
// followed by nCount RECTs. `size` is the number of bytes at `data`; data
// that claims more rectangles than it holds is refused. The transform is
// not supported and must be null.
HRGN ExtCreateRegion(const void* transform, DWORD size, const RGNDATA* data);
// dest = a op b (b ignored for RGN_COPY); dest may be a or b. Returns the
// kind of the result or ERROR.
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
int GetRgnBox(HRGN region, RECT* box);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);

// The region behind a handle (null for an unknown handle). The pointer stays
// valid until the region is deleted or changed.
const Region* RegionFromHandle(HRGN region);
// A new region object holding `region`.
HRGN CreateRegionObject(Region region);

namespace gdi {
// NULLREGION, SIMPLEREGION or COMPLEXREGION.
int RegionKind(const Region& region);
}  // namespace gdi

}  // namespace plat
