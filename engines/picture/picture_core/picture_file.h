// Reading a picture file into an upright BGRA surface with what is needed to
// write it back (format, depth, sampling, quality, metadata), and encoding a
// surface in one of the four formats.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engines/picture/picture_core/picture_info.h"
#include "engines/picture/picture_core/picture_metadata.h"
#include "platform/gdi/surface.h"

namespace picture {

struct Picture {
  plat::Surface pixels;  // upright: the Exif orientation is applied
  PictureInfo info;      // as the file stores it
  PictureMetadata metadata;
};

struct LoadOptions {
  // When set, a JPEG is decoded at the smallest DCT scale that still gives
  // at least this upright size; other formats load at full size.
  int min_width = 0;
  int min_height = 0;
  bool metadata = true;
};

std::optional<Picture> DecodePicture(std::span<const std::uint8_t> data, const LoadOptions& options = {},
                                     std::string* error = nullptr);
std::optional<Picture> LoadPictureFile(const std::string& path, const LoadOptions& options = {},
                                       std::string* error = nullptr);

// The DCT scale denominator (1, 2, 4, 8) for a stored size and a wanted one.
int JpegScaleFor(int stored_width, int stored_height, int min_width, int min_height);

struct SaveOptions {
  int format = kFormatJpeg;
  int jpeg_quality = 90;
  int h_sampling = 0;  // JPEG luminance sampling, 0 for the default
  int v_sampling = 0;
  int x_dpi = 96;
  int y_dpi = 96;
  int bmp_bits = 24;     // 24 or 32
  bool keep_alpha = false;  // PNG RGBA instead of RGB
  const PictureMetadata* metadata = nullptr;
};

// The encoded file, or empty with the reason in `error`.
std::vector<std::uint8_t> EncodePicture(const plat::Surface& pixels, const SaveOptions& options,
                                        std::string* error = nullptr);

}  // namespace picture
