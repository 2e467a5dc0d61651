// The Video module end to end on the headless display: from the home page
// to "Video Entry", the device selector drawn with the focus on its first
// cell and the Video menu beside it, Escape home again, and a clean close.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

using namespace app_test;
constexpr const char* kSettle = "wait 800\n";
// "Video Entry" is the fourth tile of the home page's first row.
constexpr const char* kOpenVideo = "key Right\nkey Right\nkey Right\nkey Return\n";
// The Video pages' menu column and the grid's first cell (layout pixels).
inline const Box kVideoMenu = AtVisit({120, 220, 420, 480});
inline const Box kFirstCell = AtVisit({640, 220, 280, 220});

class VideoVisitTest : public app_test::LoungeProgramTest {};

TEST_F(VideoVisitTest, HomeToTheDeviceSelectorAndBack) {
  const std::string home = dir_ + "/video-home.png", devices = dir_ + "/video-devices.png",
                    back = dir_ + "/video-back.png";
  const std::string script = std::string(kSettle) + "shot " + home + "\n" + kOpenVideo + kSettle + "shot " + devices +
                             "\nkey Escape\n" + kSettle + "shot " + back + "\nclose\n";
  ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                "--script", WriteScript(script, "video.txt")});
  EXPECT_EQ(lounge.Wait(kStartMs), 0);
  auto homeShot = ReadPng(home);
  auto devicesShot = ReadPng(devices);
  auto backShot = ReadPng(back);
  ASSERT_TRUE(homeShot && devicesShot && backShot);
  // The device selector replaced the home page: its menu pills with their
  // labels, and the first grid cell in focus (a light plate).
  EXPECT_GT(DifferingPixels(*homeShot, *devicesShot, kVideoMenu), kVideoMenu.width * kVideoMenu.height / 10);
  EXPECT_GT(BrightShare(*devicesShot, kVideoMenu, 60), 0.02);
  EXPECT_GT(BrightShare(*devicesShot, kFirstCell), 0.3);
  // Escape: the home page again.
  EXPECT_GT(BrightShare(*backShot, kMovieEntry), 0.3);
}

}  // namespace
