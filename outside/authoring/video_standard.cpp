#include "outside/authoring/video_standard.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace authoring {

std::string LocaleCountry(const std::string& locale) {
  const std::size_t underscore = locale.find('_');
  if (underscore == std::string::npos || underscore + 3 > locale.size()) return {};
  return locale.substr(underscore + 1, 2);
}

bool IsPalCountry(const std::string& country) {
  static constexpr std::array<std::string_view, 16> kNtsc = {"US", "CA", "MX", "JP", "KR", "TW", "PH", "BS", "BO", "CL",
                                                             "CO", "CR", "EC", "GU", "PE", "VE"};
  return std::find(kNtsc.begin(), kNtsc.end(), country) == kNtsc.end();
}

bool UserLocaleIsPal() {
  for (const char* name : {"LC_ALL", "LC_PAPER", "LC_MEASUREMENT", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    const std::string country = LocaleCountry(value);
    if (!country.empty()) return IsPalCountry(country);
  }
  return true;
}

}  // namespace authoring
