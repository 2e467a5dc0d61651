// The TV country table: 241 countries, each with its international calling
// code (as the system's locale data gives it, with 2 for Canada and 1886 for
// ShenZhen) and its analogue video standard, and the choice of a row from the
// user's locale.
#pragma once

#include <span>
#include <string>

namespace grabber {

// Analogue video standard flags, as the recorder takes them.
inline constexpr int kNtscM = 0x1;
inline constexpr int kNtscMJ = 0x2;
inline constexpr int kPalB = 0x10;
inline constexpr int kPalD = 0x20;
inline constexpr int kPalI = 0x100;
inline constexpr int kPalM = 0x200;
inline constexpr int kPalN = 0x400;
inline constexpr int kSecamB = 0x1000;
inline constexpr int kSecamD = 0x2000;
inline constexpr int kSecamG = 0x4000;
inline constexpr int kSecamK = 0x10000;
inline constexpr int kSecamL = 0x40000;

struct CountryRow {
  int code;
  int standard;
  const char* name;
};

std::span<const CountryRow> CountryTable();

// The standards whose default profiles are the NTSC ones.
bool IsNtscStandard(int standard);

// What the locale says of the user's country: the calling code (0 when
// unknown) and the country's name.
struct LocaleCountry {
  int code = 0;
  std::string name;
};

// Reads the user's locale (from the environment, through a locale object of
// its own; the process-wide locale is never changed).
LocaleCountry UserLocaleCountry();

// The first row with the locale's code; among consecutive rows that share
// it, the one whose name equals the locale's. A code with no row takes row 0.
int CountryRowFor(const LocaleCountry& locale);

// The abbreviated name of `month` (1..12) in the user's locale.
std::string UserMonthAbbreviation(int month);

}  // namespace grabber
