#include <cstring>

#include "corebridge/core/audio_profile.h"
#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

class VolumeTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    Start();
  }
  float Volume() {
    float volume = -1;
    core_->audio->GetSpeakersLineState(0, nullptr, &volume, nullptr);
    return volume;
  }
  int Mute() {
    int mute = -1;
    core_->audio->GetSpeakersLineState(0, &mute, nullptr, nullptr);
    return mute;
  }
};

TEST_F(VolumeTest, StepsRoundToTheStepGrid) {
  struct Case {
    float from;
    const char* action;
    float to;
  } cases[] = {
      {0.57f, "Vol Up", 0.60f}, {0.57f, "Vol Down", 0.40f}, {1.0f, "Vol Up", 1.0f},   {0.0f, "Vol Down", 0.0f},
      {0.60f, "Vol Up", 0.70f}, {0.60f, "Vol Down", 0.50f}, {0.05f, "Vol Down", 0.0f}, {0.96f, "Vol Up", 1.0f},
  };
  for (const auto& c : cases) {
    core_->audio->SetSpeakersVolume(0, c.from);
    EXPECT_EQ(system_->ExecuteAction(c.action, 0, 0), S_OK);
    EXPECT_NEAR(Volume(), c.to, 1e-6) << c.from << " " << c.action;
  }
}

TEST_F(VolumeTest, StepCountFromTheRegistryIsClamped) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CConfig::kRegistryKey));
  // 500 steps would make a step of 0 and divide by zero.
  key.SetDword("InitVolume", 500);
  key.Close();
  system_->Stop();
  ASSERT_EQ(system_->Start(), S_OK);
  EXPECT_EQ(system_->VolumeSteps(), 500);
  core_->audio->SetSpeakersVolume(0, 0.57f);
  EXPECT_EQ(system_->ExecuteAction("Vol Up", 0, 0), S_OK);
  EXPECT_NEAR(Volume(), 0.58f, 1e-6);  // one step of 1 %
}

TEST_F(VolumeTest, TextsAndMute) {
  Config().m_bVolumeOsd = 1;
  core_->audio->SetSpeakersVolume(0, 0.57f);
  system_->ExecuteAction("Vol Up", 0, 0);
  EXPECT_TRUE(frame_.Saw("ShowOsdText Volume up:  60%  @2000"));
  system_->ExecuteAction("Vol Down", 0, 0);
  EXPECT_TRUE(frame_.Saw("ShowOsdText Volume down:  50%  @2000"));

  // A step switches mute off when asked to.
  core_->audio->SetSpeakersMute(0, 1);
  system_->ExecuteAction("Vol Up", 0, 0);
  EXPECT_EQ(Mute(), 1);
  Config().m_bUnmuteWhenVolAdjusted = 1;
  system_->ExecuteAction("Vol Up", 0, 0);
  EXPECT_EQ(Mute(), 0);

  frame_.calls.clear();
  EXPECT_EQ(system_->ExecuteAction("Vol Mute", 0, 0), S_OK);
  EXPECT_EQ(Mute(), 1);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId MUTEON @2000"));
  EXPECT_EQ(system_->ExecuteAction("Vol Mute Unmute", 0, 0), S_OK);
  EXPECT_EQ(Mute(), 0);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId MUTEOFF @2000"));
  Config().m_bKeepMuteOsd = 1;
  system_->ExecuteAction("Vol Mute Unmute", 0, 0);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId MUTEON @0"));  // lasting
  EXPECT_EQ(frame_.osd, 2000);
  EXPECT_EQ(system_->ExecuteAction("Vol Unmute", 0, 0), S_OK);
  EXPECT_EQ(Mute(), 0);
}

TEST_F(VolumeTest, NoAudioServiceFailsTheActions) {
  core_->audio.Reset();
  for (const char* name : {"Vol Up", "Vol Down", "Vol Mute", "Vol Unmute", "Vol Mute Unmute"}) {
    EXPECT_EQ(system_->ExecuteAction(name, 0, 0), E_FAIL) << name;
  }
}

TEST_F(VolumeTest, DeviceListHasOneProfilePerDevice) {
  CAudioProfileList list;
  list.m_profiles.resize(3);
  core_->audio->SelectRecordingSource(1);
  core_->audio->SetSpeakersVolume(0, 0.5f);
  ASSERT_EQ(system_->EnumMixerDevices(list), 1);
  ASSERT_EQ(list.m_profiles.size(), 1u);
  const CAudioProfile& p = list.m_profiles[0];
  EXPECT_EQ(p.m_strName, CMemoryAudio::kDeviceName);
  EXPECT_STREQ(reinterpret_cast<const char*>(p.m_settings.data()), "Master Volume");
  float volume = 0;
  std::memcpy(&volume, p.m_settings.data() + 68, 4);
  EXPECT_FLOAT_EQ(volume, 0.5f);
  EXPECT_EQ(p.m_settings[72], 4);  // the speakers' line type
  ASSERT_EQ(p.m_items.size(), 2u);
  EXPECT_STREQ(reinterpret_cast<const char*>(p.m_items[1].data()), "CD Audio");
  ASSERT_EQ(p.m_wideItems.size(), 2u);
  EXPECT_EQ(p.m_wideItems[0][64], 0);  // not the recording source
  EXPECT_EQ(p.m_wideItems[1][64], 1);
  // Without the audio service the list stays as it is.
  core_->audio.Reset();
  EXPECT_EQ(system_->EnumMixerDevices(list), 0);
  EXPECT_EQ(list.m_profiles.size(), 1u);
}

TEST_F(VolumeTest, SpeedTexts) {
  EXPECT_EQ(system_->SpeedText(20000), "FF x 2");
  EXPECT_EQ(system_->SpeedText(15000), "FF x1.5");
  EXPECT_EQ(system_->SpeedText(-20000), "FB x 2");
  EXPECT_EQ(system_->SpeedText(-5000), "FB x0.5");
  EXPECT_EQ(system_->SpeedText(0), "PAUSE");
  // A string-table text is never used as a format.
  frame_.strings["FF_STRINGSPEED"] = "%n%d %s %s";
  EXPECT_EQ(system_->SpeedText(30000), "%n%d  3 %s");

  frame_.strings["FF_STRINGSPEED"] = "FF x%s";
  system_->ShowStatusText(0);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId PAUSE @2000"));
  system_->ShowStatusText(20000);
  EXPECT_TRUE(frame_.Saw("ShowOsdText FF x 2 @2000"));
  Config().m_bKeepScanOsd = 1;
  system_->ShowStatusText(20000);
  EXPECT_TRUE(frame_.Saw("ShowOsdText FF x 2 @0"));
  frame_.calls.clear();
  system_->ShowStatusText(10000);  // normal speed is never lasting
  EXPECT_TRUE(frame_.Saw("ShowOsdText FF x 1 @2000"));
}

TEST_F(VolumeTest, WideLookupShowsTheTextOrTheKey) {
  frame_.strings["HELLO"] = "Hi";
  system_->LookupUIStringWide(u"HELLO");
  system_->LookupUIStringWide(u"MISSING");
  EXPECT_TRUE(frame_.Saw("ShowOsdTextW Hi"));
  EXPECT_TRUE(frame_.Saw("ShowOsdTextW MISSING"));
}

}  // namespace
}  // namespace bridge_test
