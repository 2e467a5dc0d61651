// Figures of the radio engine on the virtual radio, beside their goals:
// Open(1) to the first buffer at the sink (150 ms), a retune to the first
// buffer of the new station's tone (60 ms), a 50 kHz FM search over three
// RDS stations (4 s), the processor time a live MP3 recording adds (4 % of a
// core), the recording branch encoding 60 s of WAV offline beside `lame -b
// 128 --cbr` and `ffmpeg -c:a wmav2` (1.1 x), and stopping a recording
// (150 ms).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "engines/capture/radiodeck/radio_core.h"
#include "platform/com/object.h"
#include "tests/engines/capture/radiodeck/radio_fixture.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include <gst/gst.h>

extern char** environ;

namespace radio_test {
namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Bench {
  std::unique_ptr<test_support::TempEnvironment> env;
};

Bench& Setup() {
  static Bench bench = [] {
    Bench b;
    b.env = std::make_unique<test_support::TempEnvironment>("radiobench");
    DeclareVirtualRadio();
    return b;
  }();
  return bench;
}

// Sets `when` at the first buffer through the pad (after `armed`), or, with
// a tone given, at the first buffer where that tone is stronger than the
// other one (16-bit stereo, left channel).
struct BufferWatch {
  std::atomic<bool> armed{false};
  std::atomic<bool> seen{false};
  Clock::time_point when;
  double tone = 0;
  double other = 0;
};

double Goertzel(const std::int16_t* samples, std::size_t frames, double hz) {
  const double c = 2 * std::cos(2 * M_PI * hz / 48000);
  double s1 = 0, s2 = 0;
  for (std::size_t i = 0; i < frames; ++i) {
    const double s = samples[i * 2] + c * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  return s1 * s1 + s2 * s2 - c * s1 * s2;
}

GstPadProbeReturn Watch(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* watch = static_cast<BufferWatch*>(data);
  if (!watch->armed || watch->seen) return GST_PAD_PROBE_OK;
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (watch->tone > 0) {
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
    const auto* samples = reinterpret_cast<const std::int16_t*>(map.data);
    const std::size_t frames = map.size / 4;
    const bool heard = Goertzel(samples, frames, watch->tone) > Goertzel(samples, frames, watch->other);
    gst_buffer_unmap(buffer, &map);
    if (!heard) return GST_PAD_PROBE_OK;
  }
  watch->when = Clock::now();
  watch->seen = true;
  return GST_PAD_PROBE_OK;
}

gulong AddWatch(CRadioCore& engine, BufferWatch& watch) {
  GstPad* pad = gst_element_get_static_pad(engine.pipeline()->sink(), "sink");
  const gulong id = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, Watch, &watch, nullptr);
  gst_object_unref(pad);
  return id;
}

void RemoveWatch(CRadioCore& engine, gulong id) {
  GstPad* pad = gst_element_get_static_pad(engine.pipeline()->sink(), "sink");
  gst_pad_remove_probe(pad, id);
  gst_object_unref(pad);
}

bool WaitSeen(BufferWatch& watch, int ms) {
  return PumpUntil([&] { return watch.seen.load(); }, ms);
}

void BM_OpenToFirstBuffer(benchmark::State& state) {
  Setup();
  double total = 0;
  double best = 1e9;
  double cold = 0;
  {
    // The first open also loads GStreamer's plugins: reported on its own.
    auto engine = plat::MakeComObject<CRadioCore>();
    const auto start = Clock::now();
    if (engine->Open(kRadioKindTuner, nullptr) == S_OK) {
      BufferWatch watch;
      watch.armed = true;
      const gulong id = AddWatch(*engine, watch);
      if (WaitSeen(watch, 5000)) cold = std::chrono::duration<double>(watch.when - start).count();
      RemoveWatch(*engine, id);
    }
  }
  for (auto _ : state) {
    auto engine = plat::MakeComObject<CRadioCore>();
    const auto start = Clock::now();
    if (engine->Open(kRadioKindTuner, nullptr) != S_OK) {
      state.SkipWithError("Open failed");
      return;
    }
    // Watched from the moment Open returns: the figure can only be later
    // than the true first buffer.
    BufferWatch watch;
    watch.armed = true;
    const gulong id = AddWatch(*engine, watch);
    if (!WaitSeen(watch, 2000)) state.SkipWithError("no buffer");
    const double took = std::chrono::duration<double>(watch.when - start).count();
    total += took;
    best = std::min(best, took);
    RemoveWatch(*engine, id);
    engine->Close();
  }
  state.counters["cold_ms"] = cold * 1000;
  state.counters["ms"] = total / static_cast<double>(state.iterations()) * 1000;
  state.counters["best_ms"] = best * 1000;
  state.counters["goal_ms"] = 150;
}
BENCHMARK(BM_OpenToFirstBuffer)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RetuneToNewTone(benchmark::State& state) {
  Setup();
  auto engine = plat::MakeComObject<CRadioCore>();
  if (engine->Open(kRadioKindTuner, nullptr) != S_OK) {
    state.SkipWithError("Open failed");
    return;
  }
  double total = 0;
  bool toC = true;
  for (auto _ : state) {
    engine->SetFrequency(toC ? 88'000'000 : 104'000'000);
    PumpUntil([] { return false; }, 200);
    BufferWatch watch;
    watch.tone = toC ? 1500 : 600;
    watch.other = toC ? 600 : 1500;
    const gulong id = AddWatch(*engine, watch);
    watch.armed = true;
    const auto start = Clock::now();
    engine->SetFrequency(toC ? 104'000'000 : 88'000'000);
    if (!WaitSeen(watch, 2000)) state.SkipWithError("the new tone never came");
    total += std::chrono::duration<double>(watch.when - start).count();
    RemoveWatch(*engine, id);
    toC = !toC;
  }
  state.counters["ms"] = total / static_cast<double>(state.iterations()) * 1000;
  state.counters["goal_ms"] = 60;
  engine->Close();
}
BENCHMARK(BM_RetuneToNewTone)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

class NullSink final : public IRadioEventSink {
 public:
  int OnSearchStarted() override { return 0; }
  int OnStationFound(int) override { return ++found; }
  int OnSearchEnded() override { return ended = 1; }
  int OnRecordingStarted() override { return 0; }
  int OnRecordingStopped() override { return 0; }
  int Reserved5() override { return 0; }
  int OnRadioText(const char*) override { return 0; }
  int OnProgramType(const char*) override { return 0; }
  int OnClockTime(const char*) override { return 0; }
  int OnStationName(const char*) override { return 0; }
  int found = 0;
  int ended = 0;
};

void BM_SearchThreeRdsStations(benchmark::State& state) {
  Setup();
  // The station without RDS would wait its full three seconds: this figure
  // is about three stations that send it.
  HKEY key = CreateKey(std::string(plat::radio::kVirtualRadioKey) + "\\Stations\\B");
  SetText(key, "Name", "BRAVO");
  SetText(key, "RadioText", "Bravo all day");
  RegCloseKey(key);
  auto engine = plat::MakeComObject<CRadioCore>();
  NullSink sink;
  if (engine->Open(kRadioKindTuner, nullptr) != S_OK || engine->InitTunerCard(0, &sink) != S_OK) {
    state.SkipWithError("Open failed");
    return;
  }
  double total = 0;
  for (auto _ : state) {
    sink.found = sink.ended = 0;
    const auto start = Clock::now();
    engine->StartScan(50'000, &sink);
    PumpUntil([&] { return sink.ended == 1; }, 30000);
    total += Since(start);
    if (sink.found != 3) state.SkipWithError("not three stations");
  }
  state.counters["s"] = total / static_cast<double>(state.iterations());
  state.counters["goal_s"] = 4;
  engine->Close();
  key = CreateKey(std::string(plat::radio::kVirtualRadioKey) + "\\Stations\\B");
  RegDeleteValueA(key, "Name");
  RegDeleteValueA(key, "RadioText");
  RegCloseKey(key);
}
BENCHMARK(BM_SearchThreeRdsStations)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor time of the whole process over `seconds` of pumping.
double CpuShare(double seconds) {
  const double cpu = ProcessCpuSeconds();
  const auto start = Clock::now();
  PumpUntil([] { return false; }, static_cast<int>(seconds * 1000));
  return (ProcessCpuSeconds() - cpu) / Since(start);
}

void BM_LiveMp3RecordingCpu(benchmark::State& state) {
  Setup();
  auto engine = plat::MakeComObject<CRadioCore>();
  if (engine->Open(kRadioKindTuner, nullptr) != S_OK) {
    state.SkipWithError("Open failed");
    return;
  }
  engine->SetFrequency(104'000'000);
  double playing = 0;
  double recording = 0;
  for (auto _ : state) {
    playing = CpuShare(3);
    engine->StartRecord((Setup().env->dir() + "/live.mp3").c_str(), kRadioRecordMp3, nullptr);
    recording = CpuShare(3);
    engine->Stop();
  }
  state.counters["playing_pct"] = playing * 100;
  state.counters["recording_pct"] = recording * 100;
  state.counters["added_pct"] = (recording - playing) * 100;
  state.counters["goal_added_pct"] = 4;
  engine->Close();
}
BENCHMARK(BM_LiveMp3RecordingCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_StopRecording(benchmark::State& state) {
  Setup();
  auto engine = plat::MakeComObject<CRadioCore>();
  if (engine->Open(kRadioKindTuner, nullptr) != S_OK) {
    state.SkipWithError("Open failed");
    return;
  }
  double total = 0;
  double worst = 0;
  int format = 0;
  for (auto _ : state) {
    engine->StartRecord((Setup().env->dir() + "/stop.rec").c_str(), format, nullptr);
    PumpUntil([] { return false; }, 500);
    const auto start = Clock::now();
    engine->Stop();
    const double took = Since(start);
    total += took;
    worst = std::max(worst, took);
    format = (format + 1) % 5;
  }
  state.counters["ms"] = total / static_cast<double>(state.iterations()) * 1000;
  state.counters["worst_ms"] = worst * 1000;
  state.counters["goal_ms"] = 150;
  engine->Close();
}
BENCHMARK(BM_StopRecording)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- Offline encoding against the command-line encoders -----------------------------

double RunTool(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Since(start) : -1;
}

// 60 s of 48 kHz stereo tone as a WAV file, made once.
const std::string& SixtySeconds() {
  static const std::string path = [] {
    const std::string file = Setup().env->dir() + "/sixty.wav";
    gst_init(nullptr, nullptr);
    GstElement* p = gst_parse_launch(
        "audiotestsrc num-buffers=2813 samplesperbuffer=1024 freq=1000 ! "
        "audio/x-raw,format=S16LE,rate=48000,channels=2 ! wavenc ! filesink name=out",
        nullptr);
    GstElement* out = gst_bin_get_by_name(GST_BIN(p), "out");
    g_object_set(out, "location", file.c_str(), nullptr);
    gst_object_unref(out);
    gst_element_set_state(p, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(p);
    gst_message_unref(gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE,
                                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_object_unref(bus);
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(p);
    return file;
  }();
  return path;
}

// The branch's encoder chain as the engine builds it, fed from the file.
double EncodeWithBranch(int format, const std::string& output) {
  const std::string description = "filesrc name=in ! wavparse ! " + radiodeck::RecordingChain(format) +
                                  " ! filesink name=out";
  GstElement* p = gst_parse_launch(description.c_str(), nullptr);
  if (!p) return -1;
  GstElement* in = gst_bin_get_by_name(GST_BIN(p), "in");
  GstElement* out = gst_bin_get_by_name(GST_BIN(p), "out");
  g_object_set(in, "location", SixtySeconds().c_str(), nullptr);
  g_object_set(out, "location", output.c_str(), nullptr);
  gst_object_unref(in);
  gst_object_unref(out);
  const auto start = Clock::now();
  gst_element_set_state(p, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(p);
  GstMessage* end = gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE,
                                               static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ok = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
  if (end) gst_message_unref(end);
  const double took = Since(start);
  gst_object_unref(bus);
  gst_element_set_state(p, GST_STATE_NULL);
  gst_object_unref(p);
  return ok ? took : -1;
}

void Report(benchmark::State& state, double branch, double baseline) {
  state.counters["branch_s"] = branch;
  state.counters["baseline_s"] = baseline;
  if (branch > 0 && baseline > 0) state.counters["ratio"] = branch / baseline;
  state.counters["goal_ratio"] = 1.1;
}

void BM_OfflineMp3VersusLame(benchmark::State& state) {
  const std::string& wav = SixtySeconds();
  double branch = 0, baseline = 0;
  for (auto _ : state) {
    branch = EncodeWithBranch(kRadioRecordMp3, Setup().env->dir() + "/branch.mp3");
    baseline = RunTool({"lame", "--quiet", "-b", "128", "--cbr", wav, Setup().env->dir() + "/lame.mp3"});
  }
  Report(state, branch, baseline);
}
BENCHMARK(BM_OfflineMp3VersusLame)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_OfflineWmaVersusFfmpeg(benchmark::State& state) {
  const std::string& wav = SixtySeconds();
  double branch = 0, baseline = 0;
  for (auto _ : state) {
    branch = EncodeWithBranch(kRadioRecordWma128, Setup().env->dir() + "/branch.wma");
    baseline = RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", wav, "-c:a", "wmav2", "-b:a",
                        "128k", Setup().env->dir() + "/ffmpeg.wma"});
  }
  Report(state, branch, baseline);
}
BENCHMARK(BM_OfflineWmaVersusFfmpeg)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace radio_test
