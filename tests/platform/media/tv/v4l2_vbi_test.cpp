// A tuner card's VBI device on scripted answers: sliced teletext from the
// driver, raw VBI sliced here, what is refused, and finding the device.
#include "platform/media/tv/v4l2_vbi.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>

#include "tests/support/temp_environment.h"

// After the platform's headers: it defines TRUE and FALSE as macros.
#include <libzvbi.h>

namespace plat::tv {
namespace {

// A VBI device in memory: its capabilities, the formats it grants and the
// reads it answers, one scripted buffer (or errno) each.
struct VbiCard {
  std::uint32_t caps = V4L2_CAP_SLICED_VBI_CAPTURE | V4L2_CAP_VBI_CAPTURE;
  std::uint32_t grantedServices = V4L2_SLICED_TELETEXT_B;
  std::uint32_t ioSize = 3 * sizeof(v4l2_sliced_vbi_data);
  v4l2_vbi_format raw{};
  v4l2_std_id standard = V4L2_STD_PAL_BG;
  struct Answer {
    std::vector<std::uint8_t> data;
    int error = 0;
  };
  std::deque<Answer> reads;
};

class ScriptedVbi final : public IV4l2Io {
 public:
  explicit ScriptedVbi(VbiCard& card) : card_(card) {}
  int Ioctl(unsigned long request, void* arg) override {
    switch (request) {
      case VIDIOC_QUERYCAP: static_cast<v4l2_capability*>(arg)->capabilities = card_.caps; return 0;
      case VIDIOC_S_FMT: {
        auto* f = static_cast<v4l2_format*>(arg);
        if (f->type != V4L2_BUF_TYPE_SLICED_VBI_CAPTURE) return Fail(EINVAL);
        f->fmt.sliced.service_set &= card_.grantedServices;
        f->fmt.sliced.io_size = card_.ioSize;
        return 0;
      }
      case VIDIOC_G_FMT: {
        auto* f = static_cast<v4l2_format*>(arg);
        if (f->type != V4L2_BUF_TYPE_VBI_CAPTURE) return Fail(EINVAL);
        f->fmt.vbi = card_.raw;
        return 0;
      }
      case VIDIOC_G_STD: *static_cast<v4l2_std_id*>(arg) = card_.standard; return 0;
      default: return Fail(ENOTTY);
    }
  }
  long Read(void* buffer, unsigned long size) override {
    if (card_.reads.empty()) return Fail(EAGAIN);
    VbiCard::Answer a = std::move(card_.reads.front());
    card_.reads.pop_front();
    if (a.error) return Fail(a.error);
    const std::size_t n = std::min<std::size_t>(size, a.data.size());
    std::memcpy(buffer, a.data.data(), n);
    return static_cast<long>(n);
  }
  int WaitReadable(int) override { return card_.reads.empty() ? 0 : 1; }

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  VbiCard& card_;
};

V4l2Vbi::Line Packet(std::uint8_t seed) {
  V4l2Vbi::Line line(42);
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<std::uint8_t>(seed + 7 * i);
  return line;
}

std::vector<std::uint8_t> Records(const std::vector<std::pair<std::uint32_t, V4l2Vbi::Line>>& records) {
  std::vector<std::uint8_t> out;
  for (const auto& [id, data] : records) {
    v4l2_sliced_vbi_data r{};
    r.id = id;
    r.line = 7;
    std::memcpy(r.data, data.data(), data.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&r);
    out.insert(out.end(), bytes, bytes + sizeof r);
  }
  return out;
}

// A PAL card's raw VBI: 2048 samples a line at four times the colour
// carrier, lines 7-22 of both fields.
v4l2_vbi_format PalRaw() {
  v4l2_vbi_format f{};
  f.sampling_rate = 35468950;
  f.offset = 244;
  f.samples_per_line = 2048;
  f.sample_format = V4L2_PIX_FMT_GREY;
  f.start[0] = 7;
  f.start[1] = 320;
  f.count[0] = 16;
  f.count[1] = 16;
  return f;
}

TEST(V4l2Vbi, SlicedTeletextFromTheDriver) {
  VbiCard card;
  const V4l2Vbi::Line a = Packet(1), b = Packet(50);
  card.reads.push_back({Records({{V4L2_SLICED_TELETEXT_B, a}, {V4L2_SLICED_VPS, Packet(9)}, {V4L2_SLICED_TELETEXT_B, b}})});
  // A short read keeps its whole records.
  auto shortRead = Records({{V4L2_SLICED_TELETEXT_B, b}, {V4L2_SLICED_TELETEXT_B, a}});
  shortRead.resize(sizeof(v4l2_sliced_vbi_data) + 10);
  card.reads.push_back({shortRead});
  card.reads.push_back({{}, EIO});
  V4l2Vbi vbi(std::make_unique<ScriptedVbi>(card));
  ASSERT_TRUE(vbi.ok());
  EXPECT_TRUE(vbi.sliced());
  std::vector<V4l2Vbi::Line> lines;
  ASSERT_TRUE(vbi.ReadLines(lines));
  EXPECT_EQ(lines, (std::vector<V4l2Vbi::Line>{a, b}));
  lines.clear();
  ASSERT_TRUE(vbi.ReadLines(lines));
  EXPECT_EQ(lines, std::vector<V4l2Vbi::Line>{b});
  lines.clear();
  EXPECT_FALSE(vbi.ReadLines(lines));  // the device failed
  EXPECT_TRUE(vbi.ReadLines(lines));   // nothing ready yet is no failure
  EXPECT_TRUE(lines.empty());
}

TEST(V4l2Vbi, RawSamplesAreSlicedHere) {
  VbiCard card;
  card.grantedServices = 0;  // no sliced teletext: the raw samples are read
  card.raw = PalRaw();
  // A picture's VBI with teletext on lines 9 and 12 of the first field.
  vbi_raw_decoder sp{};
  sp.scanning = 625;
  sp.sampling_format = VBI_PIXFMT_YUV420;
  sp.sampling_rate = 35468950;
  sp.bytes_per_line = 2048;
  sp.offset = 244;
  sp.start[0] = 7;
  sp.start[1] = 320;
  sp.count[0] = 16;
  sp.count[1] = 16;
  sp.synchronous = TRUE;
  const V4l2Vbi::Line a = Packet(3), b = Packet(90);
  vbi_sliced sliced[2]{};
  sliced[0].id = VBI_SLICED_TELETEXT_B;
  sliced[0].line = 9;
  std::memcpy(sliced[0].data, a.data(), a.size());
  sliced[1].id = VBI_SLICED_TELETEXT_B;
  sliced[1].line = 12;
  std::memcpy(sliced[1].data, b.data(), b.size());
  std::vector<std::uint8_t> image(2048 * 32);
  ASSERT_TRUE(vbi_raw_vbi_image(image.data(), image.size(), &sp, 0, 0, FALSE, sliced, 2));
  card.reads.push_back({image});
  std::vector<std::uint8_t> half(image.begin(), image.begin() + image.size() / 2);
  card.reads.push_back({half});

  V4l2Vbi vbi(std::make_unique<ScriptedVbi>(card));
  ASSERT_TRUE(vbi.ok());
  EXPECT_FALSE(vbi.sliced());
  std::vector<V4l2Vbi::Line> lines;
  ASSERT_TRUE(vbi.ReadLines(lines));
  EXPECT_EQ(lines, (std::vector<V4l2Vbi::Line>{a, b}));
  lines.clear();
  ASSERT_TRUE(vbi.ReadLines(lines));  // part of a picture: nothing to slice
  EXPECT_TRUE(lines.empty());
}

TEST(V4l2Vbi, DevicesWithoutTeletextAreRefused) {
  struct Case {
    const char* what;
    std::uint32_t caps;
    std::uint32_t granted;
    std::uint32_t sampleFormat;
    std::uint32_t samples;
  } cases[] = {
      {"no VBI capture", V4L2_CAP_VIDEO_CAPTURE, V4L2_SLICED_TELETEXT_B, V4L2_PIX_FMT_GREY, 2048},
      {"sliced without teletext", V4L2_CAP_SLICED_VBI_CAPTURE, V4L2_SLICED_VPS, V4L2_PIX_FMT_GREY, 2048},
      {"raw samples of another format", V4L2_CAP_VBI_CAPTURE, 0, V4L2_PIX_FMT_YUYV, 2048},
      {"raw lines of no samples", V4L2_CAP_VBI_CAPTURE, 0, V4L2_PIX_FMT_GREY, 0},
      {"raw lines too long", V4L2_CAP_VBI_CAPTURE, 0, V4L2_PIX_FMT_GREY, 1u << 20},
  };
  for (const Case& c : cases) {
    VbiCard card;
    card.caps = c.caps;
    card.grantedServices = c.granted;
    card.raw = PalRaw();
    card.raw.sample_format = c.sampleFormat;
    card.raw.samples_per_line = c.samples;
    V4l2Vbi vbi(std::make_unique<ScriptedVbi>(card));
    EXPECT_FALSE(vbi.ok()) << c.what;
    std::vector<V4l2Vbi::Line> lines;
    EXPECT_FALSE(vbi.ReadLines(lines)) << c.what;
  }
}

TEST(V4l2Vbi, TheVbiNodeOfTheSameCard) {
  test_support::TempEnvironment env("v4lvbi");
  namespace fs = std::filesystem;
  const fs::path root = env.dir();
  fs::create_directories(root / "devices/pci0/card-a");
  fs::create_directories(root / "devices/pci0/card-b");
  for (const char* node : {"video0", "video1", "vbi0", "vbi1"}) fs::create_directories(root / "v4l" / node);
  fs::create_directory_symlink(root / "devices/pci0/card-a", root / "v4l/video0/device");
  fs::create_directory_symlink(root / "devices/pci0/card-b", root / "v4l/video1/device");
  fs::create_directory_symlink(root / "devices/pci0/card-b", root / "v4l/vbi0/device");
  fs::create_directory_symlink(root / "devices/pci0/card-a", root / "v4l/vbi1/device");
  const std::string v4l = (root / "v4l").string();
  EXPECT_EQ(TunerVbiDevice("/dev/video0", v4l, "/dev"), "/dev/vbi1");
  EXPECT_EQ(TunerVbiDevice("/dev/video1", v4l, "/dev"), "/dev/vbi0");
  EXPECT_EQ(TunerVbiDevice("/dev/video7", v4l, "/dev"), "");
}

}  // namespace
}  // namespace plat::tv
