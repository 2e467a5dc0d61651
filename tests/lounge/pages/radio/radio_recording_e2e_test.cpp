// The Radio module while it records, as a person sees it: the playback
// bar's record button stays on screen, checked, until the recording stops.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/lounge/app/visit_radio.h"
#include "tests/lounge/app/visit_script.h"

namespace {

using namespace app_test;

class RadioRecordingVisit : public ScriptedVisit {
 protected:
  void SetUp() override {
    ScriptedVisit::SetUp();
    DeclareVisitRadio(dir_ + "/registry/machine.reg");
    std::filesystem::create_directories(dir_ + "/home/Documents");
    std::ofstream(dir_ + "/config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n";
  }
};

// The pixels of the checked buttons' blue in the lower left of the screen,
// where the playback bar shows its transport buttons.
long CheckedBlue(const plat::Surface& s) {
  long n = 0;
  for (int y = s.height() * 5 / 6; y < s.height(); ++y)
    for (int x = 0; x < s.width() / 2; ++x) {
      const std::uint32_t p = s.pixel(x, y);
      const int r = static_cast<int>((p >> 16) & 0xFF), g = static_cast<int>((p >> 8) & 0xFF), b = static_cast<int>(p & 0xFF);
      n += b > 200 && r < 90 && g > 80 && g < 160;
    }
  return n;
}

TEST_F(RadioRecordingVisit, TheRecordButtonIsCheckedWhileRecording) {
  // "Radio Entry" lies below the first entry of the home page; R records, S
  // stops.
  const std::string steps =
      "wait 1000\nkey Down\nkey Return\nwait 2000\nshot listening\nkey R\npoll recording\nkey S\npoll stopped\nclose\n";
  EXPECT_EQ(RunVisit("radio-recording", steps, {"MARIVEL_MIXER=memory"}), 0);
  ASSERT_TRUE(shots_.count("listening"));
  const long listening = CheckedBlue(shots_["listening"]);
  // The record button's checked disc: well over a thousand pixels.
  const plat::Surface* recording =
      Polled("recording", [&](const plat::Surface& s) { return CheckedBlue(s) > listening + 1000; });
  ASSERT_NE(recording, nullptr) << CheckedBlue(*LastPolled("recording")) << " against " << listening;
  const long marked = CheckedBlue(*recording);
  EXPECT_NE(Polled("stopped", [&](const plat::Surface& s) { return CheckedBlue(s) < marked - 1000; }), nullptr);
}

// A seek forward from 100.70 MHz passes each frequency on its way to
// 104.20 MHz: the bar's frequency moves with the page's at every step, and
// the RDS station found by a seek down shows its programme type by name.
TEST_F(RadioRecordingVisit, TheBarFollowsASeekAndTheProgrammeTypeHasItsName) {
  const auto big = LayoutElementOf("Radio/MainPage", "Radio Frequency Text");
  const auto type = LayoutElementOf("Radio/MainPage", "RadioTxt StationType Text");
  ASSERT_TRUE(big && type);
  // The bar's frequency, under its band name, in the middle of the bar.
  const Box bar{kVisitScreenW * 45 / 100, kVisitScreenH * 87 / 100, kVisitScreenW * 20 / 100, kVisitScreenH * 10 / 100};
  const std::string steps = "wait 1000\nkey Down\nkey Return\nwait 2000\nkey F\npoll seeking\nkey B\nwait 500\nkey B\npoll typed\nclose\n";
  EXPECT_EQ(RunVisit("radio-seek", steps, {"MARIVEL_MIXER=memory"}), 0);

  int moves = 0;
  for (int i = 0; i + 1 < kPollShots; ++i) {
    const auto a = shots_.find("seeking#" + std::to_string(i)), b = shots_.find("seeking#" + std::to_string(i + 1));
    if (a == shots_.end() || b == shots_.end()) break;
    if (DifferingPixels(a->second, b->second, big->box) < 30) continue;
    ++moves;
    EXPECT_GT(DifferingPixels(a->second, b->second, bar), 10) << "the page's frequency moved alone at picture " << i;
  }
  EXPECT_GT(moves, 1) << "no seek seen";

  const std::string background = std::string(MARIVEL_TEST_BIN_DIR) + "/Layout/Img/Radio/radio_bg.bmp";
  EXPECT_NE(Polled("typed",
                   [&](const plat::Surface& s) {
                     return TextMatches(s, type->box, background, "Pop music", type->align, 0xFFFFFF);
                   }),
            nullptr);
}

}  // namespace
