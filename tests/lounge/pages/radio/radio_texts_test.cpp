// The Radio page's texts: frequencies by band and decimal point, typed
// frequencies, the digit entry with a hand-driven timer, and schedule texts
// at a fixed time.
#include <gtest/gtest.h>

#include <locale.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "lounge/pages/radio/radio_digit_entry.h"
#include "lounge/pages/radio/radio_frequency_text.h"
#include "lounge/pages/radio/radio_programme_type.h"
#include "lounge/pages/radio/radio_locale.h"
#include "lounge/pages/radio/radio_schedule_text.h"

namespace {

using namespace radio_text;

TEST(RadioFrequencyText, ByBandAndDecimalPoint) {
  struct Case {
    int band, value;
    const char* point;
    const char* number;
    const char* withUnit;
  };
  for (const Case& c : {Case{RADIO_BAND_FM, 87500000, ".", "87.50", "87.50 MHz"},
                        Case{RADIO_BAND_FM, 87500000, ",", "87,50", "87,50 MHz"},
                        Case{RADIO_BAND_FM, 98700000, ".", "98.70", "98.70 MHz"},
                        Case{RADIO_BAND_FM, 100750000, ".", "100.75", "100.75 MHz"},
                        Case{RADIO_BAND_FM, 98509999, ".", "98.50", "98.50 MHz"},  // truncated, not rounded
                        Case{RADIO_BAND_AM, 1602000000, ".", "1602", "1602 kHz"},
                        Case{RADIO_BAND_AM, 999000000, ",", "999", "999 kHz"},
                        Case{0, 98700000, ".", "", ""}}) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Number(c.band, c.value, c.point), c.number);
    EXPECT_EQ(WithUnit(c.band, c.value, c.point, "MHz", "kHz"), c.withUnit);
  }
  EXPECT_EQ(FineTune('-', RADIO_BAND_FM, 50000, ".", "MHz", "kHz"), "-0.05MHz");
  EXPECT_EQ(FineTune('+', RADIO_BAND_FM, 50000, ",", "MHz", "kHz"), "+0,05MHz");
  EXPECT_EQ(FineTune('-', RADIO_BAND_AM, 9000000, ".", "MHz", "kHz"), "-9kHz");
  EXPECT_EQ(Scale(RADIO_BAND_FM, 100000, ".", "MHz", "kHz"), "0.10MHz");
  EXPECT_EQ(Scale(RADIO_BAND_AM, 10000000, ".", "MHz", "kHz"), "10kHz");
  EXPECT_EQ(ScheduleFrequency(98500000, ".", "MHz", "kHz"), "FM 98.50 MHz");
  EXPECT_EQ(ScheduleFrequency(999000000, ".", "MHz", "kHz"), "AM 999 kHz");
  EXPECT_EQ(ScheduleFrequency(153000000, ".", "MHz", "kHz"), "AM 153 kHz");
  EXPECT_EQ(ScheduleFrequency(108000000, ".", "MHz", "kHz"), "FM 108.00 MHz");
}

TEST(RadioFrequencyText, TypedDigitsByLengthFirstDigitAndBand) {
  struct Case {
    int band;
    const char* typed;
    std::optional<int> value;
  };
  for (const Case& c : {Case{RADIO_BAND_FM, "9", 90000000}, Case{RADIO_BAND_FM, "1", 100000000},
                        Case{RADIO_BAND_FM, "98", 98000000}, Case{RADIO_BAND_FM, "10", 100000000},
                        Case{RADIO_BAND_FM, "987", 98700000}, Case{RADIO_BAND_FM, "1053", 105300000},
                        Case{RADIO_BAND_FM, "9875", 98750000}, Case{RADIO_BAND_FM, "10535", 105350000},
                        Case{RADIO_BAND_FM, "88000", 88000000}, Case{RADIO_BAND_AM, "999", 999000000},
                        Case{RADIO_BAND_AM, "1602", 1602000000}, Case{RADIO_BAND_AM, "9", 9000000},
                        // Beyond the stored 32-bit range, not digits, too long, empty, no band.
                        Case{RADIO_BAND_AM, "2148", std::nullopt}, Case{RADIO_BAND_AM, "10000", std::nullopt},
                        Case{RADIO_BAND_FM, "9a", std::nullopt}, Case{RADIO_BAND_FM, "-98", std::nullopt},
                        Case{RADIO_BAND_FM, "105350", std::nullopt}, Case{RADIO_BAND_FM, "", std::nullopt},
                        Case{0, "98", std::nullopt}}) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(ParseTyped(c.band, c.typed), c.value);
  }
}

// The digit entry with a timer the test fires by hand.
struct DigitRig {
  std::vector<int> sent;
  std::vector<std::string> osd;
  std::vector<std::string> timer;
  bool timerWorks = true;
  CRadioDigitEntry entry{CRadioDigitEntry::Hooks{
      [this](int f) { return sent.push_back(f), 1; },
      [this](const std::string& t) { osd.push_back(t); },
      [this](unsigned id, unsigned ms) {
        timer.push_back("start " + std::to_string(id) + " " + std::to_string(ms));
        return timerWorks;
      },
      [this](unsigned id) { timer.push_back("kill " + std::to_string(id)); },
  }};
  void Type(const std::string& digits, int band) {
    for (char c : digits) entry.Digit(c - '0', band);
  }
};

TEST(RadioDigitEntry, FifthDigitOrTimerSendsTheFrequency) {
  struct Case {
    const char* typed;
    int band;
    bool timeout;
    std::vector<int> sent;
  };
  for (const Case& c : {Case{"10535", RADIO_BAND_FM, false, {105350000}}, Case{"987", RADIO_BAND_FM, true, {98700000}},
                        Case{"9", RADIO_BAND_FM, true, {90000000}}, Case{"1", RADIO_BAND_FM, true, {100000000}},
                        Case{"999", RADIO_BAND_AM, true, {999000000}},
                        Case{"12345", RADIO_BAND_AM, false, {}},  // 12345 kHz cannot be stored: nothing sent
                        Case{"98", RADIO_BAND_FM, false, {}}}) {
    SCOPED_TRACE(c.typed);
    DigitRig rig;
    rig.Type(c.typed, c.band);
    if (c.timeout) rig.entry.Finish(c.band);
    EXPECT_EQ(rig.sent, c.sent);
    const bool ended = c.timeout || std::string(c.typed).size() == 5;
    EXPECT_EQ(rig.entry.Running(), !ended);
    if (ended) {
      EXPECT_EQ(rig.timer, (std::vector<std::string>{"start 88 1500", "kill 88"}));
      EXPECT_TRUE(rig.entry.text().empty());
    }
  }
  DigitRig rig;
  rig.Type("0987", RADIO_BAND_FM);
  EXPECT_EQ(rig.osd, (std::vector<std::string>{"0", "9", "98", "987"}));
  rig.entry.Finish(RADIO_BAND_FM);
  EXPECT_EQ(rig.sent, std::vector<int>{9870000});  // four digits not starting with "1"
  rig.entry.Finish(RADIO_BAND_FM);                 // nothing typed: nothing happens
  EXPECT_EQ(rig.sent.size(), 1u);
}

TEST(RadioDigitEntry, FailedTimerDropsTheFirstDigit) {
  DigitRig rig;
  rig.timerWorks = false;
  rig.Type("98", RADIO_BAND_FM);
  EXPECT_FALSE(rig.entry.Running());
  EXPECT_TRUE(rig.osd.empty());
  rig.timerWorks = true;
  rig.Type("9", RADIO_BAND_FM);
  rig.entry.Reset();
  EXPECT_EQ(rig.timer.back(), "kill 88");
  EXPECT_EQ(rig.entry.count(), 0);
  EXPECT_EQ(rig.entry.value(), 0);
  EXPECT_TRUE(rig.sent.empty());
}

plat::SYSTEMTIME At(int y, int mo, int d, int h, int mi) {
  plat::SYSTEMTIME t{};
  t.wYear = static_cast<plat::WORD>(y);
  t.wMonth = static_cast<plat::WORD>(mo);
  t.wDay = static_cast<plat::WORD>(d);
  t.wHour = static_cast<plat::WORD>(h);
  t.wMinute = static_cast<plat::WORD>(mi);
  return t;
}

std::string Lookup(const std::string& key) {
  static const std::map<std::string, std::string> kTable{{"EVERYDAY", "Every day"}, {"SPECIFICDAY", "Once"}};
  const auto it = kTable.find(key);
  return it == kTable.end() ? key : it->second;
}

TEST(RadioScheduleText, TimesRepeatAndFileName) {
  const CRadioLocale c("C");
  const plat::SYSTEMTIME now = At(2026, 3, 2, 12, 0);  // a Monday
  CScheduleItem s(SCHEDULE_RADIO);
  s.SetBeginDate(At(2026, 3, 2, 20, 15));
  s.SetDuration(90);
  s.SetRepeatMode(SPECIFICDAY);
  s.SetRecFileName("/home/u/Music/My Radio/Evening.Show.mp3");
  // The real minutes show: 20:15 for 90 minutes ends at 21:45.
  EXPECT_EQ(ScheduleText(s, false, now, c, Lookup), "Mar 02, 1 08:15 PM~09:45 PM, Once");
  EXPECT_EQ(ScheduleText(s, true, now, c, Lookup), "Evening.Show Mar 02, 1 08:15 PM~09:45 PM, Once");
  // Repeat kinds outside 1..11 give an empty repeat text: the row ends ", ".
  for (int mode : {0, 12}) {
    CScheduleItem odd(SCHEDULE_RADIO);
    odd.SetBeginDate(At(2026, 3, 2, 23, 30));
    odd.SetDuration(60);
    odd.SetRepeatMode(mode);
    const std::string text = ScheduleText(odd, false, now, c, Lookup);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), ", ") << text;
  }
  // A repeating schedule: the next start, across midnight for the end.
  CScheduleItem daily(SCHEDULE_RADIO);
  daily.SetBeginDate(At(2026, 1, 1, 23, 30));
  daily.SetDuration(60);
  daily.SetRepeatMode(EVERYDAY);
  EXPECT_EQ(ScheduleText(daily, false, now, c, Lookup), "Mar 02, 1 11:30 PM~12:30 AM, Every day");

  EXPECT_EQ(RecordFileTitle("C:\\Radio\\Show_0012.mp3"), "Show_0012");
  EXPECT_EQ(RecordFileTitle("Show"), "Show");
  EXPECT_EQ(RepeatKey(9), "MONDAYTOFRIDAY");
  EXPECT_EQ(RepeatKey(0), "");
}

TEST(RadioLocale, NamesComeFromTheLocaleObjectWithoutTouchingTheProcess) {
  const std::string before = setlocale(LC_ALL, nullptr);
  const CRadioLocale c("C");
  EXPECT_EQ(c.DecimalPoint(), ".");
  EXPECT_EQ(c.FormatTime("%b %p", At(2026, 12, 24, 18, 0)), "Dec PM");
  EXPECT_EQ(c.FormatTime("%b", plat::SYSTEMTIME{}), "");  // not a date
  const CRadioLocale unknown("xx_NOWHERE.none");
  EXPECT_EQ(unknown.DecimalPoint(), ".");
  EXPECT_EQ(unknown.FormatTime("%b", At(2026, 1, 5, 9, 0)), "Jan");
  locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  if (german != static_cast<locale_t>(0)) {
    freelocale(german);
    const CRadioLocale de("de_DE.UTF-8");
    EXPECT_EQ(de.DecimalPoint(), ",");
    EXPECT_EQ(de.FormatTime("%b", At(2026, 3, 2, 9, 0)), "Mär");
  }
  EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
}

}  // namespace

TEST(RadioProgrammeType, TheShortLabelBecomesItsName) {
  const struct {
    const char* label;
    const char* name;
  } cases[] = {{"Pop_M", "Pop music"}, {"Affairs", "Current affairs"}, {"News", "News"},
               {"Alarm!", "Alarm"},    {"-", ""},                        {"Unknown", "Unknown"}};
  for (const auto& c : cases) EXPECT_EQ(radio_text::ProgrammeTypeName(c.label), c.name) << c.label;
}
