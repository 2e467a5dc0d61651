// The mixer functions over the in-memory backend: lookups, the channel and
// list rules of values, handles, and the delivery of change notices.
#include <gtest/gtest.h>

#include <poll.h>

#include "platform/audio/memory_mixer.h"
#include "platform/audio/mixer.h"

using namespace plat;

namespace {

class MixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = std::make_shared<MemoryMixerBackend>();
    device_ = backend_->AddStandardDevice("Test Card");
    SetMixerBackend(backend_);
  }
  void TearDown() override {
    for (HMIXER h : open_) mixerClose(h);
    SetMixerBackend(nullptr);
  }
  HMIXER Open(MixerNoticeCallback notify = {}) {
    HMIXER h = nullptr;
    EXPECT_EQ(mixerOpen(&h, device_, std::move(notify)), MMSYSERR_NOERROR);
    open_.push_back(h);
    return h;
  }
  // The first control of `type` on the line.
  DWORD ControlOf(HMIXER h, DWORD lineId, DWORD type) {
    std::vector<MIXERCONTROLA> controls;
    EXPECT_EQ(mixerGetLineControlsA(h, lineId, &controls), MMSYSERR_NOERROR);
    for (const auto& c : controls) {
      if (c.dwControlType == type) return c.dwControlID;
    }
    ADD_FAILURE() << "no control of type " << type;
    return 0;
  }

  std::shared_ptr<MemoryMixerBackend> backend_;
  UINT device_ = 0;
  std::vector<HMIXER> open_;
};

TEST(MixerNoDevices, EveryCallReportsNoDriver) {
  SetMixerBackend(std::make_shared<MemoryMixerBackend>());
  EXPECT_EQ(mixerGetNumDevs(), 0u);
  HMIXER h = reinterpret_cast<HMIXER>(1);
  EXPECT_EQ(mixerOpen(&h, 0, {}), MMSYSERR_NODRIVER);
  EXPECT_EQ(h, nullptr);
  MIXERCAPSA caps;
  EXPECT_EQ(mixerGetDevCapsA(0, &caps), MMSYSERR_NODRIVER);
  SetMixerBackend(nullptr);
}

TEST_F(MixerTest, DevicesAndLinesAreNumbered) {
  EXPECT_EQ(mixerGetNumDevs(), 1u);
  HMIXER h = nullptr;
  EXPECT_EQ(mixerOpen(&h, 1, {}), MMSYSERR_BADDEVICEID);
  MIXERCAPSA caps;
  ASSERT_EQ(mixerGetDevCapsA(0, &caps), MMSYSERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "Test Card");
  EXPECT_EQ(caps.cDestinations, 2u);

  h = Open();
  MIXERLINEA line;
  line.dwDestination = 0;
  line.dwSource = 1;
  ASSERT_EQ(mixerGetLineInfoA(h, &line, MIXER_GETLINEINFOF_SOURCE), MMSYSERR_NOERROR);
  EXPECT_STREQ(line.szName, "CD Audio");
  EXPECT_EQ(line.dwComponentType, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC);
  EXPECT_EQ(line.dwLineID, MixerSourceLineId(0, 1));
  EXPECT_EQ(line.cControls, 2u);

  MIXERLINEA byId;
  byId.dwLineID = line.dwLineID;
  ASSERT_EQ(mixerGetLineInfoA(h, &byId, MIXER_GETLINEINFOF_LINEID), MMSYSERR_NOERROR);
  EXPECT_STREQ(byId.szName, "CD Audio");

  MIXERLINEA bad;
  bad.dwDestination = 2;
  EXPECT_EQ(mixerGetLineInfoA(h, &bad, MIXER_GETLINEINFOF_DESTINATION), MIXERR_INVALLINE);
  bad.dwDestination = 1;
  bad.dwSource = 3;
  EXPECT_EQ(mixerGetLineInfoA(h, &bad, MIXER_GETLINEINFOF_SOURCE), MIXERR_INVALLINE);
  EXPECT_EQ(mixerGetLineInfoA(h, nullptr, MIXER_GETLINEINFOF_SOURCE), MMSYSERR_INVALPARAM);
}

TEST_F(MixerTest, OneItemStandsForEveryChannel) {
  HMIXER h = Open();
  const DWORD volume = ControlOf(h, MixerDestinationLineId(0), MIXERCONTROL_CONTROLTYPE_VOLUME);
  MIXERCONTROLDETAILS set;
  set.dwControlID = volume;
  set.cChannels = 1;
  set.values = {40000};
  ASSERT_EQ(mixerSetControlDetails(h, &set, MIXER_SETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
  EXPECT_EQ(backend_->Values(device_, volume), (std::vector<DWORD>{40000, 40000}));

  set.cChannels = 2;
  set.values = {100, 200};
  ASSERT_EQ(mixerSetControlDetails(h, &set, MIXER_SETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
  MIXERCONTROLDETAILS get;
  get.dwControlID = volume;
  get.cChannels = 1;
  ASSERT_EQ(mixerGetControlDetailsA(h, &get, MIXER_GETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
  EXPECT_EQ(get.values, std::vector<DWORD>{100});
  get.cChannels = 2;
  ASSERT_EQ(mixerGetControlDetailsA(h, &get, MIXER_GETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
  EXPECT_EQ(get.values, (std::vector<DWORD>{100, 200}));
}

TEST_F(MixerTest, BadValuesAreRefusedAndNothingChanges) {
  HMIXER h = Open();
  const DWORD mute = ControlOf(h, MixerDestinationLineId(0), MIXERCONTROL_CONTROLTYPE_MUTE);
  const DWORD volume = ControlOf(h, MixerDestinationLineId(0), MIXERCONTROL_CONTROLTYPE_VOLUME);
  struct Case {
    DWORD control;
    DWORD channels;
    std::vector<DWORD> values;
    MMRESULT expected;
  } cases[] = {
      {mute, 1, {2}, MIXERR_INVALVALUE},
      {volume, 1, {65536}, MIXERR_INVALVALUE},
      {volume, 3, {1, 2, 3}, MMSYSERR_INVALPARAM},
      {volume, 2, {1}, MMSYSERR_INVALPARAM},
      {9999, 1, {0}, MIXERR_INVALCONTROL},
  };
  for (const Case& c : cases) {
    MIXERCONTROLDETAILS set;
    set.dwControlID = c.control;
    set.cChannels = c.channels;
    set.values = c.values;
    EXPECT_EQ(mixerSetControlDetails(h, &set, MIXER_SETCONTROLDETAILSF_VALUE), c.expected) << c.control;
  }
  EXPECT_EQ(backend_->Values(device_, volume), (std::vector<DWORD>{0, 0}));
  EXPECT_EQ(backend_->Values(device_, mute), (std::vector<DWORD>{0, 0}));
}

TEST_F(MixerTest, ListControlsHaveOneItemPerEntryWithTexts) {
  HMIXER h = Open();
  const DWORD mux = ControlOf(h, MixerDestinationLineId(1), MIXERCONTROL_CONTROLTYPE_MUX);
  MIXERCONTROLDETAILS texts;
  texts.dwControlID = mux;
  ASSERT_EQ(mixerGetControlDetailsA(h, &texts, MIXER_GETCONTROLDETAILSF_LISTTEXT), MMSYSERR_NOERROR);
  ASSERT_EQ(texts.listTexts.size(), 3u);
  EXPECT_STREQ(texts.listTexts[1].szName, "Line In");

  MIXERCONTROLDETAILS values;
  values.dwControlID = mux;
  ASSERT_EQ(mixerGetControlDetailsA(h, &values, MIXER_GETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
  EXPECT_EQ(values.values, (std::vector<DWORD>{1, 0, 0}));

  const DWORD volume = ControlOf(h, MixerDestinationLineId(1), MIXERCONTROL_CONTROLTYPE_VOLUME);
  texts.dwControlID = volume;
  EXPECT_EQ(mixerGetControlDetailsA(h, &texts, MIXER_GETCONTROLDETAILSF_LISTTEXT), MMSYSERR_INVALPARAM);
}

TEST_F(MixerTest, ClosedAndUnknownHandlesAreRefused) {
  HMIXER h = nullptr;
  ASSERT_EQ(mixerOpen(&h, device_, {}), MMSYSERR_NOERROR);
  EXPECT_EQ(backend_->OpenHandles(device_), 1);
  EXPECT_EQ(mixerClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(backend_->OpenHandles(device_), 0);
  EXPECT_EQ(mixerClose(h), MMSYSERR_INVALHANDLE);
  MIXERLINEA line;
  EXPECT_EQ(mixerGetLineInfoA(h, &line, MIXER_GETLINEINFOF_DESTINATION), MMSYSERR_INVALHANDLE);
}

struct Notice {
  UINT msg;
  HMIXER mixer;
  DWORD id;
  friend bool operator==(const Notice&, const Notice&) = default;
};

TEST_F(MixerTest, ChangesReachEveryHandleOnlyWhenDelivered) {
  std::vector<Notice> first, second;
  HMIXER a = Open([&](UINT m, HMIXER h, DWORD id) { first.push_back({m, h, id}); });
  HMIXER b = Open([&](UINT m, HMIXER h, DWORD id) { second.push_back({m, h, id}); });
  const DWORD mute = ControlOf(a, MixerDestinationLineId(0), MIXERCONTROL_CONTROLTYPE_MUTE);

  MIXERCONTROLDETAILS set;
  set.dwControlID = mute;
  set.values = {1};
  ASSERT_EQ(mixerSetControlDetails(a, &set, MIXER_SETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
  // Writing the same value again is no change.
  ASSERT_EQ(mixerSetControlDetails(a, &set, MIXER_SETCONTROLDETAILSF_VALUE), MMSYSERR_NOERROR);
  backend_->SignalLineChange(device_, MixerSourceLineId(0, 2));
  EXPECT_TRUE(first.empty());

  mixerDeliverNotices();
  const std::vector<Notice> expected_a = {{MM_MIXM_CONTROL_CHANGE, a, mute},
                                          {MM_MIXM_LINE_CHANGE, a, MixerSourceLineId(0, 2)}};
  const std::vector<Notice> expected_b = {{MM_MIXM_CONTROL_CHANGE, b, mute},
                                          {MM_MIXM_LINE_CHANGE, b, MixerSourceLineId(0, 2)}};
  EXPECT_EQ(first, expected_a);
  EXPECT_EQ(second, expected_b);
  mixerDeliverNotices();
  EXPECT_EQ(first.size(), 2u);
}

TEST_F(MixerTest, ReceiverMayCloseItsOwnHandle) {
  int calls = 0;
  HMIXER h = nullptr;
  ASSERT_EQ(mixerOpen(&h, device_, [&](UINT, HMIXER self, DWORD) {
    ++calls;
    mixerClose(self);
  }), MMSYSERR_NOERROR);
  const DWORD volume = 1;
  backend_->SetValues(device_, volume, {5, 5});
  backend_->SetValues(device_, volume, {6, 6});
  mixerDeliverNotices();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(backend_->OpenHandles(device_), 0);
}

TEST_F(MixerTest, WatchHooksSeeTheDescriptorOfANotifyingHandle) {
  std::vector<std::pair<int, std::function<void()>>> watched;
  std::vector<std::uint64_t> unwatched;
  SetMixerFdWatchHooks({[&](int fd, short, std::function<void()> ready) {
                          watched.emplace_back(fd, std::move(ready));
                          return static_cast<std::uint64_t>(watched.size());
                        },
                        [&](std::uint64_t id) { unwatched.push_back(id); }});
  int notices = 0;
  HMIXER h = nullptr;
  ASSERT_EQ(mixerOpen(&h, device_, [&](UINT, HMIXER, DWORD) { ++notices; }), MMSYSERR_NOERROR);
  ASSERT_EQ(watched.size(), 1u);

  backend_->SetValues(device_, 1, {7, 7});
  pollfd pfd{watched[0].first, POLLIN, 0};
  ASSERT_EQ(poll(&pfd, 1, 0), 1);
  watched[0].second();
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(poll(&pfd, 1, 0), 0);

  mixerClose(h);
  EXPECT_EQ(unwatched, std::vector<std::uint64_t>{1});
  SetMixerFdWatchHooks({});
}

}  // namespace
