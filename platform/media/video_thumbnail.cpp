#include "platform/media/video_thumbnail.h"

#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "platform/gdi/bitmap.h"

namespace plat::media {

namespace {

// Bounded probing: enough for every common container, and quick.
constexpr std::int64_t kProbeBytes = 1 << 20;
constexpr std::int64_t kAnalyzeMicroseconds = AV_TIME_BASE;  // 1 s
constexpr std::int64_t kLatestSeek = std::int64_t{30} * AV_TIME_BASE;
constexpr int kBlackFramesPassed = 3;
// Key frames read before giving up on finding a picture at all.
constexpr int kMaxPackets = 4000;
// A picture whose mean brightness is at most this (0..255) counts as black.
constexpr int kBlackLevel = 24;

struct Interrupt {
  const std::atomic<bool>* stop;
  std::chrono::steady_clock::time_point deadline;
};

int OnInterrupt(void* opaque) {
  const auto* i = static_cast<const Interrupt*>(opaque);
  if (i->stop && i->stop->load(std::memory_order_relaxed)) return 1;
  return std::chrono::steady_clock::now() > i->deadline ? 1 : 0;
}

struct FormatCloser {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFreer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScalerFreer {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

std::optional<Surface> Fail(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
  return std::nullopt;
}

// The frame scaled into the limits with its display aspect; nullopt when
// the scaler refuses the format.
std::optional<Surface> Scale(const AVFrame& frame, AVRational sar, const VideoThumbnailLimits& limits) {
  if (frame.width <= 0 || frame.height <= 0) return std::nullopt;
  double displayWidth = frame.width;
  if (sar.num > 0 && sar.den > 0) displayWidth = frame.width * av_q2d(sar);
  const double factor = std::min(limits.maxWidth / displayWidth, limits.maxHeight / double(frame.height));
  const int width = std::clamp(static_cast<int>(std::lround(displayWidth * factor)), 1, limits.maxWidth);
  const int height = std::clamp(static_cast<int>(std::lround(frame.height * factor)), 1, limits.maxHeight);
  std::unique_ptr<SwsContext, ScalerFreer> scaler(
      sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), width, height,
                     AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scaler) return std::nullopt;
  Surface surface(width, height);
  std::uint8_t* planes[4] = {reinterpret_cast<std::uint8_t*>(surface.row(0)), nullptr, nullptr, nullptr};
  int strides[4] = {width * 4, 0, 0, 0};
  if (sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) <= 0) return std::nullopt;
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = surface.row(y);
    for (int x = 0; x < width; ++x) row[x] |= 0xFF000000u;
  }
  return surface;
}

bool IsNearlyBlack(const Surface& s) {
  std::uint64_t sum = 0;
  for (int y = 0; y < s.height(); ++y) {
    const std::uint32_t* row = s.row(y);
    for (int x = 0; x < s.width(); ++x) {
      const std::uint32_t p = row[x];
      sum += ((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF);  // weighted luma, times 10
    }
  }
  const std::uint64_t pixels = std::uint64_t(s.width()) * s.height();
  return pixels == 0 || sum / (pixels * 10) <= kBlackLevel;
}

}  // namespace

std::optional<Surface> ExtractVideoThumbnail(const std::string& path, const std::atomic<bool>* stop,
                                             std::string* reason, const VideoThumbnailLimits& limits) {
  // Damaged or odd files are normal here; their warnings are not worth the
  // terminal (failures still come back through `reason`).
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_ERROR); });
  // Only a regular file is read: opening a named pipe waits for a writer
  // before any budget can end it, and a device never ends.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Fail(reason, "cannot open " + path);
  if (!S_ISREG(info.st_mode)) return Fail(reason, "not a regular file: " + path);
  Interrupt interrupt{stop, std::chrono::steady_clock::now() + limits.budget};
  AVFormatContext* raw = avformat_alloc_context();
  if (!raw) return Fail(reason, "out of memory");
  raw->interrupt_callback = {OnInterrupt, &interrupt};
  raw->probesize = kProbeBytes;
  raw->max_analyze_duration = kAnalyzeMicroseconds;
  // avformat_open_input frees the context itself on failure.
  // "file:" keeps a name such as "pipe:0" or "http://..." a file name.
  const std::string url = "file:" + path;
  if (avformat_open_input(&raw, url.c_str(), nullptr, nullptr) < 0) return Fail(reason, "cannot open " + path);
  std::unique_ptr<AVFormatContext, FormatCloser> format(raw);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return Fail(reason, "no stream information");
  const AVCodec* codec = nullptr;
  const int streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (streamIndex < 0 || !codec) return Fail(reason, "no decodable video stream");
  AVStream* stream = format->streams[streamIndex];

  std::unique_ptr<AVCodecContext, CodecFreer> decoder(avcodec_alloc_context3(codec));
  if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
    return Fail(reason, "decoder set-up failed");
  }
  decoder->thread_count = 1;
  decoder->skip_frame = AVDISCARD_NONKEY;
  if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return Fail(reason, "decoder does not open");

  if (format->duration > 0) {
    const std::int64_t target = std::min(format->duration / 10, kLatestSeek);
    if (target > 0) av_seek_frame(format.get(), -1, target, AVSEEK_FLAG_BACKWARD);  // failure: from the start
  }

  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
  if (!packet || !frame) return Fail(reason, "out of memory");
  std::optional<Surface> best;
  int blackPassed = 0;
  bool flushing = false;
  for (int packets = 0; packets < kMaxPackets;) {
    if (OnInterrupt(&interrupt)) return Fail(reason, "stopped or out of time");
    if (!flushing) {
      const int read = av_read_frame(format.get(), packet.get());
      if (read < 0) {
        flushing = true;
        avcodec_send_packet(decoder.get(), nullptr);
      } else {
        const bool ours = packet->stream_index == streamIndex;
        if (ours) {
          ++packets;
          avcodec_send_packet(decoder.get(), packet.get());  // a damaged packet is passed over
        }
        av_packet_unref(packet.get());
        if (!ours) continue;
      }
    }
    while (true) {
      const int got = avcodec_receive_frame(decoder.get(), frame.get());
      if (got == AVERROR(EAGAIN)) break;
      if (got < 0) break;
      AVRational sar = frame->sample_aspect_ratio;
      if (sar.num <= 0) sar = stream->sample_aspect_ratio;
      std::optional<Surface> picture = Scale(*frame, sar, limits);
      av_frame_unref(frame.get());
      if (!picture) continue;
      const bool black = IsNearlyBlack(*picture);
      best = std::move(picture);
      if (!black || ++blackPassed > kBlackFramesPassed) return best;
    }
    // Once the decoder is flushed nothing more comes.
    if (flushing) break;
  }
  if (best) return best;  // only black pictures: the last one
  return Fail(reason, "no picture decoded");
}

HBITMAP ExtractVideoThumbnailBitmap(const std::string& path, const std::atomic<bool>* stop, std::string* reason,
                                    const VideoThumbnailLimits& limits) {
  std::optional<Surface> surface = ExtractVideoThumbnail(path, stop, reason, limits);
  if (!surface) return nullptr;
  return CreateBitmapFromSurface(std::make_shared<Surface>(std::move(*surface)), true);
}

}  // namespace plat::media
