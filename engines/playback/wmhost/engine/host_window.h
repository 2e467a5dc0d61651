// What the engine holds while it is initialised: the player and its event
// sink, the library connection of the engine's thread, the playlist array,
// the file-browsing playlist and the current list, the audio CDs, and the
// media search with its progress. Lives from Initialize to Uninitialize.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engines/playback/wmhost/engine/container_window.h"
#include "engines/playback/wmhost/engine/event_sink.h"
#include "engines/playback/wmhost/library/cd_toc.h"
#include "engines/playback/wmhost/library/media_library.h"
#include "engines/playback/wmhost/player/media_player.h"
#include "engines/playback/wmhost/search/media_file_search.h"
#include "engines/playback/wmhost/search/search_progress.h"

struct WMPlayerSetup;

class CWMPHostWindow : public std::enable_shared_from_this<CWMPHostWindow> {
 public:
  CWMPHostWindow(wmhost::EngineThread& thread, const WMPlayerSetup& setup);
  ~CWMPHostWindow();
  CWMPHostWindow(const CWMPHostWindow&) = delete;
  CWMPHostWindow& operator=(const CWMPHostWindow&) = delete;

  // Opens the library and creates the player; false with the reason.
  bool Create(std::string* error);
  void Destroy();
  void SetCallback(IWMPlayerEventSink* callback);

  // Lists.
  // Removes media of no duration; `rebuild` then keeps only media whose
  // source is an existing file.
  static void CleanList(wmhost::Playlist& list, bool rebuild);
  bool LoadPlaylistArray();
  // A new medium for a file: the library's when it knows the file, else
  // one described from the file's tags.
  wmhost::MediaItemPtr NewMedia(const std::string& file);
  // The playlist of a CD drive specifier, read again when `refresh` (or not
  // yet read); null without a disc.
  wmhost::PlaylistPtr CdPlaylist(const std::string& drive, bool refresh);

  // Places the container window in `parent` (null: back on the desktop,
  // hidden). The player draws its pictures only while the window has a parent.
  void SetParent(plat::HWND parent);
  void SetWindowPosition(long left, long top, long width, long height);

  // Media search.
  void StartSearch(const std::string& roots);
  void StopSearch();

  wmhost::EngineThread& thread;
  const WMPlayerSetup& setup;
  std::unique_ptr<wmhost::MediaLibrary> library;
  std::string libraryPath;
  std::unique_ptr<CWMPEventSink> sink;
  std::unique_ptr<wmhost::MediaPlayer> player;
  std::unique_ptr<CWMPContainerWindow> container;  // null where no window can be made
  std::optional<std::vector<wmhost::LibraryPlaylist>> playlists;
  wmhost::PlaylistPtr fileBrowsing;
  wmhost::PlaylistPtr list;
  IWMPlayerEventSink* callback = nullptr;
  bool ready = true;

  wmhost::SearchProgress progress;

 private:
  void OnSearchNotification(unsigned code, std::size_t index, const std::string& path);
  void PostSearchProgress();

  std::vector<std::string> cdDrives_;  // index = n of "wmpcd://n/m"
  std::map<std::string, wmhost::PlaylistPtr> cdPlaylists_;
  std::unique_ptr<wmhost::MediaFileSearch> search_;
  std::unique_ptr<wmhost::MediaLibrary> searchLibrary_;  // the worker's own connection
  std::atomic<bool> progressPosted_{false};
};
