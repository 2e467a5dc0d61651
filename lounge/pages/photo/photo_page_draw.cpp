// CPhotoPage: thumbnails and folder mosaics (made lazily through the UI
// system's photo drawing), the highlighted photo, the list rows and the
// display image.
#include <algorithm>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "interfaces/ui_system.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/photo/photo_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kThumbnailBrowser = "Photo Thumbnail Browser";
constexpr const char* kHighlightImage = "Photo Currently Highlight Archive Item Image";
constexpr const char* kStandIn = "Layout\\Img\\Common\\photo-unreadable.bmp";
constexpr int kViewBurnBrowser = 17;
constexpr int kViewMultiEdit = 32;

// Views whose thumbnails carry the mark box: burning, and the record and
// burning hubs' hand-over.
bool ShowsMarks(int state) { return state == kViewBurnBrowser || state == 30 || state == 31; }

std::string SkinFile(const char* relative) { return ResolveSkinPath(file_list::ApplicationFile(relative)); }

template <class Record>
bool InList(const std::vector<Record>& list, int index) {
  return index >= 0 && index < static_cast<int>(list.size());
}

void FillBlack(plat::HDC dc, const plat::RECT& rect) {
  plat::FillRect(dc, &rect, static_cast<plat::HBRUSH>(plat::GetStockObject(plat::BLACK_BRUSH)));
}

// The bitmap fitted into `rect` with its aspect kept, margins equal.
void DrawFitted(plat::HBITMAP bitmap, plat::HDC dc, const plat::RECT& rect) {
  int w = 0, h = 0;
  if (!GetBitmapSize(bitmap, w, h) || w <= 0 || h <= 0) return;
  const int rw = rect.right - rect.left;
  const int rh = rect.bottom - rect.top;
  if (rw <= 0 || rh <= 0) return;
  int fw = rw;
  int fh = static_cast<int>(static_cast<long long>(h) * rw / w);
  if (fh > rh) {
    fh = rh;
    fw = static_cast<int>(static_cast<long long>(w) * rh / h);
  }
  const int left = rect.left + (rw - fw) / 2;
  const int top = rect.top + (rh - fh) / 2;
  DrawBitmap(bitmap, dc, plat::RECT{left, top, left + fw, top + fh});
}

// A device context for the window, released on destruction.
class WindowDC {
 public:
  explicit WindowDC(plat::HWND window) : window_(window), dc_(window ? plat::GetDC(window) : nullptr) {}
  ~WindowDC() {
    if (dc_) plat::ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  plat::HDC get() const { return dc_; }

 private:
  plat::HWND window_;
  plat::HDC dc_;
};

// Replaces the record's thumbnail with a new bitmap of the size given.
plat::HBITMAP ReplaceThumbnail(PhotoRecord& record, plat::HDC like, int width, int height) {
  if (record.hThumbnail) plat::DeleteObject(record.hThumbnail);
  record.hThumbnail = plat::CreateCompatibleBitmap(like, width, height);
  return record.hThumbnail;
}

}  // namespace

void CPhotoPage::ShowThumbnail(plat::HBITMAP bitmap, const plat::RECT& rect) {
  // Into the back buffer, and from there onto the window.
  RefreshArea(true, rect, -1, [&](plat::HDC dc) { DrawFitted(bitmap, dc, rect); });
}

void CPhotoPage::DrawStandIn(plat::HDC dc, const plat::RECT& rect) {
  if (plat::HBITMAP picture = LoadSharedBitmapFile(SkinFile(kStandIn))) {
    DrawFitted(picture, dc, rect);
    plat::DeleteObject(picture);
  }
}

void CPhotoPage::MakeFolderThumbnail(int index, PhotoRecord& record, int width, int height) {
  IUISystem* system = System();
  WindowDC window(Owner());
  if (!window.get()) return;
  const PhotoLayoutParams& p = m_params;
  const plat::RECT area = PhotoMosaicArea(Vendor(), width, height, p.frameMarginXDivisor, p.frameMarginYDivisor);
  // The frame picture stretched to the thumbnail's size is the background
  // the mosaic is drawn on.
  std::string framePath = SkinFile("Layout\\Img\\Common\\sub-files.bmp");
  if (Vendor() == 4 && Layout()) {
    int still = -1;
    if (Layout()->FindStillImage(kHighlightImage, still))
      framePath = Layout()->StillImages()[static_cast<std::size_t>(still)].image;
  }
  BitmapPtr frame(LoadDibSectionFile(framePath));
  BitmapPtr background(frame ? StretchBitmap(frame.get(), plat::SIZE{width, height}) : nullptr);
  const plat::HRESULT hr =
      system ? system->DrawFolderPreview(index, window.get(), 0, 0, width, height, area.left, area.top, area.right,
                                         area.bottom, p.mosaicRows, p.mosaicColumns, p.mosaicImagePercent,
                                         background.get())
             : plat::E_FAIL;
  if (plat::SUCCEEDED(hr) && record.hThumbnail) return;
  // Without the drawing service the folder shows its frame picture alone.
  if (!ReplaceThumbnail(record, window.get(), width, height)) return;
  MemoryDC dc;
  if (!dc.SelectBitmap(record.hThumbnail)) return;
  if (background) DrawBitmap(background.get(), dc.get(), plat::RECT{0, 0, width, height});
}

void CPhotoPage::MakePhotoThumbnail(int index, PhotoRecord& record, int width, int height) {
  IUISystem* system = System();
  WindowDC window(Owner());
  if (!window.get()) return;
  const plat::HRESULT hr =
      system ? system->RenderPhotoToBitmap(index, window.get(), 0, 0, width, height, nullptr) : plat::E_FAIL;
  if (plat::SUCCEEDED(hr) && record.hThumbnail) return;
  // An unreadable picture gets the stand-in; the half-made bitmap goes.
  if (!ReplaceThumbnail(record, window.get(), width, height)) return;
  MemoryDC dc;
  if (!dc.SelectBitmap(record.hThumbnail)) return;
  FillBlack(dc.get(), plat::RECT{0, 0, width, height});
  DrawStandIn(dc.get(), plat::RECT{0, 0, width, height});
}

int CPhotoPage::DrawArchiveItem(int index, int list) {
  CPhotoConfig* photo = Photo();
  if (!photo || (list != 0 && list != 1)) return 0;
  std::vector<PhotoRecord>& records = list == 0 ? photo->m_vecFolders : photo->m_vecPhotos;
  if (!InList(records, index)) return 0;
  PhotoRecord& record = records[static_cast<std::size_t>(index)];
  plat::RECT rect = record.rcPending;
  if (Vendor() == 4 && photo->m_nPhotoState != kViewMultiEdit) GetStillImageScreenRectByName(kHighlightImage, &rect);
  const int rw = rect.right - rect.left;
  const int rh = rect.bottom - rect.top;
  if (rw <= 0 || rh <= 0) return 0;
  const int width = m_params.folderThumbWidth;
  const int height = std::max(1, width * rh / rw);
  if (!record.hThumbnail) {
    if (list == 0) MakeFolderThumbnail(index, record, width, height);
    else MakePhotoThumbnail(index, record, width, height);
  }
  if (!record.hThumbnail) return 0;
  if (list == 0 && Vendor() == 4) return 1;
  ShowThumbnail(record.hThumbnail, rect);
  if (list == 1 && ShowsMarks(photo->m_nPhotoState)) {
    RefreshArea(true, rect, -1, [&](plat::HDC dc) {
      m_photoBrowser.DrawBurnCheckBox(dc, rect.left, rect.top, record.bChecked ? 1 : 0);
    });
  }
  return 1;
}

int CPhotoPage::DrawHighlightItem(int list, int entry) {
  CPhotoConfig* photo = Photo();
  if (!photo || photo->m_nPhotoState == kViewMultiEdit || !Layout()) return 0;
  int kind = 0, slot = 0, item = 0, entryKind = 0, index = 0;
  if (list != ListIndex(kThumbnailBrowser) || !SplitEntry(list, entry, &kind, &slot) || kind != ENTRY_ITEM ||
      !ElementIndex().RowToItem(list, slot, &item) || !m_photoBrowser.GetEntryByIndex(item, entryKind, index))
    return 0;
  std::vector<PhotoRecord>* records = entryKind == FILE_LIST_FOLDER ? &photo->m_vecFolders
                                      : entryKind == FILE_LIST_FILE ? &photo->m_vecPhotos
                                                                    : nullptr;
  if (!records || !InList(*records, index)) return 0;
  plat::RECT rect{};
  if (!GetStillImageScreenRectByName(kHighlightImage, &rect)) return 0;
  const PhotoRecord& record = (*records)[static_cast<std::size_t>(index)];
  if (!record.hThumbnail) {
    // The thumbnail is made when its row is drawn: wait while the entry is
    // still highlighted, and not for ever.
    int& waits = m_highlightWaits[{list, entry}];
    if (waits < kPhotoHighlightRetries && FocusedList() == list && FocusedEntry() == entry) {
      ++waits;
      plat::PostMessage(Owner(), kPhotoDrawHighlightItem, static_cast<plat::WPARAM>(list),
                        static_cast<plat::LPARAM>(entry));
      return 0;
    }
    if (waits >= kPhotoHighlightRetries) RefreshArea(true, rect, -1, [&](plat::HDC dc) { DrawStandIn(dc, rect); });
    return 0;
  }
  m_highlightWaits.erase({list, entry});
  ShowThumbnail(record.hThumbnail, rect);
  return 1;
}

// ---- the browsers' drawing ----

int CPhotoPage::DrawFolderIcon(int sourceId, int folderIndex, const plat::RECT& icon, plat::HDC dc, int) {
  if (sourceId == 1 && Vendor() == 2)
    return DrawBitmapFile(SkinFile("Layout\\Img\\Common\\sub-files-music.bmp"), dc, icon) ? 1 : 0;
  CPhotoConfig* photo = Photo();
  if (sourceId != 0 || !photo || !InList(photo->m_vecFolders, folderIndex)) return 0;
  PhotoRecord& record = photo->m_vecFolders[static_cast<std::size_t>(folderIndex)];
  if (!record.hThumbnail) {
    if (icon.right - icon.left <= 0 || icon.bottom - icon.top <= 0) return 0;
    record.rcPending = icon;
    plat::PostMessage(Owner(), kPhotoDrawArchiveItem, static_cast<plat::WPARAM>(folderIndex), 0);
    return 1;
  }
  if (Vendor() == 4) return 0;
  DrawFitted(record.hThumbnail, dc, icon);
  return 1;
}

int CPhotoPage::DrawFileIcon(int sourceId, int fileIndex, const plat::RECT& icon, plat::HDC dc, int) {
  CPhotoConfig* photo = Photo();
  if (!photo) return 0;
  if (sourceId == 1) {
    if (!InList(photo->m_vecMusic, fileIndex)) return 0;
    if (Vendor() == 1) {
      const PhotoRecord& music = photo->m_vecMusic[static_cast<std::size_t>(fileIndex)];
      return DrawShellIcon(music.bShortcut ? music.strTargetPath : music.strPath, dc, icon.left, icon.top, icon.right,
                           icon.bottom, 1);
    }
    return DrawBitmapFile(SkinFile("Layout\\Img\\Common\\music-s.BMP"), dc, icon) ? 1 : 0;
  }
  if ((sourceId != 0 && sourceId != 3) || !InList(photo->m_vecPhotos, fileIndex)) return 0;
  PhotoRecord& record = photo->m_vecPhotos[static_cast<std::size_t>(fileIndex)];
  if (!record.hThumbnail) {
    if (icon.right - icon.left <= 0 || icon.bottom - icon.top <= 0) return 0;
    record.rcPending = icon;
    plat::PostMessage(Owner(), kPhotoDrawArchiveItem, static_cast<plat::WPARAM>(fileIndex), 1);
    return 1;
  }
  DrawFitted(record.hThumbnail, dc, icon);
  if (ShowsMarks(photo->m_nPhotoState) || (Vendor() == 4 && record.bChecked))
    m_photoBrowser.DrawBurnCheckBox(dc, icon.left, icon.top, record.bChecked ? 1 : 0);
  return 1;
}

int CPhotoPage::DrawFileText(int sourceId, int fileIndex, const plat::RECT& text, plat::HDC dc,
                             plat::COLORREF colour) {
  CPhotoConfig* photo = Photo();
  if (!photo) return 0;
  if (sourceId == 0 || sourceId == 3) {
    if (!InList(photo->m_vecPhotos, fileIndex)) return 0;
    const PhotoRecord& record = photo->m_vecPhotos[static_cast<std::size_t>(fileIndex)];
    std::string title(file_list::FileNamePart(record.strName.empty() ? record.strPath : record.strName));
    if (const auto dot = title.rfind('.'); dot != std::string::npos && dot > 0) title.resize(dot);
    DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, title, ALIGN_CENTER, colour,
                            SKIN_FIT_ELLIPSIS);
    return 1;
  }
  if (sourceId == 1) {
    if (!InList(photo->m_vecMusic, fileIndex)) return 0;
    const PhotoMusicRecord& music = photo->m_vecMusic[static_cast<std::size_t>(fileIndex)];
    std::string name;
    GetShellDisplayName(music.bShortcut ? music.strTargetPath : music.strPath, name);
    DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, name, ALIGN_LEFT, colour,
                            SKIN_FIT_ELLIPSIS);
    // The length in the row's "Duration Field": the list texts are laid out
    // on the first row, so the field keeps its place beside "Name Field".
    plat::RECT nameField{}, durationField{};
    if (music.dDuration >= 0 &&
        GetListTextScreenRectByName("Name Field", "Photo BG Music Browser", &nameField) &&
        GetListTextScreenRectByName("Duration Field", "Photo BG Music Browser", &durationField)) {
      const int dx = durationField.left - nameField.left, dy = durationField.top - nameField.top;
      DrawSkinTextDefaultFont(dc, text.left + dx, text.top + dy,
                              text.left + dx + (durationField.right - durationField.left),
                              text.top + dy + (durationField.bottom - durationField.top),
                              FormatDuration(music.dDuration), ALIGN_RIGHT, colour, SKIN_FIT_ELLIPSIS);
    }
    return 1;
  }
  return 0;
}

// ---- the page's elements ----

int CPhotoPage::DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->StillImages().size()) ||
      layout->StillImages()[static_cast<std::size_t>(i)].name != "Photo DisplayWnd Image")
    return CSkinPage::DrawStillImage(i, dc, rect);
  FillBlack(dc, rect);
  const CPhotoConfig* photo = Photo();
  IUISystem* system = System();
  if (!photo || !system || !InList(photo->m_vecPhotos, photo->m_nCurrentPhoto)) return 0;
  // The whole picture, letterboxed.
  return plat::SUCCEEDED(system->DrawPhotoThumbnail(photo->m_nCurrentPhoto, dc, rect.left, rect.top, rect.right,
                                                    rect.bottom, 0, 0))
             ? 1
             : 0;
}

int CPhotoPage::DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) {
  const int drawn = CSkinPage::DrawListItem(item, dc, rect, list);
  const CLayoutReader* layout = Layout();
  if (!layout || list < 0 || list >= static_cast<int>(layout->Lists().size())) return drawn;
  const CLayoutList& layoutList = layout->Lists()[static_cast<std::size_t>(list)];
  if (item < 0 || item >= static_cast<int>(layoutList.items.size())) return drawn;
  const std::string name = ListNameAt(list);
  CFileListSource* browser = nullptr;
  if (name == "Photo Thumbnail Browser") browser = &m_photoBrowser;
  else if (name == "Photo BG Music Browser") browser = &m_musicBrowser;
  else if (name == "Photo Acquire Image Browser") browser = &m_acquireBrowser;
  else if (name == "Photo Folder Select Browser") browser = &m_folderBrowser;
  else if (name != "Photo Multi Drive Selector") return drawn;
  int data = -1;
  if (!ElementIndex().RowToItem(list, item, &data) || data < 0) return drawn;
  plat::RECT text{};
  const bool hasText = GetListItemTextScreenRect(item, list, &text) && text.right > text.left;
  const int h = rect.bottom - rect.top;
  if (!hasText) text = plat::RECT{rect.left + 8, rect.bottom - h / 5, rect.right - 8, rect.bottom - 4};
  const plat::RECT icon{rect.left + 10, rect.top + 10, rect.right - 10, std::max(rect.top + 10, text.top - 6)};
  // The caption takes its entry's state colour, so that it stands out on the
  // focus highlight as on a plain tile.
  const plat::COLORREF caption = GetSchemeColor(ListItemStateCode(item, list));
  if (!browser) {
    const std::vector<PhotoDriveEntry> entries = DriveEntries();
    if (data >= static_cast<int>(entries.size())) return drawn;
    const PhotoDriveEntry& entry = entries[static_cast<std::size_t>(data)];
    if (plat::HBITMAP picture = LoadSharedBitmapFile(SkinFile(entry.icon.c_str()))) {
      DrawFitted(picture, dc, icon);
      plat::DeleteObject(picture);
    }
    DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, entry.text, ALIGN_CENTER, caption,
                            SKIN_FIT_ELLIPSIS);
    return 1;
  }
  FileListDrawRecord record;
  record.index = data;
  record.icon = icon;
  record.text = text;
  record.dc = dc;
  record.textColour = caption;
  browser->DrawEntry(record);
  return 1;
}
