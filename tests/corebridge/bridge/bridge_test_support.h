// Fixtures for the system-core tests: a temporary home and registry, a
// recording frame, recording pages, a core object built from the real
// in-memory services, a remote-control window, and a started UI-system
// object.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/schedule_list.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/engines.h"
#include "interfaces/imagefx.h"
#include "outside/coreobject/drive_enumerator.h"
#include "outside/coreobject/memory_audio.h"
#include "outside/coreobject/services.h"
#include "platform/com/com.h"
#include "platform/sys/drive_table.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/corebridge/bridge/fake_disc_runner.h"
#include "tests/corebridge/core/settings_test_support.h"

namespace bridge_test {

using namespace plat;

// The frame's services, recording each call as text.
class FakeFrame final : public IFrameServices {
 public:
  int LookupString(const std::string& key, std::string& text) override {
    const auto it = strings.find(key);
    if (it == strings.end()) return 0;
    text = it->second;
    return 1;
  }
  int SetDisplayRect(const RECT&) override { return 1; }
  int SetOsdOption(int) override { return 1; }
  int NotifyCaptionBar(int v) override { return Log("NotifyCaptionBar " + std::to_string(v)); }
  int SetCaptionBarVisible(int s, int a) override {
    return Log("SetCaptionBarVisible " + std::to_string(s) + " " + std::to_string(a));
  }
  int NotifyPlaybackBar(int v) override { return Log("NotifyPlaybackBar " + std::to_string(v)); }
  int SetPlaybackBarVisible(int, int) override { return 1; }
  int SetBarsTopmost(int) override { return 1; }
  int HideCursor() override { return 1; }
  int SuspendPowerSaving() override {
    powerHeld = true;
    return 1;
  }
  int RestorePowerSaving() override {
    powerHeld = false;
    return 1;
  }
  int PostRemoteMode(int) override { return 1; }
  int KeepDisplayOn(int) override { return 1; }
  int EnableScreenSaver(int) override { return 1; }
  int EnableMonitorPowerOff(int) override { return 1; }
  HWND GetFrameWnd() override { return nullptr; }
  int ShowOsdTextW(const std::u16string& text) override {
    return Log("ShowOsdTextW " + std::string(text.begin(), text.end()));
  }
  int ShowOsdText(const std::string& text) override { return Log("ShowOsdText " + text + " @" + std::to_string(osd)); }
  int ShowOsdStringId(const std::string& key) override {
    return Log("ShowOsdStringId " + key + " @" + std::to_string(osd));
  }
  int SetOsdOption2(int ms) override {
    osd = ms;
    return 1;
  }
  int GetOsdOption() override { return osd; }
  int HideOsd() override { return Log("HideOsd"); }
  int SetOsdOwner(std::intptr_t) override { return 1; }
  int GetVendorId() override { return vendor; }
  int GetAppFlags() override { return flags; }
  int MinimizeFrame() override { return 1; }
  int QuitApplication() override { return Log("QuitApplication"); }

  int Log(const std::string& text) {
    calls.push_back(text);
    return 1;
  }
  bool Saw(const std::string& text) const {
    for (const auto& c : calls)
      if (c == text) return true;
    return false;
  }

  std::vector<std::string> calls;
  std::map<std::string, std::string> strings{{"INCREASEVOL", "Volume up"},
                                             {"DECREASEVOL", "Volume down"},
                                             {"FF_STRINGSPEED", "FF x%s"},
                                             {"FB_STRINGSPEED", "FB x%s"}};
  int vendor = 0;
  int flags = 0;
  int osd = 2000;
  bool powerHeld = false;  // power saving suspended
};

class FakeHomePage final : public IHomePageEvents {
 public:
  int ShowPage() override {
    ++shown;
    return 1;
  }
  int Redraw(CConfig*, int flag) override {
    redraws.push_back(flag);
    return 1;
  }
  int shown = 0;
  std::vector<int> redraws;
};

class FakeModule9Page final : public IModule9PageEvents {
 public:
  int GoBack() override {
    ++backs;
    return 1;
  }
  int backs = 0;
};

// A core object over the real in-memory services, counting its creations;
// the drive enumerator reads the installed volume source.
class TestCoreObject : public ICoreObject {
 public:
  using Interfaces = plat::InterfaceList<ICoreObject>;
  HRESULT FallbackQueryInterface(const IID& iid, void** out) {
    if (iid == IID_ICoreAudio && audio) return audio->QueryInterface(iid, out);
    if (iid == IID_IDriveEnumerator && drives) return drives->QueryInterface(iid, out);
    if (iid == IID_IKeyInputSource && keys) return keys->QueryInterface(iid, out);
    if (services) {
      const HRESULT hr = services(iid, out);
      if (hr != E_NOINTERFACE) return hr;
    }
    if ((iid == IID_IDiscRunner || iid == IID_IDiscRunnerQueries) && engine) return engine->QueryInterface(iid, out);
    if ((iid == IID_IDiscRunner || iid == IID_IDiscRunnerQueries) && dvdPresent) {
      if (!dvd) dvd = MakeComObject<FakeDiscRunner>();
      return dvd->QueryInterface(iid, out);
    }
    if (iid == IID_IImageFx && imageFx) return imageFx->QueryInterface(iid, out);
    return E_NOINTERFACE;
  }
  ComPtr<ComObject<CMemoryAudio>> audio = MakeComObject<CMemoryAudio>();
  ComPtr<ComObject<CDriveEnumerator>> drives;
  ComPtr<ComObject<CKeyInput>> keys = MakeComObject<CKeyInput>();
  bool dvdPresent = false;
  ComPtr<ComObject<FakeDiscRunner>> dvd;  // the DVD engine while dvdPresent
  ComPtr<IUnknown> imageFx;
  ComPtr<IUnknown> engine;  // a real DVD engine, in place of the scripted one
  // Further services a test hands out (real engines, fakes); E_NOINTERFACE
  // passes the request on.
  std::function<HRESULT(const IID& iid, void** out)> services;
};

// Remote-control helper window: records the messages it gets and answers
// the brightness query.
struct RemoteWindow {
  RemoteWindow() {
    WNDCLASS wc{};
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "RemoteKeyWndClass";
    RegisterClass(&wc);
    hwnd = CreateWindowEx(0, "RemoteKeyWndClass", "RemoteKeyWnd", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                          nullptr);
    Current() = this;
  }
  ~RemoteWindow() {
    DestroyWindow(hwnd);
    Current() = nullptr;
  }
  static RemoteWindow*& Current() {
    static RemoteWindow* current = nullptr;
    return current;
  }
  static LRESULT Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    RemoteWindow* self = Current();
    if (self && msg >= WM_USER) {
      self->messages.push_back({msg, wp, lp});
      if (msg == WM_REMOTE_MODE && wp == 12) return self->brightness;
      if (msg == WM_REMOTE_MODE && wp == 13) self->brightness = static_cast<int>(lp);
    }
    return DefWindowProc(h, msg, wp, lp);
  }
  struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };
  HWND hwnd = nullptr;
  std::vector<Message> messages;
  int brightness = 8;
};

// Runs every message now in this thread's queue.
inline void Pump() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessage(&msg, nullptr, 0, 0, 1); ++i) DispatchMessage(&msg);
}

// A UI-system object on a temporary home and registry, with a fake frame,
// home page and core object; not started.
class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    volumes_ = std::make_shared<FakeVolumeSource>();
    SetVolumeSource(volumes_);
    CUISystemServices services;
    services.createCoreObject = [this](IUnknown** out) {
      ++coreCreations_;
      if (FAILED(coreFailure_)) return coreFailure_;
      auto core = MakeComObject<TestCoreObject>();
      core->drives = MakeComObject<CDriveEnumerator>();
      core->dvdPresent = dvdEngine_;
      core_ = core.Get();
      *out = core->NonDelegatingUnknown();
      (*out)->AddRef();
      return S_OK;
    };
    services.powerScheme = scheme_;
    services.clock = &clock_;
    services.scheduleTimerPeriodMs = timerPeriodMs_;
    services.desktop = desktop_;
    services.startMediaInBackground = startMedia_;
    system_ = MakeComObject<CUISystem>(std::move(services));
    ASSERT_TRUE(system_);
    system_->SetUICallback(&frame_);
    system_->SetHomePageCallback(&home_);
    system_->SetModule9PageCallback(&module9_);
    system_->m_onControllerStep = [this](const char* step) { steps_.push_back(step); };
  }
  void TearDown() override {
    if (system_ && system_->IsStarted()) system_->Stop();
    system_.Reset();
    SetVolumeSource(nullptr);
  }

  void Start() {
    ASSERT_EQ(system_->Start(), S_OK);
    steps_.clear();
    frame_.calls.clear();
  }
  CConfig& Config() { return *system_->Config(); }
  bool Stepped(const std::string& step) const {
    for (const auto& s : steps_)
      if (s == step) return true;
    return false;
  }

  settings_test::TempEnvironment env_;
  settings_test::FixedClock clock_{settings_test::At(2026, 3, 2, 12, 0, 0)};
  std::shared_ptr<FakeVolumeSource> volumes_;
  std::shared_ptr<RecordingPowerScheme> scheme_ = std::make_shared<RecordingPowerScheme>();
  std::shared_ptr<CMemoryDesktop> desktop_ = std::make_shared<CMemoryDesktop>();
  FakeFrame frame_;
  FakeHomePage home_;
  FakeModule9Page module9_;
  TestCoreObject* core_ = nullptr;
  bool dvdEngine_ = false;  // whether the core object made at Start hands out a DVD engine
  int coreCreations_ = 0;
  HRESULT coreFailure_ = S_OK;
  UINT timerPeriodMs_ = 3'600'000;  // ticks are driven by the tests
  // The media framework's background start; none unless a fixture sets it
  // before SetUp.
  std::function<std::jthread(std::function<void()> done)> startMedia_;
  std::vector<std::string> steps_;
  ComPtr<ComObject<CUISystem>> system_;
};

}  // namespace bridge_test
