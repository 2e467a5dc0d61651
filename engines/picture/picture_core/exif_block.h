// The Exif block (TIFF structure, without the "Exif\0\0" prefix): reading the
// orientation and editing it in place, so every other tag stays as stored.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace picture {

inline constexpr std::uint8_t kExifPrefix[6] = {'E', 'x', 'i', 'f', 0, 0};

// The orientation tag 1..8, or 1 when absent or invalid.
int ReadExifOrientation(std::span<const std::uint8_t> tiff);

// Sets the orientation tag to 1 when present; with `drop_thumbnail` the
// link to the thumbnail directory is cut so no stale thumbnail stays.
// False when the block is not a readable TIFF structure.
bool NormaliseExif(std::span<std::uint8_t> tiff, bool drop_thumbnail);

}  // namespace picture
