// Number texts and value escaping of the settings files.
#include <clocale>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "corebridge/core/settings_escape.h"
#include "corebridge/core/settings_numbers.h"

namespace {

using namespace settings_numbers;

TEST(SettingsNumbers, SignedReadsLikeAtoiAndSaturates) {
  struct Case {
    const char* text;
    std::int32_t value;
    bool digits;
  } cases[] = {
      {"42", 42, true},
      {"  -7", -7, true},
      {"+15", 15, true},
      {"12abc", 12, true},
      {"3.9", 3, true},
      {"abc", 0, false},
      {"", 0, false},
      {"-", 0, false},
      {"2147483647", 2147483647, true},
      {"2147483648", std::numeric_limits<std::int32_t>::max(), true},
      {"99999999999999999999999", std::numeric_limits<std::int32_t>::max(), true},
      {"-2147483648", std::numeric_limits<std::int32_t>::min(), true},
      {"-2147483649", std::numeric_limits<std::int32_t>::min(), true},
      {"-99999999999999999999999", std::numeric_limits<std::int32_t>::min(), true},
  };
  for (const Case& c : cases) {
    bool digits = !c.digits;
    EXPECT_EQ(ParseInt32(c.text, &digits), c.value) << c.text;
    EXPECT_EQ(digits, c.digits) << c.text;
  }
}

TEST(SettingsNumbers, UnsignedWrapsAt32BitsLikeWcstoul) {
  struct Case {
    const char* text;
    std::uint32_t value;
  } cases[] = {
      {"0", 0u},
      {"4294967295", 4294967295u},
      {"4294967296", 4294967295u},
      {"99999999999999999999", 4294967295u},
      {"-1", 4294967295u},
      {"-2147483648", 2147483648u},
      {" 17 apples", 17u},
      {"x", 0u},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseUInt32(c.text), c.value) << c.text;
}

TEST(SettingsNumbers, DoublesUseTheCLocaleWhateverTheUserLocale) {
  // A locale with a decimal comma must not change how files read or write.
  const bool haveCommaLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  EXPECT_EQ(FormatDouble(1.5), "1.500000");
  EXPECT_EQ(FormatDouble(-0.25), "-0.250000");
  EXPECT_EQ(FormatDouble(1e20), "100000000000000000000.000000");
  EXPECT_EQ(FormatDouble(1e300).size(), 301u + 7u);
  EXPECT_DOUBLE_EQ(ParseDouble("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(ParseDouble("  +2.5e3xyz"), 2500.0);
  EXPECT_DOUBLE_EQ(ParseDouble("garbage"), 0.0);
  EXPECT_EQ(ParseDouble("1e999"), std::numeric_limits<double>::infinity());
  std::setlocale(LC_ALL, "C");
  if (!haveCommaLocale) GTEST_LOG_(INFO) << "de_DE.UTF-8 not installed; checked in the C locale only";
}

TEST(SettingsEscape, OrdinaryTextIsStoredAsItIs) {
  for (const char* text : {"", "plain", "Grüße — 日本語 🎵", "tab\there\nline\rcr", "& < > \" '", "50%"}) {
    EXPECT_EQ(settings_escape::EscapeValue(text), text);
    EXPECT_EQ(settings_escape::UnescapeValue(text), text);
  }
}

TEST(SettingsEscape, TextXmlCannotHoldIsEscapedReversibly) {
  const std::string cases[] = {
      std::string("nul\0inside", 10),
      "bell\x07",
      "\x1b[0m",
      "bad utf8 \xff\xfe",
      "overlong \xc0\xaf",
      "surrogate \xed\xa0\x80",
      "cut \xe6\x97",
      "nonchar \xef\xbf\xbf",
      "%ESC%looks escaped",
      "%ESC%",
  };
  for (const std::string& raw : cases) {
    const std::string stored = settings_escape::EscapeValue(raw);
    EXPECT_TRUE(stored.starts_with(settings_escape::kMarker)) << raw;
    EXPECT_TRUE(settings_escape::IsXmlText(stored)) << raw;
    EXPECT_EQ(settings_escape::UnescapeValue(stored), raw);
  }
}

TEST(SettingsEscape, RandomByteStringsRoundTrip) {
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    std::string raw(random() % 24, '\0');
    for (char& c : raw) c = static_cast<char>(random() % 256);
    const std::string stored = settings_escape::EscapeValue(raw);
    ASSERT_TRUE(settings_escape::IsXmlText(stored));
    ASSERT_EQ(settings_escape::UnescapeValue(stored), raw);
  }
}

}  // namespace
