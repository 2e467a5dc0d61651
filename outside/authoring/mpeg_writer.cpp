#include "outside/authoring/mpeg_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <array>
#include <vector>

namespace authoring {
namespace {

// MPEG audio layer II bit rates, kbit/s.
int Mp2BitRate(int wanted) {
  static constexpr std::array<int, 14> kRates = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
  int best = kRates.front();
  for (int r : kRates) {
    if (r * 1000 <= wanted) best = r;
  }
  return best * 1000;
}

}  // namespace

void AvFrameFree::operator()(AVFrame* frame) const { av_frame_free(&frame); }

FramePtr BlackPicture(const MpegTarget& target) {
  FramePtr frame(av_frame_alloc());
  if (!frame) return nullptr;
  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = target.width;
  frame->height = target.height;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return nullptr;
  for (int y = 0; y < target.height; ++y) std::fill_n(frame->data[0] + y * frame->linesize[0], target.width, 16);
  for (int plane = 1; plane < 3; ++plane) {
    for (int y = 0; y < target.height / 2; ++y) {
      std::fill_n(frame->data[plane] + y * frame->linesize[plane], target.width / 2, 128);
    }
  }
  return frame;
}

struct MpegWriter::State {
  AVFormatContext* format = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* audioFrame = nullptr;
  bool headerWritten = false;
  bool finished = false;

  ~State() {
    if (format) {
      if (headerWritten && !finished) av_write_trailer(format);
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    if (fifo) av_audio_fifo_free(fifo);
    av_packet_free(&packet);
    av_frame_free(&audioFrame);
  }
};

MpegWriter::MpegWriter(const MpegTarget& target) : target_(target), state_(std::make_unique<State>()) {}

MpegWriter::~MpegWriter() = default;

bool MpegWriter::Open(const std::string& path, std::string* error) {
  State& s = *state_;
  auto fail = [error](const char* what) {
    if (error) *error = what;
    return false;
  };
  if (avformat_alloc_output_context2(&s.format, nullptr, target_.muxer, path.c_str()) < 0 || !s.format) {
    return fail("no MPEG multiplexer");
  }
  const AVCodec* videoCodec = avcodec_find_encoder(target_.mpeg1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO);
  const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_MP2);
  if (!videoCodec || !audioCodec) return fail("no MPEG encoder");

  s.video = avcodec_alloc_context3(videoCodec);
  AVCodecContext* v = s.video;
  v->width = target_.width;
  v->height = target_.height;
  v->pix_fmt = AV_PIX_FMT_YUV420P;
  v->time_base = AVRational{target_.fpsDen, target_.fpsNum};
  v->framerate = AVRational{target_.fpsNum, target_.fpsDen};
  // Pixels are as wide as the 4:3 picture over the stored size makes them.
  av_reduce(&v->sample_aspect_ratio.num, &v->sample_aspect_ratio.den,
            static_cast<std::int64_t>(target_.displayAspectNum) * target_.height,
            static_cast<std::int64_t>(target_.displayAspectDen) * target_.width, 255);
  v->bit_rate = target_.videoBitRate;
  v->rc_max_rate = target_.maxBitRate;
  // libavcodec's rate control takes a floor only for constant rates.
  v->rc_min_rate = target_.minBitRate == target_.maxBitRate ? target_.minBitRate : 0;
  v->rc_buffer_size = target_.bufferBits;
  v->gop_size = target_.gop;
  // I and P pictures only: at disc bit rates B pictures add encoding time
  // more than they add picture quality.
  v->max_b_frames = 0;
  v->thread_count = 0;
  if (s.format->oformat->flags & AVFMT_GLOBALHEADER) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(v, videoCodec, nullptr) < 0) return fail("the video encoder refused its settings");

  s.audio = avcodec_alloc_context3(audioCodec);
  AVCodecContext* a = s.audio;
  a->sample_fmt = AV_SAMPLE_FMT_S16;
  a->sample_rate = target_.audioRate;
  av_channel_layout_default(&a->ch_layout, 2);
  a->bit_rate = Mp2BitRate(target_.audioBitRate);
  a->time_base = AVRational{1, target_.audioRate};
  if (avcodec_open2(a, audioCodec, nullptr) < 0) return fail("the audio encoder refused its settings");

  s.videoStream = avformat_new_stream(s.format, nullptr);
  s.audioStream = avformat_new_stream(s.format, nullptr);
  if (!s.videoStream || !s.audioStream) return fail("no streams");
  avcodec_parameters_from_context(s.videoStream->codecpar, v);
  avcodec_parameters_from_context(s.audioStream->codecpar, a);
  s.videoStream->time_base = v->time_base;
  s.audioStream->time_base = a->time_base;
  s.videoStream->sample_aspect_ratio = v->sample_aspect_ratio;
  // The multiplexer sizes its buffers from the video buffer the disc has.
  std::size_t propsSize = 0;
  if (AVCPBProperties* props = av_cpb_properties_alloc(&propsSize)) {
    props->buffer_size = target_.bufferBits;
    props->max_bitrate = target_.maxBitRate;
    props->avg_bitrate = target_.videoBitRate;
    if (av_stream_add_side_data(s.videoStream, AV_PKT_DATA_CPB_PROPERTIES, reinterpret_cast<std::uint8_t*>(props),
                                propsSize) < 0) {
      av_free(props);
    }
  }
  s.format->packet_size = static_cast<unsigned>(target_.packetSize);
  if (target_.muxRate) av_opt_set_int(s.format->priv_data, "muxrate", target_.muxRate, 0);
  s.format->max_delay = static_cast<int>(0.7 * AV_TIME_BASE);
  if (avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return fail("cannot create the file");
  if (avformat_write_header(s.format, nullptr) < 0) return fail("cannot start the file");
  s.headerWritten = true;

  s.fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_S16, 2, a->frame_size * 4);
  s.packet = av_packet_alloc();
  s.audioFrame = av_frame_alloc();
  return s.fifo && s.packet && s.audioFrame;
}

bool MpegWriter::Drain(bool video) {
  State& s = *state_;
  AVCodecContext* codec = video ? s.video : s.audio;
  AVStream* stream = video ? s.videoStream : s.audioStream;
  for (;;) {
    const int rc = avcodec_receive_packet(codec, s.packet);
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return false;
    av_packet_rescale_ts(s.packet, codec->time_base, stream->time_base);
    s.packet->stream_index = stream->index;
    if (av_interleaved_write_frame(s.format, s.packet) < 0) return false;
  }
}

bool MpegWriter::WriteVideo(AVFrame* picture) {
  State& s = *state_;
  if (!s.headerWritten) return false;
  picture->pts = videoFrames_++;
  picture->sample_aspect_ratio = s.video->sample_aspect_ratio;
  if (avcodec_send_frame(s.video, picture) < 0) return false;
  return Drain(true);
}

bool MpegWriter::EncodeAudioFrames(bool flush) {
  State& s = *state_;
  const int frameSize = s.audio->frame_size;
  while (av_audio_fifo_size(s.fifo) >= frameSize || (flush && av_audio_fifo_size(s.fifo) > 0)) {
    const int n = std::min(frameSize, av_audio_fifo_size(s.fifo));
    av_frame_unref(s.audioFrame);
    s.audioFrame->nb_samples = frameSize;
    s.audioFrame->format = AV_SAMPLE_FMT_S16;
    s.audioFrame->sample_rate = s.audio->sample_rate;
    av_channel_layout_copy(&s.audioFrame->ch_layout, &s.audio->ch_layout);
    if (av_frame_get_buffer(s.audioFrame, 0) < 0) return false;
    // The last frame is filled up with silence: MP2 frames are whole.
    std::fill_n(s.audioFrame->data[0], frameSize * 4, 0);
    void* planes[1] = {s.audioFrame->data[0]};
    if (av_audio_fifo_read(s.fifo, planes, n) < n) return false;
    s.audioFrame->pts = audioSamples_;
    audioSamples_ += frameSize;
    if (avcodec_send_frame(s.audio, s.audioFrame) < 0) return false;
    if (!Drain(false)) return false;
  }
  return true;
}

bool MpegWriter::WriteAudio(const std::int16_t* samples, int frames) {
  State& s = *state_;
  if (!s.headerWritten || frames <= 0) return s.headerWritten;
  void* planes[1] = {const_cast<std::int16_t*>(samples)};
  if (av_audio_fifo_write(s.fifo, planes, frames) < frames) return false;
  return EncodeAudioFrames(false);
}

bool MpegWriter::PadAudioToVideo() {
  State& s = *state_;
  if (!s.headerWritten) return false;
  const std::int64_t wanted = av_rescale(videoFrames_, static_cast<std::int64_t>(target_.audioRate) * target_.fpsDen,
                                         target_.fpsNum);
  std::int64_t have = audioSamples_ + av_audio_fifo_size(s.fifo);
  std::vector<std::int16_t> silence(4096 * 2, 0);
  while (have < wanted) {
    const int n = static_cast<int>(std::min<std::int64_t>(4096, wanted - have));
    if (!WriteAudio(silence.data(), n)) return false;
    have += n;
  }
  return true;
}

bool MpegWriter::Finish() {
  State& s = *state_;
  if (!s.headerWritten || s.finished) return false;
  if (!EncodeAudioFrames(true)) return false;
  avcodec_send_frame(s.video, nullptr);
  avcodec_send_frame(s.audio, nullptr);
  if (!Drain(true) || !Drain(false)) return false;
  s.finished = true;
  const bool ok = av_write_trailer(s.format) >= 0;
  return avio_closep(&s.format->pb) >= 0 && ok;
}

std::int64_t MpegWriter::BytesWritten() const {
  return state_->format && state_->format->pb ? avio_tell(state_->format->pb) : 0;
}

}  // namespace authoring
