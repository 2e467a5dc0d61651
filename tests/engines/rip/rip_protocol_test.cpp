// The reports a running rip sends its sink, on the injectable clock: the 3 s
// progress timer runs on the platform clock (advanced by the test) while the
// rip itself goes at the pace of GStreamer's clock (MARIVEL_RIP_PACE=clock),
// so a report always finds the rip under way. Also Stop halfway through,
// which must leave a finished, decodable file, and a write failure mid-rip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/sys/clock.h"
#include "tests/engines/rip/ripper_client.h"

namespace rip_test {
namespace {

using plat::S_OK;

constexpr double kToneSeconds = 6.0;

class RipProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("MARIVEL_RIP_PACE", "clock", 1);
    clock_ = std::make_shared<plat::ManualClock>();
    plat::SetClock(clock_);
    WriteWav(source(), StereoTone(kToneSeconds, 440));
  }
  void TearDown() override {
    plat::SetClock(nullptr);
    ::unsetenv("MARIVEL_RIP_PACE");
  }
  std::string source() const { return dir_ / "tone.wav"; }

  // Opens, builds and runs; the rip then goes on in real time.
  void Start(RipperClient& ripper, RecordingSink& sink, const std::string& output) {
    ASSERT_EQ(ripper.created(), S_OK);
    ASSERT_EQ(ripper.Initialize(), S_OK);
    ASSERT_EQ(ripper.SetEventSink(&sink), S_OK);
    ASSERT_EQ(ripper.OpenSource(source()), S_OK);
    ASSERT_EQ(ripper.BuildRipGraph(output), S_OK);
    ASSERT_EQ(ripper.Run(), S_OK);
  }
  // One progress period on the platform clock.
  void NextPeriod() {
    clock_->advance(3000);
    PumpFor(150);
  }
  // Pumps until the rip has gone past `position` (100 ns units), with a
  // generous bound: the rip runs at its own pace, slower on a loaded machine.
  static bool PumpPast(RipperClient& ripper, std::int64_t position) {
    return PumpUntil(
        [&] {
          std::int64_t now = 0;
          return ripper.GetPosition(&now) == S_OK && now > position;
        },
        30000);
  }
  // Pumps until `sink` has heard `count` reports, with a generous bound.
  static bool PumpReports(const RecordingSink& sink, std::size_t count) {
    return PumpUntil([&] { return sink.log.size() >= count; }, 20000);
  }

  ServerEnvironment environment_;
  TempDir dir_;
  std::shared_ptr<plat::ManualClock> clock_;
};

TEST_F(RipProtocolTest, TheSinksAnswerToAReportDecidesTheEnd) {
  struct Case {
    Kind kind;
    int answer;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {Kind::Wma, 1, {"progress"}},
      {Kind::Wma, 0, {"progress", "finished"}},
      {Kind::Mp3, 1, {"progress"}},
      {Kind::Mp3, 0, {"progress", "aborted"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(KindName(c.kind)) + " answering " + std::to_string(c.answer));
    RipperClient ripper(c.kind);
    RecordingSink sink;
    sink.answer = c.answer;
    Start(ripper, sink, dir_ / (c.kind == Kind::Wma ? "o.wma" : "o.mp3"));
    EXPECT_TRUE(PumpPast(ripper, static_cast<std::int64_t>(kToneSeconds * 0.1 * 1e7)));
    EXPECT_TRUE(sink.log.empty());  // no report before the period is over
    NextPeriod();
    PumpReports(sink, c.expected.size());
    EXPECT_EQ(sink.log, c.expected);
    ASSERT_EQ(sink.fractions.size(), 1u);
    EXPECT_GT(sink.fractions[0], 0.05f);
    EXPECT_LT(sink.fractions[0], 0.6f);
    ripper.Stop();
    ripper.Uninitialize();
  }
}

TEST_F(RipProtocolTest, PauseStopsTheReportsAndRunRestartsThem) {
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    RecordingSink sink;
    Start(ripper, sink, dir_ / (kind == Kind::Wma ? "p.wma" : "p.wav"));
    PumpFor(300);
    ASSERT_EQ(ripper.Pause(), S_OK);
    NextPeriod();
    NextPeriod();
    EXPECT_TRUE(sink.log.empty());
    ASSERT_EQ(ripper.Run(), S_OK);
    clock_->advance(2000);
    PumpFor(100);
    EXPECT_TRUE(sink.log.empty());  // a new full period starts at Run
    clock_->advance(1000);
    PumpReports(sink, 1);
    EXPECT_EQ(sink.log, std::vector<std::string>{"progress"});
    ripper.Stop();
    ripper.Uninitialize();
  }
}

TEST_F(RipProtocolTest, StopHalfwayLeavesAFinishedFileOfThePositionReached) {
  struct Case {
    Kind kind;
    const char* output;
  };
  for (const Case& c : {Case{Kind::Mp3, "cut.wav"}, Case{Kind::Mp3, "cut.mp3"}, Case{Kind::Wma, "cut.wma"}}) {
    SCOPED_TRACE(c.output);
    RipperClient ripper(c.kind);
    RecordingSink sink;
    const std::string output = dir_ / c.output;
    Start(ripper, sink, output);
    EXPECT_TRUE(PumpPast(ripper, 5'000'000));
    ASSERT_EQ(ripper.Stop(), S_OK);
    std::int64_t position = 0;
    ASSERT_EQ(ripper.GetPosition(&position), S_OK);
    std::int64_t duration = 0;
    ripper.GetDuration(&duration);
    EXPECT_GT(position, 5'000'000);
    EXPECT_LT(position, duration);
    PumpFor(100);
    EXPECT_TRUE(sink.log.empty());  // a stop is neither an end nor an abort
    ripper.Uninitialize();
    const Decoded decoded = Decode(output);
    ASSERT_TRUE(decoded.ok);
    EXPECT_NEAR(decoded.seconds(), static_cast<double>(position) / 1e7, 0.08);
    EXPECT_TRUE(ToneDominant(decoded.samples, 440));
  }
}

TEST_F(RipProtocolTest, StopWhilePausedStillFinishesTheFile) {
  RipperClient ripper(Kind::Mp3);
  RecordingSink sink;
  const std::string output = dir_ / "paused.wav";
  Start(ripper, sink, output);
  EXPECT_TRUE(PumpPast(ripper, 2'000'000));
  ASSERT_EQ(ripper.Pause(), S_OK);
  PumpFor(200);
  ASSERT_EQ(ripper.Stop(), S_OK);
  std::int64_t position = 0;
  ASSERT_EQ(ripper.GetPosition(&position), S_OK);
  ripper.Uninitialize();
  EXPECT_GT(position, 2'000'000);
  const Decoded decoded = Decode(output);
  ASSERT_TRUE(decoded.ok);
  EXPECT_NEAR(decoded.seconds(), static_cast<double>(position) / 1e7, 0.08);
  // The WAV header counts exactly the samples written.
  EXPECT_EQ(WavData(output).size() % 4, 0u);
  EXPECT_NEAR(static_cast<double>(WavData(output).size()) / (kRate * 4), static_cast<double>(position) / 1e7, 0.03);
}

TEST_F(RipProtocolTest, AFailingWriteMidRipIsAnAbort) {
  ::unsetenv("MARIVEL_RIP_PACE");
  // /dev/full opens fine and refuses every write: the disk filling up.
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    RecordingSink sink;
    ::testing::internal::CaptureStderr();
    Start(ripper, sink, kind == Kind::Wma ? "/dev/full" : "/dev/full");
    EXPECT_TRUE(PumpUntil([&] { return sink.Ended(); }, 20000));
    PumpFor(100);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(sink.log, std::vector<std::string>{"aborted"});
    // The log names the cause, once.
    const std::string cause = "no space left on the disk";
    EXPECT_NE(log.find(cause), std::string::npos) << log;
    EXPECT_EQ(log.find(cause), log.rfind(cause)) << log;
    ripper.Stop();
    ripper.Uninitialize();
  }
}

}  // namespace
}  // namespace rip_test
