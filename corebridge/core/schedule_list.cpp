#include "corebridge/core/schedule_list.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "corebridge/core/civil_time.h"
#include "corebridge/core/settings_numbers.h"
#include "corebridge/core/xml_settings.h"

namespace {

constexpr const char* kScheduleSection = "SCHEDULECONFIG";
constexpr const char* kHistorySection = "HISTORYCONFIG";
constexpr std::int64_t kHistoryKeepSeconds = 30 * civil_time::kSecondsPerDay;

// The sixteen arrays of a section, in the order they are written.
enum Field {
  kType,
  kStatus,
  kRepeatMode,
  kBeginYM,
  kBeginWD,
  kBeginHM,
  kBeginSM,
  kRecordYM,
  kRecordWD,
  kRecordHM,
  kRecordSM,
  kDuration,
  kEnable,
  kRecFileName,
  kPriority,
  kRadioFrequency,
  kFieldCount
};

constexpr std::array<const char*, kFieldCount> kKeys = {
    "SCH_TYPE",          "SCH_STATUS",        "SCH_REPEATMODE",    "SCH_BEGINDATE_YM",
    "SCH_BEGINDATE_WD",  "SCH_BEGINDATE_HM",  "SCH_BEGINDATE_SM",  "SCH_RECORDDATE_YM",
    "SCH_RECORDDATE_WD", "SCH_RECORDDATE_HM", "SCH_RECORDDATE_SM", "SCH_DURATION",
    "SCH_ENABLE",        "SCH_RECFILENAME",   "SCH_PRIORITY",      "SCH_RADIOFREQUENCY"};

// One section's arrays as read: the raw entry texts, or nothing when the
// array key is absent.
using SectionArrays = std::array<std::optional<std::vector<std::string>>, kFieldCount>;

// Entry `i` of a numeric array; nothing when the array is absent or the entry
// holds no number (then the item keeps its default).
std::optional<std::int32_t> NumberAt(const SectionArrays& arrays, Field field, std::size_t i) {
  const auto& entries = arrays[field];
  if (!entries || i >= entries->size()) return std::nullopt;
  bool hasDigits = false;
  const std::int32_t v = settings_numbers::ParseInt32((*entries)[i], &hasDigits);
  if (!hasDigits) return std::nullopt;
  return v;
}

// A date from four word entries; nothing unless all four are numbers and the
// time of day is a time of day.
std::optional<plat::SYSTEMTIME> DateAt(const SectionArrays& arrays, Field first, std::size_t i) {
  std::uint32_t words[4];
  for (int k = 0; k < 4; ++k) {
    const auto v = NumberAt(arrays, static_cast<Field>(first + k), i);
    if (!v) return std::nullopt;
    words[k] = static_cast<std::uint32_t>(*v);
  }
  const plat::SYSTEMTIME d = CScheduleItem::UnpackDate(words[0], words[1], words[2], words[3]);
  if (d.wHour > 23 || d.wMinute > 59 || d.wSecond > 59) return std::nullopt;
  return d;
}

CScheduleItem ItemAt(const SectionArrays& arrays, std::size_t i) {
  CScheduleItem item(NumberAt(arrays, kType, i).value_or(0));
  if (auto v = NumberAt(arrays, kStatus, i)) item.SetStatus(*v);
  if (auto v = NumberAt(arrays, kRepeatMode, i)) item.SetRepeatMode(*v);
  if (auto d = DateAt(arrays, kBeginYM, i)) item.SetBeginDate(*d);
  if (auto d = DateAt(arrays, kRecordYM, i)) item.SetRecordDate(*d);
  // Minutes; a negative length is no recording anyone set.
  if (auto v = NumberAt(arrays, kDuration, i); v && *v > 0) item.SetDuration(*v);
  if (auto v = NumberAt(arrays, kEnable, i)) item.SetEnable(*v);
  if (arrays[kRecFileName] && i < arrays[kRecFileName]->size()) item.SetRecFileName((*arrays[kRecFileName])[i]);
  if (auto v = NumberAt(arrays, kPriority, i)) item.SetPriority(*v);
  if (auto v = NumberAt(arrays, kRadioFrequency, i)) item.SetRadioFrequency(*v);
  return item;
}

}  // namespace

CScheduleList::CScheduleList(const ILocalClock& clock) : m_pClock(&clock) {}

CScheduleList::~CScheduleList() = default;

int CScheduleList::CountOf(const std::vector<CScheduleItem>& items, int typeFilter) {
  if (typeFilter == 0) return static_cast<int>(items.size());
  return static_cast<int>(
      std::count_if(items.begin(), items.end(), [&](const CScheduleItem& s) { return s.GetType() == typeFilter; }));
}

int CScheduleList::FindIndex(const std::vector<CScheduleItem>& items, int index, int typeFilter) {
  if (index < 0) return -1;
  int seen = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (typeFilter != 0 && items[i].GetType() != typeFilter) continue;
    if (seen++ == index) return static_cast<int>(i);
  }
  return -1;
}

int CScheduleList::Count(int typeFilter) const { return CountOf(m_arrSchedules, typeFilter); }

int CScheduleList::CountHistory(int typeFilter) const { return CountOf(m_arrHistory, typeFilter); }

int CScheduleList::GetAt(int index, CScheduleItem& out, int typeFilter) const {
  const int i = FindIndex(m_arrSchedules, index, typeFilter);
  if (i < 0) return 0;
  out = m_arrSchedules[static_cast<std::size_t>(i)];
  return 1;
}

int CScheduleList::GetHistoryAt(int index, CScheduleItem& out, int typeFilter) const {
  const int i = FindIndex(m_arrHistory, index, typeFilter);
  if (i < 0) return 0;
  out = m_arrHistory[static_cast<std::size_t>(i)];
  return 1;
}

int CScheduleList::SetAt(int index, const CScheduleItem& item, int typeFilter) {
  const int i = FindIndex(m_arrSchedules, index, typeFilter);
  if (i < 0) return 0;
  m_arrSchedules[static_cast<std::size_t>(i)] = item;
  return 1;
}

int CScheduleList::Add(const CScheduleItem& item) {
  m_arrSchedules.push_back(item);
  return 1;
}

int CScheduleList::AddHistory(const CScheduleItem& item) {
  m_arrHistory.push_back(item);
  return 1;
}

int CScheduleList::Remove(int index, int typeFilter) {
  const int i = FindIndex(m_arrSchedules, index, typeFilter);
  if (i < 0) return 0;
  m_arrSchedules.erase(m_arrSchedules.begin() + i);
  return 1;
}

int CScheduleList::Sort(int mode) {
  if (m_arrSchedules.empty()) return 0;
  m_nSortMode = mode;
  if (mode == 1) {
    std::stable_sort(m_arrSchedules.begin(), m_arrSchedules.end(),
                     [](const CScheduleItem& a, const CScheduleItem& b) {
                       return a.GetRadioFrequency() < b.GetRadioFrequency();
                     });
  } else if (mode == 2) {
    const plat::SYSTEMTIME now = m_pClock->Now();
    auto key = [&](const CScheduleItem& s) {
      return civil_time::ToSeconds(s.GetNextStart(now)).value_or(std::numeric_limits<std::int64_t>::min());
    };
    std::stable_sort(m_arrSchedules.begin(), m_arrSchedules.end(),
                     [&](const CScheduleItem& a, const CScheduleItem& b) { return key(a) < key(b); });
  }
  return 1;
}

int CScheduleList::WalkConflicts(const std::vector<CScheduleItem>& items, const CScheduleItem& candidate,
                                 int typeFilter, int index, const CScheduleItem** found) const {
  const plat::SYSTEMTIME now = m_pClock->Now();
  int conflicts = 0;
  for (const CScheduleItem& s : items) {
    if (typeFilter != 0 && s.GetType() != typeFilter) continue;
    if (!candidate.ConflictsWith(s, now)) continue;
    if (conflicts == index) {
      if (found) *found = &s;
      return conflicts;
    }
    ++conflicts;
  }
  return conflicts;
}

int CScheduleList::CountConflicts(const CScheduleItem& candidate, int typeFilter) const {
  return WalkConflicts(m_arrSchedules, candidate, typeFilter, -1, nullptr);
}

int CScheduleList::CountHistoryConflicts(const CScheduleItem& candidate, int typeFilter) const {
  return WalkConflicts(m_arrHistory, candidate, typeFilter, -1, nullptr);
}

int CScheduleList::GetConflict(int index, const CScheduleItem& candidate, CScheduleItem& out, int typeFilter) const {
  if (index < 0) return 0;
  const CScheduleItem* found = nullptr;
  WalkConflicts(m_arrSchedules, candidate, typeFilter, index, &found);
  if (!found) return 0;
  out = *found;
  return 1;
}

int CScheduleList::GetHistoryConflict(int index, const CScheduleItem& candidate, CScheduleItem& out,
                                      int typeFilter) const {
  if (index < 0) return 0;
  const CScheduleItem* found = nullptr;
  WalkConflicts(m_arrHistory, candidate, typeFilter, index, &found);
  if (!found) return 0;
  out = *found;
  return 1;
}

int CScheduleList::FindNextDue(CScheduleItem& out, std::uint32_t& secondsToStart, int typeFilter) const {
  const plat::SYSTEMTIME now = m_pClock->Now();
  const CScheduleItem* best = nullptr;
  std::uint32_t bestSeconds = 0;
  for (const CScheduleItem& s : m_arrSchedules) {
    if (typeFilter != 0 && s.GetType() != typeFilter) continue;
    std::uint32_t seconds = 0;
    if (!s.SecondsToStart(now, seconds)) continue;
    if (!best || seconds < bestSeconds) {
      best = &s;
      bestSeconds = seconds;
    }
  }
  if (!best) return 0;
  out = *best;
  secondsToStart = bestSeconds;
  return 1;
}

int CScheduleList::FindRunning(CScheduleItem& out, std::uint32_t& secondsToEnd, int typeFilter) const {
  const plat::SYSTEMTIME now = m_pClock->Now();
  for (const CScheduleItem& s : m_arrSchedules) {
    if (typeFilter != 0 && s.GetType() != typeFilter) continue;
    if (!s.IsRunning(now)) continue;
    out = s;
    s.SecondsToEnd(now, secondsToEnd);
    return 1;
  }
  return 0;
}

std::vector<CScheduleItem> CScheduleList::ReadSection(const CXmlSettings& xml, const char* section) {
  SectionArrays arrays;
  for (int f = 0; f < kFieldCount; ++f) {
    std::vector<std::string> entries;
    if (xml.XmlGetStringArray(kKeys[static_cast<std::size_t>(f)], entries, section)) arrays[f] = std::move(entries);
  }
  std::vector<CScheduleItem> items;
  if (!arrays[kType]) return items;
  // Arrays of unequal length: only the items every present array describes.
  std::size_t count = arrays[kType]->size();
  for (const auto& entries : arrays) {
    if (entries) count = std::min(count, entries->size());
  }
  items.reserve(count);
  for (std::size_t i = 0; i < count; ++i) items.push_back(ItemAt(arrays, i));
  return items;
}

void CScheduleList::WriteSection(CXmlSettings& xml, const char* section, const std::vector<CScheduleItem>& items) {
  std::array<std::vector<std::uint32_t>, kFieldCount> numbers;
  std::vector<int> enable;
  std::vector<std::string> fileNames;
  for (auto& column : numbers) column.reserve(items.size());
  for (const CScheduleItem& s : items) {
    numbers[kType].push_back(static_cast<std::uint32_t>(s.GetType()));
    numbers[kStatus].push_back(static_cast<std::uint32_t>(s.GetStatus()));
    numbers[kRepeatMode].push_back(static_cast<std::uint32_t>(s.GetRepeatMode()));
    std::uint32_t words[4];
    CScheduleItem::PackDate(s.GetBeginDate(), words);
    for (int k = 0; k < 4; ++k) numbers[kBeginYM + k].push_back(words[k]);
    CScheduleItem::PackDate(s.GetRecordDate(), words);
    for (int k = 0; k < 4; ++k) numbers[kRecordYM + k].push_back(words[k]);
    numbers[kDuration].push_back(static_cast<std::uint32_t>(s.GetDuration()));
    enable.push_back(s.GetEnable());
    fileNames.push_back(s.GetRecFileName());
    numbers[kPriority].push_back(static_cast<std::uint32_t>(s.GetPriority()));
    numbers[kRadioFrequency].push_back(static_cast<std::uint32_t>(s.GetRadioFrequency()));
  }
  for (int f = 0; f < kFieldCount; ++f) {
    const char* key = kKeys[static_cast<std::size_t>(f)];
    if (f == kEnable) {
      xml.XmlSetBooleanArray(key, enable, section);
    } else if (f == kRecFileName) {
      xml.XmlSetStringArray(key, fileNames, section);
    } else {
      xml.XmlSetUIntArray(key, numbers[static_cast<std::size_t>(f)], section);
    }
  }
}

int CScheduleList::LoadSave(const std::string& folder, int load) {
  const std::string path = folder + "/" + kFileName;
  CXmlSettings xml;
  if (!load) {
    xml.XmlSettingsOpen();
    WriteSection(xml, kScheduleSection, m_arrSchedules);
    WriteSection(xml, kHistorySection, m_arrHistory);
    return xml.XmlSettingsSave(path);
  }

  if (!xml.XmlSettingsLoadFile(path)) return 0;
  const plat::SYSTEMTIME now = m_pClock->Now();
  const std::int64_t nowSeconds = civil_time::ToSeconds(now).value_or(0);
  m_arrSchedules.clear();
  m_arrHistory.clear();
  for (CScheduleItem& s : ReadSection(xml, kScheduleSection)) {
    if (s.IsExpired(now) && !s.IsRunning(now)) continue;
    m_arrSchedules.push_back(std::move(s));
  }
  for (CScheduleItem& s : ReadSection(xml, kHistorySection)) {
    // A record date that is no date is as good as ancient.
    const std::optional<std::int64_t> recorded = civil_time::ToSeconds(s.GetRecordDate());
    if (!recorded || nowSeconds - *recorded > kHistoryKeepSeconds) continue;
    m_arrHistory.push_back(std::move(s));
  }
  return 1;
}
