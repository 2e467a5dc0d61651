// A camcorder tape as a file: raw DV (DIF frames of 120000 bytes for
// 525/60 or 144000 bytes for 625/50, told by the DSF bit of the first
// header block) or an MPEG-2 transport stream, cut into units the deck
// plays one at a time: a frame for DV, the packets up to the next PCR for TS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dvdev {

inline constexpr std::size_t kDvFrameBytes625 = 144000;
inline constexpr std::size_t kDvFrameBytes525 = 120000;
inline constexpr std::size_t kTsPacketBytes = 188;

struct TapeUnit {
  std::uint64_t offset = 0;
  std::uint32_t bytes = 0;
  double seconds = 0;  // play time of the unit's start from the tape's start
};

struct Tape {
  int kind = 1;            // 1 DV, 2 MPEG-2 TS
  double frameRate = 25.0; // 25 or 29.97
  std::uint64_t size = 0;
  std::size_t frameBytes = kDvFrameBytes625;  // DV only
  std::vector<TapeUnit> tsUnits;              // TS only

  long UnitCount() const {
    return kind == 1 ? static_cast<long>(size / frameBytes) : static_cast<long>(tsUnits.size());
  }
  TapeUnit Unit(long index) const;
  // The play time of a whole tape, in seconds.
  double Seconds() const;
};

// Opens a tape file for reading: a regular file only, opened without
// waiting, so that a named pipe (no data) or a device such as /dev/zero
// (endless data) is refused at once. -1 when refused.
int OpenTapeFile(const std::string& path);

// Reads the tape's kind and layout; nothing when it is neither DV nor TS, or
// not a regular file.
std::optional<Tape> ProbeTape(const std::string& path, int kind);

// The DSF bit of a DV frame: true for 625/50 (PAL).
bool DvFrameIsPal(const std::uint8_t* frame, std::size_t size);

// Hours, minutes, seconds, frames.
struct Timecode {
  int hours = 0, minutes = 0, seconds = 0, frames = 0;
  bool operator==(const Timecode&) const = default;
};

// The timecode of a frame index: 25 fps non-drop, 29.97 fps drop-frame.
Timecode FrameTimecode(long frame, double frameRate);

}  // namespace dvdev
