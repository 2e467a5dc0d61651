// The Movie controller's reactions to the DVD engine's events: navigation
// and title state, chapter starts, stream counts, the disc's permitted
// operations, a refused region, parental requests and blocks, the end of
// playback, an audio format the engine cannot play and speed changes.
#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/com/hresult.h"
#include "platform/win/message.h"

using plat::SUCCEEDED;

namespace {

constexpr const char* kRegionKey = "Software\\Kestrovia\\Marivel\\MyMovie\\Region";

// UserOpFlags bits and the prohibited-operation bits of the engine that
// clear them.
constexpr struct {
  std::uint32_t flag;
  std::uint32_t prohibited;
} kUserOps[] = {
    {0x001, 1u << 22},  // angle change
    {0x002, 1u << 21},  // subtitle change
    {0x004, 1u << 20},  // audio change
    {0x008, 1u << 11},  // root menu
    {0x010, 1u << 6},   // previous chapter
    {0x020, 1u << 7},   // next chapter
    {0x040, 1u << 8},   // forward scan
    {0x080, 1u << 9},   // backward scan
    {0x200, 1u << 1},   // chapter play
    {0x400, 1u << 4},   // return from a sub-menu
    {0x800, 1u << 10},  // title menu
};

// Levels a disc asks for that the settings do not offer take the next lower one.
int OfferedLevel(int level) {
  switch (level) {
    case 2: return 1;
    case 6: return 5;
    case 8: return 7;
    default: return level;
  }
}

}  // namespace

int CUISystem::RegionAdminCheck() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  if (!key.Create(plat::HKEY_LOCAL_MACHINE, kRegionKey)) return 0;
  key.Close();
  CRegistryKey remove(plat::HKEY_LOCAL_MACHINE);
  remove.DeleteTree(plat::HKEY_LOCAL_MACHINE, kRegionKey);
  return 1;
}

void CUISystem::MovieOnRegionMismatch(int discRegionMask) {
  CMovieConfig& movie = MovieState();
  movie.m_bRegionEventSeen = 1;
  // Ends the one-message wait of a playback start in progress.
  plat::PostThreadMessage(plat::GetCurrentThreadId(), plat::WM_USER, 0, 0);
  if (m_pUICallback) m_pUICallback->HideOsd();
  int discRegion = 7;
  for (int bit = 0; bit < 6; ++bit) {
    if (!(discRegionMask & (1 << bit))) {
      discRegion = bit + 1;
      break;
    }
  }
  auto dvd = MovieEngine();
  auto queries = MovieEngineQueries();
  int region = 0, changesLeft = 0;
  const bool known =
      queries && SUCCEEDED(queries->GetDriveRegion(movie.m_strDriveRoot.c_str(), &region, &changesLeft));
  if (dvd && known && RegionAdminCheck()) {
    dvd->Stop();
    dvd->ShowVideo(plat::FALSE);
    movie.m_nPlayState = MOVIE_STOPPED;
    if (m_pUICallback) m_pUICallback->SetPlaybackBarVisible(0, 0);
    movie.m_nSystemRegion = region;
    movie.m_nDiscRegion = discRegion;
    movie.m_nRegionChangesLeft = changesLeft;
    if (VendorId() == 2 && changesLeft == 5) {
      OnMovieApplyRegionCode(0, 0);
    } else {
      movie.m_nMoviePageState = 19;
      MoviePageShow();
    }
    return;
  }
  if (movie.m_nPlayState != MOVIE_NO_DISC) MovieCloseDisc(0);
  movie.m_nMoviePageState = 18;
  MoviePageShow();
}

void CUISystem::MovieOnParentalRequest(int level) {
  CMovieConfig& movie = MovieState();
  if (movie.m_strParentalPassword.empty()) {
    OnMovieAcceptPLCChange(0, 0);
    return;
  }
  movie.m_bLevelRequestPending = 1;
  movie.m_nRequestedLevel = OfferedLevel(level);
  movie.m_nMoviePageState = 13;
  if (auto dvd = MovieEngine()) dvd->ShowVideo(plat::FALSE);
  MoviePageShow();
}

void CUISystem::MovieOnParentalBlock() {
  CMovieConfig& movie = MovieState();
  int level = 0;
  if (auto dvd = MovieEngine()) dvd->GetTitleParentalLevel(&level);
  movie.m_bLevelRequestPending = 1;
  movie.m_nRequestedLevel = OfferedLevel(level);
  MovieCloseDisc(1);
  movie.m_nMoviePageState = 17;
  MoviePageShow();
}

void CUISystem::MovieOnDiscClosed() {
  CMovieConfig& movie = MovieState();
  if (movie.m_nPlayState == MOVIE_NO_DISC) return;
  MovieCloseDisc(0);
  movie.m_nMoviePageState = 2;
  MoviePageShow();
}

void CUISystem::MovieOnAudioNotSupported() {
  WaitPumpingMessages(500);
  CMovieConfig& movie = MovieState();
  if (movie.m_nMoviePageState == 5) return;
  OnMoviePause(0, 0);
  if (auto dvd = MovieEngine()) dvd->ShowVideo(plat::FALSE);
  movie.m_nMoviePageState = 5;
  MoviePageShow();
}

// --- The event table ---------------------------------------------------------------------

void CUISystem::MovieDvdEvents::OnDomainChange(std::int32_t value) {
  if (!owner_.m_pConfig || owner_.m_pConfig->m_nActiveModule != MODULE_MOVIE) return;
  CMovieConfig& movie = owner_.MovieState();
  movie.m_nNavigationState = value;
  movie.m_nFastForwardStep = -1;
  movie.m_nRewindStep = -1;
  owner_.MoviePageRedraw(0);
}

void CUISystem::MovieDvdEvents::OnTitleChange(std::int32_t value) {
  if (!owner_.m_pConfig) return;
  owner_.MovieState().m_nTitleState = value;
  owner_.MoviePageRedraw(0);
}

void CUISystem::MovieDvdEvents::OnChapterStart(std::int32_t chapter) {
  if (owner_.m_pConfig) owner_.MovieOnChapterChange(chapter);
}

namespace {
void UpdateCount(int& field, int count, IFrameServices* frame) {
  const bool changed = field != count;
  field = count;
  if (changed && frame) frame->NotifyPlaybackBar(0);
}
}  // namespace

void CUISystem::MovieDvdEvents::OnAudioChange(std::int32_t count) {
  if (owner_.m_pConfig) UpdateCount(owner_.MovieState().m_nAudioStreams, count, owner_.m_pUICallback);
}

void CUISystem::MovieDvdEvents::OnSubtitleChange(std::int32_t count) {
  if (owner_.m_pConfig) UpdateCount(owner_.MovieState().m_nSubtitleStreams, count, owner_.m_pUICallback);
}

void CUISystem::MovieDvdEvents::OnAngleChange(std::int32_t count) {
  if (owner_.m_pConfig) UpdateCount(owner_.MovieState().m_nAngles, count, owner_.m_pUICallback);
}

void CUISystem::MovieDvdEvents::OnButtonChange(std::int32_t count) {
  if (!owner_.m_pConfig) return;
  std::uint32_t& caps = owner_.MovieState().m_dwDiscCaps;
  if (count >= 1) {
    caps |= MOVIE_CAP_MENU_NAVIGATION;
  } else {
    caps &= ~static_cast<std::uint32_t>(MOVIE_CAP_MENU_NAVIGATION);
  }
  owner_.MoviePageRedraw(0);
}

void CUISystem::MovieDvdEvents::OnValidOperationsChange(std::uint32_t prohibited) {
  if (!owner_.m_pConfig) return;
  std::uint32_t& caps = owner_.MovieState().m_dwDiscCaps;
  for (const auto& op : kUserOps) {
    if (prohibited & op.prohibited) {
      caps &= ~op.flag;
    } else {
      caps |= op.flag;
    }
  }
  owner_.MoviePageRedraw(0);
}

void CUISystem::MovieDvdEvents::OnInvalidRegion(std::int32_t discRegionMask) {
  if (owner_.m_pConfig) owner_.MovieOnRegionMismatch(discRegionMask);
}

void CUISystem::MovieDvdEvents::OnParentalLevelChange(std::int32_t level) {
  if (owner_.m_pConfig) owner_.MovieOnParentalRequest(level);
}

void CUISystem::MovieDvdEvents::OnParentalLevelTooLow() {
  if (owner_.m_pConfig) owner_.MovieOnParentalBlock();
}

// The engine reports a disc that left its drive as an eject: the open disc is gone.
void CUISystem::MovieDvdEvents::OnDiscEjected() {
  if (owner_.m_pConfig) owner_.MovieOnDiscClosed();
}

void CUISystem::MovieDvdEvents::OnComplete() { owner_.OnMovieStop(0, 0); }
void CUISystem::MovieDvdEvents::OnStopped() { owner_.OnMovieStop(0, 0); }

void CUISystem::MovieDvdEvents::OnLibraryNotice() {
  if (owner_.m_pConfig) owner_.MovieOnAudioNotSupported();
}

void CUISystem::MovieDvdEvents::OnRateChange(std::int32_t speed) {
  if (!owner_.m_pConfig) return;
  CMovieConfig& movie = owner_.MovieState();
  if (movie.m_nPlayState == MOVIE_PAUSED) return;
  owner_.ShowStatusText(speed);
  if (speed == 10000) movie.m_nPlayState = MOVIE_PLAYING;
  owner_.MoviePageRedraw(0);
}
