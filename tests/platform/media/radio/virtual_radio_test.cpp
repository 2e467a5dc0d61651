// The virtual radio on a test hive: its declaration, the signal and bar
// levels around a station, RDS pacing and the audio input it joins.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/media/audio_inputs.h"
#include "platform/media/radio/radio_tuner.h"
#include "platform/media/radio/virtual_radio.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace plat::radio {
namespace {

void SetText(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}
void SetDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

HKEY Create(const std::string& path) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

void DeclareStation(const std::string& sub, DWORD hz, const char* name, DWORD tone) {
  HKEY key = Create(std::string(kVirtualRadioKey) + "\\Stations\\" + sub);
  SetDword(key, "Frequency", hz);
  if (name) SetText(key, "Name", name);
  SetText(key, "RadioText", "Hello from the virtual radio");
  SetDword(key, "ProgramType", 10);
  SetDword(key, "Tone", tone);
  SetDword(key, "PI", 0xC201);
  RegCloseKey(key);
}

class VirtualRadioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY root = Create(kVirtualRadioKey);
    SetText(root, "Name", "Test");
    SetText(root, "Bands", "FM,AM");
    SetDword(root, "Prefer", 1);
    RegCloseKey(root);
    DeclareStation("One", 89'000'000, "ONE", 500);
    DeclareStation("Two", 95'500'000, nullptr, 700);
    DeclareStation("Three", 999'000, "AMSTN", 900);
  }
  test_support::TempEnvironment env_{"radio"};
};

TEST_F(VirtualRadioTest, ReadsTheDeclaration) {
  const auto config = ReadVirtualRadioConfig();
  ASSERT_TRUE(config);
  EXPECT_EQ(config->name, "Test");
  EXPECT_TRUE(config->am);
  EXPECT_TRUE(config->prefer);
  ASSERT_EQ(config->stations.size(), 3u);
  // Sub-keys come in name order.
  EXPECT_EQ(config->stations[0].frequencyHz, 89'000'000);
  EXPECT_EQ(config->stations[0].name, "ONE");
  EXPECT_EQ(config->stations[0].programType, 10);
  EXPECT_EQ(config->stations[0].pi, 0xC201);
  EXPECT_EQ(config->stations[1].frequencyHz, 999'000);
  EXPECT_TRUE(config->stations[2].name.empty());
  EXPECT_EQ(VirtualRadioInputName(*config), "Test Radio");
}

TEST(VirtualRadioUndeclaredTest, UndeclaredMeansNone) {
  test_support::TempEnvironment env("radio");
  EXPECT_FALSE(ReadVirtualRadioConfig());
  EXPECT_EQ(SharedVirtualRadio(), nullptr);
}

TEST_F(VirtualRadioTest, SignalAndLevelAroundAStation) {
  auto radio = SharedVirtualRadio();
  ASSERT_TRUE(radio);
  EXPECT_EQ(OpenRadioTuner(), radio) << "Prefer chooses the virtual radio";
  const struct {
    std::int64_t hz;
    int level;
  } cases[] = {
      {89'000'000, 5}, {89'025'000, 5}, {88'975'000, 5}, {89'050'000, 3}, {88'950'000, 3},
      {89'100'000, 0}, {92'000'000, 0}, {999'000, 5},    {1'001'000, 4},  {1'010'000, 0},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(radio->SetFrequency(c.hz)) << c.hz;
    EXPECT_EQ(SignalLevel(radio->Signal()), c.level) << c.hz;
  }
  ASSERT_TRUE(radio->SetFrequency(89'000'000));
  EXPECT_EQ(radio->Signal(), 65535);
  EXPECT_TRUE(radio->Stereo());
  EXPECT_FALSE(radio->SetFrequency(120'000'000)) << "outside every band";
  EXPECT_EQ(radio->Frequency(), 89'000'000);
}

TEST(SignalLevelTest, Thresholds) {
  const struct {
    int signal;
    int level;
  } cases[] = {{0, 0},     {6553, 0},  {6554, 1},  {16384, 2}, {26214, 3},
               {36044, 3}, {36045, 4}, {45874, 4}, {45875, 5}, {65535, 5}};
  for (const auto& c : cases) EXPECT_EQ(SignalLevel(c.signal), c.level) << c.signal;
}

TEST_F(VirtualRadioTest, SameDeclarationSameRadio) {
  auto first = SharedVirtualRadio();
  ASSERT_TRUE(first->SetFrequency(95'500'000));
  auto second = SharedVirtualRadio();
  EXPECT_EQ(first, second);
  EXPECT_EQ(second->Frequency(), 95'500'000) << "the tuned station is shared";
  DeclareStation("Four", 101'000'000, "FOUR", 300);
  EXPECT_NE(SharedVirtualRadio(), first) << "a changed declaration makes a new radio";
}

TEST_F(VirtualRadioTest, RdsOnlyWithNameAndStrongSignal) {
  auto radio = SharedVirtualRadio();
  ASSERT_TRUE(radio->SetFrequency(95'500'000));  // a station without a name
  EXPECT_FALSE(radio->NextRdsBlock(120));
  ASSERT_TRUE(radio->SetFrequency(89'050'000));  // 50 %: too weak
  EXPECT_FALSE(radio->NextRdsBlock(120));
  ASSERT_TRUE(radio->SetFrequency(89'000'000));
  const auto start = std::chrono::steady_clock::now();
  int blocks = 0;
  while (blocks < 4 * 12) {
    ASSERT_TRUE(radio->NextRdsBlock(500)) << "after " << blocks << " blocks";
    ++blocks;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Twelve groups at 11.4 a second, the first at once: at least 11 periods.
  EXPECT_GT(seconds, 0.9);
}

TEST_F(VirtualRadioTest, JoinsTheAudioInputs) {
  bool found = false;
  for (const auto& input : media::ReadVirtualAudioInputs()) {
    if (input.friendlyName == "Test Radio") found = true;
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace plat::radio
