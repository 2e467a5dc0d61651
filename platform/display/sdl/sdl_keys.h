// SDL keys in the platform's terms: virtual-key numbers for ordinary keys,
// application commands for media keys.
#pragma once

#include <SDL_keycode.h>

#include "platform/core/types.h"

namespace plat::display {

// The virtual key for an SDL key, 0 when there is none. The key code (the
// layout's meaning) decides; keys the layout names outside ASCII fall back
// to their position (scan code) for letters and digits.
UINT VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scan);

// The application command (APPCOMMAND_...) of a media key, 0 for others.
int AppCommandFromSdl(SDL_Keycode key);

}  // namespace plat::display
