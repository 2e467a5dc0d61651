#include "platform/gdi/image_format.h"

#include <cstring>

namespace plat::gdi {

ImageFormat SniffImageFormat(std::span<const std::uint8_t> d) {
  if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') return ImageFormat::Bmp;
  if (d.size() >= 8 && std::memcmp(d.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return ImageFormat::Png;
  if (d.size() >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return ImageFormat::Jpeg;
  if (d.size() >= 6 && (std::memcmp(d.data(), "GIF87a", 6) == 0 || std::memcmp(d.data(), "GIF89a", 6) == 0))
    return ImageFormat::Gif;
  return ImageFormat::Unknown;
}

}  // namespace plat::gdi
