// The locale names behind the Movie module's language lists: the entries of
// a locale archive (a made-up one, with an empty slot), the locale folders
// beside it, and archives that are cut short or are no archive at all.
#include "corebridge/modules/movie_locales.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/support/temp_environment.h"

namespace {

namespace fs = std::filesystem;

void Put32(std::string& data, std::size_t offset, std::uint32_t value) {
  if (data.size() < offset + 4) data.resize(offset + 4);
  std::memcpy(data.data() + offset, &value, 4);
}

// An archive whose name table holds three slots: two names and an empty one.
std::string Archive() {
  std::string data(128, '\0');
  Put32(data, 0, 0xde020109);  // magic
  Put32(data, 8, 40);          // name table offset
  Put32(data, 12, 2);          // used
  Put32(data, 16, 3);          // size
  Put32(data, 40 + 4, 100);    // slot 0: name, record
  Put32(data, 40 + 8, 1);
  Put32(data, 64 + 4, 112);    // slot 2
  Put32(data, 64 + 8, 1);
  std::memcpy(data.data() + 100, "de_DE.utf8", 11);
  std::memcpy(data.data() + 112, "fr_FR.utf8", 11);
  return data;
}

TEST(MovieLocales, ArchiveEntriesAndLocaleFoldersAreListed) {
  test_support::TempEnvironment env("locales");
  const fs::path folder = env.path("locale");
  fs::create_directories(folder / "C.utf8");
  std::ofstream(folder / "C.utf8" / "LC_IDENTIFICATION") << "x";
  fs::create_directories(folder / "not-a-locale");
  test_support::WriteFile((folder / "locale-archive").string(), Archive());
  auto names = movie_locales::InstalledLocaleNames(folder.string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"C.utf8", "de_DE.utf8", "fr_FR.utf8"}));
}

TEST(MovieLocales, BrokenArchivesGiveNoNames) {
  test_support::TempEnvironment env("locales");
  const fs::path folder = env.path("locale");
  fs::create_directories(folder);
  std::string cut = Archive();
  Put32(cut, 16, 1000000);  // a table far longer than the file
  Put32(cut, 40 + 4, 5000);  // and a name beyond its end
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {{"cut short", cut}, {"wrong magic", std::string(128, 'x')}, {"tiny", "ab"}};
  for (const auto& c : cases) {
    test_support::WriteFile((folder / "locale-archive").string(), c.bytes);
    const auto names = movie_locales::InstalledLocaleNames(folder.string());
    if (std::string(c.what) == "cut short") {
      EXPECT_EQ(names, std::vector<std::string>{"fr_FR.utf8"}) << c.what;
    } else {
      EXPECT_TRUE(names.empty()) << c.what;
    }
  }
  // Locales that do not load name no language.
  EXPECT_EQ(movie_locales::LocaleLanguage("xx_NOWHERE.utf8"), "");
  EXPECT_TRUE(movie_locales::SortedLanguages({"xx_NOWHERE.utf8"}).empty());
}

}  // namespace
