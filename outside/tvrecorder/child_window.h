// A child window of the client's window that the recorder paints into (the
// live picture, the teletext page): made when an owner is given, removed
// when it goes, keeping its place and visibility across owners. The window
// procedure finds its object through the window's user data.
#pragma once

#include "platform/win/window.h"

namespace tvrec {

class ChildWindow {
 public:
  ChildWindow(const char* className, plat::WNDPROC proc, void* self, int width, int height)
      : className_(className), proc_(proc), self_(self), rect_{0, 0, width, height} {}
  ~ChildWindow() { Destroy(); }
  ChildWindow(const ChildWindow&) = delete;
  ChildWindow& operator=(const ChildWindow&) = delete;

  // A null owner only removes the window.
  void SetOwner(plat::HWND owner);
  void Place(int left, int top, int width, int height);
  void Show(bool show);
  void Destroy();
  plat::HWND hwnd() const { return hwnd_; }
  bool shown() const { return shown_; }

 private:
  const char* className_;
  plat::WNDPROC proc_;
  void* self_;
  plat::HWND hwnd_ = nullptr;
  int rect_[4];
  bool shown_ = false;
};

}  // namespace tvrec
