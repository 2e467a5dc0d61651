// The media player host engine's interfaces: IWMPlayer (dual; slots 0-2
// IUnknown, 3-6 IDispatch, then the methods in order), the callback table
// IWMPlayerEventSink that the system core implements, the string collection
// handed out for music sources, and the remote-hosting services.
#pragma once

#include "platform/com/automation.h"
#include "platform/com/unknown.h"

inline constexpr plat::CLSID CLSID_WMPlayer = plat::MakeGuid("{BDDB3494-A25E-48A7-B30F-36C11087BE35}");
inline constexpr plat::GUID LIBID_WMHOSTLib = plat::MakeGuid("{444490F5-C29F-457C-BB9D-C352C4384C13}");
inline constexpr plat::IID IID_IWMPlayer = plat::MakeGuid("{01B5F5B5-4F4C-4828-B1F1-616B565D5517}");
inline constexpr plat::IID IID_IServiceProvider = plat::MakeGuid("{6D5140C1-7436-11CE-8034-00AA006009FA}");
inline constexpr plat::IID IID_IWMPRemoteMediaServices = plat::MakeGuid("{CBB92747-741F-44FE-AB5B-F1A48F3B2A59}");
inline constexpr plat::IID IID_IWMPStringCollection = plat::MakeGuid("{4A976298-8C0D-11D3-B389-00C04F68574B}");
inline constexpr const char* kWMPlayerProgId = "wmhost.WMPlayer.1";
inline constexpr const char* kWMPlayerVersionIndependentProgId = "wmhost.WMPlayer";

// Reports of the player to the system core: a plain table of calls, no
// IUnknown. Every call but OnSearchProgress comes on the engine's thread;
// the engine posts search progress there too.
class IWMPlayerEventSink {
 public:
  virtual plat::HRESULT OnMediaChange() = 0;
  virtual int OnPlaying() = 0;
  virtual int OnPaused() = 0;
  virtual int OnStopped() = 0;
  virtual int OnMediaEnded() = 0;
  virtual int OnReady() = 0;
  virtual int OnMouseMove() = 0;
  virtual int OnClick() = 0;
  virtual int OnKeyDown(int keyCode, int shiftState) = 0;
  virtual int OnSearchProgress() = 0;
  virtual int OnPosition(double seconds) = 0;

 protected:
  ~IWMPlayerEventSink() = default;
};

// A read-only list of strings (album names, artists, genres...).
struct IWMPStringCollection : plat::IUnknown {
  virtual plat::HRESULT get_count(long* count) = 0;
  virtual plat::HRESULT item(long index, plat::BSTR* value) = 0;

 protected:
  ~IWMPStringCollection() = default;
};
PLAT_BIND_IID(IWMPStringCollection, IID_IWMPStringCollection);

struct IServiceProvider : plat::IUnknown {
  virtual plat::HRESULT QueryService(plat::REFGUID service, plat::REFIID iid, void** object) = 0;

 protected:
  ~IServiceProvider() = default;
};
PLAT_BIND_IID(IServiceProvider, IID_IServiceProvider);

struct IWMPRemoteMediaServices : plat::IUnknown {
  virtual plat::HRESULT GetServiceType(plat::BSTR* type) = 0;
  virtual plat::HRESULT GetApplicationName(plat::BSTR* name) = 0;
  virtual plat::HRESULT GetScriptableObject(plat::BSTR* name, plat::IDispatch** object) = 0;
  virtual plat::HRESULT GetCustomUIMode(plat::BSTR* file) = 0;

 protected:
  ~IWMPRemoteMediaServices() = default;
};
PLAT_BIND_IID(IWMPRemoteMediaServices, IID_IWMPRemoteMediaServices);

// Out BSTRs belong to the caller (SysFreeString). Methods return E_FAIL
// before Initialize unless their comment says otherwise.
struct IWMPlayer : plat::IDispatch {
  virtual plat::HRESULT Initialize() = 0;                                       // 7
  virtual plat::HRESULT Uninitialize() = 0;                                     // 8
  virtual plat::HRESULT GetPlaylistCount(int* count) = 0;                       // 9
  // S_FALSE (1) for an auto playlist, S_OK for a static one.
  virtual plat::HRESULT GetPlaylistName(int index, plat::BSTR* name) = 0;             // 10
  virtual plat::HRESULT GetPlaylistItemCount(int listIndex, long* count) = 0;   // 11
  virtual plat::HRESULT GetPlaylistItemName(int listIndex, int item, plat::BSTR* name) = 0;
  virtual plat::HRESULT GetPlaylistItemAttributesCount(int listIndex, int item, long* count) = 0;
  virtual plat::HRESULT GetPlaylistItemAttribute(int listIndex, int item, int attribute, plat::BSTR* name, plat::BSTR* value) = 0;
  virtual plat::HRESULT GetCDPlaylistName(plat::BSTR drive, plat::BSTR* name) = 0;          // 15
  virtual plat::HRESULT GetCDPlaylistItemCount(plat::BSTR drive, long* count) = 0;
  virtual plat::HRESULT GetCDPlaylistItemName(plat::BSTR drive, int item, plat::BSTR* name) = 0;
  virtual plat::HRESULT GetCDPlaylistItemAttributesCount(plat::BSTR drive, int item, long* count) = 0;
  virtual plat::HRESULT GetCDPlaylistItemAttribute(plat::BSTR drive, int item, int attribute, plat::BSTR* name, plat::BSTR* value) = 0;
  virtual plat::HRESULT SetParent(plat::HWND parent) = 0;                             // 20
  virtual plat::HRESULT SetWindowPos(long left, long top, long width, long height) = 0;
  virtual plat::HRESULT LoadFile(plat::BSTR file) = 0;
  virtual plat::HRESULT Run() = 0;
  virtual plat::HRESULT Pause() = 0;
  virtual plat::HRESULT Stop() = 0;                                             // 25
  virtual plat::HRESULT LoadPlaylist(plat::BSTR playlistName) = 0;
  virtual plat::HRESULT GetTrackInfo(int item, plat::BSTR attribute, plat::BSTR* value) = 0;
  virtual plat::HRESULT GetAllAudioFileCount(int* count) = 0;
  virtual plat::HRESULT RunItem(long item) = 0;
  virtual plat::HRESULT LoadAlbum(plat::BSTR albumName) = 0;                          // 30
  virtual plat::HRESULT GetTrackPlaylistName(int item, plat::BSTR* name) = 0;
  virtual plat::HRESULT LoadArtist(plat::BSTR artistName) = 0;
  virtual plat::HRESULT GetMode(plat::BSTR name, plat::VARIANT_BOOL* state) = 0;
  virtual plat::HRESULT SetMode(plat::BSTR name, plat::VARIANT_BOOL state) = 0;
  virtual plat::HRESULT PreviousTrack() = 0;                                    // 35
  virtual plat::HRESULT NextTrack() = 0;
  // S_OK also before Initialize.
  virtual plat::HRESULT SetCallback(IWMPlayerEventSink* callback) = 0;
  virtual plat::HRESULT GetCurListItemCount(int* count) = 0;
  virtual plat::HRESULT GetCurListItemInfo(int item, plat::BSTR attribute, plat::BSTR* value) = 0;
  virtual plat::HRESULT get_SkinFunctionPointers(plat::IDispatch** value) = 0;  // 40
  virtual plat::HRESULT put_SkinFunctionPointers(plat::IDispatch* value) = 0;
  virtual plat::HRESULT Debug(plat::BSTR text) = 0;
  virtual plat::HRESULT GetVisualizationCount(plat::UINT* count) = 0;
  virtual plat::HRESULT GetVisualizationName(int index, plat::BSTR* name, plat::BSTR* id) = 0;
  virtual plat::HRESULT GetCurVisualizationIndex(plat::UINT* index) = 0;              // 45
  virtual plat::HRESULT SetCurVisualizationIndex(plat::UINT index) = 0;
  virtual plat::HRESULT NextVisualization() = 0;
  virtual plat::HRESULT PreviousVisualization() = 0;
  virtual plat::HRESULT GetCurListItemURL(int item, plat::BSTR* url) = 0;
  virtual plat::HRESULT SetCurItemPlayingPos(double seconds) = 0;               // 50
  virtual plat::HRESULT GetDuration(int item, double* seconds) = 0;
  virtual plat::HRESULT GetMusicSourceCount(plat::BSTR sourceType, long* count) = 0;
  virtual plat::HRESULT GetMusicSource(plat::BSTR sourceType, long index, plat::BSTR* value) = 0;
  virtual plat::HRESULT GetMusicCollection(plat::BSTR sourceType, plat::IUnknown** collection, plat::UINT* count) = 0;
  virtual plat::HRESULT GetMusicCollectionItem(plat::IUnknown* collection, long index, plat::BSTR* value) = 0;  // 55
  virtual plat::HRESULT UpdatePlaylistArray() = 0;
  virtual plat::HRESULT FastForward() = 0;
  virtual plat::HRESULT BackwardScan() = 0;
  virtual plat::HRESULT IsFFAvailable() = 0;
  virtual plat::HRESULT IsFRAvailable() = 0;                                    // 60
  // Root folders separated by ";".
  virtual plat::HRESULT StartSearch(const char* roots) = 0;
  virtual plat::HRESULT StopSearch() = 0;
  // Writes the percent and the files handled; returns E_FAIL in every case.
  virtual plat::HRESULT GetSearchProgress(int* percent, plat::DWORD* searchedFiles) = 0;
  virtual plat::HRESULT GetAlbumArtPath(plat::BSTR albumName, plat::BSTR* path) = 0;
  virtual plat::HRESULT GetPlaylistCurItemIndex(long* index) = 0;               // 65
  virtual plat::HRESULT GetCurrentMediaItemDuration(double* seconds) = 0;
  virtual plat::HRESULT CleanFileBrowsingPlaylist() = 0;
  virtual plat::HRESULT AddFileToFileBrowsingPlaylist(long index, plat::BSTR file) = 0;
  virtual plat::HRESULT LoadPlaylistFromFileBrowsing() = 0;
  virtual plat::HRESULT LoadGenre(plat::BSTR genreName) = 0;                          // 70
  virtual plat::HRESULT SortByName() = 0;
  virtual plat::HRESULT SortByDate() = 0;
  virtual plat::HRESULT CleanFileBrowsingPrevPlaylist(long count) = 0;
  virtual plat::HRESULT Rewind() = 0;
  virtual plat::HRESULT ForwardScan() = 0;                                      // 75
  virtual plat::HRESULT GetCurPlayingTrackInfo(plat::BSTR attribute, plat::BSTR* value) = 0;
  virtual plat::HRESULT AddFileToMediaLibrary(plat::BSTR file) = 0;
  virtual plat::HRESULT AddFolderToMediaLibrary(plat::BSTR folder) = 0;
  virtual plat::HRESULT RemoveFileFromFileBrowsingPlaylist(long index) = 0;
  virtual plat::HRESULT GetCurrentPos(double* seconds) = 0;                     // 80
  virtual plat::HRESULT AppendFileToFileBrowsingPlaylist(plat::BSTR file) = 0;
  virtual plat::HRESULT PutRate(double rate) = 0;
  virtual plat::HRESULT GetCurFileListItemInfo(int item, plat::BSTR attribute, plat::BSTR* value) = 0;
  virtual plat::HRESULT GetCurFileListItemURL(int item, plat::BSTR* url) = 0;
  virtual plat::HRESULT GetCurFileListItemCount(int* count) = 0;                // 85
  virtual plat::HRESULT PlaylistCompare(plat::BSTR* files, int fileCount) = 0;
  virtual plat::HRESULT Put_CurrentPosition(double seconds) = 0;                // 87

 protected:
  ~IWMPlayer() = default;
};
PLAT_BIND_IID(IWMPlayer, IID_IWMPlayer);
