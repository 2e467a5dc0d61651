#include "engines/picture/picture_core/picture_info.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "engines/picture/picture_core/exif_block.h"
#include "platform/gdi/gif_codec.h"
#include "platform/gdi/image_format.h"
#include "platform/gdi/surface.h"

namespace picture {

namespace {

std::nullopt_t Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return std::nullopt;
}

std::uint32_t Le16(std::span<const std::uint8_t> d, std::size_t at) { return d[at] | (d[at + 1] << 8); }
std::uint32_t Le32(std::span<const std::uint8_t> d, std::size_t at) { return Le16(d, at) | (Le16(d, at + 2) << 16); }
std::uint32_t Be16(std::span<const std::uint8_t> d, std::size_t at) { return (d[at] << 8) | d[at + 1]; }
std::uint32_t Be32(std::span<const std::uint8_t> d, std::size_t at) { return (Be16(d, at) << 16) | Be16(d, at + 2); }

bool SizeInRange(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= 0x7FFFFFFF && height <= 0x7FFFFFFF;
}

std::optional<PictureInfo> ProbeBmp(std::span<const std::uint8_t> d, std::string* error) {
  if (d.size() < 26) return Refuse(error, "truncated bitmap header");
  PictureInfo info;
  info.format = kFormatBmp;
  const std::uint32_t header = Le32(d, 14);
  std::int64_t width = 0, height = 0;
  if (header == 12) {
    width = Le16(d, 18);
    height = Le16(d, 20);
    info.bits_per_pixel = static_cast<int>(Le16(d, 24));
  } else {
    if (header < 40 || d.size() < 30) return Refuse(error, "truncated bitmap header");
    width = static_cast<std::int32_t>(Le32(d, 18));
    height = static_cast<std::int32_t>(Le32(d, 22));
    if (height < 0) height = -height;
    info.bits_per_pixel = static_cast<int>(Le16(d, 28));
  }
  if (!SizeInRange(width, height)) return Refuse(error, "bitmap dimensions out of range");
  info.width = static_cast<int>(width);
  info.height = static_cast<int>(height);
  return info;
}

std::optional<PictureInfo> ProbePng(std::span<const std::uint8_t> d, std::string* error) {
  if (d.size() < 33 || std::memcmp(d.data() + 12, "IHDR", 4) != 0) return Refuse(error, "truncated PNG header");
  PictureInfo info;
  info.format = kFormatPng;
  const std::int64_t width = Be32(d, 16), height = Be32(d, 20);
  if (!SizeInRange(width, height)) return Refuse(error, "PNG dimensions out of range");
  info.width = static_cast<int>(width);
  info.height = static_cast<int>(height);
  static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
  const int type = d[25];
  if (type > 6 || kChannels[type] == 0) return Refuse(error, "PNG colour type unknown");
  info.bits_per_pixel = d[24] * kChannels[type];
  return info;
}

bool IsStartOfFrame(int code) {
  return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

std::optional<PictureInfo> ProbeJpeg(std::span<const std::uint8_t> d, std::string* error) {
  const std::vector<JpegSegment> segments = ReadJpegSegments(d);
  PictureInfo info;
  info.format = kFormatJpeg;
  bool have_frame = false;
  for (const JpegSegment& s : segments) {
    const auto p = s.payload;
    if (IsStartOfFrame(s.code) && !have_frame) {
      if (p.size() < 6) return Refuse(error, "truncated JPEG frame header");
      const int components = p[5];
      if (components < 1 || p.size() < 6 + static_cast<std::size_t>(components) * 3)
        return Refuse(error, "truncated JPEG frame header");
      info.height = static_cast<int>(Be16(p, 1));
      info.width = static_cast<int>(Be16(p, 3));
      info.bits_per_pixel = p[0] * components;
      info.h_sampling = p[7] >> 4;
      info.v_sampling = p[7] & 0x0F;
      have_frame = true;
    } else if (s.code == 0xDB && info.jpeg_quality == 0) {
      // The first table with id 0 is the luminance table.
      std::size_t at = 0;
      while (at < p.size()) {
        const int precision = p[at] >> 4, id = p[at] & 0x0F;
        const std::size_t length = precision ? 128 : 64;
        if (at + 1 + length > p.size()) break;
        if (id == 0) {
          int table[64];
          for (int i = 0; i < 64; ++i)
            table[i] = precision ? static_cast<int>(Be16(p, at + 1 + 2 * i)) : p[at + 1 + i];
          info.jpeg_quality = EstimateJpegQuality(table);
          break;
        }
        at += 1 + length;
      }
    } else if (s.code == 0xE1 && p.size() > 6 && std::memcmp(p.data(), kExifPrefix, 6) == 0) {
      info.orientation = ReadExifOrientation(p.subspan(6));
    }
  }
  if (!have_frame) return Refuse(error, "JPEG without frame header");
  if (!SizeInRange(info.width, info.height)) return Refuse(error, "JPEG dimensions out of range");
  return info;
}

// The IJG standard luminance quantisation table.
constexpr int kStandardLuminance[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24,  40, 57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

}  // namespace

std::vector<JpegSegment> ReadJpegSegments(std::span<const std::uint8_t> d) {
  std::vector<JpegSegment> out;
  if (d.size() < 4 || d[0] != 0xFF || d[1] != 0xD8) return {};
  std::size_t at = 2;
  while (at + 1 < d.size()) {
    if (d[at] != 0xFF) return {};
    const int code = d[at + 1];
    if (code == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    at += 2;
    if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;
    if (code == 0xD9) break;
    if (at + 2 > d.size()) return {};
    const std::size_t length = Be16(d, at);
    if (length < 2 || at + length > d.size()) return {};
    out.push_back(JpegSegment{code, d.subspan(at + 2, length - 2)});
    at += length;
    if (code == 0xDA) break;
  }
  return out;
}

int EstimateJpegQuality(std::span<const int> table) {
  if (table.size() < 64) return 0;
  std::int64_t actual = 0;
  for (int i = 0; i < 64; ++i) actual += table[i];
  int best = 0;
  std::int64_t best_diff = -1;
  for (int q = 1; q <= 100; ++q) {
    const int scale = q < 50 ? 5000 / q : 200 - 2 * q;
    std::int64_t sum = 0;
    for (int v : kStandardLuminance) {
      int scaled = (v * scale + 50) / 100;
      sum += scaled < 1 ? 1 : (scaled > 255 ? 255 : scaled);
    }
    const std::int64_t diff = sum > actual ? sum - actual : actual - sum;
    if (best_diff < 0 || diff < best_diff) {
      best_diff = diff;
      best = q;
    }
  }
  return best;
}

std::optional<PictureInfo> ProbePicture(std::span<const std::uint8_t> data, std::string* error) {
  switch (plat::gdi::SniffImageFormat(data)) {
    case plat::gdi::ImageFormat::Bmp: return ProbeBmp(data, error);
    case plat::gdi::ImageFormat::Png: return ProbePng(data, error);
    case plat::gdi::ImageFormat::Jpeg: return ProbeJpeg(data, error);
    case plat::gdi::ImageFormat::Gif: {
      const auto gif = plat::gdi::ReadGifInfo(data, error);
      if (!gif) return std::nullopt;
      PictureInfo info;
      info.format = kFormatGif;
      info.width = gif->width;
      info.height = gif->height;
      info.bits_per_pixel = gif->bits_per_pixel;
      return info;
    }
    case plat::gdi::ImageFormat::Unknown: break;
  }
  return Refuse(error, "not a BMP, JPEG, PNG or GIF picture");
}

namespace {
// From this size on the buffer is mapped with all its pages at once, which
// spares a page fault per 4 KiB as the read fills it.
constexpr std::size_t kPopulatedFrom = 256 * 1024;
}  // namespace

PictureBytes::PictureBytes(std::size_t size) : bytes_(nullptr, Release{size}), size_(size) {
  if (size >= kPopulatedFrom) {
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    bytes_.reset(static_cast<std::uint8_t*>(mapped));
  } else if (size > 0) {
    bytes_.reset(new std::uint8_t[size]);
  }
}

void PictureBytes::Release::operator()(std::uint8_t* bytes) const {
  if (size >= kPopulatedFrom) ::munmap(bytes, size);
  else delete[] bytes;
}

std::optional<PictureBytes> ReadPictureFile(const std::string& path, std::string* error) {
  struct File {
    int fd;
    ~File() {
      if (fd >= 0) ::close(fd);
    }
  } const file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  const int fd = file.fd;
  if (fd < 0) return Refuse(error, "cannot open " + path);
  // Opened without waiting and checked before reading: only a regular file
  // is a picture; a named pipe or a device would block or never end.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return Refuse(error, "not a regular file: " + path);
  if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > plat::gdi::MaxImageFileBytes)
    return Refuse(error, "file too large: " + path);
  PictureBytes bytes(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Refuse(error, "cannot read " + path);  // an error, or the file shrank meanwhile
    done += static_cast<std::size_t>(n);
  }
  return bytes;
}

}  // namespace picture
