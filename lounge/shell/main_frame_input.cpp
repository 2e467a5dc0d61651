// CMainFrame: the message map. Window messages go to the active page's
// module methods; the frame keeps the borders, the sizing rules, the press
// repeat and the caption bar's slide for itself.
#include "lounge/shell/main_frame.h"

#include "lounge/shell/app_services.h"
#include "lounge/shell/frame_geometry.h"
#include "lounge/shell/osd_window.h"
#include "lounge/shell/playback_bar.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

using plat::LPARAM;
using plat::LRESULT;
using plat::POINT;
using plat::RECT;
using plat::UINT;
using plat::UINT_PTR;
using plat::WPARAM;

namespace {

POINT PointOf(LPARAM l) { return POINT{plat::GET_X_LPARAM(l), plat::GET_Y_LPARAM(l)}; }

bool LeftButtonDown() { return plat::GetKeyState(plat::VK_LBUTTON) < 0; }

bool IsListNavigationKey(WPARAM vk) {
  return vk == plat::VK_RETURN || vk == plat::VK_SPACE || vk == plat::VK_LEFT || vk == plat::VK_UP ||
         vk == plat::VK_RIGHT || vk == plat::VK_DOWN;
}

}  // namespace

LRESULT CMainFrame::OnFrameMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case plat::WM_CREATE: return OnCreate();
    case plat::WM_DESTROY:
      OnDestroy();
      return Default(msg, wParam, lParam);
    case plat::WM_MOUSEMOVE: OnMouseMove(lParam); return 0;
    case plat::WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case plat::WM_LBUTTONDOWN: OnButtonDown(lParam); return 0;
    case plat::WM_LBUTTONUP: OnButtonUp(lParam); return 0;
    case plat::WM_LBUTTONDBLCLK: {
      Default(msg, wParam, lParam);
      const POINT p = PointOf(lParam);
      if (m_activePage) m_activePage->OnDoubleClick(p.x, p.y);
      return 0;
    }
    case plat::WM_KEYDOWN: OnKeyDown(wParam, lParam); return 0;
    case plat::WM_NCHITTEST: return OnNcHitTest(lParam);
    case plat::WM_ERASEBKGND: return 1;
    case plat::WM_PAINT: {
      if (m_activePage) m_activePage->OnPaint();
      // Whatever the page left invalid is validated here.
      plat::PAINTSTRUCT ps;
      plat::BeginPaint(m_hwnd, &ps);
      plat::EndPaint(m_hwnd, &ps);
      return 0;
    }
    case plat::WM_SHOWWINDOW:
      if (m_activePage) m_activePage->OnShowWindow();
      return Default(msg, wParam, lParam);
    case plat::WM_SIZE: OnSize(); return 0;
    case plat::WM_SIZING:
      OnSizing(wParam, reinterpret_cast<RECT*>(lParam));
      return 1;
    case plat::WM_MOUSEWHEEL: {
      if (m_activePage) {
        const POINT p = PointOf(lParam);
        m_activePage->OnMouseWheel(plat::LOWORD(wParam), static_cast<short>(plat::HIWORD(wParam)), p.x, p.y);
      }
      return Default(msg, wParam, lParam);
    }
    case plat::WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return Default(msg, wParam, lParam);
    default: return Default(msg, wParam, lParam);
  }
}

// ---- mouse ----

void CMainFrame::ShowCursorNow() {
  if (plat::IsCursorShown()) return;
  for (int i = 0; i < 64 && plat::ShowCursor(plat::TRUE) < 0; ++i) {
  }
  plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_ARROW));
}

void CMainFrame::OnMouseMove(LPARAM lParam) {
  if (!m_trackingLeave) {
    plat::TRACKMOUSEEVENT tme;
    tme.dwFlags = plat::TME_LEAVE;
    tme.hwndTrack = m_hwnd;
    tme.dwHoverTime = 1;
    m_trackingLeave = plat::TrackMouseEvent(&tme) != plat::FALSE;
  }
  Default(plat::WM_MOUSEMOVE, 0, lParam);
  if (!HasMouseMoved()) return;
  const POINT p = PointOf(lParam);
  if (m_activePage) m_activePage->OnMouseMove(p.x, p.y);
  ShowCursorNow();
}

void CMainFrame::OnMouseLeave() {
  m_trackingLeave = false;
  if (m_activePage) m_activePage->OnMouseLeave();
  m_pressed = false;
  plat::ReleaseCapture();
}

void CMainFrame::OnButtonDown(LPARAM lParam) {
  Default(plat::WM_LBUTTONDOWN, 0, lParam);
  // Holding the button still for a second starts repeating the click.
  if (!m_repeatTimer && m_options.vendorId != VENDOR_DEZAD)
    m_repeatTimer = plat::SetTimer(m_hwnd, kPressRepeatDelayTimer, kPressRepeatDelayMs, nullptr);
  const POINT p = PointOf(lParam);
  if (m_activePage) {
    m_activePage->OnButtonDown(p.x, p.y);
    m_activePage->OnMouseDown(p.x, p.y);
  }
  m_pressPoint = p;
  m_pressed = true;
}

void CMainFrame::OnButtonUp(LPARAM lParam) {
  Default(plat::WM_LBUTTONUP, 0, lParam);
  const POINT p = PointOf(lParam);
  if (m_activePage) m_activePage->OnButtonUp(p.x, p.y);
  m_pressed = false;
}

LRESULT CMainFrame::OnNcHitTest(LPARAM lParam) {
  const LRESULT base = Default(plat::WM_NCHITTEST, 0, lParam);
  POINT p = PointOf(lParam);
  plat::ScreenToClient(m_hwnd, &p);
  if (!m_activePage) return base;
  if (HasMouseMoved()) {
    m_activePage->OnMouseMove(p.x, p.y);
    ShowCursorNow();
  }
  if (!IsMaximized()) {
    const LRESULT border = FrameBorderHitTest(ClientRect(), p);
    if (border != plat::HTNOWHERE) return border;
  }
  return m_activePage->HitTest(p.x, p.y);
}

// ---- keys ----

void CMainFrame::RedrawBarLists() {
  CSkinPage* bars[] = {m_captionBar.get(), m_playbackBar.get()};
  for (CSkinPage* bar : bars) {
    if (!bar || !plat::IsWindowVisible(bar->Owner())) continue;
    plat::HDC dc = plat::GetDC(bar->Owner());
    if (!dc) continue;
    bar->DrawLists(dc);
    plat::ReleaseDC(bar->Owner(), dc);
  }
}

void CMainFrame::OnKeyDown(WPARAM vk, LPARAM lParam) {
  Default(plat::WM_KEYDOWN, vk, lParam);
  if (IsListNavigationKey(vk) && BarsAllowed()) RedrawBarLists();
  if (m_activePage)
    m_activePage->OnKeyDown(static_cast<UINT>(vk), static_cast<UINT>(lParam & 0xFFFF),
                            static_cast<UINT>((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF));
}

// ---- size ----

void CMainFrame::OnSize() {
  float captionPosition = 1.0f, playbackPosition = 1.0f;
  if (BarsAllowed()) {
    if (m_captionBar) captionPosition = m_captionBar->Position();
    if (m_playbackBar) playbackPosition = m_playbackBar->Position();
  }
  const RECT client = ClientRect();
  SetDisplayRect(client);
  if (m_activePage) m_activePage->OnResize();
  if (BarsAllowed()) {
    if (m_captionBar) {
      m_captionBar->SetPosition(captionPosition);
      m_captionBar->Place(client);
      if (!plat::IsWindowVisible(m_captionBar->Window())) m_captionBar->Redraw(0);
    }
    if (m_playbackBar) {
      m_playbackBar->SetPosition(playbackPosition);
      if (!plat::IsWindowVisible(m_playbackBar->Window())) m_playbackBar->Redraw(0);
    }
  }
  if (m_osd && m_osd->IsVisible()) PlaceOsd();
}

void CMainFrame::OnSizing(WPARAM edge, RECT* rect) {
  if (!rect) return;
  ClampSizingRect(m_options.vendorId, edge, plat::GetSystemMetrics(plat::SM_CXSCREEN),
                  plat::GetSystemMetrics(plat::SM_CYSCREEN), *rect);
}

// ---- timers ----

void CMainFrame::OnTimer(UINT_PTR id) {
  switch (id) {
    case kCaptionBarDelayedHideTimer:
    case kCaptionBarSlideInTimer:
    case kCaptionBarSlideOutTimer: OnCaptionBarTimer(id); return;
    case kPlaybackBarDelayedHideTimer:
    case kPlaybackBarSlideInTimer:
    case kPlaybackBarSlideOutTimer:
      if (m_playbackBar)
        m_playbackBar->OnSlideTimer(id);
      else
        plat::KillTimer(m_hwnd, id);
      return;
    case kPressRepeatDelayTimer:
    case kPressRepeatTimer: OnPressRepeatTimer(id); return;
    default:
      if (m_activePage) m_activePage->OnTimer(id);
      return;
  }
}

void CMainFrame::OnPressRepeatTimer(UINT_PTR id) {
  if (id == kPressRepeatDelayTimer) {
    StopPressRepeat();
    if (m_options.vendorId == VENDOR_DEZAD || !LeftButtonDown() || !m_pressed) return;
    POINT cursor{};
    plat::GetCursorPos(&cursor);
    plat::ScreenToClient(m_hwnd, &cursor);
    if (cursor.x == m_pressPoint.x && cursor.y == m_pressPoint.y)
      m_repeatTimer = plat::SetTimer(m_hwnd, kPressRepeatTimer, kPressRepeatMs, nullptr);
    return;
  }
  if (!m_activePage || !LeftButtonDown() || !m_pressed) {
    StopPressRepeat();
    return;
  }
  POINT cursor{};
  plat::GetCursorPos(&cursor);
  plat::ScreenToClient(m_hwnd, &cursor);
  // The page acts on release: each repeat releases and presses again.
  if (m_activePage->OnButtonUp(cursor.x, cursor.y)) m_activePage->OnButtonDown(cursor.x, cursor.y);
}
