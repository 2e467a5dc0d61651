// The in-memory sound card of a machine with the virtual radio: named after
// the radio's audio input, with a "Radio" line to hear and to record.
#include <gtest/gtest.h>

#include "platform/audio/memory_mixer.h"
#include "platform/audio/mixer.h"
#include "platform/media/radio/virtual_radio.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_environment.h"

namespace plat {
namespace {

TEST(RadioMixerTest, TheDeviceIsNamedAfterTheVirtualRadio) {
  test_support::TempEnvironment env("radiomix");
  EXPECT_EQ(MemoryMixerDeviceName(), "Memory Mixer");
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, radio::kVirtualRadioKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const std::string name = "Kitchen";
  RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                 static_cast<DWORD>(name.size() + 1));
  RegCloseKey(key);
  EXPECT_EQ(MemoryMixerDeviceName(), "Kitchen Radio");
}

TEST(RadioMixerTest, ARadioLineToHearAndToRecord) {
  auto backend = std::make_shared<MemoryMixerBackend>();
  backend->AddRadioDevice("Card");
  SetMixerBackend(backend);
  HMIXER h = nullptr;
  ASSERT_EQ(mixerOpen(&h, 0, {}), MMSYSERR_NOERROR);
  for (DWORD destination : {0u, 1u}) {
    MIXERLINEA dest;
    dest.dwDestination = destination;
    ASSERT_EQ(mixerGetLineInfoA(h, &dest, MIXER_GETLINEINFOF_DESTINATION), MMSYSERR_NOERROR);
    MIXERLINEA last;
    last.dwDestination = destination;
    last.dwSource = dest.cConnections - 1;
    ASSERT_EQ(mixerGetLineInfoA(h, &last, MIXER_GETLINEINFOF_SOURCE), MMSYSERR_NOERROR);
    EXPECT_STREQ(last.szName, "Radio") << destination;
  }
  std::vector<MIXERCONTROLA> controls;
  ASSERT_EQ(mixerGetLineControlsA(h, MixerDestinationLineId(1), &controls), MMSYSERR_NOERROR);
  MIXERCONTROLDETAILS texts;
  for (const MIXERCONTROLA& c : controls) {
    if (c.dwControlType == MIXERCONTROL_CONTROLTYPE_MUX) texts.dwControlID = c.dwControlID;
  }
  ASSERT_EQ(mixerGetControlDetailsA(h, &texts, MIXER_GETCONTROLDETAILSF_LISTTEXT), MMSYSERR_NOERROR);
  ASSERT_EQ(texts.listTexts.size(), 4u);
  EXPECT_STREQ(texts.listTexts[3].szName, "Radio");
  mixerClose(h);
  SetMixerBackend(nullptr);
}

}  // namespace
}  // namespace plat
