// The preview of one element in the caller's window: a child window at the
// given rectangle showing the photo, or a picture from the video, fitted
// and centred on black.
#pragma once

#include <string>

#include "platform/core/types.h"
#include "platform/gdi/surface.h"

namespace authoring {

class PreviewWindow {
 public:
  PreviewWindow() = default;
  ~PreviewWindow() { Destroy(); }
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  // A null owner removes the window.
  void SetOwner(plat::HWND owner, const plat::RECT& rect);
  void Show(bool show);
  bool shown() const { return shown_; }
  // Loads the element's picture at the window's size; false when it has none.
  bool Load(const std::string& element);
  void Clear();
  plat::HWND hwnd() const { return hwnd_; }
  const plat::SurfacePtr& picture() const { return picture_; }

 private:
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void Paint();
  void Destroy();

  plat::HWND hwnd_ = nullptr;
  plat::RECT rect_{};
  bool shown_ = false;
  plat::SurfacePtr picture_;
};

// `picture` fitted into a black surface of `width` x `height`, centred.
plat::Surface FitOnBlack(const plat::Surface& picture, int width, int height);

}  // namespace authoring
