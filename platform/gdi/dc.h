// Device contexts: window DCs over a surface (made by the window system),
// memory DCs over a selected bitmap, and the drawing state they carry
// (selected objects, colours, modes, viewport origin, clipping).
//
// Every call validates its handles: an unknown or freed handle is refused
// (FALSE, null or an error value) and never dereferenced.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace plat {

// A DC drawing into `target`: logical (0,0) sits at `origin` of the surface
// and drawing is clipped to `clip` (surface coordinates) and to the surface.
// Free it with DeleteDC.
HDC CreateSurfaceDC(SurfacePtr target, POINT origin, const Region& clip);
// A memory DC; it holds a 1x1 stock bitmap until a bitmap is selected.
HDC CreateCompatibleDC(HDC hdc);
// Frees the DC; objects selected into it are deselected (and freed when
// their deletion was pending).
BOOL DeleteDC(HDC hdc);

// Selects a bitmap (memory DCs only), brush, pen or font and returns the
// previous one; selecting a region sets the clip (copy) and returns the
// region kind. Null on failure.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* previous);
BOOL GetViewportOrgEx(HDC hdc, POINT* origin);

// Clipping. Region arguments are in device coordinates (as the platform has
// it); IntersectClipRect and GetClipBox work in logical coordinates.
int SelectClipRgn(HDC hdc, HRGN region);  // null region: no clip
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int GetClipBox(HDC hdc, RECT* box);

// The surface a DC draws into (null for an unknown DC or a memory DC without
// bitmap), for code that composes pixels directly.
SurfacePtr GetDCSurface(HDC hdc);

}  // namespace plat
