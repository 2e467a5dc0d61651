// The audio-profile list of the audio devices: one profile per device, with
// its main line, its source lines and its recording lines.
#include <cstring>

#include "corebridge/core/audio_profile.h"
#include "corebridge/core/ui_system_object.h"

using namespace plat;

namespace {

// A line record: the name in 64 bytes, then 32-bit values in their order.
template <std::size_t N>
std::array<std::uint8_t, N> LineRecord(const char* name, std::initializer_list<std::uint32_t> values) {
  std::array<std::uint8_t, N> record{};
  const std::size_t length = std::min<std::size_t>(std::strlen(name), 63);
  std::memcpy(record.data(), name, length);
  std::size_t at = 64;
  for (std::uint32_t value : values) {
    for (int i = 0; i < 4 && at < N; ++i) record[at++] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return record;
}

std::uint32_t Bits(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

}  // namespace

int CUISystem::EnumMixerDevices(CAudioProfileList& list) {
  auto audio = CoreService<ICoreAudio>();
  if (!audio) return 0;
  list.m_profiles.clear();
  for (int device = 0;; ++device) {
    char name[kServiceNameBytes] = {};
    char* buffer = name;
    if (FAILED(audio->GetDeviceName(device, &buffer))) break;
    // The line operations describe the selected device.
    audio->SelectDeviceByName(name);
    CAudioProfile profile;
    profile.m_strName = name;
    char line[kServiceNameBytes] = {};
    char* lineBuffer = line;
    int mute = 0;
    float volume = 0.0f;
    DWORD type = 0;
    if (SUCCEEDED(audio->GetSpeakersLineName(&lineBuffer)) &&
        SUCCEEDED(audio->GetSpeakersLineState(0, &mute, &volume, &type))) {
      profile.m_settings = LineRecord<76>(line, {static_cast<std::uint32_t>(mute), Bits(volume), type});
    }
    for (int index = 0;; ++index) {
      line[0] = 0;
      if (FAILED(audio->GetSourceLineName(index, &lineBuffer))) break;
      if (SUCCEEDED(audio->GetSourceLineState(index, &mute, &volume, &type))) {
        profile.m_items.push_back(LineRecord<76>(line, {static_cast<std::uint32_t>(mute), Bits(volume), type}));
      }
    }
    for (int index = 0;; ++index) {
      line[0] = 0;
      if (FAILED(audio->GetRecordingLineName(index, &lineBuffer))) break;
      int selected = 0;
      if (SUCCEEDED(audio->GetRecordingLineState(index, &selected, &mute, &volume, &type))) {
        profile.m_wideItems.push_back(LineRecord<80>(
            line, {static_cast<std::uint32_t>(selected), static_cast<std::uint32_t>(mute), Bits(volume), type}));
      }
    }
    list.m_profiles.push_back(std::move(profile));
  }
  return 1;
}
