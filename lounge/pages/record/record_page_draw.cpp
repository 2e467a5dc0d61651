// CRecordPage: what the texts, list texts, title image and progress bars show.
#include <cstdlib>

#include "corebridge/core/config.h"
#include "corebridge/core/record_config.h"
#include "lounge/shell/app_services.h"
#include "lounge/pages/record/record_device_names.h"
#include "lounge/pages/record/record_page.h"
#include "lounge/pages/record/record_progress_text.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_text.h"
#include "platform/com/hresult.h"
#include "platform/sys/drive_table.h"

namespace {

constexpr const char* kFileProgress = "Copy File Progress";
constexpr const char* kTotalProgress = "Copy Total Progress";
constexpr const char* kListItemPrefix = "LIST_ITEM";

// The number n of a "LIST_ITEM<n>" name, or 0.
int ListItemNumber(const std::string& name) {
  const std::string prefix = kListItemPrefix;
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
    return 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return 0;
  return std::atoi(name.c_str() + prefix.size());
}

// The device title list texts, by their slot in the configuration's roots.
int DeviceSlotOfTitle(const std::string& name) {
  const struct {
    const char* text;
    int slot;
  } titles[] = {{"Record CDDVD Title Text", 1},         {"Record USB Device Title Text", 2},
                {"Record Smart Media Title Text", 3},   {"Record Memory Stick Title Text", 4},
                {"Record Compact Flash Title Text", 5}, {"Record Secure Digital Title Text", 6}};
  for (const auto& t : titles)
    if (name == t.text) return t.slot;
  return 0;
}

}  // namespace

std::string CRecordPage::TextFor(const std::string& name) const {
  if (name == "Module Text") {
    const CRecordConfig* hub = Hub();
    const int kind = hub ? hub->m_nChosenKind : RECORD_MEDIA_NONE;
    if (kind == RECORD_MEDIA_PHOTO) return UIStringOrEmpty("PHOTOS");
    if (kind == RECORD_MEDIA_AUDIO) return UIStringOrEmpty("AUDIO");
    if (kind == RECORD_MEDIA_VIDEO) return UIStringOrEmpty("VIDEO");
    return {};
  }
  if (name == "Record File Percentage") return RecordFilePercentText(Progress());
  if (name == "Record Total Percentage") return RecordTotalPercentText(Progress());
  if (name == "Total File Size") return RecordTotalSizeText(Progress());
  if (name == "Current Record File Name") return CurrentFile();
  return {};
}

std::string CRecordPage::ListTextFor(const std::string& name) {
  if (const int n = ListItemNumber(name); n > 0) {
    const CRecordConfig* hub = Hub();
    if (!hub || static_cast<std::size_t>(n) > hub->m_arrChoices.size()) return {};
    return hub->m_arrChoices[static_cast<std::size_t>(n - 1)];
  }
  const int mode = Mode();
  if (name == "Record Wait Message") {
    if (mode == MODULE_RECORD) return UIStringOrEmpty("RECORD_WAIT_RECORDING");
    if (mode == MODULE_BURNING) return UIStringOrEmpty(m_burnFailed ? "BURN_FAILED" : "BURN_WAIT_BURNING");
    return {};
  }
  if (name == "Record Stop Button") {
    if (mode == MODULE_RECORD) return UIStringOrEmpty("STOPRECORD");
    if (mode == MODULE_BURNING) return UIStringOrEmpty("STOPBURNING");
    return {};
  }
  if (const int slot = DeviceSlotOfTitle(name); slot > 0) return DeviceTitle(slot);
  return {};
}

std::string CRecordPage::DeviceTitle(int slot) {
  const CConfig* config = Config();
  const std::string root = config ? config->m_szDriveRoots[static_cast<std::size_t>(slot)] : std::string();
  std::string title;
  if (!root.empty()) {
    const plat::UINT type = plat::GetDriveTypeA(root.c_str());
    if (slot == 1) {
      // The optical drive is named only when the system core knows it too.
      int kind = 0;
      const int drive = DriveNumberOf(root);
      if (type == plat::DRIVE_CDROM && drive >= 0 && plat::SUCCEEDED(Frame().GetDriveInfo(drive, &kind)))
        title = DriveDisplayName(root);
    } else if (type != plat::DRIVE_UNKNOWN && type != plat::DRIVE_NO_ROOT_DIR) {
      title = DriveDisplayName(root);
    }
  }
  return title.empty() ? UIStringOrEmpty(slot == 1 ? "NODISCS" : "NOMEDIA") : title;
}

int CRecordPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->Texts().size()))
    return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const LayoutText& element = layout->Texts()[static_cast<std::size_t>(i)];
  const std::string text = TextFor(element.name);
  if (text.empty()) return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const int align = element.name == "Module Text" ? ALIGN_CENTER : element.align;
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), text, align, colour,
               element.dynamicFit ? SKIN_FIT_SHRINK : SKIN_FIT_ELLIPSIS);
  return 1;
}

int CRecordPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || list < 0 || list >= static_cast<int>(layout->Lists().size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const CLayoutList& layoutList = layout->Lists()[static_cast<std::size_t>(list)];
  if (text < 0 || text >= static_cast<int>(layoutList.texts.size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const LayoutText& element = layoutList.texts[static_cast<std::size_t>(text)];
  const std::string value = ListTextFor(element.name);
  if (value.empty()) return CSkinPage::DrawListText(text, dc, rect, list, colour);
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), value, element.align, colour,
               SKIN_FIT_SHRINK);
  return 1;
}

int CRecordPage::DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->StillImages().size()) ||
      layout->StillImages()[static_cast<std::size_t>(i)].name != "Title Image")
    return CSkinPage::DrawStillImage(i, dc, rect);
  if (!StillImageShown(i)) return 0;
  // The hub's title image; one that does not load draws nothing.
  const CRecordConfig* hub = Hub();
  if (!hub || hub->m_strTitleImage.empty()) return 0;
  return DrawBitmapFile(hub->m_strTitleImage, dc, rect);
}

void CRecordPage::UpdateProgressBars() {
  const RecordCopyProgress progress = Progress();
  const float file = RecordFileFraction(progress);
  const float total = RecordTotalFraction(progress);
  // Each change draws the bar into the back buffer; unchanged bars are left.
  if (file != m_shownFileFraction && SetProgressValue(kFileProgress, file, 0.0f)) m_shownFileFraction = file;
  if (total != m_shownTotalFraction && SetProgressValue(kTotalProgress, total, 0.0f)) m_shownTotalFraction = total;
}
