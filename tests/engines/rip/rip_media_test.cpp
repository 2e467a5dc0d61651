// Media files with pictures as rip sources: MPEG program streams of each
// kind (the splitter chosen by sniffing), a Video CD .DAT file read sector by
// sector, a file with video and sound, and one with video alone.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/engines/rip/ripper_client.h"

// After the platform's headers: GLib defines TRUE and FALSE as macros.
#include <glib.h>

namespace rip_test {
namespace {

using plat::S_OK;

class RipMediaTest : public ::testing::Test {
 protected:
  ServerEnvironment environment_;
  TempDir dir_;
};

TEST_F(RipMediaTest, TheSoundOfEachMediaFileIsRipped) {
  const std::string dat = dir_ / "avseq01.dat";
  WriteVideoCdDat(dat);
  struct Case {
    std::string source;
    Kind kind;
    const char* output;
  };
  const Case cases[] = {
      {MediaFixture("vcd.mpg"), Kind::Mp3, "vcd.mp3"},
      {MediaFixture("dvd.mpg"), Kind::Wma, "dvd.wma"},
      {MediaFixture("mpeg1.mpg"), Kind::Mp3, "mpeg1.wav"},
      {MediaFixture("av.mkv"), Kind::Wma, "av.wma"},
      {MediaFixture("av.mkv"), Kind::Mp3, "av.wav"},
      {dat, Kind::Mp3, "dat.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    // The sound as a plain decoder hears it in the source (the .DAT file
    // through its MPEG original).
    const Decoded source = Decode(c.source == dat ? MediaFixture("vcd.mpg") : c.source);
    ASSERT_TRUE(source.ok);
    RipperClient ripper(c.kind);
    RecordingSink sink;
    const std::string output = dir_ / c.output;
    const RipOutcome outcome = RipToEnd(ripper, sink, c.source, output);
    ASSERT_EQ(outcome.open, S_OK);
    ASSERT_EQ(outcome.build, S_OK);
    ASSERT_TRUE(outcome.ended);
    EXPECT_EQ(sink.log, std::vector<std::string>{"finished"});
    const Decoded ripped = Decode(output);
    ASSERT_TRUE(ripped.ok);
    EXPECT_NEAR(ripped.seconds(), source.seconds(), 0.08);
    EXPECT_TRUE(ToneDominant(ripped.samples, 1000));
  }
}

TEST_F(RipMediaTest, AFileWithoutSoundIsRefused) {
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    ASSERT_EQ(ripper.Initialize(), S_OK);
    EXPECT_EQ(ripper.OpenSource(MediaFixture("video.mkv")), plat::E_FAIL);
    EXPECT_EQ(ripper.BuildRipGraph(dir_ / "none.wav"), plat::E_FAIL);
    // A new source replaces the refused one completely.
    EXPECT_EQ(ripper.OpenSource(MediaFixture("av.mkv")), S_OK);
    ripper.Uninitialize();
  }
}

// GStreamer's complaints while it lives (a reference released once too
// often, a bad argument): printed as usual, and counted.
class GstComplaints {
 public:
  GstComplaints() { g_log_set_default_handler(&Count, this); }
  ~GstComplaints() { g_log_set_default_handler(g_log_default_handler, nullptr); }
  GstComplaints(const GstComplaints&) = delete;
  GstComplaints& operator=(const GstComplaints&) = delete;
  int count() const { return count_; }

 private:
  static void Count(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer self) {
    if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) ++static_cast<GstComplaints*>(self)->count_;
    g_log_default_handler(domain, level, message, nullptr);
  }
  std::atomic<int> count_{0};
};

// A graph opened and built, then dropped before it ever runs (the picker
// changing its mind): the set-up and the teardown leave GStreamer nothing to
// complain about.
TEST_F(RipMediaTest, AGraphBuiltAndDroppedUnplayedIsTornDownCleanly) {
  const std::string tone = dir_ / "tone.wav";
  WriteWav(tone, StereoTone(10.0, 440));
  GstComplaints complaints;
  for (Kind kind : {Kind::Mp3, Kind::Wma}) {
    for (const char* output : {"built.mp3", "built.wav", "built.wma"}) {
      if ((kind == Kind::Wma) != (std::string(output).ends_with(".wma"))) continue;
      SCOPED_TRACE(output);
      for (int round = 0; round < 3; ++round) {
        RipperClient ripper(kind);
        ASSERT_EQ(ripper.Initialize(), S_OK);
        ASSERT_EQ(ripper.OpenSource(tone), S_OK);
        ASSERT_EQ(ripper.BuildRipGraph(dir_ / output), S_OK);
        ripper.Uninitialize();
      }
    }
  }
  EXPECT_EQ(complaints.count(), 0);
}

}  // namespace
}  // namespace rip_test
