// Scanning tagged files into a fresh music library (warm file cache).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "engines/playback/wmhost/library/media_library.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace {

namespace fs = std::filesystem;
constexpr int kFiles = 2000;

// 2,000 short MP3 files, 20 albums of 100 tracks, each with its own tags.
const std::vector<std::string>& Files(const wmhost_test::TempFolder& folder) {
  static std::vector<std::string> files = [&] {
    std::vector<std::string> made;
    const std::string source = folder / "source.mp3";
    if (!wmhost_test::WriteTone(source, wmhost_test::AudioFormat::Mp3, 0.3)) return made;
    for (int i = 0; i < kFiles; ++i) {
      const std::string album = "Album " + std::to_string(i / 100);
      fs::create_directories(folder / album);
      const std::string path = folder / (album + "/track" + std::to_string(i) + ".mp3");
      fs::copy_file(source, path);
      wmhost_test::WriteTags(path, {"Track " + std::to_string(i), "Artist " + std::to_string(i % 7), album, "Pop",
                                    2000u + static_cast<unsigned>(i % 20), static_cast<unsigned>(i % 100 + 1)});
      made.push_back(path);
    }
    return made;
  }();
  return files;
}

void BM_LibraryScan(benchmark::State& state) {
  static wmhost_test::TempFolder folder;
  const auto& files = Files(folder);
  if (files.size() != kFiles) {
    state.SkipWithError("could not generate the files");
    return;
  }
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string database = folder / ("library" + std::to_string(round++) + ".db");
    std::string error;
    auto library = wmhost::MediaLibrary::Open(database, &error);
    state.ResumeTiming();
    for (const auto& file : files) {
      if (!library->addFile(file)) state.SkipWithError("a file was refused");
    }
    state.PauseTiming();
    library.reset();
    state.ResumeTiming();
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(kFiles) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LibraryScan)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Adding files the library already holds (unchanged): no tags are read again.
void BM_LibraryRescan(benchmark::State& state) {
  static wmhost_test::TempFolder folder;
  const auto& files = Files(folder);
  std::string error;
  auto library = wmhost::MediaLibrary::Open(folder / "rescan.db", &error);
  for (const auto& file : files) library->addFile(file);
  for (auto _ : state) {
    for (const auto& file : files) library->addFile(file);
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(files.size()) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LibraryRescan)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
