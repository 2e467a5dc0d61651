// The Video settings page as a person meets it on a 16:9 screen: the page
// opens on the 4:3 display type with its letter-box text, and the
// screen-size arrow switches the texts to the 16:9 type.
#include <gtest/gtest.h>

#include <string>

#include "tests/lounge/app/visit_script.h"

namespace {

using namespace app_test;

constexpr const char* kGeneralSetting = "Video/Setting/GeneralSetting";
constexpr const char* kVideoBackground = "/Layout/Img/Video/video_bg.bmp";

class VideoSettingsVisit : public ScriptedVisit {};

TEST_F(VideoSettingsVisit, TheScreenSizeArrowChangesTheShownDisplayType) {
  const auto size = LayoutElementOf(kGeneralSetting, "Video ScreenSize Option");
  const auto mode = LayoutElementOf(kGeneralSetting, "Video ScreenMode Option");
  const auto right = LayoutElementOf(kGeneralSetting, "Video ScreenSize Right");
  const auto settings = LayoutElementOf("Video/SelectDevice", "Video General Setting");
  ASSERT_TRUE(size && mode && right && settings);
  const std::string background = std::string(MARIVEL_TEST_BIN_DIR) + kVideoBackground;
  const auto shows = [&](const VisitElement& e, const char* key) {
    return [&, key](const plat::Surface& s) { return TextMatches(s, e.box, background, Word(key), e.align, e.colour); };
  };

  // "Video Entry" is the fourth tile of the home page's first row.
  const int status = RunVisit("video-settings", "wait 1000\nkey Right\nkey Right\nkey Right\nkey Return\nwait 1500\n" +
                                                    ClickOn(settings->box) + "poll before\n" + ClickOn(right->box) +
                                                    "poll after\nclose\n");
  EXPECT_EQ(status, 0);
  // The configured 4:3 display type, whatever the window's shape.
  EXPECT_NE(Polled("before", shows(*size, "SCREENRATIO43")), nullptr);
  EXPECT_NE(Polled("before", shows(*mode, "LETTERBOX")), nullptr);
  // The arrow steps to 16:9: both texts follow.
  EXPECT_NE(Polled("after", shows(*size, "SCREENRATIO169")), nullptr);
  EXPECT_NE(Polled("after", shows(*mode, "ORIGINAL")), nullptr);
}

}  // namespace
