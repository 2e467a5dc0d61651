// Number texts of the settings files, with the 32-bit semantics stored files
// rely on, always in the C locale whatever the user's locale is:
// - signed values read like atoi: leading blanks, an optional sign, digits up
//   to the first non-digit; out-of-range values saturate at INT32_MIN/MAX;
// - unsigned values read like wcstoul in base 10: a leading '-' negates
//   modulo 2^32 ("-1" reads 4294967295), out-of-range values give 4294967295;
// - floating-point values read like atof and are written like "%f".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace settings_numbers {

// Signed 32-bit value of `text` as atoi reads it; `hasDigits` tells whether
// any digit was read (atoi gives 0 both for "0" and for "abc").
std::int32_t ParseInt32(std::string_view text, bool* hasDigits = nullptr);
std::uint32_t ParseUInt32(std::string_view text, bool* hasDigits = nullptr);
// `hasDigits` tells whether a number was read at all.
double ParseDouble(std::string_view text, bool* hasDigits = nullptr);

std::string FormatInt32(std::int32_t value);
std::string FormatUInt32(std::uint32_t value);
// Six digits after the decimal point, as "%f" writes them.
std::string FormatDouble(double value);

}  // namespace settings_numbers
