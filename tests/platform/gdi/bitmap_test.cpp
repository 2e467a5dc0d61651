#include "platform/gdi/bitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/gdi/gdi_test_util.h"

namespace plat {
namespace {

BITMAPINFO Info(int w, int h, int bpp) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = static_cast<WORD>(bpp);
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

TEST(Bitmaps, DibSectionExposesItsTopDownPixels) {
  BITMAPINFO bi = Info(3, -2, 32);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bmp, nullptr);
  ASSERT_NE(bits, nullptr);
  static_cast<std::uint32_t*>(bits)[3 + 2] = 0xFF112233u;  // row 1, column 2
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0x11, 0x22, 0x33));
  BITMAP bm;
  GetObject(bmp, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBits, bits);
  EXPECT_EQ(bm.bmWidthBytes, 12);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  // Other depths and absurd sizes are refused.
  bi = Info(3, -2, 24);
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  bi = Info(0x7FFFFFFF, -0x7FFFFFFF, 32);
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 100000, 100000), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, -1, 5), nullptr);
}

TEST(Bitmaps, BottomUpDibSectionStoresTheBottomRowFirst) {
  BITMAPINFO bi = Info(2, 3, 32);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bmp, nullptr);
  auto* px = static_cast<std::uint32_t*>(bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  SetPixel(dc, 1, 2, RGB(0, 0, 0xAA));  // bottom row, right
  SetPixel(dc, 0, 0, RGB(0xBB, 0, 0));  // top row, left
  EXPECT_EQ(px[1], 0xFF0000AAu);
  EXPECT_EQ(px[2 * 2 + 0], 0xFFBB0000u);
  // Copies and encoders see the picture the right way up.
  test::MemoryCanvas copy(2, 3);
  BitBlt(copy.dc(), 0, 0, 2, 3, dc, 0, 0, SRCCOPY);
  EXPECT_EQ(copy.at(0, 0), 0xFFBB0000u);
  EXPECT_EQ(copy.at(1, 2), 0xFF0000AAu);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(Bitmaps, CreateDIBitmapHonoursRowPaddingAndOrder) {
  // 24-bit rows of a 3-wide picture are 9 bytes plus 3 of padding.
  const std::vector<std::uint8_t> rows = {
      1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,  // stored first: the bottom row
      10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE,
  };
  BITMAPINFO bi = Info(3, 2, 24);
  HBITMAP bmp = CreateDIBitmap(nullptr, &bi.bmiHeader, CBM_INIT, rows.data(), &bi, DIB_RGB_COLORS);
  ASSERT_NE(bmp, nullptr);
  auto s = GetBitmapSurface(bmp);
  EXPECT_EQ(s->pixel(0, 1), 0xFF030201u);
  EXPECT_EQ(s->pixel(2, 1), 0xFF090807u);
  EXPECT_EQ(s->pixel(0, 0), 0xFF0C0B0Au);

  // GetDIBits gives the same rows back, bottom-up, padding and all.
  std::vector<std::uint8_t> back(rows.size(), 0xEE);
  EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, back.data(), &bi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(back, rows);
  // 32-bit, top-down, one row from the second scan line.
  BITMAPINFO top = Info(3, -2, 32);
  std::vector<std::uint32_t> one(3);
  EXPECT_EQ(GetDIBits(nullptr, bmp, 1, 5, one.data(), &top, DIB_RGB_COLORS), 1);
  EXPECT_EQ(one[0], 0xFF030201u);
  // Without a buffer the header is filled in.
  BITMAPINFO query{};
  query.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 0, nullptr, &query, DIB_RGB_COLORS), 2);
  EXPECT_EQ(query.bmiHeader.biWidth, 3);
  EXPECT_EQ(query.bmiHeader.biSizeImage, 24u);
  DeleteObject(bmp);
}

}  // namespace
}  // namespace plat
