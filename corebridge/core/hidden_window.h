// The system core's invisible window on the UI thread. Engine callbacks and
// the drive enumerator post to it to move work onto the UI thread; it owns
// the battery timers (12, 14), the radio-recording monitor (1040) and the
// one-shot CD timer (7657); the remote-control helper pages through it.
#pragma once

#include "platform/core/types.h"
#include "platform/win/win_types.h"

class CUISystem;

// Messages and timers of the hidden window.
inline constexpr plat::UINT WM_PHOTO_REFRESH = plat::WM_USER + 842;
inline constexpr plat::UINT WM_PHOTO_NOTIFY = plat::WM_USER + 845;
inline constexpr plat::UINT WM_DEVICE_CHANGE_UI = plat::WM_USER + 848;
inline constexpr plat::UINT WM_REMOTE_MODE = plat::WM_USER + 1000;
inline constexpr plat::UINT WM_REMOTE_CLOSING = plat::WM_USER + 1001;
inline constexpr plat::UINT WM_REMOTE_KEY = plat::WM_USER + 1002;
inline constexpr plat::UINT WM_SEARCH_PROGRESS = plat::WM_USER + 1111;
inline constexpr plat::UINT WM_SEARCH_DONE = plat::WM_USER + 1112;
inline constexpr plat::UINT_PTR kBatteryTimer = 12;
inline constexpr plat::UINT_PTR kCriticalBatteryTimer = 14;
inline constexpr plat::UINT_PTR kRecordMonitorTimer = 1040;
inline constexpr plat::UINT_PTR kCdDriveTimer = 7657;
// The DVD engine's audio outputs are asked once the home page is up: the
// question needs GStreamer, whose start (reading its plugin registry) took
// longer than the rest of the start-up together. When the timer fires the
// start is begun on a worker, which posts WM_MEDIA_STARTED when it is over;
// the question is asked then. The delay is the services' mediaStartDelayMs.
inline constexpr plat::UINT_PTR kDvdAudioCapsTimer = 7658;
inline constexpr plat::UINT WM_MEDIA_STARTED = plat::WM_USER + 851;
// The capture controller's capture-time timers (hard disk, disc).
inline constexpr plat::UINT_PTR kCaptureHDTimer = 7659;
inline constexpr plat::UINT_PTR kCaptureDiscTimer = 7660;
inline constexpr plat::UINT kBatteryPeriodMs = 60000;
inline constexpr plat::UINT kCriticalBatteryPeriodMs = 10000;
// The schedule timer's tick, posted from its thread.
inline constexpr plat::UINT WM_SCHEDULE_TICK = plat::WM_USER + 849;
// The music worker has collected its files.
inline constexpr plat::UINT WM_MUSIC_WORKER_DONE = plat::WM_USER + 850;

class CHiddenWindow {
 public:
  static constexpr const char* kClassName = "corebridgeWnd";

  explicit CHiddenWindow(CUISystem& owner);
  ~CHiddenWindow();
  CHiddenWindow(const CHiddenWindow&) = delete;
  CHiddenWindow& operator=(const CHiddenWindow&) = delete;

  // Creates the window; false when that fails.
  bool Create();
  plat::HWND Handle() const { return m_hWnd; }

  plat::UINT_PTR m_nBatteryTimer = 0;
  plat::UINT_PTR m_nRecordTimer = 0;
  int m_bOnMains = 1;

 private:
  static plat::LRESULT WndProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT OnMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);

  CUISystem& m_owner;
  plat::HWND m_hWnd = nullptr;
};
