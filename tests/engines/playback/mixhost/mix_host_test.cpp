#include "engines/playback/mixhost/mix_host.h"

#include <cstring>

#include "tests/engines/playback/mixhost/mixer_fixture.h"

namespace {

using namespace mixtest;

class CountingSink : public IMixHostEventSink {
 public:
  int OnMixerChange() override {
    ++changes;
    return 1;
  }
  int changes = 0;
};

class MixHostTest : public MixerFixture {
 protected:
  void SetUp() override {
    MixerFixture::SetUp();
    card = backend->AddStandardDevice("Card A");
    second = backend->AddStandardDevice("Card B");
  }
  ComPtr<ComObject<CMixHost>> Make() {
    auto host = MakeComObject<CMixHost>();
    EXPECT_TRUE(host);
    return host;
  }
  UINT card = 0;
  UINT second = 0;
};

TEST_F(MixHostTest, AnswersIMixHostAndIUnknownOnly) {
  auto host = Make();
  ComPtr<IMixHost> mix;
  EXPECT_EQ(host->QueryInterface(IID_PPV_ARGS(&mix)), S_OK);
  void* other = nullptr;
  EXPECT_EQ(host->QueryInterface(MakeGuid("{00000001-1111-2222-3333-444444444444}"), &other), E_NOINTERFACE);
}

TEST_F(MixHostTest, DeviceNamesAndSelectionByName) {
  auto host = Make();
  char name[kMixHostNameChars] = {};
  char* buffer = name;
  ASSERT_EQ(host->GetDeviceName(1, &buffer), S_OK);
  EXPECT_STREQ(name, "Card B");
  EXPECT_EQ(host->GetDeviceName(0, nullptr), S_OK);
  char* none = nullptr;
  EXPECT_EQ(host->GetDeviceName(1, &none), S_OK);
  EXPECT_EQ(host->GetDeviceName(2, &buffer), E_FAIL);
  EXPECT_EQ(host->GetDeviceName(-1, &buffer), E_FAIL);

  EXPECT_EQ(host->SelectedDevice(), -1);
  ASSERT_EQ(host->SelectDeviceByName("Card B"), S_OK);
  EXPECT_EQ(host->SelectedDevice(), 1);
  EXPECT_EQ(host->Engine().DeviceIndex(), second);
  // The device already selected is not opened again.
  const HMIXER open = host->Engine().Handle();
  ASSERT_EQ(host->SelectDeviceByName("Card B"), S_OK);
  EXPECT_EQ(host->Engine().Handle(), open);
  // Names compare exactly.
  EXPECT_EQ(host->SelectDeviceByName("card a"), E_FAIL);
  EXPECT_EQ(host->SelectDeviceByName("Card"), E_FAIL);
  EXPECT_EQ(host->SelectDeviceByName(nullptr), E_FAIL);
  EXPECT_EQ(host->Engine().DeviceIndex(), second);
}

TEST_F(MixHostTest, SpeakersLine) {
  auto host = Make();
  char name[kMixHostNameChars] = {};
  char* buffer = name;
  ASSERT_EQ(host->GetSpeakersLineName(&buffer), S_OK);
  EXPECT_STREQ(name, "Volume Control");

  ASSERT_EQ(host->SetSpeakersVolume(0, 0.5f), S_OK);
  ASSERT_EQ(host->SetSpeakersMute(0, 1), S_OK);
  int mute = 0;
  float volume = 0;
  DWORD type = 0;
  ASSERT_EQ(host->GetSpeakersLineState(0, &mute, &volume, &type), S_OK);
  EXPECT_EQ(mute, 1);
  EXPECT_NEAR(volume, 0.5f, 1e-4);
  EXPECT_EQ(type, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
  EXPECT_EQ(host->GetSpeakersLineState(0, nullptr, &volume, &type), E_FAIL);
  EXPECT_EQ(backend->Values(card, ControlOf(card, MixerDestinationLineId(0), MIXERCONTROL_CONTROLTYPE_VOLUME)),
            (std::vector<DWORD>{32767, 32767}));
}

TEST_F(MixHostTest, SourceLines) {
  auto host = Make();
  char name[kMixHostNameChars] = {};
  char* buffer = name;
  ASSERT_EQ(host->GetSourceLineName(1, &buffer), S_OK);
  EXPECT_STREQ(name, "CD Audio");
  EXPECT_EQ(host->GetSourceLineName(4, &buffer), E_FAIL);
  EXPECT_EQ(host->GetSourceLineName(-1, &buffer), E_FAIL);

  ASSERT_EQ(host->SetSourceVolume(1, 1.0f), S_OK);
  ASSERT_EQ(host->SetSourceMute(1, 1), S_OK);
  int mute = 0;
  float volume = 0;
  DWORD type = 0;
  ASSERT_EQ(host->GetSourceLineState(1, &mute, &volume, &type), S_OK);
  EXPECT_EQ(mute, 1);
  EXPECT_FLOAT_EQ(volume, 1.0f);
  EXPECT_EQ(type, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC);
}

TEST_F(MixHostTest, SourceStateIgnoresMissingControls) {
  const UINT bare = backend->AddDevice("Bare");
  backend->AddDestination(bare, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, "Out");
  backend->AddSource(bare, 0, MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER, "Beep");
  auto host = Make();
  ASSERT_EQ(host->SelectDeviceByName("Bare"), S_OK);
  int mute = 7;
  float volume = 7;
  DWORD type = 0;
  ASSERT_EQ(host->GetSourceLineState(0, &mute, &volume, &type), S_OK);
  EXPECT_EQ(type, MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER);
  EXPECT_EQ(mute, 7);
  EXPECT_EQ(host->GetSpeakersLineState(0, &mute, &volume, &type), E_FAIL);
  // No wave input: the whole recording group fails.
  char name[kMixHostNameChars];
  char* buffer = name;
  EXPECT_EQ(host->GetRecordingLineName(0, &buffer), E_FAIL);
  EXPECT_EQ(host->SelectRecordingSource(0), E_FAIL);
}

TEST_F(MixHostTest, RecordingLines) {
  auto host = Make();
  char name[kMixHostNameChars] = {};
  char* buffer = name;
  ASSERT_EQ(host->GetRecordingLineName(2, &buffer), S_OK);
  EXPECT_STREQ(name, "CD Audio");
  // The index must be below the connection count.
  EXPECT_EQ(host->GetRecordingLineName(3, &buffer), E_FAIL);
  EXPECT_EQ(host->SetRecordingVolume(3, 0.5f), E_FAIL);
  EXPECT_EQ(host->SelectRecordingSource(3), E_FAIL);

  ASSERT_EQ(host->SelectRecordingSource(1), S_OK);
  const DWORD mux = ControlOf(card, MixerDestinationLineId(1), MIXERCONTROL_CONTROLTYPE_MUX);
  EXPECT_EQ(backend->Values(card, mux), (std::vector<DWORD>{0, 1, 0}));
  ASSERT_EQ(host->SetRecordingVolume(1, 0.25f), S_OK);
  // The standard device's recording sources have no mute control.
  int selected = 0, mute = 0;
  float volume = 0;
  DWORD type = 0;
  EXPECT_EQ(host->GetRecordingLineState(1, &selected, &mute, &volume, &type), E_FAIL);
  EXPECT_EQ(host->SetRecordingMute(1, 1), E_FAIL);
}

TEST_F(MixHostTest, ASingleConnectionStandsForTheDestination) {
  const UINT one = backend->AddDevice("One");
  backend->AddDestination(one, MIXERLINE_COMPONENTTYPE_DST_WAVEIN, "Capture");
  const DWORD capture = MixerDestinationLineId(0);
  backend->AddControl(one, capture, MIXERCONTROL_CONTROLTYPE_VOLUME, "Volume");
  const DWORD mute = backend->AddControl(one, capture, MIXERCONTROL_CONTROLTYPE_MUTE, "Mute");
  backend->AddSource(one, 0, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, "Mic");
  backend->SetValues(one, mute, {1, 1});

  auto host = Make();
  ASSERT_EQ(host->SelectDeviceByName("One"), S_OK);
  char name[kMixHostNameChars] = {};
  char* buffer = name;
  ASSERT_EQ(host->GetRecordingLineName(0, &buffer), S_OK);
  EXPECT_STREQ(name, "Capture");
  EXPECT_EQ(host->GetRecordingLineName(1, &buffer), E_FAIL);

  // Choosing the destination as source unmutes it.
  ASSERT_EQ(host->SelectRecordingSource(0), S_OK);
  EXPECT_EQ(backend->Values(one, mute), (std::vector<DWORD>{0, 0}));
  int selected = 1, muted = 1;
  float volume = 0;
  DWORD type = 0;
  ASSERT_EQ(host->GetRecordingLineState(0, &selected, &muted, &volume, &type), S_OK);
  EXPECT_EQ(muted, 0);
  EXPECT_EQ(selected, 0);  // the destination is not one of its own sources
  EXPECT_EQ(type, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
}

TEST_F(MixHostTest, ChangesReachTheSinkOfTheObjectThatOwnsTheWindow) {
  auto first = Make();
  auto later = Make();
  CountingSink firstSink, laterSink;
  first->SetNotifyTarget(&firstSink);
  later->SetNotifyTarget(&laterSink);
  ASSERT_EQ(later->SelectDeviceByName("Card B"), S_OK);

  // A change on the first object's device reaches only its sink, though
  // another object was made after it.
  ASSERT_EQ(first->SetSpeakersMute(0, 1), S_OK);
  Pump();
  EXPECT_EQ(firstSink.changes, 1);
  EXPECT_EQ(laterSink.changes, 0);

  backend->SetValues(second, 1, {9, 9});
  Pump();
  EXPECT_EQ(firstSink.changes, 1);
  EXPECT_EQ(laterSink.changes, 1);
}

TEST_F(MixHostTest, WithoutASinkAChangeOnlyReachesTheWindow) {
  auto host = Make();
  ASSERT_NE(host->ProcWindow(), nullptr);
  ASSERT_EQ(host->SetSpeakersMute(0, 1), S_OK);
  Pump();  // nothing to call: must simply pass
  CountingSink sink;
  host->SetNotifyTarget(&sink);
  host->SetNotifyTarget(nullptr);
  ASSERT_EQ(host->SetSpeakersMute(0, 0), S_OK);
  Pump();
  EXPECT_EQ(sink.changes, 0);
}

TEST_F(MixHostTest, AnotherNotifyWindowTakesTheNoticesAway) {
  auto host = Make();
  CountingSink sink;
  host->SetNotifyTarget(&sink);
  RecordingWindow window;
  ASSERT_EQ(host->SetNotifyWindow(window.hwnd()), S_OK);
  ASSERT_EQ(host->SetSpeakersMute(0, 1), S_OK);
  Pump();
  EXPECT_EQ(sink.changes, 0);
  EXPECT_EQ(window.received.size(), 1u);
}

TEST_F(MixHostTest, DestructionClosesTheDeviceAndTheWindow) {
  HWND window = nullptr;
  {
    auto host = Make();
    window = host->ProcWindow();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(backend->OpenHandles(card), 1);
  }
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(backend->OpenHandles(card), 0);
  WNDCLASS wc;
  EXPECT_FALSE(GetClassInfo(nullptr, CMixHost::kProcWindowClass, &wc));
}

}  // namespace
