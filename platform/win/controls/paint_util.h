// Small drawing helpers shared by the controls.
#pragma once

#include "platform/gdi/gdi.h"

namespace plat::controls {

inline void FillColor(HDC hdc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(hdc, &rect, brush);
  DeleteObject(brush);
}

inline void FrameColor(HDC hdc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FrameRect(hdc, &rect, brush);
  DeleteObject(brush);
}

inline RECT Inset(RECT r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// Sends a WM_COMMAND notification to the control's parent (or owner).
void NotifyParent(HWND control, WORD code);

}  // namespace plat::controls
