#include "outside/authoring/transcode.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engines/picture/picture_core/picture_file.h"

namespace authoring {
namespace {

struct InputCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwsFree {
  void operator()(SwsContext* c) const { sws_freeContext(c); }
};
struct SwrFree {
  void operator()(SwrContext* c) const { swr_free(&c); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

int Even(double v) { return std::max(2, static_cast<int>(std::lround(v / 2)) * 2); }

// Scales `source` into `place` of the black `picture`.
bool ScaleInto(SwsContext* sws, const std::uint8_t* const* data, const int* linesize, int sourceHeight,
               AVFrame* picture, const PlaceRect& place) {
  std::uint8_t* planes[4] = {
      picture->data[0] + place.y * picture->linesize[0] + place.x,
      picture->data[1] + (place.y / 2) * picture->linesize[1] + place.x / 2,
      picture->data[2] + (place.y / 2) * picture->linesize[2] + place.x / 2,
      nullptr,
  };
  return sws_scale(sws, data, linesize, 0, sourceHeight, planes, picture->linesize) > 0;
}

class Decoder {
 public:
  bool Open(const std::string& path) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return false;
    input_.reset(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return false;
    videoIndex_ = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    audioIndex_ = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, videoIndex_, nullptr, 0);
    if (videoIndex_ < 0) return false;
    if (!OpenCodec(videoIndex_, video_)) return false;
    if (audioIndex_ >= 0 && !OpenCodec(audioIndex_, audio_)) audioIndex_ = -1;
    return true;
  }
  AVFormatContext* input() const { return input_.get(); }
  AVCodecContext* video() const { return video_.get(); }
  AVCodecContext* audio() const { return audioIndex_ >= 0 ? audio_.get() : nullptr; }
  int videoIndex() const { return videoIndex_; }
  int audioIndex() const { return audioIndex_; }

 private:
  bool OpenCodec(int index, std::unique_ptr<AVCodecContext, CodecFree>& out) {
    const AVStream* stream = input_->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return false;
    out.reset(avcodec_alloc_context3(codec));
    if (!out || avcodec_parameters_to_context(out.get(), stream->codecpar) < 0) return false;
    out->thread_count = 0;
    out->pkt_timebase = stream->time_base;
    return avcodec_open2(out.get(), codec, nullptr) >= 0;
  }

  std::unique_ptr<AVFormatContext, InputCloser> input_;
  std::unique_ptr<AVCodecContext, CodecFree> video_;
  std::unique_ptr<AVCodecContext, CodecFree> audio_;
  int videoIndex_ = -1;
  int audioIndex_ = -1;
};

// Turns decoded frames into the writer's constant frame rate and sound.
class VideoPump {
 public:
  VideoPump(Decoder& decoder, MpegWriter& writer, const MpegTarget& target)
      : decoder_(decoder), writer_(writer), target_(target) {}

  bool Init() {
    picture_ = BlackPicture(target_);
    if (!picture_) return false;
    const AVStream* stream = decoder_.input()->streams[decoder_.videoIndex()];
    AVRational sar = av_guess_sample_aspect_ratio(decoder_.input(), const_cast<AVStream*>(stream), nullptr);
    if (sar.num <= 0 || sar.den <= 0) sar = AVRational{1, 1};
    const AVCodecContext* v = decoder_.video();
    place_ = Letterbox(v->width, v->height, sar.num, sar.den, target_);
    if (AVCodecContext* a = decoder_.audio()) {
      AVChannelLayout stereo;
      av_channel_layout_default(&stereo, 2);
      SwrContext* raw = nullptr;
      if (swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_S16, target_.audioRate, &a->ch_layout, a->sample_fmt,
                              a->sample_rate, 0, nullptr) < 0 || swr_init(raw) < 0) {
        swr_free(&raw);
        return false;
      }
      swr_.reset(raw);
    }
    const double start = stream->start_time != AV_NOPTS_VALUE ? static_cast<double>(stream->start_time) * av_q2d(stream->time_base) : 0;
    start_ = start;
    return true;
  }

  bool OnVideoFrame(AVFrame* frame) {
    if (!sws_ || frame->width != sourceWidth_ || frame->height != sourceHeight_ || frame->format != sourceFormat_) {
      sourceWidth_ = frame->width;
      sourceHeight_ = frame->height;
      sourceFormat_ = frame->format;
      sws_.reset(sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), place_.width,
                                place_.height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
      if (!sws_) return false;
    }
    const AVStream* stream = decoder_.input()->streams[decoder_.videoIndex()];
    const std::int64_t ts = frame->best_effort_timestamp;
    const double seconds = ts == AV_NOPTS_VALUE ? static_cast<double>(writer_.VideoFrames()) * target_.fpsDen / target_.fpsNum
                                                : static_cast<double>(ts) * av_q2d(stream->time_base) - start_;
    // The output frame this picture belongs to: earlier frames are repeated
    // up to it, a picture that comes too soon is dropped.
    const std::int64_t index = std::llround(seconds * target_.fpsNum / target_.fpsDen);
    if (index < writer_.VideoFrames()) return true;
    // The encoder may still hold the previous picture: draw into a copy.
    if (av_frame_make_writable(picture_.get()) < 0) return false;
    if (place_.width == target_.width && place_.height == target_.height && frame->width == target_.width &&
        frame->height == target_.height && frame->format == AV_PIX_FMT_YUV420P) {
      // Already the disc's picture: no scaling.
      if (av_frame_copy(picture_.get(), frame) < 0) return false;
    } else if (!ScaleInto(sws_.get(), frame->data, frame->linesize, frame->height, picture_.get(), place_)) {
      return false;
    }
    while (writer_.VideoFrames() <= index) {
      if (!writer_.WriteVideo(picture_.get())) return false;
    }
    return true;
  }

  bool OnAudioFrame(AVFrame* frame) {
    if (!swr_) return true;
    const int outMax = swr_get_out_samples(swr_.get(), frame->nb_samples);
    buffer_.resize(static_cast<std::size_t>(std::max(outMax, 0)) * 2);
    std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(buffer_.data())};
    const int n = swr_convert(swr_.get(), out, outMax, const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    return n < 0 ? false : writer_.WriteAudio(buffer_.data(), n);
  }

  bool FlushAudio() {
    if (!swr_) return true;
    buffer_.resize(8192 * 2);
    std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(buffer_.data())};
    const int n = swr_convert(swr_.get(), out, 8192, nullptr, 0);
    return n <= 0 || writer_.WriteAudio(buffer_.data(), n);
  }

 private:
  Decoder& decoder_;
  MpegWriter& writer_;
  const MpegTarget& target_;
  FramePtr picture_;
  PlaceRect place_;
  std::unique_ptr<SwsContext, SwsFree> sws_;
  std::unique_ptr<SwrContext, SwrFree> swr_;
  int sourceWidth_ = 0;
  int sourceHeight_ = 0;
  int sourceFormat_ = -1;
  double start_ = 0;
  std::vector<std::int16_t> buffer_;
};

bool ReceiveAll(AVCodecContext* codec, AVFrame* frame, const std::function<bool(AVFrame*)>& use) {
  for (;;) {
    const int rc = avcodec_receive_frame(codec, frame);
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return false;
    const bool ok = use(frame);
    av_frame_unref(frame);
    if (!ok) return false;
  }
}

}  // namespace

bool IsStillFile(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".jpg" || ext == ".jpeg" || ext == ".bmp" || ext == ".png";
}

PlaceRect Letterbox(int width, int height, int sarNum, int sarDen, const MpegTarget& target) {
  PlaceRect r;
  if (width <= 0 || height <= 0 || sarNum <= 0 || sarDen <= 0) return r;
  // Work in display units: the target is 4:3, a source pixel is sar wide.
  const double sourceAspect = static_cast<double>(width) * sarNum / (static_cast<double>(height) * sarDen);
  const double targetAspect = static_cast<double>(target.displayAspectNum) / target.displayAspectDen;
  double w = target.width;
  double h = target.height;
  if (sourceAspect > targetAspect) {
    h = target.height * targetAspect / sourceAspect;
  } else {
    w = target.width * sourceAspect / targetAspect;
  }
  r.width = std::min(Even(w), target.width);
  r.height = std::min(Even(h), target.height);
  r.x = (target.width - r.width) / 2 / 2 * 2;
  r.y = (target.height - r.height) / 2 / 2 * 2;
  return r;
}

bool JpegLooksComplete(const std::string& bytes) {
  if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xD8) {
    return true;  // not a JPEG: its own decoder judges it
  }
  const std::size_t scan = bytes.rfind("\xFF\xDA");
  if (scan == std::string::npos) return false;
  return bytes.find("\xFF\xD9", scan) != std::string::npos;
}

double VideoSeconds(const std::string& path) {
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return 0;
  std::unique_ptr<AVFormatContext, InputCloser> input(raw);
  if (avformat_find_stream_info(raw, nullptr) < 0 || raw->duration <= 0) return 0;
  return static_cast<double>(raw->duration) / AV_TIME_BASE;
}

plat::HRESULT AppendVideo(const std::string& path, MpegWriter& writer, const JobControl& control,
                          const ElementProgress& progress) {
  const plat::HRESULT kBadData = plat::HRESULT_FROM_WIN32(13);  // ERROR_INVALID_DATA
  Decoder decoder;
  if (!decoder.Open(path)) return kBadData;
  const MpegTarget& target = writer.Target();
  VideoPump pump(decoder, writer, target);
  if (!pump.Init()) return kBadData;
  std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
  FramePtr frame(av_frame_alloc());
  const std::int64_t firstFrame = writer.VideoFrames();
  const double duration = decoder.input()->duration > 0 ? static_cast<double>(decoder.input()->duration) / AV_TIME_BASE : 0;
  auto onVideo = [&](AVFrame* f) { return pump.OnVideoFrame(f); };
  auto onAudio = [&](AVFrame* f) { return pump.OnAudioFrame(f); };
  for (;;) {
    if (control.Cancelled()) return plat::E_ABORT;
    const int rc = av_read_frame(decoder.input(), packet.get());
    if (rc < 0) break;
    bool ok = true;
    if (packet->stream_index == decoder.videoIndex()) {
      ok = avcodec_send_packet(decoder.video(), packet.get()) >= 0 && ReceiveAll(decoder.video(), frame.get(), onVideo);
    } else if (packet->stream_index == decoder.audioIndex()) {
      // A damaged sound packet is skipped, not the whole film.
      if (avcodec_send_packet(decoder.audio(), packet.get()) >= 0) ok = ReceiveAll(decoder.audio(), frame.get(), onAudio);
    }
    av_packet_unref(packet.get());
    if (!ok) return kBadData;
    if (progress && duration > 0) {
      progress(std::min(1.0, static_cast<double>(writer.VideoFrames() - firstFrame) * target.fpsDen / target.fpsNum / duration));
    }
  }
  avcodec_send_packet(decoder.video(), nullptr);
  if (!ReceiveAll(decoder.video(), frame.get(), onVideo)) return kBadData;
  if (decoder.audio()) {
    avcodec_send_packet(decoder.audio(), nullptr);
    ReceiveAll(decoder.audio(), frame.get(), onAudio);
    pump.FlushAudio();
  }
  if (writer.VideoFrames() == firstFrame) return kBadData;
  return writer.PadAudioToVideo() ? plat::S_OK : plat::E_FAIL;
}

plat::HRESULT AppendStill(const std::string& path, int seconds, MpegWriter& writer, const JobControl& control) {
  const plat::HRESULT kBadData = plat::HRESULT_FROM_WIN32(13);
  std::ifstream in(path, std::ios::binary);
  if (!in) return plat::HRESULT_FROM_WIN32(2);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!JpegLooksComplete(bytes)) return kBadData;
  const MpegTarget& target = writer.Target();
  picture::LoadOptions options;
  // The DCT scale that still gives the disc's full picture.
  options.min_width = target.width;
  options.min_height = target.height;
  options.metadata = false;
  const auto data = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  auto picture = picture::DecodePicture(data, options);
  if (!picture || picture->pixels.width() <= 0 || picture->pixels.height() <= 0) return kBadData;
  const plat::Surface& pixels = picture->pixels;
  FramePtr frame = BlackPicture(target);
  if (!frame) return plat::E_OUTOFMEMORY;
  const PlaceRect place = Letterbox(pixels.width(), pixels.height(), 1, 1, target);
  std::unique_ptr<SwsContext, SwsFree> sws(sws_getContext(pixels.width(), pixels.height(), AV_PIX_FMT_BGRA, place.width,
                                                          place.height, AV_PIX_FMT_YUV420P, SWS_AREA, nullptr, nullptr,
                                                          nullptr));
  if (!sws) return plat::E_FAIL;
  // Rows top-down as the scaler reads them.
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(pixels.width()) * pixels.height());
  for (int y = 0; y < pixels.height(); ++y) {
    std::copy_n(pixels.row(y), pixels.width(), rows.data() + static_cast<std::size_t>(y) * pixels.width());
  }
  const std::uint8_t* source[4] = {reinterpret_cast<const std::uint8_t*>(rows.data()), nullptr, nullptr, nullptr};
  const int stride[4] = {pixels.width() * 4, 0, 0, 0};
  if (!ScaleInto(sws.get(), source, stride, pixels.height(), frame.get(), place)) return plat::E_FAIL;
  const std::int64_t frames = static_cast<std::int64_t>(seconds) * target.fpsNum / target.fpsDen;
  for (std::int64_t i = 0; i < frames; ++i) {
    if (control.Cancelled()) return plat::E_ABORT;
    if (!writer.WriteVideo(frame.get())) return plat::E_FAIL;
  }
  return writer.PadAudioToVideo() ? plat::S_OK : plat::E_FAIL;
}

}  // namespace authoring
