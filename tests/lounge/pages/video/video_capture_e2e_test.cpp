// The camcorder page as a person uses it: the chosen "DV camcorder" stays in
// the menu, marked as the choice; the labels are whole; Space pauses the
// tape; R starts a capture and a click at the same place stops it, as S
// does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "tests/lounge/app/visit_script.h"

namespace {

using namespace app_test;

// The tapes of the DV component's tests, built once (cached by the script's hash).
std::string CaptureTapes() {
  static const std::string dir = [] {
    const std::string command = std::string(DV_TAPES_SCRIPT) + " " + DV_TAPES_DIR;
    return std::system(command.c_str()) == 0 ? std::string(DV_TAPES_DIR) : std::string();
  }();
  return dir;
}

// The last column with a bright pixel in the box, -1 none.
int LastBright(const plat::Surface& s, Box box) {
  for (int x = box.left + box.width - 1; x >= box.left; --x)
    for (int y = box.top; y < box.top + box.height; ++y)
      if (Brightest(s.pixel(x, y)) >= 140) return x;
  return -1;
}

// Where `text` ends when drawn whole from the box's left edge.
int WholeTextEnd(Box box, const std::string& text) {
  const Box wide{box.left, box.top, 1200, box.height};
  MemoryDC dc;
  const BitmapPtr bitmap(plat::CreateCompatibleBitmap(dc.get(), wide.left + wide.width, wide.top + wide.height));
  if (!dc || !bitmap || !dc.SelectBitmap(bitmap.get())) return -1;
  DrawSkinTextDefaultFont(dc.get(), wide.left, wide.top, wide.left + wide.width, wide.top + wide.height, text,
                          ALIGN_LEFT, 0xFFFFFF, SKIN_FIT_ELLIPSIS);
  const plat::SurfacePtr drawn = plat::GetBitmapSurface(bitmap.get());
  return drawn ? LastBright(*drawn, wide) : -1;
}

// Pixels of a notice's plate over the picture: near black.
long NoticePlate(const plat::Surface& s) {
  const Box band = AtVisit({1120, 220, 480, 300});
  long n = 0;
  for (int y = band.top; y < band.top + band.height; ++y)
    for (int x = band.left; x < band.left + band.width; ++x) n += Brightest(s.pixel(x, y)) < 40 ? 1 : 0;
  return n;
}

class CameraPageVisit : public ScriptedVisit {
 protected:
  void SetUp() override {
    ScriptedVisit::SetUp();
    ASSERT_FALSE(CaptureTapes().empty()) << "the tapes could not be made";
    const std::string tape = dir_ + "/tape.dv";
    std::filesystem::copy_file(CaptureTapes() + "/pal.dv", tape);
    std::ofstream reg(dir_ + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualCamcorders\\0]\n"
        << "\"Tape\"=\"" << tape << "\"\n\"Name\"=\"Sandbox DV (Marivel)\"\n";
  }
};

TEST_F(CameraPageVisit, TheChoiceStaysTheLabelsAreWholeAndTheKeysWork) {
  const char* page = "Video/CaptureVideos";
  const auto captureVideo = LayoutElementOf("Video/SelectDevice", "Video Capture Video");
  const auto dv = LayoutElementOf(page, "Video Capture DV");
  const auto start = LayoutElementOf(page, "Video Start Capturing");
  const auto toHD = LayoutElementOf(page, "Video Capture To HD");
  const auto play = LayoutElementOf(page, "Video Capture Play");
  ASSERT_TRUE(captureVideo && dv && start && toHD && play);
  // The label boxes of the first (DV) and fifth (start capturing) rows.
  const auto labelOf = [](int row) { return AtVisit({204, 220 + row * 96 + 21, 388, 42}); };
  const std::string steps = "wait 1000\nkey Right\nkey Right\nkey Right\nkey Return\nwait 1500\n" +
                            ClickOn(captureVideo->box) + "wait 1500\n" + ClickOn(dv->box) + "wait 2500\nshot chosen\n" +
                            "key Space\npoll paused\nkey Space\nwait 1000\nkey R\npoll capturing\n" +
                            ClickOn(start->box) + "poll clicked\n" + ClickOn(play->box) +
                            "wait 1500\nkey R\npoll again\nkey S\npoll stopped\nclose\n";
  EXPECT_EQ(RunVisit("camera", steps), 0);
  ASSERT_TRUE(shots_.count("chosen"));
  const plat::Surface& chosen = shots_["chosen"];
  EXPECT_GT(BrightShare(chosen, labelOf(0)), 0.05) << "the chosen DV camcorder's label";
  EXPECT_NEAR(LastBright(chosen, labelOf(4)), WholeTextEnd(labelOf(4), Word("VIDEO_START_CAPTURE")), 3);
  // Space pauses the tape: the pause notice over the picture.
  EXPECT_NE(Polled("paused", [](const plat::Surface& s) { return NoticePlate(s) > 400; }), nullptr);
  // R captures; Stop takes Start's place, so a click there stops; with the
  // tape playing again, R and S capture and stop.
  const auto capturing = [&](const plat::Surface& s) { return BrightShare(s, toHD->box, 120) > 0.01; };
  const auto idle = [&](const plat::Surface& s) { return BrightShare(s, toHD->box, 120) < 0.001; };
  EXPECT_NE(Polled("capturing", capturing), nullptr);
  EXPECT_NE(Polled("clicked", idle), nullptr);
  EXPECT_NE(Polled("again", capturing), nullptr);
  EXPECT_NE(Polled("stopped", idle), nullptr);
}

}  // namespace
