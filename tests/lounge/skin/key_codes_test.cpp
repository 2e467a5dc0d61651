#include "lounge/skin/key_codes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct HotkeyCase {
  const char* text;
  KeyCode expected;
  friend void PrintTo(const HotkeyCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class HotkeyNameTest : public ::testing::TestWithParam<HotkeyCase> {};

TEST_P(HotkeyNameTest, ParsesToKeyCode) {
  EXPECT_EQ(ParseHotkeyName(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HotkeyNameTest,
    ::testing::Values(HotkeyCase{"", 0}, HotkeyCase{"CTRL VK_P_", 0x10000050}, HotkeyCase{"CTRL+VK_P_", 0x10000050},
                      HotkeyCase{"VK_P_", 0x50},
                      // A key name the table does not know leaves the modifiers alone.
                      HotkeyCase{"SHIFT VK_HOME_", 0x100}, HotkeyCase{"ALT", 0x100000},
                      HotkeyCase{"CTRL ALT SHIFT VK_F12_", 0x1010017B},
                      // Two key names OR together: A | B is the code of C.
                      HotkeyCase{"VK_A_VK_B_", 0x43}, HotkeyCase{"VK_Z_", 0x5A}, HotkeyCase{"VK_0_", 0x30},
                      HotkeyCase{"VK_9_", 0x39},
                      // No name occurs inside another.
                      HotkeyCase{"VK_F1_", 0x70}, HotkeyCase{"VK_F10_", 0x79}, HotkeyCase{"VK_F11_", 0x7A},
                      HotkeyCase{"VK_1_", 0x31}, HotkeyCase{"VK_\\_", 0xDC}, HotkeyCase{"VK_ESCAPE_", 0x1B},
                      HotkeyCase{"VK_DELETE_", 0x2E}, HotkeyCase{"VK_RETURN_", 0x0D}, HotkeyCase{"VK_SPACE_", 0x20},
                      HotkeyCase{"VK_ADD_", 0x6B}, HotkeyCase{"VK_SUBTRACT_", 0x6D}, HotkeyCase{"VK_DIVIDE_", 0x6F},
                      // The star is the main-row 7, not the keypad multiply key.
                      HotkeyCase{"SHIFT VK_*_", 0x137}, HotkeyCase{"VK_PAGEUP_", 0x21},
                      HotkeyCase{"VK_PAGEDOWN_", 0x22}, HotkeyCase{"VK_LEFT_", 0x25}, HotkeyCase{"VK_RIGHT_", 0x27},
                      HotkeyCase{"VK_UP_", 0x26}, HotkeyCase{"VK_DOWN_", 0x28}, HotkeyCase{"VK_BACK_", 0x08},
                      // Matching is case-sensitive.
                      HotkeyCase{"ctrl vk_p_", 0}, HotkeyCase{"VK_p_", 0}));

TEST(HotkeyNameTest, EveryLetterAndDigitName) {
  for (char c = 'A'; c <= 'Z'; ++c) {
    EXPECT_EQ(ParseHotkeyName(std::string("VK_") + c + "_"), static_cast<KeyCode>(c)) << c;
  }
  for (char c = '0'; c <= '9'; ++c) {
    EXPECT_EQ(ParseHotkeyName(std::string("VK_") + c + "_"), static_cast<KeyCode>(c)) << c;
  }
  for (int f = 1; f <= 12; ++f) {
    EXPECT_EQ(ParseHotkeyName("VK_F" + std::to_string(f) + "_"), static_cast<KeyCode>(0x6F + f)) << f;
  }
}

TEST(ComposeKeyCodeTest, ModifiersAndKeypadFolding) {
  EXPECT_EQ(ComposeKeyCode(0, 0, 0, 0x41), 0x41u);
  EXPECT_EQ(ComposeKeyCode(1, 0, 0, 0x50), 0x10000050u);
  EXPECT_EQ(ComposeKeyCode(1, 1, 1, 0x50), 0x10100150u);
  // Keypad 5 with SHIFT equals SHIFT with the main-row 5.
  EXPECT_EQ(ComposeKeyCode(0, 0, 1, 0x65), 0x135u);
  EXPECT_EQ(ComposeKeyCode(0, 0, 1, 0x65), ComposeKeyCode(0, 0, 1, 0x35));
  EXPECT_EQ(ComposeKeyCode(0, 0, 0, 0x60), 0x30u);
  EXPECT_EQ(ComposeKeyCode(0, 0, 0, 0x69), 0x39u);
  // Keypad operators keep their own codes.
  EXPECT_EQ(ComposeKeyCode(0, 0, 0, 0x6B), 0x6Bu);
  EXPECT_EQ(ComposeKeyCode(0, 0, 0, 0x6A), 0x6Au);
  // Any non-zero flag counts as held.
  EXPECT_EQ(ComposeKeyCode(7, 0, 0, 0x41), 0x10000041u);
}

TEST(ComposeKeyCodeTest, LiveKeyMatchesParsedHotkey) {
  EXPECT_EQ(ComposeKeyCode(1, 0, 0, 'P'), ParseHotkeyName("CTRL VK_P_"));
  EXPECT_NE(ComposeKeyCode(1, 0, 0, 'P'), ParseHotkeyName("VK_P_"));
  EXPECT_EQ(ComposeKeyCode(0, 0, 0, 0x63), ParseHotkeyName("VK_3_"));
}

}  // namespace
