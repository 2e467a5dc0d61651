// Recorder events: each code reaches its sink operation, on the engine's
// thread, and moves the state where it should.
#include "tests/engines/capture/grabber/grabber_fixture.h"

namespace grabtest {
namespace {

using Calls = std::vector<std::string>;

TEST_F(GrabberFixture, EachRecorderEventReachesItsSinkOperation) {
  struct Case {
    const char* what;
    std::function<void(CGrabber&)> enter;  // from preview
    int code;
    int a;
    int b;
    Calls sinkCalls;
    int state;
  };
  const std::vector<Case> cases = {
      {"finalised while recording", [](CGrabber& g) { g.Record(1); }, 0x20000, 0, 0, {"OnRecordingEnded()"},
       grabstate::kIdle},
      {"finalised while watching", [](CGrabber& g) { g.Record(1), g.WatchWhileRecording(1); }, 0x20000, 0, 0,
       {"OnRecordingEnded()"}, grabstate::kIdle},
      {"finalised in preview", nullptr, 0x20000, 0, 0, {}, grabstate::kPreview},
      {"disk nearly full", nullptr, 23, 0, 0, {"OnDiskFull()"}, grabstate::kPreview},
      {"tuned", nullptr, 101, 7, 60, {"OnTuning(7,60,1)"}, grabstate::kPreview},
      {"search finished", [](CGrabber& g) { g.AutoScan(1); }, 102, 0, 0, {"OnSearchFinished()"},
       grabstate::kSourceRunning},
      {"tuning notice", nullptr, 103, 4, 9, {"OnTuning(4,9,0)"}, grabstate::kPreview},
      {"search percent", [](CGrabber& g) { g.AutoScan(1); }, 104, 42, 0, {"OnSearchPercent(42)"},
       grabstate::kAutoScan},
      {"recorder notice", nullptr, 105, 3, 4, {"OnRecorderNotice(3,4)"}, grabstate::kPreview},
      {"picture", nullptr, 1047, 0, 0, {"OnPictureReady(1047)"}, grabstate::kPreview},
      {"signal lost", nullptr, 19, 0, 0, {"OnSignalLost()"}, grabstate::kPreview},
      {"device lost", nullptr, 20, 0, 0, {"OnDeviceLost()"}, grabstate::kPreview},
      {"disc notice 1", nullptr, 26, 1, 0, {"OnDiscNotice(1)"}, grabstate::kPreview},
      {"disc notice 2", nullptr, 26, 2, 0, {"OnDiscNotice(2)"}, grabstate::kIdle},
      {"source reopened", nullptr, 570928, 0, 0, {"OnSourceReopened()"}, grabstate::kSourceRunning},
      {"source notice", nullptr, 570929, 5, 0, {"OnSourceNotice(5)"}, grabstate::kPreview},
      {"source error", nullptr, 32770, 13, 0, {"OnSourceError(13)"}, grabstate::kPreview},
      {"source restarted", nullptr, 32771, 0, 0, {"OnSourceRestarted()"}, grabstate::kSourceRunning},
      {"replay at live", nullptr, 32769, 0, 0, {"OnReplayAtLive()"}, grabstate::kSourceRunning},
      {"disc ready", nullptr, 17, 0, 0, {}, grabstate::kPreview},
      {"unknown", nullptr, 4711, 0, 0, {}, grabstate::kPreview},
  };
  for (const Case& c : cases) {
    CGrabber& g = Previewing();
    if (c.enter) c.enter(g);
    sink.calls.clear();
    sink.threads.clear();
    recorder->calls.clear();
    // Events come from a streaming thread; the sink hears them here.
    std::thread([&] { EXPECT_EQ(recorder->Fire(c.code, c.a, c.b), 1); }).join();
    EXPECT_TRUE(sink.calls.empty()) << c.what;
    Pump();
    EXPECT_EQ(sink.calls, c.sinkCalls) << c.what;
    EXPECT_EQ(g.state(), c.state) << c.what;
    for (const auto& id : sink.threads) EXPECT_EQ(id, std::this_thread::get_id()) << c.what;
    if (c.code == 26) {
      EXPECT_TRUE(recorder->Called("AcknowledgeDisc(" + std::to_string(c.a) + ")"));
    }
    if (c.code == 32769) {
      EXPECT_TRUE(recorder->Called("SetSourceRate(0,1)"));
    }
  }
}

TEST_F(GrabberFixture, EventsOfOtherSourcesAreLeftAlone) {
  CGrabber& g = Previewing();
  EXPECT_EQ(recorder->Fire(19, 0, 0, nullptr, "OtherSource"), 1);
  Pump();
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(g.state(), grabstate::kPreview);
}

TEST_F(GrabberFixture, SearchFinishedTunesTheFirstStoredChannel) {
  recorder->SetStation(2, "Two");
  CGrabber& g = Previewing();
  ASSERT_EQ(g.AutoScan(1), S_OK);
  recorder->calls.clear();
  recorder->Fire(102);
  Pump();
  EXPECT_TRUE(recorder->Called("Tune(2)"));
  EXPECT_EQ(g.current_channel(), 2);
}

TEST_F(GrabberFixture, ChannelsFoundBySearchAreNamed) {
  CGrabber& g = Previewing();
  ASSERT_EQ(g.AutoScan(1), S_OK);
  // The PAL family asks the recorder for the station's name three times.
  recorder->Fire(101, 33, 70);
  Pump();
  EXPECT_EQ(sleeps, (std::vector<int>{1000, 1000, 2000}));
  EXPECT_EQ(recorder->Count("GetFoundChannelName(33)"), 3);
  EXPECT_TRUE(recorder->Called("SetChannelValue(1,33,70)"));
  EXPECT_EQ(sink.calls, Calls{"OnTuning(33,70,1)"});

  sleeps.clear();
  recorder->foundName = "Channel Z";
  recorder->Fire(101, 34, 70);
  Pump();
  EXPECT_EQ(sleeps, (std::vector<int>{1000}));
}

TEST_F(GrabberFixture, TuningEventsKeepTheTvAudioMode) {
  CGrabber& g = Previewing();
  recorder->tvAudio = 5;
  recorder->Fire(101, 7, 0);
  Pump();
  EXPECT_EQ(g.GetTvAudioMode(), 3);
  recorder->Fire(103, 1, 2);
  Pump();
  EXPECT_EQ(g.GetTvAudioMode(), -1);  // unknown again (11)
}

TEST_F(GrabberFixture, ProgressCallbackAndTeletextNotices) {
  CGrabber& g = Previewing();
  ASSERT_EQ(g.EnableBurnProgress(1), S_OK);
  ASSERT_NE(recorder->progress, nullptr);
  std::thread([&] {
    recorder->progress->OnRecorderProgress(0, 55);
    recorder->progress->OnRecorderProgress(1, 0);
  }).join();
  Pump();
  EXPECT_EQ(sink.calls, (Calls{"OnProgressValue(55)", "OnProgressEnd()"}));
  ASSERT_EQ(g.EnableBurnProgress(0), S_OK);
  EXPECT_EQ(recorder->progress, nullptr);

  sink.calls.clear();
  g.SetTeletextPage(150);
  g.NextTeletextPage();
  g.PrevTeletextSubPage();
  g.TeletextKeyRed();
  EXPECT_EQ(sink.calls, (Calls{"OnTeletextPageChanged()", "OnTeletextPageChanged()", "OnTeletextPageChanged()"}));
  EXPECT_EQ(g.GetTeletextPage(), 100);
}

TEST_F(GrabberFixture, EventsQueuedAtReleaseAreDropped) {
  CGrabber& g = Previewing();
  (void)g;
  recorder->Fire(19);
  engine.Reset();
  Pump();
  EXPECT_TRUE(sink.calls.empty());
}

}  // namespace
}  // namespace grabtest
