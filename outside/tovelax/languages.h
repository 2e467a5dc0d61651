// Disc language codes (ISO 639-1, two letters) and the platform's language
// identifiers (primary language | SUBLANG_DEFAULT << 10).
#pragma once

#include <cstdint>
#include <string>

namespace tovelax {

// Two-letter code as 16 bits, first letter in the high byte ('e' << 8 | 'n').
std::uint32_t LanguageIdFromIso(std::uint32_t isoCode);
std::uint32_t IsoFromLetters(const std::string& letters);
// Preferred language of the user from LANGUAGE / LC_ALL / LC_MESSAGES / LANG; "en" when none.
std::uint32_t PreferredIsoCode();
std::string IsoToLetters(std::uint32_t isoCode);

}  // namespace tovelax
