// The recorder's picture in the client's window: a child window of the
// owner at the video origin and size, painting the newest live frame.
// Frames are handed over on any thread and replace each other; a converter
// thread of the window's own scales the newest one to the window's size into
// one of three surfaces kept for reuse, and only once the picture before it
// has been taken by a paint, so it works at the pace of the screen; painting
// (on the window's thread) only copies the newest converted picture. Input
// and other messages of the window's thread are served between paints
// whatever the frame rate.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "outside/tvrecorder/child_window.h"
#include "outside/tvrecorder/tv_source.h"
#include "platform/gdi/surface.h"
#include "platform/win/window.h"

namespace tvrec {

class VideoWindow {
 public:
  static constexpr const char* kClassName = "SysRecorder Video";

  // Another component painting live pictures gives its own class name.
  explicit VideoWindow(const char* className = kClassName);
  ~VideoWindow();
  VideoWindow(const VideoWindow&) = delete;
  VideoWindow& operator=(const VideoWindow&) = delete;

  // Caller's thread. A null owner removes the window.
  void SetOwner(plat::HWND owner);
  void Place(int left, int top, int width, int height);
  void Show(bool show);
  plat::HWND hwnd() const { return window_.hwnd(); }

  // Any thread: the frame to paint next.
  void Present(const VideoFrameI420& frame);
  // The frame handed over last (for tests).
  std::shared_ptr<const VideoFrameI420> Latest() const;
  // Paints that showed a picture, and pictures converted for painting.
  int painted() const;
  int converted() const;

 private:
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void Paint();
  void RunConverter();
  // Under mutex_: asks the window's thread to paint unless a notice is on its way.
  plat::HWND ClaimNotice();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<const VideoFrameI420> latest_;
  std::uint64_t frameSerial_ = 0;      // frames handed over
  std::uint64_t convertedSerial_ = 0;  // the frame in `ready_`
  int targetWidth_ = 0;                // the window's client size
  int targetHeight_ = 0;
  // Three surfaces: the converter's, the newest finished one, the painter's.
  plat::SurfacePtr writing_;
  plat::SurfacePtr ready_;
  plat::SurfacePtr reading_;
  bool fresh_ = false;    // `ready_` holds a picture no paint has taken yet
  bool pending_ = false;  // a frame notice is on its way to the window
  plat::HWND target_ = nullptr;
  bool quit_ = false;
  int painted_ = 0;
  int converted_ = 0;
  ChildWindow window_;  // destroyed before the state above
  std::thread converter_;
};

}  // namespace tvrec
