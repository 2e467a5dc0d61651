// The radio engine's kind 2 through the COM runtime as the build registered
// it: the outside component on the virtual radio (band switch, area plans,
// presets through slots 15 and 14, what kind 2 refuses), and a line
// recording through the rippers that holds the tuned station.
#include <gtest/gtest.h>

#include <filesystem>

#include "interfaces/core_object.h"
#include "interfaces/radiodeck.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"
#include "platform/media/radio/virtual_radio.h"
#include "platform/registry/registry.h"
#include "tests/engines/rip/ripper_client.h"

namespace {

using namespace plat;

void SetText(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}
void SetDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}
HKEY CreateKey(const std::string& path) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

class RadioTunerServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY root = CreateKey(plat::radio::kVirtualRadioKey);
    SetText(root, "Name", "Test");
    SetText(root, "Bands", "FM,AM");
    SetDword(root, "Prefer", 1);
    RegCloseKey(root);
    const struct {
      const char* key;
      DWORD hz;
      DWORD tone;
    } stations[] = {{"A", 98'500'000, 700}, {"B", 999'000, 1200}};
    for (const auto& s : stations) {
      HKEY key = CreateKey(std::string(plat::radio::kVirtualRadioKey) + "\\Stations\\" + s.key);
      SetDword(key, "Frequency", s.hz);
      SetDword(key, "Tone", s.tone);
      RegCloseKey(key);
    }
    ASSERT_EQ(CoCreateInstance(CLSID_RadioCore, nullptr, CLSCTX_INPROC_SERVER, IID_IRadioCore,
                               reinterpret_cast<void**>(engine.ReleaseAndGetAddressOf())),
              S_OK)
        << CoLastErrorDetail();
    folder = dir.path() + "/Radio";
  }
  void TearDown() override {
    if (engine) engine->Close();
    engine.Reset();
  }
  int Get(HRESULT (IRadioCore::*call)(int*)) {
    int value = -1;
    EXPECT_EQ((engine.Get()->*call)(&value), S_OK);
    return value;
  }
  int Edge(bool high, int band) {
    int value = -1;
    EXPECT_EQ(high ? engine->GetBandHigh(&value, band) : engine->GetBandLow(&value, band), S_OK);
    return value;
  }

  rip_test::ServerEnvironment environment;
  rip_test::TempDir dir;
  std::string folder;
  ComPtr<IRadioCore> engine;
};

TEST_F(RadioTunerServerTest, BandsAreasAndWhatKindTwoRefuses) {
  ASSERT_EQ(engine->Open(kRadioKindComponent, folder.c_str()), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetDeviceId), kRadioDeviceComponent);
  EXPECT_EQ(Get(&IRadioCore::GetState), kRadioPlaying);
  EXPECT_EQ(Get(&IRadioCore::GetBand), 1);
  EXPECT_EQ(Edge(false, 1), 87'500'000);
  EXPECT_EQ(Edge(true, 1), 108'000'000);
  EXPECT_EQ(Edge(false, 2), 531'000'000) << "AM in thousandths of a hertz";
  EXPECT_EQ(Edge(true, 2), 1'602'000'000);

  ASSERT_EQ(engine->SetFrequency(98'500'000), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetFrequency), 98'500'000);
  EXPECT_EQ(Get(&IRadioCore::GetSignalStrength), 5);
  EXPECT_EQ(Get(&IRadioCore::GetStereo), 1);
  ASSERT_EQ(engine->SetFrequency(98'550'000), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetSignalStrength), 3);

  ASSERT_EQ(engine->SetArea(1), S_OK);  // the country with code 1
  EXPECT_EQ(Edge(false, 1), 87'900'000);
  EXPECT_EQ(Edge(true, 1), 107'900'000);
  EXPECT_EQ(Edge(true, 2), 1'700'000'000);
  ASSERT_EQ(engine->SetArea(2), S_OK);  // the country with code 81
  EXPECT_EQ(Edge(false, 1), 76'000'000);
  EXPECT_EQ(Edge(true, 1), 90'000'000);
  EXPECT_EQ(Get(&IRadioCore::GetFrequency), 90'000'000) << "moved into the new plan";
  EXPECT_EQ(engine->SetArea(3), E_FAIL);
  ASSERT_EQ(engine->SetArea(0), S_OK);

  ASSERT_EQ(engine->SetBand(2), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetBand), 2);
  ASSERT_EQ(engine->SetFrequency(999'000'000), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetFrequency), 999'000'000);
  EXPECT_EQ(Get(&IRadioCore::GetSignalStrength), 5);
  EXPECT_EQ(Get(&IRadioCore::GetStereo), 0) << "AM is mono";
  ASSERT_EQ(engine->SetArea(1), S_OK);
  ASSERT_EQ(engine->SetFrequency(1'602'000'000), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetFrequency), 1'600'000'000) << "the 10 kHz grid";
  EXPECT_EQ(engine->SetBand(3), E_FAIL);
  ASSERT_EQ(engine->SetBand(1), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetBand), 1);

  // Kind 1 alone searches, records and reads RDS.
  EXPECT_EQ(engine->StartRecord((dir.path() + "/x.mp3").c_str(), kRadioRecordMp3, nullptr), E_FAIL);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/x.mp3"));
  EXPECT_EQ(Get(&IRadioCore::GetState), kRadioPlaying);
  EXPECT_EQ(engine->StartScan(50'000, nullptr), E_FAIL);
  EXPECT_EQ(engine->InitTunerCard(0, nullptr), E_FAIL);
  int strong = 0;
  EXPECT_EQ(engine->IsSignalStrong(&strong), E_FAIL);
  EXPECT_EQ(engine->SetMute(1), S_OK);
  EXPECT_EQ(engine->SetMute(0), S_OK);

  // Opening kind 1 closes the component first.
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  EXPECT_EQ(Get(&IRadioCore::GetDeviceId), kRadioDeviceTuner);
  EXPECT_EQ(engine->SetArea(0), E_FAIL);
}

TEST_F(RadioTunerServerTest, PresetsThroughTheEngine) {
  ASSERT_EQ(engine->Open(kRadioKindComponent, folder.c_str()), S_OK);
  double presets[20] = {};
  ASSERT_EQ(engine->SetComponentOption15(presets), S_OK);
  for (double p : presets) EXPECT_EQ(p, 0.0);
  presets[0] = 98.5;
  presets[3] = 101.1;
  presets[10] = 999;
  ASSERT_EQ(engine->SetComponentOption14(presets), S_OK);
  ASSERT_EQ(engine->Close(), S_OK);
  EXPECT_EQ(engine->SetComponentOption15(presets), E_FAIL) << "no component once closed";

  ASSERT_EQ(engine->Open(kRadioKindComponent, folder.c_str()), S_OK);
  double back[20] = {};
  ASSERT_EQ(engine->SetComponentOption15(back), S_OK);
  EXPECT_EQ(back[0], 98.5);
  EXPECT_EQ(back[3], 101.1);
  EXPECT_EQ(back[10], 999.0);
  EXPECT_EQ(back[1], 0.0);
}

TEST_F(RadioTunerServerTest, ALineRecordingHoldsTheTunedStation) {
  ASSERT_EQ(engine->Open(kRadioKindComponent, folder.c_str()), S_OK);
  ASSERT_EQ(engine->SetFrequency(98'500'000), S_OK);
  rip_test::RipperClient ripper(rip_test::Kind::Mp3);
  rip_test::RecordingSink sink;
  ASSERT_EQ(ripper.Initialize(), S_OK);
  ripper.SetEventSink(&sink);
  ASSERT_EQ(ripper.FindCaptureFilter("Test Radio"), S_OK);
  const std::string output = dir.path() + "/line.mp3";
  ASSERT_EQ(ripper.BuildRipGraph(output), S_OK);
  ASSERT_EQ(ripper.Run(), S_OK);
  rip_test::PumpFor(1500);
  ASSERT_EQ(ripper.Stop(), S_OK);
  ripper.Uninitialize();
  const rip_test::Decoded decoded = rip_test::Decode(output);
  ASSERT_TRUE(decoded.ok);
  EXPECT_NEAR(decoded.seconds(), 1.5, 0.4);
  EXPECT_TRUE(rip_test::ToneDominant(decoded.samples, 700));
}

// How the Radio module finds the radio's sound on this road: the sound
// card (in memory) carries the radio's name and a "Radio" line, and the
// same name is a capture device a recording can open.
TEST_F(RadioTunerServerTest, TheSoundCardAndTheCaptureDeviceAreTheRadio) {
  ::setenv("MARIVEL_MIXER", "memory", 1);
  ComPtr<IUnknown> core;
  ASSERT_EQ(CoCreateInstance(CLSID_CoreObject, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(core.ReleaseAndGetAddressOf())),
            S_OK)
      << CoLastErrorDetail();
  ComPtr<ICoreAudio> audio;
  ASSERT_EQ(core->QueryInterface(IID_ICoreAudio, reinterpret_cast<void**>(audio.ReleaseAndGetAddressOf())), S_OK);
  char text[kServiceNameBytes] = {};
  char* buffer = text;
  ASSERT_EQ(audio->GetDeviceName(0, &buffer), S_OK);
  EXPECT_STREQ(text, "Test Radio");
  ASSERT_EQ(audio->SelectDeviceByName("Test Radio"), S_OK);
  bool radioLine = false;
  for (int i = 0; i < 16; ++i) {
    if (audio->GetSourceLineName(i, &buffer) != S_OK) break;
    if (std::string(text) == "Radio") radioLine = true;
  }
  EXPECT_TRUE(radioLine);
  ComPtr<IDriveEnumerator> drives;
  ASSERT_EQ(core->QueryInterface(IID_IDriveEnumerator, reinterpret_cast<void**>(drives.ReleaseAndGetAddressOf())),
            S_OK);
  ASSERT_EQ(drives->GetCaptureDeviceName(0, &buffer), S_OK);
  EXPECT_STREQ(text, "Test Radio");
  ::unsetenv("MARIVEL_MIXER");
}

}  // namespace
