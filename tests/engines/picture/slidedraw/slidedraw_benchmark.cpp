// Figures of the slide-show renderer at 1920×1080 on the generated noisy
// 12-megapixel photo: preparing one slide beside `djpeg -scale 1/2` of it (goal
// ≤ 1.3×), one crossfade frame (goal ≤ 6 ms), and the next slide's picture
// once the worker has prepared it (goal ≤ 50 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engines/picture/slidedraw/frame_composer.h"
#include "engines/picture/slidedraw/transition_effects.h"
#include "tests/engines/picture/picture_bench_support.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Ours and djpeg in turn, so that a drift of the machine's speed touches
// both alike; the ratio is the median of the pairs' ratios, the times are
// medians too (a mean of five once moved the ratio by half).
void BM_PrepareSlide(benchmark::State& state) {
  std::vector<double> ours, tool, ratios;
  for (auto _ : state) {
    const double mine = TimeMs([] { benchmark::DoNotOptimize(slidedraw::RenderSlide(Photo(), kWidth, kHeight)); });
    state.PauseTiming();
    const double theirs = RunTool({"djpeg", "-scale", "1/2", "-outfile", "/dev/null", Photo()});
    state.ResumeTiming();
    if (theirs <= 0) continue;
    ours.push_back(mine);
    tool.push_back(theirs);
    ratios.push_back(mine / theirs);
  }
  state.counters["ours_ms"] = Median(ours);
  state.counters["tool_ms"] = Median(tool);
  state.counters["ratio"] = Median(ratios);
  state.counters["ratio_min"] = ratios.empty() ? 0 : *std::min_element(ratios.begin(), ratios.end());
  state.counters["ratio_max"] = ratios.empty() ? 0 : *std::max_element(ratios.begin(), ratios.end());
  state.counters["goal_ratio"] = 1.3;
}

void BM_CrossfadeFrame(benchmark::State& state) {
  const plat::Surface from(kWidth, kHeight, 0xFFFF0000u);
  const plat::Surface to(kWidth, kHeight, 0xFF0000FFu);
  plat::Surface out(kWidth, kHeight);
  std::vector<double> runs;
  double progress = 0.0;
  for (auto _ : state) {
    progress = progress > 0.9 ? 0.05 : progress + 0.04;
    runs.push_back(TimeMs([&] { slidedraw::ComposeTransition(slidedraw::kCrossfade, progress, from, to, out); }));
  }
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["goal_ms"] = 6;
}

void BM_NextSlidePrefetched(benchmark::State& state) {
  slidedraw::SlideTimeline timeline;
  timeline.Insert(0, Photo());
  std::vector<double> runs;
  for (auto _ : state) {
    state.PauseTiming();
    slidedraw::FrameComposer composer;
    composer.SetSize(kWidth, kHeight);
    composer.Prefetch(Photo());
    // The worker prepares the next slide while the current one stands.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    state.ResumeTiming();
    runs.push_back(TimeMs([&] { benchmark::DoNotOptimize(composer.Compose(timeline, timeline.At(0))); }));
  }
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["goal_ms"] = 50;
}

}  // namespace

BENCHMARK(BM_PrepareSlide)->Unit(benchmark::kMillisecond)->Iterations(21);
BENCHMARK(BM_CrossfadeFrame)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_NextSlidePrefetched)->Unit(benchmark::kMillisecond)->Iterations(3);
