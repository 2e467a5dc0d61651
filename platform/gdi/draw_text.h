// Formatted text in a rectangle with the DC's font and colours.
//
// Flags: DT_LEFT/CENTER/RIGHT, DT_TOP/VCENTER/BOTTOM (vertical placement
// applies to DT_SINGLELINE text, as on the platform), DT_SINGLELINE,
// DT_WORDBREAK (breaks between words; a word longer than the line overflows),
// DT_CALCRECT (measure only: keeps left and top, sets right to the widest
// line and bottom to the text height), DT_NOPREFIX ('&' is otherwise a
// prefix: the next character is underlined and "&&" shows one '&'),
// DT_END_ELLIPSIS and DT_PATH_ELLIPSIS (lines too wide are shortened with
// "..."), DT_NOCLIP (otherwise drawing is clipped to the rectangle).
//
// Returns the height of the text (for vertically placed single lines, the
// offset of its bottom from the rectangle's top); 0 on failure. Lines are
// the font's cell height apart; an empty text counts as one empty line.
#pragma once

#include "platform/gdi/gdi_types.h"

namespace plat {

int DrawTextA(HDC hdc, const char* text, int count, RECT* rect, UINT format);  // UTF-8
int DrawTextW(HDC hdc, const WCHAR* text, int count, RECT* rect, UINT format);  // UTF-16
inline int DrawText(HDC hdc, const char* text, int count, RECT* rect, UINT format) {
  return DrawTextA(hdc, text, count, rect, format);
}

}  // namespace plat
