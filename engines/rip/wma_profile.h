// Windows Media profiles built at run time: the codec formats this machine
// can write into an ASF file, and the profile builder that picks the audio
// format nearest to a requested bit rate (and video formats by FourCC).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/hresult.h"

namespace rip {

inline constexpr plat::HRESULT kNoMatchingAudioFormat = static_cast<plat::HRESULT>(0xC00D0BC2);
inline constexpr plat::HRESULT kNoMatchingVideoFormat = static_cast<plat::HRESULT>(0xC00D0BC4);
inline constexpr std::uint16_t kWaveFormatWma2 = 0x161;
inline constexpr std::uint32_t kProfileVersion7 = 0x00070000;
inline constexpr int kMaxVideoStreams = 12;

struct WaveFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
};

struct VideoFormat {
  std::uint32_t compression = 0;  // FourCC
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t bitRate = 0;
  std::int64_t avgTimePerFrame = 0;  // 100 ns units
};

enum class FormatType { WaveFormatEx, VideoInfo, Other };

// One format a codec offers; `encoder` is the GStreamer element that writes it.
struct CodecFormat {
  FormatType type = FormatType::WaveFormatEx;
  WaveFormat wave;
  VideoFormat video;
  std::string encoder;
};

struct CodecCatalogue {
  std::vector<std::vector<CodecFormat>> audioCodecs;
  std::vector<std::vector<CodecFormat>> videoCodecs;
};

// What GStreamer can put into ASF here: WMA v2 at the usual rates (when
// avenc_wmav2 exists) and WMV1/WMV2 video.
const CodecCatalogue& InstalledCodecs();

struct AudioStreamRequest {
  std::uint32_t bitRate = 0;
  std::uint32_t formatTag = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t channels = 0;
};

struct VideoStreamRequest {
  std::uint32_t fourcc = 0;
  std::uint32_t bitRate = 0;
  std::uint32_t height = 0;
  std::uint32_t width = 0;
  std::uint32_t framesPerSecond = 0;
  std::uint32_t quality = 0;
  std::uint32_t maxKeyFrameSpacingSeconds = 0;
};

enum class StreamKind { Audio, Video, Script };

struct ProfileStream {
  StreamKind kind = StreamKind::Audio;
  std::uint16_t number = 0;
  std::string name;
  std::string connection;
  std::uint32_t bitRate = 0;
  WaveFormat wave;            // audio
  VideoFormat video;          // video
  std::uint32_t quality = 0;  // video
  std::int64_t maxKeyFrameSpacing = 0;  // video, 100 ns units
  std::string encoder;
};

struct Profile {
  std::string name;
  std::uint32_t version = 0;
  std::vector<ProfileStream> streams;
  std::vector<std::uint16_t> bitrateMutex;  // stream numbers, empty for none
};

// The profile of one audio stream, optional video streams (at most 12) and an
// optional script stream. E_INVALIDARG for a missing audio request or out
// pointer, too many videos or videos without their array.
plat::HRESULT CreateCustomProfile(const CodecCatalogue& codecs, const AudioStreamRequest* audio,
                                  const std::uint32_t* scriptBitRate, std::uint16_t videoCount,
                                  const VideoStreamRequest* videos, std::unique_ptr<Profile>* out);
// One WMA v2 stream, 44.1 kHz stereo, nearest to `bitRate` (within 249 bit/s).
plat::HRESULT CreateWmaProfile(const CodecCatalogue& codecs, std::uint32_t bitRate, std::unique_ptr<Profile>* out);

}  // namespace rip
