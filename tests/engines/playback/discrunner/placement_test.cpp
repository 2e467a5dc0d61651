#include "engines/playback/discrunner/placement.h"

#include <gtest/gtest.h>

namespace {

using discrunner::Box;
using discrunner::FitByAspect;
using discrunner::FullScreenRect;
using discrunner::Ratio;

TEST(DiscPlacement, FitByAspectTable) {
  struct Case {
    int mode;
    Box area;
    int W, H;
    Box expected;
  };
  const Case cases[] = {
      // 5:4 picture in a 4:3 area: bands left and right.
      {1, {0, 0, 800, 600}, 720, 576, {25, 0, 775, 600}},
      // An exact fit needs no bands.
      {1, {0, 0, 1920, 1080}, 720, 405, {0, 0, 1920, 1080}},
      // A wide picture narrower than its area in whole units: a truncating
      // width / W would make the picture vanish (cut 300 of 600).
      {1, {0, 0, 800, 600}, 1024, 432, {0, 131, 800, 469}},
      // Mode 2 fills the area and cuts the overflow.
      {2, {0, 0, 800, 600}, 1024, 432, {-311, 0, 1111, 600}},
      {2, {0, 0, 800, 600}, 720, 576, {0, -20, 800, 620}},
      // Stretch and any other mode take the area; so does an unknown size.
      {3, {0, 0, 800, 600}, 1024, 432, {0, 0, 800, 600}},
      {0, {10, 20, 300, 200}, 1024, 432, {10, 20, 300, 200}},
      {1, {0, 0, 800, 600}, 0, 0, {0, 0, 800, 600}},
      // The four values stand as left, top, right and bottom.
      {1, {100, 50, 900, 650}, 720, 576, {144, 50, 856, 650}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " video " << c.W << "x" << c.H);
    EXPECT_EQ(FitByAspect(c.mode, c.area, c.W, c.H), c.expected);
  }
}

TEST(DiscPlacement, FullScreenTable) {
  const Box hd{0, 0, 1920, 1080};
  const Box sxga{0, 0, 1280, 1024};
  struct Case {
    int mode;
    Box monitor;
    std::optional<Ratio> aspect;
    std::optional<Box> expected;
  };
  const Case cases[] = {
      {0, hd, Ratio{4, 3}, Box{240, 0, 1680, 1080}},
      {0, hd, Ratio{16, 9}, hd},
      {0, sxga, Ratio{16, 9}, Box{0, 152, 1280, 872}},
      {0, sxga, Ratio{4, 3}, Box{0, 32, 1280, 992}},
      // Other ratios, or none known: the whole monitor.
      {1, hd, Ratio{5, 4}, hd},
      {0, hd, std::nullopt, hd},
      // Mode 2: full height at the picture's ratio, centred; needs the ratio.
      {2, hd, Ratio{4, 3}, Box{240, 0, 1680, 1080}},
      {2, sxga, Ratio{16, 9}, Box{-270, 0, 1550, 1024}},
      {2, hd, std::nullopt, std::nullopt},
      {3, hd, Ratio{4, 3}, hd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " monitor " << c.monitor.right);
    EXPECT_EQ(FullScreenRect(c.mode, c.monitor, c.aspect), c.expected);
  }
}

}  // namespace
