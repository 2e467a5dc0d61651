// CPhotoPage: the controller's events, the browsers' sink, actions, keys and
// mouse. Drawing is in photo_page_draw.cpp, texts in photo_page_texts.cpp,
// the drive selector in photo_drive_list.cpp.
#include "lounge/pages/photo/photo_page.h"

#include <algorithm>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/shell/action_state_photo.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/skin_text.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/page_element_index.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/spawn.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kThumbnailBrowser = "Photo Thumbnail Browser";
constexpr const char* kMusicBrowser = "Photo BG Music Browser";
constexpr const char* kDriveSelector = "Photo Multi Drive Selector";
constexpr const char* kAcquireBrowser = "Photo Acquire Image Browser";
constexpr const char* kFolderSelectBrowser = "Photo Folder Select Browser";
constexpr const char* kDriveSelectorPath = "Photo\\PhotoDriveSelector";
constexpr const char* kPlaybackBarPath = "FloatingBar\\PlaybackBar\\PhotoPlaybackBar";

// Views of the Photo section that the page tests.
constexpr int kViewBrowser = 0;
constexpr int kViewSlideShow = 1;
constexpr int kViewFullScreen = 2;
constexpr int kViewEditBrowser = 3;
constexpr int kViewAcquire = 5;
constexpr int kViewBurnBrowser = 17;
constexpr int kViewDriveSelector = 20;
constexpr int kViewMultiEdit = 32;
// The hand-over views of the record and burning hubs: the user marks the
// pictures to copy or burn there.
constexpr int kViewRecordFolder = 30;
constexpr int kViewRecordBrowse = 31;

bool IsHandOverView(int state) { return state == kViewRecordFolder || state == kViewRecordBrowse; }

PhotoRecord RecordOf(const FileListEntry& entry) {
  PhotoRecord record;
  record.strPath = entry.path;
  record.strName = entry.name;
  record.strTargetPath = entry.targetPath;
  record.strTargetName = entry.targetName;
  record.ftCreation = plat::FileTimeToTicks(entry.creationTime);
  record.ftLastWrite = plat::FileTimeToTicks(entry.lastWriteTime);
  record.bShortcut = entry.isShortcut;
  return record;
}

template <class Record>
bool InList(const std::vector<Record>& list, int index) {
  return index >= 0 && index < static_cast<int>(list.size());
}

}  // namespace

PhotoLayoutParams PhotoLayoutFor(int vendor) {
  PhotoLayoutParams p;
  switch (vendor) {
    case 1:
      p.showUpLevel = 0;
      p.frameMarginXDivisor = 8;
      p.frameMarginYDivisor = 5;
      break;
    case 2:
      p.frameMarginXDivisor = 15;
      p.frameMarginYDivisor = 15;
      break;
    case 4:
      p.showUpLevel = 0;
      p.mosaicRows = 3;
      p.mosaicColumns = 3;
      p.frameMarginXDivisor = 50;
      p.frameMarginYDivisor = 30;
      p.folderThumbWidth = 800;
      break;
    default:
      break;
  }
  return p;
}

plat::RECT PhotoMosaicArea(int vendor, int w, int h, int x, int y) {
  if (x <= 0 || y <= 0) return plat::RECT{0, 0, w, h};
  if (vendor == 4) return plat::RECT{w / x, h / y, w - w / x, h - h / y};
  if (vendor == 2) return plat::RECT{(w / x) * 2, h / y, w - w / x, h - h / y};
  return plat::RECT{w / x, (h / y) * 3, w - w / x, h - h / y};
}

CPhotoPage::CPhotoPage(IShellFrame& frame)
    : CShellPage(frame),
      m_params(PhotoLayoutFor(frame.Options().vendorId)),
      m_photoBrowser(kPhotoFilter, this, this, 0),
      m_musicBrowser(kPhotoMusicFilter, this, this, 1),
      m_acquireBrowser(kPhotoFilter, this, this, 3),
      m_folderBrowser("||", this, this, 4) {
  for (CFileListSource* browser : {&m_photoBrowser, &m_musicBrowser, &m_acquireBrowser, &m_folderBrowser})
    browser->SetShowUpLevel(m_params.showUpLevel);
}

CPhotoPage::~CPhotoPage() = default;

CConfig* CPhotoPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }
CPhotoConfig* CPhotoPage::Photo() const {
  CConfig* config = Config();
  return config ? config->m_pPhoto.get() : nullptr;
}
IUISystem* CPhotoPage::System() const { return Frame().UISystem(); }
int CPhotoPage::Vendor() const { return Frame().Options().vendorId; }
int CPhotoPage::Send(const std::string& name, long a, long b) {
  return Host() ? Host()->ExecuteAction(name, a, b) : 0;
}

CFileListSource* CPhotoPage::BrowserOf(int source) {
  switch (source) {
    case 0: return &m_photoBrowser;
    case 1: return &m_musicBrowser;
    case 3: return &m_acquireBrowser;
    case 4: return &m_folderBrowser;
    default: return nullptr;
  }
}

const char* CPhotoPage::ListNameOf(int source) {
  static const char* const kNames[] = {kThumbnailBrowser, kMusicBrowser, kDriveSelector, kAcquireBrowser,
                                       kFolderSelectBrowser};
  return source >= 0 && source < 5 ? kNames[source] : "";
}

int CPhotoPage::ListIndex(const char* name) const {
  int list = -1;
  return Layout() && Layout()->FindList(name, list) ? list : -1;
}

std::string CPhotoPage::ListNameAt(int list) const {
  std::string name;
  if (!Layout() || !Layout()->GetListName(name, list)) name.clear();
  return name;
}

bool CPhotoPage::IsFullScreenDisplay() {
  const CPhotoConfig* photo = Photo();
  if (!photo) return false;
  return photo->m_nFullScreen != 0 || (Vendor() == 1 && photo->m_nPhotoState == kViewFullScreen);
}

// ---- IPhotoPageEvents ----

int CPhotoPage::ShowPage(const char* path) { return path ? LoadLayout(path) : 0; }

int CPhotoPage::LoadLayout(const std::string& path) {
  if (CPhotoConfig* photo = Photo()) {
    // The highlighted photo: the focused file entry of the thumbnail list.
    int highlighted = 0;
    const int list = FocusedList();
    int kind = 0, slot = 0, item = 0, entryKind = 0, index = 0;
    if (list >= 0 && list == ListIndex(kThumbnailBrowser) && SplitEntry(list, FocusedEntry(), &kind, &slot) &&
        kind == ENTRY_ITEM && ElementIndex().RowToItem(list, slot, &item) &&
        m_photoBrowser.GetEntryByIndex(item, entryKind, index) && entryKind == FILE_LIST_FILE)
      highlighted = index;
    photo->m_nHighlightedPhoto = highlighted;
  }
  int top = 0;
  if (ElementIndex().GetTopIndexByName(kThumbnailBrowser, &top)) m_photoBrowser.SetPosition(top);
  m_highlightWaits.clear();
  const int loaded = CSkinPage::LoadLayout(path);
  if (loaded && path == kDriveSelectorPath) {
    const int list = ListIndex("Photo Multi Drive Select List");
    int link = -1;
    // The archive link is pressed: marked, and its action sent, so the
    // controller browses the archive from here.
    if (list >= 0 && Layout()->FindListLink("Photo Archive", link, list)) {
      SetListLinkChecked(link, 1, list);
      OnAction("Photo Archive");
    }
  }
  return loaded;
}

std::string CPhotoPage::PagePathOfView(int view) {
  switch (view) {
    case 0: case 3: case 17: case 23: case 24: case 25: case 26: case 27: case 28: case 29:
      return "Photo\\PhotoBrowser";
    case 2: return "Photo\\PhotoFullScreenDisplay";
    case 4: return "Photo\\PhotoEditingView";
    case 5: return "Photo\\PhotoImageAcquisitionBrowser";
    case 6: return "Photo\\PhotoSetting";
    case 7: return "Photo\\PhotoBGMusicBrowser";
    case 20: return kDriveSelectorPath;
    case 21: case 22: return "Photo\\PhotoFolderSelect";
    case 30: case 31: return "Photo\\PhotoRecordBrowser";
    case 32: return "Photo\\PhotoEditMultiFile";
    default: return {};
  }
}

void CPhotoPage::RestoreFocus() {
  const auto saved = m_savedFocus.find(CurrentPath());
  if (saved != m_savedFocus.end() && Layout() && saved->second.first >= 0 && saved->second.second >= 0 &&
      saved->second.first < static_cast<int>(Layout()->Lists().size()))
    SetFocus(saved->second.first, saved->second.second);
  const CPhotoConfig* photo = Photo();
  if (Vendor() == 0 && photo && photo->m_nPhotoState == kViewDriveSelector) SetFocus(0, 0);
}

int CPhotoPage::ReloadPage() {
  // The page of the view the controller went back to: the current page
  // again, or an earlier page of the history (the pages after it are
  // forgotten, as going back forgets them).
  const CPhotoConfig* photo = Photo();
  const std::string target = photo ? PagePathOfView(photo->m_nPhotoState) : std::string();
  int loaded = 0;
  if (target.empty() || target == CurrentPath()) {
    loaded = ReloadLayout();
  } else {
    const std::vector<std::string>& history = History();
    std::size_t keep = history.size();
    for (std::size_t i = history.size(); i-- > 0;) {
      if (history[i] == target) {
        keep = i;
        break;
      }
    }
    TrimPageHistory(static_cast<int>(history.size() - keep));
    const std::size_t kept = History().size();
    loaded = LoadLayout(target);
    TrimPageHistory(static_cast<int>(History().size() - kept));
  }
  RestoreFocus();
  return loaded;
}

int CPhotoPage::PopHistory(int count) {
  TrimPageHistory(count);
  return 1;
}

int CPhotoPage::ClearHistory() {
  ClearPageHistory();
  return 1;
}

int CPhotoPage::EnterModule(const char* path) {
  m_exited = false;
  const bool bars = Vendor() != 4;
  if (bars) Frame().SetPlaybackBarPath(kPlaybackBarPath);
  Frame().SetActivePage(this);
  CreateBackBuffer();
  LoadLayout(path ? path : kDriveSelectorPath);
  Redraw(0);
  if (bars) Frame().Services().NotifyPlaybackBar(1);
  return 1;
}

int CPhotoPage::Redraw(int flag) {
  if (Vendor() != 4 && Host() && Host()->HasPlaybackBar()) Frame().Services().NotifyPlaybackBar(flag);
  return CSkinPage::Redraw(flag);
}

int CPhotoPage::OpenPhotoFolder(const char* folder, const char* root) {
  m_photoBrowser.SetRootFolder(root ? root : "");
  return m_photoBrowser.OpenFolder(folder ? folder : "");
}

int CPhotoPage::OpenMusicFolder(const char* folder) {
  if (!Photo()) return 0;
  const std::string path = folder ? folder : "";
  m_musicBrowser.SetRootFolder(path);
  return m_musicBrowser.OpenFolder(path);
}

int CPhotoPage::ResetAcquireBrowser() {
  m_acquireBrowser.Clear();
  return RefreshBrowserList(3, 1);
}

int CPhotoPage::LoadPhotoFileList(const std::vector<std::string>& files) { return m_photoBrowser.LoadFileList(files); }

int CPhotoPage::OpenFolderSelectFolder(const char* folder, const char* root) {
  m_folderBrowser.SetRootFolder(root ? root : "");
  return m_folderBrowser.OpenFolder(folder ? folder : "");
}

int CPhotoPage::RefreshBrowserList(int source, int resetTop) {
  if (!Photo() || source < 0 || source > 4) return 0;
  const char* name = ListNameOf(source);
  const int count = source == 2 ? static_cast<int>(DriveEntries().size()) : BrowserOf(source)->GetEntryCount();
  ElementIndex().SetItemCountByName(name, count);
  if (source == 0 || source == 1) {
    const int top = resetTop ? 0 : BrowserOf(source)->GetPosition();
    ElementIndex().SetTopIndexByName(name, top);
  }
  // The list shows its new entries with the next paint.
  CSkinPage::Redraw(0);
  return 1;
}

int CPhotoPage::AddBrowserFile(const char* path, int source) {
  CFileListSource* browser = BrowserOf(source);
  if (!browser || !path) return 0;
  browser->AddFile(path);
  return RefreshBrowserList(source, 0);
}

int CPhotoPage::GetBrowserFolder(std::string& folder, int source, int requireFiles) {
  folder.clear();
  CFileListSource* browser = BrowserOf(source);
  if (!browser) return 0;
  if (requireFiles && browser->GetFileCount() == 0) return 0;
  folder = browser->GetCurrentFolder();
  return folder.empty() ? 0 : 1;
}

int CPhotoPage::CollectFiles(const char* folder, const char* filter, std::vector<std::string>& files, int flag) {
  if (!folder) return 0;
  return CollectFilesRecursive(folder, filter ? filter : "", files, flag);
}

std::string CPhotoPage::AcquireProgressText(int percent) {
  if (percent >= 0 && percent <= 100) return std::to_string(percent) + "  %";
  if (percent == -1) return UIStringOrEmpty("PREPARING");
  if (percent == -2) return UIStringOrEmpty("FAILED");
  return {};
}

int CPhotoPage::ShowAcquireProgress(int percent) {
  const CPhotoConfig* photo = Photo();
  if (!photo || photo->m_nPhotoState != kViewAcquire) return 0;
  m_lastAcquireText = AcquireProgressText(percent);
  plat::RECT rect;
  if (!GetTextScreenRectByName("Photo Acquiring Percentage", &rect)) return 1;
  // The old value goes with the back buffer's picture of the element.
  DrawTextAt(m_lastAcquireText, rect.left, rect.top, rect.right, rect.bottom, ALIGN_CENTER, 0xFFFFFF,
             SKIN_FIT_ELLIPSIS);
  return 1;
}

plat::HWND CPhotoPage::GetDisplayWindow() { return Owner(); }

// ---- IFileBrowserSink ----

int CPhotoPage::OnListReset(int sourceId) {
  m_highlightWaits.clear();
  if (sourceId == 0) {
    // The folder list follows the photo browser's folders: its thumbnails go
    // with it.
    if (CPhotoConfig* photo = Photo()) {
      for (PhotoRecord& record : photo->m_vecFolders) {
        if (record.hThumbnail) plat::DeleteObject(record.hThumbnail);
        record.hThumbnail = nullptr;
      }
      photo->m_vecFolders.clear();
    }
  }
  if (sourceId == 0 || sourceId == 3) return Send("Photo Kill Photo Files");
  if (sourceId == 1) return Send("Photo Kill BGMusic Files");
  return 0;
}

int CPhotoPage::OnFolderAdded(int sourceId, const FileListEntry& entry) {
  CPhotoConfig* photo = Photo();
  if (sourceId != 0 || !photo) return 0;
  PhotoRecord record = RecordOf(entry);
  record.bChecked = Vendor() == 4 ? 0 : 1;
  photo->m_vecFolders.push_back(std::move(record));
  return 1;
}

int CPhotoPage::OnFileAdded(int sourceId, const FileListEntry& entry) {
  CPhotoConfig* photo = Photo();
  if (!photo) return 0;
  if (sourceId == 0 || sourceId == 3) {
    PhotoRecord record = RecordOf(entry);
    // Pictures to hand over start unmarked: the user picks them.
    record.bChecked = IsHandOverView(photo->m_nPhotoState) ? 0
                      : Vendor() == 4                      ? (photo->m_nPhotoState == kViewMultiEdit ? 1 : 0)
                                                           : 1;
    photo->m_vecPhotos.push_back(std::move(record));
    return 1;
  }
  if (sourceId == 1) {
    photo->m_vecMusic.push_back(PhotoMusicRecord(RecordOf(entry)));
    return 1;
  }
  return 0;
}

int CPhotoPage::OnFolderChanged(int sourceId, int entryCount, int listTop) {
  CPhotoConfig* photo = Photo();
  if (!photo || sourceId < 0 || sourceId > 4) return 0;
  const char* name = ListNameOf(sourceId);
  ElementIndex().SetItemCountByName(name, entryCount);
  ElementIndex().SetTopIndexByName(name, listTop);
  if (sourceId == 0) {
    if (photo->m_nPhotoSortKind == 1) Send("Photo Sort By Name");
    else if (photo->m_nPhotoSortKind == 2) Send("Photo Sort By Date");
    photo->m_strCurrentFolder = m_photoBrowser.GetCurrentFolder();
  } else if (sourceId == 1) {
    Send("Photo Update BGMusic Explore Item");
  }
  return 1;
}

int CPhotoPage::GetUpLevelIcon(int sourceId, std::string& path) {
  if (sourceId == 1 && Vendor() == 2) {
    path = "Layout\\Img\\Common\\sub-files-music-up.bmp";
    return 1;
  }
  path.clear();
  return 0;
}

int CPhotoPage::OnFileActivated(int sourceId, int fileIndex) {
  CPhotoConfig* photo = Photo();
  if (!photo) return 0;
  if (sourceId == 1) {
    if (InList(photo->m_vecMusic, fileIndex)) {
      photo->m_nBgMusicType = 6;
      photo->m_chosenMusic = photo->m_vecMusic[static_cast<std::size_t>(fileIndex)];
      photo->m_chosenMusic.hThumbnail = nullptr;  // the list keeps its own
      photo->m_wszBgTrackPath = photo->m_chosenMusic.bShortcut && !photo->m_chosenMusic.strTargetPath.empty()
                                    ? photo->m_chosenMusic.strTargetPath
                                    : photo->m_chosenMusic.strPath;
      photo->m_wszBgTrackName = photo->m_chosenMusic.strName;
      // The chosen track's tags replace those of the one chosen before.
      photo->m_wszBgTrackAlbum = photo->m_chosenMusic.strAlbum;
      photo->m_wszBgTrackArtist = photo->m_chosenMusic.strArtist;
      photo->m_wszBgTrackGenre = photo->m_chosenMusic.strGenre;
      photo->m_wszBgTrackCollectionId = photo->m_chosenMusic.strCollectionId;
      photo->m_wszBgTrackDurationText = photo->m_chosenMusic.strDurationText;
      photo->m_dBgTrackDuration = photo->m_chosenMusic.dDuration;
    } else {
      photo->m_nBgMusicType = 0;
    }
    return Send("Photo Return");
  }
  if (sourceId != 0 || !InList(photo->m_vecPhotos, fileIndex)) return 0;
  const int state = photo->m_nPhotoState;
  if (state == kViewBurnBrowser || IsHandOverView(state)) {
    PhotoRecord& record = photo->m_vecPhotos[static_cast<std::size_t>(fileIndex)];
    record.bChecked = record.bChecked ? 0 : 1;
    Redraw(1);
    return 1;
  }
  if (state == kViewBrowser || (state >= 23 && state <= 29)) {
    photo->m_nCurrentPhoto = fileIndex;
    LoadLayout("Photo\\PhotoFullScreenDisplay");
    const int sent = Send("Photo Fullscreen");
    Frame().Services().NotifyPlaybackBar(1);
    Frame().Services().SetCaptionBarVisible(0, 0);
    return sent;
  }
  if (state == kViewEditBrowser) {
    photo->m_nCurrentPhoto = fileIndex;
    LoadLayout("Photo\\PhotoEditingView");
    return Send("Photo Edit View");
  }
  return 1;
}

int CPhotoPage::GetListTop(int sourceId, int& top) {
  if (sourceId != 0 && sourceId != 1 && sourceId != 4) return 0;
  int value = 0;
  if (!ElementIndex().GetTopIndexByName(ListNameOf(sourceId), &value)) return 0;
  top = value;
  return 1;
}

int CPhotoPage::SetListTop(int sourceId, int row) {
  if (!BrowserOf(sourceId)) return 0;
  return ElementIndex().SetTopIndexByName(ListNameOf(sourceId), row);
}

int CPhotoPage::ScrollListUp(int sourceId, int rows) {
  if (sourceId < 0 || sourceId > 4) return 0;
  ElementIndex().ScrollUpByName(ListNameOf(sourceId), rows);
  return Redraw(0);
}

int CPhotoPage::ScrollListDown(int sourceId, int rows) {
  if (sourceId < 0 || sourceId > 4) return 0;
  ElementIndex().ScrollDownByName(ListNameOf(sourceId), rows);
  return Redraw(0);
}

int CPhotoPage::OnSelectionChanged(int sourceId, int displayIndex) {
  const int list = ListIndex(ListNameOf(sourceId));
  if (list < 0 || list != FocusedList()) return 0;
  int row = -1;
  int valid = 0;
  if (ElementIndex().ItemToRow(list, displayIndex, &row) && ElementIndex().IsRowValid(list, row, &valid) && valid) {
    const int entry = EntryOf(list, ENTRY_ITEM, row);
    if (entry >= 0 && QueryEntryShownEnabled(list, entry)) {
      SetFocus(list, entry);
      return 1;
    }
  }
  // The entry is not on a usable row: the focus goes to a valid entry.
  if (!QueryEntryShownEnabled(list, FocusedEntry())) {
    const int first = FirstFocusableEntry(list);
    if (first >= 0) SetFocus(list, first);
  }
  return 0;
}

// ---- IModulePage ----

int CPhotoPage::OnResize() {
  CShellPage::OnResize();
  if (IsFullScreenDisplay()) {
    if (Vendor() != 4) {
      Frame().Services().SetCaptionBarVisible(0, 0);
      Frame().Services().SetPlaybackBarVisible(0, 0);
    }
    plat::KillTimer(Owner(), kPhotoCursorTimer);
  }
  const CPhotoConfig* photo = Photo();
  if (photo && photo->m_nPhotoState == kViewSlideShow) Send("Photo Slideshow Resize");
  return 1;
}

int CPhotoPage::OnMouseMove(int x, int y) {
  if (Vendor() == 4) return 0;
  if (IsFullScreenDisplay()) {
    Frame().Services().SetCaptionBarVisible(1, 0);
    Frame().Services().SetPlaybackBarVisible(1, 0);
    if (Owner()) plat::SetTimer(Owner(), kPhotoCursorTimer, 4000, nullptr);
  }
  const int moved = CShellPage::OnMouseMove(x, y);
  DrawEntryTexts();
  return moved;
}

int CPhotoPage::OnButtonDown(int x, int y) { return CShellPage::OnButtonDown(x, y); }

int CPhotoPage::OnButtonUp(int x, int y) {
  if (Vendor() == 4) return 0;
  const CPhotoConfig* photo = Photo();
  if (Vendor() != 1 && photo && photo->m_nPhotoState == kViewFullScreen) return Send("Photo Fullscreen");
  return CShellPage::OnButtonUp(x, y);
}

int CPhotoPage::OnKeyDown(plat::UINT vk, plat::UINT repeat, plat::UINT flags) {
  const int handled = CShellPage::OnKeyDown(vk, repeat, flags);
  DrawEntryTexts();
  return handled;
}

int CPhotoPage::OnTimer(plat::UINT_PTR id) {
  if (id != kPhotoCursorTimer) return 0;
  plat::KillTimer(Owner(), kPhotoCursorTimer);
  plat::POINT cursor{};
  plat::RECT client{};
  plat::GetCursorPos(&cursor);
  plat::ScreenToClient(Owner(), &cursor);
  plat::GetClientRect(Owner(), &client);
  const bool inside = cursor.x >= client.left && cursor.x < client.right && cursor.y >= client.top &&
                      cursor.y < client.bottom;
  if (inside && !Frame().IsCursorOverBars()) Frame().Services().HideCursor();
  // The bars slide away wherever the cursor is.
  if (Vendor() != 4) {
    Frame().Services().SetCaptionBarVisible(0, 1);
    Frame().Services().SetPlaybackBarVisible(0, 1);
  }
  return 1;
}

int CPhotoPage::OnMouseWheel(plat::UINT, int delta, int x, int y) {
  const CPhotoConfig* photo = Photo();
  if (!photo) return 0;
  const plat::POINT point{x, y};
  const auto inside = [&point](const plat::RECT& r) {
    return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
  };
  plat::RECT display{};
  const bool overDisplay =
      GetStillImageScreenRectByName("Photo DisplayWnd Image Position", &display) && inside(display);
  if (photo->m_nPhotoState == kViewFullScreen || overDisplay) {
    if (Send(delta < 0 ? "Photo NextImage" : "Photo PreviousImage")) return 1;
  }
  for (const char* name : {kThumbnailBrowser, kMusicBrowser, kDriveSelector, kFolderSelectBrowser}) {
    plat::RECT rect{};
    const int list = ListIndex(name);
    if (list < 0 || !GetListScreenRect(list, &rect) || !inside(rect)) continue;
    int can = 0;
    const int step = 1;
    if (delta < 0) {
      if (ElementIndex().CanScrollDown(list, &can) && can) ElementIndex().ScrollDown(list, step);
    } else if (ElementIndex().CanScrollUp(list, &can) && can) {
      ElementIndex().ScrollUp(list, step);
    }
    if (can) Redraw(1);
    return can;
  }
  return 0;
}

int CPhotoPage::OnModuleExit() {
  // A second exit (the Home handler after the module left) does nothing.
  if (m_exited) return 0;
  m_exited = true;
  return Send("Photo Exit");
}

// ---- CSkinPage ----

int CPhotoPage::OnLeave() {
  if (!CurrentPath().empty()) m_savedFocus[CurrentPath()] = {FocusedList(), FocusedEntry()};
  const int left = CSkinPage::OnLeave();
  if (Vendor() != 4) {
    Frame().Services().SetCaptionBarVisible(1, 0);
    Frame().Services().SetPlaybackBarVisible(0, 0);
  }
  if (Owner()) plat::KillTimer(Owner(), kPhotoCursorTimer);
  return left;
}

int CPhotoPage::QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
  if (QueryFrameButtonState(action, shown)) return 1;
  const CPhotoConfig* photo = Photo();
  if (!photo || !shown || !enabled || !checked) return 0;
  return QueryPhotoActionState(*photo, action, *shown, *enabled, *checked);
}

int CPhotoPage::QueryListShown(const std::string& name, int* shown) {
  const CPhotoConfig* photo = Photo();
  if (photo && shown && photo->m_nPhotoState == kViewMultiEdit) {
    *shown = 0;
    return 1;
  }
  (void)name;
  return 0;
}

int CPhotoPage::QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) {
  std::string name;
  if (!Layout() || !Layout()->GetListActionName(name, action, list) || !enabled) return 0;
  if (name == "UpLevel") return *enabled = m_photoBrowser.CanGoUp() ? 1 : 0, 1;
  if (name == "BG Music UpLevel") return *enabled = m_musicBrowser.CanGoUp() ? 1 : 0, 1;
  if (name == "Photo Acquire Edit App" && Vendor() == 2)
    return *enabled = Frame().Options().photoProgramPath.empty() ? 0 : 1, 1;
  const CPhotoConfig* photo = Photo();
  if (!photo || !shown || !checked) return 0;
  const int answered = QueryPhotoActionState(*photo, name, *shown, *enabled, *checked);
  // The browser in its edit mode shows its Edit entry checked.
  if (name == "Photo Edit Browser") {
    *checked = photo->m_nPhotoState == kViewEditBrowser ? 1 : 0;
    return 1;
  }
  return answered;
}

void CPhotoPage::FocusFirstPhotoToEdit() {
  // Edit is a mode of the browser: the next photo opened goes to the editing
  // view. The focus moves onto the first photo shown and the Edit entry
  // shows checked, so the person sees what Edit did and opens the photo
  // with the next press.
  const int list = ListIndex(kThumbnailBrowser);
  int count = 0;
  if (list < 0 || !ElementIndex().GetItemCount(list, &count)) return;
  for (int item = 0; item < count; ++item) {
    int kind = 0, index = 0, row = -1, valid = 0;
    if (!m_photoBrowser.GetEntryByIndex(item, kind, index) || kind != FILE_LIST_FILE) continue;
    if (ElementIndex().ItemToRow(list, item, &row) && ElementIndex().IsRowValid(list, row, &valid) && valid) {
      const int entry = EntryOf(list, ENTRY_ITEM, row);
      if (entry >= 0 && QueryEntryShownEnabled(list, entry)) SetFocus(list, entry);
    }
    break;
  }
  CSkinPage::Redraw(1);
  DrawEntryTexts();
}

int CPhotoPage::QueryListLinkState(int list, int link, int* shown, int* enabled, int* checked) {
  std::string name;
  const CPhotoConfig* photo = Photo();
  if (!photo || !Layout() || !Layout()->GetListLinkName(name, link, list) || !shown || !enabled || !checked) return 0;
  return QueryPhotoActionState(*photo, name, *shown, *enabled, *checked);
}

int CPhotoPage::OnListItemAction(int list, int item) {
  const int done = CSkinPage::OnListItemAction(list, item);
  const std::string name = ListNameAt(list);
  int data = -1;
  if (!ElementIndex().RowToItem(list, item, &data)) return done;
  if (name == kThumbnailBrowser) {
    m_photoBrowser.ActivateEntry(data);
  } else if (name == kMusicBrowser) {
    m_musicBrowser.ActivateEntry(data);
  } else if (name == kFolderSelectBrowser) {
    m_folderBrowser.ActivateEntry(data);
  } else if (name == kAcquireBrowser) {
    m_acquireBrowser.ActivateEntry(data);
  } else if (name == kDriveSelector) {
    return OpenDriveEntry(data);
  } else {
    return done;
  }
  DrawEntryTexts();
  return 1;
}

int CPhotoPage::OnKeyLeft(int flag) {
  std::string name;
  const int list = FocusedList();
  int kind = 0, index = 0;
  if (Vendor() == 1 && SplitEntry(list, FocusedEntry(), &kind, &index) && kind == ENTRY_ACTION &&
      Layout()->GetListActionName(name, index, list) &&
      (name == "Photo PictureDurationRight" || name == "Photo Transition Effect Right" ||
       name == "Photo Play BG Music Right")) {
    CSkinPage::Redraw(1);
    return PressSettingReturn();
  }
  return CSkinPage::OnKeyLeft(flag);
}

// Presses "Photo Return" of the settings list as a click would: drawn
// pressed, the click sound, then its action.
int CPhotoPage::PressSettingReturn() {
  const int list = ListIndex("Photo Setting View");
  int action = -1;
  if (list < 0 || !Layout()->FindListAction("Photo Return", action, list)) return OnAction("Photo Return");
  const std::string path = CurrentPath();
  SetListActionChecked(action, 1, list);
  const int result = PageList(list, action);
  if (CurrentPath() == path && ListIndex("Photo Setting View") == list) SetListActionChecked(action, 0, list);
  return result;
}

int CPhotoPage::OnKeyRight(int flag) {
  std::string name;
  const int list = FocusedList();
  int kind = 0, index = 0;
  if (Vendor() == 1 && SplitEntry(list, FocusedEntry(), &kind, &index) && kind == ENTRY_ACTION &&
      Layout()->GetListActionName(name, index, list) &&
      (name == "Photo PictureDurationRight" || name == "Photo Transition Effect Right" ||
       name == "Photo Play BG Music Right"))
    return OnAction(name);
  return CSkinPage::OnKeyRight(flag);
}

int CPhotoPage::OnKeyUp(int flag) {
  const int list = FocusedList();
  int kind = 0, slot = 0, can = 0;
  if (list >= 0 && list == ListIndex(kThumbnailBrowser) && SplitEntry(list, FocusedEntry(), &kind, &slot) &&
      kind == ENTRY_ITEM) {
    int columns = 1;
    ElementIndex().GetColumnCount(list, &columns);
    if (slot < std::max(1, columns) && ElementIndex().CanScrollUp(list, &can) && can) {
      ElementIndex().ScrollUp(list, std::max(1, columns));
      Redraw(1);
      return 1;
    }
  }
  return CSkinPage::OnKeyUp(flag);
}

int CPhotoPage::OnKeyDown(int flag) {
  const int list = FocusedList();
  const std::string name = ListNameAt(list);
  int kind = 0, slot = 0, can = 0, slots = 0;
  if ((name == kThumbnailBrowser || name == kMusicBrowser || name == kDriveSelector) &&
      SplitEntry(list, FocusedEntry(), &kind, &slot) && kind == ENTRY_ITEM && Layout()->GetListItemCount(slots, list)) {
    int columns = 1;
    ElementIndex().GetColumnCount(list, &columns);
    columns = std::max(1, columns);
    if (slot >= slots - columns && ElementIndex().CanScrollDown(list, &can) && can) {
      ElementIndex().ScrollDown(list, columns);
      // The focus stays on a row that holds an entry.
      int valid = 0;
      while (slot > 0 && !(ElementIndex().IsRowValid(list, slot, &valid) && valid)) --slot;
      SetFocus(list, EntryOf(list, ENTRY_ITEM, slot));
      Redraw(1);
      return 1;
    }
  }
  return CSkinPage::OnKeyDown(flag);
}

int CPhotoPage::PressFocusedEntry() {
  CPhotoConfig* photo = Photo();
  const bool handOver = photo && IsHandOverView(photo->m_nPhotoState);
  if (Vendor() == 4 || handOver) {
    // The select key on a picture toggles its mark; in the hand-over views
    // folders and the way up are still pressed as usual.
    const int list = FocusedList();
    int kind = 0, slot = 0, item = 0, entryKind = 0, index = 0;
    const bool onPicture = photo && list >= 0 && list == ListIndex(kThumbnailBrowser) &&
                           SplitEntry(list, FocusedEntry(), &kind, &slot) && kind == ENTRY_ITEM &&
                           ElementIndex().RowToItem(list, slot, &item) &&
                           m_photoBrowser.GetEntryByIndex(item, entryKind, index) && entryKind == FILE_LIST_FILE &&
                           InList(photo->m_vecPhotos, index);
    if (onPicture) {
      PhotoRecord& record = photo->m_vecPhotos[static_cast<std::size_t>(index)];
      record.bChecked = record.bChecked ? 0 : 1;
      Redraw(1);
      return 1;
    }
    if (!handOver) return 0;
    return CSkinPage::PressFocusedEntry();
  }
  if (photo && photo->m_nPhotoState == kViewFullScreen) return Send("Photo Fullscreen");
  return CSkinPage::PressFocusedEntry();
}

int CPhotoPage::OnAction(const std::string& name) {
  if (name == "UpLevel") m_photoBrowser.GoUp();
  if (name == "BG Music UpLevel") m_musicBrowser.GoUp();
  if (name == "Photo Acquire Edit App" && Vendor() == 2) {
    const std::string& editor = Frame().Options().photoProgramPath;
    std::string error;
    if (editor.empty() || !plat::SpawnDetached({editor}, &error))
      plat::OutputDebugStringA(("Photo editor not started: " + error + "\n").c_str());
    return Frame().Services().QuitApplication();
  }
  if (name == "Close") Frame().Services().QuitApplication();
  if (!Send(name)) return 0;
  if (name == "Photo Edit Browser") FocusFirstPhotoToEdit();
  if (name == "Photo Sort By Name" || name == "Photo Sort By Date") {
    const int list = FocusedList();
    int action = -1;
    const std::string pressed = name + " Pressed";
    const std::string other =
        name == "Photo Sort By Name" ? "Photo Sort By Date Pressed" : "Photo Sort By Name Pressed";
    if (list >= 0 && Layout()) {
      if (Layout()->FindListAction(pressed, action, list)) SetListActionChecked(action, 1, list);
      if (Layout()->FindListAction(other, action, list)) SetListActionChecked(action, 0, list);
    }
  }
  return 1;
}
