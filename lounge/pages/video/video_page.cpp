// CVideoPage: events from the Video controller, the state pages, the file
// browser's calls and the thumbnail notices.
#include "lounge/pages/video/video_page.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "corebridge/core/config.h"
#include "corebridge/core/video_config.h"
#include "interfaces/chosen_files.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/video/video_lists.h"
#include "lounge/shell/app_options.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/registry/registry.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/drive_table.h"
#include "platform/sys/spawn.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr std::array<const char*, 19> kStatePaths = {
    "Video\\VideoApplication", "Video\\SelectDevice",       "Video\\MyVideos",
    "Video\\RecentVideos",     "Video\\PlayVideo",          "Video\\CaptureVideos",
    "Video\\BurnVideos\\SelectVideos", "Video\\Setting\\GeneralSetting", "Video\\Setting\\CaptureSetting",
    "Video\\Setting\\SelectFolder",    "Video\\Archive\\Browse",         "Video\\CDDVD",
    "Video\\DV",               "Video\\CompositeIn",        "Video\\SVideoIn",
    "Video\\Archive\\Edit",    "Video\\Archive\\Mark",      "",
    "Video\\NoCaptureDevice"};

constexpr const char* kThumbnailBrowser = "Video Thumbnail Browser";
// Cells of a page of the thumbnail grid.
constexpr int kGridCells = 12;
constexpr const char* kDeviceBrowser = "Video Device Browser";

// The editor's folder from HKEY_LOCAL_MACHINE, or empty.
std::string EditorFolder(const AppOptions& options) {
  if (options.editorKeyPath.empty()) return {};
  plat::HKEY key = nullptr;
  if (plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, options.editorKeyPath.c_str(), 0, plat::KEY_READ, &key) != 0)
    return {};
  std::string value(1024, '\0');
  plat::DWORD size = static_cast<plat::DWORD>(value.size());
  plat::DWORD type = 0;
  const long status = plat::RegQueryValueExA(key, options.editorValue.c_str(), nullptr, &type,
                                             reinterpret_cast<plat::BYTE*>(value.data()), &size);
  plat::RegCloseKey(key);
  if (status != 0 || type != plat::REG_SZ) return {};
  value.resize(std::min<std::size_t>(size, value.size()));
  while (!value.empty() && value.back() == '\0') value.pop_back();
  return value;
}

}  // namespace

plat::RECT FitPicture(int width, int height, const plat::RECT& rect, float pixelAspect) {
  const int rw = rect.right - rect.left;
  const int rh = rect.bottom - rect.top;
  // Pixels of another shape than the screen's: the width is corrected first.
  // A factor out of all reason (a damaged setting) counts as 1.
  if (!(pixelAspect > 0.1f && pixelAspect < 10.0f)) pixelAspect = 1.0f;
  if (pixelAspect != 1.0f) width = static_cast<int>(static_cast<float>(width) * pixelAspect);
  if (width <= 0 || height <= 0 || rw <= 0 || rh <= 0) return {rect.left, rect.top, rect.left, rect.top};
  int fw = rw;
  int fh = static_cast<int>(static_cast<long long>(height) * rw / width);
  if (fh > rh) {
    fh = rh;
    fw = static_cast<int>(static_cast<long long>(width) * rh / height);
  }
  const int left = rect.left + (rw - fw) / 2;
  const int top = rect.top + (rh - fh) / 2;
  return {left, top, left + fw, top + fh};
}

void DrawFittedBitmap(plat::HBITMAP bitmap, plat::HDC dc, const plat::RECT& rect, float pixelAspect) {
  int w = 0;
  int h = 0;
  if (!GetBitmapSize(bitmap, w, h)) return;
  const plat::RECT fitted = FitPicture(w, h, rect, pixelAspect);
  if (fitted.right > fitted.left && fitted.bottom > fitted.top) DrawBitmap(bitmap, dc, fitted);
}

std::vector<std::string> VideoEditorCommand(const AppOptions& options, const std::string& folder) {
  if (folder.empty() || options.editorExe.empty()) return {};
  return {file_list::JoinPath(file_list::CutTrailingSlashes(folder), options.editorExe)};
}

void CVideoPage::RunVideoEditor() {
  const std::vector<std::string> argv = VideoEditorCommand(Frame().Options(), EditorFolder(Frame().Options()));
  std::string error;
  if (argv.empty() || !plat::SpawnDetached(argv, &error))
    plat::OutputDebugStringA(("Video editor not started: " + error + "\n").c_str());
}

std::string VideoStatePagePath(int state) {
  if (state < 0 || state >= static_cast<int>(kStatePaths.size())) return {};
  return kStatePaths[static_cast<std::size_t>(state)];
}

CVideoPage::CVideoPage(IShellFrame& frame)
    : CShellPage(frame), m_browser(kVideoFilter, this, this, 0), m_folderBrowser("||", this, this, 1) {
  const int vendor = frame.Options().vendorId;
  if (vendor == 1 || vendor == 4) m_browser.SetShowUpLevel(0);
}

CVideoPage::~CVideoPage() {
  StopThumbnails();
  FreeFolderPreviews(m_previews);
  if (CVideoConfig* video = Video()) FreeThumbnails(video->m_videoThumbnails);
}

CConfig* CVideoPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }
CVideoConfig* CVideoPage::Video() const {
  CConfig* config = Config();
  return config ? config->m_pVideo.get() : nullptr;
}
int CVideoPage::Vendor() { return Frame().Options().vendorId; }
float CVideoPage::PixelAspect() const {
  const CConfig* config = Config();
  return config ? config->m_fScaleFactor : 1.0f;
}

const std::vector<std::string>& CVideoPage::StateList() {
  static const std::vector<std::string> kNone;
  CVideoConfig* video = Video();
  if (!video) return kNone;
  if (video->m_nView == VIDEO_VIEW_RECENT) return video->m_recentFiles;
  if (video->m_nView == VIDEO_VIEW_EDIT) return video->m_selectedFiles;
  return video->m_folderFiles;
}

// ---- IVideoPageEvents ----

int CVideoPage::EnterModule() {
  CVideoConfig* video = Video();
  if (!video) return 0;
  Frame().SetPlaybackBarPath("FloatingBar\\PlaybackBar\\VideoPlaybackBar");
  Frame().SetActivePage(this);
  CreateBackBuffer();
  if (Vendor() == 1 && !EditorFolder(Frame().Options()).empty()) {
    video->m_nView = 0;
    ShowStatePage();
  } else {
    video->m_nView = VIDEO_VIEW_DEVICES;
    ShowStatePage();
    if (Vendor() == 1) PostRemoteMode(10);
  }
  video->m_nEntryState = video->m_nView;
  return 1;
}

void CVideoPage::PostRemoteMode(int mode) {
  if (plat::HWND remote = plat::FindWindow("RemoteKeyWndClass", "RemoteKeyWnd"))
    plat::PostMessage(remote, kRemoteModeMessage, 0, mode);
}

int CVideoPage::ShowStatePage() {
  CVideoConfig* video = Video();
  if (!video) return 0;
  plat::KillTimer(Owner(), kVideoCursorTimer);
  StopThumbnails();
  video->m_bUpLevelHighlighted = 0;
  const int state = video->m_nView;
  if (state == VIDEO_VIEW_DEVICE_RETURN) {
    SendPendingAction();
    return 1;
  }
  if (state == VIDEO_VIEW_EDIT) FreeThumbnails(video->m_videoThumbnails);
  const std::string path = VideoStatePagePath(state);
  if (path.empty()) return 0;
  if (state == VIDEO_VIEW_PLAYING) {
    video->m_nPlaySelection = GridTop();
    int grid = -1;
    video->m_nSavedFocusEntry =
        Layout() && Layout()->FindList(kThumbnailBrowser, grid) && FocusedList() == grid ? FocusedEntry() : -1;
  }
  const int loaded = LoadLayout(path);
  switch (state) {
    case VIDEO_VIEW_DEVICES:
      ResetDeviceList();
      break;
    case VIDEO_VIEW_FOLDER:
      // Back from full-screen playback the pointer is wanted again.
      for (int i = 0; i < 100 && plat::ShowCursor(plat::TRUE) < 0; ++i) {
      }
      plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_ARROW));
      RefreshVideoList();
      break;
    case VIDEO_VIEW_RECENT:
      m_browser.LoadFileList(video->m_recentFiles);
      video->SortVideoFiles();
      PublishGrid(m_browser.GetEntryCount(), 0);
      break;
    case VIDEO_VIEW_PLAYING:
      Frame().Services().HideCursor();
      break;
    case VIDEO_VIEW_BURN:
      video->SortVideoFiles();
      PublishGrid(m_browser.GetEntryCount(), 0);
      break;
    case VIDEO_VIEW_SELECT_FOLDER: {
      // Vendor 2 captures through its authoring product, into that product's folder.
      const std::string& captured = Vendor() == 2 ? video->m_strAuthoringCapturedFolder : video->m_strCapturedFolder;
      const std::string& chosen = video->m_nFolderKind == 0   ? video->m_strSnapshotFolder
                                  : video->m_nFolderKind == 1 ? video->m_strDefaultFolder
                                                              : captured;
      // No upper bound: any folder of the machine can be chosen.
      m_folderBrowser.SetRootFolder(std::string());
      m_folderBrowser.OpenFolder(chosen);
      PublishGrid(m_folderBrowser.GetEntryCount(), 0);
      break;
    }
    case VIDEO_VIEW_BROWSE:
      if (!video->m_strArchiveFolder.empty()) {
        m_browser.OpenFolder(video->m_strArchiveFolder);
        m_browser.SetRootFolder(video->m_strArchiveFolder);
        PublishGrid(m_browser.GetEntryCount(), 0);
        video->m_strArchiveFolder.clear();
      } else {
        RefreshVideoList();
      }
      video->m_bArchivePlay = 0;
      break;
    default:
      break;
  }
  CSkinPage::Redraw(1);
  return loaded;
}

void CVideoPage::RefreshVideoList() {
  CVideoConfig* video = Video();
  if (!video) return;
  if (video->m_bOpenFolderPending == 1 && !video->m_strOpenFolderPath.empty()) {
    m_browser.SetRootFolder(video->m_strOpenFolderPath);
    m_browser.OpenFolder(video->m_strOpenFolderPath);
    video->SortVideoFiles();
    PublishGrid(m_browser.GetEntryCount(), 0);
    video->m_bOpenFolderPending = 0;
    video->m_strOpenFolderPath.clear();
    return;
  }
  m_browser.Rescan();
  video->SortVideoFiles();
  const int count = m_browser.GetEntryCount();
  PublishGrid(count, video->m_nPlaySelection >= 0 && video->m_nPlaySelection < count ? video->m_nPlaySelection
                                                                                      : std::max(0, count - 1));
  // The focus goes back to the cell it had when playback began.
  int grid = -1;
  if (video->m_nSavedFocusEntry >= 0 && Layout() && Layout()->FindList(kThumbnailBrowser, grid)) {
    SetFocus(grid, video->m_nSavedFocusEntry);
    HighlightListItem(video->m_nSavedFocusEntry, grid);
  }
}

int CVideoPage::GridTop() const {
  int top = 0;
  ElementIndex().GetTopIndexByName(kThumbnailBrowser, &top);
  return top;
}

void CVideoPage::PublishGrid(int count, int top) {
  m_itemCount = count;
  ElementIndex().SetItemCountByName(kThumbnailBrowser, count);
  ElementIndex().SetTopIndexByName(kThumbnailBrowser, top);
}

int CVideoPage::HighlightedEntry() {
  int list = -1;
  if (!Layout()) return 0;
  const bool devices = Video() && Video()->m_nView == VIDEO_VIEW_DEVICES;
  if (!Layout()->FindList(devices ? kDeviceBrowser : kThumbnailBrowser, list)) return 0;
  int top = 0;
  ElementIndex().GetTopIndex(list, &top);
  int slot = FocusedList() == list ? FocusedEntry() : -1;
  if (slot < 0 || slot >= kGridCells) {
    const CListState* state = ListState(list);
    slot = state && state->rememberedEntry >= 0 && state->rememberedEntry < kGridCells ? state->rememberedEntry : 0;
  }
  return top + slot;
}

void CVideoPage::SendPendingAction() {
  CVideoConfig* video = Video();
  if (!video || !Host()) return;
  ChosenFiles record;
  if (video->m_nPendingActionMode == 1) {
    record.files = video->m_selectedFiles;
    record.folder = video->m_strCapturedFolder;
    record.filter = kVideoFilter;
  }
  Host()->ExecuteAction(video->m_strPendingAction, video->m_nPendingActionMode, reinterpret_cast<long>(&record));
  video->m_strPendingAction.clear();
}

int CVideoPage::Redraw(int flag) { return CSkinPage::Redraw(flag); }

int CVideoPage::ClearRecentVideos() {
  CVideoConfig* video = Video();
  if (!video) return 0;
  video->m_recentFiles.clear();
  video->m_nRecentIndex = -1;
  video->m_nFolderIndex = -1;
  video->m_nHighlightedFolder = -1;
  m_browser.LoadFileList(video->m_recentFiles);
  PublishGrid(m_browser.GetEntryCount(), 0);
  return 1;
}

int CVideoPage::GetDisplayWindow(plat::HWND* window, plat::RECT* rect) {
  if (window) *window = Owner();
  if (rect && Owner()) plat::GetClientRect(Owner(), rect);
  return 1;
}

int CVideoPage::GetVideoRegion(plat::HWND* window, plat::RECT* rect) {
  if (!Owner()) return 0;
  if (window) *window = Owner();
  if (rect) GetStillImageScreenRectByName("Video VideoRegion", rect);
  return 1;
}

int CVideoPage::ShowCaptureToHD(int hours, int minutes, int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hours, minutes, seconds);
  m_strCaptureTime = text;
  CSkinPage::Redraw(1);
  return 1;
}
int CVideoPage::ShowCaptureToDVD(int hours, int minutes, int seconds) { return ShowCaptureToHD(hours, minutes, seconds); }

int CVideoPage::ResetDeviceList() {
  m_devices.clear();
  CVideoConfig* video = Video();
  CConfig* config = Config();
  if (!video || !config) return 0;
  std::error_code ec;
  const bool captured =
      !video->m_strCapturedFolder.empty() && std::filesystem::is_directory(video->m_strCapturedFolder, ec);
  // The user's own videos folder, where a desktop keeps videos; one that is
  // the home folder itself means the user has none.
  std::string userVideos = config->m_strUserVideosFolder;
  const char* home = std::getenv("HOME");
  if (userVideos.empty() || !std::filesystem::is_directory(userVideos, ec) ||
      (home && file_list::CutTrailingSlashes(userVideos) == file_list::CutTrailingSlashes(home)))
    userVideos.clear();
  m_devices = VideoDeviceList(video->m_strCapturedFolder, captured, userVideos, config->m_vecOpticalDrives,
                              plat::GetVolumes(), Vendor());
  // The list shows its first entry at the top.
  ElementIndex().SetItemCountByName(kDeviceBrowser, static_cast<int>(m_devices.size()));
  ElementIndex().SetTopIndexByName(kDeviceBrowser, 0);
  return 1;
}

// ---- IFileBrowserSink ----

int CVideoPage::OnListReset(int sourceId) {
  CVideoConfig* video = Video();
  if (!video || sourceId != 0) return 0;
  if (video->m_nView != VIDEO_VIEW_RECENT) {
    FreeFolderPreviews(m_previews);
    video->m_folderFiles.clear();
    video->m_nFolderIndex = -1;
    video->m_nHighlightedFolder = -1;
  }
  FreeThumbnails(video->m_videoThumbnails);
  if (Vendor() == 4) video->m_selectedFiles.clear();
  if (m_worker) m_worker->Clear();
  return 1;
}

int CVideoPage::OnFolderAdded(int sourceId, const FileListEntry& entry) {
  if (sourceId != 0) return 0;
  VideoFolderPreview record;
  record.folder = entry.isShortcut ? entry.targetPath : entry.path;
  m_previews.push_back(std::move(record));
  return 1;
}

int CVideoPage::OnFileAdded(int sourceId, const FileListEntry& entry) {
  CVideoConfig* video = Video();
  if (!video || sourceId != 0) return 0;
  video->m_folderFiles.push_back(entry.path.empty() ? entry.targetPath : entry.path);
  return 1;
}

int CVideoPage::OnFolderChanged(int sourceId, int entryCount, int listTop) {
  CVideoConfig* video = Video();
  if (!video) return 0;
  video->SortVideoFiles();
  PublishGrid(entryCount, listTop);
  // The focused cell goes back to the first when it is past the entries.
  int grid = -1;
  if (Layout() && Layout()->FindList(kThumbnailBrowser, grid) && FocusedList() == grid &&
      GridTop() + FocusedEntry() >= entryCount) {
    SetFocus(grid, 0);
  }
  if (video->m_nView == VIDEO_VIEW_SELECT_FOLDER && sourceId == 1)
    video->m_strSelectedFolder = m_folderBrowser.GetCurrentFolder();
  return 1;
}

int CVideoPage::GetUpLevelIcon(int, std::string& path) {
  path.clear();
  if (Vendor() != 2) return 0;
  path = "Layout\\Img\\Common\\sub-film-up.bmp";
  return 1;
}

int CVideoPage::OnSelectionChanged(int, int displayIndex) {
  int grid = -1;
  if (!Layout() || !Layout()->FindList(kThumbnailBrowser, grid) || FocusedList() != grid) return 0;
  // The cell showing the entry takes the focus when it is on screen and in
  // use; otherwise the first cell.
  int row = -1;
  if (displayIndex >= 0 && ElementIndex().ItemToRow(grid, displayIndex, &row) && row >= 0) {
    const CListState* state = ListState(grid);
    if (state && row < static_cast<int>(state->itemStates.size()) &&
        state->itemStates[static_cast<std::size_t>(row)].enabled) {
      SetFocus(grid, row);
      HighlightListItem(row, grid);
      return 1;
    }
  }
  SetFocus(grid, 0);
  HighlightListItem(0, grid);
  return 0;
}

int CVideoPage::GetListTop(int, int& top) {
  top = GridTop();
  return 1;
}

int CVideoPage::SetListTop(int, int row) {
  ElementIndex().SetTopIndexByName(kThumbnailBrowser, std::max(0, row));
  return 1;
}

void CVideoPage::RequestThumbnail(int entry, int kind, int index, const std::string& path) {
  if (!m_worker) {
    // The worker writes each new picture to the cache itself: the UI thread
    // never waits for the disk.
    m_worker = std::make_unique<CVideoThumbnailWorker>(
        Owner(), CVideoThumbnailWorker::Extractor{},
        [cache = m_cache](const std::string& file, plat::HBITMAP bitmap) { cache.Store(file, bitmap); });
  }
  m_worker->Request(entry, kind, index, path);
}

plat::HBITMAP CVideoPage::ThumbnailOf(int entry, int index, const std::string& path) {
  CVideoConfig* video = Video();
  if (!video) return nullptr;
  auto& thumbnails = video->m_videoThumbnails;
  const auto at = static_cast<std::size_t>(index);
  if (at < thumbnails.size() && thumbnails[at]) return thumbnails[at];
  if (m_drawingThumbnails) return nullptr;
  plat::HBITMAP cached = m_cache.Read(path);
  if (cached && CVideoThumbnailCache::IsUsable(cached)) {
    PutThumbnail(thumbnails, at, cached);
    return cached;
  }
  if (cached) {
    plat::DeleteObject(cached);
    m_cache.Delete(path);
  }
  RequestThumbnail(entry, 1, index, path);
  return nullptr;
}

int CVideoPage::DrawFileIcon(int sourceId, int fileIndex, const plat::RECT& icon, plat::HDC dc, int) {
  CVideoConfig* video = Video();
  const std::vector<std::string>& list = StateList();
  if (!video || sourceId != 0 || fileIndex < 0 || fileIndex >= static_cast<int>(list.size())) return 0;
  const std::string& path = list[static_cast<std::size_t>(fileIndex)];
  if (plat::HBITMAP bitmap = ThumbnailOf(fileIndex, fileIndex, path)) {
    DrawFittedBitmap(bitmap, dc, icon, PixelAspect());
  } else if (Vendor() == 4) {
    if (plat::HBITMAP picture = LoadSharedBitmapFile(file_list::ApplicationFile("Layout\\Img\\Common\\Image icon.BMP"))) {
      DrawFittedBitmap(picture, dc, icon);
      plat::DeleteObject(picture);
    }
  } else {
    // Until its picture is made, a video shows the icon of its file type.
    DrawShellIcon(path, dc, icon.left, icon.top, icon.right, icon.bottom, 0);
  }
  if ((video->m_nView == VIDEO_VIEW_BURN || video->m_nView == VIDEO_VIEW_BROWSE) &&
      video_lists::IsSelectedVideo(video->m_selectedFiles, path)) {
    m_browser.DrawBurnCheckBox(dc, icon.left, icon.top, 1);
  }
  return 1;
}

int CVideoPage::DrawFolderIcon(int sourceId, int folderIndex, const plat::RECT& rect, plat::HDC dc, int) {
  if (sourceId != 0 || folderIndex < 0 || folderIndex >= static_cast<int>(m_previews.size())) return 0;
  VideoFolderPreview& record = m_previews[static_cast<std::size_t>(folderIndex)];
  if (!record.scanned) {
    const std::vector<std::string> names = video_lists::CollectFolderVideos(record.folder);
    for (std::size_t n = 0; n < names.size() && n < record.paths.size(); ++n)
      record.paths[n] = file_list::JoinPath(record.folder, names[n]);
    record.scanned = true;
  }
  bool any = false;
  for (int n = 0; n < 9; ++n) {
    if (record.paths[n].empty()) continue;
    if (!record.bitmaps[n] && !m_drawingThumbnails) {
      plat::HBITMAP cached = m_cache.Read(record.paths[n]);
      if (cached) record.bitmaps[n] = cached;
      else RequestThumbnail(folderIndex, 0, folderIndex * 9 + n, record.paths[n]);
    }
    any = any || record.bitmaps[n];
  }
  if (Vendor() == 4) return 0;
  if (!any) {
    // Vendor 2 shows its empty film folder; the others the browser's folder icon.
    if (Vendor() != 2) return 0;
    return DrawBitmapFile(ResolveSkinPath(file_list::ApplicationFile("Layout\\Img\\Common\\sub-film-nofiles1.bmp")), dc,
                          rect)
               ? 1
               : 0;
  }
  const int W = rect.right - rect.left;
  const int H = rect.bottom - rect.top;
  const char* frame = Vendor() == 2 ? "Layout\\Img\\Common\\sub-film.bmp" : "Layout\\Img\\Common\\sub-files.bmp";
  DrawBitmapFile(ResolveSkinPath(file_list::ApplicationFile(frame)), dc, rect);
  int top = H / 5, bottom = H / 15, side = W / 20;
  switch (Vendor()) {
    case 2: top = H / 12, bottom = H / 12, side = W / 20; break;
    case 1: top = H * 2 / 11, bottom = H * 10 / 43, side = W / 12; break;
    case 3: top = H * 5 / 24, bottom = H / 10, side = W / 12; break;
    default: break;
  }
  const std::array<plat::RECT, 4> cells = video_lists::FolderPreviewCells(rect, top, bottom, side);
  for (std::size_t n = 0; n < 4; ++n) {
    if (record.bitmaps[n]) DrawFittedBitmap(record.bitmaps[n], dc, cells[n], PixelAspect());
  }
  return 1;
}

int CVideoPage::DrawFileText(int sourceId, int fileIndex, const plat::RECT& text, plat::HDC dc,
                             plat::COLORREF colour) {
  const std::vector<std::string>& list = StateList();
  if (sourceId != 0 || fileIndex < 0 || fileIndex >= static_cast<int>(list.size())) return 0;
  const std::string title = video_lists::GetFileTitleOfPath(list[static_cast<std::size_t>(fileIndex)]);
  DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, title, ALIGN_CENTER, colour,
                          SKIN_FIT_ELLIPSIS);
  return 1;
}

int CVideoPage::OnFileActivated(int sourceId, int fileIndex) {
  CVideoConfig* video = Video();
  if (!video || sourceId != 0) return 1;
  switch (video->m_nView) {
    case VIDEO_VIEW_FOLDER:
      video->m_nFolderIndex = fileIndex;
      OnAction("Video Play");
      break;
    case VIDEO_VIEW_RECENT:
      video->m_nRecentIndex = fileIndex;
      OnAction("Video Play");
      break;
    case VIDEO_VIEW_BURN:
      if (fileIndex >= 0 && fileIndex < static_cast<int>(video->m_folderFiles.size()))
        video_lists::ToggleSelectedVideo(video->m_selectedFiles, video->m_folderFiles[fileIndex]);
      break;
    case VIDEO_VIEW_BROWSE:
      video->m_nFolderIndex = fileIndex;
      if (video->m_bArchivePlay == 1) {
        OnAction("Video Play");
      } else if (fileIndex >= 0 && fileIndex < static_cast<int>(video->m_folderFiles.size())) {
        video_lists::ToggleSelectedVideo(video->m_selectedFiles, video->m_folderFiles[fileIndex]);
        CSkinPage::Redraw(0);
      }
      break;
    default:
      break;
  }
  return 1;
}

// ---- IModulePage ----

int CVideoPage::Destroy() {
  StopThumbnails();
  return 0;
}

void CVideoPage::StopThumbnails() {
  if (m_worker) m_worker->Stop();
}

int CVideoPage::OnTimer(plat::UINT_PTR id) {
  CVideoConfig* video = Video();
  if (!video) return 0;
  if (id == kVideoCursorTimer) {
    // A bar under the pointer stays; it is asked again at the next tick.
    if (Frame().IsCursorOverBars()) return 0;
    plat::KillTimer(Owner(), kVideoCursorTimer);
    Frame().Services().HideCursor();
    Frame().Services().SetCaptionBarVisible(0, 1);
    Frame().Services().SetPlaybackBarVisible(0, 1);
    return 0;
  }
  if (video->m_nSizeTimer != 0 && id == static_cast<plat::UINT_PTR>(video->m_nSizeTimer)) {
    if (--video->m_nSizeTimerCount <= 0) plat::KillTimer(Owner(), id);
    if (Host()) Host()->ExecuteAction("Video Change Video Size", 1, 0);
    return 1;
  }
  if (id == kVideoThumbnailTimer) {
    FileThumbnailResults();
    return 1;
  }
  return 0;
}

void CVideoPage::FileThumbnailResults() {
  CVideoConfig* video = Video();
  if (!video || !m_worker) return;
  if (video->m_bThumbnailsInvalid == 1) {
    m_worker->Clear();
    video->m_bThumbnailsInvalid = 0;
    Redraw(1);
    return;
  }
  const std::vector<FiledThumbnail> filed =
      FileThumbnails(m_worker->TakeDone(), StateList(), video->m_videoThumbnails, m_previews);
  if (filed.empty()) return;
  // The redraw draws from what is filed; the guard keeps it from asking for
  // the same pictures again mid-draw.
  m_drawingThumbnails = true;
  if (video->m_nView == VIDEO_VIEW_EDIT) {
    CSkinPage::Redraw(1);  // the chosen videos' grid in the highlight image
  } else {
    RefreshGridCells(filed);
  }
  // Vendor 4 previews the selected video or the highlighted folder large.
  int grid = -1;
  if (Vendor() == 4 && Layout() && Layout()->FindList(kThumbnailBrowser, grid)) {
    const int folders = m_browser.GetFolderCount();
    const int upLevel = m_browser.GetEntryCount() - folders - m_browser.GetFileCount();
    for (const FiledThumbnail& f : filed) {
      if (f.kind == 1 && f.index == video->m_nFolderIndex) DrawHighlightPreview(grid, upLevel + folders + f.index);
      if (f.kind == 0 && f.index / 9 == video->m_nHighlightedFolder) DrawHighlightPreview(grid, upLevel + f.index / 9);
    }
  }
  m_drawingThumbnails = false;
}

int CVideoPage::DrawHighlightPreview(int list, int entry) {
  (void)list;  // the entry is one of the video browser's
  CVideoConfig* video = Video();
  plat::RECT rect{};
  if (!video || !GetStillImageScreenRectByName("Video Highlight Item Image", &rect)) return 0;
  int kind = 0, index = 0;
  if (!m_browser.GetEntryByIndex(entry, kind, index)) return 0;
  if (kind == FILE_LIST_FOLDER) video->m_nHighlightedFolder = index;
  RefreshArea(true, rect, -1, [&](plat::HDC dc) {
    DrawBitmapFile(ResolveSkinPath(file_list::ApplicationFile("Layout\\Img\\Common\\display_M.BMP")), dc, rect);
    if (kind == FILE_LIST_FOLDER && index < static_cast<int>(m_previews.size())) {
      const VideoFolderPreview& record = m_previews[static_cast<std::size_t>(index)];
      for (int n = 0; n < 9; ++n) {
        if (record.bitmaps[static_cast<std::size_t>(n)])
          DrawFittedBitmap(record.bitmaps[static_cast<std::size_t>(n)], dc,
                           video_lists::HighlightGridCell(rect, n % 3, n / 3), PixelAspect());
      }
    } else if (kind == FILE_LIST_FILE) {
      const std::vector<std::string>& list = StateList();
      if (index >= 0 && index < static_cast<int>(list.size())) {
        if (plat::HBITMAP bitmap = ThumbnailOf(entry, index, list[static_cast<std::size_t>(index)]))
          DrawFittedBitmap(bitmap, dc, rect, PixelAspect());
      }
    }
  });
  return 1;
}

void CVideoPage::RefreshEntryTexts() {
  for (const char* name :
       {"Video Browser Header Text", "Video File Name", "Video File Time", "Video Browser Item Count"}) {
    plat::RECT rect{};
    if (!GetTextScreenRectByName(name, &rect)) continue;
    // The background under the text, then the texts over it.
    RefreshArea(true, rect, -1, [&](plat::HDC dc) {
      plat::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
      DrawBackground(dc);
      plat::SelectClipRgn(dc, nullptr);
    });
  }
}

int CVideoPage::HighlightListItem(int item, int list) {
  const int done = CSkinPage::HighlightListItem(item, list);
  int grid = -1, devices = -1;
  if (Layout() && ((Layout()->FindList(kThumbnailBrowser, grid) && list == grid) ||
                   (Layout()->FindList(kDeviceBrowser, devices) && list == devices)))
    RefreshEntryTexts();
  return done;
}

int CVideoPage::ShowTooltipAt(plat::POINT point) {
  // No tooltip: the texts of the entry under the pointer (it has the focus
  // by now) are shown instead.
  int list = -1;
  if (HitTestListItem(point, &list) >= 0 && Layout()) {
    int grid = -1, devices = -1;
    Layout()->FindList(kThumbnailBrowser, grid);
    Layout()->FindList(kDeviceBrowser, devices);
    if (list == grid || list == devices) RefreshEntryTexts();
  }
  return 0;
}

void CVideoPage::RefreshGridCells(const std::vector<FiledThumbnail>& filed) {
  int list = -1;
  if (!Layout() || !Layout()->FindList(kThumbnailBrowser, list)) return;
  // Display index = up-level entry (when shown), folders, then files.
  const int folders = m_browser.GetFolderCount();
  const int upLevel = m_browser.GetEntryCount() - folders - m_browser.GetFileCount();
  const int first = GridTop();
  for (const FiledThumbnail& f : filed) {
    const int entry = f.kind == 1 ? upLevel + folders + f.index : upLevel + f.index / 9;
    // Only the cells on screen are drawn; the others draw from the list
    // when their page is shown.
    if (entry >= first && entry < first + kGridCells) RefreshListItem(entry - first, list);
  }
}

// ---- CSkinPage ----

int CVideoPage::LoadLayout(const std::string& path) {
  m_deviceHighlight = -1;
  const int loaded = CSkinPage::LoadLayout(path);
  CVideoConfig* video = Video();
  Frame().Services().SetCaptionBarVisible(video && video->m_nView == VIDEO_VIEW_PLAYING ? 0 : 1, 0);
  Frame().Services().SetPlaybackBarVisible(0, 0);
  return loaded;
}

int CVideoPage::OnLeave() {
  const int left = CSkinPage::OnLeave();
  plat::KillTimer(Owner(), kVideoCursorTimer);
  return left;
}

int CVideoPage::DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) {
  const int drawn = CSkinPage::DrawListItem(item, dc, rect, list);
  const CLayoutReader* layout = Layout();
  if (!layout) return drawn;
  int thumbnails = -1;
  int devices = -1;
  layout->FindList(kThumbnailBrowser, thumbnails);
  layout->FindList(kDeviceBrowser, devices);
  const int h = rect.bottom - rect.top;
  const plat::RECT icon{rect.left + 12, rect.top + 10, rect.right - 12, rect.top + h * 168 / 220};
  const plat::RECT text{rect.left + 12, rect.top + h * 172 / 220, rect.right - 12, rect.bottom - 8};
  // Light text on the dark cells, dark text on the light plate of the
  // highlighted one.
  const CListState* state = ListState(list);
  const plat::COLORREF textColour = state && state->highlightedItem == item ? 0x2D1E14 : 0xF0E2D8;
  if (list == thumbnails && thumbnails >= 0) {
    CVideoConfig* video = Video();
    CFileListSource& source = video && video->m_nView == VIDEO_VIEW_SELECT_FOLDER ? m_folderBrowser : m_browser;
    FileListDrawRecord record;
    int index = 0;
    if (!ElementIndex().RowToItem(thumbnails, item, &index)) return drawn;  // a cell past the entries
    record.index = index;
    record.icon = icon;
    record.text = text;
    record.dc = dc;
    record.textColour = textColour;
    source.DrawEntry(record);
    return 1;
  }
  int applications = -1;
  if (Vendor() == 1 && layout->FindList("Video Application", applications) && list == applications &&
      (item == 0 || item == 1)) {
    const char* picture = item == 0 ? "Layout\\Img\\Video\\MRV.bmp" : "Layout\\Img\\Video\\QXE.bmp";
    if (plat::HBITMAP bitmap = LoadSharedBitmapFile(ResolveSkinPath(file_list::ApplicationFile(picture)))) {
      DrawFittedBitmap(bitmap, dc, icon);
      plat::DeleteObject(bitmap);
    }
    DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom,
                            UIStringOrEmpty(item == 0 ? "VIDEO_PLAY" : "VIDEO_EDIT"), ALIGN_CENTER, textColour,
                            SKIN_FIT_ELLIPSIS);
    return 1;
  }
  if (list == devices && devices >= 0) {
    if (item < 0 || item >= static_cast<int>(m_devices.size())) return drawn;
    const VideoDevice& device = m_devices[static_cast<std::size_t>(item)];
    if (plat::HBITMAP picture = LoadSharedBitmapFile(ResolveSkinPath(file_list::ApplicationFile(device.icon)))) {
      DrawFittedBitmap(picture, dc, icon);
      plat::DeleteObject(picture);
    }
    DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, device.label, ALIGN_CENTER, textColour,
                            SKIN_FIT_ELLIPSIS);
    return 1;
  }
  return drawn;
}

int CVideoPage::OnListItemAction(int list, int item) {
  const int done = CSkinPage::OnListItemAction(list, item);
  const CLayoutReader* layout = Layout();
  CVideoConfig* video = Video();
  if (!layout || !video) return done;
  int thumbnails = -1;
  int devices = -1;
  layout->FindList(kThumbnailBrowser, thumbnails);
  layout->FindList(kDeviceBrowser, devices);
  int applications = -1;
  if (Vendor() == 1 && layout->FindList("Video Application", applications) && list == applications) {
    if (item == 0) {
      if (Config() && Config()->m_bDebugNotices) plat::OutputDebugStringA("VIDEO PLAY MODE\n");
      video->m_nView = VIDEO_VIEW_DEVICES;
      ShowStatePage();
      PostRemoteMode(10);
    } else if (item == 1) {
      if (Config() && Config()->m_bDebugNotices) plat::OutputDebugStringA("VIDEO EDIT MODE\n");
      RunVideoEditor();
      Frame().Services().MinimizeFrame();
      PostRemoteMode(9);
    }
    return 1;
  }
  if (list == devices && devices >= 0 && item >= 0 && item < static_cast<int>(m_devices.size())) {
    video->m_strOpenFolderPath = file_list::CutTrailingSlashes(m_devices[static_cast<std::size_t>(item)].folder);
    if (video->m_strOpenFolderPath.empty()) video->m_strOpenFolderPath = "/";
    video->m_bOpenFolderPending = 1;
    return OnAction("Video My Videos");
  }
  if (list == thumbnails && thumbnails >= 0) {
    int index = 0;
    if (!ElementIndex().RowToItem(thumbnails, item, &index)) return done;
    if (video->m_nView == VIDEO_VIEW_SELECT_FOLDER) {
      m_folderBrowser.ActivateEntry(index);
      return 1;
    }
    int kind = 0, at = 0;
    const bool isFile = m_browser.GetEntryByIndex(index, kind, at) && kind == FILE_LIST_FILE;
    if (Vendor() == 4) {
      DrawHighlightPreview(thumbnails, index);
      if (!isFile) return 1;  // folders are only previewed
    }
    m_browser.ActivateEntry(index);
    return 1;
  }
  return done;
}

int CVideoPage::OnAction(const std::string& name) {
  if (name == "UpLevel") m_browser.GoUp();
  if (name == "Video Acquire Tamsel" && Vendor() == 2) {
    // The authoring product takes over: it is started and this program ends.
    const std::string& program = Frame().Options().videoProgramPath;
    std::string error;
    if (program.empty() || !plat::SpawnDetached({program}, &error))
      plat::OutputDebugStringA(("Authoring program not started: " + error + "\n").c_str());
    return Frame().Services().QuitApplication();
  }
  if (name == "Video Play") StopThumbnails();
  if (name == "Close") Frame().Services().QuitApplication();
  if (!Host() || !Host()->ExecuteAction(name, 0, 0)) return 0;
  // Burning videos is disc authoring: its page asks for the clips and burns them.
  if (name == "Video Burn") return Host()->ExecuteAction("Authoring Entry", 0, 0) ? 1 : 0;
  // The chosen sort shows its tag in the focused list.
  if (name == "Video Sort By Name" || name == "Video Sort By Date") CheckSortTag(name + " Tag");
  return 1;
}

void CVideoPage::CheckSortTag(const std::string& tag) {
  const CLayoutReader* layout = Layout();
  const int list = FocusedList();
  if (!layout || list < 0) return;
  for (const char* other : {"Video Sort By Name Tag", "Video Sort By Date Tag"}) {
    int j = -1;
    if (layout->FindListAction(other, j, list)) SetListActionChecked(j, other == tag ? 1 : 0, list);
  }
}

bool CVideoPage::IsPlaying() {
  CVideoConfig* video = Video();
  if (!video) return false;
  return video->m_nView == VIDEO_VIEW_PLAYING ||
         (video->m_nView == VIDEO_VIEW_CAPTURE && video->m_nLiveValue1 == 1 && video->m_nLiveValue2 == 2);
}

int CVideoPage::OnResize() {
  CShellPage::OnResize();
  if (IsPlaying()) {
    Frame().Services().SetCaptionBarVisible(0, 0);
    Frame().Services().SetPlaybackBarVisible(0, 0);
    plat::KillTimer(Owner(), kVideoCursorTimer);
  }
  if (Host()) Host()->ExecuteAction("Video Change Video Size", 0, 0);
  return 0;
}

int CVideoPage::OnMouseWheel(plat::UINT, int delta, int x, int y) {
  const CLayoutReader* layout = Layout();
  const int list = HitTestList(plat::POINT{x, y});
  if (!layout || list < 0) return 0;
  int thumbnails = -1, devices = -1;
  layout->FindList(kThumbnailBrowser, thumbnails);
  layout->FindList(kDeviceBrowser, devices);
  if (list != thumbnails && list != devices) return 0;
  // One row of cells per notch: up for a positive delta, down for a negative.
  int columns = 1, can = 0;
  ElementIndex().GetColumnCount(list, &columns);
  if (delta > 0 && ElementIndex().CanScrollUp(list, &can) && can) {
    ElementIndex().ScrollUp(list, std::max(columns, 1));
  } else if (delta < 0 && ElementIndex().CanScrollDown(list, &can) && can) {
    ElementIndex().ScrollDown(list, std::max(columns, 1));
  } else {
    return 0;
  }
  CSkinPage::Redraw(1);
  return 1;
}

int CVideoPage::OnMouseMove(int x, int y) {
  if (IsPlaying()) {
    Frame().Services().SetCaptionBarVisible(1, 0);
    Frame().Services().SetPlaybackBarVisible(1, 0);
    plat::SetTimer(Owner(), kVideoCursorTimer, 4000, nullptr);
  }
  return CShellPage::OnMouseMove(x, y);
}
