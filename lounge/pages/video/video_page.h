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
#include "lounge/pages/video/video_devices.h"
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
// Where a picture of `width` x `height` goes in `rect`: as large as fits with
// its shape kept, centred. A pixel aspect other than 1 (pixels of another
// shape than the screen's) widens or narrows the picture first.
plat::RECT FitPicture(int width, int height, const plat::RECT& rect, float pixelAspect = 1.0f);
// Draws the bitmap into FitPicture's rectangle.
void DrawFittedBitmap(plat::HBITMAP bitmap, plat::HDC dc, const plat::RECT& rect, float pixelAspect = 1.0f);
// The argument vector of the video editor installed in `folder`; empty when
// either the folder or the program name is missing. The start-up options
// hold no argument string for the editor: it runs with none.
std::vector<std::string> VideoEditorCommand(const AppOptions& options, const std::string& folder);

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
  int GetUpLevelIcon(int sourceId, std::string& path) override;
  int OnSelectionChanged(int sourceId, int displayIndex) override;
  int GetListTop(int sourceId, int& top) override;
  int SetListTop(int sourceId, int row) override;

  // ---- IModulePage ----
  int Destroy() override;
  int OnResize() override;
  int OnMouseMove(int x, int y) override;
  int OnMouseWheel(plat::UINT flags, int delta, int x, int y) override;
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
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;
  int HighlightListItem(int item, int list) override;
  int ShowTooltipAt(plat::POINT point) override;
  int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) override;
  // Leaving the module needs nothing of the page.
  int OnModuleExit() override { return 1; }
  int QueryListImageShown(int list, int image, int* shown) override;
  // The folder shown holds no video and no folder.
  bool FolderHasNoVideos();
  int QueryListTextShown(int list, int text, int* shown) override;
  int QueryTextShown(const std::string& name, int* shown) override;

  // Draws the still image "Video Highlight Item Image": the preview frame
  // with, for a folder entry, its nine previews in a 3 x 3 grid, for a file
  // its thumbnail (vendor 4's large preview).
  int DrawHighlightPreview(int list, int entry);

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
  int ListTop() const { return GridTop(); }
  int ItemCount() const { return m_itemCount; }
  const std::string& CaptureTime() const { return m_strCaptureTime; }

 private:
  CConfig* Config() const;
  CVideoConfig* Video() const;
  int Vendor();
  // The configuration's pixel aspect factor (1 without configuration).
  float PixelAspect() const;
  // The list a thumbnail entry index refers to in the current state.
  const std::vector<std::string>& StateList();
  void RefreshVideoList();
  // The data entry shown in the first cell of "Video Thumbnail Browser".
  int GridTop() const;
  // Publishes the browser's entry count and the top entry to the grid.
  void PublishGrid(int count, int top);
  // The entry of the highlighted cell (device list in state 1, else the
  // grid); the remembered cell while the focus is elsewhere.
  int HighlightedEntry();
  void StopThumbnails();
  void RequestThumbnail(int entry, int kind, int index, const std::string& path);
  // The thumbnail of list entry `index`: cached, made, or requested.
  plat::HBITMAP ThumbnailOf(int entry, int index, const std::string& path);
  void FileThumbnailResults();
  // Draws again the grid cells on screen that show the filed pictures.
  void RefreshGridCells(const std::vector<FiledThumbnail>& filed);
  // Draws the highlighted entry's texts again, over their background.
  void RefreshEntryTexts();
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
  int m_itemCount = 0;  // entries of the state's browser
  // The running capture time the controller last passed ("hh:mm:ss"), shown
  // after the capture notice; empty before the first tick.
  std::string m_strCaptureTime;
  CVideoThumbnailCache m_cache;
  // Last member: stopped and joined first.
  std::unique_ptr<CVideoThumbnailWorker> m_worker;
};
