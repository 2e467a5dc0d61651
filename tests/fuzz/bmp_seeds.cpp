// Writes a small seed corpus for the bitmap fuzzer into the folder given as
// the first argument: one file per depth and encoding the reader knows.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/bmp_codec.h"

namespace {

void Save(const std::string& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  if (FILE* f = std::fopen((dir + "/" + name).c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

// A file with a 40-byte header, optional masks and palette, and raw data.
std::vector<std::uint8_t> Bmp(int w, int h, int bpp, std::uint32_t compression, std::vector<std::uint32_t> masks,
                              int colors, std::vector<std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  auto u16 = [&](std::uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); };
  auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + 40 + masks.size() * 4 + colors * 4);
  out.push_back('B');
  out.push_back('M');
  u32(offset + static_cast<std::uint32_t>(data.size()));
  u32(0);
  u32(offset);
  u32(40);
  u32(static_cast<std::uint32_t>(w));
  u32(static_cast<std::uint32_t>(h));
  u16(1);
  u16(static_cast<std::uint32_t>(bpp));
  u32(compression);
  u32(static_cast<std::uint32_t>(data.size()));
  u32(2835);
  u32(2835);
  u32(static_cast<std::uint32_t>(colors));
  u32(0);
  for (std::uint32_t m : masks) u32(m);
  for (int i = 0; i < colors; ++i) u32(static_cast<std::uint32_t>(i * 0x010203));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string dir = argv[1];
  plat::Surface s(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) s.set_pixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 50 + y * 7000));
  Save(dir, "rgb24.bmp", plat::gdi::EncodeBmp(s, 24));
  Save(dir, "rgb32.bmp", plat::gdi::EncodeBmp(s, 32));
  Save(dir, "pal1.bmp", Bmp(9, 2, 1, 0, {}, 2, {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0}));
  Save(dir, "pal4.bmp", Bmp(3, 2, 4, 0, {}, 16, {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}));
  Save(dir, "pal8.bmp", Bmp(3, -2, 8, 0, {}, 256, {1, 2, 3, 0, 4, 5, 6, 0}));
  Save(dir, "rgb565.bmp", Bmp(2, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, 0, {0, 0xF8, 0xE0, 0x07, 0x1F, 0, 0xFF, 0xFF}));
  Save(dir, "rle8.bmp", Bmp(4, 3, 8, 1, {}, 4, {4, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 1, 0, 2, 2, 0, 0, 1}));
  Save(dir, "rle4.bmp", Bmp(4, 2, 4, 2, {}, 4, {4, 0x12, 0, 0, 0, 3, 0x12, 0x30, 0, 1}));
  return 0;
}
