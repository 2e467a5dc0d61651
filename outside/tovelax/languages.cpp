#include "outside/tovelax/languages.h"

#include <cctype>
#include <cstdlib>

namespace tovelax {
namespace {

struct LanguageEntry {
  char code[3];
  std::uint16_t primary;
};

// Primary language identifiers of the platform for the languages DVDs carry.
constexpr LanguageEntry kLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},
    {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0a}, {"fi", 0x0b}, {"fr", 0x0c},
    {"he", 0x0d}, {"hu", 0x0e}, {"is", 0x0f}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},
    {"nl", 0x13}, {"no", 0x14}, {"nb", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18},
    {"ru", 0x19}, {"hr", 0x1a}, {"sk", 0x1b}, {"sq", 0x1c}, {"sv", 0x1d}, {"th", 0x1e},
    {"tr", 0x1f}, {"ur", 0x20}, {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24},
    {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27}, {"fa", 0x29}, {"vi", 0x2a}, {"hy", 0x2b},
    {"eu", 0x2d}, {"mk", 0x2f}, {"af", 0x36}, {"ka", 0x37}, {"hi", 0x39}, {"ga", 0x3c},
    {"ms", 0x3e}, {"sw", 0x41}, {"ta", 0x49}, {"cy", 0x52},
};
constexpr std::uint32_t kSublangDefault = 1u << 10;

}  // namespace

std::uint32_t IsoFromLetters(const std::string& letters) {
  if (letters.size() < 2 || !std::isalpha(static_cast<unsigned char>(letters[0])) ||
      !std::isalpha(static_cast<unsigned char>(letters[1])))
    return 0;
  return (static_cast<std::uint32_t>(std::tolower(static_cast<unsigned char>(letters[0]))) << 8) |
         static_cast<std::uint32_t>(std::tolower(static_cast<unsigned char>(letters[1])));
}

std::string IsoToLetters(std::uint32_t isoCode) {
  if (isoCode == 0 || isoCode == 0xffff) return {};
  return {static_cast<char>((isoCode >> 8) & 0xff), static_cast<char>(isoCode & 0xff)};
}

std::uint32_t LanguageIdFromIso(std::uint32_t isoCode) {
  const std::string letters = IsoToLetters(isoCode);
  if (letters.size() != 2) return 0;
  for (const auto& entry : kLanguages)
    if (letters[0] == entry.code[0] && letters[1] == entry.code[1]) return entry.primary | kSublangDefault;
  return 0;
}

std::uint32_t PreferredIsoCode() {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    const std::string text(value);
    if (text == "C" || text.rfind("C.", 0) == 0 || text == "POSIX") continue;
    if (std::uint32_t code = IsoFromLetters(text)) return code;
  }
  return IsoFromLetters("en");
}

}  // namespace tovelax
