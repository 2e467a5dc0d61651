#include "platform/gdi/bmp_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/gdi/bmp_stretch.h"
#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/gdi_test_util.h"

namespace plat::gdi {
namespace {

// Builds bitmap files byte by byte, so every field under test is explicit.
struct BmpBuilder {
  int width = 3;
  int height = 2;  // negative: top-down
  int bpp = 24;
  std::uint32_t compression = BI_RGB;
  std::uint32_t header_size = 40;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint32_t> masks;    // after a 40-byte header, or inside a larger one
  std::vector<std::uint8_t> pixels;    // stored rows, already padded
  std::uint32_t clr_used = 0;

  std::vector<std::uint8_t> Build() const {
    std::vector<std::uint8_t> out;
    auto u16 = [&](std::uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    const bool core = header_size == 12;
    const std::size_t masks_bytes = (header_size == 40 && compression == BI_BITFIELDS) ? masks.size() * 4 : 0;
    const std::size_t palette_bytes = palette.size() * (core ? 3 : 4);
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + header_size + masks_bytes + palette_bytes);
    out.push_back('B');
    out.push_back('M');
    u32(offset + static_cast<std::uint32_t>(pixels.size()));
    u32(0);
    u32(offset);
    u32(header_size);
    if (core) {
      u16(static_cast<std::uint32_t>(width));
      u16(static_cast<std::uint32_t>(height));
      u16(1);
      u16(static_cast<std::uint32_t>(bpp));
    } else {
      u32(static_cast<std::uint32_t>(width));
      u32(static_cast<std::uint32_t>(height));
      u16(1);
      u16(static_cast<std::uint32_t>(bpp));
      u32(compression);
      u32(static_cast<std::uint32_t>(pixels.size()));
      u32(2835);
      u32(2835);
      u32(clr_used);
      u32(0);
      for (std::uint32_t i = 40; i < header_size; i += 4) {
        const std::size_t k = (i - 40) / 4;
        u32(k < masks.size() ? masks[k] : 0);
      }
      if (header_size == 40 && compression == BI_BITFIELDS)
        for (std::uint32_t m : masks) u32(m);
    }
    for (std::uint32_t c : palette) {
      out.push_back(c & 0xFF);
      out.push_back((c >> 8) & 0xFF);
      out.push_back((c >> 16) & 0xFF);
      if (!core) out.push_back(0);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

constexpr std::uint32_t Px(std::uint32_t rgb) { return 0xFF000000u | rgb; }
constexpr std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000, Y = 0xFFFF00;

// Every case decodes to this 3x2 picture: top row R G B, bottom row W K Y
// (stored bottom-up unless the height is negative).
const std::uint32_t kExpected[2][3] = {{Px(R), Px(G), Px(B)}, {Px(W), Px(K), Px(Y)}};

struct DepthCase {
  const char* name;
  BmpBuilder bmp;
};

std::vector<DepthCase> DepthCases() {
  std::vector<DepthCase> cases;
  const std::vector<std::uint32_t> pal = {R, G, B, W, K, Y};
  {
    BmpBuilder b;  // 24-bit, bottom-up; rows 9 bytes + 3 padding
    b.pixels = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0,
                0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0};
    cases.push_back({"24 bottom-up", b});
    BmpBuilder t = b;  // top-down: rows swapped
    t.height = -2;
    t.pixels = {0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0,
                0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0};
    cases.push_back({"24 top-down", t});
  }
  {
    BmpBuilder b;
    b.bpp = 32;
    b.pixels = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0,
                0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
    cases.push_back({"32 BI_RGB (alpha byte ignored)", b});
  }
  {
    BmpBuilder b;
    b.bpp = 8;
    b.palette = pal;
    b.pixels = {3, 4, 5, 0, 0, 1, 2, 0};
    cases.push_back({"8-bit palette", b});
    BmpBuilder c = b;
    c.header_size = 12;
    cases.push_back({"8-bit palette, core header", c});
  }
  {
    BmpBuilder b;
    b.bpp = 4;
    b.palette = pal;
    b.pixels = {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0};
    cases.push_back({"4-bit palette", b});
  }
  {
    BmpBuilder b;  // 1-bit: top row W K K, bottom row K W W
    b.bpp = 1;
    b.palette = {K, W};
    b.pixels = {0b01100000, 0, 0, 0, 0b10000000, 0, 0, 0};
    cases.push_back({"1-bit", b});
  }
  {
    BmpBuilder b;  // 16-bit 555 (BI_RGB default masks)
    b.bpp = 16;
    auto p555 = [](std::uint32_t rgb) {
      const std::uint32_t r = (rgb >> 19) & 31, g = (rgb >> 11) & 31, bl = (rgb >> 3) & 31;
      return static_cast<std::uint16_t>((r << 10) | (g << 5) | bl);
    };
    auto row = [&](std::uint32_t a, std::uint32_t c, std::uint32_t d) {
      std::vector<std::uint8_t> v;
      for (std::uint32_t x : {a, c, d}) { v.push_back(p555(x) & 0xFF); v.push_back(p555(x) >> 8); }
      v.push_back(0); v.push_back(0);
      return v;
    };
    b.pixels = row(W, K, Y);
    auto top = row(R, G, B);
    b.pixels.insert(b.pixels.end(), top.begin(), top.end());
    cases.push_back({"16-bit 555", b});
  }
  {
    BmpBuilder b;  // 16-bit 565 through BI_BITFIELDS
    b.bpp = 16;
    b.compression = BI_BITFIELDS;
    b.masks = {0xF800, 0x07E0, 0x001F};
    auto p565 = [](std::uint32_t rgb) {
      const std::uint32_t r = (rgb >> 19) & 31, g = (rgb >> 10) & 63, bl = (rgb >> 3) & 31;
      return static_cast<std::uint16_t>((r << 11) | (g << 5) | bl);
    };
    for (std::uint32_t x : {W, K, Y}) { b.pixels.push_back(p565(x) & 0xFF); b.pixels.push_back(p565(x) >> 8); }
    b.pixels.push_back(0); b.pixels.push_back(0);
    for (std::uint32_t x : {R, G, B}) { b.pixels.push_back(p565(x) & 0xFF); b.pixels.push_back(p565(x) >> 8); }
    b.pixels.push_back(0); b.pixels.push_back(0);
    cases.push_back({"16-bit 565 bit fields", b});
    BmpBuilder v5 = b;  // masks inside a 124-byte header
    v5.header_size = 124;
    cases.push_back({"16-bit 565 in a V5 header", v5});
  }
  {
    BmpBuilder b;  // RLE8: encoded runs and an absolute run
    b.bpp = 8;
    b.compression = BI_RLE8;
    b.palette = pal;
    // Bottom row: an absolute run W K Y (padded to 16 bits), end of line;
    // top row: runs of R, G and B, end of bitmap.
    b.pixels = {0, 3, 3, 4, 5, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1};
    cases.push_back({"RLE8", b});
  }
  {
    BmpBuilder b;  // RLE4: runs alternate the two nibbles
    b.bpp = 4;
    b.compression = BI_RLE4;
    b.palette = pal;
    // Bottom row: an absolute run of three nibbles W K Y; top row: a run
    // alternating R and G, then a run of B.
    b.pixels = {0, 3, 0x34, 0x50, 0, 0, 2, 0x01, 1, 0x22, 0, 1};
    cases.push_back({"RLE4", b});
  }
  return cases;
}

TEST(BmpReader, DecodesEveryDepth) {
  for (const DepthCase& c : DepthCases()) {
    std::string error;
    const auto bytes = c.bmp.Build();
    auto s = DecodeBmp(bytes, &error);
    ASSERT_TRUE(s) << c.name << ": " << error;
    ASSERT_EQ(s->width(), 3) << c.name;
    ASSERT_EQ(s->height(), 2) << c.name;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        std::uint32_t want = kExpected[y][x];
        if (c.bmp.bpp == 1) want = ((y == 0 && x == 0) || (y == 1 && x > 0)) ? Px(W) : Px(K);
        EXPECT_EQ(s->pixel(x, y), want) << c.name << " at " << x << "," << y;
      }
  }
}

TEST(BmpReader, BitFieldAlphaIsKeptWhenAMaskSaysSo) {
  BmpBuilder b;
  b.width = 1;
  b.height = 1;
  b.bpp = 32;
  b.compression = BI_BITFIELDS;
  b.header_size = 108;
  b.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  b.pixels = {0x10, 0x20, 0x30, 0x80};
  auto s = DecodeBmp(b.Build());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->pixel(0, 0), 0x80302010u);
}

TEST(BmpReader, RefusesMalformedInputCleanly) {
  BmpBuilder good;
  good.pixels.assign(24, 0);
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> mutate;
  };
  auto put32 = [](std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
  };
  const std::vector<Case> cases = {
      {"wrong magic", [](auto& v) { v[0] = 'X'; }},
      {"header size unknown", [&](auto& v) { put32(v, 14, 41); }},
      {"zero width", [&](auto& v) { put32(v, 18, 0); }},
      {"negative width", [&](auto& v) { put32(v, 18, 0xFFFFFFFF); }},
      {"absurd size", [&](auto& v) { put32(v, 18, 0x7FFFFFFF); put32(v, 22, 0x7FFFFFFF); }},
      {"most negative height", [&](auto& v) { put32(v, 22, 0x80000000); }},
      {"height beyond the data", [&](auto& v) { put32(v, 22, 100000); }},
      {"unknown depth", [](auto& v) { v[28] = 7; }},
      {"unknown compression", [&](auto& v) { put32(v, 30, 9); }},
      {"RLE8 with 24 bits", [&](auto& v) { put32(v, 30, BI_RLE8); }},
      {"pixel offset beyond the file", [&](auto& v) { put32(v, 10, 0x7FFFFFF0); }},
      {"truncated pixels", [](auto& v) { v.resize(v.size() > 10 ? v.size() - 10 : 0); }},
      {"truncated header", [](auto& v) { v.resize(30); }},
      {"planes not 1", [](auto& v) { v[26] = 2; }},
  };
  for (const Case& c : cases) {
    auto bytes = good.Build();
    c.mutate(bytes);
    std::string error;
    EXPECT_FALSE(DecodeBmp(bytes, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
  // Every prefix of a valid file is refused or decoded, never read beyond.
  for (const DepthCase& d : DepthCases()) {
    const auto bytes = d.bmp.Build();
    for (std::size_t n = 0; n < bytes.size(); ++n)
      (void)DecodeBmp(std::span(bytes.data(), n));
  }
}

TEST(BmpReader, RleRunsPastTheEdgeStayInside) {
  BmpBuilder b;
  b.bpp = 8;
  b.compression = BI_RLE8;
  b.palette = {R, G};
  // A run of 255 on a 3-wide row, a delta far beyond the picture, an
  // absolute run longer than the row, then the end.
  b.pixels = {255, 1, 0, 2, 200, 0, 0, 5, 1, 1, 1, 1, 1, 0, 0, 1};
  auto s = DecodeBmp(b.Build());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->pixel(0, 1), Px(G));
}

TEST(BmpWriter, RoundTripsAt24And32Bits) {
  Surface s(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) s.set_pixel(x, y, 0x80000000u | (x * 40) << 16 | (y * 70) << 8 | (x + y));
  for (int bpp : {24, 32}) {
    auto bytes = EncodeBmp(s, bpp);
    ASSERT_FALSE(bytes.empty());
    auto back = DecodeBmp(bytes);
    ASSERT_TRUE(back);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)  // BI_RGB files read back opaque
        EXPECT_EQ(back->pixel(x, y), s.pixel(x, y) | 0xFF000000u) << bpp;
  }
  EXPECT_TRUE(EncodeBmp(Surface(), 24).empty());
  EXPECT_TRUE(EncodeBmp(s, 16).empty());
}


// Drawing straight from the file gives the pixels a nearest-pixel StretchBlt
// of the decoded picture gives, for every depth it streams and every way a
// rectangle can lie: the same size, enlarged, shrunk, mirrored, partly off
// the target, clipped.
TEST(BmpStretch, DrawsWhatAStretchOfTheDecodedPictureDraws) {
  Surface coords(40, 30);
  test::FillCoordinates(coords);
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
      {"24-bit coordinates", EncodeBmp(coords, 24)}, {"32-bit coordinates", EncodeBmp(coords, 32)}};
  for (const DepthCase& c : DepthCases())
    if (c.bmp.compression != BI_RLE4 && c.bmp.compression != BI_RLE8) files.emplace_back(c.name, c.bmp.Build());
  struct Rect {
    int x, y, w, h;
    bool clip;
  };
  const Rect rects[] = {{0, 0, 40, 30, false}, {3, 2, 57, 41, false},  {1, 1, 13, 7, false},
                        {-9, -4, 50, 30, false}, {40, 5, -35, 20, false}, {0, 0, 64, 48, true},
                        // at the picture's own size, partly off the canvas or clipped
                        {-9, -4, 40, 30, false}, {30, 25, 40, 30, false}, {2, 3, 40, 30, true}};
  for (const auto& [name, bytes] : files) {
    const std::optional<Surface> decoded = DecodeBmp(bytes);
    ASSERT_TRUE(decoded) << name;
    for (const Rect& r : rects) {
      test::MemoryCanvas want(64, 48, 0xFF123456u), got(64, 48, 0xFF123456u);
      if (r.clip) {
        for (HDC dc : {want.dc(), got.dc()}) {
          HRGN region = CreateRectRgn(5, 6, 30, 20);
          SelectClipRgn(dc, region);
          DeleteObject(region);
        }
      }
      test::MemoryCanvas source(decoded->width(), decoded->height());
      source.surface() = *decoded;
      SetStretchBltMode(want.dc(), COLORONCOLOR);
      StretchBlt(want.dc(), r.x, r.y, r.w, r.h, source.dc(), 0, 0, decoded->width(), decoded->height(), SRCCOPY);
      std::string error;
      ASSERT_TRUE(StretchBmpFile(got.dc(), r.x, r.y, r.w, r.h, bytes, &error)) << name << ": " << error;
      int differences = 0;
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) differences += want.at(x, y) != got.at(x, y);
      EXPECT_EQ(differences, 0) << name << " into " << r.x << "," << r.y << " " << r.w << "x" << r.h;
    }
    const std::optional<SIZE> size = BmpFileSize(bytes);
    ASSERT_TRUE(size) << name;
    EXPECT_EQ(size->cx, decoded->width());
    EXPECT_EQ(size->cy, decoded->height());
  }
}

// Run-length and broken files are left to the whole-picture decoder:
// nothing is drawn.
TEST(BmpStretch, RunLengthAndBrokenFilesDrawNothing) {
  std::vector<std::vector<std::uint8_t>> files;
  for (const DepthCase& c : DepthCases())
    if (c.bmp.compression == BI_RLE4 || c.bmp.compression == BI_RLE8) files.push_back(c.bmp.Build());
  Surface coords(8, 8);
  std::vector<std::uint8_t> cut = EncodeBmp(coords, 24);
  cut.resize(cut.size() - 40);
  files.push_back(cut);
  files.push_back({'B', 'M', 0, 0});
  for (const auto& bytes : files) {
    test::MemoryCanvas canvas(16, 16, 0xFF123456u);
    EXPECT_FALSE(StretchBmpFile(canvas.dc(), 0, 0, 16, 16, bytes));
    EXPECT_EQ(canvas.at(0, 0), 0xFF123456u);
    EXPECT_EQ(canvas.at(15, 15), 0xFF123456u);
  }
  EXPECT_FALSE(BmpFileSize(std::vector<std::uint8_t>{'B', 'M', 0, 0}));
}

}  // namespace
}  // namespace plat::gdi
