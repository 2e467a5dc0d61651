// The TV engine's lifecycle and state machine on a scripted recorder.
#include <fstream>

#include "tests/engines/capture/grabber/grabber_fixture.h"

namespace grabtest {
namespace {

using Calls = std::vector<std::string>;

TEST_F(GrabberFixture, InitOnceOnlyAndNothingBeforeIt) {
  CGrabber& g = Make();
  EXPECT_EQ(g.state(), grabstate::kConstructed);
  // No recorder yet: the operations that need one refuse.
  EXPECT_EQ(g.Preview(1), E_FAIL);
  EXPECT_EQ(g.TuneChannel(3), E_FAIL);
  EXPECT_EQ(g.Record(1), E_FAIL);
  EXPECT_EQ(g.SetCountry(5), E_FAIL);
  EXPECT_EQ(g.SetVideoOwner(nullptr), E_FAIL);

  ASSERT_EQ(g.Init(MakeRecord(out)), S_OK);
  EXPECT_EQ(g.state(), grabstate::kIdle);
  EXPECT_TRUE(recorder->Called("Initialize(7)"));
  EXPECT_TRUE(recorder->Called("SetEventSink(ptr)"));
  EXPECT_TRUE(recorder->Called("SetCaptureOption(2048)"));
  EXPECT_TRUE(recorder->Called("SetCableKey(Software\\Kestrovia\\Marivel\\TV\\Cable)"));
  EXPECT_TRUE(recorder->Called("SetAntennaKey(Software\\Kestrovia\\Marivel\\TV\\Antenna)"));
  EXPECT_TRUE(recorder->Called("SetTimeShiftFolder(" + out + "/SBE)"));
  EXPECT_TRUE(std::filesystem::is_directory(out));
  EXPECT_EQ(store->calls.front(), "Open(Software\\Kestrovia\\Marivel\\TV\\Profile)");
  char name[64] = {};
  g.GetSelectedProfileName(name);
  EXPECT_STREQ(name, "DVD SP");
  EXPECT_EQ(g.capabilities(), 1 | 2 | 16);
  EXPECT_NE(g.free_space_timer(), 0u);
  EXPECT_EQ(g.current_channel(), 5);

  recorder->calls.clear();
  EXPECT_EQ(g.Init(MakeRecord(out)), E_FAIL);
  EXPECT_TRUE(recorder->calls.empty());
  EXPECT_EQ(g.state(), grabstate::kIdle);
}

TEST_F(GrabberFixture, InitWithoutRecorderFailsAndHoldsNothing) {
  failCreate = true;
  CGrabber& g = Make();
  EXPECT_EQ(g.Init(MakeRecord(out)), E_FAIL);
  EXPECT_EQ(g.state(), grabstate::kConstructed);
  EXPECT_EQ(g.Preview(1), E_FAIL);
}

TEST_F(GrabberFixture, InitTriesTheNextDeviceUntilOneHasATuner) {
  recorder->videoDevices = {"Camera", "Capture", "Tuner Card"};
  recorder->tunerDevices = {"Tuner Card"};
  CGrabber& g = Make();
  ASSERT_EQ(g.Init(MakeRecord(out)), S_OK);
  char name[kGrabberTextChars] = {};
  g.GetVideoDeviceName(name);
  EXPECT_STREQ(name, "Tuner Card");
  // Trying devices in turn keeps the user's picture settings and channels.
  EXPECT_EQ(g.GetPictureLevel1(), 50);
  EXPECT_EQ(recorder->Count("SetChannelStored("), 0);
}

// Guarded operations refuse outside their states and call nothing.
TEST_F(GrabberFixture, GuardedOperationsRefuseOutsideTheirStates) {
  CGrabber& g = Ready();
  int h = 0, m = 0, s = 0;
  RecordNameBlock named{};
  const std::vector<std::pair<const char*, std::function<HRESULT()>>> cases = {
      {"StopChannelScan", [&] { return g.StopChannelScan(); }},
      {"ScanControl", [&] { return g.ScanControl(1, 2, 3, 4, 5); }},
      {"StopMultiChannelPreview", [&] { return g.StopMultiChannelPreview(); }},
      {"NextPreviewChannel", [&] { return g.NextPreviewChannel(); }},
      {"PrevPreviewChannel", [&] { return g.PrevPreviewChannel(); }},
      {"TimeShiftOp122", [&] { return g.TimeShiftOp122(); }},
      {"TimeShiftOp126", [&] { return g.TimeShiftOp126(); }},
      {"SeekBackward", [&] { return g.SeekBackward(1); }},
      {"SeekForward", [&] { return g.SeekForward(1); }},
      {"GetElapsedTime", [&] { return g.GetElapsedTime(&h, &m, &s); }},
      {"GetPlaybackPosition", [&] { return g.GetPlaybackPosition(&h, &m, &s); }},
      {"RecordSource", [&] { return g.RecordSource(); }},
      {"PauseSource", [&] { return g.PauseSource(1); }},
      {"ResumeSource", [&] { return g.ResumeSource(); }},
      {"RecordSourceNamed", [&] { return g.RecordSourceNamed(named); }},
      {"ResetPlaybackRate", [&] { return g.ResetPlaybackRate(); }},
      {"WatchWhileRecording(1)", [&] { return g.WatchWhileRecording(1); }},
      {"WatchWhileRecording(0)", [&] { return g.WatchWhileRecording(0); }},
      {"Record(0)", [&] { return g.Record(0); }},
      {"TimeShift(0)", [&] { return g.TimeShift(0); }},
      {"AutoScan(1)", [&] { return g.AutoScan(1); }},
      {"AutoScan(0)", [&] { return g.AutoScan(0); }},
      {"AutoScanAlternate(1)", [&] { return g.AutoScanAlternate(1); }},
      {"StartChannelScan", [&] { return g.StartChannelScan(1, 3, nullptr); }},
      {"StartMultiChannelPreview", [&] { return g.StartMultiChannelPreview(3, nullptr); }},
      {"OpenTimeShiftSource(null)", [&] { return g.OpenTimeShiftSource(nullptr); }},
      {"RecordToDisc", [&] { return g.RecordToDisc(1); }},
      {"PrepareDisc", [&] { return g.PrepareDisc('0'); }},
  };
  for (const auto& [name, call] : cases) {
    recorder->calls.clear();
    EXPECT_EQ(call(), E_FAIL) << name;
    EXPECT_EQ(g.state(), grabstate::kIdle) << name;
    EXPECT_TRUE(recorder->Only({"Preview", "StopRecording", "StartTimeShift", "StartSearch", "ScanStart",
                                "OpenTimeShiftSource", "RecordSource", "WatchRecording"})
                    .empty())
        << name;
  }
  // Preview(1) only from idle; a channel wall needs at least one channel.
  ASSERT_EQ(g.Preview(1), S_OK);
  EXPECT_EQ(g.Preview(1), E_FAIL);
  EXPECT_EQ(g.StartMultiChannelPreview(0, nullptr), E_FAIL);
  EXPECT_EQ(g.state(), grabstate::kPreview);
}

// Preview(0) ends whatever runs by the stop table, then stops the preview.
TEST_F(GrabberFixture, PreviewOffEndsEachActivityInStopTableOrder) {
  const unsigned list[3] = {5, 7, 9};
  struct Case {
    int state;
    std::function<void(CGrabber&)> enter;
    Calls expected;
  };
  const std::vector<Case> cases = {
      {grabstate::kRecording, [](CGrabber& g) { ASSERT_EQ(g.Record(1), S_OK); },
       {"StopRecording(0)", "Preview(0)"}},
      {grabstate::kWatchingRecording,
       [](CGrabber& g) {
         ASSERT_EQ(g.Record(1), S_OK);
         ASSERT_EQ(g.WatchWhileRecording(1), S_OK);
       },
       {"WatchRecording(0)", "StopRecording(0)", "Preview(0)"}},
      {grabstate::kTimeShift, [](CGrabber& g) { ASSERT_EQ(g.TimeShift(1), S_OK); },
       {"StartTimeShift(0,0,0,0,0)", "Preview(0)"}},
      {grabstate::kAutoScan, [](CGrabber& g) { ASSERT_EQ(g.AutoScan(1), S_OK); }, {"StopSearch()", "Preview(0)"}},
      {grabstate::kChannelScan, [&](CGrabber& g) { ASSERT_EQ(g.StartChannelScan(0, 2, list), S_OK); },
       {"ScanStop()", "Preview(0)"}},
      {grabstate::kMultiPreview, [&](CGrabber& g) { ASSERT_EQ(g.StartMultiChannelPreview(3, list), S_OK); },
       {"SetPreviewFamily(1)", "Preview(0)"}},
      {grabstate::kAutoScanAlternate, [](CGrabber& g) { ASSERT_EQ(g.AutoScanAlternate(1), S_OK); },
       {"StopSearchAlternate()", "Preview(0)"}},
  };
  for (const Case& c : cases) {
    CGrabber& g = Previewing();
    c.enter(g);
    ASSERT_EQ(g.state(), c.state);
    recorder->calls.clear();
    EXPECT_EQ(g.Preview(0), S_OK) << c.state;
    EXPECT_EQ(g.state(), grabstate::kIdle) << c.state;
    EXPECT_EQ(recorder->Only({"StopRecording", "WatchRecording", "StartTimeShift", "StopSearch", "ScanStop",
                              "SetPreviewFamily", "StopSearchAlternate", "Preview"}),
              c.expected)
        << c.state;
    EXPECT_EQ(g.step_timer(), 0u) << c.state;
  }
}

TEST_F(GrabberFixture, PreviewOffClosesTheTimeShiftSource) {
  CGrabber& g = Ready();
  ASSERT_EQ(g.OpenTimeShiftSource("1"), S_OK);
  ASSERT_EQ(g.state(), grabstate::kSourceRunning);
  recorder->calls.clear();
  EXPECT_EQ(g.Preview(0), S_OK);
  EXPECT_EQ(recorder->Only({"OpenTimeShiftSource", "Preview"}), (Calls{"OpenTimeShiftSource(0)", "Preview(0)"}));
  EXPECT_EQ(g.state(), grabstate::kIdle);
}

TEST_F(GrabberFixture, ReleaseStopsWhatRunsAndLetsTheRecorderGo) {
  CGrabber& g = Previewing();
  ASSERT_EQ(g.Record(1), S_OK);
  recorder->calls.clear();
  engine.Reset();
  EXPECT_EQ(recorder->Only({"StopRecording", "Preview", "SetEventSink"}),
            (Calls{"StopRecording(0)", "Preview(0)", "SetEventSink(null)"}));
  EXPECT_EQ(recorder->sink, nullptr);
}

TEST_F(GrabberFixture, TimeShiftSourceStates) {
  CGrabber& g = Ready();
  // The time-shift folder is emptied, read-only leftovers included.
  const std::string sbe = out + "/SBE";
  std::filesystem::create_directories(sbe + "/old/deeper");
  { std::ofstream(sbe + "/old/deeper/seg.0001") << "x"; }
  std::filesystem::permissions(sbe + "/old/deeper", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  // A link out of the folder is removed, never followed.
  const std::string outside = env.dir() + "/keep";
  std::filesystem::create_directories(outside);
  { std::ofstream(outside + "/precious") << "y"; }
  std::filesystem::create_directory_symlink(outside, sbe + "/link");

  ASSERT_EQ(g.OpenTimeShiftSource("1"), S_OK);
  EXPECT_EQ(g.state(), grabstate::kSourceRunning);
  EXPECT_TRUE(std::filesystem::is_directory(sbe));
  EXPECT_TRUE(std::filesystem::is_empty(sbe));
  EXPECT_TRUE(std::filesystem::exists(outside + "/precious"));

  ASSERT_EQ(g.RecordSource(), S_OK);
  EXPECT_EQ(g.state(), grabstate::kSourceRecording);
  EXPECT_EQ(g.TuneChannel(7), E_FAIL);
  ASSERT_EQ(g.PauseSource(1), S_OK);
  EXPECT_EQ(g.state(), grabstate::kSourcePaused);
  ASSERT_EQ(g.ResumeSource(), S_OK);
  EXPECT_EQ(g.state(), grabstate::kSourceRunning);

  RecordNameBlock named{};
  std::snprintf(named.fileName, sizeof named.fileName, "Film");
  named.audioValue = 7;
  named.startValue = 3;
  ASSERT_EQ(g.RecordSourceNamed(named), S_OK);
  EXPECT_TRUE(recorder->Called("RecordSourceNamed(" + out + "/Film.0000.mpg,3)"));
  EXPECT_EQ(g.state(), grabstate::kSourceNamedRecording);
  ASSERT_EQ(g.PauseSource(1), S_OK);
  EXPECT_EQ(g.state(), grabstate::kSourceNamedRecording);
  ASSERT_EQ(g.ResumeSource(), S_OK);
  ASSERT_EQ(g.OpenTimeShiftSource(nullptr), S_OK);
  EXPECT_EQ(g.state(), grabstate::kIdle);
}

TEST_F(GrabberFixture, SourceIsNeverOpenedOverARelativeFolder) {
  CGrabber& g = Make();
  ASSERT_EQ(g.Init(MakeRecord("relative-out")), S_OK);
  std::filesystem::remove_all("relative-out");
  EXPECT_EQ(g.OpenTimeShiftSource("1"), E_FAIL);
}

}  // namespace
}  // namespace grabtest
