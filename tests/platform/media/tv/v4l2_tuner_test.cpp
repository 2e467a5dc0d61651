// The tuner card driver on a scripted device: units, standards, signal,
// inputs, picture controls and sound modes.
#include <gtest/gtest.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "platform/media/tv/v4l2_tuner.h"

namespace plat::tv {
namespace {

// A tuner card in memory: what each request answers.
struct Card {
  bool lowUnits = false;
  int signal = 40000;
  std::uint32_t audmode = V4L2_TUNER_MODE_STEREO;
  std::uint32_t frequency = 0;
  v4l2_std_id standard = 0;
  int input = 0;
  std::map<std::uint32_t, int> controls{{V4L2_CID_BRIGHTNESS, 128}, {V4L2_CID_CONTRAST, 64}};
  std::vector<unsigned long> requests;
};

class ScriptedIo final : public IV4l2Io {
 public:
  explicit ScriptedIo(Card& card) : card_(card) {}
  long Read(void*, unsigned long) override { return Fail(); }
  int WaitReadable(int) override { return 0; }
  int Ioctl(unsigned long request, void* arg) override {
    card_.requests.push_back(request);
    switch (request) {
      case VIDIOC_QUERYCAP: {
        auto* cap = static_cast<v4l2_capability*>(arg);
        std::strcpy(reinterpret_cast<char*>(cap->card), "Test Card");
        cap->capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_TUNER;
        return 0;
      }
      case VIDIOC_ENUMINPUT: {
        auto* in = static_cast<v4l2_input*>(arg);
        static const char* names[] = {"Composite1", "Television", "S-Video"};
        if (in->index >= 3) return Fail();
        std::strcpy(reinterpret_cast<char*>(in->name), names[in->index]);
        in->type = in->index == 1 ? V4L2_INPUT_TYPE_TUNER : V4L2_INPUT_TYPE_CAMERA;
        in->tuner = 0;
        return 0;
      }
      case VIDIOC_S_INPUT: card_.input = *static_cast<int*>(arg); return 0;
      case VIDIOC_G_INPUT: *static_cast<int*>(arg) = card_.input; return 0;
      case VIDIOC_S_STD: card_.standard = *static_cast<v4l2_std_id*>(arg); return 0;
      case VIDIOC_G_TUNER: {
        auto* t = static_cast<v4l2_tuner*>(arg);
        t->capability = card_.lowUnits ? V4L2_TUNER_CAP_LOW : 0;
        t->signal = card_.signal;
        t->audmode = card_.audmode;
        return 0;
      }
      case VIDIOC_S_TUNER: card_.audmode = static_cast<v4l2_tuner*>(arg)->audmode; return 0;
      case VIDIOC_S_FREQUENCY: card_.frequency = static_cast<v4l2_frequency*>(arg)->frequency; return 0;
      case VIDIOC_G_FREQUENCY: static_cast<v4l2_frequency*>(arg)->frequency = card_.frequency; return 0;
      case VIDIOC_QUERYCTRL: {
        auto* q = static_cast<v4l2_queryctrl*>(arg);
        if (!card_.controls.count(q->id)) return Fail();
        q->minimum = 0;
        q->maximum = 255;
        q->default_value = 128;
        return 0;
      }
      case VIDIOC_G_CTRL: {
        auto* c = static_cast<v4l2_control*>(arg);
        if (!card_.controls.count(c->id)) return Fail();
        c->value = card_.controls[c->id];
        return 0;
      }
      case VIDIOC_S_CTRL: {
        auto* c = static_cast<v4l2_control*>(arg);
        if (!card_.controls.count(c->id)) return Fail();
        card_.controls[c->id] = c->value;
        return 0;
      }
      default: return Fail();
    }
  }

 private:
  static int Fail() {
    errno = EINVAL;
    return -1;
  }
  Card& card_;
};

TEST(V4l2Tuner, InputsAndName) {
  Card card;
  V4l2Tuner tuner(std::make_unique<ScriptedIo>(card));
  EXPECT_EQ(tuner.Name(), "Test Card");
  EXPECT_EQ(tuner.Inputs(), (std::vector<std::string>{"Composite1", "Television", "S-Video"}));
  EXPECT_TRUE(tuner.HasTuner());
  ASSERT_TRUE(tuner.SetInput(2));
  EXPECT_EQ(tuner.Input(), 2);
  EXPECT_FALSE(tuner.SetInput(3));
}

TEST(V4l2Tuner, FrequencyUnits) {
  Card card;
  V4l2Tuner tuner(std::make_unique<ScriptedIo>(card));
  ASSERT_TRUE(tuner.SetFrequencyKHz(471250));  // E21
  EXPECT_EQ(card.frequency, 7540u);             // 62.5 kHz units
  EXPECT_EQ(tuner.FrequencyKHz(), 471250);
  ASSERT_TRUE(tuner.SetFrequencyKHz(55250));   // US 2
  EXPECT_EQ(card.frequency, 884u);
  card.lowUnits = true;
  ASSERT_TRUE(tuner.SetFrequencyKHz(471250));
  EXPECT_EQ(card.frequency, 7540000u);          // 62.5 Hz units
  EXPECT_EQ(tuner.FrequencyKHz(), 471250);
  EXPECT_FALSE(tuner.SetFrequencyKHz(0));
}

TEST(V4l2Tuner, StandardsSignalControlsAndSound) {
  Card card;
  V4l2Tuner tuner(std::make_unique<ScriptedIo>(card));
  const std::pair<int, v4l2_std_id> standards[] = {
      {0x1, V4L2_STD_NTSC_M},   {0x2, V4L2_STD_NTSC_M_JP}, {0x10, V4L2_STD_PAL_BG},   {0x20, V4L2_STD_PAL_DK},
      {0x100, V4L2_STD_PAL_I},  {0x200, V4L2_STD_PAL_M},   {0x400, V4L2_STD_PAL_Nc},  {0x1000, V4L2_STD_SECAM_B},
      {0x2000, V4L2_STD_SECAM_D}, {0x4000, V4L2_STD_SECAM_G}, {0x10000, V4L2_STD_SECAM_K},
      {0x40000, V4L2_STD_SECAM_L}};
  for (const auto& [flag, id] : standards) {
    ASSERT_TRUE(tuner.SetStandard(flag));
    EXPECT_EQ(card.standard, id) << flag;
  }
  EXPECT_EQ(tuner.Signal(), 40000);
  card.signal = 70000;  // a driver that overshoots stays in range
  EXPECT_EQ(tuner.Signal(), 65535);

  ControlRange range;
  ASSERT_TRUE(tuner.ControlRangeOf(PictureControl::kContrast, range));
  EXPECT_EQ(range.maximum, 255);
  ASSERT_TRUE(tuner.SetControl(PictureControl::kContrast, 200));
  int value = 0;
  ASSERT_TRUE(tuner.GetControl(PictureControl::kContrast, value));
  EXPECT_EQ(value, 200);
  EXPECT_FALSE(tuner.SetControl(PictureControl::kContrast, 300));
  EXPECT_FALSE(tuner.ControlRangeOf(PictureControl::kHue, range));  // the card has none

  EXPECT_EQ(tuner.AudioMode(), 1);
  ASSERT_TRUE(tuner.SetAudioMode(5));
  EXPECT_EQ(card.audmode, static_cast<std::uint32_t>(V4L2_TUNER_MODE_LANG1_LANG2));
  EXPECT_EQ(tuner.AudioMode(), 5);
  EXPECT_FALSE(tuner.SetAudioMode(2));
}

TEST(V4l2Tuner, NoDevicesWithoutTheClassFolder) {
  EXPECT_TRUE(FindTunerDevices("/nonexistent-v4l-class").empty());
}

}  // namespace
}  // namespace plat::tv

#include <filesystem>
#include <fstream>

#include "tests/support/temp_environment.h"

namespace plat::tv {
namespace {

TEST(V4l2Tuner, SoundCardOfTheSameDevice) {
  test_support::TempEnvironment env("v4lsys");
  namespace fs = std::filesystem;
  const fs::path root = env.dir();
  fs::create_directories(root / "devices/pci0/card-a");
  fs::create_directories(root / "devices/pci0/card-b");
  fs::create_directories(root / "v4l/video0");
  fs::create_directories(root / "sound/card0");
  fs::create_directories(root / "sound/card1");
  fs::create_directory_symlink(root / "devices/pci0/card-b", root / "v4l/video0/device");
  fs::create_directory_symlink(root / "devices/pci0/card-a", root / "sound/card0/device");
  fs::create_directory_symlink(root / "devices/pci0/card-b", root / "sound/card1/device");
  EXPECT_EQ(TunerAudioDevice("/dev/video0", (root / "v4l").string(), (root / "sound").string()), "hw:1");
  EXPECT_EQ(TunerAudioDevice("/dev/video5", (root / "v4l").string(), (root / "sound").string()), "");
}

}  // namespace
}  // namespace plat::tv
