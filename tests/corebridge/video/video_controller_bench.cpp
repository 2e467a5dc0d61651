// "Video Play" to the first picture drawn in the engine's video window, for
// a 576p MPEG-2 and a 1080p H.264 clip, and one fast-forward step of the
// speed ladder to the engine's rate-change notice reaching the controller.
// The goals: 100 ms, 200 ms and 50 ms. Each figure leaves out the process's
// first open (engine creation and plugin loading).
#include <benchmark/benchmark.h>

#include <chrono>

#include "platform/win/display_link.h"
#include "tests/corebridge/video/video_test_support.h"

namespace {

using namespace video_test;
using Clock = std::chrono::steady_clock;

// The test fixture, driven by hand.
struct Harness : VideoTest {
  void TestBody() override {}
  void Up() { SetUp(); }
  void Down() { TearDown(); }
  using VideoTest::Act;
  using VideoTest::EnterWithFiles;
  using VideoTest::frame_;
  using VideoTest::page_;
  using VideoTest::Video;
};

// Whether the video window shows a picture (any pixel of its middle row that
// is not black).
bool PictureShown(HWND page) {
  HWND video = GetWindow(page, GW_CHILD);
  if (!video) return false;
  SurfacePtr surface = GetWindowSurface(video);
  if (!surface) return false;
  const int y = surface->height() / 2;
  for (int x = 0; x < surface->width(); x += 7) {
    if ((surface->pixel(x, y) & 0x00FFFFFFu) != 0) return true;
  }
  return false;
}

void PlayToFirstPicture(benchmark::State& state, const char* clip) {
  Harness h;
  h.Up();
  h.EnterWithFiles({clip});
  // One untimed round first: creating the engine, binding its library and
  // loading the media framework's plugins happen once per process.
  if (h.Act("Video Play") == S_OK) {
    PumpFor(5000, [&] { return PictureShown(h.page_.window); });
    h.Act("Video Stop");
  }
  for (auto _ : state) {
    const auto start = Clock::now();
    if (h.Act("Video Play") != S_OK) {
      state.SkipWithError("the clip did not play");
      break;
    }
    if (!PumpFor(5000, [&] { return PictureShown(h.page_.window); })) {
      state.SkipWithError("no picture");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    state.PauseTiming();
    h.Act("Video Stop");
    state.ResumeTiming();
  }
  h.Down();
}

void BM_PlayToFirstPicture576pMpeg2(benchmark::State& state) { PlayToFirstPicture(state, "sd576.mpg"); }
void BM_PlayToFirstPicture1080pH264(benchmark::State& state) { PlayToFirstPicture(state, "hd1080.mp4"); }

void BM_SpeedLadderStepToRateNotice(benchmark::State& state) {
  Harness h;
  h.Up();
  h.EnterWithFiles({"sd576.mpg"});
  if (h.Act("Video Play") != S_OK) {
    state.SkipWithError("the clip did not play");
    h.Down();
    return;
  }
  PumpFor(200);
  for (auto _ : state) {
    // Back to normal speed between steps, untimed.
    state.PauseTiming();
    if (h.Video().m_nPlayState != 2) h.Act("Video Play");
    PumpFor(20);
    h.frame_.calls.clear();
    state.ResumeTiming();
    const auto start = Clock::now();
    h.Act("Video FastForeward");
    // The action shows the speed once; the engine's notice shows it again.
    auto notices = [&] {
      int n = 0;
      for (const auto& c : h.frame_.calls) n += c.rfind("ShowOsdText ", 0) == 0;
      return n >= 2;
    };
    if (!PumpFor(2000, notices)) {
      state.SkipWithError("no rate notice");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  h.Act("Video Stop");
  h.Down();
}

BENCHMARK(BM_PlayToFirstPicture576pMpeg2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PlayToFirstPicture1080pH264)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SpeedLadderStepToRateNotice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
