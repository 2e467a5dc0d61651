// Music page speed at 1920x1080 on the headless display with the default
// skin: the track page shown and fully painted with 1,000 tracks, and one
// focus step down the list (the highlighted item's texts included).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "lounge/pages/music/music_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"

namespace {

struct Fixture {
  Fixture() {
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1920, 1080};
    std::string error;
    plat::display::StartDisplay(options, &error);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = plat::DefWindowProc;
    wc.lpszClassName = "MusicPageBenchFrame";
    plat::RegisterClass(&wc);
    window = plat::CreateWindowEx(0, "MusicPageBenchFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1920, 1080,
                                  nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings.get());
    config.m_nActiveModule = MODULE_MUSIC;
    for (int i = 0; i < 1000; ++i) {
      MusicRecord track;
      track.strTexts[0] = "Track number " + std::to_string(i);
      track.strTexts[CMusicConfig::kTrackUrlText] = "/music/" + std::to_string(i) + ".mp3";
      track.strTexts[4] = "03:20";
      config.m_pMusic->m_vecLibraryTracks.push_back(track);
    }
    config.m_pMusic->PushMusicPage(15);
    frame.window = window;
    frame.config = &config;
    page = std::make_unique<CMusicPage>(frame);
    page->AttachWindow(window);
    page->Create();
  }
  plat::HWND window = nullptr;
  std::unique_ptr<CStringTable> strings;
  CConfig config;
  pages::FakeShellFrame frame;
  std::unique_ptr<CMusicPage> page;
};

Fixture& Get() {
  static Fixture* fixture = new Fixture();  // lives to the program's exit
  return *fixture;
}

void BM_ShowTrackPageAndPaint1000Tracks(benchmark::State& state) {
  Fixture& f = Get();
  for (auto _ : state) {
    f.page->ShowPage();
    f.page->RefreshListPanel();
    f.page->Redraw(1);
  }
}
BENCHMARK(BM_ShowTrackPageAndPaint1000Tracks)->Unit(benchmark::kMillisecond);

void BM_FocusStepOnTheTrackList(benchmark::State& state) {
  Fixture& f = Get();
  f.page->ShowPage();
  f.page->RefreshListPanel();
  f.page->Redraw(1);
  int list = -1;
  f.page->Layout()->FindList("Music List Panel", list);
  f.page->HighlightListItem(0, list);
  for (auto _ : state) {
    f.page->OnKeyDown(plat::VK_DOWN, 1, 0);
    state.PauseTiming();
    if (f.page->FocusedEntry() >= 6) f.page->HighlightListItem(0, list);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FocusStepOnTheTrackList)->Unit(benchmark::kMicrosecond);

}  // namespace
