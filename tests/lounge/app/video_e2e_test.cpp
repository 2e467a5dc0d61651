// The Video module end to end on the headless display. The first visit goes
// from the home page to "Video Entry", draws the device selector with the
// focus on its first cell, and goes home again. The second puts three
// solid-colour clips in the user's "My Videos" folder first: the grid shows
// each clip's colour in name order, "Video Sort By Date" shows them oldest
// first, Return plays the focused clip full screen, Escape comes back to the
// grid, and a second run draws the same grid from the thumbnail cache.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_checks.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

using namespace app_test;
// "Video Entry" is the fourth tile of the home page's first row.
constexpr const char* kOpenVideo = "key Right\nkey Right\nkey Right\nkey Return\n";
// The Video pages' menu column and the grid's first cell (layout pixels).
inline const Box kVideoMenu = AtVisit({120, 220, 420, 480});
inline const Box kFirstCell = AtVisit({640, 220, 280, 220});
inline const Box kSecondCell = AtVisit({940, 220, 280, 220});

// The middle of the picture of grid cell `i` (4 columns of 300 x 240 from
// (640, 220); the picture fills the cell's upper 168 pixels, 12 in from
// its sides).
Box CellPicture(int i) {
  const int x = 640 + (i % 4) * 300 + 12, y = 220 + (i / 4) * 240 + 10;
  return AtVisit({x + 128 - 40, y + 84 - 30, 80, 60});
}
// "Video Sort By Date" is the fourth pill of the MyVideos menu.
const std::string kClickSortByDate = "click " + std::to_string((120 + 210) * kVisitScreenW / kLayoutWidth) + " " +
                                     std::to_string((220 + 3 * 96 + 42) * kVisitScreenH / kLayoutHeight) + "\n";

struct Rgb {
  int r, g, b;
};
// The average colour of a box.
Rgb Average(const plat::Surface& s, Box box) {
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      const std::uint32_t p = s.pixel(x, y);
      b += p & 0xFF;
      g += (p >> 8) & 0xFF;
      r += (p >> 16) & 0xFF;
      ++n;
    }
  }
  if (n == 0) return {0, 0, 0};
  return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}
// Which of red, green and blue the box shows, or '?'.
char Colour(const plat::Surface& s, Box box) {
  const Rgb c = Average(s, box);
  if (c.r > 150 && c.g < 90 && c.b < 90) return 'R';
  if (c.g > 150 && c.r < 90 && c.b < 90) return 'G';
  if (c.b > 150 && c.r < 90 && c.g < 90) return 'B';
  return '?';
}
std::string GridColours(const plat::Surface& s) {
  std::string colours;
  for (int i = 0; i < 3; ++i) colours += Colour(s, CellPicture(i));
  return colours;
}

class VideoVisitTest : public app_test::LoungeProgramTest {
 protected:
  // Runs the program on `steps`, where "check NAME" lines take the pictures
  // returned in `shots` once they meet `ready[NAME]`; the exit status is
  // returned.
  int Run(const std::string& steps, const std::map<std::string, ScreenReady>& ready,
          std::map<std::string, plat::Surface>& shots, const std::string& tag) {
    std::string script;
    std::map<std::string, std::string> pictures;
    std::vector<std::string> samples;  // "shot NAME": the screen as it was, unchecked
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("check ", 0) == 0) {
        const std::string name = line.substr(6);
        line = "check " + dir() + "/video-" + tag + "-" + name + ".png";
        pictures[line.substr(6)] = name;
      } else if (line.rfind("shot ", 0) == 0) {
        samples.push_back(line.substr(5));
        line = "shot " + dir() + "/video-" + tag + "-" + samples.back() + ".png";
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                  "--script", WriteScript(script, "video-" + tag + ".txt")},
                                 {"XDG_CACHE_HOME=" + dir() + "/cache"});
    const int status = DriveChecks(lounge, pictures, ready, shots);
    for (const std::string& name : samples)
      if (auto picture = ReadPng(dir() + "/video-" + tag + "-" + name + ".png")) shots[name] = std::move(*picture);
    return status;
  }

  // Red, green and blue clips in "My Videos" (the captured folder, first in
  // the device list), named in that order and dated blue, red, green from
  // the oldest.
  bool PutClips() {
    if (std::system((std::string(MARIVEL_VIDEO_CLIPS_SCRIPT) + " " + MARIVEL_VIDEO_CLIPS_DIR).c_str()) != 0)
      return false;
    const std::string folder = dir() + "/home/My Videos";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const struct {
      const char* from;
      const char* to;
      long age;  // seconds before now
    } clips[] = {{"red.mpg", "a red.mpg", 2000}, {"green.avi", "b green.avi", 1000}, {"blue.wmv", "c blue.wmv", 3000}};
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& c : clips) {
      const std::string to = folder + "/" + c.to;
      if (!std::filesystem::copy_file(std::string(MARIVEL_VIDEO_CLIPS_DIR) + "/" + c.from, to, ec)) return false;
      std::filesystem::last_write_time(to, now - std::chrono::seconds(c.age), ec);
      if (ec) return false;
    }
    return true;
  }

  // Every cached picture with its inode: a second run that made its
  // thumbnails again would write new files.
  std::map<std::string, ino_t> CachedPictures() const {
    std::map<std::string, ino_t> files;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir() + "/cache/Marivel/VideoThumbnails", ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      struct stat st {};
      if (it->is_regular_file() && ::stat(it->path().c_str(), &st) == 0) files[it->path().string()] = st.st_ino;
    }
    return files;
  }
};

// The home page, "Movie Entry" in focus.
bool VideoVisitHomeShown(const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.3; }

// The device selector in place of the home page `home`: its menu pills with
// their labels, and the first grid cell in focus (a light plate).
bool VideoDevicesShown(const plat::Surface& home, const plat::Surface& s) {
  return DifferingPixels(home, s, kVideoMenu) > kVideoMenu.width * kVideoMenu.height / 10 &&
         BrightShare(s, kVideoMenu, 60) > 0.02 && BrightShare(s, kFirstCell) > 0.3;
}

TEST_F(VideoVisitTest, HomeToTheDeviceSelectorAndBack) {
  std::map<std::string, plat::Surface> shots;
  const std::map<std::string, ScreenReady> ready{
      {"home", VideoVisitHomeShown},
      {"devices", [&](const plat::Surface& s) { return VideoDevicesShown(shots["home"], s); }},
      {"back", VideoVisitHomeShown},
  };
  const int status = Run("check home\n" + std::string(kOpenVideo) + "check devices\nkey Escape\ncheck back\nclose\n",
                         ready, shots, "devices");
  EXPECT_EQ(status, 0);
  ASSERT_EQ(shots.size(), 3u);
  // The device selector replaced the home page: its menu pills with their
  // labels, and the first grid cell in focus (a light plate).
  EXPECT_GT(DifferingPixels(shots["home"], shots["devices"], kVideoMenu), kVideoMenu.width * kVideoMenu.height / 10);
  EXPECT_GT(BrightShare(shots["devices"], kVideoMenu, 60), 0.02);
  EXPECT_GT(BrightShare(shots["devices"], kFirstCell), 0.3);
  // Escape: the home page again.
  EXPECT_GT(BrightShare(shots["back"], kMovieEntry), 0.3);
}

TEST_F(VideoVisitTest, ThumbnailsSortByDatePlayAndBackThenFromTheCache) {
  ASSERT_TRUE(PutClips());
  std::map<std::string, plat::Surface> shots;
  const auto focusFirst = [](const plat::Surface& s) {
    return BrightShare(s, kFirstCell) > BrightShare(s, kSecondCell) + 0.2;
  };
  // The grid needs its thumbnails made under the sanitizers: its pictures
  // wait for them.
  const std::map<std::string, ScreenReady> ready{
      {"home", VideoVisitHomeShown},
      {"devices", [&](const plat::Surface& s) { return VideoDevicesShown(shots["home"], s); }},
      {"byname",
       [](const plat::Surface& s) {
         return GridColours(s) == "RGB" && BrightShare(s, AtVisit({652, 392, 256, 36}), 120) > 0.01;
       }},
      {"bydate", [](const plat::Surface& s) { return GridColours(s) == "BRG"; }},
      {"focused", focusFirst},
      {"playing",
       [](const plat::Surface& s) {
         const Rgb c = Average(s, AtVisit({160, 120, 1600, 840}));
         return c.b > 150 && c.r < 90;
       }},
      {"back", [&](const plat::Surface& s) { return GridColours(s) == "BRG" && focusFirst(s); }},
  };
  const int status = Run("check home\n" + std::string(kOpenVideo) + "check devices\nkey Return\ncheck byname\n" +
                             kClickSortByDate + "check bydate\n" +
                             // The focus on the grid's first cell (the oldest clip), and Return.
                             "click " + std::to_string(kFirstCell.left + kFirstCell.width / 2) + " " +
                             std::to_string(kFirstCell.top + kFirstCell.height / 2) + "\ncheck focused\n" +
                             "key Return\ncheck playing\nkey Escape\ncheck back\nclose\n",
                         ready, shots, "first");
  EXPECT_EQ(status, 0);
  ASSERT_EQ(shots.size(), 7u);
  EXPECT_EQ(GridColours(shots["byname"]), "RGB");
  // The file name under the picture is drawn.
  EXPECT_GT(BrightShare(shots["byname"], AtVisit({652, 392, 256, 36}), 120), 0.01);
  EXPECT_EQ(GridColours(shots["bydate"]), "BRG");
  // The oldest clip, blue, fills most of the screen while it plays.
  const Rgb playing = Average(shots["playing"], AtVisit({160, 120, 1600, 840}));
  EXPECT_GT(playing.b, 150) << "r " << playing.r << " g " << playing.g;
  EXPECT_LT(playing.r, 90);
  // Back: the grid again, in date order, with the focus on the clip played.
  EXPECT_EQ(GridColours(shots["back"]), "BRG");
  EXPECT_GT(BrightShare(shots["back"], kFirstCell), BrightShare(shots["back"], kSecondCell) + 0.2);

  const std::map<std::string, ino_t> cached = CachedPictures();
  EXPECT_EQ(cached.size(), 3u);
  // A second run draws the grid from the cache without making a picture.
  std::map<std::string, plat::Surface> again;
  const std::map<std::string, ScreenReady> second{
      {"home", VideoVisitHomeShown},
      {"devices", [&](const plat::Surface& s) { return VideoDevicesShown(again["home"], s); }},
      {"grid", [](const plat::Surface& s) { return GridColours(s) == "BRG"; }},
  };
  EXPECT_EQ(Run("check home\n" + std::string(kOpenVideo) + "check devices\nkey Return\ncheck grid\nclose\n", second,
                again, "second"),
            0);
  ASSERT_EQ(again.size(), 3u);
  EXPECT_EQ(GridColours(again["grid"]), "BRG");
  EXPECT_EQ(CachedPictures(), cached);
}

// While a clip opens the grid stays drawn and says so: the screen is polled
// from Return until the clip fills it.
TEST_F(VideoVisitTest, AClipThatOpensSaysSoUntilItPlays) {
  ASSERT_TRUE(PutClips());
  constexpr int kPolls = 60;
  // The grid first, with its thumbnails; then the screen is sampled from
  // Return on, and the last picture waits for the clip to fill the screen.
  std::string steps = "check home\n" + std::string(kOpenVideo) + "check devices\nkey Return\ncheck grid\n" +
                      "click " + std::to_string(kFirstCell.left + kFirstCell.width / 2) + " " +
                      std::to_string(kFirstCell.top + kFirstCell.height / 2) + "\ncheck focused\nkey Return\n";
  for (int i = 0; i < kPolls; ++i) steps += "shot poll" + std::to_string(i) + "\nwait 50\n";
  steps += "check playing\nclose\n";
  std::map<std::string, plat::Surface> shots;
  const Box screen = AtVisit({160, 120, 1600, 840});
  const std::map<std::string, ScreenReady> ready{
      {"home", VideoVisitHomeShown},
      {"devices", [&](const plat::Surface& s) { return VideoDevicesShown(shots["home"], s); }},
      {"grid", [](const plat::Surface& s) { return GridColours(s) == "RGB"; }},
      {"focused",
       [](const plat::Surface& s) {
         return GridColours(s) == "RGB" && BrightShare(s, kFirstCell) > BrightShare(s, kSecondCell) + 0.2;
       }},
      {"playing", [&](const plat::Surface& s) { return Colour(s, screen) == 'R'; }},
  };
  EXPECT_EQ(Run(steps, ready, shots, "opening"), 0);
  ASSERT_EQ(shots.size(), static_cast<std::size_t>(kPolls + 5));
  // The notice sits at the top right, over the page's header.
  const Box notice = AtVisit({1200, 90, 640, 64});
  int opening = 0;
  for (int i = 0; i < kPolls; ++i) {
    const plat::Surface& poll = shots["poll" + std::to_string(i)];
    const bool gridShown = BrightShare(poll, kVideoMenu, 60) > 0.02;
    if (gridShown && DifferingPixels(shots["focused"], poll, notice) > 300) ++opening;
  }
  EXPECT_GT(opening, 0) << "nothing on the grid said that the clip was opening";
  // Then the clip (red, the first by name) fills the screen.
  bool played = false;
  for (const auto& [name, shot] : shots) played = played || Colour(shot, AtVisit({160, 120, 1600, 840})) == 'R';
  EXPECT_TRUE(played);
}

}  // namespace
