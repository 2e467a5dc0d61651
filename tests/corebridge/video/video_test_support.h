// Fixtures for the Video controller and record hub tests: the generated
// clips, a recording Video page with a window of its own, a recording Record
// page, and a started UI-system object whose core object hands out the real
// DVD engine and picture component (registered from the build's hive).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "corebridge/core/record_config.h"
#include "corebridge/core/video_config.h"
#include "interfaces/chosen_files.h"
#include "interfaces/discrunner.h"
#include "interfaces/imagefx.h"
#include "platform/com/runtime.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace video_test {

using namespace bridge_test;
namespace fs = std::filesystem;

// The clips of make_test_clips.sh, built once (cached by the script's hash).
inline const fs::path& Clips() {
  static const fs::path dir = [] {
    const std::string command = std::string(VIDEO_FIXTURE_SCRIPT) + " " + VIDEO_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return fs::path();
    return fs::path(VIDEO_FIXTURE_DIR);
  }();
  return dir;
}
inline std::string Clip(const std::string& name) { return (Clips() / name).string(); }

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

// The Video page's event table: each call recorded; the page's window is a
// real (headless) window that counts the size-timer ticks. State 17 sends
// the pending action as the page does.
class RecordingVideoPage final : public IVideoPageEvents {
 public:
  RecordingVideoPage() {
    WNDCLASS wc{};
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "VideoTestPage";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "VideoTestPage", "Video", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                            nullptr, nullptr);
    Current() = this;
  }
  ~RecordingVideoPage() {
    DestroyWindow(window);
    UnregisterClass("VideoTestPage", nullptr);
    Current() = nullptr;
  }
  RecordingVideoPage(const RecordingVideoPage&) = delete;
  RecordingVideoPage& operator=(const RecordingVideoPage&) = delete;

  int EnterModule() override { return Log("EnterModule"); }
  int ShowStatePage() override {
    CVideoConfig& video = *system->Config()->m_pVideo;
    Log("ShowStatePage " + std::to_string(video.m_nView));
    if (video.m_nView == 17 && !video.m_strPendingAction.empty()) {
      ChosenFiles record;
      if (video.m_nPendingActionMode == 1) {
        record.files = video.m_selectedFiles;
        record.folder = video.m_strCapturedFolder;
        record.filter = "|.mpg|.avi|.wmv|";
      }
      const std::string action = video.m_strPendingAction;
      video.m_strPendingAction.clear();
      system->ExecuteAction(action.c_str(), video.m_nPendingActionMode, reinterpret_cast<std::intptr_t>(&record));
    }
    return 1;
  }
  int Redraw(int flag) override { return Log("Redraw " + std::to_string(flag)); }
  int ClearRecentVideos() override { return Log("ClearRecentVideos"); }
  int GetDisplayWindow(HWND* out, RECT* rect) override {
    *out = window;
    GetClientRect(window, rect);
    return 1;
  }
  int GetVideoRegion(HWND* out, RECT* rect) override { return GetDisplayWindow(out, rect); }
  int ShowCaptureToHD(int, int, int) override { return Log("ShowCaptureToHD"); }
  int ShowCaptureToDVD(int, int, int) override { return Log("ShowCaptureToDVD"); }
  int ResetDeviceList() override { return Log("ResetDeviceList"); }

  int Log(const std::string& text) {
    calls.push_back(text);
    return 1;
  }
  std::string Last() const { return calls.empty() ? std::string() : calls.back(); }
  bool Saw(const std::string& text) const {
    for (const auto& c : calls)
      if (c == text) return true;
    return false;
  }

  CUISystem* system = nullptr;
  HWND window = nullptr;
  std::vector<std::string> calls;
  int sizeTicks = 0;

 private:
  static RecordingVideoPage*& Current() {
    static RecordingVideoPage* current = nullptr;
    return current;
  }
  static LRESULT Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == 18443 && Current()) ++Current()->sizeTicks;
    return DefWindowProc(h, msg, wp, lp);
  }
};

// The Record page's event table, recording the hub mode at each call.
class RecordingRecordPage final : public IRecordPageEvents {
 public:
  int ShowRecordPage() override {
    calls.push_back("ShowRecordPage");
    return 1;
  }
  int ShowSubPage() override {
    calls.push_back("ShowSubPage " + std::to_string(system->Config()->m_pRecord->m_nState));
    return 1;
  }
  int Redraw(int flag) override {
    calls.push_back("Redraw " + std::to_string(flag));
    return 1;
  }
  CUISystem* system = nullptr;
  std::vector<std::string> calls;
};

// A UI-system object, started, with the Video and Record pages, whose core
// object hands out the DVD engine and the picture component as built.
class VideoTest : public BridgeTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Clips().empty()) << "the clips could not be made";
    // The build's registrations, so the engines are created by class id.
    fs::copy_file(fs::path(MARIVEL_TEST_BIN_DIR) / "registry" / "machine.reg",
                  fs::path(env_.dir()) / "registry" / "machine.reg", fs::copy_options::overwrite_existing);
    ::setenv("MARIVEL_BIN_DIR", MARIVEL_TEST_BIN_DIR, 1);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    BridgeTest::SetUp();
    page_.system = system_.Get();
    record_.system = system_.Get();
    system_->SetVideoPageCallback(&page_);
    system_->SetRecordPageCallback(&record_);
    Start();
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IDiscRunner) {
        if (!engineAvailable_) return E_NOINTERFACE;
        if (!engine_) {
          const HRESULT hr = CoCreateInstance(CLSID_DiscRunner, nullptr, CLSCTX_INPROC_SERVER, IID_IDiscRunner,
                                              reinterpret_cast<void**>(engine_.ReleaseAndGetAddressOf()));
          if (FAILED(hr)) return hr;
        }
        return engine_->QueryInterface(iid, out);
      }
      if (iid == IID_IImageFx) {
        if (pictureOverride_) return pictureOverride_->QueryInterface(iid, out);
        if (!picture_) {
          const HRESULT hr = CoCreateInstance(CLSID_ImageFx, nullptr, CLSCTX_INPROC_SERVER, IID_IImageFx,
                                              reinterpret_cast<void**>(picture_.ReleaseAndGetAddressOf()));
          if (FAILED(hr)) return hr;
        }
        return picture_->QueryInterface(iid, out);
      }
      return E_NOINTERFACE;
    };
    CVideoConfig& video = Video();
    video.m_strSnapshotFolder = env_.path("snapshots");
    video.m_strDefaultFolder = Clips().string();
  }
  void TearDown() override {
    BridgeTest::TearDown();
    engine_.Reset();
    picture_.Reset();
    pictureOverride_.Reset();
    CoUninitialize();
  }

  CVideoConfig& Video() { return *Config().m_pVideo; }
  CRecordConfig& Hub() { return *Config().m_pRecord; }
  HRESULT Act(const char* name, std::intptr_t a = 0, std::intptr_t b = 0) { return system_->ExecuteAction(name, a, b); }
  int EngineState() {
    int state = -1;
    if (engine_) engine_->GetPlayState(&state);
    return state;
  }
  int EngineSpeed() {
    int speed = 0;
    if (engine_) engine_->GetPlaySpeed(&speed);
    return speed;
  }
  // Enters the module and shows "my videos" with `files` (clip names).
  void EnterWithFiles(const std::vector<std::string>& files, int index = 0) {
    ASSERT_EQ(Act("Video Entry"), S_OK);
    Video().m_folderFiles.clear();
    for (const auto& f : files) Video().m_folderFiles.push_back(Clip(f));
    Video().m_nFolderIndex = index;
    ASSERT_EQ(Act("Video My Videos"), S_OK);
  }

  RecordingVideoPage page_;
  RecordingRecordPage record_;
  ComPtr<IDiscRunner> engine_;
  ComPtr<IImageFx> picture_;
  ComPtr<IUnknown> pictureOverride_;
  bool engineAvailable_ = true;
};

}  // namespace video_test
