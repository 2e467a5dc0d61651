// PAL or NTSC, from the country of the user's locale.
#pragma once

#include <string>

namespace authoring {

// The country of a locale name such as "en_US.UTF-8" ("US"), empty when it has none.
std::string LocaleCountry(const std::string& locale);
// True for a PAL country (every country but the NTSC ones).
bool IsPalCountry(const std::string& country);
// From LC_ALL, LC_MEASUREMENT... LANG, as the user's locale gives them.
bool UserLocaleIsPal();

}  // namespace authoring
