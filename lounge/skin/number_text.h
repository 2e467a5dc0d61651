// Number parsing for values read from skin files, with the forgiving rules
// the skin files were written for: leading white space is skipped, parsing
// stops at the first character that does not belong, and a text without a
// number reads as 0. Out-of-range values are clamped, never undefined.
#pragma once

#include <cstdint>
#include <string_view>

// A decimal integer with optional sign ("12", " -4", "30px" -> 30).
int ParseDecimalInt(std::string_view text);
// A hexadecimal value with optional "0x" prefix ("FF8635", "0x0000FF").
std::uint32_t ParseHexValue(std::string_view text);
