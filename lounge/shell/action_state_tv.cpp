#include "lounge/shell/action_state_tv.h"

#include <array>

#include "corebridge/core/tv_config.h"
#include "lounge/shell/action_state.h"

namespace {

constexpr int kTVLivePreview = 2;
constexpr int kTVRecording = 3;
constexpr int kTVReplay = 4;
constexpr int kPlayPaused = 2;
constexpr int kMoveSelected = 1;
constexpr int kMoveMoving = 2;

}  // namespace

int QueryTVPlayState(const CTVConfig& tv, int& shown, int& enabled, int&) {
  shown = tv.m_nReplayState == kPlayPaused ? 1 : 0;
  enabled = (tv.m_nReplayState == kPlayPaused && tv.m_nTVMode == kTVReplay) ? 1 : 0;
  return 1;
}

int QueryTVPauseState(const CTVConfig& tv, int& shown, int& enabled, int&) {
  shown = tv.m_nReplayState != kPlayPaused ? 1 : 0;
  enabled = (tv.m_nReplayState != kPlayPaused && tv.m_nTVMode != kTVRecording) ? 1 : 0;
  return 1;
}

int QueryTVStopState(const CTVConfig& tv, int& shown, int& enabled, int&) {
  shown = enabled = (tv.m_nTVMode == kTVRecording || tv.m_nTVMode == kTVReplay) ? 1 : 0;
  return 1;
}

int QueryTVWindState(const CTVConfig& tv, int&, int& enabled, int&) {
  enabled = tv.m_nTVMode == kTVReplay ? 1 : 0;
  return 1;
}

int QueryTVRecordState(const CTVConfig& tv, int& shown, int& enabled, int& checked) {
  // While recording the button stays, checked, so the screen shows it; the
  // controller records only from the live preview.
  const bool recording = tv.m_nTVMode == kTVRecording;
  if (recording) checked = 1;
  shown = enabled = tv.m_nTVMode == kTVLivePreview || recording ? 1 : 0;
  return 1;
}

int QueryTVChannelStepState(const CTVConfig& tv, int&, int& enabled, int&) {
  enabled = (tv.m_nTVMode == kTVLivePreview || tv.m_nTVMode == kTVReplay) ? 1 : 0;
  return 1;
}

int QueryTVNoChannelMessageState(const CTVConfig& tv, int& shown, int&, int&) {
  shown = tv.m_signalChannels.empty() ? 1 : 0;
  return 1;
}

int QueryTVChannelListState(const CTVConfig& tv, int& shown, int&, int&) {
  shown = tv.m_signalChannels.empty() ? 0 : 1;
  return 1;
}

int QueryTVDisableState(const CTVConfig& tv, int&, int& enabled, int&) {
  enabled = tv.m_nChannelEditMode == kMoveSelected ? 1 : 0;
  return 1;
}

int QueryTVMoveActionState(const CTVConfig& tv, int&, int& enabled, int& checked) {
  enabled = (tv.m_nChannelEditMode == kMoveSelected || tv.m_nChannelEditMode == kMoveMoving) ? 1 : 0;
  checked = tv.m_nChannelEditMode == kMoveMoving ? 1 : 0;
  return 1;
}

int QueryTVTeletextPageState(const CTVConfig& tv, int&, int& enabled, int&) {
  enabled = tv.m_bTeletext ? 1 : 0;
  return 1;
}

namespace {

int Disabled(const CTVConfig&, int& shown, int& enabled, int& checked) {
  return QueryDisabledState(shown, enabled, checked);
}

using Row = ActionStateRow<CTVConfig>;
constexpr std::array kTVRows{
    Row{"TV Play", QueryTVPlayState},
    Row{"TV Pause", QueryTVPauseState},
    Row{"TV Stop", QueryTVStopState},
    Row{"TV Rewind", QueryTVWindState},
    Row{"TV FastForeward", QueryTVWindState},
    Row{"TV FastForward", QueryTVWindState},  // the playback bar's spelling
    Row{"TV Record", QueryTVRecordState},
    Row{"TV Prev Channel", QueryTVChannelStepState},
    Row{"TV Next Channel", QueryTVChannelStepState},
    Row{"TV NoChannel Message", QueryTVNoChannelMessageState},
    Row{"TV Channel Control List", QueryTVChannelListState},
    Row{"TV Channel List", QueryTVChannelListState},
    Row{"TV Disable", QueryTVDisableState},
    Row{"TV Move", QueryTVMoveActionState},
    Row{"TV Teletext Page", QueryTVTeletextPageState},
    Row{"TV Rename", Disabled},
};

}  // namespace

int QueryTVActionState(const CTVConfig& tv, std::string_view action, int& shown, int& enabled, int& checked) {
  return LookUpActionState<CTVConfig>(kTVRows, tv, action, shown, enabled, checked);
}
