// The system's notices to the system core (display, power, devices,
// session) and the hidden window's timers.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/video_config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/engines.h"
#include "platform/sys/drive_table.h"
#include "platform/sys/power_status.h"
#include "platform/sys/system_events.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using namespace plat;

namespace {

constexpr ULONGLONG kMinimumFreeBytes = 209'715'200;   // 200 MiB
constexpr ULONGLONG kRecordFileLimit = 4'141'875'200;  // a recording's largest file

float ScaleFactor(int ratio, int displayMode) {
  if (ratio == 1 && displayMode == 2) return 0.75f;
  if (ratio == 2 && displayMode == 1) return 1.3333334f;
  return 1.0f;
}

}  // namespace

int CUISystem::HiddenWindowCreate(int create) {
  if (create) {
    if (m_pHiddenWindow) return 0;
    auto window = std::make_unique<CHiddenWindow>(*this);
    if (!window->Create()) return 0;
    m_pHiddenWindow = std::move(window);
    // The platform's power, session and volume notices come here.
    SystemEvents().Subscribe(m_pHiddenWindow->Handle());
    return 1;
  }
  if (m_pHiddenWindow) {
    if (VendorId() == 1) {
      if (HWND remote = FindWindow("RemoteKeyWndClass", "RemoteKeyWnd")) PostMessage(remote, WM_REMOTE_CLOSING, 0, 0);
    }
    SystemEvents().Unsubscribe(m_pHiddenWindow->Handle());
    m_pHiddenWindow.reset();
  }
  return 1;
}

int CUISystem::StartRecordMonitorTimer(UINT periodMs) {
  if (m_pHiddenWindow && !m_pHiddenWindow->m_nRecordTimer) {
    m_pHiddenWindow->m_nRecordTimer = SetTimer(m_pHiddenWindow->Handle(), kRecordMonitorTimer, periodMs, nullptr);
  }
  return 1;
}

int CUISystem::StopRecordMonitorTimer() {
  if (m_pHiddenWindow && m_pHiddenWindow->m_nRecordTimer) {
    KillTimer(m_pHiddenWindow->Handle(), kRecordMonitorTimer);
    m_pHiddenWindow->m_nRecordTimer = 0;
  }
  return 1;
}

int CUISystem::SetScreenRatioMode(int flag) {
  if (!m_pConfig) return 0;
  CConfig& config = *m_pConfig;
  if (flag == 1) {
    if (VendorId() != 1) config.m_nDisplayMode = 1;
  } else if (flag == 0) {
    if (config.m_nDisplayMode == 1) {
      config.m_nDisplayMode = 2;
      if (config.m_nWideScreenMode == 2) config.m_nWideScreenMode = 1;
    } else {
      config.m_nDisplayMode = 1;
    }
  }
  config.m_fScaleFactor = ScaleFactor(config.m_nScreenRatio, config.m_nDisplayMode);
  return 1;
}

void CUISystem::ApplyDisplaySize(int width, int height, bool redraw) {
  if (!m_pConfig) return;
  CConfig& config = *m_pConfig;
  config.m_nScreenRatio = (height > 0 && static_cast<double>(width) / height > 1.5) ? 2 : 1;
  config.m_fScaleFactor = ScaleFactor(config.m_nScreenRatio, config.m_nDisplayMode);
  if (!redraw) return;
  switch (config.m_nActiveModule) {
    case MODULE_NONE:
      if (m_pHomePage) m_pHomePage->Redraw(&config, 1);
      break;
    case MODULE_PHOTO:
      PhotoOnDisplayChange();
      if (m_pPhotoPage) m_pPhotoPage->Redraw(1);
      break;
    case MODULE_MUSIC:
      if (m_pMusicPage) m_pMusicPage->Redraw(1);
      break;
    case MODULE_MOVIE:
      MoviePageRefresh();
      if (m_pMoviePage) m_pMoviePage->OnRedraw(1);
      break;
    case MODULE_RADIO:
      if (m_pRadioPage) m_pRadioPage->Redraw(1);
      break;
    case MODULE_RECORD:
      if (m_pRecordPage) m_pRecordPage->Redraw(1);
      break;
    case MODULE_VIDEO:
      VideoStartPositionTimer();
      if (m_pVideoPage) m_pVideoPage->Redraw(1);
      break;
    case MODULE_TV:
      if (m_pTvPage) m_pTvPage->Redraw(1);
      break;
    case MODULE_BURNING:
      if (m_pAuthoringPage) m_pAuthoringPage->Redraw(1);
      break;
    default: break;
  }
}

HRESULT CUISystem::OnSystemMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_DISPLAYCHANGE && msg != WM_POWERBROADCAST && msg != WM_DEVICECHANGE && msg != WM_WTSSESSION_CHANGE) {
    return E_NOTIMPL;
  }
  if (!m_bStarted || !m_pConfig) return E_FAIL;
  CConfig& config = *m_pConfig;
  switch (msg) {
    case WM_DISPLAYCHANGE:
      ApplyDisplaySize(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF), true);
      return E_NOTIMPL;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMQUERYSUSPEND) {
        if (config.m_nVendorId == 4) return static_cast<HRESULT>(BROADCAST_QUERY_DENY);
      } else if (wParam == PBT_APMSUSPEND) {
        StopPlaybackForSuspend(false);
      } else if (wParam == PBT_APMPOWERSTATUSCHANGE) {
        OnPowerStatusChange();
      }
      return E_NOTIMPL;
    case WM_DEVICECHANGE: {
      if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) return E_NOTIMPL;
      const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
      int event = 7;
      int drive = 0;
      if (header && header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
        const DWORD mask = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam)->dbcv_unitmask;
        // A volume record without a unit names no drive: nothing to do.
        if (mask == 0) return E_NOTIMPL;
        drive = __builtin_ctz(mask);
        event = static_cast<int>(wParam);
      }
      // The event and drive travel in the message, so a second change
      // cannot overwrite the first before the UI thread takes it.
      config.m_nPendingDeviceEvent = event;
      config.m_nPendingDeviceDrive = drive;
      if (m_pHiddenWindow) PostMessage(m_pHiddenWindow->Handle(), WM_DEVICE_CHANGE_UI, event, drive);
      return E_NOTIMPL;
    }
    case WM_WTSSESSION_CHANGE:
      if (wParam == WTS_SESSION_LOCK) {
        config.m_bSuppress = config.m_bLocked ? 0 : 1;
        config.m_bLocked = 1;
        StopPlaybackForSuspend(false);
      } else if (wParam == WTS_SESSION_UNLOCK) {
        // Unlocking ends the suppression the lock began.
        config.m_bSuppress = 0;
        config.m_bLocked = 0;
        StopPlaybackForSuspend(false);
        if (m_pUICallback) m_pUICallback->HideOsd();
      }
      return E_NOTIMPL;
    default:
      return E_NOTIMPL;
  }
}

void CUISystem::StopPlaybackForSuspend(bool criticalBattery) {
  if (!m_pConfig) return;
  switch (m_pConfig->m_nActiveModule) {
    case MODULE_PHOTO:
      if (m_pStates->nPhotoState == 1 || (criticalBattery && m_pStates->bSlideShowPending)) PhotoStopSlideShow(0, 0);
      break;
    case MODULE_MUSIC:
      if (m_pStates->nMusicState != 2) OnMusicStop(0, 0);
      if (m_pStates->bMusicRipping) OnMusicStopRipping(0, 0);
      break;
    case MODULE_MOVIE:
      if (m_pStates->nMoviePlayState != 2) ExecuteAction("Movie Stop", 0, 0);
      break;
    case MODULE_VIDEO:
      // Page state 4: a file is playing.
      if (m_pConfig->m_pVideo && m_pConfig->m_pVideo->m_nView == VIDEO_VIEW_PLAYING) ExecuteAction("Video Stop", 0, 0);
      break;
    default: break;
  }
}

LRESULT CUISystem::OnDeviceChangeOnUiThread(int event, int drive) {
  if (m_pConfig) {
    m_pConfig->m_nPendingDeviceEvent = 0;
    m_pConfig->m_nPendingDeviceDrive = 0;
  }
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives || !m_pConfig) return E_FAIL;
  if (event == 7) {
    m_pConfig->m_vecDriveList3.clear();
    char first[kServiceNameBytes] = {};
    char second[kServiceNameBytes] = {};
    char* a = first;
    char* b = second;
    for (int i = 0; SUCCEEDED(drives->GetList3Entry(i, &a, &b)); ++i) m_pConfig->m_vecDriveList3.push_back({second, first});
  } else if (event == static_cast<int>(DBT_DEVICEARRIVAL) || event == static_cast<int>(DBT_DEVICEREMOVECOMPLETE)) {
    // The enumerator's table is read again: the lists and the reader slots
    // name what is there now.
    drives->Refresh();
    BuildDriveLists();
  }
  switch (m_pConfig->m_nActiveModule) {
    case MODULE_NONE:
      if (event == static_cast<int>(DBT_DEVICEARRIVAL)) {
        int kind = 0;
        if (GetDriveMediaKind(drive, kind)) {
          if (kind == 1) {
            OnMusicEntry(0, 0);
            MusicOnDeviceChange(event, drive);
          } else if (kind >= 2 && kind <= 7 && !m_pConfig->m_bSuppress) {
            FindDiscDrive(drive, 0);
            OnMovieEntry(drive, 1);
          }
        }
        // A card or stick that arrives opens the record hub, whose device
        // page offers to copy from it.
        const std::string root{static_cast<char>('A' + drive), ':', '\\'};
        if (drive >= 0 && drive < 26 && !m_pConfig->m_bSuppress && GetDriveTypeA(root.c_str()) == DRIVE_REMOVABLE) {
          RecordEntry(0, 0);
        }
      }
      return 0;
    case MODULE_PHOTO: return PhotoOnDeviceChange(event, drive);
    case MODULE_MUSIC: return MusicOnDeviceChange(event, drive);
    case MODULE_MOVIE: return MovieOnDeviceChange(event, drive);
    case MODULE_RADIO: return RadioOnDeviceChange(event, drive);
    case MODULE_VIDEO: return VideoOnDeviceChange(event, drive);
    case MODULE_TV: return TVOnDeviceChange(event, drive);
    case MODULE_RECORD:
    case MODULE_BURNING:
      // The hub's device page names each slot's medium: a drive that came or
      // went shows at once.
      if (m_pRecordPage && (event == static_cast<int>(DBT_DEVICEARRIVAL) ||
                            event == static_cast<int>(DBT_DEVICEREMOVECOMPLETE))) {
        m_pRecordPage->Redraw(1);
        return 1;
      }
      return 0;
    default: return 0;
  }
}

int CUISystem::OnPowerStatusChange() {
  if (!m_pConfig || !m_pConfig->m_bPowerSave || !m_pHiddenWindow) return 0;
  const int result = PowerSourceCheck();
  if (result >= 0) m_pConfig->m_bOnMains = result;
  return 1;
}

// 1 on mains, 0 on battery, -1 when the line status is unknown.
int CUISystem::PowerSourceCheck() {
  if (!m_pHiddenWindow) return -1;
  SYSTEM_POWER_STATUS status;
  if (!GetSystemPowerStatus(&status) || status.ACLineStatus == AC_LINE_UNKNOWN) return -1;
  CHiddenWindow& window = *m_pHiddenWindow;
  if (status.ACLineStatus == AC_LINE_ONLINE) {
    if (window.m_nBatteryTimer) {
      KillTimer(window.Handle(), window.m_nBatteryTimer);
      window.m_nBatteryTimer = 0;
    }
    if (!window.m_bOnMains) {
      MoviePowerStep(false);
      RestoreProcessorScheme();
    }
    window.m_bOnMains = 1;
    return 1;
  }
  if (!window.m_nBatteryTimer) {
    SetTimer(window.Handle(), kBatteryTimer, kBatteryPeriodMs, nullptr);
    window.m_nBatteryTimer = kBatteryTimer;
  }
  if (window.m_bOnMains) {
    MoviePowerStep(true);
    SwitchProcessorScheme();
  }
  window.m_bOnMains = 0;
  return 0;
}

int CUISystem::MoviePowerStep(bool battery) {
  if (!m_pConfig || !m_pConfig->m_bPowerSave || m_pConfig->m_nActiveModule != MODULE_MOVIE) return 0;
  // The DVD engine reports the play state; without it nothing plays.
  ComPtr<IUnknown> dvd;
  if (FAILED(QueryCore(IID_IDiscRunner, dvd.ReleaseAndGetAddressOf()))) return 0;
  if (m_pStates->nMoviePlayState == 0 || m_pStates->nMoviePlayState == 1) return 0;
  if (battery) {
    // A brightness that cannot be read is left alone.
    int before = 0;
    if (m_nLcdBrightness && QueryBrightness(before)) {
      const int target = ((m_nLcdBrightness + 1) >> 1) - 1;
      SetBrightness(target);
      // The set is posted and may not be applied when the window answers
      // the second read; the offset is what the set takes away.
      int after = 0;
      QueryBrightness(after);
      m_nBrightnessOffset = before - (after == before ? target : after);
    }
    return MovieEngineReapplyOnPowerApply();
  }
  if (m_nLcdBrightness) {
    int current = 0;
    // A brightness that cannot be read is left alone.
    if (QueryBrightness(current)) SetBrightness(std::min(current + m_nBrightnessOffset, 10));
  }
  return MovieEngineReapplyOnPowerRestore();
}

int CUISystem::SwitchProcessorScheme() {
  if (!m_pConfig) return 0;
  BYTE current = 0;
  if (!m_services.powerScheme->ReadThrottle(current)) return 0;
  m_pConfig->m_nSavedPowerScheme = current;
  if (!m_services.powerScheme->WriteThrottle(3)) return 0;
  m_bSchemeSwitched = 1;
  return 1;
}

int CUISystem::RestoreProcessorScheme() {
  if (!m_pConfig || !m_pConfig->m_bPowerSave) return 0;
  if (!m_services.powerScheme->WriteThrottle(m_pConfig->m_nSavedPowerScheme)) return 0;
  m_bSchemeSwitched = 0;
  return 1;
}

// Leaving on battery must not leave the machine's scheme switched.
void CUISystem::RestoreSchemeAtStop() {
  if (!m_bSchemeSwitched || !m_pConfig) return;
  if (m_services.powerScheme->WriteThrottle(m_pConfig->m_nSavedPowerScheme)) m_bSchemeSwitched = 0;
}

void CUISystem::OnBatteryTimer(UINT_PTR id) {
  if (!m_pHiddenWindow) return;
  CHiddenWindow& window = *m_pHiddenWindow;
  SYSTEM_POWER_STATUS status;
  if (!GetSystemPowerStatus(&status) || status.ACLineStatus != AC_LINE_OFFLINE) return;
  const bool charging = (status.BatteryFlag & BATTERY_FLAG_CHARGING) != 0;
  if (id == kBatteryTimer) {
    if ((status.BatteryFlag & (BATTERY_FLAG_LOW | BATTERY_FLAG_CRITICAL)) && !charging) {
      KillTimer(window.Handle(), kBatteryTimer);
      SetTimer(window.Handle(), kCriticalBatteryTimer, kCriticalBatteryPeriodMs, nullptr);
      window.m_nBatteryTimer = kCriticalBatteryTimer;
    }
  } else if (id == kCriticalBatteryTimer) {
    if ((status.BatteryFlag & BATTERY_FLAG_CRITICAL) && !charging) {
      StopPlaybackForSuspend(true);
      KillTimer(window.Handle(), kCriticalBatteryTimer);
      window.m_nBatteryTimer = 0;
    }
  }
}

void CUISystem::OnRecordMonitorTimer() {
  if (!m_pConfig || m_pConfig->m_nActiveModule != MODULE_RADIO) return;
  const int state = m_pStates->nRadioRecordState;
  if (state != 2 && state != 3) return;
  const std::string& file = m_pStates->strRadioRecordFile;
  const std::string folder = file.substr(0, file.find_last_of('/') == std::string::npos ? 0 : file.find_last_of('/') + 1);
  std::uint64_t available = 0;
  bool known = false;
  if (m_services.freeSpace) {
    known = m_services.freeSpace(folder.empty() ? "." : folder, available);
  } else {
    ULONGLONG bytes = 0;
    known = GetDiskFreeSpaceExA(folder.empty() ? "." : folder.c_str(), &bytes, nullptr, nullptr) != FALSE;
    available = bytes;
  }
  if (known && available < kMinimumFreeBytes) {
    RadioStopRecording(0, 0);
    return;
  }
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || static_cast<ULONGLONG>(st.st_size) < kRecordFileLimit) return;
  // A recording the schedule started goes on as the schedule, whichever
  // state its start gave it (the engine's own recording reports 2).
  if (state == 2 && !m_pConfig->m_pRadio->m_pRecordingSchedule) {
    RadioStopRecording(0, 0);
    OnRadioRecord(0, 0);
  } else {
    // The schedule goes on in the new file: it is let go before the stop so
    // its history gets no "stopped" entry for the change of file.
    CScheduleItem copy(SCHEDULE_RADIO);
    if (auto& running = m_pConfig->m_pRadio->m_pRecordingSchedule) {
      copy = *running;
      running.reset();
    }
    RadioStopRecording(0, 0);
    RadioPrepareRecording(copy);
  }
}

void CUISystem::OnCdDriveTimer() {
  if (!m_pHiddenWindow) return;
  KillTimer(m_pHiddenWindow->Handle(), kCdDriveTimer);
  if (!m_pConfig || m_pConfig->m_nActiveModule != MODULE_MUSIC || m_pStates->nMusicSourceView != 19 ||
      m_pStates->vecMusicTracks.empty()) {
    return;
  }
  // A CD track's address carries its drive's number from the ninth
  // character up to the last "/"; anything else names no drive.
  const std::string& url = m_pStates->vecMusicTracks.front();
  const size_t slash = url.find_last_of('/');
  if (url.size() < 9 || slash == std::string::npos || slash <= 8) return;
  const std::string digits = url.substr(8, slash - 8);
  if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos) return;
  // The number counts the optical drives in letter order, as the player's
  // CD addresses do.
  int n = std::stoi(digits);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', 0};
    if (GetDriveTypeA(root) != DRIVE_CDROM || n-- > 0) continue;
    const char drive[] = {letter, ':', 0};
    MusicLoadAudioCd(drive);
    if (m_pMusicPage) m_pMusicPage->Redraw(1);
    return;
  }
}

void CUISystem::OnRemoteKeyPaging(WPARAM wParam, LPARAM lParam) {
  if (lParam != 1) return;
  UINT key = 0;
  if (wParam == 5) key = VK_PRIOR;
  else if (wParam == 6) key = VK_NEXT;
  if (!key) return;
  if (HWND focus = GetFocus()) PostMessage(focus, WM_KEYDOWN, key, 0);
}
