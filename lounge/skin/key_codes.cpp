#include "lounge/skin/key_codes.h"

#include <array>

namespace {

struct KeyName {
  std::string_view name;
  KeyCode code;
};

// Every name ends in an underscore so that no name occurs inside another
// ("VK_F1_" is not part of "VK_F10_", "VK_1_" is not part of "VK_F1_").
constexpr std::array<KeyName, 65> kKeyNames{{
    {"VK_A_", 0x41},
    {"VK_B_", 0x42},
    {"VK_C_", 0x43},
    {"VK_D_", 0x44},
    {"VK_E_", 0x45},
    {"VK_F_", 0x46},
    {"VK_G_", 0x47},
    {"VK_H_", 0x48},
    {"VK_I_", 0x49},
    {"VK_J_", 0x4A},
    {"VK_K_", 0x4B},
    {"VK_L_", 0x4C},
    {"VK_M_", 0x4D},
    {"VK_N_", 0x4E},
    {"VK_O_", 0x4F},
    {"VK_P_", 0x50},
    {"VK_Q_", 0x51},
    {"VK_R_", 0x52},
    {"VK_S_", 0x53},
    {"VK_T_", 0x54},
    {"VK_U_", 0x55},
    {"VK_V_", 0x56},
    {"VK_W_", 0x57},
    {"VK_X_", 0x58},
    {"VK_Y_", 0x59},
    {"VK_Z_", 0x5A},
    {"VK_0_", 0x30},
    {"VK_1_", 0x31},
    {"VK_2_", 0x32},
    {"VK_3_", 0x33},
    {"VK_4_", 0x34},
    {"VK_5_", 0x35},
    {"VK_6_", 0x36},
    {"VK_7_", 0x37},
    {"VK_8_", 0x38},
    {"VK_9_", 0x39},
    {"VK_F1_", 0x70},
    {"VK_F2_", 0x71},
    {"VK_F3_", 0x72},
    {"VK_F4_", 0x73},
    {"VK_F5_", 0x74},
    {"VK_F6_", 0x75},
    {"VK_F7_", 0x76},
    {"VK_F8_", 0x77},
    {"VK_F9_", 0x78},
    {"VK_F10_", 0x79},
    {"VK_F11_", 0x7A},
    {"VK_F12_", 0x7B},
    {"VK_\\_", 0xDC},
    {"VK_ESCAPE_", 0x1B},
    {"VK_DELETE_", 0x2E},
    {"VK_RETURN_", 0x0D},
    {"VK_SPACE_", 0x20},
    {"VK_ADD_", 0x6B},
    {"VK_SUBTRACT_", 0x6D},
    {"VK_DIVIDE_", 0x6F},
    // The star shares the code of the main-row 7 (the key it is typed with),
    // not the keypad multiply key.
    {"VK_*_", 0x37},
    {"VK_PAGEUP_", 0x21},
    {"VK_PAGEDOWN_", 0x22},
    {"VK_LEFT_", 0x25},
    {"VK_RIGHT_", 0x27},
    {"VK_UP_", 0x26},
    {"VK_DOWN_", 0x28},
    {"VK_BACK_", 0x08},
}};

constexpr int kNumpad0 = 0x60;
constexpr int kNumpad9 = 0x69;
constexpr int kMainRow0 = 0x30;

bool Contains(std::string_view text, std::string_view word) { return text.find(word) != std::string_view::npos; }

}  // namespace

KeyCode ParseHotkeyName(std::string_view text) {
  KeyCode code = 0;
  if (Contains(text, "CTRL")) code |= KEYCODE_CTRL;
  if (Contains(text, "ALT")) code |= KEYCODE_ALT;
  if (Contains(text, "SHIFT")) code |= KEYCODE_SHIFT;
  for (const KeyName& key : kKeyNames) {
    if (Contains(text, key.name)) code |= key.code;
  }
  return code;
}

KeyCode ComposeKeyCode(int ctrl, int alt, int shift, int virtualKey) {
  KeyCode code = ctrl ? KEYCODE_CTRL : 0;
  if (alt) code |= KEYCODE_ALT;
  if (shift) code |= KEYCODE_SHIFT;
  if (virtualKey >= kNumpad0 && virtualKey <= kNumpad9) {
    code |= static_cast<KeyCode>(virtualKey - kNumpad0 + kMainRow0);
  } else {
    code |= static_cast<KeyCode>(virtualKey);
  }
  return code;
}
