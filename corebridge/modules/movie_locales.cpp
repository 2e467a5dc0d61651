#include "corebridge/modules/movie_locales.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace movie_locales {
namespace {

constexpr std::uint32_t kArchiveMagic = 0xde020109;
constexpr std::size_t kArchiveLimit = 512u << 20;  // a sane bound for the archive's size

std::uint32_t Word(const std::string& data, std::size_t offset) {
  std::uint32_t value = 0;
  if (offset + 4 <= data.size()) std::memcpy(&value, data.data() + offset, 4);
  return value;
}

// Entry names of the locale archive: its header holds the offset, size of
// the name hash table, whose used entries point at the names.
void ArchiveNames(const std::string& path, std::vector<std::string>& names) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size < 32 || size > kArchiveLimit) return;
  std::ifstream in(path, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (Word(data, 0) != kArchiveMagic) return;
  const std::uint32_t hashOffset = Word(data, 8);
  const std::uint32_t hashSize = Word(data, 16);
  for (std::uint32_t i = 0; i < hashSize; ++i) {
    const std::size_t entry = hashOffset + std::size_t{i} * 12;
    if (entry + 12 > data.size()) break;
    const std::uint32_t nameOffset = Word(data, entry + 4);
    const std::uint32_t recordOffset = Word(data, entry + 8);
    if (nameOffset == 0 || recordOffset == 0 || nameOffset >= data.size()) continue;
    const char* name = data.data() + nameOffset;
    names.emplace_back(name, strnlen(name, data.size() - nameOffset));
  }
}

std::string FirstWord(const char* text) {
  if (!text) return {};
  std::string word(text);
  word = word.substr(0, word.find(' '));
  return word;
}

std::string LanguageOf(locale_t loc) {
  if (loc == static_cast<locale_t>(0)) return {};
  std::string language = FirstWord(nl_langinfo_l(_NL_IDENTIFICATION_LANGUAGE, loc));
  freelocale(loc);
  return language;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

std::vector<std::string> InstalledLocaleNames(const std::string& folder) {
  std::vector<std::string> names;
  ArchiveNames(folder + "/locale-archive", names);
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && std::filesystem::exists(it->path() / "LC_IDENTIFICATION", ec)) {
      names.push_back(it->path().filename().string());
    }
  }
  return names;
}

std::string LocaleLanguage(const std::string& locale) {
  return LanguageOf(newlocale(LC_ALL_MASK, locale.c_str(), static_cast<locale_t>(0)));
}

std::string UserLanguage() { return LanguageOf(newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0))); }

std::vector<std::string> SortedLanguages(const std::vector<std::string>& locales) {
  std::vector<std::string> languages;
  for (const auto& locale : locales) {
    std::string language = LocaleLanguage(locale);
    if (language.empty() || std::find(languages.begin(), languages.end(), language) != languages.end()) continue;
    languages.push_back(std::move(language));
  }
  std::stable_sort(languages.begin(), languages.end(),
                   [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return languages;
}

}  // namespace movie_locales
