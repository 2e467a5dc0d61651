// CMusicPage: the page's events, its browsers' sink, actions, timers and
// input. Drawing is in music_page_draw.cpp.
#include "lounge/pages/music/music_page.h"

#include <algorithm>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/registry_key.h"
#include "lounge/pages/music/music_file_delete.h"
#include "lounge/pages/music/music_page_paths.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/shell/action_state_music.h"
#include "lounge/skin/page_element_index.h"
#include "platform/registry/registry.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kPanel = "Music List Panel";
constexpr const char* kControlPanel = "Music Control Panel";
constexpr const char* kPlaybackBar = "FloatingBar\\PlaybackBar\\MusicPlaybackBar";
constexpr const char* kMusicKey = "SOFTWARE\\Kestrovia\\Marivel\\Music";
constexpr const char* kMusicFilter = "|.cda|.mp3|.wma|.wav||";
constexpr const char* kFoldersOnlyFilter = "||";

plat::UINT ReadRollbackPeriod() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  plat::DWORD value = 0;
  if (key.Open(plat::HKEY_LOCAL_MACHINE, kMusicKey, true) && key.QueryDword("RollbackTimerElapse", value))
    return static_cast<plat::UINT>(value);
  return MUSIC_DEFAULT_ROLLBACK_MS;
}

MusicItem ItemOf(const FileListEntry& entry) {
  MusicItem item;
  item.strPath = entry.path;
  item.strName = entry.name;
  item.strTargetPath = entry.targetPath;
  item.strTargetName = entry.targetName;
  item.ftCreation = plat::FileTimeToTicks(entry.creationTime);
  item.ftLastWrite = plat::FileTimeToTicks(entry.lastWriteTime);
  item.bShortcut = entry.isShortcut;
  return item;
}

// The twin of a toggle button, pressed after the action succeeded so that the
// focus stays on the same place.
const char* TwinOf(const std::string& name) {
  if (name == "Music Shuffle") return "Music Shuffle Focus";
  if (name == "Music Shuffle Focus") return "Music Shuffle";
  if (name == "Music Repeat All") return "Music Repeat All Focus";
  if (name == "Music Repeat All Focus") return "Music Repeat All";
  return nullptr;
}

}  // namespace

CMusicPage::CMusicPage(IShellFrame& frame) : CShellPage(frame), m_rollbackPeriod(ReadRollbackPeriod()) {
  m_musicBrowser = std::make_unique<CFileListSource>(kMusicFilter, this, this, 0);
  m_folderBrowser = std::make_unique<CFileListSource>(kFoldersOnlyFilter, this, this, 0);
  const int vendor = frame.Options().vendorId;
  if (vendor == 1 || vendor == 4) m_musicBrowser->SetShowUpLevel(0);
}

CMusicPage::~CMusicPage() = default;

CConfig* CMusicPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }

CMusicConfig* CMusicPage::Music() const {
  CConfig* config = Config();
  return config ? config->m_pMusic.get() : nullptr;
}

int CMusicPage::VendorId() const { return Frame().Options().vendorId; }

int CMusicPage::ActiveModule() const {
  CConfig* config = Config();
  return config ? config->m_nActiveModule : MODULE_NONE;
}

int CMusicPage::MusicPageId() const {
  const CMusicConfig* music = Music();
  int page = 0;
  return music && music->PeekMusicPage(page) ? page : 0;
}

bool CMusicPage::IsBrowsingPage() const {
  const int id = MusicPageId();
  return id == MUSIC_PAGE_LIBRARY || id == MUSIC_PAGE_FOLDERS;
}

int CMusicPage::PanelList() const {
  int list = -1;
  return Layout() && Layout()->FindList(kPanel, list) ? list : -1;
}

int CMusicPage::Send(const std::string& name, long a, long b) { return Host() ? Host()->ExecuteAction(name, a, b) : 0; }

void CMusicPage::KillTimer(plat::UINT_PTR& id) {
  if (id) plat::KillTimer(Owner(), id);
  id = 0;
}

void CMusicPage::StartTimer(plat::UINT_PTR& slot, plat::UINT_PTR id, plat::UINT ms) {
  if (!Owner()) return;
  slot = plat::SetTimer(Owner(), id, ms, nullptr);
}

// ---- IMusicPageEvents ----

int CMusicPage::EnterModule() {
  if (!Frame().FrameWindow()) return 1;
  Frame().ShowCaptionBar();
  Frame().SetPlaybackBarPath(kPlaybackBar);
  Frame().SetActivePage(this);
  plat::RECT client{};
  plat::GetClientRect(Owner(), &client);
  const plat::RECT& buffer = BackBufferRect();
  if (!BackBuffer() || client.right - client.left != buffer.right - buffer.left ||
      client.bottom - client.top != buffer.bottom - buffer.top)
    CreateBackBuffer();
  if (MusicPageId() == MUSIC_PAGE_DEVICES) Redraw(1);
  return 1;
}

int CMusicPage::ShowPage() {
  const std::string path = MusicPagePath(MusicPageId(), VendorId(), ActiveModule());
  if (path.empty()) return 0;
  return LoadLayout(path);
}

int CMusicPage::ListItemCount() {
  CMusicConfig* music = Music();
  if (!music) return 0;
  const int vendor = VendorId();
  auto size = [](const auto& v) { return static_cast<int>(v.size()); };
  switch (const int id = MusicPageId()) {
    case 1: case 6:
      return size(music->m_vecCurrentList) + size(music->m_vecPlayList) +
             (m_musicBrowser->CanGoUp() && vendor != 1 && vendor != 4 ? 1 : 0);
    case 2: case 13: case 15: case 16: case 17: case 18: case 19: case 23: case 29:
      return size(music->m_vecLibraryTracks);
    case 3:
      return size(music->m_arrDeletedFiles);
    case 4:
      return vendor == 4 ? music->m_nDeviceCount : size(DeviceRows());
    case 9: return size(music->m_vecAlbums);
    case 10: return size(music->m_vecArtists);
    case 11: return size(music->m_vecGenres);
    case 12: return size(music->m_vecPlaylists);
    case 20: return std::max(0, size(music->m_arrVisualEffects));
    case 22:
      return m_folderBrowser->GetFolderCount() + m_folderBrowser->GetFileCount() + (m_folderBrowser->CanGoUp() ? 1 : 0);
    case 25: case 26:
      return size(music->m_vecRipJobs);
    default:
      (void)id;
      return 0;
  }
}

int CMusicPage::RefreshListPanel() {
  if (!Music() || PanelList() < 0) return 0;
  ElementIndex().SetItemCountByName(kPanel, ListItemCount());
  ElementIndex().SetTopIndexByName(kPanel, 0);
  return 1;
}

int CMusicPage::OnMouseActivity() {
  if (MusicPageId() != MUSIC_PAGE_VISUALIZATION_DISPLAY || !Frame().HasMouseMoved()) return 0;
  Frame().Services().SetPlaybackBarVisible(1, 0);
  Frame().Services().SetCaptionBarVisible(1, 0);
  for (int i = 0; i < 100 && plat::ShowCursor(plat::TRUE) < 0; ++i) {
  }
  plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_ARROW));
  KillTimer(m_cursorTimer);
  StartTimer(m_cursorTimer, MUSIC_CURSOR_TIMER, 4000);
  return 1;
}

int CMusicPage::GetDisplayWindow(plat::HWND* window, plat::RECT* rect) {
  const plat::HWND frame = Frame().FrameWindow();
  if (window) *window = frame;
  if (rect) plat::GetClientRect(frame, rect);
  return frame ? 1 : 0;
}

int CMusicPage::Redraw(int flag) {
  const int result = CSkinPage::Redraw(flag);
  // The control panel's play button follows the play state.
  const CMusicConfig* music = Music();
  const int list = FocusedList();
  int kind = 0, index = 0;
  std::string name;
  if (music && Layout() && SplitEntry(list, FocusedEntry(), &kind, &index) &&
      Layout()->GetListActionName(name, index, list) &&
      (name == "Music Play On Control Panel" || name == "Music Play On Control Panel Focus")) {
    const char* shown = music->m_nMusicState == MUSIC_STOPPED ? "Music Play On Control Panel"
                                                               : "Music Play On Control Panel Focus";
    if (name != shown) PressListActionByName(shown, kControlPanel);
  }
  return result;
}

int CMusicPage::FindPlayingItem() const {
  const CMusicConfig* music = Music();
  if (!music || music->m_wstrMediaUrl.empty()) return -1;
  for (std::size_t i = 0; i < music->m_vecLibraryTracks.size(); ++i)
    if (music->m_vecLibraryTracks[i].strTexts[CMusicConfig::kTrackUrlText] == music->m_wstrMediaUrl)
      return static_cast<int>(i);
  return -1;
}

int CMusicPage::ShowListPanelItem() {
  CMusicConfig* music = Music();
  const int list = PanelList();
  const int found = FindPlayingItem();
  if (!music || list < 0 || found < 0) return 0;
  music->m_nCurrentItem = found;
  int row = found;
  if (MusicPageId() == MUSIC_PAGE_FOLDERS) {
    if (music->m_bBrowserCanGoUp && VendorId() != 1 && VendorId() != 4) ++row;
    row += static_cast<int>(music->m_vecCurrentList.size());
  }
  ElementIndex().EnsureVisible(list, row);
  int top = 0;
  ElementIndex().GetTopIndex(list, &top);
  if (FocusedList() == list && row - top >= 0) SetFocus(list, EntryOf(list, 0, row - top));
  Redraw(1);
  return 1;
}

int CMusicPage::OpenBrowserFolder() {
  CMusicConfig* music = Music();
  CConfig* config = Config();
  if (!music || !config) return 0;
  switch (MusicPageId()) {
    case MUSIC_PAGE_FOLDERS:
      m_musicBrowser->SetRootFolder(music->m_strCurrentDrive);
      return m_musicBrowser->OpenFolder(music->m_strBrowseFolder);
    case MUSIC_PAGE_FOLDER_SELECTOR:
      m_folderBrowser->SetRootFolder(std::string());
      return m_folderBrowser->OpenFolder(music->m_strDefaultFolder);
    default:
      return 0;
  }
}

int CMusicPage::SortBrowser() {
  const CMusicConfig* music = Music();
  if (!music) return 1;
  if (music->m_nSortMode == 1) m_musicBrowser->SortByName();
  if (music->m_nSortMode == 2) m_musicBrowser->SortByTime();
  return 1;
}

int CMusicPage::GetBrowserFolder(std::string* folder, int filesRequired) {
  const std::string& current = m_folderBrowser->GetCurrentFolder();
  if (current.empty()) return 0;
  if (filesRequired) {
    // The folder browser lists folders only: look for a music file in it.
    std::vector<std::string> files;
    CollectFilesRecursive(current, kMusicFilter, files, 0);
    if (files.empty()) return 0;
  }
  if (folder) *folder = current;
  return 1;
}

int CMusicPage::InvalidateFrame() {
  return plat::InvalidateRect(Frame().FrameWindow(), nullptr, plat::TRUE) ? 1 : 0;
}

int CMusicPage::PressListActionByName(const char* action, const char* list) {
  if (!action || !list || !Layout()) return 0;
  int l = -1, a = -1;
  if (!Layout()->FindList(list, l) || !Layout()->FindListAction(action, a, l)) return 0;
  if (HighlightListAction(a, l)) return 1;
  // The entry may have been hidden by states the last action changed.
  CSkinPage::Redraw(0);
  return HighlightListAction(a, l);
}

// ---- IFileBrowserSink ----

int CMusicPage::OnListReset(int) {
  CMusicConfig* music = Music();
  if (!music || !IsBrowsingPage()) return 0;
  music->m_vecCurrentList.clear();
  music->m_vecPlayList.clear();
  music->m_arrDeletedFiles.clear();
  const int vendor = VendorId();
  if (music->m_nMusicState != MUSIC_STOPPED && vendor != 2 && vendor != 3) OnAction("Music Stop");
  return 1;
}

int CMusicPage::OnFolderAdded(int, const FileListEntry& entry) {
  CMusicConfig* music = Music();
  if (!music || !IsBrowsingPage()) return 0;
  music->m_vecCurrentList.push_back(ItemOf(entry));
  return 1;
}

int CMusicPage::OnFileAdded(int, const FileListEntry& entry) {
  CMusicConfig* music = Music();
  if (!music || !IsBrowsingPage()) return 0;
  music->m_vecPlayList.push_back(ItemOf(entry));
  return 1;
}

int CMusicPage::OnFolderChanged(int, int entryCount, int listTop) {
  CMusicConfig* music = Music();
  if (!music) return 0;
  if (IsBrowsingPage()) {
    music->m_bBrowserCanGoUp = m_musicBrowser->CanGoUp() ? 1 : 0;
    music->m_strBrowseFolder = m_musicBrowser->GetCurrentFolder();
    ElementIndex().SetItemCountByName(kPanel, entryCount);
    ElementIndex().SetTopIndexByName(kPanel, listTop);
    OnAction("Music_Filebrowsing_Complete");
    return 1;
  }
  if (MusicPageId() == MUSIC_PAGE_FOLDER_SELECTOR) {
    ElementIndex().SetItemCountByName(kPanel, entryCount);
    ElementIndex().SetTopIndexByName(kPanel, listTop);
    return 1;
  }
  return 0;
}

int CMusicPage::GetUpLevelIcon(int, std::string& path) {
  path.clear();
  if (VendorId() != 2) return 0;
  path = "Layout\\Img\\Common\\sub-files-music-up.bmp";
  return 1;
}

int CMusicPage::OnFileActivated(int, int fileIndex) {
  Send("Music ClickList", fileIndex, 0);
  if (CMusicConfig* music = Music()) music->m_nCurrentItem = fileIndex;
  return 1;
}

int CMusicPage::GetListTop(int, int& top) { return ElementIndex().GetTopIndexByName(kPanel, &top); }

int CMusicPage::SetListTop(int, int row) { return ElementIndex().SetTopIndexByName(kPanel, row); }

int CMusicPage::OnSelectionChanged(int, int displayIndex) {
  const int list = PanelList();
  if (list < 0) return 0;
  int row = 0;
  if (ElementIndex().ItemToRow(list, displayIndex, &row) && row >= 0) {
    HighlightListItem(row, list);
  } else {
    SetFocus(list, -1);
  }
  return 1;
}

// ---- actions ----

void CMusicPage::SwapTwinButton(const std::string& name) {
  const char* twin = TwinOf(name);
  if (!twin || !Layout()) return;
  std::string list;
  if (FocusedList() >= 0 && Layout()->GetListName(list, FocusedList())) PressListActionByName(twin, list.c_str());
}

int CMusicPage::OnAction(const std::string& name) {
  CMusicConfig* music = Music();
  if (name == "UpOneLevel") return m_musicBrowser->GoUp();
  if (name == "Music Delete Files") {
    if (music) {
      DeleteChosenMusicPaths(music->m_arrDeletedFiles);
      music->m_bFilesDeleted = 1;
    }
    return Send("Music Back", 0, 0);
  }
  if (name == "Music Play" && music && music->m_nMusicState == MUSIC_STOPPED) {
    // A focused row other than the current item is played instead.
    const int list = PanelList();
    int kind = 0, slot = 0, item = -1;
    if (list >= 0 && FocusedList() == list && SplitEntry(list, FocusedEntry(), &kind, &slot) && kind == ENTRY_ITEM &&
        ElementIndex().RowToItem(list, slot, &item) && item >= 0 && item != music->m_nCurrentItem)
      return Send("Music ClickList", item, 0);
  }
  if (name == "Close") Frame().Services().QuitApplication();
  const int result = Send(name, 0, 0);
  const bool ok = result >= 0;
  const int id = MusicPageId();
  if (VendorId() == 0 && (id == 10 || id == 12) && music) {
    const int list = PanelList();
    if (list >= 0) {
      ElementIndex().EnsureVisible(list, music->m_nRememberedItem);
      int row = 0;
      if (ElementIndex().ItemToRow(list, music->m_nRememberedItem, &row) && row >= 0) OnListItemAction(list, row);
    }
  }
  if (name == "Music Stop") PressListActionByName("Music Play On Control Panel Focus", kControlPanel);
  if (VendorId() == 2 && name == "Music stop Media Search" && Layout() && FocusedList() >= 0) {
    std::string list;
    std::string action;
    if (Layout()->GetListName(list, FocusedList()) && Layout()->GetListActionName(action, 1, FocusedList()))
      PressListActionByName(action.c_str(), list.c_str());
  }
  if (ok) SwapTwinButton(name);
  return ok ? 1 : 0;
}

int CMusicPage::OnListItemAction(int list, int item) {
  CSkinPage::OnListItemAction(list, item);
  CMusicConfig* music = Music();
  if (!music || list != PanelList()) return 0;
  int row = -1;
  if (!ElementIndex().RowToItem(list, item, &row) || row < 0) return 0;
  switch (const int id = MusicPageId()) {
    case 6:
      music->m_nCurrentItem = -1;
      m_musicBrowser->ActivateEntry(row);
      return 1;
    case 13: case 15: case 16: case 18: case 19:
      music->m_nCurrentItem = row;
      break;
    case 9: case 10: case 11: case 12:
      music->PushMusicListPosition(id, list, row);
      music->m_nCurrentItem = -1;
      break;
    case 20:
      if (row >= static_cast<int>(music->m_arrVisualEffects.size())) return 0;
      music->m_arrVisualEffects[static_cast<std::size_t>(row)].bSelected ^= 1;
      Frame().Services().NotifyPlaybackBar(0);
      break;
    case 22:
      music->m_nCurrentItem = row;
      m_folderBrowser->ActivateEntry(row);
      break;
    case 23:
      if (row >= static_cast<int>(music->m_vecLibraryTracks.size())) return 0;
      music->m_vecLibraryTracks[static_cast<std::size_t>(row)].bChecked ^= 1;
      break;
    default:
      break;
  }
  Send("Music ClickList", row, 0);
  return 1;
}

// ---- timers and input ----

void CMusicPage::RestartRollbackTimer() {
  CMusicConfig* music = Music();
  KillTimer(m_rollbackTimer);
  if (!music || music->m_nMusicState == MUSIC_STOPPED) return;
  const int found = FindPlayingItem();
  if (found < 0) return;
  music->m_nCurrentItem = found;
  StartTimer(m_rollbackTimer, MUSIC_ROLLBACK_TIMER, m_rollbackPeriod);
}

int CMusicPage::OnTimer(plat::UINT_PTR id) {
  switch (id) {
    case MUSIC_ROLLBACK_TIMER:
      KillTimer(m_rollbackTimer);
      return ShowListPanelItem();
    case MUSIC_ALBUM_ART_TIMER:
      KillTimer(m_albumArtTimer);
      DrawAlbumArt();
      return 1;
    case MUSIC_CURSOR_TIMER: {
      KillTimer(m_cursorTimer);
      plat::POINT point{};
      plat::GetCursorPos(&point);
      plat::ScreenToClient(Owner(), &point);
      plat::RECT client{};
      plat::GetClientRect(Owner(), &client);
      if (point.x < client.left || point.x >= client.right || point.y < client.top || point.y >= client.bottom) return 1;
      Frame().Services().HideCursor();
      if (MusicPageId() == MUSIC_PAGE_VISUALIZATION_DISPLAY) {
        Frame().Services().SetCaptionBarVisible(0, 0);
        Frame().Services().SetPlaybackBarVisible(0, 0);
      }
      return 1;
    }
    default:
      return 0;
  }
}

int CMusicPage::OnResize() {
  CShellPage::OnResize();
  if (MusicPageId() == MUSIC_PAGE_VISUALIZATION_DISPLAY) {
    Frame().Services().SetPlaybackBarVisible(0, 0);
    Frame().Services().SetCaptionBarVisible(0, 0);
  }
  KillTimer(m_cursorTimer);
  return OnAction("Music Resize");
}

bool CMusicPage::IsIgnoredRippingClick(int x, int y) {
  const int list = PanelList();
  if (MusicPageId() != MUSIC_PAGE_RIPPING || list < 0 || HitTestList(plat::POINT{x, y}) != list) return false;
  // On the ripping page only the item icons of the list take clicks.
  int hitList = -1;
  const int item = HitTestListItem(plat::POINT{x, y}, &hitList);
  plat::RECT icon{};
  return item < 0 || hitList != list || !GetListItemIconScreenRect(item, list, &icon) || x < icon.left ||
         x >= icon.right || y < icon.top || y >= icon.bottom;
}

int CMusicPage::OnButtonDown(int x, int y) {
  if (IsIgnoredRippingClick(x, y)) return 0;
  const CMusicConfig* music = Music();
  const bool playing = music && music->m_nMusicState != MUSIC_STOPPED;
  if (playing) Frame().Services().SetPlaybackBarVisible(1, 0);
  const int result = CShellPage::OnButtonDown(x, y);
  if (playing) RestartRollbackTimer();
  return result;
}

int CMusicPage::OnButtonUp(int x, int y) { return IsIgnoredRippingClick(x, y) ? 0 : CShellPage::OnButtonUp(x, y); }

int CMusicPage::OnKeyDown(plat::UINT vk, plat::UINT repeat, plat::UINT flags) {
  const int result = CShellPage::OnKeyDown(vk, repeat, flags);
  // The highlighted item's texts follow the focus the key moved.
  if (ActiveModule() == MODULE_MUSIC) OnListEntryHook();
  const CMusicConfig* music = Music();
  if (music && music->m_nMusicState != MUSIC_STOPPED) RestartRollbackTimer();
  return result;
}

int CMusicPage::FocusedPanelRow() {
  const int list = PanelList();
  int kind = 0, slot = 0, row = -1;
  if (list < 0 || FocusedList() != list) return -1;
  if (!SplitEntry(list, FocusedEntry(), &kind, &slot) || kind != ENTRY_ITEM) return -1;
  return ElementIndex().RowToItem(list, slot, &row) && row >= 0 ? row : -1;
}

int CMusicPage::OnKeyLeft(int flag) {
  if (VendorId() != 4) return CSkinPage::OnKeyLeft(flag);
  if (MusicPageId() == MUSIC_PAGE_FOLDERS) m_musicBrowser->GoUp();
  return 1;
}

int CMusicPage::OnKeyRight(int flag) {
  if (VendorId() != 4) return CSkinPage::OnKeyRight(flag);
  const int id = MusicPageId();
  if (id == MUSIC_PAGE_RIPPING) return 1;
  if (id != MUSIC_PAGE_FOLDERS) return CSkinPage::OnKeyRight(flag);
  int kind = 0, index = 0;
  const int row = FocusedPanelRow();
  if (row >= 0 && m_musicBrowser->GetEntryByIndex(row, kind, index) && kind == FILE_LIST_FOLDER)
    m_musicBrowser->EnterFolder(index);
  return 1;
}

int CMusicPage::OnKeyDown(int flag) {
  if (VendorId() == 4 && MusicPageId() == MUSIC_PAGE_RIPPING) {
    int count = 0;
    ElementIndex().GetItemCountByName(kPanel, &count);
    const int row = FocusedPanelRow();
    if (row >= 0 && row + 1 >= count) return 1;
  }
  return CSkinPage::OnKeyDown(flag);
}

int CMusicPage::PressFocusedEntry() {
  const int id = MusicPageId();
  const int row = FocusedPanelRow();
  if (VendorId() != 4 || row < 0 || (id != MUSIC_PAGE_FOLDERS && id != MUSIC_PAGE_CD_TRACKS_2))
    return CSkinPage::PressFocusedEntry();
  int kind = 0, index = 0;
  if (id == MUSIC_PAGE_FOLDERS && m_musicBrowser->GetEntryByIndex(row, kind, index)) {
    if (kind == FILE_LIST_FOLDER) return Send("Music TagFolders", index, 0);
    if (kind == FILE_LIST_FILE) return Send("Music TagFiles", index, 0);
    return CSkinPage::PressFocusedEntry();
  }
  return Send("Music TagFiles", row, 0);
}

int CMusicPage::OnMouseWheel(plat::UINT, int delta, int x, int y) {
  const int list = PanelList();
  if (list < 0 || HitTestList(plat::POINT{x, y}) != list) return 0;
  int can = 0;
  if (delta > 0 && ElementIndex().CanScrollUp(list, &can) && can) {
    ElementIndex().ScrollUp(list, 1);
  } else if (delta < 0 && ElementIndex().CanScrollDown(list, &can) && can) {
    ElementIndex().ScrollDown(list, 1);
  } else {
    return 0;
  }
  CSkinPage::Redraw(0);
  return 1;
}

int CMusicPage::LoadLayout(const std::string& path) {
  KillTimer(m_cursorTimer);
  KillTimer(m_albumArtTimer);
  // The same page loaded again (a browsed folder's list refreshed) keeps the
  // scroll position the browser gave it.
  int top = 0;
  if (path != CurrentPath() || !ElementIndex().GetTopIndexByName(kPanel, &top)) top = 0;
  const int loaded = CSkinPage::LoadLayout(path);
  // A fresh layout counts no rows, so the base put the focus past the list
  // panel. The panel is counted now and, when it has rows, the first
  // focusable list gets the focus as the base would have given it.
  if (loaded && Music() && PanelList() >= 0) {
    const int count = ListItemCount();
    ElementIndex().SetItemCountByName(kPanel, count);
    ElementIndex().SetTopIndexByName(kPanel, top > 0 && top < count ? top : 0);
    if (const int list = FirstFocusableList(); list >= 0) SetFocus(list, FirstFocusableEntry(list));
  }
  const int vendor = VendorId();
  if (vendor == 1 || vendor == 4) m_musicBrowser->SetShowUpLevel(0);
  if (ActiveModule() == MODULE_MUSIC) Frame().Services().SetCaptionBarVisible(1, 0);
  return loaded;
}

int CMusicPage::OnLeave() {
  KillTimer(m_cursorTimer);
  KillTimer(m_albumArtTimer);
  return CSkinPage::OnLeave();
}

// ---- state queries ----

int CMusicPage::QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
  if (QueryFrameButtonState(action, shown)) return 0;
  if (action == "Music Settings") {
    if (shown) *shown = ActiveModule() == MODULE_MUSIC ? 1 : 0;
    return 0;
  }
  return CShellPage::QueryButtonState(action, shown, enabled, checked);
}

int CMusicPage::QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) {
  std::string name;
  const CMusicConfig* music = Music();
  if (!Layout() || !Layout()->GetListActionName(name, action, list)) return 0;
  if (name == "pageup" || name == "pagedown") {
    int can = 0;
    if (name == "pageup") ElementIndex().CanScrollUp(list, &can);
    else ElementIndex().CanScrollDown(list, &can);
    if (shown) *shown = can;
    if (enabled) *enabled = can;
    return 0;
  }
  if (name == "Music Browse By Album" || name == "Music Browse By Artist" || name == "Music Browse By Song") {
    if (enabled) *enabled = 0;
    return 0;
  }
  if (name == "Music Settings") {
    if (shown) *shown = ActiveModule() == MODULE_MUSIC ? 1 : 0;
    return 0;
  }
  if (!music || !shown || !enabled || !checked) return 0;
  const int answer = QueryMusicActionState(*music, name, *shown, *enabled, *checked);
  if (name == "Music Rip Now" && VendorId() == 1 && music->m_nMusicState != MUSIC_STOPPED) *enabled = 0;
  return answer;
}

int CMusicPage::QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) {
  if (list != PanelList()) return 0;
  int valid = 0;
  ElementIndex().IsRowValid(list, item, &valid);
  if (shown) *shown = valid;
  const int id = MusicPageId();
  if (id == MUSIC_PAGE_DEVICES && VendorId() == 4 && (item == 2 || item == 3) && enabled) *enabled = 0;
  if (id >= 15 && id <= 19 && checked) {
    int row = -1;
    const int playing = FindPlayingItem();
    if (playing >= 0 && ElementIndex().RowToItem(list, item, &row) && row == playing) *checked = 1;
  }
  return 0;
}

int CMusicPage::QueryTextShown(const std::string& name, int* shown) {
  const bool radio = ActiveModule() == MODULE_RADIO;
  if (name == "Music TrackPage Title" && shown) *shown = radio ? 0 : 1;
  if (name == "Radio TrackPage Title" && shown) *shown = radio ? 1 : 0;
  return 0;
}

int CMusicPage::QueryStillImageShown(const std::string& name, int* shown) {
  if (name == "Music Album Border" && shown) {
    const bool radio = ActiveModule() == MODULE_RADIO;
    *shown = !radio && (VendorId() != 2 || MusicPageId() == MUSIC_PAGE_ALBUM_TRACKS) ? 1 : 0;
  }
  return 0;
}

int CMusicPage::ShowTooltip(int) { return 0; }
