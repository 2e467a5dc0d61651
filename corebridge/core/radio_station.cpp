#include "corebridge/core/radio_station.h"

#include <algorithm>

#include "corebridge/core/section_text.h"

RadioStation MakeRadioStation(const std::string& name, int frequency, int select, int presetId) {
  return RadioStation{section_text::TruncateUtf8(name, RadioStation::kMaxNameBytes), frequency, select, presetId};
}

namespace radio_stations {
namespace {

bool ValidIndex(const std::vector<RadioStation>& list, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

// Every preset above `presetNo` moves down by one, closing its gap.
void ClosePresetGap(std::vector<RadioStation>& list, int presetNo) {
  for (RadioStation& s : list) {
    if (s.nPresetId > presetNo) --s.nPresetId;
  }
}

// The first selectable station other than `index`, stepping by `step`
// (+1 or -1) with wrap-around.
int Step(const std::vector<RadioStation>& list, int index, int step) {
  const long long n = static_cast<long long>(list.size());
  for (long long k = 1; k <= n; ++k) {
    const long long i = ((static_cast<long long>(index) + step * k) % n + n) % n;
    if (i == index) continue;
    if (list[static_cast<std::size_t>(i)].nSelect != 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

void Resize(std::vector<RadioStation>& list, int n) {
  const std::size_t size = static_cast<std::size_t>(std::max(n, 0));
  if (list.size() > size) list.resize(size);
  while (list.size() < size) list.push_back(RadioStation{RadioStation::kEmptyName, 0, 0, -1});
}

void Add(std::vector<RadioStation>& list, int frequency, const std::string& name, int select) {
  const auto same = std::find_if(list.begin(), list.end(),
                                 [frequency](const RadioStation& s) { return s.nFrequency == frequency; });
  if (same != list.end()) Delete(list, static_cast<int>(same - list.begin()));
  list.push_back(MakeRadioStation(name, frequency, select, -1));
}

int Delete(std::vector<RadioStation>& list, int index) {
  if (!ValidIndex(list, index)) return 0;
  const int preset = list[static_cast<std::size_t>(index)].nPresetId;
  list.erase(list.begin() + index);
  if (preset >= 0) ClosePresetGap(list, preset);
  return 1;
}

int Swap(std::vector<RadioStation>& list, int index1, int index2) {
  if (!ValidIndex(list, index1) || !ValidIndex(list, index2)) return 0;
  std::swap(list[static_cast<std::size_t>(index1)], list[static_cast<std::size_t>(index2)]);
  return 1;
}

int Prev(const std::vector<RadioStation>& list, int index) { return list.empty() ? -1 : Step(list, index, -1); }

int Next(const std::vector<RadioStation>& list, int index) { return list.empty() ? -1 : Step(list, index, +1); }

int CountPresets(const std::vector<RadioStation>& list) {
  return static_cast<int>(std::count_if(list.begin(), list.end(), [](const RadioStation& s) { return s.nPresetId >= 0; }));
}

int FindPreset(const std::vector<RadioStation>& list, int presetNo) {
  if (presetNo < 0) return -1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].nPresetId == presetNo) return static_cast<int>(i);
  }
  return -1;
}

int RemovePreset(std::vector<RadioStation>& list, int presetNo) {
  const int index = FindPreset(list, presetNo);
  if (index < 0) return 0;
  list[static_cast<std::size_t>(index)].nPresetId = -1;
  ClosePresetGap(list, presetNo);
  return 1;
}

int MovePreset(std::vector<RadioStation>& list, int fromPreset, int toPreset) {
  const int count = CountPresets(list);
  if (fromPreset < 0 || fromPreset >= count || toPreset < 0 || toPreset >= count || fromPreset == toPreset) return 0;
  const int moved = FindPreset(list, fromPreset);
  if (moved < 0) return 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (static_cast<int>(i) == moved) continue;
    int& p = list[i].nPresetId;
    if (toPreset < fromPreset && p >= toPreset && p < fromPreset) ++p;
    if (toPreset > fromPreset && p > fromPreset && p <= toPreset) --p;
  }
  list[static_cast<std::size_t>(moved)].nPresetId = toPreset;
  return 1;
}

void Sort(std::vector<RadioStation>& list, int key) {
  auto by = [&list](auto less) { std::stable_sort(list.begin(), list.end(), less); };
  switch (key) {
    case SORT_FREQUENCY:
      by([](const RadioStation& a, const RadioStation& b) { return a.nFrequency < b.nFrequency; });
      break;
    case SORT_NAME:
      by([](const RadioStation& a, const RadioStation& b) {
        return section_text::CompareNoCase(a.strName, b.strName) < 0;
      });
      break;
    case SORT_SELECT:
      by([](const RadioStation& a, const RadioStation& b) { return a.nSelect < b.nSelect; });
      break;
    case SORT_PRESET:
      by([](const RadioStation& a, const RadioStation& b) { return a.nPresetId < b.nPresetId; });
      break;
    default:
      break;
  }
}

}  // namespace radio_stations
