#include "platform/gdi/png_codec.h"

#include <png.h>

#include <algorithm>

namespace plat::gdi {

namespace {
std::nullopt_t Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return std::nullopt;
}
}  // namespace

std::optional<Surface> DecodePng(std::span<const std::uint8_t> data, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
    return Refuse(error, std::string("not a readable PNG: ") + image.message);
  if (image.width == 0 || image.height == 0 ||
      static_cast<std::int64_t>(image.width) * image.height > MaxSurfacePixels || image.width > 0x7FFFFFFF ||
      image.height > 0x7FFFFFFF ||
      // zlib expands at most about 1032:1 and a pixel takes at least a bit:
      // a header promising more pixels than the data could hold is refused
      // before the picture is allocated.
      static_cast<std::int64_t>(image.width) * image.height >
          std::max<std::int64_t>(std::int64_t{1} << 22, static_cast<std::int64_t>(data.size()) * 8 * 1040)) {
    png_image_free(&image);
    return Refuse(error, "PNG dimensions out of range");
  }
  image.format = PNG_FORMAT_BGRA;
  Surface out(static_cast<int>(image.width), static_cast<int>(image.height), 0u);
  if (!png_image_finish_read(&image, nullptr, out.data(), static_cast<png_int_32>(out.width() * 4), nullptr)) {
    const std::string message = image.message;
    png_image_free(&image);
    return Refuse(error, "PNG decoding failed: " + message);
  }
  return out;
}

std::vector<std::uint8_t> EncodePng(const Surface& surface, bool keep_alpha, std::string* error) {
  if (surface.empty()) {
    if (error) *error = "empty image";
    return {};
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(surface.width());
  image.height = static_cast<png_uint_32>(surface.height());
  // Rows handed over top-down, in the byte layout asked for.
  const int bytes_per_pixel = keep_alpha ? 4 : 3;
  image.format = keep_alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  const png_int_32 stride = surface.width() * bytes_per_pixel;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * surface.height());
  for (int y = 0; y < surface.height(); ++y) {
    const std::uint32_t* p = surface.row(y);
    std::uint8_t* out = rows.data() + static_cast<std::size_t>(stride) * y;
    for (int x = 0; x < surface.width(); ++x)
      for (int ch = 0; ch < bytes_per_pixel; ++ch) out[bytes_per_pixel * x + ch] = (p[x] >> (8 * ch)) & 0xFF;
  }
  const void* pixels = rows.data();
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, stride, nullptr)) {
    if (error) *error = image.message;
    return {};
  }
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels, stride, nullptr)) {
    if (error) *error = image.message;
    return {};
  }
  out.resize(size);
  return out;
}

}  // namespace plat::gdi
