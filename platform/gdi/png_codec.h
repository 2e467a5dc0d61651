// PNG reading and writing through libpng. Decoded pixels are BGRA with
// straight (not premultiplied) alpha.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"

namespace plat::gdi {

std::optional<Surface> DecodePng(std::span<const std::uint8_t> data, std::string* error = nullptr);
// An ancillary chunk to write: four-letter type and data.
struct PngChunk {
  std::string type;
  std::vector<std::uint8_t> data;
};

// With `keep_alpha` false the image is written as RGB. `chunks` go right
// after the header chunk, before the pixel data.
std::vector<std::uint8_t> EncodePng(const Surface& surface, bool keep_alpha = true, std::string* error = nullptr,
                                    const std::vector<PngChunk>& chunks = {});

}  // namespace plat::gdi
