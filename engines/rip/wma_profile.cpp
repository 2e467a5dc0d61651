#include "engines/rip/wma_profile.h"

#include <cstdlib>

#include "platform/media/gstreamer.h"

namespace rip {
namespace {

constexpr std::uint32_t FourCc(const char (&code)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

// A WMA v2 format: kbit/s x 125 + 5 bytes per second (so 32, 64 and 128
// kbit/s are 32040, 64080 and 128040 bit/s); a block holds one 2048-sample
// frame at that rate, as the encoder packs it.
CodecFormat Wma2Format(std::uint32_t rate, std::uint16_t channels, std::uint32_t kbps) {
  CodecFormat format;
  format.type = FormatType::WaveFormatEx;
  format.encoder = "avenc_wmav2";
  format.wave.formatTag = kWaveFormatWma2;
  format.wave.channels = channels;
  format.wave.samplesPerSec = rate;
  format.wave.avgBytesPerSec = kbps * 125 + 5;
  format.wave.blockAlign = static_cast<std::uint16_t>(format.wave.avgBytesPerSec * 2048ull / rate);
  format.wave.bitsPerSample = 16;
  return format;
}

CodecFormat VideoCodecFormat(const char (&fourcc)[5], const char* encoder) {
  CodecFormat format;
  format.type = FormatType::VideoInfo;
  format.encoder = encoder;
  format.video.compression = FourCc(fourcc);
  format.video.width = 320;
  format.video.height = 240;
  format.video.bitRate = 300000;
  format.video.avgTimePerFrame = 10000000 / 25;
  return format;
}

bool Matches(const WaveFormat& w, const AudioStreamRequest& r) {
  const long long off = static_cast<long long>(w.avgBytesPerSec) * 8 - static_cast<long long>(r.bitRate);
  return off >= -249 && off <= 249 && w.samplesPerSec == r.sampleRate && w.channels == r.channels &&
         w.formatTag == r.formatTag;
}

plat::HRESULT AddAudioStream(const CodecCatalogue& codecs, const AudioStreamRequest& request,
                             bool preferSmallAlignment, Profile& profile) {
  const CodecFormat* best = nullptr;
  for (const auto& codec : codecs.audioCodecs) {
    for (const CodecFormat& format : codec) {
      if (format.type != FormatType::WaveFormatEx) return plat::E_FAIL;
      if (!Matches(format.wave, request)) continue;
      // A later match wins unless its alignment is on the wrong side; equal
      // alignments go to the later format.
      if (!best || (preferSmallAlignment ? format.wave.blockAlign <= best->wave.blockAlign
                                         : format.wave.blockAlign >= best->wave.blockAlign)) {
        best = &format;
      }
    }
  }
  if (!best) return kNoMatchingAudioFormat;
  ProfileStream stream;
  stream.kind = StreamKind::Audio;
  stream.number = 1;
  stream.name = "Audio Stream";
  stream.connection = "Audio";
  stream.bitRate = best->wave.avgBytesPerSec * 8;
  stream.wave = best->wave;
  stream.encoder = best->encoder;
  profile.streams.push_back(std::move(stream));
  return plat::S_OK;
}

plat::HRESULT AddVideoStream(const CodecCatalogue& codecs, std::uint16_t number, const VideoStreamRequest& request,
                             Profile& profile) {
  for (const auto& codec : codecs.videoCodecs) {
    for (const CodecFormat& format : codec) {
      if (format.type != FormatType::VideoInfo || format.video.compression != request.fourcc) continue;
      ProfileStream stream;
      stream.kind = StreamKind::Video;
      stream.number = number;
      stream.name = "Video Stream";
      stream.connection = "Video";
      stream.bitRate = request.bitRate;
      stream.video = format.video;
      stream.video.width = static_cast<std::int32_t>(request.width);
      stream.video.height = static_cast<std::int32_t>(request.height);
      stream.video.bitRate = request.bitRate;
      stream.video.avgTimePerFrame = request.framesPerSecond ? 10000000 / request.framesPerSecond : 0;
      stream.quality = request.quality;
      stream.maxKeyFrameSpacing = static_cast<std::int64_t>(request.maxKeyFrameSpacingSeconds) * 10000000;
      stream.encoder = format.encoder;
      profile.streams.push_back(std::move(stream));
      return plat::S_OK;
    }
  }
  return kNoMatchingVideoFormat;
}

}  // namespace

const CodecCatalogue& InstalledCodecs() {
  static const CodecCatalogue catalogue = [] {
    CodecCatalogue c;
    if (plat::media::HasElement("avenc_wmav2") && plat::media::HasElement("asfmux")) {
      std::vector<CodecFormat> wma;
      for (std::uint32_t rate : {32000u, 44100u, 48000u}) {
        for (std::uint32_t kbps : {16u, 20u, 32u, 48u}) wma.push_back(Wma2Format(rate, 1, kbps));
        for (std::uint32_t kbps : {32u, 48u, 64u, 80u, 96u, 128u, 160u, 192u}) wma.push_back(Wma2Format(rate, 2, kbps));
      }
      c.audioCodecs.push_back(std::move(wma));
    }
    if (plat::media::HasElement("avenc_wmv1")) c.videoCodecs.push_back({VideoCodecFormat("WMV1", "avenc_wmv1")});
    if (plat::media::HasElement("avenc_wmv2")) c.videoCodecs.push_back({VideoCodecFormat("WMV2", "avenc_wmv2")});
    return c;
  }();
  return catalogue;
}

plat::HRESULT CreateCustomProfile(const CodecCatalogue& codecs, const AudioStreamRequest* audio,
                                  const std::uint32_t* scriptBitRate, std::uint16_t videoCount,
                                  const VideoStreamRequest* videos, std::unique_ptr<Profile>* out) {
  if (!audio || !out || videoCount > kMaxVideoStreams || (videoCount != 0 && !videos)) return plat::E_INVALIDARG;
  auto profile = std::make_unique<Profile>();
  profile->name = "Custom Profile";
  profile->version = kProfileVersion7;
  plat::HRESULT hr = AddAudioStream(codecs, *audio, videoCount != 0, *profile);
  if (plat::FAILED(hr)) return hr;
  for (std::uint16_t i = 0; i < videoCount; ++i) {
    hr = AddVideoStream(codecs, static_cast<std::uint16_t>(i + 2), videos[i], *profile);
    if (plat::FAILED(hr)) return hr;
  }
  if (videoCount > 1) {
    for (std::uint16_t i = 0; i < videoCount; ++i) profile->bitrateMutex.push_back(static_cast<std::uint16_t>(i + 2));
  }
  if (scriptBitRate) {
    ProfileStream script;
    script.kind = StreamKind::Script;
    script.number = static_cast<std::uint16_t>(videoCount + 2);
    script.name = "Script Stream";
    script.connection = "Script";
    script.bitRate = *scriptBitRate;
    profile->streams.push_back(std::move(script));
  }
  *out = std::move(profile);
  return plat::S_OK;
}

plat::HRESULT CreateWmaProfile(const CodecCatalogue& codecs, std::uint32_t bitRate, std::unique_ptr<Profile>* out) {
  const AudioStreamRequest request{bitRate, kWaveFormatWma2, 44100, 2};
  return CreateCustomProfile(codecs, &request, nullptr, 0, nullptr, out);
}

}  // namespace rip
