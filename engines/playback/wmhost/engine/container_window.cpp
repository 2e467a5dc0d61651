#include "engines/playback/wmhost/engine/container_window.h"

#include <cstring>

#include "platform/gdi/gdi.h"
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
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}
