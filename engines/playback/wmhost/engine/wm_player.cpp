#include "engines/playback/wmhost/engine/wm_player.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "engines/playback/wmhost/engine/host_window.h"
#include "engines/playback/wmhost/engine/string_collection.h"
#include "engines/playback/wmhost/engine/window_engine_thread.h"

using plat::BSTR;
using plat::E_FAIL;
using plat::E_NOTIMPL;
using plat::E_POINTER;
using plat::FAILED;
using plat::HRESULT;
using plat::S_OK;

namespace {

namespace fs = std::filesystem;

// Method names in slot order from slot 7; the dispatch id of slot s is s - 6
// up to slot 39, 34 for both skin-pointer slots, and s - 7 from slot 42 on.
constexpr const char* kMethodNames[] = {
    "Initialize", "Uninitialize", "GetPlaylistCount", "GetPlaylistName", "GetPlaylistItemCount",
    "GetPlaylistItemName", "GetPlaylistItemAttributesCount", "GetPlaylistItemAttribute", "GetCDPlaylistName",
    "GetCDPlaylistItemCount", "GetCDPlaylistItemName", "GetCDPlaylistItemAttributesCount",
    "GetCDPlaylistItemAttribute", "SetParent", "SetWindowPos", "LoadFile", "Run", "Pause", "Stop", "LoadPlaylist",
    "GetTrackInfo", "GetAllAudioFileCount", "RunItem", "LoadAlbum", "GetTrackPlaylistName", "LoadArtist", "GetMode",
    "SetMode", "PreviousTrack", "NextTrack", "SetCallback", "GetCurListItemCount", "GetCurListItemInfo",
    "SkinFunctionPointers", "Debug", "GetVisualizationCount", "GetVisualizationName", "GetCurVisualizationIndex",
    "SetCurVisualizationIndex", "NextVisualization", "PreviousVisualization", "GetCurListItemURL",
    "SetCurItemPlayingPos", "GetDuration", "GetMusicSourceCount", "GetMusicSource", "GetMusicCollection",
    "GetMusicCollectionItem", "UpdatePlaylistArray", "FastForward", "BackwardScan", "IsFFAvailable", "IsFRAvailable",
    "StartSearch", "StopSearch", "GetSearchProgress", "GetAlbumArtPath", "GetPlaylistCurItemIndex",
    "GetCurrentMediaItemDuration", "CleanFileBrowsingPlaylist", "AddFileToFileBrowsingPlaylist",
    "LoadPlaylistFromFileBrowsing", "LoadGenre", "SortByName", "SortByDate", "CleanFileBrowsingPrevPlaylist", "Rewind",
    "ForwardScan", "GetCurPlayingTrackInfo", "AddFileToMediaLibrary", "AddFolderToMediaLibrary",
    "RemoveFileFromFileBrowsingPlaylist", "GetCurrentPos", "AppendFileToFileBrowsingPlaylist", "PutRate",
    "GetCurFileListItemInfo", "GetCurFileListItemURL", "GetCurFileListItemCount", "PlaylistCompare",
    "Put_CurrentPosition"};
static_assert(std::size(kMethodNames) == 80, "one name per dispatch id 1..80");

HRESULT PutString(BSTR* out, const std::string& text) {
  if (!out) return E_POINTER;
  *out = plat::SysAllocStringUtf8(text);
  return *out ? S_OK : plat::E_OUTOFMEMORY;
}

// Attribute value as the track-information calls give it: "Duration" is
// the duration text, anything else the item's information of that name.
std::string TrackInfo(const wmhost::MediaItem& item, const std::string& attribute) {
  if (wmhost::EqualsNoCase(attribute, wmhost::kAttrDuration)) return item.durationString();
  return item.getItemInfo(attribute);
}

wmhost::MediaItemPtr ItemAt(const wmhost::PlaylistPtr& list, long index) {
  if (!list || index < 0) return nullptr;
  return list->item(static_cast<std::size_t>(index));
}

std::string ExecutableFolder() {
  std::error_code failure;
  const fs::path exe = fs::read_symlink("/proc/self/exe", failure);
  return failure ? std::string(".") : exe.parent_path().string();
}

}  // namespace

CWMPlayer::CWMPlayer(WMPlayerSetup setup) : setup_(std::move(setup)) {
  // The engine's work runs in the creating thread's message loop; without a
  // window there, it runs at the start of each call.
  if (!setup_.thread) setup_.thread = WindowEngineThread::Create();
  if (!setup_.thread) {
    ownThread_ = std::make_shared<wmhost::QueuedEngineThread>(setup_.clock);
    setup_.thread = ownThread_;
  }
}

CWMPlayer::~CWMPlayer() {
  if (host_) host_->Destroy();
  host_.reset();
}

void CWMPlayer::RunPendingWork() {
  if (ownThread_) ownThread_->RunPending();
}

// ---- IDispatch

HRESULT CWMPlayer::GetTypeInfoCount(plat::UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT CWMPlayer::GetTypeInfo(plat::UINT, plat::LCID, plat::ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT CWMPlayer::GetIDsOfNames(plat::REFIID, plat::OLECHAR** names, plat::UINT count, plat::LCID,
                                 plat::DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT result = S_OK;
  for (plat::UINT n = 0; n < count; ++n) {
    ids[n] = -1;
    const std::string name = plat::BstrToUtf8(names[n]);
    for (std::size_t i = 0; i < std::size(kMethodNames); ++i) {
      if (wmhost::EqualsNoCase(name, kMethodNames[i])) ids[n] = static_cast<plat::DISPID>(i + 1);
    }
    if (ids[n] < 0) result = plat::DISP_E_UNKNOWNNAME;
  }
  return result;
}

HRESULT CWMPlayer::Invoke(plat::DISPID, plat::REFIID, plat::LCID, plat::WORD, plat::DISPPARAMS*, plat::VARIANT*,
                          plat::EXCEPINFO*, plat::UINT*) {
  return plat::DISP_E_MEMBERNOTFOUND;
}

// ---- Start and stop

HRESULT CWMPlayer::Initialize() {
  RunPendingWork();
  if (host_) return S_OK;
  auto host = std::make_shared<CWMPHostWindow>(*setup_.thread, setup_);
  host->SetCallback(callback_);
  std::string error;
  if (!host->Create(&error)) {
    std::fprintf(stderr, "wmhost: cannot start the player: %s\n", error.c_str());
    host->Destroy();
    return E_FAIL;
  }
  host_ = std::move(host);
  return S_OK;
}

HRESULT CWMPlayer::Uninitialize() {
  if (host_) host_->Destroy();
  host_.reset();
  RunPendingWork();
  return S_OK;
}

HRESULT CWMPlayer::SetCallback(IWMPlayerEventSink* callback) {
  callback_ = callback;
  if (host_) host_->SetCallback(callback);
  return S_OK;
}

// ---- Playlists of the library

HRESULT CWMPlayer::GetPlaylistCount(int* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  if (!host_->playlists && !host_->LoadPlaylistArray()) return E_FAIL;
  *count = static_cast<int>(host_->playlists->size());
  return S_OK;
}

HRESULT CWMPlayer::UpdatePlaylistArray() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  return host_->LoadPlaylistArray() ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::GetPlaylistName(int index, BSTR* name) {
  RunPendingWork();
  if (!host_ || !name) return E_FAIL;
  if (!host_->playlists && !host_->LoadPlaylistArray()) return E_FAIL;
  if (index < 0 || static_cast<std::size_t>(index) >= host_->playlists->size()) return E_FAIL;
  const auto& playlist = (*host_->playlists)[static_cast<std::size_t>(index)];
  if (FAILED(PutString(name, playlist.name))) return E_FAIL;
  return playlist.isAuto ? plat::S_FALSE : S_OK;
}

HRESULT CWMPlayer::GetPlaylistItemCount(int listIndex, long* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  if (!host_->playlists && !host_->LoadPlaylistArray()) return E_FAIL;
  if (listIndex < 0 || static_cast<std::size_t>(listIndex) >= host_->playlists->size()) return E_FAIL;
  auto list = host_->library->playlist((*host_->playlists)[static_cast<std::size_t>(listIndex)].id);
  if (!list) return E_FAIL;
  CWMPHostWindow::CleanList(*list, true);
  host_->list = list;
  *count = static_cast<long>(list->count());
  return S_OK;
}

HRESULT CWMPlayer::GetPlaylistItemName(int, int item, BSTR* name) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto media = ItemAt(host_->list, item);
  return media ? PutString(name, media->name()) : E_FAIL;
}

HRESULT CWMPlayer::GetPlaylistItemAttributesCount(int, int item, long* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  auto media = ItemAt(host_->list, item);
  if (!media) return E_FAIL;
  *count = static_cast<long>(media->attributeCount());
  return S_OK;
}

HRESULT CWMPlayer::GetPlaylistItemAttribute(int, int item, int attribute, BSTR* name, BSTR* value) {
  RunPendingWork();
  if (!host_ || !name || !value) return E_FAIL;
  auto media = ItemAt(host_->list, item);
  if (!media || attribute < 0 || static_cast<std::size_t>(attribute) >= media->attributeCount()) return E_FAIL;
  const std::string attributeName = media->attributeName(static_cast<std::size_t>(attribute));
  if (FAILED(PutString(name, attributeName))) return E_FAIL;
  return PutString(value, media->getItemInfo(attributeName));
}

HRESULT CWMPlayer::LoadPlaylist(BSTR playlistName) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  if (!host_->playlists && !host_->LoadPlaylistArray()) return E_FAIL;
  const std::string wanted = plat::BstrToUtf8(playlistName);
  for (const auto& playlist : *host_->playlists) {
    if (playlist.name != wanted) continue;
    auto list = host_->library->playlist(playlist.id);
    if (!list) return E_FAIL;
    CWMPHostWindow::CleanList(*list, true);
    host_->list = list;
    return S_OK;
  }
  return E_FAIL;
}

HRESULT CWMPlayer::GetTrackPlaylistName(int item, BSTR* name) {
  RunPendingWork();
  if (!host_ || !name || item < 0) return E_FAIL;
  if (!host_->playlists && !host_->LoadPlaylistArray()) return E_FAIL;
  long seen = 0;
  for (const auto& playlist : *host_->playlists) {
    auto list = host_->library->playlist(playlist.id);
    const long count = list ? static_cast<long>(list->count()) : 0;
    if (item < seen + count) return PutString(name, playlist.name);
    seen += count;
  }
  return E_FAIL;
}

// ---- Lists from the media collection

HRESULT CWMPlayer::GetAllAudioFileCount(int* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  auto list = host_->library->getByAttribute(wmhost::kAttrMediaType, "audio");
  CWMPHostWindow::CleanList(*list, true);
  host_->list = list;
  *count = static_cast<int>(list->count());
  return S_OK;
}

HRESULT CWMPlayer::LoadAlbum(BSTR albumName) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto list = host_->library->getByAttribute(wmhost::kAttrAlbumId, plat::BstrToUtf8(albumName));
  CWMPHostWindow::CleanList(*list, true);
  host_->list = list;
  return S_OK;
}

HRESULT CWMPlayer::LoadArtist(BSTR artistName) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto list = host_->library->getByAttribute(wmhost::kAttrAuthor, plat::BstrToUtf8(artistName));
  CWMPHostWindow::CleanList(*list, true);
  host_->list = list;
  return S_OK;
}

HRESULT CWMPlayer::LoadGenre(BSTR genreName) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto list = host_->library->getByAttribute(wmhost::kAttrGenre, plat::BstrToUtf8(genreName));
  CWMPHostWindow::CleanList(*list, false);
  host_->list = list;
  return S_OK;
}

HRESULT CWMPlayer::GetMusicSourceCount(BSTR sourceType, long* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  *count = static_cast<long>(host_->library->attributeStrings(plat::BstrToUtf8(sourceType), "audio").size());
  return S_OK;
}

HRESULT CWMPlayer::GetMusicSource(BSTR sourceType, long index, BSTR* value) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  const auto values = host_->library->attributeStrings(plat::BstrToUtf8(sourceType), "audio");
  if (index < 0 || static_cast<std::size_t>(index) >= values.size()) return E_FAIL;
  return PutString(value, values[static_cast<std::size_t>(index)]);
}

HRESULT CWMPlayer::GetMusicCollection(BSTR sourceType, plat::IUnknown** collection, plat::UINT* count) {
  RunPendingWork();
  if (!host_ || !collection) return E_FAIL;
  auto values = host_->library->attributeStrings(plat::BstrToUtf8(sourceType), "audio");
  const auto size = static_cast<plat::UINT>(values.size());
  const HRESULT hr = plat::CreateComObject<CStringCollection>(nullptr, plat::IID_IUnknown,
                                                              reinterpret_cast<void**>(collection), std::move(values));
  if (FAILED(hr)) return hr;
  if (count) *count = size;
  return S_OK;
}

HRESULT CWMPlayer::GetMusicCollectionItem(plat::IUnknown* collection, long index, BSTR* value) {
  RunPendingWork();
  if (!host_ || !collection) return E_FAIL;
  plat::ComPtr<IWMPStringCollection> strings;
  if (FAILED(collection->QueryInterface(IID_PPV_ARGS(&strings)))) return E_FAIL;
  return strings->item(index, value);
}

HRESULT CWMPlayer::GetAlbumArtPath(BSTR albumName, BSTR* path) {
  RunPendingWork();
  if (!host_ || !path) return E_FAIL;
  auto list = host_->library->getByAttribute(wmhost::kAttrAlbumId, plat::BstrToUtf8(albumName));
  auto first = list->item(0);
  if (!first) return E_FAIL;
  // The folder of the album's first track; the id is text, never a format.
  const std::string folder = fs::path(first->sourceUrl()).parent_path().string();
  return PutString(path,
                   folder + "/AlbumArt_" + first->getItemInfo(wmhost::kAttrCollectionId) + "_Large.jpg");
}

HRESULT CWMPlayer::AddFileToMediaLibrary(BSTR file) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  std::string error;
  if (host_->library->addFile(plat::BstrToUtf8(file), &error)) return S_OK;
  std::fprintf(stderr, "wmhost: %s\n", error.c_str());
  return E_FAIL;
}

// ---- CD playlists

HRESULT CWMPlayer::GetCDPlaylistName(BSTR drive, BSTR* name) {
  RunPendingWork();
  if (!host_ || !name) return E_FAIL;
  auto list = host_->CdPlaylist(plat::BstrToUtf8(drive), true);
  if (!list) return E_FAIL;
  host_->list = list;
  return PutString(name, list->name());
}

HRESULT CWMPlayer::GetCDPlaylistItemCount(BSTR drive, long* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  auto list = host_->CdPlaylist(plat::BstrToUtf8(drive), true);
  if (!list) return E_FAIL;
  host_->list = list;
  *count = static_cast<long>(list->count());
  return S_OK;
}

HRESULT CWMPlayer::GetCDPlaylistItemName(BSTR drive, int item, BSTR* name) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto list = host_->CdPlaylist(plat::BstrToUtf8(drive), false);
  if (!list) return E_FAIL;
  host_->list = list;
  auto media = ItemAt(list, item);
  return media ? PutString(name, media->name()) : E_FAIL;
}

HRESULT CWMPlayer::GetCDPlaylistItemAttributesCount(BSTR drive, int item, long* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  auto list = host_->CdPlaylist(plat::BstrToUtf8(drive), false);
  if (!list) return E_FAIL;
  host_->list = list;
  auto media = ItemAt(list, item);
  if (!media) return E_FAIL;
  *count = static_cast<long>(media->attributeCount());
  return S_OK;
}

HRESULT CWMPlayer::GetCDPlaylistItemAttribute(BSTR drive, int item, int attribute, BSTR* name, BSTR* value) {
  RunPendingWork();
  if (!host_ || !name || !value) return E_FAIL;
  auto list = host_->CdPlaylist(plat::BstrToUtf8(drive), false);
  if (!list) return E_FAIL;
  host_->list = list;
  auto media = ItemAt(list, item);
  if (!media || attribute < 0 || static_cast<std::size_t>(attribute) >= media->attributeCount()) return E_FAIL;
  const std::string attributeName = media->attributeName(static_cast<std::size_t>(attribute));
  if (FAILED(PutString(name, attributeName))) return E_FAIL;
  return PutString(value, media->getItemInfo(attributeName));
}

// ---- Window

HRESULT CWMPlayer::SetParent(plat::HWND parent) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->SetParent(parent);
  return S_OK;
}

HRESULT CWMPlayer::SetWindowPos(long left, long top, long width, long height) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->SetWindowPosition(left, top, width, height);
  return S_OK;
}

// ---- Transport

HRESULT CWMPlayer::LoadFile(BSTR file) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->setUrl(plat::BstrToUtf8(file));
  return S_OK;
}

HRESULT CWMPlayer::Run() {
  RunPendingWork();
  if (!host_ || !host_->list) return E_FAIL;
  return host_->player->play() ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::Pause() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->pause();
  return S_OK;
}

HRESULT CWMPlayer::Stop() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->stop();
  return S_OK;
}

HRESULT CWMPlayer::RunItem(long item) {
  RunPendingWork();
  if (!host_ || !host_->list) return E_FAIL;
  // No callback while the player's playlist is switched.
  host_->ready = false;
  host_->player->setCurrentPlaylist(host_->list);
  host_->ready = true;
  if (item < 0) return E_FAIL;
  return host_->player->playItem(static_cast<std::size_t>(item)) ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::PreviousTrack() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->previous();
  return S_OK;
}

HRESULT CWMPlayer::NextTrack() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->next();
  return S_OK;
}

HRESULT CWMPlayer::GetMode(BSTR name, plat::VARIANT_BOOL* state) {
  RunPendingWork();
  if (!host_ || !state) return E_FAIL;
  *state = host_->player->mode(plat::BstrToUtf8(name)) ? plat::VARIANT_TRUE : plat::VARIANT_FALSE;
  return S_OK;
}

HRESULT CWMPlayer::SetMode(BSTR name, plat::VARIANT_BOOL state) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  return host_->player->setMode(plat::BstrToUtf8(name), state != plat::VARIANT_FALSE) ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::SetCurItemPlayingPos(double seconds) { return Put_CurrentPosition(seconds); }

HRESULT CWMPlayer::Put_CurrentPosition(double seconds) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->setPosition(seconds);
  return S_OK;
}

HRESULT CWMPlayer::GetCurrentPos(double* seconds) {
  RunPendingWork();
  if (!host_ || !seconds) return E_FAIL;
  *seconds = host_->player->position();
  return S_OK;
}

HRESULT CWMPlayer::FastForward() { return PutRate(2.0); }

HRESULT CWMPlayer::PutRate(double rate) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->setRate(rate);
  return S_OK;
}

HRESULT CWMPlayer::BackwardScan() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->setPosition(std::max(host_->player->position() - 5.0, 0.0));
  return S_OK;
}

HRESULT CWMPlayer::ForwardScan() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->player->setPosition(host_->player->position() + 5.0);
  return S_OK;
}

HRESULT CWMPlayer::Rewind() { return E_NOTIMPL; }

HRESULT CWMPlayer::IsFFAvailable() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  return host_->player->fastForwardAvailable() ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::IsFRAvailable() {
  RunPendingWork();
  return host_ ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::GetCurrentMediaItemDuration(double* seconds) {
  RunPendingWork();
  if (!host_ || !seconds || !host_->player->currentMedia()) return E_FAIL;
  *seconds = host_->player->currentMediaDuration();
  return S_OK;
}

HRESULT CWMPlayer::GetCurPlayingTrackInfo(BSTR attribute, BSTR* value) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto media = host_->player->currentMedia();
  if (!media) return E_FAIL;
  return PutString(value, TrackInfo(*media, plat::BstrToUtf8(attribute)));
}

// ---- The current list

HRESULT CWMPlayer::GetTrackInfo(int item, BSTR attribute, BSTR* value) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto media = ItemAt(host_->list, item);
  return media ? PutString(value, TrackInfo(*media, plat::BstrToUtf8(attribute))) : E_FAIL;
}

HRESULT CWMPlayer::GetCurListItemInfo(int item, BSTR attribute, BSTR* value) {
  return GetTrackInfo(item, attribute, value);
}

HRESULT CWMPlayer::GetCurListItemCount(int* count) {
  RunPendingWork();
  if (!host_ || !host_->list || !count) return E_FAIL;
  *count = static_cast<int>(host_->list->count());
  return S_OK;
}

HRESULT CWMPlayer::GetCurListItemURL(int item, BSTR* url) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto media = ItemAt(host_->list, item);
  return media ? PutString(url, media->sourceUrl()) : E_FAIL;
}

HRESULT CWMPlayer::GetDuration(int item, double* seconds) {
  RunPendingWork();
  if (!host_ || !seconds) return E_FAIL;
  auto media = ItemAt(host_->list, item);
  if (!media) return E_FAIL;
  *seconds = media->duration();
  return S_OK;
}

HRESULT CWMPlayer::GetPlaylistCurItemIndex(long* index) {
  RunPendingWork();
  if (!host_ || !host_->list || !index) return E_FAIL;
  auto current = host_->player->currentMedia();
  if (!current) return S_OK;
  for (std::size_t i = 0; i < host_->list->count(); ++i) {
    if (host_->list->item(i)->sourceUrl() == current->sourceUrl()) {
      *index = static_cast<long>(i);
      break;
    }
  }
  return S_OK;
}

HRESULT CWMPlayer::SortByName() {
  RunPendingWork();
  if (!host_ || !host_->list) return E_FAIL;
  host_->list->setItemInfo("SortAttribute", "Title");
  return S_OK;
}

HRESULT CWMPlayer::SortByDate() {
  RunPendingWork();
  if (!host_ || !host_->list) return E_FAIL;
  host_->list->setItemInfo("SortAttribute", "AcquisitionTime");
  return S_OK;
}

HRESULT CWMPlayer::PlaylistCompare(BSTR* files, int fileCount) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  if (fileCount <= 0) return S_OK;
  if (!host_->list || !files || host_->list->count() < static_cast<std::size_t>(fileCount)) return E_FAIL;
  for (int i = 0; i < fileCount; ++i) {
    if (host_->list->item(static_cast<std::size_t>(i))->sourceUrl() != plat::BstrToUtf8(files[i])) return E_FAIL;
  }
  return S_OK;
}

// ---- The file-browsing playlist

HRESULT CWMPlayer::CleanFileBrowsingPlaylist() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto& browsing = *host_->fileBrowsing;
  while (browsing.count() > 0) browsing.removeItem(browsing.count() - 1);
  host_->list = host_->fileBrowsing;
  return S_OK;
}

HRESULT CWMPlayer::AddFileToFileBrowsingPlaylist(long index, BSTR file) {
  RunPendingWork();
  if (!host_ || index < 0) return E_FAIL;
  host_->fileBrowsing->insertItem(static_cast<std::size_t>(index), host_->NewMedia(plat::BstrToUtf8(file)));
  host_->list = host_->fileBrowsing;
  return S_OK;
}

HRESULT CWMPlayer::AppendFileToFileBrowsingPlaylist(BSTR file) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->fileBrowsing->appendItem(host_->NewMedia(plat::BstrToUtf8(file)));
  return S_OK;
}

HRESULT CWMPlayer::LoadPlaylistFromFileBrowsing() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->list = host_->fileBrowsing;
  return S_OK;
}

HRESULT CWMPlayer::CleanFileBrowsingPrevPlaylist(long count) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto& browsing = *host_->fileBrowsing;
  const std::size_t keep = count > 0 ? static_cast<std::size_t>(count) : 0;
  while (browsing.count() > keep) browsing.removeItem(browsing.count() - 1);
  return S_OK;
}

HRESULT CWMPlayer::RemoveFileFromFileBrowsingPlaylist(long index) {
  RunPendingWork();
  if (!host_ || index < 0 || static_cast<std::size_t>(index) >= host_->fileBrowsing->count()) return E_FAIL;
  host_->fileBrowsing->removeItem(static_cast<std::size_t>(index));
  return S_OK;
}

HRESULT CWMPlayer::GetCurFileListItemInfo(int item, BSTR attribute, BSTR* value) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto media = ItemAt(host_->fileBrowsing, item);
  return media ? PutString(value, TrackInfo(*media, plat::BstrToUtf8(attribute))) : E_FAIL;
}

HRESULT CWMPlayer::GetCurFileListItemURL(int item, BSTR* url) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  auto media = ItemAt(host_->fileBrowsing, item);
  return media ? PutString(url, media->sourceUrl()) : E_FAIL;
}

HRESULT CWMPlayer::GetCurFileListItemCount(int* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  *count = static_cast<int>(host_->fileBrowsing->count());
  return S_OK;
}

// ---- Skin, visualisations, debugging

HRESULT CWMPlayer::get_SkinFunctionPointers(plat::IDispatch**) { return S_OK; }

HRESULT CWMPlayer::put_SkinFunctionPointers(plat::IDispatch* value) {
  skin_ = value;
  return S_OK;
}

HRESULT CWMPlayer::Debug(BSTR text) {
  const std::string line = plat::BstrToUtf8(text);
  std::fputs(line.c_str(), stderr);
  return S_OK;
}

HRESULT CWMPlayer::GetVisualizationCount(plat::UINT* count) {
  RunPendingWork();
  if (!host_ || !count) return E_FAIL;
  *count = static_cast<plat::UINT>(wmhost::InstalledVisualizations().size());
  return S_OK;
}

HRESULT CWMPlayer::GetVisualizationName(int index, BSTR* name, BSTR* id) {
  RunPendingWork();
  const auto& installed = wmhost::InstalledVisualizations();
  if (!host_ || !name || !id || index < 0 || static_cast<std::size_t>(index) >= installed.size()) return E_FAIL;
  const auto& visualization = installed[static_cast<std::size_t>(index)];
  if (FAILED(PutString(name, visualization.title))) return E_FAIL;
  return PutString(id, visualization.id);
}

HRESULT CWMPlayer::GetCurVisualizationIndex(plat::UINT* index) {
  RunPendingWork();
  if (!host_ || !index || host_->player->visualization() < 0) return E_FAIL;
  *index = static_cast<plat::UINT>(host_->player->visualization());
  return S_OK;
}

HRESULT CWMPlayer::SetCurVisualizationIndex(plat::UINT index) {
  RunPendingWork();
  if (!host_ || index >= wmhost::InstalledVisualizations().size()) return E_FAIL;
  return host_->player->setVisualization(static_cast<int>(index)) ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::NextVisualization() {
  RunPendingWork();
  const int count = static_cast<int>(wmhost::InstalledVisualizations().size());
  if (!host_ || count == 0) return E_FAIL;
  return host_->player->setVisualization((host_->player->visualization() + 1) % count) ? S_OK : E_FAIL;
}

HRESULT CWMPlayer::PreviousVisualization() {
  RunPendingWork();
  const int count = static_cast<int>(wmhost::InstalledVisualizations().size());
  if (!host_ || count == 0) return E_FAIL;
  return host_->player->setVisualization((host_->player->visualization() + count - 1) % count) ? S_OK : E_FAIL;
}

// ---- Media search

HRESULT CWMPlayer::StartSearch(const char* roots) {
  RunPendingWork();
  if (!host_ || !roots) return E_FAIL;
  host_->StartSearch(roots);
  return S_OK;
}

HRESULT CWMPlayer::AddFolderToMediaLibrary(BSTR folder) {
  const std::string text = plat::BstrToUtf8(folder);
  return StartSearch(text.c_str());
}

HRESULT CWMPlayer::StopSearch() {
  RunPendingWork();
  if (!host_) return E_FAIL;
  host_->StopSearch();
  return S_OK;
}

HRESULT CWMPlayer::GetSearchProgress(int* percent, plat::DWORD* searchedFiles) {
  RunPendingWork();
  if (!host_) return E_FAIL;
  if (percent) *percent = host_->progress.percent();
  if (searchedFiles) *searchedFiles = host_->progress.searched();
  // Callers read the values; the result has always been a failure code.
  return E_FAIL;
}

// ---- IServiceProvider and remote hosting

HRESULT CWMPlayer::QueryService(plat::REFGUID, plat::REFIID iid, void** object) {
  if (!object) return E_POINTER;
  return static_cast<IWMPlayer*>(this)->QueryInterface(iid, object);
}

HRESULT CWMPlayer::GetServiceType(BSTR* type) { return type ? PutString(type, "WMPHelper") : E_POINTER; }

HRESULT CWMPlayer::GetApplicationName(BSTR* name) { return name ? PutString(name, "MRV2") : E_POINTER; }

HRESULT CWMPlayer::GetScriptableObject(BSTR* name, plat::IDispatch** object) {
  if (name) PutString(name, "WMPHelper");
  if (object) {
    *object = static_cast<IWMPlayer*>(this);
    (*object)->AddRef();
  }
  return S_OK;
}

HRESULT CWMPlayer::GetCustomUIMode(BSTR* file) {
  if (!file) return E_POINTER;
  return PutString(file, "file://" + ExecutableFolder() + "/MRVSkin.wms");
}
