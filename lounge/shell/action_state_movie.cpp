#include "lounge/shell/action_state_movie.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "lounge/shell/action_state.h"
#include "lounge/shell/action_state_section.h"

namespace {

constexpr int kDiscTypeDvd = 4;
constexpr int kPageVideoDesktop = 6;
constexpr int kPageVideoSetting = 7;
constexpr int kPageLanguageSetting = 9;

int VendorOf(const CMovieConfig& movie) { return movie.m_pRoot ? movie.m_pRoot->m_nVendorId : 0; }

std::optional<std::uint32_t> SelectedSpeaker(const CMovieConfig& movie) {
  return EntryAt(movie.m_arrSpeakers, movie.m_nAudioSpeakerIdx);
}

int PlayingWith(const CMovieConfig& movie, std::uint32_t cap, int& enabled) {
  enabled = (movie.IsPlaying() && (movie.m_dwDiscCaps & cap) != 0) ? 1 : 0;
  return 1;
}

}  // namespace

int QueryMoviePlayState(const CMovieConfig& movie, int& shown, int& enabled, int&) {
  shown = movie.m_nPlayState != MOVIE_PLAYING ? 1 : 0;
  enabled = ((movie.m_nMoviePageState == 3 || movie.m_nMoviePageState == 4) && movie.m_nPlayState != MOVIE_PLAYING &&
             movie.m_nDiscType != 0)
                ? 1
                : 0;
  return 1;
}

int QueryMoviePauseState(const CMovieConfig& movie, int& shown, int& enabled, int&) {
  shown = movie.m_nPlayState == MOVIE_PLAYING ? 1 : 0;
  enabled = (movie.m_nPlayState == MOVIE_PLAYING || movie.m_nPlayState == MOVIE_SCANNING) ? 1 : 0;
  return 1;
}

int QueryMovieStopState(const CMovieConfig& movie, int&, int& enabled, int&) {
  enabled = movie.IsPlaying() ? 1 : 0;
  return 1;
}

int QueryMoviePreChapterState(const CMovieConfig& movie, int&, int& enabled, int&) {
  return PlayingWith(movie, MOVIE_CAP_PREV_CHAPTER, enabled);
}

int QueryMovieNextChapterState(const CMovieConfig& movie, int&, int& enabled, int&) {
  return PlayingWith(movie, MOVIE_CAP_NEXT_CHAPTER, enabled);
}

int QueryMovieFastForwardState(const CMovieConfig& movie, int&, int& enabled, int&) {
  return PlayingWith(movie, MOVIE_CAP_FAST_FORWARD, enabled);
}

int QueryMovieRewindState(const CMovieConfig& movie, int&, int& enabled, int&) {
  return PlayingWith(movie, MOVIE_CAP_REWIND, enabled);
}

int QueryMovieDiscMenuState(const CMovieConfig& movie, int&, int& enabled, int&) {
  return PlayingWith(movie, movie.m_nDiscType == kDiscTypeDvd ? MOVIE_CAP_MENU_DVD : MOVIE_CAP_MENU_OTHER, enabled);
}

int QueryMovieLanguageState(const CMovieConfig& movie, int&, int& enabled, int&) {
  PlayingWith(movie, MOVIE_CAP_AUDIO_LANGUAGE, enabled);
  if (movie.m_nAudioStreams <= 1) enabled = 0;
  return 1;
}

int QueryMovieSubtitleState(const CMovieConfig& movie, int&, int& enabled, int&) {
  PlayingWith(movie, MOVIE_CAP_SUBTITLE, enabled);
  if (movie.m_nSubtitleStreams <= 0) enabled = 0;
  return 1;
}

int QueryMovieAngleState(const CMovieConfig& movie, int&, int& enabled, int&) {
  PlayingWith(movie, MOVIE_CAP_ANGLE, enabled);
  if (movie.m_nAngles <= 1) enabled = 0;
  return 1;
}

int QueryMovieVideoDesktopState(const CMovieConfig& movie, int&, int& enabled, int&) {
  enabled = 0;
  if (movie.m_nDiscType == kDiscTypeDvd && movie.m_nMoviePageState == kPageVideoDesktop) {
    enabled = movie.m_nPlayState != MOVIE_NO_DISC ? 1 : 0;
  }
  return 1;
}

int QueryMovieMenuNavigationState(const CMovieConfig& movie, int&, int& enabled, int&) {
  return PlayingWith(movie, MOVIE_CAP_MENU_NAVIGATION, enabled);
}

int QueryMovieNumberKeyState(const CMovieConfig& movie, int&, int& enabled, int&) {
  enabled = movie.IsPlaying() ? 1 : 0;
  return 1;
}

int QueryMovieVolumeState(const CMovieConfig& movie, int& shown, int& enabled, int&) {
  if (SelectedSpeaker(movie) == 2u) {
    shown = 0;
    enabled = 0;
  }
  return 1;
}

int QueryMovieAudioProfileState(const CMovieConfig& movie, int&, int& enabled, int&) {
  const std::optional<std::uint32_t> speaker = SelectedSpeaker(movie);
  const bool fixed = VendorOf(movie) == 4 || speaker == 2u || speaker == 3u || speaker == 4u;
  enabled = fixed ? 0 : 1;
  return 1;
}

int QueryMovieAudioChannelExpanderState(const CMovieConfig& movie, int&, int& enabled, int&) {
  const std::optional<std::uint32_t> speaker = SelectedSpeaker(movie);
  if (speaker == 3u || speaker == 4u) {
    enabled = 1;
  } else if (speaker == 1u || speaker == 5u) {
    const std::optional<std::uint32_t> profile = EntryAt(movie.m_arrAudioProfiles, movie.m_nAudioProfileIdx);
    enabled = (profile == 1u || profile == 2u) ? 0 : 1;
  } else {
    enabled = 0;
  }
  return 1;
}

int QueryMoviePinEnteredState(const CMovieConfig& movie, int& shown, int& enabled, int&) {
  shown = enabled = movie.m_strParentalPassword.empty() ? 0 : 1;
  return 1;
}

int QueryMovieResumeState(const CMovieConfig& movie, int&, int& enabled, int&) {
  enabled = movie.m_nDiscType == kDiscTypeDvd ? 1 : 0;
  return 1;
}

int QueryMovieRestartState(const CMovieConfig& movie, int&, int& enabled, int&) {
  enabled = movie.m_nDiscType != 0 ? 1 : 0;
  return 1;
}

int QueryMovieRootMenuState(const CMovieConfig& movie, int&, int& enabled, int&) {
  enabled = (movie.m_nDiscType == kDiscTypeDvd && movie.m_bHasRootMenu) ? 1 : 0;
  return 1;
}

int QueryMovieMainMenuState(const CMovieConfig& movie, int&, int& enabled, int&) {
  enabled = (movie.m_nDiscType == kDiscTypeDvd && movie.m_bHasTitleMenu) ? 1 : 0;
  return 1;
}

int QueryMovieVideoSettingState(const CMovieConfig& movie, int& shown, int&, int&) {
  if (VendorOf(movie) == 1) shown = movie.m_nMoviePageState != kPageVideoSetting ? 1 : 0;
  return 1;
}

int QueryMovieVideoSettingPressedState(const CMovieConfig& movie, int& shown, int&, int&) {
  if (VendorOf(movie) == 1) shown = movie.m_nMoviePageState == kPageVideoSetting ? 1 : 0;
  return 1;
}

int QueryMovieLanguageSettingState(const CMovieConfig& movie, int& shown, int&, int&) {
  if (VendorOf(movie) == 1) shown = movie.m_nMoviePageState != kPageLanguageSetting ? 1 : 0;
  return 1;
}

int QueryMovieLanguageSettingPressedState(const CMovieConfig& movie, int& shown, int&, int&) {
  if (VendorOf(movie) == 1) shown = movie.m_nMoviePageState == kPageLanguageSetting ? 1 : 0;
  return 1;
}

namespace {

int Disabled(const CMovieConfig&, int& shown, int& enabled, int& checked) {
  return QueryDisabledState(shown, enabled, checked);
}

using Row = ActionStateRow<CMovieConfig>;
constexpr std::array kMovieRows{
    Row{"Movie Play", QueryMoviePlayState},
    Row{"Movie Pause", QueryMoviePauseState},
    Row{"Movie Stop", QueryMovieStopState},
    Row{"Movie PreChapter", QueryMoviePreChapterState},
    Row{"Movie NextChapter", QueryMovieNextChapterState},
    Row{"Movie FastForeward", QueryMovieFastForwardState},
    Row{"Movie Rewind", QueryMovieRewindState},
    Row{"Movie FW_MainMenu", QueryMovieDiscMenuState},
    Row{"Movie Language", QueryMovieLanguageState},
    Row{"Movie Subtitle", QueryMovieSubtitleState},
    Row{"Movie Angle", QueryMovieAngleState},
    Row{"Movie VideoDesktop", QueryMovieVideoDesktopState},
    Row{"Movie MenuUp", QueryMovieMenuNavigationState},
    Row{"Movie MenuDown", QueryMovieMenuNavigationState},
    Row{"Movie MenuLeft", QueryMovieMenuNavigationState},
    Row{"Movie MenuRight", QueryMovieMenuNavigationState},
    Row{"Movie MenuEnter", QueryMovieMenuNavigationState},
    Row{"Movie Key_0", QueryMovieNumberKeyState},
    Row{"Movie Key_1", QueryMovieNumberKeyState},
    Row{"Movie Key_2", QueryMovieNumberKeyState},
    Row{"Movie Key_3", QueryMovieNumberKeyState},
    Row{"Movie Key_4", QueryMovieNumberKeyState},
    Row{"Movie Key_5", QueryMovieNumberKeyState},
    Row{"Movie Key_6", QueryMovieNumberKeyState},
    Row{"Movie Key_7", QueryMovieNumberKeyState},
    Row{"Movie Key_8", QueryMovieNumberKeyState},
    Row{"Movie Key_9", QueryMovieNumberKeyState},
    Row{"Movie GoUp", QueryMovieNumberKeyState},
    Row{"Vol Mute", QueryMovieVolumeState},
    Row{"Vol Unmute", QueryMovieVolumeState},
    Row{"Vol Up", QueryMovieVolumeState},
    Row{"Vol Down", QueryMovieVolumeState},
    Row{"Movie AudioProfile Left", QueryMovieAudioProfileState},
    Row{"Movie AudioProfile Right", QueryMovieAudioProfileState},
    Row{"Movie AudioChannelExpander Left", QueryMovieAudioChannelExpanderState},
    Row{"Movie AudioChannelExpander Right", QueryMovieAudioChannelExpanderState},
    Row{"Movie SelectPLCLevel Left", QueryMoviePinEnteredState},
    Row{"Movie SelectPLCLevel Right", QueryMoviePinEnteredState},
    Row{"Movie ChangePINNumber Enter", QueryMoviePinEnteredState},
    Row{"Movie RemovePINNumber Enter", QueryMoviePinEnteredState},
    Row{"Movie Resume", QueryMovieResumeState},
    Row{"Movie ParentalControl Setting", QueryMovieResumeState},
    Row{"Movie Restart", QueryMovieRestartState},
    Row{"Movie RootMenu", QueryMovieRootMenuState},
    Row{"Movie MainMenu", QueryMovieMainMenuState},
    Row{"Movie Video Setting", QueryMovieVideoSettingState},
    Row{"Movie Video Setting Pressed", QueryMovieVideoSettingPressedState},
    Row{"Movie Language Setting", QueryMovieLanguageSettingState},
    Row{"Movie Language Setting Pressed", QueryMovieLanguageSettingPressedState},
    Row{"Movie Eject", Disabled},
};

}  // namespace

int QueryMovieActionState(const CMovieConfig& movie, std::string_view action, int& shown, int& enabled,
                          int& checked) {
  return LookUpActionState<CMovieConfig>(kMovieRows, movie, action, shown, enabled, checked);
}
