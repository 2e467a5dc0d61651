// The slide show's background music through the media player: the chosen
// source (album, artist, playlist, CD, all music, one file or a folder),
// pause and stop with the show, and the music browser's list.
#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/photo_controller.h"
#include "platform/com/automation.h"
#include "platform/com/module_path.h"

using namespace photo;

namespace {

plat::HRESULT SetLoop(IWMPlayer& player, bool on) {
  const plat::Bstr loop("loop");
  return player.SetMode(loop.get(), on ? plat::VARIANT_TRUE : plat::VARIANT_FALSE);
}

// Puts the folder's music files into the player's file-browsing list;
// false when the folder holds none.
bool LoadMusicFolder(IWMPlayer& player, IPhotoPageEvents* page, const CPhotoConfig& photo) {
  if (!page || photo.m_szBgMusicPath.empty()) return false;
  std::vector<std::string> files;
  page->CollectFiles(photo.m_szBgMusicPath.c_str(), photo.m_strAudioExtensions.c_str(), files, 1);
  if (files.empty()) return false;
  player.CleanFileBrowsingPlaylist();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const plat::Bstr file(files[i]);
    player.AddFileToFileBrowsingPlaylist(static_cast<long>(i), file.get());
  }
  return true;
}

// One attribute of a player item as text; empty when the player has none.
std::string TrackText(IWMPlayer& player, int item, const char* attribute) {
  plat::Bstr value;
  if (plat::FAILED(player.GetTrackInfo(item, plat::Bstr(attribute).get(), value.out()))) return {};
  return value.utf8();
}

// What the player read from the item's tags, into its music record.
void ReadTrackInfo(IWMPlayer& player, int item, PhotoMusicRecord& record) {
  record.strTrackName = TrackText(player, item, "Name");
  record.strAlbum = TrackText(player, item, "Album");
  record.strArtist = TrackText(player, item, "Artist");
  record.strGenre = TrackText(player, item, "Genre");
  record.strSourceUrl = TrackText(player, item, "SourceURL");
  record.strCollectionId = TrackText(player, item, "WM/WMCollectionID");
  record.strDurationText = TrackText(player, item, "Duration");
  double seconds = -1.0;
  record.dDuration = plat::SUCCEEDED(player.GetDuration(item, &seconds)) ? seconds : -1.0;
}

}  // namespace

int CUISystem::StartBackgroundMusic() {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !m_pWMPlayer) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  IWMPlayer& player = *m_pWMPlayer.Get();
  if (photo.m_nMusicState == kMusicPaused) {
    if (plat::FAILED(player.Run())) return 0;
    photo.m_nMusicState = kMusicPlaying;
    return 1;
  }
  if (photo.m_nMusicState == kMusicPlaying) return 1;
  SetLoop(player, true);
  bool loaded = true;
  int count = 0;
  switch (photo.m_nBgMusicType) {
    case 1: loaded = plat::SUCCEEDED(player.LoadAlbum(plat::Bstr(photo.m_wszBgAlbumName).get())); break;
    case 2: loaded = plat::SUCCEEDED(player.LoadArtist(plat::Bstr(photo.m_wszBgArtist).get())); break;
    case 3: loaded = plat::SUCCEEDED(player.LoadPlaylist(plat::Bstr(photo.m_wszBgPlaylistName).get())); break;
    case 4: {
      long items = 0;
      loaded = plat::SUCCEEDED(player.GetCDPlaylistItemCount(plat::Bstr(photo.m_szBgCdDrive).get(), &items));
      break;
    }
    case 5: loaded = plat::SUCCEEDED(player.GetAllAudioFileCount(&count)); break;
    case 6: {
      // One file, played once.
      player.GetAllAudioFileCount(&count);
      SetLoop(player, false);
      if (plat::FAILED(player.LoadFile(plat::Bstr(photo.m_wszBgTrackPath).get()))) return 0;
      photo.m_nMusicState = kMusicPlaying;
      return 1;
    }
    case 7:
      player.GetAllAudioFileCount(&count);
      loaded = LoadMusicFolder(player, m_pPhotoPage, photo);
      break;
    default: break;
  }
  if (!loaded || plat::FAILED(player.RunItem(0))) return 0;
  photo.m_nMusicState = kMusicPlaying;
  return 1;
}

int CUISystem::PauseBackgroundMusic() {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !m_pWMPlayer) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_nMusicState != kMusicPlaying) return 1;
  if (plat::FAILED(m_pWMPlayer->Pause())) return 0;
  photo.m_nMusicState = kMusicPaused;
  return 1;
}

int CUISystem::StopBackgroundMusic() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_nMusicState != kMusicStopped && m_pWMPlayer) m_pWMPlayer->Stop();
  photo.m_nMusicState = kMusicStopped;
  return 1;
}

// The music browser's files as player items, so their titles and lengths can
// be read; a short sound primes the list and is taken out again.
int CUISystem::OnPhotoUpdateBgMusicExploreItem(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !m_pWMPlayer) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  IWMPlayer& player = *m_pWMPlayer.Get();
  player.CleanFileBrowsingPlaylist();
  const std::string highlight = plat::com_detail::ExecutableDirectory() + "/highlight.wav";
  player.AddFileToFileBrowsingPlaylist(0, plat::Bstr(highlight).get());
  const long count = static_cast<long>(photo.m_vecMusic.size());
  for (long i = 0; i < count; ++i) {
    const plat::Bstr file(RecordPath(photo.m_vecMusic[static_cast<std::size_t>(i)]));
    player.AddFileToFileBrowsingPlaylist(i, file.get());
  }
  for (long i = 0; i < count; ++i) {
    ReadTrackInfo(player, static_cast<int>(i), photo.m_vecMusic[static_cast<std::size_t>(i)]);
  }
  player.RemoveFileFromFileBrowsingPlaylist(count);
  if (m_pPhotoPage) m_pPhotoPage->RefreshBrowserList(kSourceMusic, 1);
  return 1;
}

int CUISystem::OnPhotoKillBgMusicFiles(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  m_pConfig->m_pPhoto->m_vecMusic.clear();
  return 1;
}
