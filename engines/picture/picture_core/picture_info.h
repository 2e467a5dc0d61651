// What a picture file is, read from its header without decoding the pixels:
// the format (by content, never by name), size, depth, JPEG sampling and
// quality, and the Exif orientation.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace picture {

// Format codes as the picture component exchanges them.
inline constexpr int kFormatGif = 2;
inline constexpr int kFormatBmp = 6;
inline constexpr int kFormatPng = 75;
inline constexpr int kFormatJpeg = 98;

struct PictureInfo {
  int format = 0;
  int width = 0;           // as stored, before the orientation is applied
  int height = 0;
  int bits_per_pixel = 0;
  int h_sampling = 0;      // JPEG luminance sampling factors, 0 for others
  int v_sampling = 0;
  int jpeg_quality = 0;    // estimated from the luminance table, 0 when unknown
  int orientation = 1;     // Exif orientation 1..8
};

std::optional<PictureInfo> ProbePicture(std::span<const std::uint8_t> data, std::string* error = nullptr);

// The whole file, refused when missing, unreadable or larger than the image
// file limit.
std::optional<std::vector<std::uint8_t>> ReadPictureFile(const std::string& path, std::string* error = nullptr);

// One marker segment of a JPEG file before the scan.
struct JpegSegment {
  int code = 0;                      // 0xC0.., 0xDB, 0xE0.., 0xFE
  std::span<const std::uint8_t> payload;  // without the length bytes
};
// The segments up to the first scan; empty when the data is not a JPEG
// file or a segment runs past the end.
std::vector<JpegSegment> ReadJpegSegments(std::span<const std::uint8_t> data);

// IJG quality 1..100 whose scaled standard luminance table is closest to
// the given 64 quantisation values; 0 for an empty table.
int EstimateJpegQuality(std::span<const int> table);

}  // namespace picture
