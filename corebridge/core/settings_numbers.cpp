#include "corebridge/core/settings_numbers.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace settings_numbers {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

struct Magnitude {
  bool negative = false;
  bool hasDigits = false;
  bool overflow = false;  // more than fits in 64 bits
  std::uint64_t value = 0;
};

Magnitude ReadMagnitude(std::string_view text) {
  Magnitude m;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    m.negative = text[i] == '-';
    ++i;
  }
  constexpr std::uint64_t kCap = std::uint64_t{1} << 40;  // far above any 32-bit value
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    m.hasDigits = true;
    if (m.value < kCap) {
      m.value = m.value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    } else {
      m.overflow = true;
    }
  }
  return m;
}

}  // namespace

std::int32_t ParseInt32(std::string_view text, bool* hasDigits) {
  const Magnitude m = ReadMagnitude(text);
  if (hasDigits) *hasDigits = m.hasDigits;
  constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
  if (m.negative) {
    if (m.overflow || m.value > kMax + 1) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(m.value));
  }
  if (m.overflow || m.value > kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(m.value);
}

std::uint32_t ParseUInt32(std::string_view text, bool* hasDigits) {
  const Magnitude m = ReadMagnitude(text);
  if (hasDigits) *hasDigits = m.hasDigits;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  if (m.overflow || m.value > kMax) return std::numeric_limits<std::uint32_t>::max();
  const auto v = static_cast<std::uint32_t>(m.value);
  return m.negative ? static_cast<std::uint32_t>(0u - v) : v;
}

double ParseDouble(std::string_view text, bool* hasDigits) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0.0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (hasDigits) *hasDigits = result.ec == std::errc{} || result.ec == std::errc::result_out_of_range;
  if (result.ec == std::errc::result_out_of_range) {
    // atof gives +-HUGE_VAL on overflow and (about) zero on underflow.
    const bool negative = first != last && *first == '-';
    bool tiny = false;
    for (const char* p = first; p != result.ptr; ++p) {
      if (*p == 'e' || *p == 'E') {
        tiny = p + 1 != result.ptr && p[1] == '-';
        break;
      }
    }
    if (tiny) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  }
  if (result.ec != std::errc{}) return 0.0;
  return value;
}

std::string FormatInt32(std::int32_t value) { return std::to_string(value); }

std::string FormatUInt32(std::uint32_t value) { return std::to_string(value); }

std::string FormatDouble(double value) {
  // "%f" of the largest doubles runs to over 300 digits: grow until it fits.
  std::string text(32, '\0');
  for (;;) {
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 6);
    if (result.ec == std::errc{}) {
      text.resize(static_cast<std::size_t>(result.ptr - text.data()));
      return text;
    }
    text.resize(text.size() * 2);
  }
}

}  // namespace settings_numbers
