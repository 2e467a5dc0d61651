#include "engines/rip/mpeg_sniff.h"

#include <array>
#include <cstring>
#include <fstream>
#include <vector>

namespace rip {
namespace {

constexpr std::uint8_t kSync[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr int kVcdScanSectors = 500;
constexpr int kStartCodeScanBytes = 2048;

// Bytes 0-5 and 9-11 of an MPEG-1 pack header on a Video CD: the pack start
// code, the start of the clock reference and a mux rate of 3528 (x 50 B/s).
bool HasVcdPackSignature(const std::uint8_t* b) {
  static constexpr std::uint8_t kHead[6] = {0x00, 0x00, 0x01, 0xBA, 0x21, 0x00};
  static constexpr std::uint8_t kMux[3] = {0x80, 0x1B, 0x91};
  return std::memcmp(b, kHead, 6) == 0 && std::memcmp(b + 9, kMux, 3) == 0;
}

// Reads up to `count` bytes at `offset`; the number actually read.
std::size_t ReadAt(std::ifstream& in, std::uint64_t offset, void* out, std::size_t count) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  if (!in) return 0;
  in.read(static_cast<char*>(out), static_cast<std::streamsize>(count));
  return static_cast<std::size_t>(in.gcount());
}

std::uint32_t Le32(const std::uint8_t* b) {
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

}  // namespace

bool IsMpegSector(const std::uint8_t* sector) {
  if (std::memcmp(sector, kSync, sizeof kSync) != 0 || sector[15] != 2) return false;
  const std::uint8_t kind = sector[18] & 0x0E;
  return kind == 2 || kind == 4;
}

std::optional<CdxaData> FindCdxaData(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const auto end = in.tellg();
  if (end < 0) return std::nullopt;
  const auto fileSize = static_cast<std::uint64_t>(end);
  std::uint8_t header[12];
  if (ReadAt(in, 0, header, 12) != 12 || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + 8, "CDXA", 4) != 0) {
    return std::nullopt;
  }
  // The RIFF chunk and every chunk inside it must lie within the file.
  const std::uint64_t riffEnd = 8 + static_cast<std::uint64_t>(Le32(header + 4));
  if (riffEnd > fileSize) return std::nullopt;
  std::uint64_t at = 12;
  while (at + 8 <= riffEnd) {
    std::uint8_t chunk[8];
    if (ReadAt(in, at, chunk, 8) != 8) return std::nullopt;
    const std::uint64_t size = Le32(chunk + 4);
    const std::uint64_t body = at + 8;
    if (body + size > riffEnd) return std::nullopt;
    if (std::memcmp(chunk, "data", 4) == 0) {
      if (size == 0) return std::nullopt;
      return CdxaData{body, size};
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  return std::nullopt;
}

int IsVideoCdFile(const char* path) {
  if (!path) return 0;
  const std::optional<CdxaData> data = FindCdxaData(path);
  if (!data) return 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  std::vector<std::uint8_t> sector(kRawSectorBytes);
  for (int n = 0; n < kVcdScanSectors; ++n) {
    const std::uint64_t offset = static_cast<std::uint64_t>(n) * kRawSectorBytes;
    // Sectors past the end of the data chunk are not read.
    if (offset + kRawSectorBytes > data->size) break;
    if (ReadAt(in, data->offset + offset, sector.data(), kRawSectorBytes) != kRawSectorBytes) break;
    if (IsMpegSector(sector.data()) && HasVcdPackSignature(sector.data() + kSectorUserDataOffset)) return 1;
  }
  return 0;
}

int CheckVcdPackHeader(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return kMpeg1;
  std::uint8_t head[34];
  if (ReadAt(in, 0, head, sizeof head) < 12) return kMpeg1;
  return HasVcdPackSignature(head) ? kVideoCd : kMpeg1;
}

int ReadMpegStreamType(const char* path) {
  if (!path) return kNotMpeg;
  if (IsVideoCdFile(path) == 1) return kVideoCd;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kNotMpeg;
  // One read covers every three-byte window the start-code scan looks at.
  std::array<std::uint8_t, kStartCodeScanBytes + 4> head{};
  const std::size_t got = ReadAt(in, 0, head.data(), head.size());
  std::size_t offset = 0;
  for (; offset < kStartCodeScanBytes; ++offset) {
    if (offset + 3 > got) return kNotMpeg;
    if (head[offset] == 0 && head[offset + 1] == 0 && head[offset + 2] == 1) break;
  }
  std::uint8_t pack[5];
  if (ReadAt(in, offset, pack, 5) != 5) return kNotMpeg;
  if (pack[0] != 0 || pack[1] != 0 || pack[2] != 1 || pack[3] != 0xBA) return kNotMpeg;
  if ((pack[4] & 0xC0) == 0x40) return kMpeg2;
  if ((pack[4] & 0xF0) == 0x20) return CheckVcdPackHeader(path);
  return kNotMpeg;
}

}  // namespace rip
