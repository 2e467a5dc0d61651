#include "engines/playback/wmhost/engine/container_window.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "engines/playback/wmhost/engine/event_sink.h"
#include "platform/gdi/gdi.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kContainerClass = "WMP Host Container";
constexpr const char* kDummyClass = "Visualization Dummy window";

bool RegisterClasses(plat::WNDPROC containerProc) {
  static const bool registered = [containerProc] {
    plat::WNDCLASS container;
    container.lpfnWndProc = containerProc;
    container.lpszClassName = kContainerClass;
    plat::WNDCLASS dummy;
    dummy.style = plat::CS_HREDRAW | plat::CS_VREDRAW;
    dummy.lpfnWndProc = &plat::DefWindowProc;
    dummy.hbrBackground = static_cast<plat::HBRUSH>(plat::GetStockObject(plat::BLACK_BRUSH));
    dummy.lpszClassName = kDummyClass;
    return plat::RegisterClass(&container) != 0 && plat::RegisterClass(&dummy) != 0;
  }();
  return registered;
}

// Shift state of the player's input events: 1 shift, 2 control, 4 alt.
short ShiftState() {
  short state = 0;
  if (plat::GetKeyState(plat::VK_SHIFT) < 0) state |= 1;
  if (plat::GetKeyState(plat::VK_CONTROL) < 0) state |= 2;
  if (plat::GetKeyState(plat::VK_MENU) < 0) state |= 4;
  return state;
}

plat::VARIANT Short(short value) {
  plat::VARIANT v;
  v.vt = plat::VT_I2;
  v.iVal = value;
  return v;
}

plat::VARIANT Long(long value) {
  plat::VARIANT v;
  v.vt = plat::VT_I4;
  v.lVal = static_cast<plat::LONG>(value);
  return v;
}

// Sends an event whose arguments are given first to last.
void SendEvent(CWMPEventSink& events, plat::DISPID id, std::initializer_list<plat::VARIANT> firstToLast) {
  std::vector<plat::VARIANT> arguments(std::rbegin(firstToLast), std::rend(firstToLast));
  plat::DISPPARAMS params;
  params.rgvarg = arguments.data();
  params.cArgs = static_cast<plat::UINT>(arguments.size());
  events.Invoke(id, &params);
}

}  // namespace

std::unique_ptr<CWMPContainerWindow> CWMPContainerWindow::Create() {
  if (!RegisterClasses(&CWMPContainerWindow::WindowProc)) return nullptr;
  std::unique_ptr<CWMPContainerWindow> window(new CWMPContainerWindow);
  // On the desktop it is a hidden top-level window; it becomes a child when
  // it is given a parent.
  window->container_ = plat::CreateWindowEx(0, kContainerClass, "", plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN,
                                            plat::CW_USEDEFAULT, plat::CW_USEDEFAULT, plat::CW_USEDEFAULT,
                                            plat::CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  if (!window->container_) return nullptr;
  plat::SetWindowLongPtr(window->container_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(window.get()));
  window->dummy_ = plat::CreateWindowEx(0, kDummyClass, "", plat::WS_CHILD | plat::WS_VISIBLE, 8, 8, 1, 1,
                                        window->container_, nullptr, nullptr, nullptr);
  return window;
}

CWMPContainerWindow::~CWMPContainerWindow() {
  if (dummy_) plat::DestroyWindow(dummy_);
  if (container_) {
    plat::SetWindowLongPtr(container_, plat::GWLP_USERDATA, 0);
    plat::DestroyWindow(container_);
  }
}

void CWMPContainerWindow::SetParent(plat::HWND parent) {
  plat::SetParent(container_, parent);
  plat::ShowWindow(container_, parent ? plat::SW_SHOW : plat::SW_HIDE);
}

void CWMPContainerWindow::SetPosition(long left, long top, long width, long height) {
  plat::MoveWindow(container_, static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                   static_cast<int>(height), plat::TRUE);
}

void CWMPContainerWindow::OnFrame(const wmhost::VideoFrame& frame) {
  frame_ = frame;
  plat::InvalidateRect(container_, nullptr, plat::FALSE);
}

void CWMPContainerWindow::Draw(plat::HDC dc, const plat::RECT& area) const {
  if (!frame_ || frame_->width <= 0 || frame_->height <= 0) {
    plat::FillRect(dc, &area, static_cast<plat::HBRUSH>(plat::GetStockObject(plat::BLACK_BRUSH)));
    return;
  }
  plat::BITMAPINFO info{};
  info.bmiHeader.biWidth = frame_->width;
  info.bmiHeader.biHeight = -frame_->height;  // top-down, as the frames come
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  plat::HBITMAP bitmap = plat::CreateDIBSection(dc, &info, plat::DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) plat::DeleteObject(bitmap);
    return;
  }
  const std::size_t row = static_cast<std::size_t>(frame_->width) * 4;
  for (int y = 0; y < frame_->height; ++y) {
    std::memcpy(static_cast<std::uint8_t*>(bits) + row * static_cast<std::size_t>(y),
                frame_->pixels.data() + static_cast<std::size_t>(frame_->stride) * static_cast<std::size_t>(y), row);
  }
  plat::HDC source = plat::CreateCompatibleDC(dc);
  plat::HGDIOBJ old = plat::SelectObject(source, bitmap);
  plat::StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0, 0,
                   frame_->width, frame_->height, plat::SRCCOPY);
  plat::SelectObject(source, old);
  plat::DeleteDC(source);
  plat::DeleteObject(bitmap);
}

plat::LRESULT CWMPContainerWindow::WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam,
                                              plat::LPARAM lParam) {
  auto* self = reinterpret_cast<CWMPContainerWindow*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (self && msg == plat::WM_PAINT) {
    plat::PAINTSTRUCT paint;
    plat::HDC dc = plat::BeginPaint(hwnd, &paint);
    plat::RECT client;
    plat::GetClientRect(hwnd, &client);
    if (dc) self->Draw(dc, client);
    plat::EndPaint(hwnd, &paint);
    return 0;
  }
  if (self && self->events_) {
    const long x = plat::GET_X_LPARAM(lParam), y = plat::GET_Y_LPARAM(lParam);
    switch (msg) {
      case plat::WM_MOUSEMOVE:
        SendEvent(*self->events_, DISPID_MOUSEMOVE, {Short(0), Short(ShiftState()), Long(x), Long(y)});
        return 0;
      case plat::WM_LBUTTONUP:
        SendEvent(*self->events_, DISPID_CLICK, {Short(1), Short(ShiftState()), Long(x), Long(y)});
        return 0;
      case plat::WM_KEYDOWN:
        SendEvent(*self->events_, DISPID_KEYDOWN, {Short(static_cast<short>(wParam & 0xFFFF)), Short(ShiftState())});
        return 0;
      default:
        break;
    }
  }
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}
