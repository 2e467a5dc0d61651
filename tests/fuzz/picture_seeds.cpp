// Writes a small seed corpus for the picture fuzzer into the folder given as
// the first argument: GIFs written by our encoder (plain, transparent, with
// comments) and minimal headers of the other formats.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/gif_codec.h"

namespace {

void Save(const std::string& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  if (FILE* f = std::fopen((dir + "/" + name).c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string dir = argv[1];
  plat::Surface plain(7, 5, 0xFF102030u);
  plain.set_pixel(3, 2, 0xFFFFFFFFu);
  Save(dir, "plain.gif", plat::gdi::EncodeGif(plain));
  plat::Surface clear(9, 9, 0x00000000u);
  clear.set_pixel(4, 4, 0xFFFF0000u);
  Save(dir, "transparent.gif", plat::gdi::EncodeGif(clear, {"a comment", std::string(300, 'x')}));
  plat::Surface many(32, 32, 0u);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) many.set_pixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 8 + y * 2048));
  Save(dir, "quantised.gif", plat::gdi::EncodeGif(many));
  // Headers: a PNG signature with IHDR, a JPEG with an Exif segment and a
  // frame header, a core bitmap header.
  Save(dir, "header.png", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 1, 0, 0, 0, 1, 0, 8, 6, 0, 0, 0, 0, 0, 0, 0});
  Save(dir, "header.jpg", {0xFF, 0xD8, 0xFF, 0xE1, 0, 30, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                           0x12, 1, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0,
                           0xFF, 0xC0, 0, 11, 8, 0, 16, 0, 16, 1, 1, 0x22, 0, 0xFF, 0xD9});
  Save(dir, "header.bmp", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 4, 0, 4, 0, 1, 0, 24, 0});
  return 0;
}
