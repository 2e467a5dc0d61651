// Scoped ownership of drawing objects and memory device contexts, so that
// temporary bitmaps, fonts and DCs are released on every path.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

struct GdiObjectDeleter {
  void operator()(plat::HGDIOBJ object) const {
    if (object) plat::DeleteObject(object);
  }
};

// Owns one drawing object (bitmap, font, region...) and deletes it.
template <typename Handle>
using GdiObjectPtr = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

using BitmapPtr = GdiObjectPtr<plat::HBITMAP>;
using FontPtr = GdiObjectPtr<plat::HFONT>;
using RegionPtr = GdiObjectPtr<plat::HRGN>;

// A memory DC compatible with the screen; objects selected through it are
// deselected again before the DC is freed.
class MemoryDC {
 public:
  MemoryDC() : dc_(plat::CreateCompatibleDC(nullptr)) {}
  ~MemoryDC() {
    if (previousBitmap_) plat::SelectObject(dc_, previousBitmap_);
    if (dc_) plat::DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  explicit operator bool() const { return dc_ != nullptr; }
  plat::HDC get() const { return dc_; }

  // Selects a bitmap; the DC's first bitmap is put back at the end.
  bool SelectBitmap(plat::HBITMAP bitmap) {
    plat::HGDIOBJ previous = plat::SelectObject(dc_, bitmap);
    if (!previous) return false;
    if (!previousBitmap_) previousBitmap_ = previous;
    return true;
  }

 private:
  plat::HDC dc_;
  plat::HGDIOBJ previousBitmap_ = nullptr;
};
