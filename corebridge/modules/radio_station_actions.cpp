// The Radio controller's station actions: previous and next station, the
// band scan, adding the tuned station, swapping back to the previous one and
// the editing of the station and favourite lists.
#include <algorithm>
#include <string>

#include "corebridge/modules/radio_controller_internal.h"

namespace radio_controller {

namespace {

int* PreviousStationIndex(CRadioConfig& radio) {
  return radio.m_nCurBand == RADIO_BAND_AM ? &radio.m_nPrevAMStation : &radio.m_nPrevFMStation;
}

// Tunes to a station muted, with the settling wait before the sound returns.
int TuneMuted(Ctx& c, int frequency) {
  Mute(c, 1);
  const int tuned = Tune(c, frequency);
  Wait(c, 200);
  Mute(c, 0);
  return tuned;
}

// The station before or after the current one on the station list.
void StepStation(Ctx& c, bool next) {
  CRadioConfig& radio = c.radio;
  const int count = radio.GetRadioStationCount(RADIO_BAND_CURRENT);
  int* current = radio.CurrentStationIndex(RADIO_BAND_CURRENT);
  if (count <= 0 || !current || *current < 0 || *current >= count) return;
  RadioStation station;
  const int index = next ? radio.GetNextRadioStation(*current, station, RADIO_BAND_CURRENT)
                         : radio.GetPrevRadioStation(*current, station, RADIO_BAND_CURRENT);
  if (index < 0) return;
  *PreviousStationIndex(radio) = *current;
  *current = index;
  TuneMuted(c, station.nFrequency);
}

int PreviousNext(Ctx& c, bool next) {
  const int state = c.radio.m_nRecordState;
  if (state == RADIO_PLAYING_RECORDING || state == RADIO_RECORDING_PAUSED) {
    CRadioConfig& radio = c.radio;
    const int count = static_cast<int>(radio.m_recordedFiles.size());
    // An empty list has no neighbour (and no modulo).
    if (count == 0) return 0;
    const int from = std::clamp(radio.m_nCurRecorded, 0, count - 1);
    radio.m_nCurRecorded = next ? (from + 1) % count : (from + count - 1) % count;
    // A paused file is not resumed: the file the index now names is loaded.
    radio.m_nRecordState = RADIO_PLAYING_RECORDING;
    return PlayRecorded(c);
  }
  if (state != RADIO_LISTENING) return 0;
  if (c.Component()) return Seek(c, next);
  StepStation(c, next);
  return next ? 0 : 1;
}

int AutoScan(Ctx& c) {
  CRadioConfig& radio = c.radio;
  if (radio.m_nRecordState == RADIO_SCANNING) {
    c.engine->Stop();
    radio.m_nRecordState = RADIO_LISTENING;
  }
  if (!c.Has(kCanAutoScan)) return 0;
  std::vector<RadioStation>* list = radio.StationList(RADIO_BAND_CURRENT);
  if (!list) return 0;
  const std::vector<RadioStation> kept = *list;
  int* current = radio.CurrentStationIndex(RADIO_BAND_CURRENT);
  const int keptIndex = current ? *current : -1;
  radio.m_nScanProgress = 0;
  list->clear();
  c.RefreshList();
  if (SUCCEEDED(c.engine->StartScan(ScanStep(radio), c.sys.RadioSink()))) return 1;
  // Nothing was scanned: the band keeps the stations it had.
  *list = kept;
  if (current) *current = keptIndex;
  c.RefreshList();
  return 0;
}

int AddStation(Ctx& c) {
  CRadioConfig& radio = c.radio;
  if (c.Component()) {
    if (SubMode(radio) != kSubPresetSlots) SetSubMode(radio, kSubPresetSlots);
    c.Redraw(0);
    c.RestoreFocus();
    return 1;
  }
  const int frequency = CurrentFrequency(radio);
  radio.AddRadioStation(frequency, FrequencyText(frequency, radio.m_nCurBand), 1, RADIO_BAND_CURRENT);
  if (radio.m_nPage == kPageMain || radio.m_nPage == kPageFrequencySetting) {
    c.RefreshList();
    c.Redraw(0);
  }
  return 1;
}

int Swap(Ctx& c) {
  CRadioConfig& radio = c.radio;
  int* current = radio.CurrentStationIndex(RADIO_BAND_CURRENT);
  int* previous = PreviousStationIndex(radio);
  RadioStation station;
  if (!current || !radio.GetRadioStation(*previous, station, RADIO_BAND_CURRENT)) return 0;
  std::swap(*current, *previous);
  const int tuned = TuneMuted(c, station.nFrequency);
  c.Redraw(0);
  return tuned;
}

void RedrawList(Ctx& c) {
  RebuildFavorites(c.radio);
  c.RefreshList();
  c.Redraw(0);
  c.RestoreFocus();
}

int EditList(Ctx& c, int id) {
  CRadioConfig& radio = c.radio;
  const int page = radio.m_nPage;
  const int selected = radio.m_nSelectedStation;
  // The shown list confirms its selection: without one nothing is edited.
  if (selected < 0) return 0;
  switch (id) {
    case kDelete: {
      int count = 0;
      if (page == kPageGeneralStation) {
        if (!radio.DeleteRadioStation(selected, RADIO_BAND_CURRENT)) return 0;
        count = radio.GetRadioStationCount(RADIO_BAND_CURRENT);
      } else if (page == kPageFavoriteStation) {
        if (!radio.DeleteRadioStationByKey(selected, RADIO_BAND_CURRENT)) return 0;
        count = radio.CountRadioFavorites(RADIO_BAND_CURRENT);
      } else {
        return 0;
      }
      radio.m_nSelectedStation = std::min(selected, count - 1);
      break;
    }
    case kRename:
      if (page != kPageGeneralStation && page != kPageFavoriteStation) return 0;
      c.SetPage(kPageRename);  // the page left is its previous page
      c.ShowCurrent();
      break;
    case kMove:
      if (page != kPageFavoriteStation) return 0;
      SetSubMode(radio, kSubMoving);
      radio.m_nMoveSource = selected;
      radio.m_nMovingPresetId = selected;
      break;
    case kAddToFavorite: {
      if (page != kPageGeneralStation) return 0;
      RadioStation station;
      if (!radio.GetRadioStation(selected, station, RADIO_BAND_CURRENT)) return 0;
      if (station.nPresetId == -1) {
        station.nPresetId = radio.CountRadioFavorites(RADIO_BAND_CURRENT);
        radio.SetRadioStation(selected, station, RADIO_BAND_CURRENT);
      }
      break;
    }
    default: return 0;
  }
  RedrawList(c);
  return 1;
}

}  // namespace

void RebuildFavorites(CRadioConfig& radio) {
  radio.m_favoriteStations.clear();
  const auto* list = radio.StationList(RADIO_BAND_CURRENT);
  if (!list) return;
  for (const RadioStation& s : *list)
    if (s.nPresetId >= 0) radio.m_favoriteStations.push_back(s);
  std::sort(radio.m_favoriteStations.begin(), radio.m_favoriteStations.end(),
            [](const RadioStation& a, const RadioStation& b) { return a.nPresetId < b.nPresetId; });
}

int StationAction(Ctx& c, int id, std::intptr_t) {
  switch (id) {
    case kPrevious: return PreviousNext(c, false);
    case kNext: return PreviousNext(c, true);
    case kAutoScan: return AutoScan(c);
    case kAddStation: return AddStation(c);
    case kSwap: return Swap(c);
    default: return EditList(c, id);
  }
}

}  // namespace radio_controller
