// The action table's construction and the handlers of the system words:
// "Home", "Back", "On Hide OSD", the names without effect, and the stop of
// the active module.
#include <cstdio>

#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/sys/debug_output.h"

void CUISystem::BuildActionTable() {
  m_actions.Clear();
  // The entries of the modules and the system words come first.
  m_actions.Register("Movie Entry", 0, &CUISystem::OnMovieEntry);
  m_actions.Register("Music Entry", 1, &CUISystem::OnMusicEntry);
  m_actions.Register("Photo Entry", 2, &CUISystem::OnPhotoEntry);
  m_actions.Register("Video Entry", 3, &CUISystem::VideoEntry);
  m_actions.Register("TV Entry", 4, &CUISystem::TVActionById<4>);
  m_actions.Register("Radio Entry", 5, &CUISystem::RadioActionById<5>);
  m_actions.Register("Record Entry", 6, &CUISystem::RecordEntry);
  m_actions.Register("Authoring Entry", 7, &CUISystem::OnAuthoringEntry);
  m_actions.Register("Burning Entry", 8, &CUISystem::OnBurningEntry);
  m_actions.Register("Home", 9, &CUISystem::OnHome);
  m_actions.Register("Back", 10, &CUISystem::OnBack);
  m_actions.Register("On Hide OSD", 11, &CUISystem::OnHideOsd);
  RegisterMovieActions();
  RegisterMusicActions();
  RegisterPhotoActions();
  RegisterVideoActions();
  RegisterTVActions();
  RegisterRadioActions();
  RegisterAuthoringActions();
  RegisterRecordActions();
  RegisterBurningActions();
  m_actions.Register("Vol Mute", 505, &CUISystem::OnVolMute);
  m_actions.Register("Vol Unmute", 506, &CUISystem::OnVolUnmute);
  m_actions.Register("Vol Mute", 505, &CUISystem::OnVolMute);
  m_actions.Register("Vol Mute Unmute", 507, &CUISystem::OnVolMuteUnmute);
  m_actions.Register("Vol Up", 508, &CUISystem::OnVolUp);
  m_actions.Register("Vol Down", 509, &CUISystem::OnVolDown);
  m_actions.Register("Vol Mute", 505, &CUISystem::OnVolMute);
  m_actions.Register("Vol Unmute", 506, &CUISystem::OnVolUnmute);
}

int CUISystem::OnNoEffect(std::intptr_t, std::intptr_t) { return 1; }

int CUISystem::ExitModule(int module, int movieFlag) {
  switch (module) {
    case MODULE_PHOTO: return PhotoStopModule(0, 0);
    case MODULE_MUSIC: return MusicStopModule(0, 0);
    case MODULE_MOVIE: return MovieStopModule(movieFlag, 0);
    case MODULE_RADIO: return RadioStopModule(0, 0);
    case MODULE_RECORD:
    case MODULE_BURNING: return RecordStopModule(0, 0);
    case MODULE_VIDEO: return VideoStopModule(0, 0);
    case MODULE_TV: return TVStopModule(0, 0);
    default: return 0;
  }
}

int CUISystem::OnHome(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  const int previous = m_pConfig->m_nActiveModule;
  m_pConfig->m_nActiveModule = MODULE_NONE;
  if (m_pHomePage) m_pHomePage->ShowPage();
  if (previous >= 1 && previous <= 8) ExitModule(previous, 1);
  if (m_pUICallback) {
    m_pUICallback->NotifyCaptionBar(1);
    const int vendor = m_pUICallback->GetVendorId();
    if (vendor == 2) m_pUICallback->SetCaptionBarVisible(1, 0);
    if (vendor == 1) {
      PostHotkeyControllerMode(0, 4, nullptr);
      if (m_pConfig->m_bDebugNotices) plat::OutputDebugStringA("VAZIDU ZORIDO MODE");
    }
  }
  return 1;
}

int CUISystem::OnBack(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  switch (m_pConfig->m_nActiveModule) {
    case MODULE_PHOTO: PhotoBack(0, 0); break;
    case MODULE_MUSIC: OnMusicBack(0, 0); break;
    case MODULE_MOVIE: OnMovieBack(0, 0); break;
    case MODULE_RADIO: RadioBack(0, 0); break;
    case MODULE_RECORD:
    case MODULE_BURNING: RecordBack(0, 0); break;
    case MODULE_VIDEO: VideoBack(0, 0); break;
    case MODULE_TV: TVBack(0, 0); break;
    case MODULE_SETTING:
      if (m_pModule9Page) m_pModule9Page->GoBack();
      break;
    default: OnHome(0, 0); break;
  }
  return 1;
}

int CUISystem::StopActiveModule() {
  if (!m_pConfig) return 1;
  const int module = m_pConfig->m_nActiveModule;
  if (module >= 1 && module <= 8) ExitModule(module, 0);
  return 1;
}

int CUISystem::OnHideOsd(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMovie || !m_pConfig->m_pVideo || !m_pConfig->m_pPhoto || !m_pConfig->m_pMusic) {
    return 0;
  }
  const CConfig& config = *m_pConfig;
  const bool lastingPause = config.m_bPauseNoticeText != 0;
  const bool lastingSpeed = config.m_bKeepScanOsd != 0;
  switch (config.m_nActiveModule) {
    case MODULE_PHOTO:
      if (lastingPause && m_pStates->nSlideShowState == 2) return ShowNamedItem("PAUSE");
      if (lastingSpeed && m_pStates->nSlideShowState == 3) return ShowNamedItem("FASTFORWARD");
      if (lastingSpeed && m_pStates->nSlideShowState == 4) return ShowNamedItem("REWIND");
      break;
    case MODULE_MUSIC:
      if (lastingPause && m_pStates->nMusicState == 1) return ShowNamedItem("PAUSE");
      if (lastingSpeed && m_pStates->nMusicState == 3) return ShowNamedItem("FASTFORWARD");
      if (lastingSpeed && m_pStates->nMusicState == 4) return ShowNamedItem("REWIND");
      break;
    case MODULE_MOVIE:
      if (lastingPause && m_pStates->nMoviePlayState == 3) return ShowNamedItem("PAUSE");
      // The play speed comes from the DVD engine, which reports it once built.
      break;
    case MODULE_VIDEO:
      if (lastingPause && m_pStates->nVideoPlayState == 3) return ShowNamedItem("PAUSE");
      break;
    default: break;
  }
  if (config.m_bKeepMuteOsd) {
    int mute = 0;
    float volume = 0.0f;
    if (ReadVolume(mute, volume) && mute) return ShowNamedItem("MUTEON");
  }
  return 1;
}
