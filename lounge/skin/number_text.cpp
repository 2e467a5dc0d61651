#include "lounge/skin/number_text.h"

#include <cstdint>
#include <limits>

namespace {

std::string_view SkipSpace(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                           text.front() == '\r' || text.front() == '\v' || text.front() == '\f')) {
    text.remove_prefix(1);
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int ParseDecimalInt(std::string_view text) {
  text = SkipSpace(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

std::uint32_t ParseHexValue(std::string_view text) {
  text = SkipSpace(text);
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
      (text.size() == 2 || HexDigit(text[2]) >= 0)) {
    text.remove_prefix(2);
  }
  std::uint64_t value = 0;
  for (char c : text) {
    int digit = HexDigit(c);
    if (digit < 0) break;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) value = 0xFFFFFFFFu;
  }
  return static_cast<std::uint32_t>(value);
}
