// The recorder's picture in the client's window: a child window of the
// owner at the video origin and size, painting the newest live frame. The
// streaming thread leaves frames here and posts; painting happens on the
// window's own thread.
#pragma once

#include <memory>
#include <mutex>

#include "outside/tvrecorder/child_window.h"
#include "outside/tvrecorder/tv_source.h"
#include "platform/win/window.h"

namespace tvrec {

class VideoWindow {
 public:
  static constexpr const char* kClassName = "SysRecorder Video";

  // Another component painting live pictures gives its own class name.
  explicit VideoWindow(const char* className = kClassName)
      : window_{className, &VideoWindow::Proc, this, 640, 480} {}
  VideoWindow(const VideoWindow&) = delete;
  VideoWindow& operator=(const VideoWindow&) = delete;

  // Caller's thread. A null owner removes the window.
  void SetOwner(plat::HWND owner);
  void Place(int left, int top, int width, int height);
  void Show(bool show);
  plat::HWND hwnd() const { return window_.hwnd(); }

  // Any thread: the frame to paint next.
  void Present(const VideoFrameI420& frame);
  // The frame painted last (for tests).
  std::shared_ptr<const VideoFrameI420> Latest() const;
  int painted() const;

 private:
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void Paint();

  mutable std::mutex mutex_;
  std::shared_ptr<const VideoFrameI420> latest_;
  bool pending_ = false;
  int painted_ = 0;
  ChildWindow window_;  // last: destroyed first
};

}  // namespace tvrec
