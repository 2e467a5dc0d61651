// Which image format a file holds, told by its first bytes, never by its
// name; and the size limit for image files read whole.
#pragma once

#include <cstdint>
#include <span>

namespace plat::gdi {

enum class ImageFormat { Unknown, Bmp, Png, Jpeg, Gif };
ImageFormat SniffImageFormat(std::span<const std::uint8_t> data);

// Largest image file read (bytes); bigger files are refused unread.
inline constexpr std::uint64_t MaxImageFileBytes = std::uint64_t{1} << 30;

}  // namespace plat::gdi
