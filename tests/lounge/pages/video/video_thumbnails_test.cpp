// The thumbnail worker with a scripted extractor, the filing of its results
// by path, and the folder thumbnail cache on a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "lounge/pages/video/video_thumbnail_cache.h"
#include "lounge/pages/video/video_thumbnail_filing.h"
#include "lounge/pages/video/video_thumbnail_worker.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/objects.h"
#include "tests/lounge/pages/common/file_tree.h"

namespace {

plat::HBITMAP Picture(int w, int h, std::uint32_t colour = 0xFF204080u) {
  return plat::CreateBitmapFromSurface(std::make_shared<plat::Surface>(w, h, colour), true);
}
bool BitmapAlive(plat::HBITMAP bitmap) { return plat::GetObjectType(bitmap) != 0; }

// An extractor the test lets through one file at a time, recording the order.
class Gate {
 public:
  CVideoThumbnailWorker::Extractor Extractor() {
    return [this](const std::string& path, const std::atomic<bool>& stop) -> plat::HBITMAP {
      std::unique_lock lock(m_);
      started_.push_back(path);
      cv_.notify_all();
      // The stop flag is the worker's own: look at it every few milliseconds.
      while (!cv_.wait_for(lock, std::chrono::milliseconds(5), [&] { return open_ > 0 || stop.load() || always_; })) {
      }
      if (stop) return nullptr;
      if (open_ > 0) --open_;
      made_ = Picture(120, 90);
      return made_;
    };
  }
  void Open(int n = 1) {
    std::lock_guard lock(m_);
    open_ += n;
    cv_.notify_all();
  }
  void OpenForGood() {
    std::lock_guard lock(m_);
    always_ = true;
    cv_.notify_all();
  }
  // Waits until `n` extractions have started.
  bool WaitStarted(std::size_t n) {
    std::unique_lock lock(m_);
    return cv_.wait_for(lock, std::chrono::seconds(10), [&] { return started_.size() >= n; });
  }
  std::vector<std::string> Started() {
    std::lock_guard lock(m_);
    return started_;
  }
  plat::HBITMAP Made() {
    std::lock_guard lock(m_);
    return made_;
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::vector<std::string> started_;
  int open_ = 0;
  bool always_ = false;
  plat::HBITMAP made_ = nullptr;
};

// Collects done requests until `n` arrived (bounded wait).
std::vector<VideoThumbnailRequest> CollectDone(CVideoThumbnailWorker& worker, std::size_t n) {
  std::vector<VideoThumbnailRequest> all;
  for (int i = 0; i < 2000 && all.size() < n; ++i) {
    for (auto& r : worker.TakeDone()) all.push_back(std::move(r));
    if (all.size() < n) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return all;
}

void FreeAll(std::vector<VideoThumbnailRequest>& done) {
  for (auto& r : done) {
    if (r.bitmap) plat::DeleteObject(r.bitmap);
  }
}

}  // namespace

TEST(VideoThumbnailWorker, OneRequestPerPathServedNewestFirst) {
  Gate gate;
  CVideoThumbnailWorker worker(nullptr, gate.Extractor());
  EXPECT_TRUE(worker.Request(0, 1, 0, "/v/a.avi"));
  ASSERT_TRUE(gate.WaitStarted(1));
  worker.Request(1, 1, 1, "/v/b.avi");
  worker.Request(2, 1, 2, "/v/c.avi");
  worker.Request(2, 1, 2, "/v/c.avi");
  EXPECT_EQ(worker.QueueSize(), 3u);
  gate.OpenForGood();
  std::vector<VideoThumbnailRequest> done = CollectDone(worker, 3);
  ASSERT_EQ(done.size(), 3u);
  EXPECT_EQ(gate.Started(), (std::vector<std::string>{"/v/a.avi", "/v/c.avi", "/v/b.avi"}));
  EXPECT_EQ(worker.ExtractionCount(), 3);
  FreeAll(done);
}

TEST(VideoThumbnailWorker, ServesEveryRequestOfALargeFolder) {
  Gate gate;
  gate.OpenForGood();
  CVideoThumbnailWorker worker(nullptr, gate.Extractor());
  for (int i = 0; i < 150; ++i) worker.Request(i, 1, i, "/v/clip" + std::to_string(i) + ".avi");
  std::vector<VideoThumbnailRequest> done = CollectDone(worker, 150);
  EXPECT_EQ(done.size(), 150u);
  FreeAll(done);
}

TEST(VideoThumbnailWorker, StopEndsARunningExtractionAndEmptiesTheQueue) {
  Gate gate;  // never opened: only the stop flag ends the extraction
  CVideoThumbnailWorker worker(nullptr, gate.Extractor());
  worker.Request(0, 1, 0, "/v/slow.avi");
  worker.Request(1, 1, 1, "/v/next.avi");
  ASSERT_TRUE(gate.WaitStarted(1));
  EXPECT_EQ(worker.Stop(), 1);
  EXPECT_FALSE(worker.IsRunning());
  EXPECT_EQ(worker.QueueSize(), 0u);
  EXPECT_EQ(worker.Stop(), 0);
  // A new request starts it again.
  gate.OpenForGood();
  EXPECT_TRUE(worker.Request(0, 1, 0, "/v/again.avi"));
  std::vector<VideoThumbnailRequest> done = CollectDone(worker, 1);
  ASSERT_EQ(done.size(), 1u);
  FreeAll(done);
}

TEST(VideoThumbnailWorker, AClearBeforeFilingDropsAndFreesTheResult) {
  Gate gate;
  CVideoThumbnailWorker worker(nullptr, gate.Extractor());
  worker.Request(0, 1, 0, "/v/a.avi");
  ASSERT_TRUE(gate.WaitStarted(1));
  worker.Clear();
  gate.Open();
  // The worker finds its request gone and frees the picture.
  for (int i = 0; i < 2000 && (!gate.Made() || BitmapAlive(gate.Made())); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_NE(gate.Made(), nullptr);
  EXPECT_FALSE(BitmapAlive(gate.Made()));
  EXPECT_TRUE(worker.TakeDone().empty());
  // Done requests a clear finds are freed too.
  worker.Request(1, 1, 1, "/v/b.avi");
  gate.Open();
  for (int i = 0; i < 2000 && worker.ExtractionCount() < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(worker.ExtractionCount(), 2);
  const plat::HBITMAP second = gate.Made();
  ASSERT_NE(second, nullptr);
  worker.Clear();
  for (int i = 0; i < 2000 && BitmapAlive(second); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(BitmapAlive(second));
  EXPECT_EQ(worker.QueueSize(), 0u);
  EXPECT_TRUE(worker.TakeDone().empty());
  worker.Stop();
}

TEST(VideoThumbnailFiling, ResultsGoToTheirPathsWhereverTheyAreNow) {
  // Requested while the list was a, b, c; sorted to c, a, b before the notice.
  const std::vector<std::string> list{"/v/c.avi", "/v/a.avi", "/v/b.avi"};
  std::vector<plat::HBITMAP> thumbnails{nullptr, Picture(10, 10)};  // short, and one to be replaced
  const plat::HBITMAP old = thumbnails[1];
  std::vector<VideoFolderPreview> previews(1);
  previews[0].paths[4] = "/v/sub/x.avi";

  const plat::HBITMAP pa = Picture(4, 3), pc = Picture(4, 3), gone = Picture(4, 3), folder = Picture(4, 3),
                      beyond = Picture(4, 3);
  std::vector<VideoThumbnailRequest> done = {
      {0, 1, 0, "/v/a.avi", pa, true},      {2, 1, 2, "/v/c.avi", pc, true},
      {3, 1, 3, "/v/gone.avi", gone, true}, {0, 1, 1, "/v/failed.avi", nullptr, true},
      {5, 0, 4, "/v/sub/x.avi", folder, true}, {6, 0, 9 * 7 + 1, "/v/other/y.avi", beyond, true}};
  const std::vector<FiledThumbnail> filed = FileThumbnails(std::move(done), list, thumbnails, previews);

  EXPECT_EQ(thumbnails, (std::vector<plat::HBITMAP>{pc, pa}));  // grows only as far as needed
  EXPECT_FALSE(BitmapAlive(old)) << "a bitmap filed over another frees it";
  EXPECT_FALSE(BitmapAlive(gone)) << "a file no longer listed";
  EXPECT_FALSE(BitmapAlive(beyond)) << "a folder record beyond the records";
  EXPECT_EQ(previews[0].bitmaps[4], folder);
  ASSERT_EQ(filed.size(), 3u);
  EXPECT_EQ(filed[0].index, 1);
  EXPECT_EQ(filed[1].index, 0);
  EXPECT_EQ(filed[2].kind, 0);
  FreeThumbnails(thumbnails);
  FreeFolderPreviews(previews);
  EXPECT_FALSE(BitmapAlive(pa));
  EXPECT_FALSE(BitmapAlive(folder));
  EXPECT_TRUE(previews.empty());
}

TEST(VideoThumbnailCache, StoresReadsAndMissesAChangedFile) {
  FileTree tree;
  const std::string clip = tree.File("videos/clip 100%.avi", "abc");
  tree.Touch("videos/clip 100%.avi", 1'000'000);
  CVideoThumbnailCache cache(tree / "cache");
  EXPECT_EQ(cache.Read(clip), nullptr);

  const plat::HBITMAP picture = Picture(160, 120, 0xFF3366CCu);
  cache.Store(clip, picture);
  plat::DeleteObject(picture);
  plat::HBITMAP read = cache.Read(clip);
  ASSERT_NE(read, nullptr);
  const plat::SurfacePtr surface = plat::GetBitmapSurface(read);
  EXPECT_EQ(surface->width(), 160);
  EXPECT_EQ(surface->row(60)[80] & 0xFFFFFFu, 0x3366CCu);
  plat::DeleteObject(read);

  // A later write time misses, and storing again leaves one entry.
  tree.Touch("videos/clip 100%.avi", 2'000'000);
  EXPECT_EQ(cache.Read(clip), nullptr);
  const plat::HBITMAP second = Picture(100, 75);
  cache.Store(clip, second);
  plat::DeleteObject(second);
  int entries = 0;
  for (const auto& folder : std::filesystem::directory_iterator(tree / "cache")) {
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++entries;
  }
  EXPECT_EQ(entries, 1);
  cache.Delete(clip);
  EXPECT_EQ(cache.Read(clip), nullptr);
  // A file that is gone stores nothing.
  const plat::HBITMAP third = Picture(100, 75);
  cache.Store(tree / "videos/none.avi", third);
  plat::DeleteObject(third);
  EXPECT_EQ(cache.Read(tree / "videos/none.avi"), nullptr);
}

TEST(VideoThumbnailCache, UnwritableCacheIsIgnored) {
  FileTree tree;
  const std::string clip = tree.File("clip.avi");
  tree.File("cache", "a file where the cache folder should be");
  CVideoThumbnailCache cache(tree / "cache");
  const plat::HBITMAP picture = Picture(160, 120);
  cache.Store(clip, picture);
  plat::DeleteObject(picture);
  EXPECT_EQ(cache.Read(clip), nullptr);
}

TEST(VideoThumbnailCache, IconSizedPicturesAreMadeAgain) {
  const struct {
    int w, h;
    bool usable;
  } cases[] = {{96, 96, false}, {97, 40, true}, {40, 97, true}, {200, 150, true}, {1, 1, false}};
  for (const auto& c : cases) {
    const plat::HBITMAP bitmap = Picture(c.w, c.h);
    EXPECT_EQ(CVideoThumbnailCache::IsUsable(bitmap), c.usable) << c.w << "x" << c.h;
    plat::DeleteObject(bitmap);
  }
}

TEST(VideoThumbnailCache, DefaultRootFollowsXdgCacheHome) {
  const char* saved = std::getenv("XDG_CACHE_HOME");
  const std::string keep = saved ? saved : "";
  setenv("XDG_CACHE_HOME", "/tmp/somewhere", 1);
  EXPECT_EQ(CVideoThumbnailCache::DefaultRoot(), "/tmp/somewhere/Marivel/VideoThumbnails");
  if (saved) setenv("XDG_CACHE_HOME", keep.c_str(), 1);
  else unsetenv("XDG_CACHE_HOME");
}
