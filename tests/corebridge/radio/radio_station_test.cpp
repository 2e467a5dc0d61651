// The Radio controller's stations on a scripted radio engine: the band scan
// and its events, adding stations, favourites, the RDS texts, the signal
// poll, and actions that arrive while a retune waits.
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/corebridge/radio/radio_test_support.h"

namespace radio_test {
namespace {

class RadioStationTest : public RadioTest {
 protected:
  IRadioEventSink& Sink() { return *system_->RadioSink(); }
};

TEST_F(RadioStationTest, AutoScanRebuildsTheBandsList) {
  ASSERT_EQ(Enter(), 1);
  Radio().m_fmStations = {MakeRadioStation("Old", 90000000, 1, -1)};
  Radio().m_nFMAutoScanScale = 100000;
  EXPECT_EQ(Run("Radio AutoScan"), 1);
  EXPECT_TRUE(Engine().Saw("7 100000"));
  EXPECT_EQ(Engine().sink, system_->RadioSink());
  EXPECT_TRUE(Radio().m_fmStations.empty());

  EXPECT_EQ(Sink().OnSearchStarted(), 1);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_SCANNING);
  EXPECT_EQ(Engine().mute, 1);
  Radio().SetRadioPage(2);
  page_.calls.clear();
  Sink().OnStationFound(88100000);
  Sink().OnRadioText("Jazz Radio");  // RDS from the tuner names the next one
  Sink().OnStationFound(99500000);
  ASSERT_EQ(Radio().m_fmStations.size(), 2u);
  EXPECT_EQ(Radio().m_fmStations[0].nFrequency, 88100000);
  EXPECT_EQ(Radio().m_fmStations[0].strName.substr(0, 2), "88");
  EXPECT_EQ(Radio().m_fmStations[1].strName, "Jazz Radio");
  EXPECT_EQ(Radio().m_nCurFMStation, 1);
  EXPECT_EQ(Radio().m_nScanProgress, 50);
  EXPECT_TRUE(page_.Saw("RefreshStationList"));
  EXPECT_TRUE(page_.Saw("Redraw 1"));

  EXPECT_EQ(Sink().OnSearchEnded(), 1);
  EXPECT_EQ(Engine().mute, 0);
  EXPECT_EQ(Engine().frequency, 88100000);
  EXPECT_EQ(Radio().m_nCurFMStation, 0);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
}

TEST_F(RadioStationTest, ARefusedScanKeepsTheList) {
  ASSERT_EQ(Enter(), 1);
  Radio().m_fmStations = {MakeRadioStation("Old", 90000000, 1, -1)};
  Radio().m_nCurFMStation = 0;
  Engine().failing.insert(7);
  EXPECT_EQ(Run("Radio AutoScan"), 0);
  ASSERT_EQ(Radio().m_fmStations.size(), 1u);
  EXPECT_EQ(Radio().m_fmStations[0].strName, "Old");
  EXPECT_EQ(Radio().m_nCurFMStation, 0);
}

TEST_F(RadioStationTest, AScanRunningIsStoppedFirstAndByRadioStop) {
  ASSERT_EQ(Enter(), 1);
  Run("Radio AutoScan");
  Sink().OnSearchStarted();
  Engine().calls.clear();
  EXPECT_EQ(Run("Radio AutoScan"), 1);
  EXPECT_EQ(Engine().calls.front(), "10");
  Sink().OnSearchStarted();
  Engine().calls.clear();
  Run("Radio Stop");
  EXPECT_TRUE(Engine().Saw("10"));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
}

TEST_F(RadioStationTest, ComponentCannotScan) {
  ASSERT_EQ(EnterComponent(), 1);
  EXPECT_EQ(Run("Radio AutoScan"), 0);
  EXPECT_FALSE(Engine().SawSlot(7));
}

TEST_F(RadioStationTest, EventsAreDroppedWhileTheRadioIsNotActive) {
  ASSERT_EQ(Enter(), 1);
  Run("Radio Exit");
  Radio().m_fmStations.clear();
  page_.calls.clear();
  EXPECT_EQ(Sink().OnSearchStarted(), 0);
  EXPECT_EQ(Sink().OnStationFound(88100000), 0);
  EXPECT_EQ(Sink().OnRecordingStarted(), 0);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_OFF);
  EXPECT_TRUE(Radio().m_fmStations.empty());
  EXPECT_TRUE(page_.calls.empty());
}

TEST_F(RadioStationTest, RdsTextsNeedRdsAndDrawOnTheTextPages) {
  Engine().failing.insert(22);  // no RDS on this tuner
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Radio().m_bRadioText, 0);
  EXPECT_EQ(Sink().OnStationName("HIDDEN"), 0);
  EXPECT_EQ(Radio().m_strRdsStation, "");
  Run("Radio Exit");

  Engine().failing.clear();
  ASSERT_EQ(Enter(), 1);
  struct Case {
    int (IRadioEventSink::*slot)(const char*);
    std::string CRadioConfig::*field;
  } cases[] = {{&IRadioEventSink::OnRadioText, &CRadioConfig::m_strRdsText},
               {&IRadioEventSink::OnProgramType, &CRadioConfig::m_strRdsType},
               {&IRadioEventSink::OnClockTime, &CRadioConfig::m_strRdsDateTime},
               {&IRadioEventSink::OnStationName, &CRadioConfig::m_strRdsStation}};
  for (const auto& c : cases) {
    Radio().SetRadioPage(2);
    page_.calls.clear();
    EXPECT_EQ((Sink().*c.slot)("Text"), 1);
    EXPECT_EQ(Radio().*c.field, "Text");
    EXPECT_TRUE(page_.Saw("DrawRadioText"));
    Radio().SetRadioPage(11);  // not a page that shows them
    page_.calls.clear();
    (Sink().*c.slot)("");
    EXPECT_EQ(Radio().*c.field, "");
    EXPECT_FALSE(page_.Saw("DrawRadioText"));
  }
}

TEST_F(RadioStationTest, RecordingEventsMoveTheState) {
  frame_.vendor = 4;
  ASSERT_EQ(Enter(), 1);
  Radio().SetRadioPage(3);
  Sink().OnRecordingStarted();
  EXPECT_EQ(Radio().m_nPage, 17);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);
  Sink().OnRecordingStopped();
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
}

TEST_F(RadioStationTest, SignalPollDrawsOnlyChanges) {
  ASSERT_EQ(Enter(), 1);
  Engine().frequency = 98500000;
  Engine().levels = {{98500000, 4}};
  page_.calls.clear();
  EXPECT_EQ(system_->RadioCommand(0, 0), 1);
  EXPECT_EQ(Radio().m_nStoredSignal, 4);
  EXPECT_TRUE(page_.Saw("DrawRadioText"));
  page_.calls.clear();
  system_->RadioCommand(0, 0);
  EXPECT_FALSE(page_.Saw("DrawRadioText"));
  Engine().levels = {{98500000, 1}};
  Radio().SetRadioPage(11);
  EXPECT_EQ(system_->RadioCommand(0, 0), 0);
  EXPECT_EQ(Radio().m_nStoredSignal, 4);
}

TEST_F(RadioStationTest, AddStation) {
  ASSERT_EQ(Enter(), 1);
  Radio().m_fmStations.clear();
  Radio().m_nCurFMFrequency = 101300000;
  page_.calls.clear();
  EXPECT_EQ(Run("Radio AddStation"), 1);
  ASSERT_EQ(Radio().m_fmStations.size(), 1u);
  EXPECT_EQ(Radio().m_fmStations[0].nFrequency, 101300000);
  EXPECT_TRUE(page_.Saw("RefreshStationList"));
  // The same frequency again replaces, not doubles, the station.
  Run("Radio AddStation");
  EXPECT_EQ(Radio().m_fmStations.size(), 1u);
  Run("Radio Exit");

  // The component shows its preset places instead.
  ASSERT_EQ(EnterComponent(), 1);
  EXPECT_EQ(Run("Radio AddStation"), 1);
  ASSERT_FALSE(Radio().m_pageHistory.empty());
  EXPECT_EQ(Radio().m_pageHistory.back(), 7);  // the preset places, for the page to name
  EXPECT_EQ(Radio().m_fmStations.size(), 6u);
}

TEST_F(RadioStationTest, FavouritesAndStationEditing) {
  ASSERT_EQ(Enter(), 1);
  Radio().m_fmStations = {MakeRadioStation("A", 88100000, 1, -1), MakeRadioStation("B", 99500000, 1, -1),
                          MakeRadioStation("C", 104000000, 1, -1)};
  EXPECT_EQ(Run("Radio GeneralStation Page"), 1);
  EXPECT_EQ(Radio().m_nPage, 18);
  EXPECT_EQ(Radio().m_nSelectedStation, -1);
  EXPECT_EQ(Radio().m_pageHistory, std::vector<int>{8});  // choosing a station
  EXPECT_EQ(Run("Radio AddTo Favorite"), 0);  // nothing selected

  Radio().m_nSelectedStation = 2;
  EXPECT_EQ(Run("Radio AddTo Favorite"), 1);
  Radio().m_nSelectedStation = 0;
  EXPECT_EQ(Run("Radio AddTo Favorite"), 1);
  EXPECT_EQ(Radio().m_fmStations[2].nPresetId, 0);
  EXPECT_EQ(Radio().m_fmStations[0].nPresetId, 1);
  Run("Radio AddTo Favorite");  // already a favourite: unchanged
  EXPECT_EQ(Radio().m_fmStations[0].nPresetId, 1);

  EXPECT_EQ(Run("Radio FavoriteStation Page"), 1);
  ASSERT_EQ(Radio().m_favoriteStations.size(), 2u);
  EXPECT_EQ(Radio().m_favoriteStations[0].strName, "C");
  // Deleting the last favourite keeps the selection inside the list.
  Radio().m_nSelectedStation = 1;
  EXPECT_EQ(Run("Radio Delete"), 1);
  EXPECT_EQ(Radio().m_fmStations.size(), 3u);  // the station stays, only its preset goes
  EXPECT_EQ(Radio().m_fmStations[0].nPresetId, -1);
  EXPECT_EQ(Radio().m_nSelectedStation, 0);
  ASSERT_EQ(Radio().m_favoriteStations.size(), 1u);

  // Rename opens the rename page; Back returns to the page it came from.
  EXPECT_EQ(Run("Radio Rename"), 1);
  EXPECT_EQ(Radio().m_nPage, 20);
  Run("Radio Back");
  EXPECT_EQ(Radio().m_nPage, 19);

  // Move marks the favourite; Back ends the move and the page chooses again.
  Radio().m_nSelectedStation = 0;
  EXPECT_EQ(Run("Radio Move"), 1);
  EXPECT_EQ(Radio().m_pageHistory, std::vector<int>{2});
  EXPECT_EQ(Radio().m_nMovingPresetId, 0);
  Radio().m_bPresetsChanged = 0;
  EXPECT_EQ(Run("Radio Back"), 1);
  EXPECT_EQ(Radio().m_nPage, 19);
  EXPECT_EQ(Radio().m_pageHistory, std::vector<int>{8});
  EXPECT_EQ(Radio().m_nMovingPresetId, -1);
  EXPECT_EQ(Radio().m_bPresetsChanged, 1);
  // A chosen station: Back cancels the choice and stays.
  Radio().PushRadioPage(9);
  Radio().m_nSelectedStation = 0;
  Run("Radio Back");
  EXPECT_EQ(Radio().m_nPage, 19);
  EXPECT_EQ(Radio().m_nSelectedStation, -1);
  // Nothing chosen: Back goes to the setting page.
  Run("Radio Back");
  EXPECT_EQ(Radio().m_nPage, 11);

  // On the general page Delete removes the station itself.
  Run("Radio GeneralStation Page");
  Radio().m_nSelectedStation = 2;
  EXPECT_EQ(Run("Radio Delete"), 1);
  EXPECT_EQ(Radio().m_fmStations.size(), 2u);
  EXPECT_EQ(Radio().m_nSelectedStation, 1);
}

TEST_F(RadioStationTest, PageActionsAndTheWayBack) {
  ASSERT_EQ(Enter(), 1);
  struct Step {
    const char* action;
    int page;
  } steps[] = {{"Radio Setting Page", 11},     {"Radio RadioSetting Page", 12}, {"Radio Back", 12},
               {"Radio AddStation Page", 10},  {"Radio Back", 11},              {"Radio Back", 2},
               {"Radio Schedule Page", 6},     {"Radio Back", 2},               {"Radio Back", 17},
               {"Radio RadioText Page", 3},    {"Radio MainPage", 2}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.action);
    Run(s.action);
    EXPECT_EQ(Radio().m_nPage, s.page);
  }
  // Back on the main station page leaves the radio.
  Run("Radio MainStation Page");
  Run("Radio Back");
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_TRUE(Engine().Saw("4"));
}

TEST_F(RadioStationTest, NoEffectActionsAnswerZero) {
  ASSERT_EQ(Enter(), 1);
  for (const char* action : {"Radio SortBy Category", "Radio SortBy Status", "Radio PreviewAndBurn Page",
                             "Radio Clear Schedule History"}) {
    EXPECT_EQ(Run(action), 0) << action;
  }
}

// A window whose message runs a radio action, as a key would while a
// retune waits.
std::function<void()>& OnActionMessage() {
  static std::function<void()> hook;
  return hook;
}

LRESULT ActionWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_USER + 77 && OnActionMessage()) OnActionMessage()();
  return DefWindowProc(h, msg, wp, lp);
}

TEST_F(RadioStationTest, ActionsAreRefusedWhileARetuneWaits) {
  ASSERT_EQ(Enter(), 1);
  WNDCLASS wc{};
  wc.lpfnWndProc = &ActionWindowProc;
  wc.lpszClassName = "RadioActionTestWindow";
  RegisterClass(&wc);
  HWND window = CreateWindowEx(0, "RadioActionTestWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(window, nullptr);
  int answer = -1;
  OnActionMessage() = [&] { answer = Run("Radio Finetune Up"); };
  Radio().m_nCurFMFrequency = 98000000;
  PostMessage(window, WM_USER + 77, 0, 0);
  EXPECT_EQ(Run("Radio Finetune Down"), 1);
  EXPECT_EQ(answer, 0);  // the action that came during the wait was refused
  EXPECT_EQ(Radio().m_nCurFMFrequency, 97950000);
  OnActionMessage() = nullptr;
  DestroyWindow(window);
}

}  // namespace
}  // namespace radio_test
