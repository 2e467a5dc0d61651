#include "corebridge/core/video_config.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "corebridge/core/section_text.h"
#include "corebridge/core/settings_fields.h"
#include "corebridge/core/xml_settings.h"
#include "platform/gdi/objects.h"

namespace {

// The text with every '%' doubled, so that a printf-style fill of a pattern
// built from it gives the text back unchanged.
std::string EscapePercent(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

// A list entry with its companion value and thumbnail, kept together while
// sorting.
template <typename Key>
struct SortEntry {
  Key key;
  std::string path;
  int value;
  plat::HBITMAP thumbnail;
};

}  // namespace

CVideoConfig::CVideoConfig(CConfig* root) : m_pConfig(root) {}

CVideoConfig::~CVideoConfig() = default;

int CVideoConfig::VideoConfigLoad(CXmlSettings& xml) {
  if (!xml.XmlGetStringArray("RECENT_FILES", m_recentFiles, kSection)) m_recentFiles.clear();
  xml.XmlGetString("SNAPSHOT_FOLDER", m_strSnapshotFolder, kSection);
  if (xml.XmlGetString("DEFAULT_FOLDER", m_strDefaultFolder, kSection)) m_strCurrentFolder = m_strDefaultFolder;
  xml.XmlGetString("CAPTURED_FOLDER", m_strCapturedFolder, kSection);

  int value = 0;
  m_nSortMode = (xml.XmlGetInt("SORT_MODE", value, kSection) && value != 0) ? VIDEO_SORT_BY_DATE : VIDEO_SORT_BY_NAME;
  m_nScreenMode4x3 = (xml.XmlGetInt("SCREEN_MODE_4X3", value, kSection) && value != 1) ? 2 : 1;
  m_nScreenMode16x9 = (xml.XmlGetInt("SCREEN_MODE_16X9", value, kSection) && value != 1) ? 2 : 1;
  xml.XmlGetString("VIDEO_BROWSEFOLDER", m_strBrowseFolder, kSection);
  settings_fields::ReadInt(xml, "DVPROFILEINDEX", m_nDVProfileIndex, kSection, settings_fields::kIndexOrNone);
  return 1;
}

int CVideoConfig::VideoConfigSave(CXmlSettings& xml) {
  if (!m_recentFiles.empty()) xml.XmlSetStringArray("RECENT_FILES", m_recentFiles, kSection);
  xml.XmlSetString("SNAPSHOT_FOLDER", m_strSnapshotFolder, kSection);
  xml.XmlSetString("DEFAULT_FOLDER", m_strDefaultFolder, kSection);
  xml.XmlSetString("CAPTURED_FOLDER", m_strCapturedFolder, kSection);
  xml.XmlSetInt("SORT_MODE", m_nSortMode, kSection);
  xml.XmlSetInt("SCREEN_MODE_4X3", m_nScreenMode4x3, kSection);
  xml.XmlSetInt("SCREEN_MODE_16X9", m_nScreenMode16x9, kSection);
  xml.XmlSetString("VIDEO_BROWSEFOLDER", m_strBrowseFolder, kSection);
  xml.XmlSetInt("DVPROFILEINDEX", m_nDVProfileIndex, kSection);
  return 1;
}

int CVideoConfig::ResetVideoDefaults() {
  m_nSortMode = VIDEO_SORT_BY_NAME;
  m_nScreenMode4x3 = 1;
  m_nScreenMode16x9 = 1;
  return 1;
}

void CVideoConfig::SetVideoSortMode(int mode) {
  m_nSortMode = mode;
  m_bListDirty = 1;
}

std::vector<std::string>& CVideoConfig::ListBeingSorted() {
  return m_nView == VIDEO_VIEW_RECENT ? m_recentFiles : m_folderFiles;
}

void CVideoConfig::SortVideoFiles() {
  if (m_nSortMode == VIDEO_SORT_BY_NAME) SortByName(ListBeingSorted());
  if (m_nSortMode == VIDEO_SORT_BY_DATE) SortByDate(ListBeingSorted());
}

void CVideoConfig::SortByName(std::vector<std::string>& list) {
  std::vector<SortEntry<std::string>> entries;
  entries.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    entries.push_back({section_text::FileNameOf(list[i]), list[i], i < m_recentValues.size() ? m_recentValues[i] : 0,
                       TakeThumbnail(i)});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return section_text::CompareNoCase(a.key, b.key) < 0;
  });
  Refill(list, entries);
}

void CVideoConfig::SortByDate(std::vector<std::string>& list) {
  std::vector<SortEntry<std::int64_t>> entries;
  entries.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    // The path's own time; a symbolic link is never followed, and a path
    // with nothing behind it any more leaves the list.
    const std::optional<std::int64_t> time = section_text::LastWriteTimeOf(list[i]);
    plat::HBITMAP thumbnail = TakeThumbnail(i);
    if (!time) {
      // The file left the list; its thumbnail goes with it.
      if (thumbnail) plat::DeleteObject(thumbnail);
      continue;
    }
    entries.push_back({*time, list[i], i < m_recentValues.size() ? m_recentValues[i] : 0, thumbnail});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
  Refill(list, entries);
}

plat::HBITMAP CVideoConfig::TakeThumbnail(std::size_t index) {
  if (index >= m_videoThumbnails.size()) return nullptr;
  return std::exchange(m_videoThumbnails[index], nullptr);
}

template <typename Entries>
void CVideoConfig::Refill(std::vector<std::string>& list, Entries& entries) {
  // Thumbnails past the end of the list belong to no file any more.
  for (plat::HBITMAP left : m_videoThumbnails) {
    if (left) plat::DeleteObject(left);
  }
  list.clear();
  m_recentValues.clear();
  m_videoThumbnails.clear();
  for (auto& e : entries) {
    list.push_back(std::move(e.path));
    m_recentValues.push_back(e.value);
    m_videoThumbnails.push_back(e.thumbnail);
  }
}

std::string CVideoConfig::MakeVideoSnapshotName() const {
  const std::vector<std::string>& list = PlaySourceList();
  const int index = PlaySourceIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return {};
  const std::string name = section_text::FileStemOf(list[static_cast<std::size_t>(index)]);
  return EscapePercent(m_strSnapshotFolder) + "/" + EscapePercent(name) + "(%d)%s";
}

const std::vector<std::string>& CVideoConfig::PlaySourceList() const {
  if (m_nPlaySourceView == VIDEO_VIEW_RECENT) return m_recentFiles;
  if (m_nPlaySourceView == VIDEO_VIEW_EDIT) return m_arrEditList;
  return m_folderFiles;
}

int CVideoConfig::PlaySourceIndex() const {
  if (m_nPlaySourceView == VIDEO_VIEW_RECENT) return m_nRecentIndex;
  if (m_nPlaySourceView == VIDEO_VIEW_EDIT) return m_nEditIndex;
  return m_nFolderIndex;
}

int CVideoConfig::CaptureAnswer(int refusedTransportState) const {
  if (m_nCaptureSource >= VIDEO_SOURCE_WEBCAM && m_nCaptureSource <= VIDEO_SOURCE_SVIDEO) return 0;
  const bool refused =
      m_nTransportState == 1 || m_nCaptureSource == VIDEO_SOURCE_NONE ||
      (m_nCaptureSource == VIDEO_SOURCE_DV &&
       (m_nDVDeviceState == 1 || m_nTransportState == refusedTransportState || m_bCapturing != 0));
  return refused ? 0 : 1;
}

int CVideoConfig::VideoKeyPlay(int& shown, int& enabled) const {
  shown = 1;
  if (m_nView != VIDEO_VIEW_CAPTURE) {
    enabled = m_nTransportState != 1 ? 1 : 0;
    return 1;
  }
  bool on = !(m_nCaptureSource >= VIDEO_SOURCE_WEBCAM && m_nCaptureSource <= VIDEO_SOURCE_SVIDEO);
  if (m_nTransportState == 1 || m_nCaptureSource == VIDEO_SOURCE_NONE ||
      (m_nCaptureSource == VIDEO_SOURCE_DV && m_nDVDeviceState == 1 && m_bCapturing == 0)) {
    on = false;
  }
  if (m_bCaptureBusy != 0) on = false;
  enabled = on ? 1 : 0;
  return 1;
}

int CVideoConfig::VideoKeyPrevious(int& shown, int& enabled) const {
  shown = 1;
  enabled = (m_nView != VIDEO_VIEW_CAPTURE && PlaySourceIndex() > 0) ? 1 : 0;
  return 1;
}

int CVideoConfig::VideoKeyNext(int& shown, int& enabled) const {
  shown = 1;
  const long long last = static_cast<long long>(PlaySourceList().size()) - 1;
  enabled = (m_nView != VIDEO_VIEW_CAPTURE && PlaySourceIndex() < last) ? 1 : 0;
  return 1;
}

int CVideoConfig::VideoKeyFastForward(int& shown, int& enabled) const {
  shown = 1;
  enabled = m_nView == VIDEO_VIEW_CAPTURE ? CaptureAnswer(5) : m_bKeyAnswer4;
  return 1;
}

int CVideoConfig::VideoKeyRewind(int& shown, int& enabled) const {
  shown = 1;
  enabled = m_nView == VIDEO_VIEW_CAPTURE ? CaptureAnswer(4) : m_bKeyAnswer5;
  return 1;
}
