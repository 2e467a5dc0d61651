// CPhotoPage: the texts of its pages: the headers and the current photo, the
// slide-show settings, the drive and reader texts, and the texts of the
// highlighted entry of each browser.
#include <cstdio>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/photo/photo_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_text.h"
#include "lounge/skin/string_table.h"
#include "platform/sys/drive_table.h"

namespace {

// The user's locale for dates; the classic one when the environment names
// one that is not installed. The process locale is never changed.
const std::locale& UserLocale() {
  static const std::locale locale = [] {
    try {
      return std::locale("");
    } catch (const std::runtime_error&) {
      return std::locale::classic();
    }
  }();
  return locale;
}

std::string CountText(int position, int count) {
  if (count <= 0) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%d / %d", position + 1, count);
  return text;
}

std::string DisplayName(const std::string& path) {
  std::string shown;
  GetShellDisplayName(path, shown);
  return shown;
}

// Texts the page draws itself on its pages.
constexpr const char* kOwnTexts[] = {
    "Photo Browser Header Text", "Photo Music Browser Header Text", "Photo Current File Name",
    "Photo Current File Time",   "Photo Current Item Count",        "Photo Acquire Device",
    "Photo Acquiring Percentage"};

// The texts of the highlighted entry: list, then its texts.
struct EntryTexts {
  const char* list;
  const char* name;
  const char* time;
  const char* count;
};
constexpr EntryTexts kEntryTexts[] = {
    {"Photo Thumbnail Browser", "Photo File Name", "Photo File Time", "Photo Browser Item Count"},
    {"Photo Acquire Image Browser", "Photo Acquire File Name", "Photo Acquire File Time", "Photo Acquire Item Count"},
    {"Photo Folder Select Browser", "Photo Folder Select Name", "Photo Folder Select Time",
     "Photo Folder Select Item Count"},
    {"Photo BG Music Browser", "Photo BGMusic Folder", nullptr, "Photo BGMusic Browser Item Count"},
    {"Photo Multi Drive Selector", "Photo Drive Name", nullptr, "Photo Drive Item Count"},
};

// The texts of the highlighted file of the music browser, from its record.
constexpr const char* kMusicListName = "Photo BG Music Browser";
constexpr const char* kTrackArtist = "Photo Track Artist";
constexpr const char* kTrackAlbum = "Photo Track Album";

}  // namespace

const PhotoMusicRecord* CPhotoPage::HighlightedMusic() {
  CPhotoConfig* photo = Photo();
  const int list = ListIndex(kMusicListName);
  int kind = 0, slot = 0, item = 0, entryKind = 0, index = 0;
  if (!photo || list < 0 || list != FocusedList() || !SplitEntry(list, FocusedEntry(), &kind, &slot) ||
      kind != ENTRY_ITEM || !ElementIndex().RowToItem(list, slot, &item) ||
      !m_musicBrowser.GetEntryByIndex(item, entryKind, index) || entryKind != FILE_LIST_FILE ||
      index < 0 || index >= static_cast<int>(photo->m_vecMusic.size()))
    return nullptr;
  return &photo->m_vecMusic[static_cast<std::size_t>(index)];
}

std::string CPhotoPage::DateText(std::uint64_t ticks) {
  if (ticks < plat::FILETIME_UNIX_EPOCH) return {};
  const std::time_t when = static_cast<std::time_t>((ticks - plat::FILETIME_UNIX_EPOCH) / 10000000ULL);
  std::tm local{};
  if (!localtime_r(&when, &local)) return {};
  std::ostringstream out;
  out.imbue(UserLocale());
  out << std::put_time(&local, "%x");
  return out.str();
}

std::string CPhotoPage::TextFor(const std::string& name) {
  CPhotoConfig* photo = Photo();
  if (!photo) return {};
  if (name == "Photo Browser Header Text") return DisplayName(m_photoBrowser.GetCurrentFolder());
  if (name == "Photo Music Browser Header Text") return DisplayName(m_musicBrowser.GetCurrentFolder());
  if (name == "Photo Acquiring Percentage") return m_lastAcquireText;
  if (name == "Photo Acquire Device") {
    const int device = photo->m_nSelectedDevice;
    if (device < 0 || device >= static_cast<int>(photo->m_vecDevices.size())) return {};
    return photo->m_vecDevices[static_cast<std::size_t>(device)].strName;
  }
  if (name == kTrackArtist || name == kTrackAlbum) {
    const PhotoMusicRecord* music = HighlightedMusic();
    if (!music) return {};
    return name == kTrackArtist ? music->strArtist : music->strAlbum;
  }
  // The texts of the highlighted entry.
  for (const EntryTexts& texts : kEntryTexts) {
    const bool isName = name == texts.name;
    const bool isTime = texts.time && name == texts.time;
    const bool isCount = name == texts.count;
    if (!isName && !isTime && !isCount) continue;
    const int list = ListIndex(texts.list);
    int kind = 0, slot = 0, item = 0;
    if (list < 0 || list != FocusedList() || !SplitEntry(list, FocusedEntry(), &kind, &slot) || kind != ENTRY_ITEM ||
        !ElementIndex().RowToItem(list, slot, &item))
      return {};
    int total = 0;
    ElementIndex().GetItemCount(list, &total);
    if (isCount) return CountText(item, total);
    if (std::string(texts.list) == "Photo Multi Drive Selector") {
      const std::vector<PhotoDriveEntry> drives = DriveEntries();
      return item < static_cast<int>(drives.size()) ? drives[static_cast<std::size_t>(item)].text : "";
    }
    CFileListSource* browser = texts.list == std::string("Photo Thumbnail Browser")       ? &m_photoBrowser
                               : texts.list == std::string("Photo Acquire Image Browser") ? &m_acquireBrowser
                               : texts.list == std::string("Photo BG Music Browser")      ? &m_musicBrowser
                                                                                          : &m_folderBrowser;
    int entryKind = 0, index = 0;
    if (!browser->GetEntryByIndex(item, entryKind, index)) return {};
    if (entryKind == FILE_LIST_UP_LEVEL) return isName ? UIStringOrEmpty("UPONELEVEL") : "";
    // A file of the music browser shows its artist and album instead.
    if (isName && entryKind == FILE_LIST_FILE && browser == &m_musicBrowser) return {};
    const FileListEntry* entry =
        entryKind == FILE_LIST_FOLDER ? browser->GetFolderEntry(index) : browser->GetFileEntry(index);
    if (!entry) return {};
    if (isTime) return DateText(plat::FileTimeToTicks(entry->lastWriteTime));
    return DisplayName(entry->isShortcut && !entry->targetPath.empty() ? entry->targetPath : entry->path);
  }
  const int current = photo->m_nCurrentPhoto;
  const int count = static_cast<int>(photo->m_vecPhotos.size());
  if (name == "Photo Current Item Count") return current >= 0 && current < count ? CountText(current, count) : "";
  if (current < 0 || current >= count) return {};
  const PhotoRecord& record = photo->m_vecPhotos[static_cast<std::size_t>(current)];
  if (name == "Photo Current File Name") return record.strName;
  if (name == "Photo Current File Time") return DateText(record.ftLastWrite);

  return {};
}

std::string CPhotoPage::ListTextFor(const std::string& name) {
  CPhotoConfig* photo = Photo();
  CConfig* config = Config();
  if (!photo || !config) return {};
  if (name == "Photo Text Effect Type") {
    static const char* const kKeys[] = {"WIPE", "SLIDE", "PAGE", "FADE", "RANDOM", "NONE"};
    const int effect = photo->m_nTransition;
    return effect >= 0 && effect < 6 ? UIStringOrEmpty(kKeys[effect]) : "";
  }
  if (name == "Photo PictureDuration") {
    std::string unit;
    const std::string number = std::to_string(photo->m_nSlideDuration);
    return LookupUIString("SEC", unit) ? number + " " + unit : number;
  }
  if (name == "Photo Is Play Music") return UIStringOrEmpty(photo->m_bPlayBgMusic ? "YES" : "NO");
  if (name == "Photo Text BG Music") {
    switch (photo->m_nBgMusicType) {
      case 1: return photo->m_wszBgAlbumName;
      case 2: return photo->m_wszBgArtist;
      case 3: return photo->m_wszBgPlaylistName;
      case 4: return photo->m_wszBgCdName;
      case 6: return photo->m_wszBgTrackName;
      case 5: return {};
      case 7: return DisplayName(photo->m_szBgMusicPath);
      default: return UIStringOrEmpty("NOBGMUSIC");
    }
  }
  if (name == "Photo CDDVD Title Text") {
    const std::string& root = config->m_szDriveRoots[1];
    int kind = 0;
    const int letter = root.empty() ? -1 : (root[0] & ~0x20) - 'A';
    if (!root.empty() && plat::GetDriveTypeA(root.c_str()) == plat::DRIVE_CDROM && letter >= 0 && letter < 26 &&
        Frame().GetDriveInfo(letter, &kind) == 0)
      return DisplayName(root);
    return UIStringOrEmpty("NODISCS");
  }
  static const char* const kReaders[] = {"Photo USB Device Title Text", "Photo Smart Media Title Text",
                                         "Photo Memory Stick Title Text", "Photo Compact Flash Title Text",
                                         "Photo Secure Digital Title Text"};
  for (int slot = 0; slot < 5; ++slot)
    if (name == kReaders[slot]) return ReaderSlotText(slot + 2);
  if (name == "Photo Text Acquired Image Folder") return DisplayName(photo->m_strAcquiredImageFolder);
  if (name == "Photo Text Browse Folder") return DisplayName(photo->m_strBrowseFolder);
  return {};
}

int CPhotoPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->Texts().size()))
    return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const LayoutText& element = layout->Texts()[static_cast<std::size_t>(i)];
  bool own = false;
  for (const char* t : kOwnTexts) own = own || element.name == t;
  bool entryText = false;
  for (const EntryTexts& t : kEntryTexts)
    entryText = entryText || element.name == t.name || (t.time && element.name == t.time) || element.name == t.count;
  entryText = entryText || element.name == kTrackArtist || element.name == kTrackAlbum;
  if (!own && !entryText) return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const std::string text = TextFor(element.name);
  if (text.empty()) return 1;
  const bool white = entryText || element.name == "Photo Current File Time" ||
                     element.name == "Photo Acquiring Percentage";
  const int align = element.name == "Photo Current File Time" ? 3 : element.align;
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), text, align,
               white ? 0xFFFFFF : colour, SKIN_FIT_ELLIPSIS);
  return 1;
}

int CPhotoPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || list < 0 || list >= static_cast<int>(layout->Lists().size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const CLayoutList& layoutList = layout->Lists()[static_cast<std::size_t>(list)];
  if (text < 0 || text >= static_cast<int>(layoutList.texts.size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const LayoutText& element = layoutList.texts[static_cast<std::size_t>(text)];
  static const char* const kOwnListTexts[] = {
      "Photo Text Effect Type",        "Photo PictureDuration",          "Photo Is Play Music",
      "Photo Text BG Music",           "Photo CDDVD Title Text",         "Photo USB Device Title Text",
      "Photo Smart Media Title Text",  "Photo Memory Stick Title Text",  "Photo Compact Flash Title Text",
      "Photo Secure Digital Title Text", "Photo Text Acquired Image Folder", "Photo Text Browse Folder"};
  bool own = false;
  for (const char* t : kOwnListTexts) own = own || element.name == t;
  if (!own) return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const std::string value = ListTextFor(element.name);
  if (value.empty()) return 1;
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), value, element.align,
               colour, SKIN_FIT_SHRINK);
  return 1;
}

void CPhotoPage::DrawWhiteText(const std::string& element, const std::string& text) {
  const CLayoutReader* layout = Layout();
  int i = -1;
  plat::RECT rect;
  if (!layout || !layout->FindText(element, i) || !GetTextScreenRect(i, &rect)) return;
  // In the element's own font and alignment, as the full paint draws it, so
  // that the text stands in one place whichever drew it last.
  const LayoutText& layoutText = layout->Texts()[static_cast<std::size_t>(i)];
  DrawTextWithFont(text, rect, layoutText.font, layoutText.align, 0xFFFFFF, SKIN_FIT_ELLIPSIS);
}

void CPhotoPage::DrawEntryTexts() {
  if (!IsPainted() || !Layout()) return;
  // Vendor 4 shows the highlighted thumbnail large, with its name.
  if (Vendor() == 4 && FocusedList() >= 0 && FocusedList() == ListIndex("Photo Thumbnail Browser")) {
    DrawHighlightItem(FocusedList(), FocusedEntry());
    DrawWhiteText("Photo Currently Highlight Archive Item Text", TextFor("Photo File Name"));
  }
  for (const EntryTexts& texts : kEntryTexts) {
    if (ListIndex(texts.list) != FocusedList() || FocusedList() < 0) continue;
    for (const char* element : {texts.name, texts.time, texts.count})
      if (element) DrawWhiteText(element, TextFor(element));
    if (texts.list == std::string(kMusicListName)) {
      for (const char* element : {kTrackArtist, kTrackAlbum}) DrawWhiteText(element, TextFor(element));
    }
  }
}
