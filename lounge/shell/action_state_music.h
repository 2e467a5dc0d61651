// Action state queries of the Music module (playback bar and Music page),
// answered from the Music section. "View" is the page on top of the section's
// page history, 0 when the history is empty. See action_state.h.
#pragma once

#include <string_view>

class CMusicConfig;

int QueryMusicPlayState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicPauseState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicStopState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
// "Music Next Track", "Music Previous Track", "Music Rewind".
int QueryMusicTrackStepState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicFastforwardState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicVisualizationState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
// "Music Previous Effect", "Music Next Effect".
int QueryMusicEffectState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicVisualizationFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicVisualizationPlusSelectionState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicAlbumState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicAlbumFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicArtistState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicArtistFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicGenreState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicGenreFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicPlaylistState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicPlaylistFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicBrowseByPathState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicPlayOnControlPanelState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicPlayOnControlPanelFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicShuffleState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicShuffleFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicRepeatAllState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicRepeatAllFocusState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicRipNowState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryUpOneLevelState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicResumeRippingState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicStopRippingState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicStopMediaSearchState(const CMusicConfig& music, int& shown, int& enabled, int& checked);
int QueryMusicCloseSearchState(const CMusicConfig& music, int& shown, int& enabled, int& checked);

// The query of a Music action name; 0 (outputs untouched) for any other name.
int QueryMusicActionState(const CMusicConfig& music, std::string_view action, int& shown, int& enabled,
                          int& checked);
