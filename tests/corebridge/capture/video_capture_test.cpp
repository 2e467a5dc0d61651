// The capture controller on a scripted camcorder engine and grabber: the
// capture page, the inputs, the tape transport, starting and stopping a
// capture, the presets handed to the engine, the disc choices, the capture
// timers and the camcorder engine's events.
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/corebridge/capture/capture_test_support.h"

namespace capture_test {
namespace {

TEST_F(CaptureTest, OpeningThePageWithoutACamcorder) {
  struct Case {
    int vendor;
    int state;
  };
  // Vendor 2 shows the no-device page; the others stay on the capture page
  // with no input until the user picks one.
  for (const Case c : {Case{2, 18}, Case{0, 5}, Case{1, 5}}) {
    SCOPED_TRACE(c.vendor);
    frame_.vendor = c.vendor;
    Dv().cameras = 0;
    ASSERT_EQ(Act("Video Capture Video"), S_OK);
    EXPECT_EQ(Video().m_nView, c.state);
    EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_NONE);
    EXPECT_EQ(Video().m_bHasDV, 0);
    EXPECT_EQ(Video().m_nCaptureMode, 2);
    EXPECT_FALSE(Dv().Saw("27 0"));
    EXPECT_NE(Act("Video Capture DV"), S_OK) << "no camcorder to use";
    ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
    EXPECT_EQ(Video().m_nView, VIDEO_VIEW_FOLDER);
  }
}

TEST_F(CaptureTest, OpeningThePageOpensTheEngineOnceAndReadsTheInputs) {
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  EXPECT_TRUE(Dv().Saw("3 2")) << "opened without the burning library";
  EXPECT_EQ(Dv().sink, system_->DvGrabEventSink());
  EXPECT_EQ(Video().m_bHasDV, 1);
  EXPECT_EQ(Video().m_bTargetReady, 0) << "no disc writer";
  EXPECT_TRUE(std::filesystem::is_directory(Video().m_strCapturedFolder));
  // The grabber: started through the TV controller, profiles listed once.
  EXPECT_EQ(Video().m_bHasWebcam, 1);
  EXPECT_EQ(Video().m_bHasComposite, 1);
  EXPECT_EQ(Video().m_bHasSVideo, 1);
  EXPECT_EQ(Video().m_arrProfiles, (std::vector<std::string>{"DVD SP", "DVD LP", "Burn DVD"}));
  EXPECT_EQ(Video().m_nProfileIndex, 0);
  EXPECT_TRUE(Grabber().SawSlot(3)) << "started as the TV controller starts it";
  EXPECT_TRUE(Grabber().Saw("4 sink"));
  EXPECT_TRUE(Grabber().Saw("45 " + Video().m_strCapturedFolder));
  EXPECT_TRUE(page_.Saw("ShowStatePage 5"));
  // Again: the engine is not opened twice, only asked for its devices.
  ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
  Dv().calls.clear();
  Dv().discWriter = true;
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  EXPECT_TRUE(Dv().Saw("3 2")) << "the return closed it";
  EXPECT_EQ(Video().m_bTargetReady, 1);
  ASSERT_EQ(Act("Video Capture DV"), S_OK);
  Dv().calls.clear();
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  EXPECT_FALSE(Dv().Saw("3 2"));
  EXPECT_TRUE(Dv().Saw("23"));
}

TEST_F(CaptureTest, Vendor2ProfilesLeaveOutBurnProfilesAndTheDvInputIsTaken) {
  frame_.vendor = 2;
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  EXPECT_EQ(Video().m_arrProfiles, (std::vector<std::string>{"DVD SP", "DVD LP"}));
  EXPECT_EQ(Video().m_arrDiscFormats, (std::vector<std::string>{"DVD HQ", "DVD SP", "DVD LP", "SVCD", "VCD"}));
  EXPECT_EQ(Video().m_strDiscFormat, "DVD HQ");
  EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_DV);
  EXPECT_EQ(Video().m_nView, 5);
}

TEST_F(CaptureTest, DvInputPlaysADvCamcorderAndPausesAnMpegOne) {
  struct Case {
    int kind;
    int state;
  };
  for (const Case c : {Case{1, 2}, Case{2, 3}}) {
    SCOPED_TRACE(c.kind);
    Dv().kind = c.kind;
    frame_.calls.clear();
    OpenOnDv();
    EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_DV);
    EXPECT_EQ(Video().m_nDeviceKind, c.kind);
    EXPECT_EQ(Video().m_nPlayState, c.state);
    EXPECT_EQ(Video().m_nTransportState, c.state);
    EXPECT_EQ(Video().m_nDVDeviceState, 2);
    EXPECT_EQ(Dv().selected, 0);
    EXPECT_EQ(Dv().folder, Video().m_strCapturedFolder);
    EXPECT_EQ(Dv().window.left, 100);
    EXPECT_EQ(Dv().window.bottom, 350);
    EXPECT_TRUE(FrameSaw("NotifyPlaybackBar 0"));
    EXPECT_TRUE(Grabber().Saw("22 0")) << "analogue preview off";
    EXPECT_EQ(Act("Video Capture DV"), S_OK) << "already DV";
    ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
    EXPECT_EQ(Video().m_nDVDeviceState, 1);
  }
}

TEST_F(CaptureTest, DvPictureFallsBackToTheDisplayWindowWithoutARegion) {
  page_.hasRegion = false;
  OpenOnDv();
  EXPECT_EQ(Dv().window.right, 800);
  EXPECT_EQ(Dv().window.bottom, 600);
}

TEST_F(CaptureTest, FailedDeviceSelectionLeavesNoInput) {
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  Dv().failing.insert(27);
  EXPECT_NE(Act("Video Capture DV"), S_OK);
  EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_NONE);
  EXPECT_EQ(Video().m_nDVDeviceState, 1);
  EXPECT_EQ(page_.calls.back(), "Redraw 0");
}

TEST_F(CaptureTest, TransportActionsDriveTheTapeAndShowTheirNotice) {
  struct Case {
    const char* action;
    const char* call;
    int state;
    const char* notice;
  };
  const Case cases[] = {
      {"Video Capture Pause", "17", 3, "PAUSE"},   {"Video Capture Play", "16", 2, "PLAY"},
      {"Video Capture Rewind", "19", 4, "REWIND"}, {"Video Capture FastForeward", "20", 5, "FASTFORWARD"},
      {"Video Capture Stop", "18", 1, "STOP"},
      // The playback actions reach the tape on the DV capture page.
      {"Video Play", "16", 2, "PLAY"},             {"Video Pause", "17", 3, "PAUSE"},
  };
  OpenOnDv();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    Dv().calls.clear();
    frame_.calls.clear();
    page_.calls.clear();
    ASSERT_EQ(Act(c.action), S_OK);
    EXPECT_TRUE(Dv().Saw(c.call));
    EXPECT_EQ(Video().m_nTransportState, c.state);
    EXPECT_TRUE(FrameSaw(std::string("ShowOsdStringId ") + c.notice + " @2000"));
    EXPECT_TRUE(FrameSaw("NotifyPlaybackBar 0"));
    EXPECT_TRUE(page_.Saw("Redraw 1"));
  }
  // A refused command changes nothing.
  Dv().failing.insert(16);
  frame_.calls.clear();
  EXPECT_NE(Act("Video Capture Play"), S_OK);
  EXPECT_EQ(Video().m_nTransportState, 3);
  EXPECT_TRUE(frame_.calls.empty());
}

TEST_F(CaptureTest, TransportNeedsTheDvInputOnTheCapturePage) {
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  EXPECT_NE(Act("Video Capture Play"), S_OK);
  EXPECT_FALSE(Dv().Saw("16"));
}

TEST_F(CaptureTest, StopWhileCapturingEndsTheCaptureFirst) {
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  Dv().calls.clear();
  ASSERT_EQ(Act("Video Capture Stop"), S_OK);
  ASSERT_EQ(Dv().calls, (std::vector<std::string>{"15 0", "18"}));
  EXPECT_EQ(Video().m_bCapturing, 0);
}

TEST_F(CaptureTest, PresetRowFollowsTheCamcorderFrameRate) {
  struct Case {
    float rate;
    bool known;
    int height;
    float recorded;
  };
  frame_.vendor = 2;
  // 25 picks the PAL row; 29.97, and a camcorder that cannot tell, NTSC.
  const Case cases[] = {{25.0f, true, 576, 25.0f}, {29.97f, true, 480, 29.97f}, {25.0f, false, 480, 29.97f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    Dv().frameRate = c.rate;
    Dv().rateKnown = c.known;
    Dv().blocks.clear();
    ASSERT_EQ(Act("Video Capture Video"), S_OK);
    ASSERT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_DV);
    ASSERT_EQ(Act("Video Start Capturing"), S_OK);
    ASSERT_EQ(Dv().blocks.size(), 1u);
    const EncoderBlock& block = Dv().blocks.front();
    EXPECT_EQ(block.format, 7);
    EXPECT_EQ(block.videoBitRate, 8000000);
    EXPECT_EQ(block.width, 720);
    EXPECT_EQ(block.height, c.height);
    EXPECT_FLOAT_EQ(block.frameRate, c.recorded);
    EXPECT_STREQ(block.gop, "IBBPBBPBBPBBPBBP");
    EXPECT_EQ(block.capabilities, 1);
    EXPECT_EQ(block.field364, 1);
    EXPECT_EQ(block.field372, 2);
    EXPECT_EQ(block.field376, 1);
    EXPECT_EQ(block.audioBitRate, 224);
    EXPECT_EQ(block.field384, 1);
    EXPECT_EQ(block.field388, 1);
    EXPECT_EQ(block.lowerRate, 4000000);
    EXPECT_EQ(block.upperRate, 8300000);
    EXPECT_TRUE(Dv().Saw("15 1"));
    ASSERT_EQ(Act("Video Stop Capturing"), S_OK);
    ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
  }
}

TEST_F(CaptureTest, WithoutADiscFormatTheEngineKeepsItsOwnRecord) {
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  EXPECT_TRUE(Dv().blocks.empty()) << "a DV file capture";
  EXPECT_TRUE(Dv().Saw("15 1"));
}

TEST_F(CaptureTest, StartingSelectsAndUnmutesTheLineIn) {
  // The microphone selected and the line in muted: the capture would be silent.
  core_->audio->SetRecordingMute(0, 1);
  core_->audio->SelectRecordingSource(1);
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  int selected = 0, mute = 1;
  float volume = 0;
  DWORD type = 0;
  ASSERT_EQ(core_->audio->GetRecordingLineState(0, &selected, &mute, &volume, &type), S_OK);
  EXPECT_EQ(type, 4098u);
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(mute, 0);
  ASSERT_EQ(core_->audio->GetRecordingLineState(1, &selected, &mute, &volume, &type), S_OK);
  EXPECT_EQ(selected, 0);
}

TEST_F(CaptureTest, HardDiskCaptureShowsItsTimeUntilStopped) {
  OpenOnDv();
  Dv().captureSeconds = 3725;
  page_.calls.clear();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  EXPECT_EQ(Video().m_bCapturing, 1);
  EXPECT_EQ(Video().m_nPlayState, 2);
  EXPECT_TRUE(page_.Saw("ShowCaptureToHD 0:0:0"));
  EXPECT_TRUE(PumpFor(30000, [&] { return page_.Saw("ShowCaptureToHD 1:2:5"); })) << "the timer reaches page slot 7";
  EXPECT_NE(Act("Video Start Capturing"), S_OK) << "already capturing";
  frame_.calls.clear();
  ASSERT_EQ(Act("Video Stop Capturing"), S_OK);
  EXPECT_TRUE(Dv().Saw("15 0"));
  EXPECT_EQ(Video().m_bCapturing, 0);
  EXPECT_EQ(Video().m_nPlayState, 2);
  EXPECT_TRUE(FrameSaw("ShowOsdStringId STOP @2000"));
  EXPECT_EQ(Video().m_nHDCaptureTimer, 0u);
  const int ticks = page_.CountStartingWith("ShowCaptureToHD");
  PumpFor(1300);
  EXPECT_EQ(page_.CountStartingWith("ShowCaptureToHD"), ticks) << "timer killed";
}

TEST_F(CaptureTest, StoppingAnMpegCamcorderCapturePausesTheTape) {
  Dv().kind = 2;
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  Dv().calls.clear();
  ASSERT_EQ(Act("Video Stop Capturing"), S_OK);
  EXPECT_EQ(Dv().calls, (std::vector<std::string>{"15 0", "17"}));
  EXPECT_EQ(Video().m_nTransportState, 3);
}

TEST_F(CaptureTest, FailedStartOrStopOnlyRedraws) {
  OpenOnDv();
  Dv().failing.insert(15);
  page_.calls.clear();
  EXPECT_NE(Act("Video Start Capturing"), S_OK);
  EXPECT_EQ(Video().m_bCapturing, 0);
  EXPECT_EQ(page_.calls, (std::vector<std::string>{"Redraw 1"}));
  EXPECT_EQ(Video().m_nHDCaptureTimer, 0u);
  Dv().failing.clear();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  Dv().failing.insert(15);
  frame_.calls.clear();
  EXPECT_NE(Act("Video Stop Capturing"), S_OK);
  EXPECT_FALSE(FrameSaw("ShowOsdStringId STOP @2000"));
}

TEST_F(CaptureTest, DiscCaptureUsesTheDiscRecordAndItsOwnTimer) {
  Dv().discWriter = true;
  OpenOnDv();
  ASSERT_EQ(Act("Video Capturing Disc Type Right"), S_OK);
  ASSERT_EQ(Video().m_nCaptureTarget, 1);
  EXPECT_EQ(Video().m_nCaptureTargetKind, 1);
  Dv().calls.clear();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  EXPECT_TRUE(Dv().Saw("30 0"));
  EXPECT_TRUE(Dv().Saw("31"));
  ASSERT_FALSE(Dv().blocks.empty());
  const EncoderBlock& block = Dv().blocks.back();
  EXPECT_EQ(block.format, 7);
  EXPECT_EQ(std::string(block.filePath), Video().m_strCapturedFolder + "/default.mpg");
  EXPECT_EQ(block.videoBitRate, 8300000);
  EXPECT_EQ(block.height, 480);
  EXPECT_EQ(block.field384, 7);
  EXPECT_FALSE(page_.Saw("ShowCaptureToHD 0:0:0")) << "the disc capture shows its own time";
  Dv().captureSeconds = 61;
  Dv().sink->Notify11(0, 0);
  EXPECT_TRUE(PumpFor(30000, [&] { return page_.Saw("ShowCaptureToDVD 0:1:1"); }));
  ASSERT_EQ(Act("Video Stop Capturing"), S_OK);
  EXPECT_TRUE(Dv().Saw("32"));
  EXPECT_EQ(Video().m_nDiscCaptureTimer, 0u);
}

TEST_F(CaptureTest, DiscTypeAndFormatStepsWrap) {
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  ASSERT_EQ(Video().m_nCaptureTarget, 0);
  page_.calls.clear();
  ASSERT_EQ(Act("Video Capturing Disc Type Left"), S_OK);
  EXPECT_EQ(Video().m_nCaptureTarget, 1) << "left at 0 goes to the last type";
  EXPECT_EQ(page_.calls, (std::vector<std::string>{"Redraw 0"}));
  ASSERT_EQ(Act("Video Capturing Disc Type Right"), S_OK);
  EXPECT_EQ(Video().m_nCaptureTarget, 0);
  EXPECT_EQ(Video().m_nCaptureTargetKind, 2);
  // Other vendors step the recording profiles.
  ASSERT_EQ(Act("Video Capturing Disc Format Left"), S_OK);
  EXPECT_EQ(Video().m_strProfileName, "Burn DVD");
  ASSERT_EQ(Act("Video Capturing Disc Format Right"), S_OK);
  EXPECT_EQ(Video().m_strProfileName, "DVD SP");
}

TEST_F(CaptureTest, Vendor2StepsTheDiscFormats) {
  frame_.vendor = 2;
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  ASSERT_EQ(Act("Video Capturing Disc Format Left"), S_OK);
  EXPECT_EQ(Video().m_strDiscFormat, "VCD");
  ASSERT_EQ(Act("Video Capturing Disc Format Right"), S_OK);
  ASSERT_EQ(Act("Video Capturing Disc Format Right"), S_OK);
  EXPECT_EQ(Video().m_strDiscFormat, "DVD SP");
  EXPECT_EQ(Video().m_nDiscTypeIndex, 1);
}

TEST_F(CaptureTest, ReturnKillsTheTimersAndClosesTheEngine) {
  OpenOnDv();
  Dv().captureSeconds = 2;
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  frame_.calls.clear();
  page_.calls.clear();
  ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
  EXPECT_TRUE(Dv().Saw("4"));
  EXPECT_FALSE(Dv().open);
  EXPECT_EQ(Video().m_bDVOpened, 0);
  EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_NONE);
  EXPECT_EQ(Video().m_nPlayState, 0);
  EXPECT_EQ(Video().m_bCapturing, 0);
  EXPECT_EQ(Video().m_nHDCaptureTimer, 0u);
  EXPECT_EQ(Video().m_nView, VIDEO_VIEW_FOLDER);
  EXPECT_EQ(Video().m_nCaptureMode, 0);
  EXPECT_TRUE(FrameSaw("HideOsd"));
  EXPECT_TRUE(FrameSaw("SetCaptionBarVisible 0 0"));
  EXPECT_TRUE(Grabber().Saw("4 null"));
  PumpFor(1300);
  EXPECT_EQ(page_.CountStartingWith("ShowCapture"), 0) << "no tick into the left page";
}

TEST_F(CaptureTest, ReturnWithoutTheDefaultFolderGoesToTheDeviceSelection) {
  std::filesystem::remove_all(Video().m_strDefaultFolder);
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
  EXPECT_EQ(Video().m_nView, VIDEO_VIEW_DEVICES);
}

TEST_F(CaptureTest, LeavingTheModuleStopsTheCaptureTimersAndTheEngine) {
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  ASSERT_EQ(Act("Home"), S_OK);
  EXPECT_FALSE(Dv().open);
  EXPECT_EQ(Video().m_nHDCaptureTimer, 0u);
  EXPECT_EQ(Video().m_bDVOpened, 0);
}

TEST_F(CaptureTest, AnalogueInputsGoThroughTheGrabber) {
  struct Case {
    const char* action;
    int source;
    const char* select;
  };
  const Case cases[] = {{"Video Capture Webcam", VIDEO_SOURCE_WEBCAM, "123"},
                        {"Video Capture Composite", VIDEO_SOURCE_COMPOSITE, "124"},
                        {"Video Capture SVideo", VIDEO_SOURCE_SVIDEO, "125"}};
  OpenOnDv();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    Grabber().calls.clear();
    Dv().calls.clear();
    ASSERT_EQ(Act(c.action), S_OK);
    EXPECT_TRUE(Dv().Saw("27 -1")) << "the camcorder is released";
    EXPECT_EQ(Video().m_nCaptureSource, c.source);
    EXPECT_EQ(Video().m_nDVDeviceState, 1);
    EXPECT_EQ(Video().m_nPlayState, 2);
    EXPECT_TRUE(Grabber().Saw(c.select));
    EXPECT_TRUE(Grabber().Saw("22 1"));
    EXPECT_TRUE(Grabber().Saw("6 100 50"));
    EXPECT_TRUE(Grabber().Saw("7 400 300"));
    EXPECT_TRUE(Grabber().Saw("8 1"));
  }
  Grabber().calls.clear();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  EXPECT_TRUE(Grabber().Saw("44 DVD SP"));
  EXPECT_TRUE(Grabber().Saw("25 1"));
  EXPECT_EQ(Video().m_bCapturing, 1);
  ASSERT_EQ(Act("Video Stop Capturing"), S_OK);
  EXPECT_TRUE(Grabber().Saw("25 0"));
  EXPECT_EQ(Video().m_bCapturing, 0);
  EXPECT_EQ(Video().m_nPlayState, 2);
}

TEST_F(CaptureTest, FailedAnalogueSelectLeavesNoInput) {
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  Grabber().failing.insert(124);
  EXPECT_NE(Act("Video Capture Composite"), S_OK);
  EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_NONE);
}

TEST_F(CaptureTest, WithoutTheGrabberTheAnalogueInputsAreUnavailable) {
  grabberOn_ = false;
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  EXPECT_EQ(Video().m_bHasWebcam, 0);
  EXPECT_EQ(Video().m_bHasComposite, 0);
  EXPECT_NE(Act("Video Capture Webcam"), S_OK);
  EXPECT_EQ(Video().m_bHasDV, 1) << "the camcorder still works";
}

TEST_F(CaptureTest, TapeEventsSetThePlayStateOnlyWhileNotCapturing) {
  OpenOnDv();
  struct Case {
    int slot;
    int state;
    const char* notice;
  };
  for (const Case c : {Case{1, 3, "PAUSE"}, Case{0, 2, "PLAY"}, Case{3, 4, "REWIND"}, Case{4, 5, "FASTFORWARD"},
                       Case{2, 1, "STOP"}}) {
    SCOPED_TRACE(c.slot);
    frame_.calls.clear();
    switch (c.slot) {
      case 0: Dv().sink->Notify0(0, 0); break;
      case 1: Dv().sink->Notify1(0, 0); break;
      case 2: Dv().sink->Notify2(0, 0); break;
      case 3: Dv().sink->Notify3(0, 0); break;
      default: Dv().sink->Notify4(0, 0); break;
    }
    EXPECT_EQ(Video().m_nTransportState, c.state);
    EXPECT_TRUE(FrameSaw(std::string("ShowOsdStringId ") + c.notice + " @2000"));
  }
  // The same state again shows no notice; while capturing nothing changes.
  frame_.calls.clear();
  Dv().sink->Notify2(0, 0);
  EXPECT_TRUE(frame_.calls.empty());
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  Dv().sink->Notify1(0, 0);
  EXPECT_EQ(Video().m_nTransportState, 2);
}

TEST_F(CaptureTest, TapeEndWhileCapturingStopsTheCapture) {
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  Dv().calls.clear();
  Dv().sink->Notify8(0, 0);
  EXPECT_EQ(Dv().calls, (std::vector<std::string>{"15 0", "18"}));
  EXPECT_EQ(Video().m_bCapturing, 0);
}

TEST_F(CaptureTest, CaptureEndAndNotAviFlag) {
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  Dv().sink->Notify9(0, 0);
  EXPECT_EQ(Video().m_bNotAvi, 1);
  Dv().sink->Notify10(0, 0);
  EXPECT_EQ(Video().m_bNotAvi, 0);
  EXPECT_EQ(Video().m_bCapturing, 0);
  EXPECT_EQ(Video().m_nTransportState, 1);
  EXPECT_EQ(Video().m_nHDCaptureTimer, 0u);
}

TEST_F(CaptureTest, LostCamcorderEndsTheDvInputThroughTheReturn) {
  OpenOnDv();
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  // Unplugged mid-capture: the engine finishes the file, then the device
  // list no longer has the camcorder.
  Dv().cameras = 0;
  Dv().sink->Notify10(0, 0);
  Dv().sink->Notify6(0, 0);
  EXPECT_EQ(Video().m_nHDCaptureTimer, 0u);
  EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_NONE);
  EXPECT_EQ(Video().m_nView, VIDEO_VIEW_FOLDER);
  EXPECT_FALSE(Dv().open);
}

TEST_F(CaptureTest, CamcorderArrivalAndRemovalOffTheDvInput) {
  Dv().cameras = 0;
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  ASSERT_EQ(Video().m_bHasDV, 0);
  Dv().cameras = 1;
  Dv().kind = 2;
  page_.calls.clear();
  Dv().sink->Notify6(0, 0);
  EXPECT_EQ(Video().m_bHasDV, 1);
  EXPECT_EQ(Video().m_nDeviceKind, 2);
  EXPECT_TRUE(page_.Saw("Redraw 1"));
  // Arrival on the DV input selects the first camcorder again.
  ASSERT_EQ(Act("Video Capture DV"), S_OK);
  Dv().calls.clear();
  Dv().sink->Notify5(0, 0);
  EXPECT_TRUE(Dv().Saw("27 0"));
  // Away from the capture page the events change nothing.
  ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
  Video().m_nView = VIDEO_VIEW_RECENT;
  Dv().cameras = 0;
  system_->DvGrabEventSink()->Notify6(0, 0);
  EXPECT_EQ(Video().m_bHasDV, 1);
}

}  // namespace
}  // namespace capture_test
