#include "platform/gdi/draw_text.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>

#include "platform/gdi/font.h"
#include "platform/gdi/text.h"
#include "tests/platform/gdi/gdi_test_util.h"

namespace plat {
namespace {

using test::MemoryCanvas;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A white canvas with black DejaVu Sans text of a given cell height.
class TextCanvas : public MemoryCanvas {
 public:
  TextCanvas(int w, int h, LONG font_height, LONG weight = FW_NORMAL) : MemoryCanvas(w, h, kWhite) {
    font_ = CreateFontA(font_height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                        "DejaVu Sans");
    old_font_ = SelectObject(dc(), font_);
    SetBkMode(dc(), TRANSPARENT);
    SetTextColor(dc(), RGB(0, 0, 0));
  }
  ~TextCanvas() {
    SelectObject(dc(), old_font_);
    DeleteObject(font_);
  }
  void Clear() {
    for (int y = 0; y < surface().height(); ++y)
      for (int x = 0; x < surface().width(); ++x) surface().set_pixel(x, y, kWhite);
  }
  // Bounding box of every pixel that is not white; empty when none.
  RECT Ink() const {
    RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < surface().height(); ++y)
      for (int x = 0; x < surface().width(); ++x)
        if (at(x, y) != kWhite) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r.left == INT_MAX ? RECT{} : r;
  }
  SIZE Extent(const char* text) const {
    SIZE s{};
    GetTextExtentPoint32A(dc(), text, -1, &s);
    return s;
  }
  HFONT font() const { return font_; }

 private:
  HFONT font_ = nullptr;
  HGDIOBJ old_font_ = nullptr;
};

TEST(Fonts, FacesResolveThroughFontconfig) {
  struct Case {
    const char* face;
    LONG weight;
    const char* file_suffix;
  };
  const Case cases[] = {
      {"DejaVu Sans", FW_NORMAL, "DejaVuSans.ttf"},
      {"DejaVu Sans", FW_BOLD, "DejaVuSans-Bold.ttf"},
      {"Arial", FW_NORMAL, "LiberationSans-Regular.ttf"},
      {"No Such Face At All", FW_NORMAL, ".ttf"},
  };
  for (const Case& c : cases) {
    HFONT f = CreateFontA(-20, 0, 0, 0, c.weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, c.face);
    const std::string file = GetResolvedFont(f).file;
    EXPECT_TRUE(file.ends_with(c.file_suffix)) << c.face << " -> " << file;
    DeleteObject(f);
  }
  // The record is kept as given, the character set included.
  LOGFONTW wide{};
  wide.lfHeight = 30;
  wide.lfCharSet = 136;
  const std::u16string face = u"DejaVu Sans";
  face.copy(wide.lfFaceName, face.size());
  HFONT f = CreateFontIndirectW(&wide);
  LOGFONTA back{};
  ASSERT_EQ(GetObject(f, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::string(back.lfFaceName), "DejaVu Sans");
  EXPECT_EQ(back.lfCharSet, 136);
  DeleteObject(f);
}

// Fonts made while the set-up thread runs wait for it and resolve as
// without it; the thread may also be let go at once.
TEST(Fonts, FontsMadeDuringTheSetUpResolveAsUsual) {
  { const std::jthread early = StartFontSetUp(); }
  const std::jthread setUp = StartFontSetUp();
  for (const auto& [face, weight, suffix] : {std::tuple{"DejaVu Sans", FW_BOLD, "DejaVuSans-Bold.ttf"},
                                             std::tuple{"Arial", FW_NORMAL, "LiberationSans-Regular.ttf"}}) {
    HFONT f = CreateFontA(-20, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    const std::string file = GetResolvedFont(f).file;
    EXPECT_TRUE(file.ends_with(suffix)) << face << " -> " << file;
    DeleteObject(f);
  }
}

TEST(Fonts, CellAndCharacterHeights) {
  for (LONG height : {12, 20, 40}) {
    TextCanvas c(10, 10, height);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(c.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, height);  // positive: the cell height
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_EQ(c.Extent("Hg").cy, height);
  }
  TextCanvas em(10, 10, -40);
  TEXTMETRIC tm;
  GetTextMetrics(em.dc(), &tm);
  // Negative: the em is 40; DejaVu Sans' cell is about 1.164 em.
  EXPECT_NEAR(tm.tmHeight, 47, 1);
  EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 40);
}

TEST(Fonts, ExtentsAddUpAndBoldIsWider) {
  TextCanvas regular(10, 10, 30);
  TextCanvas bold(10, 10, 30, FW_BOLD);
  const int one = regular.Extent("Marivel").cx;
  EXPECT_GT(one, 50);
  EXPECT_NEAR(regular.Extent("MarivelMarivel").cx, 2 * one, 2);
  EXPECT_GT(bold.Extent("Marivel").cx, one);
  SIZE wide{};
  GetTextExtentPoint32W(regular.dc(), u"Marivel", -1, &wide);
  EXPECT_EQ(wide.cx, one);
  EXPECT_EQ(regular.Extent("").cx, 0);
}

TEST(DrawText, CalcRectMeasures) {
  TextCanvas c(400, 200, 20);
  const SIZE hello = c.Extent("Hello world");
  RECT r{10, 5, 300, 100};
  EXPECT_EQ(DrawTextA(c.dc(), "Hello world", -1, &r, DT_CALCRECT | DT_SINGLELINE), 20);
  EXPECT_EQ(r, (RECT{10, 5, 10 + hello.cx, 25}));

  // Word break in a rectangle just wide enough for "one two".
  const int w = c.Extent("one two").cx;
  ASSERT_GT(c.Extent("three four").cx, w);
  RECT wrap{0, 0, w, 10};
  EXPECT_EQ(DrawTextA(c.dc(), "one two three four", -1, &wrap, DT_CALCRECT | DT_WORDBREAK), 60);
  EXPECT_EQ(wrap.bottom, 60);
  EXPECT_EQ(wrap.right, std::max({c.Extent("one two").cx, c.Extent("three").cx, c.Extent("four").cx}));
  // A word longer than the line widens the measured rectangle.
  RECT narrow{0, 0, 10, 10};
  DrawTextA(c.dc(), "Unbreakable", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(narrow.right, c.Extent("Unbreakable").cx);
  // With an ellipsis it stays within the rectangle.
  RECT cut{0, 0, 60, 10};
  DrawTextA(c.dc(), "A rather long label", -1, &cut, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(cut.right, 60);
  EXPECT_GT(cut.right, 30);
  // Wide and narrow forms agree.
  RECT a{0, 0, 300, 10}, b{0, 0, 300, 10};
  DrawTextA(c.dc(), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", -1, &a, DT_CALCRECT | DT_SINGLELINE);
  DrawTextW(c.dc(), u"Grüße ✓", -1, &b, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(a, b);
}

TEST(DrawText, AlignmentsPlaceTheText) {
  TextCanvas c(300, 100, 24);
  const RECT box{20, 10, 280, 90};
  const int text_w = c.Extent("Label").cx;
  c.Clear();
  RECT r = box;
  DrawTextA(c.dc(), "Label", -1, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
  const RECT top_left = c.Ink();
  ASSERT_GT(top_left.right, top_left.left);
  EXPECT_GE(top_left.left, box.left);
  EXPECT_LE(top_left.left, box.left + 3);
  EXPECT_GE(top_left.top, box.top);

  struct Case {
    UINT flags;
    int dx, dy;  // expected shift of the ink from the top-left placement
  };
  const int free_w = (box.right - box.left) - text_w, free_h = (box.bottom - box.top) - 24;
  const Case cases[] = {
      {DT_CENTER, free_w / 2, 0},
      {DT_RIGHT, free_w, 0},
      {DT_VCENTER, 0, free_h / 2},
      {DT_BOTTOM, 0, free_h},
      {DT_CENTER | DT_VCENTER, free_w / 2, free_h / 2},
  };
  for (const Case& k : cases) {
    c.Clear();
    r = box;
    DrawTextA(c.dc(), "Label", -1, &r, DT_SINGLELINE | k.flags);
    const RECT ink = c.Ink();
    EXPECT_EQ(ink.left - top_left.left, k.dx) << std::hex << k.flags;
    EXPECT_EQ(ink.top - top_left.top, k.dy) << std::hex << k.flags;
    EXPECT_EQ(ink.right - ink.left, top_left.right - top_left.left) << std::hex << k.flags;
  }
  // Return value: the bottom of the text measured from the rectangle's top.
  r = box;
  EXPECT_EQ(DrawTextA(c.dc(), "Label", -1, &r, DT_SINGLELINE | DT_VCENTER), free_h / 2 + 24);
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip) {
  TextCanvas c(200, 60, 30);
  RECT r{10, 10, 40, 25};
  DrawTextA(c.dc(), "Overflowing", -1, &r, DT_SINGLELINE);
  RECT ink = c.Ink();
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 40);
  EXPECT_LE(ink.bottom, 25);
  c.Clear();
  r = {10, 10, 40, 25};
  DrawTextA(c.dc(), "Overflowing", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  ink = c.Ink();
  EXPECT_GT(ink.right, 100);
  EXPECT_GT(ink.bottom, 25);
}

TEST(DrawText, PrefixUnderlinesOneCharacter) {
  TextCanvas c(200, 40, 24);
  RECT r{0, 0, 200, 40};
  DrawTextA(c.dc(), "&File", -1, &r, DT_SINGLELINE);
  const Surface prefixed = c.surface();
  c.Clear();
  DrawTextA(c.dc(), "File", -1, &r, DT_SINGLELINE);
  const Surface plain = c.surface();
  // The only difference is a line under the "F".
  const int f_width = c.Extent("F").cx;
  RECT diff{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      if (prefixed.pixel(x, y) != plain.pixel(x, y)) {
        diff = {std::min<LONG>(diff.left, x), std::min<LONG>(diff.top, y), std::max<LONG>(diff.right, x + 1),
                std::max<LONG>(diff.bottom, y + 1)};
      }
  ASSERT_NE(diff.left, INT_MAX);
  EXPECT_EQ(diff.left, 0);
  EXPECT_LE(diff.right, f_width);  // the F's advance, kerned against the i
  EXPECT_GE(diff.right, f_width - 3);
  EXPECT_LE(diff.bottom - diff.top, 3);
  TEXTMETRIC tm;
  GetTextMetrics(c.dc(), &tm);
  EXPECT_GT(diff.top, tm.tmAscent - 1);

  // "&&" shows one ampersand and underlines nothing: the same pixels as the
  // text drawn without prefix handling.
  c.Clear();
  DrawTextA(c.dc(), "R&&B", -1, &r, DT_SINGLELINE);
  const Surface doubled = c.surface();
  c.Clear();
  DrawTextA(c.dc(), "R&B", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(doubled.pixel(x, y), c.at(x, y)) << x << "," << y;
}

TEST(DrawText, OpaqueBackgroundAndColours) {
  TextCanvas c(120, 40, 20);
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), RGB(0, 0, 255));
  SetTextColor(c.dc(), RGB(255, 0, 0));
  RECT r{0, 0, 120, 40};
  DrawTextA(c.dc(), "ab", -1, &r, DT_SINGLELINE);
  const int w = c.Extent("ab").cx;
  EXPECT_EQ(c.at(w - 1, 19), PixelFromColorRef(RGB(0, 0, 255)));  // inside the cell, under no glyph
  EXPECT_EQ(c.at(w + 1, 5), kWhite);
  EXPECT_EQ(c.at(2, 25), kWhite);  // below the cell
  bool red = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < w; ++x) red |= c.at(x, y) == PixelFromColorRef(RGB(255, 0, 0));
  EXPECT_TRUE(red);
}

TEST(TextOut, DrawsAtTheCellTopLeft) {
  TextCanvas c(100, 40, 20);
  EXPECT_TRUE(TextOutA(c.dc(), 30, 10, "T", 1));
  const RECT ink = c.Ink();
  EXPECT_GE(ink.left, 29);  // anti-aliasing may reach one pixel left
  EXPECT_LE(ink.left, 32);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 30);
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "x", 1));
  RECT clip{0, 0, 32, 40};
  c.Clear();
  ExtTextOutA(c.dc(), 30, 10, ETO_CLIPPED, &clip, "T", 1, nullptr);
  EXPECT_LE(c.Ink().right, 32);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

TEST(DrawText, HostileRectanglesAndTextStaySafe) {
  test::MemoryCanvas c(64, 32, kWhite);
  HFONT font = CreateFontA(18, 0, 0, 0, FW_BOLD, 1, 1, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
  HGDIOBJ old = SelectObject(c.dc(), font);
  const RECT rects[] = {
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX - 5, 0, INT_MIN, 10}, {10, 10, 10, 10},
      {-1000000, 5, -999990, 20},           {40, 30, 0, 0},                {0, 0, 64, 32},
  };
  const char* texts[] = {"", "&", "&&&&", "plain words that wrap", "\xFF\xFE broken \xC3 utf8 \xE2\x82",
                         "C:\\a\\b\\c\\long file name.mp3", "\r\n\n\r", "&x&y&z"};
  const UINT flags[] = {0, DT_SINGLELINE | DT_VCENTER | DT_CENTER, DT_WORDBREAK | DT_END_ELLIPSIS,
                        DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_RIGHT | DT_SINGLELINE | DT_BOTTOM,
                        DT_NOCLIP | DT_NOPREFIX | DT_WORDBREAK};
  for (const RECT& r : rects)
    for (const char* t : texts)
      for (UINT f : flags) {
        RECT measured = r;
        DrawTextA(c.dc(), t, -1, &measured, f | DT_CALCRECT);
        RECT drawn = r;
        DrawTextA(c.dc(), t, -1, &drawn, f);
      }
  EXPECT_EQ(DrawTextA(c.dc(), "x", -1, nullptr, 0), 0);
  EXPECT_EQ(DrawTextW(c.dc(), nullptr, 3, nullptr, 0), 0);
  SelectObject(c.dc(), old);
  DeleteObject(font);
}

}  // namespace
}  // namespace plat
