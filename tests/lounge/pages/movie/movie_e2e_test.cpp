// A disc played end to end: the lounge program on the headless display, the
// test DVD declared as virtual drive D: in the run's machine hive, driven by
// a script and checked on its pictures. "Movie Entry" plays the disc, whose
// first-play goes to its menu (dark green, the selected button outlined in
// yellow); Return on the first button plays title 1 (a red strip over a test
// pattern); M opens the disc menu again; Right outlines the second button and
// Return plays title 2 (a blue strip); N goes to its second chapter (a magenta
// band under the strip); Escape goes home with
// "Movie Entry" in focus; closing ends cleanly and leaves the resume
// bookmark. A second visit declares two drives with different discs and
// chooses each on the drive selector.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_checks.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

namespace fs = std::filesystem;
using namespace app_test;

constexpr int kW = 1280, kH = 720;

// A second disc with no menu: its only title, a blue strip, plays at once.
const fs::path& BlueDiscDir() {
  static const fs::path dir = [] {
    const std::string command = std::string(BLUE_DVD_FIXTURE_SCRIPT) + " " + BLUE_DVD_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return fs::path();
    return fs::path(BLUE_DVD_FIXTURE_DIR);
  }();
  return dir;
}

const fs::path& FixtureDir() {
  static const fs::path dir = [] {
    const std::string command = std::string(TOVELAX_FIXTURE_SCRIPT) + " " + TOVELAX_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return fs::path();
    return fs::path(TOVELAX_FIXTURE_DIR);
  }();
  return dir;
}

// Share of the pixels in `box` for which `wanted(red, green, blue)` holds.
template <typename Predicate>
double Share(const plat::Surface& s, Box box, Predicate wanted) {
  long n = 0, total = 0;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x) {
      const std::uint32_t p = s.pixel(x, y);
      n += wanted(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
      ++total;
    }
  return total ? static_cast<double>(n) / total : 0.0;
}

bool Reddish(int r, int g, int b) { return r > 180 && g < 90 && b < 90; }
bool Bluish(int r, int g, int b) { return b > 180 && r < 90 && g < 90; }
bool Greenish(int r, int g, int b) { return g > r + 50 && g > b + 50 && g < 200; }
bool Yellowish(int r, int g, int b) { return r > 180 && g > 180 && b < 100; }
bool Magentaish(int r, int g, int b) { return r > 180 && b > 180 && g < 90; }

// The 4:3 picture is pillar-boxed in the 16:9 frame: x 160 to 1120. Its top
// strip (60 of 576 lines) and the test pattern below it.
const Box kStrip{200, 16, 880, 40};
const Box kPattern{200, 120, 880, 380};
// The band titles show from their second chapter on (lines 60 to 119).
const Box kChapterBand{200, 85, 880, 55};
// The top edges of the menu's button outlines (x 100..299 and 420..619,
// lines 200..203 of the picture).
const Box kButton1Edge{300, 251, 250, 3};
const Box kButton2Edge{727, 251, 250, 3};
// The end of the OSD's text at the top right, over the right bar, just below
// the caption bar (64 pixels high at this width).
const Box kOsdOverBar{1125, 66, 90, 30};

class MovieVisitTest : public LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    ASSERT_FALSE(FixtureDir().empty()) << "the test DVD could not be generated";
    // The disc as virtual drive D: of this run's machine.
    DeclareDrive('D', FixtureDir() / "dvd");
  }

  void DeclareDrive(char letter, const fs::path& disc) {
    std::ofstream hive(dir_ + "/registry/machine.reg", std::ios::app);
    hive << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\" << letter << "]\n"
         << "\"Path\"=\"" << disc.string() << "\"\n"
         << "\"Type\"=\"cdrom\"\n";
    ASSERT_TRUE(hive);
  }

  // Runs the steps; each "check NAME" is answered once its picture meets
  // `ready[NAME]` and kept in `shots`.
  int Run(const std::string& steps, const std::map<std::string, ScreenReady>& ready,
          std::map<std::string, plat::Surface>& shots) {
    std::string script;
    std::map<std::string, std::string> pictures;
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("check ", 0) == 0) {
        const std::string name = line.substr(6);
        line = "check " + dir_ + "/movie-" + name + ".png";
        pictures[line.substr(6)] = name;
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kW) + "x" + std::to_string(kH), "--script",
                                  WriteScript(script, "movie.txt")});
    const int status = DriveChecks(lounge, pictures, ready, shots);
    for (const auto& [file, name] : pictures) EXPECT_TRUE(shots.count(name)) << "no picture " << name;
    return status;
  }
};

TEST_F(MovieVisitTest, MenuTitlesHomeAndClose) {
  // Each step waits until the screen shows its outcome before the next key.
  const auto menu = [](const plat::Surface& s) {
    return Share(s, kPattern, Greenish) > 0.9 && Share(s, kButton1Edge, Yellowish) > 0.8;
  };
  const std::map<std::string, ScreenReady> ready{
      {"start", [](const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.5; }},
      {"menu", menu},
      {"title1", [](const plat::Surface& s) { return Share(s, kStrip, Reddish) > 0.9; }},
      {"menu2", menu},
      {"right", [](const plat::Surface& s) { return Share(s, kButton2Edge, Yellowish) > 0.8; }},
      // Title 2 with the OSD of the steps before it gone.
      {"title2",
       [](const plat::Surface& s) { return Share(s, kStrip, Bluish) > 0.9 && BrightShare(s, kOsdOverBar) == 0.0; }},
      {"chapter",
       [](const plat::Surface& s) {
         return Share(s, kChapterBand, Magentaish) > 0.9 && BrightShare(s, kOsdOverBar) > 0.1;
       }},
      {"home", [](const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.5; }},
  };
  std::map<std::string, plat::Surface> shots;
  const int status = Run(
      "check start\nkey Return\ncheck menu\n"
      "key Return\ncheck title1\n"
      "key M\ncheck menu2\n"
      "key Right\ncheck right\nkey Return\ncheck title2\n"
      "key N\ncheck chapter\n"
      "key Escape\ncheck home\nclose\n",
      ready, shots);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(shots.size(), 8u);
  for (const auto& [name, shot] : shots) {
    ASSERT_EQ(shot.width(), kW) << name;
    ASSERT_EQ(shot.height(), kH) << name;
  }

  // The disc's menu fills the picture; the pillar-box bars stay black.
  for (const char* menu : {"menu", "menu2"}) {
    EXPECT_GT(Share(shots[menu], kPattern, Greenish), 0.9) << menu;
    EXPECT_EQ(BrightShare(shots[menu], Box{0, 200, 150, 300}), 0.0) << menu;
  }

  // The selected button is outlined in yellow: the first on each menu, the
  // second after Right.
  for (const char* menu : {"menu", "menu2"}) {
    EXPECT_GT(Share(shots[menu], kButton1Edge, Yellowish), 0.8) << menu;
    EXPECT_LT(Share(shots[menu], kButton2Edge, Yellowish), 0.1) << menu;
  }
  EXPECT_GT(Share(shots["right"], kButton2Edge, Yellowish), 0.8);
  EXPECT_LT(Share(shots["right"], kButton1Edge, Yellowish), 0.1);
  EXPECT_GT(Share(shots["right"], kPattern, Greenish), 0.9);

  // Title 1: the red strip over the test pattern.
  EXPECT_GT(Share(shots["title1"], kStrip, Reddish), 0.9);
  EXPECT_LT(Share(shots["title1"], kPattern, Reddish), 0.5);
  EXPECT_LT(Share(shots["title1"], kPattern, Greenish), 0.5);
  EXPECT_GT(DifferingPixels(shots["menu"], shots["title1"], kPattern), kPattern.width * kPattern.height / 2);

  // Title 2, chosen on the menu: the blue strip, in its first chapter.
  EXPECT_GT(Share(shots["title2"], kStrip, Bluish), 0.9);
  EXPECT_LT(Share(shots["title2"], kStrip, Reddish), 0.1);
  EXPECT_LT(Share(shots["title2"], kChapterBand, Magentaish), 0.3);  // the pattern's magenta bar

  // N: the next chapter of title 2 (the magenta band under the blue strip),
  // long before playing on would have reached it.
  EXPECT_GT(Share(shots["chapter"], kStrip, Bluish), 0.9);
  EXPECT_GT(Share(shots["chapter"], kChapterBand, Magentaish), 0.9);
  // and the OSD tells the chapter, its text reaching over the black bar.
  EXPECT_GT(BrightShare(shots["chapter"], kOsdOverBar), 0.1);
  EXPECT_EQ(BrightShare(shots["title2"], kOsdOverBar), 0.0);

  // Escape: the home page with "Movie Entry" in focus.
  EXPECT_GT(BrightShare(shots["home"], kMovieEntry), 0.5);
  EXPECT_LT(BrightShare(shots["home"], kMusicEntry), 0.4);

  // Leaving the disc kept its resume point.
  EXPECT_TRUE(fs::exists(dir_ + "/data/Marivel/ar.cbk"));
}

// Two drives with different discs: "Movie Entry" shows the drive selector,
// and each choice plays the disc in the drive chosen, not the first listed.
class MovieTwoDrivesVisitTest : public MovieVisitTest {
 protected:
  void SetUp() override {
    MovieVisitTest::SetUp();
    ASSERT_FALSE(BlueDiscDir().empty()) << "the second test DVD could not be generated";
    DeclareDrive('E', BlueDiscDir() / "dvd");
  }
};

TEST_F(MovieTwoDrivesVisitTest, EachChoicePlaysItsOwnDisc) {
  std::map<std::string, plat::Surface> shots;
  // Each step waits until the screen shows its outcome; the selector has
  // nothing to wait for but the page switch the key before it made.
  const auto home = [](const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.5; };
  const auto selector = [](const plat::Surface&) { return true; };
  const std::map<std::string, ScreenReady> ready{
      {"start", home},
      {"selector", selector},
      {"e", [](const plat::Surface& s) { return Share(s, kStrip, Bluish) > 0.9; }},
      {"home", home},
      {"selector2", selector},
      {"d", [](const plat::Surface& s) { return Share(s, kPattern, Greenish) > 0.9; }},
  };
  const int status = Run(
      "check start\nkey Return\nwait 1500\ncheck selector\n"
      "key Right\nwait 300\nkey Return\ncheck e\n"
      "key Escape\ncheck home\nkey Return\nwait 1500\ncheck selector2\n"
      "key Return\ncheck d\nclose\n",
      ready, shots);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(shots.size(), 6u);

  // The selector, on entering and again from home: no picture yet.
  for (const char* selector : {"selector", "selector2"}) {
    EXPECT_LT(Share(shots[selector], kPattern, Greenish), 0.1) << selector;
    EXPECT_LT(Share(shots[selector], kStrip, Bluish), 0.1) << selector;
  }
  // E: holds the disc without a menu: its blue title plays.
  EXPECT_GT(Share(shots["e"], kStrip, Bluish), 0.9);
  EXPECT_LT(Share(shots["e"], kPattern, Greenish), 0.1);
  // D: holds the disc whose first-play is its green menu.
  EXPECT_GT(Share(shots["d"], kPattern, Greenish), 0.9);
  EXPECT_LT(Share(shots["d"], kStrip, Bluish), 0.1);
}

}  // namespace
