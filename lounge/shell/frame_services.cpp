// CMainFrame: the frame services the system core calls, the OSD, and the
// skin-page host the pages and bars share.
#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/main_frame.h"
#include "lounge/shell/osd_window.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using plat::RECT;

namespace {

// Remote modes posted to the remote's window (vendor 1).
constexpr plat::WPARAM kRemoteModeOn = 8;
constexpr plat::WPARAM kRemoteModeOff = 9;

}  // namespace

// ---- OSD ----

void CMainFrame::PlaceOsd() {
  if (m_osd) m_osd->Place(m_displayRect, m_captionBar ? m_captionBar->Height() : 0);
}

int CMainFrame::ShowOsd(int show) {
  if (!m_osd) return 0;
  if (m_options.vendorId == VENDOR_DEZAD) {
    CConfig* config = GetConfig();
    if (!config || config->m_nOsdDuration <= 0) return 0;
  }
  if (!show || !m_osdEnable) {
    m_osd->Hide();
    return 1;
  }
  return m_osd->Show(m_displayRect, m_captionBar ? m_captionBar->Height() : 0);
}

int CMainFrame::SetDisplayRect(const RECT& rect) {
  m_displayRect = rect;
  return 1;
}

int CMainFrame::SetOsdOption(int value) {
  if (!m_osd) return 0;
  m_osd->SetBackColour(static_cast<plat::COLORREF>(value));
  return 1;
}

int CMainFrame::ShowOsdTextW(const std::u16string& text) {
  if (text.empty() || !m_osd) return 0;
  m_osd->SetTextW(text);
  return ShowOsd(1);
}

int CMainFrame::ShowOsdText(const std::string& text) {
  if (text.empty() || !m_osd) return 0;
  m_osd->SetText(text);
  return ShowOsd(1);
}

int CMainFrame::ShowOsdStringId(const std::string& key) {
  if (!m_osd) return 0;
  std::string text;
  if (!LookupUIString(key, text)) text = key;
  m_osd->SetText(text);
  return ShowOsd(1);
}

int CMainFrame::SetOsdOption2(int ms) {
  if (!m_osd) return 0;
  m_osd->SetShowMs(ms);
  return 1;
}

int CMainFrame::GetOsdOption() { return m_osd ? m_osd->GetShowMs() : 0; }

int CMainFrame::HideOsd() { return ShowOsd(0); }

int CMainFrame::SetOsdOwner(std::intptr_t value) {
  m_osdEnable = value;
  if (!value && m_osd) m_osd->Hide();
  return 1;
}

// ---- the rest of the services ----

int CMainFrame::LookupString(const std::string& key, std::string& text) { return LookupUIString(key, text) ? 1 : 0; }

int CMainFrame::HideCursor() {
  for (int i = 0; i < 64 && plat::ShowCursor(plat::FALSE) >= 0; ++i) {
  }
  plat::SetCursor(nullptr);
  return 1;
}

int CMainFrame::SuspendPowerSaving() { return m_power.SuspendPowerSaving(); }
int CMainFrame::RestorePowerSaving() { return m_power.RestorePowerSaving(); }
int CMainFrame::KeepDisplayOn(int release) { return m_power.KeepDisplayOn(release); }
int CMainFrame::EnableScreenSaver(int enable) { return m_power.EnableScreenSaver(enable); }
int CMainFrame::EnableMonitorPowerOff(int enable) { return m_power.EnableMonitorPowerOff(enable); }

int CMainFrame::PostRemoteMode(int on) {
  if (m_options.vendorId != VENDOR_VADU) return 0;
  plat::HWND remote = plat::FindWindow(REMOTE_KEY_WINDOW_CLASS, REMOTE_KEY_WINDOW_TITLE);
  if (!remote) return 0;
  return plat::PostMessage(remote, WM_REMOTE_KEY_MODE, on ? kRemoteModeOn : kRemoteModeOff, 0) ? 1 : 0;
}

plat::HWND CMainFrame::GetFrameWnd() { return m_hwnd; }

int CMainFrame::MinimizeFrame() {
  if (!m_hwnd) return 0;
  plat::ShowWindow(m_hwnd, plat::SW_MINIMIZE);
  return 1;
}

int CMainFrame::QuitApplication() {
  // One request to leave the loop: a second quit message left in the queue
  // would end the next loop the program runs (the shut-down's own).
  LeaveToHome();
  return 1;
}

// ---- skin-page host ----

CConfig* CMainFrame::GetConfig() {
  CConfig* config = nullptr;
  if (!m_bridge || !plat::SUCCEEDED(m_bridge->GetConfig(&config))) return nullptr;
  return config;
}

int CMainFrame::ExecuteAction(const std::string& name, long param1, long param2) {
  if (!m_bridge) return 0;
  // The system core answers with an HRESULT: S_OK (0) is success.
  return plat::SUCCEEDED(m_bridge->ExecuteAction(name.c_str(), param1, param2)) ? 1 : 0;
}
