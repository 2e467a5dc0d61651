#include "outside/tvrecorder/teletext_window.h"

#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/surface.h"
#include "platform/win/message.h"

using namespace plat;

namespace tvrec {

namespace {

constexpr UINT kMsgRefresh = WM_APP + 2;

}  // namespace

void TeletextWindow::SetOwner(HWND owner) { window_.SetOwner(owner); }

void TeletextWindow::Place(int left, int top, int width, int height) { window_.Place(left, top, width, height); }

void TeletextWindow::Show(bool show) {
  window_.Show(show);
  if (show && window_.hwnd()) InvalidateRect(window_.hwnd(), nullptr, FALSE);
}

void TeletextWindow::SetOverVideo(bool on, COLORREF key) {
  overVideo_ = on;
  key_ = key;
  if (window_.hwnd()) InvalidateRect(window_.hwnd(), nullptr, FALSE);
}

void TeletextWindow::Refresh() {
  if (window_.hwnd() && window_.shown()) PostMessage(window_.hwnd(), kMsgRefresh, 0, 0);
}

int TeletextWindow::painted() const {
  std::lock_guard lock(mutex_);
  return painted_;
}

void TeletextWindow::Paint() {
  PAINTSTRUCT ps{};
  HDC hdc = BeginPaint(window_.hwnd(), &ps);
  if (!hdc) return;
  RECT client{};
  GetClientRect(window_.hwnd(), &client);
  std::vector<std::uint32_t> rgba;
  int width = 0;
  int height = 0;
  if (drawer_ && drawer_(rgba, width, height) && width > 0 && height > 0) {
    auto surface = std::make_shared<Surface>(width, height);
    const std::uint32_t key = PixelFromColorRef(key_);
    for (int y = 0; y < height; ++y) {
      std::uint32_t* row = surface->row(y);
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = rgba[static_cast<std::size_t>(y) * width + x];  // R, G, B, A bytes
        const std::uint32_t bgra = 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
        row[x] = overVideo_ && (bgra & 0x00FFFFFFu) == 0 ? key : bgra;
      }
    }
    HBITMAP bitmap = CreateBitmapFromSurface(surface);
    HDC memory = CreateCompatibleDC(hdc);
    if (bitmap && memory) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      StretchBlt(hdc, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, width, height,
                 SRCCOPY);
      SelectObject(memory, old);
      std::lock_guard lock(mutex_);
      ++painted_;
    }
    if (memory) DeleteDC(memory);
    if (bitmap) DeleteObject(bitmap);
  }
  EndPaint(window_.hwnd(), &ps);
}

LRESULT TeletextWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TeletextWindow*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (self && msg == kMsgRefresh) {
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
  }
  if (self && msg == WM_PAINT) {
    self->Paint();
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace tvrec
