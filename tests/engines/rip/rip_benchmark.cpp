// Figures of the rip engines on 180 s of 44.1 kHz stereo read from a CUE/BIN
// image, each through the servers from Run to OnFinished, beside the
// command-line encoders on the same PCM and the goals for the ratios: MP3 at
// most 1.1 x `lame -b 128 --cbr`, WMA at most 1.2 x `ffmpeg -c:a wmav2 -b:a
// 128k`, WAV at least 500 x real time; and OpenSource + BuildRipGraph of a
// file within 150 ms.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/sys/drive_table.h"
#include "tests/engines/rip/ripper_client.h"

extern char** environ;

namespace rip_test {
namespace {

constexpr double kSeconds = 180.0;

struct Bench {
  std::unique_ptr<TempDir> dir;
  std::unique_ptr<ServerEnvironment> environment;
  std::string wav;   // the track's PCM as a WAV file, for the command-line tools
  std::string tone;  // a 10 s file for the open-and-build figure
};

Bench& Setup() {
  static Bench bench = [] {
    ::setenv("MARIVEL_BIN_DIR", RIP_BENCH_BIN_DIR, 0);
    Bench b;
    b.dir = std::make_unique<TempDir>();
    b.environment = std::make_unique<ServerEnvironment>();
    std::vector<std::vector<std::uint8_t>> pcm;
    const std::string cue = WriteCdImage(b.dir->path(), {440}, kSeconds, &pcm);
    auto volumes = std::make_shared<plat::FakeVolumeSource>();
    plat::VolumeInfo disc;
    disc.letter = 'R';
    disc.type = plat::DRIVE_CDROM;
    disc.isVirtual = true;
    disc.image = cue;
    volumes->volumes.push_back(disc);
    plat::SetVolumeSource(volumes);
    std::vector<std::int16_t> samples(pcm[0].size() / 2);
    std::memcpy(samples.data(), pcm[0].data(), pcm[0].size());
    b.wav = *b.dir / "track.wav";
    WriteWav(b.wav, samples);
    b.tone = *b.dir / "tone.wav";
    WriteWav(b.tone, StereoTone(10.0, 440));
    return b;
  }();
  return bench;
}

double RunTool(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One rip of the image's track, Run to OnFinished; seconds, or -1.
double RipTrack(Kind kind, const std::string& output) {
  RipperClient ripper(kind);
  RecordingSink sink;
  ripper.Initialize();
  ripper.SetEventSink(&sink);
  if (plat::FAILED(ripper.OpenSource("R:\\Track01.cda")) || plat::FAILED(ripper.BuildRipGraph(output))) return -1;
  const auto start = std::chrono::steady_clock::now();
  if (plat::FAILED(ripper.Run())) return -1;
  if (!PumpUntil([&] { return sink.Ended(); }, 120000) || sink.Count("finished") != 1) return -1;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ripper.Uninitialize();
  return seconds;
}

void Report(benchmark::State& state, double engine, double baseline, double goal) {
  state.counters["engine_s"] = engine;
  if (baseline > 0) {
    state.counters["baseline_s"] = baseline;
    state.counters["ratio"] = engine / baseline;
    state.counters["goal_ratio"] = goal;
  }
}

void BM_RipMp3(benchmark::State& state) {
  Bench& b = Setup();
  double engine = 0;
  for (auto _ : state) {
    engine = RipTrack(Kind::Mp3, *b.dir / "engine.mp3");
    state.SetIterationTime(engine);
  }
  Report(state, engine, RunTool({"lame", "--quiet", "-b", "128", "--cbr", b.wav, *b.dir / "lame.mp3"}), 1.1);
}

void BM_RipWma(benchmark::State& state) {
  Bench& b = Setup();
  double engine = 0;
  for (auto _ : state) {
    engine = RipTrack(Kind::Wma, *b.dir / "engine.wma");
    state.SetIterationTime(engine);
  }
  Report(state, engine,
         RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", b.wav, "-c:a", "wmav2", "-b:a", "128k",
                  *b.dir / "ffmpeg.wma"}),
         1.2);
}

void BM_RipWav(benchmark::State& state) {
  Bench& b = Setup();
  double engine = 0;
  for (auto _ : state) {
    engine = RipTrack(Kind::Mp3, *b.dir / "engine.wav");
    state.SetIterationTime(engine);
  }
  state.counters["engine_s"] = engine;
  state.counters["x_real_time"] = engine > 0 ? kSeconds / engine : 0;
  state.counters["goal_x_real_time"] = 500;
}

void BM_OpenAndBuild(benchmark::State& state) {
  Bench& b = Setup();
  for (auto _ : state) {
    RipperClient ripper(Kind::Mp3);
    ripper.Initialize();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = plat::SUCCEEDED(ripper.OpenSource(b.tone)) &&
                    plat::SUCCEEDED(ripper.BuildRipGraph(*b.dir / "built.mp3"));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ripper.Uninitialize();
    if (!ok) state.SkipWithError("open or build failed");
    state.SetIterationTime(seconds);
  }
  state.counters["goal_ms"] = 150;
}

BENCHMARK(BM_RipMp3)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RipWma)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RipWav)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndBuild)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rip_test
