// Key codes: one 32-bit value holding the modifier keys and the virtual-key
// code of a key press. Skin hot-key texts and live key presses are both turned
// into this form so that a hot-key lookup is a single equality test.
#pragma once

#include <cstdint>
#include <string_view>

using KeyCode = std::uint32_t;

inline constexpr KeyCode KEYCODE_CTRL = 0x10000000;
inline constexpr KeyCode KEYCODE_ALT = 0x00100000;
inline constexpr KeyCode KEYCODE_SHIFT = 0x00000100;
inline constexpr KeyCode KEYCODE_VKEY_MASK = 0x000000FF;

// Turns a skin hot-key text ("CTRL VK_P_") into a key code. Modifier words and
// key names are found as case-sensitive substrings anywhere in the text; every
// key name found is ORed in, so a text naming two keys yields both codes ORed.
KeyCode ParseHotkeyName(std::string_view text);

// Turns a live key press into a key code. Keypad digits fold onto the main-row
// digits so that both match the same hot key.
KeyCode ComposeKeyCode(int ctrl, int alt, int shift, int virtualKey);
