// Action state queries of the Movie module (playback bar and Movie page),
// answered from the Movie section. "Playing" means a play state other than
// 0 (no disc) and 2 (stopped). See action_state.h for the conventions.
#pragma once

#include <string_view>

class CMovieConfig;

// Transport buttons.
int QueryMoviePlayState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMoviePauseState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieStopState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMoviePreChapterState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieNextChapterState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieFastForwardState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieRewindState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieDiscMenuState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);  // "Movie FW_MainMenu"
int QueryMovieLanguageState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieSubtitleState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieAngleState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieVideoDesktopState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
// "Movie MenuUp/Down/Left/Right/Enter".
int QueryMovieMenuNavigationState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
// "Movie Key_0" to "Movie Key_9", "Movie GoUp".
int QueryMovieNumberKeyState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
// "Vol Mute", "Vol Unmute", "Vol Up", "Vol Down" while the Movie module is
// active: hidden and disabled when the selected speaker mode is 2.
int QueryMovieVolumeState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);

// Settings and menu entries of the Movie page.
int QueryMovieAudioProfileState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieAudioChannelExpanderState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
// "Movie SelectPLCLevel Left/Right", "Movie ChangePINNumber Enter",
// "Movie RemovePINNumber Enter": only with a parental PIN.
int QueryMoviePinEnteredState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
// "Movie Resume", "Movie ParentalControl Setting": enabled for DVDs (disc type 4).
int QueryMovieResumeState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieRestartState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieRootMenuState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieMainMenuState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieVideoSettingState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieVideoSettingPressedState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieLanguageSettingState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);
int QueryMovieLanguageSettingPressedState(const CMovieConfig& movie, int& shown, int& enabled, int& checked);

// The query of a Movie action name; 0 (outputs untouched) for any other name.
int QueryMovieActionState(const CMovieConfig& movie, std::string_view action, int& shown, int& enabled,
                          int& checked);
