// The same visit on a real X server: the lounge program shows its SDL window
// on Xvfb, a real X client (xdotool) presses the keys and clicks, and the
// test reads the X screen itself to see what was drawn. Skipped only when
// Xvfb is not installed; every wait is bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"
#include "tests/lounge/app/x_screen.h"
#include "tests/platform/display/sdl/xvfb_server.h"

namespace {

using namespace app_test;  // the visit's screen and layout rectangles

// How long the program is given to show what a key or click set off.
constexpr auto kReactTime = std::chrono::seconds(30);

// Reads the X screen until `seen` holds for it; the last picture either way.
bool WaitFor(const std::string& display, const std::function<bool(const plat::Surface&)>& seen, plat::Surface& last,
             std::chrono::seconds limit = kReactTime) {
  const auto end = std::chrono::steady_clock::now() + limit;
  do {
    if (auto screen = app_test::ReadXScreen(display, kVisitScreenW, kVisitScreenH)) {
      last = std::move(*screen);
      if (seen(last)) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

class LoungeOnXvfbTest : public app_test::LoungeProgramTest {
 protected:
  // Runs xdotool with `args` on the server; whether it succeeded. Its
  // output is kept in output_.
  bool XDoTool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    sdltest::Child tool(args);
    const auto status = tool.wait(std::chrono::seconds(20));
    output_ = tool.output();
    return status == 0;
  }
  bool Click(Box box) {
    return XDoTool({"mousemove", std::to_string(box.left + box.width / 2), std::to_string(box.top + box.height / 2),
                    "click", "1"});
  }

  std::string display_;
  std::string output_;
};

TEST_F(LoungeOnXvfbTest, KeysAndClicksFromAnXClientChangeTheOsdTimeAndCloseButtonEnds) {
  if (!sdltest::FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (package xvfb)";
  ASSERT_TRUE(sdltest::FindProgram("xdotool")) << "xdotool is missing (package xdotool)";
  sdltest::Xvfb xvfb;
  std::string error;
  ASSERT_TRUE(xvfb.start(&error, std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH) + "x24")) << error;
  display_ = xvfb.display();
  // xdotool runs with this process's environment.
  ::setenv("DISPLAY", display_.c_str(), 1);
  ASSERT_TRUE(app_test::ReadXScreen(display_, kVisitScreenW, kVisitScreenH).has_value()) << "cannot read the X screen";

  // The pointer starts in the middle of the screen, over an entry it would
  // highlight; it waits in a corner where nothing is.
  ASSERT_TRUE(XDoTool({"mousemove", std::to_string(kVisitScreenW - 4), std::to_string(kVisitScreenH - 4)}));

  // The software renderer: no GL driver is needed on the virtual server.
  ChildProcess lounge =
      Lounge({}, {"DISPLAY=" + display_, "SDL_VIDEODRIVER=x11", "SDL_RENDER_DRIVER=software"});
  ASSERT_TRUE(WaitUntilRunning(lounge));
  ASSERT_TRUE(XDoTool({"search", "--sync", "--onlyvisible", "--name", "Marivel"})) << "the window never showed";
  const std::string window = output_.substr(0, output_.find('\n'));
  ASSERT_TRUE(XDoTool({"windowfocus", window}));

  // The home page fills the screen with the first entry highlighted.
  plat::Surface home, now;
  ASSERT_TRUE(WaitFor(display_, [](const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.5; }, home,
                             std::chrono::seconds(kStartMs / 1000)));
  EXPECT_LT(BrightShare(home, kMusicEntry), 0.4);

  ASSERT_TRUE(XDoTool({"key", "Right"}));
  EXPECT_TRUE(WaitFor(display_, [](const plat::Surface& s) { return BrightShare(s, kMusicEntry) > 0.5; }, now));
  EXPECT_LT(BrightShare(now, kMovieEntry), 0.4);

  ASSERT_TRUE(XDoTool({"key", "Left", "Down", "Right", "Right", "Right"}));
  EXPECT_TRUE(WaitFor(display_, [](const plat::Surface& s) { return BrightShare(s, kSettingEntry) > 0.5; }, now));
  ASSERT_TRUE(XDoTool({"key", "Return"}));
  // The setting page under the caption bar.
  plat::Surface setting;
  ASSERT_TRUE(WaitFor(display_, 
      [&](const plat::Surface& s) {
        return DifferingPixels(home, s, kCaptionArea) > kCaptionArea.width * kCaptionArea.height / 4 &&
               BrightShare(s, kOsdOption) > 0.02;
      },
      setting));

  ASSERT_TRUE(Click(kOsdLeft));
  EXPECT_TRUE(
      WaitFor(display_, [&](const plat::Surface& s) { return DifferingPixels(setting, s, kOsdOption) > 20; }, now));

  ASSERT_TRUE(XDoTool({"key", "Escape"}));
  EXPECT_TRUE(WaitFor(display_, 
      [&](const plat::Surface& s) {
        return DifferingPixels(home, s, kCaptionArea) == 0 && BrightShare(s, kMovieEntry) > 0.5;
      },
      now));

  // The home page's close button ends the program, which saves the choice.
  ASSERT_TRUE(Click(kCloseButton));
  EXPECT_EQ(lounge.Wait(kStartMs), 0);
  EXPECT_NE(ReadConfig().find("<OSDDURATIONCONFIG value=\"1\"/>"), std::string::npos) << ReadConfig();
}

}  // namespace
