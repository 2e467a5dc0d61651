#include "outside/tvrecorder/video_window.h"

#include "outside/tvrecorder/picture_convert.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/win/message.h"

using namespace plat;

namespace tvrec {

namespace {

constexpr UINT kMsgFrame = WM_APP + 1;

}  // namespace

void VideoWindow::SetOwner(HWND owner) {
  // A frame notice posted to the window being replaced is lost with it; the
  // streaming thread must not post there meanwhile, nor wait for that notice
  // ever after (the picture would stay frozen).
  {
    std::lock_guard lock(mutex_);
    pending_ = true;
  }
  window_.SetOwner(owner);
  const HWND target = window_.hwnd();
  {
    std::lock_guard lock(mutex_);
    pending_ = false;
  }
  if (target) InvalidateRect(target, nullptr, FALSE);
}

void VideoWindow::Place(int left, int top, int width, int height) { window_.Place(left, top, width, height); }

void VideoWindow::Show(bool show) { window_.Show(show); }

void VideoWindow::Present(const VideoFrameI420& frame) {
  auto copy = std::make_shared<const VideoFrameI420>(frame);
  HWND target = nullptr;
  {
    std::lock_guard lock(mutex_);
    latest_ = std::move(copy);
    if (pending_ || !window_.hwnd()) return;
    pending_ = true;
    target = window_.hwnd();
  }
  // One notice at a time: frames that arrive meanwhile replace each other.
  PostMessage(target, kMsgFrame, 0, 0);
}

std::shared_ptr<const VideoFrameI420> VideoWindow::Latest() const {
  std::lock_guard lock(mutex_);
  return latest_;
}

int VideoWindow::painted() const {
  std::lock_guard lock(mutex_);
  return painted_;
}

void VideoWindow::Paint() {
  PAINTSTRUCT ps{};
  HDC hdc = BeginPaint(window_.hwnd(), &ps);
  if (!hdc) return;
  std::shared_ptr<const VideoFrameI420> frame;
  {
    std::lock_guard lock(mutex_);
    frame = latest_;
  }
  RECT client{};
  GetClientRect(window_.hwnd(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (frame && width > 0 && height > 0) {
    if (auto surface = FrameToSurface(*frame, width, height)) {
      HBITMAP bitmap = CreateBitmapFromSurface(std::make_shared<Surface>(std::move(*surface)));
      HDC memory = CreateCompatibleDC(hdc);
      if (bitmap && memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(hdc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        std::lock_guard lock(mutex_);
        ++painted_;
      }
      if (memory) DeleteDC(memory);
      if (bitmap) DeleteObject(bitmap);
    }
  }
  EndPaint(window_.hwnd(), &ps);
}

LRESULT VideoWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<VideoWindow*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (self && msg == kMsgFrame) {
    {
      std::lock_guard lock(self->mutex_);
      self->pending_ = false;
    }
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
