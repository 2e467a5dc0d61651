// A user's visit end to end on the headless display, driven by a script and
// checked on the pictures it takes: the home page with the first entry in
// focus, Right moving the focus, the setting page opened from "Setting
// Entry" under the caption bar, "OSD Left" shortening the on-screen display
// time, Escape back home, a clean close that saved the choice, and a restart
// that shows it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_checks.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

using namespace app_test;  // the visit's screen and layout rectangles

// From the first entry: down to "Radio Entry", right to "Setting Entry".
constexpr const char* kOpenSettings = "key Down\nkey Right\nkey Right\nkey Right\nkey Return\n";

class LoungeVisitTest : public app_test::LoungeProgramTest {
 protected:
  // Runs the program with `steps`, where "check NAME" takes the picture NAME
  // once it meets `ready[NAME]`; returns the pictures by name and the exit
  // status.
  int Run(const std::string& steps, const std::map<std::string, ScreenReady>& ready,
          std::map<std::string, plat::Surface>& shots, const std::string& scriptName) {
    std::string script;
    std::map<std::string, std::string> pictures;
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("check ", 0) == 0) {
        const std::string name = line.substr(6);
        line = "check " + dir_ + "/" + scriptName + "-" + name + ".png";
        pictures[line.substr(6)] = name;
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                  "--script", WriteScript(script, scriptName + ".txt")});
    const int status = DriveChecks(lounge, pictures, ready, shots);
    for (const auto& [file, name] : pictures) EXPECT_TRUE(shots.count(name)) << "no picture " << name;
    return status;
  }
};

TEST_F(LoungeVisitTest, HomeSettingOsdChoiceHomeCloseAndRestart) {
  std::map<std::string, plat::Surface> shots;
  // Each step waits until the screen shows its outcome; the later pictures
  // are told from the earlier ones.
  const std::map<std::string, ScreenReady> ready{
      {"home",
       [](const plat::Surface& s) {
         return BrightShare(s, kMovieEntry) > 0.5 && BrightShare(s, kModuleIcon) > 0.05 && BrightShare(s, kTime) > 0.02;
       }},
      {"right",
       [&](const plat::Surface& s) {
         return BrightShare(s, kMusicEntry) > 0.5 && DifferingPixels(shots["home"], s, kModuleIcon) > 1000;
       }},
      {"setting",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["home"], s, kCaptionArea) > kCaptionArea.width * kCaptionArea.height / 4 &&
                BrightShare(s, kOsdOption) > 0.02;
       }},
      {"osd", [&](const plat::Surface& s) { return DifferingPixels(shots["setting"], s, kOsdOption) > 20; }},
      {"back",
       [&](const plat::Surface& s) {
         return BrightShare(s, kMovieEntry) > 0.5 && DifferingPixels(shots["home"], s, kCaptionArea) == 0;
       }},
  };
  const int status =
      Run("check home\nkey Right\ncheck right\nkey Left\n" + std::string(kOpenSettings) + "check setting\nclick " +
              std::to_string(kOsdLeft.left + kOsdLeft.width / 2) + " " +
              std::to_string(kOsdLeft.top + kOsdLeft.height / 2) + "\ncheck osd\nkey Escape\ncheck back\nclose\n",
          ready, shots, "visit");
  EXPECT_EQ(status, 0);
  ASSERT_EQ(shots.size(), 5u);
  const plat::Surface& home = shots["home"];
  ASSERT_EQ(home.width(), kVisitScreenW);
  ASSERT_EQ(home.height(), kVisitScreenH);

  // The home page: the first entry highlighted, its icon and caption shown
  // on the left, the clock drawn.
  EXPECT_GT(BrightShare(home, kMovieEntry), 0.5);
  EXPECT_LT(BrightShare(home, kMusicEntry), 0.4);
  EXPECT_GT(BrightShare(home, kModuleIcon), 0.05);
  EXPECT_GT(BrightShare(home, kModuleName, 60), 0.02);
  EXPECT_GT(BrightShare(home, kTime), 0.02);

  // Right: the highlight moves to the second entry and the icon changes.
  const plat::Surface& right = shots["right"];
  EXPECT_LT(BrightShare(right, kMovieEntry), 0.4);
  EXPECT_GT(BrightShare(right, kMusicEntry), 0.5);
  EXPECT_GT(DifferingPixels(home, right, kModuleIcon), 1000);
  EXPECT_GT(DifferingPixels(home, right, kModuleName), 100);

  // The setting page under the caption bar, its on-screen display time
  // written out.
  const plat::Surface& setting = shots["setting"];
  EXPECT_GT(DifferingPixels(home, setting, kCaptionArea), kCaptionArea.width * kCaptionArea.height / 4);
  EXPECT_GT(BrightShare(setting, kOsdOption), 0.02);

  // "OSD Left": the time shown changes ("2  SEC" to "1  SEC").
  const plat::Surface& osd = shots["osd"];
  EXPECT_GT(DifferingPixels(setting, osd, kOsdOption), 20);
  EXPECT_GT(BrightShare(osd, kOsdOption), 0.02);

  // Escape: home again, the caption bar gone.
  const plat::Surface& back = shots["back"];
  EXPECT_EQ(DifferingPixels(home, back, kCaptionArea), 0);
  // The frame stayed maximised all along: the same buttons (Restore, not
  // Maximize) as on the first home page.
  EXPECT_EQ(DifferingPixels(home, back, kFrameButtons), 0);
  EXPECT_GT(BrightShare(back, kMovieEntry), 0.5);

  // The choice was saved on closing.
  EXPECT_NE(ReadConfig().find("<OSDDURATIONCONFIG value=\"1\"/>"), std::string::npos) << ReadConfig();

  // A restart in the same place shows the saved time on the setting page.
  std::map<std::string, plat::Surface> again;
  const std::map<std::string, ScreenReady> restarted{
      {"home", ready.at("home")},
      {"setting",
       [&](const plat::Surface& s) {
         return BrightShare(s, kOsdOption) > 0.02 && DifferingPixels(osd, s, kOsdOption) == 0;
       }},
  };
  EXPECT_EQ(Run("check home\n" + std::string(kOpenSettings) + "check setting\nclose\n", restarted, again, "restart"),
            0);
  ASSERT_EQ(again.count("setting"), 1u);
  EXPECT_EQ(DifferingPixels(osd, again["setting"], kOsdOption), 0);
  EXPECT_GT(DifferingPixels(setting, again["setting"], kOsdOption), 20);
  EXPECT_NE(ReadConfig().find("<OSDDURATIONCONFIG value=\"1\"/>"), std::string::npos);
}

}  // namespace
