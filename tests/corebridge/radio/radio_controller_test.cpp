// The Radio controller on a scripted radio engine: the vendor roads into
// the module and out of it, tuning, fine-tuning, seeking, the bands, the
// areas and the settings steps.
#include <algorithm>

#include "platform/com/module_path.h"
#include "tests/corebridge/radio/radio_test_support.h"

namespace radio_test {
namespace {

class RadioControllerTest : public RadioTest {};

TEST_F(RadioControllerTest, EntryNeedsBothFeatureBits) {
  struct Case {
    int root, radio;
  } cases[] = {{0, 2}, {2, 0}, {1, 2}, {2, 1}};
  for (const auto& c : cases) {
    Config().m_aFeatureWords[FEATURE_ROOT] = c.root;
    Config().m_aFeatureWords[FEATURE_RADIO] = c.radio;
    EXPECT_EQ(Enter(), 0) << c.root << " " << c.radio;
    EXPECT_FALSE(Engine().SawSlot(3));
    EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  }
}

TEST_F(RadioControllerTest, TunerRoadOpensKindOneAndShowsTheMainPage) {
  Radio().m_nCurFMFrequency = 98500000;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RADIO);
  EXPECT_TRUE(Engine().Saw("3 1"));
  EXPECT_TRUE(Engine().Saw("22"));
  EXPECT_EQ(Engine().sink, system_->RadioSink());
  EXPECT_EQ(Radio().m_bRadioText, 1);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_EQ(Radio().m_nPage, 2);
  EXPECT_EQ(Engine().frequency, 98500000);
  EXPECT_TRUE(frame_.powerHeld);
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));
  // The page is made active before it shows the main page.
  const int entered = page_.IndexOf("EnterModule");
  ASSERT_GE(entered, 0);
  EXPECT_LT(entered, page_.IndexOf("ShowCurrentPage 2"));
  // No band switch and no area on the tuner.
  EXPECT_FALSE(Engine().SawSlot(14));
  EXPECT_FALSE(Engine().SawSlot(19));
  // A second entry while the radio is active changes nothing.
  Engine().calls.clear();
  EXPECT_EQ(Enter(), 1);
  EXPECT_TRUE(Engine().calls.empty());
}

TEST_F(RadioControllerTest, VendorRoads) {
  // The component opens on the "Radio" folder beside the program.
  const std::string component = "3 2 " + plat::com_detail::ExecutableDirectory() + "/Radio";
  struct Case {
    int vendor;
    int answer;
    const char* open;  // the Open call, null for none
    int page;
  } cases[] = {{0, 1, "3 1", 2},
               {4, 1, "3 1", 17},
               {3, 1, component.c_str(), 2},
               {1, 0, nullptr, 0},
               {2, 0, nullptr, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vendor);
    frame_.vendor = c.vendor;
    Engine().device = c.vendor == 3 ? kRadioDeviceComponent : kRadioDeviceTuner;
    Engine().calls.clear();
    EXPECT_EQ(Enter(), c.answer);
    if (c.open) EXPECT_TRUE(Engine().Saw(c.open));
    else EXPECT_FALSE(Engine().SawSlot(3));
    EXPECT_EQ(Radio().m_nPage, c.page);
    EXPECT_EQ(Config().m_nActiveModule, c.answer ? MODULE_RADIO : MODULE_NONE);
    EXPECT_EQ(Engine().SawSlot(22), c.vendor == 0 || c.vendor == 4);
    Run("Radio Exit");
    EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  }
}

TEST_F(RadioControllerTest, EntryFromAnotherModuleLeavesItFirst) {
  Config().m_nActiveModule = MODULE_TV;
  ASSERT_EQ(Enter(), 1);
  EXPECT_TRUE(Stepped("TVStopModule"));
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RADIO);
  // Home stops the radio in turn.
  steps_.clear();
  Run("Home");
  EXPECT_TRUE(Stepped("RadioStopModule"));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_OFF);
}

TEST_F(RadioControllerTest, FailedOpenLeavesTheModuleUnstarted) {
  Engine().failing.insert(3);
  EXPECT_EQ(Enter(), 0);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_EQ(Radio().m_nPage, 0);
  EXPECT_TRUE(page_.Saw("ShowCurrentPage 0"));
  EXPECT_FALSE(frame_.powerHeld);
}

TEST_F(RadioControllerTest, TunerStartTunesTheSavedFrequencyInsideTheBand) {
  Engine().edges[1] = {87500000, 108000000};
  Radio().m_nCurBand = RADIO_BAND_AM;  // the tuner has FM only
  Radio().m_nCurFMFrequency = 120000000;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Radio().m_nCurBand, RADIO_BAND_FM);
  EXPECT_EQ(Engine().frequency, 108000000);
  EXPECT_EQ(Radio().m_nCurFMFrequency, 108000000);
}

TEST_F(RadioControllerTest, ComponentStartAppliesTheAreaAndReadsThePresets) {
  struct Case {
    int country, area, engineArea;
  } cases[] = {{1, 2, 1}, {81, 3, 2}, {49, 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.country);
    country_ = c.country;
    Radio().m_nCurArea = 0;
    Engine().presets[0] = 98.5;    // FM 98.5 MHz
    Engine().presets[1] = 200.0;   // outside the FM band
    Engine().presets[10] = 999.0;  // AM 999 kHz
    ASSERT_EQ(EnterComponent(), 1);
    EXPECT_EQ(Radio().m_nCurArea, c.area);
    EXPECT_EQ(Engine().area, c.engineArea);
    ASSERT_EQ(Radio().m_fmStations.size(), 6u);
    ASSERT_EQ(Radio().m_amStations.size(), 6u);
    EXPECT_EQ(Radio().m_fmStations[0].nFrequency, 98500000);
    EXPECT_EQ(Radio().m_fmStations[1].strName, "------");
    EXPECT_EQ(Radio().m_amStations[0].nFrequency, 999000000);
    EXPECT_EQ(Radio().m_amStations[0].strName, "999");
    Run("Radio Exit");
  }
}

TEST_F(RadioControllerTest, AmStepsFollowTheAreaAtStart) {
  struct Case {
    int area, step, expected;
  } cases[] = {{2, 9000000, 10000000}, {2, 20000000, 20000000}, {1, 18000000, 18000000},
               {1, 20000000, 9000000}, {3, 10000000, 9000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.area) + " " + std::to_string(c.step));
    Radio().m_nCurArea = c.area;
    Radio().m_nAMFineTuneScale = c.step;
    Radio().m_nAMAutoScanScale = c.step;
    ASSERT_EQ(EnterComponent(), 1);
    EXPECT_EQ(Radio().m_nAMFineTuneScale, c.expected);
    EXPECT_EQ(Radio().m_nAMAutoScanScale, c.expected);
    Run("Radio Exit");
  }
}

TEST_F(RadioControllerTest, ExitWritesChangedPresetsBackAndClosesTheEngine) {
  ASSERT_EQ(EnterComponent(), 1);
  Radio().m_fmStations[2].nFrequency = 101100000;
  Radio().m_amStations[0].nFrequency = 1602000000;
  Radio().m_bPresetsChanged = 1;
  EXPECT_EQ(Run("Radio Exit"), 1);
  EXPECT_DOUBLE_EQ(Engine().written[2], 101.1);
  EXPECT_DOUBLE_EQ(Engine().written[10], 1602.0);
  EXPECT_EQ(Radio().m_bPresetsChanged, 0);
  EXPECT_TRUE(Engine().Saw("4"));
  EXPECT_TRUE(Engine().Saw("23"));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_OFF);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_FALSE(frame_.powerHeld);

  // Unchanged presets are not written.
  ASSERT_EQ(EnterComponent(), 1);
  Engine().calls.clear();
  Run("Radio Exit");
  EXPECT_FALSE(Engine().SawSlot(25));
}

TEST_F(RadioControllerTest, HomeLeavesTheRadio) {
  ASSERT_EQ(Enter(), 1);
  Run("Home");
  EXPECT_TRUE(Engine().Saw("4"));
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
}

TEST_F(RadioControllerTest, EveryActionFailsWithoutTheEngine) {
  engineOn_ = false;
  for (const char* action : {"Radio Entry", "Radio Finetune Up", "Radio ForwardScan", "Radio Setting Page",
                             "Radio Setting RadioScanprecision Left", "Radio Record", "Radio SetSchedule Page"}) {
    EXPECT_EQ(Run(action), 0) << action;
  }
  EXPECT_EQ(Radio().m_nScanPrecision, 0);
  EXPECT_EQ(Radio().m_nPage, 0);
}

TEST_F(RadioControllerTest, TuneIsBoundedByTheBand) {
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Run("Radio Set Frequency Value", 87400000), 0);
  EXPECT_EQ(Run("Radio Set Frequency Value", 108000001), 0);
  page_.calls.clear();
  EXPECT_EQ(Run("Radio Set Frequency Value", 99123456), 1);
  EXPECT_EQ(Engine().frequency, 99123456);  // the tuner takes any frequency
  EXPECT_EQ(Radio().m_nCurFMFrequency, 99123456);
  EXPECT_TRUE(page_.Saw("ResetDigitEntry"));
  EXPECT_TRUE(frame_.Saw("NotifyPlaybackBar 1"));
  Run("Radio Exit");

  // The outside component tunes in steps of five.
  ASSERT_EQ(EnterComponent(), 1);
  EXPECT_EQ(Run("Radio Set Frequency Value", 99123456), 1);
  EXPECT_EQ(Engine().frequency, 99123455);
}

TEST_F(RadioControllerTest, FineTuneStopsAtBothEdges) {
  ASSERT_EQ(Enter(), 1);
  struct Step {
    int from;
    const char* action;
    int to;
  } steps[] = {{87500000, "Radio Finetune Down", 87500000}, {87520000, "Radio Finetune Down", 87500000},
               {98000000, "Radio Finetune Down", 97950000}, {108000000, "Radio Finetune Up", 108000000},
               {107980000, "Radio Finetune Up", 108000000}, {98000000, "Radio Finetune Up", 98050000}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.action + std::string(" ") + std::to_string(s.from));
    Radio().m_nCurFMFrequency = s.from;
    Engine().calls.clear();
    EXPECT_EQ(Run(s.action), 1);
    EXPECT_EQ(Engine().frequency, s.to);
    EXPECT_EQ(Radio().m_nCurFMFrequency, s.to);
    // Muted around the retune, and the sound back after it.
    EXPECT_EQ(Engine().calls.front(), "5 1");
    EXPECT_EQ(Engine().calls.back(), "5 0");
  }
}

TEST_F(RadioControllerTest, SeekStopsAtAStationOrAtTheEdge) {
  Engine().edges[1] = {87500000, 88000000};
  Radio().m_nFMAutoScanScale = 100000;
  Radio().m_nCurFMFrequency = 88000000;
  ASSERT_EQ(Enter(), 1);

  // Nothing above level 3: the seek ends on the last step inside the band.
  Engine().levels = {{87700000, 3}};
  Engine().calls.clear();
  EXPECT_EQ(Run("Radio BackScan"), 0);
  EXPECT_EQ(Engine().frequency, 87500000);
  EXPECT_EQ(Engine().Count("18"), 5);

  Engine().levels = {{87700000, 4}};
  page_.calls.clear();
  frame_.calls.clear();
  EXPECT_EQ(Run("Radio ForwardScan"), 1);
  EXPECT_EQ(Engine().frequency, 87700000);
  EXPECT_EQ(Radio().m_nCurFMFrequency, 87700000);
  EXPECT_EQ(Engine().mute, 0);
  // Each of the two steps shows its frequency in the live texts; the page
  // and the playback bar are drawn whole once, at the end.
  EXPECT_EQ(std::count(page_.calls.begin(), page_.calls.end(), "DrawRadioText"), 2);
  EXPECT_EQ(std::count(page_.calls.begin(), page_.calls.end(), "Redraw 0"), 1);
  EXPECT_GT(page_.IndexOf("Redraw 0"), page_.IndexOf("DrawRadioText"));
  EXPECT_EQ(std::count(frame_.calls.begin(), frame_.calls.end(), "NotifyPlaybackBar 1"), 1);
}

TEST_F(RadioControllerTest, PreviousAndNextOnTheStationList) {
  ASSERT_EQ(Enter(), 1);
  // Empty list: nothing tuned; Previous answers 1 and Next 0.
  Radio().m_fmStations.clear();
  Radio().m_nCurFMStation = -1;
  Engine().calls.clear();
  EXPECT_EQ(Run("Radio Previous"), 1);
  EXPECT_EQ(Run("Radio Next"), 0);
  EXPECT_FALSE(Engine().SawSlot(18));

  Radio().m_fmStations = {MakeRadioStation("A", 88100000, 1, -1), MakeRadioStation("B", 99500000, 1, -1),
                          MakeRadioStation("C", 104000000, 1, -1)};
  Radio().m_nCurFMStation = 1;
  Run("Radio Next");
  EXPECT_EQ(Engine().frequency, 104000000);
  EXPECT_EQ(Radio().m_nCurFMStation, 2);
  EXPECT_EQ(Radio().m_nPrevFMStation, 1);
  Run("Radio Next");  // wraps to the first
  EXPECT_EQ(Engine().frequency, 88100000);
  Run("Radio Previous");
  EXPECT_EQ(Engine().frequency, 104000000);

  // "Radio Swap" goes back to the previous station.
  Radio().m_nCurFMStation = 0;
  Radio().m_nPrevFMStation = 1;
  EXPECT_EQ(Run("Radio Swap"), 1);
  EXPECT_EQ(Engine().frequency, 99500000);
  EXPECT_EQ(Radio().m_nCurFMStation, 1);
  EXPECT_EQ(Radio().m_nPrevFMStation, 0);
}

TEST_F(RadioControllerTest, ComponentPreviousAndNextSeek) {
  Engine().edges[1] = {87500000, 88000000};
  Radio().m_nFMAutoScanScale = 100000;
  Radio().m_nCurFMFrequency = 87500000;
  ASSERT_EQ(EnterComponent(), 1);
  Engine().levels = {{87800000, 5}};
  EXPECT_EQ(Run("Radio Next"), 1);
  EXPECT_EQ(Engine().frequency, 87800000);
}

TEST_F(RadioControllerTest, ChooseBandReadsTheEdgesAndTunesInside) {
  Radio().m_nCurAMFrequency = 2000000000;  // outside the AM band
  ASSERT_EQ(EnterComponent(), 1);
  EXPECT_TRUE(Engine().Saw("14 1"));
  EXPECT_EQ(Run("Radio Choose AM"), 1);
  EXPECT_TRUE(Engine().Saw("14 2"));
  EXPECT_EQ(Radio().m_nCurBand, RADIO_BAND_AM);
  EXPECT_EQ(Engine().frequency, 522000000);
  EXPECT_EQ(Radio().m_nAMMin, 522000000);
  EXPECT_EQ(Radio().m_nAMMax, 1710000000);
  EXPECT_EQ(Run("Radio Choose FM"), 1);
  EXPECT_EQ(Radio().m_nCurBand, RADIO_BAND_FM);

  // A failing band switch keeps the band.
  Engine().failing.insert(14);
  EXPECT_EQ(Run("Radio Choose AM"), 0);
  EXPECT_EQ(Radio().m_nCurBand, RADIO_BAND_FM);
  Run("Radio Exit");

  // The tuner has no band switch.
  ASSERT_EQ((frame_.vendor = 0, Engine().device = kRadioDeviceTuner, Enter()), 1);
  EXPECT_EQ(Run("Radio Choose AM"), 0);
}

TEST_F(RadioControllerTest, AreaCycles) {
  ASSERT_EQ(EnterComponent(), 1);
  struct Step {
    const char* action;
    int area, engineArea, amStep;
  } steps[] = {{"Radio Setting RadioArea Left", 3, 2, 9000000}, {"Radio Setting RadioArea Left", 2, 1, 10000000},
               {"Radio Setting RadioArea Left", 1, 0, 9000000}, {"Radio Setting RadioArea Right", 2, 1, 10000000},
               {"Radio Setting RadioArea Right", 3, 2, 9000000}, {"Radio Setting RadioArea Right", 1, 0, 9000000}};
  ASSERT_EQ(Radio().m_nCurArea, 1);
  for (const auto& s : steps) {
    SCOPED_TRACE(s.action + std::string(" to ") + std::to_string(s.area));
    Radio().m_fmStations[0].nFrequency = 98500000;
    Radio().m_bPresetsChanged = 0;
    EXPECT_EQ(Run(s.action), 1);
    EXPECT_EQ(Radio().m_nCurArea, s.area);
    EXPECT_EQ(Engine().area, s.engineArea);
    EXPECT_EQ(Radio().m_nAMFineTuneScale, s.amStep);
    EXPECT_EQ(Radio().m_fmStations[0].nFrequency, 0);  // the lists start over
    EXPECT_EQ(Radio().m_bPresetsChanged, 1);
  }
  Run("Radio Exit");
  // The tuner sets no area.
  frame_.vendor = 0;
  Engine().device = kRadioDeviceTuner;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Run("Radio Setting RadioArea Left"), 0);
}

TEST_F(RadioControllerTest, SettingSteps) {
  ASSERT_EQ(Enter(), 1);
  struct Step {
    const char* action;
    int CRadioConfig::*field;
    int from, to;
  } steps[] = {
      {"Radio Setting RadioScanprecision Left", &CRadioConfig::m_nScanPrecision, 0, 2},
      {"Radio Setting RadioScanprecision Left", &CRadioConfig::m_nScanPrecision, 1, 0},
      {"Radio Setting RadioScanprecision Left", &CRadioConfig::m_nScanPrecision, 2, 1},
      {"Radio Setting RadioScanprecision Right", &CRadioConfig::m_nScanPrecision, 0, 1},
      {"Radio Setting RadioScanprecision Right", &CRadioConfig::m_nScanPrecision, 2, 0},
      {"Radio Setting RadioFMFinetunescale Left", &CRadioConfig::m_nFMFineTuneScale, 50000, 100000},
      {"Radio Setting RadioFMFinetunescale Right", &CRadioConfig::m_nFMFineTuneScale, 100000, 50000},
      {"Radio Setting RadioFMScanfreqscale Right", &CRadioConfig::m_nFMAutoScanScale, 50000, 100000},
      {"Radio Setting RadioAMFinetunescale Left", &CRadioConfig::m_nAMFineTuneScale, 9000000, 18000000},
      {"Radio Setting RadioAMScanfreqscale Right", &CRadioConfig::m_nAMAutoScanScale, 18000000, 9000000},
      {"Radio Setting RecordFormat Left", &CRadioConfig::m_nRecordFormat, 0, 4},
      {"Radio Setting RecordFormat Right", &CRadioConfig::m_nRecordFormat, 4, 0},
      {"Radio Setting RecordFormat Right", &CRadioConfig::m_nRecordFormat, 0, 1},
      {"Radio Setting RecordDiscFormat Left", &CRadioConfig::m_nRecordDiscFormat, 0, 1},
      {"Radio Setting RecordDiscFormat Right", &CRadioConfig::m_nRecordDiscFormat, 1, 0},
      {"Radio Setting RecordTo Right", &CRadioConfig::m_nRecordTo, 3, 0},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.action + std::string(" from ") + std::to_string(s.from));
    Radio().*s.field = s.from;
    page_.calls.clear();
    EXPECT_EQ(Run(s.action), 1);
    EXPECT_EQ(Radio().*s.field, s.to);
    EXPECT_TRUE(page_.Saw("Redraw 0"));
  }
  // In area 2 the AM steps are 10 and 20 kHz.
  Radio().m_nCurArea = 2;
  Radio().m_nAMFineTuneScale = 10000000;
  Run("Radio Setting RadioAMFinetunescale Right");
  EXPECT_EQ(Radio().m_nAMFineTuneScale, 20000000);
}

TEST_F(RadioControllerTest, ComponentRecordFormatSkipsMp3) {
  ASSERT_EQ(EnterComponent(), 1);
  Radio().m_nRecordFormat = 0;
  Run("Radio Setting RecordFormat Right");
  EXPECT_EQ(Radio().m_nRecordFormat, 2);
  Radio().m_nRecordFormat = 2;
  Run("Radio Setting RecordFormat Left");
  EXPECT_EQ(Radio().m_nRecordFormat, 0);
}

TEST_F(RadioControllerTest, RestoreByPage) {
  ASSERT_EQ(EnterComponent(), 1);
  country_ = 1;
  Radio().SetRadioPage(11);
  Radio().m_nFMFineTuneScale = 100000;
  Radio().m_nRecordFormat = 3;
  Run("Radio Setting Restore");
  EXPECT_EQ(Radio().m_nCurArea, 2);
  EXPECT_EQ(Radio().m_nAMFineTuneScale, 10000000);
  EXPECT_EQ(Radio().m_nAMAutoScanScale, 10000000);
  EXPECT_EQ(Radio().m_nFMFineTuneScale, 50000);
  EXPECT_EQ(Radio().m_nRecordFormat, 0);
  EXPECT_EQ(Radio().m_nScanPrecision, 2);
  EXPECT_EQ(Engine().area, 1);

  Radio().SetRadioPage(14);
  Run("Radio Setting Restore");
  EXPECT_EQ(Radio().m_nRecordFormat, 1);
}

TEST_F(RadioControllerTest, LineInStepsThroughTheDevicesRecordingLines) {
  ASSERT_EQ(Enter(), 1);
  // The in-memory card: line-ins "Line In" and "Microphone".
  ASSERT_EQ(Radio().m_nSourceDevice, 0);
  Radio().m_nSourceLine = 0;
  EXPECT_EQ(Run("Radio Setting RadioLineIn Right"), 1);
  EXPECT_EQ(Radio().m_nSourceLine, 1);
  int selected = 0, mute = 0;
  float volume = 0;
  DWORD type = 0;
  ASSERT_EQ(core_->audio->GetRecordingLineState(1, &selected, &mute, &volume, &type), S_OK);
  EXPECT_EQ(selected, 1);
  ASSERT_EQ(core_->audio->GetRecordingLineState(0, &selected, &mute, &volume, &type), S_OK);
  EXPECT_EQ(mute, 1);  // the other line is silenced
  EXPECT_EQ(Run("Radio Setting RadioLineIn Right"), 1);
  EXPECT_EQ(Radio().m_nSourceLine, 0);
  EXPECT_EQ(Run("Radio Setting RadioLineIn Left"), 1);
  EXPECT_EQ(Radio().m_nSourceLine, 1);
  EXPECT_EQ(Run("Radio Setting RadioSource Right"), 1);  // one device: stays
  EXPECT_EQ(Radio().m_nSourceDevice, 0);
}

TEST_F(RadioControllerTest, SourceArrowsWithoutDevicesDoNothing) {
  ASSERT_EQ(Enter(), 1);
  Radio().m_pProfiles1->m_profiles.clear();
  Radio().m_nSourceDevice = 0;
  EXPECT_EQ(Run("Radio Setting RadioSource Left"), 0);
  EXPECT_EQ(Run("Radio Setting RadioLineIn Right"), 0);
  Radio().m_nSourceDevice = -1;
  EXPECT_EQ(Run("Radio Setting RadioSource Right"), 0);
}

}  // namespace
}  // namespace radio_test
