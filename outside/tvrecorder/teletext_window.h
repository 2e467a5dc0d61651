// The teletext page in the client's window: a child window of the owner at
// the given place, showing the chosen page drawn by the decoder. Over the
// video, the page's black background becomes the key colour, which the
// client shows the picture through.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "outside/tvrecorder/child_window.h"
#include "platform/win/window.h"

namespace tvrec {

class TeletextWindow {
 public:
  static constexpr const char* kClassName = "SysRecorder Teletext";
  // Draws a page: RGBA pixels, width, height; false when it is not there.
  using PageDrawer = std::function<bool(std::vector<std::uint32_t>&, int&, int&)>;

  explicit TeletextWindow(PageDrawer drawer) : drawer_(std::move(drawer)) {}
  TeletextWindow(const TeletextWindow&) = delete;
  TeletextWindow& operator=(const TeletextWindow&) = delete;

  void SetOwner(plat::HWND owner);
  void Place(int left, int top, int width, int height);
  void Show(bool show);
  void SetOverVideo(bool on, plat::COLORREF key);
  // Any thread: the page may have changed.
  void Refresh();
  plat::HWND hwnd() const { return window_.hwnd(); }
  int painted() const;

 private:
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void Paint();
  void Destroy();

  PageDrawer drawer_;
  plat::HWND hwnd_ = nullptr;
  int rect_[4] = {0, 0, 480, 250};
  bool shown_ = false;
  bool overVideo_ = false;
  plat::COLORREF key_ = 0x00FF00FF;
  mutable std::mutex mutex_;
  int painted_ = 0;
  ChildWindow window_{kClassName, &TeletextWindow::Proc, this, 480, 250};  // last: destroyed first
};

}  // namespace tvrec
