// Fixtures for the capture controller's tests: a recording Video page with
// a window and a video region, and a started UI-system object whose core
// object hands out the scripted camcorder engine and the scripted grabber.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "corebridge/core/video_config.h"
#include "tests/corebridge/bridge/bridge_test_support.h"
#include "tests/corebridge/capture/fake_dvgrab.h"
#include "tests/corebridge/tv/fake_grabber.h"

namespace capture_test {

using namespace bridge_test;

// Dispatches this thread's messages for `ms` milliseconds, or until `done`.
// `done` is asked after every message: on a loaded machine the queue may
// never run dry while a clip plays, and a state can come and go meanwhile.
inline bool PumpFor(int ms, const std::function<bool()>& done = nullptr) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (std::chrono::steady_clock::now() < end && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
      if (done && done()) return true;
    }
    if (done && done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return done ? done() : true;
}

// The Video page's event table: each call recorded with the page state it
// saw. Its video region is a fixed rectangle unless `hasRegion` is false.
class RecordingCapturePage final : public IVideoPageEvents {
 public:
  int EnterModule() override { return Log("EnterModule"); }
  int ShowStatePage() override { return Log("ShowStatePage " + std::to_string(video->m_nView)); }
  int Redraw(int flag) override { return Log("Redraw " + std::to_string(flag)); }
  int ClearRecentVideos() override { return Log("ClearRecentVideos"); }
  int GetDisplayWindow(HWND* out, RECT* rect) override {
    *out = window;
    *rect = RECT{0, 0, 800, 600};
    return 1;
  }
  int GetVideoRegion(HWND* out, RECT* rect) override {
    if (!hasRegion) return 0;
    *out = window;
    *rect = region;
    return 1;
  }
  int ShowCaptureToHD(int h, int m, int s) override { return Log("ShowCaptureToHD " + Time(h, m, s)); }
  int ShowCaptureToDVD(int h, int m, int s) override { return Log("ShowCaptureToDVD " + Time(h, m, s)); }
  int ResetDeviceList() override { return Log("ResetDeviceList"); }

  int Log(const std::string& text) {
    calls.push_back(text);
    return 1;
  }
  bool Saw(const std::string& text) const {
    for (const auto& c : calls)
      if (c == text) return true;
    return false;
  }
  int CountStartingWith(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  static std::string Time(int h, int m, int s) {
    return std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s);
  }

  CVideoConfig* video = nullptr;
  HWND window = reinterpret_cast<HWND>(0x1234);
  RECT region{100, 50, 500, 350};
  bool hasRegion = true;
  std::vector<std::string> calls;
};

class CaptureTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    system_->SetVideoPageCallback(&page_);
    Start();
    page_.video = &Video();
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IDvGrab && dvOn_) return dv_->QueryInterface(iid, out);
      if (iid == IID_IGrabber && grabberOn_) return grabber_->QueryInterface(iid, out);
      return E_NOINTERFACE;
    };
    for (const char* key : {"PLAY", "PAUSE", "STOP", "REWIND", "FASTFORWARD"}) frame_.strings[key] = key;
    Video().m_strCapturedFolder = env_.path("captured");
    Video().m_strDefaultFolder = env_.path("videos");
    std::filesystem::create_directories(Video().m_strDefaultFolder);
    Video().m_nView = VIDEO_VIEW_FOLDER;
    Video().m_nPreviousView = VIDEO_VIEW_FOLDER;
    ASSERT_EQ(Act("Video Entry"), S_OK);
  }
  void TearDown() override {
    BridgeTest::TearDown();
    dv_.Reset();
    grabber_.Reset();
  }

  CVideoConfig& Video() { return *Config().m_pVideo; }
  HRESULT Act(const char* name, std::intptr_t a = 0, std::intptr_t b = 0) { return system_->ExecuteAction(name, a, b); }
  FakeDvGrab& Dv() { return *dv_; }
  tv_test::FakeGrabber& Grabber() { return *grabber_; }
  bool FrameSaw(const std::string& call) const {
    for (const auto& c : frame_.calls)
      if (c == call) return true;
    return false;
  }
  // Opens the capture page and picks the DV input.
  void OpenOnDv() {
    ASSERT_EQ(Act("Video Capture Video"), S_OK);
    ASSERT_EQ(Act("Video Capture DV"), S_OK);
  }

  RecordingCapturePage page_;
  ComPtr<ComObject<FakeDvGrab>> dv_ = MakeComObject<FakeDvGrab>();
  ComPtr<ComObject<tv_test::FakeGrabber>> grabber_ = MakeComObject<tv_test::FakeGrabber>();
  bool dvOn_ = true;
  bool grabberOn_ = true;
};

}  // namespace capture_test
