// RDS end to end without a device: our group encoder into the decoder
// (libv4l2rds for name, text and type; our own 4A reading) and the event
// handler; the clock arithmetic on a table; blocks flagged as errors.
#include <gtest/gtest.h>
#include <linux/videodev2.h>

#include <vector>

#include "platform/media/radio/rds_decoder.h"
#include "platform/media/radio/rds_encoder.h"
#include "platform/media/radio/rds_events.h"

namespace plat::radio {
namespace {

struct Recorder final : IRdsListener {
  std::vector<std::string> texts, names, types, clocks;
  void OnRadioText(const std::string& t) override { texts.push_back(t); }
  void OnStationName(const std::string& n) override { names.push_back(n); }
  void OnProgramType(const std::string& n) override { types.push_back(n); }
  void OnClockTime(const std::string& t) override { clocks.push_back(t); }
};

// Feeds `groups` groups of the encoder through decoder and handler.
int Feed(RdsEncoder& encoder, RdsDecoder& decoder, Recorder& out, int groups, const RdsUtcTime& time,
         bool stopAtName = false) {
  for (int g = 0; g < groups; ++g) {
    for (const RdsBlock& block : encoder.NextGroup(time)) {
      for (const RdsEvent& event : decoder.Add(block)) HandleRdsEvent(event, out);
    }
    if (stopAtName && !out.names.empty()) return g + 1;
  }
  return groups;
}

const RdsUtcTime kNoon{2024, 2, 28, 12, 0, 2};

TEST(RdsTest, NameTextAndTypeThroughTheDecoder) {
  RdsEncoder encoder({0xC201, "MARIVEL", "Evening jazz until midnight", 10});
  RdsDecoder decoder;
  Recorder out;
  const int groups = Feed(encoder, decoder, out, 200, kNoon, true);
  ASSERT_EQ(out.names.size(), 1u);
  EXPECT_EQ(out.names[0], "MARIVEL ");
  // At 11.4 groups a second the name must be there within 1.5 s.
  EXPECT_LE(groups, 17) << "groups before the name";
  Feed(encoder, decoder, out, 60, kNoon);
  ASSERT_FALSE(out.texts.empty());
  EXPECT_EQ(out.texts.back(), "Evening jazz until midnight");
  ASSERT_FALSE(out.types.empty());
  EXPECT_EQ(out.types.back(), "Pop_M");
  ASSERT_EQ(out.clocks.size(), 1u) << "one 4A a minute";
  EXPECT_EQ(out.clocks[0], "28.2.24 13:00");
}

TEST(RdsTest, ResetForgetsTheStation) {
  RdsEncoder first({0x1111, "FIRST", "", 1});
  RdsDecoder decoder;
  Recorder out;
  Feed(first, decoder, out, 40, kNoon);
  ASSERT_EQ(out.names.size(), 1u);
  decoder.Reset();
  RdsEncoder second({0x2222, "SECOND", "", 24});
  Feed(second, decoder, out, 40, kNoon);
  ASSERT_EQ(out.names.size(), 2u);
  EXPECT_EQ(out.names[1], "SECOND  ");
  EXPECT_EQ(out.types.back(), "Jazz");
}

TEST(RdsTest, ErrorBlocksAreDropped) {
  RdsStation station{0xC201, "MARIVEL", "", 3};
  RdsDecoder decoder;
  Recorder out;
  // Every 4A and name group arrives with its block D flagged bad.
  for (int round = 0; round < 10; ++round) {
    for (int segment = 0; segment < 4; ++segment) {
      auto group = RdsEncoder::Group0A(station, segment);
      group[3].block |= V4L2_RDS_BLOCK_ERROR;
      for (const auto& block : group) {
        for (const auto& event : decoder.Add(block)) HandleRdsEvent(event, out);
      }
    }
    auto clock = RdsEncoder::Group4A(station, kNoon);
    clock[3].block |= V4L2_RDS_BLOCK_ERROR;
    for (const auto& block : clock) {
      for (const auto& event : decoder.Add(block)) HandleRdsEvent(event, out);
    }
  }
  EXPECT_TRUE(out.names.empty());
  EXPECT_TRUE(out.clocks.empty());
}

TEST(RdsTest, ClockGroupRoundTrip) {
  const RdsUtcTime times[] = {{2024, 12, 31, 23, 59, -2}, {1999, 1, 1, 0, 0, 0}, {2031, 7, 15, 16, 45, 19}};
  for (const auto& t : times) {
    RdsDecoder decoder;
    std::vector<RdsEvent> events;
    for (const auto& block : RdsEncoder::Group4A(RdsStation{0x1234, "X", "", 0}, t)) {
      for (auto& e : decoder.Add(block)) {
        if (e.kind == kRdsClockTime) events.push_back(e);
      }
    }
    ASSERT_EQ(events.size(), 1u) << t.year;
    const RdsClockRecord& r = events[0].clock;
    EXPECT_EQ(r.day, t.day);
    EXPECT_EQ(r.month, t.month);
    EXPECT_EQ(r.year, t.year % 100);
    EXPECT_EQ(r.hour, t.hour);
    EXPECT_EQ(r.minute, t.minute);
    EXPECT_EQ(r.offset, t.offsetHalfHours < 0 ? 32 - t.offsetHalfHours : t.offsetHalfHours);
  }
}

TEST(RdsClockTest, LocalTimeTable) {
  const struct {
    RdsClockRecord utc;
    const char* local;  // nullptr: refused
  } cases[] = {
      {{10, 5, 24, 23, 45, 1}, "11.5.24 0:15"},
      {{28, 2, 24, 23, 0, 2}, "29.2.24 0:00"},
      {{28, 2, 23, 23, 0, 2}, "1.3.23 0:00"},
      {{31, 12, 24, 23, 30, 2}, "1.1.25 0:30"},
      {{31, 12, 99, 23, 30, 2}, "1.1.00 0:30"},
      {{1, 3, 24, 0, 15, 33}, "29.2.24 23:45"},
      {{1, 1, 25, 0, 0, 34}, "31.12.24 23:00"},
      {{5, 6, 24, 12, 0, 32}, "5.6.24 12:00"},
      {{5, 6, 24, 12, 0, 0}, "5.6.24 12:00"},
      {{0, 6, 24, 12, 0, 0}, nullptr},
      {{5, 0, 24, 12, 0, 0}, nullptr},
      {{32, 1, 24, 12, 0, 0}, nullptr},
      {{5, 13, 24, 12, 0, 0}, nullptr},
      {{5, 6, 100, 12, 0, 0}, nullptr},
      {{5, 6, 24, 24, 0, 0}, nullptr},
      {{5, 6, 24, 12, 61, 0}, nullptr},
  };
  for (const auto& c : cases) {
    Recorder out;
    RdsEvent event;
    event.kind = kRdsClockTime;
    event.clock = c.utc;
    const bool handled = HandleRdsEvent(event, out);
    if (c.local) {
      EXPECT_TRUE(handled);
      ASSERT_EQ(out.clocks.size(), 1u) << c.local;
      EXPECT_EQ(out.clocks[0], c.local);
    } else {
      EXPECT_FALSE(handled) << c.utc.day << "." << c.utc.month;
      EXPECT_TRUE(out.clocks.empty());
    }
  }
}

TEST(RdsEventTest, ProgrammeTypesAndKinds) {
  EXPECT_STREQ(ProgramTypeName(0), "-");
  EXPECT_STREQ(ProgramTypeName(10), "Pop_M");
  EXPECT_STREQ(ProgramTypeName(31), "Alarm!");
  EXPECT_STREQ(ProgramTypeName(40), "-");
  EXPECT_STREQ(ProgramTypeName(-1), "-");
  Recorder out;
  EXPECT_TRUE(HandleRdsEvent({kRdsIgnored, "", {}, 0}, out));
  EXPECT_FALSE(HandleRdsEvent({7, "", {}, 0}, out));
  EXPECT_TRUE(HandleRdsEvent({kRdsStationNameAlt, "ALT", {}, 0}, out));
  EXPECT_TRUE(HandleRdsEvent({kRdsRadioTextAlt, "text", {}, 0}, out));
  EXPECT_EQ(out.names, std::vector<std::string>{"ALT"});
  EXPECT_EQ(out.texts, std::vector<std::string>{"text"});
}

}  // namespace
}  // namespace plat::radio
