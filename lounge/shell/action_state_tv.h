// Action state queries of the TV module (playback bar and TV page), answered
// from the TV section's live words: the TV state (m_nTVMode: 2 live preview,
// 3 recording, 4 replay), the play state (m_nReplayState: 2 paused), the
// channel list's move state (m_nChannelEditMode) and the teletext flag. See
// action_state.h.
#pragma once

#include <string_view>

class CTVConfig;

int QueryTVPlayState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
int QueryTVPauseState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
int QueryTVStopState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
// "TV Rewind", "TV FastForeward".
int QueryTVWindState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
int QueryTVRecordState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
// "TV Prev Channel", "TV Next Channel".
int QueryTVChannelStepState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
int QueryTVNoChannelMessageState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
// "TV Channel List", "TV Channel Control List".
int QueryTVChannelListState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
int QueryTVDisableState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
int QueryTVMoveActionState(const CTVConfig& tv, int& shown, int& enabled, int& checked);
int QueryTVTeletextPageState(const CTVConfig& tv, int& shown, int& enabled, int& checked);

// The query of a TV action name; 0 (outputs untouched) for any other name.
int QueryTVActionState(const CTVConfig& tv, std::string_view action, int& shown, int& enabled, int& checked);
