#include "corebridge/core/radio_config.h"

#include <algorithm>
#include <utility>

#include "corebridge/core/schedule_item.h"
#include "corebridge/core/section_text.h"
#include "corebridge/core/settings_fields.h"
#include "corebridge/core/xml_settings.h"

namespace {

// Key names of one band's station arrays.
struct BandKeys {
  const char* name;
  const char* freq;
  const char* select;
  const char* presetId;
};

constexpr BandKeys kFMKeys{"RADIO_FMSTATIONNAME", "RADIO_FMSTATIONFREQ", "RADIO_FMSTATIONSELECT",
                           "RADIO_FMSTATIONPRESETID"};
constexpr BandKeys kAMKeys{"RADIO_AMSTATIONNAME", "RADIO_AMSTATIONFREQ", "RADIO_AMSTATIONSELECT",
                           "RADIO_AMSTATIONPRESETID"};

// The widest bands any tuner covers: FM from the low OIRT band to 108 MHz
// (hertz), AM from long wave to the top of medium wave (thousandths of a
// hertz).
constexpr int kLowestFM = 64'000'000;
constexpr int kHighestFM = 108'000'000;
constexpr int kLowestAM = 148'500'000;
constexpr int kHighestAM = 1'710'000'000;

void LoadStations(const CXmlSettings& xml, const BandKeys& keys, std::vector<RadioStation>& list) {
  std::vector<std::string> names;
  std::vector<std::uint32_t> freqs;
  std::vector<int> selects;
  std::vector<std::uint32_t> presets;
  xml.XmlGetStringArray(keys.name, names, CRadioConfig::kSection);
  xml.XmlGetUIntArray(keys.freq, freqs, CRadioConfig::kSection);
  xml.XmlGetBooleanArray(keys.select, selects, CRadioConfig::kSection);
  xml.XmlGetUIntArray(keys.presetId, presets, CRadioConfig::kSection);
  // One station per index of the four arrays; entries that not every array
  // holds describe no whole station and are left out.
  const std::size_t count = std::min({names.size(), freqs.size(), selects.size(), presets.size()});
  list.clear();
  for (std::size_t i = 0; i < count; ++i) {
    list.push_back(MakeRadioStation(names[i], static_cast<int>(freqs[i]), selects[i], static_cast<int>(presets[i])));
  }
}

void SaveStations(CXmlSettings& xml, const BandKeys& keys, const std::vector<RadioStation>& list) {
  std::vector<std::string> names;
  std::vector<std::uint32_t> freqs;
  std::vector<int> selects;
  std::vector<std::uint32_t> presets;
  for (const RadioStation& s : list) {
    names.push_back(s.strName);
    freqs.push_back(static_cast<std::uint32_t>(s.nFrequency));
    selects.push_back(s.nSelect);
    presets.push_back(static_cast<std::uint32_t>(s.nPresetId));
  }
  xml.XmlSetStringArray(keys.name, names, CRadioConfig::kSection);
  xml.XmlSetUIntArray(keys.freq, freqs, CRadioConfig::kSection);
  xml.XmlSetBooleanArray(keys.select, selects, CRadioConfig::kSection);
  xml.XmlSetUIntArray(keys.presetId, presets, CRadioConfig::kSection);
}

// Copies the station at `index` into `out` and returns the index; -1 (out
// untouched) for none.
int CopyOut(const std::vector<RadioStation>& list, int index, RadioStation& out) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return -1;
  out = list[static_cast<std::size_t>(index)];
  return index;
}

}  // namespace

CRadioConfig::CRadioConfig(CConfig* root)
    : m_pProfiles1(std::make_unique<CAudioProfileList>()),
      m_pProfiles2(std::make_unique<CAudioProfileList>()),
      m_pEditSchedule(std::make_unique<CScheduleItem>(SCHEDULE_RADIO)),
      m_pConfig(root) {}

CRadioConfig::~CRadioConfig() = default;

int CRadioConfig::RadioConfigLoad(CXmlSettings& xml) {
  if (!xml.Root()) return 0;
  using namespace settings_fields;
  ReadInt(xml, "RADIO_RECORDFORMAT", m_nRecordFormat, kSection, Between(0, 4));
  ReadInt(xml, "RADIO_RECORDTO", m_nRecordTo, kSection, kAny);
  ReadInt(xml, "RADIO_RECORDDISCFORMAT", m_nRecordDiscFormat, kSection, Between(0, 1));
  ReadInt(xml, "RADIO_CURAREA", m_nCurArea, kSection, kNonNegative);
  ReadInt(xml, "RADIO_CURBAND", m_nCurBand, kSection, Between(RADIO_BAND_AM, RADIO_BAND_FM));
  ReadUIntAsInt(xml, "RADIO_CURFMFREQUENCY", m_nCurFMFrequency, kSection, Between(kLowestFM, kHighestFM));
  ReadUIntAsInt(xml, "RADIO_CURAMFREQUENCY", m_nCurAMFrequency, kSection, Between(kLowestAM, kHighestAM));
  ReadInt(xml, "RADIO_CURFMSTATION", m_nCurFMStation, kSection, kIndexOrNone);
  ReadInt(xml, "RADIO_CURAMSTATION", m_nCurAMStation, kSection, kIndexOrNone);
  ReadUIntAsInt(xml, "RADIO_FMFINETUNESCALE", m_nFMFineTuneScale, kSection, kPositive);
  ReadUIntAsInt(xml, "RADIO_FMAUTOSCANSCALE", m_nFMAutoScanScale, kSection, kPositive);
  ReadUIntAsInt(xml, "RADIO_AMFINETUNESCALE", m_nAMFineTuneScale, kSection, kPositive);
  ReadUIntAsInt(xml, "RADIO_AMAUTOSCANSCALE", m_nAMAutoScanScale, kSection, kPositive);
  LoadStations(xml, kFMKeys, m_fmStations);
  LoadStations(xml, kAMKeys, m_amStations);
  return 1;
}

int CRadioConfig::RadioConfigSave(CXmlSettings& xml) {
  xml.XmlSetInt("RADIO_RECORDFORMAT", m_nRecordFormat, kSection);
  xml.XmlSetInt("RADIO_RECORDTO", m_nRecordTo, kSection);
  xml.XmlSetInt("RADIO_RECORDDISCFORMAT", m_nRecordDiscFormat, kSection);
  xml.XmlSetInt("RADIO_CURAREA", m_nCurArea, kSection);
  xml.XmlSetInt("RADIO_CURBAND", m_nCurBand, kSection);
  xml.XmlSetUInt("RADIO_CURFMFREQUENCY", static_cast<std::uint32_t>(m_nCurFMFrequency), kSection);
  xml.XmlSetUInt("RADIO_CURAMFREQUENCY", static_cast<std::uint32_t>(m_nCurAMFrequency), kSection);
  xml.XmlSetUInt("RADIO_FMFINETUNESCALE", static_cast<std::uint32_t>(m_nFMFineTuneScale), kSection);
  xml.XmlSetUInt("RADIO_FMAUTOSCANSCALE", static_cast<std::uint32_t>(m_nFMAutoScanScale), kSection);
  xml.XmlSetUInt("RADIO_AMFINETUNESCALE", static_cast<std::uint32_t>(m_nAMFineTuneScale), kSection);
  xml.XmlSetUInt("RADIO_AMAUTOSCANSCALE", static_cast<std::uint32_t>(m_nAMAutoScanScale), kSection);
  xml.XmlSetInt("RADIO_CURFMSTATION", m_nCurFMStation, kSection);
  xml.XmlSetInt("RADIO_CURAMSTATION", m_nCurAMStation, kSection);
  SaveStations(xml, kFMKeys, m_fmStations);
  SaveStations(xml, kAMKeys, m_amStations);
  return 1;
}

std::vector<RadioStation>* CRadioConfig::StationList(int band) {
  return const_cast<std::vector<RadioStation>*>(std::as_const(*this).StationList(band));
}

const std::vector<RadioStation>* CRadioConfig::StationList(int band) const {
  if (band == RADIO_BAND_CURRENT) band = m_nCurBand;
  if (band == RADIO_BAND_AM) return &m_amStations;
  if (band == RADIO_BAND_FM) return &m_fmStations;
  return nullptr;
}

int* CRadioConfig::CurrentStationIndex(int band) {
  if (band == RADIO_BAND_CURRENT) band = m_nCurBand;
  if (band == RADIO_BAND_AM) return &m_nCurAMStation;
  if (band == RADIO_BAND_FM) return &m_nCurFMStation;
  return nullptr;
}

int CRadioConfig::GetRadioStationCount(int band) const {
  const auto* list = StationList(band);
  return list ? static_cast<int>(list->size()) : 0;
}

int CRadioConfig::GetRadioStation(int index, RadioStation& out, int band) const {
  const auto* list = StationList(band);
  return (list && CopyOut(*list, index, out) >= 0) ? 1 : 0;
}

int CRadioConfig::SetRadioStation(int index, const RadioStation& station, int band) {
  auto* list = StationList(band);
  if (!list || index < 0 || static_cast<std::size_t>(index) >= list->size()) return 0;
  (*list)[static_cast<std::size_t>(index)] =
      MakeRadioStation(station.strName, station.nFrequency, station.nSelect, station.nPresetId);
  return 1;
}

int CRadioConfig::BuildRadioStations(int n, int band) {
  auto* list = StationList(band);
  if (!list || n < 0) return 0;
  radio_stations::Resize(*list, n);
  return 1;
}

int CRadioConfig::AddRadioStation(int frequency, const std::string& name, int select, int band) {
  auto* list = StationList(band);
  if (!list) return 0;
  radio_stations::Add(*list, frequency, name, select);
  return 1;
}

int CRadioConfig::DeleteRadioStation(int index, int band) {
  auto* list = StationList(band);
  return list ? radio_stations::Delete(*list, index) : 0;
}

int CRadioConfig::ResetRadioStations(int band) {
  auto* list = StationList(band);
  if (!list) return 0;
  list->clear();
  return 1;
}

int CRadioConfig::SwapRadioStations(int index1, int index2, int band) {
  auto* list = StationList(band);
  return list ? radio_stations::Swap(*list, index1, index2) : 0;
}

int CRadioConfig::GetPrevRadioStation(int index, RadioStation& out, int band) const {
  const auto* list = StationList(band);
  return list ? CopyOut(*list, radio_stations::Prev(*list, index), out) : -1;
}

int CRadioConfig::GetNextRadioStation(int index, RadioStation& out, int band) const {
  const auto* list = StationList(band);
  return list ? CopyOut(*list, radio_stations::Next(*list, index), out) : -1;
}

int CRadioConfig::CountRadioFavorites(int band) const {
  const auto* list = StationList(band);
  return list ? radio_stations::CountPresets(*list) : 0;
}

int CRadioConfig::PrevFavoriteStation(int presetNo, RadioStation& out, int band) const {
  return FindFavoriteStation(presetNo - 1, out, band);
}

int CRadioConfig::NextFavoriteStation(int presetNo, RadioStation& out, int band) const {
  return FindFavoriteStation(presetNo + 1, out, band);
}

int CRadioConfig::FindFavoriteStation(int presetNo, RadioStation& out, int band) const {
  const auto* list = StationList(band);
  return list ? CopyOut(*list, radio_stations::FindPreset(*list, presetNo), out) : -1;
}

int CRadioConfig::DeleteRadioStationByKey(int presetNo, int band) {
  auto* list = StationList(band);
  return list ? radio_stations::RemovePreset(*list, presetNo) : 0;
}

int CRadioConfig::MoveRadioStation(int fromPreset, int toPreset, int band) {
  auto* list = StationList(band);
  return list ? radio_stations::MovePreset(*list, fromPreset, toPreset) : 0;
}

int CRadioConfig::SortRadioStations(int key, int value) {
  const auto* current = StationList(RADIO_BAND_CURRENT);
  int* currentIndex = CurrentStationIndex(RADIO_BAND_CURRENT);
  const int oldIndex = currentIndex ? *currentIndex : -1;
  RadioStation remembered;
  const bool haveCurrent = current && CopyOut(*current, oldIndex, remembered) >= 0;

  m_nStationSortKey = key;
  m_nStationSortValue = value;
  radio_stations::Sort(m_fmStations, key);
  radio_stations::Sort(m_amStations, key);

  if (currentIndex && current) {
    int newIndex = -1;
    if (haveCurrent) {
      const auto it = std::find_if(current->begin(), current->end(), [&remembered](const RadioStation& s) {
        return s.nFrequency == remembered.nFrequency;
      });
      if (it != current->end()) newIndex = static_cast<int>(it - current->begin());
    }
    *currentIndex = newIndex;
    (m_nCurBand == RADIO_BAND_AM ? m_nPrevAMStation : m_nPrevFMStation) = oldIndex;
  }
  return 1;
}

int CRadioConfig::SortRadioStationsByName(int key, int value) {
  std::string rememberedPath;
  if (m_nCurRecorded >= 0 && static_cast<std::size_t>(m_nCurRecorded) < m_recordedFiles.size()) {
    rememberedPath = m_recordedFiles[static_cast<std::size_t>(m_nCurRecorded)].strPath;
  }
  m_nRecordedSortKey = key;
  m_nRecordedSortValue = value;
  if (key == kRecordedSortDate) {
    std::stable_sort(m_recordedFiles.begin(), m_recordedFiles.end(),
                     [](const RadioRecordedFile& a, const RadioRecordedFile& b) { return a.ftLastWrite < b.ftLastWrite; });
  } else if (key == kRecordedSortName) {
    std::stable_sort(m_recordedFiles.begin(), m_recordedFiles.end(),
                     [](const RadioRecordedFile& a, const RadioRecordedFile& b) {
                       return section_text::CompareNoCase(a.strName, b.strName) < 0;
                     });
  }
  if (!rememberedPath.empty()) {
    const auto it = std::find_if(m_recordedFiles.begin(), m_recordedFiles.end(), [&](const RadioRecordedFile& f) {
      return section_text::EqualNoCase(f.strPath, rememberedPath);
    });
    if (it != m_recordedFiles.end()) m_nCurRecorded = static_cast<int>(it - m_recordedFiles.begin());
  }
  return 1;
}

void CRadioConfig::SetRadioPage(int page) {
  m_nPrevPage = m_nPage;
  m_nPage = page;
}

void CRadioConfig::PushRadioPage(int page) { m_pageHistory.push_back(page); }

int CRadioConfig::PopRadioPage(int& page) {
  if (m_pageHistory.empty()) return 0;
  page = m_pageHistory.back();
  m_pageHistory.pop_back();
  return 1;
}

int CRadioConfig::PeekRadioPage(int& page) const {
  if (m_pageHistory.empty()) return 0;
  page = m_pageHistory.back();
  return 1;
}

void CRadioConfig::ClearRadioPages() { m_pageHistory.clear(); }

int CRadioConfig::RadioCanGoBack(int& answer) const {
  answer = m_nRecordState != RADIO_SCANNING ? 1 : 0;
  return 1;
}

int CRadioConfig::RadioMenuAllowed(int& answer) const {
  answer = (m_nRecordState != RADIO_RECORDING && m_nRecordState != RADIO_SCHEDULED_RECORDING) ? 1 : 0;
  return 1;
}

int CRadioConfig::RadioStationSelected(int& answer) const {
  if (m_nPage == RADIO_PAGE_STATIONS || m_nPage == RADIO_PAGE_FAVORITES) answer = m_nSelectedStation >= 0 ? 1 : 0;
  return 1;
}

int CRadioConfig::RadioCanMoveStation(int& answer, int& second) const {
  if (m_nPage != RADIO_PAGE_FAVORITES) return 1;
  answer = m_nSelectedStation >= 0 ? 1 : 0;
  int top = 0;
  second = (PeekRadioPage(top) && top == 2) ? 1 : 0;
  return 1;
}

int CRadioConfig::RadioCanAddFavorite(int& answer) const {
  if (m_nPage != RADIO_PAGE_STATIONS) return 1;
  RadioStation selected;
  answer = (GetRadioStation(m_nSelectedStation, selected, RADIO_BAND_CURRENT) && selected.nPresetId < 0) ? 1 : 0;
  return 1;
}

int CRadioConfig::RadioIsSchedulePage(int& first, int& second) const {
  first = second = m_nPage == RADIO_PAGE_SCHEDULE ? 1 : 0;
  return 1;
}

int CRadioConfig::RadioKeyEnable(int& first, int& second) const {
  const bool on = m_nRecordState == RADIO_RECORDING || m_nRecordState == RADIO_SCANNING ||
                  m_nRecordState == RADIO_PLAYING_RECORDING || m_nRecordState == RADIO_RECORDING_PAUSED;
  first = second = on ? 1 : 0;
  return 1;
}
