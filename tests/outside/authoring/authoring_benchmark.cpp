// Authoring engine figures: a minute of D1 video transcoded for a DVD beside
// the ffmpeg tool's own DVD target on the same input; twenty 12-megapixel
// photos to a DVD image; a 500 MB data disc to a virtual writer; the peak
// memory of a DVD job.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "interfaces/authoring.h"
#include "outside/authoring/authoring_engine.h"
#include "outside/authoring/job.h"
#include "outside/authoring/mpeg_target.h"
#include "outside/authoring/mpeg_writer.h"
#include "outside/authoring/transcode.h"
#include "platform/com/object.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"
#include "platform/sys/spawn.h"
#include "platform/win/message.h"

namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
  static const bool built = [] {
    const std::string command = std::string(AUTHORING_FIXTURE_SCRIPT) + " " + AUTHORING_FIXTURE_DIR;
    return std::system(command.c_str()) == 0;
  }();
  return built ? std::string(AUTHORING_FIXTURE_DIR) + "/" + name : std::string();
}

// A folder of its own with its own registry hives, removed at the end.
class Sandbox {
 public:
  Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "authbench-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    fs::create_directories(dir_ + "/registry");
    ::setenv("MARIVEL_REGISTRY_DIR", (dir_ + "/registry").c_str(), 1);
    ::setenv("HOME", dir_.c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (dir_ + "/cache").c_str(), 1);
    plat::SetVolumeSource(std::make_shared<plat::FakeVolumeSource>());
  }
  ~Sandbox() {
    plat::SetVolumeSource(nullptr);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  const std::string& dir() const { return dir_; }

  void Writer(const std::string& image) const {
    plat::HKEY k = nullptr;
    plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D", 0, nullptr, 0,
                          plat::KEY_ALL_ACCESS, nullptr, &k, nullptr);
    auto set = [k](const char* name, const std::string& v) {
      plat::RegSetValueExA(k, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(v.c_str()),
                           static_cast<plat::DWORD>(v.size() + 1));
    };
    set("Path", image);
    set("Type", "cdrom");
    const plat::DWORD one = 1;
    plat::RegSetValueExA(k, "Writer", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&one), sizeof one);
    plat::RegCloseKey(k);
  }

 private:
  std::string dir_;
};

class EndSink final : public IAuthoringEventSink {
 public:
  int Notify0(SinkArg, SinkArg) override { return 0; }
  int Notify1(SinkArg, SinkArg) override { return 0; }
  int Notify2(SinkArg, SinkArg) override { return 0; }
  int Notify3(SinkArg, SinkArg) override { return 0; }
  int Notify4(SinkArg, SinkArg) override { return 0; }
  int Notify5(SinkArg, SinkArg) override { return 0; }
  int Notify6(SinkArg, SinkArg) override { return 0; }
  int Notify7(SinkArg a, SinkArg) override {
    last = *reinterpret_cast<const AuthoringStatus*>(a);
    return 0;
  }
  int Notify8(SinkArg, SinkArg) override { return 0; }
  int Notify9(SinkArg, SinkArg) override { return 0; }
  int Notify10(SinkArg, SinkArg) override { return 0; }
  int Notify11(SinkArg, SinkArg) override { return 0; }
  int Notify12(SinkArg, SinkArg) override { return 0; }
  int Notify13(SinkArg, SinkArg) override { return 0; }
  int Notify14(SinkArg, SinkArg) override { return 0; }
  int Notify15(SinkArg, SinkArg) override { return 0; }
  AuthoringStatus last{};
};

// Runs one job on a fresh engine; the seconds it took, or -1 when it failed.
double RunJob(int discType, const std::vector<std::string>& elements, const std::string& work) {
  plat::ComPtr<IAuthoringEngine> engine;
  if (plat::FAILED(plat::CreateComObject<CAuthoringEngine>(nullptr, IID_IAuthoringEngine, reinterpret_cast<void**>(&engine)))) {
    return -1;
  }
  EndSink sink;
  engine->Initialize();
  engine->SetDiscType(discType);
  for (const auto& e : elements) engine->AddElement(e.c_str());
  engine->SetEventSink(&sink);
  const auto start = std::chrono::steady_clock::now();
  if (plat::FAILED(engine->StartBurning(work.c_str()))) return -1;
  while (sink.last.stage < kAuthoringStageDone) {
    plat::MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&msg);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return sink.last.stage == kAuthoringStageDone ? seconds : -1;
}

double PeakRssMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

void BM_DvdTranscodeMinuteOfD1(benchmark::State& state) {
  const std::string input = Fixture("d1_60s.avi");
  Sandbox box;
  const authoring::MpegTarget target = authoring::TargetFor(authoring::DiscKind::Dvd, true, AuthoringFormatRecord{});
  double ours = 0;
  double theirs = 0;
  for (auto _ : state) {
    authoring::JobControl control(nullptr);
    auto start = std::chrono::steady_clock::now();
    authoring::MpegWriter writer(target);
    if (!writer.Open(box.dir() + "/ours.mpg", nullptr) ||
        plat::FAILED(authoring::AppendVideo(input, writer, control, nullptr)) || !writer.Finish()) {
      state.SkipWithError("transcode failed");
      return;
    }
    ours = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    start = std::chrono::steady_clock::now();
    if (plat::RunAndWait({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", input, "-target", "pal-dvd",
                          box.dir() + "/theirs.mpg"}) != 0) {
      state.SkipWithError("ffmpeg failed");
      return;
    }
    theirs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["ours_s"] = ours;
  state.counters["ffmpeg_s"] = theirs;
  state.counters["ratio"] = ours / theirs;  // target: at most 1.2
  state.counters["realtime_x"] = 60 / ours;
}
BENCHMARK(BM_DvdTranscodeMinuteOfD1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_TwentyPhotoDvdToImage(benchmark::State& state) {
  const std::string photo = Fixture("large.jpg");
  Sandbox box;
  std::vector<std::string> photos;
  for (int i = 0; i < 20; ++i) {
    photos.push_back(box.dir() + "/photo" + std::to_string(i) + ".jpg");
    fs::copy_file(photo, photos.back());
  }
  box.Writer(box.dir() + "/dvd.iso");
  double seconds = 0;
  for (auto _ : state) {
    seconds = RunJob(kAuthoringDiscDvd, photos, box.dir() + "/work");
    if (seconds < 0) {
      state.SkipWithError("job failed");
      return;
    }
  }
  state.counters["job_s"] = seconds;  // target: at most 10
  state.counters["peak_rss_MB"] = PeakRssMB();  // target: at most 200
}
BENCHMARK(BM_TwentyPhotoDvdToImage)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_DataDisc500MB(benchmark::State& state) {
  Sandbox box;
  std::vector<std::string> files;
  std::string block(1 << 20, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
  for (int f = 0; f < 5; ++f) {
    files.push_back(box.dir() + "/file" + std::to_string(f) + ".bin");
    std::ofstream out(files.back(), std::ios::binary);
    for (int m = 0; m < 100; ++m) out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  box.Writer(box.dir() + "/data.iso");
  double seconds = 0;
  for (auto _ : state) {
    seconds = RunJob(kAuthoringDiscDataCd, files, box.dir() + "/work");
    if (seconds < 0) {
      state.SkipWithError("job failed (a 500 MB disc needs a writer of that size)");
      return;
    }
  }
  state.counters["MB_per_s"] = 500 / seconds;  // target: at least 200
}
BENCHMARK(BM_DataDisc500MB)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
