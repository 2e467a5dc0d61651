// The audio compressors the MP3 ripper chooses from, found by friendly name
// as the system looks them up: "PCM" (the PCM converter), the maker's
// "Kestrovia MPEG 1 Layer-3" and the generic "MPEG Layer-3". The maker's
// encoder driver "Kestrovia MPEG Layer-3 Encoder" is listed beside them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/hresult.h"

namespace rip {

inline constexpr const char* kPcmCompressor = "PCM";
inline constexpr const char* kMakerMp3Compressor = "Kestrovia MPEG 1 Layer-3";
inline constexpr const char* kSystemMp3Compressor = "MPEG Layer-3";
inline constexpr const char* kMakerEncoderDriver = "Kestrovia MPEG Layer-3 Encoder";

struct Compressor {
  std::string friendlyName;
  std::string element;  // GStreamer pipeline fragment (constant text)
};

struct CompressorCatalogue {
  std::vector<Compressor> compressors;
  std::vector<std::string> drivers;  // encoder drivers by long name
};

// "PCM" always; the Layer-3 entries and the maker's driver when lamemp3enc
// and xingmux are installed.
const CompressorCatalogue& InstalledCompressors();

// S_OK with the compressor, S_FALSE when none has the name, E_FAIL for an
// empty or null name.
plat::HRESULT FindFilterByFriendlyName(const CompressorCatalogue& catalogue, const char* name, const Compressor** out);
// True when the maker's encoder driver is listed (its long name, any case).
bool FindEncoderDriver(const CompressorCatalogue& catalogue);

// The 30-byte Layer-3 output format forced on the maker's compressor:
// MPEG-1 Layer 3 at 16000 bytes/s (128 kbit/s), padding off.
std::vector<std::uint8_t> MakerOutputFormat();

// The compressor chain of a ".mp3" rip: the PCM converter, the Layer-3
// compressor and, for the maker's, the forced output format.
struct Mp3Chain {
  const Compressor* pcm = nullptr;
  const Compressor* compressor = nullptr;
  std::vector<std::uint8_t> forcedFormat;  // empty: the compressor's own
};
// E_FAIL when "PCM" or both Layer-3 compressors are missing.
plat::HRESULT ChooseMp3Chain(const CompressorCatalogue& catalogue, bool driverFound, Mp3Chain* chain);
// The chain as one pipeline fragment, ending in xingmux.
std::string Mp3ChainDescription(const Mp3Chain& chain);

// True when the path's extension, lower-cased, is ".mp3".
bool IsMp3Path(const std::string& path);

}  // namespace rip
