// Bitmaps: every bitmap is a 32-bit surface. DIB sections expose their
// pixels as BGRA rows of 4 × width bytes, top-down or bottom-up as asked.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

namespace plat {

// Bitmaps as the screen: 32 bits per pixel, opaque black. Null for sizes
// that are not positive or exceed MaxSurfacePixels.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// bits_per_pixel 32 or 24 (rows padded to 16 bits as the platform has it) or
// 1 (monochrome, set bits white); `bits` may be null.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits);
// A 32-bit DIB section, its pixels zeroed; a positive biHeight stores the
// rows bottom-up, a negative one top-down. *bits receives the pixel pointer.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
// A bitmap from 24- or 32-bit rows (each padded to 4 bytes), bottom-up or
// top-down as the header says; without CBM_INIT the pixels stay black.
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage);
// Copies rows of a bitmap into 24- or 32-bit rows as `info` describes
// (height sign picks the row order). With null `bits` fills in the header
// (width, height, 32 bits, image size) and returns the height. Returns the
// number of rows copied, 0 on failure. The bitmap must not be selected into
// a DC other than `hdc` for this to matter here; it is read as it stands.
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);

// The surface behind a bitmap, shared (null for an unknown handle).
SurfacePtr GetBitmapSurface(HBITMAP bitmap);
// Wraps a surface as a bitmap object (takes a share of it).
HBITMAP CreateBitmapFromSurface(SurfacePtr surface, bool dib_section = false);

}  // namespace plat
