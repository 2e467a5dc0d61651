// Single-line text output and measuring with the DC's font. Narrow texts
// are UTF-8, wide ones UTF-16; a count of -1 means NUL-terminated.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace plat {

// Draws with the top-left of the text cell at (x, y); with OPAQUE
// background mode the cell is filled with the background colour first.
BOOL TextOutA(HDC hdc, int x, int y, const char* text, int count);
BOOL TextOutW(HDC hdc, int x, int y, const WCHAR* text, int count);
inline BOOL TextOut(HDC hdc, int x, int y, const char* text, int count) { return TextOutA(hdc, x, y, text, count); }
// ETO_OPAQUE fills `rect` with the background colour, ETO_CLIPPED clips the
// text to it. Per-character spacing (`dx`) is not supported and must be null.
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count, const INT* dx);
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, const WCHAR* text, UINT count, const INT* dx);

BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int count, SIZE* size);
BOOL GetTextExtentPoint32W(HDC hdc, const WCHAR* text, int count, SIZE* size);
inline BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size) {
  return GetTextExtentPoint32A(hdc, text, count, size);
}
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics);

}  // namespace plat
