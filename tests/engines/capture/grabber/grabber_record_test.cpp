// Recording, names, time shift and free space on a scripted recorder.
#include <fstream>

#include "tests/engines/capture/grabber/grabber_fixture.h"

namespace grabtest {
namespace {

using Calls = std::vector<std::string>;

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

TEST_F(GrabberFixture, RecordNeedsMoreThanFiftyMegabytesFree) {
  CGrabber& g = Previewing();
  freeMB = 50;
  EXPECT_EQ(g.Record(1), E_FAIL);
  EXPECT_EQ(sink.calls, Calls{"OnDiskFull()"});
  EXPECT_EQ(recorder->Count("StartRecording("), 0);
  EXPECT_EQ(g.state(), grabstate::kPreview);

  freeMB = 51;
  ASSERT_EQ(g.Record(1), S_OK);
  EXPECT_EQ(g.state(), grabstate::kRecording);
  EXPECT_FALSE(g.named_recording());
  ASSERT_EQ(recorder->startedBlocks.size(), 1u);
  const EncoderBlock& b = recorder->startedBlocks[0];
  // The processor's bits go in, the two per-start fields are cleared.
  EXPECT_EQ(b.capabilities, 1 | 2 | 16);
  EXPECT_EQ(b.field368, 0);
  EXPECT_EQ(b.field388, 0);
  EXPECT_EQ(b.videoBitRate, 6000000);
  EXPECT_EQ(recorder->Only({"Preview", "SetFrameSize", "StartRecording"}).front(), "Preview(0)");
  EXPECT_TRUE(recorder->Called("SetFrameSize(720,576)"));
  // A second start while recording would tear the file.
  EXPECT_EQ(g.Record(1), E_FAIL);
  EXPECT_EQ(recorder->Count("StartRecording("), 1);
}

TEST_F(GrabberFixture, FailedRecordingStartRestoresPreviewAndSize) {
  CGrabber& g = Previewing();
  recorder->results["StartRecording"] = E_FAIL;
  EXPECT_EQ(g.Record(1), E_FAIL);
  EXPECT_EQ(g.state(), grabstate::kPreview);
  const Calls tail = recorder->Only({"SetVideoSize", "Preview"});
  EXPECT_EQ(Calls(tail.end() - 2, tail.end()), (Calls{"SetVideoSize(640,480)", "Preview(1)"}));
}

TEST_F(GrabberFixture, RecordingNamesByInput) {
  struct Case {
    int input;
    const char* expected;
  };
  const Case cases[] = {
      {0, "Station Five_May032107.0000.mpg"}, {1, "COMP_03052026_2107.0000.mpg"},
      {2, "SVID_03052026_2107.0000.mpg"},     {3, "WCAM_03052026_2107.0000.mpg"},
      {4, "03052026_2107.0000.mpg"},
  };
  for (const Case& c : cases) {
    CGrabber& g = Previewing();
    ASSERT_EQ(g.SetVideoInput(c.input), S_OK);
    recorder->startedFiles.clear();
    ASSERT_EQ(g.Record(1), S_OK) << c.input;
    ASSERT_EQ(recorder->startedFiles.size(), 1u);
    EXPECT_EQ(recorder->startedFiles[0], out + "/" + c.expected) << c.input;
    if (c.input == 3) {
      EXPECT_TRUE(recorder->Called("SetFrameSize(640,480)"));
    }
  }
}

TEST_F(GrabberFixture, RecordingNamesAreUniqueAndSafe) {
  recorder->SetStation(5, "../News/24");
  CGrabber& g = Previewing();
  std::filesystem::create_directories(out);
  Touch(out + "/.._News_24_May032107.0000.mpg");
  Touch(out + "/.._News_24_May032107(1).0000.mpg");
  ASSERT_EQ(g.Record(1), S_OK);
  EXPECT_EQ(recorder->startedFiles.back(), out + "/.._News_24_May032107(2).0000.mpg");
}

TEST_F(GrabberFixture, RecordNamedCountsFromZero) {
  CGrabber& g = Previewing();
  std::filesystem::create_directories(out);
  RecordNameBlock named{};
  std::snprintf(named.profileName, sizeof named.profileName, "VCD");
  std::snprintf(named.fileName, sizeof named.fileName, "Show");
  named.audioValue = 7;
  named.startValue = 42;

  ASSERT_EQ(g.RecordNamed(named), S_OK);
  EXPECT_EQ(recorder->startedFiles.back(), out + "/Show.0000.mpg");
  EXPECT_TRUE(g.named_recording());
  EXPECT_EQ(recorder->startedBlocks.back().videoBitRate, 1150000);  // the named profile's block
  EXPECT_TRUE(recorder->Called("Tune(7)"));
  EXPECT_TRUE(recorder->Called("StartRecording(" + out + "/Show.0000.mpg,42,1)"));

  // A named recording stops what runs first (here the recording).
  Touch(out + "/Show.0000.mpg");
  recorder->calls.clear();
  ASSERT_EQ(g.RecordNamed(named), S_OK);
  EXPECT_EQ(recorder->Only({"StopRecording"}), Calls{"StopRecording(0)"});
  EXPECT_EQ(recorder->startedFiles.back(), out + "/Show(0).0000.mpg");
  Touch(out + "/Show(0).0000.mpg");
  ASSERT_EQ(g.RecordNamed(named), S_OK);
  EXPECT_EQ(recorder->startedFiles.back(), out + "/Show(1).0000.mpg");

  // A name with separators stays inside the output folder.
  std::snprintf(named.fileName, sizeof named.fileName, "../../etc/x");
  ASSERT_EQ(g.RecordNamed(named), S_OK);
  EXPECT_EQ(recorder->startedFiles.back(), out + "/.._.._etc_x.0000.mpg");
}

TEST_F(GrabberFixture, RecordingEndsByItsEvent) {
  CGrabber& g = Previewing();
  RecordNameBlock named{};
  std::snprintf(named.fileName, sizeof named.fileName, "Show");
  named.audioValue = 9;
  ASSERT_EQ(g.RecordNamed(named), S_OK);
  recorder->calls.clear();
  recorder->Fire(tvevent::kRecordingFinalised);
  EXPECT_EQ(g.state(), grabstate::kRecording);  // nothing happens until the engine's thread runs
  Pump();
  EXPECT_EQ(g.state(), grabstate::kIdle);
  EXPECT_FALSE(g.named_recording());
  EXPECT_TRUE(recorder->Called("SetVideoSize(640,480)"));
  EXPECT_TRUE(recorder->Called("Tune(5)"));  // back to the channel it was on
  EXPECT_EQ(sink.calls, Calls{"OnRecordingEnded()"});
}

TEST_F(GrabberFixture, AviRecordingNeedsTheMpeg4Encoder) {
  CGrabber& g = Previewing();
  ASSERT_EQ(g.SelectRecordProfile("DivX"), S_OK);
  EXPECT_EQ(g.EnableDivXSettings(1), E_FAIL);
  EXPECT_EQ(g.Record(1), E_FAIL);
  EXPECT_EQ(recorder->Count("StartRecording("), 0);

  compressors = {{u"Other codec", {}}, {u"DivX-compatible MPEG-4 (libavcodec)", {1, 2, 3}}};
  ASSERT_EQ(g.EnableDivXSettings(1), S_OK);
  EXPECT_TRUE(g.divx_held());
  ASSERT_EQ(g.Record(1), S_OK);
  EXPECT_TRUE(recorder->Called("SetCodecSettings(2,1072)"));
  EXPECT_EQ(recorder->startedFiles.back(), out + "/Station Five_May032107.0000.avi");
  ASSERT_EQ(g.EnableDivXSettings(0), S_OK);
  EXPECT_FALSE(g.divx_held());
}

TEST_F(GrabberFixture, ProfileListHidesDivXWithoutTheEncoder) {
  CGrabber& g = Ready();
  auto names = [&] {
    std::vector<std::string> out;
    char name[128];
    for (int i = 0; SUCCEEDED(g.GetProfileNameAt(i, name)); ++i) out.push_back(name);
    return out;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"DVD HQ", "DVD SP", "VCD"}));
  compressors = {{u"DivX-compatible MPEG-4 (libavcodec)", {}}};
  ASSERT_EQ(g.EnableDivXSettings(1), S_OK);
  EXPECT_EQ(names(), (std::vector<std::string>{"DVD HQ", "DVD SP", "DivX", "VCD"}));
}

TEST_F(GrabberFixture, FreeSpaceWatchWhileRecording) {
  CGrabber& g = Previewing();
  freeMB = 50;
  g.OnFreeSpaceCheck();
  EXPECT_TRUE(sink.calls.empty());  // not recording
  freeMB = 1000;
  ASSERT_EQ(g.Record(1), S_OK);
  g.OnFreeSpaceCheck();
  EXPECT_TRUE(sink.calls.empty());
  freeMB = 50;
  g.OnFreeSpaceCheck();
  EXPECT_EQ(sink.calls, Calls{"OnDiskFull()"});

  // The timer thread posts; the check runs on this thread.
  sink.calls.clear();
  clock->advance(grabber::kFreeSpaceTimerMs);
  for (int i = 0; i < 200 && sink.calls.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Pump();
  }
  ASSERT_FALSE(sink.calls.empty());
  EXPECT_EQ(sink.calls[0], "OnDiskFull()");
  EXPECT_EQ(sink.threads[0], std::this_thread::get_id());
}

TEST_F(GrabberFixture, TimeShiftNeedsItsSpace) {
  // The "Replay" block: 4 Mbit/s video, 224 kbit/s audio: 31.7 MB a
  // minute; five minutes need 238 MB beyond the 200 kept free.
  struct Case {
    long long freeMB;
    bool starts;
    int segmentMB;
    int segments;
  };
  const Case cases[] = {{437, false, 0, 0}, {438, true, 79, 3}, {10000, true, 317, 30}};
  for (const Case& c : cases) {
    CGrabber& g = Previewing();
    freeMB = c.freeMB;
    sink.calls.clear();
    const HRESULT hr = g.TimeShift(1);
    EXPECT_EQ(SUCCEEDED(hr), c.starts) << c.freeMB;
    if (!c.starts) {
      EXPECT_EQ(sink.calls, Calls{"OnTimeShiftNoSpace()"}) << c.freeMB;
      EXPECT_EQ(recorder->Count("StartTimeShift("), 0);
      continue;
    }
    EXPECT_EQ(g.state(), grabstate::kTimeShift);
    EXPECT_EQ(recorder->timeShiftArgs, (std::vector<int>{1, c.segmentMB, c.segments, 238, 50})) << c.freeMB;
    EXPECT_TRUE(recorder->Called("ReplayPause()"));
    recorder->calls.clear();
    ASSERT_EQ(g.TimeShift(0), S_OK);
    EXPECT_EQ(g.state(), grabstate::kIdle);
    EXPECT_EQ(recorder->Only({"StartTimeShift", "SetVideoSize", "ResetReplay"}),
              (Calls{"StartTimeShift(0,0,0,0,0)", "SetVideoSize(640,480)", "ResetReplay()"}));
  }
}

TEST_F(GrabberFixture, TimeShiftProfileFollowsTheProcessorSpeed) {
  // "Replay" 300001000: processors from 1000 to 3000 MHz; ours has 2400.
  CGrabber& g = Ready();
  EXPECT_EQ(g.time_shift_block().videoBitRate, 4000000);
}

TEST_F(GrabberFixture, SeeksStepFifteenSecondsAndNeverBeforeTheStart) {
  CGrabber& g = Previewing();
  ASSERT_EQ(g.TimeShift(1), S_OK);
  recorder->replayMs = 40000;
  ASSERT_EQ(g.SeekBackward(2), S_OK);
  EXPECT_EQ(recorder->replayMs, 10000);
  ASSERT_EQ(g.SeekBackward(1), S_OK);
  EXPECT_EQ(recorder->replayMs, 0);
  ASSERT_EQ(g.SeekForward(3), S_OK);
  EXPECT_EQ(recorder->replayMs, 45000);
  EXPECT_EQ(recorder->Only({"ReplayHold"}).front(), "ReplayHold(1)");
}

TEST_F(GrabberFixture, ElapsedAndPlaybackTimes) {
  CGrabber& g = Previewing();
  ASSERT_EQ(g.Record(1), S_OK);
  recorder->recordElapsed = 3 * 3600 + 25 * 60 + 9;
  recorder->recordStart = 1777842420;  // 21:07:00
  int h = 0, m = 0, s = 0;
  ASSERT_EQ(g.GetElapsedTime(&h, &m, &s), S_OK);
  EXPECT_EQ((std::vector<int>{h, m, s}), (std::vector<int>{3, 25, 9}));
  ASSERT_EQ(g.WatchWhileRecording(1), S_OK);
  recorder->replayMs = 95000;
  ASSERT_EQ(g.GetPlaybackPosition(&h, &m, &s), S_OK);
  EXPECT_EQ((std::vector<int>{h, m, s}), (std::vector<int>{21, 8, 35}));
}

TEST_F(GrabberFixture, RemainingRecordTime) {
  CGrabber& g = Ready();
  freeMB = 1000;
  float minutes = -1;
  ASSERT_EQ(g.GetRemainingRecordTime(out.c_str(), 1, &minutes), S_OK);  // "DVD SP"
  EXPECT_NEAR(minutes, 1000 / (6224000 * 0.00042915344 * 1.05), 1e-3);
  EXPECT_EQ(g.GetRemainingRecordTime(out.c_str(), 9, &minutes), E_FAIL);
  // A profile without rates gives 0, never a division by zero.
  store->entries.push_back(MakeEntry("Record", "Empty", 2, 0, 0));
  ASSERT_EQ(g.GetRemainingRecordTime(out.c_str(), 3, &minutes), S_OK);
  EXPECT_EQ(minutes, 0.0f);
}

TEST_F(GrabberFixture, SnapshotAndPageSaveCreateTheirFolders) {
  CGrabber& g = Previewing();
  const std::string shot = env.dir() + "/shots/a/b/pic.jpg";
  ASSERT_EQ(g.TakeSnapshot(shot.c_str()), S_OK);
  EXPECT_TRUE(std::filesystem::is_directory(env.dir() + "/shots/a/b"));
  EXPECT_TRUE(recorder->Called("SaveSnapshot(" + shot + ")"));
  EXPECT_EQ(g.TakeSnapshot("no-folder.jpg"), E_FAIL);

  const std::string page = env.dir() + "/pages/p100.txt";
  ASSERT_EQ(g.SetBurnSource(page.c_str(), 1), S_OK);
  EXPECT_TRUE(recorder->Called("SaveTeletextPage(" + page + ",1)"));
  Touch(page);
  Touch(env.dir() + "/pages/p100(1).txt");
  ASSERT_EQ(g.SetBurnSource(page.c_str(), 1), S_OK);
  EXPECT_TRUE(recorder->Called("SaveTeletextPage(" + env.dir() + "/pages/p100(2).txt,1)"));
}

}  // namespace
}  // namespace grabtest
