// The TV page's number entry: channel digits ended by the third digit or by
// the timer, preset positions, and teletext page numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lounge/pages/tv/tv_page_digits.h"

namespace {

struct Recorder {
  std::vector<std::string> sent;
  std::vector<std::string> osd;
  bool timer = false;
  bool timerFails = false;
  CTvDigitEntry entry{CTvDigitEntry::Hooks{
      [this](const char* action, std::intptr_t value) {
        sent.push_back(std::string(action) + " " + std::to_string(value));
        return 1;
      },
      [this](const std::string& text) { osd.push_back(text); },
      [this](unsigned id, unsigned ms) {
        if (timerFails || id != 88 || ms != 1500) return false;
        timer = true;
        return true;
      },
      [this](unsigned) { timer = false; },
      [] {},
      [this] { osd.push_back("<name>"); },
  }};
};

TEST(TvDigitEntry, ThreeDigitsSendAtOnceOneDigitWhenTheTimerEnds) {
  Recorder r;
  const CTvDigitEntry::Presets none;
  for (int d : {0, 4, 2}) EXPECT_EQ(r.entry.ChannelDigit(d, none), 1);
  EXPECT_EQ(r.sent, std::vector<std::string>{"TV Set Channel 42"});
  EXPECT_EQ(r.osd, (std::vector<std::string>{"0", "4", "42", "<name>"}));
  EXPECT_FALSE(r.timer);
  EXPECT_EQ(r.entry.count(), 0);

  r.sent.clear();
  EXPECT_EQ(r.entry.ChannelDigit(7, none), 1);
  EXPECT_TRUE(r.sent.empty());
  EXPECT_TRUE(r.timer);
  r.entry.OnTimer(none);
  EXPECT_EQ(r.sent, std::vector<std::string>{"TV Set Channel 7"});
  EXPECT_FALSE(r.timer);
  // A late tick with no entry sends nothing.
  r.entry.OnTimer(none);
  EXPECT_EQ(r.sent.size(), 1u);
}

TEST(TvDigitEntry, PresetPositions) {
  CTvDigitEntry::Presets presets{true, {5, 7, 21}};
  struct Case {
    std::vector<int> digits;
    std::vector<std::string> sent;
  } cases[] = {
      {{2}, {"TV Set Channel 7"}},
      {{0}, {}},            // position 0 is no preset
      {{4}, {}},            // above the preset count
      {{0, 0, 3}, {"TV Set Channel 21"}},
  };
  for (const auto& c : cases) {
    Recorder r;
    for (int d : c.digits) r.entry.ChannelDigit(d, presets);
    if (r.entry.count() > 0) r.entry.OnTimer(presets);
    EXPECT_EQ(r.sent, c.sent) << c.digits.size();
  }
}

TEST(TvDigitEntry, WithoutATimerTheFirstDigitIsDropped) {
  Recorder r;
  r.timerFails = true;
  EXPECT_EQ(r.entry.ChannelDigit(3, {}), 0);
  EXPECT_EQ(r.entry.count(), 0);
  EXPECT_TRUE(r.osd.empty());
}

TEST(TvDigitEntry, TeletextPages) {
  Recorder r;
  for (int d : {0, 9, 1, 0, 0}) EXPECT_EQ(r.entry.TeletextDigit(d), 1);  // a first 0 or 9 is ignored
  EXPECT_EQ(r.sent, std::vector<std::string>{"TV Set Page 100"});
  // A fourth digit starts a new number.
  for (int d : {2, 3}) r.entry.TeletextDigit(d);
  EXPECT_EQ(r.entry.value(), 23);
  r.entry.TeletextDigit(4);
  EXPECT_EQ(r.sent.back(), "TV Set Page 234");
  EXPECT_FALSE(r.timer);  // teletext entry runs without the timer
}

}  // namespace
