// Composing a 1920x1080 screen of five windows: the full-screen frame with
// a caption bar, a shaped playback bar, an OSD and a topmost tooltip.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "platform/display/compositor.h"
#include "platform/display/display.h"
#include "platform/win/display_link.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

using namespace plat;
using namespace plat::display;

struct Scene {
  std::vector<HWND> windows;
  Scene() {
    DisplayOptions o;
    o.backend = "headless";
    o.size = SIZE{1920, 1080};
    std::string error;
    StartDisplay(o, &error);
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "BenchWindow";
    RegisterClass(&wc);
    auto make = [&](DWORD style, RECT r, HWND parent, std::uint32_t colour, DWORD ex = 0) {
      HWND h = CreateWindowEx(ex, "BenchWindow", "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                              nullptr, nullptr, nullptr);
      SurfacePtr s = GetWindowSurface(h);
      std::fill(s->data(), s->data() + static_cast<std::size_t>(s->width()) * s->height(), colour);
      windows.push_back(h);
      return h;
    };
    HWND frame = make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1920, 1080}, nullptr, 0xFF202020u);
    make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, RECT{0, 0, 1920, 80}, frame, 0xFF404040u);
    HWND bar = make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, RECT{0, 940, 1920, 1080}, frame, 0xFF606060u);
    // A bar with rounded-off ends, as skins cut them from a key colour.
    Region shape(RECT{0, 0, 1920, 140});
    for (int i = 0; i < 20; ++i) {
      shape = shape.subtracted(Region(RECT{0, i, 20 - i, i + 1}));
      shape = shape.subtracted(Region(RECT{1900 + i, i, 1920, i + 1}));
    }
    SetWindowRegion(bar, &shape, FALSE);
    make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, RECT{1400, 120, 1860, 200}, frame, 0xFF00A000u);
    make(WS_POPUP | WS_VISIBLE, RECT{800, 880, 1100, 930}, nullptr, 0xFFFFFFE0u, WS_EX_TOPMOST);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  }
  ~Scene() {
    for (HWND h : windows) DestroyWindow(h);
    StopDisplay();
  }
};

void BM_ComposeFullFrameFiveWindows(benchmark::State& state) {
  Scene scene;
  Compositor compositor(SIZE{1920, 1080});
  const RECT screen{0, 0, 1920, 1080};
  const Region all(screen);
  for (auto _ : state) {
    compositor.compose(CollectCompositeLayers(screen), all);
    benchmark::DoNotOptimize(compositor.screen().pixel(10, 10));
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposeFullFrameFiveWindows)->Unit(benchmark::kMillisecond);

void BM_ComposeAndPresentHeadless(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    AddScreenDamage(RECT{0, 0, 1920, 1080});
    ComposeNow();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposeAndPresentHeadless)->Unit(benchmark::kMillisecond);

void BM_ComposeOsdUpdate(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    AddScreenDamage(RECT{1400, 120, 1860, 200});
    ComposeNow();
  }
}
BENCHMARK(BM_ComposeOsdUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
