// The ALSA backend on the machine at hand. Where there is no sound card it
// must report "no devices" cleanly; where there is one, it must describe it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/audio/alsa_mixer.h"
#include "platform/audio/mixer.h"

using namespace plat;

namespace {

bool MachineHasSoundCard() {
  std::ifstream cards("/proc/asound/cards");
  std::string first;
  return cards && std::getline(cards, first) && first.find("no soundcards") == std::string::npos && !first.empty();
}

TEST(AlsaMixer, WithoutACardThereAreNoDevices) {
  if (MachineHasSoundCard()) GTEST_SKIP() << "this machine has a sound card";
  SetMixerBackend(MakeAlsaMixerBackend());
  EXPECT_EQ(mixerGetNumDevs(), 0u);
  HMIXER h = nullptr;
  EXPECT_EQ(mixerOpen(&h, 0, {}), MMSYSERR_NODRIVER);
  MIXERCAPSA caps;
  EXPECT_EQ(mixerGetDevCapsA(0, &caps), MMSYSERR_NODRIVER);
  SetMixerBackend(nullptr);
}

TEST(AlsaMixer, ACardHasNamedDestinations) {
  if (!MachineHasSoundCard()) GTEST_SKIP() << "this machine has no sound card";
  SetMixerBackend(MakeAlsaMixerBackend());
  ASSERT_GT(mixerGetNumDevs(), 0u);
  HMIXER h = nullptr;
  ASSERT_EQ(mixerOpen(&h, 0, {}), MMSYSERR_NOERROR);
  MIXERCAPSA caps;
  ASSERT_EQ(mixerGetDevCapsA(0, &caps), MMSYSERR_NOERROR);
  EXPECT_NE(caps.szPname[0], '\0');
  for (DWORD d = 0; d < caps.cDestinations; ++d) {
    MIXERLINEA line;
    line.dwDestination = d;
    EXPECT_EQ(mixerGetLineInfoA(h, &line, MIXER_GETLINEINFOF_DESTINATION), MMSYSERR_NOERROR);
  }
  mixerClose(h);
  SetMixerBackend(nullptr);
}

TEST(AlsaMixer, SourcesAreTypedByName) {
  const std::pair<const char*, DWORD> cases[] = {
      {"PCM", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT},      {"CD", MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC},
      {"Front Mic", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE}, {"Line", MIXERLINE_COMPONENTTYPE_SRC_LINE},
      {"Aux", MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY},    {"Beep", MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER},
      {"IEC958", MIXERLINE_COMPONENTTYPE_SRC_DIGITAL},   {"Phone", MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE},
      {"Headphone", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
      {"Surround", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
  };
  for (auto [name, type] : cases) EXPECT_EQ(MixerSourceTypeFromName(name), type) << name;
}

}  // namespace
