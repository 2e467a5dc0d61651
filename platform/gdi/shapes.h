// Lines and simple shapes drawn with the DC's pen (outline) and brush
// (interior), clipped like every other drawing.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace plat {

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous);
// Draws from the current position up to, not including, (x, y) and moves
// the current position there.
BOOL LineTo(HDC hdc, int x, int y);
// Interior [left, right) × [top, bottom) with the brush, outline with the pen.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);

}  // namespace plat
