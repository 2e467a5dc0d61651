#include "corebridge/core/settings_escape.h"

#include <cstdint>

namespace settings_escape {
namespace {

bool IsXmlChar(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool IsXmlText(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
      if (!IsXmlChar(b0)) return false;
      ++i;
      continue;
    }
    int extra = 0;
    std::uint32_t c = 0;
    std::uint32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
      extra = 1;
      c = b0 & 0x1F;
      min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      extra = 2;
      c = b0 & 0x0F;
      min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      extra = 3;
      c = b0 & 0x07;
      min = 0x10000;
    } else {
      return false;
    }
    if (n - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((b & 0xC0) != 0x80) return false;
      c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates are not UTF-8.
    if (c < min || (c >= 0xD800 && c <= 0xDFFF) || !IsXmlChar(c)) return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::string EscapeValue(std::string_view raw) {
  if (IsXmlText(raw) && !raw.starts_with(kMarker)) return std::string(raw);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out(kMarker);
  out.reserve(kMarker.size() + raw.size() * 3);
  for (const char ch : raw) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x20 && b <= 0x7E && b != '%') {
      out.push_back(ch);
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0xF]);
    }
  }
  return out;
}

std::string UnescapeValue(std::string_view stored) {
  if (!stored.starts_with(kMarker)) return std::string(stored);
  const std::string_view body = stored.substr(kMarker.size());
  std::string out;
  out.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '%' && i + 2 < body.size() && HexDigit(body[i + 1]) >= 0 && HexDigit(body[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(body[i + 1]) * 16 + HexDigit(body[i + 2])));
      i += 2;
    } else {
      // Not written by EscapeValue (hand-edited): keep the text as it stands.
      out.push_back(body[i]);
    }
  }
  return out;
}

}  // namespace settings_escape
