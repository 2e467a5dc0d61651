#include <set>

#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/record_config.h"
#include "corebridge/core/video_config.h"
#include "tests/corebridge/bridge/action_names_table.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

class ActionTableTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    Start();
  }
};

TEST_F(ActionTableTest, RegistersEveryNameWithItsIdAndNothingElse) {
  const CActionTable& table = system_->Actions();
  ASSERT_EQ(kAllActionNames.size(), 491u);
  EXPECT_EQ(table.NameCount(), 491u);
  EXPECT_EQ(table.HandlerCount(), 491u);
  // "Vol Mute" three times, "Vol Unmute" twice.
  EXPECT_EQ(table.Registrations(), 494u);
  std::set<int> ids;
  for (const auto& row : kAllActionNames) {
    const auto id = table.FindId(row.name);
    ASSERT_TRUE(id) << row.name;
    EXPECT_EQ(*id, row.id) << row.name;
    EXPECT_NE(table.FindHandler(*id), nullptr) << row.name;
    ids.insert(*id);
  }
  EXPECT_EQ(ids.size(), 491u);
  EXPECT_EQ(*ids.begin(), 0);
  EXPECT_EQ(*ids.rbegin(), 509);
  for (int unused : {95, 100, 163, 216, 232, 237, 263, 264, 265, 266, 267, 268, 269, 270, 404, 405, 482, 483, 500}) {
    EXPECT_EQ(ids.count(unused), 0u) << unused;
    EXPECT_EQ(table.FindHandler(unused), nullptr) << unused;
  }
}

TEST_F(ActionTableTest, FixedIdsOfTheEntriesAndSystemWords) {
  const std::pair<const char*, int> fixed[] = {
      {"Movie Entry", 0}, {"Music Entry", 1}, {"Photo Entry", 2},     {"Video Entry", 3},  {"TV Entry", 4},
      {"Radio Entry", 5}, {"Record Entry", 6}, {"Authoring Entry", 7}, {"Burning Entry", 8}, {"Home", 9},
      {"Back", 10},       {"On Hide OSD", 11}, {"Movie Play", 12},     {"Vol Mute", 505},   {"Vol Unmute", 506},
      {"Vol Mute Unmute", 507}, {"Vol Up", 508}, {"Vol Down", 509}};
  for (const auto& [name, id] : fixed) EXPECT_EQ(system_->Actions().FindId(name), id) << name;
}

TEST_F(ActionTableTest, NamesWithoutEffectSucceedAndChangeNothing) {
  ASSERT_EQ(kNoEffectActionNames.size(), 34u);
  Config().m_nActiveModule = MODULE_VIDEO;
  for (const char* name : kNoEffectActionNames) {
    EXPECT_EQ(system_->ExecuteAction(name, 0, 0), S_OK) << name;
  }
  EXPECT_EQ(Config().m_nActiveModule, MODULE_VIDEO);
  EXPECT_TRUE(steps_.empty());
  EXPECT_TRUE(frame_.calls.empty());
}

TEST_F(ActionTableTest, RefusedNames) {
  EXPECT_EQ(system_->ExecuteAction("movie play", 0, 0), E_FAIL);  // names are case-sensitive
  EXPECT_EQ(system_->ExecuteAction("", 0, 0), E_FAIL);
  EXPECT_EQ(system_->ExecuteAction(nullptr, 0, 0), E_FAIL);
  EXPECT_EQ(system_->ExecuteAction("Movie Play ", 0, 0), E_FAIL);
  // A handler that refuses answers 0: the action fails (no job to preview).
  EXPECT_EQ(system_->ExecuteAction("Authoring Preview", 0, 0), E_FAIL);
}

TEST(ActionTableUnit, RegisteringAgainOverwritesAndBucketsResolveCollisions) {
  CActionTable table;
  EXPECT_EQ(table.FindHandler(3), nullptr);  // no buckets yet
  table.Register("A", 3, &CUISystem::OnHome);
  table.Register("A", 20, &CUISystem::OnBack);  // same bucket family, new id
  table.Register("B", 3, &CUISystem::OnNoEffect);
  EXPECT_EQ(table.FindId("A"), 20);
  EXPECT_EQ(table.FindHandler(3), &CUISystem::OnNoEffect);
  EXPECT_EQ(table.FindHandler(20), &CUISystem::OnBack);
  // 0 and 17 * 16 = 272 share bucket 0.
  table.Register("C", 0, &CUISystem::OnHome);
  table.Register("D", 272, &CUISystem::OnBack);
  EXPECT_EQ(table.FindHandler(0), &CUISystem::OnHome);
  EXPECT_EQ(table.FindHandler(272), &CUISystem::OnBack);
  EXPECT_EQ(table.FindHandler(-1), nullptr);
}

struct ModuleExit {
  int module;
  const char* homeStep;  // what Home and StopActiveModule run
  const char* stopStep;
  const char* backStep;
};

const ModuleExit kModules[] = {
    {MODULE_PHOTO, "PhotoStopModule", "PhotoStopModule", "PhotoBack"},
    {MODULE_MUSIC, "MusicStopModule", "MusicStopModule", "OnMusicBack"},
    {MODULE_MOVIE, "MovieStopModule(1)", "MovieStopModule(0)", "OnMovieBack"},
    {MODULE_RADIO, "RadioStopModule", "RadioStopModule", "RadioBack"},
    {MODULE_RECORD, "RecordStopModule", "RecordStopModule", "RecordBack"},
    {MODULE_VIDEO, "VideoStopModule", "VideoStopModule", "VideoBack"},
    {MODULE_TV, "TVStopModule", "TVStopModule", "TVBack"},
    {MODULE_BURNING, "RecordStopModule", "RecordStopModule", "RecordBack"},
};

TEST_F(ActionTableTest, HomeLeavesEachModuleAndShowsTheHomePage) {
  for (const auto& m : kModules) {
    steps_.clear();
    frame_.calls.clear();
    home_.shown = 0;
    Config().m_nActiveModule = m.module;
    EXPECT_EQ(system_->ExecuteAction("Home", 0, 0), S_OK);
    EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE) << m.module;
    EXPECT_EQ(home_.shown, 1);
    ASSERT_EQ(steps_.size(), 1u) << m.module;
    EXPECT_EQ(steps_[0], m.homeStep);
    EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));
  }
}

TEST_F(ActionTableTest, HomeAtHomeAndForModuleNineRunsNoExit) {
  for (int module : {MODULE_NONE, MODULE_SETTING}) {
    steps_.clear();
    Config().m_nActiveModule = module;
    EXPECT_EQ(system_->ExecuteAction("Home", 0, 0), S_OK);
    EXPECT_TRUE(steps_.empty()) << module;
  }
}

TEST_F(ActionTableTest, HomeByVendor) {
  RemoteWindow remote;
  frame_.vendor = 2;
  system_->ExecuteAction("Home", 0, 0);
  EXPECT_TRUE(frame_.Saw("SetCaptionBarVisible 1 0"));
  Pump();
  EXPECT_TRUE(remote.messages.empty());  // the remote hears only vendor 1
  frame_.vendor = 1;
  system_->ExecuteAction("Home", 0, 0);
  Pump();
  ASSERT_EQ(remote.messages.size(), 1u);
  EXPECT_EQ(remote.messages[0].msg, WM_REMOTE_MODE);
  EXPECT_EQ(remote.messages[0].wParam, 0u);
  EXPECT_EQ(remote.messages[0].lParam, 4);
}

TEST_F(ActionTableTest, BackStepsBackInEachModule) {
  // In the photo browser, Photo's back goes back a view (at the drive
  // selector it would leave the module).
  Config().m_pPhoto->m_nPhotoState = 0;
  Config().m_pMovie->m_nMoviePageState = 6;  // a settings page: Back goes to the pop-up menu
  Config().m_pMusic->PushMusicPage(4);  // the folder page over the device page: Back goes to the device page
  Config().m_pMusic->PushMusicPage(6);
  Config().m_pRadio->m_nPage = 11;  // the radio settings: Back goes to the main page
  for (const auto& m : kModules) {
    steps_.clear();
    Config().m_nActiveModule = m.module;
    // Pages whose step back stays in the module: the hub's volume list and
    // the Video general settings.
    Config().m_pRecord->m_nState = 1;
    Config().m_pVideo->m_nView = 7;
    EXPECT_EQ(system_->ExecuteAction("Back", 0, 0), S_OK);
    ASSERT_EQ(steps_.size(), 1u);
    EXPECT_EQ(steps_[0], m.backStep);
    EXPECT_EQ(Config().m_nActiveModule, m.module);  // the back step alone leaves nothing
  }
  Config().m_nActiveModule = MODULE_SETTING;
  system_->ExecuteAction("Back", 0, 0);
  EXPECT_EQ(module9_.backs, 1);
  // At home "Back" is "Home".
  Config().m_nActiveModule = MODULE_NONE;
  home_.shown = 0;
  EXPECT_EQ(system_->ExecuteAction("Back", 0, 0), S_OK);
  EXPECT_EQ(home_.shown, 1);
}

TEST_F(ActionTableTest, StopActiveModuleLeavesWithoutShowingHome) {
  for (const auto& m : kModules) {
    steps_.clear();
    Config().m_nActiveModule = m.module;
    EXPECT_EQ(system_->StopActiveModule(), 1);
    ASSERT_EQ(steps_.size(), 1u);
    EXPECT_EQ(steps_[0], m.stopStep);
  }
  EXPECT_EQ(home_.shown, 0);
}

TEST_F(ActionTableTest, OnHideOsdShowsTheLastingState) {
  Config().m_bPauseNoticeText = 1;
  Config().m_bKeepScanOsd = 1;
  struct Case {
    int module;
    int moviePlay, musicState, slideShow, videoPlay;
    const char* expected;  // null: nothing shown
  } cases[] = {
      {MODULE_PHOTO, 0, 2, 2, 0, "ShowOsdStringId PAUSE @0"},
      {MODULE_PHOTO, 0, 2, 3, 0, "ShowOsdStringId FASTFORWARD @0"},
      {MODULE_PHOTO, 0, 2, 4, 0, "ShowOsdStringId REWIND @0"},
      {MODULE_MUSIC, 0, 1, 0, 0, "ShowOsdStringId PAUSE @0"},
      {MODULE_MUSIC, 0, 4, 0, 0, "ShowOsdStringId REWIND @0"},
      {MODULE_MOVIE, 3, 2, 0, 0, "ShowOsdStringId PAUSE @0"},
      {MODULE_VIDEO, 0, 2, 0, 3, "ShowOsdStringId PAUSE @0"},
      {MODULE_MUSIC, 0, 0, 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    frame_.calls.clear();
    Config().m_nActiveModule = c.module;
    auto& s = system_->States();
    s.nMoviePlayState = c.moviePlay;
    s.nMusicState = c.musicState;
    s.nSlideShowState = c.slideShow;
    s.nVideoPlayState = c.videoPlay;
    EXPECT_EQ(system_->ExecuteAction("On Hide OSD", 0, 0), S_OK);
    if (c.expected) {
      EXPECT_TRUE(frame_.Saw(c.expected)) << c.expected;
      EXPECT_EQ(frame_.osd, 2000);  // the display time is put back
    } else {
      EXPECT_TRUE(frame_.calls.empty());
    }
  }
  // A lasting mute shows again when nothing else does.
  Config().m_bKeepMuteOsd = 1;
  core_->audio->SetSpeakersMute(0, 1);
  frame_.calls.clear();
  system_->ExecuteAction("On Hide OSD", 0, 0);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId MUTEON @0"));
}

}  // namespace
}  // namespace bridge_test
