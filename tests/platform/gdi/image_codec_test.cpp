#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/image_loader.h"
#include "platform/gdi/jpeg_codec.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/png_codec.h"

namespace plat::gdi {
namespace {

Surface Gradient(int w, int h) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      s.set_pixel(x, y, 0xFF000000u | ((x * 255 / w) << 16) | ((y * 255 / h) << 8) | ((x + y) * 255 / (w + h)));
  return s;
}

int MaxChannelError(const Surface& a, const Surface& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      for (int ch = 0; ch < 24; ch += 8)
        worst = std::max(worst, std::abs(static_cast<int>((a.pixel(x, y) >> ch) & 0xFF) -
                                         static_cast<int>((b.pixel(x, y) >> ch) & 0xFF)));
  return worst;
}

TEST(PngCodec, RoundTripsWithAndWithoutAlpha) {
  Surface s = Gradient(33, 17);
  s.set_pixel(3, 4, 0x40102030u);
  auto bytes = EncodePng(s);
  ASSERT_FALSE(bytes.empty());
  auto back = DecodePng(bytes);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->width(), 33);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 33; ++x) ASSERT_EQ(back->pixel(x, y), s.pixel(x, y)) << x << "," << y;
  auto opaque = DecodePng(EncodePng(s, false));
  ASSERT_TRUE(opaque);
  EXPECT_EQ(opaque->pixel(3, 4), 0xFF102030u);
  // A bottom-up surface is written the right way up.
  Surface flipped(2, 2, 0xFF000000u, /*bottom_up=*/true);
  flipped.set_pixel(1, 0, 0xFFABCDEFu);
  auto upright = DecodePng(EncodePng(flipped));
  ASSERT_TRUE(upright);
  EXPECT_EQ(upright->pixel(1, 0), 0xFFABCDEFu);
  // Truncated and corrupted data are refused.
  std::string error;
  EXPECT_FALSE(DecodePng(std::span(bytes.data(), bytes.size() / 2), &error));
  EXPECT_FALSE(error.empty());
  bytes[bytes.size() / 2] ^= 0xFF;
  EXPECT_FALSE(DecodePng(bytes));
}

TEST(JpegCodec, RoundTripsWithinToleranceAndScalesInTheDct) {
  const Surface s = Gradient(64, 48);
  auto bytes = EncodeJpeg(s, {95, 1, 300, 300});
  ASSERT_FALSE(bytes.empty());
  // JFIF density as asked: unit 1, 300 x 300.
  ASSERT_GT(bytes.size(), 18u);
  EXPECT_EQ(bytes[13], 1);
  EXPECT_EQ((bytes[14] << 8) | bytes[15], 300);
  auto back = DecodeJpeg(bytes);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->width(), 64);
  ASSERT_EQ(back->height(), 48);
  EXPECT_LE(MaxChannelError(s, *back), 12);

  struct Case {
    int denominator, w, h;
  };
  const Case cases[] = {{2, 32, 24}, {4, 16, 12}, {8, 8, 6}};
  for (const Case& c : cases) {
    auto scaled = DecodeJpeg(bytes, {c.denominator});
    ASSERT_TRUE(scaled) << c.denominator;
    EXPECT_EQ(scaled->width(), c.w);
    EXPECT_EQ(scaled->height(), c.h);
  }
  // Odd sizes round up.
  auto odd = EncodeJpeg(Gradient(101, 7));
  auto odd8 = DecodeJpeg(odd, {8});
  ASSERT_TRUE(odd8);
  EXPECT_EQ(odd8->width(), 13);
  EXPECT_EQ(odd8->height(), 1);
  EXPECT_EQ(JpegDimensions(odd), (std::pair<int, int>(101, 7)));
  EXPECT_FALSE(DecodeJpeg(bytes, {3}));
}

TEST(JpegCodec, RefusesBrokenData) {
  auto bytes = EncodeJpeg(Gradient(16, 16));
  std::string error;
  EXPECT_FALSE(DecodeJpeg(std::span(bytes.data(), 20), {}, &error));
  EXPECT_FALSE(error.empty());
  std::vector<std::uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE0, 0, 2, 0xFF, 0xD9};
  EXPECT_FALSE(DecodeJpeg(junk));
  EXPECT_FALSE(DecodeJpeg(std::vector<std::uint8_t>{1, 2, 3}));
  // A truncated scan still decodes (libjpeg fills the rest) or is refused;
  // either way nothing is read out of range.
  (void)DecodeJpeg(std::span(bytes.data(), bytes.size() - 40));
}

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("gdi_images_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::filesystem::path dir_;
};

TEST_F(ImageFiles, LoaderPicksTheDecoderByContent) {
  const Surface s = Gradient(12, 10);
  // Names lie about the content on purpose.
  const std::string bmp = Write("a.jpg", EncodeBmp(s));
  const std::string png = Write("b.bmp", EncodePng(s));
  const std::string jpg = Write("c.png", EncodeJpeg(s));
  for (const std::string& path : {bmp, png, jpg}) {
    HBITMAP h = LoadImageBitmap(path, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(h, nullptr) << path;
    BITMAP bm;
    GetObject(h, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 12);
    EXPECT_EQ(bm.bmHeight, 10);
    EXPECT_NE(bm.bmBits, nullptr);
    DeleteObject(h);
  }
  HBITMAP scaled = reinterpret_cast<HBITMAP>(LoadImage(nullptr, png.c_str(), IMAGE_BITMAP, 6, 5, LR_LOADFROMFILE));
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(GetBitmapSurface(scaled)->width(), 6);
  EXPECT_EQ(GetBitmapSurface(scaled)->pixel(1, 1), s.pixel(2, 2));
  DeleteObject(scaled);

  EXPECT_EQ(LoadImageBitmap((dir_ / "missing.bmp").string(), 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageBitmap(Write("text.bmp", {'h', 'e', 'l', 'l', 'o'}), 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageBitmap(bmp, 0, 0, 0), nullptr);  // only from files
}

}  // namespace
}  // namespace plat::gdi

namespace plat::gdi {
namespace {

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// Headers that promise enormous pictures on a few bytes of data are refused
// before anything that size is allocated.
TEST(ImageLimits, HugeHeadersOnTinyDataAreRefused) {
  {
    auto png = EncodePng(Surface(1, 1));
    // IHDR data starts at byte 16: width, height; its CRC follows the 13 bytes.
    auto put32be = [&](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) png[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    put32be(16, 60000);
    put32be(20, 60000);
    put32be(29, Crc32(png.data() + 12, 17));
    std::string error;
    EXPECT_FALSE(DecodePng(png, &error));
    EXPECT_NE(error.find("dimensions"), std::string::npos) << error;
  }
  {
    auto jpg = EncodeJpeg(Surface(8, 8));
    // Find the frame header (FF C0) and set its height and width to 65000.
    std::size_t sof = 0;
    for (std::size_t i = 2; i + 9 < jpg.size(); ++i)
      if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) { sof = i; break; }
    ASSERT_NE(sof, 0u);
    for (std::size_t at : {sof + 5, sof + 7}) { jpg[at] = 0xFD; jpg[at + 1] = 0xE8; }
    std::string error;
    EXPECT_FALSE(DecodeJpeg(jpg, {8}, &error));
    EXPECT_FALSE(error.empty());
  }
  {
    // An RLE bitmap header of 30000 x 30000 over four bytes of data.
    std::vector<std::uint8_t> bmp(14 + 40 + 8 + 4, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(10, 14 + 40 + 8);
    put32(14, 40);
    put32(18, 30000);
    put32(22, 30000);
    bmp[26] = 1;
    bmp[28] = 4;
    put32(30, BI_RLE4);
    put32(46, 2);
    bmp[bmp.size() - 1] = 1;  // end of bitmap
    std::string error;
    EXPECT_FALSE(DecodeBmp(bmp, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace plat::gdi
