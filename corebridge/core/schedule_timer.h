// The schedule timer: a periodic timer of the multimedia timer service. Its
// thread only posts each tick to the hidden window; the tick's steps run on
// the UI thread (CUISystem::ScheduleTick), so the controllers are never
// called from the timer thread.
#pragma once

#include <cstdint>

#include "platform/core/types.h"

class CMMTimer {
 public:
  explicit CMMTimer(plat::UINT periodMs);
  virtual ~CMMTimer();
  CMMTimer(const CMMTimer&) = delete;
  CMMTimer& operator=(const CMMTimer&) = delete;

  // Kills the timer; keeps the id when that fails.
  void Stop();
  plat::UINT Id() const { return m_nTimerId; }

 protected:
  // Starts the periodic timer; derived classes call it once they are built.
  void Begin();
  virtual void OnTimer() = 0;

 private:
  static void Callback(plat::UINT id, plat::UINT msg, plat::DWORD_PTR user, plat::DWORD_PTR, plat::DWORD_PTR);
  plat::UINT m_nPeriodMs;
  plat::UINT m_nTimerId = 0;
};

class CScheduleTimer final : public CMMTimer {
 public:
  // Ticks are posted to `window` as WM_SCHEDULE_TICK.
  CScheduleTimer(plat::UINT periodMs, plat::HWND window);
  ~CScheduleTimer() override;

 protected:
  void OnTimer() override;

 private:
  plat::HWND m_hWnd;
};
