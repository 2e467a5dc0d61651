// Drawing a bitmap file scaled into a device context without decoding the
// whole picture first.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/gdi/gdi_types.h"

namespace plat::gdi {

// Draws the bitmap file into the rectangle of `dc` (logical coordinates)
// scaled with nearest pixels: the pixels StretchBlt in COLORONCOLOR mode with
// SRCCOPY draws from the decoded picture, without ever making a picture of
// the file's size (only the rows shown are decoded, one at a time). False,
// with nothing drawn, for a bad file and for run-length data, which is
// decoded whole.
bool StretchBmpFile(HDC dc, int x, int y, int width, int height, std::span<const std::uint8_t> file,
                    std::string* error = nullptr);

}  // namespace plat::gdi
