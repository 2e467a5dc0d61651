#include "outside/authoring/preview_window.h"

#include "engines/picture/picture_core/picture_file.h"
#include "engines/picture/picture_core/pixel_ops.h"
#include "outside/authoring/transcode.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/media/video_thumbnail.h"
#include "platform/sys/last_error.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using namespace plat;

namespace authoring {
namespace {
constexpr const char* kClass = "MarivelAuthoringPreview";
}

Surface FitOnBlack(const Surface& picture, int width, int height) {
  Surface out(width, height);
  if (picture.empty() || width <= 0 || height <= 0) return out;
  int w = width;
  int h = static_cast<int>(static_cast<long long>(picture.height()) * width / picture.width());
  if (h > height) {
    h = height;
    w = static_cast<int>(static_cast<long long>(picture.width()) * height / picture.height());
  }
  auto scaled = picture::Resize(picture, std::max(1, w), std::max(1, h), true);
  if (!scaled) return out;
  const int x0 = (width - scaled->width()) / 2;
  const int y0 = (height - scaled->height()) / 2;
  for (int y = 0; y < scaled->height(); ++y) {
    std::copy_n(scaled->row(y), scaled->width(), out.row(y0 + y) + x0);
  }
  return out;
}

void PreviewWindow::Destroy() {
  if (!hwnd_) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void PreviewWindow::SetOwner(HWND owner, const RECT& rect) {
  rect_ = rect;
  if (hwnd_ && GetParent(hwnd_) == owner) {
    MoveWindow(hwnd_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    return;
  }
  Destroy();
  if (!owner) return;
  WNDCLASS wc;
  wc.lpfnWndProc = &PreviewWindow::Proc;
  wc.lpszClassName = kClass;
  if (!RegisterClass(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  hwnd_ = CreateWindowEx(0, kClass, kClass, WS_CHILD, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                         owner, nullptr, nullptr, nullptr);
  if (!hwnd_) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (shown_) ShowWindow(hwnd_, SW_SHOW);
}

void PreviewWindow::Show(bool show) {
  shown_ = show;
  if (hwnd_) ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE);
}

bool PreviewWindow::Load(const std::string& element) {
  const int width = rect_.right - rect_.left;
  const int height = rect_.bottom - rect_.top;
  if (width <= 0 || height <= 0) return false;
  std::optional<Surface> source;
  if (IsStillFile(element)) {
    picture::LoadOptions options;
    options.min_width = width;
    options.min_height = height;
    options.metadata = false;
    if (auto loaded = picture::LoadPictureFile(element, options)) source = std::move(loaded->pixels);
  } else {
    media::VideoThumbnailLimits limits;
    limits.maxWidth = width;
    limits.maxHeight = height;
    source = media::ExtractVideoThumbnail(element, nullptr, nullptr, limits);
  }
  if (!source) return false;
  picture_ = std::make_shared<Surface>(FitOnBlack(*source, width, height));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  return true;
}

void PreviewWindow::Clear() {
  picture_.reset();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PreviewWindow::Paint() {
  PAINTSTRUCT ps{};
  HDC hdc = BeginPaint(hwnd_, &ps);
  if (!hdc) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (picture_) {
    HBITMAP bitmap = CreateBitmapFromSurface(picture_);
    HDC memory = CreateCompatibleDC(hdc);
    if (bitmap && memory) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      BitBlt(hdc, 0, 0, picture_->width(), picture_->height(), memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
    }
    if (memory) DeleteDC(memory);
    if (bitmap) DeleteObject(bitmap);
  }
  EndPaint(hwnd_, &ps);
}

LRESULT PreviewWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<PreviewWindow*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (self && msg == WM_PAINT) {
    self->Paint();
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace authoring
