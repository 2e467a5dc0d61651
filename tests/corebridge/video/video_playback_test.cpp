// The Video controller's playback on the real DVD engine and playback
// library: the play path and its undoing, trick play, previous and next,
// refused files, snapshots and the playback times.
#include <fcntl.h>
#include <unistd.h>

#include "tests/corebridge/video/video_test_support.h"

namespace video_test {
namespace {

// A picture component whose every operation fails once a picture is loaded:
// the save of a snapshot's JPEG copy cannot succeed.
class FailingPicture : public IImageFx {
 public:
  using Interfaces = plat::InterfaceList<IImageFx>;
  HRESULT Initialize() override { return S_OK; }
  HRESULT Uninitialize() override { return S_OK; }
  HRESULT SetOption(std::int32_t) override { return E_FAIL; }
  HRESULT SetViewParams(std::int32_t, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT GetViewParams(std::int32_t*) override { return E_FAIL; }
  HRESULT SetRotation(std::int32_t) override { return E_FAIL; }
  HRESULT EnableEffects(std::int32_t) override { return E_FAIL; }
  HRESULT LoadImage(const char*) override { return S_OK; }
  HRESULT CloseImage() override { return S_OK; }
  HRESULT GetImageSize(std::int32_t*, std::int32_t*) override { return E_FAIL; }
  HRESULT FitImage(RECT*, float, std::int32_t*) override { return E_FAIL; }
  HRESULT Save() override { return E_FAIL; }
  HRESULT SaveAs(const char*) override { return E_FAIL; }
  HRESULT ResizeAndSave(std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT ResizeAndSaveAs(const char*, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT MakeBitmapInfo(BITMAPINFOHEADER*, std::int32_t, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT RenderToDib(HBITMAP*, BITMAPINFO*, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT Paint(HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT PaintFromRect(HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                        std::int32_t, std::int32_t) override {
    return E_FAIL;
  }
  HRESULT PaintPart(HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, std::int32_t) override {
    return E_FAIL;
  }
  HRESULT DrawFile(const char*, HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT FileExists(const char*) override { return E_FAIL; }
  HRESULT FolderExists(const char*) override { return E_FAIL; }
  HRESULT IsSupportedImage(const char*) override { return E_FAIL; }
  HRESULT RotateFile(const char*, std::int32_t) override { return E_FAIL; }
  HRESULT Rotate(std::int32_t) override { return E_FAIL; }
  HRESULT ScalePercent(std::int32_t) override { return E_FAIL; }
  HRESULT ResizeToFit(std::int32_t, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT SetResolution(std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT ScaleBy(float, float, std::int32_t) override { return E_FAIL; }
  HRESULT ScaleChannelsAt(std::int32_t, std::int32_t, float, float, float) override { return E_FAIL; }
  HRESULT ScaleChannelsInRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t, float, float, float) override {
    return E_FAIL;
  }
  HRESULT ReduceRedEye(std::int32_t, std::int32_t, std::int32_t, std::int32_t, float) override { return E_FAIL; }
  HRESULT ScreenToImage(POINT*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return E_FAIL; }
  HRESULT CanPaint() override { return E_FAIL; }
  HRESULT FitWithMinimum(RECT*, RECT*, float) override { return E_FAIL; }
};

using PlaybackTest = VideoTest;

TEST_F(PlaybackTest, PlayEntersThePlayingPageAndStopUndoesEverything) {
  ASSERT_EQ(Act("Video Entry"), S_OK);
  EXPECT_EQ(page_.calls.front(), "EnterModule");
  EXPECT_EQ(Config().m_nActiveModule, MODULE_VIDEO);
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));
  EXPECT_EQ(Video().m_speedLadder.front(), -320000);
  EXPECT_EQ(Video().m_speedLadder[7], 0);

  Video().m_folderFiles = {Clip("alpha.mpg"), Clip("bravo.avi"), Clip("charlie.wmv")};
  Video().m_nFolderIndex = 1;
  ASSERT_EQ(Act("Video My Videos"), S_OK);
  EXPECT_EQ(Video().m_nView, 2);
  EXPECT_EQ(Video().m_nPreviousView, 2);

  page_.calls.clear();
  ASSERT_EQ(Act("Video Play"), S_OK);
  EXPECT_EQ(EngineState(), kDiscPlaying);
  EXPECT_EQ(Video().m_nView, 4);
  EXPECT_EQ(page_.calls, std::vector<std::string>{"ShowStatePage 4"});
  EXPECT_EQ(Video().m_strOpenFile, Clip("bravo.avi"));
  EXPECT_EQ(Video().m_nPlayState, 2);
  EXPECT_EQ(Video().m_nTransportState, 2);
  EXPECT_EQ(Video().m_nSizeTimer, 18443);
  EXPECT_EQ(Video().m_nSizeTimerCount, 4);
  EXPECT_TRUE(frame_.powerHeld);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId PLAY @2000"));
  // The engine's picture window sits in the page's window.
  EXPECT_NE(GetWindow(page_.window, GW_CHILD), nullptr);
  PumpFor(30000, [&] { return page_.sizeTicks >= 2; });
  EXPECT_GE(page_.sizeTicks, 2);

  // Pause and play again through the toggles.
  ASSERT_EQ(Act("Video Play Pause"), S_OK);
  EXPECT_EQ(EngineState(), kDiscPaused);
  EXPECT_EQ(Video().m_nPlayState, 3);
  ASSERT_EQ(Act("Video Pause Play"), S_OK);
  EXPECT_EQ(EngineState(), kDiscPlaying);
  EXPECT_EQ(Video().m_nTransportState, 2);

  page_.calls.clear();
  ASSERT_EQ(Act("Video Stop"), S_OK);
  EXPECT_EQ(EngineState(), kDiscClosed);
  EXPECT_EQ(Video().m_nView, 2);
  EXPECT_EQ(page_.calls, std::vector<std::string>{"ShowStatePage 2"});
  EXPECT_EQ(Video().m_nPlayState, 1);
  EXPECT_EQ(Video().m_nTransportState, 1);
  EXPECT_TRUE(Video().m_strOpenFile.empty());
  EXPECT_FALSE(frame_.powerHeld);
  EXPECT_TRUE(frame_.Saw("HideOsd"));
  EXPECT_EQ(GetWindow(page_.window, GW_CHILD), nullptr);
  // Nothing plays: a second stop is refused.
  EXPECT_EQ(Act("Video Stop"), E_FAIL);
}

TEST_F(PlaybackTest, TrickPlayClimbsTheLadderAndComesBackToNormal) {
  EnterWithFiles({"bravo.avi"});
  ASSERT_EQ(Act("Video Play"), S_OK);
  struct Step {
    const char* action;
    int speed;  // the engine's speed afterwards
    int playState;
  };
  const Step steps[] = {
      {"Video FastForeward", 15000, 5},   {"Video FastForeward", 20000, 5},  {"Video FastForeward", 40000, 5},
      {"Video FastForeward", 80000, 5},   {"Video FastForeward", 160000, 5}, {"Video FastForeward", 320000, 5},
      {"Video FastForeward", 10000, 2},   {"Video Rewind", -10000, 4},       {"Video Rewind", -15000, 4},
      {"Video Rewind", -20000, 4},        {"Video Rewind", -40000, 4},       {"Video Rewind", -80000, 4},
      {"Video Rewind", -160000, 4},       {"Video Rewind", -320000, 4},      {"Video Rewind", 10000, 2},
  };
  for (const Step& step : steps) {
    frame_.calls.clear();
    ASSERT_EQ(Act(step.action), S_OK) << step.action << " to " << step.speed;
    EXPECT_EQ(EngineSpeed(), step.speed) << step.action;
    EXPECT_EQ(Video().m_nPlayState, step.playState) << step.speed;
    EXPECT_TRUE(frame_.Saw("ShowOsdText " + system_->SpeedText(step.speed) + " @2000")) << step.speed;
  }
  // The engine prohibits fast forward (bit 8): refused until it allows it.
  system_->DvdEventSink()->OnValidOperationsChange(0x100);
  EXPECT_EQ(Video().m_bKeyAnswer4, 0);
  EXPECT_EQ(Act("Video FastForeward"), E_FAIL);
  EXPECT_EQ(EngineSpeed(), 10000);
  EXPECT_EQ(Act("Video Rewind"), S_OK);
  system_->DvdEventSink()->OnValidOperationsChange(0);
  EXPECT_EQ(Act("Video FastForeward"), S_OK);
  ASSERT_EQ(Act("Video Stop"), S_OK);
}

TEST_F(PlaybackTest, PreviousAndNextStopAtTheEndsExceptVendorFourInBrowseLists) {
  struct Case {
    int vendor;
    int state;  // the page playback started from
    std::vector<std::string> files;
    int start;
    const char* action;
    int expected;  // index played next; -1: playback is left
  } cases[] = {
      {0, 10, {"alpha.mpg", "bravo.avi"}, 0, "Video Next Video", 1},
      {0, 10, {"alpha.mpg", "bravo.avi"}, 1, "Video Next Video", -1},
      {4, 10, {"alpha.mpg", "bravo.avi"}, 1, "Video Next Video", 0},
      {0, 10, {"alpha.mpg", "bravo.avi"}, 0, "Video Previous Video", -1},
      {4, 10, {"alpha.mpg", "bravo.avi"}, 0, "Video Previous Video", 1},
      {4, 10, {"alpha.mpg"}, 0, "Video Next Video", -1},
      {4, 15, {"alpha.mpg", "bravo.avi"}, 1, "Video Next Video", 0},
      {4, 3, {"alpha.mpg", "bravo.avi"}, 1, "Video Next Video", -1},
      {0, 3, {"alpha.mpg", "bravo.avi"}, 1, "Video Previous Video", 0},
  };
  ASSERT_EQ(Act("Video Entry"), S_OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " vendor " + std::to_string(c.vendor) + " state " +
                 std::to_string(c.state) + " from " + std::to_string(c.start));
    frame_.vendor = c.vendor;
    std::vector<std::string> list;
    for (const auto& f : c.files) list.push_back(Clip(f));
    Video().m_folderFiles.clear();
    Video().m_recentFiles.clear();
    Video().m_arrEditList.clear();
    if (c.state == 3) {
      Video().m_recentFiles = list;
      Video().m_nRecentIndex = c.start;
    } else if (c.state == 15) {
      Video().m_arrEditList = list;
      Video().m_bEditList = 1;
    } else {
      Video().m_folderFiles = list;
      Video().m_nFolderIndex = c.start;
    }
    Video().m_nView = Video().m_nPreviousView = c.state;
    if (c.state == 15) Video().m_nEditIndex = c.start;
    ASSERT_EQ(Act("Video Play"), S_OK);
    ASSERT_EQ(Video().m_strOpenFile, list[static_cast<std::size_t>(c.start)]);
    frame_.calls.clear();
    const HRESULT hr = Act(c.action);
    if (c.expected < 0) {
      EXPECT_EQ(hr, E_FAIL);
      EXPECT_EQ(Video().m_nView, c.state);
      EXPECT_TRUE(Video().m_strOpenFile.empty());
      EXPECT_EQ(EngineState(), kDiscClosed);
    } else {
      EXPECT_EQ(hr, S_OK);
      EXPECT_EQ(Video().m_nView, 4);
      EXPECT_EQ(Video().m_strOpenFile, list[static_cast<std::size_t>(c.expected)]);
      const bool next = std::string(c.action) == "Video Next Video";
      EXPECT_TRUE(frame_.Saw(std::string("ShowOsdStringId ") + (next ? "VIDEO_NEXT" : "VIDEO_PREVIOUS") + " @2000"));
      ASSERT_EQ(Act("Video Stop"), S_OK);
    }
  }
}

// An action that arrives while playback is being stopped (the stop waits
// for the picture to settle, dispatching messages) is refused.
CUISystem* g_system = nullptr;
HRESULT g_nested = S_OK;
void PlayFromTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_nested = g_system->ExecuteAction("Video Play", 0, 0);
}

TEST_F(PlaybackTest, ActionsDuringAStopAreRefused) {
  EnterWithFiles({"alpha.mpg"});
  ASSERT_EQ(Act("Video Play"), S_OK);
  g_system = system_.Get();
  g_nested = S_OK;
  SetTimer(nullptr, 0, 20, &PlayFromTimer);
  ASSERT_EQ(Act("Video Stop"), S_OK);
  EXPECT_EQ(g_nested, E_FAIL);
  EXPECT_EQ(EngineState(), kDiscClosed);
  EXPECT_EQ(Video().m_nView, 2);
  EXPECT_FALSE(frame_.powerHeld);
  g_system = nullptr;
}

TEST_F(PlaybackTest, VendorOneHearsThePlaybackModes) {
  RemoteWindow remote;
  frame_.vendor = 1;
  EnterWithFiles({"alpha.mpg", "bravo.avi"});
  for (const char* action : {"Video Play", "Video Pause", "Video FastForeward", "Video Rewind", "Video Next Video",
                             "Video Previous Video", "Video Stop"}) {
    ASSERT_EQ(Act(action), S_OK) << action;
  }
  Pump();
  std::vector<WPARAM> modes;
  for (const auto& m : remote.messages) {
    if (m.msg == WM_REMOTE_MODE && m.lParam == 10) modes.push_back(m.wParam);
  }
  // Next and previous stop the file first (3) before they play the other one.
  EXPECT_EQ(modes, (std::vector<WPARAM>{1, 2, 4, 5, 3, 7, 3, 6, 3}));
  // Other vendors hear nothing.
  remote.messages.clear();
  frame_.vendor = 0;
  ASSERT_EQ(Act("Video Play"), S_OK);
  ASSERT_EQ(Act("Video Stop"), S_OK);
  Pump();
  EXPECT_TRUE(remote.messages.empty());
}

TEST_F(PlaybackTest, TheEndOfTheClipReturnsToThePageBeforePlayback) {
  EnterWithFiles({"alpha.mpg"});
  Video().m_nPreviousView = Video().m_nView = 10;
  ASSERT_EQ(Act("Video Play"), S_OK);
  frame_.calls.clear();
  page_.calls.clear();
  ASSERT_TRUE(PumpFor(10000, [&] { return Video().m_nView != 4; })) << "the clip did not end";
  EXPECT_EQ(Video().m_nView, 10);
  EXPECT_EQ(page_.calls, std::vector<std::string>{"ShowStatePage 10"});
  EXPECT_TRUE(frame_.Saw("HideOsd"));
  EXPECT_FALSE(frame_.powerHeld);
  EXPECT_EQ(Video().m_nPlayState, 1);
  EXPECT_EQ(EngineState(), kDiscClosed);
  EXPECT_TRUE(Video().m_strOpenFile.empty());
}

TEST_F(PlaybackTest, FilesThatCannotPlayChangeNothing) {
  struct Case {
    const char* file;
    bool engine;
  } cases[] = {{"truncated.mpg", true}, {"text.avi", true}, {"missing.avi", true}, {"alpha.mpg", false}};
  ASSERT_EQ(Act("Video Entry"), S_OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    engineAvailable_ = c.engine;
    Video().m_folderFiles = {Clip(c.file)};
    Video().m_nFolderIndex = 0;
    ASSERT_EQ(Act("Video My Videos"), S_OK);
    page_.calls.clear();
    EXPECT_EQ(Act("Video Play"), E_FAIL);
    EXPECT_EQ(Video().m_nView, 2);
    EXPECT_TRUE(page_.calls.empty());
    EXPECT_FALSE(frame_.powerHeld);
    EXPECT_TRUE(Video().m_strOpenFile.empty());
    EXPECT_EQ(Video().m_bOpening, 0);
    if (c.engine) {
      EXPECT_LE(EngineState(), kDiscClosed);
    }
    EXPECT_EQ(GetWindow(page_.window, GW_CHILD), nullptr);
  }
  // Nothing is open: the playback actions are refused.
  for (const char* action : {"Video Pause", "Video FastForeward", "Video Rewind", "Video Take Snapshot"}) {
    EXPECT_EQ(Act(action), E_FAIL) << action;
  }
  double first = 0, second = 0;
  EXPECT_EQ(system_->GetPlaybackTimes(&first, &second), E_FAIL);
}

TEST_F(PlaybackTest, SnapshotsAreNumberedAndTheBitmapStaysWhenTheCopyFails) {
  EnterWithFiles({"alpha.mpg"});
  ASSERT_EQ(Act("Video Play"), S_OK);
  ASSERT_EQ(Act("Video Pause"), S_OK);
  // A snapshot is of the decoded picture: wait for the first one.
  EXPECT_TRUE(PumpFor(30000, [&] { return !Video().m_bOpening && engine_ && engine_->CanCaptureFrame() == 1; }));
  const fs::path folder = Video().m_strSnapshotFolder;
  ASSERT_EQ(Act("Video Take Snapshot"), S_OK);
  ASSERT_EQ(Act("Video Take Snapshot"), S_OK);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId SNAPSHOT @2000"));
  for (const char* name : {"alpha(1).JPG", "alpha(2).JPG"}) {
    ASSERT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_EQ(test_support::ReadFile((folder / name).string()).substr(0, 2), "\xFF\xD8") << name;
  }
  EXPECT_FALSE(fs::exists(folder / "alpha(1).bmp"));
  EXPECT_FALSE(fs::exists(folder / "alpha(2).bmp"));

  // The JPEG copy fails: the bitmap is the snapshot and stays.
  pictureOverride_ = MakeComObject<FailingPicture>();
  ASSERT_EQ(Act("Video Take Snapshot"), S_OK);
  ASSERT_TRUE(fs::exists(folder / "alpha(1).bmp"));
  EXPECT_EQ(test_support::ReadFile((folder / "alpha(1).bmp").string()).substr(0, 2), "BM");
  EXPECT_FALSE(fs::exists(folder / "alpha(3).JPG"));
  ASSERT_EQ(Act("Video Stop"), S_OK);
}

TEST_F(PlaybackTest, PlaybackTimesAreElapsedAndTotalSeconds) {
  EnterWithFiles({"charlie.wmv"});
  ASSERT_EQ(Act("Video Play"), S_OK);
  double elapsed = -1, total = -1;
  PumpFor(30000, [&] { return system_->GetPlaybackTimes(&elapsed, &total) == S_OK && elapsed >= 1.0; });
  ASSERT_EQ(system_->GetPlaybackTimes(&elapsed, &total), S_OK);
  EXPECT_GE(elapsed, 1.0);
  EXPECT_NEAR(total, 3.0, 1.0);
  double later = -1;
  PumpFor(30000, [&] { return system_->GetPlaybackTimes(&later, &total) == S_OK && later > elapsed; });
  ASSERT_EQ(system_->GetPlaybackTimes(&later, &total), S_OK);
  EXPECT_GT(later, elapsed);
  ASSERT_EQ(Act("Video Stop"), S_OK);
}

}  // namespace
}  // namespace video_test
