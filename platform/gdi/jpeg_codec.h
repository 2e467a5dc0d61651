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

// One marker segment to write after the JFIF header: `code` is the marker
// (0xE1 APP1, 0xE2 APP2, 0xED APP13, 0xFE COM), `data` its payload without
// the length bytes (at most 65533 bytes).
struct JpegMarker {
  int code = 0;
  std::vector<std::uint8_t> data;
};

struct JpegEncodeOptions {
  int quality = 90;         // 1..100
  int density_unit = 1;     // 0 none (aspect only), 1 dots per inch, 2 dots per cm
  int x_density = 72;
  int y_density = 72;
};

// What a re-saved picture keeps of its source.
struct JpegKeep {
  // Luminance sampling factors (1 or 2 each); 0 keeps the library's 2x2.
  int luma_h_sampling = 0;
  int luma_v_sampling = 0;
  std::vector<JpegMarker> markers;
};

std::vector<std::uint8_t> EncodeJpeg(const Surface& surface, const JpegEncodeOptions& options = {},
                                     std::string* error = nullptr, const JpegKeep& keep = {});

}  // namespace plat::gdi
