// The Radio controller's schedules: the new schedule, the field actions of
// the schedule being edited, confirm and cancel against the schedule list,
// and the recording a due schedule starts and its end.
#include <memory>
#include <string>

#include "corebridge/core/civil_time.h"
#include "corebridge/core/local_clock.h"
#include "corebridge/core/schedule_list.h"
#include "corebridge/modules/radio_controller_internal.h"

namespace radio_controller {

namespace {

constexpr int kRepeatOnce = 11;
constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 3600;

const ILocalClock& Clock(const CUISystem& system) {
  return system.Services().clock ? *system.Services().clock : SystemLocalClock();
}

std::int64_t NowSeconds(const CUISystem& system) {
  return civil_time::ToSeconds(Clock(system).Now()).value_or(0);
}

CScheduleList* Schedules(CUISystem& system) {
  CScheduleList* list = nullptr;
  return SUCCEEDED(system.GetScheduleList(&list)) ? list : nullptr;
}

int SaveSchedules(CUISystem& system, CScheduleList& list) {
  CConfig* config = system.Config();
  return config ? list.LoadSave(config->m_strSettingsFolder, 0) : 0;
}

// The band a stored frequency belongs to: FM values lie inside the FM edges,
// AM values (thousandths of a hertz) far above them.
int BandOf(const CRadioConfig& radio, int frequency) {
  return frequency >= radio.m_nFMMin && frequency <= radio.m_nFMMax ? RADIO_BAND_FM : RADIO_BAND_AM;
}

int NewSchedule(Ctx& c) {
  CRadioConfig& radio = c.radio;
  auto item = std::make_unique<CScheduleItem>(SCHEDULE_RADIO);
  item->SetRadioFrequency(CurrentFrequency(radio));
  // The next whole hour.
  const std::int64_t now = NowSeconds(c.sys);
  item->SetBeginDate(civil_time::FromSeconds(now - now % kHour + kHour));
  item->SetDuration(60);
  item->SetRepeatMode(kRepeatOnce);
  radio.m_pEditSchedule = std::move(item);
  radio.m_nEditScheduleIndex = -1;
  c.SetPage(kPageSetSchedule);
  c.ShowCurrent();
  c.Redraw(0);
  return 1;
}

int GoToSchedulePage(Ctx& c) { return PageAction(c, kSchedulePage); }

int Confirm(Ctx& c) {
  CRadioConfig& radio = c.radio;
  const int page = radio.m_nPage;
  CScheduleList* list = Schedules(c.sys);
  if ((page != kPageSetSchedule && page != kPageEditSchedule) || !radio.m_pEditSchedule || !list) return 0;
  CScheduleItem& item = *radio.m_pEditSchedule;
  item.SetTitle("My Schedule");
  const int frequency = item.GetRadioFrequency();
  const std::string file = RecordingFileName(c.sys, radio, frequency, BandOf(radio, frequency));
  if (file.empty()) return 0;
  item.SetRecFileName(file);
  int conflicts = list->CountConflicts(item, 0);
  // A schedule chosen from the list carries its index (among the radio
  // schedules, as the page lists them); a new one has none.
  const int index = radio.m_nEditScheduleIndex;
  if (index < 0) {
    if (conflicts == 0) {
      list->Add(item);
      SaveSchedules(c.sys, *list);
      return GoToSchedulePage(c);
    }
  } else {
    // The schedule's own old entry is no conflict of its new form.
    CScheduleItem old;
    if (!list->GetAt(index, old, SCHEDULE_RADIO)) return 0;
    if (item.ConflictsWith(old, Clock(c.sys).Now())) --conflicts;
    if (conflicts == 0) {
      list->SetAt(index, item, SCHEDULE_RADIO);
      SaveSchedules(c.sys, *list);
      return GoToSchedulePage(c);
    }
  }
  radio.m_nConflictReturnPage = page;
  c.SetPage(kPageConflict);
  c.ShowCurrent();
  c.RefreshList();
  return 1;
}

int Cancel(Ctx& c) {
  CRadioConfig& radio = c.radio;
  // A new schedule is not in the list yet: nothing there is removed.
  if (radio.m_nEditScheduleIndex >= 0) {
    if (CScheduleList* list = Schedules(c.sys)) {
      list->Remove(radio.m_nEditScheduleIndex, SCHEDULE_RADIO);
      SaveSchedules(c.sys, *list);
    }
  }
  radio.m_nEditScheduleIndex = -1;
  return GoToSchedulePage(c);
}

// Moves the start by `seconds` and the duration by `minutes`; refused when
// the start would pass the present moment (when asked) or the duration fall
// below a minute.
int ShiftStart(Ctx& c, CScheduleItem& item, std::int64_t seconds, int minutes, bool refusePast) {
  const auto begin = civil_time::ToSeconds(item.GetBeginDate());
  if (!begin) return 0;
  const std::int64_t start = *begin + seconds;
  if (refusePast && start < NowSeconds(c.sys)) return 0;
  if (item.GetDuration() + minutes < 1) return 0;
  item.SetBeginDate(civil_time::FromSeconds(start));
  item.SetDuration(item.GetDuration() + minutes);
  return 1;
}

int ChangeDuration(CScheduleItem& item, int minutes) {
  if (item.GetDuration() + minutes < 1) return 0;
  item.SetDuration(item.GetDuration() + minutes);
  return 1;
}

int StepStation(Ctx& c, CScheduleItem& item, bool up) {
  CRadioConfig& radio = c.radio;
  const int band = BandOf(radio, item.GetRadioFrequency());
  const int step = band == RADIO_BAND_AM ? radio.m_nAMFineTuneScale : radio.m_nFMFineTuneScale;
  const int low = band == RADIO_BAND_AM ? radio.m_nAMMin : radio.m_nFMMin;
  const int high = band == RADIO_BAND_AM ? radio.m_nAMMax : radio.m_nFMMax;
  const long long next = static_cast<long long>(item.GetRadioFrequency()) + (up ? step : -step);
  item.SetRadioFrequency(static_cast<int>(next < low ? low : next > high ? high : next));
  return 1;
}

int FieldAction(Ctx& c, int id) {
  CScheduleItem* edited = c.radio.m_pEditSchedule.get();
  if (!edited) return 0;
  CScheduleItem& item = *edited;
  int result = 1;
  const auto begin = civil_time::ToSeconds(item.GetBeginDate());
  const int startHour = item.GetBeginDate().wHour;
  switch (id) {
    case kSchStationLeft: result = StepStation(c, item, false); break;
    case kSchStationRight: result = StepStation(c, item, true); break;
    case kSchRepeatLeft: item.SetRepeatMode(item.GetRepeatMode() <= 1 ? 11 : item.GetRepeatMode() - 1); break;
    case kSchRepeatRight: item.SetRepeatMode(item.GetRepeatMode() >= 11 ? 1 : item.GetRepeatMode() + 1); break;
    case kSchDateLeft: result = ShiftStart(c, item, -civil_time::kSecondsPerDay, 0, false); break;
    case kSchDateRight: result = ShiftStart(c, item, civil_time::kSecondsPerDay, 0, false); break;
    case kSchStartHourLeft: result = ShiftStart(c, item, -kHour, 60, true); break;
    case kSchStartHourRight: result = ShiftStart(c, item, kHour, -60, false); break;
    case kSchStartMinuteLeft: result = ShiftStart(c, item, -kMinute, 1, true); break;
    case kSchStartMinuteRight: result = ShiftStart(c, item, kMinute, -1, false); break;
    case kSchStartApmLeft:
    case kSchStartApmRight:
      result = startHour < 12 ? ShiftStart(c, item, 12 * kHour, -720, true) : ShiftStart(c, item, -12 * kHour, 720, true);
      break;
    case kSchEndHourLeft: result = ChangeDuration(item, -60); break;
    case kSchEndHourRight: result = ChangeDuration(item, 60); break;
    case kSchEndMinuteLeft: result = ChangeDuration(item, -1); break;
    case kSchEndMinuteRight: result = ChangeDuration(item, 1); break;
    case kSchEndApmLeft:
    case kSchEndApmRight: {
      if (!begin) return 0;
      const int endHour = civil_time::FromSeconds(*begin + item.GetDuration() * kMinute).wHour;
      result = ChangeDuration(item, endHour < 12 ? -720 : 720);
      break;
    }
    case kSchFormatLeft:
    case kSchFormatRight: result = 0; break;
    default: return 0;
  }
  c.Redraw(1);
  return result;
}

}  // namespace

int ScheduleAction(Ctx& c, int id) {
  switch (id) {
    case kSetSchedulePage: return NewSchedule(c);
    case kEditSchedule: c.Redraw(0); return 1;
    case kConfirmSchedule: return Confirm(c);
    case kCancelSchedule: return Cancel(c);
    default: return FieldAction(c, id);
  }
}

}  // namespace radio_controller

using namespace radio_controller;

// The recording of a due radio schedule.
int CUISystem::RadioPrepareRecording(const CScheduleItem& item) {
  RunStep("RadioPrepareRecording");
  if (!m_pConfig || !m_pConfig->m_pRadio) return 0;
  std::uint64_t available = 0;
  if (FreeSpace(*this, m_pConfig->m_pRadio->m_strRecordFolder, available) && available < kScheduledRecordMinFree)
    return 0;
  if (m_pConfig->m_nActiveModule != MODULE_RADIO) StartRadio(*this);
  if (m_pConfig->m_nActiveModule != MODULE_RADIO) return 0;
  auto c = MakeCtx(*this);
  if (!c || !c->engine) return 0;
  CRadioConfig& radio = c->radio;
  StopAll(*c);
  radio.m_pRecordingSchedule = std::make_unique<CScheduleItem>(item);
  const int frequency = item.GetRadioFrequency();
  const int band = BandOf(radio, frequency);
  if (band != radio.m_nCurBand) ChooseBand(*c, band);
  Tune(*c, frequency);
  radio.m_pRecordingSchedule->SetBeginDate(Clock(*this).Now());
  std::string file = item.GetRecFileName();
  file = file.empty() ? RecordingFileName(*this, radio, frequency, band) : UniqueFileName(file);
  if (StartRecordingInto(*c, file, 1)) return 1;
  radio.m_pRecordingSchedule.reset();
  return 0;
}

// The end of a radio schedule's time.
int CUISystem::RadioScheduleRecord(int) {
  RunStep("RadioScheduleRecord");
  auto c = MakeCtx(*this);
  if (!c) return 0;
  const int ended = EndScheduledRecording(*c, 4);
  if (ended) c->Redraw(0);
  return ended;
}
