// Listing speed of the browsing pages, warm (the folders are in the page
// cache after the first pass): Rescan of one folder of 10,000 files (filter,
// times of every entry, name sort, one sink call per entry) and
// CollectFilesRecursive over a tree of 200 folders.
#include <benchmark/benchmark.h>

#include <string>

#include "file_tree.h"
#include "lounge/pages/common/file_list_source.h"

namespace {

constexpr const char* kVideoFilter = "|.mpg|.mpe|.mpv|.avi|.asf|.asx|.mpeg|.div|.divx|.wm|.wmv|.m1v|.m2v|.m1s|.vro||";

std::string Numbered(const char* prefix, int i, const char* suffix) {
  std::string name(prefix);
  name += std::to_string(i);
  name += suffix;
  return name;
}

// Made once per run: 10,000 files (a tenth outside the filter) in one
// folder, and 200 folders of 150 files each in a second tree.
// The tree goes with the program's exit.
const FileTree& Fixture() {
  static const FileTree tree;
  static const bool made = [] {
    for (int i = 0; i < 10000; ++i) tree.File(Numbered("flat/clip", i, i % 10 ? ".mpg" : ".txt"), "");
    for (int f = 0; f < 200; ++f) {
      const std::string folder = Numbered("tree/d", f / 20, "/") + Numbered("f", f, "/");
      for (int i = 0; i < 150; ++i) tree.File(folder + Numbered("clip", i, i % 10 ? ".avi" : ".txt"), "");
    }
    return true;
  }();
  (void)made;
  return tree;
}

class CountingSink : public IFileBrowserSink {
 public:
  int entries = 0;
  int OnFolderAdded(int, const FileListEntry&) override { return ++entries; }
  int OnFileAdded(int, const FileListEntry&) override { return ++entries; }
};

void BM_RescanFolderOf10000Files(benchmark::State& state) {
  const FileTree& tree = Fixture();
  CountingSink sink;
  CFileListSource source(tree / "flat", kVideoFilter, nullptr, &sink, 0);
  source.Rescan();  // warm the page cache
  for (auto _ : state) {
    sink.entries = 0;
    source.Rescan();
    benchmark::DoNotOptimize(sink.entries);
  }
  state.counters["files listed"] = source.GetFileCount();
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RescanFolderOf10000Files)->Unit(benchmark::kMillisecond);

void BM_CollectFilesRecursive200Folders(benchmark::State& state) {
  const FileTree& tree = Fixture();
  std::vector<std::string> files;
  CollectFilesRecursive(tree / "tree", kVideoFilter, files, 1);  // warm
  const size_t matching = files.size();
  for (auto _ : state) {
    files.clear();
    CollectFilesRecursive(tree / "tree", kVideoFilter, files, 1);
    benchmark::DoNotOptimize(files.data());
  }
  state.counters["files matched"] = static_cast<double>(matching);
  // Files seen per second, matching or not.
  state.counters["files/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 200 * 150,
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CollectFilesRecursive200Folders)->Unit(benchmark::kMillisecond);

}  // namespace

// The folder text of one list row: the display name asks whether the folder
// is a volume's root.
void BM_ShellDisplayNameOfAFolder(benchmark::State& state) {
  const FileTree& tree = Fixture();
  const std::string folder = tree / "tree/d3";
  std::string name;
  for (auto _ : state) {
    GetShellDisplayName(folder, name);
    benchmark::DoNotOptimize(name.data());
  }
}
BENCHMARK(BM_ShellDisplayNameOfAFolder)->Unit(benchmark::kMicrosecond);
