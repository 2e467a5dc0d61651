// Virtual-key numbers and application-command codes.
#pragma once

#include "platform/core/types.h"

namespace plat {

inline constexpr UINT VK_LBUTTON = 0x01;
inline constexpr UINT VK_RBUTTON = 0x02;
inline constexpr UINT VK_CANCEL = 0x03;
inline constexpr UINT VK_MBUTTON = 0x04;
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_CLEAR = 0x0C;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_MENU = 0x12;
inline constexpr UINT VK_PAUSE = 0x13;
inline constexpr UINT VK_CAPITAL = 0x14;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_PRIOR = 0x21;
inline constexpr UINT VK_NEXT = 0x22;
inline constexpr UINT VK_END = 0x23;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_SNAPSHOT = 0x2C;
inline constexpr UINT VK_INSERT = 0x2D;
inline constexpr UINT VK_DELETE = 0x2E;
inline constexpr UINT VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
inline constexpr UINT VK_LWIN = 0x5B;
inline constexpr UINT VK_RWIN = 0x5C;
inline constexpr UINT VK_APPS = 0x5D;
inline constexpr UINT VK_NUMPAD0 = 0x60;
inline constexpr UINT VK_NUMPAD9 = 0x69;
inline constexpr UINT VK_MULTIPLY = 0x6A;
inline constexpr UINT VK_ADD = 0x6B;
inline constexpr UINT VK_SEPARATOR = 0x6C;
inline constexpr UINT VK_SUBTRACT = 0x6D;
inline constexpr UINT VK_DECIMAL = 0x6E;
inline constexpr UINT VK_DIVIDE = 0x6F;
inline constexpr UINT VK_F1 = 0x70;
inline constexpr UINT VK_F4 = 0x73;
inline constexpr UINT VK_F10 = 0x79;
inline constexpr UINT VK_F12 = 0x7B;
inline constexpr UINT VK_NUMLOCK = 0x90;
inline constexpr UINT VK_SCROLL = 0x91;
inline constexpr UINT VK_LSHIFT = 0xA0;
inline constexpr UINT VK_RSHIFT = 0xA1;
inline constexpr UINT VK_LCONTROL = 0xA2;
inline constexpr UINT VK_RCONTROL = 0xA3;
inline constexpr UINT VK_LMENU = 0xA4;
inline constexpr UINT VK_RMENU = 0xA5;
inline constexpr UINT VK_BROWSER_BACK = 0xA6;
inline constexpr UINT VK_BROWSER_HOME = 0xAC;
inline constexpr UINT VK_VOLUME_MUTE = 0xAD;
inline constexpr UINT VK_VOLUME_DOWN = 0xAE;
inline constexpr UINT VK_VOLUME_UP = 0xAF;
inline constexpr UINT VK_MEDIA_NEXT_TRACK = 0xB0;
inline constexpr UINT VK_MEDIA_PREV_TRACK = 0xB1;
inline constexpr UINT VK_MEDIA_STOP = 0xB2;
inline constexpr UINT VK_MEDIA_PLAY_PAUSE = 0xB3;
inline constexpr UINT VK_OEM_1 = 0xBA;       // ;:
inline constexpr UINT VK_OEM_PLUS = 0xBB;    // =+
inline constexpr UINT VK_OEM_COMMA = 0xBC;   // ,<
inline constexpr UINT VK_OEM_MINUS = 0xBD;   // -_
inline constexpr UINT VK_OEM_PERIOD = 0xBE;  // .>
inline constexpr UINT VK_OEM_2 = 0xBF;       // /?
inline constexpr UINT VK_OEM_3 = 0xC0;       // `~
inline constexpr UINT VK_OEM_4 = 0xDB;       // [{
inline constexpr UINT VK_OEM_5 = 0xDC;       // \|
inline constexpr UINT VK_OEM_6 = 0xDD;       // ]}
inline constexpr UINT VK_OEM_7 = 0xDE;       // '"

// Application commands (WM_APPCOMMAND, high word of lParam without the
// device bits).
inline constexpr int APPCOMMAND_BROWSER_BACKWARD = 1;
inline constexpr int APPCOMMAND_BROWSER_HOME = 7;
inline constexpr int APPCOMMAND_VOLUME_MUTE = 8;
inline constexpr int APPCOMMAND_VOLUME_DOWN = 9;
inline constexpr int APPCOMMAND_VOLUME_UP = 10;
inline constexpr int APPCOMMAND_MEDIA_NEXTTRACK = 11;
inline constexpr int APPCOMMAND_MEDIA_PREVIOUSTRACK = 12;
inline constexpr int APPCOMMAND_MEDIA_STOP = 13;
inline constexpr int APPCOMMAND_MEDIA_PLAY_PAUSE = 14;
inline constexpr int APPCOMMAND_MEDIA_PLAY = 46;
inline constexpr int APPCOMMAND_MEDIA_PAUSE = 47;
inline constexpr int APPCOMMAND_MEDIA_RECORD = 48;
inline constexpr int APPCOMMAND_MEDIA_FAST_FORWARD = 49;
inline constexpr int APPCOMMAND_MEDIA_REWIND = 50;
inline constexpr int APPCOMMAND_MEDIA_CHANNEL_UP = 51;
inline constexpr int APPCOMMAND_MEDIA_CHANNEL_DOWN = 52;

// The character a key produces (what TranslateMessage posts as WM_CHAR), or
// 0 when the key produces none. `shift` and `caps` are the modifier states;
// with `ctrl` a letter gives its control character (1..26).
UINT CharFromVirtualKey(UINT vk, bool shift, bool caps, bool ctrl);

// The application command a media or browser key stands for, or 0.
int AppCommandFromVirtualKey(UINT vk);

}  // namespace plat
