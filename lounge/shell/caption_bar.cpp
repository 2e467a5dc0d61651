// CCaptionBar: the bar window, its messages and its skin-page overrides.
#include "lounge/shell/caption_bar.h"

#include "lounge/skin/skin_regions.h"
#include "platform/gdi/gdi.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kBarClass = "MarivelCaptionBar";

bool IsLeftEdgeButton(const std::string& action) { return action == "Home" || action == "Back"; }

plat::POINT PointOf(plat::LPARAM lParam) {
  return plat::POINT{static_cast<short>(lParam & 0xFFFF), static_cast<short>((lParam >> 16) & 0xFFFF)};
}

}  // namespace

std::unique_ptr<CCaptionBar> CCaptionBar::Create(ICaptionBarFrame& frame, ISkinPageHost* host,
                                                 const std::string& layout) {
  plat::WNDCLASS existing;
  if (!plat::GetClassInfo(nullptr, kBarClass, &existing)) {
    plat::WNDCLASS wc;
    wc.style = plat::CS_DBLCLKS;
    wc.lpfnWndProc = &CCaptionBar::Proc;
    wc.lpszClassName = kBarClass;
    plat::RegisterClass(&wc);
  }
  plat::RECT client{};
  plat::GetClientRect(frame.FrameWindow(), &client);
  plat::HWND hwnd = plat::CreateWindowEx(0, kBarClass, CAPTION_BAR_TITLE,
                                         plat::WS_CHILD | plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN, 0, 0,
                                         client.right - client.left, 0, frame.FrameWindow(), nullptr, nullptr, nullptr);
  if (!hwnd) return nullptr;
  std::unique_ptr<CCaptionBar> bar(new CCaptionBar(hwnd, frame, host));
  plat::SetWindowLongPtr(hwnd, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(bar.get()));
  bar->LoadLayout(layout);
  return bar;
}

CCaptionBar::~CCaptionBar() {
  plat::HWND hwnd = Owner();
  if (!plat::IsWindow(hwnd)) return;
  plat::SetWindowLongPtr(hwnd, plat::GWLP_USERDATA, 0);
  plat::DestroyWindow(hwnd);
}

int CCaptionBar::HeightAt(int barWidth) const {
  int width = 0, height = 0;
  if (Layout()) Layout()->GetPageSize(width, height);
  if (width <= 0 || height <= 0 || barWidth <= 0) return height > 0 ? height : 0;
  // The skin draws the bar for its own width; at any other width the whole
  // bar is scaled by the same factor as the pages below it, so it covers the
  // same share of them at every window size.
  return static_cast<int>(static_cast<long long>(height) * barWidth / width);
}

int CCaptionBar::Height() const {
  plat::RECT client{};
  plat::GetClientRect(Owner(), &client);
  return HeightAt(client.right - client.left);
}

void CCaptionBar::Place(const plat::RECT& frameClient) {
  const int height = HeightAt(frameClient.right - frameClient.left);
  const int top = frameClient.top - static_cast<int>(static_cast<float>(height) * m_position);
  plat::SetWindowPos(Window(), nullptr, frameClient.left, top, frameClient.right - frameClient.left, height,
                     plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
}

bool CCaptionBar::IsDragging() {
  // The window system ends the move when the button comes up, without
  // telling the bar.
  if (m_dragging && plat::GetKeyState(plat::VK_LBUTTON) >= 0) m_dragging = false;
  return m_dragging;
}

void CCaptionBar::Disable() { plat::EnableWindow(Window(), plat::FALSE); }
void CCaptionBar::Enable() { plat::EnableWindow(Window(), plat::TRUE); }

bool CCaptionBar::IsFrameMaximized() { return plat::IsZoomed(m_frame.FrameWindow()) != plat::FALSE; }

bool CCaptionBar::OnEmptyArea(plat::POINT point) {
  int list = -1;
  return HitTestButton(point) < 0 && HitTestListAction(point, &list) < 0;
}

void CCaptionBar::ToggleMaximized() {
  if (IsFrameMaximized())
    m_frame.Restore();
  else
    m_frame.Maximize();
  Redraw(0);
}

// ---- skin page overrides ----

int CCaptionBar::LoadLayout(const std::string& path) {
  const int loaded = CSkinPage::LoadLayout(path);
  if (!loaded) return loaded;
  plat::RECT rect{};
  plat::GetWindowRect(Window(), &rect);
  const int width = rect.right - rect.left;
  plat::SetWindowPos(Window(), nullptr, 0, 0, width, HeightAt(width),
                     plat::SWP_NOMOVE | plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
  UpdateRegion();
  return loaded;
}

void CCaptionBar::UpdateRegion() {
  std::string background;
  if (!Layout() || !Layout()->GetBackgroundImage(background) || background.empty()) return;
  plat::RECT client{};
  plat::GetClientRect(Window(), &client);
  // Cut from the background as it is drawn, stretched to the bar's size.
  plat::HRGN region = LoadRegionFromBitmapFileAtSize(
      background, plat::SIZE{client.right - client.left, client.bottom - client.top}, BAR_REGION_KEY,
      BAR_REGION_TOLERANCE);
  // The window takes the region it is given; one it refuses is ours.
  if (region && !plat::SetWindowRgn(Window(), region, plat::TRUE)) plat::DeleteObject(region);
}

int CCaptionBar::QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
  (void)enabled, (void)checked;
  if (action == "Restore")
    *shown = IsFrameMaximized();
  else if (action == "Maximize")
    *shown = !IsFrameMaximized();
  else if (IsLeftEdgeButton(action))
    *shown = !m_frame.IsRootPageActive();
  return 0;
}

int CCaptionBar::OnAction(const std::string& name) {
  if (name == "Minimize") return m_frame.MinimizeFrame();
  if (name == "Maximize") {
    const int result = m_frame.Maximize();
    Redraw(0);
    return result;
  }
  if (name == "Help") return m_frame.OpenHelp();
  if (name == "Restore") {
    m_frame.Restore();
    Redraw(0);
  } else if (name == "Close") {
    m_frame.QuitApplication();
  }
  return Host() ? Host()->ExecuteAction(name, 0, 0) : 0;
}

// ---- window messages ----

plat::LRESULT CCaptionBar::Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  auto* self = reinterpret_cast<CCaptionBar*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (self) return self->OnMessage(msg, wParam, lParam);
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

plat::LRESULT CCaptionBar::OnMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  plat::HWND hwnd = Window();
  const plat::POINT point = PointOf(lParam);
  switch (msg) {
    case plat::WM_SHOWWINDOW:
      // What the bar shows depends on the frame and the active page, which
      // may have changed while it was hidden.
      if (wParam) Redraw(0);
      break;
    case plat::WM_SIZE:
      CreateBackBuffer();
      UpdateRegion();
      Redraw(0);
      break;
    case plat::WM_MOUSEMOVE:
      if (!m_tracking) {
        plat::TRACKMOUSEEVENT tme;
        tme.dwFlags = plat::TME_LEAVE;
        tme.hwndTrack = hwnd;
        tme.dwHoverTime = 1;
        m_tracking = plat::TrackMouseEvent(&tme) != plat::FALSE;
      }
      OnMouseMove(point);
      if (plat::IsCursorShown()) m_frame.ActivePageMouseLeave();
      if (HitTestButton(point) >= 0) m_frame.QueryActivePage();
      return 0;
    case plat::WM_MOUSELEAVE:
      m_tracking = false;
      ClearAllHighlights();
      SetFocus(-1, -1);
      return 0;
    case plat::WM_LBUTTONDOWN:
      plat::SetCapture(hwnd);
      OnMouseDown(point);
      return 0;
    case plat::WM_LBUTTONUP:
      m_dragging = false;
      plat::ReleaseCapture();
      OnMouseUp(point);
      plat::InvalidateRect(m_frame.FrameWindow(), nullptr, plat::FALSE);
      return 0;
    case plat::WM_LBUTTONDBLCLK:
      // Reaches the client only while maximised: the empty area is the
      // caption otherwise.
      if (OnEmptyArea(point))
        ToggleMaximized();
      else
        OnDoubleClick(point);
      return 0;
    case plat::WM_NCHITTEST: {
      plat::POINT client = point;
      plat::ScreenToClient(hwnd, &client);
      return !IsFrameMaximized() && OnEmptyArea(client) ? plat::HTCAPTION : plat::HTCLIENT;
    }
    case plat::WM_NCLBUTTONDOWN:
      if (wParam == static_cast<plat::WPARAM>(plat::HTCAPTION)) m_dragging = true;
      break;
    case plat::WM_NCLBUTTONDBLCLK:
      if (wParam == static_cast<plat::WPARAM>(plat::HTCAPTION)) ToggleMaximized();
      return 0;
    case plat::WM_KEYDOWN:
      OnKey(static_cast<plat::UINT>(wParam));
      return 0;
    case plat::WM_ERASEBKGND: return 1;
    case plat::WM_PAINT: {
      plat::PAINTSTRUCT ps;
      plat::HDC dc = plat::BeginPaint(hwnd, &ps);
      if (dc) PaintAll(dc);
      plat::EndPaint(hwnd, &ps);
      return 0;
    }
    default: break;
  }
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}
