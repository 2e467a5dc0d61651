#include "engines/capture/grabber/country_table.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <cstdlib>
#include <cstring>

namespace grabber {

namespace {

constexpr std::array<CountryRow, 241> kRows = {{
    {1, kNtscM, "United States of America"},
    {1, kNtscM, "Anguilla"},
    {1, kNtscM, "Antigua"},
    {1, kNtscM, "Bahamas"},
    {1, kNtscM, "Barbados"},
    {1, kNtscM, "Bermuda"},
    {1, kNtscM, "British Virgin Islands"},
    {1, kNtscM, "Cayman Islands"},
    {1, kNtscM, "Dominica"},
    {1, kNtscM, "Dominican Republic"},
    {1, kNtscM, "Grenada"},
    {1, kNtscM, "Jamaica"},
    {1, kNtscM, "Montserrat"},
    {1, kNtscM, "Nevis"},
    {1, kNtscM, "St. Kitts"},
    {1, kNtscM, "St. Vincent and the Grenadines"},
    {1, kNtscM, "Trinidad and Tobago"},
    {1, kNtscM, "Turks and Caicos Islands"},
    {1, kNtscM, "Barbuda"},
    {1, kNtscM, "Puerto Rico"},
    {1, kNtscM, "Saint Lucia"},
    {1, kNtscM, "United States Virgin Islands"},
    {1886, kPalD, "ShenZhen"},
    {2, kNtscM, "Canada"},
    {20, kPalB, "Egypt"},
    {212, kSecamB, "Morocco"},
    {213, kPalB, "Algeria"},
    {216, kSecamB, "Tunisia"},
    {218, kSecamB, "Libya"},
    {220, kSecamK, "Gambia"},
    {221, kSecamK, "Senegal Republic"},
    {222, kSecamB, "Mauritania"},
    {223, kSecamK, "Mali"},
    {224, kSecamK, "Guinea"},
    {225, kSecamK, "Ivory Coast"},
    {226, kSecamK, "Burkina Faso"},
    {227, kSecamK, "Niger"},
    {228, kSecamK, "Togo"},
    {229, kSecamK, "Benin"},
    {230, kSecamB, "Mauritius"},
    {231, kPalB, "Liberia"},
    {232, kPalB, "Sierra Leone"},
    {233, kPalB, "Ghana"},
    {234, kPalB, "Nigeria"},
    {235, kPalB, "Chad"},
    {236, kPalB, "Central African Republic"},
    {237, kPalB, "Cameroon"},
    {238, kNtscM, "Cape Verde Islands"},
    {239, kPalB, "Sao Tome and Principe"},
    {240, kSecamB, "Equatorial Guinea"},
    {241, kSecamK, "Gabon"},
    {242, kSecamD, "Congo"},
    {243, kSecamK, "Zaire"},
    {244, kPalI, "Angola"},
    {245, kNtscM, "Guinea-Bissau"},
    {246, kNtscM, "Diego Garcia"},
    {247, kNtscM, "Ascension Island"},
    {248, kPalB, "Seychelle Islands"},
    {249, kPalB, "Sudan"},
    {250, kPalB, "Rwanda"},
    {251, kPalB, "Ethiopia"},
    {252, kPalB, "Somalia"},
    {253, kSecamK, "Djibouti"},
    {254, kPalB, "Kenya"},
    {255, kPalB, "Tanzania"},
    {256, kPalB, "Uganda"},
    {257, kSecamK, "Burundi"},
    {258, kPalB, "Mozambique"},
    {260, kPalB, "Zambia"},
    {261, kSecamK, "Madagascar"},
    {262, kSecamK, "Reunion Island"},
    {263, kPalB, "Zimbabwe"},
    {264, kPalI, "Namibia"},
    {265, kNtscM, "Malawi"},
    {266, kPalI, "Lesotho"},
    {267, kSecamK, "Botswana"},
    {268, kPalB, "Swaziland"},
    {269, kSecamK, "Mayotte Island"},
    {269, kNtscM, "Comoros"},
    {27, kPalI, "South Africa"},
    {290, kNtscM, "St. Helena"},
    {291, kNtscM, "Eritrea"},
    {297, kNtscM, "Aruba"},
    {298, kPalB, "Faroe Islands"},
    {299, kNtscM, "Greenland"},
    {30, kSecamB, "Greece"},
    {31, kPalB, "Netherlands"},
    {32, kPalB, "Belgium"},
    {33, kSecamL, "France"},
    {34, kPalB, "Spain"},
    {350, kPalB, "Gibraltar"},
    {351, kPalB, "Portugal"},
    {352, kPalB, "Luxembourg"},
    {353, kPalI, "Ireland"},
    {354, kPalB, "Iceland"},
    {355, kPalB, "Albania"},
    {356, kPalB, "Malta"},
    {357, kPalB, "Cyprus"},
    {358, kPalB, "Finland"},
    {359, kSecamD, "Bulgaria"},
    {36, kPalB, "Hungary"},
    {370, kPalB, "Lithuania"},
    {371, kSecamD, "Latvia"},
    {372, kPalB, "Estonia"},
    {373, kSecamD, "Moldova"},
    {374, kSecamD, "Armenia"},
    {375, kSecamD, "Belarus"},
    {376, kNtscM, "Andorra"},
    {377, kSecamG, "Monaco"},
    {378, kPalB, "San Marino"},
    {39, kPalB, "Vatican City"},
    {380, kSecamD, "Ukraine"},
    {381, kPalB, "Yugoslavia"},
    {385, kPalB, "Croatia"},
    {386, kPalB, "Slovenia"},
    {387, kPalB, "Bosnia and Herzegovina"},
    {389, kPalB, "F.Y.R.O.M. (Former Yugoslav Republic of Macedonia)"},
    {39, kPalB, "Italy"},
    {40, kPalD, "Romania"},
    {41, kPalB, "Switzerland"},
    {41, kPalB, "Liechtenstein"},
    {42, kSecamD, "Czech Republic"},
    {42, kPalB, "Slovak Republic"},
    {43, kPalB, "Austria"},
    {44, kPalI, "United Kingdom"},
    {45, kPalB, "Denmark"},
    {46, kPalB, "Sweden"},
    {47, kPalB, "Norway"},
    {48, kPalD, "Poland"},
    {49, kPalB, "Germany"},
    {500, kPalI, "Falkland Islands"},
    {501, kNtscM, "Belize"},
    {502, kNtscM, "Guatemala"},
    {503, kNtscM, "El Salvador"},
    {504, kNtscM, "Honduras"},
    {505, kNtscM, "Nicaragua"},
    {506, kNtscM, "Costa Rica"},
    {507, kNtscM, "Panama"},
    {508, kSecamK, "St. Pierre and Miquelon"},
    {509, kNtscM, "Haiti"},
    {51, kNtscM, "Peru"},
    {52, kNtscM, "Mexico"},
    {53, kNtscM, "Cuba"},
    {53, kNtscM, "Guantanamo Bay"},
    {54, kPalN, "Argentina"},
    {55, kPalM, "Brazil"},
    {56, kNtscM, "Chile"},
    {57, kNtscM, "Colombia"},
    {58, kNtscM, "Venezuela"},
    {590, kSecamK, "Guadeloupe"},
    {590, kNtscM, "French Antilles"},
    {591, kPalN, "Bolivia"},
    {592, kSecamK, "Guyana"},
    {593, kNtscM, "Ecuador"},
    {594, kSecamK, "French Guiana"},
    {595, kPalN, "Paraguay"},
    {596, kSecamK, "Martinique"},
    {597, kNtscM, "Suriname"},
    {598, kPalN, "Uruguay"},
    {599, kNtscM, "Netherlands Antilles"},
    {60, kPalB, "Malaysia"},
    {61, kPalB, "Australia"},
    {61, kNtscM, "Cocos-Keeling Islands"},
    {62, kPalB, "Indonesia"},
    {63, kNtscM, "Philippines"},
    {64, kPalB, "New Zealand"},
    {65, kPalB, "Singapore"},
    {66, kPalB, "Thailand"},
    {670, kNtscM, "Saipan Island"},
    {670, kNtscM, "Rota Island"},
    {670, kNtscM, "Tinian Island"},
    {671, kNtscM, "Guam"},
    {672, kNtscM, "Christmas Island"},
    {672, kNtscM, "Australian Antarctic Territory"},
    {672, kPalB, "Norfolk Island"},
    {673, kPalB, "Brunei"},
    {674, kNtscM, "Nauru"},
    {675, kPalB, "Papua New Guinea"},
    {676, kNtscM, "Tonga"},
    {677, kNtscM, "Solomon Islands"},
    {678, kNtscM, "Vanuatu"},
    {679, kNtscM, "Fiji Islands"},
    {680, kNtscM, "Palau"},
    {681, kSecamK, "Wallis and Futuna Islands"},
    {682, kPalB, "Cook Islands"},
    {683, kNtscM, "Niue"},
    {684, kNtscM, "American Samoa"},
    {685, kPalB, "Western Samoa"},
    {686, kPalB, "Kiribati Republic"},
    {687, kSecamK, "New Caledonia"},
    {688, kNtscM, "Tuvalu"},
    {689, kSecamK, "French Polynesia"},
    {690, kNtscM, "Tokelau"},
    {691, kNtscM, "Micronesia"},
    {692, kNtscM, "Marshall Islands"},
    {7, kSecamD, "Russia"},
    {7, kSecamD, "Kazakhstan"},
    {7, kSecamD, "Kyrgyzstan"},
    {7, kSecamD, "Tajikistan"},
    {7, kSecamD, "Turkmenistan"},
    {7, kSecamD, "Uzbekistan"},
    {81, kNtscMJ, "Japan"},
    {82, kNtscM, "Korea (South)"},
    {84, kNtscM, "Vietnam"},
    {850, kSecamD, "Korea (North)"},
    {852, kPalI, "Hong Kong SAR (China)"},
    {853, kPalI, "Macau"},
    {855, kPalB, "Cambodia"},
    {856, kPalB, "Laos"},
    {86, kPalD, "China"},
    {871, kNtscM, "INMARSAT (Atlantic-East)"},
    {872, kNtscM, "INMARSAT (Pacific)"},
    {873, kNtscM, "INMARSAT (Indian)"},
    {874, kNtscM, "INMARSAT (Atlantic-West)"},
    {880, kPalB, "Bangladesh"},
    {886, kNtscM, "Taiwan Region"},
    {90, kPalB, "Turkey"},
    {91, kPalB, "India"},
    {92, kPalB, "Pakistan"},
    {93, kPalB, "Afghanistan"},
    {94, kPalB, "Sri Lanka"},
    {95, kNtscM, "Myanmar"},
    {960, kPalB, "Maldives"},
    {961, kSecamB, "Lebanon"},
    {962, kPalB, "Jordan"},
    {963, kSecamB, "Syria"},
    {964, kSecamB, "Iraq"},
    {965, kPalB, "Kuwait"},
    {966, kSecamB, "Saudi Arabia"},
    {967, kPalB, "Yemen"},
    {968, kPalB, "Oman"},
    {971, kPalB, "United Arab Emirates"},
    {972, kPalB, "Israel"},
    {973, kPalB, "Bahrain"},
    {974, kPalB, "Qatar"},
    {975, kNtscM, "Bhutan"},
    {976, kSecamD, "Mongolia"},
    {977, kPalB, "Nepal"},
    {98, kSecamB, "Iran"},
    {994, kSecamD, "Azerbaijan"},
    {995, kSecamD, "Georgia"},
}};

// A locale object for the categories asked, from the environment; falls back
// to the C locale when the user's locale is not installed.
class ScopedLocale {
 public:
  explicit ScopedLocale(int mask) : locale_(::newlocale(mask, "", nullptr)) {
    if (!locale_) locale_ = ::newlocale(mask, "C", nullptr);
  }
  ~ScopedLocale() {
    if (locale_) ::freelocale(locale_);
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  locale_t get() const { return locale_; }

 private:
  locale_t locale_;
};

}  // namespace

std::span<const CountryRow> CountryTable() { return kRows; }

bool IsNtscStandard(int standard) { return standard == 1 || standard == 2 || standard == 4; }

LocaleCountry UserLocaleCountry() {
  LocaleCountry out;
  ScopedLocale locale(LC_TELEPHONE_MASK | LC_ADDRESS_MASK);
  if (!locale.get()) return out;
  // The calling code is what the table keys on (the ISO number is not).
  if (const char* prefix = ::nl_langinfo_l(_NL_TELEPHONE_INT_PREFIX, locale.get()); prefix && *prefix) {
    out.code = std::atoi(prefix);
  }
  if (const char* name = ::nl_langinfo_l(_NL_ADDRESS_COUNTRY_NAME, locale.get()); name) out.name = name;
  // Canada shares North America's calling code; the table gives it 2.
  if (const char* ab2 = ::nl_langinfo_l(_NL_ADDRESS_COUNTRY_AB2, locale.get());
      out.code == 1 && ab2 && std::strcmp(ab2, "CA") == 0) {
    out.code = 2;
  }
  return out;
}

int CountryRowFor(const LocaleCountry& locale) {
  const int count = static_cast<int>(kRows.size());
  for (int i = 0; i < count; ++i) {
    if (kRows[i].code != locale.code) continue;
    for (int j = i; j < count && kRows[j].code == locale.code; ++j) {
      if (locale.name == kRows[j].name) return j;
    }
    return i;
  }
  return 0;
}

std::string UserMonthAbbreviation(int month) {
  if (month < 1 || month > 12) return {};
  ScopedLocale locale(LC_TIME_MASK);
  if (!locale.get()) return {};
  const char* text = ::nl_langinfo_l(static_cast<nl_item>(ABMON_1 + month - 1), locale.get());
  return text ? text : "";
}

}  // namespace grabber
