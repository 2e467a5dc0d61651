// The Photo page with the real system core and picture component on the
// headless display, in a scratch home and registry: the frame window hands
// the page's thumbnail messages to the page, as the main frame does.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/ui_system_object.h"
#include "engines/picture/imagefx/image_fx.h"
#include "engines/picture/picture_core/picture_file.h"
#include "interfaces/core_object.h"
#include "lounge/pages/photo/photo_page.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/com/object.h"
#include "platform/display/display.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"

namespace photo_page_env {

namespace fs = std::filesystem;

inline CPhotoPage*& ActivePage() {
  static CPhotoPage* page = nullptr;
  return page;
}

inline plat::LRESULT FrameProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  CPhotoPage* page = ActivePage();
  switch (msg) {
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_PAINT:
      if (page) return page->OnPaint();
      {
        plat::PAINTSTRUCT ps;
        plat::BeginPaint(h, &ps);
        plat::EndPaint(h, &ps);
      }
      return 0;
    case kPhotoDrawArchiveItem:
      if (page) page->DrawArchiveItem(static_cast<int>(w), static_cast<int>(l));
      return 0;
    case kPhotoDrawHighlightItem:
      if (page) page->DrawHighlightItem(static_cast<int>(w), static_cast<int>(l));
      return 0;
    default:
      return plat::DefWindowProc(h, msg, w, l);
  }
}

inline void Pump() {
  plat::MSG m;
  for (int i = 0; i < 100000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) {
    plat::TranslateMessage(&m);
    plat::DispatchMessage(&m);
  }
}

// Only the picture component is served, ready as the module's start leaves it.
class PictureCore : public ICoreObject {
 public:
  using Interfaces = plat::InterfaceList<ICoreObject>;
  plat::HRESULT FallbackQueryInterface(const plat::IID& iid, void** out) {
    if (iid != IID_IImageFx && iid != IID_IImageFxProps) return plat::E_NOINTERFACE;
    if (!pictures) {
      pictures = plat::MakeComObject<CImageFx>();
      plat::ComPtr<IImageFx> fx;
      pictures->QueryInterface(IID_IImageFx, reinterpret_cast<void**>(&fx));
      fx->Initialize();
    }
    return pictures->QueryInterface(iid, out);
  }
  plat::ComPtr<plat::ComObject<CImageFx>> pictures;
};

// The frame: actions go to the system core.
class SystemFrame : public pages::FakeShellFrame {
 public:
  IUISystem* system = nullptr;
  IUISystem* UISystem() override { return system; }
  int ExecuteAction(const std::string& name, long a, long b) override {
    FakeShellFrame::ExecuteAction(name, a, b);
    return plat::SUCCEEDED(system->ExecuteAction(name.c_str(), a, b)) ? 1 : 0;
  }
};

inline void WriteJpeg(const std::string& path, std::uint32_t colour, int width = 320, int height = 240) {
  const plat::Surface pixels(width, height, colour);
  picture::SaveOptions options;
  options.format = picture::kFormatJpeg;
  const auto bytes = picture::EncodePicture(pixels, options);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class Env {
 public:
  Env() {
    std::string pattern = (fs::temp_directory_path() / "photo-page-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return;
    dir = pattern;
    for (const char* sub : {"home", "registry", "config", "data"}) fs::create_directories(dir + "/" + sub);
    ::setenv("HOME", (dir + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    ::setenv("MARIVEL_REGISTRY_DIR", (dir + "/registry").c_str(), 1);
    CUISystemServices services;
    services.createCoreObject = [](plat::IUnknown** out) {
      auto core = plat::MakeComObject<PictureCore>();
      *out = core->NonDelegatingUnknown();
      (*out)->AddRef();
      return plat::S_OK;
    };
    system = plat::MakeComObject<CUISystem>(std::move(services));
    if (system->Start() != plat::S_OK) return;

    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1280, 720};
    started_ = plat::display::StartDisplay(options, &error);
    if (!started_) return;
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "PhotoPageEnvFrame";
    plat::RegisterClass(&wc);
    window = plat::CreateWindowEx(0, "PhotoPageEnvFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                  nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(fs::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    frame.window = window;
    frame.config = system->Config();
    frame.system = system.Get();
    page = std::make_unique<CPhotoPage>(frame);
    page->AttachWindow(window);
    page->Create();
    ActivePage() = page.get();
    ok = true;
  }
  ~Env() {
    ActivePage() = nullptr;
    page.reset();
    if (system) {
      system->DestroyPhotoCaches();
      system->Stop();
      system.Reset();
    }
    if (strings_) UnregisterUIStringTable(strings_.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(window)) plat::DestroyWindow(window);
    Pump();
    if (started_) plat::display::StopDisplay();
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;

  CPhotoConfig& Photo() { return *system->Config()->m_pPhoto; }
  // The thumbnail browser on `folder`, drawn once (thumbnails asked for,
  // not made).
  void OpenBrowser(const std::string& folder) {
    Photo().m_nPhotoState = 0;
    page->ShowPage("Photo\\PhotoBrowser");
    page->OpenPhotoFolder(folder.c_str(), folder.c_str());
    page->RefreshBrowserList(0, 1);
    page->Redraw(1);
  }

  bool ok = false;
  std::string dir, error;
  plat::ComPtr<plat::ComObject<CUISystem>> system;
  SystemFrame frame;
  std::unique_ptr<CPhotoPage> page;
  plat::HWND window = nullptr;

 private:
  bool started_ = false;
  std::unique_ptr<CStringTable> strings_;
};

}  // namespace photo_page_env
