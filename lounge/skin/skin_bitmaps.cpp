#include "lounge/skin/skin_bitmaps.h"

#include <algorithm>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_image_cache.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"

namespace {

// Copies the source rectangle (x, 0, width, source height) into a new
// screen-compatible bitmap.
plat::HBITMAP CopyColumns(plat::HBITMAP bitmap, int x, int width, int height) {
  BitmapPtr copy(plat::CreateCompatibleBitmap(nullptr, width, height));
  if (!copy) return nullptr;
  MemoryDC source;
  MemoryDC target;
  if (!source || !target || !source.SelectBitmap(bitmap) || !target.SelectBitmap(copy.get())) return nullptr;
  if (!plat::BitBlt(target.get(), 0, 0, width, height, source.get(), x, 0, plat::SRCCOPY)) return nullptr;
  return copy.release();
}

}  // namespace

int GetBitmapSize(plat::HBITMAP bitmap, int& width, int& height) {
  if (!bitmap) return 0;
  plat::BITMAP info;
  if (!plat::GetObject(bitmap, sizeof(info), &info)) return 0;
  width = info.bmWidth;
  height = info.bmHeight;
  return 1;
}

plat::HBITMAP CutBitmapFrame(plat::HBITMAP bitmap, int frame) {
  int width = 0;
  int height = 0;
  if (!GetBitmapSize(bitmap, width, height)) return nullptr;
  // State codes beyond the four frames would read outside the bitmap.
  frame = std::clamp(frame, 0, SKIN_FRAME_COUNT - 1);
  const int frameWidth = width / SKIN_FRAME_COUNT;
  return CopyColumns(bitmap, frame * width / SKIN_FRAME_COUNT, frameWidth, height);
}

plat::HBITMAP CutBitmapSlice(plat::HBITMAP bitmap, float from, float to) {
  if (!(from <= to)) return nullptr;  // also refuses NaN
  int width = 0;
  int height = 0;
  if (!GetBitmapSize(bitmap, width, height)) return nullptr;
  from = std::clamp(from, 0.0f, 1.0f);
  to = std::clamp(to, 0.0f, 1.0f);
  const int x = static_cast<int>(static_cast<float>(width) * from);
  const int sliceWidth = static_cast<int>(static_cast<float>(width) * (to - from));
  return CopyColumns(bitmap, x, sliceWidth, height);
}

plat::HBITMAP LoadSharedBitmapFile(const std::string& path) {
  plat::SurfacePtr pixels = SharedSkinImage(path);
  return pixels ? plat::CreateBitmapFromSurface(std::move(pixels), true) : nullptr;
}

plat::HBITMAP LoadDibSectionFile(const std::string& path) {
  // The caller may draw into its bitmap: it gets pixels of its own.
  const plat::SurfacePtr pixels = SharedSkinImage(path);
  return pixels ? plat::CreateBitmapFromSurface(std::make_shared<plat::Surface>(*pixels), true) : nullptr;
}

plat::HBITMAP LoadBitmapFile(const std::string& path, int frame) {
  BitmapPtr loaded(LoadSharedBitmapFile(path));
  return loaded ? CutBitmapFrame(loaded.get(), frame) : nullptr;
}

plat::HBITMAP LoadBitmapFileSlice(const std::string& path, float from, float to) {
  BitmapPtr loaded(LoadSharedBitmapFile(path));
  return loaded ? CutBitmapSlice(loaded.get(), from, to) : nullptr;
}

plat::HBITMAP StretchBitmap(plat::HBITMAP bitmap, plat::SIZE size) {
  int width = 0;
  int height = 0;
  if (!GetBitmapSize(bitmap, width, height)) return nullptr;
  BitmapPtr copy(plat::CreateCompatibleBitmap(nullptr, size.cx, size.cy));
  if (!copy) return nullptr;
  MemoryDC source;
  MemoryDC target;
  if (!source || !target || !source.SelectBitmap(bitmap) || !target.SelectBitmap(copy.get())) return nullptr;
  plat::SetStretchBltMode(target.get(), plat::COLORONCOLOR);
  if (!plat::StretchBlt(target.get(), 0, 0, size.cx, size.cy, source.get(), 0, 0, width, height, plat::SRCCOPY)) {
    return nullptr;
  }
  return copy.release();
}

namespace {

// Stretches the columns [x, x + width) of the bitmap into the rectangle.
int DrawColumns(plat::HBITMAP bitmap, int x, int width, int height, plat::HDC dc, const plat::RECT& rect) {
  const plat::SIZE size{rect.right - rect.left, rect.bottom - rect.top};
  if (size.cx <= 0 || size.cy <= 0) return 0;
  MemoryDC source;
  if (!source || !source.SelectBitmap(bitmap)) return 0;
  // Stretched straight into the target with nearest pixels: the same pixels
  // as a stretched copy blitted there, without the full-size temporary.
  const int previousMode = plat::SetStretchBltMode(dc, plat::COLORONCOLOR);
  const plat::BOOL drawn =
      plat::StretchBlt(dc, rect.left, rect.top, size.cx, size.cy, source.get(), x, 0, width, height, plat::SRCCOPY);
  if (previousMode) plat::SetStretchBltMode(dc, previousMode);
  return drawn ? 1 : 0;
}

}  // namespace

int DrawBitmap(plat::HBITMAP bitmap, plat::HDC dc, const plat::RECT& rect) {
  int width = 0;
  int height = 0;
  if (!GetBitmapSize(bitmap, width, height)) return 0;
  return DrawColumns(bitmap, 0, width, height, dc, rect);
}

int DrawBitmapFileFrame(const std::string& path, int frame, plat::HDC dc, const plat::RECT& rect) {
  BitmapPtr loaded(LoadSharedBitmapFile(path));
  int width = 0;
  int height = 0;
  if (!GetBitmapSize(loaded.get(), width, height)) return 0;
  // The frame as CutBitmapFrame cuts it, drawn without cutting a copy.
  frame = std::clamp(frame, 0, SKIN_FRAME_COUNT - 1);
  const int frameWidth = width / SKIN_FRAME_COUNT;
  if (frameWidth <= 0) return 0;
  return DrawColumns(loaded.get(), frame * width / SKIN_FRAME_COUNT, frameWidth, height, dc, rect);
}

int DrawBitmapFile(const std::string& path, plat::HDC dc, const plat::RECT& rect) {
  // A background drawn straight from its file: no full-size picture for it.
  if (DrawLargeSkinBitmap(path, dc, rect)) return 1;
  BitmapPtr loaded(LoadSharedBitmapFile(path));
  return loaded ? DrawBitmap(loaded.get(), dc, rect) : 0;
}
