// The Video device grid as a person meets it: the user's own videos folder
// (XDG_VIDEOS_DIR) is offered beside the program's "My Videos", opening it
// shows its clip, and the empty "My Videos" says it holds no video.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/lounge/app/visit_script.h"

namespace {

using namespace app_test;

// The middle of the picture of the grid's first cell (layout pixels: the
// cell at (640, 220), its picture in the upper 168 pixels).
const Box kFirstPicture = AtVisit({640 + 12 + 88, 220 + 10 + 54, 80, 60});

bool Reddish(const plat::Surface& s, Box box) {
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x, ++n) {
      const std::uint32_t p = s.pixel(x, y);
      b += p & 0xFF, g += (p >> 8) & 0xFF, r += (p >> 16) & 0xFF;
    }
  return n && r / n > 150 && g / n < 90 && b / n < 90;
}

class VideoDevicesVisit : public ScriptedVisit {
 protected:
  void SetUp() override {
    ScriptedVisit::SetUp();
    ASSERT_EQ(std::system((std::string(MARIVEL_VIDEO_CLIPS_SCRIPT) + " " + MARIVEL_VIDEO_CLIPS_DIR).c_str()), 0);
    const std::string films = dir_ + "/home/Films";
    std::filesystem::create_directories(films);
    std::filesystem::copy_file(std::string(MARIVEL_VIDEO_CLIPS_DIR) + "/red.mpg", films + "/red.mpg");
    std::ofstream(dir_ + "/config/user-dirs.dirs") << "XDG_VIDEOS_DIR=\"$HOME/Films\"\n";
  }
};

TEST_F(VideoDevicesVisit, TheUsersVideosFolderIsOfferedAndAnEmptyFolderSaysSo) {
  const auto empty = LayoutElementOf("Video/MyVideos", "Video Empty Folder Text");
  ASSERT_TRUE(empty);
  const std::string background = std::string(MARIVEL_TEST_BIN_DIR) + "/Layout/Img/Video/video_bg.bmp";
  // "Video Entry" is the fourth tile of the home page's first row; the first
  // cell is the program's "My Videos", the second the user's folder.
  const std::string steps = "wait 1000\nkey Right\nkey Right\nkey Right\nkey Return\nwait 1500\nshot devices\nkey Return\n"
                            "poll empty\nkey Escape\nwait 1500\nkey Right\nkey Return\npoll films\nclose\n";
  const auto emptySaysSo = [&](const plat::Surface& s) {
    return TextMatches(s, empty->box, background, Word("VIDEO_NO_VIDEOS"), empty->align, empty->colour);
  };
  const auto redFilm = [](const plat::Surface& s) { return Reddish(s, kFirstPicture); };
  EXPECT_EQ(RunVisit("video-devices", steps, {"XDG_CACHE_HOME=" + dir_ + "/cache"}, {{"empty", emptySaysSo}, {"films", redFilm}}),
            0);
  EXPECT_NE(Polled("empty", emptySaysSo), nullptr);
  // The second cell names the user's folder, centred under its picture.
  ASSERT_TRUE(shots_.count("devices"));
  const Box label = AtVisit({940 + 12, 220 + 172, 256, 36});
  int first = -1, last = -1;
  for (int x = label.left; x < label.left + label.width; ++x)
    for (int y = label.top; y < label.top + label.height; ++y)
      if (Brightest(shots_["devices"].pixel(x, y)) >= 140) {
        if (first < 0) first = x;
        last = x;
      }
  ASSERT_GE(first, 0) << "no label";
  EXPECT_NEAR(first - label.left, label.left + label.width - 1 - last, 8) << "the label is not centred";
  // The user's folder: its clip, red, in the first cell.
  EXPECT_NE(Polled("films", redFilm), nullptr);
}

}  // namespace
