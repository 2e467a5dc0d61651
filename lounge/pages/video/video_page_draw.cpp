// CVideoPage: the texts of its pages (header, the highlighted entry, the
// setting and information lists, the capture targets).
#include <filesystem>
#include <locale>

#include "corebridge/core/config.h"
#include "corebridge/core/video_config.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/video/video_lists.h"
#include "lounge/pages/video/video_page.h"
#include "lounge/shell/action_state_video.h"
#include "lounge/shell/app_options.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_text.h"
#include "lounge/skin/string_table.h"
#include "platform/sys/drive_table.h"

namespace {

constexpr const char* kThumbnailBrowserList = "Video Thumbnail Browser";

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

std::string DiscFormatKey(const std::string& format) {
  static const std::pair<const char*, const char*> kFormats[] = {
      {"VCD", "VCD"},       {"SVCD", "SVCD"},     {"DVD Normal", "DVD_NORMAL"}, {"DVD Best", "DVD_BEST"},
      {"DVD HQ", "DVD_HQ"}, {"DVD SP", "DVD_SP"}, {"DVD LP", "DVD_LP"}};
  for (const auto& [name, key] : kFormats) {
    if (format == name) return key;
  }
  return {};
}

}  // namespace

std::string CVideoPage::TextFor(const std::string& name) {
  CVideoConfig* video = Video();
  if (!video) return {};
  if (name == "VIDEO_VIDEOHEADER" || name == "Video Browser Header Text") {
    if (video->m_nView == VIDEO_VIEW_DEVICES) return UIStringOrEmpty("VIDEO_DEVICES");
    std::string shown;
    GetShellDisplayName(m_browser.GetCurrentFolder(), shown);
    return shown;
  }
  if (name == "Video Empty Folder Text") return FolderHasNoVideos() ? UIStringOrEmpty("VIDEO_NO_VIDEOS") : std::string();
  if (name == "Video Browser Item Count") {
    const int count = video->m_nView == VIDEO_VIEW_DEVICES ? static_cast<int>(m_devices.size()) : m_itemCount;
    if (count <= 0) return {};
    return std::to_string(std::min(HighlightedEntry(), count - 1) + 1) + " / " + std::to_string(count);
  }
  const std::vector<std::string>& list = StateList();
  if (name == "Video File Name" || name == "Video File Time") {
    int kind = 0;
    int index = 0;
    if (!m_browser.GetEntryByIndex(HighlightedEntry(), kind, index)) return {};
    if (kind == FILE_LIST_UP_LEVEL) return name == "Video File Name" ? UIStringOrEmpty("UPONELEVEL") : std::string();
    if (kind != FILE_LIST_FILE || index < 0 || index >= static_cast<int>(list.size())) return {};
    const std::string& path = list[static_cast<std::size_t>(index)];
    return name == "Video File Name" ? video_lists::GetFileNameOfPath(path)
                                     : video_lists::GetFileDateText(path, UserLocale());
  }
  const auto withTime = [this](const char* key) {
    const std::string text = UIStringOrEmpty(key);
    return m_strCaptureTime.empty() ? text : text + " " + m_strCaptureTime;
  };
  if (name == "Video Capture To HD" && video->m_bCapturing && video->m_nCaptureTarget == 0)
    return withTime("CAPTURING_TO_HD");
  if (name == "Video Capture To DVD" && video->m_bCapturing && video->m_nCaptureTarget == 1)
    return withTime("CAPTURING_TO_DVD");
  return {};
}

std::string CVideoPage::ListTextFor(const std::string& name) {
  CVideoConfig* video = Video();
  CConfig* config = Config();
  if (!video || !config) return {};
  // The display type the user steps with the arrows, not the window's shape.
  const bool narrow = config->m_nDisplayMode == 1;
  if (name == "Video ScreenSize Option") return UIStringOrEmpty(narrow ? "SCREENRATIO43" : "SCREENRATIO169");
  if (name == "Video ScreenMode Option") {
    if (narrow) return UIStringOrEmpty(video->m_nScreenMode4x3 == 1 ? "LETTERBOX" : "PANSCAN");
    return UIStringOrEmpty(video->m_nScreenMode16x9 == 1 ? "ORIGINAL" : "STRETCH");
  }
  if (name == "Video Screen Mode") return UIStringOrEmpty(narrow ? "DISPLAY_TYPE_16X9" : "DISPLAY_TYPE_4X3");
  if (name == "Video Snapshot Folder") return video->m_strSnapshotFolder;
  if (name == "Video Default Folder") return video->m_strDefaultFolder;
  if (name == "Video Captured Folder") {
    if (Vendor() != 2) return video->m_strCapturedFolder;
    std::string shown;
    GetShellDisplayName(video->m_strAuthoringCapturedFolder, shown);
    return shown;
  }
  if (name == "Video Capturing Disc Type Option") {
    if (video->m_nCaptureTarget == 0) return UIStringOrEmpty("HARDDISK");
    if (video->m_nCaptureTarget == 1) return UIStringOrEmpty("DVD");
    return {};
  }
  if (name == "Video Capturing Disc Format Option") {
    const std::string key = DiscFormatKey(Vendor() == 2 ? video->m_strAuthoringDiscFormat : video->m_strDiscFormat);
    return key.empty() ? std::string() : UIStringOrEmpty(key);
  }
  if (name == "Video Archive Information") return UIStringOrEmpty("VIDEO_EXISTING_CLIPS");
  if (name == "Video CD/DVD Information") {
    // The CD slot's drive, when it is an optical drive with a disc.
    std::string root = config->m_szDriveRoots[1];
    if (!root.empty() && root.back() != '\\') root += '\\';
    if (root.size() >= 2 && root[0] >= 'A' && root[0] <= 'Z' && plat::GetDriveTypeA(root.c_str()) == plat::DRIVE_CDROM) {
      int kind = 0;
      if (Frame().GetDriveInfo(root[0] - 'A', &kind) == 0) {
        std::string shown;
        GetShellDisplayName(root.substr(0, 2), shown);
        return kind == 6 ? UIStringOrEmpty("VIDEO_DVD_VIDEO") + ": " + shown : shown;
      }
    }
    return UIStringOrEmpty("NODISCS");
  }
  if (name == "Video DV Information" || name == "Video Composite Information" || name == "Video SVideo Information")
    return UIStringOrEmpty("VIDEO_NOT_AVAILABLE");
  return {};
}

int CVideoPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->Texts().size()))
    return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const LayoutText& element = layout->Texts()[static_cast<std::size_t>(i)];
  static const char* const kOwnTexts[] = {"VIDEO_VIDEOHEADER",  "Video Browser Header Text", "Video Browser Item Count",
                                          "Video File Name",    "Video File Time",           "Video Capture To HD",
                                          "Video Capture To DVD", "Video Empty Folder Text"};
  bool own = false;
  for (const char* t : kOwnTexts) own = own || element.name == t;
  if (!own) return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const std::string text = TextFor(element.name);
  if (text.empty()) return 1;
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), text, element.align,
               colour, SKIN_FIT_ELLIPSIS);
  return 1;
}

int CVideoPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || list < 0 || list >= static_cast<int>(layout->Lists().size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const CLayoutList& layoutList = layout->Lists()[static_cast<std::size_t>(list)];
  if (text < 0 || text >= static_cast<int>(layoutList.texts.size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const LayoutText& element = layoutList.texts[static_cast<std::size_t>(text)];
  const std::string value = ListTextFor(element.name);
  if (value.empty()) return CSkinPage::DrawListText(text, dc, rect, list, colour);
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), value, element.align,
               colour, SKIN_FIT_SHRINK);
  return 1;
}

int CVideoPage::DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) {
  const CLayoutReader* layout = Layout();
  CVideoConfig* video = Video();
  if (!layout || !video || video->m_nView != VIDEO_VIEW_EDIT || i < 0 ||
      i >= static_cast<int>(layout->StillImages().size()) ||
      layout->StillImages()[static_cast<std::size_t>(i)].name != "Video Highlight Item Image")
    return CSkinPage::DrawStillImage(i, dc, rect);
  // The grid's picture, then the first nine chosen videos in its cells.
  CSkinPage::DrawStillImage(i, dc, rect);
  const std::vector<std::string>& chosen = video->m_selectedFiles;
  for (std::size_t n = 0; n < chosen.size() && n < 9; ++n) {
    const int index = static_cast<int>(n);
    if (plat::HBITMAP bitmap = ThumbnailOf(index, index, chosen[n]))
      DrawFittedBitmap(bitmap, dc, video_lists::HighlightGridCell(rect, index % 3, index / 3), PixelAspect());
  }
  return 1;
}

int CVideoPage::QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) {
  std::string name;
  if (!Layout() || !Layout()->GetListActionName(name, action, list) || !shown || !enabled || !checked) return 0;
  if (name == "pageup" || name == "pagedown") {
    int can = 0;
    if (name == "pageup") ElementIndex().CanScrollUp(list, &can);
    else ElementIndex().CanScrollDown(list, &can);
    *enabled = can ? 1 : 0;
    return 1;
  }
  if (name == "UpLevel") {
    *shown = *enabled = m_browser.CanGoUp() ? 1 : 0;
    return 1;
  }
  const int vendor = Vendor();
  if (vendor == 4 && (name == "Video DV" || name == "Video Composite In" || name == "Video SVideo In")) {
    *shown = 0;
    return 1;
  }
  if (vendor == 2 && name == "Video Acquire Tamsel") {
    std::error_code ec;
    const std::string& program = Frame().Options().videoProgramPath;
    *shown = !program.empty() && std::filesystem::is_regular_file(program, ec) ? 1 : 0;
    return 1;
  }
  // The menu, capture and camcorder entries follow the Video section; every
  // other entry keeps its preset state.
  if (CVideoConfig* video = Video()) QueryVideoActionState(*video, name, *shown, *enabled, *checked);
  return 1;
}

bool CVideoPage::FolderHasNoVideos() {
  const CVideoConfig* video = Video();
  return video && video->m_nView == VIDEO_VIEW_FOLDER && StateList().empty() && m_previews.empty();
}

int CVideoPage::QueryListItemState(int list, int item, int* shown, int*, int*) {
  // A folder without videos says so in place of the grid's empty cells; an
  // up-level cell stays.
  int grid = -1;
  if (shown && item >= m_itemCount && FolderHasNoVideos() && Layout() && Layout()->FindList(kThumbnailBrowserList, grid) &&
      list == grid)
    *shown = 0;
  return 0;
}

int CVideoPage::QueryListImageShown(int list, int image, int* shown) {
  std::string name;
  CVideoConfig* video = Video();
  CConfig* config = Config();
  if (!video || !config || !shown || !Layout() || !Layout()->GetListImageName(name, image, list)) return 0;
  // The previews of the screen mode: those of the chosen display type by
  // their queries, the other type's hidden.
  const bool narrow = config->m_nDisplayMode == 1;
  const bool of43 = name.rfind("Video 4X3 Srceen", 0) == 0;
  const bool of169 = name.rfind("Video 16X9 Srceen", 0) == 0;
  if (!of43 && !of169) return 1;
  if (of43 != narrow) {
    *shown = 0;
    return 1;
  }
  int enabled = 1, checked = 0;
  QueryVideoActionState(*video, name, *shown, enabled, checked);
  return 1;
}

int CVideoPage::QueryListTextShown(int list, int text, int* shown) {
  const CLayoutReader* layout = Layout();
  if (!layout || !shown || list < 0 || list >= static_cast<int>(layout->Lists().size())) return 0;
  const CLayoutList& entries = layout->Lists()[static_cast<std::size_t>(list)];
  if (text < 0 || text >= static_cast<int>(entries.texts.size())) return 0;
  // A label goes with the entry it names: hidden when that entry is.
  int action = -1;
  if (!layout->FindListAction(entries.texts[static_cast<std::size_t>(text)].dependency, action, list)) return 0;
  int actionShown = 1, enabled = 1, checked = 0;
  QueryListActionState(list, action, &actionShown, &enabled, &checked);
  *shown = actionShown;
  return 1;
}

int CVideoPage::QueryTextShown(const std::string& name, int* shown) {
  CVideoConfig* video = Video();
  if (!video || !shown) return 0;
  int enabled = 1, checked = 0;
  if (name == "Video Capture To HD") return QueryVideoCaptureToHDState(*video, *shown, enabled, checked);
  if (name == "Video Capture To DVD") return QueryVideoCaptureToDVDState(*video, *shown, enabled, checked);
  return 0;
}
