// The capture controller on the real camcorder engine and DV component with
// a virtual camcorder playing a generated tape: the preset row the tape's
// frame rate picks reaches the written file, the tape transport round trip,
// and a camcorder unplugged mid-capture leaves a file the Video module plays
// and takes the page back.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "interfaces/discrunner.h"
#include "interfaces/dvgrab.h"
#include "platform/com/runtime.h"
#include "tests/corebridge/capture/capture_test_support.h"
#include "tests/outside/dvdevice/tapes.h"

namespace capture_test {
namespace {

namespace fs = std::filesystem;

// How long the live tape may take to reach a point, on a loaded machine.
constexpr int kLiveBoundMs = 60'000;

class CaptureLiveTest : public BridgeTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dvtapes::Dir().empty()) << "the tapes could not be made";
    // The build's registrations, so the engine and the DV component are
    // created by class id.
    fs::copy_file(fs::path(MARIVEL_TEST_BIN_DIR) / "registry" / "machine.reg",
                  fs::path(env_.dir()) / "registry" / "machine.reg", fs::copy_options::overwrite_existing);
    ::setenv("MARIVEL_BIN_DIR", MARIVEL_TEST_BIN_DIR, 1);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    BridgeTest::SetUp();
    system_->SetVideoPageCallback(&page_);
    Start();
    page_.video = &Video();
    // A real page window: the camcorder's picture and the player draw into it.
    WNDCLASS wc{};
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "CaptureTestPage";
    RegisterClass(&wc);
    page_.window = CreateWindowEx(0, "CaptureTestPage", "Video", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                  nullptr, nullptr, nullptr);
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IDiscRunner) {
        if (!player_) {
          const HRESULT hr = CoCreateInstance(CLSID_DiscRunner, nullptr, CLSCTX_INPROC_SERVER, IID_IDiscRunner,
                                              reinterpret_cast<void**>(player_.ReleaseAndGetAddressOf()));
          if (FAILED(hr)) return hr;
        }
        return player_->QueryInterface(iid, out);
      }
      if (iid != IID_IDvGrab) return E_NOINTERFACE;
      if (!engine_) {
        const HRESULT hr = CoCreateInstance(CLSID_DvGrab, nullptr, CLSCTX_INPROC_SERVER, IID_IDvGrab,
                                            reinterpret_cast<void**>(engine_.ReleaseAndGetAddressOf()));
        if (FAILED(hr)) return hr;
      }
      return engine_->QueryInterface(iid, out);
    };
    for (const char* key : {"PLAY", "PAUSE", "STOP", "REWIND", "FASTFORWARD"}) frame_.strings[key] = key;
    Video().m_strCapturedFolder = env_.path("captured");
    Video().m_strDefaultFolder = env_.path("videos");
    fs::create_directories(Video().m_strDefaultFolder);
    Video().m_nView = VIDEO_VIEW_FOLDER;
    Video().m_nPreviousView = VIDEO_VIEW_FOLDER;
    ASSERT_EQ(Act("Video Entry"), S_OK);
  }
  void TearDown() override {
    BridgeTest::TearDown();
    engine_.Reset();
    player_.Reset();
    PumpFor(20);
    DestroyWindow(page_.window);
    UnregisterClass("CaptureTestPage", nullptr);
    // The runtime stays initialised and the component servers loaded until
    // exit, as in the program: unloading them leaves the allocations their
    // media libraries keep for the process without an owner the leak checker
    // can name.
  }

  CVideoConfig& Video() { return *Config().m_pVideo; }
  HRESULT Act(const char* name) { return system_->ExecuteAction(name, 0, 0); }
  // A copy of `tape` the test may take away, declared as the only camcorder.
  std::string Insert(const std::string& tape) {
    const std::string copy = env_.path("tape-" + fs::path(tape).filename().string());
    fs::copy_file(tape, copy, fs::copy_options::overwrite_existing);
    dvtapes::Declare("1", copy, "");
    return copy;
  }
  std::vector<std::string> Captures(const std::string& extension) const {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(page_.video->m_strCapturedFolder, ec))
      if (e.path().string().ends_with(extension)) files.push_back(e.path().string());
    return files;
  }

  // Whether one capture ending in `suffix` is there and reads as video.
  bool FinishedCapture(const std::string& suffix) const {
    const auto files = Captures(suffix);
    return files.size() == 1 && !dvtapes::ProbeFile(files[0]).codec.empty();
  }

  RecordingCapturePage page_;
  ComPtr<IDvGrab> engine_;
  ComPtr<IDiscRunner> player_;
};

TEST_F(CaptureLiveTest, TheTapesFrameRatePicksThePresetRow) {
  struct Row {
    std::string tape;
    int width, height;
    const char* rate;
  };
  frame_.vendor = 2;
  const Row rows[] = {{dvtapes::Pal(), 352, 288, "25/1"}, {dvtapes::Ntsc(), 352, 240, "30000/1001"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tape);
    Insert(row.tape);
    for (const auto& f : Captures(".mpg")) fs::remove(f);
    Video().m_nDiscTypeIndex = 4;  // "VCD": small and quick to encode
    ASSERT_EQ(Act("Video Capture Video"), S_OK);
    ASSERT_EQ(Video().m_strDiscFormat, "VCD");
    ASSERT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_DV) << "vendor 2 takes the camcorder";
    ASSERT_EQ(Video().m_nDeviceKind, 1);
    page_.calls.clear();
    ASSERT_EQ(Act("Video Start Capturing"), S_OK);
    EXPECT_TRUE(PumpFor(kLiveBoundMs, [&] { return page_.Saw("ShowCaptureToHD 0:0:1"); })) << "a second captured";
    ASSERT_EQ(Act("Video Stop Capturing"), S_OK);
    ASSERT_TRUE(PumpFor(kLiveBoundMs, [&] { return FinishedCapture(".0000.mpg"); })) << "the capture's file";
    const auto files = Captures(".0000.mpg");
    ASSERT_EQ(files.size(), 1u);
    const dvtapes::Probe probe = dvtapes::ProbeFile(files[0]);
    EXPECT_EQ(probe.codec, "mpeg1video");
    EXPECT_EQ(probe.width, row.width);
    EXPECT_EQ(probe.height, row.height);
    EXPECT_EQ(probe.rate, row.rate);
    ASSERT_EQ(Act("Video Capture Video Return"), S_OK);
  }
}

TEST_F(CaptureLiveTest, TransportRoundTripAndUnplugMidCapture) {
  const std::string tape = Insert(dvtapes::Pal());
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  ASSERT_EQ(Act("Video Capture DV"), S_OK);
  EXPECT_EQ(Video().m_nPlayState, 2);
  EXPECT_EQ(Video().m_nDVDeviceState, 2);
  ASSERT_EQ(Act("Video Capture Pause"), S_OK);
  EXPECT_EQ(Video().m_nTransportState, 3);
  PumpFor(300);
  EXPECT_EQ(Video().m_nTransportState, 3) << "the engine's own notice agrees";
  ASSERT_EQ(Act("Video Capture Play"), S_OK);
  EXPECT_EQ(Video().m_nTransportState, 2);

  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  EXPECT_TRUE(PumpFor(kLiveBoundMs, [&] { return page_.Saw("ShowCaptureToHD 0:0:1"); })) << "the engine's capture time";
  // Unplugged: the file is finished and the page goes back.
  fs::remove(tape);
  EXPECT_TRUE(PumpFor(kLiveBoundMs, [&] { return Video().m_nView == VIDEO_VIEW_FOLDER; }));
  EXPECT_EQ(Video().m_bCapturing, 0);
  EXPECT_EQ(Video().m_nCaptureSource, VIDEO_SOURCE_NONE);
  EXPECT_EQ(Video().m_nHDCaptureTimer, 0u);
  EXPECT_EQ(Video().m_bDVOpened, 0);
  const auto files = Captures(".0000.avi");
  ASSERT_EQ(files.size(), 1u);
  const dvtapes::Probe probe = dvtapes::ProbeFile(files[0]);
  EXPECT_EQ(probe.codec, "dvvideo");
  EXPECT_GT(probe.seconds, 0.8);
  // The capture plays in the Video module.
  Video().m_folderFiles = {files[0]};
  Video().m_nFolderIndex = 0;
  ASSERT_EQ(Act("Video My Videos"), S_OK);
  ASSERT_EQ(Act("Video Play"), S_OK);
  EXPECT_EQ(Video().m_nView, VIDEO_VIEW_PLAYING);
  int state = -1;
  ASSERT_TRUE(player_);
  player_->GetPlayState(&state);
  EXPECT_EQ(state, kDiscPlaying);
  ASSERT_EQ(Act("Video Stop"), S_OK);
}

TEST_F(CaptureLiveTest, AnMpegCamcorderStartsPausedAndPausesAfterACapture) {
  Insert(dvtapes::Ts());
  ASSERT_EQ(Act("Video Capture Video"), S_OK);
  ASSERT_EQ(Act("Video Capture DV"), S_OK);
  EXPECT_EQ(Video().m_nDeviceKind, 2);
  EXPECT_EQ(Video().m_nTransportState, 3);
  ASSERT_EQ(Act("Video Capture Play"), S_OK);
  ASSERT_EQ(Act("Video Start Capturing"), S_OK);
  EXPECT_TRUE(PumpFor(kLiveBoundMs, [&] { return page_.Saw("ShowCaptureToHD 0:0:1"); })) << "a second captured";
  ASSERT_EQ(Act("Video Stop Capturing"), S_OK);
  EXPECT_EQ(Video().m_bCapturing, 0);
  EXPECT_EQ(Video().m_nTransportState, 3) << "the tape is paused after the capture";
  EXPECT_TRUE(PumpFor(kLiveBoundMs, [&] { return FinishedCapture(".0000.mpg"); })) << "the capture's file";
  const auto files = Captures(".0000.mpg");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(fs::path(files[0]).filename().string().rfind("MV_", 0), 0u) << files[0];
}

}  // namespace
}  // namespace capture_test
