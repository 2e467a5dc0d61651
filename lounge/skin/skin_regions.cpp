#include "lounge/skin/skin_regions.h"

#include <algorithm>
#include <vector>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_bitmaps.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/gdi/region_object.h"

namespace {

// Inclusive bounds of one channel: key .. key + tolerance, capped at 255.
struct ChannelRange {
  int low;
  int high;
  bool contains(int value) const { return value >= low && value <= high; }
};

ChannelRange Range(int key, int tolerance) { return {key, std::min(key + tolerance, 255)}; }

}  // namespace

plat::HRGN CreateRegionFromBitmap(const std::uint8_t* bits, int width, int height, int stride, plat::COLORREF key,
                                  plat::COLORREF tolerance) {
  if (!bits || width < 0 || height < 0 || stride < width * 4) return nullptr;
  // Each channel of the key is compared with the same channel of the pixel;
  // pixel bytes are blue, green, red.
  const ChannelRange red = Range(plat::GetRValue(key), plat::GetRValue(tolerance));
  const ChannelRange green = Range(plat::GetGValue(key), plat::GetGValue(tolerance));
  const ChannelRange blue = Range(plat::GetBValue(key), plat::GetBValue(tolerance));
  auto transparent = [&](const std::uint8_t* pixel) {
    return blue.contains(pixel[0]) && green.contains(pixel[1]) && red.contains(pixel[2]);
  };

  std::vector<plat::RECT> runs;
  for (int i = 0; i < height; ++i) {
    const std::uint8_t* row = bits + static_cast<std::size_t>(i) * static_cast<std::size_t>(stride);
    const int y = height - 1 - i;  // rows are stored bottom-up
    int x = 0;
    while (x < width) {
      while (x < width && transparent(row + x * 4)) ++x;
      const int start = x;
      while (x < width && !transparent(row + x * 4)) ++x;
      if (x > start) runs.push_back(plat::RECT{start, y, x, y + 1});
    }
  }
  return plat::CreateRegionObject(plat::Region::FromRects(runs));
}

plat::HRGN BitmapToRegion(plat::HBITMAP bitmap, plat::COLORREF key, plat::COLORREF tolerance) {
  int width = 0;
  int height = 0;
  if (!GetBitmapSize(bitmap, width, height) || width <= 0 || height <= 0) return nullptr;
  plat::BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = plat::BI_RGB;
  const int stride = width * 4;
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  MemoryDC dc;
  if (!dc) return nullptr;
  if (plat::GetDIBits(dc.get(), bitmap, 0, static_cast<plat::UINT>(height), bits.data(), &info, plat::DIB_RGB_COLORS) !=
      height) {
    return nullptr;
  }
  return CreateRegionFromBitmap(bits.data(), width, height, stride, key, tolerance);
}

plat::HRGN LoadRegionFromBitmapFile(const std::string& path, plat::COLORREF key, plat::COLORREF tolerance) {
  BitmapPtr loaded(LoadSharedBitmapFile(path));
  return loaded ? BitmapToRegion(loaded.get(), key, tolerance) : nullptr;
}

plat::HRGN LoadRegionFromBitmapFileAtSize(const std::string& path, plat::SIZE size, plat::COLORREF key,
                                          plat::COLORREF tolerance) {
  if (size.cx <= 0 || size.cy <= 0) return nullptr;
  BitmapPtr drawn(plat::CreateCompatibleBitmap(nullptr, size.cx, size.cy));
  if (!drawn) return nullptr;
  {
    // Drawn by the same helper the pages draw their backgrounds with, so the
    // region follows the very pixels that reach the window.
    MemoryDC dc;
    if (!dc || !dc.SelectBitmap(drawn.get())) return nullptr;
    if (!DrawBitmapFile(path, dc.get(), plat::RECT{0, 0, size.cx, size.cy})) return nullptr;
  }
  return BitmapToRegion(drawn.get(), key, tolerance);
}
