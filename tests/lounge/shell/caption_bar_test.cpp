// The caption bar with the default skin on a 960x540 frame, half the width the
// skin draws it for, so the whole bar is drawn at half size: its buttons at the
// edges, their states, the actions they yield, dragging the frame by the
// caption and the double click that maximises and restores.
#include <gtest/gtest.h>

#include <algorithm>

#include "bars_fixture.h"
#include "lounge/shell/caption_bar.h"

namespace bars {
namespace {

constexpr RECT kFrame{100, 50, 1060, 590};
// On the bar: between the title text and Help.
constexpr POINT kEmpty{560, 24};

class CaptionBarTest : public ::testing::Test {
 protected:
  CaptionBarTest() : env({1280, 720}, kFrame) {}
  void SetUp() override {
    ASSERT_TRUE(env.started);
    bar = CCaptionBar::Create(env.frame, &env.host);
    ASSERT_TRUE(bar);
    ASSERT_TRUE(bar->IsLoaded());
    bar->SetPosition(0.0f);
    PlaceBar();
    plat::ShowWindow(bar->Window(), plat::SW_SHOW);
    env.Settle();
  }
  void TearDown() override { bar.reset(); }
  void PlaceBar() {
    RECT client{};
    plat::GetClientRect(env.frame.window, &client);
    bar->Place(client);
  }
  int Button(const std::string& name) {
    int i = -1;
    EXPECT_TRUE(bar->Layout()->FindButton(name, i)) << name;
    return i;
  }
  bool Shown(const std::string& name) { return bar->ButtonState(Button(name))->shown != 0; }
  // A bar point in screen coordinates.
  POINT ScreenOf(POINT p) {
    plat::ClientToScreen(bar->Window(), &p);
    return p;
  }
  POINT CentreOf(const std::string& name) {
    RECT r{};
    EXPECT_TRUE(bar->GetButtonScreenRect(Button(name), &r));
    return ScreenOf(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  void Click(POINT screen) {
    plat::InjectClick(screen.x, screen.y);
    Pump();
  }
  plat::LRESULT HitAt(POINT screen) {
    return plat::SendMessage(bar->Window(), plat::WM_NCHITTEST, 0,
                             plat::MAKELPARAM(static_cast<plat::WORD>(screen.x), static_cast<plat::WORD>(screen.y)));
  }
  bool Called(const std::string& name) const {
    return std::count(env.frame.calls.begin(), env.frame.calls.end(), name) > 0;
  }

  BarsEnvironment env;
  std::unique_ptr<CCaptionBar> bar;
};

TEST_F(CaptionBarTest, SpansTheFrameAtTheScaledHeightAndSlidesByItsPosition) {
  // The layout is 1920x96; the bar 960 wide is 48 high.
  RECT r{};
  plat::GetWindowRect(bar->Window(), &r);
  EXPECT_EQ(r, (RECT{100, 50, 1060, 98}));
  EXPECT_EQ(bar->Height(), 48);
  bar->SetPosition(0.5f);
  PlaceBar();
  plat::GetWindowRect(bar->Window(), &r);
  EXPECT_EQ(r, (RECT{100, 26, 1060, 74}));
}

TEST_F(CaptionBarTest, WindowButtonsKeepToTheRightEdgeAndHomeAndBackToTheLeft) {
  struct Case {
    const char* name;
    RECT expected;  // the layout is 1920 wide, the bar 960: half the layout's rectangles
  } cases[] = {{"Home", {8, 6, 44, 42}},       {"Back", {50, 6, 86, 42}},       {"Help", {780, 6, 816, 42}},
               {"Minimize", {822, 6, 858, 42}}, {"Maximize", {864, 6, 900, 42}}, {"Close", {906, 6, 942, 42}}};
  for (const Case& c : cases) {
    RECT r{};
    ASSERT_TRUE(bar->GetButtonScreenRect(Button(c.name), &r));
    EXPECT_EQ(r, c.expected) << c.name;
  }
}

TEST_F(CaptionBarTest, StatesFollowTheFrameAndTheActivePage) {
  EXPECT_TRUE(Shown("Maximize"));
  EXPECT_FALSE(Shown("Restore"));
  EXPECT_FALSE(Shown("Home"));
  EXPECT_FALSE(Shown("Back"));
  EXPECT_TRUE(Shown("Close"));
  const POINT home = CentreOf("Home");
  const std::uint32_t homeHidden = env.Screen(home.x, home.y);

  env.frame.rootActive = false;
  plat::ShowWindow(env.frame.window, plat::SW_MAXIMIZE);
  PlaceBar();
  bar->Redraw(0);
  env.Settle();
  EXPECT_FALSE(Shown("Maximize"));
  EXPECT_TRUE(Shown("Restore"));
  EXPECT_TRUE(Shown("Home"));
  EXPECT_TRUE(Shown("Back"));
  // The Home button is drawn where only the bar's background was.
  const POINT homeNow = CentreOf("Home");
  EXPECT_NE(env.Screen(homeNow.x, homeNow.y), homeHidden);
}

TEST_F(CaptionBarTest, TheMagentaOfTheBackgroundIsCutAway) {
  env.Settle();
  int magenta = 0, drawn = 0;
  for (int y = 50; y < 98; ++y)
    for (int x = 100; x < 1060; ++x) {
      const std::uint32_t p = env.Screen(x, y);
      magenta += p == 0xFF00FFu;
      drawn += p != 0;
    }
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(drawn, 960 * 40);
  // The rounded lower corners let the frame show through, at both ends.
  EXPECT_EQ(env.Screen(100, 97), 0u);
  EXPECT_EQ(env.Screen(1059, 97), 0u);
  EXPECT_NE(env.Screen(130, 75), 0u);
}

TEST_F(CaptionBarTest, TheTitleKeepsItsScaledPlaceBesideBack) {
  // The title's light blue, counted left of the layout's text rectangle and
  // within it (layout 200..720, bar coordinates 100..360 on the 960 wide bar).
  auto titlePixels = [&](int fromX, int toX) {
    int n = 0;
    for (int y = 50; y < 98; ++y)
      for (int x = 100 + fromX; x < 100 + toX; ++x) {
        const std::uint32_t p = env.Screen(x, y);
        n += ((p >> 16) & 0xFF) < 0xA0 && ((p >> 8) & 0xFF) > 0x98 && (p & 0xFF) > 0xE0;
      }
    return n;
  };
  EXPECT_EQ(titlePixels(0, 95), 0);
  EXPECT_GT(titlePixels(100, 360), 100);
}

TEST_F(CaptionBarTest, WindowButtonsGoToTheFrameOtherNamesToTheSystem) {
  Click(CentreOf("Minimize"));
  EXPECT_TRUE(Called("MinimizeFrame"));
  Click(CentreOf("Help"));
  EXPECT_TRUE(Called("OpenHelp"));
  EXPECT_TRUE(env.host.executed.empty());

  Click(CentreOf("Close"));
  EXPECT_TRUE(Called("QuitApplication"));
  EXPECT_EQ(env.host.executed, std::vector<std::string>{"Close"});

  Click(CentreOf("Maximize"));
  EXPECT_TRUE(plat::IsZoomed(env.frame.window));
  PlaceBar();
  env.Settle();
  EXPECT_TRUE(Shown("Restore"));
  Click(CentreOf("Restore"));
  EXPECT_FALSE(plat::IsZoomed(env.frame.window));
  EXPECT_TRUE(Called("Restore"));
  EXPECT_EQ(env.host.executed, (std::vector<std::string>{"Close", "Restore"}));

  env.frame.rootActive = false;
  PlaceBar();
  bar->Redraw(0);
  env.Settle();
  Click(CentreOf("Home"));
  Click(CentreOf("Back"));
  EXPECT_EQ(env.host.executed, (std::vector<std::string>{"Close", "Restore", "Home", "Back"}));
}

TEST_F(CaptionBarTest, TheEmptyAreaIsTheCaptionOnlyWhileNotMaximised) {
  EXPECT_EQ(HitAt(ScreenOf(kEmpty)), plat::HTCAPTION);
  EXPECT_EQ(HitAt(CentreOf("Close")), plat::HTCLIENT);
  // Where Restore would be, Maximize is: still a button.
  EXPECT_EQ(HitAt(CentreOf("Maximize")), plat::HTCLIENT);
  plat::ShowWindow(env.frame.window, plat::SW_MAXIMIZE);
  PlaceBar();
  EXPECT_EQ(HitAt(ScreenOf(kEmpty)), plat::HTCLIENT);
}

TEST_F(CaptionBarTest, DraggingTheEmptyAreaMovesTheFrame) {
  const POINT start = ScreenOf(kEmpty);
  plat::InjectMouseButton(0, true, start.x, start.y);
  Pump();
  plat::InjectMouseMove(start.x + 30, start.y + 20);
  Pump();
  EXPECT_TRUE(bar->IsDragging());
  plat::InjectMouseMove(start.x + 50, start.y + 40);
  plat::InjectMouseButton(0, false, start.x + 50, start.y + 40);
  Pump();
  EXPECT_FALSE(bar->IsDragging());
  RECT r{};
  plat::GetWindowRect(env.frame.window, &r);
  EXPECT_EQ(r, (RECT{150, 90, 1110, 630}));
  EXPECT_TRUE(env.host.executed.empty());

  // A press on a button is a click, never a drag.
  const POINT close = CentreOf("Close");
  plat::InjectMouseButton(0, true, close.x, close.y);
  plat::InjectMouseMove(close.x + 5, close.y);
  plat::InjectMouseButton(0, false, close.x + 5, close.y);
  Pump();
  plat::GetWindowRect(env.frame.window, &r);
  EXPECT_EQ(r, (RECT{150, 90, 1110, 630}));
  EXPECT_TRUE(Called("QuitApplication"));
}

TEST_F(CaptionBarTest, DoubleClickOnTheEmptyAreaTogglesMaximised) {
  const POINT p = ScreenOf(kEmpty);
  Click(p);
  Click(p);
  EXPECT_TRUE(plat::IsZoomed(env.frame.window));
  PlaceBar();
  env.Settle();
  const POINT q = ScreenOf(kEmpty);
  env.Advance(1000);  // a fresh pair of clicks
  Click(q);
  Click(q);
  EXPECT_FALSE(plat::IsZoomed(env.frame.window));
  EXPECT_EQ(env.frame.calls.size(), 2u);
  EXPECT_EQ(env.frame.calls[0], "Maximize");
  EXPECT_EQ(env.frame.calls[1], "Restore");

  // On a button a double click is two clicks, not a toggle.
  env.Advance(1000);
  Click(CentreOf("Help"));
  Click(CentreOf("Help"));
  EXPECT_FALSE(plat::IsZoomed(env.frame.window));
}

TEST_F(CaptionBarTest, HoverOverAButtonAsksTheActivePage) {
  const POINT close = CentreOf("Close");
  plat::InjectMouseMove(close.x, close.y);
  Pump();
  EXPECT_TRUE(Called("QueryActivePage"));
  EXPECT_TRUE(Called("ActivePageMouseLeave"));
  EXPECT_EQ(bar->HighlightedButton(), Button("Close"));
  plat::InjectMouseMove(5, 700);  // off the bar
  Pump();
  EXPECT_EQ(bar->HighlightedButton(), -1);
}

}  // namespace
}  // namespace bars
