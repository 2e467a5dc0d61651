#include "tests/lounge/app/screen_regions.h"

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

namespace app_test {

namespace {

// Channel differences up to this are the same pixel: smoothing of the
// background may round differently.
constexpr int kLevels = 24;

bool Differs(std::uint32_t a, std::uint32_t b) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > kLevels) return true;
  }
  return false;
}

}  // namespace

bool TextMatches(const plat::Surface& shot, Box box, const std::string& background, const std::string& text,
                 int align, plat::COLORREF colour, double tolerance, int fit) {
  if (box.width <= 0 || box.height <= 0 || box.left < 0 || box.top < 0 || box.left + box.width > shot.width() ||
      box.top + box.height > shot.height())
    return false;
  MemoryDC dc;
  const BitmapPtr expected(plat::CreateCompatibleBitmap(dc.get(), shot.width(), shot.height()));
  if (!dc || !expected || !dc.SelectBitmap(expected.get())) return false;
  if (!DrawBitmapFile(background, dc.get(), plat::RECT{0, 0, shot.width(), shot.height()})) return false;
  DrawSkinTextDefaultFont(dc.get(), box.left, box.top, box.left + box.width, box.top + box.height, text, align,
                          colour, fit);
  const plat::SurfacePtr drawn = plat::GetBitmapSurface(expected.get());
  if (!drawn) return false;
  long differing = 0;
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      if (Differs(shot.pixel(x, y), drawn->pixel(x, y))) ++differing;
    }
  }
  return static_cast<double>(differing) <= tolerance * static_cast<double>(box.width) * box.height;
}

}  // namespace app_test
