// The Windows bitmap file format: reading every common depth (1, 4, 8-bit
// palettes, RLE4/RLE8, 16-bit 555/565 and bit fields, 24, 32; bottom-up and
// top-down; core and extended headers) and writing 24 or 32 bits.
//
// Sizes from headers are checked against MaxSurfacePixels and the data
// actually present before anything is allocated; bad input yields nullopt
// with a reason, never a crash.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

namespace plat::gdi {

std::optional<Surface> DecodeBmp(std::span<const std::uint8_t> file, std::string* error = nullptr);

// The width and height a bitmap file declares, checked as DecodeBmp checks
// them; nullopt for a bad header.
std::optional<SIZE> BmpFileSize(std::span<const std::uint8_t> file);

// The rows of an uncompressed bitmap file, decoded one at a time, for
// drawers that need only some of them. The file's bytes must outlive it.
class BmpRowReader {
 public:
  // Nullopt for a bad file and for run-length data, which is decoded whole.
  static std::optional<BmpRowReader> Open(std::span<const std::uint8_t> file, std::string* error = nullptr);
  ~BmpRowReader();
  BmpRowReader(BmpRowReader&&) noexcept;
  BmpRowReader& operator=(BmpRowReader&&) noexcept;

  int width() const;
  int height() const;
  // Row y counted from the top (0 <= y < height) into `out` (width pixels),
  // exactly as DecodeBmp gives it.
  void ReadRow(int y, std::uint32_t* out) const;

 private:
  struct Impl;
  explicit BmpRowReader(std::unique_ptr<const Impl> impl);
  std::unique_ptr<const Impl> impl_;
};

// Decodes a packed DIB as passed to CreateDIBitmap: `info` holds the header
// followed by masks and palette, `bits` the pixel rows. Compressed data needs
// biSizeImage.
std::optional<Surface> DecodeDib(const BITMAPINFO& info, const void* bits, std::string* error = nullptr);

// A complete bitmap file, bottom-up, bits_per_pixel 24 or 32 (32 keeps the
// alpha byte). Empty for an empty surface or another depth.
std::vector<std::uint8_t> EncodeBmp(const Surface& surface, int bits_per_pixel = 24);

}  // namespace plat::gdi
