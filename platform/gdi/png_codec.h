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
// With `keep_alpha` false the image is written as RGB.
std::vector<std::uint8_t> EncodePng(const Surface& surface, bool keep_alpha = true, std::string* error = nullptr);

}  // namespace plat::gdi
