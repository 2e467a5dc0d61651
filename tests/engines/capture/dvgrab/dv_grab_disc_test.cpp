// The burning-library holder and capture straight to disc, against the test
// library built beside these tests.
#include <stdlib.h>

#include "tests/engines/capture/dvgrab/dv_grab_fixture.h"

namespace dvtest {
namespace {

const std::string kOk = FAKE_SCORCH_DIR "/scorch_ok";
const std::string kNoCreate = FAKE_SCORCH_DIR "/scorch_nocreate";

class PLAT_COM_LOCAL DvGrabDiscTest : public DvGrabTest {
 protected:
  void TearDown() override {
    for (const char* n : {"FAKE_SCORCH_DRIVES", "FAKE_SCORCH_CAPS", "FAKE_SCORCH_KIND", "FAKE_SCORCH_INUSE"}) unsetenv(n);
    DvGrabTest::TearDown();
  }
  CDvGrab& WithLibrary() {
    CDvGrab& g = Make();
    EXPECT_EQ(g.Open(0, kDvOpenLoadBurner, kOk.c_str()), S_OK);
    EXPECT_EQ(g.SelectDevice(0), S_OK);
    device->Clear();
    return g;
  }
};

TEST_F(DvGrabDiscTest, LibraryCodes) {
  struct Row {
    std::string folder;
    int code;
  };
  const Row rows[] = {
      {env.dir() + "/nowhere", static_cast<int>(0xE0FF0034)},
      {env.dir(), static_cast<int>(0xE0FF0031)},  // no library there
      {kNoCreate, static_cast<int>(0xE0FF0033)},
      {kOk, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.folder);
    dvgrab::BurnerLibrary holder;
    EXPECT_EQ(holder.Load(r.folder), r.code);
    EXPECT_EQ(holder.loaded(), r.code == 0);
    EXPECT_EQ(holder.Load(r.folder), r.code);  // the same library again is kept
    EXPECT_EQ(holder.Unload(), 0);

    // The engine's Open fails with nothing left half open, and tries again.
    engine.Reset();
    CDvGrab& g = Make();
    EXPECT_EQ(g.Open(0, kDvOpenLoadBurner, r.folder.c_str()), r.code == 0 ? S_OK : E_FAIL);
    EXPECT_EQ(g.HasDiscWriter(), r.code == 0 ? S_OK : E_FAIL);
    if (r.code != 0) {
      EXPECT_EQ(g.SelectDrive(0), E_FAIL);
      EXPECT_EQ(g.StartCaptureToDisc(), E_FAIL);
      EXPECT_EQ(g.Open(0, 2, nullptr), S_OK);
    }
  }
  // Flags without 4 never load it.
  engine.Reset();
  CDvGrab& g = Make();
  EXPECT_EQ(g.Open(0, 2, kOk.c_str()), S_OK);
  EXPECT_EQ(g.HasDiscWriter(), E_FAIL);
}

TEST_F(DvGrabDiscTest, WriterDrives) {
  setenv("FAKE_SCORCH_DRIVES", "2", 1);
  CDvGrab& g = WithLibrary();
  EXPECT_EQ(g.HasDiscWriter(), S_OK);
  EXPECT_EQ(g.drive_names(), (std::vector<std::string>{"Writer 0", "Writer 1"}));
  EXPECT_EQ(g.SelectDrive(1), S_OK);
  EXPECT_EQ(g.SelectDrive(2), E_FAIL);
  EXPECT_EQ(g.SelectDrive(-1), E_FAIL);
  engine.Reset();
  setenv("FAKE_SCORCH_DRIVES", "0", 1);
  EXPECT_EQ(WithLibrary().HasDiscWriter(), E_FAIL);
}

TEST_F(DvGrabDiscTest, DiscAcceptance) {
  struct Row {
    const char* caps;
    const char* kind;
    const char* inUse;
    bool accepted;
  };
  const Row rows[] = {
      {"0x80", "0x8", "0", true},   {"0x80", "0x1", "0", false},  {"0x200", "0x2", "0", true},
      {"0x200", "0x1", "0", false}, {"0x100", "0x1", "0", true},  {"0x100", "0x2", "0", false},
      {"0x400", "0x2", "0", true},  {"0x400", "0x4", "0", false}, {"0x400", "0x1", "1", false},
      {"0x0", "0x8", "0", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.caps) + " " + r.kind + " " + r.inUse);
    setenv("FAKE_SCORCH_CAPS", r.caps, 1);
    setenv("FAKE_SCORCH_KIND", r.kind, 1);
    setenv("FAKE_SCORCH_INUSE", r.inUse, 1);
    engine.Reset();
    CDvGrab& g = WithLibrary();
    EXPECT_EQ(g.StartCaptureToDisc(), r.accepted ? S_OK : E_FAIL);
    EXPECT_EQ(g.state() == dvstate::kCapturing, r.accepted);
  }
}

TEST_F(DvGrabDiscTest, CaptureToDiscWithTheGeneratedMenu) {
  CDvGrab& g = WithLibrary();
  ASSERT_EQ(g.StartCaptureToDisc(), S_OK);
  const std::string program = env.dir() + "/program/";
  EXPECT_EQ(device->disc->calls,
            (std::vector<std::string>{"Initialise()", "SetWriter(4242)", "SetChapterMode(0)",
                                      "SetProgramFolder(" + env.dir() + "/program)", "SetFinalise(0)",
                                      "SetMenuTemplate()", "SetDiscTitle(My Video)", "SetEventSink(sink)", "Start()"}));
  EXPECT_EQ(sink.calls, (std::vector<int>{11}));
  EXPECT_EQ(g.transport(), dvtransport::kCapturing);
  const DvMenuTemplate& m = device->disc->menu;
  EXPECT_STREQ(m.fontFace, "Arial");
  EXPECT_EQ(m.fontHeight, -24);
  EXPECT_EQ(m.fontWeight, 400);
  EXPECT_STREQ(m.title, "Kestrovia");
  EXPECT_EQ(m.menuKind, 6);
  EXPECT_EQ(m.nextArea.left, 570);
  EXPECT_EQ(m.nextArea.bottom, 430);
  EXPECT_EQ(m.buttons[2].left, 390);
  EXPECT_EQ(m.buttons[2].right, 470);
  EXPECT_EQ(m.buttons[0].top, 375);
  EXPECT_EQ(m.buttons[0].bottom, 455);
  ASSERT_EQ(device->disc->titles.size(), 6u);
  const DvMenuTitle& first = device->disc->titles[0];
  EXPECT_EQ(first.picture.left, 126);  // (173 - 120) / 2 + 100
  EXPECT_EQ(first.picture.bottom, 130);
  EXPECT_EQ(first.picture.right - first.picture.left, 120);
  EXPECT_EQ(first.picture.bottom - first.picture.top, 80);
  EXPECT_EQ(first.caption.bottom - first.caption.top, 20);
  EXPECT_STREQ(first.text, "Title 1");
  EXPECT_EQ(device->disc->titles[4].picture.left, 126 + 173);
  EXPECT_EQ(device->disc->titles[4].picture.bottom, 130 + 190);
  EXPECT_STREQ(device->disc->titles[5].text, "Title 6");
  EXPECT_EQ(std::string(m.silentAudio), program + "silent.wav");
  EXPECT_EQ(std::string(m.background), program + "Menus/business/Background/BKGD1.jpg");
  EXPECT_EQ(std::string(m.frame), program + "Menus/business/Frame/FM2.bmp");
  EXPECT_EQ(std::string(m.nextButton), program + "Menus/business/PCBG/Next1.bmp");
  EXPECT_EQ(std::string(m.highlight), program + "Menus/business/Highlight/HL1.bmp");
  EXPECT_EQ(m.colours[0], 0xFF00FFu);
  EXPECT_EQ(m.colours[3], 0xFFFFFFu);

  device->disc->Clear();
  device->Clear();
  EXPECT_EQ(g.StopCaptureToDisc(), S_OK);
  EXPECT_EQ(device->Commands(), (std::vector<std::string>{"FinishStreamCapture()"}));
  EXPECT_EQ(device->disc->calls, (std::vector<std::string>{"Stop()"}));
  EXPECT_EQ(g.state(), dvstate::kCaptureEnded);
  EXPECT_EQ(g.StopCaptureToDisc(), E_FAIL);

  device->Fire(dvevent::kDiscCaptureFinished);
  Pump();
  EXPECT_EQ(device->disc->calls.back(), "Uninitialise()");
  EXPECT_EQ(sink.calls, (std::vector<int>{11, 12}));
}

TEST_F(DvGrabDiscTest, FailedDiscStartStopsTheTape) {
  CDvGrab& g = WithLibrary();
  device->disc->results["Start"] = E_FAIL;
  EXPECT_EQ(g.StartCaptureToDisc(), E_FAIL);
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
  EXPECT_NE(g.state(), dvstate::kCapturing);
  EXPECT_TRUE(device->disc->Called("Uninitialise()"));
}

}  // namespace
}  // namespace dvtest
