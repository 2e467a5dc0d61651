#include "platform/gdi/png_codec.h"

#include <png.h>

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
      image.height > 0x7FFFFFFF) {
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
  std::vector<std::uint8_t> rgb;
  const void* pixels = surface.data();
  png_int_32 stride = surface.width() * 4;
  if (keep_alpha) {
    image.format = PNG_FORMAT_BGRA;
  } else {
    image.format = PNG_FORMAT_BGR;
    rgb.resize(static_cast<std::size_t>(surface.width()) * surface.height() * 3);
    const std::uint32_t* p = surface.data();
    for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
      rgb[3 * i] = p[i] & 0xFF;
      rgb[3 * i + 1] = (p[i] >> 8) & 0xFF;
      rgb[3 * i + 2] = (p[i] >> 16) & 0xFF;
    }
    pixels = rgb.data();
    stride = surface.width() * 3;
  }
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
