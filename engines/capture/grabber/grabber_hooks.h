// What the TV engine asks of its surroundings, gathered so tests can script
// it: the two outside components, free space, waits, the locale, installed
// video compressors, the processor probe and the engine's own folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engines/capture/grabber/country_table.h"
#include "engines/capture/grabber/cpu_probe.h"
#include "interfaces/tvrecorder.h"

namespace grabber {

// An installed video compressor: its description and its state block.
struct VideoCompressor {
  std::u16string description;
  std::vector<std::uint8_t> state;
};

struct GrabberHooks {
  std::function<plat::HRESULT(ISysRecorder** out)> createRecorder;
  std::function<plat::HRESULT(IProfileStore** out)> createProfileStore;
  // Free megabytes for the caller on the folder's volume; 0 when unknown.
  std::function<long long(const std::string& folder)> freeMB;
  std::function<void(int ms)> sleep;
  std::function<LocaleCountry()> localeCountry;
  std::function<std::string(int month)> monthAbbreviation;
  std::function<std::vector<VideoCompressor>()> videoCompressors;
  std::function<ProbeResult()> probe;
  // The engine's folder: profile files are found there. Empty: the folder
  // of the library the engine is in.
  std::string startFolder;

  // The real ones: components through CoCreateInstance, statvfs, the user's
  // locale, libavcodec's MPEG-4 encoder, this processor.
  static GrabberHooks Machine();
};

// The description the MPEG-4 encoder is listed under.
inline constexpr const char16_t* kMpeg4CompressorName = u"DivX-compatible MPEG-4 (libavcodec)";

// The video compressors this machine has.
std::vector<VideoCompressor> InstalledVideoCompressors();

}  // namespace grabber
