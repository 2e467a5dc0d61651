// A media player host that answers E_NOTIMPL to everything; tests derive
// from it and answer the calls they watch.
#pragma once

#include "interfaces/wmhost/wmplayer.h"

namespace sinks_test {

class StubWMPlayer : public IWMPlayer {
 public:
  using Interfaces = plat::InterfaceList<IWMPlayer>;

  plat::HRESULT GetTypeInfoCount(plat::UINT*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetTypeInfo(plat::UINT, plat::LCID, plat::ITypeInfo**) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetIDsOfNames(plat::REFIID, plat::OLECHAR**, plat::UINT, plat::LCID, plat::DISPID*) override {
    return plat::E_NOTIMPL;
  }
  plat::HRESULT Invoke(plat::DISPID, plat::REFIID, plat::LCID, plat::WORD, plat::DISPPARAMS*, plat::VARIANT*,
                       plat::EXCEPINFO*, plat::UINT*) override {
    return plat::E_NOTIMPL;
  }
  plat::HRESULT Initialize() override { return plat::E_NOTIMPL; }
  plat::HRESULT Uninitialize() override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaylistCount(int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaylistName(int, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaylistItemCount(int, long*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaylistItemName(int, int, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaylistItemAttributesCount(int, int, long*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaylistItemAttribute(int, int, int, plat::BSTR*, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCDPlaylistName(plat::BSTR, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCDPlaylistItemCount(plat::BSTR, long*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCDPlaylistItemName(plat::BSTR, int, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCDPlaylistItemAttributesCount(plat::BSTR, int, long*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCDPlaylistItemAttribute(plat::BSTR, int, int, plat::BSTR*, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetParent(plat::HWND) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetWindowPos(long, long, long, long) override { return plat::E_NOTIMPL; }
  plat::HRESULT LoadFile(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT Run() override { return plat::E_NOTIMPL; }
  plat::HRESULT Pause() override { return plat::E_NOTIMPL; }
  plat::HRESULT Stop() override { return plat::E_NOTIMPL; }
  plat::HRESULT LoadPlaylist(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetTrackInfo(int, plat::BSTR, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetAllAudioFileCount(int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT RunItem(long) override { return plat::E_NOTIMPL; }
  plat::HRESULT LoadAlbum(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetTrackPlaylistName(int, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT LoadArtist(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetMode(plat::BSTR, plat::VARIANT_BOOL*) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetMode(plat::BSTR, plat::VARIANT_BOOL) override { return plat::E_NOTIMPL; }
  plat::HRESULT PreviousTrack() override { return plat::E_NOTIMPL; }
  plat::HRESULT NextTrack() override { return plat::E_NOTIMPL; }
  plat::HRESULT SetCallback(IWMPlayerEventSink*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurListItemCount(int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurListItemInfo(int, plat::BSTR, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT get_SkinFunctionPointers(plat::IDispatch**) override { return plat::E_NOTIMPL; }
  plat::HRESULT put_SkinFunctionPointers(plat::IDispatch*) override { return plat::E_NOTIMPL; }
  plat::HRESULT Debug(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetVisualizationCount(plat::UINT*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetVisualizationName(int, plat::BSTR*, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurVisualizationIndex(plat::UINT*) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetCurVisualizationIndex(plat::UINT) override { return plat::E_NOTIMPL; }
  plat::HRESULT NextVisualization() override { return plat::E_NOTIMPL; }
  plat::HRESULT PreviousVisualization() override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurListItemURL(int, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetCurItemPlayingPos(double) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetDuration(int, double*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetMusicSourceCount(plat::BSTR, long*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetMusicSource(plat::BSTR, long, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetMusicCollection(plat::BSTR, plat::IUnknown**, plat::UINT*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetMusicCollectionItem(plat::IUnknown*, long, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT UpdatePlaylistArray() override { return plat::E_NOTIMPL; }
  plat::HRESULT FastForward() override { return plat::E_NOTIMPL; }
  plat::HRESULT BackwardScan() override { return plat::E_NOTIMPL; }
  plat::HRESULT IsFFAvailable() override { return plat::E_NOTIMPL; }
  plat::HRESULT IsFRAvailable() override { return plat::E_NOTIMPL; }
  plat::HRESULT StartSearch(const char*) override { return plat::E_NOTIMPL; }
  plat::HRESULT StopSearch() override { return plat::E_NOTIMPL; }
  plat::HRESULT GetSearchProgress(int*, plat::DWORD*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetAlbumArtPath(plat::BSTR, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaylistCurItemIndex(long*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurrentMediaItemDuration(double*) override { return plat::E_NOTIMPL; }
  plat::HRESULT CleanFileBrowsingPlaylist() override { return plat::E_NOTIMPL; }
  plat::HRESULT AddFileToFileBrowsingPlaylist(long, plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT LoadPlaylistFromFileBrowsing() override { return plat::E_NOTIMPL; }
  plat::HRESULT LoadGenre(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT SortByName() override { return plat::E_NOTIMPL; }
  plat::HRESULT SortByDate() override { return plat::E_NOTIMPL; }
  plat::HRESULT CleanFileBrowsingPrevPlaylist(long) override { return plat::E_NOTIMPL; }
  plat::HRESULT Rewind() override { return plat::E_NOTIMPL; }
  plat::HRESULT ForwardScan() override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurPlayingTrackInfo(plat::BSTR, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT AddFileToMediaLibrary(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT AddFolderToMediaLibrary(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT RemoveFileFromFileBrowsingPlaylist(long) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurrentPos(double*) override { return plat::E_NOTIMPL; }
  plat::HRESULT AppendFileToFileBrowsingPlaylist(plat::BSTR) override { return plat::E_NOTIMPL; }
  plat::HRESULT PutRate(double) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurFileListItemInfo(int, plat::BSTR, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurFileListItemURL(int, plat::BSTR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurFileListItemCount(int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT PlaylistCompare(plat::BSTR*, int) override { return plat::E_NOTIMPL; }
  plat::HRESULT Put_CurrentPosition(double) override { return plat::E_NOTIMPL; }
};

}  // namespace sinks_test
