// The TV controller on a scripted TV engine: the start road, modes,
// channels, snapshots, settings, the engine's events and the way back.
#include <filesystem>
#include <fstream>

#include "platform/gdi/bitmap.h"
#include "tests/corebridge/tv/tv_test_support.h"

namespace tv_test {
namespace {

namespace fs = std::filesystem;

bool Muted(TestCoreObject& core) {
  int mute = 0;
  float volume = 0;
  DWORD type = 0;
  core.audio->GetSpeakersLineState(0, &mute, &volume, &type);
  return mute != 0;
}

// The mute of the first source line of `type` (the CD line of the memory mixer).
int SourceMute(TestCoreObject& core, DWORD wanted) {
  for (int index = 0; index < 8; ++index) {
    int mute = 0;
    float volume = 0;
    DWORD type = 0;
    if (FAILED(core.audio->GetSourceLineState(index, &mute, &volume, &type))) break;
    if (type == wanted) return mute;
  }
  return -1;
}

class TvControllerTest : public TvTest {};

TEST_F(TvControllerTest, EntryNeedsBothFeatureBits) {
  struct Case {
    int root, tv;
  } cases[] = {{0, 2}, {1, 0}, {1, 1}, {-2, 2}};
  for (const auto& c : cases) {
    Config().m_aFeatureWords[FEATURE_ROOT] = c.root;
    Config().m_aFeatureWords[FEATURE_TV] = c.tv;
    EXPECT_EQ(Enter(), 0) << c.root << " " << c.tv;
    EXPECT_FALSE(Engine().SawSlot(3));
  }
}

TEST_F(TvControllerTest, EntryStartsThePreviewAndFillsTheSection) {
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_TV);
  EXPECT_TRUE(Engine().Saw("4 sink"));
  EXPECT_TRUE(Engine().Saw("60 0"));
  EXPECT_TRUE(Engine().Saw("59 0"));
  EXPECT_TRUE(Engine().Saw("22 1"));
  EXPECT_FALSE(Engine().SawSlot(114));  // vendor extras only for vendor 4
  EXPECT_EQ(TV().m_nTVMode, 2);
  EXPECT_EQ(TV().m_nPageType, 1);
  EXPECT_EQ(TV().m_strChannelName, "Alpha");
  EXPECT_EQ(TV().m_arrEnabledChannels, (std::vector<std::uint32_t>{5, 7, 21}));
  EXPECT_EQ(TV().m_arrProfileNames.size(), 3u);
  EXPECT_EQ(TV().m_nProfileIndex, 0);
  EXPECT_EQ(TV().m_crKey, 0x00102030u);
  EXPECT_TRUE(page_.Saw("EnterModule"));
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));
  EXPECT_FALSE(Muted(*core_));
  // The recordings go to "TV Shows" of the videos folder when none is set.
  EXPECT_EQ(fs::path(Engine().init.outputFolder).filename(), "TV Shows");
  // A second entry while the TV is active changes nothing.
  Engine().calls.clear();
  EXPECT_EQ(Enter(), 1);
  EXPECT_TRUE(Engine().calls.empty());
}

TEST_F(TvControllerTest, FailedStartUnmutesAndAnswersZero) {
  Engine().failing.insert(3);
  EXPECT_EQ(Enter(), 0);
  EXPECT_FALSE(Muted(*core_));
  EXPECT_NE(Config().m_nActiveModule, MODULE_TV);
  EXPECT_FALSE(Engine().SawSlot(22));

  Engine().failing.clear();
  Engine().ready = 0;  // slot 94: the device does not answer
  EXPECT_EQ(Enter(), 0);
  EXPECT_FALSE(Muted(*core_));
  EXPECT_NE(Config().m_nActiveModule, MODULE_TV);
}

TEST_F(TvControllerTest, AMuteOfTheUsersOwnStaysThroughTheTv) {
  core_->audio->SetSpeakersMute(0, 1);
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("TV TVWall Page"), 1);
  ASSERT_EQ(Run("TV Stop TVWall"), 1);
  EXPECT_TRUE(Muted(*core_));
  TV().m_nPageType = 1;
  Run("Back");
  EXPECT_TRUE(Muted(*core_));
}

TEST_F(TvControllerTest, VendorFourExtras) {
  frame_.vendor = 4;
  Engine().family = 2;
  ASSERT_EQ(Enter(), 1);
  EXPECT_TRUE(Engine().Saw("114 8"));
  EXPECT_TRUE(Engine().Saw("29 48"));
  EXPECT_EQ(TV().m_bPal, 1);
  EXPECT_EQ(TV().m_arrCountryCodes.size(), 28u);
  EXPECT_EQ(TV().m_arrCountryCodes.front(), 123);
}

// A volume that arrives while the TV runs reaches the grabber of vendor 4;
// other device events and other vendors leave it alone.
TEST_F(TvControllerTest, AVolumeArrivalReachesTheVendorFourGrabber) {
  frame_.vendor = 4;
  ASSERT_EQ(Enter(), 1);
  system_->OnDeviceChangeOnUiThread(0x8004, 4);  // removal
  EXPECT_FALSE(Engine().Saw("29 69"));
  system_->OnDeviceChangeOnUiThread(0x8000, 4);  // E: arrived
  EXPECT_TRUE(Engine().Saw("29 69"));
}

TEST_F(TvControllerTest, ModeTable) {
  // Each step: action, answer, mode after, replay state after, notice shown.
  struct Step {
    const char* action;
    int answer, mode, replay;
    const char* notice;
  } steps[] = {
      {"TV Play", 0, 2, 0, nullptr},
      {"TV Stop", 0, 2, 0, nullptr},
      {"TV Rewind", 0, 2, 0, nullptr},
      {"TV Record", 1, 3, 0, "ShowOsdText TV_RECORD @2000"},
      {"TV Pause", 0, 3, 0, nullptr},
      {"TV Record", 0, 3, 0, nullptr},
      {"TV Stop", 1, 2, 0, "ShowOsdText STOPRECORD @2000"},
      {"TV Pause", 1, 4, 2, "ShowOsdText REPLAY @2000"},
      {"TV Play", 1, 4, 1, "ShowOsdText PLAY @2000"},
      {"TV Pause", 1, 4, 2, "ShowOsdText PAUSE @2000"},
      {"TV Pause", 1, 4, 1, "ShowOsdText PLAY @2000"},
      {"TV Rewind", 1, 4, 1, "ShowOsdText Back 15 s @2000"},
      {"TV FastForeward", 1, 4, 1, "ShowOsdText Ahead 15 s @2000"},
      {"TV Record", 0, 4, 1, nullptr},
      {"TV Stop", 1, 2, 0, "ShowOsdText STOPREPLAY @2000"},
  };
  ASSERT_EQ(Enter(), 1);
  for (const auto& s : steps) {
    frame_.calls.clear();
    EXPECT_EQ(Run(s.action), s.answer) << s.action;
    EXPECT_EQ(TV().m_nTVMode, s.mode) << s.action;
    EXPECT_EQ(TV().m_nReplayState, s.replay) << s.action;
    if (s.notice) {
      EXPECT_TRUE(frame_.Saw(s.notice)) << s.action;
    }
  }
}

TEST_F(TvControllerTest, TimeShiftMutesTheCdLineUntilItStops) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("TV Pause"), 1);
  EXPECT_TRUE(Engine().Saw("27 1"));
  EXPECT_EQ(SourceMute(*core_, 4101), 1);
  ASSERT_EQ(Run("TV Stop"), 1);
  EXPECT_TRUE(Engine().Saw("27 0"));
  EXPECT_EQ(SourceMute(*core_, 4101), 0);
}

TEST_F(TvControllerTest, BurnProfileRecordsToDisc) {
  ASSERT_EQ(Enter(), 1);
  TV().m_strCurrentProfileName = "My Burn profile";
  ASSERT_EQ(Run("TV Record"), 1);
  EXPECT_TRUE(Engine().Saw("28 1"));
  EXPECT_FALSE(Engine().Saw("25 1"));
  EXPECT_EQ(TV().m_bBurn, 1);
  ASSERT_EQ(Run("TV Stop"), 1);
  EXPECT_TRUE(Engine().Saw("28 0"));
  EXPECT_EQ(TV().m_bBurn, 0);
}

TEST_F(TvControllerTest, ChannelSteppingWrapsOverTheEnabledList) {
  ASSERT_EQ(Enter(), 1);
  TV().m_nChannel = 21;
  ASSERT_EQ(Run("TV Next Channel"), 1);
  EXPECT_EQ(Engine().calls.back(), "14 5");
  TV().m_nChannel = 5;
  ASSERT_EQ(Run("TV Prev Channel"), 1);
  EXPECT_EQ(Engine().calls.back(), "14 21");
  TV().m_nChannel = 99;  // not in the list: the first
  ASSERT_EQ(Run("TV Next Channel"), 1);
  EXPECT_EQ(Engine().calls.back(), "14 5");
  TV().m_arrEnabledChannels.clear();
  EXPECT_EQ(Run("TV Next Channel"), 0);
  EXPECT_EQ(Run("TV Set Channel", 7), 1);
  EXPECT_EQ(Engine().calls.back(), "14 7");
}

TEST_F(TvControllerTest, SnapshotWhilePendingAndOnFailure) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("TV Snapshot"), 1);
  const std::string temporary = TV().m_strSnapshotName2;
  EXPECT_TRUE(fs::exists(temporary));
  EXPECT_EQ(fs::path(temporary).parent_path(), fs::path(TV().m_strSnapshotFolder));
  EXPECT_EQ(Run("TV Snapshot"), 0);

  // The engine reports the frame: without the picture component the
  // recorder's JPEG becomes the snapshot, and nothing else stays behind.
  std::ofstream(temporary) << "jpeg";
  Engine().sink->OnPictureReady(0);
  EXPECT_EQ(TV().m_bSnapshotPending, 0);
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_TRUE(fs::exists(fs::path(TV().m_strSnapshotFolder) / "TV Snapshot.jpg"));

  // A second one gets the next free name; a failing engine leaves no file.
  Engine().failing.insert(24);
  EXPECT_EQ(Run("TV Snapshot"), 0);
  EXPECT_EQ(TV().m_bSnapshotPending, 0);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(TV().m_strSnapshotFolder)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
  Engine().failing.clear();
  ASSERT_EQ(Run("TV Snapshot"), 1);
  EXPECT_EQ(fs::path(TV().m_strSnapshotName1).filename(), "TV Snapshot(1).jpg");
}

TEST_F(TvControllerTest, ChangeDisplayCyclesOnlyWithTeletext) {
  Engine().teletext = 0;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Run("TV Change Display"), 0);
  EXPECT_EQ(TV().m_nTeletextDisplay, 0);

  TV().m_bTeletext = 1;
  ASSERT_EQ(Run("TV Change Display"), 1);
  EXPECT_EQ(TV().m_nTeletextDisplay, 1);
  EXPECT_TRUE(Engine().Saw("102 100"));
  ASSERT_EQ(Run("TV Change Display"), 1);
  EXPECT_EQ(TV().m_nTeletextDisplay, 2);
  EXPECT_TRUE(Engine().Saw("100 1"));
  ASSERT_EQ(Run("TV Change Display"), 1);
  EXPECT_EQ(TV().m_nTeletextDisplay, 0);
  ASSERT_EQ(Run("TV Change Display"), 1);
  ASSERT_EQ(Run("TV Change Display", 1), 1);  // argument 1 forces the video
  EXPECT_EQ(TV().m_nTeletextDisplay, 0);
}

TEST_F(TvControllerTest, CountryStepsWrapOverTheOrderTables) {
  // General table: 219 first, then 95; 129 sits in the rest in index order.
  Engine().country = 219;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(TV().m_arrCountryCodes.size(), 241u);
  ASSERT_EQ(Run("TV Country Right"), 1);
  EXPECT_EQ(Engine().calls.back(), "84");
  EXPECT_TRUE(Engine().Saw("46 95"));
  EXPECT_TRUE(TV().m_arrEnabledChannels.empty());
  ASSERT_EQ(Run("TV Country Left"), 1);
  ASSERT_EQ(Run("TV Country Left"), 1);  // before the first: the last
  EXPECT_EQ(TV().m_nCountryIndex, 240);

  // Countries the engine cannot name are not offered; a stored country
  // outside the table is appended and made current.
  Engine().unnamed = {95};
  Engine().country = 5;
  frame_.vendor = 4;
  RebuildForTest();
  EXPECT_EQ(TV().m_arrCountryCodes.size(), 29u);
  EXPECT_EQ(TV().m_arrCountryCodes.back(), 5);
  EXPECT_EQ(TV().m_nCountryListIndex, 28);
  ASSERT_EQ(Run("TV Country Right"), 1);
  EXPECT_EQ(TV().m_nCountryIndex, 123);
}

TEST_F(TvControllerTest, RemainingTimeTexts) {
  ASSERT_EQ(Enter(), 1);
  struct Case {
    float minutes;
    const char* text;
  } cases[] = {{42.7f, "42"}, {1.0f, "1"}, {0.5f, "0.5"}, {0.0f, "0.0"}};
  for (const auto& c : cases) {
    Engine().remaining = c.minutes;
    ASSERT_EQ(Run("TV SignalSetting Page"), 1);
    EXPECT_EQ(TV().m_strRemainingTime, c.text);
  }
}

TEST_F(TvControllerTest, QualityStepsSelectTheProfile) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("TV Record Quality Left"), 1);
  EXPECT_EQ(TV().m_strCurrentProfileName, "Burn DVD");
  EXPECT_TRUE(Engine().Saw("44 Burn DVD"));
  ASSERT_EQ(Run("TV Record Quality Right"), 1);
  EXPECT_EQ(TV().m_strCurrentProfileName, "DVD SP");
}

TEST_F(TvControllerTest, ScanEventsFillTheChannelList) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("TV AutoScan Page"), 1);
  EXPECT_TRUE(Engine().Saw("18 1"));
  EXPECT_TRUE(Muted(*core_));
  EXPECT_EQ(TV().m_strProgressText, "00%");
  Engine().sink->OnSearchPercent(7);
  EXPECT_EQ(TV().m_strProgressText, "07 %");
  EXPECT_TRUE(page_.Saw("DrawAutoScanProgress"));

  Engine().stored = {{5, 0}, {9, 1}};
  Engine().sink->OnSearchFinished(nullptr);
  EXPECT_TRUE(Engine().Saw("21 5 1"));  // every channel found is enabled
  EXPECT_EQ(TV().m_arrEnabledChannels, (std::vector<std::uint32_t>{5, 9}));
  EXPECT_TRUE(page_.Saw("ShowPage TV\\ChannelSetting"));
  EXPECT_TRUE(page_.Saw("SetChannelListItemCount 2"));
  EXPECT_EQ(TV().m_nPageType, 8);
  EXPECT_FALSE(Muted(*core_));
}

TEST_F(TvControllerTest, RecordingEndedByTheEngineReturnsToPreview) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("TV Record"), 1);
  Engine().calls.clear();
  Engine().sink->OnRecordingEnded(nullptr);
  EXPECT_EQ(TV().m_nTVMode, 2);
  EXPECT_TRUE(Engine().Saw("22 1"));
}

TEST_F(TvControllerTest, TuningEventsTellChannelsFromNotices) {
  ASSERT_EQ(Enter(), 1);
  page_.calls.clear();
  frame_.calls.clear();
  Engine().sink->OnTuning(3, 1, 0);  // a notice: the page refreshes, nothing else
  EXPECT_EQ(TV().m_nChannel, 5);
  EXPECT_TRUE(page_.Saw("InvalidateFrame"));
  EXPECT_TRUE(frame_.calls.empty());

  Engine().tuned = 7;
  Engine().sink->OnTuning(7, 0, 1);
  EXPECT_EQ(TV().m_nChannel, 7);
  EXPECT_EQ(TV().m_strChannelName, "Bravo");
  EXPECT_TRUE(frame_.Saw("ShowOsdText Bravo @2000"));
  EXPECT_TRUE(page_.Saw("ResetDigitEntry"));

  Engine().teletextPage = 123;
  Engine().sink->OnTeletextPageChanged();
  EXPECT_EQ(TV().m_strTeletextPage, "123");
}

TEST_F(TvControllerTest, BurnNoticesFromSlotsThirteenAndFifteen) {
  ASSERT_EQ(Enter(), 1);
  Engine().sink->OnProgressValue(4);
  EXPECT_TRUE(frame_.Saw("ShowOsdText PREPAREBURNING @2000"));
  Engine().sink->OnBurnPreparation(1);
  EXPECT_TRUE(frame_.Saw("ShowOsdText BURNINGREADY @2000"));
}

TEST_F(TvControllerTest, WallCellsCopyPicturesAndIgnoreOutsideIndexes) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("TV TVWall Page"), 1);
  EXPECT_TRUE(Engine().Saw("33 3"));  // no more channels than the list holds
  EXPECT_TRUE(Muted(*core_));
  std::vector<std::uint8_t> pixels(5 * 3 * 4, 0);
  pixels[0] = 0xFF;  // blue of the top-left pixel
  TvPicture picture{5, 3, 16, pixels.data()};  // padded rows
  Engine().sink->OnPreviewStep(2, 7, "Bravo", &picture);
  ASSERT_GE(TV().m_tvWallCells.size(), 3u);
  EXPECT_EQ(TV().m_tvWallCells[2].nChannel, 7u);
  EXPECT_EQ(TV().m_tvWallCells[2].strName, "Bravo");
  ASSERT_NE(TV().m_tvWallCells[2].hBitmap, nullptr);
  auto surface = plat::GetBitmapSurface(TV().m_tvWallCells[2].hBitmap);
  ASSERT_TRUE(surface);
  EXPECT_TRUE(page_.Saw("SetTVWallItemCount 3"));

  const auto cells = TV().m_tvWallCells.size();
  Engine().sink->OnPreviewStep(-1, 5, "x", &picture);
  Engine().sink->OnPreviewStep(1024, 5, "x", &picture);
  Engine().sink->OnPreviewStep(1 << 30, 5, "x", nullptr);
  EXPECT_EQ(TV().m_tvWallCells.size(), cells);

  ASSERT_EQ(Run("TV Stop TVWall"), 1);
  EXPECT_TRUE(Engine().Saw("34"));
  EXPECT_FALSE(Muted(*core_));
  EXPECT_EQ(TV().m_nPageType, 2);
  EXPECT_EQ(Engine().calls.back(), "14 5");
}

TEST_F(TvControllerTest, BackByPageType) {
  ASSERT_EQ(Enter(), 1);
  struct Case {
    int type;
    const char* shown;
    int typeAfter;
  } cases[] = {{2, "ShowPage TV\\Preview", 1},     {4, "ShowPage TV\\MainMenu", 2}, {6, "ShowPage TV\\MainMenu", 2},
               {7, "ShowPage TV\\MainMenu", 2},    {5, "ShowPage TV\\Schedule", 4}, {8, "ShowPage TV\\SignalSetting", 7},
               {9, "ShowPage TV\\ChannelSetting", 8}, {10, nullptr, 10},          {11, nullptr, 11}};
  for (const auto& c : cases) {
    TV().m_nPageType = c.type;
    page_.calls.clear();
    EXPECT_EQ(Run("Back"), 1);
    if (c.shown) {
      EXPECT_TRUE(page_.Saw(c.shown)) << c.type;
    } else {
      EXPECT_TRUE(page_.calls.empty()) << c.type;
    }
    EXPECT_EQ(TV().m_nPageType, c.typeAfter) << c.type;
  }
  TV().m_nPageType = 1;
  EXPECT_EQ(Run("Back"), 1);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_TRUE(Engine().Saw("4 null"));
  EXPECT_TRUE(Engine().Saw("22 0"));
  EXPECT_TRUE(page_.Saw("OnDisplayResize"));
}

TEST_F(TvControllerTest, GuideReadsStoredChannelsAndNeverWritesThem) {
  ASSERT_EQ(Enter(), 1);
  TV().m_nChannel = 7;
  ASSERT_EQ(Run("TV NextView Page"), 1);
  EXPECT_EQ(TV().m_nGuideChannel, 2);
  EXPECT_TRUE(Engine().Saw("116 1 2"));
  EXPECT_FALSE(Engine().SawSlot(12));
  ASSERT_EQ(Run("TV NextView Next Channel"), 1);
  EXPECT_EQ(TV().m_nGuideChannel, 3);
  ASSERT_EQ(Run("TV NextView Next Channel"), 1);  // no fourth channel
  EXPECT_EQ(TV().m_nGuideChannel, 3);
  for (int i = 0; i < 4; ++i) Run("TV NextView Prev Channel");
  EXPECT_EQ(TV().m_nGuideChannel, 1);
  EXPECT_FALSE(Engine().SawSlot(12));
  // Outside the live preview the guide is not offered.
  TV().m_nTVMode = 4;
  EXPECT_EQ(Run("TV NextView Page"), 0);
}

TEST_F(TvControllerTest, ScheduledRecordingStartsAndEndsWithItsSchedule) {
  EXPECT_EQ(system_->TVScheduleStop(), 0);  // nothing running
  ASSERT_EQ(system_->TVStart(0, 0), 1);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_TV);
  EXPECT_EQ(TV().m_nTVMode, 3);
  EXPECT_TRUE(Engine().Saw("25 1"));
  ASSERT_EQ(system_->TVScheduleStop(), 1);
  EXPECT_TRUE(Engine().Saw("25 0"));
  EXPECT_EQ(TV().m_nTVMode, 2);
}

TEST_F(TvControllerTest, ScheduleActionsAreAcceptedWithoutEffect) {
  EXPECT_EQ(Run("TV Confirm Schedule"), 1);
  EXPECT_EQ(Run("TV Schedule StopMinute Right"), 1);
  EXPECT_TRUE(Engine().calls.empty());
  // Without the engine every other action fails.
  engineOn_ = false;
  EXPECT_EQ(Run("TV Record"), 0);
  EXPECT_EQ(Enter(), 0);
}

}  // namespace
}  // namespace tv_test
