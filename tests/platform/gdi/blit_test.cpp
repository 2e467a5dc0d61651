#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "tests/platform/gdi/gdi_test_util.h"

namespace plat {
namespace {

using test::Coord;
using test::FillCoordinates;
using test::MemoryCanvas;

constexpr std::uint32_t kBg = 0xFF101010u;

TEST(BitBlt, ClipsAtEveryEdgeOfBothSurfaces) {
  MemoryCanvas src(4, 3);
  FillCoordinates(src.surface());
  struct Case {
    int x, y, w, h, sx, sy;
  };
  // Destination 6x5. Cases hang over each edge of the destination and of
  // the source, and lie wholly outside.
  const Case cases[] = {
      {0, 0, 4, 3, 0, 0},    {-2, 0, 4, 3, 0, 0},  {4, 0, 4, 3, 0, 0},    {0, -2, 4, 3, 0, 0},
      {0, 3, 4, 3, 0, 0},    {1, 1, 4, 3, -2, 0},  {1, 1, 4, 3, 2, 0},    {1, 1, 4, 3, 0, -2},
      {1, 1, 4, 3, 0, 2},    {10, 10, 4, 3, 0, 0}, {1, 1, 4, 3, 10, 10},  {-1, -1, 10, 10, -1, -1},
  };
  for (const Case& c : cases) {
    MemoryCanvas dst(6, 5, kBg);
    ASSERT_TRUE(BitBlt(dst.dc(), c.x, c.y, c.w, c.h, src.dc(), c.sx, c.sy, SRCCOPY));
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const int sx = x - c.x + c.sx, sy = y - c.y + c.sy;
        const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h && sx >= 0 && sy >= 0 && sx < 4 &&
                            sy < 3;
        EXPECT_EQ(dst.at(x, y), inside ? Coord(sx, sy) : kBg)
            << "case " << c.x << "," << c.y << " src " << c.sx << "," << c.sy << " at " << x << "," << y;
      }
  }
}

TEST(BitBlt, RasterOperations) {
  struct Case {
    DWORD rop;
    std::uint32_t want;
  };
  const std::uint32_t d = 0xFF0F0F0Fu, s = 0xFF3C3C3Cu;
  const Case cases[] = {
      {SRCCOPY, s},
      {SRCPAINT, d | s},
      {SRCAND, d & s},
      {SRCINVERT, 0xFF000000u | (d ^ s)},
      {BLACKNESS, 0xFF000000u},
      {WHITENESS, 0xFFFFFFFFu},
      {DSTINVERT, d ^ 0x00FFFFFFu},
      {PATCOPY, PixelFromColorRef(RGB(1, 2, 3))},
  };
  MemoryCanvas src(2, 2, s);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  for (const Case& c : cases) {
    MemoryCanvas dst(2, 2, d);
    HGDIOBJ old = SelectObject(dst.dc(), brush);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, c.rop));
    EXPECT_EQ(dst.at(1, 1), c.want) << std::hex << c.rop;
    SelectObject(dst.dc(), old);
  }
  DeleteObject(brush);
}

TEST(BitBlt, OverlappingMoveOnOneSurface) {
  MemoryCanvas c(8, 8);
  FillCoordinates(c.surface());
  ASSERT_TRUE(BitBlt(c.dc(), 2, 1, 6, 7, c.dc(), 0, 0, SRCCOPY));  // scroll down-right
  for (int y = 1; y < 8; ++y)
    for (int x = 2; x < 8; ++x) EXPECT_EQ(c.at(x, y), Coord(x - 2, y - 1));
  EXPECT_EQ(c.at(0, 0), Coord(0, 0));
  ASSERT_TRUE(BitBlt(c.dc(), 0, 0, 8, 8, c.dc(), 1, 1, SRCCOPY));  // scroll back up-left
  EXPECT_EQ(c.at(0, 0), Coord(1, 1));  // (1,1) was outside the first move
  EXPECT_EQ(c.at(3, 3), Coord(2, 3));  // (4,4) held (2,3) after the first move
}

TEST(Blits, HostileArgumentsNeverTouchOutside) {
  // Extreme, negative and overflowing values through every entry point; the
  // sanitizers catch any stray access, the checks that nothing outside the
  // clip changed.
  MemoryCanvas src(16, 16);
  FillCoordinates(src.surface());
  MemoryCanvas dst(16, 16, kBg);
  IntersectClipRect(dst.dc(), 4, 4, 12, 12);
  std::mt19937 rng(7);
  const int extremes[] = {INT_MIN, INT_MIN + 1, -100000, -17, -1, 0, 1, 5, 15, 16, 17, 100000, INT_MAX - 1, INT_MAX};
  auto pick = [&] {
    return (rng() % 3 == 0) ? extremes[rng() % std::size(extremes)] : static_cast<int>(rng() % 40) - 12;
  };
  HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
  for (int i = 0; i < 3000; ++i) {
    const int a = pick(), b = pick(), c = pick(), d = pick(), e = pick(), f = pick(), g = pick(), h = pick();
    BitBlt(dst.dc(), a, b, c, d, src.dc(), e, f, SRCCOPY);
    SetStretchBltMode(dst.dc(), (i % 2) ? HALFTONE : COLORONCOLOR);
    if (std::abs(static_cast<long long>(c)) < 5000 && std::abs(static_cast<long long>(d)) < 5000)
      StretchBlt(dst.dc(), a, b, c, d, src.dc(), e, f, g, h, SRCCOPY);
    else
      StretchBlt(dst.dc(), a, b, c % 64, d % 64, src.dc(), e, f, g, h, SRCCOPY);
    TransparentBlt(dst.dc(), a, b, c, d, src.dc(), e, f, g, h, RGB(0, 0, 0));
    AlphaBlend(dst.dc(), a, b, c, d, src.dc(), e, f, g, h, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0});
    const RECT r{a, b, c, d};
    FillRect(dst.dc(), &r, brush);
    FrameRect(dst.dc(), &r, brush);
    PatBlt(dst.dc(), a, b, c, d, PATCOPY);
    MoveToEx(dst.dc(), a, b, nullptr);
    LineTo(dst.dc(), c, d);
    Rectangle(dst.dc(), a, b, c % 100, d % 100);
    Ellipse(dst.dc(), a % 100, b % 100, c % 100, d % 100);
    SetPixel(dst.dc(), a, b, 0);
    GetPixel(dst.dc(), a, b);
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (x < 4 || y < 4 || x >= 12 || y >= 12) {
        ASSERT_EQ(dst.at(x, y), kBg) << x << "," << y;
      }
  DeleteObject(brush);
}

TEST(StretchBlt, NearestPixelTables) {
  MemoryCanvas src(4, 4);
  FillCoordinates(src.surface());
  struct Case {
    const char* name;
    int w, h, sx, sy, sw, sh;
    // Expected source coordinate of destination pixel (x, y).
    int (*mx)(int);
    int (*my)(int);
  };
  const Case cases[] = {
      {"enlarge 2x", 8, 8, 0, 0, 4, 4, [](int x) { return x / 2; }, [](int y) { return y / 2; }},
      {"shrink 2x", 2, 2, 0, 0, 4, 4, [](int x) { return x * 2; }, [](int y) { return y * 2; }},
      {"mirror x", 4, 4, 3, 0, -4, 4, [](int x) { return 3 - x; }, [](int y) { return y; }},
      {"mirror y by dest", 4, -4, 0, 0, 4, 4, [](int x) { return x; }, [](int y) { return y; }},
      {"3 to 4 wide", 4, 4, 0, 0, 3, 4, [](int x) { return x * 3 / 4; }, [](int y) { return y; }},
      {"part of source", 4, 4, 2, 2, 2, 2, [](int x) { return 2 + x / 2; }, [](int y) { return 2 + y / 2; }},
  };
  for (const Case& c : cases) {
    MemoryCanvas dst(8, 8, kBg);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    const int y0 = c.h < 0 ? 3 : 0;  // a negative height runs up from its start row
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, y0, c.w, c.h, src.dc(), c.sx, c.sy, c.sw, c.sh, SRCCOPY));
    const int w = std::abs(c.w), h = std::abs(c.h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int sy = c.h < 0 ? 3 - c.my(y) : c.my(y);
        EXPECT_EQ(dst.at(x, y), Coord(c.mx(x), sy)) << c.name << " at " << x << "," << y;
      }
    EXPECT_EQ(dst.at(w < 8 ? w : 0, h < 8 ? h : 0), w < 8 || h < 8 ? kBg : dst.at(0, 0)) << c.name;
  }
}

// The straight copy of nearest pixels takes short cuts (repeated rows,
// unscaled rows); it must draw exactly what the general per-pixel loop draws:
// SRCAND of a zero source clears what it would draw, SRCPAINT then draws it.
TEST(StretchBlt, NearestCopyDrawsWhatTheGeneralLoopDraws) {
  MemoryCanvas src(13, 11);
  FillCoordinates(src.surface());
  MemoryCanvas zero(13, 11, 0);
  std::mt19937 rng(11);
  auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
  HRGN clip = CreateRectRgn(0, 0, 1, 1);
  for (int i = 0; i < 2000; ++i) {
    const int x = pick(-8, 20), y = pick(-8, 20), w = pick(-30, 40), h = pick(-30, 40);
    const int sx = pick(-4, 14), sy = pick(-4, 12), sw = pick(-14, 14), sh = pick(-12, 12);
    // Every destination pixel differs, so a pixel drawn that should not be shows.
    MemoryCanvas copied(24, 24);
    MemoryCanvas general(24, 24);
    FillCoordinates(copied.surface());
    FillCoordinates(general.surface());
    if (i % 3 == 0) {
      // Two separate rectangles, so one blit is cut into several runs.
      HRGN second = CreateRectRgn(pick(0, 23), pick(0, 23), pick(0, 24), pick(0, 24));
      SetRectRgn(clip, pick(0, 12), pick(0, 12), pick(12, 24), pick(12, 24));
      CombineRgn(clip, clip, second, RGN_OR);
      DeleteObject(second);
      SelectClipRgn(copied.dc(), clip);
      SelectClipRgn(general.dc(), clip);
    }
    ASSERT_TRUE(StretchBlt(copied.dc(), x, y, w, h, src.dc(), sx, sy, sw, sh, SRCCOPY));
    ASSERT_TRUE(StretchBlt(general.dc(), x, y, w, h, zero.dc(), sx, sy, sw, sh, SRCAND));
    ASSERT_TRUE(StretchBlt(general.dc(), x, y, w, h, src.dc(), sx, sy, sw, sh, SRCPAINT));
    for (int py = 0; py < 24; ++py)
      for (int px = 0; px < 24; ++px)
        ASSERT_EQ(copied.at(px, py), general.at(px, py))
            << "blit " << x << "," << y << " " << w << "x" << h << " from " << sx << "," << sy << " " << sw << "x"
            << sh << " at " << px << "," << py;
  }
  DeleteObject(clip);
}

TEST(StretchBlt, SmoothModeAveragesAndInterpolates) {
  MemoryCanvas src(4, 2);
  // Columns alternate 0 and 200 in every channel.
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) src.surface().set_pixel(x, y, (x % 2) ? 0xFFC8C8C8u : 0xFF000000u);
  {
    MemoryCanvas dst(2, 1, kBg);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(dst.at(0, 0), 0xFF646464u);  // area average is exact here
    EXPECT_EQ(dst.at(1, 0), 0xFF646464u);
  }
  {
    // A horizontal ramp enlarged 4x stays monotonic and within its ends.
    MemoryCanvas ramp(3, 1);
    for (int x = 0; x < 3; ++x) ramp.surface().set_pixel(x, 0, 0xFF000000u | (x * 100));
    MemoryCanvas dst(12, 1, kBg);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 12, 1, ramp.dc(), 0, 0, 3, 1, SRCCOPY));
    int previous = -1;
    for (int x = 0; x < 12; ++x) {
      const int v = static_cast<int>(dst.at(x, 0) & 0xFF);
      EXPECT_GE(v, previous);
      EXPECT_LE(v, 200);
      previous = v;
    }
    EXPECT_EQ(dst.at(0, 0) & 0xFF, 0u);
    EXPECT_EQ(dst.at(11, 0) & 0xFF, 200u);
    EXPECT_NEAR(static_cast<int>(dst.at(6, 0) & 0xFF), 112, 3);  // bilinear at x = 1.125 of the source
  }
  {
    // One colour stays that colour at any scale.
    MemoryCanvas flat(7, 5, 0xFF336699u);
    MemoryCanvas dst(13, 3, kBg);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 13, 3, flat.dc(), 0, 0, 7, 5, SRCCOPY));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x) EXPECT_EQ(dst.at(x, y), 0xFF336699u);
  }
}

TEST(StretchBlt, SmoothModeAtOneToOneIsAnExactCopy) {
  MemoryCanvas src(9, 7);
  FillCoordinates(src.surface());
  for (bool mirror : {false, true}) {
    MemoryCanvas smooth(12, 10, kBg), nearest(12, 10, kBg);
    SetStretchBltMode(smooth.dc(), HALFTONE);
    SetStretchBltMode(nearest.dc(), COLORONCOLOR);
    // Clipped on the left and top, and reaching past the source's edge.
    IntersectClipRect(smooth.dc(), 2, 1, 12, 10);
    IntersectClipRect(nearest.dc(), 2, 1, 12, 10);
    const int sx = mirror ? 8 : 0, sw = mirror ? -10 : 10;
    StretchBlt(smooth.dc(), 1, 0, 10, 8, src.dc(), sx, 0, sw, 8, SRCCOPY);
    StretchBlt(nearest.dc(), 1, 0, 10, 8, src.dc(), sx, 0, sw, 8, SRCCOPY);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x) EXPECT_EQ(smooth.at(x, y), nearest.at(x, y)) << mirror << " " << x << "," << y;
  }
}

TEST(TransparentBlt, SkipsTheKeyColour) {
  const std::uint32_t key = PixelFromColorRef(RGB(255, 0, 255));
  MemoryCanvas src(2, 2, key);
  src.surface().set_pixel(1, 0, 0xFF123456u);
  MemoryCanvas dst(4, 4, kBg);
  ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, RGB(255, 0, 255)));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.at(x, y), (x >= 2 && y < 2) ? 0xFF123456u : kBg) << x << "," << y;
}

TEST(AlphaBlend, ConstantAndPerPixelAlpha) {
  MemoryCanvas dst(2, 1, 0xFF000000u | 0x00C8C8C8u);
  MemoryCanvas src(2, 1, 0xFF646464u);
  ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0}));
  EXPECT_NEAR(static_cast<int>(dst.at(0, 0) & 0xFF), (100 * 128 + 200 * 127) / 255, 1);
  // Premultiplied half-transparent source: 50 over 200 with alpha 128.
  src.surface().set_pixel(1, 0, 0x80323232u);
  ASSERT_TRUE(AlphaBlend(dst.dc(), 1, 0, 1, 1, src.dc(), 1, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
  EXPECT_NEAR(static_cast<int>(dst.at(1, 0) & 0xFF), 50 + 200 * 127 / 255, 1);
  EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, -1, 1, src.dc(), 0, 0, 1, 1, BLENDFUNCTION{}));
}

TEST(Shapes, LinesRectanglesAndPixels) {
  MemoryCanvas c(6, 6, kBg);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ old_pen = SelectObject(c.dc(), pen);
  MoveToEx(c.dc(), 0, 2, nullptr);
  LineTo(c.dc(), 4, 2);  // endpoint excluded
  const std::uint32_t red = PixelFromColorRef(RGB(255, 0, 0));
  for (int x = 0; x < 6; ++x) EXPECT_EQ(c.at(x, 2), x < 4 ? red : kBg) << x;

  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  HGDIOBJ old_brush = SelectObject(c.dc(), blue);
  Rectangle(c.dc(), 1, 3, 5, 6);
  EXPECT_EQ(c.at(1, 3), red);   // outline
  EXPECT_EQ(c.at(4, 5), red);
  EXPECT_EQ(c.at(2, 4), PixelFromColorRef(RGB(0, 0, 255)));  // interior
  EXPECT_EQ(c.at(5, 4), kBg);

  EXPECT_EQ(SetPixel(c.dc(), 5, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(c.dc(), 5, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(c.dc(), 6, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);

  // An ellipse fills its middle and leaves the corners of its box.
  MemoryCanvas e(20, 10, kBg);
  HGDIOBJ e_brush = SelectObject(e.dc(), blue);
  HGDIOBJ e_pen = SelectObject(e.dc(), GetStockObject(NULL_PEN));
  Ellipse(e.dc(), 0, 0, 20, 10);
  EXPECT_EQ(e.at(10, 5), PixelFromColorRef(RGB(0, 0, 255)));
  EXPECT_EQ(e.at(1, 5), PixelFromColorRef(RGB(0, 0, 255)));
  EXPECT_EQ(e.at(0, 0), kBg);
  EXPECT_EQ(e.at(19, 9), kBg);
  SelectObject(e.dc(), e_brush);
  SelectObject(e.dc(), e_pen);

  SelectObject(c.dc(), old_pen);
  SelectObject(c.dc(), old_brush);
  DeleteObject(pen);
  DeleteObject(blue);
}

}  // namespace
}  // namespace plat
