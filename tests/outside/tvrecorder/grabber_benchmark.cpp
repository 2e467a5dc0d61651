// Figures for the TV recorder: the in-process encoder beside the ffmpeg tool
// on the same raw pictures and sound with the same encoder settings (one
// thread each, two B-frames, GOP of 15), the time from starting the virtual
// tuner's source to its first picture, from tuning to the new station's
// picture, and the time shift's pause, play and 15 s seek. Each latency
// prints its goal beside it ("goal_ms").
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "outside/tvrecorder/av_recorder.h"
#include "outside/tvrecorder/sys_recorder.h"
#include "outside/tvrecorder/time_shift.h"
#include "outside/tvrecorder/tv_source.h"
#include "platform/media/tv/virtual_tuner.h"

extern char** environ;

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 576;
constexpr int kSeconds = 10;
constexpr int kFrames = kSeconds * 25;

std::string Dir() {
  static const std::string dir = [] {
    const std::string d = std::filesystem::temp_directory_path() / "marivel-grabber-bench";
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

// A moving picture: gradients that shift every frame, so the encoder works.
tvrec::VideoFrameI420 Frame(int n) {
  tvrec::VideoFrameI420 f;
  f.width = kWidth;
  f.height = kHeight;
  f.ptsNs = static_cast<std::int64_t>(n) * 40000000;
  f.data.resize(kWidth * kHeight * 3 / 2);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) f.data[y * kWidth + x] = static_cast<std::uint8_t>((x + y + 3 * n) & 0xff);
  }
  std::fill(f.data.begin() + kWidth * kHeight, f.data.end(), static_cast<std::uint8_t>(128 + (n & 31)));
  return f;
}

tvrec::AudioChunk Sound(int n) {
  tvrec::AudioChunk c;
  c.ptsNs = static_cast<std::int64_t>(n) * 40000000;
  c.samples.resize(1920 * 2);
  for (int i = 0; i < 1920; ++i) {
    const auto v = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 660 * (n * 1920 + i) / 48000.0));
    c.samples[2 * i] = c.samples[2 * i + 1] = v;
  }
  return c;
}

// The raw input for the tool, written once.
void WriteRaw() {
  static bool done = false;
  if (done) return;
  std::ofstream video(Dir() + "/video.yuv", std::ios::binary);
  std::ofstream audio(Dir() + "/audio.raw", std::ios::binary);
  for (int n = 0; n < kFrames; ++n) {
    const auto f = Frame(n);
    video.write(reinterpret_cast<const char*>(f.data.data()), static_cast<std::streamsize>(f.data.size()));
    const auto s = Sound(n);
    audio.write(reinterpret_cast<const char*>(s.samples.data()),
                static_cast<std::streamsize>(s.samples.size() * sizeof(std::int16_t)));
  }
  done = true;
}

double ToolMs() {
  std::vector<std::string> args = {"ffmpeg", "-loglevel", "error", "-threads", "1", "-f", "rawvideo", "-pix_fmt",
                                   "yuv420p", "-s", "720x576", "-r", "25", "-i", Dir() + "/video.yuv", "-f", "s16le",
                                   "-ar", "48000", "-ac", "2", "-i", Dir() + "/audio.raw", "-c:v", "mpeg2video",
                                   "-threads", "1", "-b:v", "6M", "-bf", "2", "-g", "15",
                                   "-maxrate", "9M", "-bufsize", "1835k", "-c:a", "mp2", "-b:a", "224k", "-f", "dvd", "-y",
                                   Dir() + "/tool.mpg"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_EncodeDvdSp(benchmark::State& state) {
  WriteRaw();
  std::vector<tvrec::VideoFrameI420> frames;
  std::vector<tvrec::AudioChunk> sound;
  for (int n = 0; n < kFrames; ++n) {
    frames.push_back(Frame(n));
    sound.push_back(Sound(n));
  }
  tvrec::EncodeSettings settings;
  settings.videoBitRate = 6000000;
  double ms = 0;
  for (auto _ : state) {
    const std::string path = Dir() + "/ours.mpg";
    std::filesystem::remove(path);
    const auto start = std::chrono::steady_clock::now();
    tvrec::AvRecorder recorder;
    if (!recorder.Open(path, settings)) {
      state.SkipWithError("cannot open the encoder");
      return;
    }
    for (int n = 0; n < kFrames; ++n) {
      recorder.AddVideo(frames[n]);
      recorder.AddAudio(sound[n]);
    }
    recorder.Close();
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  const double tool = ToolMs();
  state.counters["ours_ms"] = ms;
  state.counters["tool_ms"] = tool;
  state.counters["speed_vs_tool"] = tool > 0 && ms > 0 ? tool / ms : 0;
  state.counters["times_real_time"] = ms > 0 ? kSeconds * 1000.0 / ms : 0;
}
BENCHMARK(BM_EncodeDvdSp)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FirstPicture(benchmark::State& state) {
  auto tuner = std::make_shared<plat::tv::VirtualTuner>(plat::tv::VirtualTunerConfig{
      "Virtual TV Tuner", false, plat::tv::DefaultVirtualStations()});
  tuner->SetFrequencyKHz(175250);
  for (auto _ : state) {
    tvrec::TvSource source(tuner);
    std::mutex m;
    std::condition_variable cv;
    bool got = false;
    source.AddVideoConsumer([&](const tvrec::VideoFrameI420&) {
      std::lock_guard lock(m);
      got = true;
      cv.notify_all();
    });
    const auto start = std::chrono::steady_clock::now();
    source.Start(tvrec::SourceFormat{});
    std::unique_lock lock(m);
    cv.wait_for(lock, std::chrono::seconds(5), [&] { return got; });
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}
BENCHMARK(BM_FirstPicture)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// "DVD SP" from the virtual tuner for 60 s: the process's share of a core
// (source and encoder together), frames kept, and the growth of its memory.
void BM_LiveDvdSp(benchmark::State& state) {
  auto tuner = std::make_shared<plat::tv::VirtualTuner>(
      plat::tv::VirtualTunerConfig{"Virtual TV Tuner", false, plat::tv::DefaultVirtualStations()});
  tuner->SetFrequencyKHz(471250);
  for (auto _ : state) {
    tvrec::TvSource source(tuner);
    tvrec::AvRecorder recorder;
    const std::string path = Dir() + "/live.mpg";
    std::filesystem::remove(path);
    tvrec::EncodeSettings settings;
    settings.videoBitRate = 6000000;
    recorder.Open(path, settings);
    source.AddVideoConsumer([&](const tvrec::VideoFrameI420& f) { recorder.AddVideo(f); });
    source.AddAudioConsumer([&](const tvrec::AudioChunk& c) { recorder.AddAudio(c); });
    source.Start(tvrec::SourceFormat{});
    std::this_thread::sleep_for(std::chrono::seconds(5));  // settled
    const long rss0 = RssKb();
    const double cpu0 = CpuSeconds();
    const double media0 = recorder.secondsWritten();
    std::this_thread::sleep_for(std::chrono::seconds(60));
    state.counters["core_share"] = (CpuSeconds() - cpu0) / 60.0;
    state.counters["frames_per_s"] = (recorder.secondsWritten() - media0) * 25.0 / 60.0;
    state.counters["rss_growth_mb"] = (RssKb() - rss0) / 1024.0;
    source.Stop();
    recorder.Close();
  }
}
BENCHMARK(BM_LiveDvdSp)->Unit(benchmark::kSecond)->Iterations(1);

// The recorder's search over the American cable band (125 channels) of the
// virtual tuner, from the start to the end event.
class SearchDone : public ISysRecorderEventSink {
 public:
  int OnRecorderEvent(const char*, int code, std::int32_t, std::int32_t, const TvPicture*) override {
    std::lock_guard lock(m);
    if (code == tvevent::kSearchFinished) done = true;
    cv.notify_all();
    return 1;
  }
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
};

void BM_SearchBand(benchmark::State& state) {
  std::vector<std::shared_ptr<plat::tv::ITunerDevice>> devices{std::make_shared<plat::tv::VirtualTuner>(
      plat::tv::VirtualTunerConfig{"Virtual TV Tuner", false, plat::tv::DefaultVirtualStations()})};
  auto recorder = plat::MakeComObject<CSysRecorder>(devices);
  recorder->SelectDevices("Virtual TV Tuner", "");
  recorder->SetCountryCode(1);
  recorder->SetVideoStandard(0x1);
  recorder->SetTunerInput(0);
  for (auto _ : state) {
    SearchDone sink;
    recorder->SetEventSink(&sink);
    const auto start = std::chrono::steady_clock::now();
    recorder->StartSearch();
    std::unique_lock lock(sink.m);
    sink.cv.wait_for(lock, std::chrono::seconds(10), [&] { return sink.done; });
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    lock.unlock();
    recorder->StopSearch();
    recorder->SetEventSink(nullptr);
  }
}
BENCHMARK(BM_SearchBand)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Pictures handed over by a source or a replay, and their mean brightness.
class PictureWatch {
 public:
  void operator()(const tvrec::VideoFrameI420& f) {
    const std::size_t luma = static_cast<std::size_t>(f.width) * f.height;
    long long sum = 0;
    for (std::size_t i = 0; i < luma && i < f.data.size(); i += 97) sum += f.data[i];
    std::lock_guard lock(m_);
    ++count_;
    mean_ = static_cast<double>(sum) / static_cast<double>(luma / 97 + 1);
    cv_.notify_all();
  }
  long count() {
    std::lock_guard lock(m_);
    return count_;
  }
  // Waits (at most 5 s) for a picture after the `after`th whose brightness
  // `accept` takes; the time it came, or none.
  template <class Accept>
  bool WaitFor(long after, Accept accept) {
    std::unique_lock lock(m_);
    return cv_.wait_for(lock, std::chrono::seconds(5), [&] { return count_ > after && accept(mean_); });
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  long count_ = 0;
  double mean_ = 0;
};

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Tuning the running source from a black station to a white one (the
// frequency, then the source follows, as the recorder's Tune does) until a
// picture of the new station arrives.
void BM_TuneToPicture(benchmark::State& state) {
  auto tuner = std::make_shared<plat::tv::VirtualTuner>(plat::tv::VirtualTunerConfig{
      "Virtual TV Tuner", false, {{175250, "Dark", 2, 440, false}, {189250, "Light", 3, 880, false}}});
  tuner->SetFrequencyKHz(175250);
  tvrec::TvSource source(tuner);
  PictureWatch watch;
  source.AddVideoConsumer([&](const tvrec::VideoFrameI420& f) { watch(f); });
  source.Start(tvrec::SourceFormat{});
  watch.WaitFor(0, [](double) { return true; });
  bool light = false;
  for (auto _ : state) {
    light = !light;
    const long seen = watch.count();
    const auto start = std::chrono::steady_clock::now();
    tuner->SetFrequencyKHz(light ? 189250 : 175250);
    source.Retune();
    const bool ok = watch.WaitFor(seen, [&](double mean) { return light ? mean > 128 : mean < 128; });
    state.SetIterationTime(ok ? MsSince(start) / 1000.0 : 5.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  state.counters["goal_ms"] = 150;
  source.Stop();
}
BENCHMARK(BM_TuneToPicture)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The time shift of "DVD SP"-like settings on the live source: after 20 s of
// buffer, pausing the live picture, playing on (to the first replayed
// picture) and a 15 s seek back (to its first picture), each five times.
void BM_TimeShiftControls(benchmark::State& state) {
  auto tuner = std::make_shared<plat::tv::VirtualTuner>(
      plat::tv::VirtualTunerConfig{"Virtual TV Tuner", false, plat::tv::DefaultVirtualStations()});
  tuner->SetFrequencyKHz(471250);
  const std::string folder = Dir() + "/SBE";
  std::filesystem::remove_all(folder);
  for (auto _ : state) {
    PictureWatch replay;
    tvrec::TimeShift shift(folder, tvrec::EncodeSettings{}, 8, 8, [&](const tvrec::VideoFrameI420& f) { replay(f); });
    tvrec::TvSource source(tuner);
    source.AddVideoConsumer([&](const tvrec::VideoFrameI420& f) { shift.AddVideo(f); });
    source.AddAudioConsumer([&](const tvrec::AudioChunk& c) { shift.AddAudio(c); });
    source.Start(tvrec::SourceFormat{});
    std::this_thread::sleep_for(std::chrono::seconds(20));
    double pause = 0, play = 0, seek = 0;
    constexpr int kRounds = 5;
    for (int i = 0; i < kRounds; ++i) {
      auto start = std::chrono::steady_clock::now();
      shift.Pause();
      pause += MsSince(start);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      long seen = replay.count();
      start = std::chrono::steady_clock::now();
      shift.Play();
      replay.WaitFor(seen, [](double) { return true; });
      play += MsSince(start);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      seen = replay.count();
      start = std::chrono::steady_clock::now();
      shift.SetPosition(shift.Position() - 15000);
      replay.WaitFor(seen, [](double) { return true; });
      seek += MsSince(start);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    state.counters["pause_ms"] = pause / kRounds;
    state.counters["play_ms"] = play / kRounds;
    state.counters["play_pause_goal_ms"] = 200;
    state.counters["seek15s_ms"] = seek / kRounds;
    state.counters["seek_goal_ms"] = 250;
    source.Stop();
  }
}
BENCHMARK(BM_TimeShiftControls)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
