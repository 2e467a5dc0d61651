// CVideoPage: the Video module's page. It shows the device selector, the
// videos of a folder (or the recent list, or the burn selection) as a
// thumbnail grid with folder previews, the capture, setting and archive
// pages, and is driven by the Video controller through IVideoPageEvents. All
// video state lives in the configuration's Video section, read and written
// in place. Thumbnails come from the folder cache or the thumbnail worker;
// the worker's notices arrive as WM_TIMER 19333 on the frame window.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "interfaces/page_events.h"
#include "lounge/pages/common/file_browser_sink.h"
#include "lounge/pages/common/file_list_source.h"
#include "lounge/pages/video/video_thumbnail_cache.h"
#include "lounge/pages/video/video_thumbnail_filing.h"
#include "lounge/pages/video/video_thumbnail_worker.h"
#include "lounge/shell/module_page.h"

class CConfig;
class CVideoConfig;

// The files the video browser lists.
inline constexpr const char* kVideoFilter =
    "|.mpg|.mpe|.mpv|.avi|.asf|.asx|.mpeg|.div|.divx|.wm|.wmv|.m1v|.m2v|.m1s|.vro||";
// The cursor timer (bars shown while playing) and the remote-control message.
inline constexpr plat::UINT_PTR kVideoCursorTimer = 5;
inline constexpr plat::UINT kRemoteModeMessage = 2024;

// The page path of a video state; empty for the hand-off state 17 and
// states without a page.
std::string VideoStatePagePath(int state);

struct AppOptions;
// Draws the bitmap fitted into `rect` with its aspect kept, margins equal.
void DrawFittedBitmap(plat::HBITMAP bitmap, plat::HDC dc, const plat::RECT& rect);
// The argument vector of the video editor installed in `folder`; empty when
// either the folder or the program name is missing.
std::vector<std::string> VideoEditorCommand(const AppOptions& options, const std::string& folder);

struct VideoDevice {
  std::string folder;
  std::string label;
  std::string icon;  // relative to the application folder
};

class CVideoPage : public CShellPage, public IVideoPageEvents, public IFileBrowserSink {
 public:
  explicit CVideoPage(IShellFrame& frame);
  ~CVideoPage() override;

  // ---- IVideoPageEvents ----
  int EnterModule() override;
  int ShowStatePage() override;
  int Redraw(int flag) override;
  int ClearRecentVideos() override;
  int GetDisplayWindow(plat::HWND* window, plat::RECT* rect) override;
  int GetVideoRegion(plat::HWND* window, plat::RECT* rect) override;
  int ShowCaptureToHD(int hours, int minutes, int seconds) override;
  int ShowCaptureToDVD(int hours, int minutes, int seconds) override;
  int ResetDeviceList() override;

  // ---- IFileBrowserSink ----
  int OnListReset(int sourceId) override;
  int OnFolderAdded(int sourceId, const FileListEntry& entry) override;
  int OnFileAdded(int sourceId, const FileListEntry& entry) override;
  int OnFolderChanged(int sourceId, int entryCount, int listTop) override;
  int DrawFolderIcon(int sourceId, int folderIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int DrawFileText(int sourceId, int fileIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) override;
  int DrawFolderText(int, int, const plat::RECT&, plat::HDC, plat::COLORREF) override { return 0; }
  int DrawFileIcon(int sourceId, int fileIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int OnFileActivated(int sourceId, int fileIndex) override;
  int GetListTop(int sourceId, int& top) override;
  int SetListTop(int sourceId, int row) override;

  // ---- IModulePage ----
  int Destroy() override;
  int OnResize() override;
  int OnMouseMove(int x, int y) override;
  int OnTimer(plat::UINT_PTR id) override;
  int Query() override { return 1; }

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) override;
  int DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) override;
  int OnListItemAction(int list, int item) override;
  int OnAction(const std::string& name) override;

  // The text a text element or list text of the page shows, or empty when
  // the skin draws it as it stands (also for tests).
  std::string TextFor(const std::string& name);
  std::string ListTextFor(const std::string& name);

  // ---- for tests ----
  const std::vector<VideoDevice>& Devices() const { return m_devices; }
  const std::vector<VideoFolderPreview>& Previews() const { return m_previews; }
  CFileListSource& Browser() { return m_browser; }
  CVideoThumbnailWorker* Worker() { return m_worker.get(); }
  void SetThumbnailCache(CVideoThumbnailCache cache) { m_cache = std::move(cache); }
  int ListTop() const { return m_listTop; }
  int ItemCount() const { return m_itemCount; }
  const std::string& CaptureTime() const { return m_strCaptureTime; }

 private:
  CConfig* Config() const;
  CVideoConfig* Video() const;
  int Vendor();
  // The list a thumbnail entry index refers to in the current state.
  const std::vector<std::string>& StateList();
  void RefreshVideoList();
  void StopThumbnails();
  void RequestThumbnail(int entry, int kind, int index, const std::string& path);
  // The thumbnail of list entry `index`: cached, made, or requested.
  plat::HBITMAP ThumbnailOf(int entry, int index, const std::string& path);
  void FileThumbnailResults();
  void SendPendingAction();
  void PostRemoteMode(int mode);
  void RunVideoEditor();
  // Checks `tag` ("Video Sort By Name Tag" or "... Date Tag") in the focused
  // list and clears the other.
  void CheckSortTag(const std::string& tag);
  // Full-screen video: playback, or the live capture picture.
  bool IsPlaying();

  std::vector<VideoFolderPreview> m_previews;
  std::vector<VideoDevice> m_devices;
  int m_deviceHighlight = -1;
  CFileListSource m_browser;
  CFileListSource m_folderBrowser;
  bool m_drawingThumbnails = false;  // the re-entry guard of thumbnail drawing
  int m_listTop = 0;
  int m_itemCount = 0;
  // The running capture time the controller last passed ("hh:mm:ss"), shown
  // after the capture notice; empty before the first tick.
  std::string m_strCaptureTime;
  CVideoThumbnailCache m_cache;
  // Last member: stopped and joined first.
  std::unique_ptr<CVideoThumbnailWorker> m_worker;
};
