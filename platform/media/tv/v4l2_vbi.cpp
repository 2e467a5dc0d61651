#include "platform/media/tv/v4l2_vbi.h"

#include <libzvbi.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace plat::tv {

namespace {

constexpr std::size_t kTeletextBytes = 42;

}  // namespace

std::string TunerVbiDevice(const std::string& videoNode, const std::string& classRoot, const std::string& devRoot) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string node = fs::path(videoNode).filename().string();
  const fs::path parent = fs::canonical(fs::path(classRoot) / node / "device", ec);
  if (ec) return {};
  std::vector<std::string> found;
  for (fs::directory_iterator it(classRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind("vbi", 0) != 0) continue;
    std::error_code nodeEc;
    if (fs::canonical(it->path() / "device", nodeEc) == parent && !nodeEc) found.push_back(name);
  }
  if (found.empty()) return {};
  std::sort(found.begin(), found.end());
  return devRoot + "/" + found.front();
}

// libzvbi's raw decoder with the device's sampling.
struct V4l2Vbi::RawDecoder {
  vbi_raw_decoder decoder{};
  std::vector<vbi_sliced> out;
  RawDecoder() { vbi_raw_decoder_init(&decoder); }
  ~RawDecoder() { vbi_raw_decoder_destroy(&decoder); }
  RawDecoder(const RawDecoder&) = delete;
  RawDecoder& operator=(const RawDecoder&) = delete;
};

V4l2Vbi::V4l2Vbi(std::unique_ptr<IV4l2Io> io) : io_(std::move(io)) {
  if (!io_) return;
  v4l2_capability cap{};
  if (io_->Ioctl(VIDIOC_QUERYCAP, &cap) != 0) return;
  const std::uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
  if ((caps & V4L2_CAP_SLICED_VBI_CAPTURE) && OpenSliced()) return;
  if ((caps & V4L2_CAP_VBI_CAPTURE) && OpenRaw()) return;
  mode_ = Mode::kNone;
}

V4l2Vbi::~V4l2Vbi() = default;

bool V4l2Vbi::OpenSliced() {
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_SLICED_VBI_CAPTURE;
  format.fmt.sliced.service_set = V4L2_SLICED_TELETEXT_B;
  if (io_->Ioctl(VIDIOC_S_FMT, &format) != 0) return false;
  // The driver says what it will deliver and in reads of what size.
  if (!(format.fmt.sliced.service_set & V4L2_SLICED_TELETEXT_B) ||
      format.fmt.sliced.io_size < sizeof(v4l2_sliced_vbi_data) || format.fmt.sliced.io_size > (1u << 20)) {
    return false;
  }
  buffer_.resize(format.fmt.sliced.io_size);
  mode_ = Mode::kSliced;
  return true;
}

bool V4l2Vbi::OpenRaw() {
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VBI_CAPTURE;
  if (io_->Ioctl(VIDIOC_G_FMT, &format) != 0) return false;
  const v4l2_vbi_format& vbi = format.fmt.vbi;
  // Eight-bit samples only; lines and sizes within reason.
  if (vbi.sample_format != V4L2_PIX_FMT_GREY || vbi.samples_per_line == 0 || vbi.samples_per_line > 4096 ||
      vbi.sampling_rate == 0 || vbi.count[0] > 64 || vbi.count[1] > 64 || vbi.count[0] + vbi.count[1] == 0) {
    return false;
  }
  v4l2_std_id standard = 0;
  const bool lines525 = io_->Ioctl(VIDIOC_G_STD, &standard) == 0 && (standard & V4L2_STD_525_60) &&
                        !(standard & V4L2_STD_625_50);
  auto raw = std::make_unique<RawDecoder>();
  vbi_raw_decoder& d = raw->decoder;
  d.scanning = lines525 ? 525 : 625;
  d.sampling_format = VBI_PIXFMT_YUV420;  // eight-bit luminance
  d.sampling_rate = static_cast<int>(vbi.sampling_rate);
  d.bytes_per_line = static_cast<int>(vbi.samples_per_line);
  d.offset = static_cast<int>(vbi.offset);
  d.start[0] = static_cast<int>(vbi.start[0]);
  d.start[1] = static_cast<int>(vbi.start[1]);
  d.count[0] = static_cast<int>(vbi.count[0]);
  d.count[1] = static_cast<int>(vbi.count[1]);
  d.interlaced = (vbi.flags & V4L2_VBI_INTERLACED) ? TRUE : FALSE;
  d.synchronous = (vbi.flags & V4L2_VBI_UNSYNC) ? FALSE : TRUE;
  if (!(vbi_raw_decoder_add_services(&d, VBI_SLICED_TELETEXT_B, 1) & VBI_SLICED_TELETEXT_B)) return false;
  raw->out.resize(vbi.count[0] + vbi.count[1]);
  buffer_.resize(static_cast<std::size_t>(vbi.samples_per_line) * (vbi.count[0] + vbi.count[1]));
  raw_ = std::move(raw);
  mode_ = Mode::kRaw;
  return true;
}

bool V4l2Vbi::ReadLines(std::vector<Line>& lines) {
  if (mode_ == Mode::kNone) return false;
  const long n = io_->Read(buffer_.data(), buffer_.size());
  if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
  const auto got = static_cast<std::size_t>(n);
  if (mode_ == Mode::kSliced) {
    // Whole records only; a short read keeps what it holds.
    for (std::size_t at = 0; at + sizeof(v4l2_sliced_vbi_data) <= got; at += sizeof(v4l2_sliced_vbi_data)) {
      v4l2_sliced_vbi_data record{};
      std::memcpy(&record, buffer_.data() + at, sizeof record);
      if (record.id & V4L2_SLICED_TELETEXT_B) lines.emplace_back(record.data, record.data + kTeletextBytes);
    }
    return true;
  }
  // A raw read is a whole picture's lines or nothing to slice.
  if (got < buffer_.size()) return true;
  const int count = vbi_raw_decode(&raw_->decoder, buffer_.data(), raw_->out.data());
  for (int i = 0; i < count && i < static_cast<int>(raw_->out.size()); ++i) {
    const vbi_sliced& s = raw_->out[static_cast<std::size_t>(i)];
    if (s.id & VBI_SLICED_TELETEXT_B) lines.emplace_back(s.data, s.data + kTeletextBytes);
  }
  return true;
}

}  // namespace plat::tv
