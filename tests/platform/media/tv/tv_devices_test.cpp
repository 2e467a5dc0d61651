// Channel allocations and the virtual tuner.
#include <gtest/gtest.h>

#include "platform/media/tv/channel_tables.h"
#include "platform/media/tv/virtual_tuner.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace plat::tv {
namespace {

TEST(ChannelTables, CarriersOfTellingChannels) {
  struct Case {
    ChannelPlan plan;
    bool antenna;
    int channel;
    int kHz;
  };
  const Case cases[] = {
      {ChannelPlan::kAmerica, true, 2, 55250},    {ChannelPlan::kAmerica, true, 5, 77250},
      {ChannelPlan::kAmerica, true, 7, 175250},   {ChannelPlan::kAmerica, true, 14, 471250},
      {ChannelPlan::kAmerica, true, 69, 801250},  {ChannelPlan::kAmerica, false, 1, 73250},
      {ChannelPlan::kAmerica, false, 14, 121250}, {ChannelPlan::kAmerica, false, 95, 91250},
      {ChannelPlan::kAmerica, false, 125, 799250}, {ChannelPlan::kEurope, true, 2, 48250},
      {ChannelPlan::kEurope, true, 5, 175250},    {ChannelPlan::kEurope, true, 12, 224250},
      {ChannelPlan::kEurope, true, 21, 471250},   {ChannelPlan::kEurope, true, 69, 855250},
      {ChannelPlan::kEurope, false, 21, 303250},  {ChannelPlan::kJapan, true, 1, 91250},
      {ChannelPlan::kJapan, true, 13, 471250},    {ChannelPlan::kOirt, true, 1, 49750},
      {ChannelPlan::kOirt, true, 6, 175250},      {ChannelPlan::kFrance, true, 5, 176000},
      {ChannelPlan::kAustralia, true, 0, 46250},  {ChannelPlan::kAustralia, true, 28, 527250},
      {ChannelPlan::kUnitedKingdom, true, 21, 471250},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChannelFrequencyKHz(c.plan, c.antenna, c.channel), c.kHz)
        << static_cast<int>(c.plan) << " " << c.antenna << " " << c.channel;
  }
  EXPECT_FALSE(ChannelFrequencyKHz(ChannelPlan::kEurope, true, 13));  // no E13
  EXPECT_FALSE(ChannelFrequencyKHz(ChannelPlan::kAmerica, true, 1));
  EXPECT_FALSE(ChannelFrequencyKHz(ChannelPlan::kUnitedKingdom, true, 5));
}

TEST(ChannelTables, PlansAndLookups) {
  EXPECT_EQ(PlanFor(1, 0x1), ChannelPlan::kAmerica);
  EXPECT_EQ(PlanFor(55, 0x200), ChannelPlan::kAmerica);
  EXPECT_EQ(PlanFor(49, 0x10), ChannelPlan::kEurope);
  EXPECT_EQ(PlanFor(7, 0x2000), ChannelPlan::kOirt);
  EXPECT_EQ(PlanFor(86, 0x20), ChannelPlan::kChina);
  EXPECT_EQ(PlanFor(33, 0x40000), ChannelPlan::kFrance);
  EXPECT_EQ(PlanFor(81, 0x2), ChannelPlan::kJapan);
  EXPECT_EQ(PlanFor(61, 0x10), ChannelPlan::kAustralia);
  EXPECT_EQ(PlanFor(353, 0x100), ChannelPlan::kIreland);
  EXPECT_EQ(PlanFor(44, 0x100), ChannelPlan::kUnitedKingdom);
  const std::vector<int> e = ChannelNumbers(ChannelPlan::kEurope, true);
  EXPECT_EQ(e.size(), 3u + 8u + 49u);
  EXPECT_EQ(ChannelAt(ChannelPlan::kEurope, true, 471000), 21);
  EXPECT_FALSE(ChannelAt(ChannelPlan::kEurope, true, 300000));
}

TEST(VirtualTuner, SignalFallsOverOneAndAHalfMegahertz) {
  EXPECT_EQ(SignalAtDistance(0), 65535);
  EXPECT_EQ(SignalAtDistance(750), 32767);
  EXPECT_EQ(SignalAtDistance(-750), 32767);
  EXPECT_EQ(SignalAtDistance(1500), 0);
  EXPECT_EQ(SignalAtDistance(9000), 0);

  VirtualTunerConfig config;
  config.stations = {{175250, "One", 0, 440, false}, {471250, "Two", 1, 880, true}};
  VirtualTuner tuner(config);
  ASSERT_TRUE(tuner.SetFrequencyKHz(471250));
  EXPECT_EQ(tuner.Signal(), 65535);
  EXPECT_EQ(tuner.StationName(), "Two");
  ASSERT_TRUE(tuner.SetFrequencyKHz(176000));
  EXPECT_EQ(tuner.Signal(), 65535 * 750 / 1500);
  ASSERT_TRUE(tuner.SetFrequencyKHz(300000));
  EXPECT_EQ(tuner.Signal(), 0);
  EXPECT_EQ(tuner.StationName(), "");
  // Other inputs carry no broadcast signal.
  ASSERT_TRUE(tuner.SetFrequencyKHz(471250));
  ASSERT_TRUE(tuner.SetInput(1));
  EXPECT_EQ(tuner.Signal(), 0);
  EXPECT_FALSE(tuner.SetInput(3));
  EXPECT_FALSE(tuner.SetAudioMode(4));  // mono and stereo only
}

TEST(VirtualTuner, StationsFromTheMachineRegistry) {
  test_support::TempEnvironment env("vtuner");
  VirtualTunerConfig defaults = ReadVirtualTunerConfig();
  EXPECT_EQ(defaults.name, "Virtual TV Tuner");
  EXPECT_FALSE(defaults.prefer);
  ASSERT_EQ(defaults.stations.size(), 3u);

  auto set = [](const std::string& path, const char* name, DWORD value) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(k);
  };
  auto text = [](const std::string& path, const char* name, const char* value) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(k);
  };
  const std::string root = kVirtualTunerKey;
  set(root, "Prefer", 1);
  text(root, "Name", "Test Tuner");
  set(root + "\\Stations\\A", "Frequency", 495250);
  text(root + "\\Stations\\A", "Name", "Alpha");
  set(root + "\\Stations\\A", "Tone", 1000);
  set(root + "\\Stations\\A", "Teletext", 1);
  set(root + "\\Stations\\Broken", "Frequency", 0);  // no carrier: left out
  const VirtualTunerConfig config = ReadVirtualTunerConfig();
  EXPECT_EQ(config.name, "Test Tuner");
  EXPECT_TRUE(config.prefer);
  ASSERT_EQ(config.stations.size(), 1u);
  EXPECT_EQ(config.stations[0].name, "Alpha");
  EXPECT_EQ(config.stations[0].frequencyKHz, 495250);
  EXPECT_EQ(config.stations[0].toneHz, 1000);
  EXPECT_TRUE(config.stations[0].teletext);

  // A virtual web camera exists only when declared: no tuner, its picture at
  // any frequency.
  EXPECT_FALSE(ReadVirtualWebcamConfig().has_value());
  text(kVirtualWebcamKey, "Name", "Desk Camera");
  set(kVirtualWebcamKey, "Pattern", 18);
  const auto webcam = ReadVirtualWebcamConfig();
  ASSERT_TRUE(webcam.has_value());
  const VirtualTuner camera(*webcam);
  EXPECT_EQ(camera.Name(), "Desk Camera");
  EXPECT_FALSE(camera.HasTuner());
  ASSERT_TRUE(camera.Station().has_value());
  EXPECT_EQ(camera.Station()->pattern, 18);
  EXPECT_EQ(camera.Signal(), 65535);
}

}  // namespace
}  // namespace plat::tv
