// Figures of the Photo drawing services on the generated 12-megapixel photo,
// beside "djpeg -scale 1/8" of it: a photo rendered into its cached bitmap
// at 320 x 240, and a 2 x 2 folder preview of four such photos.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/ui_system_object.h"
#include "engines/picture/imagefx/image_fx.h"
#include "interfaces/core_object.h"
#include "platform/com/object.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "tests/engines/picture/picture_bench_support.h"

namespace {

namespace fs = std::filesystem;

// Only the picture component is served.
class PictureCore : public ICoreObject {
 public:
  using Interfaces = plat::InterfaceList<ICoreObject>;
  plat::HRESULT FallbackQueryInterface(const plat::IID& iid, void** out) {
    if (iid != IID_IImageFx && iid != IID_IImageFxProps) return plat::E_NOINTERFACE;
    if (!pictures) {
      // Ready as the Photo module's start leaves it.
      pictures = plat::MakeComObject<CImageFx>();
      plat::ComPtr<IImageFx> fx;
      pictures->QueryInterface(IID_IImageFx, reinterpret_cast<void**>(&fx));
      fx->Initialize();
    }
    return pictures->QueryInterface(iid, out);
  }
  plat::ComPtr<plat::ComObject<CImageFx>> pictures;
};

// A started system core on a scratch home and registry.
struct Bench {
  Bench() {
    std::string pattern = (fs::temp_directory_path() / "photo-bench-XXXXXX").string();
    dir = ::mkdtemp(pattern.data()) ? pattern : std::string();
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
    system->Start();
    folder = dir + "/four";
    fs::create_directories(folder);
    for (int i = 0; i < 4; ++i) fs::copy_file(Photo(), folder + "/p" + std::to_string(i) + ".jpg");
    PhotoRecord photo;
    photo.strPath = Photo();
    PhotoRecord preview;
    preview.strPath = folder;
    system->Config()->m_pPhoto->m_vecPhotos = {photo};
    system->Config()->m_pPhoto->m_vecFolders = {preview};
    bitmap = plat::CreateBitmapFromSurface(std::make_shared<plat::Surface>(320, 240));
    dc = plat::CreateCompatibleDC(nullptr);
    old = plat::SelectObject(dc, bitmap);
  }
  ~Bench() {
    system->DestroyPhotoCaches();
    system->Stop();
    system.Reset();
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    plat::DeleteObject(bitmap);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string dir, folder;
  plat::ComPtr<plat::ComObject<CUISystem>> system;
  plat::HBITMAP bitmap = nullptr;
  plat::HDC dc = nullptr;
  plat::HGDIOBJ old = nullptr;
};

double DjpegEighthMs() {
  static const double tool = ToolMs({"djpeg", "-scale", "1/8", Photo()});
  return tool;
}

void BM_RenderPhotoToBitmap(benchmark::State& state) {
  if (PhotoDir().empty()) return state.SkipWithError("no benchmark photo");
  Bench bench;
  if (bench.system->RenderPhotoToBitmap(0, bench.dc, 0, 0, 320, 240, nullptr) != plat::S_OK) {
    return state.SkipWithError("the photo was not drawn");
  }
  std::vector<double> runs;
  for (auto _ : state) {
    runs.push_back(TimeMs([&] { bench.system->RenderPhotoToBitmap(0, bench.dc, 0, 0, 320, 240, nullptr); }));
  }
  state.counters["tool_ms"] = DjpegEighthMs();
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["ratio"] = MeanMs(runs) / DjpegEighthMs();
  state.counters["goal_ratio"] = 1.2;
}

void BM_DrawFolderPreview2x2(benchmark::State& state) {
  if (PhotoDir().empty()) return state.SkipWithError("no benchmark photo");
  Bench bench;
  const auto draw = [&] {
    return bench.system->DrawFolderPreview(0, bench.dc, 0, 0, 320, 240, 0, 0, 320, 240, 2, 2, 90, nullptr);
  };
  if (draw() != plat::S_OK || !bench.system->Config()->m_pPhoto->m_vecFolders[0].bHasPreview) {
    return state.SkipWithError("the preview was not drawn");
  }
  std::vector<double> runs;
  for (auto _ : state) runs.push_back(TimeMs(draw));
  state.counters["tool_ms"] = DjpegEighthMs();
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["ratio"] = MeanMs(runs) / DjpegEighthMs();
  state.counters["goal_ratio"] = 4.5;
}

BENCHMARK(BM_RenderPhotoToBitmap)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DrawFolderPreview2x2)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
