// Globally unique identifiers: the 16-byte records that name interfaces (IID)
// and classes (CLSID), laid out as the platform lays them out, with parsing
// and formatting of the "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" text form.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};

  friend constexpr bool operator==(const GUID&, const GUID&) = default;
  friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};
inline constexpr IID IID_NULL{};
inline constexpr CLSID CLSID_NULL{};

namespace detail {

constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `digits` hex digits starting at `pos`; false if any is not a digit.
constexpr bool ReadHex(std::string_view text, std::size_t pos, std::size_t digits, std::uint32_t& value) {
  value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const int digit = HexDigitValue(text[pos + i]);
    if (digit < 0) return false;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return true;
}

}  // namespace detail

// Parses exactly "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits in either
// case, braces required, nothing before or after). Usable at compile time.
constexpr std::optional<GUID> ParseGuid(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return std::nullopt;
  GUID guid;
  std::uint32_t value = 0;
  if (!detail::ReadHex(text, 1, 8, value)) return std::nullopt;
  guid.Data1 = value;
  if (!detail::ReadHex(text, 10, 4, value)) return std::nullopt;
  guid.Data2 = static_cast<std::uint16_t>(value);
  if (!detail::ReadHex(text, 15, 4, value)) return std::nullopt;
  guid.Data3 = static_cast<std::uint16_t>(value);
  // Data4: two bytes before the last dash, six after it.
  constexpr std::size_t kByteOffsets[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (std::size_t i = 0; i < 8; ++i) {
    if (!detail::ReadHex(text, kByteOffsets[i], 2, value)) return std::nullopt;
    guid.Data4[i] = static_cast<std::uint8_t>(value);
  }
  return guid;
}

// Declares a GUID constant from its text at compile time, with or without the
// braces; a malformed text does not compile:
//   inline constexpr plat::IID IID_IFoo = plat::MakeGuid("12345678-9ABC-DEF0-1234-56789ABCDEF0");
consteval GUID MakeGuid(std::string_view text) {
  if (!text.empty() && text.front() != '{') {
    char braced[38] = {};
    if (text.size() != 36) throw "GUID text must have 36 characters without braces";
    braced[0] = '{';
    for (std::size_t i = 0; i < 36; ++i) braced[i + 1] = text[i];
    braced[37] = '}';
    const auto guid = ParseGuid(std::string_view(braced, 38));
    if (!guid) throw "malformed GUID text";
    return *guid;
  }
  const auto guid = ParseGuid(text);
  if (!guid) throw "malformed GUID text";
  return *guid;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidToString(const GUID& guid);

}  // namespace plat

template <>
struct std::hash<plat::GUID> {
  std::size_t operator()(const plat::GUID& guid) const noexcept {
    std::uint64_t high = (static_cast<std::uint64_t>(guid.Data1) << 32) |
                         (static_cast<std::uint64_t>(guid.Data2) << 16) | guid.Data3;
    std::uint64_t low = 0;
    for (std::uint8_t byte : guid.Data4) low = (low << 8) | byte;
    return std::hash<std::uint64_t>{}(high ^ (low * 0x9E3779B97F4A7C15ull));
  }
};
