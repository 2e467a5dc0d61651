// The Music controller's transport (play, pause, stop, tracks, scanning,
// shuffle and repeat), the visualization view and the music settings.
#include <cstring>
#include <string>

#include "corebridge/core/audio_profile.h"
#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/music_pages.h"
#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/com/automation.h"

using namespace music;

namespace {

bool IsMusicPlaybackRefusedPage(int page) {
  return page == 0 || page == kSettingsPage || page == kVisualizationSettingsPage || page == kSearchPage ||
         page == kDevicePage;
}

}  // namespace

// --- Play and pause ----------------------------------------------------------

int CUISystem::OnMusicPlay(std::intptr_t, std::intptr_t) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const int state = music.m_nMusicState;
  if (state == MUSIC_PLAYING) return 1;
  if (state == MUSIC_PAUSED || state == MUSIC_FAST_FORWARD || state == MUSIC_REWIND) {
    m_pWMPlayer->PutRate(1.0);
    if (plat::FAILED(m_pWMPlayer->Run())) return 0;
    music.m_nMusicState = MUSIC_PLAYING;
    if (m_pUICallback) m_pUICallback->NotifyPlaybackBar(0);
    MusicRedraw(0);
    MusicOsd("PLAY");
    return 1;
  }
  int page = MusicCurrentPage();
  if (IsMusicPlaybackRefusedPage(page)) return 0;
  if (page >= kAlbumsPage && page <= kPlaylistsPage) {
    if (!OnMusicClickList(0, 0)) return 0;
    page = MusicCurrentPage();
  } else if (page == kFolderPage) {
    if (music.m_vecPlayList.empty()) return 0;
    MusicRebuildBrowsingPlaylist(false);
  }
  music.m_bPlayFromCd = page == kCdPage;
  MusicRemoteNotice(kRemoteModePlay, "PLAY MODE");
  if (plat::FAILED(m_pWMPlayer->RunItem(0))) return 0;
  music.m_nMusicState = MUSIC_PLAYING;
  music.m_nCurrentItem = 0;
  MusicOsd("PLAY");
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicPause(std::intptr_t, std::intptr_t) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (plat::FAILED(m_pWMPlayer->Pause())) return 0;
  m_pConfig->m_pMusic->m_nMusicState = MUSIC_PAUSED;
  MusicRemoteNotice(kRemoteModePause, "PAUSE MODE");
  MusicOsd("PAUSE");
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicStop(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicStop");
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  const int page = MusicCurrentPage();
  if (page == kCapturePage) {
    MusicStopRecording();
    MusicRedraw(1);
    MusicRemoteNotice(kRemoteModeStop, "STOP MODE");
    return 1;
  }
  MusicStopPlayback();
  if (page != kDevicePage) MusicRedraw(1);
  MusicRemoteNotice(kRemoteModeStop, "STOP MODE");
  return 1;
}

// The capture page records through the ripper of the recording format (WAV
// and MP3 share the MP3 ripper): it is stopped and let go, which closes the
// file it writes. A ripper that records nothing takes both calls harmlessly.
int CUISystem::MusicStopRecording() {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (m_pConfig->m_pMusic->m_nRecordingFormat == 2) {
    plat::ComPtr<ICdToWma> ripper = CoreService<ICdToWma>();
    if (!ripper) return 0;
    ripper->Stop();
    ripper->Uninitialize();
    return 1;
  }
  plat::ComPtr<ICdToMp3> ripper = CoreService<ICdToMp3>();
  if (!ripper) return 0;
  ripper->Stop();
  ripper->Uninitialize();
  return 1;
}

int CUISystem::OnMusicPlayPause(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicPlayPause");
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (music.m_nMusicState == MUSIC_PLAYING) return OnMusicPause(0, 0);
  int first = 0;
  int second = 1;
  music.MusicQueryPlayPause(first, second);
  if (!second) return 0;
  return OnMusicPlay(0, 0);
}

int CUISystem::OnMusicPausePlay(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  const int state = m_pConfig->m_pMusic->m_nMusicState;
  if (state == MUSIC_PAUSED) return OnMusicPlay(0, 0);
  if (state == MUSIC_STOPPED) return 0;
  return OnMusicPause(0, 0);
}

// --- Tracks and scanning -----------------------------------------------------

int CUISystem::OnMusicPreviousTrack(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicPreviousTrack");
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (m_pConfig->m_pMusic->m_nMusicState == MUSIC_STOPPED) return 0;
  if (plat::FAILED(m_pWMPlayer->PreviousTrack())) return 0;
  MusicRemoteNotice(kRemoteModePrevious, "PRETRACK MODE");
  if (MusicCurrentPage() != kVisualizationPage) MusicOsd("PREVIOUSTRACK");
  return 1;
}

int CUISystem::OnMusicNextTrack(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicNextTrack");
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (m_pConfig->m_pMusic->m_nMusicState == MUSIC_STOPPED) return 0;
  if (plat::FAILED(m_pWMPlayer->NextTrack())) return 0;
  MusicRemoteNotice(kRemoteModeNext, "NEXTTRACK MODE");
  if (MusicCurrentPage() != kVisualizationPage) MusicOsd("NEXTTRACK");
  return 1;
}

int CUISystem::OnMusicFastforward(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicFastforward");
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (music.m_nMusicState == MUSIC_STOPPED || m_pWMPlayer->IsFFAvailable() != plat::S_OK) return 0;
  if (music.m_nMusicState == MUSIC_PAUSED) m_pWMPlayer->Run();
  if (plat::FAILED(m_pWMPlayer->FastForward())) return 0;
  music.m_nMusicState = MUSIC_FAST_FORWARD;
  MusicOsd("FASTFORWARD");
  MusicRemoteNotice(kRemoteModeFastForward, nullptr);
  return 1;
}

int CUISystem::OnMusicRewind(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicRewind");
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (music.m_nMusicState == MUSIC_STOPPED) return 0;
  if (plat::FAILED(m_pWMPlayer->BackwardScan())) return 0;
  music.m_nMusicState = MUSIC_REWIND;
  MusicOsd("REWIND");
  MusicRemoteNotice(kRemoteModeRewind, nullptr);
  return 1;
}

// --- Modes -------------------------------------------------------------------

namespace {
int ToggleMode(CUISystem& system, IWMPlayer* player, int& flag, const char* mode) {
  if (!player) return 0;
  flag = flag ? 0 : 1;
  player->SetMode(plat::Bstr(mode).get(), flag ? plat::VARIANT_TRUE : plat::VARIANT_FALSE);
  (void)system;
  return 1;
}
}  // namespace

int CUISystem::OnMusicShuffle(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (!ToggleMode(*this, m_pWMPlayer.Get(), m_pConfig->m_pMusic->m_bShuffle, "shuffle")) return 0;
  MusicRedraw(0);
  const int vendor = VendorId();
  if (vendor != 1 && vendor != 2 && m_pUICallback) m_pUICallback->NotifyPlaybackBar(1);
  return 1;
}

int CUISystem::OnMusicRepeatAll(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (!ToggleMode(*this, m_pWMPlayer.Get(), m_pConfig->m_pMusic->m_bRepeatAll, "loop")) return 0;
  MusicRedraw(0);
  const int vendor = VendorId();
  if (vendor != 1 && vendor != 2 && m_pUICallback) m_pUICallback->NotifyPlaybackBar(1);
  return 1;
}

// --- Visualizations ----------------------------------------------------------

// Moves to the next (or previous) enabled visualization, cyclically; with
// none enabled it gives up after one turn of the list.
int CUISystem::MusicStepEffect(int direction) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const int count = static_cast<int>(music.m_arrVisualEffects.size());
  if (count == 0) return 0;
  int index = music.m_nVisualizationSel;
  for (int step = 0; step < count; ++step) {
    index = ((index + direction) % count + count) % count;
    const MusicVisualEffect& effect = music.m_arrVisualEffects[static_cast<std::size_t>(index)];
    if (!effect.bSelected) continue;
    music.m_nVisualizationSel = index;
    if (m_pWMPlayer) m_pWMPlayer->SetCurVisualizationIndex(effect.nId);
    return 1;
  }
  return 0;
}

int CUISystem::OnMusicNextEffect(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicNextEffect");
  if (MusicCurrentPage() != kVisualizationPage) return 0;
  return MusicStepEffect(1);
}

int CUISystem::OnMusicPreviousEffect(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicPreviousEffect");
  if (MusicCurrentPage() != kVisualizationPage) return 0;
  return MusicStepEffect(-1);
}

int CUISystem::OnReturnFromVisualization(std::intptr_t a, std::intptr_t b) { return OnMusicNextEffect(a, b); }

int CUISystem::OnMusicVisualization(std::intptr_t, std::intptr_t) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (MusicCurrentPage() == kVisualizationPage) return 1;
  MusicShowPage(kVisualizationPage);
  if (m_pUICallback) m_pUICallback->NotifyPlaybackBar(0);
  plat::HWND window = nullptr;
  plat::RECT rect{};
  if (m_pMusicPage) m_pMusicPage->GetDisplayWindow(&window, &rect);
  m_pWMPlayer->SetParent(window);
  m_pWMPlayer->SetWindowPos(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  // The kept choice when it is enabled, else the next enabled one.
  const int kept = music.m_nVisualizationSel;
  if (kept >= 0 && static_cast<std::size_t>(kept) < music.m_arrVisualEffects.size() &&
      music.m_arrVisualEffects[static_cast<std::size_t>(kept)].bSelected) {
    m_pWMPlayer->SetCurVisualizationIndex(music.m_arrVisualEffects[static_cast<std::size_t>(kept)].nId);
  } else {
    MusicStepEffect(1);
  }
  if (music.m_bWithSongInfo) MusicShowSongInfo();
  if (m_pUICallback) m_pUICallback->HideCursor();
  return 1;
}

int CUISystem::OnMusicSelectVisualizationEnter(std::intptr_t, std::intptr_t) {
  MusicShowPage(kVisualizationSettingsPage);
  return 1;
}

int CUISystem::OnMusicResize(std::intptr_t, std::intptr_t) {
  if (!m_pWMPlayer || MusicCurrentPage() != kVisualizationPage) return 0;
  plat::HWND window = nullptr;
  plat::RECT rect{};
  if (m_pMusicPage) m_pMusicPage->GetDisplayWindow(&window, &rect);
  m_pWMPlayer->SetWindowPos(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  return 1;
}

int CUISystem::OnMusicShowSongInformationLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  m_pConfig->m_pMusic->m_bWithSongInfo ^= 1;
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicVisualizationPlusSelection(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (music.m_nMusicState == MUSIC_STOPPED) return 0;
  int allowed = 0;
  if (MusicCurrentPage() == kVisualizationPage) {
    music.MusicQueryVisualizationPlus(allowed);
    return allowed ? MusicStepEffect(1) : 0;
  }
  music.GetVisualizationSelection(allowed);
  return allowed ? OnMusicVisualization(0, 0) : 0;
}

// --- Settings ----------------------------------------------------------------

int CUISystem::OnMusicSelectDefaultFolder(std::intptr_t, std::intptr_t) {
  MusicShowPage(kFolderSelectPage);
  return 1;
}

int CUISystem::OnMusicSelectDefaultFolderReturn(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  std::string folder;
  if (m_pMusicPage && m_pMusicPage->GetBrowserFolder(&folder, 0) && !folder.empty()) music.m_strDefaultFolder = folder;
  int left = 0;
  if (MusicCurrentPage() == kFolderSelectPage) music.PopMusicPage(left);
  if (m_pStates) m_pStates->nMusicSourceView = MusicCurrentPage();
  if (m_pMusicPage) {
    m_pMusicPage->ShowPage();
    m_pMusicPage->OpenBrowserFolder();
  }
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicDefualtSettingEnter(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  music.m_bWithSongInfo = 1;
  music.m_nRippingFormat = 1;
  music.m_nRecordingFormat = 1;
  music.m_bRipSelectAll = 1;
  for (MusicRecord& track : music.m_vecLibraryTracks) track.bChecked = 1;
  music.m_strDefaultFolder = m_pConfig->m_strMusicFolder;
  MusicRedraw(0);
  return 1;
}

// --- Mixer device and line of the capture page --------------------------------

namespace {
// Moves an index by `step` with wrap; nothing on an empty list.
bool StepIndex(int& index, std::intptr_t step, std::size_t size) {
  if (size == 0) return false;
  const long long n = static_cast<long long>(size);
  index = static_cast<int>((((index + step) % n) + n) % n);
  return true;
}
}  // namespace

// The page sends its steps with no argument: "Left" then steps back and
// "Right" forward (an argument, when given, is the step).
int CUISystem::OnMusicMixerDeviceLeft(std::intptr_t step, std::intptr_t) {
  return MusicStepMixerDevice(step ? step : -1);
}
int CUISystem::OnMusicMixerDeviceRight(std::intptr_t step, std::intptr_t) {
  return MusicStepMixerDevice(step ? step : 1);
}
int CUISystem::OnMusicMixerSourceLeft(std::intptr_t step, std::intptr_t) {
  return MusicStepMixerSource(step ? step : -1);
}
int CUISystem::OnMusicMixerSourceRight(std::intptr_t step, std::intptr_t) {
  return MusicStepMixerSource(step ? step : 1);
}

int CUISystem::MusicStepMixerDevice(std::intptr_t step) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (!StepIndex(music.m_nMixerDeviceIndex, step, music.m_arrMixerDevices.size())) return 0;
  MusicReadMixerSources();
  MusicRedraw(0);
  return 1;
}

int CUISystem::MusicStepMixerSource(std::intptr_t step) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (!StepIndex(music.m_nMixerSourceIndex, step, music.m_arrMixerSources.size())) return 0;
  MusicRedraw(0);
  return 1;
}

// The recording lines of the selected mixer device become the source list;
// its first line is selected (-1 when it has none).
void CUISystem::MusicReadMixerSources() {
  if (!m_pConfig || !m_pConfig->m_pMusic) return;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  music.m_arrMixerSources.clear();
  const int device = music.m_nMixerDeviceIndex;
  if (music.m_pMixerProfiles1 && device >= 0 &&
      static_cast<std::size_t>(device) < music.m_pMixerProfiles1->m_profiles.size()) {
    const CAudioProfile& profile = music.m_pMixerProfiles1->m_profiles[static_cast<std::size_t>(device)];
    for (const AudioProfileWideItem& line : profile.m_wideItems) {
      // A line record starts with its name in 64 bytes.
      const auto* name = reinterpret_cast<const char*>(line.data());
      music.m_arrMixerSources.emplace_back(name, strnlen(name, 64));
    }
  }
  music.m_nMixerSourceIndex = music.m_arrMixerSources.empty() ? -1 : 0;
}
