// The Movie controller on a scripted DVD engine behind the test core object,
// with a recording Movie page and frame: entering with one or two drives,
// the scan tables, chapters past the end, parental requests, speed and
// region events, disc arrival, stream names and cycles, snapshots, and
// what happens when opening or placing the video fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "corebridge/core/hidden_window.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/modules/movie_snapshot_names.h"
#include "engines/picture/imagefx/image_fx.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kDvdBits = 1;
constexpr std::uint32_t kVcdBits = 4;
constexpr std::uint32_t kAudioCdBits = 16;

class FakeMoviePage final : public IMoviePageEvents {
 public:
  explicit FakeMoviePage(CMovieConfig*& movie) : movie_(movie) {}
  int EnterModule() override { return Log("Enter"); }
  int OnRedraw(int flag) override { return Log("Redraw " + std::to_string(flag)); }
  int ShowPage() override {
    shown.push_back(movie_ ? movie_->m_nMoviePageState : -1);
    return Log("Show");
  }
  int LoadPage(const char*) override { return 1; }
  int GetVideoWindow(HWND* owner, RECT* rect) override {
    *owner = nullptr;
    *rect = {10, 20, 650, 380};
    return 1;
  }
  int RefreshDriveList() override { return Log("Refresh"); }
  int ShowPinEntry() override { return Log("PinEntry"); }
  int IsFrameMaximized() override { return 0; }
  int SetScreenSaverActive(int) override { return 1; }

  int Log(const std::string& text) {
    calls.push_back(text);
    return 1;
  }
  std::vector<std::string> calls;
  std::vector<int> shown;  // the page state at each show

 private:
  CMovieConfig*& movie_;
};

class MovieControllerTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    // A DVD's folder: the drive enumerator finds the disc's id in its IFO.
    fs::create_directories(env_.path("dvd/VIDEO_TS"));
    std::ofstream(env_.path("dvd/VIDEO_TS/VIDEO_TS.IFO")) << "DVDVIDEO-VMG";
    volumes_->volumes = {{'C', DRIVE_FIXED, "/", "", "/dev/sda1", "", false},
                         {'D', DRIVE_CDROM, env_.path("dvd"), "DVD", "", "", true}};
    Start();
    core_->dvdPresent = true;
    core_->dvd = MakeComObject<FakeDiscRunner>();
    dvd_ = core_->dvd.Get();
    dvd_->mediaBits["D:\\"] = kDvdBits;
    movie_ = Config().m_pMovie.get();
    system_->SetMoviePageCallback(&page_);
    for (const char* key : {"CHAPTER", "LANGUAGE", "SUBTITLE", "OFF", "TITLEDEFAULT", "MULTITILE", "ANGLE",
                            "CLOSEDCAPTION", "NORMAL", "REVERSE"}) {
      frame_.strings[key] = std::string(key) + "-text";
    }
    frame_.strings["OFF"] = "Off";
    frame_.strings["TITLEDEFAULT"] = "Title Default";
    frame_.strings["CHAPTER"] = "Chapter";
  }

  HRESULT Act(const char* name, std::intptr_t a = 0, std::intptr_t b = 0) { return system_->ExecuteAction(name, a, b); }

  // Enters the module on drive D: and plays.
  void EnterAndPlay() {
    ASSERT_EQ(Act("Movie Entry"), S_OK);
    ASSERT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
    dvd_->log.clear();
    frame_.calls.clear();
    page_.calls.clear();
    page_.shown.clear();
  }

  CMovieConfig* movie_ = nullptr;
  FakeMoviePage page_{movie_};
  FakeDiscRunner* dvd_ = nullptr;
};

TEST_F(MovieControllerTest, EntryWithOneDriveOpensAndPlaysTheDisc) {
  ASSERT_EQ(Act("Movie Entry"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_MOVIE);
  EXPECT_EQ(movie_->m_nDiscType, 4);
  EXPECT_EQ(movie_->m_strDriveRoot, "D:\\");
  EXPECT_EQ(movie_->m_nDriveLetterIndex, 3);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
  EXPECT_TRUE(dvd_->Logged("Open D:\\"));
  EXPECT_TRUE(dvd_->Logged("Place 10 20 640 360"));
  EXPECT_TRUE(dvd_->Logged("Play"));
  EXPECT_TRUE(dvd_->Logged("ShowVideo 1"));
  EXPECT_FALSE(dvd_->Logged("DvdOp49"));  // slot 49 would save a bookmark
  EXPECT_NE(dvd_->sink, nullptr);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId PLAY @2000"));
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));
  EXPECT_EQ(page_.calls.front(), "Enter");
  // A second entry while the module is active changes nothing.
  dvd_->log.clear();
  EXPECT_EQ(Act("Movie Entry"), S_OK);
  EXPECT_TRUE(dvd_->log.empty());
}

TEST_F(MovieControllerTest, EntryWithoutADiscShowsTheNoDiscPage) {
  dvd_->mediaBits.clear();
  EXPECT_EQ(Act("Movie Entry"), S_OK);
  EXPECT_EQ(movie_->m_nMoviePageState, 2);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  EXPECT_FALSE(dvd_->Logged("Open D:\\"));
}

TEST_F(MovieControllerTest, TwoDrivesWithDiscsShowTheDriveSelection) {
  volumes_->volumes.push_back({'E', DRIVE_CDROM, env_.path("dvd"), "VCD", "", "", true});
  dvd_->mediaBits["E:\\"] = kVcdBits;
  EXPECT_EQ(Act("Movie Entry"), S_OK);
  EXPECT_EQ(movie_->m_arrDrives.size(), 2u);
  EXPECT_EQ(movie_->m_nMoviePageState, 0);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  EXPECT_EQ(page_.shown, std::vector<int>{0});
  EXPECT_EQ(page_.calls.back(), "Refresh");
  EXPECT_FALSE(dvd_->Logged("Open D:\\"));
  // Forced, the selected drive plays at once.
  system_->OnHome(0, 0);
  EXPECT_EQ(Act("Movie Entry", 4, 1), S_OK);
  EXPECT_TRUE(dvd_->Logged("Open E:\\"));
  EXPECT_EQ(movie_->m_nDiscType, 1);
}

TEST_F(MovieControllerTest, AFailedPlacementClosesTheDisc) {
  dvd_->placeResult = E_FAIL;
  EXPECT_EQ(Act("Movie Entry"), E_FAIL);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  EXPECT_TRUE(dvd_->Logged("Close"));
  EXPECT_EQ(dvd_->state, kDiscClosed);  // nothing stays open
  EXPECT_EQ(system_->MovieDiscOpen(), 0);
}

TEST_F(MovieControllerTest, FastForwardRunsThroughItsTableAndBackToPlay) {
  EnterAndPlay();
  const std::vector<std::string> expected = {"FastForward 15000", "FastForward 20000", "FastForward 40000",
                                             "FastForward 80000", "FastForward 160000", "FastForward 320000",
                                             "Play"};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    dvd_->log.clear();
    ASSERT_EQ(Act("Movie FastForeward"), S_OK);
    EXPECT_EQ(dvd_->log.front(), expected[i]) << i;
    EXPECT_EQ(movie_->m_nPlayState, i + 1 < expected.size() ? MOVIE_SCANNING : MOVIE_PLAYING) << i;
    EXPECT_EQ(movie_->m_nFastForwardStep, static_cast<int>(i));
  }
  EXPECT_TRUE(frame_.Saw("ShowOsdText FF x1.5 @2000"));
  EXPECT_TRUE(frame_.Saw("ShowOsdText FF x32 @2000"));
  // The eighth press starts again at 1.5x.
  dvd_->log.clear();
  Act("Movie FastForeward");
  EXPECT_EQ(dvd_->log.front(), "FastForward 15000");
  EXPECT_EQ(movie_->m_nFastForwardStep, 0);
}

TEST_F(MovieControllerTest, RewindFollowsTheSpeedTheEngineReportsAndEndsInPlay) {
  EnterAndPlay();
  Act("Movie FastForeward");
  dvd_->log.clear();
  Act("Movie Rewind");
  EXPECT_EQ(dvd_->log.front(), "Rewind 10000");
  EXPECT_EQ(movie_->m_nFastForwardStep, -1);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_SCANNING);  // backward at normal speed is still a scan
  for (int press = 2; press <= 7; ++press) Act("Movie Rewind");
  EXPECT_EQ(movie_->m_nRewindStep, 6);
  dvd_->log.clear();
  Act("Movie Rewind");  // the eighth press
  EXPECT_EQ(dvd_->log.front(), "Play");
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
}

TEST_F(MovieControllerTest, ScanningWhilePausedResumesFirst) {
  EnterAndPlay();
  ASSERT_EQ(Act("Movie Pause"), S_OK);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PAUSED);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId PAUSE @2000"));
  dvd_->log.clear();
  Act("Movie FastForeward");
  EXPECT_EQ(dvd_->log, (std::vector<std::string>{"Play", "FastForward 15000"}));
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_SCANNING);
  // Play Pause from a scan plays; Pause Play pauses it.
  Act("Movie Pause Play");
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PAUSED);
  Act("Movie Play Pause");
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
}

TEST_F(MovieControllerTest, NextChapterShowsTheChapterAndPastTheEndStopsADvd) {
  EnterAndPlay();
  ASSERT_EQ(Act("Movie NextChapter"), S_OK);
  EXPECT_EQ(movie_->m_nChapterNumber, 2);
  EXPECT_TRUE(frame_.Saw("ShowOsdText Chapter 2 @2000"));
  dvd_->nextChapterResult = S_FALSE;  // no further chapter
  ASSERT_EQ(Act("Movie NextChapter"), S_OK);
  EXPECT_EQ(movie_->m_nMoviePageState, 4);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  EXPECT_TRUE(dvd_->Logged("CloseWithRecord"));
}

TEST_F(MovieControllerTest, PastTheLastChapterAVideoCdPlaysOn) {
  dvd_->mediaBits["D:\\"] = kVcdBits;
  EnterAndPlay();
  EXPECT_EQ(movie_->m_nDiscType, 1);
  dvd_->nextChapterResult = S_FALSE;
  Act("Movie NextChapter");
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
  EXPECT_FALSE(dvd_->Logged("Close"));
  EXPECT_TRUE(frame_.Saw("HideOsd"));
}

TEST_F(MovieControllerTest, StopKeepsTheResumePointAndReentryOpensAtIt) {
  EnterAndPlay();
  ASSERT_EQ(Act("Movie Stop"), S_OK);
  EXPECT_TRUE(dvd_->Logged("CloseWithRecord"));
  EXPECT_EQ(movie_->m_nMoviePageState, 4);
  EXPECT_EQ(system_->HasDvdResumeState(3), 1);
  system_->OnHome(0, 0);
  dvd_->resumeApplied = S_OK;
  movie_->m_bSubtitleDefaultPicked = 1;
  EXPECT_EQ(Act("Movie Entry"), S_OK);
  EXPECT_TRUE(dvd_->Logged("OpenResume D:\\"));
  // Resumed at the saved point: only the default the user picked is chosen again.
  EXPECT_EQ(movie_->m_nSubtitleChosen, 0);
  EXPECT_EQ(movie_->m_nAudioChosen, 1);
  // Restart opens from the beginning.
  Act("Movie Stop");
  dvd_->log.clear();
  Act("Movie Restart");
  EXPECT_TRUE(dvd_->Logged("Open D:\\"));
  EXPECT_EQ(movie_->m_nSubtitleChosen, 1);
}

TEST_F(MovieControllerTest, ParentalRequestWithAPinWaitsForIt) {
  EnterAndPlay();
  movie_->m_strParentalPassword = "1234";
  dvd_->sink->OnParentalLevelChange(6);
  EXPECT_EQ(movie_->m_nRequestedLevel, 5);
  EXPECT_EQ(movie_->m_bLevelRequestPending, 1);
  EXPECT_EQ(movie_->m_nMoviePageState, 13);
  EXPECT_TRUE(dvd_->Logged("ShowVideo 0"));
  EXPECT_FALSE(dvd_->Logged("AcceptLevel 65281"));
  // Without a PIN the request is granted at once.
  movie_->m_strParentalPassword.clear();
  dvd_->sink->OnParentalLevelChange(8);
  EXPECT_TRUE(dvd_->Logged("AcceptLevel 65281"));
}

TEST_F(MovieControllerTest, ParentalSettingsAreRefusedForMakers) {
  EnterAndPlay();
  movie_->m_nMoviePageState = 6;
  frame_.vendor = 2;
  EXPECT_EQ(Act("Movie ParentalControl Setting"), S_OK);
  EXPECT_EQ(movie_->m_nMoviePageState, 6);
  frame_.vendor = 0;
  EXPECT_EQ(Act("Movie ParentalControl Setting"), S_OK);
  EXPECT_EQ(movie_->m_nMoviePageState, 10);  // no PIN yet
  EXPECT_EQ(Act("Movie ParentalControl Setting"), E_FAIL);
}

// After a wrong PIN the error page's OK goes back to the page that asked,
// so the user can try again.
TEST_F(MovieControllerTest, WrongPinOkReturnsToThePageThatAskedForIt) {
  struct Case {
    int origin;
    const char* pin;
    int page;
  };
  for (const Case& c : {Case{10, "", 10}, Case{10, "1234", 11}, Case{12, "1234", 12}, Case{13, "1234", 13}}) {
    movie_->m_strParentalPassword = c.pin;
    movie_->m_nPinPageOrigin = c.origin;
    movie_->m_nMoviePageState = 14;
    page_.shown.clear();
    EXPECT_EQ(Act("Movie PassWordError OK"), S_OK);
    EXPECT_EQ(movie_->m_nMoviePageState, c.page) << c.origin;
    EXPECT_EQ(page_.shown, std::vector<int>{c.page}) << c.origin;
  }
}

// The playback bar's times come from the engine while a disc plays, as
// they do for a Video file; with nothing open there are none.
TEST_F(MovieControllerTest, PlaybackTimesOfThePlayingDisc) {
  dvd_->timesKnown = true;
  dvd_->currentTime = 0 | (2u << 8) | (5u << 16);  // 0:02:05
  dvd_->totalTime = 1 | (30u << 8);                // 1:30:00
  double elapsed = -1, total = -1;
  EXPECT_EQ(system_->GetPlaybackTimes(&elapsed, &total), E_FAIL);
  EnterAndPlay();
  ASSERT_EQ(system_->GetPlaybackTimes(&elapsed, &total), S_OK);
  EXPECT_EQ(elapsed, 125.0);
  EXPECT_EQ(total, 5400.0);
}

TEST_F(MovieControllerTest, SpeedEventsSetPlayOnlyAtNormalSpeedAndNotWhilePaused) {
  EnterAndPlay();
  Act("Movie Pause");
  dvd_->sink->OnRateChange(10000);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PAUSED);
  Act("Movie Pause");
  Act("Movie FastForeward");
  dvd_->sink->OnRateChange(20000);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_SCANNING);
  dvd_->sink->OnRateChange(10000);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
}

TEST_F(MovieControllerTest, ArrivalOfADvdPlaysItAndOfAnAudioCdOnlyMarksMusic) {
  dvd_->mediaBits.clear();
  Act("Movie Entry");
  ASSERT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  dvd_->mediaBits["D:\\"] = kAudioCdBits;
  system_->MovieOnDeviceChange(0x8000, 3);
  EXPECT_EQ(Config().m_pMusic->m_bAudioCdArrived, 1);
  EXPECT_EQ(Config().m_pMusic->m_nCurrentDrive, 3) << "the Music entry loads the CD of D:";
  EXPECT_FALSE(dvd_->Logged("Open D:\\"));
  dvd_->mediaBits["D:\\"] = kDvdBits;
  system_->MovieOnDeviceChange(0x8000, 3);
  EXPECT_TRUE(dvd_->Logged("Open D:\\"));
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
  // Removal of the playing disc closes it and clears the disc type.
  system_->MovieOnDeviceChange(0x8004, 3);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  EXPECT_EQ(movie_->m_nDiscType, 0);
  EXPECT_EQ(movie_->m_nMoviePageState, 4);
}

TEST_F(MovieControllerTest, HomeArrivalOfADvdEntersOnThatDrive) {
  volumes_->volumes.push_back({'F', DRIVE_CDROM, env_.path("dvd"), "DVD2", "", "", true});
  dvd_->mediaBits["F:\\"] = kDvdBits;
  system_->OnDeviceChangeOnUiThread(0x8000, 3);  // D: arrived, F: holds a DVD too
  EXPECT_EQ(Config().m_nActiveModule, MODULE_MOVIE);
  EXPECT_EQ(movie_->m_strDriveRoot, "D:\\");
  EXPECT_TRUE(dvd_->Logged("Open D:\\"));
  EXPECT_FALSE(dvd_->Logged("Open F:\\"));
}

TEST_F(MovieControllerTest, SameAudioNamesAreNumbered) {
  EnterAndPlay();
  dvd_->audioNames = {"English", "English", "French"};
  dvd_->sink->OnAudioChange(3);
  dvd_->audioStream = 1;
  dvd_->sink->OnTitleChange(1);
  dvd_->sink->OnChapterStart(2);
  EXPECT_EQ(movie_->m_arrAudioNames, (std::vector<std::string>{"English [1]", "English [2]", "French"}));
  EXPECT_EQ(movie_->m_strAudioText, "English [2]");
  // "Movie Language" steps to the next stream and shows its name.
  ASSERT_EQ(Act("Movie Language"), S_OK);
  EXPECT_TRUE(dvd_->Logged("SelectAudio 2"));
  EXPECT_TRUE(frame_.Saw("ShowOsdText LANGUAGE-text : French @2000"));
  Act("Movie Language");
  EXPECT_TRUE(dvd_->Logged("SelectAudio 0"));  // after the last comes the first
}

TEST_F(MovieControllerTest, SubtitleCycleTurnsOnStepsAndTurnsOff) {
  EnterAndPlay();
  dvd_->subtitleNames = {"English", ""};
  dvd_->sink->OnSubtitleChange(2);
  struct Step {
    int index, on;
    std::string osd;
  } steps[] = {{0, 1, "SUBTITLE-text : English"}, {1, 1, "SUBTITLE-text : MULTITILE-text [1]"}, {0, 0, "SUBTITLE-text : Off"}};
  dvd_->subtitleOn = 0;
  for (const auto& s : steps) {
    frame_.calls.clear();
    ASSERT_EQ(Act("Movie Subtitle"), S_OK);
    EXPECT_EQ(dvd_->subtitleIndex, s.index);
    EXPECT_EQ(dvd_->subtitleOn, s.on);
    EXPECT_TRUE(frame_.Saw("ShowOsdText " + s.osd + " @2000")) << s.osd;
  }
  EXPECT_EQ(movie_->m_nSubtitleChosen, 1);
}

TEST_F(MovieControllerTest, ClosedCaptionGoesOffReverseNormalOff) {
  EnterAndPlay();
  const std::vector<std::string> modes = {"ClosedCaption 65537", "ClosedCaption 1", "ClosedCaption 0"};
  movie_->m_bClosedCaptionOn = 1;
  for (const auto& mode : modes) {
    dvd_->log.clear();
    Act("Movie ClosedCaption");
    EXPECT_EQ(dvd_->log, std::vector<std::string>{mode});
  }
  EXPECT_TRUE(frame_.Saw("ShowOsdText CLOSEDCAPTION-text : REVERSE-text @2000"));
  EXPECT_EQ(movie_->m_bClosedCaptionOn, 1);
}

TEST_F(MovieControllerTest, RegionEventOfferedToAnAdministratorAndApplied) {
  EnterAndPlay();
  dvd_->driveRegion = 1;
  dvd_->changesLeft = 5;
  dvd_->sink->OnInvalidRegion(0xFD);  // region 2 only
  EXPECT_EQ(movie_->m_nMoviePageState, 19);
  EXPECT_EQ(movie_->m_nDiscRegion, 2);
  EXPECT_EQ(movie_->m_nSystemRegion, 1);
  EXPECT_EQ(movie_->m_nRegionChangesLeft, 5);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_STOPPED);
  EXPECT_EQ(movie_->m_bRegionEventSeen, 1);
  dvd_->log.clear();
  ASSERT_EQ(Act("Movie Apply RegionCode"), S_OK);
  EXPECT_TRUE(dvd_->Logged("RegionCode 2 253"));
  EXPECT_TRUE(dvd_->Logged("SetDriveRegion D:\\ 2"));
  EXPECT_TRUE(dvd_->Logged("Play"));
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
  EXPECT_EQ(movie_->m_nMoviePageState, 3);
}

TEST_F(MovieControllerTest, ADriveThatRefusesTheRegionDoesNotPlayTheDisc) {
  EnterAndPlay();
  dvd_->sink->OnInvalidRegion(0xFD);
  dvd_->setDriveRegionResult = E_FAIL;
  dvd_->log.clear();
  Act("Movie Apply RegionCode");
  EXPECT_FALSE(dvd_->Logged("Play"));
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  EXPECT_EQ(movie_->m_nMoviePageState, 4);
}

TEST_F(MovieControllerTest, RegionEventWithAReadOnlyMachineHiveShowsNoChangePossible) {
  EnterAndPlay();
  // A hive that cannot be saved refuses every change, as one without write rights does.
  fs::create_directories(env_.path("registry/machine.reg.lock"));
  dvd_->sink->OnInvalidRegion(0xFD);
  EXPECT_EQ(movie_->m_nMoviePageState, 18);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  EXPECT_TRUE(dvd_->Logged("Close"));
}

TEST_F(MovieControllerTest, SnapshotsAreNumberedAndConvertedBesideEachOther) {
  auto fx = MakeComObject<CImageFx>();
  ASSERT_EQ(fx->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(core_->imageFx.ReleaseAndGetAddressOf())), S_OK);
  movie_->m_strSnapshotFolder = env_.path("shots");
  EnterAndPlay();
  ASSERT_EQ(Act("Movie Snapshot"), S_OK);
  EXPECT_TRUE(dvd_->Logged("Capture " + env_.path("shots") + "/DVD_000.BMP"));
  EXPECT_TRUE(fs::exists(env_.path("shots/DVD_000.jpg")));
  EXPECT_FALSE(fs::exists(env_.path("shots/DVD_000.BMP")));
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId SNAPSHOT @2000"));
  ASSERT_EQ(Act("Movie Snapshot"), S_OK);
  EXPECT_TRUE(fs::exists(env_.path("shots/DVD_000(1).jpg")));
  // A capture that fails shows nothing.
  frame_.calls.clear();
  dvd_->captureResult = E_FAIL;
  Act("Movie Snapshot");
  EXPECT_FALSE(frame_.Saw("ShowOsdStringId SNAPSHOT @2000"));
}

TEST_F(MovieControllerTest, SnapshotNumbersEndInsteadOfLooping) {
  const fs::path folder = env_.path("full");
  fs::create_directories(folder);
  for (const char* name : {"DVD_000.BMP", "DVD_001.BMP", "DVD_002.BMP", "DVD_002.jpg", "DVD_002(1).jpg"}) {
    std::ofstream(folder / name);
  }
  EXPECT_EQ(movie_snapshot::FreeBitmapName(folder, "DVD", 3), folder / "DVD_003.BMP");
  EXPECT_EQ(movie_snapshot::FreeBitmapName(folder, "DVD", 2), std::nullopt);
  EXPECT_EQ(movie_snapshot::FreeJpegName(folder / "DVD_002.BMP", 2), folder / "DVD_002(2).jpg");
  EXPECT_EQ(movie_snapshot::FreeJpegName(folder / "DVD_002.BMP", 1), std::nullopt);
  EXPECT_EQ(movie_snapshot::FreeBitmapName(folder, "SVCD"), folder / "SVCD_000.BMP");
}

TEST_F(MovieControllerTest, EjectOpensThenClosesTheTrayAndForgetsTheMenus) {
  EnterAndPlay();
  movie_->m_bHasRootMenu = 1;
  movie_->m_bHasTitleMenu = 1;
  auto drives = system_->CoreService<IDriveEnumerator>();
  int door = -1;
  ASSERT_EQ(Act("Movie Eject"), S_OK);
  drives->GetDoorState(3, &door);
  EXPECT_EQ(door, kDoorOpen);
  EXPECT_EQ(movie_->m_bHasRootMenu, 0);
  EXPECT_EQ(movie_->m_bHasTitleMenu, 0);
  Act("Movie Eject");
  drives->GetDoorState(3, &door);
  EXPECT_EQ(door, kDoorClosed);
}

TEST_F(MovieControllerTest, VideoDesktopSavesAndRestoresTheDesktop) {
  EnterAndPlay();
  ASSERT_EQ(Act("Movie VideoDesktop"), S_OK);
  EXPECT_EQ(movie_->m_bVideoDesktopOn, 1);
  EXPECT_TRUE(dvd_->Logged("FullScreen"));
  EXPECT_FALSE(desktop_->log.empty());
  // Leaving the module ends the video desktop before the disc closes.
  dvd_->log.clear();
  system_->OnHome(0, 0);
  EXPECT_EQ(movie_->m_bVideoDesktopOn, 0);
  ASSERT_GE(dvd_->log.size(), 2u);
  EXPECT_EQ(dvd_->log[0], "RestoreWindow");
  EXPECT_TRUE(dvd_->Logged("CloseWithRecord"));
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
}

TEST_F(MovieControllerTest, SpeakersAndAudioProfilesFollowTheEngine) {
  system_->QueryDvdAudioOutputCaps();  // stereo and multichannel output
  EXPECT_EQ(movie_->m_arrSpeakers, (std::vector<std::uint32_t>{1, 3, 4, 5}));
  movie_->m_nAudioSpeakerIdx = 0;
  ASSERT_EQ(Act("Movie Update Audio Profiles"), S_OK);
  EXPECT_EQ(movie_->m_arrAudioProfiles, std::vector<std::uint32_t>{1});  // the stereo downmix
  movie_->m_nAudioChannelExpanderIdx = 0;
  Act("Movie AudioOutput Right");  // four speakers: no profile of the engine's, the "none" profile
  EXPECT_EQ(movie_->m_nAudioSpeakerIdx, 1);
  EXPECT_EQ(movie_->m_arrAudioProfiles, std::vector<std::uint32_t>{9});
  EXPECT_EQ(movie_->m_nAudioChannelExpanderIdx, 0);
  Act("Movie AudioOutput Right");
  Act("Movie AudioOutput Right");  // headphones: the expander falls back
  EXPECT_EQ(movie_->m_nAudioSpeakerIdx, 3);
  EXPECT_EQ(movie_->m_nAudioChannelExpanderIdx, 2);
  Act("Movie AudioOutput Right");  // wraps to two speakers
  EXPECT_EQ(movie_->m_nAudioSpeakerIdx, 0);
  EnterAndPlay();
  ASSERT_EQ(system_->MovieApplyVideoSettings(), 0);
  EXPECT_TRUE(dvd_->Logged("Speaker 8"));
  EXPECT_TRUE(dvd_->Logged("Op74 2"));
  EXPECT_FALSE(dvd_->Logged("DvdOp60"));  // the engine's slot 60 is another operation
}

TEST_F(MovieControllerTest, ParentalBlockClosesWithTheResumePointAndAsksForTheLevel) {
  EnterAndPlay();
  dvd_->titleLevel = 8;
  dvd_->sink->OnParentalLevelTooLow();
  EXPECT_EQ(movie_->m_nRequestedLevel, 7);
  EXPECT_EQ(movie_->m_bLevelRequestPending, 1);
  EXPECT_EQ(movie_->m_nMoviePageState, 17);
  EXPECT_TRUE(dvd_->Logged("CloseWithRecord"));
}

TEST_F(MovieControllerTest, LanguageListsStartWithOffAndTheTitleDefault) {
  EnterAndPlay();
  ASSERT_GE(movie_->m_listSubtitleProfiles.size(), 2u);
  EXPECT_EQ(movie_->m_listSubtitleProfiles.front(), "Off");
  EXPECT_EQ(*std::next(movie_->m_listSubtitleProfiles.begin()), "Title Default");
  EXPECT_EQ(movie_->m_listLanguageProfiles.front(), "Title Default");
  // The default subtitle is chosen by the title's language at a chapter start.
  dvd_->subtitleNames = {"German", "English"};
  dvd_->sink->OnSubtitleChange(2);
  dvd_->sink->OnValidOperationsChange(0);
  movie_->m_nSubtitleChosen = 0;
  movie_->m_nSubtitleProfileIdx = 1;  // the title's default
  dvd_->sink->OnTitleChange(1);
  dvd_->sink->OnChapterStart(3);
  EXPECT_TRUE(dvd_->Logged("SelectSubtitle 1"));
  EXPECT_EQ(movie_->m_strSubtitleText, "English");
}

// The deferred DVD question waits for the media framework's start, begun on
// a worker when the timer fires, instead of starting it on the UI thread.
class MediaStartTest : public MovieControllerTest {
 protected:
  void SetUp() override {
    startMedia_ = [this](std::function<void()> done) {
      ++starts_;
      done_ = std::move(done);
      return std::jthread([] {});
    };
    MovieControllerTest::SetUp();
  }
  int starts_ = 0;
  std::function<void()> done_;
};

TEST_F(MediaStartTest, TheDvdQuestionComesWhenTheWorkerHasStartedTheMediaFramework) {
  const HWND hidden = system_->HiddenWindow()->Handle();
  SendMessage(hidden, WM_TIMER, kDvdAudioCapsTimer, 0);
  ASSERT_EQ(starts_, 1);
  Pump();
  EXPECT_TRUE(movie_->m_arrSpeakers.empty());  // not asked before the start is over
  done_();  // the worker's notice, posted to the hidden window
  Pump();
  EXPECT_EQ(movie_->m_arrSpeakers, (std::vector<std::uint32_t>{1, 3, 4, 5}));
}

}  // namespace
}  // namespace bridge_test
