// Language names of the machine's locales for the Movie module's default
// audio and subtitle language lists. Locales are read with newlocale and
// never made the process's locale.
#pragma once

#include <string>
#include <vector>

namespace movie_locales {

// Names of the installed locales: the entries of the locale archive and the
// locale folders beside it.
std::vector<std::string> InstalledLocaleNames(const std::string& folder = "/usr/lib/locale");

// The language of a locale (the first word of its identification's
// language); empty when the locale does not load or names none.
std::string LocaleLanguage(const std::string& locale);

// The language of the user's locale (from the environment).
std::string UserLanguage();

// Distinct non-empty languages of the locales, sorted by their lower-case form.
std::vector<std::string> SortedLanguages(const std::vector<std::string>& locales);

}  // namespace movie_locales
