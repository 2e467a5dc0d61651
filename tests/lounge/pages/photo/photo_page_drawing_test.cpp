// The Photo page's thumbnails made through the real system core and picture
// component on the headless display: a folder's 2 x 2 mosaic inside the
// folder picture, photos in their colours, and a corrupt JPEG that gets the
// stand-in picture while the page goes on.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/ui_system_object.h"
#include "engines/picture/imagefx/image_fx.h"
#include "engines/picture/picture_core/picture_file.h"
#include "interfaces/core_object.h"
#include "lounge/pages/photo/photo_page.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/com/object.h"
#include "platform/display/display.h"
#include "platform/gdi/bitmap.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"

namespace {

namespace fs = std::filesystem;

CPhotoPage* g_page = nullptr;

plat::LRESULT FrameProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  switch (msg) {
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_PAINT:
      if (g_page) return g_page->OnPaint();
      {
        plat::PAINTSTRUCT ps;
        plat::BeginPaint(h, &ps);
        plat::EndPaint(h, &ps);
      }
      return 0;
    case kPhotoDrawArchiveItem:
      if (g_page) g_page->DrawArchiveItem(static_cast<int>(w), static_cast<int>(l));
      return 0;
    default:
      return plat::DefWindowProc(h, msg, w, l);
  }
}

void Pump() {
  plat::MSG m;
  for (int i = 0; i < 10000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) {
    plat::TranslateMessage(&m);
    plat::DispatchMessage(&m);
  }
}

// Only the picture component is served.
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

class SystemFrame : public pages::FakeShellFrame {
 public:
  IUISystem* system = nullptr;
  IUISystem* UISystem() override { return system; }
  int ExecuteAction(const std::string& name, long a, long b) override {
    FakeShellFrame::ExecuteAction(name, a, b);
    return plat::SUCCEEDED(system->ExecuteAction(name.c_str(), a, b)) ? 1 : 0;
  }
};

void WriteJpeg(const std::string& path, std::uint32_t colour, int width = 320, int height = 240) {
  const plat::Surface pixels(width, height, colour);
  picture::SaveOptions options;
  options.format = picture::kFormatJpeg;
  const auto bytes = picture::EncodePicture(pixels, options);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Rgb {
  int r, g, b;
};
Rgb At(plat::HBITMAP bitmap, int x, int y) {
  const std::uint32_t p = plat::GetBitmapSurface(bitmap)->pixel(x, y);
  return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}
bool Near(Rgb a, Rgb b, int tolerance = 40) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class PhotoPageDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "photo-page-XXXXXX").string();
    ASSERT_TRUE(::mkdtemp(pattern.data()));
    dir_ = pattern;
    for (const char* sub : {"home", "registry", "config", "data"}) fs::create_directories(dir_ + "/" + sub);
    ::setenv("HOME", (dir_ + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir_ + "/data").c_str(), 1);
    ::setenv("MARIVEL_REGISTRY_DIR", (dir_ + "/registry").c_str(), 1);
    CUISystemServices services;
    services.createCoreObject = [](plat::IUnknown** out) {
      auto core = plat::MakeComObject<PictureCore>();
      *out = core->NonDelegatingUnknown();
      (*out)->AddRef();
      return plat::S_OK;
    };
    system_ = plat::MakeComObject<CUISystem>(std::move(services));
    ASSERT_EQ(system_->Start(), plat::S_OK);

    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1280, 720};
    std::string error;
    started_ = plat::display::StartDisplay(options, &error);
    ASSERT_TRUE(started_) << error;
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "PhotoPageDrawingFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "PhotoPageDrawingFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(fs::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    frame_.window = window_;
    frame_.config = system_->Config();
    frame_.system = system_.Get();
    page_ = std::make_unique<CPhotoPage>(frame_);
    page_->AttachWindow(window_);
    page_->Create();
    g_page = page_.get();
  }
  void TearDown() override {
    g_page = nullptr;
    page_.reset();
    if (system_) {
      system_->DestroyPhotoCaches();
      system_->Stop();
      system_.Reset();
    }
    if (strings_) UnregisterUIStringTable(strings_.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(window_)) plat::DestroyWindow(window_);
    Pump();
    if (started_) plat::display::StopDisplay();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  CPhotoConfig& Photo() { return *system_->Config()->m_pPhoto; }

  std::string dir_;
  plat::ComPtr<plat::ComObject<CUISystem>> system_;
  SystemFrame frame_;
  std::unique_ptr<CPhotoPage> page_;

 private:
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
};

TEST_F(PhotoPageDrawingTest, AMosaicOfTheFolderAndAStandInForACorruptPicture) {
  const std::string pictures = dir_ + "/pictures";
  fs::create_directories(pictures + "/four");
  const std::uint32_t colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
  for (int i = 0; i < 4; ++i) WriteJpeg(pictures + "/four/p" + std::to_string(i) + ".jpg", colours[i]);
  // A JPEG cut off after its header, then a good one.
  WriteJpeg(pictures + "/a_good.jpg", 0xFF00FFFFu);
  {
    std::ifstream in(pictures + "/a_good.jpg", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 8);
    std::ofstream(pictures + "/b_corrupt.jpg", std::ios::binary).write(bytes.data(), bytes.size());
  }
  WriteJpeg(pictures + "/c_good.jpg", 0xFFFF00FFu);

  Photo().m_nPhotoState = 0;
  page_->ShowPage("Photo\\PhotoBrowser");
  page_->OpenPhotoFolder(pictures.c_str(), pictures.c_str());
  page_->RefreshBrowserList(0, 1);
  page_->Redraw(1);
  Pump();
  ASSERT_EQ(Photo().m_vecFolders.size(), 1u);
  ASSERT_EQ(Photo().m_vecPhotos.size(), 3u);

  // The folder: the folder picture with the four pictures in a 2 x 2 grid.
  const PhotoRecord& folder = Photo().m_vecFolders[0];
  ASSERT_TRUE(folder.hThumbnail);
  EXPECT_EQ(folder.bHasPreview, 1);
  int w = 0, h = 0;
  ASSERT_TRUE(GetBitmapSize(folder.hThumbnail, w, h));
  EXPECT_EQ(w, 320);
  const plat::RECT area = PhotoMosaicArea(0, w, h, 10, 12);
  const int cw = (area.right - area.left) / 2, ch = (area.bottom - area.top) / 2;
  std::vector<Rgb> seen;
  for (int cell = 0; cell < 4; ++cell)
    seen.push_back(At(folder.hThumbnail, area.left + cw * (cell % 2) + cw / 2, area.top + ch * (cell / 2) + ch / 2));
  for (std::uint32_t c : colours) {
    const Rgb want{static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)};
    bool found = false;
    for (Rgb s : seen) found = found || Near(s, want);
    EXPECT_TRUE(found) << want.r << "," << want.g << "," << want.b;
  }
  // Above the mosaic the folder picture shows, not a photo.
  const Rgb above = At(folder.hThumbnail, w / 2, area.top / 2);
  for (Rgb s : seen) EXPECT_FALSE(Near(above, s, 10));

  // The photos: their colours; the corrupt one the stand-in, and the page
  // went on to the photo after it.
  const Rgb cyan{0, 255, 255}, magenta{255, 0, 255};
  ASSERT_TRUE(Photo().m_vecPhotos[0].hThumbnail);
  ASSERT_TRUE(Photo().m_vecPhotos[1].hThumbnail);
  ASSERT_TRUE(Photo().m_vecPhotos[2].hThumbnail);
  ASSERT_TRUE(GetBitmapSize(Photo().m_vecPhotos[0].hThumbnail, w, h));
  EXPECT_TRUE(Near(At(Photo().m_vecPhotos[0].hThumbnail, w / 2, h / 2), cyan));
  EXPECT_TRUE(Near(At(Photo().m_vecPhotos[2].hThumbnail, w / 2, h / 2), magenta));
  // The stand-in: its dim frame and red stroke, not a blank bitmap.
  const plat::HBITMAP standIn = Photo().m_vecPhotos[1].hThumbnail;
  ASSERT_TRUE(GetBitmapSize(standIn, w, h));
  int reddish = 0, dark = 0;
  for (int y = 0; y < h; y += 2) {
    for (int x = 0; x < w; x += 2) {
      const Rgb p = At(standIn, x, y);
      reddish += p.r > 200 && p.g < 140;
      dark += p.r < 60 && p.g < 60 && p.b < 80;
    }
  }
  EXPECT_GT(reddish, 10);
  EXPECT_GT(dark, w * h / 16);
}

}  // namespace
