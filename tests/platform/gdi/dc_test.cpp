#include "platform/gdi/dc.h"

#include <gtest/gtest.h>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/region_object.h"

namespace plat {
namespace {

constexpr std::uint32_t kRed = PixelFromColorRef(RGB(255, 0, 0));
constexpr std::uint32_t kBlack = 0xFF000000u;

TEST(SurfaceDC, DrawsAtOriginAndClipsToRegion) {
  auto surface = std::make_shared<Surface>(20, 10);
  const Region clip(RECT{5, 2, 15, 8});
  HDC dc = CreateSurfaceDC(surface, POINT{4, 1}, clip);
  ASSERT_NE(dc, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT all{-100, -100, 100, 100};
  EXPECT_TRUE(FillRect(dc, &all, red));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      EXPECT_EQ(surface->pixel(x, y), clip.contains(x, y) ? kRed : kBlack) << x << "," << y;

  // Logical (0,0) is surface (4,1): a 2x2 fill at logical (1,1) lands at (5,2).
  surface->resize(20, 10);
  const RECT small{1, 1, 3, 3};
  FillRect(dc, &small, red);
  EXPECT_EQ(surface->pixel(5, 2), kRed);
  EXPECT_EQ(surface->pixel(6, 3), kRed);
  EXPECT_EQ(surface->pixel(7, 3), kBlack);
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
}

TEST(MemoryDC, BitBltCopiesBetweenBitmapsWithClipping) {
  HDC screen = CreateCompatibleDC(nullptr);
  HDC src = CreateCompatibleDC(screen);
  HBITMAP src_bm = CreateCompatibleBitmap(screen, 4, 4);
  auto src_px = GetBitmapSurface(src_bm);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src_px->set_pixel(x, y, 0xFF000000u | (y * 16 + x));
  HGDIOBJ old_src = SelectObject(src, src_bm);
  ASSERT_NE(old_src, nullptr);

  auto target = std::make_shared<Surface>(6, 6, 0xFF111111u);
  HDC dst = CreateSurfaceDC(target, POINT{0, 0}, Region(RECT{0, 0, 6, 6}));
  // Destination at (3,3) with source from (-1,-1): the source's left column
  // and top row are outside the bitmap and leave the destination alone.
  EXPECT_TRUE(BitBlt(dst, 3, 3, 10, 10, src, -1, -1, SRCCOPY));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const int sx = x - 3 - 1, sy = y - 3 - 1;
      const std::uint32_t want = (sx >= 0 && sy >= 0 && sx < 4 && sy < 4) ? (0xFF000000u | (sy * 16 + sx)) : 0xFF111111u;
      EXPECT_EQ(target->pixel(x, y), want) << x << "," << y;
    }
  SelectObject(src, old_src);
  EXPECT_TRUE(DeleteObject(src_bm));
  DeleteDC(src);
  DeleteDC(dst);
  DeleteDC(screen);
}

}  // namespace
}  // namespace plat
