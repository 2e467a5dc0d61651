// The player and WMA ripper event sinks of the UI-system object, against a
// recording frame and Music page, a stub player and a fake ripper served by
// the core object.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "interfaces/cdtowma.h"
#include "tests/corebridge/bridge/bridge_test_support.h"
#include "tests/corebridge/core/stub_wm_player.h"

namespace {

using namespace plat;
using bridge_test::Pump;

using Log = std::vector<std::string>;

bool Has(const Log& log, const std::string& entry) {
  for (const auto& e : log)
    if (e == entry) return true;
  return false;
}

// The frame's services; the calls the sinks make are logged.
class SinkFrame final : public IFrameServices {
 public:
  explicit SinkFrame(Log& log) : log_(log) {}
  int LookupString(const std::string&, std::string&) override { return 0; }
  int SetDisplayRect(const RECT&) override { return 1; }
  int SetOsdOption(int) override { return 1; }
  int NotifyCaptionBar(int) override { return 1; }
  int SetCaptionBarVisible(int s, int a) override { return Add("SetCaptionBarVisible", s, a); }
  int NotifyPlaybackBar(int v) override {
    Add("NotifyPlaybackBar", v);
    return playbackBarResult;
  }
  int SetPlaybackBarVisible(int s, int a) override { return Add("SetPlaybackBarVisible", s, a); }
  int SetBarsTopmost(int) override { return 1; }
  int HideCursor() override { return 1; }
  int SuspendPowerSaving() override { return 1; }
  int RestorePowerSaving() override { return 1; }
  int PostRemoteMode(int) override { return 1; }
  int KeepDisplayOn(int) override { return 1; }
  int EnableScreenSaver(int) override { return 1; }
  int EnableMonitorPowerOff(int e) override { return Add("EnableMonitorPowerOff", e); }
  HWND GetFrameWnd() override { return nullptr; }
  int ShowOsdTextW(const std::u16string& text) override { return Add("ShowOsdTextW " + plat::Utf16ToUtf8(text)); }
  int ShowOsdText(const std::string& text) override { return Add("ShowOsdText " + text); }
  int ShowOsdStringId(const std::string& key) override { return Add("ShowOsdStringId " + key, osd); }
  int SetOsdOption2(int ms) override {
    osd = ms;
    return 1;
  }
  int GetOsdOption() override { return osd; }
  int HideOsd() override { return Add("HideOsd"); }
  int SetOsdOwner(std::intptr_t) override { return 1; }
  int GetVendorId() override { return vendor; }
  int GetAppFlags() override { return 0; }
  int MinimizeFrame() override { return 1; }
  int QuitApplication() override { return 1; }

  int vendor = 0;
  int osd = 2000;
  int playbackBarResult = 7;

 private:
  int Add(const std::string& name, int a = -1, int b = -1) {
    std::string entry = name;
    if (a != -1) entry += " " + std::to_string(a);
    if (b != -1) entry += " " + std::to_string(b);
    log_.push_back(entry);
    return 1;
  }
  Log& log_;
};

class SinkMusicPage final : public IMusicPageEvents {
 public:
  explicit SinkMusicPage(Log& log) : log_(log) {}
  int EnterModule() override { return Add("EnterModule"); }
  int ShowPage() override { return Add("ShowPage"); }
  int RefreshListPanel() override { return Add("RefreshListPanel"); }
  int OnMouseActivity() override { return Add("OnMouseActivity"); }
  int GetDisplayWindow(HWND*, RECT*) override { return 0; }
  int Redraw(int flag) override {
    Add("Redraw " + std::to_string(flag));
    return redrawResult;
  }
  int ShowListPanelItem() override { return Add("ShowListPanelItem"); }
  int OpenBrowserFolder() override { return 1; }
  int SortBrowser() override { return 1; }
  int GetBrowserFolder(std::string*, int) override { return 1; }
  int InvalidateFrame() override { return 1; }
  int DrawCurrentTime(double seconds) override {
    Add("DrawCurrentTime " + std::to_string(static_cast<int>(seconds)));
    return 5;
  }
  int PressListActionByName(const char*, const char*) override { return 1; }

  int redrawResult = 3;

 private:
  int Add(const std::string& entry) {
    log_.push_back(entry);
    return 1;
  }
  Log& log_;
};

// A WMA ripper whose position query can fail.
class FakeRipper : public ICdToWma {
 public:
  using Interfaces = InterfaceList<ICdToWma>;
  HRESULT Initialize() override { return E_NOTIMPL; }
  HRESULT Uninitialize() override {
    calls.push_back("Uninitialize");
    return S_OK;
  }
  HRESULT SetEventSink(IRipperEventSink*) override { return E_NOTIMPL; }
  HRESULT FindCaptureFilter(const char*) override { return E_NOTIMPL; }
  HRESULT OpenSourceW(const plat::WCHAR*) override { return E_NOTIMPL; }
  HRESULT OpenSource(const char*) override { return E_NOTIMPL; }
  HRESULT BuildRipGraph(const char*, int, int) override { return E_NOTIMPL; }
  HRESULT GetDuration(std::int64_t* value) override {
    *value = duration;
    return S_OK;
  }
  HRESULT GetPosition(std::int64_t* value) override {
    if (!positionReadable) return E_FAIL;
    *value = position;
    return S_OK;
  }
  HRESULT Run() override { return E_NOTIMPL; }
  HRESULT Pause() override { return E_NOTIMPL; }
  HRESULT Stop() override {
    calls.push_back("Stop");
    return S_OK;
  }
  HRESULT SetVideoOwner(plat::HWND) override { return E_NOTIMPL; }
  HRESULT SetVideoPosition(int, int, int, int) override { return E_NOTIMPL; }
  HRESULT GetVideoPosition(int*, int*, int*, int*) override { return E_NOTIMPL; }
  HRESULT ShowVideo(int) override { return E_NOTIMPL; }

  std::int64_t position = 0;
  std::int64_t duration = 0;
  bool positionReadable = true;
  std::vector<std::string> calls;
};

class SinkCoreObject : public bridge_test::TestCoreObject {
 public:
  HRESULT FallbackQueryInterface(const IID& iid, void** out) {
    if (iid == IID_ICdToWma) {
      if (!ripper) return E_NOINTERFACE;
      return ripper->QueryInterface(iid, out);
    }
    return TestCoreObject::FallbackQueryInterface(iid, out);
  }
  ComPtr<ComObject<FakeRipper>> ripper;
};

// A player with a current medium, fast-forward and rewind answers, a
// search progress and a Run result.
class FakePlayer : public sinks_test::StubWMPlayer {
 public:
  HRESULT GetCurPlayingTrackInfo(BSTR attribute, BSTR* value) override {
    const std::string name = BstrToUtf8(attribute);
    reads.push_back(name);
    if (name == failingAttribute) return E_FAIL;
    const auto it = attributes.find(name);
    *value = SysAllocStringUtf8(it == attributes.end() ? std::string() : it->second);
    return S_OK;
  }
  HRESULT IsFFAvailable() override { return ffAvailable ? S_OK : E_FAIL; }
  HRESULT IsFRAvailable() override { return frAvailable ? S_OK : E_FAIL; }
  HRESULT Run() override {
    ++runs;
    return runResult;
  }
  HRESULT GetSearchProgress(int* percent, DWORD* files) override {
    *percent = searchPercent;
    *files = searchFiles;
    return E_FAIL;
  }

  std::map<std::string, std::string> attributes{
      {"Album", "Blue Hours"},    {"Artist", "Ana Lind"},  {"Name", "Morning"},
      {"SourceURL", "/music/morning.mp3"}, {"Duration", "03:12"}, {"WM/WMCollectionID", "{A1}"},
      {"ReleaseDate", "2019"}};
  std::string failingAttribute;
  std::vector<std::string> reads;
  bool ffAvailable = true;
  bool frAvailable = true;
  HRESULT runResult = S_OK;
  int runs = 0;
  int searchPercent = 0;
  DWORD searchFiles = 0;
};

class EngineSinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetVolumeSource(std::make_shared<FakeVolumeSource>());
    CUISystemServices services;
    services.createCoreObject = [this](IUnknown** out) {
      auto core = MakeComObject<SinkCoreObject>();
      core->drives = MakeComObject<CDriveEnumerator>();
      core->ripper = ripper_;
      *out = core->NonDelegatingUnknown();
      (*out)->AddRef();
      return S_OK;
    };
    services.clock = &clock_;
    services.scheduleTimerPeriodMs = 3'600'000;
    system_ = MakeComObject<CUISystem>(std::move(services));
    ASSERT_TRUE(system_);
    system_->SetUICallback(&frame_);
    system_->SetMusicPageCallback(&page_);
    system_->m_onControllerStep = [this](const char* step) { log_.push_back(std::string("step ") + step); };
    ASSERT_EQ(system_->Start(), S_OK);
    system_->SetWMPlayer(ComPtr<IWMPlayer>(player_.Get()));
    Pump();
    log_.clear();
  }
  void TearDown() override {
    system_->SetWMPlayer(nullptr);
    system_->Stop();
    system_.Reset();
    SetVolumeSource(nullptr);
  }

  CConfig& Config() { return *system_->Config(); }
  CMusicConfig& Music() { return *Config().m_pMusic; }
  IWMPlayerEventSink& Player() { return *system_->WMPlayerEventSink(); }
  IRipperEventSink& Ripper() { return *system_->WmaRipperSink(); }
  void OnPage(int page) { Music().PushMusicPage(page); }
  bool Logged(const std::string& entry) const { return Has(log_, entry); }

  settings_test::TempEnvironment env_;
  settings_test::FixedClock clock_{settings_test::At(2026, 3, 2, 12, 0, 0)};
  Log log_;
  SinkFrame frame_{log_};
  SinkMusicPage page_{log_};
  ComPtr<ComObject<FakeRipper>> ripper_ = MakeComObject<FakeRipper>();
  ComPtr<ComObject<FakePlayer>> player_ = MakeComObject<FakePlayer>();
  ComPtr<ComObject<CUISystem>> system_;
};

// ---- The WMA ripper's sink ---------------------------------------------------

class RipperSinkTest : public EngineSinksTest {
 protected:
  void SetUp() override {
    EngineSinksTest::SetUp();
    for (int i = 0; i < 3; ++i) {
      MusicRecord entry;
      entry.strTexts[CMusicConfig::kRipOutputPathText] = (std::filesystem::path(std::getenv("HOME")) / ("track" + std::to_string(i) + ".wma")).string();
      Music().m_vecRipJobs.push_back(entry);
    }
    Music().m_bRipping = 1;
    Music().m_nRipIndex = 0;
    Music().m_nRippingFormat = 2;
  }
  std::string Status(int i) { return Music().m_vecRipJobs[static_cast<std::size_t>(i)].strTexts[CMusicConfig::kRipStatusText]; }
  std::filesystem::path Output(int i) {
    return Music().m_vecRipJobs[static_cast<std::size_t>(i)].strTexts[CMusicConfig::kRipOutputPathText];
  }
  void WriteOutput(int i) { std::ofstream(Output(i)) << "partial"; }
  // Whether the rip loop's wake-up message waits in this thread's queue.
  bool WakeUpPosted() {
    MSG msg;
    bool posted = false;
    while (PeekMessage(&msg, nullptr, WM_USER, WM_USER, 1))
      if (msg.hwnd == nullptr) posted = true;
    return posted;
  }
};

TEST_F(RipperSinkTest, ProgressWritesTheTruncatedPercentOnTheCopyPagesOnly) {
  struct Case {
    int page;
    float fraction;
    int ripIndex;
    const char* status;  // of entry 0
  };
  const Case cases[] = {
      {25, 0.999f, 0, "Copying  99%"},
      {26, 0.5f, 0, "Copying  50%"},
      {25, 0.0f, 0, "Copying  0%"},
      {24, 0.5f, 0, ""},  // redrawn, nothing written
      {25, 0.5f, 3, ""},  // index past the list: the list is left alone
      {25, 0.5f, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.page) + " " + std::to_string(c.fraction) + " " + std::to_string(c.ripIndex));
    Music().m_arrPageHistory.clear();
    Music().m_vecRipJobs[0].strTexts[CMusicConfig::kRipStatusText].clear();
    OnPage(c.page);
    Music().m_nRipIndex = c.ripIndex;
    log_.clear();
    EXPECT_EQ(Ripper().OnProgress(c.fraction), 1);
    EXPECT_EQ(Status(0), c.status);
    EXPECT_EQ(log_, Log{"Redraw 0"});
  }
}

TEST_F(RipperSinkTest, ProgressAsksToStopWhenNoRipRunsOrNoPage) {
  OnPage(25);
  Music().m_bRipping = 0;
  EXPECT_EQ(Ripper().OnProgress(0.5f), 0);
  Music().m_bRipping = 1;
  system_->SetMusicPageCallback(nullptr);
  EXPECT_EQ(Ripper().OnProgress(0.5f), 0);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(Status(0), "");
}

TEST_F(RipperSinkTest, FinishAtTheEndOfTheTrackCompletesItAndWakesTheRipLoop) {
  ripper_->position = ripper_->duration = 1'800'000'000;
  WriteOutput(0);
  EXPECT_EQ(Ripper().OnFinished(), page_.redrawResult);
  EXPECT_EQ(Status(0), "Complete");
  EXPECT_EQ(Music().m_nRipIndex, 1);
  EXPECT_EQ(Music().m_bRipTrackDone, 1);
  EXPECT_EQ(Music().m_bRipping, 1);
  EXPECT_EQ(ripper_->calls, (std::vector<std::string>{"Stop", "Uninitialize"}));
  EXPECT_TRUE(WakeUpPosted());
  EXPECT_TRUE(std::filesystem::exists(Output(0)));
  EXPECT_FALSE(Logged("step CleanupIncompleteRip"));
}

TEST_F(RipperSinkTest, FinishOneTickShortCleansUpThatTrack) {
  ripper_->duration = 1'800'000'000;
  ripper_->position = ripper_->duration - 1;
  Music().m_nRipIndex = 1;
  WriteOutput(1);
  WriteOutput(2);
  EXPECT_EQ(Ripper().OnFinished(), page_.redrawResult);
  EXPECT_TRUE(Logged("step CleanupIncompleteRip"));
  // The track's own entry and file, not the next one's.
  EXPECT_EQ(Status(1), "Incomplete");
  EXPECT_EQ(Status(2), "");
  EXPECT_FALSE(std::filesystem::exists(Output(1)));
  EXPECT_TRUE(std::filesystem::exists(Output(2)));
  EXPECT_EQ(Music().m_nRipIndex, 1);
  EXPECT_EQ(Music().m_bRipTrackDone, 0);
  EXPECT_EQ(Music().m_bRipping, 0);
  EXPECT_FALSE(WakeUpPosted());
}

TEST_F(RipperSinkTest, UnreadablePositionAfterACompletionKeepsTheTrack) {
  ripper_->duration = 1'800'000'000;
  ripper_->positionReadable = false;
  WriteOutput(0);
  Ripper().OnFinished();
  EXPECT_EQ(Status(0), "Complete");
  EXPECT_EQ(Music().m_bRipTrackDone, 1);
  EXPECT_TRUE(std::filesystem::exists(Output(0)));
  EXPECT_TRUE(WakeUpPosted());
}

TEST_F(RipperSinkTest, UnreadablePositionAfterAStopRequestIsIncomplete) {
  ripper_->duration = 1'800'000'000;
  ripper_->positionReadable = false;
  WriteOutput(0);
  Music().m_bRipping = 0;  // the rip was stopped: progress asks the ripper to end
  ASSERT_EQ(Ripper().OnProgress(0.4f), 0);
  Ripper().OnFinished();
  EXPECT_EQ(Status(0), "Incomplete");
  EXPECT_FALSE(std::filesystem::exists(Output(0)));
  EXPECT_EQ(Music().m_bRipTrackDone, 0);
}

TEST_F(RipperSinkTest, AStopRequestLastsOnlyUntilTheRipRunsAgain) {
  ripper_->duration = 1'800'000'000;
  ripper_->positionReadable = false;
  Music().m_bRipping = 0;
  ASSERT_EQ(Ripper().OnProgress(0.4f), 0);
  Music().m_bRipping = 1;
  ASSERT_EQ(Ripper().OnProgress(0.9f), 1);
  Ripper().OnFinished();
  EXPECT_EQ(Status(0), "Complete");
  EXPECT_EQ(Music().m_bRipTrackDone, 1);
}

TEST_F(RipperSinkTest, FinishWalksTheListAndRefusesPastItsEnd) {
  ripper_->position = ripper_->duration = 10;
  for (int i = 0; i < 3; ++i) {
    Music().m_bRipTrackDone = 0;
    EXPECT_EQ(Ripper().OnFinished(), page_.redrawResult);
    EXPECT_EQ(Status(i), "Complete");
  }
  EXPECT_EQ(Music().m_nRipIndex, 3);
  ripper_->calls.clear();
  log_.clear();
  EXPECT_EQ(Ripper().OnFinished(), 0);
  EXPECT_EQ(Music().m_nRipIndex, 3);
  EXPECT_TRUE(ripper_->calls.empty());
  EXPECT_TRUE(log_.empty());

  Music().m_nRipIndex = -1;
  EXPECT_EQ(Ripper().OnFinished(), 0);
  EXPECT_TRUE(ripper_->calls.empty());
}

TEST_F(RipperSinkTest, FinishWithoutTheRipperMarksCompleteOnly) {
  system_->Stop();
  ripper_.Reset();
  ASSERT_EQ(system_->Start(), S_OK);
  Pump();
  log_.clear();
  EXPECT_EQ(Ripper().OnFinished(), page_.redrawResult);
  EXPECT_EQ(Status(0), "Complete");
  EXPECT_EQ(Music().m_nRipIndex, 1);
  EXPECT_EQ(Music().m_bRipTrackDone, 0);
  EXPECT_FALSE(Logged("step CleanupIncompleteRip"));
  EXPECT_FALSE(WakeUpPosted());
}

TEST_F(RipperSinkTest, AbortCleansUpAndRedraws) {
  WriteOutput(0);
  EXPECT_EQ(Ripper().OnAborted(), page_.redrawResult);
  EXPECT_EQ(log_, (Log{"step CleanupIncompleteRip", "Redraw 0"}));
  EXPECT_EQ(Status(0), "Incomplete");
  EXPECT_FALSE(std::filesystem::exists(Output(0)));
  EXPECT_EQ(ripper_->calls, (std::vector<std::string>{"Stop", "Uninitialize"}));

  system_->SetMusicPageCallback(nullptr);
  log_.clear();
  EXPECT_EQ(Ripper().OnAborted(), 0);
  EXPECT_TRUE(log_.empty());
}

// ---- The player's sink --------------------------------------------------------

TEST_F(EngineSinksTest, MediaChangeReadsTheSevenAttributesAndFollowsTheEntry) {
  Config().m_nActiveModule = MODULE_MUSIC;
  Music().m_nMusicState = MUSIC_PLAYING;
  Music().m_bMediaInfoRead = 0;
  OnPage(9);
  for (const char* url : {"/music/other.mp3", "/music/morning.mp3", "/music/morning.mp3"}) {
    MusicRecord track;
    track.strTexts[CMusicConfig::kTrackUrlText] = url;
    Music().m_vecLibraryTracks.push_back(track);
  }
  EXPECT_EQ(Player().OnMediaChange(), S_OK);
  EXPECT_EQ(player_->reads, (std::vector<std::string>{"Album", "Artist", "Name", "SourceURL", "Duration",
                                                       "WM/WMCollectionID", "ReleaseDate"}));
  EXPECT_EQ(Music().m_wstrMediaAlbum, "Blue Hours");
  EXPECT_EQ(Music().m_wstrMediaName, "Morning");
  EXPECT_EQ(Music().m_wstrMediaReleaseDate, "2019");
  EXPECT_EQ(Music().m_bMediaInfoRead, 1);
  EXPECT_EQ(Music().m_nNowPlayingIndex, 1);
  EXPECT_EQ(log_, (Log{"step OnMusicAlbumArtPath 1", "ShowListPanelItem"}));
}

TEST_F(EngineSinksTest, MediaChangeStopsAtTheFirstFailingAttribute) {
  Config().m_nActiveModule = MODULE_MUSIC;
  Music().m_bMediaInfoRead = 0;
  Music().m_wstrMediaDuration = "old";
  Music().m_wstrMediaReleaseDate = "old";
  player_->failingAttribute = "Duration";
  OnPage(24);  // stopped: no entry is followed; song info shows on the visualization
  Music().m_nNowPlayingIndex = 4;
  EXPECT_EQ(Player().OnMediaChange(), E_FAIL);
  EXPECT_EQ(Music().m_wstrMediaUrl, "/music/morning.mp3");
  EXPECT_EQ(Music().m_wstrMediaDuration, "old");
  EXPECT_EQ(Music().m_wstrMediaReleaseDate, "old");
  EXPECT_EQ(Music().m_bMediaInfoRead, 0);
  EXPECT_EQ(Music().m_nNowPlayingIndex, 4);
  ASSERT_EQ(log_.size(), 2u);
  EXPECT_EQ(log_[0], "step MusicShowSongInfo");
  EXPECT_EQ(log_[1], "ShowOsdTextW MUSIC_TITLE : Morning\nMUSIC_ALBUM : Blue Hours\nMUSIC_ARTIST : Ana Lind");
}

TEST_F(EngineSinksTest, PlayingInTheMusicModuleSetsTheScanAbilitiesAndTheBars) {
  Config().m_nActiveModule = MODULE_MUSIC;
  Music().m_nMusicState = MUSIC_PAUSED;  // resuming: no media change
  frame_.vendor = 2;
  player_->ffAvailable = false;
  EXPECT_EQ(Player().OnPlaying(), 1);
  EXPECT_EQ(Music().m_bCanFastForward, 0);
  EXPECT_EQ(Music().m_bCanRewind, 1);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PLAYING);
  EXPECT_EQ(log_, (Log{"EnableMonitorPowerOff 0", "Redraw 0", "NotifyPlaybackBar 0"}));
  EXPECT_EQ(player_->reads, std::vector<std::string>{"SourceURL"});
}

TEST_F(EngineSinksTest, PlayingByModuleAndStopRequests) {
  // Radio from stopped reads the medium first.
  Config().m_nActiveModule = MODULE_RADIO;
  EXPECT_EQ(Player().OnPlaying(), 1);
  EXPECT_EQ(player_->reads.size(), 8u);
  EXPECT_FALSE(Logged("EnableMonitorPowerOff 0"));  // vendor 0

  // The slide show's background music.
  Config().m_nActiveModule = MODULE_PHOTO;
  EXPECT_EQ(Player().OnPlaying(), 0);
  EXPECT_EQ(Config().m_pPhoto->m_nMusicState, 1);

  Config().m_nActiveModule = MODULE_VIDEO;
  EXPECT_EQ(Player().OnPlaying(), 0);

  // A stop asked for beforehand.
  Config().m_nActiveModule = MODULE_MUSIC;
  Music().m_bStopOnNextPlay = 1;
  Music().m_nMusicState = MUSIC_PLAYING;
  log_.clear();
  EXPECT_EQ(Player().OnPlaying(), 0);
  EXPECT_EQ(Music().m_bStopOnNextPlay, 0);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_STOPPED);
  EXPECT_EQ(log_, (Log{"step OnMusicStop", "Redraw 1"}));

  // A medium the Music module does not play is stopped.
  player_->attributes["SourceURL"] = "/videos/clip.avi";
  log_.clear();
  EXPECT_EQ(Player().OnPlaying(), 0);
  EXPECT_EQ(log_, (Log{"step OnMusicStop", "Redraw 1"}));
}

TEST_F(EngineSinksTest, PauseShowsTheNoticeAsTheSettingSays) {
  EXPECT_EQ(Player().OnPaused(), 0);  // home
  Config().m_nActiveModule = MODULE_MUSIC;
  Config().m_bPauseNoticeText = 1;
  EXPECT_EQ(Player().OnPaused(), frame_.playbackBarResult);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PAUSED);
  EXPECT_EQ(log_, (Log{"Redraw 0", "HideOsd", "ShowOsdStringId PAUSE 0", "NotifyPlaybackBar 0"}));

  Config().m_bPauseNoticeText = 0;
  log_.clear();
  Player().OnPaused();
  EXPECT_TRUE(Logged("ShowOsdStringId PAUSE 2000"));

  // Vendors 1 and 2 show no notice off the visualization page.
  Config().m_nVendorId = 1;
  log_.clear();
  Player().OnPaused();
  EXPECT_EQ(log_, (Log{"Redraw 0", "HideOsd", "NotifyPlaybackBar 0"}));
}

TEST_F(EngineSinksTest, StopOnTheVisualizationReturnsToTheListAndFreesTheMonitor) {
  Config().m_nActiveModule = MODULE_MUSIC;
  Music().m_nMusicState = MUSIC_PLAYING;
  Music().m_nNowPlayingIndex = 2;
  Music().m_dPlayPosition = 42;
  frame_.vendor = 3;
  OnPage(9);
  OnPage(24);
  EXPECT_EQ(Player().OnStopped(), frame_.playbackBarResult);
  int top = 0;
  ASSERT_TRUE(Music().PeekMusicPage(top));
  EXPECT_EQ(top, 9);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_STOPPED);
  EXPECT_EQ(Music().m_nNowPlayingIndex, -1);
  EXPECT_EQ(Music().m_dPlayPosition, 0);
  EXPECT_EQ(log_, (Log{"step MusicPlaySelected", "ShowPage", "RefreshListPanel", "HideOsd",
                       "ShowOsdStringId STOP 2000", "SetCaptionBarVisible 1 0", "SetPlaybackBarVisible 0 0",
                       "EnableMonitorPowerOff 1", "Redraw 0", "NotifyPlaybackBar 0"}));

  // Page 4 is not redrawn.
  Music().m_arrPageHistory = {4};
  log_.clear();
  Player().OnStopped();
  EXPECT_FALSE(Logged("Redraw 0"));
}

TEST_F(EngineSinksTest, StopInThePhotoModuleRestartsTheSlideShowMusic) {
  Config().m_nActiveModule = MODULE_PHOTO;
  Config().m_pPhoto->m_nMusicState = 1;
  EXPECT_EQ(Player().OnStopped(), 0);  // no slide show
  EXPECT_EQ(player_->runs, 0);

  Config().m_pPhoto->m_nPhotoPageState = 3;
  EXPECT_EQ(Player().OnStopped(), 1);
  EXPECT_EQ(player_->runs, 1);
  EXPECT_EQ(Config().m_pPhoto->m_nMusicState, 1);
  player_->runResult = E_FAIL;
  EXPECT_EQ(Player().OnStopped(), 1);
  EXPECT_EQ(Config().m_pPhoto->m_nMusicState, 0);

  Config().m_nActiveModule = MODULE_TV;
  EXPECT_EQ(Player().OnStopped(), 0);
}

TEST_F(EngineSinksTest, EndReadyAndPointerEvents) {
  Music().m_dPlayPosition = 12;
  EXPECT_EQ(Player().OnMediaEnded(), 0);
  EXPECT_EQ(Music().m_dPlayPosition, 0);

  // Ready while playing in the Radio module stops and runs the stop path.
  Config().m_nActiveModule = MODULE_RADIO;
  Music().m_nMusicState = MUSIC_PLAYING;
  EXPECT_EQ(Player().OnReady(), 0);
  EXPECT_EQ(log_.front(), "step OnMusicStop");
  EXPECT_TRUE(Logged("SetCaptionBarVisible 1 0"));
  log_.clear();
  EXPECT_EQ(Player().OnReady(), 0);  // now stopped
  EXPECT_TRUE(log_.empty());

  EXPECT_EQ(Player().OnMouseMove(), 1);
  EXPECT_EQ(log_, Log{"OnMouseActivity"});
  EXPECT_EQ(Player().OnClick(), 0);  // not on the visualization

  OnPage(19);
  OnPage(24);
  log_.clear();
  EXPECT_EQ(Player().OnClick(), page_.redrawResult);
  EXPECT_EQ(log_, (Log{"step MusicPlaySelected", "ShowPage", "RefreshListPanel", "ShowListPanelItem", "Redraw 0"}));

  Config().m_nActiveModule = MODULE_NONE;
  EXPECT_EQ(Player().OnMouseMove(), 0);
}

TEST_F(EngineSinksTest, KeysOnTheVisualizationRunTheirMusicActions) {
  Config().m_nActiveModule = MODULE_MUSIC;
  OnPage(6);
  EXPECT_EQ(Player().OnKeyDown(VK_UP, 0), 1);
  EXPECT_TRUE(log_.empty());

  struct Case {
    int key;
    const char* step;
  };
  const Case cases[] = {
      {VK_LEFT, "step OnMusicPreviousEffect"},
      {VK_UP, "step OnMusicRewind"},
      {VK_RIGHT, "step OnMusicNextEffect"},
      {VK_DOWN, "step OnMusicFastforward"},
      {static_cast<int>(0x10000000 | VK_DOWN), "step OnMusicFastforward"},  // only the low 16 bits count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Music().m_arrPageHistory = {6, 24};
    log_.clear();
    EXPECT_EQ(Player().OnKeyDown(c.key, 0), 0);  // the stub handlers' answer
    EXPECT_EQ(log_, Log{c.step});
  }
  log_.clear();
  EXPECT_EQ(Player().OnKeyDown('A', 0), 1);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(Player().OnKeyDown(VK_RETURN, 0), page_.redrawResult);
  EXPECT_TRUE(Logged("step MusicPlaySelected"));

  Config().m_nActiveModule = MODULE_PHOTO;
  EXPECT_EQ(Player().OnKeyDown(VK_UP, 0), 0);
}

TEST_F(EngineSinksTest, SearchProgressReachesTheHiddenWindow) {
  Music().m_bMediaSearchActive = 1;
  player_->searchPercent = 99;
  player_->searchFiles = 1234;
  EXPECT_EQ(Player().OnSearchProgress(), 1);
  EXPECT_EQ(Music().m_nSearchProgress, 99);
  EXPECT_EQ(Music().m_nSearchedFiles, 1234u);
  EXPECT_TRUE(log_.empty());  // nothing runs before the message is handled
  Pump();
  EXPECT_EQ(log_, Log{"Redraw 0"});

  player_->searchPercent = 100;
  log_.clear();
  Player().OnSearchProgress();
  Pump();
  EXPECT_EQ(log_, Log{"step OnMusicStopMediaSearch"});

  // Not followed by the Music page: only the counters change.
  Music().m_bMediaSearchActive = 0;
  player_->searchPercent = 40;
  log_.clear();
  Player().OnSearchProgress();
  Pump();
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(Music().m_nSearchProgress, 40);

  system_->SetWMPlayer(nullptr);
  EXPECT_EQ(Player().OnSearchProgress(), 1);
}

TEST_F(EngineSinksTest, PositionIsKeptAndDrawnInTheMusicModuleOnly) {
  Config().m_nActiveModule = MODULE_RADIO;
  EXPECT_EQ(Player().OnPosition(61.5), 0);
  EXPECT_EQ(Music().m_dPlayPosition, 0);
  EXPECT_TRUE(log_.empty());

  Config().m_nActiveModule = MODULE_MUSIC;
  EXPECT_EQ(Player().OnPosition(61.5), 5);
  EXPECT_EQ(Music().m_dPlayPosition, 61.5);
  EXPECT_EQ(log_, Log{"DrawCurrentTime 61"});
}

TEST_F(EngineSinksTest, PlayableMediaFiles) {
  struct Case {
    const char* url;
    int playable;
  };
  const Case cases[] = {
      {"/music/a.MP3", 1},       {"/music/a.wma", 1},  {"/music/a.wav", 1},
      {"wmpcd://1/3", 1},        {"/music/a.ogg", 0},  {"/videos/b.avi", 0},
      {"wmpdvd://0/1", 0},       {"/music.dir/track", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    log_.clear();
    EXPECT_EQ(system_->IsPlayableMediaFile(c.url), c.playable);
    EXPECT_EQ(Logged("step OnMusicStop"), c.playable == 0);
  }
}

}  // namespace
