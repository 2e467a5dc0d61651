// The playback bar window on the headless display with a manual clock: its
// slide ticks and the refused slide out under the cursor, the press repeat at
// fixed times, the volume buttons' partial repaint and the tooltip text.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/playback_bar.h"
#include "platform/sys/clock.h"
#include "platform/win/controls/controls.h"
#include "tests/corebridge/core/sections_test_support.h"
#include "tests/lounge/skin/skin_page_fixture.h"

namespace {

using namespace skinpage;

constexpr int kScreenW = 400, kScreenH = 300, kBarH = 60;
constexpr int kPlay = 1, kMute = 2, kUnmute = 3, kUp = 4;
constexpr std::uint32_t kBarBackground = 0xFF303030u;

CPlaybackBar*& BarUnderTest() {
  static CPlaybackBar* bar = nullptr;
  return bar;
}

std::vector<POINT>& FrameClicks() {
  static std::vector<POINT> clicks;
  return clicks;
}

// The frame's part: its slide timers go to the bar; it notes its clicks.
plat::LRESULT FrameProc(HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  if (msg == plat::WM_LBUTTONDOWN)
    FrameClicks().push_back(POINT{static_cast<short>(l & 0xFFFF), static_cast<short>((l >> 16) & 0xFFFF)});
  if (msg == plat::WM_TIMER && BarUnderTest() && BarUnderTest()->OnSlideTimer(static_cast<plat::UINT_PTR>(w)))
    return 0;
  return plat::DefWindowProc(h, msg, w, l);
}

std::string Button(const std::string& action, const std::string& image, int left) {
  return "<action value=\"" + action + "\">" + Img(image) + Pos(left, 10, 30, 20) + "</action>";
}

// Installs the manual clock before the display starts.
struct ClockInstaller {
  ClockInstaller() : clock(std::make_shared<plat::ManualClock>()) { plat::SetClock(clock); }
  ~ClockInstaller() { plat::SetClock(nullptr); }
  std::shared_ptr<plat::ManualClock> clock;
};

class PlaybackBarTest : public ::testing::Test {
 protected:
  PlaybackBarTest() : env(plat::SIZE{kScreenW, kScreenH}) {}

  void SetUp() override {
    ASSERT_TRUE(env.started);
    const std::string folder = "Layout/XML/FloatingBar/PlaybackBar/Music/";
    WriteSolid(env.skin, folder + "bg.bmp", kBarBackground, kScreenW, kBarH);
    WriteStrip(env.skin, folder + "play.bmp", kPlay);
    WriteStrip(env.skin, folder + "mute.bmp", kMute);
    WriteStrip(env.skin, folder + "unmute.bmp", kUnmute);
    WriteStrip(env.skin, folder + "up.bmp", kUp);
    WriteLayout(env.skin, "FloatingBar\\PlaybackBar\\Music", kScreenW, kBarH,
                Button("Music Play", "play.bmp", 10) + Button("Vol Mute", "mute.bmp", 50) +
                    Button("Vol Unmute", "unmute.bmp", 50) + Button("Vol Up", "up.bmp", 90) +
                    "<text value=\"Radio Frequency Text\">" + Pos(150, 10, 100, 30) + "</text>" +
                    "<text value=\"Movie Time\">" + Pos(260, 10, 130, 30) + "</text>");
    env.strings.texts["Music Play"] = "Play music";

    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "PlaybackBarTestFrame";
    plat::RegisterClass(&wc);
    frame = plat::CreateWindowEx(0, "PlaybackBarTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, kScreenW,
                                 kScreenH, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    bar = CPlaybackBar::Create(frame, &host, "FloatingBar\\PlaybackBar\\Music", 0);
    ASSERT_TRUE(bar);
    BarUnderTest() = bar.get();
    plat::InjectMouseMove(kScreenW - 5, 5);  // away from the bar
    env.Settle();
  }
  void TearDown() override {
    plat::InjectMouseButton(0, false, kScreenW - 5, 5);
    BarUnderTest() = nullptr;
    bar.reset();
    if (plat::IsWindow(frame)) plat::DestroyWindow(frame);
    env.Settle();
  }

  void Advance(std::uint64_t ms) {
    clock.clock->advance(ms);
    env.Settle();
  }
  // Time passing in 10 ms steps, so every timer falls due at its own time.
  void Elapse(std::uint64_t ms) {
    for (std::uint64_t t = 0; t < ms; t += 10) Advance(10);
  }
  int BarTop() const {
    RECT r{};
    plat::GetWindowRect(bar->Window(), &r);
    return r.top;
  }
  // Pixels of the screen rectangle that are not the bar's background.
  int Ink(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += env.Screen(x, y) != kBarBackground;
    return n;
  }
  static int TopAt(float fraction) { return kScreenH + static_cast<int>(kBarH * fraction) - kBarH; }

  ClockInstaller clock;
  sections_test::TempEnvironment sections;
  PageEnvironment env;
  RecordingHost host;
  HWND frame = nullptr;
  std::unique_ptr<CPlaybackBar> bar;
};

TEST_F(PlaybackBarTest, CreatedHiddenBelowTheFrame) {
  EXPECT_FALSE(plat::IsWindowVisible(bar->Window()));
  EXPECT_EQ(bar->Position(), 1.0f);
  EXPECT_EQ(BarTop(), kScreenH);
  EXPECT_EQ(plat::GetParent(bar->Window()), frame);
}

TEST_F(PlaybackBarTest, ANewLayoutStartsBelowTheFrameAndShowsAgain) {
  bar->SetVisible(1, 0, false);
  ASSERT_EQ(BarTop(), kScreenH - kBarH);
  ASSERT_EQ(bar->LoadLayout("FloatingBar\\PlaybackBar\\Music"), 1);
  EXPECT_FALSE(plat::IsWindowVisible(bar->Window()));
  EXPECT_EQ(bar->Position(), 1.0f);
  bar->SetVisible(1, 0, false);
  EXPECT_TRUE(plat::IsWindowVisible(bar->Window()));
  EXPECT_EQ(BarTop(), kScreenH - kBarH);
}

TEST_F(PlaybackBarTest, SlidesInInFiftyAndOutInHundredMillisecondTicks) {
  ASSERT_EQ(bar->SetVisible(1, 1, false), 1);
  EXPECT_TRUE(plat::IsWindowVisible(bar->Window()));
  EXPECT_TRUE(bar->IsSlidingIn());
  EXPECT_EQ(bar->SetVisible(1, 1, false), 1);  // already sliding in: nothing restarts
  std::vector<int> tops;
  for (int tick = 0; tick < 12; ++tick) {
    Advance(49);
    const int before = BarTop();
    Advance(1);
    if (BarTop() != before) tops.push_back(BarTop());
  }
  const std::vector<int> expectedIn{TopAt(0.9f), TopAt(0.8f), TopAt(0.7f), TopAt(0.6f), TopAt(0.5f),
                                    TopAt(0.4f), TopAt(0.3f), TopAt(0.2f), TopAt(0.1f), TopAt(0.0f)};
  EXPECT_EQ(tops, expectedIn);
  EXPECT_EQ(bar->Position(), 0.0f);
  EXPECT_FALSE(bar->IsSlidingIn());

  ASSERT_EQ(bar->SetVisible(0, 1, false), 1);
  tops.clear();
  for (int tick = 0; tick < 12; ++tick) {
    Advance(99);
    const int before = BarTop();
    Advance(1);
    if (BarTop() != before) tops.push_back(BarTop());
  }
  const std::vector<int> expectedOut{TopAt(0.1f), TopAt(0.2f), TopAt(0.3f), TopAt(0.4f), TopAt(0.5f),
                                     TopAt(0.6f), TopAt(0.7f), TopAt(0.8f), TopAt(0.9f), TopAt(1.0f)};
  EXPECT_EQ(tops, expectedOut);
  EXPECT_EQ(bar->Position(), 1.0f);
}

TEST_F(PlaybackBarTest, AnimatedHideIsRefusedUnderTheCursor) {
  bar->SetVisible(1, 0, false);
  EXPECT_EQ(bar->Position(), 0.0f);
  EXPECT_EQ(BarTop(), kScreenH - kBarH);
  EXPECT_TRUE(plat::IsWindowVisible(bar->Window()));

  plat::InjectMouseMove(200, kScreenH - 10);
  env.Settle();
  EXPECT_TRUE(bar->ContainsCursor());
  bar->SetVisible(0, 1, false);
  Elapse(2000);
  EXPECT_EQ(bar->Position(), 0.0f);

  // Over the caption bar (as the frame tells) it stays too.
  plat::InjectMouseMove(200, 5);
  env.Settle();
  EXPECT_FALSE(bar->ContainsCursor());
  bar->SetVisible(0, 1, true);
  Elapse(2000);
  EXPECT_EQ(bar->Position(), 0.0f);

  bar->SetVisible(0, 1, false);
  Elapse(2000);
  EXPECT_EQ(bar->Position(), 1.0f);

  // Without animation it goes at once, cursor or not.
  bar->SetVisible(1, 0, false);
  plat::InjectMouseMove(200, kScreenH - 10);
  env.Settle();
  bar->SetVisible(0, 0, false);
  EXPECT_FALSE(plat::IsWindowVisible(bar->Window()));
  EXPECT_EQ(bar->Position(), 1.0f);
  EXPECT_EQ(BarTop(), kScreenH);
}

TEST_F(PlaybackBarTest, KeysReachThePageKeyHandling) {
  // While the page's bar-hide timer runs, a key takes the bars down.
  bar->SetVisible(1, 0, false);
  bar->SetBarHideTimer(1);
  plat::SendMessage(bar->Window(), plat::WM_KEYDOWN, plat::VK_RIGHT, 0);
  EXPECT_EQ(host.hideBars, 1);
}

TEST_F(PlaybackBarTest, HeldButtonRepeatsAfterOneSecondEveryThreeHundredMilliseconds) {
  bar->SetVisible(1, 0, false);
  const int x = 25, y = kScreenH - kBarH + 20;
  plat::InjectMouseMove(x, y);
  plat::InjectMouseButton(0, true, x, y);
  env.Settle();
  EXPECT_TRUE(bar->IsPressed());
  EXPECT_TRUE(host.executed.empty());
  Advance(999);
  EXPECT_TRUE(host.executed.empty());
  Advance(1);    // 1000 ms: the repeat timer starts
  Advance(299);
  EXPECT_TRUE(host.executed.empty());
  Advance(1);    // 1300 ms
  EXPECT_EQ(host.executed, std::vector<std::string>{"Music Play"});
  Advance(300);  // 1600 ms
  EXPECT_EQ(host.executed.size(), 2u);
  plat::InjectMouseButton(0, false, x, y);  // the release runs it once more
  env.Settle();
  EXPECT_FALSE(bar->IsPressed());
  EXPECT_EQ(host.executed.size(), 3u);
  Advance(2000);
  EXPECT_EQ(host.executed.size(), 3u);
}

TEST_F(PlaybackBarTest, ClickReleasedEarlyDoesNotRepeat) {
  bar->SetVisible(1, 0, false);
  const int x = 25, y = kScreenH - kBarH + 20;
  plat::InjectMouseMove(x, y);
  plat::InjectClick(x, y);
  env.Settle();
  EXPECT_EQ(host.executed, std::vector<std::string>{"Music Play"});
  Advance(3000);
  EXPECT_EQ(host.executed.size(), 1u);
}

TEST_F(PlaybackBarTest, TooltipShowsTheLookedUpTextAboveTheButton) {
  std::vector<bool> frameSaw;
  bar->SetFrameMouseHook([&](bool overButton) { frameSaw.push_back(overButton); });
  bar->SetVisible(1, 0, false);
  plat::InjectMouseMove(25, kScreenH - kBarH + 20);
  env.Settle();
  ASSERT_FALSE(frameSaw.empty());
  EXPECT_TRUE(frameSaw.back());
  EXPECT_EQ(bar->TooltipText(), "Play music");
  ASSERT_TRUE(bar->Tooltip());
  EXPECT_TRUE(plat::IsWindowVisible(bar->Tooltip()));
  char text[32] = {};
  plat::TOOLINFO query;
  query.hwnd = bar->Window();
  query.uId = reinterpret_cast<plat::UINT_PTR>(bar->Window());
  query.lpszText = text;
  plat::SendMessage(bar->Tooltip(), plat::TTM_GETTEXT, sizeof text, reinterpret_cast<plat::LPARAM>(&query));
  EXPECT_STREQ(text, "Play music");
  RECT tip{};
  plat::GetWindowRect(bar->Tooltip(), &tip);
  EXPECT_EQ(tip.bottom, kScreenH - kBarH + 10);  // its bottom on the button's top
  EXPECT_EQ(tip.left, 10);

  // A button without a text and the empty bar hide it.
  plat::InjectMouseMove(105, kScreenH - kBarH + 20);
  env.Settle();
  EXPECT_EQ(bar->TooltipText(), "");
  EXPECT_FALSE(plat::IsWindowVisible(bar->Tooltip()));
  plat::InjectMouseMove(25, kScreenH - kBarH + 20);
  env.Settle();
  EXPECT_TRUE(plat::IsWindowVisible(bar->Tooltip()));
  plat::InjectMouseMove(300, kScreenH - kBarH + 50);
  env.Settle();
  EXPECT_FALSE(plat::IsWindowVisible(bar->Tooltip()));
  EXPECT_FALSE(frameSaw.back());
}

TEST_F(PlaybackBarTest, TooltipPassesAClickToTheWindowBelowAndGoesOnItsTimer) {
  bar->SetVisible(1, 0, false);
  plat::InjectMouseMove(25, kScreenH - kBarH + 20);
  env.Settle();
  ASSERT_TRUE(plat::IsWindowVisible(bar->Tooltip()));
  RECT tip{};
  plat::GetWindowRect(bar->Tooltip(), &tip);
  FrameClicks().clear();
  const POINT inside{tip.left + 3, tip.top + 3};
  plat::InjectClick(inside.x, inside.y);
  env.Settle();
  EXPECT_FALSE(plat::IsWindowVisible(bar->Tooltip()));
  ASSERT_EQ(FrameClicks().size(), 1u);
  EXPECT_EQ(FrameClicks()[0].x, inside.x);
  EXPECT_EQ(FrameClicks()[0].y, inside.y);

  plat::InjectMouseMove(300, kScreenH - kBarH + 50);
  plat::InjectMouseMove(25, kScreenH - kBarH + 20);
  env.Settle();
  ASSERT_TRUE(plat::IsWindowVisible(bar->Tooltip()));
  plat::SetTimer(bar->Tooltip(), kPlaybackTooltipHideTimer, 500, nullptr);
  Advance(499);
  EXPECT_TRUE(plat::IsWindowVisible(bar->Tooltip()));
  Advance(1);
  EXPECT_FALSE(plat::IsWindowVisible(bar->Tooltip()));
}

TEST_F(PlaybackBarTest, MuteToggledElsewhereRepaintsOnlyTheChangedVolumeButtons) {
  CConfig root;
  root.m_nActiveModule = MODULE_MUSIC;
  root.m_fCurVolume = 0.5f;
  host.config = &root;
  bar->SetVisible(1, 0, false);
  bar->Redraw(1);
  EXPECT_EQ(bar->RefreshVolumeButtons(), 3);  // first call fills the cache
  EXPECT_EQ(bar->RefreshVolumeButtons(), 0);
  env.Settle();
  const int y = kScreenH - kBarH + 20;
  EXPECT_EQ(ElementOf(env.Screen(60, y)), kMute);

  root.m_bCurMute = 1;
  EXPECT_EQ(bar->RefreshVolumeButtons(), 2);  // mute and unmute; "Vol Up" is unchanged
  env.Settle();
  EXPECT_EQ(ElementOf(env.Screen(60, y)), kUnmute);
  root.m_fCurVolume = 1.0f;
  EXPECT_EQ(bar->RefreshVolumeButtons(), 1);
  env.Settle();
  EXPECT_EQ(StateOf(env.Screen(100, y)), 3);  // "Vol Up" drawn disabled
  host.config = nullptr;
}

TEST_F(PlaybackBarTest, WithoutTheCoreEveryButtonIsNotKnown) {
  int shown = 1, enabled = 1, checked = 0;
  EXPECT_EQ(bar->QueryButtonState("Music Play", &shown, &enabled, &checked), 0);
  EXPECT_EQ(bar->QueryButtonState("Vol Mute", &shown, &enabled, &checked), 0);
  EXPECT_EQ(shown + enabled + checked, 2);
  EXPECT_EQ(bar->OnAction("Music Play"), 1);
  EXPECT_EQ(host.executed, std::vector<std::string>{"Music Play"});
}

TEST_F(PlaybackBarTest, TipAreasOnlyWhereThePageHasNoElement) {
  EXPECT_EQ(bar->HitTestTipArea(POINT{200, 30}), -1);
  EXPECT_EQ(bar->AddTipArea(RECT{10, 10, 40, 30}, "over Play"), 1);  // a button is there: not added
  EXPECT_EQ(bar->AddTipArea(RECT{200, 20, 260, 40}, "free"), 1);
  EXPECT_EQ(bar->AddTipArea(RECT{250, 20, 300, 40}, "second"), 1);
  EXPECT_EQ(bar->HitTestTipArea(POINT{20, 20}), -1);
  EXPECT_EQ(bar->HitTestTipArea(POINT{255, 30}), 0);  // the first that contains it
  EXPECT_EQ(bar->HitTestTipArea(POINT{290, 30}), 1);
  EXPECT_EQ(bar->HitTestTipArea(POINT{300, 30}), -1);
}

TEST_F(PlaybackBarTest, DrawsTheFrequencyOfTheCurrentBand) {
  CConfig root;
  host.config = &root;
  root.m_pRadio->m_nCurBand = RADIO_BAND_FM;
  bar->SetVisible(1, 0, false);
  bar->Redraw(1);
  env.Settle();
  const int top = kScreenH - kBarH + 10;
  EXPECT_GT(Ink(150, top, 250, top + 30), 0);
  root.m_pRadio->m_nCurBand = 0;  // no band: the page's own text, absent from the string table
  bar->Redraw(1);
  env.Settle();
  EXPECT_EQ(Ink(150, top, 250, top + 30), 0);
  host.config = nullptr;
}

TEST_F(PlaybackBarTest, Vendor1DrawsThePlayTimeEverySecond) {
  CConfig root;
  root.m_nActiveModule = MODULE_MOVIE;
  host.config = &root;
  bar.reset();
  bar = CPlaybackBar::Create(frame, &host, "FloatingBar\\PlaybackBar\\Music", VENDOR_VADU);
  BarUnderTest() = bar.get();
  EXPECT_EQ(bar->PlayTimeText(), "00:00:00 / 00:00:00");  // no source: the failed query's text
  bool known = false;
  bar->SetPlayTimeSource([&](double& first, double& second) {
    first = 65, second = 3600;
    return known;
  });
  EXPECT_EQ(bar->PlayTimeText(), "00:00:00 / 00:00:00");
  known = true;
  EXPECT_EQ(bar->PlayTimeText(), "00:01:05 / 01:00:00");

  bar->SetVisible(1, 0, false);
  env.Settle();
  const int top = kScreenH - kBarH + 10;
  EXPECT_GT(Ink(260, top, 390, top + 30), 0);
  root.m_nActiveModule = MODULE_MUSIC;  // Music shows no time
  bar->Redraw(1);
  Advance(1000);
  EXPECT_EQ(Ink(260, top, 390, top + 30), 0);
  host.config = nullptr;
}

}  // namespace
