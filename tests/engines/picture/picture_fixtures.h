// The generated pictures of make_picture_fixtures.sh (built once, cached by
// the script's hash) and helpers to look at decoded quadrants.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include <libexif/exif-data.h>

#include "engines/picture/picture_core/exif_block.h"
#include "engines/picture/picture_core/picture_metadata.h"
#include "platform/gdi/surface.h"

namespace picture_test {

inline const std::string& FixtureDir() {
  static const std::string dir = [] {
    const std::string command = std::string(PICTURE_FIXTURE_SCRIPT) + " " + PICTURE_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return std::string();
    return std::string(PICTURE_FIXTURE_DIR);
  }();
  return dir;
}

inline std::string Fixture(const std::string& name) { return FixtureDir() + "/" + name; }

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh scratch folder per test.
inline std::string ScratchDir(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("marivel_picture_" + name + "_" +
                                                                              std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

struct Rgb {
  int r, g, b;
};
inline Rgb At(const plat::Surface& s, int x, int y) {
  const std::uint32_t p = s.pixel(x, y);
  return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}

// The quadrant colour names at the four quarter points: 'R', 'G', 'B', 'W',
// or '?' when the colour is none of them (compression leaves some error).
inline char Name(Rgb c) {
  auto hi = [](int v) { return v > 160; };
  auto lo = [](int v) { return v < 90; };
  if (hi(c.r) && lo(c.g) && lo(c.b)) return 'R';
  if (lo(c.r) && hi(c.g) && lo(c.b)) return 'G';
  if (lo(c.r) && lo(c.g) && hi(c.b)) return 'B';
  if (hi(c.r) && hi(c.g) && hi(c.b)) return 'W';
  return '?';
}

// Top-left, top-right, bottom-left, bottom-right.
inline std::string Quadrants(const plat::Surface& s) {
  const int x0 = s.width() / 4, x1 = 3 * s.width() / 4, y0 = s.height() / 4, y1 = 3 * s.height() / 4;
  return {Name(At(s, x0, y0)), Name(At(s, x1, y0)), Name(At(s, x0, y1)), Name(At(s, x1, y1))};
}

// One Exif tag as text, read by the Exif library from a TIFF block.
inline std::string ExifText(const std::vector<std::uint8_t>& tiff, ExifTag tag) {
  std::vector<std::uint8_t> block(std::begin(picture::kExifPrefix), std::end(picture::kExifPrefix));
  block.insert(block.end(), tiff.begin(), tiff.end());
  ExifData* data = exif_data_new_from_data(block.data(), static_cast<unsigned>(block.size()));
  if (!data) return {};
  char text[256] = {};
  ExifEntry* entry = exif_data_get_entry(data, tag);
  if (entry) exif_entry_get_value(entry, text, sizeof text);
  exif_data_unref(data);
  return text;
}

inline std::string ExifTextOfFile(const std::string& path, ExifTag tag) {
  return ExifText(picture::ReadJpegMetadata(ReadBytes(path)).exif, tag);
}

}  // namespace picture_test
