// Generic drawing objects: deletion, inspection, stock objects, brushes and
// pens. Bitmaps, fonts and regions have their own headers.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace plat {

// Frees an object. An object still selected into a DC stays usable there and
// is freed when it is deselected; stock objects are never freed. FALSE for
// an unknown handle.
BOOL DeleteObject(HGDIOBJ object);
// Fills BITMAP, LOGFONTA, LOGBRUSH or LOGPEN for the object; with a null
// buffer returns the size needed. 0 for an unknown handle or a short buffer.
int GetObject(HGDIOBJ object, int size, void* buffer);
DWORD GetObjectType(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HPEN CreatePen(int style, int width, COLORREF color);

}  // namespace plat
