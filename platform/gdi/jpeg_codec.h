// JPEG reading and writing through libjpeg (turbo). Decoding can scale down
// by 2, 4 or 8 inside the DCT, which makes thumbnails of large photos cheap.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"

namespace plat::gdi {

struct JpegDecodeOptions {
  int scale_denominator = 1;  // 1, 2, 4 or 8: output is ceil(size / denominator)
};

std::optional<Surface> DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions& options = {},
                                  std::string* error = nullptr);

// Size of the image as stored (before scaling), or nullopt.
std::optional<std::pair<int, int>> JpegDimensions(std::span<const std::uint8_t> data);

struct JpegEncodeOptions {
  int quality = 90;         // 1..100
  int density_unit = 1;     // 0 none (aspect only), 1 dots per inch, 2 dots per cm
  int x_density = 72;
  int y_density = 72;
};

std::vector<std::uint8_t> EncodeJpeg(const Surface& surface, const JpegEncodeOptions& options = {},
                                     std::string* error = nullptr);

}  // namespace plat::gdi
