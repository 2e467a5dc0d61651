// Fitting pictures into rectangles and the pixel operations: turns, their
// composition, rotation by any angle and resizing.
#include <gtest/gtest.h>

#include "engines/picture/picture_core/fit.h"
#include "engines/picture/picture_core/pixel_ops.h"

namespace {

using namespace picture;

TEST(Fit, AspectLetterboxesAndNeverEnlarges) {
  const struct {
    int x, y, w, h, iw, ih;
    int ex, ey, ew, eh;
  } cases[] = {
      {0, 0, 400, 300, 800, 400, 0, 50, 400, 200},    // wide picture: bars above and below
      {0, 0, 400, 300, 300, 600, 125, 0, 150, 300},   // tall picture: bars left and right
      {10, 20, 400, 300, 1600, 1200, 10, 20, 400, 300},  // same aspect
      {0, 0, 400, 300, 40, 30, 180, 135, 40, 30},     // small picture: own size, centred
  };
  for (const auto& c : cases) {
    int x = c.x, y = c.y, w = c.w, h = c.h;
    ASSERT_TRUE(FitAspect(&x, &y, &w, &h, c.iw, c.ih));
    EXPECT_EQ(x, c.ex);
    EXPECT_EQ(y, c.ey);
    EXPECT_EQ(w, c.ew);
    EXPECT_EQ(h, c.eh);
  }
}

TEST(Fit, RatioLetterboxesWithoutSizeLimit) {
  int x = 0, y = 0, w = 400, h = 400;
  ASSERT_TRUE(FitRatio(&x, &y, &w, &h, 2.0));
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 200);
  EXPECT_EQ(y, 100);
  x = 0, y = 0, w = 10, h = 10;
  ASSERT_TRUE(FitRatio(&x, &y, &w, &h, 0.5));
  EXPECT_EQ(w, 5);
  EXPECT_EQ(x, 2);
}

TEST(Fit, ZeroSizesAreRefusedAndLeaveTheArgumentsAlone) {
  int x = 1, y = 2, w = 30, h = 40;
  EXPECT_FALSE(FitAspect(&x, &y, &w, &h, 0, 10));
  EXPECT_FALSE(FitAspect(&x, &y, &w, &h, 10, 0));
  EXPECT_FALSE(FitRatio(&x, &y, &w, &h, 0.0));
  int zero_w = 0;
  EXPECT_FALSE(FitAspect(&x, &y, &zero_w, &h, 10, 10));
  EXPECT_EQ(x, 1);
  EXPECT_EQ(w, 30);
  plat::RECT area{0, 0, 0, 10}, out{};
  EXPECT_FALSE(FitWithMinimum(&area, &out, 10, 10, 0.75f, false));
  area = {0, 0, 10, 10};
  EXPECT_FALSE(FitWithMinimum(&area, &out, 0, 10, 0.75f, false));
}

TEST(Fit, WithMinimumCutsAtMostToTheMinimum) {
  // A square into a 2:1 area: filling the width would show half of it, so
  // the picture shrinks to show three quarters and the area narrows.
  plat::RECT area{0, 0, 200, 100}, out{};
  ASSERT_TRUE(FitWithMinimum(&area, &out, 100, 100, 0.75f, false));
  EXPECT_EQ(out.right - out.left, 133);
  EXPECT_EQ(out.bottom - out.top, 133);
  EXPECT_EQ(area.left, 33);
  EXPECT_EQ(area.right, 166);
  EXPECT_EQ(out.left, area.left);
  EXPECT_EQ(out.top, -17);  // centred vertically on the area

  // A mild cut stays: 4:3 into 16:9 keeps more than three quarters.
  area = {0, 0, 160, 90};
  ASSERT_TRUE(FitWithMinimum(&area, &out, 400, 300, 0.75f, false));
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.right, 160);
  EXPECT_EQ(out.right - out.left, 160);
  EXPECT_EQ(out.bottom - out.top, 120);
  EXPECT_EQ(out.top, -15);

  // Equal ratios: the area itself.
  area = {5, 5, 85, 65};
  ASSERT_TRUE(FitWithMinimum(&area, &out, 40, 30, 0.75f, false));
  EXPECT_EQ(out.left, 5);
  EXPECT_EQ(out.right, 85);
}

TEST(Fit, SmallGifIsCentredUnscaled) {
  plat::RECT area{0, 0, 200, 100}, out{};
  ASSERT_TRUE(FitWithMinimum(&area, &out, 50, 40, 0.75f, true));
  EXPECT_EQ(out.left, 75);
  EXPECT_EQ(out.top, 30);
  EXPECT_EQ(out.right, 125);
  EXPECT_EQ(out.bottom, 70);
  EXPECT_EQ(area.left, out.left);
  EXPECT_EQ(area.bottom, out.bottom);
  // Not a GIF: filled as any picture.
  area = {0, 0, 200, 100};
  ASSERT_TRUE(FitWithMinimum(&area, &out, 50, 40, 0.75f, false));
  EXPECT_GT(out.right - out.left, 50);
}

// A 3 x 2 picture of distinct pixels: value = 10 * y + x.
plat::Surface Numbered() {
  plat::Surface s(3, 2, 0u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) s.set_pixel(x, y, static_cast<std::uint32_t>(10 * y + x));
  return s;
}

std::vector<std::uint32_t> Rows(const plat::Surface& s) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) out.push_back(s.pixel(x, y));
  return out;
}

TEST(Turns, EachTurnMovesEveryPixelWhereItBelongs) {
  // Source:  0  1  2
  //         10 11 12
  const struct {
    Turn turn;
    int w, h;
    std::vector<std::uint32_t> rows;
  } cases[] = {
      {Turn::None, 3, 2, {0, 1, 2, 10, 11, 12}},
      {Turn::FlipHorizontal, 3, 2, {2, 1, 0, 12, 11, 10}},
      {Turn::FlipVertical, 3, 2, {10, 11, 12, 0, 1, 2}},
      {Turn::Rotate180, 3, 2, {12, 11, 10, 2, 1, 0}},
      {Turn::Rotate90, 2, 3, {10, 0, 11, 1, 12, 2}},
      {Turn::Rotate270, 2, 3, {2, 12, 1, 11, 0, 10}},
      {Turn::Transpose, 2, 3, {0, 10, 1, 11, 2, 12}},
      {Turn::Transverse, 2, 3, {12, 2, 11, 1, 10, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.turn));
    const plat::Surface out = ApplyTurn(Numbered(), c.turn);
    EXPECT_EQ(out.width(), c.w);
    EXPECT_EQ(out.height(), c.h);
    EXPECT_EQ(Rows(out), c.rows);
  }
}

TEST(Turns, CombiningMatchesApplyingOneAfterTheOther) {
  const Turn all[] = {Turn::None,      Turn::FlipHorizontal, Turn::FlipVertical, Turn::Transpose,
                      Turn::Transverse, Turn::Rotate90,      Turn::Rotate180,    Turn::Rotate270};
  for (Turn a : all)
    for (Turn b : all) {
      const plat::Surface twice = ApplyTurn(ApplyTurn(Numbered(), a), b);
      const plat::Surface once = ApplyTurn(Numbered(), Combine(a, b));
      EXPECT_EQ(Rows(twice), Rows(once)) << static_cast<int>(a) << " then " << static_cast<int>(b);
    }
  EXPECT_EQ(Combine(TurnForOrientation(6), TurnForAngle(90)), Turn::Rotate180);
  EXPECT_EQ(Combine(TurnForOrientation(8), TurnForAngle(90)), Turn::None);
  EXPECT_EQ(TurnForAngle(-90), Turn::Rotate270);
}

TEST(RotateByTest, QuarterTurnsAreExactAndOtherAnglesEnlargeOverBlack) {
  plat::Surface s(40, 20, 0xFFFFFFFFu);
  const auto quarter = RotateBy(s, 450);
  ASSERT_TRUE(quarter);
  EXPECT_EQ(quarter->width(), 20);
  EXPECT_EQ(quarter->height(), 40);
  const auto tilted = RotateBy(s, 45);
  ASSERT_TRUE(tilted);
  EXPECT_EQ(tilted->width(), 43);  // 40 cos 45 + 20 sin 45 = 42.4
  EXPECT_EQ(tilted->height(), 43);
  EXPECT_EQ(tilted->pixel(0, 0), 0xFF000000u);                    // corner: black fill
  EXPECT_EQ(tilted->pixel(21, 21), 0xFFFFFFFFu);                  // centre: the picture
  const auto same = RotateBy(s, -360);
  ASSERT_TRUE(same);
  EXPECT_EQ(same->width(), 40);
}

TEST(ResizeTest, NearestAndSmoothGiveTheAskedSizeAndRefuseBadOnes) {
  plat::Surface s(4, 4, 0xFF000000u);
  for (int x = 0; x < 2; ++x)
    for (int y = 0; y < 4; ++y) s.set_pixel(x, y, 0xFFFFFFFFu);
  const auto nearest = Resize(s, 8, 2, false);
  ASSERT_TRUE(nearest);
  EXPECT_EQ(nearest->width(), 8);
  EXPECT_EQ(nearest->pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(nearest->pixel(7, 1), 0xFF000000u);
  const auto smooth = Resize(s, 1, 1, true);
  ASSERT_TRUE(smooth);
  const int grey = static_cast<int>(smooth->pixel(0, 0) & 0xFF);
  EXPECT_NEAR(grey, 128, 2);  // the average of half white, half black
  EXPECT_FALSE(Resize(s, 0, 4, true));
  EXPECT_FALSE(Resize(s, 1 << 16, 1 << 16, true));
}

}  // namespace
