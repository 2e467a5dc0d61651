// MPEG system stream sniffing: which splitter a media file needs ahead of
// decoding, from the file's first bytes. Video CD files (a RIFF "CDXA" file
// of raw 2352-byte Mode 2 sectors) and MPEG-1 streams with the Video CD pack
// signature count as Video CD.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rip {

enum MpegStreamKind : int {
  kNotMpeg = 0,
  kMpeg1 = 1,
  kMpeg2 = 2,
  kVideoCd = 3,
};

inline constexpr std::uint32_t kRawSectorBytes = 2352;
inline constexpr std::uint32_t kSectorUserDataOffset = 24;
inline constexpr std::uint32_t kMode2Form2UserBytes = 2324;

// 0 (also for a null path), 1, 2 or 3 as above.
int ReadMpegStreamType(const char* path);
// 1 for a "CDXA" RIFF file whose first 500 sectors hold a video or audio
// sector starting with the Video CD pack signature, else 0.
int IsVideoCdFile(const char* path);
// 3 when the file begins with the Video CD pack signature, else 1.
int CheckVcdPackHeader(const char* path);

// Where the sectors of a "CDXA" RIFF file lie: the contents of its "data"
// chunk. Empty when the file is no such RIFF file or a chunk size reaches
// past the end of the file.
struct CdxaData {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};
std::optional<CdxaData> FindCdxaData(const std::string& path);

// True for a raw Mode 2 sector whose sub-mode marks video or audio.
bool IsMpegSector(const std::uint8_t* sector);

}  // namespace rip
