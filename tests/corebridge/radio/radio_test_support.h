// Fixtures for the Radio controller's tests: a recording Radio page and a
// started UI-system object whose core object hands out the scripted radio
// engine, with the free-space query and the country code in the test's hands.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "corebridge/core/radio_config.h"
#include "tests/corebridge/bridge/bridge_test_support.h"
#include "tests/corebridge/radio/fake_radio_core.h"

// Reaches the services the object was made with, so a started object's
// queries can be replaced.
class CUISystemTestAccess {
 public:
  static CUISystemServices& Services(CUISystem& system) { return system.m_services; }
};

namespace radio_test {

using namespace bridge_test;

// The Radio page's event table, each call recorded with the page id it saw.
class RecordingRadioPage final : public IRadioPageEvents {
 public:
  int EnterModule() override { return Log("EnterModule"); }
  int ShowPage(const char* path) override { return Log(std::string("ShowPage ") + (path ? path : "")); }
  int ShowCurrentPage() override { return Log("ShowCurrentPage " + std::to_string(radio ? radio->m_nPage : -1)); }
  int RestoreListFocus() override {
    Log("RestoreListFocus");
    return 0;
  }
  int Redraw(int flag) override { return Log("Redraw " + std::to_string(flag)); }
  int DrawRadioText() override { return Log("DrawRadioText"); }
  int RefreshStationList() override { return Log("RefreshStationList"); }
  int ResetDigitEntry() override { return Log("ResetDigitEntry"); }
  HWND GetWindowHandle() override { return nullptr; }

  int Log(const std::string& call) {
    calls.push_back(call);
    return 1;
  }
  bool Saw(const std::string& call) const {
    for (const auto& c : calls)
      if (c == call) return true;
    return false;
  }
  // Index of the first call equal to `call`, -1 when none.
  int IndexOf(const std::string& call) const {
    for (std::size_t i = 0; i < calls.size(); ++i)
      if (calls[i] == call) return static_cast<int>(i);
    return -1;
  }
  const CRadioConfig* radio = nullptr;
  std::vector<std::string> calls;
};

class RadioTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    CUISystemServices& services = CUISystemTestAccess::Services(*system_);
    services.freeSpace = [this](const std::string& folder, std::uint64_t& bytes) {
      freeQueries_.push_back(folder);
      if (!freeKnown_) return false;
      bytes = freeBytes_;
      return true;
    };
    services.countryCode = [this] { return country_; };
    system_->SetRadioPageCallback(&page_);
    Start();
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IRadioCore && engineOn_) return fake_->QueryInterface(iid, out);
      return E_NOINTERFACE;
    };
    Config().m_aFeatureWords[FEATURE_ROOT] = 2;
    Config().m_aFeatureWords[FEATURE_RADIO] = 2;
    page_.radio = &Radio();
    Radio().m_strRecordFolder = env_.path("My Radio");
    std::filesystem::create_directories(Radio().m_strRecordFolder);
  }
  void TearDown() override {
    BridgeTest::TearDown();
    fake_.Reset();
  }

  CRadioConfig& Radio() { return *Config().m_pRadio; }
  int Run(const char* action, std::intptr_t a = 0, std::intptr_t b = 0) {
    return system_->ExecuteAction(action, a, b) == S_OK ? 1 : 0;
  }
  FakeRadioCore& Engine() { return *fake_; }
  int Enter() { return Run("Radio Entry"); }
  // Enters on the outside component's road with its capabilities.
  int EnterComponent() {
    frame_.vendor = 3;
    Engine().device = kRadioDeviceComponent;
    return Enter();
  }

  RecordingRadioPage page_;
  ComPtr<ComObject<FakeRadioCore>> fake_ = MakeComObject<FakeRadioCore>();
  bool engineOn_ = true;  // whether the core object hands out the engine
  bool freeKnown_ = true;
  std::uint64_t freeBytes_ = 10ull << 30;
  std::vector<std::string> freeQueries_;
  int country_ = 49;
};

}  // namespace radio_test
