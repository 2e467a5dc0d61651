// Writing a captured frame: the library hands over a packed DIB (header,
// optional palette or bit-field masks, pixels); this turns it into a BMP file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace discrunner {

// The BMP file for a packed DIB: a 14-byte file header, then the DIB with the
// image size written into its header (taken as it stands for run-length
// compressed images). Empty when the DIB is malformed: too short for its own
// header, palette or pixels, or with sizes that overflow.
std::vector<std::uint8_t> BmpFromPackedDib(std::span<const std::uint8_t> dib, std::string* error = nullptr);

// Bytes a packed 24-bit DIB of width × height needs: the 40-byte header and
// rows padded to four bytes (stride × height).
std::size_t PackedDib24Size(std::uint32_t width, std::uint32_t height);

}  // namespace discrunner
