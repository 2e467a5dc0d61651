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
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

}  // namespace

VideoWindow::VideoWindow(const char* className)
    : targetWidth_(kDefaultWidth),
      targetHeight_(kDefaultHeight),
      window_{className, &VideoWindow::Proc, this, kDefaultWidth, kDefaultHeight} {
  converter_ = std::thread([this] { RunConverter(); });
}

VideoWindow::~VideoWindow() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  converter_.join();
}

void VideoWindow::SetOwner(HWND owner) {
  // A frame notice posted to the window being replaced is lost with it; the
  // converter must not post there meanwhile, nor wait for that notice ever
  // after (the picture would stay frozen).
  {
    std::lock_guard lock(mutex_);
    pending_ = true;
    target_ = nullptr;
  }
  window_.SetOwner(owner);
  const HWND target = window_.hwnd();
  {
    std::lock_guard lock(mutex_);
    pending_ = false;
    target_ = target;
  }
  if (target) InvalidateRect(target, nullptr, FALSE);
}

void VideoWindow::Place(int left, int top, int width, int height) {
  {
    std::lock_guard lock(mutex_);
    targetWidth_ = width;
    targetHeight_ = height;
  }
  wake_.notify_all();
  window_.Place(left, top, width, height);
}

void VideoWindow::Show(bool show) { window_.Show(show); }

void VideoWindow::Present(const VideoFrameI420& frame) {
  auto copy = std::make_shared<const VideoFrameI420>(frame);
  {
    std::lock_guard lock(mutex_);
    latest_ = std::move(copy);
    ++frameSerial_;
  }
  wake_.notify_all();
}

std::shared_ptr<const VideoFrameI420> VideoWindow::Latest() const {
  std::lock_guard lock(mutex_);
  return latest_;
}

int VideoWindow::painted() const {
  std::lock_guard lock(mutex_);
  return painted_;
}

int VideoWindow::converted() const {
  std::lock_guard lock(mutex_);
  return converted_;
}

HWND VideoWindow::ClaimNotice() {
  if (pending_ || !target_) return nullptr;
  pending_ = true;
  return target_;
}

void VideoWindow::RunConverter() {
  SurfaceScaler scaler;
  std::unique_lock lock(mutex_);
  for (;;) {
    // Work only for a picture the screen will take: a newer frame (or a new
    // size) while the previous picture has been painted. Frames arriving
    // meanwhile replace each other.
    wake_.wait(lock, [this] {
      if (quit_) return true;
      if (fresh_ || !latest_ || targetWidth_ <= 0 || targetHeight_ <= 0) return false;
      const bool resized = ready_ && (ready_->width() != targetWidth_ || ready_->height() != targetHeight_);
      return frameSerial_ != convertedSerial_ || resized;
    });
    if (quit_) return;
    const std::shared_ptr<const VideoFrameI420> frame = latest_;
    const std::uint64_t serial = frameSerial_;
    const int width = targetWidth_;
    const int height = targetHeight_;
    if (!writing_ || writing_->width() != width || writing_->height() != height) {
      writing_ = std::make_shared<Surface>(width, height);
    }
    SurfacePtr surface = writing_;
    lock.unlock();
    const bool ok = scaler.Convert(*frame, *surface);
    lock.lock();
    convertedSerial_ = serial;
    if (!ok) continue;
    std::swap(writing_, ready_);
    fresh_ = true;
    ++converted_;
    if (const HWND target = ClaimNotice()) {
      lock.unlock();
      // One notice at a time; the paint it brings takes the newest picture.
      PostMessage(target, kMsgFrame, 0, 0);
      lock.lock();
    }
  }
}

void VideoWindow::Paint() {
  PAINTSTRUCT ps{};
  HDC hdc = BeginPaint(window_.hwnd(), &ps);
  if (!hdc) return;
  RECT client{};
  GetClientRect(window_.hwnd(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  SurfacePtr picture;
  bool taken = false;
  {
    std::lock_guard lock(mutex_);
    if (fresh_) {
      std::swap(reading_, ready_);
      fresh_ = false;
      taken = true;
    }
    if (width > 0 && height > 0 && (width != targetWidth_ || height != targetHeight_)) {
      targetWidth_ = width;
      targetHeight_ = height;
      taken = true;
    }
    picture = reading_;
  }
  if (taken) wake_.notify_all();
  if (picture && width > 0 && height > 0) {
    HBITMAP bitmap = CreateBitmapFromSurface(picture);
    HDC memory = CreateCompatibleDC(hdc);
    if (bitmap && memory) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      // A picture of another size (the window was just resized) is shown
      // scaled until the converter delivers one of the new size.
      if (picture->width() == width && picture->height() == height) {
        BitBlt(hdc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
      } else {
        StretchBlt(hdc, 0, 0, width, height, memory, 0, 0, picture->width(), picture->height(), SRCCOPY);
      }
      SelectObject(memory, old);
      std::lock_guard lock(mutex_);
      ++painted_;
    }
    if (memory) DeleteDC(memory);
    if (bitmap) DeleteObject(bitmap);
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
