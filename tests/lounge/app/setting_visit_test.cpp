// The Setting page end to end on the headless display: its values name what
// the program really uses (the language of its texts, the screen's mode, an
// audio effect), and the language chosen is kept in "Config.xml" across a
// restart.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

using namespace app_test;
constexpr const char* kSettingSettle = "wait 1200\n";
// Rows of Setting\SettingMain (layout pixels): the values, and the
// language's right arrow.
inline const Box kResolutionValue = AtVisit({960, 440, 525, 52});
inline const Box kLanguageValue = AtVisit({960, 510, 525, 52});
inline const Box kAudioEffectValue = AtVisit({960, 650, 525, 52});
inline const Box kLanguageRight = AtVisit({1522, 512, 48, 48});

std::string SettingClick(Box box) {
  return "click " + std::to_string(box.left + box.width / 2) + " " + std::to_string(box.top + box.height / 2) + "\n";
}

class SettingVisitTest : public LoungeProgramTest {
 protected:
  // Runs the steps from the home page through "Setting Entry"; "shot NAME"
  // becomes a picture in the sandbox.
  std::map<std::string, plat::Surface> Visit(const std::string& steps, const std::string& name) {
    std::string script = std::string(kSettingSettle) + SettingClick(kSettingEntry) + kSettingSettle;
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("shot ", 0) == 0) {
        names.push_back(line.substr(5));
        line = "shot " + dir() + "/" + name + "-" + names.back() + ".png";
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                  "--script", WriteScript(script + "close\n", name + ".txt")});
    EXPECT_EQ(lounge.Wait(kStartMs), 0);
    std::map<std::string, plat::Surface> shots;
    for (const std::string& shot : names) {
      if (auto picture = ReadPng(dir() + "/" + name + "-" + shot + ".png")) shots[shot] = std::move(*picture);
    }
    return shots;
  }
};

TEST_F(SettingVisitTest, TheLanguageChosenIsKeptAcrossARestartAndTheValuesAreTheProgramsOwn) {
  auto first = Visit("shot english\n" + SettingClick(kLanguageRight) + kSettingSettle + "shot german\n", "first");
  ASSERT_EQ(first.size(), 2u);
  // The language, the screen's mode and an audio effect are shown (which
  // texts, the page's own tests say).
  for (const Box& value : {kLanguageValue, kResolutionValue, kAudioEffectValue})
    EXPECT_GT(BrightShare(first["english"], value, 100), 0.01);
  EXPECT_GT(DifferingPixels(first["english"], first["german"], kLanguageValue), 100);
  EXPECT_NE(ReadConfig().find("<LANGUAGECONFIG value=\"1\"/>"), std::string::npos) << ReadConfig();

  // After a restart the page reads German; English again is kept too.
  auto second = Visit("shot german\n" + SettingClick(kLanguageRight) + kSettingSettle + "shot english\n", "second");
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(DifferingPixels(first["german"], second["german"], kLanguageValue), 0);
  EXPECT_EQ(DifferingPixels(first["english"], second["english"], kLanguageValue), 0);
  EXPECT_NE(ReadConfig().find("<LANGUAGECONFIG value=\"2\"/>"), std::string::npos) << ReadConfig();
}

}  // namespace
