// Fixtures for the Photo controller's tests: the real picture component,
// slide-show renderer (seen through a recording wrapper), media player and
// image acquisition in a core object of their own; a recording Photo page
// whose display window is a headless window; generated pictures; and a
// started UI-system object with a fake frame.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/record_config.h"
#include "corebridge/core/ui_system_object.h"
#include "engines/picture/imagefx/image_fx.h"
#include "engines/picture/picture_core/picture_file.h"
#include "engines/picture/slidedraw/slide_draw.h"
#include "engines/playback/wmhost/engine/wm_player.h"
#include "interfaces/slidedraw.h"
#include "outside/imageacquire/image_acquire.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace photo_test {

using namespace plat;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The renderer, with the calls the controller makes written down.
class RecordingSlideDraw : public ISlideDraw {
 public:
  using Interfaces = plat::InterfaceList<ISlideDraw>;
  RecordingSlideDraw() : inner_(MakeComObject<CSlideDraw>()) {}

  HRESULT BuildGraph() override { return Log("BuildGraph", inner_->BuildGraph()); }
  HRESULT TearDown() override { return Log("TearDown", inner_->TearDown()); }
  HRESULT SetOption(std::int32_t o) override { return inner_->SetOption(o); }
  HRESULT SetOwnerWindow(HWND w) override { return inner_->SetOwnerWindow(w); }
  HRESULT SetParentWindow(HWND w) override { return inner_->SetParentWindow(w); }
  HRESULT FitToWindow() override { return Log("FitToWindow", inner_->FitToWindow()); }
  HRESULT SetForeground(std::int32_t f) override { return inner_->SetForeground(f); }
  HRESULT SetWindowFlag(std::int32_t f) override { return inner_->SetWindowFlag(f); }
  HRESULT ShowVideo(std::int32_t s) override { return Log("ShowVideo " + std::to_string(s), inner_->ShowVideo(s)); }
  HRESULT Run() override { return Log("Run", inner_->Run()); }
  HRESULT Stop() override { return Log("Stop", inner_->Stop()); }
  HRESULT Pause() override { return Log("Pause", inner_->Pause()); }
  HRESULT FastForward(float r) override { return Log("FastForward", inner_->FastForward(r)); }
  HRESULT Rewind(float r) override { return Log("Rewind", inner_->Rewind(r)); }
  HRESULT GetRate(float* r) override { return inner_->GetRate(r); }
  HRESULT SetSlideDuration(std::int64_t d) override {
    slideDuration = d;
    return inner_->SetSlideDuration(d);
  }
  HRESULT SetTransitionDuration(std::int64_t d) override {
    transitionDuration = d;
    return inner_->SetTransitionDuration(d);
  }
  HRESULT GetDuration(std::int64_t* d) override { return inner_->GetDuration(d); }
  HRESULT GetCurrentPosition(std::int64_t* p) override { return inner_->GetCurrentPosition(p); }
  HRESULT SetCurrentPosition(std::int64_t p) override {
    return Log("SetCurrentPosition " + std::to_string(p / 10'000'000), inner_->SetCurrentPosition(p));
  }
  HRESULT SeekAndShow(std::int64_t p) override { return inner_->SeekAndShow(p); }
  HRESULT SetSourceValue(std::int32_t v) override { return inner_->SetSourceValue(v); }
  HRESULT SetAspectFactor(float f) override { return inner_->SetAspectFactor(f); }
  HRESULT InsertSlide(std::int32_t i, const char* p) override { return inner_->InsertSlide(i, p); }
  HRESULT AddSlide(const char* p) override {
    const HRESULT hr = inner_->AddSlide(p);
    if (SUCCEEDED(hr)) slides.push_back(p);
    return hr;
  }
  HRESULT RemoveSlide(std::int32_t i) override { return inner_->RemoveSlide(i); }
  HRESULT ClearSlides() override {
    slides.clear();
    effects.clear();
    return inner_->ClearSlides();
  }
  HRESULT SetSlideTransition(std::int32_t i, std::int32_t e) override {
    effects.push_back(e);
    return inner_->SetSlideTransition(i, e);
  }
  HRESULT Halt() override { return inner_->Halt(); }
  HRESULT HandleGraphEvent() override { return inner_->HandleGraphEvent(); }
  HRESULT SetNotifyTarget(ISlideShowEventSink* s) override { return inner_->SetNotifyTarget(s); }
  HRESULT IsGraphBuilt(std::int32_t* b) override { return inner_->IsGraphBuilt(b); }

  HRESULT Log(const std::string& call, HRESULT hr) {
    calls.push_back(call);
    return hr;
  }
  bool Called(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }

  std::vector<std::string> calls;
  std::vector<std::string> slides;
  std::vector<int> effects;
  std::int64_t slideDuration = 0;
  std::int64_t transitionDuration = 0;

 private:
  ComPtr<ComObject<CSlideDraw>> inner_;
};

// A core object with the real engines the Photo module uses.
class PhotoCoreObject : public bridge_test::TestCoreObject {
 public:
  HRESULT FallbackQueryInterface(const IID& iid, void** out) {
    if (iid == IID_ISlideDraw) {
      if (!show) show = MakeComObject<RecordingSlideDraw>();
      return show->QueryInterface(iid, out);
    }
    if (iid == IID_IImageFx || iid == IID_IImageFxProps) {
      if (!pictures) pictures = MakeComObject<CImageFx>();
      return pictures->QueryInterface(iid, out);
    }
    if (iid == IID_IImageAcquire || iid == IID_IImageAcquireSession) {
      if (!acquire) acquire = MakeComObject<CImageAcquire>();
      return acquire->QueryInterface(iid, out);
    }
    if (iid == IID_IWMPlayer) {
      if (!player) {
        WMPlayerSetup setup;
        setup.libraryPath = libraryPath;
        player = MakeComObject<CWMPlayer>(std::move(setup));
      }
      return player->QueryInterface(iid, out);
    }
    return bridge_test::TestCoreObject::FallbackQueryInterface(iid, out);
  }
  ComPtr<ComObject<RecordingSlideDraw>> show;
  ComPtr<ComObject<CImageFx>> pictures;
  ComPtr<ComObject<CImageAcquire>> acquire;
  ComPtr<ComObject<CWMPlayer>> player;
  std::string libraryPath;
};

// The Photo page: every call written down; the display window is a
// headless window; files are listed from the disc.
class RecordingPhotoPage final : public IPhotoPageEvents {
 public:
  RecordingPhotoPage() {
    WNDCLASS wc{};
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "PhotoTestDisplay";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "PhotoTestDisplay", "", WS_POPUP, 0, 0, 160, 120, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
  }
  ~RecordingPhotoPage() { DestroyWindow(window); }

  int ShowPage(const char* path) override { return Log(std::string("ShowPage ") + (path ? path : "")); }
  int ReloadPage() override { return Log("ReloadPage"); }
  int PopHistory(int n) override { return Log("PopHistory " + std::to_string(n)); }
  int ClearHistory() override { return Log("ClearHistory"); }
  int EnterModule(const char* path) override { return Log(std::string("EnterModule ") + (path ? path : "null")); }
  int NoOperation() override { return Log("NoOperation"); }
  int Redraw(int flag) override { return Log("Redraw " + std::to_string(flag)); }
  int OpenPhotoFolder(const char* folder, const char* root) override {
    return Log(std::string("OpenPhotoFolder ") + folder + " " + root);
  }
  int OpenMusicFolder(const char* folder) override { return Log(std::string("OpenMusicFolder ") + folder); }
  int ResetAcquireBrowser() override { return Log("ResetAcquireBrowser"); }
  int LoadPhotoFileList(const std::vector<std::string>& files) override {
    return Log("LoadPhotoFileList " + std::to_string(files.size()));
  }
  int OpenFolderSelectFolder(const char* folder, const char* root) override {
    return Log(std::string("OpenFolderSelectFolder ") + folder + " " + root);
  }
  int RefreshBrowserList(int source, int reset) override {
    return Log("RefreshBrowserList " + std::to_string(source) + " " + std::to_string(reset));
  }
  int AddBrowserFile(const char* path, int source) override {
    added.emplace_back(path, source);
    return Log("AddBrowserFile " + std::to_string(source));
  }
  int GetBrowserFolder(std::string& folder, int source, int) override {
    Log("GetBrowserFolder " + std::to_string(source));
    if (chosenFolder.empty()) return 0;
    folder = chosenFolder;
    return 1;
  }
  int CollectFiles(const char* folder, const char* filter, std::vector<std::string>& files, int) override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
      const std::string extension = entry.path().extension().string();
      if (!extension.empty() && std::string(filter).find("|" + extension + "|") != std::string::npos) {
        files.push_back(entry.path().string());
      }
    }
    std::sort(files.begin(), files.end());
    return 1;
  }
  int ShowAcquireProgress(int percent) override { return Log("ShowAcquireProgress " + std::to_string(percent)); }
  HWND GetDisplayWindow() override { return window; }

  int Log(const std::string& call) {
    calls.push_back(call);
    return 1;
  }
  bool Saw(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }

  HWND window = nullptr;
  std::vector<std::string> calls;
  std::vector<std::pair<std::string, int>> added;
  std::string chosenFolder;
};

// Runs messages until `done` holds or the limit passes.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return false;
}

// Writes a JPEG of one colour.
inline std::string WriteJpeg(const std::string& path, std::uint32_t colour, int width = 64, int height = 48) {
  const plat::Surface pixels(width, height, colour);
  picture::SaveOptions options;
  options.format = picture::kFormatJpeg;
  const auto bytes = picture::EncodePicture(pixels, options);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// Writes a JPEG whose colours change across it, so any turn changes it.
inline std::string WriteGradientJpeg(const std::string& path, int width = 64, int height = 48) {
  plat::Surface pixels(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.set_pixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 255 / width) << 16 |
                                 static_cast<std::uint32_t>(y * 255 / height) << 8 | 0x40u);
    }
  }
  picture::SaveOptions options;
  options.format = picture::kFormatJpeg;
  const auto bytes = picture::EncodePicture(pixels, options);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

inline PhotoRecord Record(const std::string& path, int checked = 1) {
  PhotoRecord r;
  r.strPath = path;
  r.strName = fs::path(path).filename().string();
  r.bChecked = checked;
  return r;
}

// A started UI-system object over the Photo core object, with the recording
// page and a remote-control window; vendor 1 so mode notices are sent.
class PhotoTest : public bridge_test::BridgeTest {
 protected:
  void SetUp() override {
    bridge_test::BridgeTest::SetUp();
    dir_ = env_.path("photos");
    fs::create_directories(dir_);
    CUISystemServices services;
    services.createCoreObject = [this](IUnknown** out) {
      auto core = MakeComObject<PhotoCoreObject>();
      core->drives = MakeComObject<CDriveEnumerator>();
      core->libraryPath = env_.path("library.db");
      photoCore_ = core.Get();
      *out = core->NonDelegatingUnknown();
      (*out)->AddRef();
      return S_OK;
    };
    services.powerScheme = scheme_;
    services.clock = &clock_;
    services.scheduleTimerPeriodMs = timerPeriodMs_;
    services.desktop = desktop_;
    system_ = MakeComObject<CUISystem>(std::move(services));
    frame_.vendor = 1;
    frame_.flags = 0x40;
    system_->SetUICallback(&frame_);
    system_->SetHomePageCallback(&home_);
    system_->SetPhotoPageCallback(&page_);
    Start();
  }

  CPhotoConfig& Photo() { return *Config().m_pPhoto; }
  HRESULT Act(const char* name, std::intptr_t a = 0, std::intptr_t b = 0) { return system_->ExecuteAction(name, a, b); }
  // The remote window's mode notices (wParam) since the last call.
  std::vector<WPARAM> Modes() {
    bridge_test::Pump();
    std::vector<WPARAM> modes;
    for (const auto& m : remote_.messages) {
      if (m.msg == WM_REMOTE_MODE && m.lParam == 8) modes.push_back(m.wParam);
    }
    remote_.messages.clear();
    return modes;
  }
  void Enter() {
    ASSERT_EQ(Act("Photo Entry"), S_OK);
    Modes();
  }
  // `n` photos in the list, all checked, of alternating colours.
  void FillPhotos(int n) {
    for (int i = 0; i < n; ++i) {
      const std::string path = dir_ + "/p" + std::to_string(i) + ".jpg";
      WriteJpeg(path, i % 2 ? 0xFF0000FFu : 0xFFFF0000u);
      Photo().m_vecPhotos.push_back(Record(path));
    }
  }
  RecordingSlideDraw& Show() {
    ComPtr<ISlideDraw> touch;
    photoCore_->QueryInterface(IID_ISlideDraw, reinterpret_cast<void**>(&touch));
    return *photoCore_->show.Get();
  }

  bridge_test::RemoteWindow remote_;
  RecordingPhotoPage page_;
  PhotoCoreObject* photoCore_ = nullptr;
  std::string dir_;
};

}  // namespace photo_test
