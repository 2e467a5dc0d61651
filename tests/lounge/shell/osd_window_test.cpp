// The on-screen display: placement, text, drawing, the hide timer on a manual
// clock and the one "On Hide OSD" notice per hide.
#include <gtest/gtest.h>

#include "bars_fixture.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/osd_window.h"
#include "tests/lounge/skin/vendor_registry.h"

namespace bars {
namespace {

constexpr RECT kOsdFrame{0, 0, 800, 600};

class OsdTest : public ::testing::Test {
 protected:
  OsdTest() : env({800, 600}, kOsdFrame), osd(&env.host) {}
  void SetUp() override {
    ASSERT_TRUE(env.started);
    ASSERT_TRUE(osd.Create(env.frame.window));
  }
  RECT Placed() const {
    RECT r{};
    plat::GetWindowRect(osd.Window(), &r);
    return r;
  }
  int Notices() const { return env.host.Count(OSD_HIDE_ACTION); }
  // Green pixels of the screen inside `r`.
  int GreenPixels(const RECT& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const std::uint32_t p = env.Screen(x, y);
        n += ((p >> 8) & 0xFF) > 0x80 && (p & 0xFF) < 0x40 && ((p >> 16) & 0xFF) < 0x40;
      }
    return n;
  }

  BarsEnvironment env;
  COsdWnd osd;
};

TEST(OsdPlacement, RightAlignedBelowTheCaptionOrAFourteenthOfTheHeight) {
  struct Case {
    RECT display;
    int caption, width, height;
    RECT expected;
  } cases[] = {
      // A fourteenth of 720 is 51; the margin a twentieth of 1280, 64.
      {{0, 0, 1280, 720}, 0, 200, 40, {1016, 51, 1216, 91}},
      // A caption bar lower than that pushes the text below it.
      {{0, 0, 1280, 720}, 96, 200, 40, {1016, 96, 1216, 136}},
      // Too wide for the room: from the left margin to the right margin.
      {{0, 0, 1280, 720}, 0, 1200, 40, {64, 51, 1216, 91}},
      // An offset display rectangle.
      {{100, 50, 740, 410}, 10, 100, 30, {608, 75, 708, 105}},
  };
  for (const Case& c : cases) EXPECT_EQ(COsdWnd::PlaceWithin(c.display, c.caption, c.width, c.height), c.expected);
}

TEST_F(OsdTest, ShowsTheTextInGreenOnItsBackgroundWithinTheDisplayRectangle) {
  osd.SetText("Volume 12");
  const plat::SIZE size = osd.MeasureText();
  ASSERT_GT(size.cx, 0);
  ASSERT_GT(size.cy, 20);
  ASSERT_EQ(osd.Show(RECT{0, 0, 400, 300}, 0), 1);
  env.Settle();
  EXPECT_TRUE(osd.IsVisible());
  const RECT expected = COsdWnd::PlaceWithin(RECT{0, 0, 400, 300}, 0, size.cx, size.cy);
  EXPECT_EQ(Placed(), expected);
  EXPECT_GT(GreenPixels(expected), 50);
  // Black background between the strokes, nothing outside the window.
  EXPECT_EQ(env.Screen(expected.left, expected.bottom - 1), 0u);
  EXPECT_EQ(GreenPixels(RECT{0, 0, 800, expected.top}), 0);

  // The background colour service paints the next showing.
  osd.SetBackColour(0x0000FF);  // red
  osd.SetText("Mute");
  ASSERT_EQ(osd.Show(RECT{0, 0, 400, 300}, 0), 1);
  env.Settle();
  const RECT again = Placed();
  EXPECT_EQ(env.Screen(again.left, again.bottom - 1), 0xFF0000u);
}

TEST_F(OsdTest, AnEmptyDisplayRectangleMeansTheFramesClientRectangle) {
  osd.SetText("Play");
  const plat::SIZE size = osd.MeasureText();
  ASSERT_EQ(osd.Show(RECT{}, 0), 1);
  EXPECT_TRUE(osd.IsVisible());
  EXPECT_EQ(Placed(), COsdWnd::PlaceWithin(kOsdFrame, 0, size.cx, size.cy));
  ASSERT_EQ(osd.Show(RECT{300, 200, 300, 400}, 0), 1);  // zero wide
  EXPECT_EQ(Placed(), COsdWnd::PlaceWithin(kOsdFrame, 0, size.cx, size.cy));
}

TEST_F(OsdTest, AnEmptyTextIsNeverShown) {
  EXPECT_EQ(osd.Show(RECT{}, 0), 0);
  osd.SetTextW(u"");
  EXPECT_EQ(osd.Show(RECT{}, 0), 0);
  EXPECT_FALSE(osd.IsVisible());
}

TEST_F(OsdTest, HidesAfterItsDisplayTimeWithOneNoticeAndAnEmptyText) {
  osd.SetShowMs(2000);
  osd.SetText("Pause");
  ASSERT_EQ(osd.Show(RECT{}, 0), 1);
  env.Advance(1999);
  EXPECT_TRUE(osd.IsVisible());
  EXPECT_EQ(Notices(), 0);
  env.Advance(1);
  EXPECT_FALSE(osd.IsVisible());
  EXPECT_EQ(osd.Text(), "");
  EXPECT_EQ(Notices(), 1);
  // Hiding what is hidden, a later tick and a stray notice add nothing.
  osd.Hide();
  plat::PostMessage(osd.Window(), WM_OSD_HIDDEN, 0, 0);
  env.Advance(5000);
  EXPECT_EQ(Notices(), 1);
}

TEST_F(OsdTest, ANewTextWhileShownRestartsTheTimerWithoutANotice) {
  osd.SetText("Volume 10");
  ASSERT_EQ(osd.Show(RECT{}, 0), 1);
  env.Advance(1500);
  osd.SetText("Volume 11");
  ASSERT_EQ(osd.Show(RECT{}, 0), 1);
  env.Advance(1500);
  EXPECT_TRUE(osd.IsVisible());
  EXPECT_EQ(Notices(), 0);
  env.Advance(500);
  EXPECT_FALSE(osd.IsVisible());
  EXPECT_EQ(Notices(), 1);
}

TEST_F(OsdTest, EachHideGetsExactlyOneNotice) {
  osd.SetShowMs(0);  // stays up until hidden
  for (int round = 1; round <= 3; ++round) {
    osd.SetText("Stop");
    ASSERT_EQ(osd.Show(RECT{}, 0), 1);
    env.Advance(60000);
    EXPECT_TRUE(osd.IsVisible());
    osd.Hide();
    osd.Hide();
    env.Advance(10);
    EXPECT_EQ(Notices(), round);
  }
  // Hidden and shown again before the notice arrives: a replacement.
  osd.SetText("Play");
  osd.Show(RECT{}, 0);
  osd.Hide();
  osd.Show(RECT{}, 0);
  env.Advance(10);
  EXPECT_EQ(Notices(), 3);
  // Hidden, shown, hidden before the notice arrives: one disappearance.
  osd.Hide();
  osd.Show(RECT{}, 0);
  osd.Hide();
  env.Advance(10);
  EXPECT_EQ(Notices(), 4);
}

TEST_F(OsdTest, ALongTextWrapsWithinTheRoomAndTheWindowGrowsToFit) {
  const std::string text =
      "A very long notice that cannot possibly fit on one line of the on-screen display at this size";
  osd.SetText(text);
  const plat::SIZE whole = osd.MeasureText();
  ASSERT_EQ(osd.Show(RECT{}, 0), 1);
  const RECT r = Placed();
  EXPECT_EQ(r.left, 40);  // a twentieth of 800
  EXPECT_EQ(r.right, 760);
  EXPECT_EQ(r.bottom - r.top, osd.MeasureText(720).cy);
  EXPECT_GE(r.bottom - r.top, whole.cy);
  env.Settle();
  // The last line is drawn too: green in the lowest third.
  EXPECT_GT(GreenPixels(RECT{r.left, r.top + (r.bottom - r.top) * 2 / 3, r.right, r.bottom}), 20);
}

TEST_F(OsdTest, WideTextIsShownAndMeasured) {
  osd.SetTextW(u"Lautst\u00e4rke 5");
  EXPECT_TRUE(osd.IsWide());
  ASSERT_EQ(osd.Show(RECT{}, 0), 1);
  env.Settle();
  EXPECT_GT(GreenPixels(Placed()), 50);
}

class OsdVendorTest : public OsdTest {
 protected:
  void SetUp() override {
    OsdTest::SetUp();
    ASSERT_EQ(vendor.Set("DEZAD"), VENDOR_DEZAD);
    env.host.config = &config;
  }
  void TearDown() override { env.host.config = nullptr; }
  VendorRegistry vendor;
  CConfig config;
};

TEST_F(OsdVendorTest, TheConfiguredSecondsDecideAndZeroShowsNothing) {
  config.m_nOsdDuration = 3;
  osd.SetText("Play");
  ASSERT_EQ(osd.Show(RECT{}, 0), 1);
  EXPECT_EQ(osd.GetShowMs(), 3000);
  env.Advance(2999);
  EXPECT_TRUE(osd.IsVisible());
  env.Advance(1);
  EXPECT_FALSE(osd.IsVisible());
  EXPECT_EQ(Notices(), 1);

  config.m_nOsdDuration = 0;
  osd.SetText("Play");
  EXPECT_EQ(osd.Show(RECT{}, 0), 0);
  EXPECT_FALSE(osd.IsVisible());
}

}  // namespace
}  // namespace bars
