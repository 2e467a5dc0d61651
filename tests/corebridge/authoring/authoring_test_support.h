// Fixtures for the authoring controller's tests: recording Authoring and
// Record pages and a started UI-system object whose core object hands out
// the scripted authoring engine.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "corebridge/core/authoring_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/record_config.h"
#include "platform/win/file_dialog.h"
#include "tests/corebridge/authoring/fake_authoring_engine.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

// Reaches the services the object was made with, so a test can watch its
// message boxes.
class CUISystemTestAccess {
 public:
  static CUISystemServices& Services(CUISystem& system) { return system.m_services; }
};

namespace authoring_test {

using namespace bridge_test;

class RecordingAuthoringPage final : public IAuthoringPageEvents {
 public:
  int ShowAuthoringPage() override { return Log("ShowAuthoringPage"); }
  int GetPreviewArea(HWND* window, RECT* rect) override {
    Log("GetPreviewArea");
    if (!hasArea) return 0;
    *window = nullptr;
    *rect = RECT{10, 20, 330, 260};
    return 1;
  }
  int Redraw(int flag) override {
    if (job) stages.push_back({job->m_nStage, job->m_nElapsedSeconds, job->m_llTotalBytes});
    return Log("Redraw " + std::to_string(flag));
  }
  int Log(const std::string& call) {
    calls.push_back(call);
    return 1;
  }
  // What the job's fields held at each redraw.
  struct Seen {
    int stage;
    int elapsed;
    std::int64_t totalBytes;
  };
  const CAuthoringConfig* job = nullptr;
  std::vector<Seen> stages;
  bool hasArea = true;
  std::vector<std::string> calls;
};

class RecordingRecordPage final : public IRecordPageEvents {
 public:
  int ShowRecordPage() override { return Log("ShowRecordPage"); }
  int ShowSubPage() override { return Log("ShowSubPage"); }
  int Redraw(int flag) override { return Log("Redraw " + std::to_string(flag)); }
  int Log(const std::string& call) {
    calls.push_back(call);
    return 1;
  }
  std::vector<std::string> calls;
};

class AuthoringTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    // The authoring folders live in the test's own cache.
    if (const char* old = std::getenv("XDG_CACHE_HOME")) oldCache_ = old;
    ::setenv("XDG_CACHE_HOME", env_.path("cache").c_str(), 1);
    CUISystemTestAccess::Services(*system_).messageBox = [this](const std::string& text) { boxes_.push_back(text); };
    system_->SetAuthoringPageCallback(&authoringPage_);
    system_->SetRecordPageCallback(&recordPage_);
    Start();
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IAuthoringEngine && engineOn_) return fake_->QueryInterface(iid, out);
      return E_NOINTERFACE;
    };
    frame_.strings["BURN_VIDEO"] = "Burn video";
    frame_.strings["BURN_AUDIO"] = "Burn music";
    frame_.strings["BURN_PHOTO"] = "Burn photos";
  }
  void TearDown() override {
    plat::SetFileChooser({});
    BridgeTest::TearDown();
    fake_.Reset();
    if (oldCache_) ::setenv("XDG_CACHE_HOME", oldCache_->c_str(), 1);
    else ::unsetenv("XDG_CACHE_HOME");
  }

  CAuthoringConfig& Job() { return *Config().m_pAuthoring; }
  CRecordConfig& Hub() { return *Config().m_pRecord; }
  HRESULT Act(const char* action, std::intptr_t a = 0, std::intptr_t b = 0) {
    return system_->ExecuteAction(action, a, b);
  }
  FakeAuthoringEngine& Engine() { return *fake_; }
  // The dialog answers with `paths` (an empty list cancels it).
  void ChooseFiles(std::vector<std::string> paths) {
    plat::SetFileChooser([this, paths](const plat::OpenFileRequest& request, std::vector<std::string>& out) {
      requests_.push_back(request);
      out = paths;
      return !paths.empty();
    });
  }

  RecordingAuthoringPage authoringPage_;
  RecordingRecordPage recordPage_;
  ComPtr<ComObject<FakeAuthoringEngine>> fake_ = MakeComObject<FakeAuthoringEngine>();
  bool engineOn_ = true;
  std::vector<plat::OpenFileRequest> requests_;
  std::vector<std::string> boxes_;  // the message boxes shown
  std::optional<std::string> oldCache_;
};

}  // namespace authoring_test
