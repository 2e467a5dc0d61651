// The Movie (DVD) module's action names with their ids and handlers, and the
// small handlers: disc menus and their keys, number keys, resume and
// restart, the video desktop, placing the video, the region and parental
// answers, and the way back out of the module's pages.
#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/com/hresult.h"

using plat::FAILED;
using plat::SUCCEEDED;

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};

constexpr int kDvd = 4;
}  // namespace

void CUISystem::RegisterMovieActions() {
  static const Registration kActions[] = {
      {"Movie Play", 12, &CUISystem::OnMoviePlay},
      {"Movie Pause", 13, &CUISystem::OnMoviePause},
      {"Movie Play Pause", 14, &CUISystem::OnMoviePlayPause},
      {"Movie Pause Play", 15, &CUISystem::OnMoviePausePlay},
      {"Movie Stop", 16, &CUISystem::OnMovieStop},
      {"Movie PreChapter", 17, &CUISystem::OnMoviePreChapter},
      {"Movie NextChapter", 18, &CUISystem::OnMovieNextChapter},
      {"Movie FastForeward", 19, &CUISystem::OnMovieFastForeward},
      {"Movie Rewind", 20, &CUISystem::OnMovieRewind},
      {"Movie FW_MainMenu", 21, &CUISystem::OnMovieFWMainMenu},
      {"Movie Subtitle", 22, &CUISystem::OnMovieSubtitle},
      {"Movie Language", 23, &CUISystem::OnMovieLanguage},
      {"Movie Angle", 24, &CUISystem::OnMovieAngle},
      {"Movie VideoDesktop", 25, &CUISystem::OnMovieVideoDesktop},
      {"Movie ClosedCaption", 26, &CUISystem::OnMovieClosedCaption},
      {"Movie Snapshot", 27, &CUISystem::OnMovieSnapshot},
      {"Movie Resume", 28, &CUISystem::OnMovieResume},
      {"Movie Restart", 29, &CUISystem::OnMovieRestart},
      {"Movie RootMenu", 30, &CUISystem::OnMovieRootMenu},
      {"Movie MainMenu", 31, &CUISystem::OnMovieMainMenu},
      {"Movie Eject", 32, &CUISystem::OnMovieEject},
      {"Movie Setting", 33, &CUISystem::OnMovieSetting},
      {"Movie Setting Entry", 34, &CUISystem::OnMovieSettingEntry},
      {"Movie Setting Return", 35, &CUISystem::OnMovieSettingReturn},
      {"Movie Video Setting", 36, &CUISystem::OnMovieSetting},
      {"Movie Audio Setting", 37, &CUISystem::OnMovieAudioSetting},
      {"Movie Language Setting", 38, &CUISystem::OnMovieLanguageSetting},
      {"Movie ParentalControl Setting", 39, &CUISystem::OnMovieParentalControlSetting},
      {"Movie Back", 40, &CUISystem::OnMovieBack},
      {"Movie Apply RegionCode", 41, &CUISystem::OnMovieApplyRegionCode},
      {"Movie GoSettingPage", 42, &CUISystem::OnMovieGoSettingPage},
      {"Movie NotSupportDTS", 43, &CUISystem::OnMovieNotSupportDTS},
      {"Movie MenuUp", 44, &CUISystem::OnMovieMenuUp},
      {"Movie MenuDown", 45, &CUISystem::OnMovieMenuDown},
      {"Movie MenuLeft", 46, &CUISystem::OnMovieMenuLeft},
      {"Movie MenuRight", 47, &CUISystem::OnMovieMenuRight},
      {"Movie MenuEnter", 48, &CUISystem::OnMovieMenuEnter},
      {"Movie Key_1", 49, &CUISystem::OnMovieKey1},
      {"Movie Key_2", 50, &CUISystem::OnMovieKey2},
      {"Movie Key_3", 51, &CUISystem::OnMovieKey3},
      {"Movie Key_4", 52, &CUISystem::OnMovieKey4},
      {"Movie Key_5", 53, &CUISystem::OnMovieKey5},
      {"Movie Key_6", 54, &CUISystem::OnMovieKey6},
      {"Movie Key_7", 55, &CUISystem::OnMovieKey7},
      {"Movie Key_8", 56, &CUISystem::OnMovieKey8},
      {"Movie Key_9", 57, &CUISystem::OnMovieKey9},
      {"Movie Key_0", 58, &CUISystem::OnMovieKey0},
      {"Movie GoUp", 59, &CUISystem::OnMovieGoUp},
      {"Movie SnapshotFolder Enter", 60, &CUISystem::OnMovieSnapshotFolderEnter},
      {"Movie ScreenRatio Left", 61, &CUISystem::OnMovieScreenRatioLeft},
      {"Movie ScreenRatio Right", 62, &CUISystem::OnMovieScreenRatioLeft},
      {"Movie WideScreenMode Left", 63, &CUISystem::OnMovieWideScreenModeLeft},
      {"Movie WideScreenMode Right", 64, &CUISystem::OnMovieWideScreenModeRight},
      {"Movie ColorProfile Left", 65, &CUISystem::OnMovieColorProfileLeft},
      {"Movie ColorProfile Right", 66, &CUISystem::OnMovieColorProfileRight},
      {"Movie EnableDXVA Left", 67, &CUISystem::OnMovieEnableDXVALeft},
      {"Movie EnableDXVA Right", 68, &CUISystem::OnMovieEnableDXVALeft},
      {"Movie AudioOutput Left", 69, &CUISystem::OnMovieAudioOutputLeft},
      {"Movie AudioOutput Right", 70, &CUISystem::OnMovieAudioOutputRight},
      {"Movie AudioProfile Left", 71, &CUISystem::OnMovieAudioProfileLeft},
      {"Movie AudioProfile Right", 72, &CUISystem::OnMovieAudioProfileRight},
      {"Movie AudioChannelExpander Left", 73, &CUISystem::OnMovieAudioChannelExpanderLeft},
      {"Movie AudioChannelExpander Right", 74, &CUISystem::OnMovieAudioChannelExpanderRight},
      {"Movie SelectClosedCaption Left", 75, &CUISystem::OnMovieSelectClosedCaptionLeft},
      {"Movie SelectClosedCaption Right", 76, &CUISystem::OnMovieSelectClosedCaptionRight},
      {"Movie SelectSubtitle Left", 77, &CUISystem::OnMovieSelectSubtitleLeft},
      {"Movie SelectSubtitle Right", 78, &CUISystem::OnMovieSelectSubtitleRight},
      {"Movie SelectLanguage Left", 79, &CUISystem::OnMovieSelectLanguageLeft},
      {"Movie SelectLanguage Right", 80, &CUISystem::OnMovieSelectLanguageRight},
      {"Movie SelectPLCLevel Left", 81, &CUISystem::OnMovieSelectPLCLevelLeft},
      {"Movie SelectPLCLevel Right", 82, &CUISystem::OnMovieSelectPLCLevelRight},
      {"Movie ChangePINNumber Enter", 83, &CUISystem::OnMovieChangePINNumberEnter},
      {"Movie RemovePINNumber Enter", 84, &CUISystem::OnMovieRemovePINNumberEnter},
      {"Movie Allow DiscPlay", 85, &CUISystem::OnMovieAllowDiscPlay},
      {"Movie Deny DiscPlay", 86, &CUISystem::OnMovieDenyDiscPlay},
      {"Movie RestoreVideoSetting Enter", 87, &CUISystem::OnMovieRestoreVideoSettingEnter},
      {"Movie RestoreAudioSetting Enter", 88, &CUISystem::OnMovieRestoreAudioSettingEnter},
      {"Movie RestoreLanguageSetting Enter", 89, &CUISystem::OnMovieRestoreLanguageSettingEnter},
      {"Movie RestoreDefaultsSetting Enter", 90, &CUISystem::OnMovieRestoreDefaultsSettingEnter},
      {"Movie PassWordError OK", 91, &CUISystem::OnMoviePassWordErrorOK},
      {"Movie RemovePIN Yes", 92, &CUISystem::OnMovieRemovePINYes},
      {"Movie RemovePIN NO", 93, &CUISystem::OnMovieRemovePINNO},
      {"Movie Resize", 94, &CUISystem::OnMovieResize},
      {"Movie AcceptPLCChange", 96, &CUISystem::OnMovieAcceptPLCChange},
      {"Movie AudioOutputSelection", 97, &CUISystem::OnMovieAudioOutputSelection},
      {"Movie VIVEXSelection", 98, &CUISystem::OnMovieVIVEXSelection},
      {"Movie Update Audio Profiles", 99, &CUISystem::OnMovieUpdateAudioProfiles},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}

// --- Disc menus -----------------------------------------------------------------------

int CUISystem::OnMovieFWMainMenu(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  const CMovieConfig& movie = MovieState();
  if (movie.m_nDiscType == kDvd) {
    if (movie.m_dwDiscCaps & MOVIE_CAP_MENU_DVD) dvd->ShowMenu(3);
  } else if (movie.m_dwDiscCaps & MOVIE_CAP_MENU_OTHER) {
    dvd->DvdOp84();
  }
  return 1;
}

// Plays on (from the resume point) and calls the root (3) or title (2) menu
// the closed disc offered.
int CUISystem::MovieShowMenu(int rootMenu) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  int& available = rootMenu ? movie.m_bHasRootMenu : movie.m_bHasTitleMenu;
  if (!available) return 0;
  movie.m_nSubtitleChosen = 1;
  movie.m_nAudioChosen = 1;
  OnMovieResume(0, 0);
  if (auto dvd = MovieEngine()) {
    if (movie.m_nDiscType == kDvd) {
      dvd->ShowMenu(rootMenu ? 3 : 2);
    } else {
      dvd->DvdOp84();
    }
  }
  available = 0;
  return 1;
}

int CUISystem::OnMovieRootMenu(std::intptr_t, std::intptr_t) { return MovieShowMenu(1); }
int CUISystem::OnMovieMainMenu(std::intptr_t, std::intptr_t) { return MovieShowMenu(0); }

int CUISystem::OnMovieResume(std::intptr_t, std::intptr_t b) {
  const int result = OnMoviePlay(1, b);
  MoviePageRedraw(0);
  return result;
}

int CUISystem::OnMovieRestart(std::intptr_t, std::intptr_t b) {
  const int result = OnMoviePlay(0, b);
  MoviePageRedraw(0);
  return result;
}

int CUISystem::MovieMenuNavigate(int code) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  if (MovieState().m_dwDiscCaps & MOVIE_CAP_MENU_NAVIGATION) dvd->MenuNavigate(code);
  return 1;
}

int CUISystem::OnMovieMenuUp(std::intptr_t, std::intptr_t) { return MovieMenuNavigate(1); }
int CUISystem::OnMovieMenuDown(std::intptr_t, std::intptr_t) { return MovieMenuNavigate(2); }
int CUISystem::OnMovieMenuLeft(std::intptr_t, std::intptr_t) { return MovieMenuNavigate(3); }
int CUISystem::OnMovieMenuRight(std::intptr_t, std::intptr_t) { return MovieMenuNavigate(4); }
int CUISystem::OnMovieMenuEnter(std::intptr_t, std::intptr_t) { return MovieMenuNavigate(5); }

// Number keys choose a chapter, a menu button or a title; video CDs of the
// first kind have no number entry.
int CUISystem::MovieDigitKey(int digit) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  const int type = MovieState().m_nDiscType;
  if (type == 2 || type == 3 || type == kDvd) dvd->EnterDigit(digit);
  MoviePageRedraw(0);
  return 1;
}

int CUISystem::OnMovieKey1(std::intptr_t, std::intptr_t) { return MovieDigitKey(1); }
int CUISystem::OnMovieKey2(std::intptr_t, std::intptr_t) { return MovieDigitKey(2); }
int CUISystem::OnMovieKey3(std::intptr_t, std::intptr_t) { return MovieDigitKey(3); }
int CUISystem::OnMovieKey4(std::intptr_t, std::intptr_t) { return MovieDigitKey(4); }
int CUISystem::OnMovieKey5(std::intptr_t, std::intptr_t) { return MovieDigitKey(5); }
int CUISystem::OnMovieKey6(std::intptr_t, std::intptr_t) { return MovieDigitKey(6); }
int CUISystem::OnMovieKey7(std::intptr_t, std::intptr_t) { return MovieDigitKey(7); }
int CUISystem::OnMovieKey8(std::intptr_t, std::intptr_t) { return MovieDigitKey(8); }
int CUISystem::OnMovieKey9(std::intptr_t, std::intptr_t) { return MovieDigitKey(9); }
int CUISystem::OnMovieKey0(std::intptr_t, std::intptr_t) { return MovieDigitKey(0); }

int CUISystem::OnMovieGoUp(std::intptr_t, std::intptr_t) {
  MoviePageRedraw(0);
  return 1;
}

int CUISystem::OnMovieSnapshotFolderEnter(std::intptr_t, std::intptr_t) {
  MoviePageRedraw(0);
  return 1;
}

// --- Video desktop and placement ---------------------------------------------------------

int CUISystem::OnMovieVideoDesktop(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_bVideoDesktopOn) {
    m_pDesktop->DesktopRestore(m_pUICallback ? m_pUICallback->GetFrameWnd() : nullptr);
    dvd->RestoreWindow();
    movie.m_bVideoDesktopOn = 0;
  } else {
    if (m_pUICallback) m_pUICallback->MinimizeFrame();
    plat::COLORREF colour = 0;
    movie.m_bDesktopSaved = m_pDesktop->DesktopGetState(colour);
    m_pDesktop->DesktopShow(colour);
    dvd->SetFullScreen();
    movie.m_bVideoDesktopOn = 1;
  }
  if (movie.m_nPlayState == MOVIE_NO_DISC || movie.m_nPlayState == MOVIE_STOPPED) dvd->ShowVideo(plat::FALSE);
  return MoviePageRedraw(0);
}

int CUISystem::OnMovieResize(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  int engineState = 0;
  dvd->GetPlayState(&engineState);
  if (engineState != kDiscUnbound && engineState != kDiscClosed && movie.m_nMoviePageState == 3) {
    plat::HWND owner = nullptr;
    plat::RECT rect{};
    if (!m_pMoviePage || !m_pMoviePage->GetVideoWindow(&owner, &rect)) return 0;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width != 0 && height != 0) {
      dvd->UpdateVideoPosition(rect.left, rect.top, width, height, 1.0f);
      if (movie.m_bVideoDesktopOn) OnMovieVideoDesktop(0, 0);
    }
    if (m_pUICallback) m_pUICallback->NotifyCaptionBar(1);
  }
  MoviePageRedraw(1);
  return 1;
}

// --- Region and parental answers -------------------------------------------------------------

int CUISystem::OnMovieApplyRegionCode(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nMoviePageState = 3;
  MoviePageShow();
  const int region = movie.m_nDiscRegion;
  bool applied = false;
  if (region >= 1 && region <= 8) {
    const std::uint8_t record[2] = {static_cast<std::uint8_t>(region),
                                    static_cast<std::uint8_t>((1u << (region - 1)) ^ 0xFF)};
    // The drive keeps the new region; a drive that refuses it (no change
    // left) does not play the disc.
    auto queries = MovieEngineQueries();
    applied = SUCCEEDED(dvd->SetRegionCode(record)) && queries &&
              SUCCEEDED(queries->SetDriveRegion(movie.m_strDriveRoot.c_str(), region));
  }
  if (!applied) {
    MovieCloseDisc(0);
    movie.m_nMoviePageState = 4;
    MoviePageShow();
    MovieRefreshDriveList();
  } else {
    dvd->Play();
    MovieApplyVideoSettings();
    dvd->ShowVideo(plat::TRUE);
    movie.m_nPlayState = MOVIE_PLAYING;
    if (m_pUICallback) m_pUICallback->NotifyPlaybackBar(1);
  }
  MoviePageRedraw(0);
  return 1;
}

int CUISystem::OnMovieAcceptPLCChange(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  dvd->AcceptParentalLevelChange(0xFF01);
  dvd->ShowVideo(plat::TRUE);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieNotSupportDTS(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nMoviePageState != 5) return 1;
  movie.m_nMoviePageState = 3;
  MoviePageShow();
  OnMoviePlay(1, 0);
  if (auto dvd = MovieEngine()) dvd->ShowVideo(plat::TRUE);
  return 1;
}

// --- Leaving pages ----------------------------------------------------------------------------

int CUISystem::OnMovieBack(std::intptr_t, std::intptr_t) {
  RunStep("OnMovieBack");
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  const int page = movie.m_nMoviePageState;
  if (page == 3) {
    switch (VendorId()) {
      case 1:
      case 2: OnMovieStop(0, 0); break;
      case 0:
      case 3: OnHome(0, 0); break;
      default: break;
    }
  } else if ((page >= 6 && page <= 9) || page == 11) {
    movie.m_nMoviePageState = 4;
    MoviePageShow();
    MovieRefreshDriveList();
  } else {
    OnHome(0, 0);
  }
  return 1;
}

int CUISystem::OnMovieGoSettingPage(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nPlayState != MOVIE_NO_DISC) MovieCloseDisc(0);
  movie.m_nMoviePageState = 4;
  MoviePageShow();
  MovieRefreshDriveList();
  return 1;
}
