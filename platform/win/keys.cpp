#include "platform/win/keys.h"

namespace plat {

UINT CharFromVirtualKey(UINT vk, bool shift, bool caps, bool ctrl) {
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return vk - 'A' + 1;
    const bool upper = shift != caps;
    return upper ? vk : vk - 'A' + 'a';
  }
  if (ctrl) {
    // Control with other keys gives the few control characters keyboards
    // produce; nothing else.
    switch (vk) {
      case VK_BACK: return 0x7F;
      case VK_RETURN: return 0x0A;
      case VK_ESCAPE: return 0x1B;
      case VK_OEM_4: return 0x1B;
      case VK_OEM_5: return 0x1C;
      case VK_OEM_6: return 0x1D;
      default: return 0;
    }
  }
  if (vk >= '0' && vk <= '9') {
    static constexpr char kShifted[] = ")!@#$%^&*(";
    return shift ? static_cast<UINT>(kShifted[vk - '0']) : vk;
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + (vk - VK_NUMPAD0);
  struct Pair {
    UINT vk;
    char plain;
    char shifted;
  };
  static constexpr Pair kTable[] = {
      {VK_SPACE, ' ', ' '},      {VK_RETURN, '\r', '\r'},    {VK_BACK, '\b', '\b'},     {VK_TAB, '\t', '\t'},
      {VK_ESCAPE, 0x1B, 0x1B},   {VK_MULTIPLY, '*', '*'},    {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'},
      {VK_DECIMAL, '.', '.'},    {VK_DIVIDE, '/', '/'},      {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'},
      {VK_OEM_COMMA, ',', '<'},  {VK_OEM_MINUS, '-', '_'},   {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
      {VK_OEM_3, '`', '~'},      {VK_OEM_4, '[', '{'},       {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},
      {VK_OEM_7, '\'', '"'},
  };
  for (const Pair& p : kTable)
    if (p.vk == vk) return static_cast<UINT>(static_cast<unsigned char>(shift ? p.shifted : p.plain));
  return 0;
}

int AppCommandFromVirtualKey(UINT vk) {
  switch (vk) {
    case VK_MEDIA_PLAY_PAUSE: return APPCOMMAND_MEDIA_PLAY_PAUSE;
    case VK_MEDIA_STOP: return APPCOMMAND_MEDIA_STOP;
    case VK_MEDIA_NEXT_TRACK: return APPCOMMAND_MEDIA_NEXTTRACK;
    case VK_MEDIA_PREV_TRACK: return APPCOMMAND_MEDIA_PREVIOUSTRACK;
    case VK_VOLUME_UP: return APPCOMMAND_VOLUME_UP;
    case VK_VOLUME_DOWN: return APPCOMMAND_VOLUME_DOWN;
    case VK_VOLUME_MUTE: return APPCOMMAND_VOLUME_MUTE;
    case VK_BROWSER_BACK: return APPCOMMAND_BROWSER_BACKWARD;
    case VK_BROWSER_HOME: return APPCOMMAND_BROWSER_HOME;
    default: return 0;
  }
}

}  // namespace plat
