#include "platform/display/sdl/sdl_keys.h"

#include "platform/win/keys.h"

namespace plat::display {

UINT VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scan) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<UINT>(key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + static_cast<UINT>(key - SDLK_KP_1);
  switch (key) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION: return VK_APPS;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: break;
  }
  // Layouts without Latin letters or digits on these keys.
  if (scan >= SDL_SCANCODE_A && scan <= SDL_SCANCODE_Z) return static_cast<UINT>('A' + (scan - SDL_SCANCODE_A));
  if (scan >= SDL_SCANCODE_1 && scan <= SDL_SCANCODE_9) return static_cast<UINT>('1' + (scan - SDL_SCANCODE_1));
  if (scan == SDL_SCANCODE_0) return '0';
  return 0;
}

int AppCommandFromSdl(SDL_Keycode key) {
  switch (key) {
    case SDLK_AUDIOPLAY: return APPCOMMAND_MEDIA_PLAY_PAUSE;
    case SDLK_AUDIOSTOP: return APPCOMMAND_MEDIA_STOP;
    case SDLK_AUDIONEXT: return APPCOMMAND_MEDIA_NEXTTRACK;
    case SDLK_AUDIOPREV: return APPCOMMAND_MEDIA_PREVIOUSTRACK;
    case SDLK_AUDIOREWIND: return APPCOMMAND_MEDIA_REWIND;
    case SDLK_AUDIOFASTFORWARD: return APPCOMMAND_MEDIA_FAST_FORWARD;
    case SDLK_VOLUMEUP: return APPCOMMAND_VOLUME_UP;
    case SDLK_VOLUMEDOWN: return APPCOMMAND_VOLUME_DOWN;
    case SDLK_AUDIOMUTE:
    case SDLK_MUTE: return APPCOMMAND_VOLUME_MUTE;
    case SDLK_AC_BACK: return APPCOMMAND_BROWSER_BACKWARD;
    case SDLK_AC_HOME: return APPCOMMAND_BROWSER_HOME;
    default: return 0;
  }
}

}  // namespace plat::display
