// The backend a process starts with: ALSA, unless MARIVEL_MIXER=memory asks
// for an in-memory mixer (runs without a sound card that still want one).
#include <cstdlib>
#include <string_view>

#include "platform/audio/alsa_mixer.h"
#include "platform/audio/memory_mixer.h"

namespace plat {

std::shared_ptr<MixerBackend> MakeDefaultMixerBackend() {
  const char* choice = std::getenv("MARIVEL_MIXER");
  if (choice && std::string_view(choice) == "memory") {
    auto memory = std::make_shared<MemoryMixerBackend>();
    memory->AddRadioDevice(MemoryMixerDeviceName());
    return memory;
  }
  return MakeAlsaMixerBackend();
}

}  // namespace plat
