// The mixer backend on ALSA's simple mixer. Each sound card is one device:
// "Master" and the other playback elements make the speakers destination and
// its sources; "Capture" and the capture elements make the wave-input
// destination, whose recording choice is a multiplexer over the card's
// capture-source enumeration or, without one, a mixer list over the capture
// switches. A machine without a card has no devices.
#pragma once

#include <memory>

#include "platform/audio/mixer_backend.h"

namespace plat {

std::shared_ptr<MixerBackend> MakeAlsaMixerBackend();

// The component type a source line gets from its element's name.
DWORD MixerSourceTypeFromName(std::string_view name);

}  // namespace plat
