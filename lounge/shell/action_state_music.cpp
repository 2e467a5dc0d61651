#include "lounge/shell/action_state_music.h"

#include <array>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "lounge/shell/action_state.h"

namespace {

constexpr int kViewFolder = 6;
constexpr int kViewAlbum = 9;
constexpr int kViewArtist = 10;
constexpr int kViewGenre = 11;
constexpr int kViewPlaylist = 12;
constexpr int kViewCd = 19;
constexpr int kViewVisualization = 24;
constexpr int kViewRipping = 25;

int VendorOf(const CMusicConfig& music) { return music.m_pRoot ? music.m_pRoot->m_nVendorId : 0; }

int ViewOf(const CMusicConfig& music) {
  int view = 0;
  if (!music.PeekMusicPage(view)) view = 0;
  return view;
}

int ShownInView(const CMusicConfig& music, int view, bool inView, int& shown) {
  shown = ((ViewOf(music) == view) == inView) ? 1 : 0;
  return 1;
}

// Shuffle and repeat: enabled, except for vendor 4 in the folder and CD views.
void ModeEnabled(const CMusicConfig& music, int& enabled) {
  const int view = ViewOf(music);
  enabled = (VendorOf(music) == 4 && (view == kViewFolder || view == kViewCd)) ? 0 : 1;
}

}  // namespace

int QueryMusicPlayState(const CMusicConfig& music, int& shown, int&, int&) { return music.IsMusicBrowseState(shown); }

int QueryMusicPauseState(const CMusicConfig& music, int& shown, int&, int&) {
  shown = music.m_nMusicState == MUSIC_PLAYING ? 1 : 0;
  return 1;
}

int QueryMusicStopState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  shown = 1;
  return music.MusicNotStopped(enabled);
}

int QueryMusicTrackStepState(const CMusicConfig& music, int&, int& enabled, int&) {
  enabled = (music.m_bCanRewind != 0 && VendorOf(music) != 1) ? 1 : 0;
  return 1;
}

int QueryMusicFastforwardState(const CMusicConfig& music, int&, int& enabled, int&) {
  return music.MusicCanFastForward(enabled);
}

int QueryMusicVisualizationState(const CMusicConfig& music, int&, int& enabled, int&) {
  return music.GetVisualizationSelection(enabled);
}

int QueryMusicEffectState(const CMusicConfig& music, int&, int& enabled, int&) {
  return music.MusicQueryVisualizationPlus(enabled);
}

int QueryMusicVisualizationFocusState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  shown = enabled = ViewOf(music) == kViewVisualization ? 1 : 0;
  return 1;
}

int QueryMusicVisualizationPlusSelectionState(const CMusicConfig& music, int& shown, int& enabled, int& checked) {
  if (ViewOf(music) == kViewVisualization) return QueryMusicEffectState(music, shown, enabled, checked);
  return QueryMusicVisualizationState(music, shown, enabled, checked);
}

int QueryMusicAlbumState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewAlbum, false, shown);
}
int QueryMusicAlbumFocusState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewAlbum, true, shown);
}
int QueryMusicArtistState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewArtist, false, shown);
}
int QueryMusicArtistFocusState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewArtist, true, shown);
}
int QueryMusicGenreState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewGenre, false, shown);
}
int QueryMusicGenreFocusState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewGenre, true, shown);
}
int QueryMusicPlaylistState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewPlaylist, false, shown);
}
int QueryMusicPlaylistFocusState(const CMusicConfig& music, int& shown, int&, int&) {
  return ShownInView(music, kViewPlaylist, true, shown);
}

int QueryMusicBrowseByPathState(const CMusicConfig& music, int&, int& enabled, int&) {
  enabled = ViewOf(music) != kViewFolder ? 1 : 0;
  return 1;
}

int QueryMusicPlayOnControlPanelState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  // Shown while stopped; in the folder view enabled only with something to play.
  return music.MusicQueryPlayPause(shown, enabled);
}

int QueryMusicPlayOnControlPanelFocusState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  music.MusicQueryPlayPause(shown, enabled);
  shown = shown ? 0 : 1;
  return 1;
}

int QueryMusicShuffleState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  shown = music.m_bShuffle ? 0 : 1;
  ModeEnabled(music, enabled);
  return 1;
}

int QueryMusicShuffleFocusState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  shown = music.m_bShuffle ? 1 : 0;
  ModeEnabled(music, enabled);
  return 1;
}

int QueryMusicRepeatAllState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  shown = music.m_bRepeatAll ? 0 : 1;
  ModeEnabled(music, enabled);
  return 1;
}

int QueryMusicRepeatAllFocusState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  shown = music.m_bRepeatAll ? 1 : 0;
  ModeEnabled(music, enabled);
  return 1;
}

int QueryMusicRipNowState(const CMusicConfig& music, int&, int& enabled, int&) {
  if (VendorOf(music) == 4) enabled = ViewOf(music) != kViewCd ? 1 : 0;
  return 1;
}

int QueryUpOneLevelState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  shown = ViewOf(music) == kViewFolder ? 1 : 0;
  enabled = music.m_bBrowserCanGoUp ? 1 : 0;
  return 1;
}

int QueryMusicResumeRippingState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  const bool idle = !music.m_bRipping && !music.m_bRipTrackDone;
  enabled = (ViewOf(music) == kViewRipping && idle) ? 1 : 0;
  if (VendorOf(music) == 4) shown = idle ? 1 : 0;
  return 1;
}

int QueryMusicStopRippingState(const CMusicConfig& music, int& shown, int& enabled, int&) {
  const bool running = music.m_bRipping && !music.m_bRipTrackDone;
  enabled = (ViewOf(music) == kViewRipping && running) ? 1 : 0;
  if (VendorOf(music) == 4) shown = running ? 1 : 0;
  return 1;
}

int QueryMusicStopMediaSearchState(const CMusicConfig& music, int& shown, int&, int&) {
  shown = music.m_bMediaSearchActive ? 1 : 0;
  return 1;
}

int QueryMusicCloseSearchState(const CMusicConfig& music, int& shown, int&, int&) {
  shown = music.m_bMediaSearchActive ? 0 : 1;
  return 1;
}

namespace {

int Disabled(const CMusicConfig&, int& shown, int& enabled, int& checked) {
  return QueryDisabledState(shown, enabled, checked);
}

using Row = ActionStateRow<CMusicConfig>;
constexpr std::array kMusicRows{
    Row{"Music Play", QueryMusicPlayState},
    Row{"Music Pause", QueryMusicPauseState},
    Row{"Music Stop", QueryMusicStopState},
    Row{"Music Next Track", QueryMusicTrackStepState},
    Row{"Music Previous Track", QueryMusicTrackStepState},
    Row{"Music Rewind", QueryMusicTrackStepState},
    Row{"Music Fastforward", QueryMusicFastforwardState},
    Row{"Music Visualization", QueryMusicVisualizationState},
    Row{"Music Previous Effect", QueryMusicEffectState},
    Row{"Music Next Effect", QueryMusicEffectState},
    Row{"Music Visualization Focus", QueryMusicVisualizationFocusState},
    Row{"Music Visualization Plus Selection", QueryMusicVisualizationPlusSelectionState},
    Row{"Music Album", QueryMusicAlbumState},
    Row{"Music Album Focus", QueryMusicAlbumFocusState},
    Row{"Music Artist", QueryMusicArtistState},
    Row{"Music Artist Focus", QueryMusicArtistFocusState},
    Row{"Music Genre", QueryMusicGenreState},
    Row{"Music Genre Focus", QueryMusicGenreFocusState},
    Row{"Music Playlist", QueryMusicPlaylistState},
    Row{"Music Playlist Focus", QueryMusicPlaylistFocusState},
    Row{"Music Browse By Path", QueryMusicBrowseByPathState},
    Row{"Music Play On Control Panel", QueryMusicPlayOnControlPanelState},
    Row{"Music Play On Control Panel Focus", QueryMusicPlayOnControlPanelFocusState},
    Row{"Music Shuffle", QueryMusicShuffleState},
    Row{"Music Shuffle Focus", QueryMusicShuffleFocusState},
    Row{"Music Repeat All", QueryMusicRepeatAllState},
    Row{"Music Repeat All Focus", QueryMusicRepeatAllFocusState},
    Row{"Music Rip Now", QueryMusicRipNowState},
    Row{"UpOneLevel", QueryUpOneLevelState},
    Row{"Music Resume Ripping", QueryMusicResumeRippingState},
    Row{"Music Stop Ripping", QueryMusicStopRippingState},
    Row{"Music stop Media Search", QueryMusicStopMediaSearchState},
    Row{"Music Close Search", QueryMusicCloseSearchState},
    Row{"Music Browse By Album", Disabled},
    Row{"Music Browse By Artist", Disabled},
    Row{"Music Browse By Song", Disabled},
};

}  // namespace

int QueryMusicActionState(const CMusicConfig& music, std::string_view action, int& shown, int& enabled,
                          int& checked) {
  return LookUpActionState<CMusicConfig>(kMusicRows, music, action, shown, enabled, checked);
}
