// What a picture file is, read from its header without decoding the pixels:
// the format (by content, never by name), size, depth, JPEG sampling and
// quality, and the Exif orientation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
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

// A picture file's bytes, held whole. The buffer is not zero-filled before
// the read fills it, and a large one gets its pages in one call: for a photo
// of several megabytes a fill touching each fresh page costs as much as
// decoding its thumbnail. The file is read, not mapped, so another program
// cutting it short meanwhile cannot crash the reader.
class PictureBytes {
 public:
  PictureBytes() = default;
  explicit PictureBytes(std::size_t size);
  PictureBytes(PictureBytes&& other) noexcept
      : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0)) {}
  PictureBytes& operator=(PictureBytes&& other) noexcept {
    bytes_ = std::move(other.bytes_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  const std::uint8_t* data() const { return bytes_.get(); }
  std::uint8_t* data() { return bytes_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const std::uint8_t* begin() const { return data(); }
  const std::uint8_t* end() const { return data() + size_; }
  operator std::span<const std::uint8_t>() const { return {data(), size_}; }

 private:
  struct Release {
    std::size_t size = 0;
    void operator()(std::uint8_t* bytes) const;
  };
  std::unique_ptr<std::uint8_t, Release> bytes_{nullptr, Release{}};
  std::size_t size_ = 0;
};

// The whole file, refused when missing, unreadable or larger than the image
// file limit.
std::optional<PictureBytes> ReadPictureFile(const std::string& path, std::string* error = nullptr);

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
