// The camcorder engine against a scripted DV component: opening, the device
// list and its names, selection by kind, the transport table, events on the
// engine's thread, capture names and captures.
#include <algorithm>
#include <filesystem>

#include "platform/com/runtime.h"

#include "tests/engines/capture/dvgrab/dv_grab_fixture.h"

namespace dvtest {
namespace {

using dvgrab::DisplayName;
using Strings = std::vector<std::string>;

TEST_F(DvGrabTest, OpenOnlyWhenClosedAndInTheComponentOrder) {
  CDvGrab& g = Make();
  EXPECT_EQ(g.Open(0, 2, nullptr), S_OK);
  EXPECT_EQ(device->Commands(), (Strings{"SetEventSink(sink)", "Initialise()", "Uninitialise()", "Initialise()",
                                         "GetDeviceNameAt(0)", "GetDeviceNameAt(1)", "SetOutputMode(3)"}));
  EXPECT_EQ(g.Open(0, 2, nullptr), E_FAIL);
  EXPECT_EQ(g.Close(), S_OK);
  EXPECT_EQ(g.state(), dvstate::kClosed);
  EXPECT_TRUE(device->Called("SetEventSink(null)"));
  EXPECT_EQ(g.Open(0, 2, nullptr), S_OK);
}

TEST_F(DvGrabTest, OpenFailsWithoutTheComponentAndEverySlotRefuses) {
  failCreate = true;
  CDvGrab& g = Make();
  EXPECT_EQ(g.Open(0, 2, nullptr), E_FAIL);
  EXPECT_EQ(g.EnumerateDevices(), E_FAIL);
  EXPECT_EQ(g.SelectDevice(0), E_FAIL);
  EXPECT_EQ(g.Play(), E_FAIL);
  EXPECT_EQ(g.Capture(1), E_FAIL);
  float rate = 0;
  EXPECT_EQ(g.GetFrameRate(&rate), E_FAIL);
  int kind = 0;
  EXPECT_EQ(g.GetDeviceKind(&kind), E_FAIL);
}

TEST_F(DvGrabTest, DisplayNames) {
  struct Row {
    int index;
    const char* name;
    const char* shown;
  };
  const Row rows[] = {
      {0, "GR-D23 DV (victor)", "1. JVC DV"},
      {1, "GR-D23 DV (VICTOR)", "2. JVC DV"},
      {0, "DCR-HC20 DV (Sony)", "1. Sony DV"},
      {2, "DCR-IP7 MPEG2 (Sony)", "3. Sony MicroMV"},
      {0, "Cam (a) DV (Maker)", "1. Maker DV"},  // the last parentheses
      {0, "Nameless DV device", "1.  DV"},  // no maker: the blank stays
      {0, "NoSpaceDV(x)", "1. x MicroMV"},
  };
  for (const Row& r : rows) EXPECT_EQ(DisplayName(r.index, r.name), r.shown) << r.name;
}

TEST_F(DvGrabTest, ListsAndNamesDevices) {
  device->devices = {{"GR-D23 DV (victor)", 1, 25.0f}, {"DCR-IP7 MPEG2 (Sony)", 2, 29.97f}};
  CDvGrab& g = Opened();
  EXPECT_EQ(g.EnumerateDevices(), S_OK);
  char name[kDvNameChars] = {};
  EXPECT_EQ(g.GetDeviceNameAt(name, 0), S_OK);
  EXPECT_STREQ(name, "1. JVC DV");
  EXPECT_EQ(g.GetDeviceNameAt(name, 1), S_OK);
  EXPECT_STREQ(name, "2. Sony MicroMV");
  EXPECT_EQ(g.GetDeviceNameAt(name, 2), E_FAIL);
  EXPECT_EQ(g.GetDeviceNameAt(name, -1), E_FAIL);
  int kind = 0;
  EXPECT_EQ(g.GetDeviceKind(&kind), E_FAIL);  // nothing selected yet

  device->devices.clear();
  device->Fire(dvevent::kDeviceRemoved);
  Pump();
  EXPECT_EQ(g.EnumerateDevices(), E_FAIL);
}

TEST_F(DvGrabTest, SelectingByKind) {
  device->devices = {{"GR-D23 DV (victor)", 1, 25.0f}, {"DCR-IP7 MPEG2 (Sony)", 2, 29.97f}};
  CDvGrab& g = Opened();
  g.SetVideoWindow(nullptr, 1, 2, 3, 4);
  device->Clear();
  EXPECT_EQ(g.SelectDevice(0), S_OK);
  EXPECT_EQ(device->Commands(), (Strings{"Stop()", "OpenDevice(null)", "OpenDevice(GR-D23 DV (victor))",
                                         "SetVideoWindow(1,2,3,4)", "GetDeviceKind()", "Play()"}));
  EXPECT_EQ(g.transport(), dvtransport::kPlaying);
  EXPECT_FALSE(g.watchers_running());
  int kind = 0;
  EXPECT_EQ(g.GetDeviceKind(&kind), S_OK);
  EXPECT_EQ(kind, 1);
  float rate = 0;
  EXPECT_EQ(g.GetFrameRate(&rate), S_OK);
  EXPECT_FLOAT_EQ(rate, 25.0f);

  device->Clear();
  EXPECT_EQ(g.SelectDevice(1), S_OK);
  EXPECT_EQ(device->Commands(), (Strings{"Stop()", "OpenDevice(null)", "OpenDevice(DCR-IP7 MPEG2 (Sony))",
                                         "SetVideoWindow(1,2,3,4)", "GetDeviceKind()", "GetDeviceStatus()", "Pause()"}));
  EXPECT_EQ(g.transport(), dvtransport::kPaused);
  EXPECT_TRUE(g.watchers_running());
  EXPECT_EQ(g.GetDeviceKind(&kind), S_OK);
  EXPECT_EQ(kind, 2);

  EXPECT_EQ(g.SelectDevice(2), E_FAIL);
  EXPECT_EQ(g.SelectDevice(-1), S_OK);  // none: the watchers stop within a wake
  EXPECT_FALSE(g.watchers_running());
  EXPECT_EQ(g.GetFrameRate(&rate), E_FAIL);
}

TEST_F(DvGrabTest, MpegDeviceThatIsNotReadyIsNotSelected) {
  device->devices = {{"DCR-IP7 MPEG2 (Sony)", 2, 29.97f}};
  device->ready = 0;
  CDvGrab& g = Opened();
  EXPECT_EQ(g.SelectDevice(0), E_FAIL);
  EXPECT_FALSE(device->Called("Pause()"));
}

// Every transport state reached through the slots, and every command from it.
TEST_F(DvGrabTest, TransportTable) {
  using namespace dvtransport;
  struct Row {
    std::vector<const char*> reach;  // commands that bring the tape to the state
    int state;
    const char* command;
    const char* componentCall;       // "" when nothing is called
    int after;
  };
  const Row rows[] = {
      {{"Stop"}, kStopped, "Play", "Play()", kPlaying},
      {{"Stop"}, kStopped, "Pause", "Pause()", kPaused},
      {{"Stop"}, kStopped, "Stop", "", kStopped},
      {{"Stop"}, kStopped, "FastForward", "FastForward()", kFastForward},
      {{"Stop"}, kStopped, "Rewind", "Rewind()", kRewind},
      {{}, kPlaying, "Play", "", kPlaying},
      {{}, kPlaying, "Pause", "Pause()", kPaused},
      {{}, kPlaying, "Stop", "Stop()", kStopped},
      {{}, kPlaying, "FastForward", "ForwardScan()", kFastForwardFromPlay},
      {{}, kPlaying, "Rewind", "ReverseScan()", kRewindFromPlay},
      {{"Pause"}, kPaused, "Pause", "", kPaused},
      {{"Pause"}, kPaused, "FastForward", "ForwardScan()", kFastForwardFromPlay},
      {{"Pause"}, kPaused, "Rewind", "ReverseScan()", kRewindFromPlay},
      {{"Stop", "FastForward"}, kFastForward, "FastForward", "", kFastForward},
      {{"Stop", "FastForward"}, kFastForward, "Rewind", "Rewind()", kRewind},
      {{"Stop", "FastForward"}, kFastForward, "Play", "Play()", kPlaying},
      {{"FastForward"}, kFastForwardFromPlay, "FastForward", "", kFastForwardFromPlay},
      {{"FastForward"}, kFastForwardFromPlay, "Rewind", "ReverseScan()", kRewindFromPlay},
      {{"Stop", "Rewind"}, kRewind, "Rewind", "", kRewind},
      {{"Stop", "Rewind"}, kRewind, "FastForward", "FastForward()", kFastForward},
      {{"Rewind"}, kRewindFromPlay, "Rewind", "", kRewindFromPlay},
      {{"Rewind"}, kRewindFromPlay, "FastForward", "ForwardScan()", kFastForwardFromPlay},
      {{"Rewind"}, kRewindFromPlay, "Stop", "Stop()", kStopped},
  };
  auto run = [](CDvGrab& g, const std::string& c) {
    if (c == "Play") return g.Play();
    if (c == "Pause") return g.Pause();
    if (c == "Stop") return g.Stop();
    if (c == "FastForward") return g.FastForward();
    return g.Rewind();
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.command) + " from " + std::to_string(r.state));
    engine.Reset();
    CDvGrab& g = Selected();
    for (const char* c : r.reach) ASSERT_EQ(run(g, c), S_OK);
    ASSERT_EQ(g.transport(), r.state);
    device->Clear();
    EXPECT_EQ(run(g, r.command), S_OK);
    EXPECT_EQ(g.transport(), r.after);
    const auto calls = device->Commands();
    if (*r.componentCall) {
      EXPECT_EQ(calls.back(), r.componentCall);
    } else {
      EXPECT_TRUE(calls.empty()) << calls.front();
    }
  }
}

TEST_F(DvGrabTest, TransportChangesOnlyAfterTheComponentAgrees) {
  CDvGrab& g = Selected();
  ASSERT_EQ(g.Stop(), S_OK);
  device->results["Play"] = E_FAIL;
  device->results["FastForward"] = E_FAIL;
  EXPECT_EQ(g.Play(), E_FAIL);
  EXPECT_EQ(g.FastForward(), E_FAIL);
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
  // A device that no longer answers is not ready.
  device->results["GetDeviceStatus"] = E_FAIL;
  device->results.erase("Play");
  EXPECT_EQ(g.CheckDeviceReady(), E_FAIL);
  EXPECT_EQ(g.Play(), E_FAIL);
  EXPECT_EQ(g.Rewind(), E_FAIL);
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
  device->results.erase("GetDeviceStatus");
  device->ready = 0;
  EXPECT_EQ(g.CheckDeviceReady(), E_FAIL);
  device->ready = 1;
  EXPECT_EQ(g.CheckDeviceReady(), S_OK);
}

TEST_F(DvGrabTest, EventsReachTheSinkOnTheEngineThread) {
  CDvGrab& g = Selected();
  const auto ui = std::this_thread::get_id();
  struct Row {
    int code;
    const char* text;
    std::vector<int> slots;
  };
  const Row rows[] = {
      {dvevent::kDeviceArrived, nullptr, {5}},
      {dvevent::kDeviceRemoved, nullptr, {6}},
      {dvevent::kTransportStopped, nullptr, {8}},
      {dvevent::kCaptureFile, "/x/DV_1.0000.avi", {}},
      {dvevent::kCaptureFile, "/x/DV_1.0000.mpg", {9}},
      {dvevent::kCaptureEnded, nullptr, {10}},
      {dvevent::kDiscCaptureFinished, nullptr, {12}},
      {dvevent::kDeviceBusy, nullptr, {}},
      {dvevent::kDeviceIdle, nullptr, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    sink.calls.clear();
    sink.threads.clear();
    std::thread([&] { EXPECT_EQ(device->Fire(r.code, r.text), 1); }).join();
    EXPECT_TRUE(sink.calls.empty());  // nothing on the component's thread
    Pump();
    EXPECT_EQ(sink.calls, r.slots);
    for (const auto& t : sink.threads) EXPECT_EQ(t, ui);
  }
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
}

TEST_F(DvGrabTest, TickOnlyWhileADeviceIsSelected) {
  CDvGrab& g = Opened();
  g.OnTick();
  EXPECT_TRUE(sink.calls.empty());
  ASSERT_EQ(g.SelectDevice(0), S_OK);
  device->timecode[0] = 1;
  device->timecode[1] = 2;
  device->timecode[2] = 3;
  g.OnTick();
  EXPECT_EQ(sink.calls, (std::vector<int>{7}));
  int h = 0, m = 0, s = 0;
  EXPECT_EQ(g.GetTimecode(&h, &m, &s), S_OK);
  EXPECT_EQ((std::vector<int>{h, m, s}), (std::vector<int>{1, 2, 3}));
}

TEST_F(DvGrabTest, CaptureNames) {
  struct Row {
    const char* device;
    int format;
    const char* name;
  };
  const Row rows[] = {
      {"GR-D23 DV (victor)", 0, "DV_03052026_2107.0000.avi"},
      {"GR-D23 DV (victor)", 4, "DV_03052026_2107.0000.wmv"},
      {"GR-D23 DV (victor)", 5, "DV_03052026_2107.0000.ram"},
      {"GR-D23 DV (victor)", 1, "DV_03052026_2107.0000.mpg"},
      {"GR-D23 DV (victor)", 3, "DV_03052026_2107.0000.mpg"},
      {"GR-D23 DV (victor)", 6, "DV_03052026_2107.0000.mpg"},
      {"GR-D23 DV (victor)", 7, "DV_03052026_2107.0000.mpg"},
      {"GR-D23 DV (victor)", 8, "DV_03052026_2107"},
      {"DCR-IP7 MPEG2 (Sony)", 0, "MV_03052026_2107.0000.mpg"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    device->devices = {{r.device, 1, 25.0f}};
    engine.Reset();
    CDvGrab& g = Selected();
    EncoderBlock b{};
    b.format = r.format;
    g.SetEncoderParams(b);
    EXPECT_EQ(g.CaptureFileName(MayThird()), r.name);
  }
}

TEST_F(DvGrabTest, SecondCaptureInTheSameMinuteGetsANumber) {
  CDvGrab& g = Selected();
  ASSERT_EQ(g.Capture(1), S_OK);
  EXPECT_EQ(std::string(device->lastBlock.filePath), out + "/DV_03052026_2107.0000.avi");
  EXPECT_TRUE(std::filesystem::exists(out + "/DV_03052026_2107.0000.avi"));  // taken at once
  ASSERT_EQ(g.Capture(0), S_OK);
  ASSERT_EQ(g.Capture(1), S_OK);
  EXPECT_EQ(std::string(device->lastBlock.filePath), out + "/DV_03052026_2107(0).0000.avi");
  ASSERT_EQ(g.Capture(0), S_OK);
  ASSERT_EQ(g.Capture(1), S_OK);
  EXPECT_EQ(std::string(device->lastBlock.filePath), out + "/DV_03052026_2107(1).0000.avi");
}

TEST_F(DvGrabTest, CaptureStartAndStop) {
  CDvGrab& g = Selected();
  EXPECT_EQ(g.Capture(0), E_FAIL);  // not capturing
  EncoderBlock b{};
  b.format = 7;
  b.videoBitRate = 8000000;
  g.SetEncoderParams(b);
  ASSERT_EQ(g.Capture(1), S_OK);
  EXPECT_EQ(device->Commands(),
            (Strings{"GetFrameRate()", "SetEncoderBlock(" + out + "/DV_03052026_2107.0000.mpg)", "StartCapture()"}));
  EXPECT_EQ(device->lastBlock.videoBitRate, 8000000);
  EXPECT_FLOAT_EQ(device->lastBlock.frameRate, 25.0f);
  EXPECT_EQ(g.state(), dvstate::kCapturing);
  EXPECT_EQ(g.transport(), dvtransport::kCapturing);
  EXPECT_EQ(g.Capture(1), E_FAIL);  // one at a time

  int h = 0, m = 0, s = 0;
  now += 3725;
  EXPECT_EQ(g.GetCaptureTime(&h, &m, &s), S_OK);
  EXPECT_EQ((std::vector<int>{h, m, s}), (std::vector<int>{1, 2, 5}));
  // A paused stretch does not count.
  device->Fire(dvevent::kCapturePaused);
  Pump();
  now += 10;
  device->Fire(dvevent::kCaptureResumed);
  Pump();
  EXPECT_EQ(g.GetCaptureTime(&h, &m, &s), S_OK);
  EXPECT_EQ(s, 5);

  device->Clear();
  EXPECT_EQ(g.Capture(0), S_OK);
  EXPECT_EQ(device->Commands(), (Strings{"StopCapture()"}));
  EXPECT_EQ(g.state(), dvstate::kCaptureEnded);
  EXPECT_EQ(g.GetCaptureTime(&h, &m, &s), E_FAIL);
}

TEST_F(DvGrabTest, FailedCaptureStopsTheTapeAndLeavesNoFile) {
  CDvGrab& g = Selected();
  device->results["StartCapture"] = E_FAIL;
  EXPECT_EQ(g.Capture(1), E_FAIL);
  EXPECT_EQ(device->Commands().back(), "Stop()");
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
  EXPECT_NE(g.state(), dvstate::kCapturing);
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(DvGrabTest, StoppingAStreamCaptureReturnsTheWritersResult) {
  CDvGrab& g = Selected();
  ASSERT_EQ(g.Capture(1), S_OK);
  device->Fire(dvevent::kCaptureFile, "/x/DV_1.0000.mpg");
  Pump();
  EXPECT_EQ(g.capture_state(), dvgrab::capture::kStreamFile);
  device->Clear();
  EXPECT_EQ(g.Capture(0), S_OK);
  EXPECT_EQ(device->Commands(), (Strings{"FinishStreamCapture()"}));
  EXPECT_EQ(g.state(), dvstate::kCaptureEnded);
}

TEST_F(DvGrabTest, TapeEndDuringACaptureKeepsCapturingUntilTheFileIsFinalised) {
  CDvGrab& g = Selected();
  ASSERT_EQ(g.Capture(1), S_OK);
  device->Fire(dvevent::kTransportStopped);
  Pump();
  EXPECT_EQ(g.transport(), dvtransport::kCapturing);
  device->Fire(dvevent::kCaptureEnded);
  Pump();
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
  EXPECT_EQ(sink.calls, (std::vector<int>{8, 10}));
}

TEST_F(DvGrabTest, OutputFolderAndTypes) {
  CDvGrab& g = Opened();
  const std::string deep = env.dir() + "/a/b/c";
  EXPECT_EQ(g.SetOutputFolder(deep.c_str()), S_OK);
  EXPECT_TRUE(std::filesystem::is_directory(deep));
  char folder[kDvPathChars] = {};
  EXPECT_EQ(g.GetOutputFolder(folder), S_OK);
  EXPECT_EQ(std::string(folder), deep);
  test_support::WriteFile(env.dir() + "/file", "x");
  const std::string through = env.dir() + "/file/sub";
  EXPECT_EQ(g.SetOutputFolder(through.c_str()), E_FAIL);
  EXPECT_EQ(g.GetOutputFolder(folder), S_OK);
  EXPECT_EQ(std::string(folder), deep);  // kept

  device->Clear();
  for (int type : {0, 1, 2}) EXPECT_EQ(g.SetOutputType(type), S_OK);
  EXPECT_EQ(g.SetOutputType(3), E_FAIL);
  EXPECT_EQ(g.SetOutputType(-1), E_FAIL);
  EXPECT_EQ(device->Commands(), (Strings{"SetOutputMode(19)", "SetOutputMode(17)", "SetOutputMode(81)"}));

  // The value held so far goes to the component; the new one is kept.
  device->Clear();
  EXPECT_EQ(g.SetCaptureFormat(5), S_OK);
  EXPECT_EQ(g.SetCaptureFormat(6), S_OK);
  EXPECT_EQ(device->Commands(), (Strings{"SetCaptureFormat(0)", "SetCaptureFormat(5)"}));

  const std::string file = env.dir() + "/x/y/clip.avi";
  EXPECT_EQ(g.SetCaptureFile(file.c_str()), S_OK);
  EXPECT_TRUE(std::filesystem::is_directory(env.dir() + "/x/y"));
}

TEST_F(DvGrabTest, MpegWatcherFollowsTheCamcordersOwnButtons) {
  device->devices = {{"DCR-IP7 MPEG2 (Sony)", 2, 29.97f}};
  CDvGrab& g = Selected();
  device->transportCode = dvcode::kPlay;
  for (int i = 0; i < 40 && g.transport() != dvtransport::kPlaying; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Pump();
  }
  EXPECT_EQ(g.transport(), dvtransport::kPlaying);
  EXPECT_NE(std::find(sink.calls.begin(), sink.calls.end(), 0), sink.calls.end());
  EXPECT_EQ(g.SelectDevice(-1), S_OK);
}

}  // namespace
}  // namespace dvtest

namespace dvtest {
namespace {

// With the machine's hooks and a hive where the DV component is not
// registered, Open fails and leaves the engine closed.
TEST_F(DvGrabTest, OpenFailsWhenTheComponentIsNotRegistered) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    auto machine = MakeComObject<CDvGrab>();
    EXPECT_EQ(machine->Open(0, 2, nullptr), E_FAIL);
    EXPECT_EQ(machine->state(), dvstate::kClosed);
    EXPECT_EQ(machine->EnumerateDevices(), E_FAIL);
  }
  CoUninitialize();
}

}  // namespace
}  // namespace dvtest
