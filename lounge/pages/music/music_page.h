// CMusicPage: the page of the Music module. It browses music folders and the
// media library, shows track lists, the transport controls, audio-CD ripping,
// burning and the media search. It decides nothing about playback: every
// press becomes an action name for the system core's Music controller, which
// keeps the music state in the configuration's Music section and calls the
// page back through IMusicPageEvents. Two file list sources (the music
// browser and the folder browser) copy what the user browses into the music
// state through the page's IFileBrowserSink.
//
// Frame timers: 5 hides the cursor (and the bars on the visualisation
// display), 303 brings the list back to the item now playing a while after
// the last input, 304 draws the album art once the texts are drawn.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "interfaces/page_events.h"
#include "lounge/pages/common/file_browser_sink.h"
#include "lounge/pages/common/file_list_source.h"
#include "lounge/pages/music/music_device_rows.h"
#include "lounge/shell/module_page.h"

class CConfig;
class CMusicConfig;

inline constexpr plat::UINT_PTR MUSIC_CURSOR_TIMER = 5;
inline constexpr plat::UINT_PTR MUSIC_ROLLBACK_TIMER = 303;
inline constexpr plat::UINT_PTR MUSIC_ALBUM_ART_TIMER = 304;
inline constexpr plat::UINT MUSIC_DEFAULT_ROLLBACK_MS = 5000;

class CMusicPage : public CShellPage, public IMusicPageEvents, public IFileBrowserSink {
 public:
  explicit CMusicPage(IShellFrame& frame);
  ~CMusicPage() override;

  // ---- IMusicPageEvents ----
  int EnterModule() override;
  int ShowPage() override;
  int RefreshListPanel() override;
  int OnMouseActivity() override;
  int GetDisplayWindow(plat::HWND* window, plat::RECT* rect) override;
  int Redraw(int flag) override;  // also the skin page's redraw
  int ShowListPanelItem() override;
  int OpenBrowserFolder() override;
  int SortBrowser() override;
  int GetBrowserFolder(std::string* folder, int filesRequired) override;
  int InvalidateFrame() override;
  int DrawCurrentTime(double seconds) override;
  int PressListActionByName(const char* action, const char* list) override;

  // ---- IFileBrowserSink ----
  int OnListReset(int sourceId) override;
  int OnFolderAdded(int sourceId, const FileListEntry& entry) override;
  int OnFileAdded(int sourceId, const FileListEntry& entry) override;
  int OnFolderChanged(int sourceId, int entryCount, int listTop) override;
  int GetUpLevelIcon(int sourceId, std::string& path) override;
  int DrawFolderIcon(int sourceId, int folderIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int DrawFileText(int sourceId, int fileIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) override;
  int DrawFolderText(int sourceId, int folderIndex, const plat::RECT& text, plat::HDC dc,
                     plat::COLORREF colour) override;
  int DrawFileIcon(int sourceId, int fileIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int OnFileActivated(int sourceId, int fileIndex) override;
  int GetListTop(int sourceId, int& top) override;
  int SetListTop(int sourceId, int row) override;
  int OnSelectionChanged(int sourceId, int displayIndex) override;

  // ---- IModulePage ----
  int OnResize() override;
  int OnButtonDown(int x, int y) override;
  int OnButtonUp(int x, int y) override;
  int OnKeyDown(plat::UINT vk, plat::UINT repeat, plat::UINT flags) override;
  int OnTimer(plat::UINT_PTR id) override;
  int OnMouseWheel(plat::UINT flags, int delta, int x, int y) override;

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;
  int OnAction(const std::string& name) override;
  int OnListItemAction(int list, int item) override;
  int DrawTexts(plat::HDC dc) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  // "Music Album Cover" shows the picture of the music state's album-art path
  // when it can be read; otherwise the skin's own picture.
  int DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) override;
  // The settings' value texts sit in a list: drawn with the value they name.
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int DrawListItemText(int list, int item, plat::HDC dc, plat::COLORREF colour, int state) override;
  int UpdateListIndexText(int list, int row) override;
  int OnListEntryHook() override;
  // Vendor 4: Left and Right walk the folders of the folder page, a press
  // tags folders and files, Down stops at the last ripping entry.
  int OnKeyLeft(int flag) override;
  int OnKeyRight(int flag) override;
  int OnKeyDown(int flag) override;
  int PressFocusedEntry() override;
  int ShowTooltip(int button) override;
  int QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) override;
  int QueryTextShown(const std::string& name, int* shown) override;
  int QueryStillImageShown(const std::string& name, int* shown) override;
  int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) override;
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;

  // ---- what the page shows and keeps (also for tests) ----
  // The current music page id (the newest entry of the page history), 0 none.
  int MusicPageId() const;
  // The item count "Music List Panel" gets on the current page.
  int ListItemCount();
  // The text a text element shows, or empty when the skin draws it.
  std::string TextFor(const std::string& name);
  // The name shown for the focused row ("Music Highlight Item Name").
  const std::string& HighlightName() const { return m_highlightName; }
  std::vector<MusicDeviceRow> DeviceRows();
  plat::UINT RollbackPeriod() const { return m_rollbackPeriod; }
  plat::UINT_PTR RollbackTimer() const { return m_rollbackTimer; }
  CFileListSource& MusicBrowser() { return *m_musicBrowser; }
  CFileListSource& FolderBrowser() { return *m_folderBrowser; }

 private:
  CConfig* Config() const;
  CMusicConfig* Music() const;
  int VendorId() const;
  int ActiveModule() const;
  bool IsBrowsingPage() const;
  int PanelList() const;  // the index of "Music List Panel", -1 none
  int Send(const std::string& name, long a, long b);
  // The track-list index of the item now playing, -1 none.
  int FindPlayingItem() const;
  void RestartRollbackTimer();
  void KillTimer(plat::UINT_PTR& id);
  void StartTimer(plat::UINT_PTR& slot, plat::UINT_PTR id, plat::UINT ms);
  // Refreshes the highlighted item's name and texts for the focused row.
  void UpdateHighlight();
  // Draws the album art of the music state straight into the frame window.
  void DrawAlbumArt();
  // Draws one row of "Music List Panel" (data item `row`) into the rects of
  // slot `slot`.
  void DrawPanelRow(int slot, int row, plat::HDC dc, plat::COLORREF colour, int state);
  // The rectangle of list text `name` of the panel moved into slot `slot`.
  bool PanelTextRect(const std::string& name, int slot, plat::RECT* rect);
  void DrawRowIcon(const std::string& skinFile, plat::HDC dc, const plat::RECT& rect);
  void SwapTwinButton(const std::string& name);
  // A click on the ripping page's list away from an item icon.
  bool IsIgnoredRippingClick(int x, int y);
  // The data row of the focused "Music List Panel" entry, -1 none.
  int FocusedPanelRow();

  plat::UINT_PTR m_cursorTimer = 0;
  plat::UINT_PTR m_rollbackTimer = 0;
  plat::UINT_PTR m_albumArtTimer = 0;
  // The album picture scaled to the cover, kept while path, size and file
  // time stay the same: a repaint decodes nothing.
  BitmapPtr m_albumArt;
  std::string m_albumArtKey;
  plat::UINT m_rollbackPeriod = MUSIC_DEFAULT_ROLLBACK_MS;
  std::string m_highlightName;
  std::unique_ptr<CFileListSource> m_musicBrowser;
  std::unique_ptr<CFileListSource> m_folderBrowser;
};
