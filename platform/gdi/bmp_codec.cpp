#include "platform/gdi/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace plat::gdi {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

bool Fail(std::string* error, const char* reason) {
  if (error) *error = reason;
  return false;
}

std::nullopt_t Refuse(std::string* error, const char* reason) {
  Fail(error, reason);
  return std::nullopt;
}

struct Format {
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive
  bool top_down = false;
  int bpp = 0;
  std::uint32_t compression = BI_RGB;
  std::uint32_t size_image = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::vector<std::uint32_t> palette;      // BGRA, opaque
  std::size_t header_bytes = 0;            // header + masks + palette
};

// One channel of a bit-field pixel scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    bits = std::popcount(m >> shift);
    if (bits > 16) { shift += bits - 16; bits = 16; }  // keep the top bits only
  }
  std::uint32_t operator()(std::uint32_t px) const {
    if (!mask) return 0;
    const std::uint32_t v = ((px & mask) >> shift) & ((1u << bits) - 1);
    if (bits >= 8) return v >> (bits - 8);
    return (v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1);
  }
};

// Parses the info header, masks and palette at `data` (the bytes after the
// file header, or a BITMAPINFO in memory).
bool ParseInfo(std::span<const std::uint8_t> data, Format& f, std::string* error) {
  if (data.size() < 4) return Fail(error, "truncated header");
  const std::uint32_t size = U32(data.data());
  const std::uint8_t* h = data.data();
  if (size == 12) {
    if (data.size() < 12) return Fail(error, "truncated header");
    f.width = U16(h + 4);
    f.height = static_cast<std::int16_t>(U16(h + 6));
    if (U16(h + 8) != 1) return Fail(error, "bad plane count");
    f.bpp = U16(h + 10);
  } else if (size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124) {
    if (data.size() < size) return Fail(error, "truncated header");
    f.width = S32(h + 4);
    f.height = S32(h + 8);
    if (U16(h + 12) != 1) return Fail(error, "bad plane count");
    f.bpp = U16(h + 14);
    f.compression = U32(h + 16);
    f.size_image = U32(h + 20);
    if (size >= 52) {
      for (int i = 0; i < 3; ++i) f.masks[i] = U32(h + 40 + 4 * i);
      if (size >= 56) f.masks[3] = U32(h + 52);
    }
  } else {
    return Fail(error, "unknown header size");
  }
  if (f.height < 0) {
    f.top_down = true;
    f.height = -f.height;
  }
  if (f.width <= 0 || f.height <= 0) return Fail(error, "bad dimensions");
  if (f.width * f.height > MaxSurfacePixels) return Fail(error, "image too large");

  std::size_t pos = size;
  switch (f.compression) {
    case BI_RGB:
      if (f.bpp != 1 && f.bpp != 4 && f.bpp != 8 && f.bpp != 16 && f.bpp != 24 && f.bpp != 32)
        return Fail(error, "unsupported depth");
      break;
    case BI_RLE8:
      if (f.bpp != 8 || f.top_down) return Fail(error, "bad RLE8 header");
      break;
    case BI_RLE4:
      if (f.bpp != 4 || f.top_down) return Fail(error, "bad RLE4 header");
      break;
    case BI_BITFIELDS:
      if (f.bpp != 16 && f.bpp != 32) return Fail(error, "bad bit-field depth");
      if (size == 40) {
        if (data.size() < pos + 12) return Fail(error, "truncated masks");
        for (int i = 0; i < 3; ++i) f.masks[i] = U32(h + pos + 4 * i);
        pos += 12;
      }
      if (!f.masks[0] && !f.masks[1] && !f.masks[2]) return Fail(error, "empty masks");
      break;
    default: return Fail(error, "unsupported compression");
  }
  if (f.compression == BI_RGB) {
    // Defaults for the uncompressed high-colour depths; stray masks in a
    // larger header do not apply to BI_RGB.
    if (f.bpp == 16) { f.masks[0] = 0x7C00; f.masks[1] = 0x03E0; f.masks[2] = 0x001F; f.masks[3] = 0; }
    if (f.bpp == 32) { f.masks[0] = 0xFF0000; f.masks[1] = 0xFF00; f.masks[2] = 0xFF; f.masks[3] = 0; }
  }

  if (f.bpp <= 8) {
    const std::uint32_t max_colors = 1u << f.bpp;
    std::uint32_t colors = size == 12 ? max_colors : U32(h + 32);
    if (colors == 0 || colors > max_colors) colors = max_colors;
    const std::size_t entry = size == 12 ? 3 : 4;
    // A short palette is accepted as far as it goes (missing entries black).
    const std::size_t avail = data.size() > pos ? (data.size() - pos) / entry : 0;
    const std::size_t n = std::min<std::size_t>(colors, avail);
    f.palette.assign(max_colors, 0xFF000000u);
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint8_t* e = h + pos + i * entry;
      f.palette[i] = 0xFF000000u | e[0] | (e[1] << 8) | (static_cast<std::uint32_t>(e[2]) << 16);
    }
    pos += colors * entry;
  }
  f.header_bytes = pos;
  return true;
}

std::uint64_t Stride(const Format& f) { return ((static_cast<std::uint64_t>(f.width) * f.bpp + 31) / 32) * 4; }

int RowOf(const Format& f, std::int64_t stored_row) {
  return static_cast<int>(f.top_down ? stored_row : f.height - 1 - stored_row);
}

// One stored row of uncompressed pixels into `o` (width pixels).
void DecodeRow(const Format& f, const std::uint8_t* row, std::uint32_t* o) {
  const Channel r(f.masks[0]), g(f.masks[1]), b(f.masks[2]), a(f.masks[3]);
  const int w = static_cast<int>(f.width);
  switch (f.bpp) {
    case 1:
    case 4:
    case 8: {
      const int per_byte = 8 / f.bpp;
      const unsigned mask = (1u << f.bpp) - 1;
      for (int x = 0; x < w; ++x) {
        const unsigned shift = static_cast<unsigned>(8 - f.bpp * (x % per_byte + 1));
        o[x] = f.palette[(row[x / per_byte] >> shift) & mask];
      }
      break;
    }
    case 24: {
      int x = 0;
      if constexpr (std::endian::native == std::endian::little) {
        // Four bytes at a time, the fourth (the next pixel's) replaced by
        // the alpha: the skin's full-screen pictures are drawn from their
        // files at every redraw. The last pixel has no fourth byte to read.
        for (; x + 1 < w; ++x) {
          std::uint32_t v;
          std::memcpy(&v, row + 3 * x, 4);
          o[x] = v | 0xFF000000u;
        }
      }
      for (; x < w; ++x)
        o[x] = 0xFF000000u | row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<std::uint32_t>(row[3 * x + 2]) << 16);
      break;
    }
    case 16:
    case 32:
      for (int x = 0; x < w; ++x) {
        const std::uint32_t v = f.bpp == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
        const std::uint32_t alpha = f.masks[3] ? a(v) : 0xFF;
        o[x] = b(v) | (g(v) << 8) | (r(v) << 16) | (alpha << 24);
      }
      break;
  }
}

bool DecodeUncompressed(const Format& f, std::span<const std::uint8_t> px, Surface& out, std::string* error) {
  const std::uint64_t stride = Stride(f);
  const std::uint64_t last_row = (static_cast<std::uint64_t>(f.width) * f.bpp + 7) / 8;
  // The last row's padding may be missing, as some writers leave it out.
  if (px.size() < stride * (f.height - 1) + last_row) return Fail(error, "truncated pixel data");
  for (std::int64_t i = 0; i < f.height; ++i) DecodeRow(f, px.data() + stride * i, out.row(RowOf(f, i)));
  return true;
}

// Run-length data: pixels not reached stay opaque black.
bool DecodeRle(const Format& f, std::span<const std::uint8_t> px, Surface& out, std::string* error) {
  const bool four = f.compression == BI_RLE4;
  std::int64_t x = 0, row = 0;
  std::size_t i = 0;
  auto put = [&](unsigned index) {
    if (x < f.width && row < f.height) out.row(RowOf(f, row))[x] = f.palette[index & (four ? 0xF : 0xFF)];
    ++x;
  };
  while (true) {
    if (i + 2 > px.size()) return Fail(error, "truncated RLE data");
    const unsigned count = px[i], value = px[i + 1];
    i += 2;
    if (count > 0) {
      for (unsigned k = 0; k < count; ++k) put(four ? ((k % 2) ? value & 0xF : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      if (++row >= f.height) return true;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta
      if (i + 2 > px.size()) return Fail(error, "truncated RLE delta");
      x += px[i];
      row += px[i + 1];
      i += 2;
      if (row >= f.height) return true;
    } else {  // absolute run, padded to 16 bits
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      if (i + bytes > px.size()) return Fail(error, "truncated RLE run");
      for (unsigned k = 0; k < value; ++k) {
        const std::uint8_t byte = px[i + (four ? k / 2 : k)];
        put(four ? ((k % 2) ? byte & 0xF : byte >> 4) : byte);
      }
      i += bytes + (bytes & 1);
    }
  }
}

std::optional<Surface> DecodePixels(const Format& f, std::span<const std::uint8_t> px, std::string* error) {
  // Check the data holds the rows before allocating for them.
  if (f.compression == BI_RLE4 || f.compression == BI_RLE8) {
    if (px.size() < 2) return Refuse(error, "truncated RLE data");
    // Run-length data can describe a large blank picture in a few bytes;
    // a picture far beyond what its data could plausibly hold is refused
    // rather than allocated.
    if (f.width * f.height > std::max<std::int64_t>(std::int64_t{1} << 22, static_cast<std::int64_t>(px.size()) * 4096))
      return Refuse(error, "RLE picture too large for its data");
  } else if (px.size() < Stride(f) * (f.height - 1)) {
    return Refuse(error, "truncated pixel data");
  }
  Surface out(static_cast<int>(f.width), static_cast<int>(f.height));
  const bool ok = (f.compression == BI_RLE4 || f.compression == BI_RLE8) ? DecodeRle(f, px, out, error)
                                                                          : DecodeUncompressed(f, px, out, error);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace

namespace {

// The header of a bitmap file and its pixel data.
bool ParseFile(std::span<const std::uint8_t> file, Format& f, std::span<const std::uint8_t>& px, std::string* error) {
  if (file.size() < kFileHeaderSize + 12 || file[0] != 'B' || file[1] != 'M') return Fail(error, "not a bitmap file");
  if (!ParseInfo(file.subspan(kFileHeaderSize), f, error)) return false;
  std::uint64_t offset = U32(file.data() + 10);
  // Writers that leave the offset at zero mean "right after the palette".
  if (offset == 0) offset = kFileHeaderSize + f.header_bytes;
  if (offset > file.size()) return Fail(error, "pixel data offset beyond the file");
  px = file.subspan(offset);
  return true;
}

}  // namespace

std::optional<Surface> DecodeBmp(std::span<const std::uint8_t> file, std::string* error) {
  Format f;
  std::span<const std::uint8_t> px;
  if (!ParseFile(file, f, px, error)) return std::nullopt;
  return DecodePixels(f, px, error);
}

std::optional<SIZE> BmpFileSize(std::span<const std::uint8_t> file) {
  Format f;
  std::span<const std::uint8_t> px;
  if (!ParseFile(file, f, px, nullptr)) return std::nullopt;
  return SIZE{static_cast<LONG>(f.width), static_cast<LONG>(f.height)};
}

struct BmpRowReader::Impl {
  Format f;
  std::span<const std::uint8_t> px;
  std::uint64_t stride = 0;
};

BmpRowReader::BmpRowReader(std::unique_ptr<const Impl> impl) : impl_(std::move(impl)) {}
BmpRowReader::~BmpRowReader() = default;
BmpRowReader::BmpRowReader(BmpRowReader&&) noexcept = default;
BmpRowReader& BmpRowReader::operator=(BmpRowReader&&) noexcept = default;

std::optional<BmpRowReader> BmpRowReader::Open(std::span<const std::uint8_t> file, std::string* error) {
  auto impl = std::make_unique<Impl>();
  if (!ParseFile(file, impl->f, impl->px, error)) return std::nullopt;
  const Format& f = impl->f;
  if (f.compression == BI_RLE4 || f.compression == BI_RLE8) return Refuse(error, "run-length data is decoded whole");
  impl->stride = Stride(f);
  const std::uint64_t last_row = (static_cast<std::uint64_t>(f.width) * f.bpp + 7) / 8;
  if (impl->px.size() < impl->stride * (f.height - 1) + last_row) return Refuse(error, "truncated pixel data");
  return BmpRowReader(std::move(impl));
}

int BmpRowReader::width() const { return static_cast<int>(impl_->f.width); }
int BmpRowReader::height() const { return static_cast<int>(impl_->f.height); }

void BmpRowReader::ReadRow(int y, std::uint32_t* out) const {
  const Format& f = impl_->f;
  if (y < 0 || y >= f.height) return;
  // Picture row y (from the top) is stored row RowOf(y): the mapping is its own inverse.
  DecodeRow(f, impl_->px.data() + impl_->stride * static_cast<std::uint64_t>(RowOf(f, y)), out);
}

std::optional<Surface> DecodeDib(const BITMAPINFO& info, const void* bits, std::string* error) {
  if (!bits) return Refuse(error, "no pixel data");
  // The header declares its own size; masks and palette follow it.
  const auto* base = reinterpret_cast<const std::uint8_t*>(&info);
  const std::uint32_t header_size = info.bmiHeader.biSize;
  int bpp = 0;
  std::uint32_t compression = BI_RGB, colors = 0;
  if (header_size == 12) {
    bpp = U16(base + 10);
  } else if (header_size >= 40 && header_size <= 124) {
    bpp = info.bmiHeader.biBitCount;
    compression = info.bmiHeader.biCompression;
    colors = info.bmiHeader.biClrUsed;
  } else {
    return Refuse(error, "unknown header size");
  }
  std::size_t extra = 0;
  if (compression == BI_BITFIELDS && header_size == 40) extra += 12;
  if (bpp >= 1 && bpp <= 8) {
    if (colors == 0 || colors > (1u << bpp)) colors = 1u << bpp;
    extra += colors * (header_size == 12 ? 3 : 4);
  }
  Format f;
  if (!ParseInfo(std::span(base, header_size + extra), f, error)) return std::nullopt;
  std::uint64_t bytes = 0;
  if (f.compression == BI_RLE4 || f.compression == BI_RLE8) {
    bytes = f.size_image;
    if (!bytes) return Refuse(error, "compressed data without size");
  } else {
    bytes = Stride(f) * f.height;
  }
  return DecodePixels(f, std::span(static_cast<const std::uint8_t*>(bits), bytes), error);
}

std::vector<std::uint8_t> EncodeBmp(const Surface& s, int bits_per_pixel) {
  if (s.empty() || (bits_per_pixel != 24 && bits_per_pixel != 32)) return {};
  const std::uint64_t stride = ((static_cast<std::uint64_t>(s.width()) * bits_per_pixel + 31) / 32) * 4;
  const std::uint64_t image = stride * s.height();
  const std::uint64_t total = kFileHeaderSize + 40 + image;
  if (total > 0xFFFFFFFFull) return {};
  std::vector<std::uint8_t> out(total, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) { out[at] = v & 0xFF; out[at + 1] = (v >> 8) & 0xFF; };
  auto put32 = [&](std::size_t at, std::uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(total));
  put32(10, kFileHeaderSize + 40);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(s.width()));
  put32(22, static_cast<std::uint32_t>(s.height()));
  put16(26, 1);
  put16(28, static_cast<std::uint32_t>(bits_per_pixel));
  put32(30, BI_RGB);
  put32(34, static_cast<std::uint32_t>(image));
  put32(38, 2835);  // 72 dpi
  put32(42, 2835);
  for (int y = 0; y < s.height(); ++y) {
    std::uint8_t* row = out.data() + kFileHeaderSize + 40 + stride * (s.height() - 1 - y);
    const std::uint32_t* src = s.row(y);
    for (int x = 0; x < s.width(); ++x) {
      if (bits_per_pixel == 32) {
        std::memcpy(row + 4 * x, &src[x], 4);
      } else {
        row[3 * x] = src[x] & 0xFF;
        row[3 * x + 1] = (src[x] >> 8) & 0xFF;
        row[3 * x + 2] = (src[x] >> 16) & 0xFF;
      }
    }
  }
  return out;
}

}  // namespace plat::gdi
