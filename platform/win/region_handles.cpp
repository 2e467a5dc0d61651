// The window-region and update-region calls in their forms over region
// objects (HRGN), on top of the plat::Region forms.
#include "platform/gdi/objects.h"
#include "platform/gdi/region_object.h"
#include "platform/win/window.h"

namespace plat {

namespace {

int CopyInto(HRGN out, const Region& region, int result) {
  if (!result || !RegionFromHandle(out)) return 0;
  HRGN temp = CreateRegionObject(region);
  CombineRgn(out, temp, nullptr, RGN_COPY);
  DeleteObject(temp);
  return result;
}

}  // namespace

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  const Region* r = region ? RegionFromHandle(region) : nullptr;
  if (region && !r) return 0;
  const int result = SetWindowRegion(hwnd, r, redraw);
  // The window owns the region from now on: it keeps a copy, the object goes.
  if (result && region) DeleteObject(region);
  return result;
}

int GetWindowRgn(HWND hwnd, HRGN out) {
  Region r;
  return CopyInto(out, r, GetWindowRegion(hwnd, &r));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  const Region* r = region ? RegionFromHandle(region) : nullptr;
  if (region && !r) return FALSE;
  return InvalidateRegion(hwnd, r, erase);
}

BOOL ValidateRgn(HWND hwnd, HRGN region) {
  const Region* r = region ? RegionFromHandle(region) : nullptr;
  if (region && !r) return FALSE;
  return ValidateRegion(hwnd, r);
}

int GetUpdateRgn(HWND hwnd, HRGN out, BOOL erase) {
  Region r;
  return CopyInto(out, r, GetUpdateRegion(hwnd, &r, erase));
}

}  // namespace plat
