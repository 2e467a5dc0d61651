// Audio CDs: each element's sound decoded by GStreamer to 44.1 kHz 16-bit
// stereo PCM and laid out as CD-DA tracks, each padded to whole 2352-byte
// sectors, in one BIN file with its CUE sheet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "outside/authoring/job.h"
#include "platform/com/hresult.h"

namespace authoring {

inline constexpr std::int64_t kCdSectorBytes = 2352;
inline constexpr std::int64_t kCdSectorsPerSecond = 75;

struct CdLayout {
  std::vector<std::int64_t> trackStarts;  // first sector of each track
  std::int64_t sectors = 0;               // all tracks
};

// Decodes the files one after the other into `binPath` (little-endian
// samples). `failed` receives the index of a file that could not be decoded.
// Reports kAuthoringStageTranscoding.
plat::HRESULT DecodeToCdAudio(const std::vector<std::string>& files, const std::string& binPath,
                              const JobControl& control, CdLayout* layout, int* failed);

// The CUE sheet of an audio CD whose BIN file is `binName` (beside the sheet).
std::string AudioCueSheet(const std::string& binName, const CdLayout& layout);

// "mm:ss:ff" of a sector count.
std::string CueTime(std::int64_t sectors);

}  // namespace authoring
