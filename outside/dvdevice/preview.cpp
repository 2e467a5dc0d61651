#include "outside/dvdevice/preview.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace dvdev {

struct DvPictureDecoder::State {
  AVCodecContext* codec = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  SwsContext* sws = nullptr;
};

DvPictureDecoder::DvPictureDecoder() : state_(std::make_unique<State>()) {
  const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
  if (decoder) state_->codec = avcodec_alloc_context3(decoder);
  if (state_->codec) {
    state_->codec->thread_count = 1;
    if (avcodec_open2(state_->codec, decoder, nullptr) < 0) avcodec_free_context(&state_->codec);
  }
  state_->packet = av_packet_alloc();
  state_->frame = av_frame_alloc();
}

DvPictureDecoder::~DvPictureDecoder() {
  avcodec_free_context(&state_->codec);
  av_packet_free(&state_->packet);
  av_frame_free(&state_->frame);
  sws_freeContext(state_->sws);
}

bool DvPictureDecoder::Decode(const std::uint8_t* data, std::size_t size, tvrec::VideoFrameI420& out) {
  State& s = *state_;
  if (!s.codec || !s.packet || !s.frame) return false;
  s.packet->data = const_cast<std::uint8_t*>(data);
  s.packet->size = static_cast<int>(size);
  if (avcodec_send_packet(s.codec, s.packet) < 0) return false;
  if (avcodec_receive_frame(s.codec, s.frame) < 0) return false;
  const int w = s.frame->width;
  const int h = s.frame->height;
  out.width = w;
  out.height = h;
  out.data.resize(static_cast<std::size_t>(w) * h * 3 / 2);
  std::uint8_t* planes[3] = {out.data.data(), out.data.data() + w * h, out.data.data() + w * h + (w / 2) * (h / 2)};
  int strides[3] = {w, w / 2, w / 2};
  if (s.frame->format == AV_PIX_FMT_YUV420P) {
    // 625-line DV is 4:2:0 already: copy the planes.
    for (int p = 0; p < 3; ++p) {
      const int rows = p == 0 ? h : h / 2;
      for (int y = 0; y < rows; ++y) {
        std::memcpy(planes[p] + y * strides[p], s.frame->data[p] + y * s.frame->linesize[p], static_cast<std::size_t>(strides[p]));
      }
    }
  } else {
    s.sws = sws_getCachedContext(s.sws, w, h, static_cast<AVPixelFormat>(s.frame->format), w, h, AV_PIX_FMT_YUV420P,
                                 SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    if (!s.sws) return false;
    sws_scale(s.sws, s.frame->data, s.frame->linesize, 0, h, planes, strides);
  }
  av_frame_unref(s.frame);
  return true;
}

Preview::Preview(tvrec::VideoWindow& window) : window_(window) { thread_ = std::thread([this] { Run(); }); }

Preview::~Preview() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Preview::Offer(const std::uint8_t* data, std::size_t size) {
  {
    std::lock_guard lock(mutex_);
    pending_.assign(data, data + size);
    has_ = true;
  }
  wake_.notify_one();
}

int Preview::decoded() const {
  std::lock_guard lock(mutex_);
  return decoded_;
}

void Preview::Run() {
  DvPictureDecoder decoder;
  std::vector<std::uint8_t> frame;
  tvrec::VideoFrameI420 picture;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || has_; });
    if (quit_) return;
    frame.swap(pending_);
    has_ = false;
    lock.unlock();
    const bool ok = decoder.Decode(frame.data(), frame.size(), picture);
    if (ok) window_.Present(picture);
    lock.lock();
    if (ok) ++decoded_;
  }
}

}  // namespace dvdev
