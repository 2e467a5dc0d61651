// Time from opening the test DVD to its first frame, for the playback library
// and for the GStreamer player (gst-play-1.0 dvd://) on the same disc, in one
// run. Both start at the disc's first-play chain and show the menu's first
// frame. Three figures:
//   engine_warm_ms  the library already loaded and GStreamer set up (the
//                   second and later discs a user opens);
//   engine_cold_ms  a fresh process that loads the library and opens the disc;
//   gst_play_ms     a fresh gst-play-1.0 whose video sink writes each frame it
//                   renders to a pipe (the first bytes mark the first frame).
// ratio = engine_cold_ms / gst_play_ms (goal: at most 1.0).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "outside/tovelax/tovelax_api.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string DvdPath() {
  static const std::string dir = [] {
    const std::string command = std::string(TOVELAX_FIXTURE_SCRIPT) + " " + TOVELAX_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return std::string();
    return fs::absolute(fs::path(TOVELAX_FIXTURE_DIR) / "dvd").string();
  }();
  return dir;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Starts `args` with descriptor 3 on a pipe and returns the milliseconds
// until the first byte arrives there (-1 when none comes); the process is
// killed then.
double TimeToFirstByteOnFd3(std::vector<std::string> args) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  double ms = -1;
  if (rc == 0) {
    pollfd wait{fds[0], POLLIN, 0};
    if (::poll(&wait, 1, 20000) == 1 && (wait.revents & POLLIN)) {
      ms = Ms(Clock::now() - start);
      char byte;
      if (::read(fds[0], &byte, 1) != 1) ms = -1;
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  ::close(fds[0]);
  return ms;
}

double GstPlayMs() {
  return TimeToFirstByteOnFd3({"gst-play-1.0", "--no-interactive", "-q", "--audiosink=fakesink sync=true",
                               "--videosink=fdsink fd=3 sync=true", "dvd://" + DvdPath()});
}

double EngineColdMs() { return TimeToFirstByteOnFd3({TOVELAX_PROBE, DvdPath()}); }

class FirstFramePoster final : public tovelax::INotifyPoster {
 public:
  void Post(tovelax::HWND, std::uint32_t message, std::uintptr_t, std::intptr_t) override {
    if (message != tovelax::kFrameReadyMessage) return;
    std::lock_guard lock(mutex_);
    if (!seen_) seenAt_ = Clock::now();
    seen_ = true;
    changed_.notify_all();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    seen_ = false;
  }
  // The time the first frame arrived; nullopt after the time-out.
  std::optional<Clock::time_point> Wait() {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::seconds(20), [&] { return seen_; })) return std::nullopt;
    return seenAt_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool seen_ = false;
  Clock::time_point seenAt_;
};

double Mean(const std::vector<double>& runs) {
  double sum = 0;
  for (double r : runs) sum += r;
  return runs.empty() ? -1 : sum / static_cast<double>(runs.size());
}

void BM_DvdFirstFrame(benchmark::State& state) {
  if (DvdPath().empty()) {
    state.SkipWithError("the test DVD could not be generated");
    return;
  }
  const std::string path = std::string(MARIVEL_BIN_DIR) + "/Movie/libtovelax.so";
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto get = handle ? reinterpret_cast<tovelax::GetMMAPIFn>(dlsym(handle, tovelax::kApiEntry)) : nullptr;
  auto release = handle ? reinterpret_cast<tovelax::ReleaseMMAPIFn>(dlsym(handle, tovelax::kReleaseEntry)) : nullptr;
  tovelax::IMMAPI* api = get ? get() : nullptr;
  if (!api || !release) {
    state.SkipWithError("the playback library did not load");
    return;
  }
  FirstFramePoster poster;
  api->SetNotifyPoster(&poster);
  api->VideoWindow()->SetMessageDrain(reinterpret_cast<tovelax::HWND>(0x1001));
  std::int32_t discard = 1;
  api->Source()->SetProperty(tovelax::kPropAudioOutput, &discard, 4);

  std::vector<double> warm, cold, player;
  for (auto _ : state) {
    poster.Reset();
    const auto start = Clock::now();
    if (api->Source()->Open(DvdPath().c_str()) != tovelax::kOk || api->Transport()->Play() != tovelax::kOk) {
      state.SkipWithError("the test DVD did not open");
      break;
    }
    const auto shown = poster.Wait();
    const double ms = shown ? Ms(*shown - start) : -1;
    state.SetIterationTime(ms / 1000);
    api->Source()->Close();
    while (api->VideoWindow()->DeliverFrame() == tovelax::kOk) {
    }
    warm.push_back(ms);
    cold.push_back(EngineColdMs());
    player.push_back(GstPlayMs());
  }
  api->SetNotifyPoster(nullptr);
  release();
  dlclose(handle);
  // Medians: a spawned process now and then waits on a busy machine.
  for (auto* runs : {&warm, &cold, &player}) std::sort(runs->begin(), runs->end());
  auto median = [](const std::vector<double>& runs) { return runs.empty() ? -1 : runs[runs.size() / 2]; };
  state.counters["engine_warm_ms"] = median(warm);
  state.counters["engine_cold_ms"] = median(cold);
  state.counters["gst_play_ms"] = median(player);
  state.counters["ratio"] = median(player) > 0 ? median(cold) / median(player) : -1;
  state.counters["engine_warm_mean_ms"] = Mean(warm);
}
BENCHMARK(BM_DvdFirstFrame)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

}  // namespace
