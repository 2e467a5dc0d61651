// GIF reading and writing through giflib. Only the first frame is read:
// palette indices become BGRA, the transparent index alpha 0, interlaced
// rows are put in order. Writing keeps a picture of few colours exact and
// quantises others to 256 (one index kept for transparency when the
// picture has transparent pixels).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"

namespace plat::gdi {

struct GifInfo {
  int width = 0;           // logical screen (or first frame when larger)
  int height = 0;
  int bits_per_pixel = 0;  // of the colour table used by the first frame
};

// Header information without decoding the pixels.
std::optional<GifInfo> ReadGifInfo(std::span<const std::uint8_t> data, std::string* error = nullptr);

// Decodes the first frame; comment extensions met on the way are appended to
// `comments` when given.
std::optional<Surface> DecodeGif(std::span<const std::uint8_t> data, std::string* error = nullptr,
                                 std::vector<std::string>* comments = nullptr);

// A GIF89a file of the surface with the given comment extensions; empty on
// failure.
std::vector<std::uint8_t> EncodeGif(const Surface& surface, const std::vector<std::string>& comments = {},
                                    std::string* error = nullptr);

}  // namespace plat::gdi
