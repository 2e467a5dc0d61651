// The Photo controller's views and their history, browsing drives, folders
// and devices, moving through photos, sorting, deleting, and the hand-over
// to the record and burning pages.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/record_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/photo_controller.h"
#include "interfaces/chosen_files.h"
#include "interfaces/core_object.h"
#include "platform/gdi/objects.h"
#include "platform/sys/drive_table.h"

using namespace photo;
namespace fs = std::filesystem;

namespace {

bool FolderExists(const std::string& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_directory(folder, ec);
}

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

void SortPhotos(std::vector<PhotoRecord>& photos, int mode) {
  if (mode == 1) {
    std::stable_sort(photos.begin(), photos.end(),
                     [](const PhotoRecord& a, const PhotoRecord& b) { return Lower(a.strName) < Lower(b.strName); });
  } else if (mode == 2) {
    std::stable_sort(photos.begin(), photos.end(),
                     [](const PhotoRecord& a, const PhotoRecord& b) { return a.ftLastWrite < b.ftLastWrite; });
  }
}

// A configured reader root ("K:\") as the folder to browse: the volume's
// mount point, or the text itself when it names a folder.
std::optional<std::string> ReaderFolder(const std::string& root) {
  if (root.empty()) return std::nullopt;
  if (const auto volume = plat::FindVolume(root)) {
    if (volume->type == plat::DRIVE_UNKNOWN || volume->type == plat::DRIVE_NO_ROOT_DIR || volume->root.empty()) {
      return std::nullopt;
    }
    return volume->root;
  }
  const plat::UINT type = plat::GetDriveTypeA(root.c_str());
  if (type == plat::DRIVE_UNKNOWN || type == plat::DRIVE_NO_ROOT_DIR) return std::nullopt;
  return root;
}

}  // namespace

namespace photo {
// The volume holding `path`: the one whose mount point is its longest leading
// folder. None for a path outside every volume.
std::optional<plat::VolumeInfo> VolumeOf(const std::string& path) {
  std::optional<plat::VolumeInfo> best;
  for (const auto& volume : plat::GetVolumes()) {
    const std::string root = WithoutTrailingSeparator(volume.root);
    if (root.empty()) continue;
    const bool inside = path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                                         (root == "/" || path[root.size()] == '/'));
    if (inside && (!best || root.size() > WithoutTrailingSeparator(best->root).size())) best = volume;
  }
  return best;
}

}  // namespace photo

// --- Views and history ---------------------------------------------------------

int CUISystem::PhotoGoToView(int view, int refresh) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (view != photo.m_nPhotoState) photo.m_vecViewHistory.push_back(photo.m_nPhotoState);
  photo.m_nPhotoState = view;
  if (refresh) PhotoRefreshView();
  return 1;
}

int CUISystem::PhotoReturn(int refresh) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  DeletePhotoTempFiles();
  if (!photo.m_vecViewHistory.empty()) {
    photo.m_nPhotoState = photo.m_vecViewHistory.back();
    photo.m_vecViewHistory.pop_back();
  }
  const int view = photo.m_nPhotoState;
  if ((view == kViewBrowser || (view >= kViewArchive && view <= kViewSecureDigital)) &&
      !FolderExists(photo.m_strCurrentFolder)) {
    return PhotoShowDriveSelector();
  }
  photo.m_nCurrentPhoto = -1;
  if (!m_pPhotoPage) return 1;
  m_pPhotoPage->ReloadPage();
  if (view == kViewDriveSelector) {
    m_pPhotoPage->RefreshBrowserList(kSourceDrives, 0);
  } else if (refresh) {
    PhotoRefreshView();
  } else {
    m_pPhotoPage->RefreshBrowserList(kSourcePhotos, 0);
  }
  return 1;
}

int CUISystem::PhotoRefreshView() {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !m_pPhotoPage) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  const int view = photo.m_nPhotoState;
  if (IsFolderView(view)) {
    const std::string root = photo.m_strRootFolder.empty() ? photo.m_strCurrentFolder : photo.m_strRootFolder;
    m_pPhotoPage->OpenPhotoFolder(photo.m_strCurrentFolder.c_str(), root.c_str());
    SortPhotos(photo.m_vecPhotos, photo.m_nPhotoSortKind);
    m_pPhotoPage->RefreshBrowserList(kSourcePhotos, 1);
  } else if (view == kViewAcquire) {
    m_pPhotoPage->ResetAcquireBrowser();
  } else if (view == kViewMusicBrowser) {
    m_pPhotoPage->OpenMusicFolder(photo.m_strMusicFolder.c_str());
  } else if (view == kViewDriveSelector) {
    m_pPhotoPage->RefreshBrowserList(kSourceDrives, 1);
  } else if (view == kViewAcquireFolder || view == kViewBrowseFolder) {
    const std::string& folder = view == kViewAcquireFolder ? photo.m_strAcquiredImageFolder : photo.m_strBrowseFolder;
    m_pPhotoPage->OpenFolderSelectFolder(folder.c_str(), m_pConfig->m_strPicturesFolder.c_str());
    m_pPhotoPage->RefreshBrowserList(kSourceFolders, 1);
  } else if (view == kViewMultiEdit) {
    m_pPhotoPage->LoadPhotoFileList(photo.m_arrMultiEdit);
    m_pPhotoPage->RefreshBrowserList(kSourcePhotos, 1);
  }
  return 1;
}

int CUISystem::PhotoShowDriveSelector() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  photo.m_vecViewHistory.clear();
  photo.m_nPhotoState = kViewDriveSelector;
  if (m_pPhotoPage) {
    m_pPhotoPage->ClearHistory();
    m_pPhotoPage->ShowPage("Photo\\PhotoDriveSelector");
    m_pPhotoPage->RefreshBrowserList(kSourceDrives, 0);
  }
  DeletePhotoTempFiles();
  return 1;
}

int CUISystem::DeletePhotoTempFiles() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  m_pConfig->m_pPhoto->DeleteTempFiles();
  return 1;
}

int CUISystem::DestroyPhotoCaches() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  for (auto* list : {&photo.m_vecPhotos, &photo.m_vecFolders}) {
    for (PhotoRecord& record : *list) {
      if (record.hThumbnail) plat::DeleteObject(record.hThumbnail);
      record.hThumbnail = nullptr;
    }
  }
  return 1;
}

int CUISystem::PhotoSendToRecord(const std::string& folder) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  photo.m_strBackAction.clear();
  m_pConfig->m_nActiveModule = MODULE_PHOTO;
  if (!InitPhotoEngines()) {
    OnHome(0, 0);
    return 0;
  }
  if (m_pPhotoPage) m_pPhotoPage->EnterModule("Photo\\PhotoRecordBrowser");
  if (!folder.empty()) {
    photo.m_strCurrentFolder = photo.m_strRootFolder = folder;
    photo.m_nPhotoState = kViewRecordFolder;
  } else {
    photo.m_strCurrentFolder = photo.m_strRootFolder = photo.m_strBrowseFolder;
    photo.m_nPhotoState = kViewRecordBrowse;
  }
  PhotoRefreshView();
  return 1;
}

// The record and burning hubs' hand-over: Photo opens on the volume and
// keeps the hub's action, which later takes the chosen photos (or nothing)
// back to the side of the hub that sent the user here.
int CUISystem::PhotoSendToRecord(const std::string& path, const std::string& backAction) {
  const int entered = PhotoSendToRecord(path);
  if (entered) m_pConfig->m_pPhoto->m_strBackAction = backAction;
  return entered;
}

// --- Back and the return actions ----------------------------------------------------

int CUISystem::PhotoBack(std::intptr_t, std::intptr_t) {
  RunStep("PhotoBack");
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  switch (photo.m_nPhotoState) {
    case kViewSlideShow: return PhotoStopSlideShow(0, 0);
    case kViewFullScreen: return OnPhotoFullscreen(0, 0);
    case kViewEdit:
      if (ValidIndex(photo.m_vecPhotos, photo.m_nCurrentPhoto)) ApplyPhotoEdit(photo.m_nCurrentPhoto);
      return PhotoReturn(0);
    case kViewMusicBrowser: return OnPhotoBgMusicBrowserReturn(0, 0);
    case kViewDriveSelector: return OnHome(0, 0);
    case kViewAcquireFolder: return OnPhotoFolderSelectReturn(0, 0);
    case kViewRecordFolder:
    case kViewRecordBrowse: {
      // Back to the hub with nothing chosen.
      if (m_pConfig->m_pRecord) m_pConfig->m_pRecord->m_arrFiles.clear();
      const std::string back = std::exchange(photo.m_strBackAction, {});
      PhotoStopModule(0, 0);
      if (!back.empty()) {
        ExecuteAction(back.c_str(), 0, 0);
        return 1;
      }
      m_pConfig->m_nActiveModule = photo.m_nPhotoState == kViewRecordFolder ? MODULE_RECORD : MODULE_BURNING;
      if (m_pRecordPage) m_pRecordPage->ShowRecordPage();
      return 1;
    }
    case kViewMultiEdit: return PhotoReturn(1);
    default: return PhotoReturn(0);
  }
}

int CUISystem::OnPhotoReturn(std::intptr_t, std::intptr_t) { return PhotoReturn(0); }

int CUISystem::OnPhotoBgMusicBrowserReturn(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  std::string folder;
  if (m_pPhotoPage && m_pPhotoPage->GetBrowserFolder(folder, kSourceMusic, 1)) {
    photo.m_nBgMusicType = 7;
    photo.m_szBgMusicPath = folder;
  } else {
    photo.m_nBgMusicType = 0;
  }
  return PhotoReturn(0);
}

int CUISystem::OnPhotoFolderSelectReturn(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  std::string folder;
  if (m_pPhotoPage && m_pPhotoPage->GetBrowserFolder(folder, kSourceFolders, 0)) {
    m_pConfig->m_pPhoto->m_strAcquiredImageFolder = folder;
  }
  return PhotoReturn(0);
}

int CUISystem::OnPhotoBrowseFolderSelectionReturn(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  std::string folder;
  if (m_pPhotoPage && m_pPhotoPage->GetBrowserFolder(folder, kSourceFolders, 0)) {
    m_pConfig->m_pPhoto->m_strBrowseFolder = folder;
  }
  return PhotoReturn(0);
}

int CUISystem::OnPhotoMenuEditReturn(std::intptr_t, std::intptr_t) { return PhotoReturn(1); }

// --- Going to views -------------------------------------------------------------------

int CUISystem::OnPhotoEditBrowser(std::intptr_t, std::intptr_t) { return PhotoGoToView(kViewEditBrowser, 0); }
int CUISystem::OnPhotoEditView(std::intptr_t, std::intptr_t) { return PhotoGoToView(kViewEdit, 0); }
int CUISystem::OnPhotoBurnningBrowser(std::intptr_t, std::intptr_t) { return PhotoGoToView(kViewBurnBrowser, 0); }
int CUISystem::OnPhotoBurnningPreview(std::intptr_t, std::intptr_t) { return PhotoGoToView(kViewBurnPreview, 0); }
int CUISystem::OnPhotoSetting(std::intptr_t, std::intptr_t) { return PhotoGoToView(kViewSettings, 0); }
int CUISystem::OnPhotoBgMusicBrowserSelection(std::intptr_t, std::intptr_t) {
  return PhotoGoToView(kViewMusicBrowser, 1);
}
int CUISystem::OnPhotoAcquireImageFolderSelection(std::intptr_t, std::intptr_t) {
  return PhotoGoToView(kViewAcquireFolder, 1);
}
int CUISystem::OnPhotoBrowseFolderSelection(std::intptr_t, std::intptr_t) {
  return PhotoGoToView(kViewBrowseFolder, 1);
}

int CUISystem::OnPhotoFullscreen(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_nPhotoState == kViewFullScreen) {
    if (m_pUICallback) m_pUICallback->HideOsd();
    if (ValidIndex(photo.m_vecPhotos, photo.m_nCurrentPhoto)) ApplyPhotoEdit(photo.m_nCurrentPhoto);
    return PhotoReturn(0);
  }
  if (!ValidIndex(photo.m_vecPhotos, photo.m_nCurrentPhoto)) {
    const auto checked = std::find_if(photo.m_vecPhotos.begin(), photo.m_vecPhotos.end(),
                                      [](const PhotoRecord& r) { return r.bChecked != 0; });
    if (checked == photo.m_vecPhotos.end()) return 0;
    photo.m_nCurrentPhoto = static_cast<int>(checked - photo.m_vecPhotos.begin());
  }
  return PhotoGoToView(kViewFullScreen, 0);
}

int CUISystem::OnPhotoBrowser(std::intptr_t entry, std::intptr_t kind) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_nPhotoState == kViewBrowser) return 0;
  const auto at = [entry](const auto& list) -> std::optional<std::string> {
    if (entry < 0 || entry >= static_cast<std::intptr_t>(list.size())) return std::nullopt;
    return list[static_cast<std::size_t>(entry)].strFirst;
  };
  std::optional<std::string> folder;
  switch (kind) {
    case 0:
      if (entry >= 0 && entry < static_cast<std::intptr_t>(m_pConfig->m_vecOpticalDrives.size())) {
        folder = m_pConfig->m_vecOpticalDrives[static_cast<std::size_t>(entry)].strRoot;
      }
      break;
    case 1: folder = at(m_pConfig->m_vecDriveList2); break;
    case 3: folder = photo.m_strBrowseFolder; break;
    case 4: folder = at(m_pConfig->m_vecDriveList3); break;
    case 5: folder = at(m_pConfig->m_vecDriveList4); break;
    default: break;
  }
  if (!folder || folder->empty()) return 0;
  photo.m_strCurrentFolder = photo.m_strRootFolder = WithoutTrailingSeparator(*folder);
  return PhotoGoToView(kViewBrowser, 1);
}

int CUISystem::OnPhotoArchive(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_nPhotoState == kViewArchive) return 0;
  photo.m_strCurrentFolder = photo.m_strRootFolder = photo.m_strBrowseFolder;
  return PhotoGoToView(kViewArchive, 0);
}

int CUISystem::OnPhotoCdDvdDevice(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_nPhotoState == kViewCdDvd) return 0;
  const std::string& root = m_pConfig->m_szDriveRoots[1];
  const auto volume = plat::FindVolume(root);
  if (!volume || volume->type != plat::DRIVE_CDROM || volume->root.empty()) return 0;
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives) return 0;
  int drive = -1;
  if (plat::FAILED(drives->GetDriveNumber(root.c_str(), &drive))) drive = volume->letter - 'A';
  int kind = 0;
  int disc = DISC_NONE;
  drives->GetDriveKind(drive, &kind);
  drives->GetDiscKind(drive, &disc);
  // A disc with files (pictures) on it.
  if (kind != 8 && disc != DISC_DATA) return 0;
  if (m_pPhotoPage) m_pPhotoPage->ShowPage("Photo\\PhotoBrowser");
  photo.m_strCurrentFolder = photo.m_strRootFolder = volume->root;
  return PhotoGoToView(kViewCdDvd, 0);
}

// Reader slot `slot` (1 USB .. 5 Secure Digital): its configured root
// follows the optical one, and its view follows the CD/DVD view.
static int ShowReaderDevice(CUISystem& system, CConfig& config, int slot) {
  CPhotoConfig& photo = *config.m_pPhoto;
  const int view = kViewCdDvd + slot;
  if (photo.m_nPhotoState == view) return 0;
  const auto folder = ReaderFolder(config.m_szDriveRoots[static_cast<std::size_t>(slot + 1)]);
  if (!folder) {
    if (system.PhotoPageCallback()) system.PhotoPageCallback()->ReloadPage();
    return 0;
  }
  photo.m_strCurrentFolder = photo.m_strRootFolder = *folder;
  return system.PhotoGoToView(view, 0);
}

int CUISystem::OnPhotoUsbDevice(std::intptr_t, std::intptr_t) {
  return m_pConfig && m_pConfig->m_pPhoto ? ShowReaderDevice(*this, *m_pConfig, 1) : 0;
}
int CUISystem::OnPhotoSmartMediaDevice(std::intptr_t, std::intptr_t) {
  return m_pConfig && m_pConfig->m_pPhoto ? ShowReaderDevice(*this, *m_pConfig, 2) : 0;
}
int CUISystem::OnPhotoMemoryStickDevice(std::intptr_t, std::intptr_t) {
  return m_pConfig && m_pConfig->m_pPhoto ? ShowReaderDevice(*this, *m_pConfig, 3) : 0;
}
int CUISystem::OnPhotoCompactFlashDevice(std::intptr_t, std::intptr_t) {
  return m_pConfig && m_pConfig->m_pPhoto ? ShowReaderDevice(*this, *m_pConfig, 4) : 0;
}
int CUISystem::OnPhotoSecureDigitalDevice(std::intptr_t, std::intptr_t) {
  return m_pConfig && m_pConfig->m_pPhoto ? ShowReaderDevice(*this, *m_pConfig, 5) : 0;
}

// --- Moving through photos ---------------------------------------------------------------

namespace {

// The record after (or before) `from`: any record and wrapping when `any`,
// else the next checked one, stopping at the ends. -1 when there is none.
int StepPhoto(const std::vector<PhotoRecord>& photos, int from, int direction, bool any) {
  const int count = static_cast<int>(photos.size());
  if (count == 0) return -1;
  if (any) return ((from + direction) % count + count) % count;
  for (int i = from + direction; i >= 0 && i < count; i += direction) {
    if (photos[static_cast<std::size_t>(i)].bChecked) return i;
  }
  return -1;
}

}  // namespace

static int MovePhoto(CUISystem& system, CPhotoConfig& photo, int direction) {
  if (system.SlideShowState() != kShowNone) return 0;
  const bool any = system.VendorId() == 4;
  const int target = StepPhoto(photo.m_vecPhotos, photo.m_nCurrentPhoto, direction, any);
  if (target < 0 || target == photo.m_nCurrentPhoto) return 0;
  const int view = photo.m_nPhotoState;
  if ((view == kViewEdit || view == kViewFullScreen) && ValidIndex(photo.m_vecPhotos, photo.m_nCurrentPhoto)) {
    system.ApplyPhotoEdit(photo.m_nCurrentPhoto);
  }
  if (view == kViewFullScreen && !any) system.SetNamedItemState(direction < 0 ? "PREVIOUSPICTURE" : "NEXTPICTURE", 1);
  photo.m_nCurrentPhoto = target;
  system.PhotoRedraw(0);
  system.PhotoNotifyMode(direction < 0 ? kModePrevious : kModeNext);
  return 1;
}

int CUISystem::OnPhotoPreviousImage(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoPreviousImage");
  return m_pConfig && m_pConfig->m_pPhoto ? MovePhoto(*this, *m_pConfig->m_pPhoto, -1) : 0;
}

int CUISystem::OnPhotoNextImage(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoNextImage");
  return m_pConfig && m_pConfig->m_pPhoto ? MovePhoto(*this, *m_pConfig->m_pPhoto, 1) : 0;
}

// --- Lists ---------------------------------------------------------------------------------

int CUISystem::OnPhotoClearRecentPicture(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  m_pConfig->m_pPhoto->m_arrMultiEdit.clear();
  PhotoRefreshView();
  return 1;
}

int CUISystem::OnPhotoSortByName(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  SortPhotos(m_pConfig->m_pPhoto->m_vecPhotos, 1);
  m_pConfig->m_pPhoto->m_nPhotoSortKind = 1;
  PhotoRedraw(0);
  return 1;
}

int CUISystem::OnPhotoSortByDate(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  SortPhotos(m_pConfig->m_pPhoto->m_vecPhotos, 2);
  m_pConfig->m_pPhoto->m_nPhotoSortKind = 2;
  PhotoRedraw(0);
  return 1;
}

namespace {

// Removes the record's file entry; a symbolic link goes, never what it points
// to. Refused on optical drives.
bool DeletePhotoFile(const PhotoRecord& record) {
  const std::string& path = record.strPath;
  if (path.empty()) return false;
  if (const auto volume = VolumeOf(path); volume && volume->type == plat::DRIVE_CDROM) return false;
  std::error_code ec;
  return fs::remove(path, ec) && !ec;
}

}  // namespace

int CUISystem::OnPhotoDeleteFile(std::intptr_t index, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  const auto& photos = m_pConfig->m_pPhoto->m_vecPhotos;
  if (index < 0 || index >= static_cast<std::intptr_t>(photos.size())) return 0;
  return DeletePhotoFile(photos[static_cast<std::size_t>(index)]) ? 1 : 0;
}

int CUISystem::OnPhotoDeleteAllFile(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.CountCheckedPhotos() == 0) return 0;
  for (const PhotoRecord& record : photo.m_vecPhotos) {
    if (record.bChecked) DeletePhotoFile(record);
  }
  return PhotoReturn(1);
}

namespace {
std::vector<std::string> CheckedPaths(const std::vector<PhotoRecord>& photos) {
  std::vector<std::string> paths;
  for (const PhotoRecord& record : photos) {
    if (record.bChecked) paths.push_back(RecordPath(record));
  }
  return paths;
}
}  // namespace

int CUISystem::OnPhotoMenuEdit(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  photo.m_arrMultiEdit = CheckedPaths(photo.m_vecPhotos);
  if (m_pPhotoPage) m_pPhotoPage->ShowPage("Photo\\PhotoEditMultiFile");
  return PhotoGoToView(kViewMultiEdit, 1);
}

int CUISystem::OnPhotoFileView(std::intptr_t a, std::intptr_t b) { return OnPhotoMenuEdit(a, b); }

namespace {
// Shown when the hand-over is asked to send pictures and none is marked.
constexpr const char* kNothingMarkedText = "PHOTO_NOTHING_MARKED";
}  // namespace

int CUISystem::OnPhotoRecord(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !m_pConfig->m_pRecord) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  // The hubs' hand-over pages send their marked pictures for every vendor;
  // elsewhere only vendor 4 offers it.
  const bool handOver = photo.m_nPhotoState == kViewRecordFolder || photo.m_nPhotoState == kViewRecordBrowse;
  if (!handOver && VendorId() != 4) return 0;
  const bool burning = photo.m_nPhotoState == kViewRecordBrowse;
  std::vector<std::string> files = CheckedPaths(photo.m_vecRecordPhotos);
  const std::vector<std::string> more = CheckedPaths(photo.m_vecPhotos);
  files.insert(files.end(), more.begin(), more.end());
  if (files.empty() && handOver) {
    // Nothing to copy or burn: say what is missing and stay.
    SetNamedItemState(kNothingMarkedText, 1);
    return 0;
  }
  const std::string browse = photo.m_strBrowseFolder;
  const std::string extensions = photo.m_strImageExtensions;
  const std::string back = std::exchange(photo.m_strBackAction, {});
  PhotoStopModule(0, 0);
  if (!back.empty()) {
    // The hub that sent the user here takes the photos back, on its own side.
    ChosenFiles chosen;
    chosen.files = std::move(files);
    chosen.filter = extensions;
    chosen.folder = browse;
    ExecuteAction(back.c_str(), 1, reinterpret_cast<std::intptr_t>(&chosen));
    return 1;
  }
  CRecordConfig& record = *m_pConfig->m_pRecord;
  record.m_arrFiles = std::move(files);
  record.m_strTargetPath = browse;
  record.m_strFilter = extensions;
  m_pConfig->m_nActiveModule = burning ? MODULE_BURNING : MODULE_RECORD;
  if (m_pRecordPage) m_pRecordPage->ShowRecordPage();
  return 1;
}

int CUISystem::OnPhotoDestroyPhotoCaches(std::intptr_t, std::intptr_t) { return DestroyPhotoCaches(); }

int CUISystem::OnPhotoKillPhotoFiles(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  DestroyPhotoCaches();
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  photo.m_nCurrentPhoto = -1;
  photo.m_vecPhotos.clear();
  photo.m_vecRecordPhotos.clear();
  return 1;
}

// --- Device changes ----------------------------------------------------------------------

int CUISystem::PhotoOnDeviceChange(int event, int drive) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (event == 0x8000) {
    int kind = 0;
    if (auto drives = CoreService<IDriveEnumerator>(); drives && plat::SUCCEEDED(drives->GetDriveKind(drive, &kind)) &&
                                                       kind == 1 && m_pConfig->m_pMusic) {
      m_pConfig->m_pMusic->m_bRescan = 1;
    }
  }
  for (auto [folder, fallback] : {std::pair{&photo.m_strBrowseFolder, &m_pConfig->m_strPicturesFolder},
                                  std::pair{&photo.m_strMusicFolder, &m_pConfig->m_strMusicFolder}}) {
    std::error_code ec;
    if (!folder->empty() && !FolderExists(*folder) && !fs::create_directories(*folder, ec)) *folder = *fallback;
  }
  const int view = photo.m_nPhotoState;
  const bool browsing = (view >= kViewBrowser && view <= kViewEdit) || (view >= kViewBurnBrowser && view <= 19) ||
                        (view >= kViewArchive && view <= kViewSecureDigital);
  if (browsing && !FolderExists(photo.m_strCurrentFolder)) {
    if (SlideShowState() != kShowNone) StopSlideShow();
    return PhotoShowDriveSelector();
  }
  if (view == kViewDriveSelector && m_pPhotoPage) m_pPhotoPage->RefreshBrowserList(kSourceDrives, 1);
  return 1;
}
