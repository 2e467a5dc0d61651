#include "corebridge/core/schedule_timer.h"

#include "corebridge/core/civil_time.h"
#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/schedule_list.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/win/message.h"
#include "platform/win/mmtimer.h"

using namespace plat;

CMMTimer::CMMTimer(UINT periodMs) : m_nPeriodMs(periodMs) {}

CMMTimer::~CMMTimer() { Stop(); }

void CMMTimer::Begin() {
  if (m_nTimerId) return;
  m_nTimerId = timeSetEvent(m_nPeriodMs, 1, &CMMTimer::Callback, reinterpret_cast<DWORD_PTR>(this), TIME_PERIODIC);
}

void CMMTimer::Stop() {
  if (!m_nTimerId) return;
  if (timeKillEvent(m_nTimerId) != TIMERR_NOERROR) return;
  m_nTimerId = 0;
}

void CMMTimer::Callback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* timer = reinterpret_cast<CMMTimer*>(user);
  if (timer && timer->m_nTimerId) timer->OnTimer();
}

CScheduleTimer::CScheduleTimer(UINT periodMs, HWND window) : CMMTimer(periodMs), m_hWnd(window) { Begin(); }

// The timer must be gone before this object is: timeKillEvent waits for a
// running callback.
CScheduleTimer::~CScheduleTimer() { Stop(); }

void CScheduleTimer::OnTimer() { PostMessage(m_hWnd, WM_SCHEDULE_TICK, 0, 0); }

namespace {

// One occurrence of a schedule: what it is and when it starts.
std::string OccurrenceKey(const CScheduleItem& item, std::int64_t start) {
  const SYSTEMTIME b = item.GetBeginDate();
  return std::to_string(item.GetType()) + "|" + std::to_string(item.GetRadioFrequency()) + "|" +
         std::to_string(b.wYear) + "-" + std::to_string(b.wMonth) + "-" + std::to_string(b.wDay) + " " +
         std::to_string(b.wHour) + ":" + std::to_string(b.wMinute) + "|" + item.GetRecFileName() + "|" +
         std::to_string(start);
}

}  // namespace

void CUISystem::ScheduleTick() {
  if (!m_pConfig || !m_pScheduleList) return;
  CScheduleList& list = *m_pScheduleList;
  list.LoadSave(m_pConfig->m_strSettingsFolder, 1);
  const auto now = civil_time::ToSeconds(list.Clock().Now());
  if (!now) return;
  CScheduleItem item;
  std::uint32_t seconds = 0;
  if (list.FindNextDue(item, seconds, 0)) {
    const std::string key = OccurrenceKey(item, *now + seconds);
    if (seconds == 120) {
      // Each occurrence opens its module once, however the ticks fall.
      if (key != m_schedule.lastOpened) {
        m_schedule.lastOpened = key;
        if (item.GetType() == SCHEDULE_RADIO) RadioStart(0, 0);
        else if (item.GetType() == SCHEDULE_TV) TVStart(0, 0);
      }
    } else if (seconds <= 1 && item.GetType() == SCHEDULE_RADIO && key != m_schedule.lastStarted) {
      // "0 or 1 second before" spans two whole-second ticks: start once.
      m_schedule.lastStarted = key;
      RadioPrepareRecording(item);
    }
  }
  std::uint32_t toEnd = 0;
  if (list.FindRunning(item, toEnd, 0) && toEnd <= 1 &&
      (item.GetType() == SCHEDULE_RADIO || item.GetType() == SCHEDULE_TV)) {
    const std::string key = OccurrenceKey(item, *now + toEnd);
    if (key != m_schedule.lastStopped) {
      m_schedule.lastStopped = key;
      // A TV recording the schedule started ends with the schedule too.
      if (item.GetType() == SCHEDULE_RADIO) RadioScheduleRecord(0);
      else TVScheduleStop();
    }
  }
  if (m_pConfig->m_nActiveModule == MODULE_RADIO) RadioCommand(0, 0);
}
