#include "lounge/shell/action_state_radio.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "lounge/shell/action_state.h"

namespace {

constexpr int kPageRecorded = 4;
constexpr int kPageSchedules = 6;
constexpr int kPageFrequencySetting = 13;
constexpr int kViewNamingStations = 7;

constexpr int kSortFrequency = 1;
constexpr int kSortDate = 4;
constexpr int kSortCategory = 5;
constexpr int kSortStatus = 6;
constexpr int kSortName = 7;

bool InState(const CRadioConfig& radio, std::initializer_list<int> states) {
  for (int s : states) {
    if (radio.m_nRecordState == s) return true;
  }
  return false;
}

// The current band's frequency, limits and steps. The AM band is compared
// with the AM limits: the FM limits would refuse every AM frequency.
struct Band {
  std::int64_t frequency, min, max, scanStep, fineStep;
};

std::optional<Band> CurrentBand(const CRadioConfig& radio) {
  if (radio.m_nCurBand == RADIO_BAND_FM) {
    return Band{radio.m_nCurFMFrequency, radio.m_nFMMin, radio.m_nFMMax, radio.m_nFMAutoScanScale,
                radio.m_nFMFineTuneScale};
  }
  if (radio.m_nCurBand == RADIO_BAND_AM) {
    return Band{radio.m_nCurAMFrequency, radio.m_nAMMin, radio.m_nAMMax, radio.m_nAMAutoScanScale,
                radio.m_nAMFineTuneScale};
  }
  return std::nullopt;
}

// Room between the current frequency and the band edge, at least `step`.
enum class Edge { kLow, kHigh };
bool RoomFor(const CRadioConfig& radio, Edge edge, bool fineTune) {
  const std::optional<Band> band = CurrentBand(radio);
  if (!band) return false;
  const std::int64_t room = edge == Edge::kLow ? band->frequency - band->min : band->max - band->frequency;
  return room >= (fineTune ? band->fineStep : band->scanStep);
}

int StepState(const CRadioConfig& radio, Edge edge, int& enabled) {
  if (radio.m_nRecordState == RADIO_LISTENING) {
    enabled = RoomFor(radio, edge, false) ? 1 : 0;
  } else {
    enabled = InState(radio, {RADIO_PLAYING_RECORDING, RADIO_RECORDING_PAUSED}) ? 1 : 0;
  }
  return 1;
}

int WindState(const CRadioConfig& radio, Edge edge, int allowed, int& enabled) {
  if (radio.m_nRecordState == RADIO_LISTENING) {
    enabled = RoomFor(radio, edge, true) ? 1 : 0;
  } else if (InState(radio, {RADIO_PLAYING_RECORDING, RADIO_RECORDING_PAUSED})) {
    enabled = allowed ? 1 : 0;
  } else {
    enabled = 0;
  }
  return 1;
}

int Both(bool on, int& shown, int& enabled) {
  shown = enabled = on ? 1 : 0;
  return 1;
}

int ViewOf(const CRadioConfig& radio) {
  int view = 0;
  if (!radio.PeekRadioPage(view)) view = 0;
  return view;
}

}  // namespace

int QueryRadioBarPlayState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  shown = radio.m_nRecordState != RADIO_PLAYING_RECORDING ? 1 : 0;
  enabled = radio.m_nPage == kPageRecorded ? 1 : 0;
  return 1;
}

int QueryRadioPlayState(const CRadioConfig& radio, int&, int& enabled, int&) {
  enabled = radio.m_nPage == kPageRecorded ? 1 : 0;
  return 1;
}

int QueryRadioPauseState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  return Both(radio.m_nRecordState == RADIO_PLAYING_RECORDING, shown, enabled);
}

int QueryRadioStopState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  return Both(InState(radio, {RADIO_RECORDING, RADIO_SCANNING, RADIO_PLAYING_RECORDING, RADIO_RECORDING_PAUSED}),
              shown, enabled);
}

int QueryRadioRecordState(const CRadioConfig& radio, int& shown, int& enabled, int& checked) {
  // While a recording runs the button stays, checked, so the screen shows it;
  // the controller refuses a second start.
  const bool recording = radio.m_nRecordState == RADIO_RECORDING || radio.m_nRecordState == RADIO_SCHEDULED_RECORDING;
  if (recording) checked = 1;
  return Both(radio.m_nRecordState == RADIO_LISTENING || recording, shown, enabled);
}

int QueryRadioPreviousState(const CRadioConfig& radio, int&, int& enabled, int&) {
  return StepState(radio, Edge::kLow, enabled);
}

int QueryRadioNextState(const CRadioConfig& radio, int&, int& enabled, int&) {
  return StepState(radio, Edge::kHigh, enabled);
}

int QueryRadioFastforwardState(const CRadioConfig& radio, int&, int& enabled, int&) {
  return WindState(radio, Edge::kHigh, radio.m_bForwardAllowed, enabled);
}

int QueryRadioRewindState(const CRadioConfig& radio, int&, int& enabled, int&) {
  return WindState(radio, Edge::kLow, radio.m_bRewindAllowed, enabled);
}

int QueryRadioSortByNameState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageRecorded) Both(radio.m_nRecordedSortKey != kSortName, shown, enabled);
  return 1;
}

int QueryRadioSortByDateState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageRecorded) Both(radio.m_nRecordedSortKey != kSortDate, shown, enabled);
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey != kSortDate, shown, enabled);
  return 1;
}

int QueryRadioSortByStatusState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey != kSortStatus, shown, enabled);
  return 1;
}

int QueryRadioSortByCategoryState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey != kSortCategory, shown, enabled);
  return 1;
}

int QueryRadioSortByFrequencyState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey != kSortFrequency, shown, enabled);
  if (radio.m_nPage == kPageFrequencySetting) {
    shown = 1;
    enabled = radio.m_nRecordState != RADIO_SCANNING ? 1 : 0;
  }
  return 1;
}

int QueryRadioSortByNamePressedState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageRecorded) Both(radio.m_nRecordedSortKey == kSortName, shown, enabled);
  return 1;
}

int QueryRadioSortByDatePressedState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageRecorded) Both(radio.m_nRecordedSortKey == kSortDate, shown, enabled);
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey == kSortDate, shown, enabled);
  return 1;
}

int QueryRadioSortByStatusPressedState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey == kSortStatus, shown, enabled);
  return 1;
}

int QueryRadioSortByCategoryPressedState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey == kSortCategory, shown, enabled);
  return 1;
}

int QueryRadioSortByFrequencyPressedState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  if (radio.m_nPage == kPageSchedules) Both(radio.m_nOtherSortKey == kSortFrequency, shown, enabled);
  if (radio.m_nPage == kPageFrequencySetting) {
    shown = radio.m_nStationSortKey == kSortFrequency ? 1 : 0;
    enabled = (radio.m_nStationSortKey == kSortFrequency && radio.m_nRecordState != RADIO_SCANNING) ? 1 : 0;
  }
  return 1;
}

int QueryRadioStationSelectedState(const CRadioConfig& radio, int&, int& enabled, int&) {
  return radio.RadioStationSelected(enabled);
}

int QueryRadioMoveState(const CRadioConfig& radio, int&, int& enabled, int& checked) {
  return radio.RadioCanMoveStation(enabled, checked);
}

int QueryRadioAddToFavoriteState(const CRadioConfig& radio, int&, int& enabled, int&) {
  return radio.RadioCanAddFavorite(enabled);
}

int QueryRadioChooseFMState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  shown = radio.m_nCurBand != RADIO_BAND_FM ? 1 : 0;
  enabled = InState(radio, {RADIO_RECORDING, RADIO_SCANNING}) ? 0 : 1;
  return 1;
}

int QueryRadioChooseAMState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  shown = radio.m_nCurBand != RADIO_BAND_AM ? 1 : 0;
  enabled = InState(radio, {RADIO_RECORDING, RADIO_SCANNING}) ? 0 : 1;
  return 1;
}

int QueryRadioChooseFMPressedState(const CRadioConfig& radio, int& shown, int&, int&) {
  shown = radio.m_nCurBand == RADIO_BAND_FM ? 1 : 0;
  return 1;
}

int QueryRadioChooseAMPressedState(const CRadioConfig& radio, int& shown, int&, int&) {
  shown = radio.m_nCurBand == RADIO_BAND_AM ? 1 : 0;
  return 1;
}

int QueryRadioAddStationState(const CRadioConfig& radio, int&, int& enabled, int& checked) {
  enabled = radio.m_nRecordState != RADIO_SCANNING ? 1 : 0;
  checked = ViewOf(radio) == kViewNamingStations ? 1 : 0;
  return 1;
}

int QueryRadioTextPageState(const CRadioConfig& radio, int&, int& enabled, int&) {
  enabled = (radio.m_nRecordState != RADIO_SCANNING && radio.m_bRadioText) ? 1 : 0;
  return 1;
}

int QueryRadioNotBusyState(const CRadioConfig& radio, int&, int& enabled, int&) {
  enabled = InState(radio, {RADIO_RECORDING, RADIO_SCANNING}) ? 0 : 1;
  return 1;
}

int QueryRadioNotScanningState(const CRadioConfig& radio, int&, int& enabled, int&) {
  enabled = radio.m_nRecordState != RADIO_SCANNING ? 1 : 0;
  return 1;
}

int QueryRadioNotRecordingState(const CRadioConfig& radio, int&, int& enabled, int&) {
  enabled = radio.m_nRecordState != RADIO_RECORDING ? 1 : 0;
  return 1;
}

int QueryRadioListeningState(const CRadioConfig& radio, int&, int& enabled, int&) {
  enabled = radio.m_nRecordState == RADIO_LISTENING ? 1 : 0;
  return 1;
}

int QueryRadioEnabledState(const CRadioConfig&, int&, int& enabled, int&) {
  enabled = 1;
  return 1;
}

int QueryRadioScheduleArrowState(const CRadioConfig& radio, int&, int& enabled, int&) {
  if (!radio.m_pEditSchedule) return 0;
  enabled = radio.m_pEditSchedule->GetRepeatMode() == SPECIFICDAY ? 1 : 0;
  return 1;
}

int QueryRadioSchedulePageState(const CRadioConfig& radio, int& shown, int& enabled, int&) {
  return radio.RadioIsSchedulePage(shown, enabled);
}

int QueryRadioSourceArrowState(const CRadioConfig& radio, const IRadioSourceList* sources, int&, int& enabled,
                               int&) {
  if (!sources) return 0;
  enabled = (sources->RadioSourceCount() > 1 && radio.m_nRecordState != RADIO_RECORDING) ? 1 : 0;
  return 1;
}

int QueryRadioLineInArrowState(const CRadioConfig& radio, const IRadioSourceList* sources, int&, int& enabled,
                               int&) {
  if (!sources) return 0;
  enabled = (sources->CurrentSourceLineInCount() > 1 && radio.m_nRecordState != RADIO_RECORDING) ? 1 : 0;
  return 1;
}

namespace {

int Hidden(const CRadioConfig&, int& shown, int& enabled, int& checked) {
  return QueryHiddenState(shown, enabled, checked);
}
int Disabled(const CRadioConfig&, int& shown, int& enabled, int& checked) {
  return QueryDisabledState(shown, enabled, checked);
}

using Row = ActionStateRow<CRadioConfig>;
constexpr std::array kRadioRows{
    Row{"Radio Play", QueryRadioPlayState},
    Row{"Radio Pause", QueryRadioPauseState},
    Row{"Radio Stop", QueryRadioStopState},
    Row{"Radio Record", QueryRadioRecordState},
    Row{"Radio Previous", QueryRadioPreviousState},
    Row{"Radio Next", QueryRadioNextState},
    Row{"Radio Fastforward", QueryRadioFastforwardState},
    Row{"Radio Rewind", QueryRadioRewindState},
    Row{"Radio SortBy Name", QueryRadioSortByNameState},
    Row{"Radio SortBy Date", QueryRadioSortByDateState},
    Row{"Radio SortBy Status", QueryRadioSortByStatusState},
    Row{"Radio SortBy Category", QueryRadioSortByCategoryState},
    Row{"Radio SortBy Frequency", QueryRadioSortByFrequencyState},
    Row{"Radio SortBy Name Pressed", QueryRadioSortByNamePressedState},
    Row{"Radio SortBy Date Pressed", QueryRadioSortByDatePressedState},
    Row{"Radio SortBy Status Pressed", QueryRadioSortByStatusPressedState},
    Row{"Radio SortBy Category Pressed", QueryRadioSortByCategoryPressedState},
    Row{"Radio SortBy Frequency Pressed", QueryRadioSortByFrequencyPressedState},
    Row{"Radio Delete", QueryRadioStationSelectedState},
    Row{"Radio Rename", QueryRadioStationSelectedState},
    Row{"Radio Move", QueryRadioMoveState},
    Row{"Radio AddTo Favorite", QueryRadioAddToFavoriteState},
    Row{"Radio Choose FM", QueryRadioChooseFMState},
    Row{"Radio Choose AM", QueryRadioChooseAMState},
    Row{"Radio Choose FM Pressed", QueryRadioChooseFMPressedState},
    Row{"Radio Choose AM Pressed", QueryRadioChooseAMPressedState},
    Row{"Radio Delete Pressed", Hidden},
    Row{"Radio Rename Pressed", Hidden},
    Row{"Radio Move Pressed", Hidden},
    Row{"Radio AddTo Favorite Pressed", Hidden},
    Row{"Radio RadioText Page", QueryRadioTextPageState},
    Row{"Radio RecordedRadio Page", QueryRadioNotBusyState},
    Row{"Radio Setting RadioArea Left", QueryRadioNotBusyState},
    Row{"Radio Setting RadioArea Right", QueryRadioNotBusyState},
    Row{"Radio Sch BeginDate Left", QueryRadioScheduleArrowState},
    Row{"Radio Sch BeginDate Right", QueryRadioScheduleArrowState},
    Row{"Radio ConfirmSchedule", QueryRadioSchedulePageState},
    Row{"Radio CancelSchedule", QueryRadioSchedulePageState},
    Row{"Radio RadioSetting Page", QueryRadioEnabledState},
    Row{"Radio FrequencySetting Page", QueryRadioEnabledState},
    Row{"Radio RecordSetting Page", QueryRadioEnabledState},
    Row{"Radio AddStation Page", QueryRadioNotScanningState},
    Row{"Radio FavoriteStation Page", QueryRadioNotScanningState},
    Row{"Radio GeneralStation Page", QueryRadioNotScanningState},
    Row{"Radio Setting RadioScanprecision Left", QueryRadioNotScanningState},
    Row{"Radio Setting RadioScanprecision Right", QueryRadioNotScanningState},
    Row{"Radio Setting RadioFMFinetunescale Left", QueryRadioNotScanningState},
    Row{"Radio Setting RadioFMFinetunescale Right", QueryRadioNotScanningState},
    Row{"Radio Setting RadioFMScanfreqscale Left", QueryRadioNotScanningState},
    Row{"Radio Setting RadioFMScanfreqscale Right", QueryRadioNotScanningState},
    Row{"Radio Setting RadioAMFinetunescale Left", QueryRadioNotScanningState},
    Row{"Radio Setting RadioAMFinetunescale Right", QueryRadioNotScanningState},
    Row{"Radio Setting RadioAMScanfreqscale Left", QueryRadioNotScanningState},
    Row{"Radio Setting RadioAMScanfreqscale Right", QueryRadioNotScanningState},
    Row{"Radio AutoScan", QueryRadioListeningState},
    Row{"Radio Finetune Up", QueryRadioListeningState},
    Row{"Radio Finetune Down", QueryRadioListeningState},
    Row{"Radio AddStation", QueryRadioAddStationState},
    Row{"Radio Setting RecordTo Left", Disabled},
    Row{"Radio Setting RecordTo Right", Disabled},
    Row{"Radio Setting RecordFormat Left", QueryRadioNotRecordingState},
    Row{"Radio Setting RecordFormat Right", QueryRadioNotRecordingState},
    Row{"Radio Setting RecordDiscFormat Left", QueryRadioNotRecordingState},
    Row{"Radio Setting RecordDiscFormat Right", QueryRadioNotRecordingState},
    Row{"Radio Setting Restore", QueryRadioNotRecordingState},
    Row{"Radio Sch BeginDate", Disabled},
    Row{"Radio Sch EndTime", Disabled},
    Row{"Radio Sch RecordingMode", Disabled},
    Row{"Radio Sch SelectRadioStation", Disabled},
    Row{"Radio Sch StartTime", Disabled},
    Row{"Radio CurrentSettingSchedule", Disabled},
};

}  // namespace

int QueryRadioActionState(const CRadioConfig& radio, std::string_view action, int& shown, int& enabled, int& checked,
                          RadioStateCaller caller, const IRadioSourceList* sources) {
  if (action == "Radio Play" && caller == RadioStateCaller::kPlaybackBar) {
    return QueryRadioBarPlayState(radio, shown, enabled, checked);
  }
  if (action == "Radio Setting RadioSource Left" || action == "Radio Setting RadioSource Right") {
    return QueryRadioSourceArrowState(radio, sources, shown, enabled, checked);
  }
  if (action == "Radio Setting RadioLineIn Left" || action == "Radio Setting RadioLineIn Right") {
    return QueryRadioLineInArrowState(radio, sources, shown, enabled, checked);
  }
  return LookUpActionState<CRadioConfig>(kRadioRows, radio, action, shown, enabled, checked);
}
