#include "outside/tvrecorder/av_recorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace tvrec {

namespace {

struct CodecDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

bool IsVcdSize(int width, int height) { return width == 352 && (height == 288 || height == 240); }

}  // namespace

EncodeSettings SettingsFromBlock(const EncoderBlock& block, const SourceFormat& source) {
  EncodeSettings s;
  s.avi = block.format == 0;
  s.width = block.width > 0 && block.width <= 1920 ? (block.width + 1) & ~1 : source.width;
  s.height = block.height > 0 && block.height <= 1088 ? (block.height + 1) & ~1 : source.height;
  s.fpsNum = source.fpsNum;
  s.fpsDen = source.fpsDen;
  s.videoBitRate = std::clamp(block.videoBitRate, 100000, 15000000);
  s.audioBitRate = std::clamp(block.audioBitRate, 64, 384) * 1000;
  const int gop = static_cast<int>(strnlen(block.gop, sizeof block.gop));
  s.gopLength = gop > 0 ? std::min(gop, 18) : 15;
  return s;
}

struct AvRecorder::State {
  AVFormatContext* format = nullptr;
  std::unique_ptr<AVCodecContext, CodecDeleter> video;
  std::unique_ptr<AVCodecContext, CodecDeleter> audio;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
  std::unique_ptr<AVFrame, FrameDeleter> picture;
  std::unique_ptr<AVFrame, FrameDeleter> sound;
  std::unique_ptr<AVPacket, PacketDeleter> packet;
  SwsContext* scaler = nullptr;
  int scalerWidth = 0;
  int scalerHeight = 0;
  std::int64_t firstPtsNs = -1;
  std::int64_t nextVideoPts = 0;
  std::int64_t audioSamples = 0;
  std::vector<std::int16_t> pendingAudio;
  std::int64_t bytes = 0;
  bool open = false;

  ~State() {
    if (scaler) sws_freeContext(scaler);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }

  bool Write(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
    if (avcodec_send_frame(codec, frame) < 0) return false;
    for (;;) {
      const int r = avcodec_receive_packet(codec, packet.get());
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
      if (r < 0) return false;
      av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      bytes += packet->size;
      if (av_interleaved_write_frame(format, packet.get()) < 0) return false;
    }
  }
};

AvRecorder::AvRecorder() = default;

AvRecorder::~AvRecorder() { Close(); }

bool AvRecorder::Open(const std::string& path, const EncodeSettings& settings, std::string* error) {
  std::lock_guard lock(mutex_);
  bool created = false;
  auto fail = [&](const char* why) {
    if (error) *error = why;
    state_.reset();
    // A file this call created and could not start is not left behind.
    if (created) ::unlink(path.c_str());
    return false;
  };
  if (state_) return fail("already recording");
  // Never overwrite: the engine chose a free name.
  const int probe = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (probe < 0) return fail("the file exists or cannot be created");
  ::close(probe);
  created = true;
  state_ = std::make_unique<State>();
  State& s = *state_;
  const bool vcd = !settings.avi && IsVcdSize(settings.width, settings.height);
  const char* muxer = settings.avi ? "avi" : vcd ? "vcd" : "dvd";
  if (avformat_alloc_output_context2(&s.format, nullptr, muxer, path.c_str()) < 0 || !s.format) {
    return fail("no muxer");
  }
  const AVCodec* vcodec = avcodec_find_encoder(settings.avi ? AV_CODEC_ID_MPEG4
                                               : vcd        ? AV_CODEC_ID_MPEG1VIDEO
                                                            : AV_CODEC_ID_MPEG2VIDEO);
  const AVCodec* acodec = avcodec_find_encoder(settings.avi ? AV_CODEC_ID_PCM_S16LE : AV_CODEC_ID_MP2);
  if (!vcodec || !acodec) return fail("no encoder");

  s.video.reset(avcodec_alloc_context3(vcodec));
  AVCodecContext* v = s.video.get();
  v->width = settings.width;
  v->height = settings.height;
  v->time_base = AVRational{settings.fpsDen, settings.fpsNum};
  v->framerate = AVRational{settings.fpsNum, settings.fpsDen};
  v->pix_fmt = AV_PIX_FMT_YUV420P;
  v->bit_rate = settings.videoBitRate;
  v->gop_size = settings.gopLength;
  v->max_b_frames = settings.avi ? 0 : 2;
  v->thread_count = 1;
  if (!settings.avi) {
    v->rc_max_rate = std::max<std::int64_t>(settings.videoBitRate, vcd ? 1150000 : 9000000);
    v->rc_buffer_size = vcd ? 327680 : 1835008;
  } else {
    v->codec_tag = MKTAG('D', 'X', '5', '0');
  }
  if (s.format->oformat->flags & AVFMT_GLOBALHEADER) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(v, vcodec, nullptr) < 0) return fail("the video encoder refuses the settings");

  s.audio.reset(avcodec_alloc_context3(acodec));
  AVCodecContext* a = s.audio.get();
  a->sample_fmt = AV_SAMPLE_FMT_S16;
  a->sample_rate = kAudioRate;
  av_channel_layout_default(&a->ch_layout, 2);
  if (!settings.avi) a->bit_rate = settings.audioBitRate;
  a->time_base = AVRational{1, kAudioRate};
  if (s.format->oformat->flags & AVFMT_GLOBALHEADER) a->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(a, acodec, nullptr) < 0) return fail("the sound encoder refuses the settings");

  s.videoStream = avformat_new_stream(s.format, nullptr);
  s.audioStream = avformat_new_stream(s.format, nullptr);
  if (!s.videoStream || !s.audioStream) return fail("no streams");
  avcodec_parameters_from_context(s.videoStream->codecpar, v);
  avcodec_parameters_from_context(s.audioStream->codecpar, a);
  s.videoStream->time_base = v->time_base;
  s.audioStream->time_base = a->time_base;
  if (settings.avi) s.videoStream->codecpar->codec_tag = MKTAG('D', 'X', '5', '0');
  if (avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return fail("cannot write the file");
  // What is written reaches the file at once: the time shift and the watch
  // while recording read the file as it grows.
  s.format->flags |= AVFMT_FLAG_FLUSH_PACKETS;
  s.format->flush_packets = 1;
  if (avformat_write_header(s.format, nullptr) < 0) return fail("cannot start the file");

  s.picture.reset(av_frame_alloc());
  s.picture->format = AV_PIX_FMT_YUV420P;
  s.picture->width = v->width;
  s.picture->height = v->height;
  s.sound.reset(av_frame_alloc());
  s.packet.reset(av_packet_alloc());
  if (!s.picture || !s.sound || !s.packet || av_frame_get_buffer(s.picture.get(), 0) < 0) return fail("no memory");
  s.open = true;
  return true;
}

void AvRecorder::AddVideo(const VideoFrameI420& frame) {
  std::lock_guard lock(mutex_);
  if (!state_ || !state_->open || frame.width <= 0 || frame.height <= 0) return;
  State& s = *state_;
  const std::size_t cw = static_cast<std::size_t>((frame.width + 1) / 2);
  const std::size_t ch = static_cast<std::size_t>((frame.height + 1) / 2);
  const std::size_t luma = static_cast<std::size_t>(frame.width) * frame.height;
  if (frame.data.size() < luma + 2 * cw * ch) return;
  if (s.firstPtsNs < 0) s.firstPtsNs = frame.ptsNs;
  if (av_frame_make_writable(s.picture.get()) < 0) return;
  const std::uint8_t* planes[3] = {frame.data.data(), frame.data.data() + luma, frame.data.data() + luma + cw * ch};
  const int strides[3] = {frame.width, static_cast<int>(cw), static_cast<int>(cw)};
  if (frame.width == s.picture->width && frame.height == s.picture->height) {
    // The encoder's size already: the planes are copied as they are.
    av_image_copy(s.picture->data, s.picture->linesize, planes, strides, AV_PIX_FMT_YUV420P, frame.width,
                  frame.height);
  } else {
    if (!s.scaler || s.scalerWidth != frame.width || s.scalerHeight != frame.height) {
      if (s.scaler) sws_freeContext(s.scaler);
      s.scaler = sws_getContext(frame.width, frame.height, AV_PIX_FMT_YUV420P, s.picture->width, s.picture->height,
                                AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
      s.scalerWidth = frame.width;
      s.scalerHeight = frame.height;
      if (!s.scaler) return;
    }
    sws_scale(s.scaler, planes, strides, 0, frame.height, s.picture->data, s.picture->linesize);
  }
  // Frames are numbered by their time, so a late or dropped frame leaves a gap
  // rather than shifting everything after it.
  const AVRational tb = s.video->time_base;
  std::int64_t pts = av_rescale_q(frame.ptsNs - s.firstPtsNs, AVRational{1, 1000000000}, tb);
  if (pts < s.nextVideoPts) pts = s.nextVideoPts;
  s.picture->pts = pts;
  s.nextVideoPts = pts + 1;
  s.Write(s.video.get(), s.videoStream, s.picture.get());
}

void AvRecorder::AddAudio(const AudioChunk& chunk) {
  std::lock_guard lock(mutex_);
  if (!state_ || !state_->open) return;
  State& s = *state_;
  // Sound starts with the first picture, so both begin together.
  if (s.firstPtsNs < 0 || chunk.ptsNs < s.firstPtsNs) return;
  s.pendingAudio.insert(s.pendingAudio.end(), chunk.samples.begin(), chunk.samples.end());
  const int frameSize = s.audio->frame_size > 0 ? s.audio->frame_size : 1152;
  while (s.pendingAudio.size() >= static_cast<std::size_t>(frameSize) * 2) {
    AVFrame* f = s.sound.get();
    av_frame_unref(f);
    f->format = AV_SAMPLE_FMT_S16;
    f->sample_rate = kAudioRate;
    f->nb_samples = frameSize;
    av_channel_layout_default(&f->ch_layout, 2);
    if (av_frame_get_buffer(f, 0) < 0) return;
    std::memcpy(f->data[0], s.pendingAudio.data(), static_cast<std::size_t>(frameSize) * 2 * sizeof(std::int16_t));
    s.pendingAudio.erase(s.pendingAudio.begin(), s.pendingAudio.begin() + frameSize * 2);
    f->pts = s.audioSamples;
    s.audioSamples += frameSize;
    s.Write(s.audio.get(), s.audioStream, f);
  }
}

bool AvRecorder::Close() {
  std::lock_guard lock(mutex_);
  if (!state_) return false;
  State& s = *state_;
  bool ok = s.open;
  if (s.open) {
    ok = s.Write(s.video.get(), s.videoStream, nullptr) && ok;
    ok = s.Write(s.audio.get(), s.audioStream, nullptr) && ok;
    ok = av_write_trailer(s.format) == 0 && ok;
  }
  state_.reset();
  return ok;
}

std::int64_t AvRecorder::bytesWritten() const {
  std::lock_guard lock(mutex_);
  return state_ ? state_->bytes : 0;
}

double AvRecorder::secondsWritten() const {
  std::lock_guard lock(mutex_);
  if (!state_ || !state_->video) return 0;
  return static_cast<double>(state_->nextVideoPts) * state_->video->time_base.num / state_->video->time_base.den;
}

}  // namespace tvrec
