#include "engines/rip/mp3_catalogue.h"

#include <cstring>
#include <strings.h>

#include "platform/media/gstreamer.h"

namespace rip {

const CompressorCatalogue& InstalledCompressors() {
  static const CompressorCatalogue catalogue = [] {
    CompressorCatalogue c;
    c.compressors.push_back({kPcmCompressor, "audioconvert"});
    if (plat::media::HasElement("lamemp3enc") && plat::media::HasElement("xingmux")) {
      c.compressors.push_back({kMakerMp3Compressor, "lamemp3enc"});
      c.compressors.push_back({kSystemMp3Compressor, "lamemp3enc"});
      c.drivers.push_back(kMakerEncoderDriver);
    }
    return c;
  }();
  return catalogue;
}

plat::HRESULT FindFilterByFriendlyName(const CompressorCatalogue& catalogue, const char* name, const Compressor** out) {
  if (out) *out = nullptr;
  if (!name || !*name) return plat::E_FAIL;
  for (const Compressor& compressor : catalogue.compressors) {
    if (compressor.friendlyName == name) {
      if (out) *out = &compressor;
      return plat::S_OK;
    }
  }
  return plat::S_FALSE;
}

bool FindEncoderDriver(const CompressorCatalogue& catalogue) {
  for (const std::string& driver : catalogue.drivers) {
    if (strcasecmp(driver.c_str(), kMakerEncoderDriver) == 0) return true;
  }
  return false;
}

std::vector<std::uint8_t> MakerOutputFormat() {
  std::vector<std::uint8_t> f(30, 0);
  auto put16 = [&](std::size_t at, std::uint16_t v) {
    f[at] = static_cast<std::uint8_t>(v);
    f[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, static_cast<std::uint16_t>(v));
    put16(at + 2, static_cast<std::uint16_t>(v >> 16));
  };
  put16(0, 0x0055);  // Layer 3
  put32(8, 16000);   // bytes per second
  put16(16, 12);     // extra bytes
  put16(18, 1);      // MPEG
  put32(20, 2);      // padding off
  return f;
}

plat::HRESULT ChooseMp3Chain(const CompressorCatalogue& catalogue, bool driverFound, Mp3Chain* chain) {
  *chain = {};
  if (FindFilterByFriendlyName(catalogue, kPcmCompressor, &chain->pcm) != plat::S_OK) return plat::E_FAIL;
  if (driverFound && FindFilterByFriendlyName(catalogue, kMakerMp3Compressor, &chain->compressor) == plat::S_OK) {
    chain->forcedFormat = MakerOutputFormat();
    return plat::S_OK;
  }
  if (FindFilterByFriendlyName(catalogue, kSystemMp3Compressor, &chain->compressor) != plat::S_OK) return plat::E_FAIL;
  return plat::S_OK;
}

std::string Mp3ChainDescription(const Mp3Chain& chain) {
  std::string description = chain.pcm->element + " ! " + chain.compressor->element;
  if (chain.forcedFormat.size() >= 12) {
    const auto& f = chain.forcedFormat;
    const std::uint32_t bytesPerSecond = static_cast<std::uint32_t>(f[8]) | static_cast<std::uint32_t>(f[9]) << 8 |
                                         static_cast<std::uint32_t>(f[10]) << 16 |
                                         static_cast<std::uint32_t>(f[11]) << 24;
    description += " target=bitrate cbr=true bitrate=" + std::to_string(bytesPerSecond * 8 / 1000);
  }
  return description + " ! xingmux";
}

bool IsMp3Path(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  return strcasecmp(path.c_str() + dot, ".mp3") == 0;
}

}  // namespace rip
