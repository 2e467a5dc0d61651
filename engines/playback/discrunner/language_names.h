// Names of the languages the disc reports by platform language identifier
// (primary language in the low 10 bits).
#pragma once

#include <cstdint>
#include <string>

namespace discrunner {

// The English name of the language, or "" when the identifier is unknown.
std::string EnglishLanguageName(std::uint32_t languageId);
// The name in the user's language; the system ships English texts only.
std::string LocalLanguageName(std::uint32_t languageId);
// The first space-separated word of a name ("Chinese (Simplified)" -> "Chinese").
std::string FirstWord(const std::string& name);

}  // namespace discrunner
