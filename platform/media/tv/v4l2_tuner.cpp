#include "platform/media/tv/v4l2_tuner.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace plat::tv {

namespace {

class DeviceIo final : public IV4l2Io {
 public:
  explicit DeviceIo(int fd) : fd_(fd) {}
  ~DeviceIo() override { ::close(fd_); }
  DeviceIo(const DeviceIo&) = delete;
  DeviceIo& operator=(const DeviceIo&) = delete;
  int Ioctl(unsigned long request, void* arg) override {
    int r = 0;
    do {
      r = ::ioctl(fd_, request, arg);
    } while (r == -1 && errno == EINTR);
    return r;
  }
  long Read(void* buffer, unsigned long size) override {
    long r = 0;
    do {
      r = ::read(fd_, buffer, size);
    } while (r == -1 && errno == EINTR);
    return r;
  }
  int WaitReadable(int ms) override {
    pollfd p{fd_, POLLIN, 0};
    const int r = ::poll(&p, 1, ms);
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) return 0;
    return (p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & POLLIN) ? -1 : 1;
  }

 private:
  int fd_;
};

std::uint32_t ControlId(PictureControl control) {
  switch (control) {
    case PictureControl::kBrightness: return V4L2_CID_BRIGHTNESS;
    case PictureControl::kContrast: return V4L2_CID_CONTRAST;
    case PictureControl::kHue: return V4L2_CID_HUE;
    case PictureControl::kSaturation: return V4L2_CID_SATURATION;
  }
  return V4L2_CID_BRIGHTNESS;
}

// The recorder's sound modes (0 mono, 1 stereo, 3 first language, 4 second,
// 5 both) and V4L2's.
constexpr std::pair<int, std::uint32_t> kAudioModes[] = {{0, V4L2_TUNER_MODE_MONO},
                                                          {1, V4L2_TUNER_MODE_STEREO},
                                                          {3, V4L2_TUNER_MODE_LANG1},
                                                          {4, V4L2_TUNER_MODE_LANG2},
                                                          {5, V4L2_TUNER_MODE_LANG1_LANG2}};

std::string FieldText(const std::uint8_t* field, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(field), strnlen(reinterpret_cast<const char*>(field), size));
}

}  // namespace

std::unique_ptr<IV4l2Io> OpenV4l2Device(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  return std::make_unique<DeviceIo>(fd);
}

namespace {

// The capture nodes under `classRoot` that have a tuner (`tuner` true) or
// have none (false), in name order.
std::vector<std::string> FindCaptureNodes(const std::string& classRoot, const std::string& devRoot, bool tuner) {
  std::vector<std::string> out;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(classRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string node = it->path().filename().string();
    if (node.rfind("video", 0) != 0) continue;
    const std::string path = devRoot + "/" + node;
    auto io = OpenV4l2Device(path);
    if (!io) continue;
    v4l2_capability cap{};
    if (io->Ioctl(VIDIOC_QUERYCAP, &cap) != 0) continue;
    const std::uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    if ((caps & V4L2_CAP_VIDEO_CAPTURE) && ((caps & V4L2_CAP_TUNER) != 0) == tuner) out.push_back(path);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

std::vector<std::string> FindTunerDevices(const std::string& classRoot, const std::string& devRoot) {
  return FindCaptureNodes(classRoot, devRoot, true);
}

std::vector<std::string> FindWebcamDevices(const std::string& classRoot, const std::string& devRoot) {
  return FindCaptureNodes(classRoot, devRoot, false);
}

std::string TunerAudioDevice(const std::string& videoNode, const std::string& videoClassRoot,
                             const std::string& soundClassRoot) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string node = fs::path(videoNode).filename().string();
  const fs::path parent = fs::canonical(fs::path(videoClassRoot) / node / "device", ec);
  if (ec) return {};
  for (fs::directory_iterator it(soundClassRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string card = it->path().filename().string();
    if (card.rfind("card", 0) != 0 || card.size() == 4) continue;
    std::error_code cardEc;
    if (fs::canonical(it->path() / "device", cardEc) == parent && !cardEc) return "hw:" + card.substr(4);
  }
  return {};
}

unsigned long long V4l2Standard(int standardFlag) {
  switch (standardFlag) {
    case 0x1: return V4L2_STD_NTSC_M;
    case 0x2: return V4L2_STD_NTSC_M_JP;
    case 0x4: return V4L2_STD_NTSC_443;
    case 0x10: return V4L2_STD_PAL_BG;
    case 0x20: return V4L2_STD_PAL_DK;
    case 0x100: return V4L2_STD_PAL_I;
    case 0x200: return V4L2_STD_PAL_M;
    case 0x400: return V4L2_STD_PAL_Nc;
    case 0x1000: return V4L2_STD_SECAM_B;
    case 0x2000: return V4L2_STD_SECAM_D;
    case 0x4000: return V4L2_STD_SECAM_G;
    case 0x10000: return V4L2_STD_SECAM_K;
    case 0x40000: return V4L2_STD_SECAM_L;
    default: return V4L2_STD_PAL_BG;
  }
}

V4l2Tuner::V4l2Tuner(std::unique_ptr<IV4l2Io> io, std::string path) : io_(std::move(io)), path_(std::move(path)) {
  v4l2_capability cap{};
  if (io_->Ioctl(VIDIOC_QUERYCAP, &cap) == 0) name_ = FieldText(cap.card, sizeof cap.card);
  if (name_.empty()) name_ = "TV tuner";
  for (std::uint32_t i = 0; i < 64; ++i) {
    v4l2_input input{};
    input.index = i;
    if (io_->Ioctl(VIDIOC_ENUMINPUT, &input) != 0) break;
    if (input.type == V4L2_INPUT_TYPE_TUNER && tunerInput_ < 0) {
      tunerInput_ = static_cast<int>(i);
      tunerIndex_ = input.tuner;
    }
    inputs_.push_back(FieldText(input.name, sizeof input.name));
  }
}

bool V4l2Tuner::SetInput(int index) {
  if (index < 0 || index >= static_cast<int>(inputs_.size())) return false;
  int value = index;
  return io_->Ioctl(VIDIOC_S_INPUT, &value) == 0;
}

int V4l2Tuner::Input() const {
  int value = -1;
  return io_->Ioctl(VIDIOC_G_INPUT, &value) == 0 ? value : -1;
}

bool V4l2Tuner::SetStandard(int standardFlag) {
  v4l2_std_id id = V4l2Standard(standardFlag);
  return io_->Ioctl(VIDIOC_S_STD, &id) == 0;
}

bool V4l2Tuner::LowUnits() const {
  v4l2_tuner tuner{};
  tuner.index = tunerIndex_;
  return io_->Ioctl(VIDIOC_G_TUNER, &tuner) == 0 && (tuner.capability & V4L2_TUNER_CAP_LOW);
}

bool V4l2Tuner::SetFrequencyKHz(int kHz) {
  if (!HasTuner() || kHz <= 0) return false;
  v4l2_frequency f{};
  f.tuner = tunerIndex_;
  f.type = V4L2_TUNER_ANALOG_TV;
  // 62.5 Hz units are 16 a kHz; 62.5 kHz units 16 a MHz.
  const unsigned long long units = LowUnits() ? static_cast<unsigned long long>(kHz) * 16
                                              : (static_cast<unsigned long long>(kHz) * 16 + 500) / 1000;
  f.frequency = static_cast<std::uint32_t>(units);
  return io_->Ioctl(VIDIOC_S_FREQUENCY, &f) == 0;
}

int V4l2Tuner::FrequencyKHz() const {
  v4l2_frequency f{};
  f.tuner = tunerIndex_;
  if (!HasTuner() || io_->Ioctl(VIDIOC_G_FREQUENCY, &f) != 0) return 0;
  return LowUnits() ? static_cast<int>(f.frequency / 16) : static_cast<int>(f.frequency * 1000ULL / 16);
}

int V4l2Tuner::Signal() const {
  v4l2_tuner tuner{};
  tuner.index = tunerIndex_;
  if (!HasTuner() || io_->Ioctl(VIDIOC_G_TUNER, &tuner) != 0) return 0;
  return std::clamp(tuner.signal, 0, 65535);
}

bool V4l2Tuner::ControlRangeOf(PictureControl control, ControlRange& range) const {
  v4l2_queryctrl q{};
  q.id = ControlId(control);
  if (io_->Ioctl(VIDIOC_QUERYCTRL, &q) != 0 || (q.flags & V4L2_CTRL_FLAG_DISABLED)) return false;
  range = ControlRange{q.minimum, q.maximum, q.default_value};
  return true;
}

bool V4l2Tuner::GetControl(PictureControl control, int& value) const {
  v4l2_control c{};
  c.id = ControlId(control);
  if (io_->Ioctl(VIDIOC_G_CTRL, &c) != 0) return false;
  value = c.value;
  return true;
}

bool V4l2Tuner::SetControl(PictureControl control, int value) {
  ControlRange range;
  if (!ControlRangeOf(control, range) || value < range.minimum || value > range.maximum) return false;
  v4l2_control c{};
  c.id = ControlId(control);
  c.value = value;
  return io_->Ioctl(VIDIOC_S_CTRL, &c) == 0;
}

bool V4l2Tuner::SetAudioMode(int mode) {
  const auto it = std::find_if(std::begin(kAudioModes), std::end(kAudioModes),
                               [mode](const auto& m) { return m.first == mode; });
  if (it == std::end(kAudioModes) || !HasTuner()) return false;
  v4l2_tuner tuner{};
  tuner.index = tunerIndex_;
  if (io_->Ioctl(VIDIOC_G_TUNER, &tuner) != 0) return false;
  tuner.audmode = it->second;
  return io_->Ioctl(VIDIOC_S_TUNER, &tuner) == 0;
}

int V4l2Tuner::AudioMode() const {
  v4l2_tuner tuner{};
  tuner.index = tunerIndex_;
  if (!HasTuner() || io_->Ioctl(VIDIOC_G_TUNER, &tuner) != 0) return 0;
  for (const auto& [ours, v4l2] : kAudioModes) {
    if (v4l2 == tuner.audmode) return ours;
  }
  return 0;
}

}  // namespace plat::tv
