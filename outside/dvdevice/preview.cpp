#include "outside/dvdevice/preview.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace dvdev {

namespace {

// A decoded picture into packed I420 rows.
bool ToI420(const AVFrame* frame, SwsContext*& sws, tvrec::VideoFrameI420& out) {
  const int w = frame->width;
  const int h = frame->height;
  if (w <= 0 || h <= 0) return false;
  out.width = w;
  out.height = h;
  out.data.resize(static_cast<std::size_t>(w) * h + 2 * static_cast<std::size_t>(w / 2) * (h / 2));
  std::uint8_t* planes[3] = {out.data.data(), out.data.data() + w * h, out.data.data() + w * h + (w / 2) * (h / 2)};
  int strides[3] = {w, w / 2, w / 2};
  if (frame->format == AV_PIX_FMT_YUV420P) {
    // Already 4:2:0 (625-line DV, MPEG-2): copy the planes.
    for (int p = 0; p < 3; ++p) {
      const int rows = p == 0 ? h : h / 2;
      for (int y = 0; y < rows; ++y) {
        std::memcpy(planes[p] + y * strides[p], frame->data[p] + y * frame->linesize[p], static_cast<std::size_t>(strides[p]));
      }
    }
    return true;
  }
  sws = sws_getCachedContext(sws, w, h, static_cast<AVPixelFormat>(frame->format), w, h, AV_PIX_FMT_YUV420P,
                             SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
  if (!sws) return false;
  sws_scale(sws, frame->data, frame->linesize, 0, h, planes, strides);
  return true;
}

}  // namespace

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
  const bool ok = ToI420(s.frame, s.sws, out);
  av_frame_unref(s.frame);
  return ok;
}

Preview::Preview(tvrec::VideoWindow& window, int kind) : window_(window), kind_(kind) {
  thread_ = std::thread([this] { Run(); });
}

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
    if (kind_ == 2) {
      // The stream must stay whole for decoding: bytes are added, and only
      // a backlog past the bound is given up.
      if (pending_.size() + size > kMaxTsBytes) pending_.clear();
      pending_.insert(pending_.end(), data, data + size);
    } else {
      pending_.assign(data, data + size);
    }
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
  TsPictureDecoder tsDecoder;
  std::vector<std::uint8_t> frame;
  tvrec::VideoFrameI420 picture;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || has_; });
    if (quit_) return;
    frame.swap(pending_);
    pending_.clear();
    has_ = false;
    lock.unlock();
    const bool ok = kind_ == 2 ? tsDecoder.Feed(frame.data(), frame.size(), picture)
                               : decoder.Decode(frame.data(), frame.size(), picture);
    if (ok) window_.Present(picture);
    lock.lock();
    if (ok) ++decoded_;
  }
}

// --- Transport streams -------------------------------------------------------------------

struct TsPictureDecoder::State {
  AVCodecContext* codec = nullptr;
  AVCodecParserContext* parser = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  SwsContext* sws = nullptr;
  int pmtPid = -1;
  int videoPid = -1;
  std::vector<std::uint8_t> es;
};

TsPictureDecoder::TsPictureDecoder() : state_(std::make_unique<State>()) {
  const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_MPEG2VIDEO);
  if (decoder) state_->codec = avcodec_alloc_context3(decoder);
  if (state_->codec) {
    state_->codec->thread_count = 1;
    if (avcodec_open2(state_->codec, decoder, nullptr) < 0) avcodec_free_context(&state_->codec);
  }
  state_->parser = av_parser_init(AV_CODEC_ID_MPEG2VIDEO);
  state_->packet = av_packet_alloc();
  state_->frame = av_frame_alloc();
}

TsPictureDecoder::~TsPictureDecoder() {
  if (state_->parser) av_parser_close(state_->parser);
  avcodec_free_context(&state_->codec);
  av_packet_free(&state_->packet);
  av_frame_free(&state_->frame);
  sws_freeContext(state_->sws);
}

bool TsPictureDecoder::Feed(const std::uint8_t* data, std::size_t size, tvrec::VideoFrameI420& out) {
  State& s = *state_;
  if (!s.codec || !s.parser || !s.packet || !s.frame) return false;
  s.es.clear();
  for (std::size_t off = 0; off + 188 <= size; off += 188) {
    const std::uint8_t* p = data + off;
    if (p[0] != 0x47) continue;
    const bool start = (p[1] & 0x40) != 0;
    const int pid = ((p[1] & 0x1F) << 8) | p[2];
    const int control = (p[3] >> 4) & 3;
    std::size_t at = 4;
    if (control & 2) at += 1 + p[4];
    if (!(control & 1) || at >= 188) continue;
    const std::uint8_t* payload = p + at;
    std::size_t length = 188 - at;
    if ((pid == 0 || pid == s.pmtPid) && start) {
      // PAT or PMT: one short section after the pointer field.
      const std::size_t section = 1 + payload[0];
      if (section + 12 > length) continue;
      const std::uint8_t* t = payload + section;
      // The section's end before its CRC, within this packet.
      const long sectionEnd = std::min<long>(static_cast<long>(length - section), 3L + (((t[1] & 0x0F) << 8) | t[2]));
      if (sectionEnd < 16) continue;
      const std::size_t end = static_cast<std::size_t>(sectionEnd - 4);
      if (pid == 0) {
        for (std::size_t i = 8; i + 4 <= end; i += 4) {
          if (((t[i] << 8) | t[i + 1]) != 0) {
            s.pmtPid = ((t[i + 2] & 0x1F) << 8) | t[i + 3];
            break;
          }
        }
      } else {
        for (std::size_t i = 12 + (((t[10] & 0x0F) << 8) | t[11]); i + 5 <= end;
             i += 5 + (((t[i + 3] & 0x0F) << 8) | t[i + 4])) {
          if (t[i] == 0x01 || t[i] == 0x02) {
            s.videoPid = ((t[i + 1] & 0x1F) << 8) | t[i + 2];
            break;
          }
        }
      }
      continue;
    }
    if (pid != s.videoPid) continue;
    if (start) {
      // Past the PES header to the elementary stream.
      if (length < 9 || payload[0] != 0 || payload[1] != 0 || payload[2] != 1) continue;
      const std::size_t header = 9 + payload[8];
      if (header >= length) continue;
      payload += header;
      length -= header;
    }
    s.es.insert(s.es.end(), payload, payload + length);
  }
  bool got = false;
  const std::uint8_t* in = s.es.data();
  int left = static_cast<int>(s.es.size());
  while (left > 0) {
    std::uint8_t* chunk = nullptr;
    int chunkSize = 0;
    const int used = av_parser_parse2(s.parser, s.codec, &chunk, &chunkSize, in, left, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (used < 0) break;
    in += used;
    left -= used;
    if (chunkSize <= 0) continue;
    s.packet->data = chunk;
    s.packet->size = chunkSize;
    if (avcodec_send_packet(s.codec, s.packet) < 0) continue;
    while (avcodec_receive_frame(s.codec, s.frame) == 0) {
      got = ToI420(s.frame, s.sws, out) || got;
      av_frame_unref(s.frame);
    }
  }
  return got;
}

}  // namespace dvdev

