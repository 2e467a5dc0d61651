#include "outside/tvrecorder/child_window.h"

#include "platform/sys/last_error.h"
#include "platform/win/message.h"

using namespace plat;

namespace tvrec {

void ChildWindow::Destroy() {
  if (!hwnd_) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  UnregisterClass(className_, nullptr);
}

void ChildWindow::SetOwner(HWND owner) {
  // The same owner keeps the window it has.
  if (hwnd_ && owner && IsWindow(hwnd_) && GetParent(hwnd_) == owner) return;
  Destroy();
  if (!owner) return;
  WNDCLASS wc;
  wc.lpfnWndProc = proc_;
  wc.lpszClassName = className_;
  if (!RegisterClass(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  hwnd_ = CreateWindowEx(0, className_, className_, WS_CHILD, rect_[0], rect_[1], rect_[2], rect_[3], owner, nullptr,
                         nullptr, nullptr);
  if (!hwnd_) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self_));
  if (shown_) ShowWindow(hwnd_, SW_SHOW);
}

void ChildWindow::Place(int left, int top, int width, int height) {
  rect_[0] = left;
  rect_[1] = top;
  rect_[2] = width;
  rect_[3] = height;
  if (hwnd_) MoveWindow(hwnd_, left, top, width, height, TRUE);
}

void ChildWindow::Show(bool show) {
  shown_ = show;
  if (hwnd_) ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE);
}

}  // namespace tvrec
