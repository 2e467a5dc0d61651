// The two floating bars at window sizes other than the one the default skin
// is drawn for (1920x1080): the playback bar keeps its proportions and its
// see-through region follows the bar as it is drawn across the frame, and the
// caption bar, scaled with the pages, stays clear of the module pages' titles.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bars_fixture.h"
#include "lounge/shell/caption_bar.h"
#include "lounge/shell/playback_bar.h"
#include "lounge/skin/layout_cache.h"

namespace bars {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FFu;

struct WindowSize {
  int width;
  int height;
};

constexpr WindowSize kSizes[] = {{1280, 720}, {1920, 1080}, {800, 450}, {1024, 768}};

std::string Name(const WindowSize& s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

TEST(BarsAtWindowSize, PlaybackBarShowsNoKeyColourAndLetsTheFrameThroughAtItsEnds) {
  for (const WindowSize& size : kSizes) {
    SCOPED_TRACE(Name(size));
    BarsEnvironment env({size.width, size.height}, RECT{0, 0, size.width, size.height});
    ASSERT_TRUE(env.started);
    auto bar = CPlaybackBar::Create(env.frame.window, &env.host, "FloatingBar\\PlaybackBar\\MoviePlaybackBar", 0);
    ASSERT_TRUE(bar);
    ASSERT_TRUE(bar->IsLoaded());
    bar->SetVisible(1, 0, false);
    env.Settle();
    RECT r{};
    plat::GetWindowRect(bar->Window(), &r);
    ASSERT_EQ(r.left, 0);
    ASSERT_EQ(r.right, size.width);
    ASSERT_EQ(r.bottom, size.height);
    // The layout is 1920x180: the bar keeps its proportions across the frame.
    EXPECT_EQ(r.bottom - r.top, 180 * size.width / 1920);
    int magenta = 0, drawn = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const std::uint32_t p = env.Screen(x, y);
        magenta += p == kMagenta;
        drawn += p != 0;
      }
    EXPECT_EQ(magenta, 0);
    // The panel is drawn (it spans most of the bar) ...
    EXPECT_GT(drawn, (r.right - r.left) * (r.bottom - r.top) / 2);
    // ... and the keyed margins beside it let the (black) frame show at both
    // ends of the bar.
    const int middle = (r.top + r.bottom) / 2;
    EXPECT_EQ(env.Screen(r.left + 2, middle), 0u);
    EXPECT_EQ(env.Screen(r.right - 3, middle), 0u);
    EXPECT_NE(env.Screen(size.width / 2, middle), 0u);
  }
}

TEST(BarsAtWindowSize, PlaybackBarRegionFollowsANewFrameWidth) {
  BarsEnvironment env({1920, 1080}, RECT{0, 0, 1920, 1080});
  ASSERT_TRUE(env.started);
  auto bar = CPlaybackBar::Create(env.frame.window, &env.host, "FloatingBar\\PlaybackBar\\MusicPlaybackBar", 0);
  ASSERT_TRUE(bar);
  bar->SetVisible(1, 0, false);
  env.Settle();
  // The frame is made smaller; the frame keeps the bar's fraction and places
  // it again at the new width.
  plat::SetWindowPos(env.frame.window, nullptr, 0, 0, 1280, 720, plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
  bar->SetPosition(bar->Position());
  bar->Redraw(0);
  env.Settle();
  RECT r{};
  plat::GetWindowRect(bar->Window(), &r);
  ASSERT_EQ(r.right - r.left, 1280);
  EXPECT_EQ(r.bottom - r.top, 120);
  int magenta = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) magenta += env.Screen(x, y) == kMagenta;
  EXPECT_EQ(magenta, 0);
}

TEST(BarsAtWindowSize, CaptionBarEndsAboveTheModulePagesTitles) {
  struct Title {
    const char* page;
    const char* text;
  } titles[] = {{"Setting\\SettingMain", "SETTINGS"},
                {"TV\\MainMenu", "TV"},
                {"Music\\MediaSearch", "Music TrackPage Title"},
                {"Video\\VideoApplication", "VIDEOS"}};
  for (const WindowSize& size : kSizes) {
    SCOPED_TRACE(Name(size));
    BarsEnvironment env({size.width, size.height}, RECT{0, 0, size.width, size.height});
    ASSERT_TRUE(env.started);
    auto bar = CCaptionBar::Create(env.frame, &env.host);
    ASSERT_TRUE(bar);
    bar->SetPosition(0.0f);
    RECT client{};
    plat::GetClientRect(env.frame.window, &client);
    bar->Place(client);
    RECT r{};
    plat::GetWindowRect(bar->Window(), &r);
    EXPECT_EQ(r.bottom - r.top, bar->Height());
    EXPECT_EQ(bar->Height(), 96 * size.width / 1920);
    for (const Title& title : titles) {
      SCOPED_TRACE(title.page);
      const LayoutLoad load = SharedLayout(title.page);
      ASSERT_TRUE(load.layout) << load.error;
      int width = 0, height = 0;
      ASSERT_TRUE(load.layout->GetPageSize(width, height));
      int i = -1;
      ASSERT_TRUE(load.layout->FindText(title.text, i));
      // A page scales its layout to the frame's client area.
      const long top = load.layout->Texts()[static_cast<size_t>(i)].rect.top * size.height / height;
      EXPECT_LE(bar->Height(), top);
    }
  }
}

}  // namespace
}  // namespace bars
