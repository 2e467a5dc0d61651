#include "corebridge/core/hidden_window.h"

#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/sys/power_status.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using namespace plat;

namespace {

bool RegisterHiddenClass() {
  WNDCLASS existing{};
  if (GetClassInfo(nullptr, CHiddenWindow::kClassName, &existing)) return true;
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = CHiddenWindow::kClassName;
  return RegisterClass(&wc) != 0;
}

}  // namespace

CHiddenWindow::CHiddenWindow(CUISystem& owner) : m_owner(owner) {
  SYSTEM_POWER_STATUS status;
  if (GetSystemPowerStatus(&status) && status.ACLineStatus == AC_LINE_OFFLINE) m_bOnMains = 0;
}

CHiddenWindow::~CHiddenWindow() {
  if (m_hWnd) {
    SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hWnd);
  }
}

bool CHiddenWindow::Create() {
  RegisterHiddenClass();
  m_hWnd = CreateWindowEx(0, kClassName, "", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr,
                          nullptr, nullptr, nullptr);
  if (!m_hWnd) return false;
  SetWindowLongPtr(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // Our window procedure takes over from the class's default one.
  SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHiddenWindow::WndProc));
  return true;
}

LRESULT CHiddenWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CHiddenWindow*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (self) self->OnMessage(msg, wParam, lParam);
  if (msg == WM_DEVICECHANGE && lParam) FreeDeviceRecord(lParam);
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT CHiddenWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PHOTO_REFRESH:
      if (m_owner.Config() && m_owner.Config()->m_nActiveModule == 1) m_owner.PhotoOnRefreshMessage();
      return 0;
    case WM_PHOTO_NOTIFY:
      if (m_owner.Config() && m_owner.Config()->m_nActiveModule == 1) {
        m_owner.PhotoOnNotifyMessage(static_cast<std::intptr_t>(wParam));
      }
      return 0;
    case WM_DEVICE_CHANGE_UI:
      return m_owner.OnDeviceChangeOnUiThread(static_cast<int>(wParam), static_cast<int>(lParam));
    case WM_REMOTE_KEY:
      m_owner.OnRemoteKeyPaging(wParam, lParam);
      return 0;
    case WM_SEARCH_PROGRESS:
      if (m_owner.m_pMusicPage) m_owner.m_pMusicPage->Redraw(0);
      return 0;
    case WM_SEARCH_DONE:
      m_owner.ExecuteAction("Music stop Media Search", 0, 0);
      return 0;
    case WM_SCHEDULE_TICK:
      m_owner.ScheduleTick();
      return 0;
    case WM_MUSIC_WORKER_DONE:
      m_owner.MusicWorkerDeliver();
      return 0;
    // System notices from the platform's sources reach the system core here
    // when no frame forwards them.
    case WM_POWERBROADCAST:
    case WM_WTSSESSION_CHANGE:
    case WM_DEVICECHANGE:
      m_owner.OnSystemMessage(m_hWnd, msg, wParam, lParam);
      return 0;
    case WM_MEDIA_STARTED:
      m_owner.OnMediaStarted();
      return 0;
    case WM_TIMER:
      if (wParam == kBatteryTimer || wParam == kCriticalBatteryTimer) m_owner.OnBatteryTimer(wParam);
      else if (wParam == kRecordMonitorTimer) m_owner.OnRecordMonitorTimer();
      else if (wParam == kCdDriveTimer) m_owner.OnCdDriveTimer();
      else if (wParam == kDvdAudioCapsTimer) m_owner.OnDvdAudioCapsTimer();
      else if (wParam == kCaptureHDTimer || wParam == kCaptureDiscTimer) m_owner.VideoCaptureOnTimer(wParam);
      return 0;
    default:
      return 0;
  }
}
