// Skin text: texts drawn with the skin font (bold, cell height equal to the
// rectangle's height, the face given or named by the string table, the skin
// character set) into a rectangle, with ellipsis or shrink-to-fit.
//
// Alignment codes are the layout's (0 LEFT .. 6 MULTIPLELINECENTERTOP). Fit
// modes: 0 end and path ellipsis, 1 path ellipsis, 2 end ellipsis, 3 shrink
// the font until the text fits.
#pragma once

#include <string>

#include "platform/core/types.h"

inline constexpr int SKIN_FIT_ELLIPSIS = 0;
inline constexpr int SKIN_FIT_PATH_ELLIPSIS = 1;
inline constexpr int SKIN_FIT_END_ELLIPSIS = 2;
inline constexpr int SKIN_FIT_SHRINK = 3;

// Skin fonts are bold.
inline constexpr plat::LONG SKIN_FONT_WEIGHT = 700;

// The text-drawing flags of an alignment code; DT_CENTER for unknown codes.
plat::UINT SkinTextAlignFlags(int align);
// The ellipsis flags of a fit mode; none for shrink-to-fit.
plat::UINT SkinTextFitFlags(int fit);

// The rectangle the text needs with the skin font at the rectangle's height;
// for an unknown alignment the given rectangle. Returns 1.
int MeasureSkinText(plat::RECT& measured, plat::HDC dc, int left, int top, int right, int bottom,
                    const std::string& face, const std::string& text, int align);

// Draws the text (UTF-8; an ampersand prints as itself) in `colour` on a
// transparent background. Returns 1.
int DrawSkinText(plat::HDC dc, int left, int top, int right, int bottom, const std::string& face,
                 const std::string& text, int align, plat::COLORREF colour, int fit);
// The same with the face named by the string-table key "FONT1".
int DrawSkinTextDefaultFont(plat::HDC dc, int left, int top, int right, int bottom, const std::string& text, int align,
                            plat::COLORREF colour, int fit);
// The same for UTF-16 texts.
int DrawWideText(plat::HDC dc, int left, int top, int right, int bottom, const std::string& face,
                 const std::u16string& text, int align, plat::COLORREF colour, int fit);
int DrawWideTextDefaultFont(plat::HDC dc, int left, int top, int right, int bottom, const std::u16string& text,
                            int align, plat::COLORREF colour, int fit);

// What the text layout needs of a device: a font of a given cell height, and
// measuring and drawing the text with it. The drawing helpers use one over a
// device context; tests use one with a fixed metric.
class SkinTextDevice {
 public:
  virtual ~SkinTextDevice() = default;
  // Makes the skin font of that cell height current.
  virtual void SetFontHeight(int height) = 0;
  // The rectangle the text needs (flags include DT_CALCRECT).
  virtual plat::RECT Measure(const plat::RECT& rect, plat::UINT flags) = 0;
  virtual void Draw(const plat::RECT& rect, plat::UINT flags) = 0;
};

// Chooses the font height and the vertical place of the text, then draws it:
// single-line alignments measure once (shrinking the font in proportion when
// fit mode 3 finds the text too wide); multi-line ones with fit mode 3 try
// heights of a third, a quarter, a fifth... of the rectangle until the text
// fits, never going below 1 pixel. The text is centred vertically; the "TOP"
// alignments keep a text taller than the rectangle at its top.
void LayOutSkinText(SkinTextDevice& device, const plat::RECT& rect, int align, int fit);
