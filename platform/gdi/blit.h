// Copies and fills. Every operation clips to the destination DC's clip and
// surface and to the source surface: whatever the arguments (negative sizes,
// huge coordinates), nothing outside the surfaces is touched. Pixels are
// opaque BGRA; colour operations set alpha to 255.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace plat {

BOOL FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
// A one-pixel frame just inside the rectangle, drawn with the brush.
BOOL FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
// PATCOPY, BLACKNESS, WHITENESS, DSTINVERT over a rectangle.
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
// SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, plus the source-less PATCOPY,
// BLACKNESS, WHITENESS, DSTINVERT (hdc_src may then be null). Source pixels
// outside the source surface leave the destination unchanged. Source and
// destination may be the same surface and overlap.
BOOL BitBlt(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, DWORD rop);
// Scales the source rectangle into the destination rectangle with the
// destination DC's stretch mode: HALFTONE smooths (area average when
// shrinking, bilinear when enlarging), every other mode picks the nearest
// pixel. Negative sizes mirror.
BOOL StretchBlt(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, int width_src,
                int height_src, DWORD rop);
// As StretchBlt with nearest pixels and SRCCOPY, skipping source pixels whose
// colour equals `transparent` (a COLORREF).
BOOL TransparentBlt(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, int width_src,
                    int height_src, UINT transparent);
// Blends the source over the destination. With AC_SRC_ALPHA the source is
// premultiplied by its per-pixel alpha; SourceConstantAlpha scales it all.
BOOL AlphaBlend(HDC hdc, int x, int y, int width, int height, HDC hdc_src, int x_src, int y_src, int width_src,
                int height_src, BLENDFUNCTION blend);

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
// CLR_INVALID outside the clip.
COLORREF GetPixel(HDC hdc, int x, int y);

}  // namespace plat
