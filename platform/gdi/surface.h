// A 32-bit BGRA pixel surface (byte 0 blue, byte 3 alpha). Bitmaps, window
// back buffers and the screen are all surfaces; device contexts draw into
// them. Rows are stored top-down, except in surfaces made bottom-up for
// DIB sections whose callers address the rows from the bottom; row(y)
// always gives row y counted from the top, so only code that walks data()
// itself needs to look at bottom_up().
#pragma once

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace plat {

namespace detail {

// Pixel storage: large buffers are aligned to 2 MiB and marked for huge
// pages before their first touch, so filling a photo-sized surface costs a
// few dozen page faults instead of thousands.
template <class T>
struct PixelAllocator {
  using value_type = T;
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  static constexpr std::size_t kLarge = std::size_t{4} << 20;

  PixelAllocator() = default;
  template <class U>
  PixelAllocator(const PixelAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kLarge) return std::allocator<T>().allocate(n);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (!p) throw std::bad_alloc();
    ::madvise(p, rounded, MADV_HUGEPAGE);
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) {
    if (n * sizeof(T) < kLarge) std::allocator<T>().deallocate(p, n);
    else std::free(p);
  }
  template <class U>
  bool operator==(const PixelAllocator<U>&) const { return true; }
};

}  // namespace detail

class Surface {
 public:
  Surface() = default;
  // Width and height are clamped to zero when negative. The caller checks
  // sizes from untrusted input before calling (see MaxSurfacePixels).
  Surface(int width, int height, std::uint32_t fill = 0xFF000000u, bool bottom_up = false)
      : width_(width > 0 ? width : 0),
        height_(height > 0 ? height : 0),
        bottom_up_(bottom_up),
        pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }
  bool bottom_up() const { return bottom_up_; }
  // Pixels per row; rows are packed.
  int stride() const { return width_; }

  std::uint32_t* data() { return pixels_.data(); }
  const std::uint32_t* data() const { return pixels_.data(); }
  std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(stored_row(y)) * width_; }
  const std::uint32_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(stored_row(y)) * width_; }

  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  std::uint32_t pixel(int x, int y) const { return contains(x, y) ? row(y)[x] : 0u; }
  void set_pixel(int x, int y, std::uint32_t bgra) {
    if (contains(x, y)) row(y)[x] = bgra;
  }

  // Reallocates to a new size, discarding the contents; keeps the row order.
  void resize(int width, int height, std::uint32_t fill = 0xFF000000u) {
    *this = Surface(width, height, fill, bottom_up_);
  }

 private:
  int stored_row(int y) const { return bottom_up_ ? height_ - 1 - y : y; }

  int width_ = 0;
  int height_ = 0;
  bool bottom_up_ = false;
  std::vector<std::uint32_t, detail::PixelAllocator<std::uint32_t>> pixels_;
};

// Largest surface any decoder or caller may ask for (about 256 megapixels);
// dimensions read from files are checked against it before allocating.
inline constexpr std::int64_t MaxSurfacePixels = std::int64_t{1} << 28;

using SurfacePtr = std::shared_ptr<Surface>;

// Packs a COLORREF (0x00BBGGRR) into an opaque BGRA pixel and back.
constexpr std::uint32_t PixelFromColorRef(std::uint32_t colorref) {
  return 0xFF000000u | ((colorref & 0xFFu) << 16) | (colorref & 0xFF00u) | ((colorref >> 16) & 0xFFu);
}
constexpr std::uint32_t ColorRefFromPixel(std::uint32_t bgra) {
  return ((bgra >> 16) & 0xFFu) | (bgra & 0xFF00u) | ((bgra & 0xFFu) << 16);
}

}  // namespace plat
