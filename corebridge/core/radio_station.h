// Radio stations and the band lists that hold them. A list keeps its
// stations in order; presets (favourites) of one list are numbered 0..k-1
// without gaps, and every operation that removes or moves a preset
// renumbers the others.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RadioStation {
  static constexpr std::size_t kMaxNameBytes = 63;  // the stored name field is 64 bytes
  static constexpr const char* kEmptyName = "------";

  std::string strName;    // station name; "------" for an empty slot
  int nFrequency = 0;     // FM in Hz, AM in thousandths of a hertz
  int nSelect = 0;        // non-zero: station stepping may land here
  int nPresetId = -1;     // position among the presets, -1 for none

  bool operator==(const RadioStation&) const = default;
};

// A station with its name cut to the stored width.
RadioStation MakeRadioStation(const std::string& name, int frequency, int select, int presetId);

// Operations on one band's list. Indices out of range fail (0 or -1).
namespace radio_stations {

// Makes the list exactly n long: drops entries from the end, then appends
// empty slots.
void Resize(std::vector<RadioStation>& list, int n);
// Deletes the first station of that frequency, then appends the new one
// without a preset.
void Add(std::vector<RadioStation>& list, int frequency, const std::string& name, int select);
// Removes the station; if it was a preset, the later presets move down.
int Delete(std::vector<RadioStation>& list, int index);
int Swap(std::vector<RadioStation>& list, int index1, int index2);
// The nearest other selectable station backwards / forwards from index,
// with wrap-around; -1 when there is none.
int Prev(const std::vector<RadioStation>& list, int index);
int Next(const std::vector<RadioStation>& list, int index);
int CountPresets(const std::vector<RadioStation>& list);
// The station holding that preset number (>= 0), or -1.
int FindPreset(const std::vector<RadioStation>& list, int presetNo);
// Takes the preset away from its station and closes the gap; 0 when no
// station holds it.
int RemovePreset(std::vector<RadioStation>& list, int presetNo);
// Moves a preset to another place; the presets in between shift by one.
int MovePreset(std::vector<RadioStation>& list, int fromPreset, int toPreset);

// Sort keys of the station lists.
enum SortKey : int { SORT_FREQUENCY = 1, SORT_NAME = 2, SORT_SELECT = 3, SORT_PRESET = 8 };
// Sorts by the key; any other key leaves the list as it is.
void Sort(std::vector<RadioStation>& list, int key);

}  // namespace radio_stations
