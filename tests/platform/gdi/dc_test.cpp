#include "platform/gdi/dc.h"

#include <gtest/gtest.h>

#include <climits>

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

namespace plat {
namespace {

TEST(DrawingObjects, BogusHandlesAreRefused) {
  int on_stack = 0;
  auto* bogus_dc = reinterpret_cast<HDC>(&on_stack);
  auto* bogus_obj = reinterpret_cast<HGDIOBJ>(&on_stack);
  const RECT r{0, 0, 1, 1};
  EXPECT_FALSE(DeleteDC(bogus_dc));
  EXPECT_FALSE(DeleteObject(bogus_obj));
  EXPECT_EQ(SelectObject(bogus_dc, GetStockObject(BLACK_BRUSH)), nullptr);
  EXPECT_FALSE(FillRect(bogus_dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_FALSE(BitBlt(bogus_dc, 0, 0, 1, 1, bogus_dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetObject(bogus_obj, 0, nullptr), 0);
  EXPECT_EQ(GetBitmapSurface(reinterpret_cast<HBITMAP>(&on_stack)), nullptr);
  EXPECT_EQ(CreateCompatibleDC(bogus_dc), nullptr);

  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, bogus_obj), nullptr);
  EXPECT_FALSE(FillRect(dc, &r, reinterpret_cast<HBRUSH>(&on_stack)));
  // A brush handle passed where a bitmap is expected is refused by kind.
  HBRUSH brush = CreateSolidBrush(0);
  EXPECT_EQ(GetBitmapSurface(reinterpret_cast<HBITMAP>(brush)), nullptr);
  DeleteObject(brush);
  EXPECT_FALSE(DeleteObject(brush));  // already freed
  DeleteDC(dc);
}

TEST(DrawingObjects, SelectionReturnsPreviousAndDefersDeletion) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP a = CreateCompatibleBitmap(dc, 2, 2);
  HBITMAP b = CreateCompatibleBitmap(dc, 3, 3);
  HGDIOBJ stock = SelectObject(dc, a);
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(SelectObject(dc, b), a);
  // Deleting the selected bitmap keeps it alive while selected...
  EXPECT_TRUE(DeleteObject(b));
  BITMAP bm;
  ASSERT_EQ(GetObject(b, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 3);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  RECT clip;
  EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
  EXPECT_EQ(clip, (RECT{0, 0, 3, 3}));
  // ...and frees it once deselected.
  EXPECT_EQ(SelectObject(dc, stock), b);
  EXPECT_EQ(GetObject(b, sizeof bm, &bm), 0);
  // A window DC takes no bitmap.
  auto surface = std::make_shared<Surface>(4, 4);
  HDC window = CreateSurfaceDC(surface, {0, 0}, Region(RECT{0, 0, 4, 4}));
  EXPECT_EQ(SelectObject(window, a), nullptr);
  // Stock objects survive deletion.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(dc)), OBJ_MEMDC);
  EXPECT_TRUE(DeleteObject(a));
  DeleteDC(window);
  DeleteDC(dc);
}

TEST(DrawingObjects, DeletingTheDcFreesPendingObjects) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 2, 2);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  SelectObject(dc, bmp);
  SelectObject(dc, brush);
  DeleteObject(bmp);
  DeleteObject(brush);
  EXPECT_EQ(GetObjectType(bmp), OBJ_BITMAP);
  DeleteDC(dc);
  EXPECT_EQ(GetObjectType(bmp), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(DeviceContext, ViewportOriginAndClipping) {
  auto surface = std::make_shared<Surface>(10, 10);
  HDC dc = CreateSurfaceDC(surface, {2, 2}, Region(RECT{0, 0, 10, 10}));
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{-2, -2, 8, 8}));
  POINT previous;
  SetViewportOrgEx(dc, 1, 1, &previous);
  EXPECT_EQ(previous, (POINT{0, 0}));
  OffsetViewportOrgEx(dc, 1, 0, &previous);
  EXPECT_EQ(previous, (POINT{1, 1}));
  // Logical (0,0) is now surface (4,3).
  EXPECT_EQ(IntersectClipRect(dc, 0, 0, 3, 3), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 3, 3}));
  HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
  const RECT all{-50, -50, 50, 50};
  FillRect(dc, &all, brush);
  int white = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if (surface->pixel(x, y) == 0xFFFFFFFFu) {
        ++white;
        EXPECT_TRUE(x >= 4 && x < 7 && y >= 3 && y < 6) << x << "," << y;
      }
  EXPECT_EQ(white, 9);
  EXPECT_EQ(ExcludeClipRect(dc, 1, 1, 2, 2), COMPLEXREGION);
  // A selected region is in device coordinates; null removes the clip.
  HRGN rgn = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(SelectClipRgn(dc, rgn), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{-2, -1, -1, 0}));
  EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
  EXPECT_FALSE(OffsetViewportOrgEx(dc, INT_MAX, 0, nullptr));  // would overflow
  DeleteObject(rgn);
  DeleteObject(brush);
  DeleteDC(dc);
}

}  // namespace
}  // namespace plat
