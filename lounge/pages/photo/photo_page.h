// CPhotoPage: the Photo module's page. It shows the photo drive selector, the
// thumbnail browser, the background-music, acquisition and folder-select
// browsers, the full-screen display, the editing view and the slide-show
// settings. All photo state (lists, current photo, views, settings) lives in
// the configuration's Photo section, read and written in place; the page
// keeps its layout parameters and its four browsers. It is driven by the
// Photo controller through IPhotoPageEvents, and turns keys, mouse and list
// events into action names for the system.
//
// Thumbnails are made lazily: drawing an entry without one stores its
// rectangle and posts 1682 to the frame, which calls DrawArchiveItem after
// the paint; 1683 draws the highlighted photo (DrawHighlightItem).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "interfaces/page_events.h"
#include "lounge/pages/common/file_browser_sink.h"
#include "lounge/pages/common/file_list_source.h"
#include "lounge/shell/module_page.h"

class CConfig;
class CPhotoConfig;
class IUISystem;
struct PhotoRecord;
struct PhotoMusicRecord;

// The messages the page posts to the frame window.
inline constexpr plat::UINT kPhotoDrawArchiveItem = 0x692;    // wParam index, lParam 1 photo / 0 folder list
inline constexpr plat::UINT kPhotoDrawHighlightItem = 0x693;  // wParam list, lParam entry
// The cursor timer of the full-screen display.
inline constexpr plat::UINT_PTR kPhotoCursorTimer = 5;
// How often a highlighted entry waits for its thumbnail before the stand-in
// picture is drawn: the thumbnail is made only when its row is drawn.
inline constexpr int kPhotoHighlightRetries = 25;

inline constexpr const char* kPhotoFilter = "|.jpg|.jpeg|.bmp|.png|.gif||";
inline constexpr const char* kPhotoMusicFilter = "|.mp3|.wav|.wma||";

// The browsing and mosaic parameters of a vendor.
struct PhotoLayoutParams {
  int showUpLevel = 1;
  int mosaicRows = 2;
  int mosaicColumns = 2;
  int mosaicImagePercent = 90;
  int frameMarginXDivisor = 10;
  int frameMarginYDivisor = 12;
  int folderThumbWidth = 320;
};
PhotoLayoutParams PhotoLayoutFor(int vendor);

// The mosaic area inside a folder frame picture of W x H.
plat::RECT PhotoMosaicArea(int vendor, int width, int height, int xDivisor, int yDivisor);

// One entry of the drive selector.
struct PhotoDriveEntry {
  int kind = 0;       // 0 optical, 1 removable, 2 device, 3 browse folder, 4 hard disk, 5 network
  int index = 0;      // within its kind
  std::string text;
  std::string icon;   // relative to the application folder
};

class CPhotoPage : public CShellPage, public IPhotoPageEvents, public IFileBrowserSink {
 public:
  explicit CPhotoPage(IShellFrame& frame);
  ~CPhotoPage() override;

  // ---- IPhotoPageEvents ----
  int ShowPage(const char* path) override;
  int ReloadPage() override;
  int PopHistory(int count) override;
  int ClearHistory() override;
  int EnterModule(const char* path) override;
  int NoOperation() override { return 1; }
  int Redraw(int flag) override;
  int OpenPhotoFolder(const char* folder, const char* root) override;
  int OpenMusicFolder(const char* folder) override;
  int ResetAcquireBrowser() override;
  int LoadPhotoFileList(const std::vector<std::string>& files) override;
  int OpenFolderSelectFolder(const char* folder, const char* root) override;
  int RefreshBrowserList(int source, int resetTop) override;
  int AddBrowserFile(const char* path, int source) override;
  int GetBrowserFolder(std::string& folder, int source, int requireFiles) override;
  int CollectFiles(const char* folder, const char* filter, std::vector<std::string>& files, int flag) override;
  int ShowAcquireProgress(int percent) override;
  plat::HWND GetDisplayWindow() override;

  // ---- IFileBrowserSink ----
  int OnListReset(int sourceId) override;
  int OnFolderAdded(int sourceId, const FileListEntry& entry) override;
  int OnFileAdded(int sourceId, const FileListEntry& entry) override;
  int OnFolderChanged(int sourceId, int entryCount, int listTop) override;
  int GetUpLevelIcon(int sourceId, std::string& path) override;
  int DrawFolderIcon(int sourceId, int folderIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int DrawFileText(int sourceId, int fileIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) override;
  int DrawFolderText(int, int, const plat::RECT&, plat::HDC, plat::COLORREF) override { return 0; }
  int DrawFileIcon(int sourceId, int fileIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int OnFileActivated(int sourceId, int fileIndex) override;
  int GetListTop(int sourceId, int& top) override;
  int SetListTop(int sourceId, int row) override;
  int ScrollListUp(int sourceId, int rows) override;
  int ScrollListDown(int sourceId, int rows) override;
  int OnSelectionChanged(int sourceId, int displayIndex) override;

  // ---- IModulePage ----
  int OnResize() override;
  int OnMouseMove(int x, int y) override;
  int OnButtonDown(int x, int y) override;
  int OnButtonUp(int x, int y) override;
  int OnKeyDown(plat::UINT vk, plat::UINT repeat, plat::UINT flags) override;
  int OnTimer(plat::UINT_PTR id) override;
  int OnMouseWheel(plat::UINT flags, int delta, int x, int y) override;
  int OnModuleExit() override;
  int Query() override { return 1; }

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) override;
  int DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) override;
  int QueryListShown(const std::string& name, int* shown) override;
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;
  int QueryListLinkState(int list, int link, int* shown, int* enabled, int* checked) override;
  int OnListItemAction(int list, int item) override;
  int PressSettingReturn();
  int OnKeyLeft(int flag) override;
  int OnKeyRight(int flag) override;
  int OnKeyUp(int flag) override;
  int OnKeyDown(int flag) override;
  int PressFocusedEntry() override;
  int OnAction(const std::string& name) override;

  // ---- the frame's messages 1682 and 1683 ----
  int DrawArchiveItem(int index, int list);
  int DrawHighlightItem(int list, int entry);

  // ---- what the page shows (also for tests) ----
  std::vector<PhotoDriveEntry> DriveEntries();
  // The text of a text element, list text or entry text the page draws
  // itself; empty when it draws none.
  std::string TextFor(const std::string& name);
  std::string ListTextFor(const std::string& name);
  // The text ShowAcquireProgress draws for a value; empty for none.
  static std::string AcquireProgressText(int percent);
  const PhotoLayoutParams& Params() const { return m_params; }
  CFileListSource& PhotoBrowser() { return m_photoBrowser; }
  CFileListSource& MusicBrowser() { return m_musicBrowser; }
  CFileListSource& AcquireBrowser() { return m_acquireBrowser; }
  CFileListSource& FolderBrowser() { return m_folderBrowser; }
  const std::string& LastAcquireText() const { return m_lastAcquireText; }

 private:
  CConfig* Config() const;
  CPhotoConfig* Photo() const;
  IUISystem* System() const;
  int Vendor() const;
  int Send(const std::string& name, long a = 0, long b = 0);
  // The browser of a source id (0, 1, 3, 4), else null.
  CFileListSource* BrowserOf(int source);
  // The list name of a source id (0-4), else empty.
  static const char* ListNameOf(int source);
  int ListIndex(const char* name) const;
  std::string ListNameAt(int list) const;
  bool IsFullScreenDisplay();
  void RestoreFocus();
  // The page that shows a view of the Photo section; empty for the slide
  // show, which plays over the page it started from.
  static std::string PagePathOfView(int view);
  int OpenDriveEntry(int index);
  void DrawEntryTexts();
  // The music record of the highlighted file of the music browser, else null.
  const PhotoMusicRecord* HighlightedMusic();
  void DrawWhiteText(const std::string& element, const std::string& text);
  // Draws the bitmap fitted into the rectangle on the window and on the back
  // buffer.
  void ShowThumbnail(plat::HBITMAP bitmap, const plat::RECT& rect);
  void DrawStandIn(plat::HDC dc, const plat::RECT& rect);
  void MakeFolderThumbnail(int index, PhotoRecord& record, int width, int height);
  void MakePhotoThumbnail(int index, PhotoRecord& record, int width, int height);
  std::string DriveText(const std::string& root, const std::string& label);
  std::string ReaderSlotText(int slot);
  std::string DateText(std::uint64_t ticks);

  PhotoLayoutParams m_params;
  CFileListSource m_photoBrowser;
  CFileListSource m_musicBrowser;
  CFileListSource m_acquireBrowser;
  CFileListSource m_folderBrowser;
  // The focus (list, entry) each page had when it was left.
  std::map<std::string, std::pair<int, int>> m_savedFocus;
  int m_photoPosition = 0;
  int m_musicPosition = 0;
  // Posts of 1683 per (list, entry) still waiting for a thumbnail.
  std::map<std::pair<int, int>, int> m_highlightWaits;
  std::string m_lastAcquireText;
  bool m_exited = false;
};
