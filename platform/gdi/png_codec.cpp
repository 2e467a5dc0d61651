#include "platform/gdi/png_codec.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>

namespace plat::gdi {

namespace {
std::nullopt_t Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return std::nullopt;
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Splices the chunks in after IHDR (signature 8 bytes, IHDR 25 bytes).
void InsertChunks(std::vector<std::uint8_t>& png, const std::vector<PngChunk>& chunks) {
  constexpr std::size_t kAfterHeader = 8 + 25;
  if (png.size() < kAfterHeader) return;
  std::vector<std::uint8_t> extra;
  for (const PngChunk& chunk : chunks) {
    if (chunk.type.size() != 4 || chunk.data.size() > 0x7FFFFFFFu) continue;
    Put32(extra, static_cast<std::uint32_t>(chunk.data.size()));
    const std::size_t crc_start = extra.size();
    extra.insert(extra.end(), chunk.type.begin(), chunk.type.end());
    extra.insert(extra.end(), chunk.data.begin(), chunk.data.end());
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), extra.data() + crc_start,
                            static_cast<uInt>(extra.size() - crc_start));
    Put32(extra, static_cast<std::uint32_t>(crc));
  }
  png.insert(png.begin() + kAfterHeader, extra.begin(), extra.end());
}

}  // namespace

std::optional<Surface> DecodePng(std::span<const std::uint8_t> data, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
    return Refuse(error, std::string("not a readable PNG: ") + image.message);
  if (image.width == 0 || image.height == 0 ||
      static_cast<std::int64_t>(image.width) * image.height > MaxSurfacePixels || image.width > 0x7FFFFFFF ||
      image.height > 0x7FFFFFFF ||
      // zlib expands at most about 1032:1 and a pixel takes at least a bit:
      // a header promising more pixels than the data could hold is refused
      // before the picture is allocated.
      static_cast<std::int64_t>(image.width) * image.height >
          std::max<std::int64_t>(std::int64_t{1} << 22, static_cast<std::int64_t>(data.size()) * 8 * 1040)) {
    png_image_free(&image);
    return Refuse(error, "PNG dimensions out of range");
  }
  image.format = PNG_FORMAT_BGRA;
  Surface out(static_cast<int>(image.width), static_cast<int>(image.height), 0u);
  if (!png_image_finish_read(&image, nullptr, out.data(), static_cast<png_int_32>(out.width() * 4), nullptr)) {
    const std::string message = image.message;
    png_image_free(&image);
    return Refuse(error, "PNG decoding failed: " + message);
  }
  return out;
}

std::vector<std::uint8_t> EncodePng(const Surface& surface, bool keep_alpha, std::string* error,
                                    const std::vector<PngChunk>& chunks) {
  if (surface.empty()) {
    if (error) *error = "empty image";
    return {};
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(surface.width());
  image.height = static_cast<png_uint_32>(surface.height());
  // Rows handed over top-down, in the byte layout asked for.
  const int bytes_per_pixel = keep_alpha ? 4 : 3;
  image.format = keep_alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  // A kept colour profile replaces the sRGB chunk the writer would add.
  for (const PngChunk& chunk : chunks)
    if (chunk.type == "iCCP") image.flags |= PNG_IMAGE_FLAG_COLORSPACE_NOT_sRGB;
  const png_int_32 stride = surface.width() * bytes_per_pixel;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * surface.height());
  for (int y = 0; y < surface.height(); ++y) {
    const std::uint32_t* p = surface.row(y);
    std::uint8_t* out = rows.data() + static_cast<std::size_t>(stride) * y;
    for (int x = 0; x < surface.width(); ++x)
      for (int ch = 0; ch < bytes_per_pixel; ++ch) out[bytes_per_pixel * x + ch] = (p[x] >> (8 * ch)) & 0xFF;
  }
  const void* pixels = rows.data();
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, stride, nullptr)) {
    if (error) *error = image.message;
    return {};
  }
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels, stride, nullptr)) {
    if (error) *error = image.message;
    return {};
  }
  out.resize(size);
  if (!chunks.empty()) InsertChunks(out, chunks);
  return out;
}

}  // namespace plat::gdi
