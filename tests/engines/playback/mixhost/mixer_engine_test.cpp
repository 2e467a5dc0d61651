#include "engines/playback/mixhost/mixer_engine.h"

#include <cmath>
#include <limits>

#include "tests/engines/playback/mixhost/mixer_fixture.h"

namespace {

using namespace mixtest;

constexpr DWORD kSpeakers = MixerDestinationLineId(0);
constexpr DWORD kWaveIn = MixerDestinationLineId(1);

class MixerEngineTest : public MixerFixture {
 protected:
  void SetUp() override {
    MixerFixture::SetUp();
    device = backend->AddStandardDevice("Card");
  }
  UINT device = 0;
};

TEST_F(MixerFixture, WithoutDevicesOpenGivesSixAndEveryQueryFails) {
  CMixerEngine engine;
  EXPECT_EQ(engine.Handle(), nullptr);
  EXPECT_EQ(engine.Open(0, nullptr), MMSYSERR_NODRIVER);
  float volume = 0;
  int mute = 0;
  DWORD id = 0;
  MIXERLINEA line;
  std::vector<DWORD> lines;
  char name[32];
  EXPECT_EQ(engine.GetVolume(kSpeakers, &volume), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.SetVolume(kSpeakers, 0.5f), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.GetMute(kSpeakers, &mute), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.SetMute(kSpeakers, 1), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.FindControlOfClass(kSpeakers, MIXERCONTROL_CT_CLASS_LIST, &id), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.SelectListItem(1, 0, 1), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.SelectRecordingSource(kWaveIn, 1), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.GetSelectedRecordingLines(&lines), MMSYSERR_NODRIVER);
  EXPECT_EQ(engine.GetDestination(0, &line), 0);
  EXPECT_EQ(engine.GetSource(0, 0, &line), 0);
  EXPECT_EQ(engine.GetDeviceName(0, name), 0);
  EXPECT_EQ(engine.IsLineSelected(kWaveIn), 0);
  EXPECT_EQ(engine.SelectDevice(0), 0);
  EXPECT_EQ(engine.SetNotifyWindow(nullptr), 0);
}

TEST_F(MixerEngineTest, OpensDeviceZeroAndCachesItsLines) {
  backend->AddDevice("Empty");
  CMixerEngine engine;
  ASSERT_NE(engine.Handle(), nullptr);
  EXPECT_EQ(engine.DeviceIndex(), 0u);
  EXPECT_EQ(engine.DestinationCount(), 2u);
  EXPECT_NE(engine.CallbackWindow(), nullptr);
  EXPECT_EQ(engine.Open(2, nullptr), MMSYSERR_BADDEVICEID);

  MIXERLINEA line;
  ASSERT_EQ(engine.GetSource(0, 3, &line), 1);
  EXPECT_STREQ(line.szName, "Microphone");
  EXPECT_EQ(engine.GetSource(0, 4, &line), 0);
  ASSERT_EQ(engine.GetDestination(1, &line), 1);
  EXPECT_EQ(line.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);

  char name[32];
  ASSERT_EQ(engine.GetDeviceName(0, name), 1);
  EXPECT_STREQ(name, "Card");
  EXPECT_EQ(engine.GetDeviceName(0, nullptr), 1);
  EXPECT_EQ(engine.GetDeviceName(1, name), 0);  // a device without destinations
  EXPECT_EQ(engine.GetDeviceName(2, name), 0);
}

TEST_F(MixerEngineTest, CallbackWindowIsAHiddenTopmostPopup) {
  CMixerEngine engine;
  HWND w = engine.CallbackWindow();
  char title[64] = {};
  GetWindowText(w, title, sizeof title);
  EXPECT_STREQ(title, CMixerEngine::kCallbackWindowClass);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtr(w, GWL_STYLE)) & CMixerEngine::kCallbackWindowStyle,
            CMixerEngine::kCallbackWindowStyle);
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&engine));
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.right - r.left, 10);
  EXPECT_EQ(r.bottom - r.top, 10);
}

TEST_F(MixerEngineTest, VolumeIsWrittenToEveryChannelByTruncation) {
  // A second device whose speakers volume keeps its channels apart.
  const UINT split = backend->AddDevice("Split");
  backend->AddDestination(split, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, "Out", 2);
  const DWORD splitVolume = backend->AddControl(split, kSpeakers, MIXERCONTROL_CONTROLTYPE_VOLUME, "Volume",
                                                MIXERCONTROL_CONTROLF_MULTIPLE);
  const DWORD uniformVolume = ControlOf(device, kSpeakers, MIXERCONTROL_CONTROLTYPE_VOLUME);

  struct Case {
    float volume;
    DWORD written;
  } cases[] = {{0.5f, 32767}, {1.0f, 65535}, {0.0f, 0}, {0.25f, 16383}, {-0.5f, 0}, {7.0f, 65535},
               {std::numeric_limits<float>::quiet_NaN(), 0}};
  CMixerEngine engine;
  for (const Case& c : cases) {
    ASSERT_EQ(engine.Open(device, nullptr), MMSYSERR_NOERROR);
    ASSERT_EQ(engine.SetVolume(kSpeakers, c.volume), MMSYSERR_NOERROR) << c.volume;
    EXPECT_EQ(backend->Values(device, uniformVolume), (std::vector<DWORD>{c.written, c.written})) << c.volume;
    ASSERT_EQ(engine.Open(split, nullptr), MMSYSERR_NOERROR);
    ASSERT_EQ(engine.SetVolume(kSpeakers, c.volume), MMSYSERR_NOERROR) << c.volume;
    EXPECT_EQ(backend->Values(split, splitVolume), (std::vector<DWORD>{c.written, c.written})) << c.volume;
  }
}

TEST_F(MixerEngineTest, VolumeAndMuteAreReadFromTheFirstItem) {
  const DWORD volume = ControlOf(device, kSpeakers, MIXERCONTROL_CONTROLTYPE_VOLUME);
  const DWORD mute = ControlOf(device, kSpeakers, MIXERCONTROL_CONTROLTYPE_MUTE);
  backend->SetValues(device, volume, {65535, 0});
  backend->SetValues(device, mute, {1, 0});
  CMixerEngine engine;
  float v = 0;
  int m = 0;
  ASSERT_EQ(engine.GetVolume(kSpeakers, &v), MMSYSERR_NOERROR);
  EXPECT_FLOAT_EQ(v, 1.0f);
  ASSERT_EQ(engine.GetMute(kSpeakers, &m), MMSYSERR_NOERROR);
  EXPECT_EQ(m, 1);
  ASSERT_EQ(engine.SetMute(kSpeakers, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(backend->Values(device, mute), (std::vector<DWORD>{0, 0}));

  EXPECT_EQ(engine.GetVolume(kSpeakers, nullptr), MMSYSERR_INVALPARAM);
  EXPECT_EQ(engine.GetMute(kSpeakers, nullptr), MMSYSERR_INVALPARAM);
  EXPECT_EQ(engine.GetMute(kWaveIn, &m), MIXERR_INVALCONTROL);  // wave input has no mute
  EXPECT_EQ(engine.GetVolume(0x12345678, &v), MIXERR_INVALLINE);
}

TEST(MixerEngineNames, LineTypeNames) {
  const std::pair<DWORD, const char*> cases[] = {
      {0, "(Dest)-Undefined"},    {4, "(Dest)-Speakers"},      {7, "(Dest)-WaveInput"},
      {8, "(Dest)-VoiceInput"},   {9, "NOT VALID"},            {0x1000, "(Src)-Undefined"},
      {0x1005, "(Src)-CompactDisc"}, {0x100A, "(Src)-Analog"}, {0x100B, "NOT VALID"},
      {0xFFF, "NOT VALID"}};
  for (auto [type, name] : cases) EXPECT_STREQ(CMixerEngine::LineTypeName(type), name) << type;

  char small[31];
  char enough[32];
  EXPECT_EQ(CMixerEngine::CopyLineTypeName(4, small, sizeof small), MMSYSERR_INVALPARAM);
  EXPECT_EQ(CMixerEngine::CopyLineTypeName(4, nullptr, 32), MMSYSERR_INVALPARAM);
  ASSERT_EQ(CMixerEngine::CopyLineTypeName(0x1008, enough, sizeof enough), MMSYSERR_NOERROR);
  EXPECT_STREQ(enough, "(Src)-WaveOutput");
}

// A device whose wave input has a list of four recording sources.
class ListTest : public MixerFixture {
 protected:
  void SetUp() override {
    MixerFixture::SetUp();
    device = backend->AddDevice("Lists");
    backend->AddDestination(device, MIXERLINE_COMPONENTTYPE_DST_WAVEIN, "Recording");
    const char* names[] = {"Microphone", "Line In", "CD Audio", "Stereo Mix"};
    single = backend->AddControl(device, kWaveInFirst, MIXERCONTROL_CONTROLTYPE_MUX, "Source", 0,
                                 {names[0], names[1], names[2], names[3]});
    multi = backend->AddControl(device, kWaveInFirst, MIXERCONTROL_CONTROLTYPE_MIXER, "Mixer", 0,
                                {names[0], names[1], names[2], names[3]});
    for (const char* n : names) backend->AddSource(device, 0, MIXERLINE_COMPONENTTYPE_SRC_ANALOG, n);
  }
  static constexpr DWORD kWaveInFirst = MixerDestinationLineId(0);
  UINT device = 0;
  DWORD single = 0;
  DWORD multi = 0;
};

TEST_F(ListTest, SingleSelectChoosesOneItemAndDeselectingChoosesTheNext) {
  CMixerEngine engine;
  struct Case {
    DWORD index;
    int select;
    std::vector<DWORD> items;
  } cases[] = {
      {2, 0, {0, 0, 0, 1}},  // deselecting item 2 of 4 selects item 3
      {3, 0, {1, 0, 0, 0}},  // and the last wraps to the first
      {1, 1, {0, 1, 0, 0}},
      {1, 1, {0, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(engine.SelectListItem(single, c.index, c.select), MMSYSERR_NOERROR);
    EXPECT_EQ(backend->Values(device, single), c.items) << c.index << " " << c.select;
  }
  EXPECT_EQ(engine.SelectListItem(single, 4, 1), MMSYSERR_INVALPARAM);
  EXPECT_EQ(engine.SelectListItem(999, 0, 1), MIXERR_INVALCONTROL);
}

TEST_F(ListTest, MultiSelectSetsOneItemAlone) {
  CMixerEngine engine;
  ASSERT_EQ(engine.SelectListItem(multi, 2, 1), MMSYSERR_NOERROR);
  ASSERT_EQ(engine.SelectListItem(multi, 0, 1), MMSYSERR_NOERROR);
  EXPECT_EQ(backend->Values(device, multi), (std::vector<DWORD>{1, 0, 1, 0}));
  ASSERT_EQ(engine.SelectListItem(multi, 2, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(backend->Values(device, multi), (std::vector<DWORD>{1, 0, 0, 0}));
}

TEST_F(ListTest, ItemsAreFoundByNameIgnoringCase) {
  CMixerEngine engine;
  ASSERT_EQ(engine.SelectListItemByName(single, "cd AUDIO", 1), MMSYSERR_NOERROR);
  EXPECT_EQ(backend->Values(device, single), (std::vector<DWORD>{0, 0, 1, 0}));
  EXPECT_EQ(engine.SelectListItemByName(single, "Aux", 1), MIXERR_INVALCONTROL);
  EXPECT_EQ(engine.SelectListItemByName(single, "CD", 1), MIXERR_INVALCONTROL);
  EXPECT_EQ(backend->Values(device, single), (std::vector<DWORD>{0, 0, 1, 0}));

  DWORD id = 0;
  ASSERT_EQ(engine.FindControlOfClass(kWaveInFirst, MIXERCONTROL_CT_CLASS_LIST, &id), MMSYSERR_NOERROR);
  EXPECT_EQ(id, single);
  EXPECT_EQ(engine.FindControlOfClass(kWaveInFirst, MIXERCONTROL_CT_CLASS_FADER, &id), MIXERR_INVALCONTROL);
  EXPECT_EQ(engine.FindControlOfClass(0x7777, MIXERCONTROL_CT_CLASS_LIST, &id), MIXERR_INVALLINE);
}

TEST_F(ListTest, RecordingSourceIsChosenInTheListByTheSourceName) {
  CMixerEngine engine;
  const DWORD line = MixerSourceLineId(0, 3);  // "Stereo Mix"
  ASSERT_EQ(engine.SelectRecordingSource(line, 1), MMSYSERR_NOERROR);
  EXPECT_EQ(backend->Values(device, single), (std::vector<DWORD>{0, 0, 0, 1}));
  EXPECT_EQ(engine.IsLineSelected(line), 1);
  EXPECT_EQ(engine.IsLineSelected(MixerSourceLineId(0, 0)), 0);

  // Both lists count: an item set in the mixer list selects its line too.
  ASSERT_EQ(engine.SelectListItem(multi, 1, 1), MMSYSERR_NOERROR);
  std::vector<DWORD> lines;
  ASSERT_EQ(engine.GetSelectedRecordingLines(&lines), MMSYSERR_NOERROR);
  EXPECT_EQ(lines, (std::vector<DWORD>{MixerSourceLineId(0, 1), MixerSourceLineId(0, 3)}));

  EXPECT_EQ(engine.SelectRecordingSource(MixerSourceLineId(0, 9), 1), MIXERR_INVALLINE);
}

TEST_F(MixerEngineTest, RecordingSourceWithoutAListIsChosenByItsMute) {
  const UINT plain = backend->AddDevice("Plain");
  backend->AddDestination(plain, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, "Out");
  backend->AddDestination(plain, MIXERLINE_COMPONENTTYPE_DST_WAVEIN, "In");
  const DWORD inMute = backend->AddControl(plain, MixerDestinationLineId(1), MIXERCONTROL_CONTROLTYPE_MUTE, "Mute");
  const DWORD mic = backend->AddSource(plain, 1, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, "Mic");
  const DWORD line = backend->AddSource(plain, 1, MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line");
  const DWORD micMute = backend->AddControl(plain, mic, MIXERCONTROL_CONTROLTYPE_MUTE, "Mute");
  const DWORD lineMute = backend->AddControl(plain, line, MIXERCONTROL_CONTROLTYPE_MUTE, "Mute");
  backend->SetValues(plain, micMute, {1, 1});
  backend->SetValues(plain, lineMute, {1, 1});

  CMixerEngine engine;
  ASSERT_EQ(engine.Open(plain, nullptr), MMSYSERR_NOERROR);
  ASSERT_EQ(engine.SelectRecordingSource(line, 1), MMSYSERR_NOERROR);
  EXPECT_EQ(backend->Values(plain, lineMute), (std::vector<DWORD>{0, 0}));
  EXPECT_EQ(engine.IsLineSelected(line), 1);
  EXPECT_EQ(engine.IsLineSelected(mic), 0);
  ASSERT_EQ(engine.SelectRecordingSource(line, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(engine.IsLineSelected(line), 0);

  // The destination itself: its own mute, the opposite of the choice.
  ASSERT_EQ(engine.SelectRecordingSource(MixerDestinationLineId(1), 0), MMSYSERR_NOERROR);
  EXPECT_EQ(backend->Values(plain, inMute), (std::vector<DWORD>{1, 1}));

  // Speakers twin: sources of the speakers destination with mute off.
  std::vector<DWORD> lines;
  ASSERT_EQ(engine.GetSelectedSpeakerLines(&lines), MMSYSERR_NOERROR);
  EXPECT_TRUE(lines.empty());
}

TEST_F(MixerEngineTest, WithoutAWaveInputThereIsNoRecordingSource) {
  const UINT out = backend->AddDevice("Out only");
  backend->AddDestination(out, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, "Out");
  CMixerEngine engine;
  ASSERT_EQ(engine.Open(out, nullptr), MMSYSERR_NOERROR);
  EXPECT_EQ(engine.SelectRecordingSource(MixerDestinationLineId(0), 1), MIXERR_INVALLINE);
  EXPECT_EQ(engine.IsLineSelected(MixerDestinationLineId(0)), 0);
}

TEST_F(MixerEngineTest, AFailureAfterOpeningClosesTheNewHandleAndKeepsTheOldDevice) {
  const UINT second = backend->AddStandardDevice("Second");
  CMixerEngine engine;
  ASSERT_EQ(backend->OpenHandles(device), 1);
  HMIXER before = engine.Handle();

  backend->FailCall(second, MixerCall::Caps, MMSYSERR_NOMEM);
  EXPECT_EQ(engine.Open(second, nullptr), MMSYSERR_NOMEM);
  EXPECT_EQ(backend->OpenHandles(second), 0);
  EXPECT_EQ(backend->OpenHandles(device), 1);
  EXPECT_EQ(engine.Handle(), before);
  EXPECT_EQ(engine.DeviceIndex(), device);
  EXPECT_EQ(engine.SelectDevice(second), 0);

  backend->FailCall(second, MixerCall::Caps, MMSYSERR_NOERROR);
  EXPECT_EQ(engine.SelectDevice(second), 1);
  EXPECT_EQ(backend->OpenHandles(device), 0);
  EXPECT_EQ(backend->OpenHandles(second), 1);
}

TEST_F(MixerEngineTest, ChangesReachTheNotifyWindowAsMessage976) {
  RecordingWindow window;
  CMixerEngine engine;
  ASSERT_EQ(engine.SetNotifyWindow(window.hwnd()), 1);
  const DWORD mute = ControlOf(device, kSpeakers, MIXERCONTROL_CONTROLTYPE_MUTE);

  backend->SetValues(device, mute, {1, 1});
  backend->SignalLineChange(device, kWaveIn);
  Pump();
  ASSERT_EQ(window.received.size(), 2u);
  for (const Received& r : window.received) {
    EXPECT_EQ(r.msg, MM_MIXM_LINE_CHANGE);
    EXPECT_EQ(r.wParam, reinterpret_cast<WPARAM>(engine.Handle()));
  }
  EXPECT_EQ(window.received[0].lParam, static_cast<LPARAM>(mute));
  EXPECT_EQ(window.received[1].lParam, static_cast<LPARAM>(kWaveIn));

  // Without a notify window the change goes nowhere.
  window.received.clear();
  ASSERT_EQ(engine.SetNotifyWindow(nullptr), 1);
  backend->SetValues(device, mute, {0, 0});
  Pump();
  EXPECT_TRUE(window.received.empty());
}

TEST_F(MixerEngineTest, EachEngineNotifiesItsOwnWindow) {
  const UINT second = backend->AddStandardDevice("Second");
  RecordingWindow first, other;
  CMixerEngine a;
  ASSERT_EQ(a.SetNotifyWindow(first.hwnd()), 1);
  CMixerEngine b;
  ASSERT_EQ(b.Open(second, other.hwnd()), MMSYSERR_NOERROR);

  backend->SetValues(device, ControlOf(device, kSpeakers, MIXERCONTROL_CONTROLTYPE_MUTE), {1, 1});
  Pump();
  EXPECT_EQ(first.received.size(), 1u);
  EXPECT_TRUE(other.received.empty());
}

}  // namespace
