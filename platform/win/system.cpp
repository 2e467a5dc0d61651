#include "platform/win/system.h"

#include <mutex>

#include "platform/sys/last_error.h"
#include "platform/win/internal.h"

namespace plat {

namespace {

struct Parameters {
  std::mutex mutex;
  UINT double_click_ms = 500;
  BOOL screen_saver_active = TRUE;
  BOOL power_off_active = TRUE;
  BOOL drag_full_windows = TRUE;
  BOOL font_smoothing = TRUE;
};

Parameters& Params() {
  static Parameters p;
  return p;
}

}  // namespace

int GetSystemMetrics(int index) {
  const SIZE screen = win::ScreenSize();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXMAXIMIZED:
    case SM_CXVIRTUALSCREEN:
      return screen.cx;
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN:
    case SM_CYMAXIMIZED:
    case SM_CYVIRTUALSCREEN:
      return screen.cy;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
      return 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
      return 1;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_CXMINSPACING: return 160;
    case SM_CYMINSPACING: return 24;
    case SM_CXDRAG:
    case SM_CYDRAG:
      return 4;
    case SM_CMONITORS:
      if (DisplayLink* link = AttachedDisplay()) return link->monitor_count();
      return 1;
    case SM_REMOTESESSION: return 0;
    default: return 0;
  }
}

UINT GetDoubleClickTime() {
  Parameters& p = Params();
  std::lock_guard lock(p.mutex);
  return p.double_click_ms;
}

BOOL SetDoubleClickTime(UINT ms) {
  Parameters& p = Params();
  std::lock_guard lock(p.mutex);
  p.double_click_ms = ms == 0 ? 500 : ms;
  return TRUE;
}

BOOL SystemParametersInfo(UINT action, UINT ui, void* pv, UINT) {
  Parameters& p = Params();
  std::lock_guard lock(p.mutex);
  auto get = [&](BOOL value) {
    if (!pv) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    *static_cast<BOOL*>(pv) = value;
    return TRUE;
  };
  switch (action) {
    case SPI_GETSCREENSAVEACTIVE: return get(p.screen_saver_active);
    case SPI_SETSCREENSAVEACTIVE: p.screen_saver_active = ui ? TRUE : FALSE; return TRUE;
    case SPI_GETPOWEROFFACTIVE: return get(p.power_off_active);
    case SPI_SETPOWEROFFACTIVE: p.power_off_active = ui ? TRUE : FALSE; return TRUE;
    case SPI_GETDRAGFULLWINDOWS: return get(p.drag_full_windows);
    case SPI_SETDRAGFULLWINDOWS: p.drag_full_windows = ui ? TRUE : FALSE; return TRUE;
    case SPI_GETFONTSMOOTHING: return get(p.font_smoothing);
    case SPI_SETFONTSMOOTHING: p.font_smoothing = ui ? TRUE : FALSE; return TRUE;
    case SPI_GETWORKAREA: {
      if (!pv) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      const SIZE s = win::ScreenSize();
      *static_cast<RECT*>(pv) = RECT{0, 0, s.cx, s.cy};
      return TRUE;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

}  // namespace plat
