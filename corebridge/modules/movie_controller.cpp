// The Movie controller: entering and leaving the Movie module, finding an
// optical drive with a playable disc, opening and closing it on the DVD
// engine (with its resume point), and the transport: play, pause, stop,
// chapters and fast scan.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/com/hresult.h"
#include "platform/sys/clock.h"
#include "platform/sys/drive_table.h"
#include "platform/sys/event.h"
#include "platform/sys/system_events.h"
#include "platform/win/message.h"

using plat::FAILED;
using plat::HRESULT;
using plat::SUCCEEDED;

namespace {

constexpr const char* kResumeStateKey = "Software\\Kestrovia\\Marivel\\MyMovie\\ResumeState";
constexpr int kNormalSpeed = 10000;
constexpr int kForwardSpeeds[] = {15000, 20000, 40000, 80000, 160000, 320000, 10000};
constexpr int kRewindSpeeds[] = {10000, 15000, 20000, 40000, 80000, 160000, 320000, 0};
constexpr int kForwardLast = static_cast<int>(std::size(kForwardSpeeds)) - 1;
constexpr int kRewindLast = static_cast<int>(std::size(kRewindSpeeds)) - 1;

// Remote-control modes and modules of the playback notices.
constexpr int kModePlayEntry = 0;
constexpr int kModePlay = 1;
constexpr int kModePause = 2;
constexpr int kModeStop = 3;
constexpr int kModeFastForward = 4;
constexpr int kModeRewind = 5;
constexpr int kModePrevious = 6;
constexpr int kModeNext = 7;
constexpr int kModuleMovie = 6;

bool IsVideoKind(int kind) { return kind >= 2 && kind <= 7; }

// Disc type of a drive's media kind: video CD kinds give 1..3, DVD kinds 4.
int DiscTypeOfKind(int kind) {
  switch (kind) {
    case 2:
    case 3: return 1;
    case 4: return 2;
    case 5: return 3;
    case 6:
    case 7: return 4;
    default: return 0;
  }
}

// Media kind from the engine's classification of a drive's medium.
int MediaKindOfBits(std::uint32_t bits) {
  if (bits & 1) return 6;                     // a DVD on an optical drive
  if (bits & (512 | 1024 | 2048)) return 7;   // a DVD folder, image or VIDEO_TS.IFO
  if (bits & 16) return 1;                    // an audio CD
  if (bits & 4) return 2;                     // a video CD
  if (bits & 8) return 5;                     // a super video CD
  return 0;
}

std::string ResumeSubKey(std::uint64_t id) {
  char name[32];
  std::snprintf(name, sizeof name, "%" PRIx64, id);
  return std::string(kResumeStateKey) + "\\" + name;
}

}  // namespace

// --- Helpers -------------------------------------------------------------------

CMovieConfig& CUISystem::MovieState() const { return *m_pConfig->m_pMovie; }

plat::ComPtr<IDiscRunner> CUISystem::MovieEngine() const { return CoreService<IDiscRunner>(); }

plat::ComPtr<IDiscRunnerQueries> CUISystem::MovieEngineQueries() const {
  plat::ComPtr<IDiscRunnerQueries> queries;
  if (auto dvd = MovieEngine()) {
    dvd->QueryInterface(IID_IDiscRunnerQueries, reinterpret_cast<void**>(queries.ReleaseAndGetAddressOf()));
  }
  return queries;
}

int CUISystem::MoviePageRedraw(int flag) { return m_pMoviePage ? m_pMoviePage->OnRedraw(flag) : 0; }
int CUISystem::MoviePageShow() { return m_pMoviePage ? m_pMoviePage->ShowPage() : 0; }
int CUISystem::MovieRefreshDriveList() { return m_pMoviePage ? m_pMoviePage->RefreshDriveList() : 0; }

void CUISystem::MovieSetPageShown(int state) {
  CMovieConfig& movie = MovieState();
  if (movie.m_nMoviePageState == state) return;
  movie.m_nMoviePageState = state;
  MoviePageShow();
}

void CUISystem::MovieRemoteNotice(int mode, int lParam, const char* text) {
  if (VendorId() == 1) PostHotkeyControllerMode(mode, lParam, text);
}

// Video CDs (disc types 1..3) are module 2 for the remote, everything else 1.
int CUISystem::MovieRemoteDiscModule() const {
  const int type = MovieState().m_nDiscType;
  return type >= 1 && type <= 3 ? 2 : 1;
}

std::string CUISystem::MovieString(const std::string& key) const {
  std::string text;
  if (!m_pUICallback || !m_pUICallback->LookupString(key, text)) return key;
  return text;
}

void CUISystem::MovieApplyPowerScheme() {
  m_bPlaybackPower = 1;
  if (m_pUICallback) m_pUICallback->KeepDisplayOn(0);
}

void CUISystem::MovieRestorePowerScheme() {
  if (!m_bPlaybackPower) return;
  m_bPlaybackPower = 0;
  if (m_pUICallback) m_pUICallback->KeepDisplayOn(1);
}

int CUISystem::MoviePageRefresh() {
  RunStep("MoviePageRefresh");
  return MoviePageRedraw(0);
}

// --- Drives --------------------------------------------------------------------

int CUISystem::GetDriveMediaKind(int drive, int& kind) {
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  const char root[] = {static_cast<char>('A' + drive), ':', '\\', 0};
  std::uint32_t bits = 0;
  kind = SUCCEEDED(dvd->GetMediaKind(root, &bits)) ? MediaKindOfBits(bits) : 0;
  return 1;
}

int CUISystem::FindDiscDrive(int drive, int fallback) {
  CMovieConfig& movie = MovieState();
  movie.m_arrDrives.clear();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', 0};
    if (plat::GetDriveTypeA(root) != plat::DRIVE_CDROM) continue;
    int kind = 0;
    GetDriveMediaKind(letter - 'A', kind);
    if (IsVideoKind(kind)) movie.m_arrDrives.push_back({root, kind});
  }
  auto select = [&movie](int position) {
    movie.m_nDriveListPos = position;
    movie.m_strDriveRoot = movie.m_arrDrives[static_cast<std::size_t>(position)].strRoot;
    movie.m_nDriveLetterIndex = static_cast<std::uint8_t>(movie.m_strDriveRoot[0] - 'A');
  };
  const int count = static_cast<int>(movie.m_arrDrives.size());
  if (drive != 0) {
    // Without a match the last drive stays selected.
    for (int i = 0; i < count; ++i) {
      select(i);
      if (movie.m_nDriveLetterIndex == drive) break;
    }
    return 1;
  }
  if (movie.m_nDriveListPos < 0 || movie.m_nDriveListPos >= count) movie.m_nDriveListPos = 0;
  if (count == 0) return 1;
  select(movie.m_nDriveListPos);
  if (fallback && !IsVideoKind(movie.m_arrDrives[static_cast<std::size_t>(movie.m_nDriveListPos)].nMediaKind)) {
    for (int i = 0; i < count; ++i) {
      if (IsVideoKind(movie.m_arrDrives[static_cast<std::size_t>(i)].nMediaKind)) {
        select(i);
        break;
      }
    }
  }
  return 1;
}

// Media kind of the selected drive (0 when the list does not hold it).
static int SelectedDriveKind(const CMovieConfig& movie) {
  const int pos = movie.m_nDriveListPos;
  if (pos < 0 || pos >= static_cast<int>(movie.m_arrDrives.size())) return 0;
  return movie.m_arrDrives[static_cast<std::size_t>(pos)].nMediaKind;
}

int CUISystem::HasDvdResumeState(int drive) {
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives) return 0;
  std::uint64_t id = 0;
  if (FAILED(drives->GetDiscId(drive, &id))) return 0;
  CRegistryKey key(plat::HKEY_CURRENT_USER);
  if (!key.Open(plat::HKEY_CURRENT_USER, kResumeStateKey, true)) key.Create(plat::HKEY_CURRENT_USER, kResumeStateKey);
  key.Close();
  CRegistryKey disc(plat::HKEY_CURRENT_USER);
  return disc.Open(plat::HKEY_CURRENT_USER, ResumeSubKey(id), true) ? 1 : 0;
}

// --- Entering and leaving ----------------------------------------------------------

int CUISystem::OnMovieEntry(std::intptr_t drive, std::intptr_t forced) {
  RunStep("OnMovieEntry");
  if (!m_pConfig) return 0;
  EnsureDvdAudioOutputCaps();
  CMovieConfig& movie = MovieState();
  if (m_pConfig->m_nActiveModule == MODULE_MOVIE) return 1;
  if (m_pConfig->m_nActiveModule != MODULE_NONE) OnHome(0, 0);
  if (movie.m_nPlayState == MOVIE_OPENING) return 0;
  movie.m_nPlayState = MOVIE_OPENING;
  if (m_pMoviePage) m_pMoviePage->EnterModule();
  m_pConfig->m_nActiveModule = MODULE_MOVIE;
  FindDiscDrive(static_cast<int>(drive), 1);
  movie.m_nDiscType = DiscTypeOfKind(SelectedDriveKind(movie));
  EnumDvdLocales();
  m_coreAudioSink.OnMixerChange();
  if (movie.m_arrDrives.size() < 2 || forced) {
    if (movie.m_nDiscType == 0) {
      movie.m_nMoviePageState = 2;
      movie.m_nPlayState = MOVIE_NO_DISC;
      return MoviePageShow();
    }
    MovieRemoteNotice(kModePlayEntry, kModuleMovie, "CINEMA MODE");
    if (!MovieOpenDisc(1)) {
      MovieCloseDisc(0);
      movie.m_nPlayState = MOVIE_NO_DISC;
      return 0;
    }
    OnMoviePlay(1, forced);
    return m_pUICallback ? m_pUICallback->NotifyCaptionBar(1) : 1;
  }
  movie.m_nMoviePageState = 0;
  movie.m_nPlayState = MOVIE_NO_DISC;
  MoviePageShow();
  MovieRefreshDriveList();
  return m_pUICallback ? m_pUICallback->NotifyCaptionBar(1) : 1;
}

int CUISystem::MovieStopModule(std::intptr_t reshow, std::intptr_t) {
  RunStep(reshow ? "MovieStopModule(1)" : "MovieStopModule(0)");
  if (!m_pConfig) return 1;
  CMovieConfig& movie = MovieState();
  if (movie.m_bVideoDesktopOn) OnMovieVideoDesktop(0, 0);
  if (movie.m_nPlayState != MOVIE_NO_DISC) MovieCloseDisc(1);
  const int previous = movie.m_nMoviePageState;
  movie.m_nMoviePageState = 3;
  if ((previous == 10 || previous == 12) && reshow) MoviePageShow();
  if (m_pUICallback) m_pUICallback->SetCaptionBarVisible(0, 0);
  m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

// --- Opening and closing ---------------------------------------------------------------

int CUISystem::MovieSetDxva(int on) {
  auto queries = MovieEngineQueries();
  return queries && SUCCEEDED(queries->SetHardwareDecoding(on)) ? 1 : 0;
}

int CUISystem::MoviePrepareDisc(int resume) {
  CMovieConfig& movie = MovieState();
  if (movie.m_nPlayState == MOVIE_OPENING) return 0;
  movie.m_nPlayState = MOVIE_OPENING;
  const int pending = movie.m_nPendingDriveIndex;
  movie.m_nPendingDriveIndex = 0;
  FindDiscDrive(pending > 0 ? pending : 0, 1);
  movie.m_nDiscType = DiscTypeOfKind(SelectedDriveKind(movie));
  if (movie.m_nDiscType == 0) {
    movie.m_nPlayState = MOVIE_NO_DISC;
    return 1;
  }
  if (!MovieOpenDisc(resume)) {
    MovieCloseDisc(0);
    movie.m_nPlayState = MOVIE_NO_DISC;
    MoviePageShow();
  }
  return 1;
}

int CUISystem::MovieOpenDisc(int resume) {
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (m_bDiscOpen) MovieCloseDisc(0);
  const char* root = movie.m_strDriveRoot.c_str();
  HRESULT hr = plat::E_FAIL;
  if (movie.m_nDiscType == 4) {
    if (movie.m_nColorProfile == 1 || m_pConfig->m_nWideScreenMode == 3) MovieSetDxva(0);
    hr = resume && HasDvdResumeState(movie.m_nDriveLetterIndex) ? dvd->DvdOp51(root) : dvd->Open(root);
  } else {
    MovieSetDxva(0);
    hr = dvd->Open(root);
  }
  if (movie.m_bUseDxva) MovieSetDxva(1);
  if (FAILED(hr)) return 0;

  dvd->SetNotifyTarget(&m_dvdSink);
  int osdValue = 0;
  dvd->DvdOp88(&osdValue);
  if (m_pUICallback) m_pUICallback->SetOsdOption(osdValue);
  plat::HWND owner = nullptr;
  plat::RECT rect{};
  if (m_pMoviePage) m_pMoviePage->GetVideoWindow(&owner, &rect);
  dvd->SetOwnerWindow(owner);
  const HRESULT placed =
      dvd->UpdateVideoPosition(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 1.0f);
  if (m_pUICallback) m_pUICallback->SetDisplayRect(rect);
  if (FAILED(placed)) {
    // Nothing stays open on the engine while the play state says nothing is.
    dvd->Close();
    return 0;
  }
  movie.m_bLevelRequestPending = 0;
  movie.m_nPlayState = MOVIE_STOPPED;
  m_bDiscOpen = 1;
  MovieApplyPowerScheme();
  return 1;
}

int CUISystem::MovieCloseDisc(int saveResume) {
  m_bDiscOpen = 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  int engineState = 0;
  dvd->GetPlayState(&engineState);
  if (engineState == kDiscUnbound || engineState == kDiscClosed) return 0;
  dvd->ShowVideo(plat::FALSE);
  MovieRestorePowerScheme();
  CMovieConfig& movie = MovieState();
  HRESULT hr = plat::E_FAIL;
  std::uint64_t id = 0;
  auto drives = CoreService<IDriveEnumerator>();
  if (saveResume && drives && SUCCEEDED(drives->GetDiscId(movie.m_nDriveLetterIndex, &id))) {
    CRegistryKey key(plat::HKEY_CURRENT_USER);
    key.Create(plat::HKEY_CURRENT_USER, ResumeSubKey(id));
    hr = dvd->CloseWithRecord();
  } else {
    hr = dvd->Close();
  }
  if (SUCCEEDED(hr)) {
    movie.m_bHasRootMenu = (movie.m_dwDiscCaps & MOVIE_CAP_MENU_DVD) ? 1 : 0;
    movie.m_bHasTitleMenu = (movie.m_dwDiscCaps & 0x800) ? 1 : 0;
    movie.m_dwDiscCaps = 0;
    movie.m_nPlayState = MOVIE_NO_DISC;
    movie.m_nSubtitleChosen = 0;
    movie.m_nAudioChosen = 0;
    movie.m_bSubtitleDefaultPicked = 0;
    movie.m_bAudioDefaultPicked = 0;
    movie.m_nChapterNumber = 0;
  }
  return 0;
}

// --- Transport ----------------------------------------------------------------------------

int CUISystem::OnMoviePlay(std::intptr_t resume, std::intptr_t) {
  RunStep("OnMoviePlay");
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nPlayState == MOVIE_NO_DISC) {
    MovieSetPageShown(3);
    if (!MoviePrepareDisc(static_cast<int>(resume))) {
      movie.m_bHasRootMenu = 0;
      movie.m_bHasTitleMenu = 0;
      return 0;
    }
  }
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  const int before = movie.m_nPlayState;
  bool shown = true;
  HRESULT hr = plat::E_FAIL;
  if (before == MOVIE_PAUSED || before == MOVIE_SCANNING) {
    hr = dvd->Play();
  } else {
    hr = dvd->Play();
    movie.m_bRegionEventSeen = 0;
    // One message, as the engine's first events arrive; the wait is bounded
    // so an empty queue cannot hold the UI thread.
    plat::MSG msg{};
    if (plat::MsgWaitForMultipleObjects(0, nullptr, plat::FALSE, 100, plat::QS_ALLINPUT) != plat::WAIT_TIMEOUT &&
        plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
      if (msg.message == plat::WM_QUIT) {
        plat::PostQuitMessage(static_cast<int>(msg.wParam));
      } else {
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
      }
    }
    if (movie.m_bRegionEventSeen) return MoviePageRedraw(1);
    if (!resume || movie.m_nDiscType != 4) {
      movie.m_nSubtitleChosen = 1;
      movie.m_nAudioChosen = 1;
    } else if (auto queries = MovieEngineQueries(); queries && HasDvdResumeState(movie.m_nDriveLetterIndex)) {
      if (queries->GetResumeApplied() == plat::S_OK) {
        movie.m_nSubtitleChosen = movie.m_bSubtitleDefaultPicked ? 0 : 1;
        movie.m_nAudioChosen = movie.m_bAudioDefaultPicked ? 0 : 1;
      }
    } else {
      movie.m_nSubtitleChosen = 1;
      movie.m_nAudioChosen = 1;
    }
    MovieApplyVideoSettings();
    if (FAILED(dvd->ShowVideo(plat::TRUE))) {
      shown = false;
    } else if (m_pUICallback) {
      m_pUICallback->HideCursor();
    }
  }
  if (shown && SUCCEEDED(hr)) {
    movie.m_nFastForwardStep = -1;
    movie.m_nRewindStep = -1;
    if (before == MOVIE_SCANNING) {
      ShowStatusText(kNormalSpeed);
    } else {
      SetNamedItemState("PLAY", 1);
    }
    movie.m_nPlayState = MOVIE_PLAYING;
    if (m_pUICallback) m_pUICallback->SuspendPowerSaving();
  }
  MoviePageRedraw(1);
  MovieRemoteNotice(kModePlay, MovieRemoteDiscModule(), "PLAY MODE");
  return 1;
}

int CUISystem::OnMoviePause(std::intptr_t, std::intptr_t) {
  RunStep("OnMoviePause");
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nPlayState == MOVIE_SCANNING) dvd->Play();
  if (SUCCEEDED(dvd->Pause())) {
    if (movie.m_nPlayState == MOVIE_PAUSED) {
      movie.m_nPlayState = MOVIE_PLAYING;
      SetNamedItemState("PLAY", 1);
    } else if (movie.m_nPlayState == MOVIE_PLAYING || movie.m_nPlayState == MOVIE_SCANNING) {
      movie.m_nPlayState = MOVIE_PAUSED;
      if (m_pConfig->m_bPauseNoticeText) {
        ShowNamedItem("PAUSE");
      } else {
        SetNamedItemState("PAUSE", 1);
      }
    }
  }
  MoviePageRedraw(1);
  MovieRemoteNotice(kModePause, MovieRemoteDiscModule(), "PAUSE MODE");
  return 1;
}

int CUISystem::OnMoviePlayPause(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  const int state = MovieState().m_nPlayState;
  if (state == MOVIE_PAUSED || state == MOVIE_SCANNING) return OnMoviePlay(0, 0);
  if (state == MOVIE_PLAYING) return OnMoviePause(0, 0);
  return 0;
}

int CUISystem::OnMoviePausePlay(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  const int state = MovieState().m_nPlayState;
  if (state == MOVIE_PAUSED) return OnMoviePlay(0, 0);
  if (state == MOVIE_PLAYING || state == MOVIE_SCANNING) return OnMoviePause(0, 0);
  return 0;
}

int CUISystem::OnMovieStop(std::intptr_t, std::intptr_t) {
  RunStep("OnMovieStop");
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  MovieCloseDisc(1);
  movie.m_nMoviePageState = 4;
  if (m_pUICallback) {
    m_pUICallback->HideOsd();
    m_pUICallback->SetPlaybackBarVisible(0, 0);
    m_pUICallback->RestorePowerSaving();
  }
  MoviePageShow();
  FindDiscDrive(movie.m_nDriveLetterIndex, 1);
  MovieRefreshDriveList();
  MoviePageRedraw(1);
  MovieRemoteNotice(kModeStop, kModuleMovie, "STOP");
  return 1;
}

void CUISystem::MovieShowChapter(int chapter) {
  CMovieConfig& movie = MovieState();
  movie.m_nChapterNumber = chapter;
  char text[300];
  std::snprintf(text, sizeof text, "%s %d", MovieString("CHAPTER").c_str(), chapter);
  SetNamedItemState(text, 0);
}

int CUISystem::MovieChapterSkip(bool next) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nPlayState == MOVIE_PAUSED) dvd->Play();
  const HRESULT hr = next ? dvd->NextChapter() : dvd->PrevChapter();
  if (hr == plat::S_OK) {
    movie.m_nFastForwardStep = -1;
    movie.m_nRewindStep = -1;
    movie.m_nPlayState = MOVIE_PLAYING;
    int chapter = 0;
    if (auto queries = MovieEngineQueries(); queries && SUCCEEDED(queries->GetChapter(&chapter))) {
      MovieShowChapter(chapter);
    }
  } else if (hr == plat::S_FALSE) {
    // No further chapter: a DVD stops, other discs go on playing.
    if (movie.m_nDiscType == 4) {
      OnMovieStop(0, 0);
    } else {
      movie.m_nPlayState = MOVIE_PLAYING;
      movie.m_nFastForwardStep = -1;
      movie.m_nRewindStep = -1;
      if (m_pUICallback) m_pUICallback->HideOsd();
    }
  }
  MoviePageRedraw(0);
  MovieRemoteNotice(next ? kModeNext : kModePrevious, MovieRemoteDiscModule(),
                    next ? "NEXTCHAPTER MODE" : "PRECHAPTER MODE");
  return 1;
}

int CUISystem::OnMoviePreChapter(std::intptr_t, std::intptr_t) {
  RunStep("OnMoviePreChapter");
  return MovieChapterSkip(false);
}

int CUISystem::OnMovieNextChapter(std::intptr_t, std::intptr_t) {
  RunStep("OnMovieNextChapter");
  return MovieChapterSkip(true);
}

int CUISystem::MovieScan(bool forward) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  int& step = forward ? movie.m_nFastForwardStep : movie.m_nRewindStep;
  int& other = forward ? movie.m_nRewindStep : movie.m_nFastForwardStep;
  if (movie.m_nPlayState == MOVIE_PAUSED) {
    dvd->Play();
    step = -1;
  }
  const int last = forward ? kForwardLast : kRewindLast;
  if (step < -1 || step >= last) step = -1;  // after the last entry (or from a stray value) the table starts again
  other = -1;
  ++step;
  const int speed = forward ? kForwardSpeeds[step] : kRewindSpeeds[step];
  HRESULT hr = plat::E_FAIL;
  if (forward) {
    hr = speed == kNormalSpeed ? dvd->Play() : dvd->FastForward(speed);
  } else {
    hr = speed == 0 ? dvd->Play() : dvd->Rewind(speed);
  }
  if (SUCCEEDED(hr)) {
    int actual = kNormalSpeed;
    dvd->GetPlaySpeed(&actual);
    movie.m_nPlayState = actual == kNormalSpeed ? MOVIE_PLAYING : MOVIE_SCANNING;
    ShowStatusText(actual);
  }
  MoviePageRedraw(0);
  const int state = movie.m_nPlayState;
  int mode = kModeFastForward;
  if (state == MOVIE_PLAYING) mode = kModePlay;
  else if (!forward && state == MOVIE_SCANNING) mode = kModeRewind;
  MovieRemoteNotice(mode, MovieRemoteDiscModule(), forward ? "FASTFORWARD or PLAY MODE" : "REWIND or PLAY MODE");
  return 1;
}

int CUISystem::OnMovieFastForeward(std::intptr_t, std::intptr_t) {
  RunStep("OnMovieFastForeward");
  return MovieScan(true);
}

int CUISystem::OnMovieRewind(std::intptr_t, std::intptr_t) {
  RunStep("OnMovieRewind");
  return MovieScan(false);
}

int CUISystem::OnMovieEject(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives) return 0;
  CMovieConfig& movie = MovieState();
  const int drive = movie.m_nDriveLetterIndex;
  int door = 0;
  drives->GetDoorState(drive, &door);
  if (door == kDoorOpen) {
    drives->MoveDoor(drive, kDoorMoveClose);
  } else {
    drives->MoveDoor(drive, kDoorMoveOpen);
    movie.m_bHasRootMenu = 0;
    movie.m_bHasTitleMenu = 0;
  }
  return MoviePageRedraw(1);
}

// --- Waiting, devices and power ----------------------------------------------------------

int CUISystem::WaitPumpingMessages(int ms) {
  const plat::DWORD start = plat::GetTickCount();
  for (;;) {
    const plat::DWORD elapsed = plat::GetTickCount() - start;
    if (static_cast<int>(elapsed) >= ms) break;
    const plat::DWORD wait = plat::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<plat::DWORD>(ms) - elapsed,
                                                               plat::QS_ALLINPUT, plat::MWMO_INPUTAVAILABLE);
    if (wait == plat::WAIT_TIMEOUT) break;
    plat::MSG msg{};
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
      if (msg.message == plat::WM_QUIT) {
        plat::PostQuitMessage(static_cast<int>(msg.wParam));
        return 1;
      }
      plat::TranslateMessage(&msg);
      plat::DispatchMessage(&msg);
    }
  }
  return 1;
}

int CUISystem::MovieOnDeviceChange(int event, int drive) {
  RunStep(("MovieOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  const bool selected = drive == movie.m_nDriveLetterIndex;
  if (selected) {
    FindDiscDrive(0, 0);
  } else if (movie.m_nPlayState == MOVIE_NO_DISC) {
    FindDiscDrive(drive, 1);
  }
  if (event == static_cast<int>(plat::DBT_DEVICEARRIVAL)) {
    // The list holds video discs only: an audio CD is asked of its drive.
    int arrived = 0;
    GetDriveMediaKind(drive, arrived);
    if (arrived == 1) {
      // The Music entry plays the CD of the drive that raised this.
      m_pConfig->m_pMusic->m_bAudioCdArrived = 1;
      m_pConfig->m_pMusic->m_nCurrentDrive = drive;
    } else {
      movie.m_nDiscType = DiscTypeOfKind(SelectedDriveKind(movie));
    }
    if (movie.m_nDiscType != 0 && movie.m_nPlayState != MOVIE_OPENING && drive == movie.m_nDriveLetterIndex &&
        !m_pConfig->m_bSuppress) {
      MovieSetPageShown(3);
      if (MoviePrepareDisc(1)) {
        if (m_pMoviePage) m_pMoviePage->EnterModule();
        OnMoviePlay(1, 0);
      }
    }
  } else if (event == static_cast<int>(plat::DBT_DEVICEREMOVECOMPLETE) && selected) {
    if (movie.m_nPlayState != MOVIE_NO_DISC) {
      movie.m_nMoviePageState = 4;
      MovieCloseDisc(1);
      MovieRemoteNotice(kModeStop, kModuleMovie, "STOP");
      if (m_pUICallback) m_pUICallback->HideOsd();
      MoviePageShow();
      MovieRefreshDriveList();
    }
    movie.m_bHasRootMenu = 0;
    movie.m_bHasTitleMenu = 0;
    movie.m_nDiscType = 0;
  }
  return MoviePageRedraw(1);
}

int CUISystem::MovieEngineReapplyOnPowerApply() {
  RunStep("MovieEngineReapplyOnPowerApply");
  if (!MovieEngine()) return 0;
  MovieApplyColorProfile();
  return 1;
}

int CUISystem::MovieEngineReapplyOnPowerRestore() {
  RunStep("MovieEngineReapplyOnPowerRestore");
  if (!MovieEngine()) return 0;
  MovieApplyColorProfile();
  return 1;
}

void CUISystem::OnDvdAudioCapsTimer() {
  if (m_pHiddenWindow) plat::KillTimer(m_pHiddenWindow->Handle(), kDvdAudioCapsTimer);
  if (m_services.startMediaInBackground && m_pHiddenWindow && !m_mediaStart.joinable()) {
    // The worker may finish after the window is gone: the post then fails.
    m_mediaStart = m_services.startMediaInBackground(
        [hwnd = m_pHiddenWindow->Handle()] { plat::PostMessage(hwnd, WM_MEDIA_STARTED, 0, 0); });
    return;
  }
  EnsureDvdAudioOutputCaps();
}

void CUISystem::OnMediaStarted() { EnsureDvdAudioOutputCaps(); }

void CUISystem::EnsureDvdAudioOutputCaps() {
  if (!m_bDvdAudioCapsPending) return;
  m_bDvdAudioCapsPending = false;
  QueryDvdAudioOutputCaps();
}

int CUISystem::QueryDvdAudioOutputCaps() {
  RunStep("QueryDvdAudioOutputCaps");
  auto dvd = MovieEngine();
  if (!dvd || !m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  if (!movie.m_arrSpeakers.empty()) return 1;
  std::uint32_t caps = 0;
  if (FAILED(dvd->GetAudioOutputCaps(&caps))) return 1;
  // The engine's output bits by meaning: stereo output serves two speakers
  // and headphones, multichannel output four and six speakers.
  if (caps & 1) movie.m_arrSpeakers.push_back(1);
  if (caps & 2) {
    movie.m_arrSpeakers.push_back(3);
    movie.m_arrSpeakers.push_back(4);
  }
  if (caps & 1) movie.m_arrSpeakers.push_back(5);
  return 1;
}
