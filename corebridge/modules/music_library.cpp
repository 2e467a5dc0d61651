// The Music controller's library and folder browsing: the album, artist,
// genre and playlist lists, the track list shown, clicks on the lists, the
// media search, sorting and the folder's browsing playlist.
#include <algorithm>
#include <filesystem>
#include <string>
#include <strings.h>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/music_album_art.h"
#include "corebridge/modules/music_pages.h"
#include "corebridge/modules/music_search_roots.h"
#include "interfaces/chosen_files.h"
#include "platform/com/automation.h"
#include "platform/sys/drive_table.h"

using namespace music;

namespace {

// The n-th item of a player collection as UTF-8; empty when it has none.
std::string CollectionItem(IWMPlayer& player, plat::IUnknown* collection, long index) {
  plat::Bstr value;
  if (plat::FAILED(player.GetMusicCollectionItem(collection, index, value.out()))) return {};
  return value.utf8();
}

// Reads a whole collection ("Album", "Artist", ...); false when the player
// has none.
bool ReadCollection(IWMPlayer& player, const char* attribute, std::vector<std::string>& items) {
  plat::ComPtr<plat::IUnknown> collection;
  plat::UINT count = 0;
  if (plat::FAILED(player.GetMusicCollection(plat::Bstr(attribute).get(), collection.ReleaseAndGetAddressOf(), &count))) {
    return false;
  }
  items.clear();
  for (plat::UINT i = 0; i < count; ++i) items.push_back(CollectionItem(player, collection.Get(), static_cast<long>(i)));
  return true;
}

}  // namespace

// --- The library lists -------------------------------------------------------

int CUISystem::MusicBuildAlbumList() {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  std::vector<std::string> albums;
  std::vector<std::string> ids;
  if (!ReadCollection(*m_pWMPlayer.Get(), "Album", albums) || !ReadCollection(*m_pWMPlayer.Get(), "AlbumID", ids)) {
    return 0;
  }
  music.m_vecAlbums.clear();
  for (std::size_t i = 0; i < albums.size(); ++i) {
    const std::string& name = albums[i];
    const std::string id = i < ids.size() ? ids[i] : name;
    MusicRecord record;
    // An identifier longer than the name tells apart albums of one name.
    record.strTexts[0] = id.size() > name.size() ? name + " (" + id.substr(name.size()) + ")" : name;
    record.strTexts[1] = id;
    record.strTexts[2] = name;
    record.bChecked = 1;
    music.m_vecAlbums.push_back(std::move(record));
  }
  return 1;
}

int CUISystem::MusicBuildNamedList(const char* attribute, std::vector<MusicRecord>& list) {
  if (!m_pWMPlayer) return 0;
  std::vector<std::string> names;
  if (!ReadCollection(*m_pWMPlayer.Get(), attribute, names)) return 0;
  list.clear();
  for (const std::string& name : names) {
    MusicRecord record;
    record.strTexts[0] = name;
    record.strTexts[1] = name;
    record.bChecked = 1;
    list.push_back(std::move(record));
  }
  return 1;
}

int CUISystem::MusicBuildPlaylistList() {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  m_pWMPlayer->UpdatePlaylistArray();
  int count = 0;
  if (plat::FAILED(m_pWMPlayer->GetPlaylistCount(&count))) return 0;
  music.m_vecPlaylists.clear();
  for (int i = 0; i < count; ++i) {
    plat::Bstr name;
    if (plat::FAILED(m_pWMPlayer->GetPlaylistName(i, name.out()))) continue;
    if (name.utf8().empty()) continue;
    MusicRecord record;
    record.strTexts[0] = name.utf8();
    record.strTexts[1] = std::to_string(i);
    record.bChecked = 1;
    music.m_vecPlaylists.push_back(std::move(record));
  }
  return 1;
}

// The player's current list as track records; on the genre page only audio.
int CUISystem::MusicReadTrackList(int from) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  int count = 0;
  if (plat::FAILED(m_pWMPlayer->GetCurListItemCount(&count))) return 0;
  const bool audioOnly = MusicCurrentPage() == kGenreTracksPage;
  if (from <= 0) music.m_vecLibraryTracks.clear();
  else if (static_cast<std::size_t>(from) < music.m_vecLibraryTracks.size()) music.m_vecLibraryTracks.resize(static_cast<std::size_t>(from));
  for (int i = std::max(from, 0); i < count; ++i) {
    if (audioOnly) {
      plat::Bstr type;
      m_pWMPlayer->GetCurListItemInfo(i, plat::Bstr("MediaType").get(), type.out());
      if (type.utf8() != "audio") continue;
    }
    MusicRecord record;
    for (int a = 0; a < 7; ++a) {
      plat::Bstr value;
      m_pWMPlayer->GetTrackInfo(i, plat::Bstr(kTrackAttributes[a]).get(), value.out());
      record.strTexts[a] = value.utf8();
    }
    record.bChecked = 1;
    music.m_vecLibraryTracks.push_back(std::move(record));
  }
  return 1;
}

// Loads the album, artist, genre or playlist at `item` of the list the track
// page belongs to, sorted as chosen, and reads its tracks.
int CUISystem::MusicLoadRemembered(int page, int item) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const std::vector<MusicRecord>* list = nullptr;
  switch (page) {
    case kAlbumTracksPage: list = &music.m_vecAlbums; break;
    case kArtistTracksPage: list = &music.m_vecArtists; break;
    case kGenreTracksPage: list = &music.m_vecGenres; break;
    case kPlaylistTracksPage: list = &music.m_vecPlaylists; break;
    default: return 0;
  }
  if (item < 0 || static_cast<std::size_t>(item) >= list->size()) return 0;
  const MusicRecord& record = (*list)[static_cast<std::size_t>(item)];
  plat::HRESULT hr = plat::S_OK;
  switch (page) {
    case kAlbumTracksPage: hr = m_pWMPlayer->LoadAlbum(plat::Bstr(record.strTexts[1]).get()); break;
    case kArtistTracksPage: hr = m_pWMPlayer->LoadArtist(plat::Bstr(record.strTexts[1]).get()); break;
    case kGenreTracksPage: hr = m_pWMPlayer->LoadGenre(plat::Bstr(record.strTexts[1]).get()); break;
    default:
      if (music.m_nLoadedPlaylist != item) {
        hr = m_pWMPlayer->LoadPlaylist(plat::Bstr(record.strTexts[0]).get());
        if (plat::SUCCEEDED(hr)) music.m_nLoadedPlaylist = item;
      }
      break;
  }
  if (plat::FAILED(hr)) return 0;
  // An album comes from the library in track order, which is how it is
  // played and read; the other collections sort as chosen.
  if (music.m_nSortMode == 2) m_pWMPlayer->SortByDate();
  else if (page != kAlbumTracksPage) m_pWMPlayer->SortByName();
  return MusicReadTrackList(0);
}

int CUISystem::OnMusicAlbum(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic || !MusicBuildAlbumList()) return 0;
  MusicShowPage(kAlbumsPage);
  return 1;
}

int CUISystem::OnMusicArtist(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic || !MusicBuildNamedList("Artist", m_pConfig->m_pMusic->m_vecArtists)) return 0;
  MusicShowPage(kArtistsPage);
  return 1;
}

int CUISystem::OnMusicGenre(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic || !MusicBuildNamedList("Genre", m_pConfig->m_pMusic->m_vecGenres)) return 0;
  MusicShowPage(kGenresPage);
  return 1;
}

int CUISystem::OnMusicPlaylist(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic || !MusicBuildPlaylistList()) return 0;
  MusicShowPage(kPlaylistsPage);
  return 1;
}

int CUISystem::OnMusicMediaLibrary(std::intptr_t, std::intptr_t) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  int count = 0;
  m_pWMPlayer->GetAllAudioFileCount(&count);
  if (count < 1) {
    m_pConfig->m_pMusic->m_bLibraryEmpty = 1;
    return OnMusicStartMediaSearch(0, 0);
  }
  m_pConfig->m_pMusic->m_bLibraryEmpty = 0;
  return OnMusicAlbum(0, 0);
}

// --- Clicks on the lists -----------------------------------------------------

int CUISystem::OnMusicClickList(std::intptr_t itemArg, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const int item = static_cast<int>(itemArg);
  const int page = MusicCurrentPage();
  if (page == kDevicePage) return MusicSelectSource(item);
  if (!m_pWMPlayer) return 0;
  if (page == kFileEditPage || page == kFolderPage) {
    if (item < 0 || static_cast<std::size_t>(item) >= music.m_vecPlayList.size()) return 0;
    MusicRebuildBrowsingPlaylist(false);
  } else if (page == kSongsPage || (page >= kAlbumTracksPage && page <= kCdPage)) {
    if (item < 0 || static_cast<std::size_t>(item) >= music.m_vecLibraryTracks.size()) return 0;
  } else if (page >= kAlbumsPage && page <= kPlaylistsPage) {
    const int tracksPage = page - kAlbumsPage + kAlbumTracksPage;
    music.m_nRememberedItem = item;
    music.PushMusicPage(tracksPage);
    if (!MusicLoadRemembered(tracksPage, item)) {
      int dropped = 0;
      music.PopMusicPage(dropped);
      return 0;
    }
    if (m_pStates) m_pStates->nMusicSourceView = tracksPage;
    if (m_pMusicPage) m_pMusicPage->ShowPage();
    MusicRedraw(0);
    return 1;
  } else {
    return 0;
  }
  // Plays item n of the list shown.
  music.m_bPlayFromCd = page == kCdPage;
  if (plat::FAILED(m_pWMPlayer->RunItem(item))) return 0;
  music.m_nMusicState = MUSIC_PLAYING;
  music.m_nCurrentItem = item;
  MusicOsd("PLAY");
  MusicRemoteNotice(kRemoteModePlay, "PLAY MODE");
  if (m_pMusicPage) m_pMusicPage->ShowPage();
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicMenu(std::intptr_t, std::intptr_t) {
  switch (MusicCurrentPage()) {
    case kTrackPage: MusicShowPage(kFolderPage); return 1;
    case kCdRecordPage: MusicShowPage(kCdPage); return 1;
    case kFolderPage: MusicShowPage(kFileEditPage); return 1;
    case kRipPageA: MusicShowPage(kRipPageB); return 1;
    default: return 0;
  }
}

int CUISystem::OnMusicSettings(std::intptr_t, std::intptr_t) {
  MusicShowPage(kSettingsPage);
  MusicRedraw(0);
  return 1;
}

// --- Folder browsing ---------------------------------------------------------

// Puts every file of the folder into the player's browsing playlist.
int CUISystem::MusicRebuildBrowsingPlaylist(bool addWavToLibrary) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  m_pWMPlayer->CleanFileBrowsingPlaylist();
  long index = 0;
  for (const MusicItem& entry : music.m_vecPlayList) {
    const plat::Bstr file(entry.strPath);
    m_pWMPlayer->AddFileToFileBrowsingPlaylist(index++, file.get());
    if (addWavToLibrary && entry.strPath.size() > 4) {
      std::string extension = entry.strPath.substr(entry.strPath.size() - 4);
      std::transform(extension.begin(), extension.end(), extension.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (extension == ".wav") m_pWMPlayer->AddFileToMediaLibrary(file.get());
    }
  }
  return 1;
}

int CUISystem::OnMusicFilebrowsingComplete(std::intptr_t, std::intptr_t) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (!music.m_vecPlayList.empty()) {
    int before = 0;
    m_pWMPlayer->GetCurFileListItemCount(&before);
    MusicRebuildBrowsingPlaylist(true);
    MusicReadTrackList(0);
  }
  if (m_pMusicPage) m_pMusicPage->ShowPage();
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnReturnFromSettings(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (MusicCurrentPage() != kFolderPage) music.PushMusicPage(kFolderPage);
  if (m_pStates) m_pStates->nMusicSourceView = kFolderPage;
  if (m_pConfig->m_nLoungeState != 3 && m_pWMPlayer) m_pWMPlayer->CleanFileBrowsingPlaylist();
  MusicRebuildBrowsingPlaylist(false);
  if (m_pMusicPage) m_pMusicPage->ShowPage();
  MusicRedraw(0);
  return 1;
}

// --- Sorting -----------------------------------------------------------------

int CUISystem::MusicSort(int mode) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  music.m_nSortMode = mode;
  const int page = MusicCurrentPage();
  if (page == kFolderPage) {
    // Whole records move, so a name never ends up with another file's time.
    auto byName = [](const MusicItem& a, const MusicItem& b) {
      return strcasecmp(a.strName.c_str(), b.strName.c_str()) < 0;
    };
    auto byDate = [](const MusicItem& a, const MusicItem& b) { return a.ftLastWrite < b.ftLastWrite; };
    for (auto* list : {&music.m_vecPlayList, &music.m_vecCurrentList}) {
      if (mode == 2) std::stable_sort(list->begin(), list->end(), byDate);
      else std::stable_sort(list->begin(), list->end(), byName);
    }
    if (m_pMusicPage) m_pMusicPage->SortBrowser();
    MusicRebuildBrowsingPlaylist(false);
    MusicRedraw(1);
    return 1;
  }
  if (page >= kAlbumTracksPage && page <= kPlaylistTracksPage && !music.m_vecLibraryTracks.empty() && m_pWMPlayer) {
    if (mode == 2) m_pWMPlayer->SortByDate();
    else m_pWMPlayer->SortByName();
    MusicReadTrackList(0);
    MusicRedraw(1);
  }
  return 1;
}

int CUISystem::OnMusicSortByName(std::intptr_t, std::intptr_t) { return MusicSort(1); }
int CUISystem::OnMusicSortByDate(std::intptr_t, std::intptr_t) { return MusicSort(2); }

// --- Browse modes ------------------------------------------------------------

int CUISystem::OnMusicBrowseByPath(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  m_pConfig->m_pMusic->m_nBrowseMode = 0;
  m_pConfig->m_pMusic->m_strBrowseFolder = m_pConfig->m_pMusic->m_strDefaultFolder;
  if (m_pMusicPage) m_pMusicPage->ShowPage();
  return 1;
}

int CUISystem::OnMusicBrowseByAlbum(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  m_pConfig->m_pMusic->m_nBrowseMode = 1;
  MusicBuildAlbumList();
  if (m_pMusicPage) m_pMusicPage->ShowPage();
  return 1;
}

int CUISystem::OnMusicBrowseByArtist(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  m_pConfig->m_pMusic->m_nBrowseMode = 2;
  MusicBuildNamedList("Artist", m_pConfig->m_pMusic->m_vecArtists);
  if (m_pMusicPage) m_pMusicPage->ShowPage();
  return 1;
}

int CUISystem::OnMusicBrowseBySong(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  m_pConfig->m_pMusic->m_nBrowseMode = 3;
  if (m_pMusicPage) m_pMusicPage->ShowPage();
  return 1;
}

// --- Media search ------------------------------------------------------------

int CUISystem::OnMusicStartMediaSearch(std::intptr_t, std::intptr_t) {
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const std::string roots = MediaSearchRoots(plat::GetVolumes(), m_pConfig->m_strMusicFolder);
  music.m_nSearchProgress = 0;
  music.m_nSearchedFiles = 0;
  music.m_bMediaSearchActive = 1;
  MusicShowPage(kSearchPage);
  if (plat::FAILED(m_pWMPlayer->StartSearch(roots.c_str()))) return 0;
  return 1;
}

int CUISystem::OnMusicStopMediaSearch(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicStopMediaSearch");
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (m_pWMPlayer) m_pWMPlayer->StopSearch();
  music.m_bMediaSearchActive = 0;
  if (MusicCurrentPage() == kSearchPage) OnMusicBack(0, 0);
  if (music.m_bLibraryEmpty) {
    music.m_bLibraryEmpty = 0;
    return OnMusicAlbum(0, 0);
  }
  return 1;
}

int CUISystem::OnMusicCloseSearch(std::intptr_t a, std::intptr_t b) { return OnMusicStopMediaSearch(a, b); }
int CUISystem::OnMusicRefreshMediaLibrary(std::intptr_t, std::intptr_t) { return OnMusicStartMediaSearch(0, 0); }

// --- Album art ---------------------------------------------------------------

int CUISystem::OnMusicAlbumArtPath(std::intptr_t entry, std::intptr_t) {
  RunStep(("OnMusicAlbumArtPath " + std::to_string(entry)).c_str());
  if (!m_pWMPlayer || !m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const int page = MusicCurrentPage();
  std::string album;
  const auto index = static_cast<std::size_t>(entry);
  if (entry < 0) return 0;
  if (page == kAlbumsPage) {
    if (index >= music.m_vecAlbums.size()) return 0;
    album = music.m_vecAlbums[index].strTexts[1];
  } else if (page == kFolderPage || page == kCdPage) {
    if (index >= music.m_vecLibraryTracks.size()) return 0;
    album = music.m_vecLibraryTracks[index].strTexts[kTrackAlbum];
    std::vector<std::string> albums;
    std::vector<std::string> ids;
    if (ReadCollection(*m_pWMPlayer.Get(), "Album", albums) && ReadCollection(*m_pWMPlayer.Get(), "AlbumID", ids)) {
      for (std::size_t i = 0; i < albums.size() && i < ids.size(); ++i) {
        if (albums[i] == album) {
          album = ids[i];
          break;
        }
      }
    }
  } else {
    return 0;
  }
  // The last album's picture never stands for an album without one.
  music.m_strAlbumArtPath.clear();
  plat::Bstr path;
  if (plat::SUCCEEDED(m_pWMPlayer->GetAlbumArtPath(plat::Bstr(album).get(), path.out()))) {
    music.m_strAlbumArtPath = FindAlbumArtFile(path.utf8());
    return 1;
  }
  // A browsed file the library does not know still shows its folder's picture.
  if (page == kFolderPage && index < music.m_vecPlayList.size()) {
    music.m_strAlbumArtPath =
        FindFolderPicture(std::filesystem::path(music.m_vecPlayList[index].strPath).parent_path().string());
  }
  return 0;
}

// --- Selection and deletion --------------------------------------------------

int CUISystem::OnMusicSelectAll(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  music.m_bRipSelectAll = music.m_bRipSelectAll ? 0 : 1;
  for (MusicRecord& track : music.m_vecLibraryTracks) track.bChecked = music.m_bRipSelectAll;
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicTagFiles(std::intptr_t itemArg, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  const int page = MusicCurrentPage();
  if (itemArg < 0) return 0;
  const auto item = static_cast<std::size_t>(itemArg);
  if (page == kFolderPage) {
    if (item >= music.m_vecPlayList.size()) return 0;
    music.m_vecPlayList[item].bChecked ^= 1;
  } else if (page == kCdPage && VendorId() == 4) {
    if (item >= music.m_vecLibraryTracks.size()) return 0;
    music.m_vecLibraryTracks[item].bChecked ^= 1;
  } else {
    return 0;
  }
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicTagFolders(std::intptr_t itemArg, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (MusicCurrentPage() != kFolderPage) return OnMusicTagFiles(itemArg, 0);
  if (itemArg < 0 || static_cast<std::size_t>(itemArg) >= music.m_vecCurrentList.size()) return 0;
  music.m_vecCurrentList[static_cast<std::size_t>(itemArg)].bChecked ^= 1;
  MusicRedraw(0);
  return 1;
}

int CUISystem::OnMusicDeleteFiles(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (!music.m_arrDeletedFiles.empty()) {
    if (m_pWMPlayer) m_pWMPlayer->CleanFileBrowsingPlaylist();
    music.m_bFilesDeleted = 1;
  }
  return OnMusicBack(0, 0);
}


// --- Copy ----------------------------------------------------------------------

// Hands the chosen files to the module that opened Music for copying: the
// record hub or burning, through the back action it left (1, the files).
int CUISystem::OnMusicCopy(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pMusic) return 0;
  CMusicConfig& music = *m_pConfig->m_pMusic;
  if (music.m_strBackAction.empty()) return 0;
  ChosenFiles chosen;
  chosen.filter = "|.mp3|.wma|.wav|";
  const int page = MusicCurrentPage();
  if (page == kFolderPage || page == kFileEditPage) {
    for (const MusicItem& entry : music.m_vecPlayList) {
      if (entry.bChecked) chosen.files.push_back(entry.strPath);
    }
    chosen.name = music.m_strBrowseFolder;
  } else {
    for (const MusicRecord& track : music.m_vecLibraryTracks) {
      if (track.bChecked && !track.strTexts[kTrackUrl].empty()) chosen.files.push_back(track.strTexts[kTrackUrl]);
    }
    if (!music.m_vecLibraryTracks.empty()) chosen.name = music.m_vecLibraryTracks.front().strTexts[kTrackAlbum];
  }
  if (chosen.files.empty()) {
    // Nothing to copy or burn: say what is missing and stay.
    SetNamedItemState("MUSIC_NOTHING_MARKED", 1);
    return 0;
  }
  const std::string action = music.m_strBackAction;
  music.m_bCopyToDriveMode = 0;
  music.m_bCopyToFolderMode = 0;
  music.m_bFromOtherModule = 0;
  ExecuteAction(action.c_str(), 1, reinterpret_cast<std::intptr_t>(&chosen));
  return 1;
}
