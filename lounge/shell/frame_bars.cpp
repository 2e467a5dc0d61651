// CMainFrame: the caption bar and the playback bar. A bar's position is a
// fraction from 0.0 (fully shown) to 1.0 (fully moved out of the client
// area); the caption bar slides on the frame's timers 1111-1113, the playback
// bar on 1114-1116, which it runs itself.
#include <cmath>

#include "lounge/shell/app_services.h"
#include "lounge/shell/main_frame.h"
#include "lounge/shell/playback_bar.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using plat::POINT;
using plat::RECT;
using plat::UINT;
using plat::UINT_PTR;

namespace {

constexpr float kSlideStep = 0.1f;

// Steps of a tenth, kept on whole tenths so a slide ends after ten ticks.
float StepPosition(float position, float step) {
  const float next = std::round((position + step) * 10.0f) / 10.0f;
  return next < 0.0f ? 0.0f : next > 1.0f ? 1.0f : next;
}

constexpr UINT kRaiseAndShow = plat::SWP_NOMOVE | plat::SWP_NOSIZE | plat::SWP_NOACTIVATE | plat::SWP_SHOWWINDOW;

}  // namespace

bool CMainFrame::BarsAllowed() const { return m_options.vendorId != VENDOR_RORIDO; }

// ---- caption bar ----

CCaptionBar* CMainFrame::EnsureCaptionBar() {
  if (m_captionBar || !m_hwnd || !BarsAllowed()) return m_captionBar.get();
  m_captionBar = CCaptionBar::Create(*this, this);
  if (!m_captionBar) return nullptr;
  m_captionBar->SetPosition(1.0f);
  PlaceCaptionBar();
  return m_captionBar.get();
}

void CMainFrame::PlaceCaptionBar() {
  if (m_captionBar) m_captionBar->Place(ClientRect());
}

void CMainFrame::StopCaptionBarTimer() {
  if (m_captionTimer && m_hwnd) plat::KillTimer(m_hwnd, m_captionTimer);
  m_captionTimer = 0;
  m_captionSlidingIn = false;
}

void CMainFrame::StartCaptionBarTimer(UINT_PTR id, UINT ms) {
  StopCaptionBarTimer();
  m_captionTimer = plat::SetTimer(m_hwnd, id, ms, nullptr);
  m_captionSlidingIn = id == kCaptionBarSlideInTimer;
}

void CMainFrame::OnCaptionBarTimer(UINT_PTR id) {
  if (!m_captionBar) {
    plat::KillTimer(m_hwnd, id);
    if (id == m_captionTimer) m_captionTimer = 0;
    return;
  }
  if (id == kCaptionBarDelayedHideTimer) {
    StartCaptionBarTimer(kCaptionBarSlideOutTimer, kSlideOutStepMs);
    return;
  }
  const bool slidingIn = id == kCaptionBarSlideInTimer;
  m_captionBar->SetPosition(StepPosition(m_captionBar->Position(), slidingIn ? -kSlideStep : kSlideStep));
  PlaceCaptionBar();
  if (slidingIn ? m_captionBar->Position() <= 0.0f : m_captionBar->Position() >= 1.0f) StopCaptionBarTimer();
}

bool CMainFrame::IsCursorOverCaptionBar() const {
  if (!m_captionBar || !plat::IsWindowVisible(m_captionBar->Window())) return false;
  POINT cursor{};
  RECT client{};
  plat::GetCursorPos(&cursor);
  plat::ScreenToClient(m_captionBar->Window(), &cursor);
  plat::GetClientRect(m_captionBar->Window(), &client);
  return cursor.x >= client.left && cursor.x < client.right && cursor.y >= client.top && cursor.y < client.bottom;
}

bool CMainFrame::IsCursorOverPlaybackBar() const { return m_playbackBar && m_playbackBar->ContainsCursor(); }

bool CMainFrame::IsCaptionBarShown() const {
  return m_captionBar && plat::IsWindowVisible(m_captionBar->Window()) != plat::FALSE;
}

bool CMainFrame::IsPlaybackBarShown() const {
  return m_playbackBar && plat::IsWindowVisible(m_playbackBar->Window()) != plat::FALSE;
}

int CMainFrame::SetCaptionBarVisible(int show, int animate) {
  if (!BarsAllowed()) return 0;
  if (show && animate && m_captionSlidingIn) return 1;
  if (!EnsureCaptionBar()) return 0;
  if (!show && animate) {
    // Sliding away under the cursor would pull the bar from under a click;
    // a slide already under way goes on.
    if (IsCursorOverCaptionBar() || IsCursorOverPlaybackBar()) return 1;
    StartCaptionBarTimer(kCaptionBarSlideOutTimer, kSlideOutStepMs);
    return 1;
  }
  StopCaptionBarTimer();
  const plat::HWND bar = m_captionBar->Window();
  if (show && animate) {
    if (!plat::IsWindowVisible(bar)) plat::SetWindowPos(bar, plat::HWND_TOP, 0, 0, 0, 0, kRaiseAndShow);
    StartCaptionBarTimer(kCaptionBarSlideInTimer, kSlideInStepMs);
  } else if (show) {
    if (m_captionBar->Position() != 0.0f) {
      m_captionBar->SetPosition(0.0f);
      PlaceCaptionBar();
    }
    plat::SetWindowPos(bar, plat::HWND_TOP, 0, 0, 0, 0, kRaiseAndShow);
  } else {
    plat::ShowWindow(bar, plat::SW_HIDE);
    m_captionBar->SetPosition(1.0f);
    PlaceCaptionBar();
    plat::ShowWindow(bar, plat::SW_HIDE);
  }
  return 1;
}

int CMainFrame::NotifyCaptionBar(int value) { return m_captionBar ? m_captionBar->Redraw(value) : 0; }

int CMainFrame::ShowCaptionBar() { return EnsureCaptionBar() ? 1 : 0; }

int CMainFrame::HideCaptionBar() { return m_captionBar ? SetCaptionBarVisible(0, 0) : 0; }

int CMainFrame::GetCaptionBarPosition(float& fraction) {
  if (!m_captionBar) return 0;
  fraction = m_captionBar->Position();
  return 1;
}

int CMainFrame::SetCaptionBarPosition(float fraction) {
  if (!m_captionBar) return 0;
  m_captionBar->SetPosition(fraction);
  PlaceCaptionBar();
  return 1;
}

// ---- playback bar ----

int CMainFrame::ShowPlaybackBar(const std::string& layoutPath) {
  if (!BarsAllowed() || !m_hwnd) return 0;
  if (m_playbackBar) return m_playbackBar->LoadLayout(layoutPath);
  m_playbackBar = CPlaybackBar::Create(m_hwnd, this, layoutPath, m_options.vendorId);
  if (!m_playbackBar) return 0;
  m_playbackBar->SetTooltipHeight(m_options.playbackTooltipHeight);
  m_playbackBar->SetPlayTimeSource([this](double& first, double& second) {
    return m_bridge && plat::SUCCEEDED(m_bridge->GetPlaybackTimes(&first, &second));
  });
  // Over the bar the page below loses its hover, and the bar's buttons
  // follow the page's state.
  m_playbackBar->SetFrameMouseHook([this](bool overButton) {
    if (plat::IsCursorShown()) ActivePageMouseLeave();
    if (overButton) QueryActivePage();
  });
  return 1;
}

int CMainFrame::HidePlaybackBar() { return m_playbackBar ? SetPlaybackBarVisible(0, 0) : 0; }

int CMainFrame::SetPlaybackBarPath(const std::string& layoutPath) {
  if (!BarsAllowed()) return 0;
  return m_playbackBar ? m_playbackBar->LoadLayout(layoutPath) : ShowPlaybackBar(layoutPath);
}

int CMainFrame::ShowPlaybackTooltip(int show) {
  if (show || !m_playbackBar) return 0;
  m_playbackBar->HideTooltip();
  return 1;
}

int CMainFrame::GetPlaybackBarPosition(float& fraction) {
  if (!m_playbackBar) return 0;
  fraction = m_playbackBar->Position();
  return 1;
}

int CMainFrame::SetPlaybackBarPosition(float fraction) {
  if (!m_playbackBar) return 0;
  m_playbackBar->SetPosition(fraction);
  return 1;
}

int CMainFrame::SetPlaybackBarVisible(int show, int animate) {
  if (!BarsAllowed() || !m_playbackBar) return 0;
  return m_playbackBar->SetVisible(show, animate, IsCursorOverCaptionBar());
}

int CMainFrame::NotifyPlaybackBar(int value) { return m_playbackBar ? m_playbackBar->Redraw(value) : 0; }

int CMainFrame::RefreshPlaybackBarText(const std::string& name) {
  if (!m_playbackBar || !plat::IsWindowVisible(m_playbackBar->Window())) return 0;
  return m_playbackBar->RefreshTextByName(name);
}

int CMainFrame::SetBarsTopmost(int flag) {
  if (!BarsAllowed()) return 0;
  UINT flags = plat::SWP_NOMOVE | plat::SWP_NOSIZE;
  if (!flag) flags |= plat::SWP_NOZORDER;
  if (!m_captionBar) return 0;
  plat::SetWindowPos(m_captionBar->Window(), plat::HWND_TOP, 0, 0, 0, 0, flags);
  if (!m_playbackBar) return 0;
  plat::SetWindowPos(m_playbackBar->Window(), plat::HWND_TOP, 0, 0, 0, 0, flags);
  return 1;
}

// ---- the pages' view of the bars ----

void CMainFrame::HideBarsOnKey() {
  // Keys take over from the mouse: the bars it brought up go at once.
  if (IsCaptionBarShown()) SetCaptionBarVisible(0, 0);
  if (IsPlaybackBarShown()) SetPlaybackBarVisible(0, 0);
}

int CMainFrame::QueryPlaybackBarButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
  return m_playbackBar ? m_playbackBar->QueryButtonState(action, shown, enabled, checked) : 0;
}

int CMainFrame::CaptionBarPaintedHeight() {
  if (!m_captionBar || !m_captionBar->IsPainted()) return 0;
  const RECT& painted = m_captionBar->BackBufferRect();
  return painted.bottom - painted.top;
}

bool CMainFrame::IsCaptionDragging() { return m_captionBar && m_captionBar->IsDragging(); }
