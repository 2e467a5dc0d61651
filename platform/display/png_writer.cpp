#include "platform/display/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace plat::display {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

bool WriteRows(std::FILE* file, const Surface& surface) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(surface.height()));
  for (int y = 0; y < surface.height(); ++y)
    rows[static_cast<std::size_t>(y)] = reinterpret_cast<png_bytep>(const_cast<std::uint32_t*>(surface.row(y)));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.width()), static_cast<png_uint_32>(surface.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  // Our pixels are B, G, R, A in memory: swap to RGB and drop the fourth byte.
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const Surface& surface, const std::string& path) {
  if (surface.empty()) return false;
  const std::string temp = path + ".tmp";
  bool ok;
  {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temp.c_str(), "wb"));
    if (!file) return false;
    ok = WriteRows(file.get(), surface);
    ok = std::fflush(file.get()) == 0 && ok;
  }
  std::error_code ec;
  if (ok) std::filesystem::rename(temp, path, ec);
  if (!ok || ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace plat::display
