// Figures of the lounge program of this build, measured from outside on the
// headless display, each run in a fresh sandbox:
//  - ColdStartToHomeFrame: from starting the process to the moment the first
//    home-page frame is composed (the script's first step takes a picture;
//    the picture's temporary file is created right after the compose, before
//    the PNG is encoded). Counters: the time until the picture is written
//    and until the program has ended.
//  - HomePageIdle: the resident memory once the home page is up, and the CPU
//    time (all threads) and wake-ups (main thread) in ten idle seconds on it.
// Both at 1280x720 and at the 1920x1080 the skin is laid out for.
// Run it on an optimised build with the tests configured in, e.g.
// `cmake -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo && ninja -C build lounge_bench`
// then `build/benchmarks/lounge_bench`.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "tests/lounge/app/lounge_sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;
using app_test::ChildProcess;
using app_test::LoungeSandbox;

// The headless screen of the benchmark's two arguments, width and height.
std::string ScreenOption(const benchmark::State& state) {
  return "--headless=" + std::to_string(state.range(0)) + "x" + std::to_string(state.range(1));
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Waits up to `limitMs` for a file called `name` to be created in or moved
// into the folder `watch` reports on; the time it happened, if it did.
std::optional<Clock::time_point> AwaitFile(int watch, const std::string& name, int limitMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(limitMs);
  alignas(inotify_event) char buffer[4096];
  while (Clock::now() < end) {
    pollfd p{watch, POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (::poll(&p, 1, static_cast<int>(std::max<long long>(left, 1))) <= 0) continue;
    const ssize_t n = ::read(watch, buffer, sizeof buffer);
    const auto when = Clock::now();
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0 && name == event->name) return when;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return std::nullopt;
}

struct ProcessFigures {
  double rssMb = 0, peakMb = 0;
  long voluntarySwitches = 0, involuntarySwitches = 0;
};

ProcessFigures ReadStatus(pid_t pid) {
  ProcessFigures out;
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = 0;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    fields >> key >> value;
    if (key == "VmRSS:") out.rssMb = static_cast<double>(value) / 1024.0;
    if (key == "VmHWM:") out.peakMb = static_cast<double>(value) / 1024.0;
    if (key == "voluntary_ctxt_switches:") out.voluntarySwitches = value;
    if (key == "nonvoluntary_ctxt_switches:") out.involuntarySwitches = value;
  }
  return out;
}

// User plus system CPU time of the process so far, in milliseconds.
double CpuMs(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Fields after the command name (which may hold spaces) start after ')'.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

void ColdStartToHomeFrame(benchmark::State& state) {
  double pictureMs = 0, exitMs = 0;
  for (auto _ : state) {
    LoungeSandbox sandbox(LOUNGE_PROGRAM, MARIVEL_TEST_BIN_DIR);
    const int watch = ::inotify_init1(IN_CLOEXEC);
    if (!sandbox.ok() || watch < 0 || ::inotify_add_watch(watch, sandbox.dir().c_str(), IN_CREATE | IN_MOVED_TO) < 0) {
      state.SkipWithError("cannot prepare the sandbox");
      if (watch >= 0) ::close(watch);
      break;
    }
    const std::string script = sandbox.WriteScript("shot " + sandbox.dir() + "/home.png\nclose\n");

    const auto start = Clock::now();
    ChildProcess lounge = sandbox.Lounge({ScreenOption(state), "--script", script});
    const auto composed = AwaitFile(watch, "home.png.tmp", 30'000);
    const auto written = AwaitFile(watch, "home.png", 30'000);
    const int status = lounge.Wait(30'000);
    const double total = MsSince(start);
    ::close(watch);
    if (!composed || !written || status != 0) {
      state.SkipWithError("the program did not picture its home page and end");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(*composed - start).count());
    pictureMs += std::chrono::duration<double, std::milli>(*written - start).count();
    exitMs += total;
  }
  const double runs = static_cast<double>(state.iterations());
  if (runs > 0) {
    state.counters["picture_written_ms"] = pictureMs / runs;
    state.counters["ended_ms"] = exitMs / runs;
  }
}
BENCHMARK(ColdStartToHomeFrame)
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void HomePageIdle(benchmark::State& state) {
  constexpr int kIdleMs = 10'000;
  for (auto _ : state) {
    LoungeSandbox sandbox(LOUNGE_PROGRAM, MARIVEL_TEST_BIN_DIR);
    const int watch = ::inotify_init1(IN_CLOEXEC);
    if (!sandbox.ok() || watch < 0 || ::inotify_add_watch(watch, sandbox.dir().c_str(), IN_MOVED_TO) < 0) {
      state.SkipWithError("cannot prepare the sandbox");
      if (watch >= 0) ::close(watch);
      break;
    }
    // The program idles on the home page well beyond the measured span.
    const std::string script = sandbox.WriteScript("shot " + sandbox.dir() + "/home.png\nwait " +
                                                   std::to_string(kIdleMs + 3000) + "\nclose\n");
    ChildProcess lounge = sandbox.Lounge({ScreenOption(state), "--script", script});
    const bool shown = AwaitFile(watch, "home.png", 30'000).has_value();
    ::close(watch);
    if (!shown) {
      state.SkipWithError("the program did not picture its home page");
      break;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const ProcessFigures before = ReadStatus(lounge.Pid());
    const double cpuBefore = CpuMs(lounge.Pid());
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(kIdleMs));
    const double idleMs = MsSince(start);
    const double cpuAfter = CpuMs(lounge.Pid());
    const ProcessFigures after = ReadStatus(lounge.Pid());
    state.SetIterationTime(idleMs / 1000.0);
    state.counters["rss_MB"] = before.rssMb;
    state.counters["peak_rss_MB"] = after.peakMb;
    state.counters["idle_cpu_ms_per_10s"] = (cpuAfter - cpuBefore) * 10'000.0 / idleMs;
    state.counters["main_thread_wakeups_per_10s"] =
        static_cast<double>(after.voluntarySwitches - before.voluntarySwitches + after.involuntarySwitches -
                            before.involuntarySwitches) *
        10'000.0 / idleMs;
    if (lounge.Wait(30'000) != 0) state.SkipWithError("the program did not end cleanly");
  }
}
BENCHMARK(HomePageIdle)
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
