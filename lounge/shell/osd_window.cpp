// COsdWnd: creation, measuring, placement, drawing, the hide timer and the
// hide notice.
#include "lounge/shell/osd_window.h"

#include <algorithm>
#include <cstring>

#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/gdi.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kOsdClass = "MarivelOsdWnd";
constexpr const char* kFaceKey = "FONT1";
// The measuring limit when the OSD has no parent.
constexpr int kNoParentWidth = 400;
constexpr plat::UINT kTextFlags = plat::DT_WORDBREAK | plat::DT_NOPREFIX;

void RegisterOsdClass(plat::WNDPROC proc) {
  plat::WNDCLASS existing;
  if (plat::GetClassInfo(nullptr, kOsdClass, &existing)) return;
  plat::WNDCLASS wc;
  wc.style = 0;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = kOsdClass;
  plat::RegisterClass(&wc);
}

bool IsEmpty(const plat::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The window's own shown state, whatever its parent's.
bool IsShown(plat::HWND hwnd) {
  return hwnd && (plat::GetWindowLongPtr(hwnd, plat::GWL_STYLE) & plat::WS_VISIBLE) != 0;
}

}  // namespace

COsdWnd::~COsdWnd() {
  if (!m_hwnd || !plat::IsWindow(m_hwnd)) return;
  // Going away is not a hide the system core hears about.
  plat::SetWindowLongPtr(m_hwnd, plat::GWLP_USERDATA, 0);
  plat::DestroyWindow(m_hwnd);
}

bool COsdWnd::Create(plat::HWND frame) {
  if (m_hwnd && plat::IsWindow(m_hwnd)) return false;
  RegisterOsdClass(&COsdWnd::Proc);
  m_hwnd = plat::CreateWindowEx(0, kOsdClass, OSD_WINDOW_TITLE,
                                plat::WS_CHILD | plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN, 0, 0, 1, 1, frame,
                                nullptr, nullptr, nullptr);
  if (!m_hwnd) return false;
  plat::SetWindowLongPtr(m_hwnd, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));
  plat::ShowWindow(m_hwnd, plat::SW_HIDE);
  m_fontFace.clear();
  LookupUIString(kFaceKey, m_fontFace);
  return true;
}

void COsdWnd::SetText(const std::string& text) {
  m_isWide = false;
  m_narrowText = text;
}

void COsdWnd::SetTextW(const std::u16string& text) {
  m_isWide = true;
  m_wideText = text;
}

bool COsdWnd::IsVisible() const { return IsShown(m_hwnd); }

plat::SIZE COsdWnd::MeasureText(int limitWidth) const {
  plat::RECT limit{0, 0, kNoParentWidth, 0};
  plat::HWND parent = m_hwnd ? plat::GetParent(m_hwnd) : nullptr;
  if (parent) plat::GetClientRect(parent, &limit);
  if (limitWidth > 0) limit.right = limit.left + limitWidth;

  plat::LOGFONTA font{};
  font.lfHeight = m_fontHeight;
  font.lfWeight = 700;
  font.lfCharSet = GetSkinCharset();
  std::strncpy(font.lfFaceName, m_fontFace.c_str(), sizeof font.lfFaceName - 1);
  FontPtr handle(plat::CreateFontIndirect(&font));
  MemoryDC dc;
  if (!dc || !handle) return plat::SIZE{0, 0};
  plat::HGDIOBJ previous = plat::SelectObject(dc.get(), handle.get());
  plat::RECT measured = limit;
  if (m_isWide)
    plat::DrawTextW(dc.get(), m_wideText.c_str(), static_cast<int>(m_wideText.size()), &measured,
                    kTextFlags | plat::DT_CALCRECT);
  else
    plat::DrawTextA(dc.get(), m_narrowText.c_str(), static_cast<int>(m_narrowText.size()), &measured,
                    kTextFlags | plat::DT_CALCRECT);
  plat::SelectObject(dc.get(), previous);
  if (!HasText()) return plat::SIZE{0, 0};
  return plat::SIZE{measured.right - measured.left, measured.bottom - measured.top};
}

plat::RECT COsdWnd::PlaceWithin(const plat::RECT& d, int captionBarHeight, int width, int height) {
  const int dw = d.right - d.left, dh = d.bottom - d.top;
  const int top = d.top + std::max(dh / 14, captionBarHeight);
  const int margin = dw / 20;
  const int left = margin < dw - margin - width ? d.right - margin - width : d.left + margin;
  return plat::RECT{left, top, d.right - margin, top + height};
}

int COsdWnd::VendorDuration() const {
  if (GetVendorId() != VENDOR_DEZAD) return -1;
  CConfig* config = m_host ? m_host->GetConfig() : nullptr;
  return config ? config->m_nOsdDuration : -1;
}

int COsdWnd::Show(const plat::RECT& display, int captionBarHeight) {
  if (!m_hwnd) return 0;
  // Vendor 2 lets the user switch the display off with a duration of 0.
  if (GetVendorId() == VENDOR_DEZAD && VendorDuration() <= 0) return 0;
  const plat::SIZE size = MeasureText();
  if (size.cx <= 0 || size.cy <= 0) return 0;
  if (IsVisible()) plat::ShowWindow(m_hwnd, plat::SW_HIDE);
  if (!Place(display, captionBarHeight)) return 0;
  plat::ShowWindow(m_hwnd, plat::SW_SHOW);
  plat::UpdateWindow(m_hwnd);
  return 1;
}

int COsdWnd::Place(const plat::RECT& display, int captionBarHeight) {
  if (!m_hwnd) return 0;
  plat::SIZE size = MeasureText();
  if (size.cx <= 0 || size.cy <= 0) return 0;
  plat::RECT area = display;
  if (IsEmpty(area)) plat::GetClientRect(plat::GetParent(m_hwnd), &area);
  plat::RECT place = PlaceWithin(area, captionBarHeight, size.cx, size.cy);
  // A text wider than the room wraps within it; the window grows to the
  // wrapped height, so no line is cut off.
  const int room = place.right - place.left;
  if (room > 0 && room < size.cx) place.bottom = place.top + MeasureText(room).cy;
  plat::SetWindowPos(m_hwnd, plat::HWND_TOP, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, 0);
  return 1;
}

void COsdWnd::Hide() {
  if (m_hwnd) plat::ShowWindow(m_hwnd, plat::SW_HIDE);
}

void COsdWnd::Disable() {
  if (m_hwnd) plat::EnableWindow(m_hwnd, plat::FALSE);
}

void COsdWnd::Enable() {
  if (m_hwnd) plat::EnableWindow(m_hwnd, plat::TRUE);
}

plat::LRESULT COsdWnd::Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  auto* self = reinterpret_cast<COsdWnd*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (self) return self->OnMessage(msg, wParam, lParam);
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

void COsdWnd::OnShowWindow(bool shown) {
  if (shown) {
    // Shown again before the notice arrived: the text was replaced, not hidden.
    m_hideNoticePending = false;
    const int seconds = VendorDuration();
    if (seconds >= 0) m_showMs = seconds * 1000;
    if (m_showMs > 0) m_timerHandle = plat::SetTimer(m_hwnd, m_timerId, static_cast<plat::UINT>(m_showMs), nullptr);
    return;
  }
  if (m_timerHandle) plat::KillTimer(m_hwnd, m_timerId);
  m_timerHandle = 0;
  m_hideNoticePending = true;
  if (!m_hideNoticePosted) m_hideNoticePosted = plat::PostMessage(m_hwnd, WM_OSD_HIDDEN, 0, 0) != plat::FALSE;
}

void COsdWnd::Paint() {
  plat::PAINTSTRUCT ps;
  plat::HDC dc = plat::BeginPaint(m_hwnd, &ps);
  if (!dc) return;
  plat::RECT client{};
  plat::GetClientRect(m_hwnd, &client);
  if (ps.fErase) {
    GdiObjectPtr<plat::HBRUSH> brush(plat::CreateSolidBrush(m_backColour));
    plat::FillRect(dc, &client, brush.get());
  }
  // The text is drawn with the font it was measured with, so a wrapped
  // block keeps the size its window was made for.
  plat::LOGFONTA font{};
  font.lfHeight = m_fontHeight;
  font.lfWeight = 700;
  font.lfCharSet = GetSkinCharset();
  std::strncpy(font.lfFaceName, m_fontFace.c_str(), sizeof font.lfFaceName - 1);
  FontPtr handle(plat::CreateFontIndirect(&font));
  plat::HGDIOBJ previous = plat::SelectObject(dc, handle.get());
  plat::SetBkMode(dc, plat::TRANSPARENT);
  plat::SetTextColor(dc, m_textColour);
  if (m_isWide)
    plat::DrawTextW(dc, m_wideText.c_str(), static_cast<int>(m_wideText.size()), &client, kTextFlags);
  else
    plat::DrawTextA(dc, m_narrowText.c_str(), static_cast<int>(m_narrowText.size()), &client, kTextFlags);
  plat::SelectObject(dc, previous);
  plat::EndPaint(m_hwnd, &ps);
}

plat::LRESULT COsdWnd::OnMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  plat::HWND hwnd = m_hwnd;
  switch (msg) {
    case plat::WM_ERASEBKGND: {
      plat::RECT client{};
      plat::GetClientRect(hwnd, &client);
      GdiObjectPtr<plat::HBRUSH> brush(plat::CreateSolidBrush(m_backColour));
      plat::FillRect(reinterpret_cast<plat::HDC>(wParam), &client, brush.get());
      return 1;
    }
    case plat::WM_PAINT: Paint(); return 0;
    case plat::WM_SHOWWINDOW: OnShowWindow(wParam != 0); break;
    case plat::WM_TIMER:
      if (wParam == m_timerId && m_timerHandle) {
        plat::ShowWindow(hwnd, plat::SW_HIDE);
        m_isWide ? m_wideText.clear() : m_narrowText.clear();
        return 0;
      }
      break;
    case WM_OSD_HIDDEN:
      m_hideNoticePosted = false;
      if (m_hideNoticePending && !IsShown(hwnd)) {
        m_hideNoticePending = false;
        if (m_host) m_host->ExecuteAction(OSD_HIDE_ACTION, 0, 0);
      }
      return 0;
    default: break;
  }
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}
