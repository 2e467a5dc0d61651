#include "outside/dvdevice/dv_transcode.h"

#include <cstdio>
#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/sys/atomic_file.h"

namespace dvdev {

namespace {

constexpr int kIoBytes = 65536;

struct CodecFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct SwrFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FifoFree {
  void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};
using Codec = std::unique_ptr<AVCodecContext, CodecFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;

// The demuxer over the byte source, closed with its I/O context.
class Input {
 public:
  explicit Input(const ByteSource& source) : source_(source) {}
  ~Input() {
    if (ctx_) avformat_close_input(&ctx_);
    if (io_) {
      av_freep(&io_->buffer);
      avio_context_free(&io_);
    }
  }
  bool Open() {
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBytes));
    if (!buffer) return false;
    io_ = avio_alloc_context(buffer, kIoBytes, 0, const_cast<ByteSource*>(&source_), &Input::ReadPacket, nullptr,
                             nullptr);
    if (!io_) {
      av_free(buffer);
      return false;
    }
    ctx_ = avformat_alloc_context();
    if (!ctx_) return false;
    ctx_->pb = io_;
    ctx_->flags |= AVFMT_FLAG_CUSTOM_IO;
    ctx_->probesize = 4 * 144000;
    ctx_->max_analyze_duration = AV_TIME_BASE / 5;
    if (avformat_open_input(&ctx_, nullptr, av_find_input_format("dv"), nullptr) < 0) return false;
    if (avformat_find_stream_info(ctx_, nullptr) < 0) return false;
    video = av_find_best_stream(ctx_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    audio = av_find_best_stream(ctx_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    return video >= 0;
  }
  AVFormatContext* ctx() const { return ctx_; }
  AVStream* stream(int i) const { return ctx_->streams[i]; }
  int video = -1;
  int audio = -1;

 private:
  static int ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
    const int n = (*static_cast<const ByteSource*>(opaque))(buffer, size);
    return n > 0 ? n : AVERROR_EOF;
  }
  const ByteSource& source_;
  AVIOContext* io_ = nullptr;
  AVFormatContext* ctx_ = nullptr;
};

// The output file; the trailer is written and the file closed by Close.
class Output {
 public:
  ~Output() { Close(false); }
  bool Create(const char* muxer, const std::string& path) {
    if (avformat_alloc_output_context2(&ctx_, nullptr, muxer, path.c_str()) < 0 || !ctx_) return false;
    path_ = path;
    return true;
  }
  bool Begin() {
    if (!Check(avio_open(&ctx_->pb, path_.c_str(), AVIO_FLAG_WRITE))) return false;
    if (!Check(avformat_write_header(ctx_, nullptr))) return false;
    begun_ = true;
    return true;
  }
  bool Write(AVPacket* packet) { return Check(av_interleaved_write_frame(ctx_, packet)); }
  bool Close(bool ok) {
    if (!ctx_) return ok;
    // Whatever was written is finalised, so a cut-short capture still plays.
    if (begun_ && !Check(av_write_trailer(ctx_))) ok = false;
    if (ctx_->pb && !Check(avio_closep(&ctx_->pb))) ok = false;
    avformat_free_context(ctx_);
    ctx_ = nullptr;
    return ok;
  }
  AVFormatContext* ctx() const { return ctx_; }

 private:
  // False for a failed step; the first failure is told with its cause.
  bool Check(int result) {
    if (result >= 0) return true;
    if (!told_) {
      told_ = true;
      char text[AV_ERROR_MAX_STRING_SIZE] = {};
      av_strerror(result, text, sizeof text);
      const int error = AVUNERROR(result);
      const std::string cause = error > 0 && error < 4096 ? plat::WriteFailureCause(error) : std::string(text);
      std::fprintf(stderr, "capture: cannot write \"%s\": %s\n", path_.c_str(), cause.c_str());
    }
    return false;
  }

  AVFormatContext* ctx_ = nullptr;
  std::string path_;
  bool begun_ = false;
  bool told_ = false;
};

bool CopyToAvi(Input& in, const std::string& path) {
  Output out;
  if (!out.Create("avi", path)) return false;
  int map[2] = {-1, -1};
  const int sources[2] = {in.video, in.audio};
  for (int i = 0; i < 2; ++i) {
    if (sources[i] < 0) continue;
    AVStream* st = avformat_new_stream(out.ctx(), nullptr);
    if (!st || avcodec_parameters_copy(st->codecpar, in.stream(sources[i])->codecpar) < 0) return false;
    st->codecpar->codec_tag = 0;
    st->time_base = in.stream(sources[i])->time_base;
    map[i] = st->index;
  }
  if (!out.Begin()) return out.Close(false);
  Packet packet(av_packet_alloc());
  bool ok = packet != nullptr;
  while (ok && av_read_frame(in.ctx(), packet.get()) >= 0) {
    const int which = packet->stream_index == in.video ? 0 : packet->stream_index == in.audio ? 1 : -1;
    if (which >= 0) {
      av_packet_rescale_ts(packet.get(), in.stream(sources[which])->time_base,
                           out.ctx()->streams[map[which]]->time_base);
      packet->stream_index = map[which];
      packet->pos = -1;
      ok = out.Write(packet.get());
    }
    av_packet_unref(packet.get());
  }
  return out.Close(ok);
}

// What each encoded format asks for when the record leaves it open.
struct FormatPlan {
  const char* muxer;
  AVCodecID video;
  AVCodecID audio;
  int bitRate;
  int maxRate;
  int minRate;
  int bufferBits;
  int sampleRate;
  int audioKbps;
  int packetSize;
  int muxRate;
};

FormatPlan PlanFor(int format) {
  switch (format) {
    case 7:
      return {"dvd", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, 6000000, 9000000, 0, 1835008, 48000, 224, 2048, 10080000};
    case 6:
      return {"svcd", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, 2040000, 2516000, 0, 1835008, 44100, 224, 2324, 0};
    case 3:
      return {"vcd", AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MP2, 1150000, 1150000, 1150000, 327680, 44100, 224, 2324, 1411200};
    case 1:
      return {"mpeg", AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MP2, 1150000, 0, 0, 0, 44100, 224, 0, 0};
    case 2:
      return {"mpeg", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, 6000000, 9000000, 0, 1835008, 48000, 224, 0, 0};
    default:  // 4
      return {"asf", AV_CODEC_ID_WMV2, AV_CODEC_ID_WMAV2, 1000000, 0, 0, 0, 44100, 128, 0, 0};
  }
}

class Encoder {
 public:
  bool Run(Input& in, const WriterSettings& s);

 private:
  bool OpenVideo(Input& in, const WriterSettings& s, const FormatPlan& plan);
  bool OpenAudio(Input& in, const WriterSettings& s, const FormatPlan& plan);
  bool Encode(AVCodecContext* enc, AVFrame* frame, int streamIndex);
  bool VideoFrame(AVFrame* decoded);
  bool AudioFrame(AVFrame* decoded);
  bool DrainFifo(bool last);
  bool Drain(AVCodecContext* dec, bool audio);

  Output out_;
  Codec vdec_, adec_, venc_, aenc_;
  std::unique_ptr<SwsContext, SwsFree> sws_;
  std::unique_ptr<SwrContext, SwrFree> swr_;
  std::unique_ptr<AVAudioFifo, FifoFree> fifo_;
  Frame scaled_, decoded_, samples_;
  Packet packet_;
  int vstream_ = -1, astream_ = -1;
  std::int64_t videoPts_ = 0, audioPts_ = 0;
};

bool Encoder::OpenVideo(Input& in, const WriterSettings& s, const FormatPlan& plan) {
  AVStream* ist = in.stream(in.video);
  const AVCodec* decoder = avcodec_find_decoder(ist->codecpar->codec_id);
  const AVCodec* encoder = avcodec_find_encoder(plan.video);
  if (!decoder || !encoder) return false;
  vdec_.reset(avcodec_alloc_context3(decoder));
  if (!vdec_ || avcodec_parameters_to_context(vdec_.get(), ist->codecpar) < 0) return false;
  vdec_->thread_count = 0;
  vdec_->thread_type = FF_THREAD_SLICE;
  if (avcodec_open2(vdec_.get(), decoder, nullptr) < 0) return false;

  AVRational rate = ist->avg_frame_rate.num ? ist->avg_frame_rate : ist->r_frame_rate;
  if (!rate.num) rate = AVRational{25, 1};
  const int width = s.width > 0 ? s.width : ist->codecpar->width;
  const int height = s.height > 0 ? s.height : ist->codecpar->height;
  venc_.reset(avcodec_alloc_context3(encoder));
  if (!venc_) return false;
  venc_->width = width;
  venc_->height = height;
  venc_->pix_fmt = AV_PIX_FMT_YUV420P;
  venc_->framerate = rate;
  venc_->time_base = av_inv_q(rate);
  venc_->bit_rate = s.videoBitRate > 0 ? s.videoBitRate : plan.bitRate;
  venc_->rc_max_rate = s.upperRate > 0 ? s.upperRate : plan.maxRate;
  venc_->rc_min_rate = plan.minRate;  // constant rate only where the format demands it
  // A peak rate at or below the average one only works for constant rate.
  if (venc_->rc_max_rate && venc_->rc_max_rate <= venc_->bit_rate && venc_->rc_min_rate != venc_->rc_max_rate) {
    venc_->rc_max_rate = venc_->bit_rate + venc_->bit_rate / 10;
  }
  venc_->rc_buffer_size = plan.bufferBits;
  // Slice threads, as many as the machine has: a live capture leaves them idle
  // between frames, an encode from a file finishes sooner.
  venc_->thread_count = 0;
  venc_->thread_type = FF_THREAD_SLICE;
  if (plan.video != AV_CODEC_ID_WMV2) {
    // DVD players take at most 15 (625 lines) or 18 (525 lines) pictures a GOP.
    const int limit = rate.num == 25 * rate.den ? 15 : 18;
    const int gop = s.gopLength > 0 ? s.gopLength : limit;
    venc_->gop_size = gop > limit ? limit : gop;
    venc_->max_b_frames = 2;
  } else {
    venc_->gop_size = 12 * rate.num / rate.den;
  }
  // The picture's shape is kept: the output pixels take the input's aspect.
  AVRational sar = ist->codecpar->sample_aspect_ratio;
  if (!sar.num) sar = av_guess_sample_aspect_ratio(in.ctx(), ist, nullptr);
  if (!sar.num) sar = AVRational{1, 1};
  const AVRational dar = av_mul_q(sar, AVRational{ist->codecpar->width, ist->codecpar->height});
  venc_->sample_aspect_ratio = av_mul_q(dar, AVRational{height, width});
  if (out_.ctx()->oformat->flags & AVFMT_GLOBALHEADER) venc_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(venc_.get(), encoder, nullptr) < 0) return false;
  AVStream* st = avformat_new_stream(out_.ctx(), nullptr);
  if (!st || avcodec_parameters_from_context(st->codecpar, venc_.get()) < 0) return false;
  st->time_base = venc_->time_base;
  st->avg_frame_rate = rate;
  st->sample_aspect_ratio = venc_->sample_aspect_ratio;
  // The buffer size travels to the muxer as the stream's CPB properties.
  for (int i = 0; i < venc_->nb_coded_side_data; ++i) {
    const AVPacketSideData& data = venc_->coded_side_data[i];
    std::uint8_t* copy = av_stream_new_side_data(st, data.type, data.size);
    if (copy) std::memcpy(copy, data.data, data.size);
  }
  vstream_ = st->index;

  sws_.reset(sws_getContext(ist->codecpar->width, ist->codecpar->height, static_cast<AVPixelFormat>(ist->codecpar->format),
                            width, height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
  scaled_.reset(av_frame_alloc());
  if (!sws_ || !scaled_) return false;
  scaled_->format = AV_PIX_FMT_YUV420P;
  scaled_->width = width;
  scaled_->height = height;
  return av_frame_get_buffer(scaled_.get(), 0) >= 0;
}

bool Encoder::OpenAudio(Input& in, const WriterSettings& s, const FormatPlan& plan) {
  AVStream* ist = in.stream(in.audio);
  const AVCodec* decoder = avcodec_find_decoder(ist->codecpar->codec_id);
  const AVCodec* encoder = avcodec_find_encoder(plan.audio);
  if (!decoder || !encoder) return false;
  adec_.reset(avcodec_alloc_context3(decoder));
  if (!adec_ || avcodec_parameters_to_context(adec_.get(), ist->codecpar) < 0) return false;
  if (avcodec_open2(adec_.get(), decoder, nullptr) < 0) return false;
  aenc_.reset(avcodec_alloc_context3(encoder));
  if (!aenc_) return false;
  aenc_->sample_rate = plan.sampleRate;
  av_channel_layout_default(&aenc_->ch_layout, 2);
  aenc_->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  aenc_->bit_rate = static_cast<std::int64_t>(s.audioKbps > 0 ? s.audioKbps : plan.audioKbps) * 1000;
  aenc_->time_base = AVRational{1, plan.sampleRate};
  if (out_.ctx()->oformat->flags & AVFMT_GLOBALHEADER) aenc_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(aenc_.get(), encoder, nullptr) < 0) return false;
  AVStream* st = avformat_new_stream(out_.ctx(), nullptr);
  if (!st || avcodec_parameters_from_context(st->codecpar, aenc_.get()) < 0) return false;
  st->time_base = aenc_->time_base;
  astream_ = st->index;

  SwrContext* swr = nullptr;
  if (swr_alloc_set_opts2(&swr, &aenc_->ch_layout, aenc_->sample_fmt, aenc_->sample_rate, &adec_->ch_layout,
                          adec_->sample_fmt, adec_->sample_rate, 0, nullptr) < 0) {
    return false;
  }
  swr_.reset(swr);
  if (swr_init(swr_.get()) < 0) return false;
  fifo_.reset(av_audio_fifo_alloc(aenc_->sample_fmt, aenc_->ch_layout.nb_channels, aenc_->frame_size * 4));
  samples_.reset(av_frame_alloc());
  return fifo_ && samples_;
}

bool Encoder::Encode(AVCodecContext* enc, AVFrame* frame, int streamIndex) {
  if (avcodec_send_frame(enc, frame) < 0) return false;
  for (;;) {
    const int rc = avcodec_receive_packet(enc, packet_.get());
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return false;
    av_packet_rescale_ts(packet_.get(), enc->time_base, out_.ctx()->streams[streamIndex]->time_base);
    packet_->stream_index = streamIndex;
    const bool ok = out_.Write(packet_.get());
    av_packet_unref(packet_.get());
    if (!ok) return false;
  }
}

bool Encoder::VideoFrame(AVFrame* decoded) {
  if (av_frame_make_writable(scaled_.get()) < 0) return false;
  sws_scale(sws_.get(), decoded->data, decoded->linesize, 0, decoded->height, scaled_->data, scaled_->linesize);
  scaled_->pts = videoPts_++;
  scaled_->interlaced_frame = decoded->interlaced_frame;
  scaled_->top_field_first = decoded->top_field_first;
  return Encode(venc_.get(), scaled_.get(), vstream_);
}

bool Encoder::AudioFrame(AVFrame* decoded) {
  const int room = swr_get_out_samples(swr_.get(), decoded ? decoded->nb_samples : 0);
  if (room <= 0) return true;
  std::uint8_t** data = nullptr;
  if (av_samples_alloc_array_and_samples(&data, nullptr, aenc_->ch_layout.nb_channels, room, aenc_->sample_fmt, 0) < 0) {
    return false;
  }
  const int got = swr_convert(swr_.get(), data, room, decoded ? const_cast<const std::uint8_t**>(decoded->extended_data) : nullptr,
                              decoded ? decoded->nb_samples : 0);
  const bool ok = got < 0 ? false : av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(data), got) == got;
  av_freep(&data[0]);
  av_freep(&data);
  return ok && DrainFifo(false);
}

bool Encoder::DrainFifo(bool last) {
  const int size = aenc_->frame_size > 0 ? aenc_->frame_size : 1152;
  while (av_audio_fifo_size(fifo_.get()) >= size || (last && av_audio_fifo_size(fifo_.get()) > 0)) {
    av_frame_unref(samples_.get());
    samples_->nb_samples = size;
    samples_->format = aenc_->sample_fmt;
    samples_->sample_rate = aenc_->sample_rate;
    if (av_channel_layout_copy(&samples_->ch_layout, &aenc_->ch_layout) < 0) return false;
    if (av_frame_get_buffer(samples_.get(), 0) < 0) return false;
    const int available = av_audio_fifo_size(fifo_.get());
    const int n = available < size ? available : size;
    // The last frame is padded with silence to the encoder's frame size.
    if (n < size) av_samples_set_silence(samples_->extended_data, 0, size, aenc_->ch_layout.nb_channels, aenc_->sample_fmt);
    if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(samples_->extended_data), n) != n) return false;
    samples_->pts = audioPts_;
    audioPts_ += size;
    if (!Encode(aenc_.get(), samples_.get(), astream_)) return false;
  }
  return true;
}

bool Encoder::Drain(AVCodecContext* dec, bool audio) {
  for (;;) {
    const int rc = avcodec_receive_frame(dec, decoded_.get());
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return false;
    const bool ok = audio ? AudioFrame(decoded_.get()) : VideoFrame(decoded_.get());
    av_frame_unref(decoded_.get());
    if (!ok) return false;
  }
}

bool Encoder::Run(Input& in, const WriterSettings& s) {
  const FormatPlan plan = PlanFor(s.format);
  if (!out_.Create(plan.muxer, s.path)) return false;
  packet_.reset(av_packet_alloc());
  decoded_.reset(av_frame_alloc());
  if (!packet_ || !decoded_) return false;
  if (!OpenVideo(in, s, plan)) return out_.Close(false);
  if (in.audio >= 0 && !OpenAudio(in, s, plan)) return out_.Close(false);
  if (plan.packetSize) out_.ctx()->packet_size = static_cast<unsigned>(plan.packetSize);
  if (plan.muxRate) av_opt_set_int(out_.ctx()->priv_data, "muxrate", plan.muxRate, 0);
  if (!out_.Begin()) return out_.Close(false);

  Packet input(av_packet_alloc());
  bool ok = input != nullptr;
  while (ok && av_read_frame(in.ctx(), input.get()) >= 0) {
    if (input->stream_index == in.video) {
      ok = avcodec_send_packet(vdec_.get(), input.get()) >= 0 && Drain(vdec_.get(), false);
    } else if (input->stream_index == in.audio && adec_) {
      ok = avcodec_send_packet(adec_.get(), input.get()) >= 0 && Drain(adec_.get(), true);
    }
    av_packet_unref(input.get());
  }
  if (ok) ok = avcodec_send_packet(vdec_.get(), nullptr) >= 0 && Drain(vdec_.get(), false);
  if (ok) ok = Encode(venc_.get(), nullptr, vstream_);
  if (ok && adec_) {
    ok = avcodec_send_packet(adec_.get(), nullptr) >= 0 && Drain(adec_.get(), true) && AudioFrame(nullptr) &&
         DrainFifo(true) && Encode(aenc_.get(), nullptr, astream_);
  }
  return out_.Close(ok);
}

}  // namespace

bool TranscodeDv(const ByteSource& source, const WriterSettings& settings) {
  Input in(source);
  if (!in.Open()) return false;
  if (settings.format == 0) return CopyToAvi(in, settings.path);
  Encoder encoder;
  return encoder.Run(in, settings);
}

}  // namespace dvdev
