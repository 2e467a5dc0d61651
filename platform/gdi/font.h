// Font objects. Face names go through fontconfig (so "Arial" finds its
// metric twin and an unknown face the default sans face); a positive height
// is the cell height (ascent + descent), a negative one the character (em)
// height; weights of 600 and more are bold.
#pragma once

#include <thread>

#include "platform/gdi/gdi_types.h"

namespace plat {

HFONT CreateFontIndirectA(const LOGFONTA* logfont);
HFONT CreateFontIndirectW(const LOGFONTW* logfont);
inline HFONT CreateFontIndirect(const LOGFONTA* logfont) { return CreateFontIndirectA(logfont); }

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, const char* face);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, const WCHAR* face);

inline HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                        DWORD underline, DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision,
                        DWORD quality, DWORD pitch_and_family, const char* face) {
  return CreateFontA(height, width, escapement, orientation, weight, italic, underline, strike_out, charset,
                     out_precision, clip_precision, quality, pitch_and_family, face);
}

// The font file and family a font object resolved to (empty for an unknown
// handle); for diagnostics and tests.
struct ResolvedFont {
  const char* file = "";
  const char* family = "";
};
ResolvedFont GetResolvedFont(HFONT font);

// Sets up the font machinery (fontconfig's configuration and caches,
// FreeType, a first match) on a thread of its own, so that a program's
// start overlaps it with its other work; a font made meanwhile waits for it
// rather than doing it again. The thread is joined when the result goes.
std::jthread StartFontSetUp();

}  // namespace plat
