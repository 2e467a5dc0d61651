// CMusicPage: the rows of "Music List Panel", the texts, the highlighted
// item's information, the album art and the current time.
#include <cstdio>
#include <filesystem>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/music/music_page.h"
#include "lounge/pages/music/music_page_paths.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/image_loader.h"
#include "platform/sys/drive_table.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kPanel = "Music List Panel";
constexpr plat::COLORREF kWhite = 0x00FFFFFF;

std::string DisplayName(const std::string& path) {
  std::string name;
  if (!path.empty()) GetShellDisplayName(path, name);
  return name;
}

std::string OrUnknown(const std::string& text) { return text.empty() ? "Unknown" : text; }

void Text(plat::HDC dc, const plat::RECT& r, const std::string& text, int align, plat::COLORREF colour) {
  DrawSkinTextDefaultFont(dc, r.left, r.top, r.right, r.bottom, text, align, colour, SKIN_FIT_ELLIPSIS);
}

// The records a track-style page lists.
const std::vector<MusicRecord>* RecordsOf(const CMusicConfig& music, int id) {
  switch (id) {
    case 9: return &music.m_vecAlbums;
    case 10: return &music.m_vecArtists;
    case 11: return &music.m_vecGenres;
    case 12: return &music.m_vecPlaylists;
    case 25: case 26: return &music.m_vecRipJobs;
    case 2: case 13: case 15: case 16: case 17: case 18: case 19: case 23: case 29: return &music.m_vecLibraryTracks;
    default: return nullptr;
  }
}

// The duration column of a record: the track records keep it in their
// sixth text; the other lists show none.
std::string DurationOf(const MusicRecord& record, int id) {
  if (id == 25 || id == 26) return record.strTexts[CMusicConfig::kRipStatusText];
  if (id >= 9 && id <= 12) return {};
  return record.strTexts[4];
}

}  // namespace

// ---- device rows ----

std::vector<MusicDeviceRow> CMusicPage::DeviceRows() {
  const CConfig* config = Config();
  if (!config) return {};
  return MusicDeviceRows(*config, Frame().Services().GetAppFlags(), VendorId());
}

// ---- row drawing ----

bool CMusicPage::PanelTextRect(const std::string& name, int slot, plat::RECT* rect) {
  const int list = PanelList();
  int text = -1;
  plat::RECT first{}, row0{}, rowN{};
  if (list < 0 || !Layout()->FindListText(name, text, list) || !GetListTextScreenRect(text, list, &first) ||
      !GetListItemScreenRect(0, list, &row0) || !GetListItemScreenRect(slot, list, &rowN))
    return false;
  // The list texts are laid out in the first row; other rows move them.
  const int dx = rowN.left - row0.left;
  const int dy = rowN.top - row0.top;
  *rect = plat::RECT{first.left + dx, first.top + dy, first.right + dx, first.bottom + dy};
  return true;
}

void CMusicPage::DrawRowIcon(const std::string& skinFile, plat::HDC dc, const plat::RECT& rect) {
  std::string path;
  m_musicBrowser->MakeSkinPath(path);
  DrawBitmapFile(ResolveSkinPath(JoinSkinFile(path, skinFile)), dc, rect);
}

int CMusicPage::DrawListItemText(int list, int item, plat::HDC dc, plat::COLORREF colour, int state) {
  if (list != PanelList()) return CSkinPage::DrawListItemText(list, item, dc, colour, state);
  int row = -1;
  if (!ElementIndex().RowToItem(list, item, &row) || row < 0) return 0;
  DrawPanelRow(item, row, dc, colour, state);
  return 1;
}

void CMusicPage::DrawPanelRow(int slot, int row, plat::HDC dc, plat::COLORREF colour, int state) {
  CMusicConfig* music = Music();
  if (!music) return;
  const int id = MusicPageId();
  const int vendor = VendorId();
  plat::RECT check{};
  GetListItemCheckScreenRect(slot, PanelList(), &check);
  const bool hasCheck = check.right > check.left;
  auto playIcon = [&](int currentRow) {
    if (!hasCheck || currentRow != music->m_nCurrentItem) return;
    const char* icon = music->m_nMusicState == MUSIC_PLAYING  ? "Layout\\Img\\Music\\st_play.BMP"
                       : music->m_nMusicState == MUSIC_PAUSED ? "Layout\\Img\\Music\\st_pause.BMP"
                       : music->m_nMusicState == MUSIC_FAST_FORWARD ? "Layout\\Img\\Music\\st_FF.BMP"
                                                                     : nullptr;
    if (icon) DrawRowIcon(icon, dc, check);
  };

  if (id == 1 || id == 6 || id == 22) {
    plat::RECT icon{}, text{};
    if (!PanelTextRect("Music_MyMusic_Icon", slot, &icon) || !PanelTextRect("Music_MyMusic_Title", slot, &text)) return;
    FileListDrawRecord record;
    record.index = row;
    record.icon = icon;
    record.text = text;
    record.dc = dc;
    record.textColour = colour;
    record.secondColour = colour;
    record.rowState = state;
    CFileListSource& browser = id == 22 ? *m_folderBrowser : *m_musicBrowser;
    browser.DrawEntry(record);
    if (id != 22) {
      int kind = 0, index = 0;
      if (browser.GetEntryByIndex(row, kind, index) && kind == FILE_LIST_FILE) playIcon(index);
    }
    return;
  }
  if (id == 3) {
    plat::RECT icon{}, text{};
    if (row >= static_cast<int>(music->m_arrDeletedFiles.size()) || !PanelTextRect("Music_MyMusic_Title", slot, &text))
      return;
    const std::string& path = music->m_arrDeletedFiles[static_cast<std::size_t>(row)];
    if (PanelTextRect("Music_MyMusic_Icon", slot, &icon))
      DrawRowIcon(std::filesystem::is_directory(path) ? "Layout\\Img\\Common\\sub-files.bmp"
                                                      : "Layout\\Img\\Common\\music-s.BMP",
                  dc, icon);
    Text(dc, text, DisplayName(path), ALIGN_LEFT, colour);
    return;
  }
  if (id == MUSIC_PAGE_DEVICES) {
    const std::vector<MusicDeviceRow> rows = DeviceRows();
    plat::RECT icon{}, text{};
    if (row >= static_cast<int>(rows.size()) || !PanelTextRect("Music_MyMusic_Title", slot, &text)) return;
    const MusicDeviceRow& device = rows[static_cast<std::size_t>(row)];
    if (PanelTextRect("Music_MyMusic_Icon", slot, &icon)) DrawRowIcon(device.icon, dc, icon);
    Text(dc, text, device.name, ALIGN_LEFT, colour);
    return;
  }
  plat::RECT title{}, duration{};
  if (!PanelTextRect("Music_Title", slot, &title)) return;
  PanelTextRect("Music_Duration", slot, &duration);
  if (id == MUSIC_PAGE_VISUALIZATIONS) {
    if (row >= static_cast<int>(music->m_arrVisualEffects.size())) return;
    const MusicVisualEffect& effect = music->m_arrVisualEffects[static_cast<std::size_t>(row)];
    if (hasCheck)
      DrawRowIcon(effect.bSelected ? "Layout\\Img\\Music\\st_check.BMP" : "Layout\\Img\\Music\\st_uncheck.BMP", dc,
                  check);
    Text(dc, title, OrUnknown(effect.strLongName), ALIGN_LEFT, colour);
    return;
  }
  const std::vector<MusicRecord>* records = RecordsOf(*music, id);
  if (!records || row >= static_cast<int>(records->size())) return;
  const MusicRecord& record = (*records)[static_cast<std::size_t>(row)];
  Text(dc, title, OrUnknown(record.strTexts[0]), ALIGN_LEFT, colour);
  Text(dc, duration, DurationOf(record, id), ALIGN_RIGHT, colour);
  if (vendor == 4 && hasCheck && record.bChecked && (id == 2 || id == 19 || id == 23))
    DrawRowIcon("Layout\\Img\\Music\\st_check.BMP", dc, check);
  if (id == 2 || (id >= 13 && id <= 19)) playIcon(row);
  if (id == MUSIC_PAGE_ALBUM_TRACKS) {
    KillTimer(m_albumArtTimer);
    StartTimer(m_albumArtTimer, MUSIC_ALBUM_ART_TIMER, 300);
  }
}

// ---- browser sink drawing ----

int CMusicPage::DrawFolderIcon(int, int, const plat::RECT& icon, plat::HDC dc, int) {
  const int vendor = VendorId();
  DrawRowIcon(vendor == 2   ? "Layout\\Img\\Common\\sub-files-music.bmp"
              : vendor == 4 ? "Layout\\Img\\Music\\folder.bmp"
                            : "Layout\\Img\\Common\\sub-files.bmp",
              dc, icon);
  return 1;
}

int CMusicPage::DrawFileText(int, int fileIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) {
  const CMusicConfig* music = Music();
  if (!music || fileIndex < 0 || fileIndex >= static_cast<int>(music->m_vecPlayList.size())) return 0;
  Text(dc, text, DisplayName(music->m_vecPlayList[static_cast<std::size_t>(fileIndex)].strPath), ALIGN_LEFT, colour);
  return 1;
}

int CMusicPage::DrawFolderText(int, int folderIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) {
  std::string path;
  if (MusicPageId() == MUSIC_PAGE_FOLDER_SELECTOR) {
    const FileListEntry* entry = m_folderBrowser->GetFolderEntry(folderIndex);
    if (!entry) return 0;
    path = entry->path;
  } else {
    const CMusicConfig* music = Music();
    if (!music || folderIndex < 0 || folderIndex >= static_cast<int>(music->m_vecCurrentList.size())) return 0;
    path = music->m_vecCurrentList[static_cast<std::size_t>(folderIndex)].strPath;
  }
  Text(dc, text, DisplayName(path), ALIGN_LEFT, colour);
  return 1;
}

int CMusicPage::DrawFileIcon(int, int fileIndex, const plat::RECT& icon, plat::HDC dc, int) {
  if (VendorId() == 1) {
    const CMusicConfig* music = Music();
    if (!music || fileIndex < 0 || fileIndex >= static_cast<int>(music->m_vecPlayList.size())) return 0;
    return DrawShellIcon(music->m_vecPlayList[static_cast<std::size_t>(fileIndex)].strPath, dc, icon.left, icon.top,
                         icon.right, icon.bottom, 1);
  }
  DrawRowIcon("Layout\\Img\\Common\\music-s.BMP", dc, icon);
  return 1;
}

// ---- texts ----

std::string CMusicPage::TextFor(const std::string& name) {
  const CMusicConfig* music = Music();
  const CConfig* config = Config();
  if (!music || !config) return {};
  const int id = MusicPageId();
  if (name == "Music TrackPage Title") return UIStringOrEmpty("MUSIC");
  if (name == "Radio TrackPage Title") return UIStringOrEmpty("RADIO");
  if (name == "Music Highlight Item Name") return m_highlightName;
  if (name == "Music List Type") {
    // An album's own page is titled with the album's name.
    if (id == MUSIC_PAGE_ALBUM_TRACKS && music->m_nRememberedItem >= 0 &&
        static_cast<std::size_t>(music->m_nRememberedItem) < music->m_vecAlbums.size()) {
      const std::string& album = music->m_vecAlbums[static_cast<std::size_t>(music->m_nRememberedItem)].strTexts[2];
      if (!album.empty()) return album;
    }
    if (const std::string key = MusicListTypeKey(id); !key.empty()) return UIStringOrEmpty(key);
    if (id == MUSIC_PAGE_CD_TRACKS_2) return DisplayName(music->m_strBrowseFolder);
    if (id == 1 || id == 6) return DisplayName(m_musicBrowser->GetCurrentFolder());
    return {};
  }
  if (name == "Music Current Activated Track" || name == "Music Artist on Title Bar" ||
      name == "Music Album on Title Bar") {
    if (!(id == 13 || (id >= 15 && id <= 19)) || FocusedList() != PanelList()) return {};
    int kind = 0, slot = 0, row = -1;
    if (!SplitEntry(FocusedList(), FocusedEntry(), &kind, &slot) || kind != ENTRY_ITEM ||
        !ElementIndex().RowToItem(FocusedList(), slot, &row) || row < 0 ||
        row >= static_cast<int>(music->m_vecLibraryTracks.size()))
      return {};
    const MusicRecord& record = music->m_vecLibraryTracks[static_cast<std::size_t>(row)];
    if (name == "Music Current Activated Track") return record.strTexts[0];
    return name == "Music Artist on Title Bar" ? record.strTexts[1] : record.strTexts[2];
  }
  char buffer[64];
  if (name == "Music Searched File") {
    std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(music->m_nSearchedFiles));
    return buffer;
  }
  if (name == "Music Searched Progress") {
    std::snprintf(buffer, sizeof buffer, "%d%%", music->m_nSearchProgress);
    return buffer;
  }
  if (name == "Music Burn Progress") {
    if (music->m_nBurnProgress <= 0) return {};
    std::snprintf(buffer, sizeof buffer, "%d%%", music->m_nBurnProgress);
    return buffer;
  }
  if (name == "Music Track Info With Visualization") return UIStringOrEmpty(music->m_bWithSongInfo ? "YES" : "NO");
  if (name == "Music Ripping Format") {
    static const char* const kFormats[] = {"WAV", "MP3", "WMA"};
    return music->m_nRippingFormat >= 0 && music->m_nRippingFormat < 3 ? kFormats[music->m_nRippingFormat] : "";
  }
  if (name == "Music Mixer Device") {
    const int i = music->m_nMixerDeviceIndex;
    if (i < 0 || i >= static_cast<int>(music->m_arrMixerDevices.size())) return "No Device";
    return music->m_arrMixerDevices[static_cast<std::size_t>(i)];
  }
  if (name == "Music Mixer Source") {
    const int device = music->m_nMixerDeviceIndex;
    if (device < 0 || device >= static_cast<int>(music->m_arrMixerDevices.size())) return "No Source";
    const int i = music->m_nMixerSourceIndex;
    if (i < 0 || i >= static_cast<int>(music->m_arrMixerSources.size())) return "No Input Source";
    return music->m_arrMixerSources[static_cast<std::size_t>(i)];
  }
  if (name == "Music default Folder") return DisplayName(music->m_strDefaultFolder);
  if (name == "Music Current Time display")
    return music->m_dPlayPosition > 0.01 ? FormatDuration(music->m_dPlayPosition) : std::string();
  struct {
    const char* text;
    int slot;
  } static const kStatus[] = {{"Music USB Status Text", 2},           {"Music Smart Media Status Text", 3},
                              {"Music Memory Stick Status Text", 4},  {"Music Compact Flash Status Text", 5},
                              {"Music Secure Digital Status Text", 6}};
  for (const auto& status : kStatus) {
    if (name != status.text) continue;
    std::string root = config->m_szDriveRoots[static_cast<std::size_t>(status.slot)];
    if (root.empty()) return UIStringOrEmpty("NOMEDIA");
    if (root.back() != '\\') root += '\\';
    const plat::UINT type = plat::GetDriveTypeA(root.c_str());
    if (type == plat::DRIVE_UNKNOWN || type == plat::DRIVE_NO_ROOT_DIR) return UIStringOrEmpty("NOMEDIA");
    return DisplayName(root.substr(0, 2));
  }
  if (name == "Music CDDVD Status Text") {
    std::string root = config->m_szDriveRoots[1];
    if (!root.empty() && root.back() != '\\') root += '\\';
    int kind = 0;
    if (!root.empty() && plat::GetDriveTypeA(root.c_str()) == plat::DRIVE_CDROM) {
      const int drive = root[0] >= 'A' && root[0] <= 'Z' ? root[0] - 'A' : -1;
      const plat::HRESULT answer = Frame().GetDriveInfo(drive, &kind);
      if (answer == 0) return DisplayName(root.substr(0, 2));
    }
    return UIStringOrEmpty("NODISCS");
  }
  return {};
}

int CMusicPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->Texts().size()))
    return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const LayoutText& element = layout->Texts()[static_cast<std::size_t>(i)];
  const std::string text = TextFor(element.name);
  if (text.empty()) return CSkinPage::DrawTextElement(i, dc, rect, colour);
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), text, element.align,
               colour, SKIN_FIT_ELLIPSIS);
  return 1;
}

int CMusicPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || list == PanelList() || list < 0 || list >= static_cast<int>(layout->Lists().size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const CLayoutList& owner = layout->Lists()[static_cast<std::size_t>(list)];
  if (text < 0 || text >= static_cast<int>(owner.texts.size())) return 0;
  const LayoutText& element = owner.texts[static_cast<std::size_t>(text)];
  const std::string value = TextFor(element.name);
  if (value.empty()) return CSkinPage::DrawListText(text, dc, rect, list, colour);
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), value, element.align,
               colour, SKIN_FIT_ELLIPSIS);
  return 1;
}

int CMusicPage::DrawTexts(plat::HDC dc) {
  const int result = CSkinPage::DrawTexts(dc);
  KillTimer(m_albumArtTimer);
  StartTimer(m_albumArtTimer, MUSIC_ALBUM_ART_TIMER, 300);
  return result;
}

int CMusicPage::UpdateListIndexText(int list, int row) {
  if (list != PanelList() || MusicPageId() != MUSIC_PAGE_FOLDERS) return CSkinPage::UpdateListIndexText(list, row);
  // On the folder page only the files count.
  const CMusicConfig* music = Music();
  int text = -1, item = -1;
  plat::RECT rect{};
  if (!music || !Layout()->FindListText("item index", text, list) || !GetListTextScreenRect(text, list, &rect)) return 0;
  const int skipped = static_cast<int>(music->m_vecCurrentList.size()) +
                      (music->m_bBrowserCanGoUp && VendorId() != 1 && VendorId() != 4 ? 1 : 0);
  std::string value;
  if (row >= 0 && ElementIndex().RowToItem(list, row, &item) && item >= skipped) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d / %d", item - skipped + 1, static_cast<int>(music->m_vecPlayList.size()));
    value = buffer;
  }
  DrawTextAt(value, rect.left, rect.top, rect.right, rect.bottom, ALIGN_CENTER, kWhite, SKIN_FIT_ELLIPSIS);
  return 0;
}

// ---- highlighted item ----

void CMusicPage::UpdateHighlight() {
  CMusicConfig* music = Music();
  const int list = PanelList();
  m_highlightName.clear();
  if (!music || list < 0) return;
  int kind = 0, slot = 0, row = -1;
  if (FocusedList() != list || !SplitEntry(list, FocusedEntry(), &kind, &slot) || kind != ENTRY_ITEM ||
      !ElementIndex().RowToItem(list, slot, &row) || row < 0)
    return;
  const int id = MusicPageId();
  auto recordName = [&](const std::vector<MusicRecord>& records) {
    return row < static_cast<int>(records.size()) ? records[static_cast<std::size_t>(row)].strTexts[0] : std::string();
  };
  switch (id) {
    case MUSIC_PAGE_DEVICES: {
      const std::vector<MusicDeviceRow> rows = DeviceRows();
      if (row < static_cast<int>(rows.size())) m_highlightName = rows[static_cast<std::size_t>(row)].name;
      break;
    }
    case MUSIC_PAGE_FOLDERS: {
      int entryKind = 0, index = 0;
      if (!m_musicBrowser->GetEntryByIndex(row, entryKind, index)) break;
      if (entryKind == FILE_LIST_UP_LEVEL) {
        m_highlightName = UIStringOrEmpty("UPONELEVEL");
      } else if (entryKind == FILE_LIST_FOLDER) {
        if (const FileListEntry* entry = m_musicBrowser->GetFolderEntry(index)) m_highlightName = DisplayName(entry->path);
      } else if (const FileListEntry* entry = m_musicBrowser->GetFileEntry(index)) {
        m_highlightName = DisplayName(entry->path);
        if (music->m_nMusicState == MUSIC_STOPPED) Send("Music Album Art Path", index, 0);
      }
      break;
    }
    case MUSIC_PAGE_ALBUMS:
      if (music->m_nMusicState == MUSIC_STOPPED) Send("Music Album Art Path", row, 0);
      m_highlightName = OrUnknown(recordName(music->m_vecAlbums));
      break;
    case 10: m_highlightName = OrUnknown(recordName(music->m_vecArtists)); break;
    case 11: m_highlightName = OrUnknown(recordName(music->m_vecGenres)); break;
    case 12: m_highlightName = OrUnknown(recordName(music->m_vecPlaylists)); break;
    case MUSIC_PAGE_FOLDER_SELECTOR: {
      int entryKind = 0, index = 0;
      if (m_folderBrowser->GetEntryByIndex(row, entryKind, index) && entryKind == FILE_LIST_FOLDER)
        if (const FileListEntry* entry = m_folderBrowser->GetFolderEntry(index)) m_highlightName = DisplayName(entry->path);
      break;
    }
    default:
      break;
  }
}

int CMusicPage::OnListEntryHook() {
  UpdateHighlight();
  // The texts that follow the focus are drawn again.
  for (const char* name : {"Music Highlight Item Name", "Music Current Activated Track", "Music Artist on Title Bar",
                           "Music Album on Title Bar"}) {
    plat::RECT rect{};
    if (GetTextScreenRectByName(name, &rect)) plat::InvalidateRect(Owner(), &rect, plat::FALSE);
  }
  KillTimer(m_albumArtTimer);
  StartTimer(m_albumArtTimer, MUSIC_ALBUM_ART_TIMER, 300);
  return CSkinPage::OnListEntryHook();
}

// ---- album art and time ----

int CMusicPage::DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) {
  const CLayoutReader* layout = Layout();
  const CMusicConfig* music = Music();
  if (!layout || !music || ActiveModule() == MODULE_RADIO || i < 0 ||
      i >= static_cast<int>(layout->StillImages().size()) ||
      layout->StillImages()[static_cast<std::size_t>(i)].name != "Music Album Cover" || !StillImageShown(i) ||
      music->m_strAlbumArtPath.empty())
    return CSkinPage::DrawStillImage(i, dc, rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  std::error_code error;
  const std::string& path = music->m_strAlbumArtPath;
  const auto stamp = std::filesystem::last_write_time(path, error);
  if (error || width <= 0 || height <= 0) return CSkinPage::DrawStillImage(i, dc, rect);
  const std::string key = path + '\n' + std::to_string(width) + 'x' + std::to_string(height) + '\n' +
                          std::to_string(stamp.time_since_epoch().count());
  if (key != m_albumArtKey) {
    m_albumArt.reset(plat::LoadImageBitmap(path, width, height, plat::LR_LOADFROMFILE));
    m_albumArtKey = key;
  }
  // A file that is not a picture leaves the skin's cover in place.
  if (!m_albumArt) return CSkinPage::DrawStillImage(i, dc, rect);
  return DrawBitmap(m_albumArt.get(), dc, rect);
}

void CMusicPage::DrawAlbumArt() {
  // The cover and its border are painted again: the paint draws the picture
  // of the album-art path the controller left, over anything the list drew.
  if (ActiveModule() == MODULE_RADIO || !Layout()) return;
  for (const char* name : {"Music Album Border", "Music Album Cover"}) {
    plat::RECT rect{};
    if (GetStillImageScreenRectByName(name, &rect)) plat::InvalidateRect(Owner(), &rect, plat::FALSE);
  }
}

int CMusicPage::DrawCurrentTime(double seconds) {
  plat::RECT rect{};
  if (!GetTextScreenRectByName("Music Current Time display", &rect) || !Owner()) return 0;
  plat::HDC dc = plat::GetDC(Owner());
  if (!dc) return 0;
  plat::RECT area{};
  if (GetStillImageScreenRectByName("Music Current Time display Area", &area)) {
    int i = -1;
    if (Layout()->FindStillImage("Music Current Time display Area", i)) DrawStillImage(i, dc, area);
  }
  plat::COLORREF colour = kWhite;
  int text = -1;
  if (Layout()->FindText("Music Current Time display", text)) GetTextColour(text, &colour);
  Text(dc, rect, seconds > 0.01 ? FormatDuration(seconds) : std::string(), ALIGN_CENTER, colour);
  plat::ReleaseDC(Owner(), dc);
  return 1;
}
