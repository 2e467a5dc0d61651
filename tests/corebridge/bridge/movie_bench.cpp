// Figures of the Movie module on the test DVD (declared as virtual drive D:),
// measured in one process with this build's system core, DVD engine and
// playback library, as the lounge program runs them:
//  - EntryToFirstFrame: from "Movie Entry" until the disc's first picture
//    (its menu) is drawn into the engine's video window (goal: 800 ms). The
//    first entry of the process is the cold figure (counter first_ms).
//  - NextChapterToFirstFrame: from "Movie NextChapter" in the first chapter
//    of title 1 until the second chapter's first picture is drawn (goal:
//    250 ms).
// Run it on an optimised build, e.g.
// `cmake -B build-rel -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARIVEL_BENCHMARKS=ON`,
// `ninja -C build-rel movie_bench`, then `build-rel/benchmarks/movie_bench`.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "corebridge/core/movie_config.h"
#include "engines/playback/discrunner/disc_runner.h"
#include "engines/playback/discrunner/library_binding.h"
#include "platform/registry/registry.h"
#include "platform/win/display_link.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace bridge_test;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kDriveKey = "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D";
constexpr const char* kResumeKey = "Software\\Kestrovia\\Marivel\\MyMovie\\ResumeState";
constexpr RECT kVideo{0, 0, 720, 576};

std::string DvdFolder() {
  static const std::string dir = [] {
    const std::string command = std::string(TOVELAX_FIXTURE_SCRIPT) + " " + TOVELAX_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return std::string();
    return (fs::path(TOVELAX_FIXTURE_DIR) / "dvd").string();
  }();
  return dir;
}

void SetDriveValue(const char* name, const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDriveKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

class VideoPage final : public IMoviePageEvents {
 public:
  int EnterModule() override { return 1; }
  int OnRedraw(int) override { return 1; }
  int ShowPage() override { return 1; }
  int LoadPage(const char*) override { return 1; }
  int GetVideoWindow(HWND* owner, RECT* rect) override {
    *owner = nullptr;
    *rect = kVideo;
    return 1;
  }
  int RefreshDriveList() override { return 1; }
  int ShowPinEntry() override { return 1; }
  int IsFrameMaximized() override { return 0; }
  int SetScreenSaverActive(int) override { return 1; }
};

// The system core with the real DVD engine on the test disc.
class MovieRig : public BridgeTest {
 public:
  void TestBody() override {}

  bool Up() {
    SetUp();
    if (DvdFolder().empty()) return false;
    discrunner::SetLibraryFolder(std::string(MARIVEL_TEST_BIN_DIR) + "/Movie");
    SetDriveValue("Path", DvdFolder());
    SetDriveValue("Type", "cdrom");
    volumes_->volumes = {{'D', DRIVE_CDROM, DvdFolder(), "DVD", "", "", true}};
    Start();
    if (!system_->IsStarted()) return false;
    engine_ = MakeComObject<CDiscRunner>();
    if (engine_->bind_result() != S_OK) return false;
    int discard = 1;  // no sound card needed
    engine_->DvdOp90(20, &discard);
    if (engine_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(core_->engine.ReleaseAndGetAddressOf())) != S_OK)
      return false;
    movie_ = Config().m_pMovie.get();
    system_->SetMoviePageCallback(&page_);
    return true;
  }
  void Down() {
    if (system_ && system_->IsStarted()) system_->OnHome(0, 0);
    TearDown();
    engine_.Reset();
    discrunner::SetLibraryFolder({});
  }

  HRESULT Act(const char* name) { return system_->ExecuteAction(name, 0, 0); }
  // Forgets the disc's resume point: every entry starts at the disc's menu.
  void ForgetResume() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kResumeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    for (;;) {
      char name[256];
      DWORD size = sizeof name;
      if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
  }
  void Home() { system_->OnHome(0, 0); }
  CMovieConfig& movie() { return *movie_; }

  // The engine's video window picture at (x, y) of the video rectangle, as
  // red, green, blue; nothing before the window exists.
  std::optional<std::uint32_t> Pixel(int x, int y) {
    HWND window = FindWindow(CDiscRunner::kVideoWindowClass, nullptr);
    SurfacePtr surface = window ? GetWindowSurface(window) : nullptr;
    if (!surface || y >= surface->height() || x >= surface->width()) return std::nullopt;
    return surface->row(y)[x] & 0xFFFFFFu;
  }
  // Where the picture is drawn in the video window: the box of its
  // pixels that are not black (a title is showing).
  std::optional<RECT> PictureBox() {
    HWND window = FindWindow(CDiscRunner::kVideoWindowClass, nullptr);
    SurfacePtr surface = window ? GetWindowSurface(window) : nullptr;
    if (!surface) return std::nullopt;
    RECT box{surface->width(), surface->height(), 0, 0};
    for (int y = 0; y < surface->height(); ++y)
      for (int x = 0; x < surface->width(); ++x)
        if (surface->row(y)[x] & 0xFFFFFFu) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    if (box.right <= box.left || box.bottom <= box.top) return std::nullopt;
    return box;
  }
  // Paints the video window black, so that the next picture shows.
  void Blank() {
    HWND window = FindWindow(CDiscRunner::kVideoWindowClass, nullptr);
    if (SurfacePtr surface = window ? GetWindowSurface(window) : nullptr)
      for (int y = 0; y < surface->height(); ++y)
        for (int x = 0; x < surface->width(); ++x) surface->row(y)[x] = 0xFF000000u;
  }

  // Runs the thread's messages until `done` holds (checked after each one)
  // or ten seconds have passed; the time it held.
  std::optional<Clock::time_point> PumpUntil(const std::function<bool()>& done) {
    const auto deadline = Clock::now() + 10s;
    while (Clock::now() < deadline) {
      if (done()) return Clock::now();
      MSG msg{};
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessage(&msg);
        if (done()) return Clock::now();
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return std::nullopt;
  }

 private:
  ComPtr<ComObject<CDiscRunner>> engine_;
  CMovieConfig* movie_ = nullptr;
  VideoPage page_;
};

int Red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }

// The menu's dark green in the middle of the picture.
bool MenuDrawn(MovieRig& rig) {
  const auto p = rig.Pixel(360, 400);
  return p && Green(*p) > Red(*p) + 50 && Green(*p) > Blue(*p) + 50;
}
// The magenta band titles show from their second chapter on (lines 60 to
// 119 of 576), left of the test pattern's own magenta bar.
bool SecondChapterDrawn(MovieRig& rig, const RECT& picture) {
  const auto p = rig.Pixel(picture.left + (picture.right - picture.left) / 20,
                           picture.top + (picture.bottom - picture.top) * 90 / 576);
  return p && Red(*p) > 180 && Blue(*p) > 180 && Green(*p) < 90;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void EntryToFirstFrame(benchmark::State& state) {
  MovieRig rig;
  if (!rig.Up()) {
    state.SkipWithError("cannot start the system core with the DVD engine on the test disc");
    rig.Down();
    return;
  }
  double first = -1;
  for (auto _ : state) {
    state.PauseTiming();
    rig.ForgetResume();
    rig.Blank();
    state.ResumeTiming();
    const auto start = Clock::now();
    if (rig.Act("Movie Entry") != S_OK) {
      state.SkipWithError("\"Movie Entry\" failed");
      break;
    }
    const auto drawn = rig.PumpUntil([&] { return MenuDrawn(rig); });
    if (!drawn) {
      state.SkipWithError("the disc's first picture was not drawn");
      break;
    }
    const double ms = Ms(*drawn - start);
    if (first < 0) first = ms;
    state.SetIterationTime(ms / 1000.0);
    state.PauseTiming();
    rig.Home();
    state.ResumeTiming();
  }
  state.counters["first_ms"] = first;
  rig.Down();
}
BENCHMARK(EntryToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

void NextChapterToFirstFrame(benchmark::State& state) {
  MovieRig rig;
  if (!rig.Up()) {
    state.SkipWithError("cannot start the system core with the DVD engine on the test disc");
    rig.Down();
    return;
  }
  for (auto _ : state) {
    // Title 1 from the menu, in its first chapter.
    state.PauseTiming();
    rig.ForgetResume();
    bool ready = rig.Act("Movie Entry") == S_OK &&
                 rig.PumpUntil([&] { return (rig.movie().m_dwDiscCaps & MOVIE_CAP_MENU_NAVIGATION) != 0; }) &&
                 rig.Act("Movie MenuEnter") == S_OK &&
                 rig.PumpUntil([&] { return rig.movie().m_nTitleState == 1 && rig.movie().m_nChapterNumber == 1; });
    std::optional<RECT> picture;
    ready = ready && rig.PumpUntil([&] { return (picture = rig.PictureBox()).has_value(); });
    rig.Blank();
    state.ResumeTiming();
    if (!ready) {
      state.SkipWithError("title 1 did not start");
      break;
    }
    const auto start = Clock::now();
    if (rig.Act("Movie NextChapter") != S_OK) {
      state.SkipWithError("\"Movie NextChapter\" failed");
      break;
    }
    const auto drawn = rig.PumpUntil([&] { return SecondChapterDrawn(rig, *picture); });
    if (!drawn) {
      state.SkipWithError("the second chapter's picture was not drawn");
      break;
    }
    state.SetIterationTime(Ms(*drawn - start) / 1000.0);
    state.PauseTiming();
    rig.Home();
    state.ResumeTiming();
  }
  rig.Down();
}
BENCHMARK(NextChapterToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace
