// The frame's border grips and the sizing rule, as tables.
#include <gtest/gtest.h>

#include "lounge/shell/frame_geometry.h"
#include "platform/win/win_types.h"

namespace {

using plat::RECT;

TEST(FrameBorderHitTest, CornersComeBeforeEdgesAndTheInsideIsNoBorder) {
  const RECT client{0, 0, 400, 300};
  struct Case {
    plat::POINT point;
    plat::LRESULT expected;
  };
  const Case cases[] = {
      {{0, 0}, plat::HTTOPLEFT},       {{7, 7}, plat::HTTOPLEFT},         {{3, 295}, plat::HTBOTTOMLEFT},
      {{3, 150}, plat::HTLEFT},        {{396, 2}, plat::HTTOPRIGHT},      {{392, 292}, plat::HTBOTTOMRIGHT},
      {{399, 150}, plat::HTRIGHT},     {{200, 0}, plat::HTTOP},           {{200, 299}, plat::HTBOTTOM},
      {{8, 8}, plat::HTNOWHERE},       {{391, 291}, plat::HTNOWHERE},     {{200, 150}, plat::HTNOWHERE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FrameBorderHitTest(client, c.point), c.expected) << c.point.x << "," << c.point.y;
}

TEST(ClampSizingRect, HoldsTheVendorMinimumAndTheScreenAspectPerEdge) {
  // A 2:1 screen keeps the arithmetic exact: minimum heights 400 (800 wide),
  // 472 (944) and 360 (720).
  struct Case {
    int vendor;
    plat::WPARAM edge;
    RECT in, out;
  };
  const Case cases[] = {
      {0, plat::WMSZ_RIGHT, {100, 50, 500, 300}, {100, 50, 900, 450}},
      {1, plat::WMSZ_LEFT, {500, 50, 900, 300}, {-44, 50, 900, 522}},
      {2, plat::WMSZ_TOP, {100, 200, 500, 400}, {100, 40, 820, 400}},
      {4, plat::WMSZ_TOPLEFT, {100, 100, 300, 200}, {-420, -160, 300, 200}},
      {3, plat::WMSZ_BOTTOMRIGHT, {0, 0, 900, 300}, {0, 0, 900, 450}},
      {0, plat::WMSZ_BOTTOMLEFT, {100, 0, 1000, 300}, {100, 0, 1000, 450}},
      {0, plat::WMSZ_BOTTOM, {0, 0, 900, 420}, {0, 0, 840, 420}},
      // Above the screen: moved down to 0 first, keeping its height plus 1.
      {0, plat::WMSZ_TOPRIGHT, {0, -20, 900, 430}, {0, 0, 902, 451}},
      // Large enough: only the aspect is kept.
      {1, plat::WMSZ_RIGHT, {0, 0, 1000, 700}, {0, 0, 1000, 500}},
  };
  for (const Case& c : cases) {
    RECT r = c.in;
    ClampSizingRect(c.vendor, c.edge, 1000, 500, r);
    EXPECT_EQ(r.left, c.out.left) << "vendor " << c.vendor << " edge " << c.edge;
    EXPECT_EQ(r.top, c.out.top) << "vendor " << c.vendor << " edge " << c.edge;
    EXPECT_EQ(r.right, c.out.right) << "vendor " << c.vendor << " edge " << c.edge;
    EXPECT_EQ(r.bottom, c.out.bottom) << "vendor " << c.vendor << " edge " << c.edge;
  }
}

}  // namespace
