#include "platform/display/sdl/sdl_keys.h"

#include <gtest/gtest.h>

#include "platform/win/keys.h"

namespace {

using namespace plat;
using namespace plat::display;

TEST(SdlKeys, KeysBecomeVirtualKeys) {
  struct Case {
    SDL_Keycode key;
    SDL_Scancode scan;
    UINT vk;
  };
  const Case cases[] = {
      {SDLK_a, SDL_SCANCODE_A, 0x41},
      {SDLK_z, SDL_SCANCODE_Z, 0x5A},
      {SDLK_q, SDL_SCANCODE_A, 0x51},  // the layout's meaning wins over the position
      {SDLK_0, SDL_SCANCODE_0, 0x30},
      {SDLK_9, SDL_SCANCODE_9, 0x39},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 0x60},
      {SDLK_KP_1, SDL_SCANCODE_KP_1, 0x61},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 0x69},
      {SDLK_F1, SDL_SCANCODE_F1, 0x70},
      {SDLK_F12, SDL_SCANCODE_F12, 0x7B},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 0x25},
      {SDLK_UP, SDL_SCANCODE_UP, 0x26},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 0x27},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 0x28},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 0x21},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 0x22},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 0x0D},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0x0D},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0x1B},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 0x20},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 0x08},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 0x2E},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 0x6B},
      {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 0x6D},
      {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 0x6F},
      {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 0xBE},
      {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 0xDC},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, VK_SHIFT},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, VK_CONTROL},
      {SDLK_LALT, SDL_SCANCODE_LALT, VK_MENU},
      {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
      // A key whose layout meaning is no Latin letter keeps its position.
      {0x0444 /* Cyrillic ef */, SDL_SCANCODE_A, 0x41},
      {0x00E9 /* é on the 2 key */, SDL_SCANCODE_2, 0x32},
      {SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromSdl(c.key, c.scan), c.vk) << "key " << c.key;
}

TEST(SdlKeys, MediaKeysBecomeApplicationCommands) {
  EXPECT_EQ(AppCommandFromSdl(SDLK_AUDIOPLAY), APPCOMMAND_MEDIA_PLAY_PAUSE);
  EXPECT_EQ(AppCommandFromSdl(SDLK_AUDIOSTOP), APPCOMMAND_MEDIA_STOP);
  EXPECT_EQ(AppCommandFromSdl(SDLK_AUDIONEXT), APPCOMMAND_MEDIA_NEXTTRACK);
  EXPECT_EQ(AppCommandFromSdl(SDLK_AUDIOPREV), APPCOMMAND_MEDIA_PREVIOUSTRACK);
  EXPECT_EQ(AppCommandFromSdl(SDLK_VOLUMEUP), APPCOMMAND_VOLUME_UP);
  EXPECT_EQ(AppCommandFromSdl(SDLK_VOLUMEDOWN), APPCOMMAND_VOLUME_DOWN);
  EXPECT_EQ(AppCommandFromSdl(SDLK_AUDIOMUTE), APPCOMMAND_VOLUME_MUTE);
  EXPECT_EQ(AppCommandFromSdl(SDLK_a), 0);
}

}  // namespace
