// CRadioPage: "Radio Display Area" -- its item counts, rows, list entries,
// focus and keys -- and the recordings browser's sink.
#include <algorithm>

#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "corebridge/core/schedule_list.h"
#include "lounge/pages/radio/radio_frequency_text.h"
#include "lounge/pages/radio/radio_page.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "platform/core/file_time.h"

namespace {

int CountPresets(const CRadioConfig& radio) { return radio.CountRadioFavorites(RADIO_BAND_CURRENT); }

int TopOfHistory(const CRadioConfig& radio) {
  int top = 0;
  return radio.PeekRadioPage(top) ? top : 0;
}

std::uint64_t TicksOf(const plat::FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

// ---- items and rows ----

int CRadioPage::DisplayItemCount() {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  switch (radio->m_nPage) {
    case RADIO_ID_MAIN:
    case RADIO_ID_FREQUENCY_SETTING:
    case RADIO_ID_GENERAL_STATIONS: return radio->GetRadioStationCount(RADIO_BAND_CURRENT);
    case RADIO_ID_RECORDED:
    case RADIO_ID_BURN: return m_recordings->GetEntryCount();
    case RADIO_ID_MAIN_STATIONS:
    case RADIO_ID_FAVORITES: return CountPresets(*radio);
    case RADIO_ID_SCHEDULES: {
      const CScheduleList* list = Schedules();
      return list ? list->Count(SCHEDULE_RADIO) : 0;
    }
    case RADIO_ID_SCHEDULE_HISTORY: {
      const CScheduleList* list = Schedules();
      return list ? list->CountHistory(SCHEDULE_RADIO) : 0;
    }
    case RADIO_ID_CONFLICTS: {
      const CScheduleList* list = Schedules();
      return list && radio->m_pEditSchedule ? list->CountConflicts(*radio->m_pEditSchedule, 0) : 0;
    }
    default: return 0;
  }
}

int CRadioPage::RefreshStationList() {
  CRadioConfig* radio = Radio();
  if (radio && (radio->m_nPage == RADIO_ID_RECORDED || radio->m_nPage == RADIO_ID_BURN)) {
    // The browser reports the count itself through OnFolderChanged.
    m_recordings->OpenFolder(radio->m_strRecordFolder);
  }
  ElementIndex().SetItemCountByName(RADIO_DISPLAY_AREA, DisplayItemCount());
  ElementIndex().SetTopIndexByName(RADIO_DISPLAY_AREA, 0);
  return 1;
}

int CRadioPage::ItemOfRow(int row) const {
  const int list = DisplayList();
  int item = -1;
  if (list < 0 || !ElementIndex().RowToItem(list, row, &item)) return -1;
  return item;
}

int CRadioPage::StationIndexOfItem(int item) const {
  const CRadioConfig* radio = Radio();
  if (!radio || item < 0) return -1;
  if (radio->m_nPage == RADIO_ID_FAVORITES || radio->m_nPage == RADIO_ID_MAIN_STATIONS) return StationOfPreset(item);
  return item < radio->GetRadioStationCount(RADIO_BAND_CURRENT) ? item : -1;
}

bool CRadioPage::ScheduleOfRow(int item, CScheduleItem& out) const {
  const CRadioConfig* radio = Radio();
  const CScheduleList* list = Schedules();
  if (!radio || !list || item < 0) return false;
  switch (radio->m_nPage) {
    case RADIO_ID_SCHEDULES: return list->GetAt(item, out, SCHEDULE_RADIO) != 0;
    case RADIO_ID_SCHEDULE_HISTORY: return list->GetHistoryAt(item, out, SCHEDULE_RADIO) != 0;
    case RADIO_ID_CONFLICTS:
      return radio->m_pEditSchedule && list->GetConflict(item, *radio->m_pEditSchedule, out, 0) != 0;
    default: return false;
  }
}

// ---- list entries ----

int CRadioPage::OnListItemAction(int list, int item) {
  CSkinPage::OnListItemAction(list, item);
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  if (list < 0 || list != DisplayList()) return 0;
  const int index = ItemOfRow(item);
  if (index < 0) return 0;
  switch (radio->m_nPage) {
    case RADIO_ID_MAIN:
    case RADIO_ID_FREQUENCY_SETTING: {
      RadioStation station;
      if (!radio->GetRadioStation(index, station, RADIO_BAND_CURRENT)) return 0;
      if (Vendor() == 3 && TopOfHistory(*radio) == RADIO_SUB_NAMING) {
        radio->ClearRadioPages();
        station.strName = radio_text::Number(radio->m_nCurBand, station.nFrequency, m_locale.DecimalPoint());
        radio->SetRadioStation(index, station, RADIO_BAND_CURRENT);
        radio->m_bPresetsChanged = 1;
      }
      return TuneStation(index);
    }
    case RADIO_ID_RECORDED:
    case RADIO_ID_BURN:
      if (index >= m_recordings->GetEntryCount()) return 0;
      m_recordings->ActivateEntry(index);
      return 1;
    case RADIO_ID_SCHEDULES: {
      CScheduleItem schedule(SCHEDULE_RADIO);
      const CScheduleList* schedules = Schedules();
      if (!schedules || !schedules->GetAt(index, schedule, SCHEDULE_RADIO)) return 0;
      radio->m_pEditSchedule = std::make_unique<CScheduleItem>(schedule);
      radio->m_nEditScheduleIndex = index;
      radio->SetRadioPage(RADIO_ID_SET_SCHEDULE);
      return ShowCurrentPage();
    }
    case RADIO_ID_MAIN_STATIONS: {
      if (radio->m_nRecordState == RADIO_RECORDING || radio->m_nRecordState == RADIO_SCHEDULED_RECORDING) return 0;
      const int station = StationOfPreset(index);
      return station >= 0 ? TuneStation(station) : 0;
    }
    case RADIO_ID_GENERAL_STATIONS:
    case RADIO_ID_FAVORITES: {
      const int sub = TopOfHistory(*radio);
      if (radio->m_nPage == RADIO_ID_FAVORITES && sub == RADIO_SUB_MOVING) {
        radio->m_nSelectedStation = -1;
        radio->ClearRadioPages();
        radio->PushRadioPage(RADIO_SUB_CHOOSING);
        Redraw(0);
        return 1;
      }
      if (sub != RADIO_SUB_CHOOSING) return 0;
      if (StationIndexOfItem(index) < 0) return 0;
      radio->m_nSelectedStation = index;
      radio->PushRadioPage(RADIO_SUB_CHOSEN);
      Redraw(0);
      RestoreListFocus();
      return 1;
    }
    default: return 0;
  }
}

int CRadioPage::QueryListItemState(int list, int item, int* shown, int*, int*) {
  if (list < 0 || list != DisplayList()) return 0;
  *shown = ItemOfRow(item) >= 0 ? 1 : 0;
  return 1;
}

int CRadioPage::HighlightListItem(int item, int list) {
  const int result = CSkinPage::HighlightListItem(item, list);
  DrawRadioText();
  return result;
}

int CRadioPage::HighlightListAction(int action, int list) {
  const int result = CSkinPage::HighlightListAction(action, list);
  DrawRadioText();
  return result;
}

// ---- focus ----

bool CRadioPage::FocusItem(int item) {
  const int list = DisplayList();
  if (list < 0 || item < 0) return false;
  ElementIndex().EnsureVisible(list, item);
  int top = 0;
  ElementIndex().GetTopIndex(list, &top);
  if (item < top) ElementIndex().SetTopIndex(list, item);
  int row = -1;
  if (!ElementIndex().ItemToRow(list, item, &row) || row < 0) return false;
  SetFocus(list, EntryOf(list, ENTRY_ITEM, row));
  return true;
}

int CRadioPage::RestoreListFocus() {
  CRadioConfig* radio = Radio();
  const int list = DisplayList();
  if (!radio || list < 0) return 0;
  switch (TopOfHistory(*radio)) {
    case RADIO_SUB_MOVING: FocusItem(radio->m_nMovingPresetId); break;
    case RADIO_SUB_NAMING:
      if (ItemOfRow(0) >= 0) SetFocus(list, EntryOf(list, ENTRY_ITEM, 0));
      break;
    case RADIO_SUB_CHOOSING:
      if (!FocusItem(radio->m_nSelectedStation) && ItemOfRow(0) >= 0) SetFocus(list, EntryOf(list, ENTRY_ITEM, 0));
      break;
    case RADIO_SUB_CHOSEN: {
      if (radio->m_nSelectedStation >= 0) ElementIndex().EnsureVisible(list, radio->m_nSelectedStation);
      SetSelectedItem(-1, list);
      const int control = ControlList();
      if (control >= 0) {
        const int entry = FirstFocusableEntry(control);
        if (entry >= 0) SetFocus(control, entry);
      }
      break;
    }
    default: break;
  }
  ShowFocus();
  return 0;
}

void CRadioPage::KeepSelectionInView() {
  const CRadioConfig* radio = Radio();
  const int list = DisplayList();
  if (!radio || list < 0) return;
  int item = -1;
  switch (radio->m_nPage) {
    case RADIO_ID_RECORDED: {
      // The current file's row: folders (and the up-level entry) come first.
      if (radio->m_nCurRecorded < 0) return;
      item = radio->m_nCurRecorded + m_recordings->GetFolderCount() + (m_recordings->GetShowUpLevel() ? 1 : 0);
      if (item >= m_recordings->GetEntryCount()) return;
      break;
    }
    case RADIO_ID_GENERAL_STATIONS: item = radio->m_nSelectedStation; break;
    case RADIO_ID_FAVORITES:
      item = TopOfHistory(*radio) == RADIO_SUB_MOVING ? radio->m_nMovingPresetId : radio->m_nSelectedStation;
      break;
    default: return;
  }
  if (item < 0) {
    SetSelectedItem(-1, list);
    return;
  }
  ElementIndex().EnsureVisible(list, item);
  int row = -1;
  if (ElementIndex().ItemToRow(list, item, &row) && row >= 0) SetSelectedItem(row, list);
}

int CRadioPage::Redraw(int flag) {
  if (const CRadioConfig* radio = Radio()) {
    // The bar follows the page: a recording started or stopped changes its buttons.
    if (Host() && Host()->HasPlaybackBar()) Frame().Services().NotifyPlaybackBar(flag);
    if (radio->m_nRecordState == RADIO_OFF || radio->m_nRecordState == RADIO_RECORDED_LIST)
      Frame().Services().SetPlaybackBarVisible(0, 0);
    KeepSelectionInView();
  }
  return CSkinPage::Redraw(flag);
}

// ---- keys and wheel ----

int CRadioPage::OnKeyLeft(int flag) {
  const CRadioConfig* radio = Radio();
  if (radio && Vendor() == 4 && (radio->m_nPage == RADIO_ID_GENERAL_STATIONS || radio->m_nPage == RADIO_ID_FAVORITES)) {
    const int sub = TopOfHistory(*radio);
    if (sub == RADIO_SUB_CHOOSING || sub == RADIO_SUB_MOVING) return 1;
  }
  return CSkinPage::OnKeyLeft(flag);
}

int CRadioPage::OnKeyRight(int flag) {
  const CRadioConfig* radio = Radio();
  if (radio && Vendor() == 4 && (radio->m_nPage == RADIO_ID_GENERAL_STATIONS || radio->m_nPage == RADIO_ID_FAVORITES) &&
      TopOfHistory(*radio) == RADIO_SUB_CHOSEN)
    return 1;
  return CSkinPage::OnKeyRight(flag);
}

int CRadioPage::OnKeyUp(int flag) {
  CRadioConfig* radio = Radio();
  if (radio && Vendor() == 4 && (radio->m_nPage == RADIO_ID_GENERAL_STATIONS || radio->m_nPage == RADIO_ID_FAVORITES)) {
    const int sub = TopOfHistory(*radio);
    if (sub == RADIO_SUB_CHOSEN) {
      const int list = FocusedList();
      if (list >= 0 && FocusedEntry() == FirstFocusableEntry(list)) return 1;
    }
    if (sub == RADIO_SUB_MOVING && FocusedList() == DisplayList() && radio->m_nMovingPresetId > 0) {
      const int from = radio->m_nMovingPresetId;
      if (radio->MoveRadioStation(from, from - 1, RADIO_BAND_CURRENT)) radio->m_nMovingPresetId = from - 1;
      Redraw(0);
    }
  }
  return CSkinPage::OnKeyUp(flag);
}

int CRadioPage::OnKeyDown(int flag) {
  CRadioConfig* radio = Radio();
  if (radio && Vendor() == 4 && (radio->m_nPage == RADIO_ID_GENERAL_STATIONS || radio->m_nPage == RADIO_ID_FAVORITES) &&
      TopOfHistory(*radio) == RADIO_SUB_MOVING && FocusedList() == DisplayList()) {
    const int from = radio->m_nMovingPresetId;
    if (from >= 0 && from + 1 < CountPresets(*radio) &&
        radio->MoveRadioStation(from, from + 1, RADIO_BAND_CURRENT))
      radio->m_nMovingPresetId = from + 1;
    Redraw(0);
  }
  return CSkinPage::OnKeyDown(flag);
}

int CRadioPage::OnMouseWheel(plat::UINT, int delta, int x, int y) {
  const int list = DisplayList();
  if (list < 0 || HitTestList(plat::POINT{x, y}) != list) return 0;
  int can = 0;
  if (delta < 0 && ElementIndex().CanScrollDown(list, &can) && can) {
    ElementIndex().ScrollDown(list, 1);
  } else if (ElementIndex().CanScrollUp(list, &can) && can) {
    ElementIndex().ScrollUp(list, 1);
  } else {
    return 0;
  }
  Redraw(0);
  return 1;
}

// ---- the recordings browser ----

int CRadioPage::OnListReset(int) {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  radio->m_recordedFiles.clear();
  return 1;
}

int CRadioPage::OnFolderAdded(int, const FileListEntry&) { return 1; }

int CRadioPage::OnFileAdded(int, const FileListEntry& entry) {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  RadioRecordedFile file;
  file.strPath = entry.path;
  file.strName = entry.name;
  file.strText3 = entry.targetPath;
  file.strText4 = entry.targetName;
  file.ftCreation = TicksOf(entry.creationTime);
  file.ftLastWrite = TicksOf(entry.lastWriteTime);
  file.ftTime3 = TicksOf(entry.targetCreationTime);
  file.ftTime4 = TicksOf(entry.targetLastWriteTime);
  file.nFlag = 0;  // the burn page's check mark; new files start unchecked
  radio->m_recordedFiles.push_back(std::move(file));
  return 1;
}

int CRadioPage::OnFolderChanged(int, int entryCount, int listTop) {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  radio->SortRadioStationsByName(radio->m_nRecordedSortKey, radio->m_nRecordedSortValue);
  ElementIndex().SetItemCountByName(RADIO_DISPLAY_AREA, entryCount);
  ElementIndex().SetTopIndexByName(RADIO_DISPLAY_AREA, listTop);
  CSkinPage::Redraw(1);
  return 1;
}

int CRadioPage::DrawFolderIcon(int, int, const plat::RECT&, plat::HDC, int) { return 1; }

int CRadioPage::DrawFileIcon(int, int, const plat::RECT&, plat::HDC, int) { return 0; }

int CRadioPage::OnFileActivated(int, int fileIndex) {
  CRadioConfig* radio = Radio();
  if (!radio || fileIndex < 0 || fileIndex >= static_cast<int>(radio->m_recordedFiles.size())) return 0;
  radio->m_nCurRecorded = fileIndex;
  if (Send("Radio Play")) return 1;
  if ((radio = Radio())) radio->m_nCurRecorded = -1;
  return 0;
}

int CRadioPage::GetListTop(int, int& top) { return ElementIndex().GetTopIndexByName(RADIO_DISPLAY_AREA, &top); }

int CRadioPage::SetListTop(int, int row) { return ElementIndex().SetTopIndexByName(RADIO_DISPLAY_AREA, row); }

int CRadioPage::ScrollListUp(int, int rows) { return ElementIndex().ScrollUpByName(RADIO_DISPLAY_AREA, rows); }

int CRadioPage::ScrollListDown(int, int rows) { return ElementIndex().ScrollDownByName(RADIO_DISPLAY_AREA, rows); }

int CRadioPage::OnSelectionChanged(int, int displayIndex) {
  const int list = DisplayList();
  if (list < 0 || FocusedList() != list) return 0;
  int kind = -1, index = -1;
  if (!SplitEntry(list, FocusedEntry(), &kind, &index) || kind != ENTRY_ITEM) return 0;
  int row = -1;
  if (ElementIndex().ItemToRow(list, displayIndex, &row) && row >= 0) {
    if (ItemOfRow(row) < 0) row = 0;
    SetFocus(list, EntryOf(list, ENTRY_ITEM, row));
  }
  return 1;
}
