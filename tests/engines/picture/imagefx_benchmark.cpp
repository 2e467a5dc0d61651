// Figures of the picture component on a noisy 12-megapixel photo, each
// beside the time the command-line JPEG tools take for the same work and the
// goal for the ratio: lossless turning, drawing a thumbnail, load-adjust-save,
// the effect worker at full HD, and the memory a 24-megapixel picture takes.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engines/picture/imagefx/effect_worker.h"
#include "engines/picture/imagefx/image_engine.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "tests/engines/picture/picture_bench_support.h"

namespace {

namespace fs = std::filesystem;

void Report(benchmark::State& state, double tool_ms, double goal) {
  state.counters["tool_ms"] = tool_ms;
  state.counters["goal_ratio"] = goal;
}

void BM_RotateFileLossless(benchmark::State& state) {
  const std::string target = Scratch("turn.jpg");
  static const double tool = ToolMs({"jpegtran", "-rotate", "90", "-perfect", "-copy", "all", Photo()});
  imagefx::CImageEngine engine;
  std::vector<double> runs;
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(Photo(), target, fs::copy_options::overwrite_existing);
    state.ResumeTiming();
    runs.push_back(TimeMs([&] { benchmark::DoNotOptimize(engine.RotateJpegFile(target, 90)); }));
  }
  Report(state, tool, 1.05);
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["ratio"] = MeanMs(runs) / tool;
}

void BM_DrawFileThumbnail(benchmark::State& state) {
  static const double tool = ToolMs({"djpeg", "-scale", "1/8", Photo()});
  imagefx::CImageEngine engine;
  auto surface = std::make_shared<plat::Surface>(320, 240);
  plat::HBITMAP bitmap = plat::CreateBitmapFromSurface(surface);
  plat::HDC dc = plat::CreateCompatibleDC(nullptr);
  plat::HGDIOBJ old = plat::SelectObject(dc, bitmap);
  std::vector<double> runs;
  for (auto _ : state) runs.push_back(TimeMs([&] { engine.DrawFile(Photo(), dc, 0, 0, 320, 240); }));
  plat::SelectObject(dc, old);
  plat::DeleteDC(dc);
  plat::DeleteObject(bitmap);
  Report(state, tool, 1.1);
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["ratio"] = MeanMs(runs) / tool;
}

void BM_LoadAdjustSave(benchmark::State& state) {
  const std::string ppm = Scratch("decoded.ppm");
  static const double tool = ToolMs({"djpeg", Photo()}, ppm) + ToolMs({"cjpeg", "-quality", "90", ppm});
  const std::string target = Scratch("edit.jpg");
  std::vector<double> runs, adjust_runs;
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(Photo(), target, fs::copy_options::overwrite_existing);
    state.ResumeTiming();
    imagefx::CImageEngine engine;
    double adjust = 0;
    runs.push_back(TimeMs([&] {
      engine.Load(target);
      adjust = TimeMs([&] {
        engine.AdjustBrightness(100);
        engine.AdjustContrast(100);
      });
      engine.Save();
    }));
    adjust_runs.push_back(adjust);
  }
  Report(state, tool, 1.2);
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["adjust_ms"] = MeanMs(adjust_runs);
  state.counters["ratio"] = (MeanMs(runs) - MeanMs(adjust_runs)) / tool;
}

// The worker at 1920 x 1080: all five adjustments, or hue alone.
void BM_EffectWorkerFullHd(benchmark::State& state) {
  const bool all = state.range(0) != 0;
  std::vector<std::uint8_t> pixels(1920 * 1080 * 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 31 + (i >> 12));
  const unsigned char values[5] = {static_cast<unsigned char>(all ? 140 : 128),
                                   static_cast<unsigned char>(all ? 150 : 128), 160,
                                   static_cast<unsigned char>(all ? 100 : 128), static_cast<unsigned char>(all ? 30 : 0)};
  imagefx::CEffectWorker worker;
  std::vector<double> runs;
  for (auto _ : state) {
    runs.push_back(TimeMs([&] {
      worker.Prepare(1920, 1080);
      worker.SetValues(values);
      worker.Apply(100, pixels.data(), 0, 0);
      worker.Free();
    }));
  }
  state.counters["ours_ms"] = MeanMs(runs);
  state.counters["goal_ms"] = all ? 20 : 8;
}

// A thumbnail drawn by a fresh process beside `djpeg -scale 1/8` of the same
// photo, both whole processes in turn.
void BM_ThumbnailFreshProcess(benchmark::State& state) {
  PairedFigures figures;
  for (auto _ : state)
    figures = RunPaired({PICTURE_ONCE, "thumb", Photo()}, {"djpeg", "-scale", "1/8", Photo()}, 15, [] {});
  state.counters["ours_ms"] = figures.ours_ms;
  state.counters["tool_ms"] = figures.peer_ms;
  state.counters["ratio"] = figures.ratio;
  state.counters["goal_ratio"] = 1.1;
}

// A lossless quarter turn by a fresh process (the file replaced durably, with
// its flush) beside `jpegtran -perfect` writing the turned file, both whole
// processes in turn; with the peak memory of each.
void BM_RotateFreshProcess(benchmark::State& state) {
  const std::string target = Scratch("turn_once.jpg");
  const std::string peer_out = Scratch("turn_peer.jpg");
  const auto restore = [&] { fs::copy_file(Photo(), target, fs::copy_options::overwrite_existing); };
  PairedFigures figures;
  for (auto _ : state)
    figures = RunPaired({PICTURE_ONCE, "turn", target, "90"},
                        {"jpegtran", "-rotate", "90", "-perfect", "-copy", "all", "-outfile", peer_out, target}, 11,
                        restore);
  state.counters["ours_ms"] = figures.ours_ms;
  state.counters["tool_ms"] = figures.peer_ms;
  state.counters["ratio"] = figures.ratio;
  state.counters["goal_ratio"] = 1.05;
  state.counters["ours_peak_MB"] = figures.ours_mb;
  state.counters["tool_peak_MB"] = figures.peer_mb;
  state.counters["peak_ratio"] = figures.ours_mb / figures.peer_mb;
}

long MaxRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Loads a 24-megapixel photo in a child process and reports how far its
// peak memory rose over what it held before the load.
void BM_PeakMemory24Mp(benchmark::State& state) {
  const std::string photo = PhotoDir() + "/photo_6000x4000.jpg";
  double rise_mb = 0;
  for (auto _ : state) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) break;
    const pid_t pid = fork();
    if (pid == 0) {
      close(pipe_fds[0]);
      const long before = MaxRssKb();
      imagefx::CImageEngine engine;
      const int ok = engine.Load(photo);
      const long after = MaxRssKb();
      const double rise = ok ? static_cast<double>(after - before) / 1024.0 : -1;
      if (write(pipe_fds[1], &rise, sizeof rise) != sizeof rise) _exit(1);
      _exit(0);
    }
    close(pipe_fds[1]);
    if (read(pipe_fds[0], &rise_mb, sizeof rise_mb) != sizeof rise_mb) rise_mb = -1;
    close(pipe_fds[0]);
    waitpid(pid, nullptr, 0);
  }
  const double surface_mb = 6000.0 * 4000 * 4 / (1024 * 1024);
  state.counters["peak_rise_MB"] = rise_mb;
  state.counters["surface_MB"] = surface_mb;
  state.counters["ratio"] = rise_mb / surface_mb;
  state.counters["goal_ratio"] = 1.2;
}

BENCHMARK(BM_RotateFileLossless)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DrawFileThumbnail)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ThumbnailFreshProcess)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RotateFreshProcess)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoadAdjustSave)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EffectWorkerFullHd)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PeakMemory24Mp)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
