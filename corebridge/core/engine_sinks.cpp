// The media player host's events: each brings the news into the Music
// section, redraws the Music page, drives the bars and the monitor power
// state through the frame, or runs a Music action handler.
#include <array>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/com/automation.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"

using plat::HRESULT;

namespace {

constexpr int kPageNotRedrawnOnStop = 4;

bool IsListPage(int page) { return page == 6 || page == 9 || page == 19; }

// The page on top of the Music page history, 0 when there is none.
int TopMusicPage(const CMusicConfig& music) {
  int page = 0;
  return music.PeekMusicPage(page) ? page : 0;
}

bool InMusicOrRadio(const CConfig& config) {
  return config.m_nActiveModule == MODULE_MUSIC || config.m_nActiveModule == MODULE_RADIO;
}

// One attribute of the playing medium in UTF-8.
HRESULT ReadTrackInfo(IWMPlayer& player, const char* attribute, std::string& value) {
  plat::Bstr name(attribute);
  plat::Bstr text;
  const HRESULT hr = player.GetCurPlayingTrackInfo(name.get(), text.out());
  if (plat::SUCCEEDED(hr)) value = text.utf8();
  return hr;
}

}  // namespace

HRESULT CUISystem::WMPlayerSink::OnMediaChange() {
  CConfig* config = owner_.Config();
  IWMPlayer* player = owner_.WMPlayer();
  if (!config || !config->m_pMusic || !player) return plat::E_FAIL;
  CMusicConfig& music = *config->m_pMusic;

  const std::array<std::pair<const char*, std::string*>, 7> attributes{{
      {"Album", &music.m_wstrMediaAlbum},
      {"Artist", &music.m_wstrMediaArtist},
      {"Name", &music.m_wstrMediaName},
      {"SourceURL", &music.m_wstrMediaUrl},
      {"Duration", &music.m_wstrMediaDuration},
      {"WM/WMCollectionID", &music.m_wstrMediaCollectionId},
      {"ReleaseDate", &music.m_wstrMediaReleaseDate},
  }};
  HRESULT hr = plat::S_OK;
  bool allRead = true;
  for (const auto& [attribute, field] : attributes) {
    hr = ReadTrackInfo(*player, attribute, *field);
    if (plat::FAILED(hr)) {
      allRead = false;
      break;
    }
  }
  if (allRead) music.m_bMediaInfoRead = 1;

  const int page = TopMusicPage(music);
  if (music.m_nMusicState != MUSIC_STOPPED) {
    music.m_nNowPlayingIndex = -1;
    for (std::size_t i = 0; i < music.m_vecLibraryTracks.size(); ++i) {
      if (music.m_vecLibraryTracks[i].strTexts[CMusicConfig::kTrackUrlText] != music.m_wstrMediaUrl) continue;
      const int index = static_cast<int>(i);
      if (IsListPage(page)) owner_.OnMusicAlbumArtPath(index, 0);
      music.m_nNowPlayingIndex = index;
      if (IMusicPageEvents* musicPage = owner_.MusicPageCallback()) musicPage->ShowListPanelItem();
      break;
    }
  }
  if (page == CMusicConfig::kVisualizationPage && music.m_bWithSongInfo) owner_.MusicShowSongInfo();
  return hr;
}

int CUISystem::WMPlayerSink::OnPlaying() {
  CConfig* config = owner_.Config();
  IWMPlayer* player = owner_.WMPlayer();
  if (!config || !config->m_pMusic || !player) return 0;
  CMusicConfig& music = *config->m_pMusic;

  if (music.m_bStopOnNextPlay) {
    music.m_bStopOnNextPlay = 0;
    music.m_nMusicState = MUSIC_STOPPED;
    owner_.OnMusicStop(0, 0);
    return 0;
  }
  std::string url;
  ReadTrackInfo(*player, "SourceURL", url);
  if (!owner_.IsPlayableMediaFile(url)) return 0;

  switch (config->m_nActiveModule) {
    case MODULE_PHOTO:
      // The slide show's background music has started.
      if (config->m_pPhoto) config->m_pPhoto->m_nMusicState = 1;
      return 0;
    case MODULE_MUSIC:
    case MODULE_RADIO: {
      if (music.m_nMusicState != MUSIC_PAUSED) OnMediaChange();
      music.m_bCanFastForward = plat::SUCCEEDED(player->IsFFAvailable()) ? 1 : 0;
      music.m_bCanRewind = plat::SUCCEEDED(player->IsFRAvailable()) ? 1 : 0;
      if (!music.m_bCanFastForward) music.m_nMusicState = MUSIC_PLAYING;
      IFrameServices* frame = owner_.UICallback();
      // The monitor stays on while music plays.
      if (frame && frame->GetVendorId() != 0) frame->EnableMonitorPowerOff(0);
      if (IMusicPageEvents* musicPage = owner_.MusicPageCallback()) musicPage->Redraw(0);
      if (frame) frame->NotifyPlaybackBar(0);
      return 1;
    }
    default:
      return 0;
  }
}

int CUISystem::WMPlayerSink::OnPaused() {
  CConfig* config = owner_.Config();
  if (!config || !config->m_pMusic || !InMusicOrRadio(*config)) return 0;
  config->m_pMusic->m_nMusicState = MUSIC_PAUSED;
  if (IMusicPageEvents* musicPage = owner_.MusicPageCallback()) musicPage->Redraw(0);
  owner_.MusicShowModeText("PAUSE", config->m_bPauseNoticeText != 0 ? 1 : 0);
  IFrameServices* frame = owner_.UICallback();
  return frame ? frame->NotifyPlaybackBar(0) : 0;
}

int CUISystem::WMPlayerSink::OnStopped() {
  CConfig* config = owner_.Config();
  if (!config) return 0;
  if (config->m_nActiveModule == MODULE_PHOTO) {
    IWMPlayer* player = owner_.WMPlayer();
    if (!config->m_pPhoto || !player || config->m_pPhoto->m_nPhotoPageState == 0) return 0;
    // The slide show still runs: its background music starts again.
    config->m_pPhoto->m_nMusicState = plat::SUCCEEDED(player->Run()) ? 1 : 0;
    return 1;
  }
  if (!config->m_pMusic || !InMusicOrRadio(*config)) return 0;
  CMusicConfig& music = *config->m_pMusic;
  IMusicPageEvents* musicPage = owner_.MusicPageCallback();
  IFrameServices* frame = owner_.UICallback();

  music.m_dPlayPosition = 0;
  const int page = TopMusicPage(music);
  if (page == CMusicConfig::kVisualizationPage) {
    int popped = 0;
    music.PopMusicPage(popped);
    owner_.MusicPlaySelected();
    if (musicPage) {
      musicPage->ShowPage();
      musicPage->RefreshListPanel();
    }
  }
  music.m_nMusicState = MUSIC_STOPPED;
  music.m_nNowPlayingIndex = -1;
  owner_.MusicShowModeText("STOP", 0);
  if (frame) {
    frame->SetCaptionBarVisible(1, 0);
    frame->SetPlaybackBarVisible(0, 0);
    if (frame->GetVendorId() != 0) frame->EnableMonitorPowerOff(1);
  }
  if (page != kPageNotRedrawnOnStop && musicPage) musicPage->Redraw(0);
  return frame ? frame->NotifyPlaybackBar(0) : 0;
}

int CUISystem::WMPlayerSink::OnMediaEnded() {
  CConfig* config = owner_.Config();
  if (config && config->m_pMusic) config->m_pMusic->m_dPlayPosition = 0;
  return 0;
}

int CUISystem::WMPlayerSink::OnReady() {
  CConfig* config = owner_.Config();
  if (!config || !config->m_pMusic || !InMusicOrRadio(*config)) return 0;
  if (config->m_pMusic->m_nMusicState != MUSIC_STOPPED) {
    owner_.OnMusicStop(0, 0);
    if (config->m_nActiveModule == MODULE_RADIO) OnStopped();
  }
  return 0;
}

int CUISystem::WMPlayerSink::OnMouseMove() {
  CConfig* config = owner_.Config();
  IMusicPageEvents* musicPage = owner_.MusicPageCallback();
  if (!config || !musicPage || !InMusicOrRadio(*config)) return 0;
  musicPage->OnMouseActivity();
  return 1;
}

int CUISystem::WMPlayerSink::OnClick() {
  CConfig* config = owner_.Config();
  if (!config || !config->m_pMusic || !InMusicOrRadio(*config)) return 0;
  CMusicConfig& music = *config->m_pMusic;
  IMusicPageEvents* musicPage = owner_.MusicPageCallback();
  if (TopMusicPage(music) != CMusicConfig::kVisualizationPage || !musicPage) return 0;
  int popped = 0;
  music.PopMusicPage(popped);
  owner_.MusicPlaySelected();
  musicPage->ShowPage();
  musicPage->RefreshListPanel();
  musicPage->ShowListPanelItem();
  return musicPage->Redraw(0);
}

int CUISystem::WMPlayerSink::OnKeyDown(int keyCode, int /*shiftState*/) {
  CConfig* config = owner_.Config();
  if (!config || !config->m_pMusic || !InMusicOrRadio(*config)) return 0;
  if (TopMusicPage(*config->m_pMusic) != CMusicConfig::kVisualizationPage) return 1;
  switch (keyCode & 0xFFFF) {
    case plat::VK_RETURN:
      return OnClick();
    case plat::VK_LEFT:
      return owner_.OnMusicPreviousEffect(0, 0);
    case plat::VK_UP:
      return owner_.OnMusicRewind(0, 0);
    case plat::VK_RIGHT:
      return owner_.OnMusicNextEffect(0, 0);
    case plat::VK_DOWN:
      return owner_.OnMusicFastforward(0, 0);
    default:
      return 1;
  }
}

int CUISystem::WMPlayerSink::OnSearchProgress() {
  IWMPlayer* player = owner_.WMPlayer();
  CConfig* config = owner_.Config();
  if (!player || !config || !config->m_pMusic) return 1;
  CMusicConfig& music = *config->m_pMusic;
  int percent = music.m_nSearchProgress;
  plat::DWORD files = music.m_nSearchedFiles;
  // The player writes both values and answers E_FAIL all the same.
  player->GetSearchProgress(&percent, &files);
  music.m_nSearchProgress = percent;
  music.m_nSearchedFiles = files;
  if (music.m_bMediaSearchActive && owner_.HiddenWindow()) {
    // The redraw and the end of the search run later, in the hidden window.
    const plat::UINT message = percent < 100 ? WM_SEARCH_PROGRESS : WM_SEARCH_DONE;
    plat::PostMessage(owner_.HiddenWindow()->Handle(), message, 0, 0);
  }
  return 1;
}

int CUISystem::WMPlayerSink::OnPosition(double seconds) {
  CConfig* config = owner_.Config();
  IMusicPageEvents* musicPage = owner_.MusicPageCallback();
  if (!config || !config->m_pMusic || config->m_nActiveModule != MODULE_MUSIC) return 0;
  config->m_pMusic->m_dPlayPosition = seconds;
  return musicPage ? musicPage->DrawCurrentTime(seconds) : 0;
}
