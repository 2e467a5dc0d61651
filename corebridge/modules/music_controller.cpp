// The Music controller: entering and leaving the Music module, the page
// history, the player it plays through, going back, choosing a source on the
// device page, and the entry points the Radio, Record and Burning modules use.
#include <string>

#include "corebridge/core/audio_profile.h"
#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/music_sources.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/music_pages.h"
#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/com/automation.h"
#include "platform/sys/drive_table.h"

using namespace music;

// --- Small helpers -----------------------------------------------------------

int CUISystem::MusicCurrentPage() const {
  int page = 0;
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  m_pConfig->m_pMusic->PeekMusicPage(page);
  return page;
}

void CUISystem::MusicShowPage(int page) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return;
  m_pConfig->m_pMusic->PushMusicPage(page);
  if (m_pStates) m_pStates->nMusicSourceView = page;
  if (m_pMusicPage) m_pMusicPage->ShowPage();
}

int CUISystem::MusicRedraw(int flag) { return m_pMusicPage ? m_pMusicPage->Redraw(flag) : 0; }

void CUISystem::MusicRemoteNotice(int mode, const char* text) {
  if (VendorId() != 1 || !m_pConfig || !m_pConfig->m_pMusic) return;
  PostHotkeyControllerMode(mode, m_pConfig->m_pMusic->m_bPlayFromCd ? kRemoteCdModule : kRemoteMusicModule, text);
}

void CUISystem::MusicOsd(const char* key) { MusicShowModeText(key, 0); }

// Obtains the player on first use and hands it the player sink; later uses
// only initialise it again. The modes and the visualizations are read once.
int CUISystem::MusicEnsurePlayer() {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (!m_pWMPlayer) {
    auto player = CoreService<IWMPlayer>();
    if (!player) return 0;
    player->SetCallback(WMPlayerEventSink());
    m_pWMPlayer = std::move(player);
  }
  if (plat::FAILED(m_pWMPlayer->Initialize())) return 0;
  if (!music.m_bPlayerPrepared) {
    music.m_arrVisualEffects.clear();
    plat::UINT count = 0;
    if (plat::SUCCEEDED(m_pWMPlayer->GetVisualizationCount(&count))) {
      for (plat::UINT i = 0; i < count; ++i) {
        plat::BSTR name = nullptr;
        plat::BSTR id = nullptr;
        if (plat::FAILED(m_pWMPlayer->GetVisualizationName(static_cast<int>(i), &name, &id))) continue;
        MusicVisualEffect effect;
        effect.bSelected = 1;
        effect.strLongName = plat::BstrToUtf8(name);
        effect.strId = plat::BstrToUtf8(id);
        effect.nId = i;
        plat::SysFreeString(name);
        plat::SysFreeString(id);
        music.m_arrVisualEffects.push_back(std::move(effect));
      }
    }
    m_pWMPlayer->SetMode(plat::Bstr("loop").get(), music.m_bRepeatAll ? plat::VARIANT_TRUE : plat::VARIANT_FALSE);
    m_pWMPlayer->SetMode(plat::Bstr("shuffle").get(), music.m_bShuffle ? plat::VARIANT_TRUE : plat::VARIANT_FALSE);
    music.m_bPlayerPrepared = 1;
  }
  return 1;
}

int CUISystem::MusicStopPlayback() {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (m_pWMPlayer) m_pWMPlayer->Stop();
  music.m_nMusicState = MUSIC_STOPPED;
  return 1;
}

// --- Entry and exit ----------------------------------------------------------

int CUISystem::OnMusicEntry(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicEntry");
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  if (m_pConfig->m_nActiveModule == MODULE_MUSIC) return 1;
  if (m_pConfig->m_nActiveModule != MODULE_NONE) OnHome(0, 0);
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (!MusicEnsurePlayer()) return 0;
  music.m_bPlayFromCd = 0;
  MusicRemoteNotice(kRemoteModeEntry, "MUSIC MODE");
  m_pConfig->m_nActiveModule = MODULE_MUSIC;
  if (m_pMusicPage) m_pMusicPage->EnterModule();

  if (auto mp3 = CoreService<ICdToMp3>()) mp3->SetEventSink(Mp3RipperSink());
  if (auto wma = CoreService<ICdToWma>()) wma->SetEventSink(WmaRipperSink());

  plat::UINT current = 0;
  if (plat::SUCCEEDED(m_pWMPlayer->GetCurVisualizationIndex(&current))) {
    music.m_nVisualizationSel = -1;
    for (std::size_t i = 0; i < music.m_arrVisualEffects.size(); ++i) {
      if (music.m_arrVisualEffects[i].nId == current) music.m_nVisualizationSel = static_cast<int>(i);
    }
  }

  if (!music.m_pMixerProfiles1) music.m_pMixerProfiles1 = std::make_unique<CAudioProfileList>();
  music.m_arrMixerDevices.clear();
  if (EnumMixerDevices(*music.m_pMixerProfiles1)) {
    for (const CAudioProfile& device : music.m_pMixerProfiles1->m_profiles) music.m_arrMixerDevices.push_back(device.m_strName);
  }
  music.m_nMixerDeviceIndex = music.m_arrMixerDevices.empty() ? -1 : 0;
  MusicReadMixerSources();

  music.m_arrPageHistory.clear();
  music.PushMusicPage(kDevicePage);
  if (m_pStates) m_pStates->nMusicSourceView = kDevicePage;
  if (music.m_bAudioCdArrived) {
    music.m_strCurrentDrive = std::string(1, static_cast<char>('A' + music.m_nCurrentDrive)) + ":";
    if (MusicLoadAudioCd(music.m_strCurrentDrive)) OnMusicPlay(0, 0);
    music.m_bAudioCdArrived = 0;
  } else if (m_pConfig->m_bStartFromCd && m_pConfig->m_nStartDriveIndex >= 0 && m_pConfig->m_nStartDriveIndex < 26) {
    // Started to play the audio CD of a drive ("CD E" on the command line).
    const std::string drive = std::string(1, static_cast<char>('A' + m_pConfig->m_nStartDriveIndex)) + ":";
    if (MusicLoadAudioCd(drive)) {
      music.m_strBrowseFolder = drive;
      OnMusicPlay(0, 0);
    }
  }
  if (m_pMusicPage) {
    m_pMusicPage->ShowPage();
    m_pMusicPage->RefreshListPanel();
  }
  m_coreAudioSink.OnMixerChange();
  if (m_pUICallback) m_pUICallback->NotifyCaptionBar(1);
  if (m_pConfig->m_nLoungeState == 4 && !m_musicWorker) MusicWorkerStart();
  return 1;
}

int CUISystem::MusicStopModule(std::intptr_t, std::intptr_t) {
  RunStep("MusicStopModule");
  if (!m_pConfig) return 0;
  if (CMusicConfig* music = m_pConfig->m_pMusic.get()) {
    if (m_pConfig->m_nLoungeState == 4) MusicWorkerJoin();
    if (music->m_bMediaSearchActive) {
      if (m_pWMPlayer) m_pWMPlayer->StopSearch();
      music->m_bMediaSearchActive = 0;
    }
    if (music->m_nMusicState != MUSIC_STOPPED) {
      MusicStopPlayback();
      if (m_pUICallback) m_pUICallback->HideOsd();
    }
    if (music->m_bRipping) CleanupIncompleteRip();
    music->m_nRipIndex = -1;
  }
  m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

// --- Going back --------------------------------------------------------------

int CUISystem::OnMusicBack(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicBack");
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  music.m_nCurrentItem = -1;
  // Leaving the capture page ends its recording.
  if (MusicCurrentPage() == kCapturePage) MusicStopRecording();
  if (music.m_bMediaSearchActive) return OnMusicStopMediaSearch(0, 0);
  if (music.m_bRipping) CleanupIncompleteRip();
  music.m_nRipIndex = -1;

  int left = 0;
  music.PopMusicPage(left);
  const int vendor = VendorId();
  if (left == kVisualizationPage) {
    if (m_pWMPlayer) {
      plat::HWND owner = nullptr;
      plat::RECT rect{};
      if (m_pMusicPage) m_pMusicPage->GetDisplayWindow(&owner, &rect);
      m_pWMPlayer->SetParent(owner);
      m_pWMPlayer->SetWindowPos(0, 0, 0, 0);
    }
    if (m_pUICallback) {
      m_pUICallback->HideOsd();
      m_pUICallback->NotifyPlaybackBar(0);
    }
  } else if (left == kRipPageA && vendor == 4) {
    music.m_bRipSelectAll = 1;  // "Music Select All" turns it to 0 and applies it
    OnMusicSelectAll(0, 0);
  }

  const bool copyMode = music.m_bCopyToDriveMode || music.m_bCopyToFolderMode;
  int page = 0;
  const bool pageRemains = music.PeekMusicPage(page);
  if (m_pStates) m_pStates->nMusicSourceView = page;
  if (pageRemains) {
    if (!copyMode) {
      if (left == kVisualizationSettingsPage) MusicStepEffect(1);
      if (page == kDevicePage && left == kFolderPage) music.m_strCurrentDrive.clear();
      else if (page == kFolderPage) OnMusicFilebrowsingComplete(0, 0);
      else if (page == kAlbumsPage) MusicBuildAlbumList();
      else if (page == kArtistsPage) MusicBuildNamedList("Artist", music.m_vecArtists);
      else if (page == kGenresPage) MusicBuildNamedList("Genre", music.m_vecGenres);
      else if (page == kPlaylistsPage) MusicBuildPlaylistList();
      else if (page >= kAlbumTracksPage && page <= kPlaylistTracksPage) MusicLoadRemembered(page, music.m_nRememberedItem);
      else if (page == kCdPage && !MusicLoadAudioCd(music.m_strCurrentDrive)) return OnMusicBack(0, 0);
      if (music.m_nMusicState != MUSIC_STOPPED && vendor != 2 && vendor != 3 && left != kVisualizationPage) {
        MusicStopPlayback();
      }
    }
    if (m_pMusicPage) {
      m_pMusicPage->ShowPage();
      m_pMusicPage->RefreshListPanel();
    }
    MusicRedraw(0);
    return 1;
  }

  if (music.m_bFromOtherModule) {
    // The module that opened Music gets control back through its action.
    music.m_bFromOtherModule = 0;
    const std::string action = music.m_strBackAction;
    if (!action.empty()) ExecuteAction(action.c_str(), 0, 0);
    return 1;
  }
  if (vendor != 2 && music.m_nMusicState != MUSIC_STOPPED) MusicStopPlayback();
  OnHome(0, 0);
  return 1;
}

// --- Source selection on the device page -------------------------------------

// Row n of the device page: the source list the page draws its rows from.
int CUISystem::MusicSelectSource(int item) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  auto browse = [&](const std::string& folder) {
    music.m_strBrowseFolder = folder;
    music.m_strCurrentDrive = folder;
    music.m_arrPageHistory.clear();
    music.PushMusicPage(kDevicePage);
    music.PushMusicPage(kFolderPage);
    if (m_pStates) m_pStates->nMusicSourceView = kFolderPage;
    if (m_pMusicPage) m_pMusicPage->OpenBrowserFolder();
    return OnReturnFromSettings(0, 0);
  };
  const int flags = AppFlags();
  const std::vector<MusicSource> sources = MusicSources(*m_pConfig, flags);
  if (item <= 0) return browse(music.m_strDefaultFolder);
  if (item >= static_cast<int>(sources.size())) return flags & 0x20 ? 0 : 1;
  const MusicSource& source = sources[static_cast<std::size_t>(item)];
  switch (source.kind) {
    case MusicSource::MediaLibrary: return OnMusicMediaLibrary(0, 0);
    case MusicSource::AudioCd: {
      const std::string& root = source.path;
      const std::string drive = root.size() >= 2 && root[1] == ':' ? root.substr(0, 2) : root;
      music.m_strBrowseFolder = drive;
      music.m_strCurrentDrive = drive;
      return MusicLoadAudioCd(drive);
    }
    case MusicSource::Folder: {
      // A fixed folder that is an optical drive holding an audio CD has no
      // folders: its tracks open.
      const std::optional<plat::VolumeInfo> volume = plat::FindVolume(source.path);
      if (volume && volume->type == plat::DRIVE_CDROM) {
        const std::string drive{volume->letter, ':'};
        if (MusicLoadAudioCd(drive)) {
          music.m_strBrowseFolder = drive;
          return 1;
        }
      }
      return browse(source.path);
    }
    default: return browse(source.path);
  }
}

// --- Entry points of the other modules ---------------------------------------

int CUISystem::MusicOpenFromOtherModule(const std::string& folder, const std::string& backAction) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  music.m_strBackAction = backAction;
  music.m_bFromOtherModule = 1;
  music.m_bCopyToDriveMode = 0;
  music.m_bCopyToFolderMode = 0;
  music.m_arrPageHistory.clear();
  if (m_pMusicPage) m_pMusicPage->EnterModule();
  if (!MusicEnsurePlayer()) return 0;
  m_pConfig->m_nActiveModule = MODULE_MUSIC;
  music.m_strBrowseFolder = folder;
  music.m_strCurrentDrive = folder;
  music.PushMusicPage(kFolderPage);
  if (m_pStates) m_pStates->nMusicSourceView = kFolderPage;
  if (m_pMusicPage) {
    m_pMusicPage->OpenBrowserFolder();
    m_pMusicPage->RefreshListPanel();
  }
  return 1;
}

// Music opened by the record hub on a drive root to pick files to copy;
// "Music Copy" hands them back through `backAction`.
int CUISystem::MusicEnterCopyToDrive(const std::string& path, const std::string& backAction) {
  RunStep(("MusicEnterCopyToDrive " + path + " " + backAction).c_str());
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  std::string folder = path;
  if (const auto volume = plat::FindVolume(path); volume && !volume->root.empty()) folder = volume->root;
  if (!MusicOpenFromOtherModule(folder, backAction)) return 0;
  m_pConfig->m_pMusic->m_bCopyToDriveMode = 1;
  return 1;
}

// Music opened by burning to pick files: the device page, and "Music Copy"
// hands the choice back through `backAction`.
int CUISystem::MusicEnterCopyToFolder(const std::string& backAction) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  m_pConfig->m_nActiveModule = MODULE_NONE;
  if (!OnMusicEntry(0, 0)) return 0;
  music.m_strBackAction = backAction;
  music.m_bFromOtherModule = 1;
  music.m_bCopyToDriveMode = 0;
  music.m_bCopyToFolderMode = 1;
  return 1;
}
