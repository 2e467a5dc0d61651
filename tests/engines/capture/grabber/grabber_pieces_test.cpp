// The engine's pure pieces: channel stepping, names, time-shift arithmetic,
// the country table and the locale's choice of row.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <optional>

#include "engines/capture/grabber/channel_stepping.h"
#include "engines/capture/grabber/country_table.h"
#include "engines/capture/grabber/grabber_hooks.h"
#include "engines/capture/grabber/recording_names.h"
#include "engines/capture/grabber/time_shift_plan.h"

namespace grabber {
namespace {

StoredQuery Stored(std::vector<int> channels, int failFrom = kBandChannels) {
  return [channels, failFrom](int c) -> std::optional<bool> {
    if (c >= failFrom) return std::nullopt;
    return std::find(channels.begin(), channels.end(), c) != channels.end();
  };
}

TEST(ChannelStepping, WholeBand) {
  struct Case {
    int current;
    int steps;
    int start;
    std::vector<int> stored;
    int expected;
  };
  const Case cases[] = {
      {499, 1, 499, {0, 10}, 0},       // forward from 499 tries 0 next
      {0, -1, 0, {10, 499}, 499},      // and backward from 0 tries 499
      {5, 2, 5, {7, 9, 11}, 9},        // counts only stored channels
      {9, 1, 5, {}, 5},                // the start channel counts too
      {5, 1, 5, {}, 5},                // nothing else: a whole turn back to it
      {7, 1, 300, {}, 300},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StepBand(c.current, c.steps, c.start, Stored(c.stored)), c.expected)
        << c.current << " " << c.steps;
  }
  // A failing query stops the walk at the last channel counted.
  EXPECT_EQ(StepBand(5, 3, -1, Stored({6, 8, 300}, 100)), 8);
  // No channel to count anywhere: the walk ends instead of spinning.
  EXPECT_EQ(StepBand(5, 4, -1, Stored({})), 5);
}

TEST(ChannelStepping, List) {
  const std::vector<unsigned> list{5, 7, 9};
  EXPECT_EQ(StepList(list, 5, 1), 7);
  EXPECT_EQ(StepList(list, 9, 1), 5);
  EXPECT_EQ(StepList(list, 5, -1), 9);
  EXPECT_EQ(StepList(list, 7, 7), 9);
  EXPECT_EQ(StepList(list, 8, 1), 7);  // not in the list: from the first
  EXPECT_EQ(StepList({}, 8, 1), 8);
}

TEST(RecordingNames, ByInputKind) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 4;
  t.tm_mday = 3;
  t.tm_hour = 21;
  t.tm_min = 7;
  EXPECT_EQ(RecordingBaseName(0, "ARD", "May", t), "ARD_May032107");
  EXPECT_EQ(RecordingBaseName(1, "ARD", "May", t), "COMP_03052026_2107");
  EXPECT_EQ(RecordingBaseName(2, "", "", t), "SVID_03052026_2107");
  EXPECT_EQ(RecordingBaseName(3, "", "", t), "WCAM_03052026_2107");
  EXPECT_EQ(RecordingBaseName(9, "", "", t), "03052026_2107");
  EXPECT_EQ(RecordingBaseName(0, "a/b", "Mai", t), "a_b_Mai032107");
}

TEST(RecordingNames, SafeComponent) {
  EXPECT_EQ(SafePathComponent("News 24"), "News 24");
  EXPECT_EQ(SafePathComponent("../x\\y"), ".._x_y");
  EXPECT_EQ(SafePathComponent(""), "_");
  EXPECT_EQ(SafePathComponent(".."), "_");
  EXPECT_EQ(SafePathComponent(std::string("a\nb\0c", 5)), "a_b_c");
  // Long names are cut at 200 bytes, never inside a character.
  std::string longName(199, 'x');
  longName += "\xC3\xA9\xC3\xA9";
  const std::string cut = SafePathComponent(longName);
  EXPECT_EQ(cut.size(), 199u);
}

TEST(RecordingNames, Uniqueness) {
  std::set<std::string> files{"/r/a.0000.mpg", "/r/a(1).0000.mpg", "/r/b.0000.mpg"};
  auto exists = [&](const std::string& p) { return files.count(p) > 0; };
  EXPECT_EQ(UniqueRecordingName("/r", "a", ".0000.mpg", exists), "a(2)");
  EXPECT_EQ(UniqueRecordingName("/r", "c", ".0000.mpg", exists), "c");
  EXPECT_EQ(UniqueNamedRecording("/r", "b", ".0000.mpg", exists), "b(0)");
  EXPECT_EQ(UniqueNamedRecording("/r/", "c", ".0000.avi", exists), "c");
  EXPECT_EQ(JoinPath("C:\\rec\\", "x"), "C:/rec/x");
  EXPECT_EQ(JoinPath("/", "x"), "/x");
}

TEST(TimeShiftPlan, Arithmetic) {
  EncoderBlock block{};
  struct Case {
    int video;
    int audio;
    int minutes;
    long long freeMB;
    bool ok;
    int needed;
    int segmentMB;
    int segments;
  };
  const Case cases[] = {
      {6000000, 224, 5, 10000, true, 351, 467, 20},   // plenty: segments of 10 minutes
      {6000000, 224, 5, 551, true, 351, 117, 3},      // S = N exactly: three segments
      {6000000, 224, 5, 550, false, 351, 0, 0},       // S < N
      {6000000, 224, 30, 10000, true, 1869, 467, 20}, // over 20 minutes: whole tens
      {1000000, 128, 5, 300, true, 64, 33, 3},
      {0, 0, 5, 200, false, 1, 0, 0},                 // S = 0
      {0, 0, 5, 150, false, 1, 0, 0},                 // less than the reserve
      {0, 0, 5, 202, true, 1, 1, 2},                  // tiny: never a segment of 0
  };
  for (const Case& c : cases) {
    block.videoBitRate = c.video;
    block.audioBitRate = c.audio;
    const TimeShiftPlan p = PlanTimeShift(block, c.minutes, c.freeMB);
    EXPECT_EQ(p.ok, c.ok) << c.video << "/" << c.freeMB;
    EXPECT_EQ(p.neededMB, c.needed) << c.video << "/" << c.freeMB;
    if (c.ok) {
      EXPECT_EQ(p.segmentMB, c.segmentMB) << c.video << "/" << c.freeMB;
      EXPECT_EQ(p.segmentCount, c.segments) << c.video << "/" << c.freeMB;
    }
  }
  block.videoBitRate = 0;
  block.audioBitRate = 0;
  EXPECT_EQ(RemainingRecordMinutes(block, 1000), 0.0f);
}

TEST(CountryTable, RowsAndStandards) {
  const auto table = CountryTable();
  ASSERT_EQ(table.size(), 241u);
  std::map<int, int> perStandard;
  for (const auto& row : table) ++perStandard[row.standard];
  EXPECT_EQ(perStandard[kNtscM], 82);
  EXPECT_EQ(perStandard[kPalB], 83);
  struct Telling {
    int index;
    const char* name;
    int code;
    int standard;
  };
  const Telling rows[] = {
      {0, "United States of America", 1, kNtscM}, {22, "ShenZhen", 1886, kPalD}, {23, "Canada", 2, kNtscM},
      {129, "Germany", 49, kPalB},                {195, "Russia", 7, kSecamD},   {202, "Korea (South)", 82, kNtscM},
      {206, "Macau", 853, kPalI},                 {240, "Georgia", 995, kSecamD}, {201, "Japan", 81, kNtscMJ},
      {88, "France", 33, kSecamL},                {145, "Brazil", 55, kPalM},    {144, "Argentina", 54, kPalN},
  };
  for (const Telling& t : rows) {
    const auto& row = table[static_cast<std::size_t>(t.index)];
    EXPECT_STREQ(row.name, t.name);
    EXPECT_EQ(row.code, t.code) << t.name;
    EXPECT_EQ(row.standard, t.standard) << t.name;
  }
  EXPECT_TRUE(IsNtscStandard(kNtscM));
  EXPECT_TRUE(IsNtscStandard(kNtscMJ));
  EXPECT_TRUE(IsNtscStandard(4));
  EXPECT_FALSE(IsNtscStandard(kPalB));
  EXPECT_FALSE(IsNtscStandard(kSecamL));
}

TEST(CountryTable, RowFromLocale) {
  EXPECT_EQ(CountryRowFor({1, "United States"}), 0);
  EXPECT_EQ(CountryRowFor({1, "Jamaica"}), 11);
  EXPECT_EQ(CountryRowFor({2, "Canada"}), 23);
  EXPECT_EQ(CountryRowFor({49, "Deutschland"}), 129);
  EXPECT_EQ(CountryRowFor({7, "Kazakhstan"}), 196);
  EXPECT_EQ(CountryRowFor({41, "Liechtenstein"}), 120);
  EXPECT_EQ(CountryRowFor({420, "Czechia"}), 0);  // no row: the first
  EXPECT_EQ(CountryRowFor({0, ""}), 0);
  // Rows with the code that are not next to each other are not searched.
  EXPECT_EQ(CountryRowFor({39, "Italy"}), 110);
}

TEST(CountryTable, CLocaleGivesNoCountryAndMonthNames) {
  // Only C locales exist here: no country, the C month names.
  const LocaleCountry c = UserLocaleCountry();
  EXPECT_EQ(CountryRowFor(c), 0);
  EXPECT_EQ(UserMonthAbbreviation(5), "May");
  EXPECT_EQ(UserMonthAbbreviation(13), "");
}

TEST(VideoCompressors, TheMpeg4EncoderIsListed) {
  const auto compressors = InstalledVideoCompressors();
  ASSERT_FALSE(compressors.empty());
  EXPECT_EQ(compressors[0].description, kMpeg4CompressorName);
  EXPECT_EQ(compressors[0].description.rfind(u"DivX", 0), 0u);
}

}  // namespace
}  // namespace grabber
