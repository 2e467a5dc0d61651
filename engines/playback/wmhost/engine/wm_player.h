// The engine object: IWMPlayer over the media player, the music library,
// audio CDs and the media search, with the remote-hosting services.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engines/playback/wmhost/player/engine_thread.h"
#include "engines/playback/wmhost/player/media_player.h"
#include "interfaces/wmhost/wmplayer.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"
#include "platform/sys/clock.h"

class CWMPHostWindow;

// How an engine is set up; the defaults are those of the component server.
struct WMPlayerSetup {
  // The engine's thread. Null: a hidden window of the creating thread, whose
  // message loop runs the engine's work (or, when no window can be made, a
  // queue run at the start of every call of the engine).
  std::shared_ptr<wmhost::EngineThread> thread;
  wmhost::PlayerOptions player;
  // Empty: the library in the settings folder.
  std::string libraryPath;
  // Milliseconds for the search progress; default: the process clock.
  wmhost::MillisecondClock clock = [] { return plat::GetClock().steady_ms(); };
  // The device (or disc image) of a CD drive specifier such as "D:" or a
  // path; empty when there is none. Default: a path stands for itself, a
  // drive letter for the system's CD drive.
  std::function<std::string(const std::string& drive)> cdDevice;
};

class CWMPlayer : public IWMPlayer, public IServiceProvider, public IWMPRemoteMediaServices {
 public:
  using Interfaces = plat::InterfaceList<IWMPlayer, plat::IDispatch, IServiceProvider, IWMPRemoteMediaServices>;

  explicit CWMPlayer(WMPlayerSetup setup = {});
  ~CWMPlayer();
  CWMPlayer(const CWMPlayer&) = delete;
  CWMPlayer& operator=(const CWMPlayer&) = delete;

  // IDispatch: names resolve to the type library's dispatch ids; the
  // methods are called through the interface, not by Invoke.
  plat::HRESULT GetTypeInfoCount(plat::UINT* count) override;
  plat::HRESULT GetTypeInfo(plat::UINT index, plat::LCID locale, plat::ITypeInfo** info) override;
  plat::HRESULT GetIDsOfNames(plat::REFIID iid, plat::OLECHAR** names, plat::UINT count, plat::LCID locale,
                              plat::DISPID* ids) override;
  plat::HRESULT Invoke(plat::DISPID id, plat::REFIID iid, plat::LCID locale, plat::WORD flags,
                       plat::DISPPARAMS* params, plat::VARIANT* result, plat::EXCEPINFO* exception,
                       plat::UINT* argumentError) override;

  // IWMPlayer
  plat::HRESULT Initialize() override;
  plat::HRESULT Uninitialize() override;
  plat::HRESULT GetPlaylistCount(int* count) override;
  plat::HRESULT GetPlaylistName(int index, plat::BSTR* name) override;
  plat::HRESULT GetPlaylistItemCount(int listIndex, long* count) override;
  plat::HRESULT GetPlaylistItemName(int listIndex, int item, plat::BSTR* name) override;
  plat::HRESULT GetPlaylistItemAttributesCount(int listIndex, int item, long* count) override;
  plat::HRESULT GetPlaylistItemAttribute(int listIndex, int item, int attribute, plat::BSTR* name,
                                         plat::BSTR* value) override;
  plat::HRESULT GetCDPlaylistName(plat::BSTR drive, plat::BSTR* name) override;
  plat::HRESULT GetCDPlaylistItemCount(plat::BSTR drive, long* count) override;
  plat::HRESULT GetCDPlaylistItemName(plat::BSTR drive, int item, plat::BSTR* name) override;
  plat::HRESULT GetCDPlaylistItemAttributesCount(plat::BSTR drive, int item, long* count) override;
  plat::HRESULT GetCDPlaylistItemAttribute(plat::BSTR drive, int item, int attribute, plat::BSTR* name,
                                           plat::BSTR* value) override;
  plat::HRESULT SetParent(plat::HWND parent) override;
  plat::HRESULT SetWindowPos(long left, long top, long width, long height) override;
  plat::HRESULT LoadFile(plat::BSTR file) override;
  plat::HRESULT Run() override;
  plat::HRESULT Pause() override;
  plat::HRESULT Stop() override;
  plat::HRESULT LoadPlaylist(plat::BSTR playlistName) override;
  plat::HRESULT GetTrackInfo(int item, plat::BSTR attribute, plat::BSTR* value) override;
  plat::HRESULT GetAllAudioFileCount(int* count) override;
  plat::HRESULT RunItem(long item) override;
  plat::HRESULT LoadAlbum(plat::BSTR albumName) override;
  plat::HRESULT GetTrackPlaylistName(int item, plat::BSTR* name) override;
  plat::HRESULT LoadArtist(plat::BSTR artistName) override;
  plat::HRESULT GetMode(plat::BSTR name, plat::VARIANT_BOOL* state) override;
  plat::HRESULT SetMode(plat::BSTR name, plat::VARIANT_BOOL state) override;
  plat::HRESULT PreviousTrack() override;
  plat::HRESULT NextTrack() override;
  plat::HRESULT SetCallback(IWMPlayerEventSink* callback) override;
  plat::HRESULT GetCurListItemCount(int* count) override;
  plat::HRESULT GetCurListItemInfo(int item, plat::BSTR attribute, plat::BSTR* value) override;
  plat::HRESULT get_SkinFunctionPointers(plat::IDispatch** value) override;
  plat::HRESULT put_SkinFunctionPointers(plat::IDispatch* value) override;
  plat::HRESULT Debug(plat::BSTR text) override;
  plat::HRESULT GetVisualizationCount(plat::UINT* count) override;
  plat::HRESULT GetVisualizationName(int index, plat::BSTR* name, plat::BSTR* id) override;
  plat::HRESULT GetCurVisualizationIndex(plat::UINT* index) override;
  plat::HRESULT SetCurVisualizationIndex(plat::UINT index) override;
  plat::HRESULT NextVisualization() override;
  plat::HRESULT PreviousVisualization() override;
  plat::HRESULT GetCurListItemURL(int item, plat::BSTR* url) override;
  plat::HRESULT SetCurItemPlayingPos(double seconds) override;
  plat::HRESULT GetDuration(int item, double* seconds) override;
  plat::HRESULT GetMusicSourceCount(plat::BSTR sourceType, long* count) override;
  plat::HRESULT GetMusicSource(plat::BSTR sourceType, long index, plat::BSTR* value) override;
  plat::HRESULT GetMusicCollection(plat::BSTR sourceType, plat::IUnknown** collection, plat::UINT* count) override;
  plat::HRESULT GetMusicCollectionItem(plat::IUnknown* collection, long index, plat::BSTR* value) override;
  plat::HRESULT UpdatePlaylistArray() override;
  plat::HRESULT FastForward() override;
  plat::HRESULT BackwardScan() override;
  plat::HRESULT IsFFAvailable() override;
  plat::HRESULT IsFRAvailable() override;
  plat::HRESULT StartSearch(const char* roots) override;
  plat::HRESULT StopSearch() override;
  plat::HRESULT GetSearchProgress(int* percent, plat::DWORD* searchedFiles) override;
  plat::HRESULT GetAlbumArtPath(plat::BSTR albumName, plat::BSTR* path) override;
  plat::HRESULT GetPlaylistCurItemIndex(long* index) override;
  plat::HRESULT GetCurrentMediaItemDuration(double* seconds) override;
  plat::HRESULT CleanFileBrowsingPlaylist() override;
  plat::HRESULT AddFileToFileBrowsingPlaylist(long index, plat::BSTR file) override;
  plat::HRESULT LoadPlaylistFromFileBrowsing() override;
  plat::HRESULT LoadGenre(plat::BSTR genreName) override;
  plat::HRESULT SortByName() override;
  plat::HRESULT SortByDate() override;
  plat::HRESULT CleanFileBrowsingPrevPlaylist(long count) override;
  plat::HRESULT Rewind() override;
  plat::HRESULT ForwardScan() override;
  plat::HRESULT GetCurPlayingTrackInfo(plat::BSTR attribute, plat::BSTR* value) override;
  plat::HRESULT AddFileToMediaLibrary(plat::BSTR file) override;
  plat::HRESULT AddFolderToMediaLibrary(plat::BSTR folder) override;
  plat::HRESULT RemoveFileFromFileBrowsingPlaylist(long index) override;
  plat::HRESULT GetCurrentPos(double* seconds) override;
  plat::HRESULT AppendFileToFileBrowsingPlaylist(plat::BSTR file) override;
  plat::HRESULT PutRate(double rate) override;
  plat::HRESULT GetCurFileListItemInfo(int item, plat::BSTR attribute, plat::BSTR* value) override;
  plat::HRESULT GetCurFileListItemURL(int item, plat::BSTR* url) override;
  plat::HRESULT GetCurFileListItemCount(int* count) override;
  plat::HRESULT PlaylistCompare(plat::BSTR* files, int fileCount) override;
  plat::HRESULT Put_CurrentPosition(double seconds) override;

  // IServiceProvider
  plat::HRESULT QueryService(plat::REFGUID service, plat::REFIID iid, void** object) override;

  // IWMPRemoteMediaServices
  plat::HRESULT GetServiceType(plat::BSTR* type) override;
  plat::HRESULT GetApplicationName(plat::BSTR* name) override;
  plat::HRESULT GetScriptableObject(plat::BSTR* name, plat::IDispatch** object) override;
  plat::HRESULT GetCustomUIMode(plat::BSTR* file) override;

  // For the container window and tests: the host, null before Initialize.
  CWMPHostWindow* host() const { return host_.get(); }

 private:
  // Runs the engine thread's pending work when the engine owns a queued thread.
  void RunPendingWork();

  WMPlayerSetup setup_;
  std::shared_ptr<wmhost::QueuedEngineThread> ownThread_;
  std::shared_ptr<CWMPHostWindow> host_;
  IWMPlayerEventSink* callback_ = nullptr;
  plat::ComPtr<plat::IDispatch> skin_;
};
