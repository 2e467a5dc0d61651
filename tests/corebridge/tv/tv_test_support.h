// Fixtures for the TV controller's tests: a recording TV page and a started
// UI-system object whose core object hands out a TV engine (the scripted
// one unless a test installs another).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corebridge/core/tv_config.h"
#include "tests/corebridge/bridge/bridge_test_support.h"
#include "tests/corebridge/tv/fake_grabber.h"

namespace tv_test {

using namespace bridge_test;

// The TV page's event table, each call recorded with the page type it saw.
class RecordingTvPage final : public ITvPageEvents {
 public:
  int EnterModule() override { return Log("EnterModule"); }
  int ShowPage(const char* path) override { return Log(std::string("ShowPage ") + (path ? path : "")); }
  int Redraw(int flag) override { return Log("Redraw " + std::to_string(flag)); }
  int InvalidateFrame() override { return Log("InvalidateFrame"); }
  int ActivateWindow() override { return Log("ActivateWindow"); }
  int ResetDigitEntry() override { return Log("ResetDigitEntry"); }
  int GetDisplayWindow(HWND* window, RECT* video) override {
    *window = displayWindow;
    *video = RECT{0, 0, 640, 480};
    return 1;
  }
  int GetTVWallSize() override { return wallSize; }
  int SetTVWallItemCount(int count) override { return Log("SetTVWallItemCount " + std::to_string(count)); }
  int SetChannelListItemCount(int count) override { return Log("SetChannelListItemCount " + std::to_string(count)); }
  int DrawAutoScanProgress() override { return Log("DrawAutoScanProgress"); }
  int OnDisplayResize() override { return Log("OnDisplayResize"); }

  int Log(const std::string& call) {
    calls.push_back(call);
    return 1;
  }
  bool Saw(const std::string& call) const {
    for (const auto& c : calls)
      if (c == call) return true;
    return false;
  }
  int wallSize = 9;
  HWND displayWindow = nullptr;
  std::vector<std::string> calls;
};

class TvTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    system_->SetTVPageCallback(&page_);
    Start();
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IGrabber && engineOn_) return fake_->QueryInterface(iid, out);
      return E_NOINTERFACE;
    };
    Config().m_aFeatureWords[FEATURE_ROOT] = 1;
    Config().m_aFeatureWords[FEATURE_TV] = 2;
    TV().m_strSnapshotFolder = env_.path("snapshots");
    for (const char* key : {"TV_RECORD", "REPLAY", "BURN", "STOPRECORD", "STOPREPLAY", "STOPBURN", "PLAY", "PAUSE",
                            "PREPAREBURNING", "BURNINGREADY"})
      frame_.strings[key] = key;
    frame_.strings["TV_REWIND"] = "Back %d s";
    frame_.strings["TV_FASTFORWARD"] = "Ahead %d s";
  }
  void TearDown() override {
    BridgeTest::TearDown();
    fake_.Reset();
  }

  CTVConfig& TV() { return *Config().m_pTV; }
  int Run(const char* action, std::intptr_t a = 0, std::intptr_t b = 0) {
    return system_->ExecuteAction(action, a, b) == S_OK ? 1 : 0;
  }
  FakeGrabber& Engine() { return *fake_; }
  int Enter() { return Run("TV Entry"); }
  // Leaves the TV for the home page and enters again: the lists are read anew.
  void RebuildForTest() {
    TV().m_nPageType = 1;
    Run("Back");
    ASSERT_EQ(Enter(), 1);
  }

  RecordingTvPage page_;
  ComPtr<ComObject<FakeGrabber>> fake_ = MakeComObject<FakeGrabber>();
  bool engineOn_ = true;  // whether the core object hands out the engine
};

}  // namespace tv_test
