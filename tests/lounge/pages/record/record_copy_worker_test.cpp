// The record page's copy worker on temporary folders: counting, folder
// naming, the extension filter, a cancel in the middle of a large file,
// failures, links; and the one-file copy and the progress texts under it.
#include "lounge/pages/record/record_copy_worker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <functional>
#include <thread>

#include "lounge/pages/record/record_file_copy.h"
#include "lounge/pages/record/record_progress_text.h"
#include "tests/lounge/pages/record/record_test_support.h"

namespace {

using namespace record_test;
using namespace std::chrono_literals;

class TestListener : public IRecordCopyListener {
 public:
  std::atomic<int> progressCalls{0};
  std::atomic<int> finishedCalls{0};
  // Runs on the worker thread at every progress call.
  std::function<void()> onProgress;

  void OnCopyProgress() override {
    progressCalls.fetch_add(1);
    if (onProgress) onProgress();
  }
  void OnCopyFinished() override {
    std::lock_guard lock(mutex_);
    finishedCalls.fetch_add(1);
    cv_.notify_all();
  }
  bool WaitFinished(std::chrono::milliseconds limit = 60s) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, limit, [&] { return finishedCalls.load() > 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
};

// Runs a job to its end on a worker and keeps the worker for inspection.
struct CompletedRun {
  TestListener listener;
  std::unique_ptr<CRecordCopyWorker> worker;

  explicit CompletedRun(RecordCopyJob job) : worker(std::make_unique<CRecordCopyWorker>(std::move(job), listener)) {
    EXPECT_TRUE(worker->Start());
    EXPECT_TRUE(listener.WaitFinished());
    worker->Stop();
  }
};

class RecordCopyWorkerTest : public ::testing::Test {
 protected:
  TempTree tree;
  VolumeTable noVolumes{{}};
  std::string dest = tree.Path("dest");
};

TEST_F(RecordCopyWorkerTest, CountsThenCopiesEachSourceIntoAFolderNamedAfterItsParent) {
  const std::string a = tree.File("src/Photos/a.jpg", 3000);
  const std::string b = tree.File("src/Photos/b.jpg", 5000);
  tree.File("src/Photos/Trip/c.jpg", 4096);
  tree.File("src/Photos/Trip/d.jpg", 1500);
  const auto stamp = fs::file_time_type::clock::now() - 48h;
  fs::last_write_time(a, stamp);

  CompletedRun run({{a, b, tree.Path("src/Photos/Trip")}, dest, ""});

  // a.jpg and b.jpg share the folder this copy made; Trip goes inside it.
  EXPECT_EQ(ListTree(dest), (std::vector<std::string>{"Photos/Trip/c.jpg", "Photos/Trip/d.jpg", "Photos/a.jpg",
                                                      "Photos/b.jpg"}));
  EXPECT_EQ(ReadAll(dest + "/Photos/a.jpg"), ReadAll(a));
  EXPECT_EQ(ReadAll(dest + "/Photos/Trip/c.jpg"), ReadAll(tree.Path("src/Photos/Trip/c.jpg")));
  EXPECT_EQ(fs::last_write_time(dest + "/Photos/a.jpg"), stamp);

  const RecordCopyProgress p = run.worker->Progress();
  EXPECT_EQ(p.totalKiB, 2 + 4 + 4 + 1);
  EXPECT_EQ(p.finishedKiB, p.totalKiB);
  EXPECT_EQ(p.currentSizeKiB, 0);
  EXPECT_EQ(p.currentCopiedKiB, 0);
  EXPECT_EQ(run.worker->CopiedCount(), 4);
  EXPECT_EQ(run.worker->FailedCount(), 0);
  EXPECT_TRUE(run.worker->HasFinished());
  EXPECT_FALSE(run.worker->WasCancelled());
  EXPECT_EQ(run.worker->CurrentFile(), tree.Path("src/Photos/Trip/d.jpg"));
  EXPECT_EQ(run.worker->CreatedFolders(),
            (std::vector<std::string>{dest, dest + "/Photos", dest + "/Photos/Trip"}));
  EXPECT_EQ(run.listener.finishedCalls.load(), 1);
}

TEST_F(RecordCopyWorkerTest, ACopyIntoAnExistingFolderOfTheSameNameGetsTheNextNumber) {
  const std::string a = tree.File("src/Photos/a.jpg", 10);
  for (int i = 0; i < 3; ++i) CompletedRun run({{a}, dest, ""});
  EXPECT_EQ(ListTree(dest), (std::vector<std::string>{"Photos(1)/a.jpg", "Photos(2)/a.jpg", "Photos/a.jpg"}));

  // Anything by that name counts as taken, a plain file too.
  tree.File("dest/Photos(3)", 1);
  CompletedRun run({{a}, dest, ""});
  EXPECT_TRUE(fs::is_regular_file(dest + "/Photos(4)/a.jpg"));
}

TEST_F(RecordCopyWorkerTest, TheFilterKeepsOnlyListedExtensionsByLowerCase) {
  const std::vector<std::string> names = {"a.jpg", "b.JPEG", "c.png", "d", "e.jpg.txt", "f.jpgx"};
  for (const std::string& n : names) tree.File("src/Card/" + n, 2048);
  const struct {
    const char* filter;
    std::vector<std::string> copied;
  } cases[] = {
      {"|.jpg|.jpeg|", {"a.jpg", "b.JPEG"}},
      {"", {"a.jpg", "b.JPEG", "c.png", "d", "e.jpg.txt", "f.jpgx"}},
      {"|.wav|.mp3|.wma||", {"d"}},  // the empty extension is listed
      {"|.png|", {"c.png"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter);
    const std::string target = tree.Path(std::string("out") + std::to_string(&c - cases));
    CompletedRun run({{tree.Path("src/Card")}, target, c.filter});
    std::vector<std::string> expected;
    for (const std::string& n : c.copied) expected.push_back("src/Card/" + n);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListTree(target), expected);
    EXPECT_EQ(run.worker->Progress().totalKiB, 2 * static_cast<int>(c.copied.size()));
    EXPECT_EQ(run.worker->Progress().finishedKiB, 2 * static_cast<int>(c.copied.size()));
  }
}

TEST_F(RecordCopyWorkerTest, AVolumeRootIsNamedByItsLabelOrItsDriveLetter) {
  tree.File("usb/DCIM/x.jpg", 100);
  const struct {
    const char* label;
    const char* folder;
  } cases[] = {{"", "K"}, {"CAMERA", "CAMERA"}, {"a/b", "a_b"}, {"..", "K"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    VolumeTable table({Volume('K', plat::DRIVE_REMOVABLE, tree.Path("usb"), c.label)});
    const std::string target = tree.Path("out" + std::to_string(&c - cases));
    CompletedRun run({{tree.Path("usb/DCIM")}, target, ""});
    EXPECT_EQ(ListTree(target), std::vector<std::string>{std::string(c.folder) + "/DCIM/x.jpg"});
  }
  // A source in drive-letter form is found below the volume's mount point.
  VolumeTable table({Volume('K', plat::DRIVE_REMOVABLE, tree.Path("usb"), "")});
  CompletedRun run({{"K:\\DCIM\\x.jpg"}, tree.Path("out-letter"), ""});
  EXPECT_EQ(ListTree(tree.Path("out-letter")), std::vector<std::string>{"DCIM/x.jpg"});
}

TEST_F(RecordCopyWorkerTest, ACancelInTheMiddleOfALargeFileRemovesThePartialFile) {
  const std::string big = tree.SparseFile("src/Videos/big.mpg", 64 << 20);
  TestListener listener;
  CRecordCopyWorker worker({{big}, dest, ""}, listener, CRecordCopyWorker::Options{0ms});

  // The copy holds at its first chunk until the test has cancelled it.
  std::mutex mutex;
  std::condition_variable cv;
  bool reached = false;
  listener.onProgress = [&] {
    if (worker.Progress().currentCopiedKiB == 0) return;
    {
      std::lock_guard lock(mutex);
      if (reached) return;
      reached = true;
    }
    cv.notify_all();
    for (int i = 0; i < 10000 && !worker.CancelRequested(); ++i) std::this_thread::sleep_for(1ms);
  };
  ASSERT_TRUE(worker.Start());
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(cv.wait_for(lock, 60s, [&] { return reached; }));
  }
  EXPECT_TRUE(fs::exists(dest + "/Videos/big.mpg"));  // partly written
  worker.Stop();

  EXPECT_FALSE(fs::exists(dest + "/Videos/big.mpg"));
  EXPECT_TRUE(worker.HasFinished());
  EXPECT_TRUE(worker.WasCancelled());
  EXPECT_EQ(worker.Progress().totalKiB, 64 * 1024);
  EXPECT_EQ(worker.Progress().finishedKiB, 0);
  EXPECT_EQ(worker.CopiedCount(), 0);
  EXPECT_EQ(worker.FailedCount(), 0);  // a cancel is no failure
  EXPECT_EQ(listener.finishedCalls.load(), 1);
}

TEST_F(RecordCopyWorkerTest, FailedCopiesAreCountedAndLogged) {
  DebugLog log;
  // Two sources of the same name meet in the folder this copy made: the
  // second never overwrites the first.
  const std::string first = tree.File("card1/Photos/a.jpg", 100);
  const std::string second = tree.File("card2/Photos/a.jpg", 2500);
  {
    CompletedRun run({{first, second}, dest, ""});
    EXPECT_EQ(run.worker->CopiedCount(), 1);
    EXPECT_EQ(run.worker->FailedCount(), 1);
    EXPECT_EQ(ReadAll(dest + "/Photos/a.jpg"), ReadAll(first));
    EXPECT_EQ(run.worker->Progress().totalKiB, 0 + 2);
    EXPECT_EQ(run.worker->Progress().finishedKiB, 0);  // the failed file adds nothing
    EXPECT_EQ(log.CountContaining("copy failed"), 1);
  }
  // A destination that cannot be a folder fails every file.
  const std::string blocked = tree.File("blocked", 1);
  {
    CompletedRun run({{first, second}, blocked, ""});
    EXPECT_EQ(run.worker->CopiedCount(), 0);
    EXPECT_EQ(run.worker->FailedCount(), 2);
    EXPECT_EQ(log.CountContaining("cannot create the folder"), 2);
  }
  // A missing source is skipped with a notice.
  {
    CompletedRun run({{tree.Path("card3/gone.jpg"), first}, tree.Path("dest2"), ""});
    EXPECT_EQ(run.worker->CopiedCount(), 1);
    EXPECT_EQ(log.CountContaining("source not found"), 1);
  }
}

TEST_F(RecordCopyWorkerTest, SymbolicLinksAreNeitherCountedNorFollowed) {
  tree.File("src/Photos/a.jpg", 2048);
  tree.File("outside/secret.jpg", 4096);
  tree.File("outside/album/z.jpg", 4096);
  fs::create_symlink(tree.Path("outside/secret.jpg"), tree.Path("src/Photos/link.jpg"));
  fs::create_directory_symlink(tree.Path("outside/album"), tree.Path("src/Photos/album"));
  fs::create_directory_symlink(tree.Path("outside"), tree.Path("linked"));

  CompletedRun run({{tree.Path("src/Photos"), tree.Path("linked")}, dest, ""});
  EXPECT_EQ(ListTree(dest), std::vector<std::string>{"src/Photos/a.jpg"});
  EXPECT_EQ(run.worker->Progress().totalKiB, 2);
}

TEST_F(RecordCopyWorkerTest, ADestinationInsideTheSourceIsNotCopiedIntoItself) {
  tree.File("src/Photos/a.jpg", 2048);
  tree.File("src/Photos/z-import/old.jpg", 1024);
  const std::string inside = tree.Path("src/Photos/z-import");
  CompletedRun run({{tree.Path("src/Photos")}, inside, ""});
  EXPECT_EQ(ListTree(inside), (std::vector<std::string>{"old.jpg", "src/Photos/a.jpg"}));
  EXPECT_EQ(run.worker->Progress().totalKiB, 2);
}

TEST(CopyFileWithProgressTest, ReportsEveryChunkAndNeverOverwrites) {
  TempTree tree;
  const std::string source = tree.File("s.bin", 600 * 1024);
  const std::atomic<int> noCancel{0};
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  const FileCopyProgress record = [&](std::uint64_t total, std::uint64_t copied) { calls.emplace_back(total, copied); };

  FileCopyOutcome outcome = CopyFileWithProgress(source, tree.Path("t.bin"), record, noCancel);
  EXPECT_EQ(outcome.result, FileCopyResult::kCopied);
  EXPECT_EQ(ReadAll(tree.Path("t.bin")), ReadAll(source));
  const std::uint64_t size = 600 * 1024;
  EXPECT_EQ(calls, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{
                       {size, 0}, {size, 256 * 1024}, {size, 512 * 1024}, {size, size}}));

  // An existing target is kept as it is.
  tree.File("keep.bin", 7);
  const std::string kept = ReadAll(tree.Path("keep.bin"));
  outcome = CopyFileWithProgress(source, tree.Path("keep.bin"), nullptr, noCancel);
  EXPECT_EQ(outcome.result, FileCopyResult::kFailed);
  EXPECT_EQ(outcome.error, EEXIST);
  EXPECT_EQ(ReadAll(tree.Path("keep.bin")), kept);

  // Cancelled before the start: nothing is created.
  const std::atomic<int> cancelled{1};
  EXPECT_EQ(CopyFileWithProgress(source, tree.Path("c.bin"), nullptr, cancelled).result, FileCopyResult::kCancelled);
  EXPECT_FALSE(fs::exists(tree.Path("c.bin")));

  // A link as the source is refused, a missing source too.
  fs::create_symlink(source, tree.Path("link.bin"));
  EXPECT_EQ(CopyFileWithProgress(tree.Path("link.bin"), tree.Path("l.bin"), nullptr, noCancel).result,
            FileCopyResult::kFailed);
  EXPECT_EQ(CopyFileWithProgress(tree.Path("none.bin"), tree.Path("n.bin"), nullptr, noCancel).error, ENOENT);
  EXPECT_FALSE(fs::exists(tree.Path("l.bin")));
  EXPECT_FALSE(fs::exists(tree.Path("n.bin")));
}

TEST(RecordSizesTest, KiBAreTheByteCountShiftedAndKeptTo32Bits) {
  const struct {
    std::uint64_t bytes;
    std::int32_t kib;
  } cases[] = {{0, 0},
               {1023, 0},
               {1024, 1},
               {3000, 2},
               {(1ull << 32) + 1024, 4194305},
               {1ull << 41, INT32_MIN},
               {1ull << 42, 0}};
  for (const auto& c : cases) EXPECT_EQ(SizeInKiB(c.bytes), c.kib) << c.bytes;
}

TEST(RecordProgressTextTest, PercentagesAndSizes) {
  const struct {
    long long part, whole;
    const char* text;
  } percents[] = {{0, 0, "0.0%"}, {5, 0, "0.0%"}, {1, 3, "33.3%"}, {3, 3, "100.0%"}, {1, 200, "0.5%"}, {2, 1, "200.0%"}};
  for (const auto& c : percents) EXPECT_EQ(FormatRecordPercent(c.part, c.whole), c.text) << c.part << "/" << c.whole;

  RecordCopyProgress p;
  p.totalKiB = 300;
  p.finishedKiB = 100;
  p.currentSizeKiB = 80;
  p.currentCopiedKiB = 20;
  EXPECT_EQ(RecordFilePercentText(p), "25.0%");
  EXPECT_EQ(RecordTotalPercentText(p), "40.0%");
  EXPECT_EQ(RecordTotalSizeText(p), "120K/300K");
  EXPECT_FLOAT_EQ(RecordFileFraction(p), 0.25f);
  EXPECT_FLOAT_EQ(RecordTotalFraction(p), 0.4f);
  EXPECT_EQ(RecordTotalSizeText(RecordCopyProgress{}), "0K/0K");
  EXPECT_FLOAT_EQ(RecordTotalFraction(RecordCopyProgress{}), 0.0f);

  // A locale with a decimal comma does not reach the texts.
  const std::string before = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "C.UTF-8"}) {
    if (!std::setlocale(LC_ALL, name)) continue;
    EXPECT_EQ(FormatRecordPercent(1, 3), "33.3%") << name;
  }
  std::setlocale(LC_ALL, before.c_str());
}

}  // namespace
