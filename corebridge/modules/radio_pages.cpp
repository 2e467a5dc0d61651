// The Radio controller's page actions: each page action sets the page id
// and has the Radio page show it; "Radio Menu", the sorting and the way back.
#include <string>

#include "corebridge/core/schedule_list.h"
#include "corebridge/modules/radio_controller_internal.h"

namespace radio_controller {

namespace {

int PageOf(int id) {
  switch (id) {
    case kRadioTextPage: return kPageRadioText;
    case kSchedulePage: return kPageSchedule;
    case kSettingPage: return kPageSetting;
    case kBurnMaterialPage: return kPageBurnMaterial;
    case kAddStationPage: return kPageAddStation;
    case kSchedulePriorityPage: return kPageSchedulePriority;
    case kScheduleHistoryPage: return kPageScheduleHistory;
    case kRadioSettingPage: return kPageRadioSetting;
    case kFrequencySettingPage: return kPageFrequencySetting;
    case kRecordSettingPage: return kPageRecordSetting;
    case kGeneralStationPage: return kPageGeneralStation;
    case kFavoriteStationPage: return kPageFavoriteStation;
    case kMainStationPage: return kPageMainStation;
    default: return kPageNone;
  }
}

bool IsListPage(int page) {
  return page == kPageSchedule || page == kPageGeneralStation || page == kPageFavoriteStation ||
         page == kPageFrequencySetting || page == kPageMainStation || page == kPageScheduleHistory ||
         page == kPageSchedulePriority;
}

int ShowPage(Ctx& c, int page) {
  c.SetPage(page);
  c.ShowCurrent();
  if (IsListPage(page)) {
    c.RefreshList();
    c.RestoreFocus();
  }
  c.Redraw(0);
  return 1;
}

int MainPage(Ctx& c) {
  CRadioConfig& radio = c.radio;
  const int state = radio.m_nRecordState;
  if (state != RADIO_RECORDING && state != RADIO_SCHEDULED_RECORDING && state != RADIO_SCANNING) {
    StopAll(c);
    if (IWMPlayer* player = c.sys.WMPlayer()) player->Stop();
    Mute(c, 0);
    radio.m_nRecordState = RADIO_LISTENING;
  }
  c.SetPage(kPageMain);
  c.ShowCurrent();
  c.RefreshList();
  c.Redraw(0);
  return 1;
}

int Sort(Ctx& c, int id) {
  CRadioConfig& radio = c.radio;
  switch (radio.m_nPage) {
    case kPageRecorded:
      if (id == kSortByName) radio.SortRadioStationsByName(CRadioConfig::kRecordedSortName, 0);
      else if (id == kSortByDate) radio.SortRadioStationsByName(CRadioConfig::kRecordedSortDate, 0);
      else return 0;
      break;
    case kPageSchedule: {
      CScheduleList* list = nullptr;
      if (FAILED(c.sys.GetScheduleList(&list)) || !list) return 0;
      if (id == kSortByDate) list->Sort(2);
      else if (id == kSortByFrequency) list->Sort(1);
      else return 0;
      break;
    }
    case kPageFrequencySetting:
      if (id != kSortByFrequency) return 0;
      radio.SortRadioStations(1, 0);
      break;
    default: return 0;
  }
  c.Redraw(1);
  return 1;
}

}  // namespace

int PageAction(Ctx& c, int id) {
  CRadioConfig& radio = c.radio;
  switch (id) {
    case kMainPage: return MainPage(c);
    case kMenu:
      if (radio.m_nPage == kPageSchedule && SubMode(radio) == kSubChosen) {
        SetSubMode(radio, kSubChoosing);
        c.RefreshList();
        c.Redraw(0);
        return 1;
      }
      if (radio.m_nPage == kPageMainStation) return MainPage(c);
      return 0;
    case kSortByName:
    case kSortByDate:
    case kSortByFrequency: return Sort(c, id);
    case kBurnMaterialPage: StopAll(c); break;
    case kSchedulePage: SetSubMode(radio, kSubChosen); break;
    case kGeneralStationPage:
    case kFavoriteStationPage:
      // A station is chosen on these pages before it is edited.
      RebuildFavorites(radio);
      SetSubMode(radio, kSubChoosing);
      break;
    default: break;
  }
  const int page = PageOf(id);
  return page == kPageNone ? 0 : ShowPage(c, page);
}

int Back(Ctx& c) {
  CRadioConfig& radio = c.radio;
  const int page = radio.m_nPage;
  // The shown list's own back: a move in progress (made step by step on
  // the page) is carried out, a selection is cancelled.
  if (page == kPageSchedule || page == kPageGeneralStation || page == kPageFavoriteStation) {
    const int sub = SubMode(radio);
    if (sub == kSubMoving || (sub == kSubChosen && radio.m_nSelectedStation >= 0)) {
      if (sub == kSubMoving) radio.m_bPresetsChanged = 1;
      SetSubMode(radio, kSubChoosing);
      RebuildFavorites(radio);
      c.RefreshList();
      c.Redraw(0);
      c.RestoreFocus();
      return 1;
    }
  }
  switch (page) {
    case kPageNone:
    case kPageMainStation: return c.sys.OnHome(0, 0);
    case kPageMain: return PageAction(c, kMainStationPage);
    case kPageRecorded: {
      if (IWMPlayer* player = c.sys.WMPlayer()) player->Stop();
      // The music browser made itself the active module for the list.
      if (CConfig* config = c.sys.Config()) config->m_nActiveModule = MODULE_RADIO;
      if (c.page) c.page->EnterModule();
      const int result = MainPage(c);
      if (c.frame) c.frame->SetPlaybackBarVisible(1, 0);
      return result;
    }
    case kPageSchedule:
    case kPageSetting: return MainPage(c);
    case kPageSetSchedule:
    case kPageScheduleHistory:
    case kPageEditSchedule: return PageAction(c, kSchedulePage);
    case kPageAddStation:
    case kPageGeneralStation:
    case kPageFavoriteStation: return PageAction(c, kSettingPage);
    case kPageConflict:
      c.SetPage(radio.m_nConflictReturnPage);
      c.ShowCurrent();
      c.Redraw(0);
      return 1;
    case kPageRename: {
      const int from = radio.m_nPrevPage == kPageFavoriteStation ? kPageFavoriteStation : kPageGeneralStation;
      return ShowPage(c, from);
    }
    default: return 0;  // the other pages have no way back of their own
  }
}

}  // namespace radio_controller
