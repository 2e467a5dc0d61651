// The radio device driver on a scripted device: the three frequency units,
// bands with and without VIDIOC_ENUM_FREQ_BANDS, signal, stereo, mute and
// RDS reads, including a failing one.
#include <gtest/gtest.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/media/radio/v4l2_radio.h"

namespace plat::radio {
namespace {

struct Device {
  std::uint32_t unitCaps = 0;  // V4L2_TUNER_CAP_LOW, V4L2_TUNER_CAP_1HZ or 0
  bool bands = true;
  bool rds = true;
  std::uint32_t rangeLow = 0;
  std::uint32_t rangeHigh = 0;
  std::vector<v4l2_frequency_band> bandList;
  std::uint32_t frequency = 0;
  int signal = 0;
  bool stereo = false;
  int mute = 0;
  std::deque<std::vector<std::uint8_t>> reads;  // each an answer of Read; empty = failure
};

class ScriptedIo final : public IRadioIo {
 public:
  explicit ScriptedIo(Device& d) : d_(d) {}
  int Ioctl(unsigned long request, void* arg) override {
    switch (request) {
      case VIDIOC_QUERYCAP: {
        auto* cap = static_cast<v4l2_capability*>(arg);
        std::strcpy(reinterpret_cast<char*>(cap->card), "Scripted Radio");
        cap->capabilities = V4L2_CAP_TUNER | V4L2_CAP_RADIO | (d_.rds ? V4L2_CAP_RDS_CAPTURE : 0) | V4L2_CAP_READWRITE;
        return 0;
      }
      case VIDIOC_G_TUNER: {
        auto* t = static_cast<v4l2_tuner*>(arg);
        t->capability = d_.unitCaps | (d_.bands ? V4L2_TUNER_CAP_FREQ_BANDS : 0) | (d_.rds ? V4L2_TUNER_CAP_RDS : 0);
        t->rangelow = d_.rangeLow;
        t->rangehigh = d_.rangeHigh;
        t->signal = d_.signal;
        t->rxsubchans = d_.stereo ? V4L2_TUNER_SUB_STEREO : V4L2_TUNER_SUB_MONO;
        return 0;
      }
      case VIDIOC_ENUM_FREQ_BANDS: {
        auto* b = static_cast<v4l2_frequency_band*>(arg);
        if (!d_.bands || b->index >= d_.bandList.size()) return Fail(EINVAL);
        const std::uint32_t index = b->index;
        *b = d_.bandList[index];
        b->index = index;
        return 0;
      }
      case VIDIOC_S_FREQUENCY: d_.frequency = static_cast<v4l2_frequency*>(arg)->frequency; return 0;
      case VIDIOC_G_FREQUENCY: static_cast<v4l2_frequency*>(arg)->frequency = d_.frequency; return 0;
      case VIDIOC_S_CTRL: {
        auto* c = static_cast<v4l2_control*>(arg);
        if (c->id != V4L2_CID_AUDIO_MUTE) return Fail(EINVAL);
        d_.mute = c->value;
        return 0;
      }
      case VIDIOC_G_CTRL: {
        auto* c = static_cast<v4l2_control*>(arg);
        if (c->id != V4L2_CID_AUDIO_MUTE) return Fail(EINVAL);
        c->value = d_.mute;
        return 0;
      }
      default: return Fail(ENOTTY);
    }
  }
  int WaitReadable(int) override { return d_.reads.empty() ? 0 : 1; }
  long Read(void* buffer, unsigned long size) override {
    if (d_.reads.empty()) return 0;
    auto answer = d_.reads.front();
    d_.reads.pop_front();
    if (answer.empty()) return -1;
    const std::size_t n = std::min<std::size_t>(size, answer.size());
    std::memcpy(buffer, answer.data(), n);
    return static_cast<long>(n);
  }

 private:
  static int Fail(int e) {
    errno = e;
    return -1;
  }
  Device& d_;
};

v4l2_frequency_band Band(std::uint32_t modulation, std::uint32_t low, std::uint32_t high) {
  v4l2_frequency_band b{};
  b.type = V4L2_TUNER_RADIO;
  b.modulation = modulation;
  b.rangelow = low;
  b.rangehigh = high;
  return b;
}

TEST(V4l2RadioTest, ThreeUnitsConvertBothWays) {
  const struct {
    std::uint32_t caps;
    std::uint32_t units;  // 98.5 MHz in the tuner's units
  } cases[] = {{V4L2_TUNER_CAP_1HZ, 98'500'000}, {V4L2_TUNER_CAP_LOW, 1'576'000}, {0, 1576}};
  for (const auto& c : cases) {
    Device d;
    d.unitCaps = c.caps;
    d.bands = false;
    d.rangeLow = static_cast<std::uint32_t>(c.units * 87.5 / 98.5);
    d.rangeHigh = static_cast<std::uint32_t>(c.units * 108.0 / 98.5) + 1;
    V4l2Radio radio(std::make_unique<ScriptedIo>(d), "/dev/radio9");
    ASSERT_EQ(radio.Bands().size(), 1u) << c.caps;
    EXPECT_EQ(radio.Bands()[0].modulation, Modulation::kFm);
    ASSERT_TRUE(radio.SetFrequency(98'500'000)) << c.caps;
    EXPECT_EQ(d.frequency, c.units) << c.caps;
    EXPECT_EQ(radio.Frequency(), 98'500'000) << c.caps;
  }
}

TEST(V4l2RadioTest, BandsFromTheDeviceList) {
  Device d;
  d.unitCaps = V4L2_TUNER_CAP_LOW;
  d.bandList = {Band(V4L2_BAND_MODULATION_FM, 87'500'000 / 125 * 2, 108'000'000 / 125 * 2),
                Band(V4L2_BAND_MODULATION_FM, 76'000'000 / 125 * 2, 108'000'000 / 125 * 2),
                Band(V4L2_BAND_MODULATION_AM, 522'000 / 125 * 2, 1'710'000 / 125 * 2),
                Band(V4L2_BAND_MODULATION_VSB, 1, 2)};
  V4l2Radio radio(std::make_unique<ScriptedIo>(d), "/dev/radio9");
  ASSERT_EQ(radio.Bands().size(), 3u);
  const auto fm = FindBand(radio.Bands(), Modulation::kFm);
  ASSERT_TRUE(fm);
  EXPECT_EQ(fm->lowHz, 76'000'000) << "the widest FM band";
  const auto am = FindBand(radio.Bands(), Modulation::kAm);
  ASSERT_TRUE(am);
  EXPECT_EQ(am->highHz, 1'710'000);
  EXPECT_TRUE(radio.SetFrequency(999'000));
  EXPECT_FALSE(radio.SetFrequency(50'000'000)) << "between the bands";
}

TEST(V4l2RadioTest, SignalStereoMute) {
  Device d;
  d.bands = false;
  d.rangeLow = 1400;
  d.rangeHigh = 1728;
  d.signal = 65535;
  d.stereo = true;
  V4l2Radio radio(std::make_unique<ScriptedIo>(d), "/dev/radio9");
  EXPECT_EQ(SignalLevel(radio.Signal()), 5);
  d.signal = 0;
  EXPECT_EQ(SignalLevel(radio.Signal()), 0) << "a driver that knows only 0 and 65535";
  EXPECT_TRUE(radio.Stereo());
  EXPECT_TRUE(radio.SetMute(true));
  EXPECT_EQ(d.mute, 1);
  EXPECT_TRUE(radio.Muted());
}

TEST(V4l2RadioTest, RdsBlocksAndAFailingRead) {
  Device d;
  d.bands = false;
  d.rangeLow = 1400;
  d.rangeHigh = 1728;
  d.reads = {{0x01, 0xC2, V4L2_RDS_BLOCK_A, 0x40, 0x05, V4L2_RDS_BLOCK_B}, {}, {0x33, 0x44, V4L2_RDS_BLOCK_C}};
  V4l2Radio radio(std::make_unique<ScriptedIo>(d), "/dev/radio9");
  ASSERT_TRUE(radio.HasRds());
  auto a = radio.NextRdsBlock(10);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->msb, 0xC2);
  EXPECT_EQ(a->block, V4L2_RDS_BLOCK_A);
  auto b = radio.NextRdsBlock(10);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->lsb, 0x40);
  EXPECT_FALSE(radio.NextRdsBlock(10)) << "the failing read";
  auto c = radio.NextRdsBlock(10);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->block, V4L2_RDS_BLOCK_C);
  EXPECT_FALSE(radio.NextRdsBlock(10)) << "time-out";

  Device plain;
  plain.rds = false;
  plain.bands = false;
  plain.rangeLow = 1400;
  plain.rangeHigh = 1728;
  plain.reads = {{1, 2, 0}};
  V4l2Radio withoutRds(std::make_unique<ScriptedIo>(plain), "/dev/radio8");
  EXPECT_FALSE(withoutRds.HasRds());
  EXPECT_FALSE(withoutRds.NextRdsBlock(10));
}

TEST(V4l2RadioTest, NotARadio) {
  Device d;
  d.bands = false;  // no range at all
  V4l2Radio radio(std::make_unique<ScriptedIo>(d), "/dev/radio9");
  EXPECT_TRUE(radio.Bands().empty());
  EXPECT_FALSE(radio.SetFrequency(98'500'000));
}

}  // namespace
}  // namespace plat::radio
