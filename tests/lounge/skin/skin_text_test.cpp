#include "lounge/skin/skin_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/layout_records.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_types.h"
#include "temp_folder.h"

namespace {

using plat::RECT;
using plat::UINT;

// A device with a fixed metric: every character is half the font height wide,
// a line is the font height tall, and word breaking wraps at the rectangle's
// width (characters, not words). It records what the layout asked for.
class FixedMetricDevice : public SkinTextDevice {
 public:
  explicit FixedMetricDevice(int characters) : characters_(characters) {}

  void SetFontHeight(int height) override { heights.push_back(height); }

  RECT Measure(const RECT& rect, UINT flags) override {
    measureFlags.push_back(flags);
    const int height = heights.back();
    const int charWidth = std::max(height / 2, 1);
    const int textWidth = characters_ * charWidth;
    const int width = rect.right - rect.left;
    int lines = 1;
    int widest = textWidth;
    if ((flags & plat::DT_WORDBREAK) && width > 0 && textWidth > width) {
      const int perLine = std::max(width / charWidth, 1);
      lines = (characters_ + perLine - 1) / perLine;
      widest = perLine * charWidth;
    }
    return RECT{rect.left, rect.top, rect.left + widest, rect.top + lines * height};
  }

  void Draw(const RECT& rect, UINT flags) override {
    drawn = rect;
    drawFlags = flags;
    drawHeight = heights.back();
  }

  std::vector<int> heights;
  std::vector<UINT> measureFlags;
  RECT drawn{};
  UINT drawFlags = 0;
  int drawHeight = 0;

 private:
  int characters_;
};

TEST(SkinTextLayoutTest, AlignmentAndFitFlags) {
  struct Case {
    int align;
    UINT flags;
  };
  const Case cases[] = {
      {0, plat::DT_LEFT},
      {1, plat::DT_RIGHT},
      {2, plat::DT_CENTER},
      {3, plat::DT_WORDBREAK},
      {4, plat::DT_WORDBREAK | plat::DT_CENTER},
      {5, plat::DT_WORDBREAK},
      {6, plat::DT_WORDBREAK | plat::DT_CENTER},
      {7, plat::DT_CENTER},
      {-1, plat::DT_CENTER},
  };
  for (const Case& c : cases) EXPECT_EQ(SkinTextAlignFlags(c.align), c.flags) << c.align;
  EXPECT_EQ(SkinTextFitFlags(0), plat::DT_END_ELLIPSIS | plat::DT_PATH_ELLIPSIS);
  EXPECT_EQ(SkinTextFitFlags(1), plat::DT_PATH_ELLIPSIS);
  EXPECT_EQ(SkinTextFitFlags(2), plat::DT_END_ELLIPSIS);
  EXPECT_EQ(SkinTextFitFlags(3), 0u);
}

TEST(SkinTextLayoutTest, EllipsisModesMeasureAndDrawWithTheirFlags) {
  for (int fit : {0, 1, 2}) {
    FixedMetricDevice device(4);  // 4 characters of 10 px at height 20
    LayOutSkinText(device, RECT{10, 100, 210, 120}, ALIGN_RIGHT, fit);
    ASSERT_EQ(device.heights, std::vector<int>{20});
    ASSERT_EQ(device.measureFlags.size(), 1u);
    EXPECT_EQ(device.measureFlags[0], plat::DT_RIGHT | SkinTextFitFlags(fit) | plat::DT_CALCRECT);
    EXPECT_EQ(device.drawFlags, plat::DT_RIGHT | SkinTextFitFlags(fit));
    // Drawn across the given width, at the measured height.
    EXPECT_EQ(device.drawn, (RECT{10, 100, 210, 120}));
  }
}

TEST(SkinTextLayoutTest, SingleLineShrinksInProportion) {
  // 20 characters of 10 px = 200 px in a 100 x 20 rectangle: height
  // 20 * 100 / 200 - 1 = 9, measured again centred vertically.
  FixedMetricDevice device(20);
  LayOutSkinText(device, RECT{0, 0, 100, 20}, ALIGN_LEFT, SKIN_FIT_SHRINK);
  EXPECT_EQ(device.heights, (std::vector<int>{20, 9}));
  ASSERT_EQ(device.measureFlags.size(), 2u);
  EXPECT_EQ(device.measureFlags[0], plat::DT_LEFT | plat::DT_CALCRECT);
  EXPECT_EQ(device.measureFlags[1], plat::DT_LEFT | plat::DT_VCENTER | plat::DT_CALCRECT);
  EXPECT_EQ(device.drawFlags, plat::DT_LEFT);
  // (20 - 9) / 2 = 5 down; 9 tall.
  EXPECT_EQ(device.drawn, (RECT{0, 5, 100, 14}));

  // A text that fits keeps the full height.
  FixedMetricDevice fits(5);
  LayOutSkinText(fits, RECT{0, 0, 100, 20}, ALIGN_CENTER, SKIN_FIT_SHRINK);
  EXPECT_EQ(fits.heights, std::vector<int>{20});

  // Absurdly long text never asks for a font below 1 px.
  FixedMetricDevice huge(100000);
  LayOutSkinText(huge, RECT{0, 0, 10, 20}, ALIGN_CENTER, SKIN_FIT_SHRINK);
  EXPECT_EQ(huge.heights.back(), 1);
}

TEST(SkinTextLayoutTest, MultiLineShrinkStartsAtAThirdAndStopsAtOnePixel) {
  // 60 characters in a 100 x 60 rectangle. Height 20: 10 px chars, 10 a
  // line, 6 lines = 120 > 60. Height 15: 7 px, 14 a line, 5 lines = 75.
  // Height 12: 6 px, 16 a line, 4 lines = 48 fits.
  FixedMetricDevice device(60);
  LayOutSkinText(device, RECT{0, 0, 100, 60}, ALIGN_MULTIPLELINE, SKIN_FIT_SHRINK);
  EXPECT_EQ(device.heights, (std::vector<int>{60, 20, 15, 12}));
  for (std::size_t i = 0; i < device.measureFlags.size(); ++i) {
    EXPECT_EQ(device.measureFlags[i],
              plat::DT_WORDBREAK | plat::DT_END_ELLIPSIS | plat::DT_PATH_ELLIPSIS | plat::DT_CALCRECT);
  }
  EXPECT_EQ(device.drawHeight, 12);
  EXPECT_LE(device.drawHeight, 60 / 3);
  EXPECT_EQ(device.drawFlags, plat::DT_WORDBREAK);
  EXPECT_EQ(device.drawn, (RECT{0, 6, 100, 54}));

  // Text that fits at no size: the search ends at 1 px instead of looping.
  FixedMetricDevice never(1000000);
  LayOutSkinText(never, RECT{0, 0, 4, 30}, ALIGN_MULTIPLELINECENTER, SKIN_FIT_SHRINK);
  EXPECT_EQ(never.heights.back(), 1);
  EXPECT_EQ(never.drawHeight, 1);
}

TEST(SkinTextLayoutTest, TopAlignmentsKeepTallTextAtTheTop) {
  // 30 characters at height 20 wrap to 3 lines of 60 px in a 20 px high box.
  for (int align : {ALIGN_MULTIPLELINETOP, ALIGN_MULTIPLELINECENTERTOP}) {
    FixedMetricDevice device(30);
    LayOutSkinText(device, RECT{0, 100, 100, 120}, align, SKIN_FIT_END_ELLIPSIS);
    EXPECT_EQ(device.drawn, (RECT{0, 100, 100, 160})) << align;
  }
  // The other multi-line alignments centre it, moving it up.
  FixedMetricDevice centred(30);
  LayOutSkinText(centred, RECT{0, 100, 100, 120}, ALIGN_MULTIPLELINE, SKIN_FIT_END_ELLIPSIS);
  EXPECT_EQ(centred.drawn, (RECT{0, 80, 100, 140}));
  // Short text is centred by the top alignments too.
  FixedMetricDevice shortText(2);
  LayOutSkinText(shortText, RECT{0, 0, 100, 61}, ALIGN_MULTIPLELINETOP, SKIN_FIT_SHRINK);
  EXPECT_EQ(shortText.drawHeight, 20);
  EXPECT_EQ(shortText.drawn, (RECT{0, 20, 100, 40}));
}

// ---- With a real font ----

constexpr const char* kFace = "DejaVu Sans";
constexpr plat::COLORREF kRed = 0x0000FF;

struct Canvas {
  Canvas(int width, int height) : bitmap(plat::CreateCompatibleBitmap(nullptr, width, height)) {
    dc.SelectBitmap(bitmap.get());
  }
  const plat::Surface& pixels() const { return *plat::GetBitmapSurface(bitmap.get()); }
  // Bounding box of the pixels that are not black.
  RECT inked() const {
    const plat::Surface& s = pixels();
    RECT box{s.width(), s.height(), 0, 0};
    for (int y = 0; y < s.height(); ++y) {
      for (int x = 0; x < s.width(); ++x) {
        if ((s.pixel(x, y) & 0xFFFFFF) == 0) continue;
        box.left = std::min<plat::LONG>(box.left, x);
        box.top = std::min<plat::LONG>(box.top, y);
        box.right = std::max<plat::LONG>(box.right, x + 1);
        box.bottom = std::max<plat::LONG>(box.bottom, y + 1);
      }
    }
    return box;
  }
  BitmapPtr bitmap;
  MemoryDC dc;
};

TEST(SkinTextDrawTest, DrawsInTheColourWithinTheRectangle) {
  Canvas canvas(300, 60);
  EXPECT_EQ(DrawSkinText(canvas.dc.get(), 20, 10, 280, 50, kFace, "Music", ALIGN_LEFT, kRed, SKIN_FIT_ELLIPSIS), 1);
  RECT ink = canvas.inked();
  ASSERT_LT(ink.left, ink.right) << "nothing drawn";
  EXPECT_GE(ink.left, 20);
  EXPECT_LT(ink.left, 30);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 50);
  EXPECT_LT(ink.right, 200);
  // Some pixel carries the full colour (red in the low byte: R=255, G=B=0).
  bool red = false;
  for (int y = ink.top; y < ink.bottom && !red; ++y) {
    for (int x = ink.left; x < ink.right; ++x) red |= (canvas.pixels().pixel(x, y) & 0xFFFFFF) == 0xFF0000;
  }
  EXPECT_TRUE(red);

  Canvas right(300, 60);
  DrawSkinText(right.dc.get(), 20, 10, 280, 50, kFace, "Music", ALIGN_RIGHT, kRed, SKIN_FIT_ELLIPSIS);
  EXPECT_LE(right.inked().right, 280);
  EXPECT_GT(right.inked().right, 270);
}

TEST(SkinTextDrawTest, AmpersandPrintsAsItself) {
  // The skin text of "A&B" shows the same pixels as the text drawn without
  // prefix processing at all: a visible ampersand and no underline.
  Canvas skin(200, 40);
  DrawSkinText(skin.dc.get(), 0, 0, 200, 40, kFace, "A&B", ALIGN_LEFT, kRed, SKIN_FIT_ELLIPSIS);

  Canvas plain(200, 40);
  plat::LOGFONTA logfont{};
  logfont.lfHeight = 40;
  logfont.lfWeight = 700;
  std::snprintf(logfont.lfFaceName, sizeof(logfont.lfFaceName), "%s", kFace);
  FontPtr font(plat::CreateFontIndirectA(&logfont));
  plat::HGDIOBJ old = plat::SelectObject(plain.dc.get(), font.get());
  plat::SetBkMode(plain.dc.get(), plat::TRANSPARENT);
  plat::SetTextColor(plain.dc.get(), kRed);
  RECT rect{0, 0, 200, 40};
  plat::DrawTextA(plain.dc.get(), "A&B", 3, &rect, plat::DT_LEFT | plat::DT_NOPREFIX);
  plat::SelectObject(plain.dc.get(), old);

  EXPECT_EQ(skin.pixels().row(0)[0], plain.pixels().row(0)[0]);
  bool same = true;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) same &= skin.pixels().pixel(x, y) == plain.pixels().pixel(x, y);
  }
  EXPECT_TRUE(same);

  // The wide form reaches the same result through DT_NOPREFIX.
  Canvas wide(200, 40);
  DrawWideText(wide.dc.get(), 0, 0, 200, 40, kFace, u"A&B", ALIGN_LEFT, kRed, SKIN_FIT_ELLIPSIS);
  bool wideSame = true;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) wideSame &= wide.pixels().pixel(x, y) == plain.pixels().pixel(x, y);
  }
  EXPECT_TRUE(wideSame);
}

TEST(SkinTextDrawTest, ShrinkToFitKeepsLongTextInside) {
  const std::string text = "A rather long caption for a small box";
  Canvas canvas(400, 80);
  DrawSkinText(canvas.dc.get(), 100, 20, 200, 60, kFace, text, ALIGN_CENTER, kRed, SKIN_FIT_SHRINK);
  RECT ink = canvas.inked();
  ASSERT_LT(ink.left, ink.right);
  EXPECT_GE(ink.left, 100);
  EXPECT_LE(ink.right, 200);
  EXPECT_GE(ink.top, 20);
  EXPECT_LE(ink.bottom, 60);

  Canvas multi(400, 80);
  DrawSkinText(multi.dc.get(), 100, 10, 200, 70, kFace, text, ALIGN_MULTIPLELINECENTER, kRed, SKIN_FIT_SHRINK);
  RECT inkMulti = multi.inked();
  ASSERT_LT(inkMulti.left, inkMulti.right);
  EXPECT_GE(inkMulti.top, 10);
  EXPECT_LE(inkMulti.bottom, 70);
}

TEST(SkinTextDrawTest, MeasuresWithTheSkinFont) {
  Canvas canvas(10, 10);
  RECT small;
  RECT big;
  EXPECT_EQ(MeasureSkinText(small, canvas.dc.get(), 0, 0, 500, 20, kFace, "Hello", ALIGN_LEFT), 1);
  EXPECT_EQ(MeasureSkinText(big, canvas.dc.get(), 0, 0, 500, 40, kFace, "Hello", ALIGN_LEFT), 1);
  EXPECT_EQ(small.left, 0);
  EXPECT_EQ(small.bottom - small.top, 20);
  EXPECT_GT(big.right, small.right);
  // Word breaks: a narrow box makes the text taller.
  RECT wrapped;
  MeasureSkinText(wrapped, canvas.dc.get(), 0, 0, 60, 20, kFace, "one two three", ALIGN_MULTIPLELINE);
  EXPECT_GT(wrapped.bottom - wrapped.top, 20);
  // An unknown alignment gives the rectangle back.
  RECT given;
  MeasureSkinText(given, canvas.dc.get(), 1, 2, 3, 4, kFace, "Hello", 7);
  EXPECT_EQ(given, (RECT{1, 2, 3, 4}));
  // Drawing leaves the DC's own font selected.
  plat::HGDIOBJ before = plat::GetCurrentObject(canvas.dc.get(), plat::OBJ_FONT);
  DrawSkinText(canvas.dc.get(), 0, 0, 10, 10, kFace, "x", ALIGN_LEFT, kRed, SKIN_FIT_SHRINK);
  EXPECT_EQ(plat::GetCurrentObject(canvas.dc.get(), plat::OBJ_FONT), before);
}

TEST(SkinTextDrawTest, DefaultFontComesFromTheStringTable) {
  TempFolder folder;
  folder.Write("string.xml", "<s><FONT1 value=\"DejaVu Sans\"/></s>");
  CStringTable table(folder.path());
  SetUIStringTable(&table);
  Canvas withTable(200, 40);
  DrawSkinTextDefaultFont(withTable.dc.get(), 0, 0, 200, 40, "Aa", ALIGN_LEFT, kRed, SKIN_FIT_ELLIPSIS);
  Canvas direct(200, 40);
  DrawSkinText(direct.dc.get(), 0, 0, 200, 40, kFace, "Aa", ALIGN_LEFT, kRed, SKIN_FIT_ELLIPSIS);
  SetUIStringTable(nullptr);
  bool same = true;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) same &= withTable.pixels().pixel(x, y) == direct.pixels().pixel(x, y);
  }
  EXPECT_TRUE(same);
  EXPECT_LT(withTable.inked().left, withTable.inked().right);

  Canvas wide(200, 40);
  EXPECT_EQ(DrawWideTextDefaultFont(wide.dc.get(), 0, 0, 200, 40, u"Aa", ALIGN_LEFT, kRed, SKIN_FIT_ELLIPSIS), 1);
  EXPECT_LT(wide.inked().left, wide.inked().right);
}

}  // namespace
