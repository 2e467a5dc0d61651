#include "engines/playback/wmhost/engine/host_window.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "engines/playback/wmhost/engine/wm_player.h"
#include "engines/playback/wmhost/library/tag_reader.h"
#include "platform/sys/drive_table.h"

namespace {

namespace fs = std::filesystem;

bool IsExistingFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// "D:" or "D:\\" (any separator after the colon), else nothing.
bool IsDriveLetter(const std::string& drive) {
  return drive.size() >= 2 && drive.size() <= 3 && std::isalpha(static_cast<unsigned char>(drive[0])) &&
         drive[1] == ':' && (drive.size() == 2 || drive[2] == '\\' || drive[2] == '/');
}

// A path stands for itself; a drive letter is the volume's device, or its
// disc image for a virtual drive.
std::string DefaultCdDevice(const std::string& drive) {
  if (!drive.empty() && drive.front() == '/') return drive;
  if (!IsDriveLetter(drive)) return {};
  const std::optional<plat::VolumeInfo> volume = plat::FindVolume(drive.substr(0, 2));
  if (!volume) return {};
  return volume->isVirtual && !volume->image.empty() ? volume->image : volume->device;
}

// The drive number of "wmpcd://n/m" for a drive letter: its place among the
// optical volumes in letter order; -1 when it is none of them.
int OpticalDriveNumber(const std::string& drive) {
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
  int number = 0;
  for (const plat::VolumeInfo& volume : plat::GetVolumes()) {
    if (volume.type != plat::DRIVE_CDROM) continue;
    if (volume.letter == letter) return number;
    ++number;
  }
  return -1;
}

}  // namespace

CWMPHostWindow::CWMPHostWindow(wmhost::EngineThread& thread, const WMPlayerSetup& setup)
    : thread(thread), setup(setup) {}

CWMPHostWindow::~CWMPHostWindow() { Destroy(); }

bool CWMPHostWindow::Create(std::string* error) {
  libraryPath = setup.libraryPath.empty() ? wmhost::DefaultLibraryPath() : setup.libraryPath;
  library = wmhost::MediaLibrary::Open(libraryPath, error);
  if (!library) return false;
  std::weak_ptr<CWMPHostWindow> weak = weak_from_this();
  container = CWMPContainerWindow::Create();
  sink = std::make_unique<CWMPEventSink>(
      thread,
      [weak] {
        auto self = weak.lock();
        return self && self->player ? self->player->position() : 0.0;
      },
      [weak] {
        auto self = weak.lock();
        return self && self->ready;
      });
  sink->SetCallback(callback);
  if (container) container->SetEventSink(sink.get());
  wmhost::PlayerOptions options = setup.player;
  if (!options.cdDevice) {
    options.cdDevice = [weak](int drive) {
      auto self = weak.lock();
      if (!self || drive < 0 || static_cast<std::size_t>(drive) >= self->cdDrives_.size()) return std::string();
      return self->cdDrives_[static_cast<std::size_t>(drive)];
    };
  }
  try {
    player = std::make_unique<wmhost::MediaPlayer>(thread, *sink, std::move(options));
  } catch (const std::exception& failure) {
    if (error) *error = failure.what();
    return false;
  }
  // The player starts on the (empty) file-browsing playlist; taking it up is
  // no news for the system.
  fileBrowsing = std::make_shared<wmhost::Playlist>("File Browsing");
  ready = false;
  player->setCurrentPlaylist(fileBrowsing);
  ready = true;
  return true;
}

void CWMPHostWindow::Destroy() {
  StopSearch();
  search_.reset();
  list.reset();
  if (fileBrowsing) {
    while (fileBrowsing->count() > 0) fileBrowsing->removeItem(fileBrowsing->count() - 1);
    fileBrowsing.reset();
  }
  if (player) {
    ready = false;  // closing reports nothing
    player->setFrameSink(nullptr);
    player->close();
    player.reset();
  }
  if (container) container->SetEventSink(nullptr);
  container.reset();
  sink.reset();
  library.reset();
}

void CWMPHostWindow::SetParent(plat::HWND parent) {
  if (!container) return;
  container->SetParent(parent);
  if (player) player->setFrameSink(parent ? container.get() : nullptr);
}

void CWMPHostWindow::SetWindowPosition(long left, long top, long width, long height) {
  if (container) container->SetPosition(left, top, width, height);
}

void CWMPHostWindow::SetCallback(IWMPlayerEventSink* newCallback) {
  callback = newCallback;
  if (sink) sink->SetCallback(newCallback);
}

void CWMPHostWindow::CleanList(wmhost::Playlist& list, bool rebuild) {
  for (std::size_t i = list.count(); i-- > 0;) {
    if (list.item(i)->duration() <= 0) list.removeItem(i);
  }
  if (!rebuild) return;
  std::vector<wmhost::MediaItemPtr> kept;
  for (const auto& item : list.items()) {
    if (item->duration() > 0 && IsExistingFile(item->sourceUrl())) kept.push_back(item);
  }
  list.clear();
  for (auto& item : kept) list.appendItem(std::move(item));
}

bool CWMPHostWindow::LoadPlaylistArray() {
  if (!library) return false;
  playlists = library->playlists();
  return true;
}

wmhost::MediaItemPtr CWMPHostWindow::NewMedia(const std::string& file) {
  if (library) {
    if (auto known = library->item(file)) return known;
  }
  auto item = std::make_shared<wmhost::MediaItem>(file);
  item->setItemInfo(wmhost::kAttrName, fs::path(file).stem().string());
  item->setItemInfo(wmhost::kAttrMediaType, "audio");
  if (auto tags = wmhost::ReadAudioTags(file)) {
    if (!tags->title.empty()) item->setItemInfo(wmhost::kAttrName, tags->title);
    item->setItemInfo(wmhost::kAttrAuthor, tags->artist);
    item->setItemInfo(wmhost::kAttrAlbum, tags->album);
    item->setItemInfo(wmhost::kAttrAlbumId, tags->album);
    item->setItemInfo(wmhost::kAttrGenre, tags->genre);
    if (tags->year) item->setItemInfo(wmhost::kAttrReleaseDate, std::to_string(tags->year));
    item->setDuration(tags->duration);
  }
  return item;
}

wmhost::PlaylistPtr CWMPHostWindow::CdPlaylist(const std::string& drive, bool refresh) {
  const std::string device = setup.cdDevice ? setup.cdDevice(drive) : DefaultCdDevice(drive);
  if (device.empty()) return nullptr;
  if (!refresh) {
    if (auto known = cdPlaylists_.find(device); known != cdPlaylists_.end()) return known->second;
  }
  cdPlaylists_.erase(device);
  const auto toc = wmhost::ReadCdTableOfContents(device);
  if (!toc) return nullptr;
  std::size_t driveIndex = 0;
  const int optical = IsDriveLetter(drive) ? OpticalDriveNumber(drive) : -1;
  if (optical >= 0) {
    driveIndex = static_cast<std::size_t>(optical);
    if (cdDrives_.size() <= driveIndex) cdDrives_.resize(driveIndex + 1);
    cdDrives_[driveIndex] = toc->readerDevice;
  } else {
    while (driveIndex < cdDrives_.size() && cdDrives_[driveIndex] != toc->readerDevice) ++driveIndex;
    if (driveIndex == cdDrives_.size()) cdDrives_.push_back(toc->readerDevice);
  }

  auto playlist = std::make_shared<wmhost::Playlist>(toc->title.empty() ? "Audio CD" : toc->title);
  int trackIndex = 0;
  for (const wmhost::CdTrack& track : toc->tracks) {
    if (!track.audio) continue;
    auto item = std::make_shared<wmhost::MediaItem>(wmhost::CdTrackUrl(static_cast<int>(driveIndex), trackIndex++));
    item->setItemInfo(wmhost::kAttrName, track.title.empty() ? "Track " + std::to_string(track.number) : track.title);
    item->setItemInfo(wmhost::kAttrAuthor, track.performer.empty() ? toc->performer : track.performer);
    item->setItemInfo(wmhost::kAttrAlbum, toc->title);
    item->setItemInfo(wmhost::kAttrAlbumId, toc->title);
    item->setItemInfo(wmhost::kAttrMediaType, "audio");
    item->setDuration(track.seconds);
    playlist->appendItem(std::move(item));
  }
  cdPlaylists_[device] = playlist;
  return playlist;
}

void CWMPHostWindow::StartSearch(const std::string& roots) {
  if (!search_) search_ = std::make_unique<wmhost::MediaFileSearch>();
  search_->stop();
  searchLibrary_.reset();
  progress.start(setup.clock());
  search_->start(roots, wmhost::MediaFileSearch::kAudioExtensions, wmhost::MediaFileSearch::kPlaylistExtensions,
                 wmhost::kSearchPhaseWalk | wmhost::kSearchPhaseList,
                 [this](unsigned code, std::size_t index, const std::string& path) {
                   OnSearchNotification(code, index, path);
                 });
}

void CWMPHostWindow::StopSearch() {
  if (search_) search_->stop();
  searchLibrary_.reset();
  progress.reset();
}

// Runs on the search's worker thread: only the worker's own library
// connection and the atomic counters are touched here; the callback is
// reached through the engine's thread.
void CWMPHostWindow::OnSearchNotification(unsigned code, std::size_t index, const std::string& path) {
  switch (code) {
    case wmhost::kSearchEnteringFolder:
      if (progress.update(setup.clock())) PostSearchProgress();
      break;
    case wmhost::kSearchFileFound:
      // The count grows while the walk goes on.
      progress.fileFound();
      progress.update(setup.clock());
      PostSearchProgress();
      break;
    case wmhost::kSearchListStarted: {
      progress.beginList(static_cast<std::uint32_t>(index));
      std::string error;
      searchLibrary_ = wmhost::MediaLibrary::Open(libraryPath, &error);
      if (!searchLibrary_) std::fprintf(stderr, "wmhost: media search: %s\n", error.c_str());
      break;
    }
    case wmhost::kSearchListedFile: {
      const bool added = searchLibrary_ && searchLibrary_->addFile(path);
      progress.fileHandled(added);
      progress.update(setup.clock());
      PostSearchProgress();
      break;
    }
    case wmhost::kSearchListEnded:
      searchLibrary_.reset();
      // Complete also when nothing was found, so that a follower leaves its
      // search state.
      progress.finish();
      progress.update(setup.clock());
      PostSearchProgress();
      break;
    default:
      break;
  }
}

void CWMPHostWindow::PostSearchProgress() {
  // One report in flight at a time; it reads the newest counters when it runs.
  if (progressPosted_.exchange(true)) return;
  std::weak_ptr<CWMPHostWindow> weak = weak_from_this();
  thread.Post([weak] {
    auto self = weak.lock();
    if (!self) return;
    self->progressPosted_ = false;
    if (self->callback) self->callback->OnSearchProgress();
  });
}
