// The rename key pad: 53 keys, each a label and the character it types.
#pragma once

#include <array>

struct RenameKey {
  const char* label;
  int character;
};

inline constexpr int RENAME_KEY_COUNT = 53;

inline constexpr std::array<RenameKey, RENAME_KEY_COUNT> RENAME_KEYS = {{
    {"A", 65},     {"B", 66},    {"C", 67},      {"D", 68}, {"E", 69}, {"F", 70}, {"G", 71}, {"H", 72},
    {"I", 73},     {"J", 74},    {"K", 75},      {"L", 76}, {"M", 77}, {"N", 78}, {"O", 79}, {"P", 80},
    {"Q", 81},     {"R", 82},    {"S", 83},      {"T", 84}, {"U", 85}, {"V", 86}, {"W", 87}, {"X", 88},
    {"Y", 89},     {"Z", 90},    {"0", 48},      {"1", 49}, {"2", 50}, {"3", 51}, {"4", 52}, {"5", 53},
    {"6", 54},     {"7", 55},    {"8", 56},      {"9", 57}, {"AA", 65}, {"OO", 79}, {"UU", 85}, {"BS", 8},
    {"ENTER", 13}, {"SPACE", 32}, {".", 46},     {",", 44}, {"-", 45}, {"_", 95}, {";", 59}, {"(", 40},
    {")", 41},     {"&", 38},    {"+", 43},      {"#", 35}, {"*", 42},
}};
