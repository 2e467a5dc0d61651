#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "corebridge/core/registry_key.h"
#include "corebridge/core/video_config.h"
#include "platform/registry/registry.h"
#include "platform/sys/power_status.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

LPARAM Size(int width, int height) { return static_cast<LPARAM>((height << 16) | width); }

class SystemMessagesTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    power_->status_.ACLineStatus = AC_LINE_ONLINE;
    power_->status_.BatteryFlag = BATTERY_FLAG_HIGH;
    SetPowerSource(power_);
  }
  void TearDown() override {
    BridgeTest::TearDown();
    SetPowerSource(nullptr);
  }
  HRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam = 0) {
    return system_->OnSystemMessage(nullptr, msg, wParam, lParam);
  }

  std::shared_ptr<FakePowerSource> power_ = std::make_shared<FakePowerSource>();
};

TEST_F(SystemMessagesTest, DisplayChangeSetsRatioAndScale) {
  Start();
  struct Case {
    int width, height, displayMode, ratio;
    float scale;
  } cases[] = {
      {1280, 1024, 1, 1, 1.0f}, {1280, 1024, 2, 1, 0.75f}, {1280, 768, 1, 2, 1.3333334f},
      {1280, 768, 2, 2, 1.0f},  {1500, 1000, 1, 1, 1.0f},   {0, 0, 1, 1, 1.0f},
  };
  for (const auto& c : cases) {
    Config().m_nDisplayMode = c.displayMode;
    EXPECT_EQ(Send(WM_DISPLAYCHANGE, 32, Size(c.width, c.height)), E_NOTIMPL);
    EXPECT_EQ(Config().m_nScreenRatio, c.ratio) << c.width << "x" << c.height;
    EXPECT_FLOAT_EQ(Config().m_fScaleFactor, c.scale) << c.width << "x" << c.height;
  }
  EXPECT_EQ(home_.redraws.size(), std::size(cases));
  // The Movie page refreshes through its controller first.
  Config().m_nActiveModule = MODULE_MOVIE;
  Send(WM_DISPLAYCHANGE, 32, Size(800, 600));
  EXPECT_TRUE(Stepped("MoviePageRefresh"));
}

TEST_F(SystemMessagesTest, ScreenRatioModeSwitch) {
  Start();
  Config().m_nScreenRatio = 1;
  Config().m_nDisplayMode = 1;
  Config().m_nWideScreenMode = 2;
  system_->SetScreenRatioMode(0);
  EXPECT_EQ(Config().m_nDisplayMode, 2);
  EXPECT_EQ(Config().m_nWideScreenMode, 1);
  EXPECT_FLOAT_EQ(Config().m_fScaleFactor, 0.75f);
  system_->SetScreenRatioMode(0);
  EXPECT_EQ(Config().m_nDisplayMode, 1);
  Config().m_nDisplayMode = 2;
  frame_.vendor = 1;
  system_->SetScreenRatioMode(1);
  EXPECT_EQ(Config().m_nDisplayMode, 2);  // vendor 1 keeps its wide mode
  frame_.vendor = 0;
  system_->SetScreenRatioMode(1);
  EXPECT_EQ(Config().m_nDisplayMode, 1);
}

TEST_F(SystemMessagesTest, SuspendQueryIsRefusedOnlyByVendorFour) {
  Start();
  for (int vendor = 0; vendor <= 4; ++vendor) {
    Config().m_nVendorId = vendor;
    EXPECT_EQ(Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), vendor == 4 ? BROADCAST_QUERY_DENY : E_NOTIMPL) << vendor;
  }
}

TEST(SleepHold, VendorFourHoldsSleepWhileStarted) {
  for (int vendor : {3, 4}) {
    settings_test::TempEnvironment env;
    auto inhibitor = std::make_shared<FakeSleepInhibitor>();
    CUISystemServices services;
    services.sleepInhibitor = inhibitor;
    services.createCoreObject = [](IUnknown** out) {
      *out = MakeComObject<TestCoreObject>().Detach()->NonDelegatingUnknown();
      return S_OK;
    };
    auto system = MakeComObject<CUISystem>(std::move(services));
    system->Config()->m_nVendorId = vendor;
    ASSERT_EQ(system->Start(), S_OK);
    EXPECT_EQ(inhibitor->Held(), vendor == 4);
    system->Stop();
    EXPECT_FALSE(inhibitor->Held());
  }
}

TEST_F(SystemMessagesTest, SuspendStopsPlaybackOfTheActiveModule) {
  Start();
  struct Case {
    int module;
    int moviePlay, musicState, ripping, photoState, videoPage;
    std::vector<std::string> steps;
  } cases[] = {
      {MODULE_MOVIE, 4, 2, 0, 0, 0, {"OnMovieStop"}},
      {MODULE_MOVIE, 2, 2, 0, 0, 0, {}},
      {MODULE_MUSIC, 0, 0, 0, 0, 0, {"OnMusicStop"}},
      {MODULE_MUSIC, 0, 2, 1, 0, 0, {"OnMusicStopRipping", "CleanupIncompleteRip"}},
      {MODULE_PHOTO, 0, 2, 0, 1, 0, {"PhotoStopSlideShow"}},
      {MODULE_PHOTO, 0, 2, 0, 2, 0, {}},
      // Video: the playing page (4), whatever the play state.
      {MODULE_VIDEO, 0, 2, 0, 0, 4, {"VideoExitPlayback"}},
      {MODULE_VIDEO, 0, 2, 0, 0, 3, {}},
      {MODULE_TV, 4, 0, 0, 1, 4, {}},
  };
  for (const auto& c : cases) {
    steps_.clear();
    Config().m_nActiveModule = c.module;
    auto& s = system_->States();
    s.nMoviePlayState = c.moviePlay;
    s.nMusicState = c.musicState;
    s.bMusicRipping = c.ripping;
    s.nPhotoState = c.photoState;
    s.nVideoPlayState = 2;  // normal playback
    Config().m_pVideo->m_nView = c.videoPage;
    EXPECT_EQ(Send(WM_POWERBROADCAST, PBT_APMSUSPEND), E_NOTIMPL);
    EXPECT_EQ(steps_, c.steps) << c.module;
  }
}

TEST_F(SystemMessagesTest, BatteryTimersFollowTheBatteryFlags) {
  Config().m_bPowerSave = 1;
  Start();
  CHiddenWindow& window = *system_->HiddenWindow();
  scheme_->throttle = 5;
  power_->status_.ACLineStatus = AC_LINE_OFFLINE;
  Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_EQ(Config().m_bOnMains, 0);
  EXPECT_EQ(window.m_nBatteryTimer, kBatteryTimer);
  EXPECT_EQ(scheme_->writes, std::vector<BYTE>{3});  // battery throttle
  EXPECT_EQ(Config().m_nSavedPowerScheme, 5);

  // Low but charging: timer 12 keeps running.
  power_->status_.BatteryFlag = BATTERY_FLAG_LOW | BATTERY_FLAG_CHARGING;
  system_->OnBatteryTimer(kBatteryTimer);
  EXPECT_EQ(window.m_nBatteryTimer, kBatteryTimer);
  // Low: timer 14 replaces it.
  power_->status_.BatteryFlag = BATTERY_FLAG_LOW;
  system_->OnBatteryTimer(kBatteryTimer);
  EXPECT_EQ(window.m_nBatteryTimer, kCriticalBatteryTimer);
  // Low is not critical: timer 14 waits.
  Config().m_nActiveModule = MODULE_VIDEO;
  Config().m_pVideo->m_nView = 4;  // playing
  system_->OnBatteryTimer(kCriticalBatteryTimer);
  EXPECT_FALSE(Stepped("VideoExitPlayback"));
  // Critical: playback stops and timer 14 ends.
  power_->status_.BatteryFlag = BATTERY_FLAG_CRITICAL;
  system_->OnBatteryTimer(kCriticalBatteryTimer);
  EXPECT_TRUE(Stepped("VideoExitPlayback"));
  EXPECT_EQ(window.m_nBatteryTimer, 0u);

  // Back on mains the saved scheme returns.
  power_->status_.ACLineStatus = AC_LINE_ONLINE;
  Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_EQ(Config().m_bOnMains, 1);
  EXPECT_EQ(scheme_->writes, (std::vector<BYTE>{3, 5}));
  // An unknown line status changes nothing.
  power_->status_.ACLineStatus = AC_LINE_UNKNOWN;
  Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_EQ(Config().m_bOnMains, 1);
}

TEST_F(SystemMessagesTest, StopRestoresASwitchedProcessorScheme) {
  Config().m_bPowerSave = 1;
  Start();
  scheme_->throttle = 9;
  power_->status_.ACLineStatus = AC_LINE_OFFLINE;
  Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_EQ(scheme_->throttle, 3);
  system_->Stop();
  EXPECT_EQ(scheme_->throttle, 9);
  EXPECT_EQ(scheme_->writes, (std::vector<BYTE>{3, 9}));
}

TEST_F(SystemMessagesTest, MoviePowerStepsHalveAndRestoreTheBrightness) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CConfig::kRegistryKey));
  key.SetDword("LCDControl", 1);
  key.Close();
  Config().m_bPowerSave = 1;
  auto remote = std::make_unique<RemoteWindow>();
  remote->brightness = 8;
  Start();
  ASSERT_EQ(system_->LcdBrightnessLevel(), 8);
  core_->dvdPresent = true;
  Config().m_nActiveModule = MODULE_MOVIE;
  system_->States().nMoviePlayState = 4;
  system_->MoviePowerStep(true);
  Pump();
  EXPECT_EQ(remote->brightness, 3);  // ((8 + 1) >> 1) - 1
  EXPECT_EQ(system_->BrightnessOffset(), 5);
  EXPECT_TRUE(Stepped("MovieEngineReapplyOnPowerApply"));
  system_->MoviePowerStep(false);
  Pump();
  EXPECT_EQ(remote->brightness, 8);
  // Without the window the brightness cannot be read: its step is skipped.
  remote.reset();
  system_->MoviePowerStep(true);
  EXPECT_EQ(system_->BrightnessOffset(), 5);
  // Nothing playing: no step at all.
  steps_.clear();
  system_->States().nMoviePlayState = 1;
  EXPECT_EQ(system_->MoviePowerStep(true), 0);
  EXPECT_TRUE(steps_.empty());
}

TEST_F(SystemMessagesTest, PowerChangesAreIgnoredWithoutPowerSaving) {
  Start();
  power_->status_.ACLineStatus = AC_LINE_OFFLINE;
  Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_EQ(Config().m_bOnMains, 1);
  EXPECT_TRUE(scheme_->writes.empty());
}

TEST_F(SystemMessagesTest, SessionLockAndUnlock) {
  Start();
  Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  EXPECT_EQ(Config().m_bSuppress, 1);
  EXPECT_EQ(Config().m_bLocked, 1);
  Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);  // a second lock while locked
  EXPECT_EQ(Config().m_bSuppress, 0);
  Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_EQ(Config().m_bSuppress, 0);  // unlocking ends the suppression
  EXPECT_EQ(Config().m_bLocked, 0);
  EXPECT_TRUE(frame_.Saw("HideOsd"));
  // Lock stops playback as suspend does.
  Config().m_nActiveModule = MODULE_MOVIE;
  system_->States().nMoviePlayState = 4;
  steps_.clear();
  Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  EXPECT_TRUE(Stepped("OnMovieStop"));
}

TEST_F(SystemMessagesTest, DeviceChangesCarryTheirDriveThroughTheQueue) {
  Start();
  Config().m_nActiveModule = MODULE_MUSIC;
  DEV_BROADCAST_VOLUME d;
  d.dbcv_unitmask = 1u << 3;  // D:
  DEV_BROADCAST_VOLUME e;
  e.dbcv_unitmask = (1u << 4) | (1u << 7);  // E: is the lowest unit
  DEV_BROADCAST_VOLUME none;
  none.dbcv_unitmask = 0;
  DEV_BROADCAST_HDR other;
  other.dbch_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&d)), E_NOTIMPL);
  Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&e));
  Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&none));
  Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&other));
  Send(WM_DEVICECHANGE, 0x0007, reinterpret_cast<LPARAM>(&d));  // not an arrival or removal
  Pump();
  EXPECT_EQ(steps_, (std::vector<std::string>{"MusicOnDeviceChange 32768 3", "MusicOnDeviceChange 32772 4",
                                              "MusicOnDeviceChange 7 0"}));
  EXPECT_EQ(Config().m_nPendingDeviceEvent, 0);
}

// The platform's sources post to the notice hub; the started object hears
// them through its hidden window, and stops hearing them at Stop.
TEST_F(SystemMessagesTest, PlatformNoticesReachTheStartedObject) {
  Start();
  Config().m_nActiveModule = MODULE_MUSIC;
  SystemEvents().PostSession(WTS_SESSION_LOCK);
  SystemEvents().PostVolumeChange(DBT_DEVICEARRIVAL, 1u << 3);
  Pump();
  Pump();
  EXPECT_EQ(Config().m_bLocked, 1);
  EXPECT_TRUE(Stepped("MusicOnDeviceChange 32768 3"));
  ASSERT_EQ(system_->Stop(), S_OK);
  steps_.clear();
  SystemEvents().PostVolumeChange(DBT_DEVICEARRIVAL, 1u << 3);
  Pump();
  EXPECT_TRUE(steps_.empty());
}

TEST_F(SystemMessagesTest, DeviceArrivalRebuildsTheDriveLists) {
  frame_.flags = 8;
  Start();
  EXPECT_TRUE(Config().m_vecOpticalDrives.empty());
  volumes_->volumes.push_back({'E', DRIVE_REMOVABLE, env_.dir(), "STICK", "/dev/sdb1", {}, false});
  core_->drives->Refresh();
  DEV_BROADCAST_VOLUME e;
  e.dbcv_unitmask = 1u << 4;
  Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&e));
  Pump();
  ASSERT_EQ(Config().m_vecOpticalDrives.size(), 1u);
  EXPECT_EQ(Config().m_vecOpticalDrives[0].nKind, DRIVE_KIND_REMOVABLE);
  ASSERT_EQ(Config().m_vecDriveList2.size(), 1u);
}

// A recording file of the size limit, made sparse so it costs no disk.
void MakeSparseFile(const std::string& path, off_t size) {
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

TEST_F(SystemMessagesTest, RecordingMonitorStartsTheNextFileAtTheSizeLimit) {
  Start();
  ULONGLONG available = 0;
  GetDiskFreeSpaceExA(env_.dir().c_str(), &available, nullptr, nullptr);
  if (available < 209'715'200) GTEST_SKIP() << "less than 200 MiB free in the temporary folder";
  const std::string file = env_.path("radio.mp3");
  Config().m_nActiveModule = MODULE_RADIO;
  auto& s = system_->States();
  s.strRadioRecordFile = file;

  MakeSparseFile(file, 4'141'875'199);
  s.nRadioRecordState = 2;
  system_->OnRecordMonitorTimer();
  EXPECT_TRUE(steps_.empty());

  MakeSparseFile(file, 4'141'875'200);
  system_->OnRecordMonitorTimer();
  EXPECT_EQ(steps_, (std::vector<std::string>{"RadioStopRecording", "OnRadioRecord"}));

  steps_.clear();
  s.nRadioRecordState = 3;
  system_->OnRecordMonitorTimer();
  EXPECT_EQ(steps_, (std::vector<std::string>{"RadioStopRecording", "RadioPrepareRecording"}));

  steps_.clear();
  s.nRadioRecordState = 4;  // not recording
  system_->OnRecordMonitorTimer();
  EXPECT_TRUE(steps_.empty());
}

TEST_F(SystemMessagesTest, CdTimerValidatesTheTrackAddress) {
  volumes_->volumes = {{'C', DRIVE_FIXED, "/", {}, {}, {}, false},
                       {'D', DRIVE_CDROM, {}, {}, "/dev/sr0", {}, false},
                       {'R', DRIVE_CDROM, {}, {}, "/dev/sr1", {}, false}};
  Start();
  Config().m_nActiveModule = MODULE_MUSIC;
  auto& s = system_->States();
  s.nMusicSourceView = 19;
  const std::pair<const char*, const char*> cases[] = {
      {"cdtrack:1/Track01", "MusicLoadAudioCd R:"},  // the second optical drive
      {"cdtrack:0/Track01", "MusicLoadAudioCd D:"},
      {"cdtrack:x/Track01", nullptr},   // not a number
      {"cdtrack:/Track01", nullptr},    // no number
      {"cdtrack:2/Track01", nullptr},   // no third optical drive
      {"cdtrack:99/Track01", nullptr},
      {"short", nullptr},
  };
  for (const auto& [url, expected] : cases) {
    steps_.clear();
    s.vecMusicTracks = {url};
    system_->OnCdDriveTimer();
    if (expected) {
      EXPECT_EQ(steps_, std::vector<std::string>{expected}) << url;
    } else {
      EXPECT_TRUE(steps_.empty()) << url;
    }
  }
}

TEST_F(SystemMessagesTest, RemotePagingPostsPageKeysToTheFocus) {
  Start();
  WNDCLASS wc{};
  static std::vector<WPARAM> keys;
  keys.clear();
  wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_KEYDOWN) keys.push_back(wp);
    return DefWindowProc(h, msg, wp, lp);
  };
  wc.lpszClassName = "PagingTarget";
  RegisterClass(&wc);
  HWND target = CreateWindowEx(0, "PagingTarget", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
  SetFocus(target);
  HWND hidden = system_->HiddenWindow()->Handle();
  for (auto [w, l] : {std::pair<WPARAM, LPARAM>{5, 1}, {6, 1}, {5, 0}, {7, 1}}) PostMessage(hidden, WM_REMOTE_KEY, w, l);
  Pump();
  EXPECT_EQ(keys, (std::vector<WPARAM>{VK_PRIOR, VK_NEXT}));
  DestroyWindow(target);
}

}  // namespace
}  // namespace bridge_test
