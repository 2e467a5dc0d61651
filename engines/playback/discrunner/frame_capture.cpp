#include "engines/playback/discrunner/frame_capture.h"

#include <cstring>
#include <limits>

namespace discrunner {

namespace {
std::uint32_t Read32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void Write32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
constexpr std::uint32_t kBitFields = 3;
}  // namespace

std::size_t PackedDib24Size(std::uint32_t width, std::uint32_t height) {
  return 40 + ((std::size_t{width} * 3 + 3) & ~std::size_t{3}) * height;
}

std::vector<std::uint8_t> BmpFromPackedDib(std::span<const std::uint8_t> dib, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return std::vector<std::uint8_t>{};
  };
  if (dib.size() < 12) return fail("frame too short for a bitmap header");
  const std::uint32_t headerSize = Read32(dib.data());
  if (headerSize < 12 || headerSize > dib.size()) return fail("bitmap header size out of range");
  std::int64_t width = 0, height = 0;
  std::uint32_t bits = 0, compression = 0, imageSize = 0, usedColours = 0;
  if (headerSize == 12) {
    width = Read16(dib.data() + 4);
    height = Read16(dib.data() + 6);
    bits = Read16(dib.data() + 10);
  } else {
    if (headerSize < 40) return fail("bitmap header size out of range");
    width = static_cast<std::int32_t>(Read32(dib.data() + 4));
    height = static_cast<std::int32_t>(Read32(dib.data() + 8));
    bits = Read16(dib.data() + 14);
    compression = Read32(dib.data() + 16);
    imageSize = Read32(dib.data() + 20);
    usedColours = Read32(dib.data() + 32);
  }
  if (width <= 0 || height == 0 || bits == 0 || bits > 32) return fail("bitmap size out of range");
  if (height < 0) height = -height;

  std::uint64_t paletteEntries = usedColours;
  if (paletteEntries == 0 && bits <= 8) paletteEntries = std::uint64_t{1} << bits;
  if (bits != 1 && bits != 4 && bits != 8 && usedColours == 0) paletteEntries = 0;
  const std::uint64_t paletteSize = paletteEntries * (headerSize == 40 ? 4 : 3);
  const std::uint64_t masks = compression == kBitFields ? 12 : 0;

  std::uint64_t pixels = 0;
  if (compression == 1 || compression == 2) {
    pixels = imageSize;
  } else {
    pixels = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4 * static_cast<std::uint64_t>(height);
  }
  const std::uint64_t dibBytes = headerSize + paletteSize + masks + pixels;
  if (dibBytes > dib.size()) return fail("frame shorter than its bitmap header says");
  if (14 + dibBytes > std::numeric_limits<std::uint32_t>::max()) return fail("bitmap too large");

  std::vector<std::uint8_t> file(14 + dibBytes);
  file[0] = 'B';
  file[1] = 'M';
  Write32(&file[2], static_cast<std::uint32_t>(14 + headerSize + paletteSize + pixels));
  Write32(&file[10], static_cast<std::uint32_t>(14 + headerSize + paletteSize + masks));
  std::memcpy(&file[14], dib.data(), dibBytes);
  if (headerSize >= 40 && compression != 1 && compression != 2)
    Write32(&file[14 + 20], static_cast<std::uint32_t>(pixels));
  return file;
}

}  // namespace discrunner
