// CVideoPage: the texts of its pages (header, the highlighted entry, the
// setting and information lists, the capture targets).
#include <cstdio>
#include <locale>

#include "corebridge/core/config.h"
#include "corebridge/core/video_config.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/video/video_lists.h"
#include "lounge/pages/video/video_page.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_text.h"
#include "lounge/skin/string_table.h"

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
  if (name == "Video Browser Item Count") {
    if (m_itemCount <= 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%d / %d", std::min(m_listTop, m_itemCount - 1) + 1, m_itemCount);
    return text;
  }
  const std::vector<std::string>& list = StateList();
  if (name == "Video File Name" || name == "Video File Time") {
    int kind = 0;
    int index = 0;
    if (!m_browser.GetEntryByIndex(m_listTop, kind, index)) return {};
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
  const bool narrow = config->m_nScreenRatio == 1;
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
                                          "Video Capture To DVD"};
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
      DrawFittedBitmap(bitmap, dc, video_lists::HighlightGridCell(rect, index % 3, index / 3));
  }
  return 1;
}
