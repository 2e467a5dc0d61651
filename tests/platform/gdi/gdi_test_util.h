// Small helpers for the drawing tests: a memory DC over a fresh bitmap that
// frees everything at scope end.
#pragma once

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"

namespace plat::test {

class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height, std::uint32_t fill = 0xFF000000u) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    surface_ = GetBitmapSurface(bitmap_);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) surface_->set_pixel(x, y, fill);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~MemoryCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  Surface& surface() const { return *surface_; }
  std::uint32_t at(int x, int y) const { return surface_->pixel(x, y); }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  SurfacePtr surface_;
};

// A source whose pixel at (x, y) is 0xFF000000 | (y << 8) | x: every pixel
// says where it came from.
inline void FillCoordinates(Surface& s) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.set_pixel(x, y, 0xFF000000u | (static_cast<std::uint32_t>(y) << 8) | x);
}

inline std::uint32_t Coord(int x, int y) { return 0xFF000000u | (static_cast<std::uint32_t>(y) << 8) | x; }

}  // namespace plat::test
