// Reading numbers of the settings files into fields under each field's rule.
// A stored value is taken only when it reads as a number and the field's rule
// accepts it; a text that is no number, or a value no caller can mean
// (negative indices and sizes, frequencies outside their band...), leaves the
// field as it is, which at start is its default.
#pragma once

#include <cstdint>
#include <string_view>

#include "corebridge/core/xml_settings.h"

namespace settings_fields {

// Rules.
inline constexpr auto kAny = [](int) { return true; };
inline constexpr auto kNonNegative = [](int v) { return v >= 0; };
inline constexpr auto kPositive = [](int v) { return v > 0; };
// An index where -1 means "none".
inline constexpr auto kIndexOrNone = [](int v) { return v >= -1; };
constexpr auto Between(int lo, int hi) {
  return [lo, hi](int v) { return v >= lo && v <= hi; };
}

// A key that keeps the field when missing.
template <typename Rule>
void ReadInt(const CXmlSettings& xml, std::string_view key, int& field, std::string_view section, Rule rule) {
  int value = 0;
  if (xml.XmlReadInt(key, value, section) == XmlNumber::kRead && rule(value)) field = value;
}

// An unsigned key whose field is an int: the stored bits are the int's.
template <typename Rule>
void ReadUIntAsInt(const CXmlSettings& xml, std::string_view key, int& field, std::string_view section, Rule rule) {
  std::uint32_t value = 0;
  if (xml.XmlReadUInt(key, value, section) == XmlNumber::kRead && rule(static_cast<int>(value))) {
    field = static_cast<int>(value);
  }
}

// Keys read "into `missing` first": a missing key counts as `missing`, which
// is then subject to the rule like a stored value.
template <typename Rule>
void ReadIntOr(const CXmlSettings& xml, std::string_view key, int& field, std::string_view section, int missing,
               Rule rule) {
  int value = missing;
  if (xml.XmlReadInt(key, value, section) != XmlNumber::kNotANumber && rule(value)) field = value;
}

template <typename Rule>
void ReadUIntAsIntOr(const CXmlSettings& xml, std::string_view key, int& field, std::string_view section,
                     int missing, Rule rule) {
  auto value = static_cast<std::uint32_t>(missing);
  if (xml.XmlReadUInt(key, value, section) != XmlNumber::kNotANumber && rule(static_cast<int>(value))) {
    field = static_cast<int>(value);
  }
}

}  // namespace settings_fields
