// Load and paint of each Movie layout on a 1920x1080 headless screen: the
// layout read (shared with earlier loads, as in the program), the page's own
// load steps and a full paint into the back buffer and the frame window.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "lounge/pages/movie/movie_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

plat::LRESULT FrameProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  return plat::DefWindowProc(h, msg, w, l);
}

// The display, the skin, a configuration root and a frame window, made once.
struct Environment {
  Environment() {
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{kWidth, kHeight};
    std::string error;
    started = plat::display::StartDisplay(options, &error);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "MoviePageBenchFrame";
    plat::RegisterClass(&wc);
    frame.window = plat::CreateWindowEx(0, "MoviePageBenchFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, kWidth,
                                        kHeight, nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings.get());
    config = std::make_unique<CConfig>();
    frame.config = config.get();
    // Two drives, so that the drive selector draws its tiles.
    config->m_pMovie->m_arrDrives = {{"D:\\", 6}, {"E:\\", 3}};
    page = std::make_unique<CMoviePage>(frame);
    page->AttachWindow(frame.window);
    page->Create();
  }
  bool started = false;
  pages::FakeShellFrame frame;
  std::unique_ptr<CStringTable> strings;
  std::unique_ptr<CConfig> config;
  std::unique_ptr<CMoviePage> page;
};

Environment& Env() {
  static Environment env;
  return env;
}

void BM_LoadAndPaintMovieLayout(benchmark::State& state) {
  Environment& env = Env();
  const int id = static_cast<int>(state.range(0));
  const char* path = MoviePagePath(id);
  if (!env.started || !path) {
    state.SkipWithError("no display or no page");
    return;
  }
  env.config->m_pMovie->m_nMoviePageState = id;
  for (auto _ : state) {
    env.page->LoadPage(path);
    env.page->RefreshDriveList();
    env.page->Redraw(1);
  }
  if (!env.page->IsLoaded()) state.SkipWithError(env.page->LayoutError().c_str());
  state.SetLabel(path);
}
BENCHMARK(BM_LoadAndPaintMovieLayout)->DenseRange(2, 21)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
