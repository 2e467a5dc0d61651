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

}  // namespace
