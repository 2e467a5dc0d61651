// Figures of the TV controller on the real engine and the virtual tuner:
// "TV Entry" to the first live picture (goal 700 ms), a typed channel to the
// new station's picture (goal 250 ms) and a wall of nine channels (goal
// 5.5 s). Each entry figure leaves out the process's first start (engine
// creation, plugin loading); the channels are found by one untimed scan.
#include <benchmark/benchmark.h>

#include <chrono>

#include "platform/win/display_link.h"
#include "tests/corebridge/tv/tv_live_support.h"

namespace {

using namespace tv_test;
using Clock = std::chrono::steady_clock;

struct Harness : TvLiveTest {
  void TestBody() override {}
  void Up() {
    SetUp();
    // Six more stations, so that the wall has nine.
    // Patterns unlike their neighbours' in channel order.
    const DWORD more[] = {182250, 196250, 203250, 210250, 217250, 224250};
    const DWORD patterns[] = {3, 5, 7, 11, 13, 15};
    const char* keys[] = {"D", "E", "F", "G", "H", "I"};
    for (int i = 0; i < 6; ++i) SetStation(keys[i], more[i], keys[i], patterns[i], 0);
  }
  void Down() { TearDown(); }
  using TvLiveTest::EnterAndScan;
  using TvLiveTest::owner_;
  using TvLiveTest::Run;
  using TvLiveTest::TV;
};

// The middle row of the live picture as it is now; empty without one.
// The recorder's video window in the page window.
HWND VideoWindowOf(HWND owner) { return FindWindowEx(owner, nullptr, "SysRecorder Video", nullptr); }

// Blacks out the video window, so that the next picture is a new frame.
void Blank(HWND owner) {
  HWND video = VideoWindowOf(owner);
  SurfacePtr surface = video ? GetWindowSurface(video) : nullptr;
  if (!surface) return;
  for (int y = 0; y < surface->height(); ++y)
    for (int x = 0; x < surface->width(); ++x) surface->set_pixel(x, y, 0xFF000000u);
}

std::vector<std::uint32_t> MiddleRow(HWND owner) {
  HWND video = VideoWindowOf(owner);
  if (video && !IsWindowVisible(video)) return {};
  SurfacePtr surface = video ? GetWindowSurface(video) : nullptr;
  if (!surface || surface->height() == 0) return {};
  const int y = surface->height() / 2;
  std::vector<std::uint32_t> row;
  for (int x = 0; x < surface->width(); x += 7) row.push_back(surface->pixel(x, y) & 0x00FFFFFFu);
  return row;
}

bool PictureShown(HWND owner) {
  for (std::uint32_t p : MiddleRow(owner))
    if (p) return true;
  return false;
}

void EntryToFirstPicture(benchmark::State& state) {
  Harness h;
  h.Up();
  h.EnterAndScan(9);
  for (auto _ : state) {
    h.TV().m_nPageType = 1;
    h.Run("Back");  // home: the preview stops
    Blank(h.owner_);
    const auto start = Clock::now();
    if (!h.Run("TV Entry") || !PumpUntil([&] { return PictureShown(h.owner_); }, 5000)) {
      state.SkipWithError("no live picture");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  h.Down();
}

void TypedChannelToNewPicture(benchmark::State& state) {
  Harness h;
  h.Up();
  h.EnterAndScan(9);
  PumpUntil([&] { return PictureShown(h.owner_); }, 5000);
  const auto channels = h.TV().m_arrEnabledChannels;
  std::size_t next = 1;
  for (auto _ : state) {
    const auto before = MiddleRow(h.owner_);
    const auto target = channels[next++ % channels.size()];
    const auto start = Clock::now();
    if (!h.Run("TV Set Channel", static_cast<std::intptr_t>(target)) ||
        !PumpUntil([&] { return static_cast<std::uint32_t>(h.TV().m_nChannel) == target && MiddleRow(h.owner_) != before; },
                   5000)) {
      state.SkipWithError("the picture did not change");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  h.Down();
}

void NineWallCells(benchmark::State& state) {
  Harness h;
  h.Up();
  h.EnterAndScan(9);
  for (auto _ : state) {
    const auto start = Clock::now();
    h.Run("TV TVWall Page");
    const bool full = PumpUntil([&] {
      int n = 0;
      for (const auto& cell : h.TV().m_tvWallCells) n += cell.nChannel != 0 && cell.hBitmap != nullptr;
      return n >= 9;
    }, 30000);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    h.Run("TV Stop TVWall");
    if (!full) {
      state.SkipWithError("the wall did not fill");
      break;
    }
    state.SetIterationTime(seconds);
  }
  h.Down();
}

}  // namespace

BENCHMARK(EntryToFirstPicture)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(TypedChannelToNewPicture)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(NineWallCells)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
