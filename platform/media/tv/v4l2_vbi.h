// A tuner card's VBI device (/dev/vbiN) through Video4Linux2: the teletext
// lines of each picture, either sliced by the driver (sliced VBI capture) or
// read as raw samples and sliced here by libzvbi's raw decoder. Every device
// call goes through the ioctl seam, so the rules run against scripted
// answers in tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/tv/v4l2_tuner.h"

namespace plat::tv {

// The VBI node (/dev/vbiN under `devRoot`) that shares the video node's
// parent device in sysfs, or empty.
std::string TunerVbiDevice(const std::string& videoNode, const std::string& classRoot = "/sys/class/video4linux",
                           const std::string& devRoot = "/dev");

class V4l2Vbi {
 public:
  // One teletext line without its clock run-in: 42 bytes.
  using Line = std::vector<std::uint8_t>;

  // Asks the device for sliced teletext, else for raw VBI in a format the
  // raw decoder can slice; `ok()` says whether either was granted.
  explicit V4l2Vbi(std::unique_ptr<IV4l2Io> io);
  ~V4l2Vbi();
  V4l2Vbi(const V4l2Vbi&) = delete;
  V4l2Vbi& operator=(const V4l2Vbi&) = delete;

  bool ok() const { return mode_ != Mode::kNone; }
  bool sliced() const { return mode_ == Mode::kSliced; }
  IV4l2Io& io() { return *io_; }

  // Reads one picture's VBI data and appends its teletext lines. True when
  // the read worked (also with no teletext in it, or nothing ready yet);
  // false on a device error.
  bool ReadLines(std::vector<Line>& lines);

 private:
  enum class Mode { kNone, kSliced, kRaw };
  bool OpenSliced();
  bool OpenRaw();

  std::unique_ptr<IV4l2Io> io_;
  Mode mode_ = Mode::kNone;
  std::vector<std::uint8_t> buffer_;
  struct RawDecoder;
  std::unique_ptr<RawDecoder> raw_;
};

}  // namespace plat::tv
