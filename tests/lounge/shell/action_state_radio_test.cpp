// Radio rows: transport by radio state, stepping and fine tuning inside each
// band's own limits, the sort buttons per page, station and settings entries.
#include <memory>

#include <gtest/gtest.h>

#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "lounge/shell/action_state_radio.h"
#include "tests/lounge/shell/action_state_cases.h"

// Named, not anonymous: the module tables share one compilation in batch builds.
namespace radio_state_test {

using namespace action_state_test;
using C = Case<CRadioConfig>;
using R = CRadioConfig;

int AskPage(const R& r, std::string_view a, int& s, int& e, int& c) { return QueryRadioActionState(r, a, s, e, c); }
int AskBar(const R& r, std::string_view a, int& s, int& e, int& c) {
  return QueryRadioActionState(r, a, s, e, c, RadioStateCaller::kPlaybackBar);
}

void Check(const std::vector<C>& cases) { RunCases<CRadioConfig>(cases, AskPage); }

auto State(int state, int page = 0) {
  return [=](CConfig&, R& r) {
    r.m_nRecordState = state;
    r.m_nPage = page;
  };
}

// Listening on `band` at `frequency`, with scan step 100 kHz (FM) or 9 kHz
// (AM) and fine-tune step 50 kHz (FM) or 1 kHz (AM).
auto Tuned(int band, int frequency, int state = RADIO_LISTENING) {
  return [=](CConfig&, R& r) {
    r.m_nRecordState = state;
    r.m_nCurBand = band;
    r.m_nFMAutoScanScale = 100000;
    r.m_nFMFineTuneScale = 50000;
    r.m_nAMAutoScanScale = 9000000;
    r.m_nAMFineTuneScale = 1000000;
    (band == RADIO_BAND_FM ? r.m_nCurFMFrequency : r.m_nCurAMFrequency) = frequency;
  };
}

TEST(RadioActionState, TransportButtons) {
  Check({
      {"Radio Play", State(0, 4), {kKept, 1, kKept}},
      {"Radio Play", State(5, 3), {kKept, 0, kKept}},
      {"Radio Pause", State(5), {1, 1, kKept}},
      {"Radio Pause", State(6), {0, 0, kKept}},
      {"Radio Stop", State(2), {1, 1, kKept}},
      {"Radio Stop", State(4), {1, 1, kKept}},
      {"Radio Stop", State(6), {1, 1, kKept}},
      {"Radio Stop", State(1), {0, 0, kKept}},
      {"Radio Stop", State(3), {0, 0, kKept}},
      {"Radio Record", State(1), {1, 1, kKept}},
      {"Radio Record", State(2), {1, 1, 1}},
      {"Radio Record", State(3), {1, 1, 1}},
      {"Radio Record", State(4), {0, 0, kKept}},
  });
  // The playback bar also hides Play while a recording plays.
  RunCases<CRadioConfig>(
      {
          {"Radio Play", State(5, 4), {0, 1, kKept}},
          {"Radio Play", State(1, 2), {1, 0, kKept}},
          {"Radio Pause", State(5), {1, 1, kKept}},
      },
      AskBar);
}

TEST(RadioActionState, SteppingStaysInsideTheBand) {
  Check({
      // FM, limits 87.5..108 MHz, scan step 100 kHz.
      {"Radio Previous", Tuned(RADIO_BAND_FM, 87600000), {kKept, 1, kKept}},
      {"Radio Previous", Tuned(RADIO_BAND_FM, 87550000), {kKept, 0, kKept}},
      {"Radio Next", Tuned(RADIO_BAND_FM, 107900000), {kKept, 1, kKept}},
      {"Radio Next", Tuned(RADIO_BAND_FM, 107950000), {kKept, 0, kKept}},
      // While a recording plays the frequency does not matter.
      {"Radio Previous", Tuned(RADIO_BAND_FM, 87500000, RADIO_PLAYING_RECORDING), {kKept, 1, kKept}},
      {"Radio Next", Tuned(RADIO_BAND_FM, 108000000, RADIO_RECORDING_PAUSED), {kKept, 1, kKept}},
      {"Radio Previous", Tuned(RADIO_BAND_FM, 100000000, RADIO_RECORDING), {kKept, 0, kKept}},
      // AM is compared with the AM limits (522..1710 kHz), never with FM's.
      {"Radio Previous", Tuned(RADIO_BAND_AM, 531000000), {kKept, 1, kKept}},
      {"Radio Previous", Tuned(RADIO_BAND_AM, 522000000), {kKept, 0, kKept}},
      {"Radio Next", Tuned(RADIO_BAND_AM, 999000000), {kKept, 1, kKept}},
      {"Radio Next", Tuned(RADIO_BAND_AM, 1705000000), {kKept, 0, kKept}},
      {"Radio Next",
       [](CConfig& root, R& r) {
         Tuned(RADIO_BAND_AM, 1593000000)(root, r);
         r.m_nAMMax = 1602000000;
       },
       {kKept, 1, kKept}},
      {"Radio Next",
       [](CConfig& root, R& r) {
         Tuned(RADIO_BAND_AM, 1594000000)(root, r);
         r.m_nAMMax = 1602000000;
       },
       {kKept, 0, kKept}},
      // Fine tuning uses the fine-tune step.
      {"Radio Fastforward", Tuned(RADIO_BAND_FM, 107950000), {kKept, 1, kKept}},
      {"Radio Fastforward", Tuned(RADIO_BAND_FM, 107960000), {kKept, 0, kKept}},
      {"Radio Rewind", Tuned(RADIO_BAND_AM, 523000000), {kKept, 1, kKept}},
      {"Radio Rewind", Tuned(RADIO_BAND_AM, 522500000), {kKept, 0, kKept}},
      {"Radio Fastforward", [](CConfig&, R& r) { r.m_nRecordState = 5; r.m_bForwardAllowed = 1; }, {kKept, 1, kKept}},
      {"Radio Fastforward", [](CConfig&, R& r) { r.m_nRecordState = 6; }, {kKept, 0, kKept}},
      {"Radio Rewind", [](CConfig&, R& r) { r.m_nRecordState = 6; r.m_bRewindAllowed = 1; }, {kKept, 1, kKept}},
      {"Radio Rewind", [](CConfig&, R& r) { r.m_nRecordState = 2; r.m_bRewindAllowed = 1; }, {kKept, 0, kKept}},
      // A frequency far outside the band (a damaged file) neither overflows nor enables.
      {"Radio Next", Tuned(RADIO_BAND_FM, -2000000000), {kKept, 1, kKept}},
      {"Radio Previous", Tuned(RADIO_BAND_FM, -2000000000), {kKept, 0, kKept}},
      {"Radio Previous", [](CConfig&, R& r) { r.m_nRecordState = 1; r.m_nCurBand = 0; }, {kKept, 0, kKept}},
  });
}

TEST(RadioActionState, SortButtonsPerPage) {
  auto sorted = [](int page, int recorded, int other, int station = 0, int state = 0) {
    return [=](CConfig&, R& r) {
      r.m_nPage = page;
      r.m_nRecordedSortKey = recorded;
      r.m_nOtherSortKey = other;
      r.m_nStationSortKey = station;
      r.m_nRecordState = state;
    };
  };
  Check({
      {"Radio SortBy Name", sorted(4, 7, 0), {0, 0, kKept}},
      {"Radio SortBy Name", sorted(4, 4, 0), {1, 1, kKept}},
      {"Radio SortBy Name", sorted(6, 4, 0), {kKept, kKept, kKept}},
      {"Radio SortBy Name Pressed", sorted(4, 7, 0), {1, 1, kKept}},
      {"Radio SortBy Date", sorted(4, 4, 1), {0, 0, kKept}},
      {"Radio SortBy Date", sorted(6, 4, 1), {1, 1, kKept}},
      {"Radio SortBy Date Pressed", sorted(6, 0, 4), {1, 1, kKept}},
      {"Radio SortBy Date Pressed", sorted(2, 4, 4), {kKept, kKept, kKept}},
      {"Radio SortBy Status", sorted(6, 0, 6), {0, 0, kKept}},
      {"Radio SortBy Status Pressed", sorted(6, 0, 6), {1, 1, kKept}},
      {"Radio SortBy Category", sorted(6, 0, 6), {1, 1, kKept}},
      {"Radio SortBy Category Pressed", sorted(6, 0, 5), {1, 1, kKept}},
      {"Radio SortBy Category Pressed", sorted(4, 5, 5), {kKept, kKept, kKept}},
      {"Radio SortBy Frequency", sorted(6, 0, 1), {0, 0, kKept}},
      {"Radio SortBy Frequency", sorted(13, 0, 1, 0, 4), {1, 0, kKept}},
      {"Radio SortBy Frequency", sorted(13, 0, 1, 0, 1), {1, 1, kKept}},
      {"Radio SortBy Frequency Pressed", sorted(6, 0, 1), {1, 1, kKept}},
      {"Radio SortBy Frequency Pressed", sorted(13, 0, 0, 1, 4), {1, 0, kKept}},
      {"Radio SortBy Frequency Pressed", sorted(13, 0, 0, 2, 1), {0, 0, kKept}},
  });
}

TEST(RadioActionState, StationsAndSettings) {
  auto stations = [](int page, int selected, int presetOfSelected = -1) {
    return [=](CConfig&, R& r) {
      r.m_nPage = page;
      r.m_nCurBand = RADIO_BAND_FM;
      r.AddRadioStation(90000000, "one", 1, RADIO_BAND_FM);
      r.AddRadioStation(91000000, "two", 1, RADIO_BAND_FM);
      r.m_fmStations[1].nPresetId = presetOfSelected;
      r.m_nSelectedStation = selected;
    };
  };
  auto schedule = [](int mode) {
    return [=](CConfig&, R& r) {
      r.m_pEditSchedule = std::make_unique<CScheduleItem>(SCHEDULE_RADIO);
      r.m_pEditSchedule->SetRepeatMode(mode);
    };
  };
  Check({
      {"Radio Delete", stations(18, 1), {kKept, 1, kKept}},
      {"Radio Rename", stations(19, -1), {kKept, 0, kKept}},
      {"Radio Delete", stations(4, -1), {kKept, kKept, kKept}},
      {"Radio Move", stations(19, 0), {kKept, 1, 0}},
      {"Radio Move",
       [&](CConfig& root, R& r) {
         stations(19, 0)(root, r);
         r.PushRadioPage(2);
       },
       {kKept, 1, 1}},
      {"Radio AddTo Favorite", stations(18, 1), {kKept, 1, kKept}},
      {"Radio AddTo Favorite", stations(18, 1, 0), {kKept, 0, kKept}},
      {"Radio AddTo Favorite", stations(18, 9), {kKept, 0, kKept}},
      {"Radio Choose FM", [](CConfig&, R& r) { r.m_nCurBand = RADIO_BAND_AM; }, {1, 1, kKept}},
      {"Radio Choose FM", [](CConfig&, R& r) { r.m_nRecordState = 4; }, {0, 0, kKept}},
      {"Radio Choose AM", [](CConfig&, R& r) { r.m_nRecordState = 2; }, {1, 0, kKept}},
      {"Radio Choose AM Pressed", [](CConfig&, R& r) { r.m_nCurBand = RADIO_BAND_AM; }, {1, kKept, kKept}},
      {"Radio Choose FM Pressed", [](CConfig&, R& r) { r.m_nCurBand = RADIO_BAND_AM; }, {0, kKept, kKept}},
      {"Radio Move Pressed", nullptr, {0, 0, kKept}},
      {"Radio RadioText Page", [](CConfig&, R& r) { r.m_bRadioText = 1; }, {kKept, 1, kKept}},
      {"Radio RadioText Page", [](CConfig&, R& r) { r.m_bRadioText = 1; r.m_nRecordState = 4; }, {kKept, 0, kKept}},
      {"Radio RecordedRadio Page", State(2), {kKept, 0, kKept}},
      {"Radio Setting RadioArea Left", State(5), {kKept, 1, kKept}},
      {"Radio Sch BeginDate Left", schedule(SPECIFICDAY), {kKept, 1, kKept}},
      {"Radio Sch BeginDate Right", schedule(EVERYDAY), {kKept, 0, kKept}},
      {"Radio Sch BeginDate Right", [](CConfig&, R& r) { r.m_pEditSchedule.reset(); }, {kKept, kKept, kKept}, 0},
      {"Radio ConfirmSchedule", State(0, 15), {1, 1, kKept}},
      {"Radio CancelSchedule", State(0, 6), {0, 0, kKept}},
      {"Radio RadioSetting Page", State(4), {kKept, 1, kKept}},
      {"Radio GeneralStation Page", State(4), {kKept, 0, kKept}},
      {"Radio Setting RadioAMScanfreqscale Right", State(2), {kKept, 1, kKept}},
      {"Radio AutoScan", State(1), {kKept, 1, kKept}},
      {"Radio Finetune Down", State(5), {kKept, 0, kKept}},
      {"Radio AddStation", [](CConfig&, R& r) { r.PushRadioPage(7); }, {kKept, 1, 1}},
      {"Radio AddStation", State(4), {kKept, 0, 0}},
      {"Radio Setting RecordTo Left", nullptr, {kKept, 0, kKept}},
      {"Radio Setting RecordFormat Right", State(2), {kKept, 0, kKept}},
      {"Radio Setting Restore", State(4), {kKept, 1, kKept}},
      {"Radio CurrentSettingSchedule", nullptr, {kKept, 0, kKept}},
      // Source arrows need the page's source list; without one they are not answered.
      {"Radio Setting RadioSource Left", nullptr, {kKept, kKept, kKept}, 0},
      {"Radio Schedule Page", nullptr, {kKept, kKept, kKept}, 0},
  });
}

class TwoSources : public IRadioSourceList {
 public:
  int RadioSourceCount() const override { return 2; }
  int CurrentSourceLineInCount() const override { return 1; }
};

TEST(RadioActionState, SourceArrowsAskTheSourceList) {
  sections_test::TempEnvironment env;
  CRadioConfig radio(nullptr);
  TwoSources sources;
  int shown = kKept, enabled = kKept, checked = kKept;
  EXPECT_EQ(QueryRadioActionState(radio, "Radio Setting RadioSource Right", shown, enabled, checked,
                                   RadioStateCaller::kPage, &sources),
            1);
  EXPECT_EQ((Out{shown, enabled, checked}), (Out{kKept, 1, kKept}));
  EXPECT_EQ(QueryRadioActionState(radio, "Radio Setting RadioLineIn Left", shown, enabled, checked,
                                  RadioStateCaller::kPage, &sources),
            1);
  EXPECT_EQ(enabled, 0);
  radio.m_nRecordState = RADIO_RECORDING;
  enabled = kKept;
  QueryRadioActionState(radio, "Radio Setting RadioSource Left", shown, enabled, checked, RadioStateCaller::kPage,
                        &sources);
  EXPECT_EQ(enabled, 0);
}

}  // namespace radio_state_test
